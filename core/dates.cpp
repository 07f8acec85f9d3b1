#include "core/dates.h"

namespace dl {

QString fixedDateText(const QDate& d)
{
    return d.toString(QStringLiteral("MM-dd-yyyy"));
}

QString fixedTimeText(const QTime& t)
{
    return t.toString(QStringLiteral("HH:mm:ss"));
}

QChar dateSeparator(const QLocale& locale)
{
    const QString f = locale.dateFormat(QLocale::ShortFormat);
    for (const QChar c : f) {
        if (!c.isLetter() && c != u'\'' && !c.isSpace())
            return c;
    }
    return u'/';
}

QString formatDatePattern(const QDate& d, const QString& pattern, const QLocale& locale)
{
    const QChar sep = dateSeparator(locale);
    QString out;
    for (qsizetype i = 0; i < pattern.size();) {
        const QStringView rest = QStringView(pattern).mid(i);
        if (rest.startsWith(u"yyyy")) {
            out += QStringLiteral("%1").arg(d.year(), 4, 10, QChar(u'0'));
            i += 4;
        } else if (rest.startsWith(u"mmmm")) {
            out += locale.monthName(d.month(), QLocale::LongFormat);
            i += 4;
        } else if (rest.startsWith(u"mm")) {
            out += QStringLiteral("%1").arg(d.month(), 2, 10, QChar(u'0'));
            i += 2;
        } else if (rest.startsWith(u"dd")) {
            out += QStringLiteral("%1").arg(d.day(), 2, 10, QChar(u'0'));
            i += 2;
        } else if (pattern[i] == u'/') {
            out += sep;
            ++i;
        } else {
            out += pattern[i];
            ++i;
        }
    }
    return out;
}

QString localeTimeText(const QTime& t, const QLocale& locale)
{
    QString f = locale.timeFormat(QLocale::LongFormat);
    // Drop the time zone the long format carries; the stamp has none.
    f.remove(QStringLiteral(" t"));
    f.remove(u't');
    return t.toString(f.trimmed());
}

QString shortMonthName(int month)
{
    static const char16_t* const names[] = {u"jan", u"feb", u"mrt", u"apr", u"mei", u"jun",
                                            u"jul", u"aug", u"sep", u"okt", u"nov", u"dec"};
    return month >= 1 && month <= 12 ? QString::fromUtf16(names[month - 1]) : QString();
}

} // namespace dl
