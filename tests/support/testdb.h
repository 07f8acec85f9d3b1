#pragma once
// The private test server started by the testdb fixture: its address, and
// administrator SQL for setting up rows.

#include "data/connection.h"
#include "data/settings.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <memory>

namespace dl::test {

// The administrator's connection over a server's socket (several statements
// allowed, no session settings of the program's own).
std::unique_ptr<Connection> adminConnection(const QString& socket, const char* who);
// Administrator SQL on an open connection; who names the server in errors.
void execAs(Connection& c, const QString& sql, const QVariantList& binds, const char* who);
QStringList rowsAs(Connection& c, const QString& sql, const QVariantList& binds, const char* who);

class TestDb {
public:
    static ServerAddress server();
    static QString socketPath();
    // Runs SQL as the administrator (several statements allowed when no binds).
    static void exec(const QString& sql, const QVariantList& binds = {});
    // Rows of a query as text (NULL as "<NULL>"), columns joined by "|".
    static QStringList rows(const QString& sql, const QVariantList& binds = {});
    static int count(const QString& table);
    // Empties every table of the three databases.
    static void reset();
    // reset() and the demo rows.
    static void loadDemo();
    static void runFile(const QString& path);
    // The schema files, to rebuild a table a test dropped.
    static void reloadSchema();
    // Forgets the administrator's connection (a restarted server broke it).
    static void dropAdmin();
};

} // namespace dl::test
