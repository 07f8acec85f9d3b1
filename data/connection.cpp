#include "data/connection.h"

#include "data/dberror.h"

#include <QRegularExpression>
#include <QSqlError>

#include <atomic>
#include <optional>

namespace dl {

namespace {
std::atomic<quint64> g_counter{0};
}

Connection::Connection(const ServerList& server, Database home)
    : Connection(server, home, Options{})
{
}

Connection::Connection(const ServerList& server, Database home, Options options)
    : m_name(QStringLiteral("dl-%1").arg(++g_counter))
{
    // The address that answered last first, then the others in list order;
    // each try is bounded by the connect timeout.
    std::optional<DbError> failure;
    const bool several = server.addresses().size() > 1;
    for (const ServerAddress& address : server.tryOrder()) {
        try {
            open(address, home, options);
            if (several)
                checkNodeReady();
            server.answered(address);
            return;
        } catch (const DbError& e) {
            if (m_db.isValid()) {
                m_db.close();
                m_db = QSqlDatabase();
                QSqlDatabase::removeDatabase(m_name);
            }
            // A node that is down, or up but not ready for clients, does not
            // answer; anything else (a refused account) is the answer.
            if (!e.isConnectionLoss() && e.number() != kNodeNotReady)
                throw;
            failure = e;
        }
    }
    throw *failure;
}

void Connection::open(const ServerAddress& server, Database home, const Options& options)
{
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), m_name);
    if (!m_db.isValid())
        throw DbError(2000, QStringLiteral("Het databasestuurprogramma QMYSQL ontbreekt."));
    m_db.setHostName(server.host);
    m_db.setPort(server.port);
    m_db.setUserName(QLatin1String(kAccount));
    m_db.setPassword(QLatin1String(kPassword));
    m_db.setDatabaseName(databaseName(home));
    m_db.setConnectOptions(QStringLiteral("MYSQL_OPT_CONNECT_TIMEOUT=%1;MYSQL_OPT_READ_TIMEOUT=%2;"
                                          "MYSQL_OPT_WRITE_TIMEOUT=%2")
                               .arg(options.connectTimeoutSeconds)
                               .arg(options.readTimeoutSeconds));
    if (!m_db.open())
        throw DbError::fromSql(m_db.lastError());
}

void Connection::checkNodeReady()
{
    // A cluster node that is still catching up answers, but must not be used.
    // MySQL has no @@wsrep_on (1193): not a cluster. A server that is no
    // cluster node reports wsrep_ready OFF too, hence the first column.
    try {
        QSqlQuery q = exec(QStringLiteral("SELECT @@wsrep_on, (SELECT VARIABLE_VALUE FROM "
                                          "information_schema.GLOBAL_STATUS WHERE VARIABLE_NAME = 'WSREP_READY')"));
        if (q.next() && q.value(0).toInt() == 1 && q.value(1).toString() != u"ON")
            throw DbError(kNodeNotReady, QStringLiteral("WSREP has not yet prepared node for application use"));
    } catch (const DbError& e) {
        if (e.number() != 1193)
            throw;
    }
}

Connection::~Connection()
{
    if (m_inTransaction)
        rollback();
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

QSqlQuery Connection::exec(const QString& sql, const QVariantList& binds)
{
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    q.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    if (!q.prepare(sql))
        throw DbError::fromSql(q.lastError());
    for (const QVariant& v : binds)
        q.addBindValue(v);
    if (!q.exec())
        throw DbError::fromSql(q.lastError());
    return q;
}

QString Connection::quoteIdentifier(const QString& name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_]+$"));
    Q_ASSERT(plain.match(name).hasMatch());
    if (!plain.match(name).hasMatch())
        throw DbError(1103, QStringLiteral("Ongeldige naam: ") + name);
    return u'`' + name + u'`';
}

QString Connection::qualified(const TableRef& table)
{
    return quoteIdentifier(databaseName(table.db)) + u'.' + quoteIdentifier(table.name);
}

void Connection::begin()
{
    if (!m_db.transaction())
        throw DbError::fromSql(m_db.lastError());
    m_inTransaction = true;
}

void Connection::commit()
{
    m_inTransaction = false;
    if (!m_db.commit())
        throw DbError::fromSql(m_db.lastError());
}

void Connection::rollback() noexcept
{
    m_inTransaction = false;
    m_db.rollback();
}

} // namespace dl
