#pragma once
// The monthly report as one row of `Raporten`: its column names, which
// control each column mirrors, its key, and the texts of its header lines
// and day labels. Month selection, saving and declaring all build on this.

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace dl::report {

inline constexpr int kSlots = 31;

// The five column prefixes of a day slot, in the order of Text23..Text27.
QStringList slotPrefixes();
// ("Uren", 5) -> "Uren05".
QString slotColumn(const QString& prefix, int n);
// (3, 5) -> "Text26(5)": prefix 0..4 is Text23..Text27.
QString slotControl(int prefixIndex, int n);

// All 165 columns in the order a save writes them: afgewerkt, bestandsnaam,
// Projectnaam, Opdrachtgever, omschrijving, aangemaakt, laatstgewijzigd, the
// five columns of slot 1 to 31, onkosten, euro, cent.
QStringList columnNames();

struct Binding {
    QString column;
    QString control;
};
// The 163 columns that mirror a control (all but Projectnaam and afgewerkt),
// in the same order.
QList<Binding> controlBindings();

// "2008", "03 Maart ", "P" -> "2008_03_P".
QString reportKey(const QString& year, const QString& monthEntry, const QString& projectCode);
// "03 Maart " -> "03".
QString monthNumber(const QString& monthEntry);
// "03 Maart " -> " Maart ", with both blanks.
QString monthPart(const QString& monthEntry);

// 28..31; 0 for a month that does not exist.
int daysInMonth(int year, int month);
// 21 characters: "Za  01 Maart     2008".
QString dayLabel(const QDate& d);

QString titleLine(const QString& projectName, const QString& monthPart, const QString& year);
QString clientLine(const QString& client);
QString descriptionLine(const QString& description);
// The date as "dd/mmmm/yyyy" in the locale's language and separator, two
// blanks, the time as HH:mm:ss.
QString createdLine(const QDateTime& now, const QLocale& locale);
QString modifiedLine(const QDateTime& now, const QLocale& locale);
QString notYetSavedLine();

} // namespace dl::report
