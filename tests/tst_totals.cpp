// The totals chain as arithmetic and on the real form: the month's hours,
// kilometres and expense carried to tab "Declaratie".

#include "core/clock.h"
#include "core/context.h"
#include "declaration/daygrid.h"
#include "declaration/form1.h"
#include "declaration/totals.h"
#include "support/fakes.h"
#include "support/formhelpers.h"

#include <QLineEdit>
#include <QLocale>
#include <QRandomGenerator>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

#include <memory>

using namespace dl;
using namespace Qt::StringLiterals;
using Declare = totals::Result::Declare;

Q_DECLARE_METATYPE(Declare)

namespace {

struct Fixture : test::FormFixture {
    Fixture() : grid(form, ctx), chain(form, ctx)
    {
        session.hourlyRateIn = 40.0;
        session.hourlyRateOut = 55.0;
    }
    // A month as month selection leaves it: open in the Session, named in Combo2.
    void openMonth()
    {
        session.reportKey = u"2008_03_0042-GLAS"_s;
        session.reportYear = u"2008"_s;
        session.reportMonthEntry = u"03 Maart "_s;
        c().setText(u"Combo2"_s, u"03 Maart "_s);
    }
    // The user picks tab "Raport" (or back), as a mouse click does.
    void clickTab(int index)
    {
        QVERIFY(form.tabs()->currentIndex() != index);
        form.tabs()->setCurrentIndex(index);
    }

    DayGrid grid;
    TotalsController chain;
};

QString hours(int n)
{
    return test::hoursSlot(n);
}
QString km(int n)
{
    return test::kmSlot(n);
}

} // namespace

class TestTotals : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void compute_data();
    void compute();
    void expenseText_data();
    void expenseText();
    void rates_data();
    void rates();
    void randomMonthsToTheCent();

    void noMonthGoesBackToTheFirstTab_data();
    void noMonthGoesBackToTheFirstTab();
    void typingUpdatesOnlyTheColumnTotals();
    void tabClickCarriesTheMonth();
    void everyTabChangeRunsTheChain();
    void newRatesWithTheSameHours();
    void nothingToDeclareHidesTheButtons();
    void badAmountIsNamedAndTheChainRuns();
    void clientSideAmountsAreReadOnly();

private:
    std::unique_ptr<Fixture> f;
};

void TestTotals::init()
{
    f = std::make_unique<Fixture>();
}

void TestTotals::cleanup()
{
    f.reset();
}

void TestTotals::compute_data()
{
    QTest::addColumn<QString>("hoursTotal");
    QTest::addColumn<QString>("kmTotal");
    QTest::addColumn<QString>("euros");
    QTest::addColumn<QString>("cents");
    // Text21 Text39 Text16 Text11 | Text17 Text28 Text29 | Text40 Text41 Text42
    QTest::addColumn<QStringList>("amounts");
    QTest::addColumn<QStringList>("sums");
    QTest::addColumn<Declare>("declare");

    const QStringList none;
    QTest::newRow("8,5 hours at 40") << u"8,5"_s << u"0"_s << u"0"_s << u"00"_s
                                     << QStringList{u"340,00"_s, u"467,50"_s, u"0,00"_s, u"0,00"_s}
                                     << QStringList{u"340,00"_s, u"68,00"_s, u"408,00"_s,
                                                    u"467,50"_s, u"93,50"_s, u"561,00"_s}
                                     << Declare::Something;
    QTest::newRow("100 km") << u"0"_s << u"100"_s << u"0"_s << u"00"_s
                            << QStringList{u"0,00"_s, u"0,00"_s, u"35,00"_s, u"0,00"_s}
                            << QStringList{u"35,00"_s, u"7,00"_s, u"42,00"_s,
                                           u"35,00"_s, u"7,00"_s, u"42,00"_s}
                            << Declare::Something;
    QTest::newRow("subtotal 1.000,00")
        << u"25"_s << u"0"_s << u"0"_s << u"00"_s
        << QStringList{u"1.000,00"_s, u"1.375,00"_s, u"0,00"_s, u"0,00"_s}
        << QStringList{u"1.000,00"_s, u"200,00"_s, u"1.200,00"_s, u"1.375,00"_s, u"275,00"_s, u"1.650,00"_s}
        << Declare::Something;
    QTest::newRow("everything") << u"10"_s << u"7,5"_s << u"12"_s << u"50"_s
                                << QStringList{u"400,00"_s, u"550,00"_s, u"2,63"_s, u"12,50"_s}
                                << QStringList{u"415,13"_s, u"83,03"_s,  u"498,16"_s,
                                               u"565,13"_s, u"113,03"_s, u"678,16"_s}
                                << Declare::Something;
    // 0,5 hours and 0,75 euros are amounts, not the 0 in front of the comma.
    QTest::newRow("half an hour is paid")
        << u"0,5"_s << u"0"_s << u"0"_s << u"00"_s
        << QStringList{u"20,00"_s, u"27,50"_s, u"0,00"_s, u"0,00"_s}
        << QStringList{u"20,00"_s, u"4,00"_s, u"24,00"_s, u"27,50"_s, u"5,50"_s, u"33,00"_s}
        << Declare::Something;
    QTest::newRow("75 cents count") << u"0"_s << u"0"_s << u"0"_s << u"75"_s
                                    << QStringList{u"0,00"_s, u"0,00"_s, u"0,00"_s, u"0,75"_s}
                                    << QStringList{u"0,75"_s, u"0,15"_s, u"0,90"_s,
                                                   u"0,75"_s, u"0,15"_s, u"0,90"_s}
                                    << Declare::Something;
    QTest::newRow("half km") << u"0"_s << u"0,5"_s << u"0"_s << u"00"_s
                             << QStringList{u"0,00"_s, u"0,00"_s, u"0,18"_s, u"0,00"_s}
                             << QStringList{u"0,18"_s, u"0,04"_s, u"0,22"_s, u"0,18"_s, u"0,04"_s, u"0,22"_s}
                             << Declare::Something;
    QTest::newRow("all zero") << u"0"_s << u"0"_s << u"0"_s << u"00"_s
                              << QStringList{u"0,00"_s, u"0,00"_s, u"0,00"_s, u"0,00"_s} << none
                              << Declare::Nothing;
    QTest::newRow("negative hours change nothing")
        << u"-5"_s << u"0"_s << u"0"_s << u"00"_s << QStringList{u"0,00"_s, u"0,00"_s, u"0,00"_s, u"0,00"_s}
        << none << Declare::Unchanged;
    QTest::newRow("bad euros count as 0, the rest runs")
        << u"0"_s << u"100"_s << u"1%"_s << u"00"_s
        << QStringList{u"0,00"_s, u"0,00"_s, u"35,00"_s, u"0,00"_s}
        << QStringList{u"35,00"_s, u"7,00"_s, u"42,00"_s, u"35,00"_s, u"7,00"_s, u"42,00"_s}
        << Declare::Something;
    QTest::newRow("hours total in exponent form")
        << u"1E+15"_s << u"0"_s << u"0"_s << u"00"_s
        << QStringList{u"40.000.000.000.000.000,00"_s, u"55.000.000.000.000.000,00"_s, u"0,00"_s, u"0,00"_s}
        << QStringList{u"40.000.000.000.000.000,00"_s, u"8.000.000.000.000.000,00"_s,
                       u"48.000.000.000.000.000,00"_s, u"55.000.000.000.000.000,00"_s,
                       u"11.000.000.000.000.000,00"_s, u"66.000.000.000.000.000,00"_s}
        << Declare::Something;
}

void TestTotals::compute()
{
    QFETCH(QString, hoursTotal);
    QFETCH(QString, kmTotal);
    QFETCH(QString, euros);
    QFETCH(QString, cents);
    QFETCH(QStringList, amounts);
    QFETCH(QStringList, sums);
    QFETCH(Declare, declare);

    const totals::Result r =
        totals::compute({hoursTotal, kmTotal, euros, cents, u"Parkeren"_s, QVariant(40.0), QVariant(55.0)});
    QCOMPARE(r.hours, hoursTotal);
    QCOMPARE(r.kilometres, kmTotal);
    QCOMPARE((QStringList{r.hoursAmountIn, r.hoursAmountOut, r.kilometreAmount, r.expense}), amounts);
    QCOMPARE(r.expenseInSums, r.expense);
    QCOMPARE(r.expenseDescription, u"Parkeren"_s);
    QCOMPARE(r.declare, declare);
    QStringList got;
    for (const auto& [name, text] : r.sums())
        got << text;
    QCOMPARE(got, sums);

    QStringList order;
    for (const auto& [name, text] : r.amounts())
        order << name;
    for (const auto& [name, text] : r.sums())
        order << name;
    QStringList expected{u"Text19"_s, u"Text21"_s, u"Text39"_s, u"Text14"_s,
                         u"Text16"_s, u"Text11"_s, u"Text13"_s, u"Text12"_s};
    if (!sums.isEmpty())
        expected << u"Text17"_s << u"Text28"_s << u"Text29"_s << u"Text40"_s << u"Text41"_s << u"Text42"_s;
    QCOMPARE(order, expected);
}

void TestTotals::expenseText_data()
{
    QTest::addColumn<QString>("euros");
    QTest::addColumn<QString>("cents");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("problemField"); // empty: no message

    QTest::newRow("12 and 50") << u"12"_s << u"50"_s << u"12,50"_s << QString();
    QTest::newRow("12 and 5 is twelve fifty") << u"12"_s << u"5"_s << u"12,50"_s << QString();
    QTest::newRow("12 and 05 is five cents") << u"12"_s << u"05"_s << u"12,05"_s << QString();
    QTest::newRow("0 and 5 is fifty cents") << u"0"_s << u"5"_s << u"0,50"_s << QString();
    QTest::newRow("0 and 75") << u"0"_s << u"75"_s << u"0,75"_s << QString();
    QTest::newRow("zero") << u"0"_s << u"00"_s << u"0,00"_s << QString();
    QTest::newRow("empty euros") << QString() << u"40"_s << u"0,40"_s << QString();
    QTest::newRow("empty cents") << u"7"_s << QString() << u"7,00"_s << QString();
    QTest::newRow("both empty") << QString() << QString() << u"0,00"_s << QString();
    QTest::newRow("leading zeros kept") << u"012"_s << u"05"_s << u"012,05"_s << QString();
    QTest::newRow("000 and 00") << u"000"_s << u"00"_s << u"0,00"_s << QString();
    QTest::newRow("percent in euros") << u"1%"_s << u"00"_s << u"0,00"_s << u"Onkosten (euro's)"_s;
    QTest::newRow("point in euros") << u"1.5"_s << u"00"_s << u"0,00"_s << u"Onkosten (euro's)"_s;
    QTest::newRow("apostrophe in cents") << u"3"_s << u"5'"_s << u"0,00"_s << u"Onkosten (centen)"_s;
    QTest::newRow("three cent digits") << u"3"_s << u"500"_s << u"0,00"_s << u"Onkosten (centen)"_s;
}

void TestTotals::expenseText()
{
    QFETCH(QString, euros);
    QFETCH(QString, cents);
    QFETCH(QString, text);
    QFETCH(QString, problemField);
    QStringList problems;
    QCOMPARE(totals::expenseText(euros, cents, problems), text);
    if (problemField.isEmpty()) {
        QVERIFY(problems.isEmpty());
    } else {
        QCOMPARE(problems.size(), 1);
        QVERIFY2(problems[0].contains(u'"' + problemField + u'"'), qPrintable(problems[0]));
        QVERIFY(problems[0].endsWith(u"Er wordt met 0 gerekend."_s));
    }
}

void TestTotals::rates_data()
{
    QTest::addColumn<QVariant>("rate");
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<bool>("problem");

    QTest::newRow("decimal stays a number") << QVariant(45.5) << u"2"_s << u"91,00"_s << false;
    QTest::newRow("whole number") << QVariant(40.0) << u"2"_s << u"80,00"_s << false;
    QTest::newRow("integer") << QVariant(qlonglong(45)) << u"2"_s << u"90,00"_s << false;
    QTest::newRow("unsigned integer") << QVariant(qulonglong(45)) << u"2"_s << u"90,00"_s << false;
    QTest::newRow("text digits") << QVariant(u"45"_s) << u"2"_s << u"90,00"_s << false;
    QTest::newRow("text with comma") << QVariant(u"45,50"_s) << u"2"_s << u"91,00"_s << false;
    QTest::newRow("text with point is no 4550") << QVariant(u"45.50"_s) << u"2"_s << u"0,00"_s << true;
    QTest::newRow("text not a number") << QVariant(u"veel"_s) << u"2"_s << u"0,00"_s << true;
    QTest::newRow("empty before a project") << QVariant(QString()) << u"2"_s << u"0,00"_s << false;
    QTest::newRow("null") << QVariant() << u"2"_s << u"0,00"_s << false;
    // DECIMAL(8,2) rates as the server sends them: to the cent, and a
    // product on a half cent rounds up, which binary doubles round down.
    QTest::newRow("72.50 for 8 hours") << QVariant(72.5) << u"8"_s << u"580,00"_s << false;
    QTest::newRow("0.99 for half an hour") << QVariant(0.99) << u"0,5"_s << u"0,50"_s << false;
    QTest::newRow("33.33 for 7,5 hours") << QVariant(33.33) << u"7,5"_s << u"249,98"_s << false;
    QTest::newRow("33.33 for 0,5 hour") << QVariant(33.33) << u"0,5"_s << u"16,67"_s << false;
    QTest::newRow("1234.56 for 176 hours") << QVariant(1234.56) << u"176"_s << u"217.282,56"_s << false;
    QTest::newRow("FLOAT 1.01 for half an hour") << QVariant(double(1.01f)) << u"0,5"_s << u"0,51"_s << false;
    QTest::newRow("text 0,99 for half an hour") << QVariant(u"0,99"_s) << u"0,5"_s << u"0,50"_s << false;
    // An office column with more decimals: the rate the row can hold, 65,13.
    QTest::newRow("65.125 for 10 hours") << QVariant(65.125) << u"10"_s << u"651,30"_s << false;
    QTest::newRow("65.124 for 10 hours") << QVariant(65.124) << u"10"_s << u"651,20"_s << false;
}

void TestTotals::rates()
{
    QFETCH(QVariant, rate);
    QFETCH(QString, hours);
    QFETCH(QString, amount);
    QFETCH(bool, problem);
    // As the project's read hands the rate on.
    const QVariant read = totals::centRate(rate);
    const totals::Result r = totals::compute({hours, u"0"_s, u"0"_s, u"00"_s, QString(), read, read});
    QCOMPARE(r.hoursAmountIn, amount);
    QCOMPARE(r.hoursAmountOut, amount);
    QCOMPARE(r.problems.size(), problem ? 2 : 0);
    if (problem)
        QVERIFY(r.problems[0].contains(u"\"Uw uurtarief\""_s));
}

namespace {

// Cents as a money text, built apart from the program's conversions.
QString referenceMoney(qint64 cents)
{
    const QLocale dutch(QLocale::Dutch, QLocale::Netherlands);
    return (cents < 0 ? u"-"_s : QString()) + dutch.toString(std::abs(cents) / 100) + u',' +
           u"%1"_s.arg(std::abs(cents) % 100, 2, 10, QChar(u'0'));
}

// n / d rounded to a whole number, halves away from zero; n, d > 0.
qint64 roundedQuotient(qint64 n, qint64 d)
{
    return (2 * n + d) / (2 * d);
}

// Tenths as the general number text the column totals hold.
QString tenthsText(qint64 tenths)
{
    return tenths % 10 == 0 ? QString::number(tenths / 10) : u"%1,%2"_s.arg(tenths / 10).arg(tenths % 10);
}

} // namespace

void TestTotals::randomMonthsToTheCent()
{
    // Months at DECIMAL(8,2) rates, against integer cents.
    QRandomGenerator random(20260327);
    const QList<qint64> sampleRates{7250, 99, 123456, 3333, 4550, 1};
    for (int month = 0; month < 200; ++month) {
        const qint64 rateIn = month < sampleRates.size() ? sampleRates[month] : random.bounded(1, 1000000);
        const qint64 rateOut = random.bounded(1, 1000000);
        const qint64 hours = random.bounded(0, 24 * 31 * 10 / 5) * 5; // in tenths, whole and half hours
        const qint64 km = random.bounded(0, 30000);                   // in tenths
        const qint64 euros = random.bounded(0, 500);
        const qint64 cents = random.bounded(0, 100);
        const totals::Inputs in{tenthsText(hours),
                                tenthsText(km),
                                QString::number(euros),
                                u"%1"_s.arg(cents, 2, 10, QChar(u'0')),
                                QString(),
                                QVariant(double(rateIn) / 100),
                                QVariant(double(rateOut) / 100)};
        const totals::Result r = totals::compute(in);
        if (hours + km + euros * 100 + cents == 0)
            continue;

        const qint64 hoursIn = roundedQuotient(rateIn * hours, 10);
        const qint64 hoursOut = roundedQuotient(rateOut * hours, 10);
        const qint64 kmAmount = roundedQuotient(35 * km, 10);
        const qint64 expense = euros * 100 + cents;
        const qint64 subIn = hoursIn + kmAmount + expense;
        const qint64 subOut = hoursOut + kmAmount + expense;
        const qint64 vatIn = roundedQuotient(subIn, 5);
        const qint64 vatOut = roundedQuotient(subOut, 5);
        const QStringList expected{
            referenceMoney(hoursIn), referenceMoney(hoursOut), referenceMoney(kmAmount),
            referenceMoney(subIn),   referenceMoney(vatIn),    referenceMoney(subIn + vatIn),
            referenceMoney(subOut),  referenceMoney(vatOut),   referenceMoney(subOut + vatOut)};
        QVERIFY(r.in && r.out);
        const QStringList got{r.hoursAmountIn, r.hoursAmountOut, r.kilometreAmount, r.in->subtotal, r.in->vat,
                              r.in->total,     r.out->subtotal,  r.out->vat,        r.out->total};
        QVERIFY2(r.problems.isEmpty(), qPrintable(r.problems.join(u'\n')));
        QVERIFY2(
            got == expected,
            qPrintable(
                u"rates %1 and %2, %3 hours, %4 km, expense %5,%6:\n%7\n%8"_s.arg(rateIn).arg(rateOut).arg(
                    in.hoursTotal, in.kilometreTotal, in.euros, in.cents, got.join(u' '),
                    expected.join(u' '))));
    }
}

void TestTotals::noMonthGoesBackToTheFirstTab_data()
{
    QTest::addColumn<QString>("month");
    QTest::addColumn<bool>("open");
    QTest::newRow("maand") << u"maand"_s << true;
    QTest::newRow("empty") << QString() << true;
    QTest::newRow("no open report") << u"03 Maart "_s << false;
}

void TestTotals::noMonthGoesBackToTheFirstTab()
{
    QFETCH(QString, month);
    QFETCH(bool, open);
    if (open)
        f->openMonth();
    f->c().setText(u"Combo2"_s, month);
    f->c().setText(hours(1), u"8"_s);
    f->form.tabs()->setCurrentIndex(1);
    QCOMPARE(f->form.tabs()->currentIndex(), 0);
    QCOMPARE(f->text(u"Text19"_s), u"0"_s);
    QCOMPARE(f->text(u"Text21"_s), u"0,00"_s);
    QVERIFY(f->c().isShown(u"Image5"_s) == false);
}

void TestTotals::typingUpdatesOnlyTheColumnTotals()
{
    f->openMonth();
    f->typeInto(hours(3), u"8"_s);
    f->typeInto(hours(4), u".5"_s);
    f->typeInto(km(3), u"100"_s);
    f->typeInto(u"Text33"_s, u"12"_s);
    QCOMPARE(f->text(element(u"Text26"_s, 32)), u"8,5"_s);
    QCOMPARE(f->text(element(u"Text27"_s, 32)), u"100"_s);
    QCOMPARE(f->text(u"Text19"_s), u"0"_s);
    QCOMPARE(f->text(u"Text14"_s), u"0"_s);
    QCOMPARE(f->text(u"Text11"_s), u"0,00"_s);
    QCOMPARE(f->text(u"Text17"_s), u"0,00"_s);
}

void TestTotals::tabClickCarriesTheMonth()
{
    f->openMonth();
    f->typeInto(hours(1), u"8"_s);
    f->typeInto(hours(2), u"0,5"_s);
    f->typeInto(km(1), u"100"_s);
    f->typeInto(u"Text33"_s, u"12"_s);
    f->typeInto(u"Text34"_s, u"5"_s); // twelve euros fifty
    f->typeInto(u"Text36"_s, u"Parkeren"_s);
    f->clickTab(1);

    QCOMPARE(f->form.tabs()->currentIndex(), 1);
    const QStringList names{u"Text19"_s, u"Text21"_s, u"Text39"_s, u"Text14"_s, u"Text16"_s,
                            u"Text11"_s, u"Text13"_s, u"Text12"_s, u"Text17"_s, u"Text28"_s,
                            u"Text29"_s, u"Text40"_s, u"Text41"_s, u"Text42"_s};
    QStringList got;
    for (const QString& n : names)
        got << f->text(n);
    QCOMPARE(got, (QStringList{u"8,5"_s, u"340,00"_s, u"467,50"_s, u"100"_s, u"35,00"_s, u"12,50"_s,
                               u"12,50"_s, u"Parkeren"_s, u"387,50"_s, u"77,50"_s, u"465,00"_s, u"515,00"_s,
                               u"103,00"_s, u"618,00"_s}));
    for (const QString& n : {u"Image4"_s, u"Image5"_s, u"Image6"_s, u"Combo4"_s})
        QVERIFY2(f->c().isShown(n), qPrintable(n));
    QVERIFY(f->messages.shown.isEmpty());
}

void TestTotals::everyTabChangeRunsTheChain()
{
    f->openMonth();
    f->form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f->form));
    QTabBar* bar = f->form.tabs()->tabBar();

    f->c().setText(hours(1), u"2"_s);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    QCOMPARE(f->form.tabs()->currentIndex(), 1);
    QCOMPARE(f->text(u"Text21"_s), u"80,00"_s);

    f->c().setText(hours(1), u"3"_s);
    bar->setFocus();
    QTest::keyClick(bar, Qt::Key_Left);
    QCOMPARE(f->form.tabs()->currentIndex(), 0);
    QCOMPARE(f->text(u"Text21"_s), u"120,00"_s);

    f->c().setText(hours(1), u"4"_s);
    QTest::keyClick(f->form.tabs(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(f->form.tabs()->currentIndex(), 1);
    QCOMPARE(f->text(u"Text21"_s), u"160,00"_s);
}

void TestTotals::newRatesWithTheSameHours()
{
    // Another project with the same hours: the hours amount follows the rate.
    f->openMonth();
    f->c().setText(hours(1), u"10"_s);
    f->clickTab(1);
    QCOMPARE(f->text(u"Text21"_s), u"400,00"_s);
    f->session.hourlyRateIn = 50.0;
    f->session.hourlyRateOut = 60.0;
    f->clickTab(0);
    QCOMPARE(f->text(u"Text19"_s), u"10"_s);
    QCOMPARE(f->text(u"Text21"_s), u"500,00"_s);
    QCOMPARE(f->text(u"Text39"_s), u"600,00"_s);
    QCOMPARE(f->text(u"Text17"_s), u"500,00"_s);
    QCOMPARE(f->text(u"Text42"_s), u"720,00"_s);
}

void TestTotals::nothingToDeclareHidesTheButtons()
{
    f->openMonth();
    f->c().setText(hours(1), u"10"_s);
    f->clickTab(1);
    QVERIFY(f->c().isShown(u"Image4"_s));
    f->c().setText(hours(1), u"0"_s);
    f->clickTab(0);
    QCOMPARE(f->text(u"Text21"_s), u"0,00"_s);
    for (const QString& n : {u"Image4"_s, u"Image6"_s, u"Combo4"_s})
        QVERIFY2(!f->c().isShown(n), qPrintable(n));
    QVERIFY(f->c().isShown(u"Image5"_s));
    // The sums of the last count stay in place.
    QCOMPARE(f->text(u"Text17"_s), u"400,00"_s);
    QCOMPARE(f->text(u"Text29"_s), u"480,00"_s);
}

void TestTotals::badAmountIsNamedAndTheChainRuns()
{
    f->openMonth();
    f->typeInto(u"Text33"_s, u"1%"_s);
    f->typeInto(km(2), u"100"_s);
    f->clickTab(1);
    QCOMPARE(f->messages.shown.size(), 1);
    QCOMPARE(
        f->messages.last(),
        u"Het veld \"Onkosten (euro's)\" bevat \"1%\"; dat is geen getal.\r\nEr wordt met 0 gerekend."_s);
    QCOMPARE(f->messages.shown[0].buttons, Buttons::Ok);
    QCOMPARE(f->text(u"Text11"_s), u"0,00"_s);
    QCOMPARE(f->text(u"Text16"_s), u"35,00"_s);
    QCOMPARE(f->text(u"Text29"_s), u"42,00"_s);
}

void TestTotals::clientSideAmountsAreReadOnly()
{
    for (const QString& n : {u"Text39"_s, u"Text40"_s, u"Text41"_s, u"Text42"_s})
        QVERIFY2(f->edit(n)->isReadOnly(), qPrintable(n));
}

QTEST_MAIN(TestTotals)
#include "tst_totals.moc"
