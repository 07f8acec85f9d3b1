#pragma once
// The decisions of choosing a month, apart from the form: the year and start
// checks, the message texts, and the lookup of the month's report.

#include "data/records.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QDate;

namespace dl::month {

// Four digits 0-9 and not year 0, which the calendar does not have.
bool isYear(const QString& yearText);
QString badYearMessage(const QString& yearText);

// "03" -> "Maart "; empty for anything but "01".."12".
QString startMonthName(const QString& monthNumber);

// The refusal for a month before the project's planned start (start date as
// "yyyy/mm/dd"); nothing when the month may be declared. An empty start
// date never refuses.
std::optional<QString> startRefusal(const QString& year, const QString& monthEntry, const QString& startDate);

QString declaredMessage(const QString& monthPart, const QString& year);
QString newReportMessage(const QString& monthPart, const QString& year);
QString loadedMessage(const QString& monthPart, const QString& year);

// The texts the summary reset puts in, in order: the client-side subtotal,
// VAT and total with the consultant's.
QList<QPair<QString, QString>> summaryReset();
// The controls of tab "Declaratie" a chosen month shows, in order.
QStringList summaryControls();

// The day whose activity is typed first when a month opens: the first of
// the month's days (their activities from day 1 on) without one; day 1 when
// every day has one.
int firstDayToFill(const QStringList& activities);

// The month (1-12) the month list offers while none is chosen: today's month
// in today's year, December in an earlier year, January in a later one; from
// there back past the months known to be declared, the month itself when
// all before it are.
int offeredMonth(int year, const QDate& today, const std::function<bool(int month)>& knownDeclared);

// What a row with the month's key says about the month.
enum class Verdict { Load, Declared, PassOver };
Verdict verdictOf(const QString& afgewerkt);

struct Lookup {
    enum Kind { New, Load, Declared };
    Kind kind = New;
    // For Load: every column that mirrors a control, as text (NULL as empty).
    QHash<QString, QString> texts;
};

// Walks Raporten in table order; the first row with the key whose state
// decides settles it. Reads the whole row before returning.
Lookup lookupReport(Connection& c, const QString& key);

} // namespace dl::month
