#pragma once
// The addresses of one office's data: a single server, or the nodes of a
// cluster, tried in turn. Copies (the window's and the ticker's connection)
// share which address answered last and which one went away.

#include "data/settings.h"

#include <QList>
#include <QString>

#include <atomic>
#include <memory>

class QSettings;

namespace dl {

class ServerList {
public:
    ServerList() : ServerList(ServerAddress{}) {}
    // A single server is a list of one.
    ServerList(const ServerAddress& only); // NOLINT(google-explicit-constructor)
    // "HOST[:PORT]" items separated by commas; blanks around them, empty
    // items and an address given twice are left out. Nothing: localhost.
    static ServerList parse(const QString& text);

    const QList<ServerAddress>& addresses() const { return m_addresses; }
    const ServerAddress& first() const { return m_addresses.first(); }
    qsizetype size() const { return m_addresses.size(); }
    // "a,b:3307": the default port left out.
    QString toString() const;

    // The order of the next connection's tries: the address that answered
    // last first, then the others in list order; one that went away since
    // it answered comes last.
    QList<ServerAddress> tryOrder() const;
    void answered(const ServerAddress& address) const;
    void wentAway(const ServerAddress& address) const;

    bool operator==(const ServerList& other) const { return m_addresses == other.m_addresses; }

private:
    struct State {
        std::atomic<int> answered{-1};
        std::atomic<int> away{-1};
    };
    QList<ServerAddress> m_addresses; // never empty
    std::shared_ptr<State> m_state;
};

// --server, else DECLARATIES_SERVER, else the stored setting, else
// localhost; each may list several addresses.
ServerList resolveServer(const QString& commandLine, const QString& environment, const QSettings* settings);

} // namespace dl
