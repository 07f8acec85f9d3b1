#include "galeranodes.h"

#include "testdb.h"

#include <QFile>
#include <QMutex>
#include <QThread>

#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace dl::test {

namespace {

QString nodeDir(int n)
{
    return QStringLiteral(DL_GALERA_DIR "/node%1").arg(n);
}

QMutex g_adminMutex;
std::unique_ptr<Connection> g_admin[GaleraNodes::kNodes];

Connection& admin(int n)
{
    std::unique_ptr<Connection>& c = g_admin[n - 1];
    if (!c || c->isBroken())
        c = adminConnection(nodeDir(n) + QStringLiteral("/mysqld.sock"), "cluster node");
    return *c;
}

void dropAdmin(int n)
{
    QMutexLocker lock(&g_adminMutex);
    g_admin[n - 1].reset();
}

bool script(const QString& command, int n)
{
    const QByteArray line = QByteArray(DL_SOURCE_DIR "/scripts/galera.sh ") + command.toUtf8() + " '" +
                            DL_GALERA_DIR "' " + QByteArray::number(n) + " >/dev/null";
    return std::system(line.constData()) == 0;
}

} // namespace

ServerAddress GaleraNodes::node(int n)
{
    QFile f(QStringLiteral(DL_GALERA_DIR "/ports"));
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("no cluster ports file");
    const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
    ServerAddress a;
    a.host = QStringLiteral("127.0.0.1");
    a.port = lines.value(n - 1).section(u' ', 0, 0).toInt();
    return a;
}

ServerList GaleraNodes::list(const QList<int>& nodes)
{
    QStringList parts;
    for (const int n : nodes)
        parts << node(n).toString();
    return ServerList::parse(parts.join(u','));
}

void GaleraNodes::exec(int n, const QString& sql, const QVariantList& binds)
{
    QMutexLocker lock(&g_adminMutex);
    execAs(admin(n), sql, binds, "cluster");
}

QStringList GaleraNodes::rows(int n, const QString& sql, const QVariantList& binds)
{
    QMutexLocker lock(&g_adminMutex);
    return rowsAs(admin(n), sql, binds, "cluster");
}

OfficeServer GaleraNodes::office(int n)
{
    return {QStringLiteral(DL_SOURCE_DIR "/scripts/galera.sh"),
            {QStringLiteral("sql"), QStringLiteral(DL_GALERA_DIR), QString::number(n)},
            [n](const QString& sql) {
                exec(n, sql);
                sync();
            },
            [] { loadDemo(); }};
}

void GaleraNodes::loadDemo()
{
    // DELETE, not TRUNCATE: replicated as rows, no table rebuilt on every node.
    exec(1, QStringLiteral("DELETE FROM torvakdb_TORVAKdata.KALMIRO_consultants;"
                           "DELETE FROM torvakdb_TORVAKdata.LOGINconsultant;"
                           "DELETE FROM torvakdb_TORVAKdata.KALMIRO_projecten;"
                           "DELETE FROM torvakdb_TORVAKdata.KALMIRO_opdrachtgevers;"
                           "DELETE FROM torvakdb_TORVAKdata.KALMIRO_berichten;"
                           "DELETE FROM torvakdb_TORVAKraporten.Raporten;"
                           "DELETE FROM torvakdb_TORVAKraporten.Sloten;"
                           "DELETE FROM torvakdb_TORVAKdeclaraties.Declaraties;"));
    QFile f(QStringLiteral(DL_SOURCE_DIR "/schema/demo.sql"));
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("no demo.sql");
    exec(1, QString::fromUtf8(f.readAll()));
    sync();
}

bool GaleraNodes::isRunning(int n)
{
    QFile f(nodeDir(n) + QStringLiteral("/mysqld.pid"));
    return f.exists();
}

bool GaleraNodes::kill(int n)
{
    dropAdmin(n);
    if (!script(QStringLiteral("kill"), n))
        return false;
    // The others notice within the cluster's suspect timeout.
    const int other = n == 1 ? 2 : 1;
    for (int i = 0; i < 150; ++i) {
        try {
            if (rows(other, QStringLiteral("SHOW STATUS LIKE 'wsrep_cluster_size'"))
                        .value(0)
                        .section(u'|', 1) == u"2" &&
                rows(other, QStringLiteral("SHOW STATUS LIKE 'wsrep_ready'")).value(0).section(u'|', 1) ==
                    u"ON")
                return true;
        } catch (const std::exception&) {
        }
        QThread::msleep(100);
    }
    return false;
}

bool GaleraNodes::start(int n)
{
    dropAdmin(n);
    return script(QStringLiteral("start-node"), n);
}

void GaleraNodes::sync()
{
    // wsrep_sync_wait makes a read wait until the node has applied every
    // commit the cluster knew when the read began.
    for (int n = 1; n <= kNodes; ++n) {
        if (!isRunning(n))
            continue;
        exec(n, QStringLiteral("SET SESSION wsrep_sync_wait = 1"));
        rows(n, QStringLiteral("SELECT COUNT(*) FROM torvakdb_TORVAKraporten.Raporten"));
        exec(n, QStringLiteral("SET SESSION wsrep_sync_wait = 0"));
    }
}

} // namespace dl::test
