#pragma once
// The one connection a thread keeps to the server, opened when it is first
// needed and again when the server let it go (restart, idle timeout, a
// cluster node that left). Work on it runs through run(): work that found
// the kept connection gone before its COMMIT was sent runs once more on a
// new one; the rollback on the server undid the first try. Work whose
// COMMIT, or whose write outside a transaction, lost its answer is not
// repeated: the caller looks at the rows first.

#include "data/connection.h"

#include <QElapsedTimer>

#include <memory>
#include <utility>

namespace dl {

class KeptConnection {
public:
    explicit KeptConnection(ServerAddress server, Connection::Options options = {})
        : m_server(std::move(server)), m_options(options)
    {
    }
    KeptConnection(const KeptConnection&) = delete;
    KeptConnection& operator=(const KeptConnection&) = delete;

    const ServerAddress& server() const { return m_server; }
    bool isOpen() const { return m_connection && !m_connection->isBroken(); }
    // Closes the connection; the next use opens a new one.
    void drop() { m_connection.reset(); }

    template <typename Fn>
    auto run(Fn&& fn) -> decltype(fn(std::declval<Connection&>()))
    {
        const bool wasKept = isOpen();
        QElapsedTimer waited;
        waited.start();
        try {
            return fn(connection());
        } catch (const DbError& e) {
            if (!e.isConnectionLoss())
                throw;
            drop();
            // A connection opened just now that broke is a server that is
            // not there, and one that stopped answering has kept the
            // consultant waiting long enough: no second try, the failure is
            // what the user sees.
            if (!wasKept || e.outcomeUnknown() || waited.elapsed() >= timedOutAfterMs())
                throw;
        }
        try {
            return fn(connection());
        } catch (const DbError& e) {
            if (e.isConnectionLoss())
                drop();
            throw;
        }
    }

    // The connection itself, opened if there is none.
    Connection& connection()
    {
        if (!isOpen()) {
            m_connection.reset();
            m_connection = std::make_unique<Connection>(m_server, Database::Data, m_options);
        }
        return *m_connection;
    }

private:
    qint64 timedOutAfterMs() const { return m_options.readTimeoutSeconds * 1000LL - 500; }

    ServerAddress m_server;
    Connection::Options m_options;
    std::unique_ptr<Connection> m_connection;
};

} // namespace dl
