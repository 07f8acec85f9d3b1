#include "submit/lockrows.h"

#include "data/dberror.h"
#include "data/tables.h"

#include <QCryptographicHash>

namespace dl::submit {

namespace {

constexpr qsizetype kKeyBytes = 255; // the width of `sleutel`

QByteArray lockKey(const char* kind, const QString& text)
{
    QByteArray key = QByteArray(kind) + text.toUtf8();
    // A key the column cannot hold gets a fixed-length stand-in: the same on
    // every workstation, so still one row per key.
    if (key.size() > kKeyBytes)
        key = QByteArray(kind) + "#" + QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex();
    return key;
}

} // namespace

QByteArray reportLock(const QString& reportKey)
{
    return lockKey("raport:", reportKey);
}

QByteArray invoiceLock(const QString& invoiceNumber)
{
    return lockKey("factuur:", invoiceNumber);
}

QString missingLockTableMessage()
{
    return QStringLiteral("De tabel Sloten ontbreekt op de server. Vraag het kantoor het bijwerkscript uit "
                          "schema/ uit te voeren.");
}

void takeLockRows(Connection& c, const QList<QByteArray>& locks)
{
    if (locks.isEmpty())
        return;
    QStringList rows;
    QVariantList binds;
    for (const QByteArray& l : locks) {
        rows << QStringLiteral("(?)");
        binds << QVariant(l);
    }
    // A row that is there is written too: a second transaction waits for
    // the first on one server, and on a cluster the two writes of one row
    // conflict (an update that changed nothing would not be replicated).
    const QString sql = QStringLiteral("INSERT INTO ") + c.qualified(tables::lockRows()) +
                        QStringLiteral(" (`sleutel`) VALUES ") + rows.join(QStringLiteral(", ")) +
                        QStringLiteral(" ON DUPLICATE KEY UPDATE `teller` = `teller` + 1");
    try {
        c.exec(sql, binds);
    } catch (const DbError& e) {
        if (e.number() == 1146)
            throw DbError(1146, missingLockTableMessage());
        throw;
    }
}

} // namespace dl::submit
