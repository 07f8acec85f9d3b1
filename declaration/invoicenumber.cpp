#include "declaration/invoicenumber.h"

#include "declaration/reportrecord.h"

namespace dl::report {

QString invoiceNumber(const QString& year, const QString& monthEntry, const QString& consultant,
                      const QString& client, const QString& projectNumber)
{
    return year.right(2) + monthNumber(monthEntry) + consultant + client +
           QString(QStringLiteral("0000") + projectNumber).right(4);
}

} // namespace dl::report
