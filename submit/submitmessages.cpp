#include "submit/submitmessages.h"

#include "core/actionguard.h"
#include "core/messages.h"
#include "data/dberror.h"

namespace dl::submit {

QString noOpenMonthMessage()
{
    return QStringLiteral(
        "Er is geen maand geopend.\r\nKies eerst uw project en daarna het jaar en de maand.");
}

QString saveQuestion()
{
    return QStringLiteral("Dit raport opslaan om later weer te kunnen wijzigen ?");
}

QString saveCaption()
{
    return QStringLiteral("RAPORT OPSLAAN ZONDER TE DECLAREREN");
}

QString notSavedMessage()
{
    return QStringLiteral("Rapport is NIET opgeslagen!");
}

QString savedMessage(const QString& titleLine)
{
    return QStringLiteral("Rapport is opgeslagen \r\n\r\n") + titleLine;
}

QString saveOfDeclaredMessage()
{
    return QStringLiteral("Dit raport is al gedeclareerd en kan niet meer worden opgeslagen.\r\n"
                          "Er is niets gewijzigd.");
}

namespace {

QString lostAnswer()
{
    return QStringLiteral(": de verbinding met de server viel weg voordat de server antwoordde.\r\n");
}

} // namespace

QString saveUnknownMessage(const DbError& e)
{
    return QStringLiteral("Het is niet bekend of het rapport is opgeslagen") + lostAnswer() +
           QStringLiteral("Kies de maand opnieuw; dan ziet U wat er is opgeslagen.\r\n\r\n") +
           errorLineFor(e);
}

QString elsewhereCaption()
{
    return QStringLiteral("RAPORT ELDERS GEWIJZIGD");
}

QString elsewhereQuestion(const QString& storedModified)
{
    return QStringLiteral("Dit raport is na het openen op een andere werkplek opgeslagen (") +
           storedModified + QStringLiteral(").\r\nWilt U het met uw versie overschrijven?");
}

bool overwriteConfirmed(MessageService& messages, const QString& storedModified)
{
    return messages.show({elsewhereQuestion(storedModified), elsewhereCaption(), Buttons::YesNo, Answer::No,
                          Icon::None}) == Answer::Yes;
}

QString blockedMessage()
{
    return QStringLiteral("Door administrator tijdelijk uitgezet");
}

QString declareQuestion(const QString& m, const QString& y, const QString& t)
{
    return QStringLiteral("U wilt het huidige raport opslaan, deze declaratie aanbieden en tegelijkertijd\r\n"
                          "toekomstige declaraties voor ") +
           m + y +
           QStringLiteral(" onmogelijk maken.\r\n\r\n"
                          "U kunt deze declaratie hierna NIET MEER PRINTEN!!\r\n\r\n"
                          "Wilt U nu deze declaratie aanbieden voor verwerking van € ") +
           t + QStringLiteral(" ?\r\n");
}

QString declareCaption()
{
    return QStringLiteral("RAPORT OPSLAAN EN DECLAREREN");
}

QString notDeclaredMessage(const QString& m, const QString& y)
{
    return QStringLiteral("Het Raport is NIET opgeslagen en\r\nde declaratie voor ") + m + y +
           QStringLiteral(" is NIET uitgevoerd\r\n");
}

QString declaredMessage(const QString& m, const QString& y)
{
    return QStringLiteral("Het Raport voor ") + m + y +
           QStringLiteral(" is opgeslagen en\r\nde declaratie hiervan is opgeslagen en aangeboden voor "
                          "uitvoering.\r\n");
}

QString invoiceNumberTakenMessage(const QString& invoice, const QString& m, const QString& y)
{
    return QStringLiteral("Het factuurnummer ") + invoice +
           QStringLiteral(" staat al op een andere declaratie.\r\n") + notDeclaredMessage(m, y) +
           QStringLiteral("\r\nNeem contact op met kantoor.");
}

QString declareFailedMessage(const QString& m, const QString& y, const DbError& e)
{
    return notDeclaredMessage(m, y) + QStringLiteral("\r\n") + errorLineFor(e) + errorAdvice(e);
}

QString declareUnknownMessage(const QString& m, const QString& y, const DbError& e)
{
    return QStringLiteral("Het is niet bekend of de declaratie voor ") + m + y +
           QStringLiteral(" is uitgevoerd") + lostAnswer() +
           QStringLiteral("Kies de maand opnieuw; dan ziet U of zij is uitgevoerd.\r\n\r\n") +
           errorLineFor(e);
}

QString monthName(const QString& monthEntry)
{
    return monthEntry.mid(3);
}

bool declaringBlocked(const QString& tickerCaption)
{
    return tickerCaption.startsWith(u"BELANGRIJK:");
}

QString declaringRefusal(const QString& tickerCaption, const QString& messageTrouble)
{
    if (declaringBlocked(tickerCaption))
        return blockedMessage();
    if (!messageTrouble.isEmpty())
        return QStringLiteral(
                   "Het bericht van het kantoor kon niet worden gelezen; declareren kan weer zodra het "
                   "gelezen is (het wordt elke tien seconden opnieuw gevraagd).\r\n\r\n") +
               messageTrouble;
    return {};
}

} // namespace dl::submit
