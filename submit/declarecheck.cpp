#include "submit/declarecheck.h"

#include "data/dutchnumbers.h"

#include <cmath>

namespace dl::check {

namespace {

const char16_t* const kMonthNames[] = {u"Januari",   u"Februari", u"Maart",    u"April",
                                       u"Mei",       u"Juni",     u"Juli",     u"Augustus",
                                       u"September", u"Oktober",  u"November", u"December"};

QString monthName(int month)
{
    return month >= 1 && month <= 12 ? QString::fromUtf16(kMonthNames[month - 1]) : QString();
}

// The texts as the form holds them; anything that is not a number counts as
// nothing, as the totals have already reported it.
std::optional<double> number(const QString& text)
{
    return tryLocaleNumber(text);
}

double amount(const QString& text)
{
    return number(text).value_or(0.0);
}

bool blank(const QString& text)
{
    return text.trimmed().isEmpty();
}

QString dayName(const DayTexts& d, int n)
{
    const QString label = d.label.trimmed();
    return label.isEmpty() ? QStringLiteral("Dag %1").arg(n) : label;
}

void dayFindings(const DayTexts& d, int n, const QDate& date, QList<Finding>& out)
{
    const QString name = dayName(d, n);
    // Read as the column totals read them, so that no finding contradicts
    // the totals: ".5" and "7.5" are hours, "7,5" is 7.
    const double hours = leadingNumber(d.hours);
    const QString h = d.hours.trimmed();
    const auto add = [&](const QString& what) { out.append({name + QStringLiteral(": ") + what, n}); };
    if (hours > 0 && date.isValid() && date.dayOfWeek() == Qt::Saturday)
        add(h + QStringLiteral(" uur op een zaterdag"));
    if (hours > 0 && date.isValid() && date.dayOfWeek() == Qt::Sunday)
        add(h + QStringLiteral(" uur op een zondag"));
    if (hours > kLongDayHours)
        add(h + QStringLiteral(" uur op één dag"));
    const bool kilometres = leadingNumber(d.kilometres) > 0;
    const bool activity = !blank(d.activity);
    if (hours <= 0 && kilometres && activity)
        add(QStringLiteral("kilometers en activiteit zonder uren"));
    else if (hours <= 0 && kilometres)
        add(QStringLiteral("kilometers zonder uren"));
    else if (hours <= 0 && activity)
        add(QStringLiteral("activiteit zonder uren"));
    if (hours > 0 && !activity)
        add(QStringLiteral("uren zonder activiteit"));
}

void compare(const QString& what, const QString& before, const QString& now, const QString& unit,
             const QString& when, QList<Finding>& out)
{
    const std::optional<double> b = number(before);
    const std::optional<double> a = number(now);
    // Nothing to measure a change against.
    if (!b || !a || !(*b > 0))
        return;
    const double change = (*a - *b) / *b;
    if (std::fabs(change) < kLargeChange)
        return;
    out.append({QStringLiteral("%1 %2 % %3 dan in %4 (%5%6 → %5%7)")
                    .arg(what)
                    .arg(std::lround(std::fabs(change) * 100))
                    .arg(change < 0 ? QStringLiteral("lager") : QStringLiteral("hoger"), when, unit,
                         before.trimmed(), now.trimmed()),
                0});
}

} // namespace

bool noExpenseDescription(const QString& text)
{
    const QString t = text.trimmed();
    return t.isEmpty() || t == u"Onkosten omschrijving" || t == u"Onkosten omschijving" || t == u"GEEN";
}

bool noExpenseAmount(const QString& text)
{
    return amount(text) == 0;
}

QList<Finding> monthFindings(const MonthTexts& month, const QDate& today)
{
    QList<Finding> out;
    const QDate first(month.year, month.month, 1);
    if (first.isValid() && today < QDate(month.year, month.month, first.daysInMonth()))
        out.append({monthName(month.month) + u' ' + QString::number(month.year) +
                        QStringLiteral(" is nog niet voorbij"),
                    0});
    for (int n = 1; n <= int(month.days.size()); ++n)
        dayFindings(month.days[std::size_t(n - 1)], n, QDate(month.year, month.month, n), out);

    const bool amount = !noExpenseAmount(month.expense);
    const bool description = !noExpenseDescription(month.expenseDescription);
    if (amount && !description)
        out.append(
            {QStringLiteral("Onkosten € ") + month.expense.trimmed() + QStringLiteral(" zonder omschrijving"),
             0});
    if (description && !amount)
        out.append({QStringLiteral("Onkosten \"") + month.expenseDescription.trimmed() +
                        QStringLiteral("\" zonder bedrag"),
                    0});
    return out;
}

QList<Finding> projectFindings(const ProjectTexts& p)
{
    QList<Finding> out;
    const QString ym = QStringLiteral("%1/%2").arg(p.year).arg(p.month, 2, 10, QLatin1Char('0'));
    const QString start = p.start.trimmed();
    const QString end = p.end.trimmed();
    if ((!start.isEmpty() && ym < start.left(7)) || (!end.isEmpty() && ym > end.left(7)))
        out.append(
            {monthName(p.month) + u' ' + QString::number(p.year) +
                 QStringLiteral(" ligt buiten de looptijd van het project (%1 t/m %2)").arg(start, end),
             0});
    const double planned = leadingNumber(p.plannedHours);
    const double sofar = p.hoursBefore + amount(p.monthHours);
    if (planned > 0 && sofar > planned)
        out.append({QStringLiteral("Uren van het project tot nu toe %1, gepland %2")
                        .arg(generalNumberText(sofar), generalNumberText(planned)),
                    0});
    return out;
}

QString changedSincePaperText()
{
    return QStringLiteral(
        "Er is een afdruk of PDF van deze maand gemaakt en de maand is daarna gewijzigd: die "
        "draagt het factuurnummer met andere cijfers");
}

QList<Finding> comparisonFindings(const Figures& now, const EarlierDeclaration& earlier)
{
    const QString name = monthName(earlier.month.toInt());
    const QString when = (name.isEmpty() ? earlier.month : name) + u' ' + earlier.year;
    QList<Finding> out;
    compare(QStringLiteral("Uren"), earlier.figures.hours, now.hours, QString(), when, out);
    compare(QStringLiteral("Kilometers"), earlier.figures.kilometres, now.kilometres, QString(), when, out);
    compare(QStringLiteral("Totaal"), earlier.figures.total, now.total, QStringLiteral("€ "), when, out);
    return out;
}

QString checkCaption()
{
    return QStringLiteral("Controle voor het declareren");
}

QString checkText(const QString& m, const QString& y)
{
    return QStringLiteral("Kijk dit nog eens na voordat U ") + m + y + QStringLiteral(" declareert:");
}

QStringList checkButtons()
{
    return {QStringLiteral("Terug naar het raport"), QStringLiteral("Toch declareren")};
}

int firstNamedDay(const QList<Finding>& findings)
{
    for (const Finding& f : findings) {
        if (f.day > 0)
            return f.day;
    }
    return 0;
}

} // namespace dl::check
