// The year overview as data: each month's state from the stored rows, the
// totals against the stored figures, and the chart's bars from the hours.

#include "ui/yearchart.h"
#include "year/yearoverview.h"
#include "year/yearprint.h"

#include <QtTest>

using namespace dl;
using namespace Qt::StringLiterals;
using year::State;

Q_DECLARE_METATYPE(State)

namespace {

year::Project glas()
{
    year::Project p;
    p.code = u"0042-GLAS"_s;
    p.found = true;
    p.name = u"Glasvezel Noord"_s;
    p.number = u"7"_s;
    p.client = u"17"_s;
    p.start = u"2026/03/15"_s;
    p.end = u"2026/10/31"_s;
    p.rateIn = 65.0;
    p.rateOut = 95.0;
    return p;
}

// A stored month with hours on its first days.
year::StoredMonth month(bool declared, const QStringList& hours, const QStringList& km = {})
{
    year::StoredMonth m;
    m.declared = declared;
    m.modified = u"27/maart/2026  16:04:09"_s;
    for (int n = 0; n < 31; ++n) {
        m.hours << hours.value(n);
        m.kilometres << km.value(n);
    }
    return m;
}

const QString kConsultant = u"0042"_s;

} // namespace

class TestYearOverview : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void stateOfAMonth_data();
    void stateOfAMonth();
    void yearTotals();
    void oneDeclarationForOneProject_data();
    void oneDeclarationForOneProject();
    void printedOverview();
    void chartBars_data();
    void chartBars();
};

void TestYearOverview::stateOfAMonth_data()
{
    QTest::addColumn<int>("monthNumber");
    QTest::addColumn<bool>("row");
    QTest::addColumn<bool>("rowDeclared");
    QTest::addColumn<bool>("declaration");
    QTest::addColumn<bool>("draft");
    QTest::addColumn<State>("expected");
    QTest::addColumn<QString>("cellText");
    QTest::addColumn<QString>("tipPart");

    QTest::newRow("nothing in the period")
        << 5 << false << false << false << false << State::Empty << u"Leeg\n"_s << u"Nog niets ingevuld"_s;
    // The month of the planned start counts in the period, whatever its day.
    QTest::newRow("the start month") << 3 << false << false << false << false << State::Empty << u"Leeg\n"_s
                                     << u"Nog niets"_s;
    QTest::newRow("before the start") << 2 << false << false << false << false << State::Outside
                                      << u"Buiten looptijd\n"_s << u"2026/03/15 t/m 2026/10/31"_s;
    QTest::newRow("after the end") << 11 << false << false << false << false << State::Outside
                                   << u"Buiten looptijd\n"_s << u"Buiten de looptijd"_s;
    QTest::newRow("saved") << 5 << true << false << false << false << State::Saved << u"Opgeslagen\n10,5 u"_s
                           << u"laatst gewijzigd 27/maart/2026  16:04:09"_s;
    QTest::newRow("a draft over a saved month")
        << 5 << true << false << false << true << State::Draft << u"Concept\n4,5 u"_s << u"deze werkplek"_s;
    // The draft's own hours, not the saved ones.
    QTest::newRow("a draft of a new month")
        << 5 << false << false << false << true << State::Draft << u"Concept\n4,5 u"_s << u"deze werkplek"_s;
    QTest::newRow("declared: row and declaration")
        << 5 << true << true << true << true << State::Declared << u"Gedeclareerd\n10,5 u"_s
        << u"Factuur 26050042170007, totaal € 1.234,56"_s;
    QTest::newRow("declared: the row alone") << 5 << true << true << false << false << State::Declared
                                             << u"Gedeclareerd\n10,5 u"_s << u"niet gevonden"_s;
    // The declaration's own hours when the report row is gone.
    QTest::newRow("declared: the declaration alone")
        << 5 << false << false << true << false << State::Declared << u"Gedeclareerd\n12 u"_s
        << u"1.234,56"_s;
    // Stored work outside the period still shows what it is.
    QTest::newRow("saved outside the period") << 12 << true << false << false << false << State::Saved
                                              << u"Opgeslagen\n10,5 u"_s << u"Opgeslagen"_s;
}

void TestYearOverview::stateOfAMonth()
{
    QFETCH(int, monthNumber);
    QFETCH(bool, row);
    QFETCH(bool, rowDeclared);
    QFETCH(bool, declaration);
    QFETCH(bool, draft);

    year::Stored s;
    s.projects << glas();
    const QString key = year::monthKey(u"2026"_s, monthNumber, u"0042-GLAS"_s);
    if (row)
        s.months.insert(key, month(rowDeclared, {u"8"_s, u"2.5"_s}));
    if (declaration)
        s.declarations.insert(year::invoiceOf(u"2026"_s, monthNumber, kConsultant, glas()),
                              {u"1.234,56"_s, u"12"_s, u"40"_s, glas().name});
    const year::Overview o = year::build(
        u"2026"_s, kConsultant, s, [&](const QString& k) { return draft && k == key; },
        [](const QString&) {
            return std::optional<QStringList>{{u"4"_s, u".5"_s}};
        });

    const year::Cell cell = o.cells.value(0).at(static_cast<size_t>(monthNumber - 1));
    QTEST(cell.state, "expected");
    QTEST(cell.text, "cellText");
    QFETCH(QString, tipPart);
    QVERIFY2(cell.tip.contains(tipPart), qPrintable(cell.tip));
    QVERIFY2(cell.spoken.startsWith(u"0042-GLAS, "_s + year::monthName(monthNumber) + u" 2026: "_s +
                                    year::stateWord(cell.state)),
             qPrintable(cell.spoken));
}

namespace {

// Two projects: declared months with stored totals, a saved month, and a
// declaration of another consultant.
year::Stored aYear()
{
    year::Project haven = glas();
    haven.code = u"0042-HAVEN"_s;
    haven.name = u"Havenkade"_s;
    haven.number = u"12"_s;
    haven.client = u"23"_s;
    haven.rateIn = u"72,50"_s; // a rate the server sent as text
    year::Stored s;
    s.projects << glas() << haven;
    const QString y = u"2026"_s;
    // Declared: the stored totals count as stored, not recomputed from the hours.
    s.months.insert(year::monthKey(y, 3, glas().code), month(true, {u"8"_s}, {u"10"_s}));
    s.declarations.insert(year::invoiceOf(y, 3, kConsultant, glas()),
                          {u"0,10"_s, u"8"_s, u"10"_s, glas().name});
    s.declarations.insert(year::invoiceOf(y, 4, kConsultant, glas()),
                          {u"0,20"_s, u"2"_s, u""_s, glas().name});
    s.declarations.insert(year::invoiceOf(y, 3, kConsultant, haven),
                          {u"1.000.000,01"_s, u"1"_s, u""_s, haven.name});
    // Saved: 10 hours at 72,50 plus 20 km at 0,35 = 732,00; VAT 20 % = 878,40.
    s.months.insert(year::monthKey(y, 5, haven.code), month(false, {u"6"_s, u"4"_s}, {u"20"_s}));
    // A declaration of another consultant's invoice number is not this one's.
    s.declarations.insert(year::invoiceOf(y, 6, u"0051"_s, glas()), {u"50,00"_s, u"5"_s, u""_s, glas().name});
    return s;
}

} // namespace

void TestYearOverview::yearTotals()
{
    const QString y = u"2026"_s;
    const year::Stored s = aYear();
    const year::Overview o = year::build(y, kConsultant, s, {});
    QCOMPARE(o.declared, u"1.000.000,31"_s);
    QCOMPARE(o.open, u"878,40"_s);
    QCOMPARE(o.hours, u"21"_s);
    QCOMPARE(o.kilometres, u"30"_s);
    QCOMPARE(o.projectHours, (QStringList{u"10"_s, u"11"_s}));
    QCOMPARE(o.monthHours.value(2), u"9"_s);
    QCOMPARE(o.monthHours.value(4), u"10"_s);
    QCOMPARE(o.monthHours.value(5), u"0"_s);
    QVERIFY(o.problems.isEmpty());
    QCOMPARE(o.hoursPerMonth.value(1)[4], 10.0);

    // A part of a saved month that is no number counts as 0, and is said.
    year::Stored odd = aYear();
    odd.projects[1].rateIn = u"veel"_s;
    const year::Overview withOdd = year::build(y, kConsultant, odd, {});
    QCOMPARE(withOdd.open, u"8,40"_s); // the 20 km at 0,35, VAT 20 %
    QCOMPARE(withOdd.problems.size(), 1);
    QVERIFY2(withOdd.problems.first().startsWith(u"0042-HAVEN "_s) &&
                 withOdd.problems.first().contains(u"veel"_s),
             qPrintable(withOdd.problems.first()));
}

// Two projects of one client whose numbers end alike share the invoice
// number; the one declaration is the month of the project it names, counted
// once, and the other project's saved month stays open.
void TestYearOverview::oneDeclarationForOneProject_data()
{
    QTest::addColumn<QString>("named");  // the declaration's Projectnaam
    QTest::addColumn<QString>("before"); // another row of the number before it (100,00), naming this
    QTest::addColumn<bool>("firstRowDeclared");
    QTest::addColumn<State>("first");
    QTest::addColumn<State>("second");
    QTest::addColumn<QString>("declared");
    QTest::addColumn<QString>("open");
    // A saved March: 10 hours at 65,00 with VAT 20 % = 780,00; 8 hours 624,00.
    QTest::newRow("names the first") << u"Glasvezel Noord"_s << QString() << true << State::Declared
                                     << State::Saved << u"1.234,56"_s << u"780,00"_s;
    // An office's or older workstation's second row of the number: each its own month.
    QTest::newRow("two rows of the number, the second's first")
        << u"Glasvezel Noord"_s << u"Glasvezel Zuid"_s << true << State::Declared << State::Declared
        << u"1.334,56"_s << u"0,00"_s;
    QTest::newRow("names the second, the first only saved")
        << u"Glasvezel Zuid"_s << QString() << false << State::Saved << State::Declared << u"1.234,56"_s
        << u"624,00"_s;
    // An office's row that names no project: the report that says declared has it.
    QTest::newRow("names none") << QString() << QString() << true << State::Declared << State::Saved
                                << u"1.234,56"_s << u"780,00"_s;
}

void TestYearOverview::oneDeclarationForOneProject()
{
    QFETCH(QString, named);
    QFETCH(QString, before);
    QFETCH(bool, firstRowDeclared);
    year::Project first = glas();
    first.number = u"0007"_s;
    year::Project second = glas();
    second.code = u"0042-GLAS2"_s;
    second.name = u"Glasvezel Zuid"_s;
    second.number = u"10007"_s;
    const QString y = u"2026"_s;
    QCOMPARE(year::invoiceOf(y, 3, kConsultant, first), year::invoiceOf(y, 3, kConsultant, second));
    year::Stored s;
    s.projects << first << second;
    const bool secondDeclared = named == second.name || before == second.name;
    s.months.insert(year::monthKey(y, 3, first.code), month(firstRowDeclared, {u"8"_s}));
    s.months.insert(year::monthKey(y, 3, second.code), month(secondDeclared, {u"6"_s, u"4"_s}));
    if (!before.isEmpty())
        s.declarations.insert(year::invoiceOf(y, 3, kConsultant, first),
                              {u"100,00"_s, u"10"_s, u""_s, before});
    s.declarations.insert(year::invoiceOf(y, 3, kConsultant, first), {u"1.234,56"_s, u"8"_s, u""_s, named});
    const year::Overview o = year::build(y, kConsultant, s, {});
    QTEST(o.cells.value(0).at(2).state, "first");
    QTEST(o.cells.value(1).at(2).state, "second");
    QTEST(o.declared, "declared");
    QTEST(o.open, "open");
}

// On paper: every figure whole and inside the page, the stored totals as
// stored, and an amount left out of a sum said so.
void TestYearOverview::printedOverview()
{
    year::Stored s = aYear();
    // A code longer than its column keeps its months on its own line.
    year::Project long23 = glas();
    long23.code = u"0042-GLASVEZEL-NOORD-23"_s;
    s.projects << long23;
    const year::Project& haven = s.projects[1];
    s.declarations.insert(year::invoiceOf(u"2026"_s, 8, kConsultant, haven),
                          {u"twaalf"_s, u"3"_s, u""_s, haven.name});
    // As the program stores it.
    s.months[year::monthKey(u"2026"_s, 5, haven.code)].modified =
        u"Laatst gewijzigd : 27-maart-2026  16:04:09"_s;
    const year::Overview o =
        year::build(u"2026"_s, kConsultant, s, [](const QString& k) { return k == u"2026_06_0042-HAVEN"_s; });
    const print::PrintDocument doc =
        print::buildYearDocument(o, {u"0042"_s, u"Ir. Anna de Vries"_s, u"27-03-2026"_s});
    QCOMPARE(doc.title, u"Jaaroverzicht 2026 0042"_s);

    QStringList lines;
    for (const print::GridRow& row : print::toGrid(doc)) {
        // The last column of A4 with quarter-inch margins at 8 and 10 points.
        const int last = row.pointSize == 8 ? 116 : 93;
        QString line;
        for (const print::GridRun& run : row.runs) {
            QVERIFY2(run.column + run.text.size() - 1 <= last, qPrintable(run.text));
            line = print::leftAligned(line, run.column - 1) + run.text;
        }
        lines << line;
    }
    const auto lineOf = [&](const QString& start) {
        for (const QString& l : std::as_const(lines)) {
            if (l.trimmed().startsWith(start))
                return l;
        }
        return QString();
    };
    //                       jan    feb    mrt    apr    mei    jun    jul    aug    sep    okt    nov    dec
    QCOMPARE(
        lineOf(u"0042-GLAS"_s).mid(23),
        u"-      -      G    8 G    2 .      .      .      .      .      .      -      -           10"_s);
    QCOMPARE(
        lineOf(u"0042-HAVEN"_s).mid(23),
        u"-      -      G    1 .      O   10 C      .      G    3 .      .      -      -           14"_s);
    QCOMPARE(
        lineOf(u"0042-GLASVEZEL… -"_s),
        u"       0042-GLASVEZEL… -      -      .      .      .      .      .      .      .      .      -      -            0"_s);
    QCOMPARE(lineOf(u"0042-GLASVEZEL… ="_s).trimmed(), u"0042-GLASVEZEL… = 0042-GLASVEZEL-NOORD-23"_s);
    QVERIFY(lineOf(u"TOTAAL UREN"_s).endsWith(u"     24"_s));
    const QString invoice = year::invoiceOf(u"2026"_s, 3, kConsultant, haven);
    QVERIFY(lineOf(u"0042-HAVEN      Maart"_s).contains(u"factuur "_s + invoice));
    QVERIFY(lineOf(u"0042-HAVEN      Maart"_s).endsWith(u"€ 1.000.000,01"_s));
    QVERIFY(lineOf(u"0042-HAVEN      Mei"_s).endsWith(u" laatst gewijzigd 27-maart-2026  16:04:09"_s));
    QCOMPARE(lineOf(u"0042-HAVEN      Juni"_s).trimmed(), u"0042-HAVEN      Juni"_s);
    QCOMPARE(lines.filter(u"GEDECLAREERD "_s).value(0).right(14), u"€ 1.000.000,31"_s);
    QVERIFY(lineOf(u"NOG OPEN (SCHATTING)"_s).endsWith(u"€     878,40"_s));
    QVERIFY(lineOf(u"Niet meegeteld: "_s).contains(u"twaalf"_s));
}

void TestYearOverview::chartBars_data()
{
    QTest::addColumn<QList<double>>("first");
    QTest::addColumn<QList<double>>("second");
    QTest::addColumn<int>("tallMonth");
    QTest::addColumn<int>("segmentsOfTall");
    QTest::addColumn<QString>("tallValue");

    QTest::newRow("stacked") << QList<double>{10, 0, 4} << QList<double>{6, 0, 0} << 1 << 2 << u"16"_s;
    QTest::newRow("one project") << QList<double>{0, 7.5} << QList<double>{} << 2 << 1 << u"7,5"_s;
    QTest::newRow("no hours") << QList<double>{} << QList<double>{} << 1 << 0 << u"0"_s;
}

void TestYearOverview::chartBars()
{
    QFETCH(QList<double>, first);
    QFETCH(QList<double>, second);
    QFETCH(int, tallMonth);
    QFETCH(int, segmentsOfTall);
    std::array<double, 12> a{}, b{};
    for (int i = 0; i < first.size(); ++i)
        a[i] = first[i];
    for (int i = 0; i < second.size(); ++i)
        b[i] = second[i];
    const QRectF area(100, 10, 240, 100);
    const QList<chart::Bar> bars = chart::bars({a, b}, area);
    QCOMPARE(bars.size(), 12);
    QCOMPARE(bars.first().label, u"jan"_s);
    QCOMPARE(bars.last().label, u"dec"_s);
    const chart::Bar& tall = bars[tallMonth - 1];
    QCOMPARE(tall.segments.size(), segmentsOfTall);
    QTEST(tall.value, "tallValue");
    for (const chart::Bar& bar : bars) {
        double height = 0;
        for (const chart::Segment& s : bar.segments) {
            QVERIFY(area.contains(s.rect.center()));
            height += s.rect.height();
        }
        // Heights in proportion to the hours; the tallest reaches the top.
        if (tall.hours > 0)
            QVERIFY(qAbs(height - bar.hours / tall.hours * area.height()) < 1e-6);
    }
    if (segmentsOfTall > 0) {
        QCOMPARE(tall.segments.first().rect.bottom(), area.bottom());
        QCOMPARE(tall.segments.last().rect.top(), area.top());
        QCOMPARE(tall.segments.first().project, 0);
    }
}

QTEST_MAIN(TestYearOverview)
#include "tst_yearoverview.moc"
