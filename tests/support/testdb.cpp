#include "testdb.h"

#include "data/records.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTextStream>

#include <stdexcept>
#include <string>

namespace dl::test {

namespace {

QString readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return QString::fromUtf8(f.readAll());
}

QSqlDatabase admin()
{
    const QString name = QStringLiteral("testdb-admin");
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase db = QSqlDatabase::database(name);
        if (db.isOpen())
            return db;
    }
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false)
                                                   : QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), name);
    db.setUserName(QStringLiteral("root"));
    db.setConnectOptions(QStringLiteral("UNIX_SOCKET=") + TestDb::socketPath());
    if (!db.open())
        throw std::runtime_error("test server not reachable: " + db.lastError().text().toStdString());
    return db;
}

} // namespace

QString TestDb::socketPath()
{
    return QStringLiteral(DL_TESTDB_DIR) + QStringLiteral("/mysqld.sock");
}

ServerAddress TestDb::server()
{
    ServerAddress a;
    a.host = QStringLiteral("127.0.0.1");
    a.port = readFile(QStringLiteral(DL_TESTDB_DIR) + QStringLiteral("/port")).trimmed().toInt();
    return a;
}

void execAs(QSqlDatabase db, const QString& sql, const QVariantList& binds, const char* who)
{
    QSqlQuery q(db);
    bool ok = false;
    if (binds.isEmpty()) {
        ok = q.exec(sql);
        while (ok && q.nextResult()) {
        }
    } else {
        ok = q.prepare(sql);
        for (const QVariant& v : binds)
            q.addBindValue(v);
        ok = ok && q.exec();
    }
    if (!ok)
        throw std::runtime_error(std::string(who) + " SQL failed: " + q.lastError().text().toStdString() + " in "
                                 + sql.left(200).toStdString());
}

QStringList rowsAs(QSqlDatabase db, const QString& sql, const QVariantList& binds, const char* who)
{
    QSqlQuery q(db);
    q.prepare(sql);
    for (const QVariant& v : binds)
        q.addBindValue(v);
    if (!q.exec())
        throw std::runtime_error(std::string(who) + " SQL failed: " + q.lastError().text().toStdString());
    QStringList out;
    while (q.next()) {
        QStringList cols;
        for (int i = 0; i < q.record().count(); ++i)
            cols << (q.value(i).isNull() ? QStringLiteral("<NULL>") : q.value(i).toString());
        out << cols.join(u'|');
    }
    return out;
}

void TestDb::exec(const QString& sql, const QVariantList& binds)
{
    execAs(admin(), sql, binds, "test");
}

QStringList TestDb::rows(const QString& sql, const QVariantList& binds)
{
    return rowsAs(admin(), sql, binds, "test");
}

int TestDb::count(const QString& table)
{
    return rows(QStringLiteral("SELECT COUNT(*) FROM ") + table).value(0).toInt();
}

void TestDb::reset()
{
    exec(QStringLiteral(
        "TRUNCATE TABLE torvakdb_TORVAKdata.KALMIRO_consultants;"
        "TRUNCATE TABLE torvakdb_TORVAKdata.LOGINconsultant;"
        "TRUNCATE TABLE torvakdb_TORVAKdata.KALMIRO_projecten;"
        "TRUNCATE TABLE torvakdb_TORVAKdata.KALMIRO_opdrachtgevers;"
        "TRUNCATE TABLE torvakdb_TORVAKdata.KALMIRO_berichten;"
        "TRUNCATE TABLE torvakdb_TORVAKraporten.Raporten;"
        "TRUNCATE TABLE torvakdb_TORVAKraporten.Sloten;"
        "TRUNCATE TABLE torvakdb_TORVAKdeclaraties.Declaraties;"));
}

void TestDb::runFile(const QString& path)
{
    exec(readFile(path));
}

void TestDb::loadDemo()
{
    reset();
    runFile(QStringLiteral(DL_SOURCE_DIR) + QStringLiteral("/schema/demo.sql"));
}

void TestDb::reloadSchema()
{
    for (const char* f : {"01_databases.sql", "02_data.sql", "03_raporten.sql", "04_declaraties.sql",
                          "05_rechten.sql"})
        runFile(QStringLiteral(DL_SOURCE_DIR) + QStringLiteral("/schema/") + QLatin1String(f));
    Records::forgetSchema();
}

} // namespace dl::test
