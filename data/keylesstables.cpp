#include "data/keylesstables.h"

#include "data/records.h"
#include "data/tables.h"

#include <QSet>

namespace dl {

QStringList tablesWithoutPrimaryKey(Connection& c, const QList<TableRef>& tables)
{
    if (tables.isEmpty())
        return {};
    QVariantList binds;
    Result q =
        c.exec(QStringLiteral("SELECT TABLE_SCHEMA, TABLE_NAME FROM information_schema.TABLES WHERE ") +
                   schemaTableConditions(tables, binds),
               binds);
    // information_schema compares names by its own collation; the client decides exactly.
    QSet<QString> present;
    while (q.next())
        present.insert(q.value(0).toString() + u'.' + q.value(1).toString());
    // The keys come through Records, which keeps them: the actions that
    // follow need not ask again.
    Records records(c);
    QStringList found;
    for (const TableRef& t : tables) {
        const QString name = databaseName(t.db) + u'.' + t.name;
        if (present.contains(name) && records.primaryKey(t).isEmpty())
            found << name;
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
