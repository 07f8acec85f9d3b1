#pragma once
// The private test server started by the testdb fixture: its address, and
// administrator SQL for setting up rows.

#include "data/settings.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace dl::test {

// Administrator SQL on an open connection; who names the server in errors.
void execAs(QSqlDatabase db, const QString& sql, const QVariantList& binds, const char* who);
QStringList rowsAs(QSqlDatabase db, const QString& sql, const QVariantList& binds, const char* who);

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
};

} // namespace dl::test
