#pragma once
// What the consultant typed before in a project: the activities and contacts
// of its stored months, offered as completion in the day grid, and the
// weekday-for-weekday copy of the last stored month into an empty one.

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace dl {

class Connection;
class Result;
class FormControls;

namespace earlier {

// One stored month's texts, slot 1..31 at index 0..30.
struct MonthTexts {
    QString key; // "2026_03_0042-GLAS"
    QStringList activities;
    QStringList contacts;
};

// Every month key of the project in the given years, latest first.
QStringList monthKeys(const QStringList& years, const QString& projectCode);
// The keys of months before the key given ("2026_03_P"), latest first, back
// to January of the earliest year given.
QStringList keysBefore(const QString& key, const QStringList& years);

// Distinct non-blank texts, latest month first and within a month the
// latest day first. column: 1 activities, 2 contacts.
QStringList recentFirst(QList<MonthTexts> months, int column);

// The saved ("nee") and declared ("ja") months among keys, one statement;
// of a key stored twice, the first such row in table order.
QList<MonthTexts> read(Connection& connection, const QStringList& keys);
// The same from rows read already: Projectnaam, afgewerkt, then each day's
// activity and contact.
QList<MonthTexts> fromRows(Result& rows, const QStringList& keys);

// The latest of months whose key comes before key; nullptr when none.
const MonthTexts* latestBefore(const QList<MonthTexts>& months, const QString& key);

// Slot n of the month starting at `to` takes the texts of the slot of `from`
// that is the same weekday the same number of times into its month, such as
// the third Tuesday; an empty text where that weekday has no such day.
struct Carried {
    QStringList activities;
    QStringList contacts;
};
Carried carryByWeekday(const QDate& from, const MonthTexts& texts, const QDate& to);

// Completion for Text24 and Text25 of every slot from these texts: offered
// while typing, never filled in by itself.
void offer(FormControls& c, const QList<MonthTexts>& months);

} // namespace earlier
} // namespace dl
