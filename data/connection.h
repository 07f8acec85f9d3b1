#pragma once
// A connection to the office server on the server's own client library.
// All three databases live on one server, so a connection reaches every
// table by its qualified name. A statement with values is prepared and
// executed in one request; one that returns no rows is kept prepared and
// executed again by its SQL text. A statement without values is sent as it is.

#include "data/dberror.h"
#include "data/row.h"
#include "data/serverlist.h"
#include "data/settings.h"

#include <QElapsedTimer>
#include <QHash>
#include <QVariantList>

#include <memory>

struct st_mysql;
struct st_mysql_stmt;

namespace dl {

struct TableRef {
    Database db;
    QString name;
};

// What a statement gave back: its rows, read completely, and the count of
// rows it matched.
class Result {
public:
    Result() = default;
    Result(std::shared_ptr<const Columns> columns, QList<QVariantList> rows, quint64 affected)
        : m_columns(std::move(columns)), m_rows(std::move(rows)), m_affected(affected)
    {
    }

    // Moves to the next row; false after the last.
    bool next() { return ++m_at < m_rows.size(); }
    QVariant value(int column) const { return m_rows.value(m_at).value(column); }
    QVariant value(const QString& column) const { return row().value(column); }
    Row row() const { return Row(m_columns, m_rows.value(m_at)); }
    int size() const { return static_cast<int>(m_rows.size()); }
    const Columns* columns() const { return m_columns.get(); }
    // Rows an UPDATE matched (the connection asks for found rows), inserted or deleted.
    quint64 affectedRows() const { return m_affected; }

private:
    std::shared_ptr<const Columns> m_columns;
    QList<QVariantList> m_rows;
    qsizetype m_at = -1;
    quint64 m_affected = 0;
};

// The connect timeout bounds each wait of a connect; an address's whole try
// may take this many of them.
inline constexpr int kWaitsPerTry = 4;

class Connection {
public:
    struct Options {
        int connectTimeoutSeconds = 4;
        int readTimeoutSeconds = 8;
        // The program's locking is written for this level, whatever the
        // server's default; tests set another to show the lock rows hold alone.
        QString isolation = QStringLiteral("REPEATABLE-READ");
        TlsOptions tls = {};
    };
    // Who connects how; the program's own account unless a test says otherwise.
    struct Login {
        QString user = QLatin1String(kAccount);
        QString password = QLatin1String(kPassword);
        // A password that may still hold: a new one was sent and its answer
        // lost. Tried when password is refused.
        QString formerPassword;
        QString socket;              // a local socket instead of host and port
        bool scripts = false;        // several statements in one text (tests' administrator)
        bool sessionSettings = true; // isolation level and lock wait
        // Which names the tables go by; not Shared: the home database is the views'.
        TableNames names = TableNames::Shared;
        bool operator==(const Login&) const = default;
    };

    // Tries the addresses in the list's order, each bounded by the connect
    // timeout; when none answers, throws the last one's failure.
    explicit Connection(const ServerList& server, Database home = Database::Data);
    Connection(const ServerList& server, Database home, Options options);
    Connection(const ServerList& server, Database home, Options options, const Login& login);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // A statement with bound values, or sent directly without; throws DbError.
    Result exec(const QString& sql, const QVariantList& binds = {});
    // Every result set of a statement with values, as a procedure's call answers.
    QList<Result> execAll(const QString& sql, const QVariantList& binds);
    // The statements from here on may be sent again after a lost line, as a
    // read may (a procedure's call that reads, or marks what a second call
    // marks the same): a lost answer is no unknown outcome.
    void setRepeatable(bool repeatable) { m_repeatable = repeatable; }
    // Sets the connected account's own password (also in a session whose
    // password expired, the one thing such a session may do); throws DbError.
    void setOwnPassword(const QString& password);
    // Several statements without values in one text (needs Login::scripts).
    void runScript(const QString& sql);

    // `database`.`table` under this connection's names, for identifiers that
    // come from the program only.
    QString qualified(const TableRef& table) const { return qualified(table, m_names); }
    static QString qualified(const TableRef& table, TableNames names);
    TableNames tableNames() const { return m_names; }
    static QString quoteIdentifier(const QString& name);

    void begin();
    void commit();
    void rollback() noexcept;
    bool inTransaction() const { return m_inTransaction; }
    // The line broke; nothing more can be sent on this connection.
    bool isBroken() const { return m_broken; }
    // The address that answered.
    const ServerAddress& address() const { return m_address; }
    // The login's formerPassword opened it: the server refused the other.
    bool openedWithFormerPassword() const { return m_former; }

private:
    struct Statement;
    [[noreturn]] void fail(unsigned number, const char* text, bool wasWrite);
    Result direct(const QString& sql);
    // Throws when the last write's warnings say the server stored a value
    // other than the one sent (a lax sql_mode cuts and converts silently).
    void refuseChangedValues();
    // more: the result sets after the first (a procedure's call); dropped when null.
    Result prepared(const QString& sql, const QVariantList& binds, QList<Result>* more = nullptr);
    Result rowsOf(st_mysql_stmt* st, unsigned columns, const QString& sql, quint64 affected);

    ServerAddress m_address;
    TableNames m_names = TableNames::Shared;
    bool m_former = false; // before m_mysql: set while it opens
    bool m_sha2 = false;   // before m_mysql: MySQL 8 checked the own account
    st_mysql* m_mysql = nullptr;
    QHash<QString, std::shared_ptr<Statement>> m_statements;
    bool m_inTransaction = false;
    bool m_broken = false;
    bool m_repeatable = false;
};

// Rolls back unless commit() was called; retries are the caller's loop.
class Transaction {
public:
    explicit Transaction(Connection& c) : m_c(c) { m_c.begin(); }
    ~Transaction()
    {
        if (!m_done)
            m_c.rollback();
    }
    void commit()
    {
        m_c.commit();
        m_done = true;
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    Connection& m_c;
    bool m_done = false;
};

// A lock wait ends after the session's 3 seconds (1205); one more try, then
// the consultant is told, about 6 seconds after the action began.
inline constexpr qint64 kLockWaitRetryWithinMs = 4000;

// Whether attempt (counted from 1) may be followed by another: deadlocks
// and failed certifications a bounded number of times, lock waits once.
inline bool mayRetry(const DbError& e, int attempt, int attempts, const QElapsedTimer& since)
{
    if (attempt >= attempts || !e.isRetryable())
        return false;
    return e.number() != 1205 || since.elapsed() < kLockWaitRetryWithinMs;
}

// Runs fn in a fresh transaction, again when the server reports a deadlock
// or a lock wait timeout.
template <typename Fn> auto withRetry(Fn&& fn, int attempts = 5) -> decltype(fn())
{
    QElapsedTimer since;
    since.start();
    for (int i = 1;; ++i) {
        try {
            return fn();
        } catch (const DbError& e) {
            if (!mayRetry(e, i, attempts, since))
                throw;
        }
    }
}

} // namespace dl
