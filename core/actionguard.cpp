#include "core/actionguard.h"

#include "core/serverhelp.h"
#include "data/dberror.h"
#include "data/dutchnumbers.h"

namespace dl {

QString errorMessageText(const DbError& e)
{
    QString text = QStringLiteral("De actie is niet uitgevoerd; er is niets gewijzigd.\r\n\r\n"
                                  "Fout %1: %2")
                       .arg(e.number())
                       .arg(e.description());
    if (e.isConnectionLoss())
        text +=
            QStringLiteral("\r\n\r\nDe databaseserver is niet bereikbaar. Probeer het zo meteen opnieuw.");
    else if (e.isRetryable() || e.number() == 1020)
        text += QStringLiteral("\r\n\r\nEen andere werkplek was tegelijk met dezelfde gegevens bezig. "
                               "Probeer het zo meteen opnieuw.");
    return text;
}

bool runGuarded(MessageService& messages, const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const DbError& e) {
        messages.inform(errorMessageText(e), Icon::Critical);
    } catch (const std::exception& e) {
        messages.inform(QStringLiteral("De actie is niet uitgevoerd.\r\n\r\n") + QString::fromUtf8(e.what()),
                        Icon::Critical);
    }
    return false;
}

bool runGuarded(MessageService& messages, const ServerList& server, const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const DbError& e) {
        messages.inform(e.isConnectionLoss() ? unreachableServerText(server, e)
                        : e.isTlsRefusal()   ? refusedServerText(e)
                                             : errorMessageText(e),
                        Icon::Critical);
    } catch (const std::exception& e) {
        messages.inform(QStringLiteral("De actie is niet uitgevoerd.\r\n\r\n") + QString::fromUtf8(e.what()),
                        Icon::Critical);
    }
    return false;
}

} // namespace dl
