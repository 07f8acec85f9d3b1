#pragma once
// The texts the main form's load step puts into its controls.

#include <QDate>
#include <QLocale>
#include <QStringList>

namespace dl {

inline QString declarationDatePrefix()
{
    return QStringLiteral("Declaratie datum :  ");
}

// "Declaratie datum :  " and the date as "dd/mmmm/yyyy" in the locale.
QString declarationDateCaption(const QDate& today, const QLocale& locale);

// "01 Januari " to "12 December ", each with its trailing blank.
QStringList monthEntries();

// year - 1, year, year + 1.
QStringList yearEntries(int year);

} // namespace dl
