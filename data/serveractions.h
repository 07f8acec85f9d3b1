#pragma once
// The actions of a consultant's own account: each is one call of the
// server's procedure for it, in the own accounts' database, with values only. The
// procedure runs its own transaction and ends it before it answers, so a
// caller never holds a transaction around it.

#include "data/records.h"

#include <QByteArray>

namespace dl {

// The id the program gives one action, carried by every try of it: the
// server answers a second try as it answered the first and acts once.
class ActionId {
public:
    static ActionId make();
    const QByteArray& bytes() const { return m_bytes; }

private:
    QByteArray m_bytes; // 16 random bytes
};

// Whether this connection's actions go through the server's procedures.
bool actsThroughProcedures(const Connection& c);

// The procedure's one row of answer; values go bound, in order.
Row callAction(Connection& c, const char* procedure, const QVariantList& values);
// The rows a procedure answers that may be called again after a lost line
// (it reads, or marks what a second call marks the same): its first result
// set, or all of them.
Result callRows(Connection& c, const char* procedure, const QVariantList& values);
QList<Result> callResults(Connection& c, const char* procedure, const QVariantList& values);

// Texts as a JSON array (keys, codes), as the reading procedures take them.
QString textsAsJson(const QStringList& texts);

// Columns as a JSON object of texts, as the procedures read them; a NULL
// value stays null.
QString columnsAsJson(const Values& columns);

} // namespace dl
