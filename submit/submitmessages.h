#pragma once
// The texts of saving and declaring. M is the month name of the open month
// ("Maart "), Y its year, T the total at the consultant's rate.

#include <QString>

namespace dl {

class DbError;
class MessageService;

namespace submit {

QString noOpenMonthMessage();

QString saveQuestion();
QString saveCaption();
QString notSavedMessage();
QString savedMessage(const QString& titleLine);
QString saveOfDeclaredMessage();
// The answer to the save's commit was lost and the rows could not be looked at.
QString saveUnknownMessage(const DbError& e);
// Saved on another workstation after the month was opened here.
QString elsewhereCaption();
QString elsewhereQuestion(const QString& storedModified);
// Asks it, Nee the default; true on Ja.
bool overwriteConfirmed(MessageService& messages, const QString& storedModified);

QString blockedMessage();
QString declareQuestion(const QString& m, const QString& y, const QString& t);
QString declareCaption();
QString notDeclaredMessage(const QString& m, const QString& y);
QString declaredMessage(const QString& m, const QString& y);
QString invoiceNumberTakenMessage(const QString& invoice, const QString& m, const QString& y);
// The server failed: neither the report nor the declaration was written.
QString declareFailedMessage(const QString& m, const QString& y, const DbError& e);
// The answer to the declaration's commit was lost and the rows could not be looked at.
QString declareUnknownMessage(const QString& m, const QString& y, const DbError& e);

// "03 Maart " -> "Maart ".
QString monthName(const QString& monthEntry);
// The caption of Label4 blocks declaring.
bool declaringBlocked(const QString& tickerCaption);
// Why a declaration may not go ahead now: the office's message says
// "BELANGRIJK:", or it could not be read (trouble); empty when it may.
QString declaringRefusal(const QString& tickerCaption, const QString& messageTrouble);

} // namespace submit
} // namespace dl
