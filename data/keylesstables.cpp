#include "data/keylesstables.h"

#include "data/records.h"
#include "data/serveractions.h"
#include "data/tables.h"

#include <QSet>

#include <algorithm>

namespace dl {

QStringList tablesWithoutPrimaryKey(Connection& c, const QList<TableRef>& tables)
{
    if (tables.isEmpty())
        return {};
    if (c.tableNames() == TableNames::MessageOnly)
        return {};
    if (actsThroughProcedures(c)) {
        // The server names the program's tables without one.
        QSet<QString> asked;
        for (const TableRef& t : tables)
            asked.insert(databaseName(t.db) + u'.' + t.name);
        Result q = callRows(c, "tabellen_zonder_sleutel", {});
        QStringList found;
        while (q.next()) {
            const QString name = Row::textOf(q.value(0));
            if (asked.contains(name))
                found << name;
        }
        found.sort();
        return found;
    }
    QVariantList binds;
    Result q = c.exec(QStringLiteral("SELECT TABLE_SCHEMA, TABLE_NAME, @@lower_case_table_names FROM "
                                     "information_schema.TABLES WHERE ") +
                          schemaTableConditions(tables, binds),
                      binds);
    // information_schema compares names by its own collation; the client decides.
    QList<QStringList> present;
    int lowerCaseNames = 0;
    while (q.next()) {
        present.append({q.value(0).toString(), q.value(1).toString()});
        lowerCaseNames = q.value(2).toInt();
    }
    const auto isPresent = [&](const TableRef& t) {
        return std::any_of(present.cbegin(), present.cend(), [&](const QStringList& row) {
            return isSchemaRowOf(t, row[0], row[1], lowerCaseNames);
        });
    };
    // The keys come through Records, which keeps them: the actions that
    // follow need not ask again.
    Records records(c);
    QStringList found;
    for (const TableRef& t : tables) {
        const QString name = databaseName(t.db) + u'.' + t.name;
        if (isPresent(t) && records.primaryKey(t).isEmpty())
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
