#include "data/connection.h"

#include "data/dberror.h"

#include <QRegularExpression>
#include <QSqlError>

#include <atomic>

namespace dl {

namespace {
std::atomic<quint64> g_counter{0};
}

Connection::Connection(const ServerAddress& server, Database home)
    : Connection(server, home, Options{})
{
}

Connection::Connection(const ServerAddress& server, Database home, Options options)
    : m_name(QStringLiteral("dl-%1").arg(++g_counter))
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
    if (!m_db.open()) {
        const QSqlError err = m_db.lastError();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw DbError::fromSql(err);
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
