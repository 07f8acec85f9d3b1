#pragma once
// Connection settings: the constants of the three databases and the one
// piece of configuration, the server address (a list of them: serverlist.h).

#include <QString>

namespace dl {

enum class Database { Data, Reports, Declarations };

inline constexpr const char* kAccount = "torvakdb";
inline constexpr const char* kPassword = "k4uTbrol";

// Under which names a connection reaches the program's tables.
enum class TableNames {
    Shared,      // the three databases, as the program's shared account
    OwnAccount,  // the consultant's own account: every action a call of the server's procedure
    MessageOnly, // the program's account once the office switched: the message view alone
};

// The database of the procedures a consultant's own account calls (and of the views).
inline constexpr const char* kOwnDatabase = "torvakdb_TORVAKeigen";

QString databaseName(Database db, TableNames names = TableNames::Shared);

// How the line to the server is protected and its certificate checked; the
// connection applies these before it connects and checks them after.
struct TlsOptions {
    enum class Mode { Preferred, Required, Off };
    Mode mode = Mode::Preferred;
    QString ca;   // the CA certificate that signs the office server's certificate
    QString cert; // a client certificate and its key, when the server asks for one
    QString key;
    bool operator==(const TlsOptions&) const = default;
};

struct ServerAddress {
    QString host = QStringLiteral("localhost");
    int port = 3306;

    // "HOST", "HOST:PORT", "[v6]:PORT"; an empty text gives localhost.
    static ServerAddress parse(const QString& text);
    QString toString() const;
    bool operator==(const ServerAddress&) const = default;
};

// The environment variables and remembered keys of the connection settings.
inline constexpr const char* kServerEnv = "DECLARATIES_SERVER";
inline constexpr const char* kServerSettingsKey = "database/server";
inline constexpr const char* kTlsEnv = "DECLARATIES_TLS";
inline constexpr const char* kTlsCaEnv = "DECLARATIES_TLS_CA";
inline constexpr const char* kTlsCertEnv = "DECLARATIES_TLS_CERT";
inline constexpr const char* kTlsKeyEnv = "DECLARATIES_TLS_KEY";
inline constexpr const char* kTlsSettingsKey = "database/tls";
inline constexpr const char* kTlsCaSettingsKey = "database/tls-ca";
inline constexpr const char* kTlsCertSettingsKey = "database/tls-cert";
inline constexpr const char* kTlsKeySettingsKey = "database/tls-key";

} // namespace dl
