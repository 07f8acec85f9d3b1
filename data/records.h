#pragma once
// Record access: find the first row whose columns equal given texts exactly
// (letter case and blanks count), visit rows in table order, change a row
// that was read, append a row. The server narrows the rows with an indexed
// condition; the exact decision is made here, in the client.

#include "data/connection.h"
#include "data/row.h"

#include <QList>
#include <QPair>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

namespace dl {

using Values = QList<QPair<QString, QVariant>>;

// How often a caller reads a row again and repeats its write when update()
// found the row changed by another workstation (DbError 1020).
inline constexpr int kRowChangedAttempts = 5;

struct Match {
    QString column;
    QString value;
    bool prefix = false; // the column begins with value
};

class Records {
public:
    explicit Records(Connection& connection) : m_c(connection) {}
    TableNames tableNames() const { return m_c.tableNames(); }

    std::optional<Row> findFirst(const TableRef& table, const QList<Match>& where);
    // Locks the rows it reads until the caller's transaction ends.
    std::optional<Row> findFirstForUpdate(const TableRef& table, const QList<Match>& where);
    // Every exactly matching row in table order; return false to stop.
    void visit(const TableRef& table, const QList<Match>& where, const std::function<bool(const Row&)>& fn,
               bool forUpdate = false);
    // The first row in table order, if any. readableToo: refused (1142) in
    // the same statement when the account may not read that table.
    std::optional<Row> firstRow(const TableRef& table, const std::optional<TableRef>& readableToo = {});

    enum class Lock {
        Check,        // re-read the row under a lock and compare it first
        HeldByCaller, // the caller read it FOR UPDATE in its open transaction
    };
    // Writes changes into the row that was read as original. Fails with
    // DbError 1020 when another workstation changed or deleted it since.
    void update(const TableRef& table, const Row& original, const Values& changes, Lock lock = Lock::Check);
    void insert(const TableRef& table, const Values& values);

    // Primary key columns, looked up once per table and process.
    QStringList primaryKey(const TableRef& table);
    static void forgetSchema();

    static bool exactlyMatches(const Row& row, const QList<Match>& where);

private:
    // " ORDER BY" the primary key: table order; empty for a table without one.
    QString orderByKey(const TableRef& table);

    Connection& m_c;
};

} // namespace dl
