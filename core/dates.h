#pragma once
// The date and time texts the tables store.

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

namespace dl {

// "12-07-2026": month, day, year; independent of the regional settings.
QString fixedDateText(const QDate& d);
// "14:05:09", 24-hour clock.
QString fixedTimeText(const QTime& t);

// The regional date separator: "-" for nl_NL, "/" for en_US.
QChar dateSeparator(const QLocale& locale);

// Patterns of "yyyy", "mm", "mmmm" (full month name in the locale's
// language), "dd" and "/" (the locale's date separator).
QString formatDatePattern(const QDate& d, const QString& pattern, const QLocale& locale);

// "jan", "mrt" .. "dec": the Dutch short names, whatever the desktop's language.
QString shortMonthName(int month);

// The time in the locale's own time format, with seconds.
QString localeTimeText(const QTime& t, const QLocale& locale);

} // namespace dl
