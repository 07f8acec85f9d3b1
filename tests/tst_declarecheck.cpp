// The look at a month before it is declared, without widgets: which days and
// amounts are named, and how far figures may move from the last declaration.

#include "declaration/reportrecord.h"
#include "submit/declarecheck.h"

#include <QtTest>

using namespace dl;
using namespace dl::check;
using namespace Qt::StringLiterals;

namespace {

// March 2026: 1 March is a Sunday, 7 March a Saturday. Every day starts
// empty; `days` sets "N=activity|hours|km".
MonthTexts march2026(const QStringList& days, const QString& expense = u"0,00"_s,
                     const QString& description = u"GEEN"_s)
{
    MonthTexts m;
    m.year = 2026;
    m.month = 3;
    for (int n = 1; n <= 31; ++n)
        m.days[std::size_t(n - 1)].label = report::dayLabel(QDate(2026, 3, n));
    for (const QString& d : days) {
        const int n = d.section(u'=', 0, 0).toInt();
        const QStringList parts = d.section(u'=', 1).split(u'|');
        DayTexts& t = m.days[std::size_t(n - 1)];
        t.activity = parts.value(0);
        t.hours = parts.value(1);
        t.kilometres = parts.value(2);
    }
    m.expense = expense;
    m.expenseDescription = description;
    return m;
}

QStringList texts(const QList<Finding>& findings)
{
    QStringList out;
    for (const Finding& f : findings)
        out << f.text;
    return out;
}

const QDate kAfterMarch(2026, 4, 2);

} // namespace

class TestDeclareCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void days_data();
    void days();
    void monthNotOver_data();
    void monthNotOver();
    void expense_data();
    void expense();
    void firstNamedDay();
    void comparison_data();
    void comparison();
    void project_data();
    void project();
};

void TestDeclareCheck::days_data()
{
    QTest::addColumn<QStringList>("days");
    QTest::addColumn<QStringList>("findings");
    QTest::addColumn<QList<int>>("named");

    QTest::newRow("weekdays in order")
        << QStringList{u"2=Overleg|8|40"_s, u"3=Bouw|10|0"_s} << QStringList{} << QList<int>{};
    QTest::newRow("Sunday and Saturday") << QStringList{u"1=Storing|4|0"_s, u"7=Storing|2,5|"_s}
                                         << QStringList{u"Zo  01 Maart     2026: 4 uur op een zondag"_s,
                                                        u"Za  07 Maart     2026: 2,5 uur op een zaterdag"_s}
                                         << QList<int>{1, 7};
    QTest::newRow("weekend kilometres without hours are no weekend hours")
        << QStringList{u"8=|0|30"_s} << QStringList{u"Zo  08 Maart     2026: kilometers zonder uren"_s}
        << QList<int>{8};
    QTest::newRow("more than ten hours; ten is not")
        << QStringList{u"9=Bouw|11|0"_s, u"10=Bouw|10|0"_s}
        << QStringList{u"Ma  09 Maart     2026: 11 uur op één dag"_s} << QList<int>{9};
    QTest::newRow("18 hours on a Sunday: two findings")
        << QStringList{u"15=Migratie|18|"_s}
        << QStringList{u"Zo  15 Maart     2026: 18 uur op een zondag"_s,
                       u"Zo  15 Maart     2026: 18 uur op één dag"_s}
        << QList<int>{15, 15};
    QTest::newRow("half filled in")
        << QStringList{u"2=|0|25"_s, u"3=Overleg||"_s, u"4=Overleg|0|12"_s, u"5=|8|"_s, u"6=   |6|"_s}
        << QStringList{u"Ma  02 Maart     2026: kilometers zonder uren"_s,
                       u"Di  03 Maart     2026: activiteit zonder uren"_s,
                       u"Wo  04 Maart     2026: kilometers en activiteit zonder uren"_s,
                       u"Do  05 Maart     2026: uren zonder activiteit"_s,
                       u"Vr  06 Maart     2026: uren zonder activiteit"_s}
        << QList<int>{2, 3, 4, 5, 6};
    QTest::newRow("a person alone is nothing") << QStringList{} << QStringList{} << QList<int>{};
    QTest::newRow(".5 and 7.5 are hours, as in the totals")
        << QStringList{u"2=Overleg|.5|"_s, u"3=Bouw|7.5|12"_s, u"4=|.5|"_s}
        << QStringList{u"Wo  04 Maart     2026: uren zonder activiteit"_s} << QList<int>{4};
    QTest::newRow(".5 on a Saturday, 10.5 on one day")
        << QStringList{u"7=Storing|.5|"_s, u"9=Bouw|10.5|"_s}
        << QStringList{u"Za  07 Maart     2026: .5 uur op een zaterdag"_s,
                       u"Ma  09 Maart     2026: 10.5 uur op één dag"_s}
        << QList<int>{7, 9};
    QTest::newRow("0,5 counts for nothing, as in the totals")
        << QStringList{u"2=Overleg|0,5|"_s, u"3=|.5|.5"_s}
        << QStringList{u"Ma  02 Maart     2026: activiteit zonder uren"_s,
                       u"Di  03 Maart     2026: uren zonder activiteit"_s}
        << QList<int>{2, 3};
    QTest::newRow("text that is no number counts as no hours")
        << QStringList{u"2=Overleg|x|"_s} << QStringList{u"Ma  02 Maart     2026: activiteit zonder uren"_s}
        << QList<int>{2};
}

void TestDeclareCheck::days()
{
    QFETCH(QStringList, days);
    QFETCH(QStringList, findings);
    QFETCH(QList<int>, named);
    const QList<Finding> found = monthFindings(march2026(days), kAfterMarch);
    QCOMPARE(texts(found), findings);
    QList<int> got;
    for (const Finding& f : found)
        got << f.day;
    QCOMPARE(got, named);
}

void TestDeclareCheck::monthNotOver_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<bool>("found");
    QTest::newRow("the day before the last") << QDate(2026, 3, 30) << true;
    QTest::newRow("at the start") << QDate(2026, 3, 1) << true;
    QTest::newRow("a year before") << QDate(2025, 4, 1) << true;
    QTest::newRow("the last day") << QDate(2026, 3, 31) << false;
    QTest::newRow("after it") << QDate(2026, 4, 1) << false;
}

void TestDeclareCheck::monthNotOver()
{
    QFETCH(QDate, today);
    QFETCH(bool, found);
    const QStringList got = texts(monthFindings(march2026({u"2=Overleg|8|"_s}), today));
    QCOMPARE(got, found ? QStringList{u"Maart 2026 is nog niet voorbij"_s} : QStringList{});
}

void TestDeclareCheck::expense_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QStringList>("findings");
    const QString noText = u"Onkosten € 12,50 zonder omschrijving"_s;
    QTest::newRow("both") << u"12,50"_s << u"Parkeren"_s << QStringList{};
    QTest::newRow("neither") << u"0,00"_s << u"GEEN"_s << QStringList{};
    QTest::newRow("neither, report design text") << u"0,00"_s << u"Onkosten omschrijving"_s << QStringList{};
    QTest::newRow("amount, GEEN") << u"12,50"_s << u"GEEN"_s << QStringList{noText};
    QTest::newRow("amount, empty") << u"12,50"_s << QString() << QStringList{noText};
    QTest::newRow("amount, blanks") << u"12,50"_s << u"   "_s << QStringList{noText};
    QTest::newRow("amount, design text") << u"12,50"_s << u"Onkosten omschrijving"_s << QStringList{noText};
    QTest::newRow("amount, old design text")
        << u"12,50"_s << u"Onkosten omschijving"_s << QStringList{noText};
    QTest::newRow("description, 0,00")
        << u"0,00"_s << u"Parkeren"_s << QStringList{u"Onkosten \"Parkeren\" zonder bedrag"_s};
    QTest::newRow("description, empty amount")
        << QString() << u"Taxi "_s << QStringList{u"Onkosten \"Taxi\" zonder bedrag"_s};
    QTest::newRow("geen in lower case is a description")
        << u"0,00"_s << u"geen"_s << QStringList{u"Onkosten \"geen\" zonder bedrag"_s};
}

void TestDeclareCheck::expense()
{
    QFETCH(QString, amount);
    QFETCH(QString, description);
    QFETCH(QStringList, findings);
    QCOMPARE(texts(monthFindings(march2026({u"2=Overleg|8|"_s}, amount, description), kAfterMarch)),
             findings);
}

void TestDeclareCheck::firstNamedDay()
{
    // The month comes first in the list but names no day.
    const QList<Finding> found =
        monthFindings(march2026({u"20=|0|5"_s, u"29=Storing|3|"_s}, u"5,00"_s, u"GEEN"_s), QDate(2026, 3, 2));
    QCOMPARE(found.first().day, 0);
    QCOMPARE(check::firstNamedDay(found), 20);
    QCOMPARE(check::firstNamedDay(monthFindings(march2026({}, u"5,00"_s), kAfterMarch)), 0);
}

void TestDeclareCheck::comparison_data()
{
    QTest::addColumn<QStringList>("before"); // hours, km, total
    QTest::addColumn<QStringList>("now");
    QTest::addColumn<QStringList>("findings");
    const QStringList same{u"140"_s, u"300"_s, u"10.000,00"_s};
    QTest::newRow("the same") << same << same << QStringList{};
    QTest::newRow("60 % fewer hours") << same << QStringList{u"56"_s, u"300"_s, u"10.000,00"_s}
                                      << QStringList{u"Uren 60 % lager dan in Oktober 2026 (140 → 56)"_s};
    QTest::newRow("exactly half is a finding")
        << same << QStringList{u"70"_s, u"450"_s, u"15.000,00"_s}
        << QStringList{u"Uren 50 % lager dan in Oktober 2026 (140 → 70)"_s,
                       u"Kilometers 50 % hoger dan in Oktober 2026 (300 → 450)"_s,
                       u"Totaal 50 % hoger dan in Oktober 2026 (€ 10.000,00 → € 15.000,00)"_s};
    QTest::newRow("just under half is not")
        << same << QStringList{u"70,5"_s, u"449"_s, u"5.000,01"_s} << QStringList{};
    QTest::newRow("rounded to whole per cent")
        << QStringList{u"7,5"_s, u"3"_s, u"300,00"_s} << QStringList{u"12"_s, u"1"_s, u"999,99"_s}
        << QStringList{u"Uren 60 % hoger dan in Oktober 2026 (7,5 → 12)"_s,
                       u"Kilometers 67 % lager dan in Oktober 2026 (3 → 1)"_s,
                       u"Totaal 233 % hoger dan in Oktober 2026 (€ 300,00 → € 999,99)"_s};
    QTest::newRow("an earlier 0 is not compared")
        << QStringList{u"0"_s, u"0"_s, u"0,00"_s} << QStringList{u"140"_s, u"200"_s, u"9.000,00"_s}
        << QStringList{};
    QTest::newRow("an earlier text that is no number is not compared")
        << QStringList{u""_s, u"veel"_s, u"10.000,00"_s} << QStringList{u"140"_s, u"200"_s, u"10.000,00"_s}
        << QStringList{};
    QTest::newRow("down to nothing") << same << QStringList{u"0"_s, u"300"_s, u"10.000,00"_s}
                                     << QStringList{u"Uren 100 % lager dan in Oktober 2026 (140 → 0)"_s};
}

void TestDeclareCheck::comparison()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, now);
    QFETCH(QStringList, findings);
    const EarlierDeclaration earlier{u"2026"_s, u"10"_s, {before[0], before[1], before[2]}};
    const QList<Finding> found = comparisonFindings({now[0], now[1], now[2]}, earlier);
    QCOMPARE(texts(found), findings);
    for (const Finding& f : found)
        QCOMPARE(f.day, 0);
}

// The month against the project's planned period (by month, whatever the
// day) and planned hours (the declared months before and this one).
void TestDeclareCheck::project_data()
{
    QTest::addColumn<int>("month"); // of 2026
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("planned");
    QTest::addColumn<double>("before");
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QStringList>("findings");
    QTest::newRow("inside, under the plan")
        << 3 << u"2026/01/01"_s << u"2026/06/30"_s << u"120"_s << 40.0 << u"60"_s << QStringList{};
    QTest::newRow("the last month of the period")
        << 6 << u"2026/01/01"_s << u"2026/06/30"_s << u"120"_s << 0.0 << u"8"_s << QStringList{};
    QTest::newRow("after the end") << 7 << u"2026/01/01"_s << u"2026/06/30"_s << u"120"_s << 0.0 << u"8"_s
                                   << QStringList{u"Juli 2026 ligt buiten de looptijd van het project "
                                                  u"(2026/01/01 t/m 2026/06/30)"_s};
    QTest::newRow("the start month counts, whatever its day")
        << 3 << u"2026/03/15"_s << u"2026/06/30"_s << QString() << 0.0 << u"8"_s << QStringList{};
    QTest::newRow("before the start") << 2 << u"2026/03/15"_s << QString() << QString() << 0.0 << u"8"_s
                                      << QStringList{u"Februari 2026 ligt buiten de looptijd van het project "
                                                     u"(2026/03/15 t/m )"_s};
    QTest::newRow("the plan reached is no finding")
        << 3 << QString() << QString() << u"120"_s << 100.0 << u"20"_s << QStringList{};
    QTest::newRow("past the plan with half an hour")
        << 3 << QString() << QString() << u"120"_s << 100.0 << u"20,5"_s
        << QStringList{u"Uren van het project tot nu toe 120,5, gepland 120"_s};
    QTest::newRow("no plan") << 3 << QString() << QString() << u"0"_s << 500.0 << u"20"_s << QStringList{};
}

void TestDeclareCheck::project()
{
    ProjectTexts p;
    p.year = 2026;
    QFETCH(int, month);
    p.month = month;
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, planned);
    QFETCH(double, before);
    QFETCH(QString, hours);
    p.start = start;
    p.end = end;
    p.plannedHours = planned;
    p.hoursBefore = before;
    p.monthHours = hours;
    QTEST(texts(projectFindings(p)), "findings");
}

QTEST_MAIN(TestDeclareCheck)
#include "tst_declarecheck.moc"
