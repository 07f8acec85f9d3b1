#pragma once
// The lock rows of table `Sloten`: one row per thing only one workstation
// may do at a time. Inserted first in a transaction, a row makes a second
// transaction that wants it wait on one server whatever its isolation level,
// and fail at commit on another node of a cluster, where the row locks of
// SELECT ... FOR UPDATE do not reach.

#include "data/connection.h"

#include <QByteArray>
#include <QStringList>

namespace dl::submit {

QByteArray reportLock(const QString& reportKey);
QByteArray invoiceLock(const QString& invoiceNumber);

// Inserts the rows (or counts up the ones that are there) in one statement, in the order
// given. Without the table: DbError 1146 with the message that tells the
// office what to run; nothing else has happened in the transaction yet.
void takeLockRows(Connection& c, const QList<QByteArray>& locks);

QString missingLockTableMessage();

} // namespace dl::submit
