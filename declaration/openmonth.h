#pragma once
// What the form knows of the open month besides its controls: whether they
// differ from what was last loaded, prepared or saved, and the question
// before such changes are left behind.

#include "core/context.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace dl {

class FormControls;
class DraftStore;

namespace openmonth {

// The texts of the controls the report's columns mirror, in column order.
QStringList snapshot(const FormControls& c);
// The form shows the open month as it was loaded, prepared or saved.
void markUnchanged(const FormControls& c, Session& s);
// The open month's row holds written (a snapshot taken before the write)
// with the stamp the write gave it: what arrived in the controls meanwhile
// stays a change.
void markWritten(Session& s, QStringList written, const QString& stamp);
// A comparison, not a flag: a digit typed and deleted again is no change.
bool hasChanges(const FormControls& c, const Session& s);

// "03 Maart ", "2026" -> "Maart 2026".
QString monthAndYear(const QString& monthEntry, const QString& year);
QString leaveCaption();
QString leaveQuestion(const QString& monthEntry, const QString& year);
QStringList leaveButtons();

// While one lives, the month or project is being changed, saved or
// declared, and no draft is kept of the controls.
class Busy {
public:
    explicit Busy(Session& s) : m_s(s) { ++m_s.reportBusy; }
    ~Busy() { --m_s.reportBusy; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    Session& m_s;
};

} // namespace openmonth

// Asked where a changed month would be left behind: another project or
// month chosen, the program ended. The program's own roads do not ask.
class LeaveGuard {
public:
    // save: the save without its own question; true when it was written.
    // drafts (may be null): Niet opslaan removes the month's draft.
    LeaveGuard(FormControls& c, AppContext& ctx, std::function<bool()> save, DraftStore* drafts = nullptr);

    // True when the caller may go on: no changes, saved, or not to be saved.
    // Throws DbError from the save; then nothing was left.
    bool mayLeave();

private:
    FormControls& m_c;
    AppContext& m_ctx;
    std::function<bool()> m_save;
    DraftStore* m_drafts;
};

} // namespace dl
