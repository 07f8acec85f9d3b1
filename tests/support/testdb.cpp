#include "testdb.h"

#include "data/records.h"

#include <QFile>
#include <QMutex>
#include <QTextStream>

#include <memory>
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

QMutex g_adminMutex;
std::unique_ptr<Connection> g_admin;

// Opened again after a restart broke it.
Connection& admin()
{
    if (!g_admin || g_admin->isBroken())
        g_admin = adminConnection(TestDb::socketPath(), "test server");
    return *g_admin;
}

} // namespace

std::unique_ptr<Connection> adminConnection(const QString& socket, const char* who)
{
    Connection::Login root;
    root.user = QStringLiteral("root");
    root.password = QString();
    root.socket = socket;
    root.scripts = true;
    root.sessionSettings = false;
    try {
        return std::make_unique<Connection>(ServerAddress{}, Database::Data, Connection::Options{4, 60},
                                            root);
    } catch (const DbError& e) {
        throw std::runtime_error(std::string(who) + " not reachable: " + e.what());
    }
}

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

void execAs(Connection& c, const QString& sql, const QVariantList& binds, const char* who)
{
    try {
        if (binds.isEmpty())
            c.runScript(sql);
        else
            c.exec(sql, binds);
    } catch (const DbError& e) {
        throw std::runtime_error(std::string(who) + " SQL failed: " + e.what() + " in " +
                                 sql.left(200).toStdString());
    }
}

QStringList rowsAs(Connection& c, const QString& sql, const QVariantList& binds, const char* who)
{
    Result q;
    try {
        q = c.exec(sql, binds);
    } catch (const DbError& e) {
        throw std::runtime_error(std::string(who) + " SQL failed: " + e.what());
    }
    QStringList out;
    while (q.next()) {
        QStringList cols;
        for (int i = 0; i < q.columns()->count(); ++i) {
            const QVariant v = q.value(i);
            cols << (v.isNull() ? QStringLiteral("<NULL>") : v.toString());
        }
        out << cols.join(u'|');
    }
    return out;
}

void TestDb::exec(const QString& sql, const QVariantList& binds)
{
    QMutexLocker lock(&g_adminMutex);
    execAs(admin(), sql, binds, "test");
}

QStringList TestDb::rows(const QString& sql, const QVariantList& binds)
{
    QMutexLocker lock(&g_adminMutex);
    return rowsAs(admin(), sql, binds, "test");
}

void TestDb::dropAdmin()
{
    QMutexLocker lock(&g_adminMutex);
    g_admin.reset();
}

int TestDb::count(const QString& table)
{
    return rows(QStringLiteral("SELECT COUNT(*) FROM ") + table).value(0).toInt();
}

void TestDb::reset()
{
    exec(QStringLiteral("TRUNCATE TABLE torvakdb_TORVAKdata.KALMIRO_consultants;"
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
    // As the command-line client reads it: a DELIMITER line changes what
    // ends a statement (a compound statement holds semicolons).
    QString delimiter = QStringLiteral(";");
    QString pending;
    const auto flush = [&pending] {
        if (!pending.trimmed().isEmpty())
            exec(pending);
        pending.clear();
    };
    for (const QString& line : readFile(path).split(u'\n')) {
        if (line.startsWith(u"DELIMITER "_qs)) {
            flush();
            delimiter = line.mid(10).trimmed();
            continue;
        }
        if (delimiter != u";"_qs && line.trimmed().endsWith(delimiter)) {
            pending += line.trimmed().chopped(delimiter.size()) + u'\n';
            flush();
            continue;
        }
        pending += line + u'\n';
    }
    flush();
}

void TestDb::loadDemo()
{
    reset();
    runFile(QStringLiteral(DL_SOURCE_DIR) + QStringLiteral("/schema/demo.sql"));
}

void TestDb::reloadSchema()
{
    for (const char* f :
         {"01_databases.sql", "02_data.sql", "03_raporten.sql", "04_declaraties.sql", "05_rechten.sql"})
        runFile(QStringLiteral(DL_SOURCE_DIR) + QStringLiteral("/schema/") + QLatin1String(f));
    Records::forgetSchema();
}

} // namespace dl::test
