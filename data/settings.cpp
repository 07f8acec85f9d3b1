#include "data/settings.h"

#include <QSettings>
#include <QStringList>

namespace dl {

QString databaseName(Database db)
{
    switch (db) {
    case Database::Data:
        return QStringLiteral("torvakdb_TORVAKdata");
    case Database::Reports:
        return QStringLiteral("torvakdb_TORVAKraporten");
    case Database::Declarations:
        return QStringLiteral("torvakdb_TORVAKdeclaraties");
    }
    return {};
}

ServerAddress ServerAddress::parse(const QString& text)
{
    ServerAddress a;
    const QString t = text.trimmed();
    if (t.isEmpty())
        return a;
    if (t.startsWith(u'[')) {
        const qsizetype close = t.indexOf(u']');
        if (close > 0) {
            a.host = t.mid(1, close - 1);
            if (t.mid(close + 1).startsWith(u':')) {
                bool ok = false;
                const int p = t.mid(close + 2).toInt(&ok);
                if (ok && p > 0 && p < 65536)
                    a.port = p;
            }
            return a;
        }
    }
    const qsizetype colon = t.lastIndexOf(u':');
    if (colon > 0 && t.count(u':') == 1) {
        bool ok = false;
        const int p = t.mid(colon + 1).toInt(&ok);
        a.host = t.left(colon);
        if (ok && p > 0 && p < 65536)
            a.port = p;
        return a;
    }
    a.host = t;
    return a;
}

QString ServerAddress::toString() const
{
    const QString h = host.contains(u':') ? u'[' + host + u']' : host;
    return port == 3306 ? h : h + u':' + QString::number(port);
}

ServerList::ServerList(const ServerAddress& only)
    : m_addresses{only}, m_lastAnswered(std::make_shared<std::atomic<int>>(0))
{
}

ServerList ServerList::parse(const QString& text)
{
    ServerList out;
    out.m_addresses.clear();
    for (const QString& part : text.split(u',')) {
        if (part.trimmed().isEmpty())
            continue;
        const ServerAddress a = ServerAddress::parse(part);
        if (!out.m_addresses.contains(a))
            out.m_addresses << a;
    }
    if (out.m_addresses.isEmpty())
        out.m_addresses << ServerAddress{};
    return out;
}

QString ServerList::toString() const
{
    QStringList parts;
    for (const ServerAddress& a : m_addresses)
        parts << a.toString();
    return parts.join(u',');
}

QList<ServerAddress> ServerList::tryOrder() const
{
    const int last = m_lastAnswered->load();
    if (last <= 0 || last >= m_addresses.size())
        return m_addresses;
    QList<ServerAddress> out{m_addresses.at(last)};
    for (int i = 0; i < m_addresses.size(); ++i) {
        if (i != last)
            out << m_addresses.at(i);
    }
    return out;
}

void ServerList::answered(const ServerAddress& address) const
{
    const qsizetype i = m_addresses.indexOf(address);
    if (i >= 0)
        m_lastAnswered->store(static_cast<int>(i));
}

QString connectionString(Database db, const ServerAddress& server)
{
    return QStringList{QStringLiteral("driver={MySQL ODBC 3.51 Driver}"),
                       QStringLiteral("server=") + server.toString(),
                       QStringLiteral("uid=") + QLatin1String(kAccount),
                       QStringLiteral("pwd=") + QLatin1String(kPassword),
                       QStringLiteral("database=") + databaseName(db),
                       QStringLiteral("option=16387")}
        .join(u';');
}

ServerList resolveServer(const QString& commandLine, const QString& environment,
                            const QSettings* settings)
{
    if (!commandLine.trimmed().isEmpty())
        return ServerList::parse(commandLine);
    if (!environment.trimmed().isEmpty())
        return ServerList::parse(environment);
    if (settings) {
        const QString stored = settings->value(QLatin1String(kServerSettingsKey)).toString();
        if (!stored.trimmed().isEmpty())
            return ServerList::parse(stored);
    }
    return {};
}

} // namespace dl
