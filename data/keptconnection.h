#pragma once
// The one connection a thread keeps to the server, opened when it is first
// needed and again when the server let it go (restart, idle timeout, a
// cluster node that left or is not ready). Work on it runs through run():
// work that found the connection gone before its COMMIT was sent runs once
// more on a new one; the rollback on the server undid the first try. Work
// whose COMMIT, or whose write outside a transaction, lost its answer is
// not repeated: the caller looks at the rows first.

#include "data/connection.h"

#include <QElapsedTimer>

#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

namespace dl {

// How a thread waits for the server (a connection opening, a statement's
// answer): the default runs the work in place; the window's thread keeps
// painting meanwhile (app/serverwait.h).
using ServerWait = std::function<void(const std::function<void()>& work)>;

class KeptConnection {
public:
    // login: the account and its table names; the password stays here, in
    // memory only, to open the connection again.
    explicit KeptConnection(ServerList server, Connection::Options options = {}, ServerWait wait = {},
                            Connection::Login login = {})
        : m_server(std::move(server)), m_options(options), m_wait(std::move(wait)), m_login(std::move(login))
    {
    }
    KeptConnection(const KeptConnection&) = delete;
    KeptConnection& operator=(const KeptConnection&) = delete;

    const ServerList& server() const { return m_server; }
    const Connection::Login& login() const { return m_login; }
    const Connection::Options& options() const { return m_options; }
    // True when login is this account, the password perhaps changed since:
    // the open connection stays, and the next one opens with the new password.
    bool follow(const Connection::Login& login)
    {
        Connection::Login same = login;
        same.password = m_login.password;
        same.formerPassword = m_login.formerPassword;
        if (same != m_login)
            return false;
        m_login.password = login.password;
        m_login.formerPassword = login.formerPassword;
        return true;
    }
    bool isOpen() const { return m_connection && !m_connection->isBroken(); }
    // Closes the connection; the next use opens a new one.
    void drop() { m_connection.reset(); }

    template <typename Fn> auto run(Fn&& fn) -> decltype(fn(std::declval<Connection&>()))
    {
        QElapsedTimer waited;
        waited.start();
        for (int attempt = 1;; ++attempt) {
            const bool wasKept = isOpen();
            // Throws when no address answers: there is nothing left to try.
            Connection& c = connection();
            try {
                return waitFor(fn, c);
            } catch (const DbError& e) {
                if (!e.isConnectionLoss())
                    throw;
                m_server.wentAway(c.address());
                drop();
                // With one address, a connection opened just now that broke
                // is a server that is not there; with several, the next try
                // goes to another. One that stopped answering has kept the
                // consultant waiting long enough: the failure is what the
                // user sees.
                const bool several = m_server.size() > 1;
                if ((!wasKept && !several) || attempt >= std::max<qsizetype>(2, m_server.size()) ||
                    e.outcomeUnknown() || waited.elapsed() >= timedOutAfterMs())
                    throw;
            }
        }
    }

    // The connection itself, opened if there is none.
    Connection& connection()
    {
        if (!isOpen()) {
            m_connection.reset();
            const auto open = [this] {
                m_connection = std::make_unique<Connection>(m_server, Database::Data, m_options, m_login);
            };
            if (m_wait)
                m_wait(open);
            else
                open();
        }
        return *m_connection;
    }

private:
    template <typename Fn> auto waitFor(Fn& fn, Connection& c) -> decltype(fn(c))
    {
        using Out = decltype(fn(c));
        if (!m_wait)
            return fn(c);
        if constexpr (std::is_void_v<Out>) {
            m_wait([&] { fn(c); });
        } else {
            std::optional<Out> out;
            m_wait([&] { out.emplace(fn(c)); });
            return std::move(*out);
        }
    }

    qint64 timedOutAfterMs() const { return m_options.readTimeoutSeconds * 1000LL - 500; }

    ServerList m_server;
    Connection::Options m_options;
    ServerWait m_wait;
    Connection::Login m_login;
    std::unique_ptr<Connection> m_connection;
};

} // namespace dl
