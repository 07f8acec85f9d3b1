#include "core/actionguard.h"

#include "core/serverhelp.h"
#include "data/dberror.h"

namespace dl {

QString errorAdvice(const DbError& e)
{
    if (e.isConnectionLoss())
        return QStringLiteral("\r\n\r\nDe databaseserver is niet bereikbaar. Probeer het zo meteen opnieuw.");
    if (e.errorClass() == ErrorClass::ThisNodeOnly && e.number() != 2026)
        return QStringLiteral("\r\n\r\nDe databaseserver neemt nu geen verbinding meer aan (te veel "
                              "verbindingen). Probeer het over enkele minuten opnieuw; blijft het zo, neem "
                              "dan contact op met het kantoor.");
    if (e.isRetryable() || e.number() == 1020)
        return QStringLiteral("\r\n\r\nEen andere werkplek was tegelijk met dezelfde gegevens bezig. "
                              "Probeer het zo meteen opnieuw.");
    return {};
}

QString errorLineFor(const DbError& e)
{
    switch (e.number()) {
    case 1205:
        return QStringLiteral(
            "Fout 1205: een andere werkplek houdt deze gegevens vast (zij slaat dezelfde maand "
            "op of declareert die); de server heeft er te lang op gewacht.");
    case 1213:
        return QStringLiteral("Fout 1213: een andere werkplek schreef tegelijk dezelfde gegevens.");
    default:
        return e.errorLine();
    }
}

QString errorMessageText(const DbError& e)
{
    return QStringLiteral("De actie is niet uitgevoerd; er is niets gewijzigd.\r\n\r\n") + errorLineFor(e) +
           errorAdvice(e);
}

namespace {

// Runs the action; a DbError is shown in the words explain gives it.
bool guarded(MessageService& messages, const std::function<void()>& action,
             const std::function<QString(const DbError&)>& explain)
{
    try {
        action();
        return true;
    } catch (const DbError& e) {
        messages.inform(explain(e), Icon::Critical);
    } catch (const std::exception& e) {
        messages.inform(QStringLiteral("De actie is niet uitgevoerd.\r\n\r\n") + QString::fromUtf8(e.what()),
                        Icon::Critical);
    }
    return false;
}

} // namespace

bool runGuarded(MessageService& messages, const std::function<void()>& action)
{
    return guarded(messages, action, [](const DbError& e) { return errorMessageText(e); });
}

bool runGuarded(MessageService& messages, const ServerList& server, const std::function<void()>& action)
{
    return guarded(messages, action, [&server](const DbError& e) {
        return e.isConnectionLoss() ? unreachableServerText(server, e)
               : e.isTlsRefusal()   ? refusedServerText(e)
                                    : errorMessageText(e);
    });
}

} // namespace dl
