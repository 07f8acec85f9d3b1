#pragma once
// The invoice number of a month's declaration. The declaration row, the
// printed document and the year overview must all build the same one.

#include <QString>

namespace dl::report {

// "2008", "03 Maart ", "12", "7", "5" -> "08031270005": year's last two,
// month number, consultant, client, project number padded or cut to four.
QString invoiceNumber(const QString& year, const QString& monthEntry, const QString& consultant,
                      const QString& client, const QString& projectNumber);

} // namespace dl::report
