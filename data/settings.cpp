#include "data/settings.h"

namespace dl {

QString databaseName(Database db, TableNames names)
{
    if (names != TableNames::Shared)
        return QLatin1String(kOwnDatabase);
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

} // namespace dl
