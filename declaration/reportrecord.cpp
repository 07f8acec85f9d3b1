#include "declaration/reportrecord.h"

#include "core/dates.h"
#include "ui/controls.h"

namespace dl::report {

namespace {

const QString kKeyColumn = QStringLiteral("Projectnaam");
const QString kStateColumn = QStringLiteral("afgewerkt");

QList<Binding> headerBindings()
{
    return {{QStringLiteral("bestandsnaam"), QStringLiteral("Text22")},
            {QStringLiteral("Opdrachtgever"), QStringLiteral("Text30")},
            {QStringLiteral("omschrijving"), QStringLiteral("Text31")},
            {QStringLiteral("aangemaakt"), QStringLiteral("Text32")},
            {QStringLiteral("laatstgewijzigd"), QStringLiteral("Text37")}};
}

QList<Binding> expenseBindings()
{
    return {{QStringLiteral("onkosten"), QStringLiteral("Text36")},
            {QStringLiteral("euro"), QStringLiteral("Text33")},
            {QStringLiteral("cent"), QStringLiteral("Text34")}};
}

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QChar(u'0'));
}

QString stampText(const QDateTime& now, const QLocale& locale)
{
    return formatDatePattern(now.date(), QStringLiteral("dd/mmmm/yyyy"), locale) + QStringLiteral("  ") +
           fixedTimeText(now.time());
}

} // namespace

QStringList slotPrefixes()
{
    return {QStringLiteral("datum"), QStringLiteral("Activiteit"), QStringLiteral("Contact"),
            QStringLiteral("Uren"), QStringLiteral("Kilometers")};
}

QString slotColumn(const QString& prefix, int n)
{
    return prefix + twoDigits(n);
}

QString slotControl(int prefixIndex, int n)
{
    return element(QStringLiteral("Text") + QString::number(23 + prefixIndex), n);
}

QList<Binding> controlBindings()
{
    QList<Binding> out = headerBindings();
    const QStringList prefixes = slotPrefixes();
    for (int n = 1; n <= kSlots; ++n) {
        for (int p = 0; p < prefixes.size(); ++p)
            out.append({slotColumn(prefixes[p], n), slotControl(p, n)});
    }
    out.append(expenseBindings());
    return out;
}

QStringList columnNames()
{
    // The key and the state sit among the header columns; the rest follows
    // the controls they mirror.
    const QList<Binding> bindings = controlBindings();
    QStringList out{kStateColumn, bindings[0].column, kKeyColumn};
    for (qsizetype i = 1; i < bindings.size(); ++i)
        out << bindings[i].column;
    return out;
}

QString monthNumber(const QString& monthEntry)
{
    return monthEntry.left(2);
}

QString monthPart(const QString& monthEntry)
{
    return monthEntry.mid(2);
}

QString reportKey(const QString& year, const QString& monthEntry, const QString& projectCode)
{
    return year + u'_' + monthNumber(monthEntry) + u'_' + projectCode;
}

int daysInMonth(int year, int month)
{
    const QDate first(year, month, 1);
    return first.isValid() ? first.daysInMonth() : 0;
}

QString dayLabel(const QDate& d)
{
    static const char16_t* const weekdays[] = {u"Zo ", u"Ma ", u"Di ", u"Wo ", u"Do ", u"Vr ", u"Za "};
    static const char16_t* const months[] = {u"Januari  ", u"Februari ", u"Maart    ", u"April    ",
                                             u"Mei      ", u"Juni     ", u"Juli     ", u"Augustus ",
                                             u"September", u"Oktober  ", u"November ", u"December "};
    if (!d.isValid())
        return {};
    // Qt counts Monday as 1 and Sunday as 7; the list starts on Sunday.
    return QString::fromUtf16(weekdays[d.dayOfWeek() % 7]) + u' ' + twoDigits(d.day()) + u' ' +
           QString::fromUtf16(months[d.month() - 1]) + u' ' +
           QStringLiteral("%1").arg(d.year(), 4, 10, QChar(u'0'));
}

QString titleLine(const QString& projectName, const QString& monthPart, const QString& year)
{
    return QStringLiteral("Projectnaam      :   ") + projectName + QStringLiteral("   ") + monthPart + u' ' +
           year;
}

QString clientLine(const QString& client)
{
    return QStringLiteral("Opdrachtgever :   ") + client;
}

QString descriptionLine(const QString& description)
{
    return QStringLiteral("Omschrijving     :   ") + description;
}

QString createdLine(const QDateTime& now, const QLocale& locale)
{
    return QStringLiteral("Aangemaakt       : ") + stampText(now, locale);
}

QString modifiedLine(const QDateTime& now, const QLocale& locale)
{
    return QStringLiteral("Laatst gewijzigd : ") + stampText(now, locale);
}

QString notYetSavedLine()
{
    return QStringLiteral("Laatst opgeslagen: 'NOG NIET OPGESLAGEN'");
}

} // namespace dl::report
