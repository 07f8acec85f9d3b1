#include "declaration/monthselectionrules.h"

#include "data/dutchnumbers.h"
#include "data/serveractions.h"
#include "data/tables.h"
#include "declaration/reportrecord.h"

#include <QDate>

namespace dl::month {

bool isYear(const QString& yearText)
{
    if (yearText.size() != 4)
        return false;
    for (const QChar c : yearText) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return yearText != u"0000";
}

QString badYearMessage(const QString& yearText)
{
    return QStringLiteral("\"") + yearText + QStringLiteral("\" is geen jaartal.\r\n") +
           QStringLiteral("Kies een jaar van vier cijfers, bijvoorbeeld 2008.");
}

QString startMonthName(const QString& monthNumber)
{
    static const char16_t* const names[] = {u"Januari ",   u"Februari ", u"Maart ",    u"April ",
                                            u"Mei ",       u"Juni ",     u"Juli ",     u"Augustus ",
                                            u"September ", u"Oktober ",  u"November ", u"December "};
    for (int m = 1; m <= 12; ++m) {
        if (monthNumber == QStringLiteral("%1").arg(m, 2, 10, QChar(u'0')))
            return QString::fromUtf16(names[m - 1]);
    }
    return {};
}

std::optional<QString> startRefusal(const QString& year, const QString& monthEntry, const QString& startDate)
{
    const QString startYear = startDate.left(4);
    const QString startMonth = startDate.mid(5, 2);
    const bool before =
        year < startYear ||
        (year == startYear && leadingNumber(startMonth) > leadingNumber(report::monthNumber(monthEntry)));
    if (!before)
        return std::nullopt;
    const QString name = startMonthName(startMonth);
    const QString when = name.isEmpty() ? startMonth : name + startYear;
    return QStringLiteral("U kunt niet vroeger declareren dan ") + when;
}

int firstDayToFill(const QStringList& activities)
{
    for (qsizetype i = 0; i < activities.size(); ++i) {
        if (activities[i].trimmed().isEmpty())
            return int(i) + 1;
    }
    return 1;
}

QString declaredMessage(const QString& monthPart, const QString& year)
{
    return QStringLiteral("U heeft ") + monthPart + u' ' + year + QStringLiteral(" al gedeclareerd!");
}

QString newReportMessage(const QString& monthPart, const QString& year)
{
    return QStringLiteral("Een nieuw raport is voor u aangemaakt.\r\n\r\nvoor de maand") + monthPart + u' ' +
           year;
}

QString loadedMessage(const QString& monthPart, const QString& year)
{
    return QStringLiteral("Een bestaand declaratie raport (voor de maand") + monthPart + u' ' + year +
           QStringLiteral(")\r\nis ingeladen en klaargezet");
}

QList<QPair<QString, QString>> summaryReset()
{
    const QString zero = QStringLiteral("0,00");
    return {{QStringLiteral("Text12"), QStringLiteral("GEEN")},
            {QStringLiteral("Text13"), zero},
            {QStringLiteral("Text17"), zero},
            {QStringLiteral("Text28"), zero},
            {QStringLiteral("Text29"), zero},
            {QStringLiteral("Text40"), zero},
            {QStringLiteral("Text41"), zero},
            {QStringLiteral("Text42"), zero}};
}

QStringList summaryControls()
{
    QStringList out;
    for (const int i : {6, 10, 11, 12, 14, 15, 16, 17, 18})
        out << QStringLiteral("Label2(%1)").arg(i);
    for (const int i : {19, 20, 21, 11, 12, 13, 14, 15, 16, 28, 29, 17, 18})
        out << QStringLiteral("Text%1").arg(i);
    return out;
}

Verdict verdictOf(const QString& afgewerkt)
{
    if (afgewerkt == u"nee")
        return Verdict::Load;
    if (afgewerkt == u"ja")
        return Verdict::Declared;
    return Verdict::PassOver;
}

int offeredMonth(int year, const QDate& today, const std::function<bool(int month)>& knownDeclared)
{
    const int latest = year < today.year() ? 12 : year > today.year() ? 1 : today.month();
    for (int m = latest; m >= 1; --m) {
        if (!knownDeclared(m))
            return m;
    }
    return latest;
}

Lookup lookupReport(Connection& c, const QString& key)
{
    Lookup out;
    const QList<Match> where{Match{QStringLiteral("Projectnaam"), key}};
    const auto decide = [&](const Row& row) {
        switch (verdictOf(row.text(QStringLiteral("afgewerkt")))) {
        case Verdict::PassOver:
            return true;
        case Verdict::Declared:
            out.kind = Lookup::Declared;
            return false;
        case Verdict::Load:
            out.kind = Lookup::Load;
            for (const report::Binding& b : report::controlBindings())
                out.texts.insert(b.column, row.text(b.column));
            return false;
        }
        return true;
    };
    if (!actsThroughProcedures(c)) {
        Records(c).visit(tables::reports(), where, decide);
        return out;
    }
    // The own rows with the key in table order; the key decides here.
    Result rows = callRows(c, "maand_openen", {key});
    while (rows.next()) {
        const Row row = rows.row();
        if (Records::exactlyMatches(row, where) && !decide(row))
            break;
    }
    return out;
}

} // namespace dl::month
