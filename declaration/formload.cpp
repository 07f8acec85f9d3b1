#include "declaration/formload.h"

#include "core/dates.h"

namespace dl {

QString declarationDateCaption(const QDate& today, const QLocale& locale)
{
    return declarationDatePrefix() + formatDatePattern(today, QStringLiteral("dd/mmmm/yyyy"), locale);
}

QStringList monthEntries()
{
    return {QStringLiteral("01 Januari "), QStringLiteral("02 Februari "), QStringLiteral("03 Maart "),
            QStringLiteral("04 April "),   QStringLiteral("05 Mei "),      QStringLiteral("06 Juni "),
            QStringLiteral("07 Juli "),    QStringLiteral("08 Augustus "), QStringLiteral("09 September "),
            QStringLiteral("10 Oktober "), QStringLiteral("11 November "), QStringLiteral("12 December ")};
}

QStringList yearEntries(int year)
{
    return {QString::number(year - 1), QString::number(year), QString::number(year + 1)};
}

} // namespace dl
