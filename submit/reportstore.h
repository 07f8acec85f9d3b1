#pragma once
// Writing a report row of `Raporten`: the whole row in one transaction,
// the first row with the key overwritten or a new one appended. Two savers
// of the same absent month are serialised by the lock on the key, so the
// table never gets a second row for it; a declared row is never touched.

#include "data/records.h"
#include "data/serveractions.h"

#include <functional>
#include <optional>

namespace dl::submit {

enum class SaveOutcome {
    Appended,
    Overwritten,
    Declared,         // the row with the key holds "ja": nothing was written
    ChangedElsewhere, // saved elsewhere since it was seen: nothing was written
};

// The report's row as this workstation last read or wrote it.
struct Seen {
    bool stored = false; // there was a row
    QString modified;    // its laatstgewijzigd
    // The laatstgewijzigd of an own save whose answer was lost; empty if none.
    QString unknownSave;
};

// The locked target against what was seen: nothing when it is as seen (or
// gone), else its laatstgewijzigd.
std::optional<QString> changedSince(const std::optional<Row>& target, const Seen& seen);

// The 163 columns that mirror a control, taken from the controls as they
// stand; `laatstgewijzigd` gets the new stamp instead of what Text37 shows.
Values reportColumns(const std::function<QString(const QString& control)>& controlText,
                     const QString& modifiedStamp);

// Saves the report under key with afgewerkt ("nee" or "ja") and columns
// (every report column but `Projectnaam` and `afgewerkt`). Retries on
// deadlock; throws DbError on any other failure, with nothing written.
// With seen, a row saved elsewhere since is not written: ChangedElsewhere,
// and its laatstgewijzigd in storedModified.
// A consultant's own account saves through the server's procedure, in one
// call; action identifies this save across its tries (one is made if none).
SaveOutcome saveReport(Connection& c, const QString& key, const QString& afgewerkt, const Values& columns,
                       const Seen* seen = nullptr, QString* storedModified = nullptr,
                       const ActionId* action = nullptr);

// After the line broke during saveReport(): whether the server took it all
// the same (the commit went through, its answer got lost). True when the
// first row with the key holds afgewerkt and every column as sent, the new
// `laatstgewijzigd` among them.
bool reportStored(Connection& c, const QString& key, const QString& afgewerkt, const Values& columns);

// The steps of a save, for a caller that runs its own transaction.
// The first row whose `Projectnaam` is exactly key, locked, with the gap
// where it would stand.
std::optional<Row> lockReport(Records& records, const QString& key);
bool isDeclared(const Row& report);
// Overwrites target, which lockReport locked in the same transaction, or
// appends when there is none.
SaveOutcome writeReport(Records& records, const std::optional<Row>& target, const QString& key,
                        const QString& afgewerkt, const Values& columns);

} // namespace dl::submit
