#include "data/keylesstables.h"

#include <QSet>

namespace dl {

QStringList tablesWithoutPrimaryKey(Connection& c, const QList<TableRef>& tables)
{
    if (tables.isEmpty())
        return {};
    QStringList tableConds;
    QVariantList binds;
    for (const TableRef& t : tables) {
        tableConds << QStringLiteral("(TABLE_SCHEMA = ? AND TABLE_NAME = ?)");
        binds << databaseName(t.db) << t.name;
    }
    const QVariantList tableBinds = binds;
    binds += tableBinds;
    // The tables, then those of them with a primary key; one round trip.
    Result q =
        c.exec(QStringLiteral("SELECT 0, TABLE_SCHEMA, TABLE_NAME FROM information_schema.TABLES WHERE ") +
                   tableConds.join(QStringLiteral(" OR ")) +
                   QStringLiteral(" UNION ALL SELECT DISTINCT 1, TABLE_SCHEMA, TABLE_NAME FROM "
                                  "information_schema.KEY_COLUMN_USAGE WHERE CONSTRAINT_NAME = 'PRIMARY' "
                                  "AND (") +
                   tableConds.join(QStringLiteral(" OR ")) + u')',
               binds);
    QStringList present;
    QSet<QString> keyed;
    while (q.next()) {
        const QString db = q.value(1).toString();
        const QString name = q.value(2).toString();
        // information_schema compares names by its own collation; the client decides exactly.
        bool ours = false;
        for (const TableRef& t : tables)
            ours = ours || (databaseName(t.db) == db && t.name == name);
        if (!ours)
            continue;
        if (q.value(0).toInt() == 1)
            keyed.insert(db + u'.' + name);
        else
            present << db + u'.' + name;
    }
    QStringList found;
    for (const QString& t : std::as_const(present)) {
        if (!keyed.contains(t))
            found << t;
    }
    found.sort();
    return found;
}

QString keylessTablesLine(const QStringList& tables)
{
    if (tables.isEmpty())
        return {};
    return QStringLiteral(
               "declaraties: tabellen zonder primaire sleutel (op een cluster kan de volgorde van hun "
               "rijen per node verschillen; zie README): ") +
           tables.join(QStringLiteral(", "));
}

} // namespace dl
