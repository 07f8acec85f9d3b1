#pragma once
// One connection for one action: opened when the handler starts, closed when
// it returns. All three databases live on one server, so a connection can
// reach every table by its qualified name.

#include "data/dberror.h"
#include "data/settings.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantList>

namespace dl {

struct TableRef {
    Database db;
    QString name;
};

class Connection {
public:
    struct Options {
        int connectTimeoutSeconds = 4;
        int readTimeoutSeconds = 8;
    };

    // Tries the addresses of server in turn (see ServerList::tryOrder); a
    // node that is down or not ready (1047) counts as not answering. When
    // none answers, throws the last one's failure.
    explicit Connection(const ServerList& server, Database home = Database::Data);
    Connection(const ServerList& server, Database home, Options options);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Prepared statement with bound values; throws DbError.
    QSqlQuery exec(const QString& sql, const QVariantList& binds = {});

    // `database`.`table`, for identifiers that come from the program only.
    static QString qualified(const TableRef& table);
    static QString quoteIdentifier(const QString& name);

    void begin();
    void commit();
    void rollback() noexcept;
    bool inTransaction() const { return m_inTransaction; }

    QSqlDatabase& database() { return m_db; }

private:
    static constexpr int kNodeNotReady = 1047;
    void open(const ServerAddress& server, Database home, const Options& options);
    void checkNodeReady();

    QString m_name;
    QSqlDatabase m_db;
    bool m_inTransaction = false;
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

// Runs fn in a fresh transaction, again when the server reports a deadlock
// or a lock wait timeout.
template <typename Fn>
auto withRetry(Fn&& fn, int attempts = 5) -> decltype(fn())
{
    for (int i = 1;; ++i) {
        try {
            return fn();
        } catch (const DbError& e) {
            if (i >= attempts || !e.isRetryable())
                throw;
        }
    }
}

} // namespace dl

