#pragma once
// The tables of the three databases.

#include "data/connection.h"

namespace dl::tables {

inline TableRef consultants()
{
    return {Database::Data, QStringLiteral("KALMIRO_consultants")};
}
inline TableRef loginRecords()
{
    return {Database::Data, QStringLiteral("LOGINconsultant")};
}
inline TableRef projects()
{
    return {Database::Data, QStringLiteral("KALMIRO_projecten")};
}
inline TableRef clients()
{
    return {Database::Data, QStringLiteral("KALMIRO_opdrachtgevers")};
}
inline TableRef messages()
{
    return {Database::Data, QStringLiteral("KALMIRO_berichten")};
}
inline TableRef reports()
{
    return {Database::Reports, QStringLiteral("Raporten")};
}
// The lock rows of saves and declarations.
inline TableRef lockRows()
{
    return {Database::Reports, QStringLiteral("Sloten")};
}
inline TableRef declarations()
{
    return {Database::Declarations, QStringLiteral("Declaraties")};
}

// Every table the program reads or writes.
inline QList<TableRef> all()
{
    return {consultants(), loginRecords(), projects(), clients(),
            messages(),    reports(),      lockRows(), declarations()};
}

} // namespace dl::tables

namespace dl {

// "(TABLE_SCHEMA = ? AND TABLE_NAME = ?) OR …" for information_schema; the
// values are appended to binds.
inline QString schemaTableConditions(const QList<TableRef>& tables, QVariantList& binds)
{
    QStringList conds;
    for (const TableRef& t : tables) {
        conds << QStringLiteral("(TABLE_SCHEMA = ? AND TABLE_NAME = ?)");
        binds << databaseName(t.db) << t.name;
    }
    return conds.join(QStringLiteral(" OR "));
}

// Whether a row of information_schema names table. lowerCaseNames: the
// server's lower_case_table_names; where it is not 0 the server keeps or
// compares names in lower case and gives them back so.
inline bool isSchemaRowOf(const TableRef& table, const QString& schema, const QString& name,
                          int lowerCaseNames)
{
    const Qt::CaseSensitivity cs = lowerCaseNames == 0 ? Qt::CaseSensitive : Qt::CaseInsensitive;
    return schema.compare(databaseName(table.db), cs) == 0 && name.compare(table.name, cs) == 0;
}

} // namespace dl
