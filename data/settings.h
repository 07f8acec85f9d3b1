#pragma once
// Connection settings: the constants of the three databases and the one
// piece of configuration, the server address.

#include <QList>
#include <QString>

#include <atomic>
#include <memory>

class QSettings;

namespace dl {

enum class Database { Data, Reports, Declarations };

inline constexpr const char* kAccount = "torvakdb";
inline constexpr const char* kPassword = "k4uTbrol";

QString databaseName(Database db);

struct ServerAddress {
    QString host = QStringLiteral("localhost");
    int port = 3306;

    // "HOST", "HOST:PORT", "[v6]:PORT"; an empty text gives localhost.
    static ServerAddress parse(const QString& text);
    QString toString() const;
    bool operator==(const ServerAddress&) const = default;
};

// The addresses of one office's data: a single server, or the nodes of a
// cluster, tried in turn. Copies share which address answered last.
class ServerList {
public:
    ServerList() : ServerList(ServerAddress{}) {}
    // A single server.
    ServerList(const ServerAddress& only); // NOLINT: a server is a list of one
    // "HOST[:PORT]" items separated by commas; blanks around them and empty
    // items are left out, and so is an address given twice. Nothing: localhost.
    static ServerList parse(const QString& text);

    const QList<ServerAddress>& addresses() const { return m_addresses; }
    const ServerAddress& first() const { return m_addresses.first(); }
    // "a,b:3307": as given, the default port left out.
    QString toString() const;

    // The order in which a connection tries the addresses: the one that
    // answered last first, then the others in list order.
    QList<ServerAddress> tryOrder() const;
    void answered(const ServerAddress& address) const;

    bool operator==(const ServerList& other) const { return m_addresses == other.m_addresses; }

private:
    QList<ServerAddress> m_addresses; // never empty
    std::shared_ptr<std::atomic<int>> m_lastAnswered;
};

// The ODBC-style connection string the office documents give for a database;
// kept so that support staff see the same six items.
QString connectionString(Database db, const ServerAddress& server);

inline constexpr const char* kServerEnv = "DECLARATIES_SERVER";
inline constexpr const char* kServerSettingsKey = "database/server";

// --server, else DECLARATIES_SERVER, else the stored setting, else localhost;
// each may list several addresses.
ServerList resolveServer(const QString& commandLine, const QString& environment,
                            const QSettings* settings);

} // namespace dl
