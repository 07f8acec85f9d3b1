#include "data/serverlist.h"

#include <QSettings>
#include <QStringList>

namespace dl {

ServerList::ServerList(const ServerAddress& only) : m_addresses{only}, m_state(std::make_shared<State>()) {}

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
    const int n = static_cast<int>(m_addresses.size());
    const int away = m_state->away.load();
    int first = m_state->answered.load();
    if (first >= n || first == away)
        first = -1;
    QList<ServerAddress> out;
    if (first >= 0)
        out << m_addresses.at(first);
    for (int i = 0; i < n; ++i) {
        if (i != first && i != away)
            out << m_addresses.at(i);
    }
    if (away >= 0 && away < n)
        out << m_addresses.at(away);
    return out;
}

void ServerList::answered(const ServerAddress& address) const
{
    const int i = static_cast<int>(m_addresses.indexOf(address));
    if (i < 0)
        return;
    m_state->answered.store(i);
    int away = i;
    m_state->away.compare_exchange_strong(away, -1);
}

void ServerList::wentAway(const ServerAddress& address) const
{
    const int i = static_cast<int>(m_addresses.indexOf(address));
    if (i >= 0)
        m_state->away.store(i);
}

ServerList resolveServer(const QString& commandLine, const QString& environment, const QSettings* settings)
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
