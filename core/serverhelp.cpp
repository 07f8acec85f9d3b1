#include "core/serverhelp.h"

#include "core/settingsfile.h"
#include "data/dberror.h"

#include <QStringList>

namespace dl {

QString unreachableServerText(const ServerList& tried, const QString& settingsPath)
{
    QStringList addresses;
    for (const ServerAddress& a : tried.addresses()) {
        const QString host = a.host.contains(u':') ? u'[' + a.host + u']' : a.host;
        addresses << host + u':' + QString::number(a.port);
    }
    const QString what =
        addresses.size() == 1
            ? QStringLiteral("De databaseserver op %1 is niet bereikbaar.\r\n\r\n"
                             "Controleer of de server aan staat en of deze computer hem via het netwerk "
                             "kan bereiken.\r\n\r\n")
                  .arg(addresses.first())
            : QStringLiteral("Geen van de databaseservers is bereikbaar; geprobeerd: %1.\r\n\r\n"
                             "Controleer of de servers aan staan en of deze computer ze via het netwerk "
                             "kan bereiken.\r\n\r\n")
                  .arg(addresses.join(QStringLiteral(", ")));
    return what +
           QStringLiteral("Een ander adres geeft u op een van deze manieren:\r\n"
                          "- start het programma eenmaal met  declaraties --server HOST[:POORT]  "
                          "(het adres wordt onthouden; de nodes van een cluster met komma's ertussen: "
                          "HOST1,HOST2:POORT,HOST3);\r\n"
                          "- zet de omgevingsvariabele ") +
           QLatin1String(kServerEnv) +
           QStringLiteral(" (die gaat voor het onthouden adres);\r\n"
                          "- pas de sleutel ") +
           QLatin1String(kServerSettingsKey) + QStringLiteral(" aan in ") + settingsPath +
           QStringLiteral(".");
}

QString unreachableServerText(const ServerList& tried, const DbError& error, const QString& settingsPath)
{
    return unreachableServerText(tried, settingsPath) + QStringLiteral("\r\n\r\n") + error.errorLine();
}

QString unreachableServerText(const ServerList& tried)
{
    return unreachableServerText(tried, settingsFilePath());
}

QString unreachableServerText(const ServerList& tried, const DbError& error)
{
    return unreachableServerText(tried, error, settingsFilePath());
}

QString refusedServerText(const DbError& error)
{
    // The reason on a line of its own: the box does not break long lines well.
    // A server that cannot prove itself is what an attack looks like, so the
    // office looks into it; the settings are not for the consultant to lower.
    QString what = error.description();
    what.replace(QStringLiteral(" is geweigerd: "), QStringLiteral(" is geweigerd:\r\n"));
    return what + QStringLiteral("\r\n\r\n"
                                 "De server kon niet worden geverifieerd. "
                                 "Neem contact op met het kantoor.");
}

} // namespace dl
