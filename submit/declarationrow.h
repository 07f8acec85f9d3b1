#pragma once
// The declaration row of `Declaraties`, built from the texts the form shows
// and the month that is open.

#include "data/records.h"

#include <QDateTime>
#include <QLocale>
#include <QVariant>

#include <functional>

namespace dl::submit {

// "dd/mmmm/yyyy" in the locale's language and separator, two blanks, HH:mm:ss.
QString declarationStamp(const QDateTime& now, const QLocale& locale);

// What the row takes from elsewhere than the controls.
struct DeclarationSource {
    QString consultantName;
    QString year;       // of the open report
    QString monthEntry; // of the open report, e.g. "03 Maart "
    QVariant hourlyRateIn;
    QVariant hourlyRateOut;
    QString stamp;
};

// The 28 columns in their write order; factuurnummer first.
Values declarationRow(const std::function<QString(const QString& control)>& controlText,
                      const DeclarationSource& source);

} // namespace dl::submit
