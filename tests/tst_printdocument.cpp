// The printed report and declaration as lines on the character grid.

#include "print/printdocument.h"
#include "support/printsample.h"

#include <QtTest>

using namespace dl::print;
using namespace dl::test;
using namespace Qt::StringLiterals;

namespace {

// Each row as the characters it puts on the grid.
QStringList gridText(const QList<GridRow>& rows)
{
    QStringList out;
    for (const GridRow& row : rows) {
        QString s;
        for (const GridRun& run : row.runs) {
            if (s.size() < run.column - 1)
                s += QString(run.column - 1 - s.size(), u' ');
            s += run.text;
        }
        out << s;
    }
    return out;
}

QStringList printed(const PrintTexts& t)
{
    return gridText(toGrid(buildPrintDocument(t)));
}

// The text from a column on, as the grid shows it.
QString at(const QString& row, int column, int length = -1)
{
    return row.mid(column - 1, length);
}

int indexOf(const QStringList& rows, const QString& start, int column)
{
    for (int i = 0; i < rows.size(); ++i) {
        if (at(rows.at(i), column).startsWith(start))
            return i;
    }
    return -1;
}

// The rows between the two rules under the day table's heading.
QStringList dayRows(const QStringList& rows)
{
    const int first = indexOf(rows, u"-----"_s, 8);
    const int second = rows.indexOf(rows.at(first), first + 1);
    return rows.mid(first + 1, second - first - 1);
}

} // namespace

class TestPrintDocument : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void header_data();
    void header();
    void lineCountsAndSizes_data();
    void lineCountsAndSizes();
    void printedDays_data();
    void printedDays();
    void dayRow();
    void longActivity_data();
    void longActivity();
    void counts_data();
    void counts();
    void summaryFields_data();
    void summaryFields();
    void expenseField_data();
    void expenseField();
    void summaryColumns();
    void closingText();
};

void TestPrintDocument::header_data()
{
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("monthEntry");
    QTest::addColumn<QString>("consultant");
    QTest::addColumn<QString>("client");
    QTest::addColumn<QString>("project");
    QTest::addColumn<QString>("invoice");
    QTest::addColumn<QString>("period");
    QTest::newRow("March 2008") << u"2008"_s << u"03 Maart "_s << u"12"_s << u"7"_s << u"5"_s
                                << u"08031270005"_s << u"Maart 2008"_s;
    QTest::newRow("project of five digits keeps its last four")
        << u"2008"_s << u"03 Maart "_s << u"12"_s << u"7"_s << u"12345"_s << u"08031272345"_s
        << u"Maart 2008"_s;
    QTest::newRow("four-digit project, December") << u"2026"_s << u"12 December "_s << u"0042"_s << u"113"_s
                                                  << u"4711"_s << u"261200421134711"_s << u"December 2026"_s;
}

void TestPrintDocument::header()
{
    QFETCH(QString, year);
    QFETCH(QString, monthEntry);
    QFETCH(QString, consultant);
    QFETCH(QString, client);
    QFETCH(QString, project);
    QFETCH(QString, invoice);
    QFETCH(QString, period);

    PrintTexts t = sampleTexts();
    t.year = year;
    t.monthEntry = monthEntry;
    t.consultantNumber = consultant;
    t.clientNumber = client;
    t.projectNumber = project;
    const PrintDocument doc = buildPrintDocument(t);
    const QStringList rows = gridText(toGrid(doc));

    QVERIFY(rows.at(0).isEmpty());
    QVERIFY(rows.at(1).isEmpty());
    QCOMPARE(rows.at(2), QString(60, u' ') + u"FACTUUR : "_s + invoice);
    QCOMPARE(rows.at(3), QString(60, u' ') + u"Datum   : 14-maart-2008"_s);
    QCOMPARE(rows.at(4), QString(60, u' ') + u"Periode : "_s + period);
    QCOMPARE(rows.at(10), u"     Project naam          : Migratie"_s);
    QCOMPARE(rows.at(11), u"     Project omschrijving  : Overzetten van de boekhouding"_s);
    QCOMPARE(rows.at(12), u"     Project opdrachtgever : Zandmeer Bouw"_s);
    QVERIFY(doc.title.contains(invoice));
}

void TestPrintDocument::lineCountsAndSizes_data()
{
    QTest::addColumn<int>("days");
    QTest::newRow("no day") << 0;
    QTest::newRow("three days") << 3;
    QTest::newRow("every day") << 31;
}

void TestPrintDocument::lineCountsAndSizes()
{
    QFETCH(int, days);
    PrintTexts t = sampleTexts();
    for (int n = 1; n <= days; ++n)
        work(t, n, u"8"_s, u"0"_s);
    const PrintDocument doc = buildPrintDocument(t);

    int at10 = 0;
    int at8 = 0;
    bool smaller = false;
    for (const PrintLine& line : doc.lines) {
        if (line.pointSize == 8)
            smaller = true;
        else
            QVERIFY2(!smaller, "the size stays 8 to the end");
        (line.pointSize == 10 ? at10 : at8)++;
    }
    QCOMPARE(at10, 16);
    QCOMPARE(at8, 35 + days);
    // The first line at 8 points is the table's heading.
    QCOMPARE(doc.lines.at(16).items.first().text, u"DATUM"_s);
}

void TestPrintDocument::printedDays_data()
{
    QTest::addColumn<QStringList>("hours"); // day N at index N - 1
    QTest::addColumn<QStringList>("km");
    QTest::addColumn<QList<int>>("printedDays");
    const QStringList zeros(31, u"0"_s);
    QStringList h = zeros;
    h[2] = u"8"_s;
    h[9] = u"4"_s;
    h[30] = u"7"_s;
    QTest::newRow("three worked days of 31") << h << zeros << QList<int>{3, 10, 31};
    QStringList k = zeros;
    k[4] = u"120"_s;
    QTest::newRow("kilometres without hours") << zeros << k << QList<int>{5};
    QTest::newRow("nothing worked") << zeros << zeros << QList<int>{};
    QTest::newRow("empty texts") << QStringList(31, QString()) << QStringList(31, QString()) << QList<int>{};
    QStringList mixedH = zeros;
    QStringList mixedK(31, QString());
    mixedH[0] = QString();
    mixedK[1] = u"0"_s;
    mixedH[6] = u"2"_s;
    mixedK[6] = u"15"_s;
    QTest::newRow("empty and 0 mixed, one day with both") << mixedH << mixedK << QList<int>{7};
}

void TestPrintDocument::printedDays()
{
    QFETCH(QStringList, hours);
    QFETCH(QStringList, km);
    QFETCH(QList<int>, printedDays);
    PrintTexts t = sampleTexts();
    for (int n = 1; n <= 31; ++n)
        work(t, n, hours.at(n - 1), km.at(n - 1));

    const QStringList rows = dayRows(printed(t));
    QCOMPARE(rows.size(), printedDays.size());
    for (int i = 0; i < rows.size(); ++i)
        QCOMPARE(at(rows.at(i), 8, 21), t.days[std::size_t(printedDays.at(i) - 1)].label);
}

void TestPrintDocument::dayRow()
{
    PrintTexts t = sampleTexts();
    work(t, 3, u"8"_s, u"120"_s, u"Installatie server"_s, u"J. de Vries"_s);
    const QStringList all = printed(t);
    const int heading = indexOf(all, u"DATUM"_s, 8);
    QCOMPARE(all.at(heading), u"       DATUM                   ACTIVITEIT"_s + QString(34, u' ') +
                                  u"GESPROKEN MET"_s + QString(15, u' ') + u"UREN     KM"_s);
    QCOMPARE(all.at(heading + 1), QString(7, u' ') + QString(21, u'-') + QString(3, u' ') +
                                      QString(41, u'-') + QString(3, u' ') + QString(25, u'-') +
                                      QString(3, u' ') + u"----   ----"_s);

    const QString row = dayRows(all).value(0);
    QCOMPARE(at(row, 8, 24), u"Za  03 Maart     2008   "_s);
    QCOMPARE(at(row, 32, 44), leftAligned(u"Installatie server"_s, 44));
    QCOMPARE(at(row, 76, 28), leftAligned(u"J. de Vries"_s, 28));
    QCOMPARE(at(row, 104), u"   8    120"_s);

    const int total = indexOf(all, u"TOTAAL"_s, 95);
    QVERIFY(total > heading);
    t.hoursColumnTotal = u"8"_s;
    t.kilometresColumnTotal = u"120"_s;
    QCOMPARE(at(printed(t).at(total), 95), u"TOTAAL      8    120"_s);
}

void TestPrintDocument::longActivity_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("nextRow");
    QTest::newRow("41, the field's length") << 41 << false;
    QTest::newRow("44 ends just before column 76") << 44 << false;
    QTest::newRow("45 passes column 76") << 45 << true;
    QTest::newRow("60") << 60 << true;
}

void TestPrintDocument::longActivity()
{
    QFETCH(int, length);
    QFETCH(bool, nextRow);
    PrintTexts t = sampleTexts();
    const QString activity = QString(length, u'a');
    work(t, 1, u"8"_s, u"12"_s, activity, u"Klant"_s);

    const QStringList rows = dayRows(printed(t));
    QCOMPARE(rows.size(), nextRow ? 2 : 1);
    QCOMPARE(at(rows.at(0), 32), activity + (nextRow ? QString()
                                                     : QString(44 - length, u' ') + u"Klant"_s +
                                                           QString(23, u' ') + u"   8     12"_s));
    if (nextRow)
        QCOMPARE(rows.at(1), QString(75, u' ') + u"Klant"_s + QString(23, u' ') + u"   8     12"_s);
}

void TestPrintDocument::counts_data()
{
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("km");
    QTest::addColumn<QString>("fields"); // the day row and the TOTAAL row from column 101
    QTest::addColumn<QString>("hoursLine");
    QTest::addColumn<QString>("kmLine");
    QTest::newRow("8 and 120") << u"8"_s << u"120"_s << u"      8    120"_s << u"Werkuren            8"_s
                               << u"kilometers        120"_s;
    QTest::newRow("148,5 hours") << u"148,5"_s << u"0"_s << u"  148,5      0"_s << u"Werkuren        148,5"_s
                                 << u"kilometers          0"_s;
    QTest::newRow("743,5 hours, the most a month holds")
        << u"743,5"_s << u"12"_s << u"  743,5     12"_s << u"Werkuren        743,5"_s
        << u"kilometers         12"_s;
    QTest::newRow("1000 km") << u"8"_s << u"1000"_s << u"      8   1000"_s << u"Werkuren            8"_s
                             << u"kilometers       1000"_s;
    QTest::newRow("30969 km") << u"160"_s << u"30969"_s << u"    160  30969"_s << u"Werkuren          160"_s
                              << u"kilometers      30969"_s;
    QTest::newRow("1000,5 km") << u"7,5"_s << u"1000,5"_s << u"    7,5 1000,5"_s << u"Werkuren          7,5"_s
                               << u"kilometers     1000,5"_s;
}

void TestPrintDocument::counts()
{
    QFETCH(QString, hours);
    QFETCH(QString, km);
    QFETCH(QString, fields);
    QFETCH(QString, hoursLine);
    QFETCH(QString, kmLine);
    PrintTexts t = sampleTexts();
    work(t, 1, hours, km);
    t.hoursColumnTotal = hours;
    t.kilometresColumnTotal = km;
    t.hours = hours;
    t.kilometres = km;
    const QStringList rows = printed(t);

    // Every figure as the form shows it: a long one starts further left.
    const QStringList days = dayRows(rows);
    QCOMPARE(days.size(), 1);
    QCOMPARE(at(days.first(), 101), fields);
    const int total = indexOf(rows, u"TOTAAL"_s, 95);
    QCOMPARE(at(rows.at(total), 95), u"TOTAAL"_s + fields);
    QCOMPARE(at(rows.at(indexOf(rows, u"Werkuren"_s, 8)), 8, 24), hoursLine + u"   "_s);
    QCOMPARE(at(rows.at(indexOf(rows, u"kilometers"_s, 8)), 8, 24), kmLine + u"   "_s);
}

void TestPrintDocument::summaryFields_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("printedDescription");
    QTest::addColumn<QString>("printedAmount");
    QTest::newRow("short") << u"GEEN"_s << u"0,00"_s << (u"GEEN"_s + QString(38, u' ')) << u"      0,00"_s;
    QTest::newRow("ten characters") << u"x"_s << u"123.456,78"_s << (u"x"_s + QString(41, u' '))
                                    << u"123.456,78"_s;
    QTest::newRow("100.000,00") << u"x"_s << u"100.000,00"_s << (u"x"_s + QString(41, u' '))
                                << u"100.000,00"_s;
    QTest::newRow("a million takes the blanks before it")
        << u"x"_s << u"1.000.000,00"_s << (u"x"_s + QString(41, u' ')) << u"1.000.000,00"_s;
    QTest::newRow("thirteen characters kept whole")
        << u"x"_s << u"12.345.678,90"_s << (u"x"_s + QString(41, u' ')) << u"12.345.678,90"_s;
    QTest::newRow("description cut at 42")
        << QString(42, u'd') + u"EXTRA"_s << u"1,00"_s << QString(42, u'd') << u"      1,00"_s;
}

void TestPrintDocument::summaryFields()
{
    QFETCH(QString, description);
    QFETCH(QString, amount);
    QFETCH(QString, printedDescription);
    QFETCH(QString, printedAmount);

    PrintTexts t = sampleTexts();
    t.hoursText = description;
    t.hoursAmount = amount;
    t.kilometresText = description;
    t.kilometresAmount = amount;
    t.expenseText = description;
    t.expenseAmount = amount;
    t.subtotal = amount;
    t.vat = amount;
    t.total = amount;
    const QStringList rows = printed(t);

    // Whatever its length, an amount ends in column 100 behind "€ ".
    const int over = int(std::max<qsizetype>(0, printedAmount.size() - 10));
    for (const QString& label : {u"Werkuren "_s, u"kilometers "_s, u"Onkosten "_s}) {
        const int i = indexOf(rows, label, 8);
        QVERIFY2(i >= 0, qPrintable(label));
        QCOMPARE(at(rows.at(i), 29, 3), u"   "_s);
        QCOMPARE(at(rows.at(i), 32, 42), printedDescription);
        QCOMPARE(at(rows.at(i), 74), QString(15 - over, u' ') + u"€ "_s + printedAmount);
    }
    for (const QString& caption : {u"SUBTOTAAL"_s, u"BTW 20%"_s, u"TOTAAL "_s})
        QCOMPARE(at(rows.at(indexOf(rows, caption, 76)), 76),
                 caption.trimmed() + QString(13 - caption.trimmed().size() - over, u' ') + u"€ "_s +
                     printedAmount);
}

void TestPrintDocument::expenseField_data()
{
    QTest::addColumn<QString>("expense");
    QTest::addColumn<QString>("field");
    QTest::newRow("0,00") << u"0,00"_s << u"       € 0,00"_s;
    QTest::newRow("six characters") << u"125,50"_s << u"     € 125,50"_s;
    QTest::newRow("seven keep the euro sign") << u"1125,50"_s << u"    € 1125,50"_s;
    QTest::newRow("nine kept whole") << u"123456,78"_s << u"  € 123456,78"_s;
    QTest::newRow("grouped thousands kept whole") << u"100.000,00"_s << u" € 100.000,00"_s;
    QTest::newRow("empty") << QString() << u"           € "_s;
}

void TestPrintDocument::expenseField()
{
    QFETCH(QString, expense);
    QFETCH(QString, field);
    PrintTexts t = sampleTexts();
    t.expense = expense;
    const QStringList rows = printed(t);
    // The amount ends in column 28, where the other counts end.
    QCOMPARE(at(rows.at(indexOf(rows, u"Onkosten"_s, 8)), 8, 24), u"Onkosten"_s + field + u"   "_s);
}

void TestPrintDocument::summaryColumns()
{
    PrintTexts t = sampleTexts();
    t.hours = u"172"_s;
    t.hoursText = u"Uurtarief 85,00"_s;
    t.hoursAmount = u"14.620,00"_s;
    t.subtotal = u"14.620,00"_s;
    t.vat = u"2.924,00"_s;
    t.total = u"17.544,00"_s;
    const QStringList rows = printed(t);
    const int hours = indexOf(rows, u"Werkuren"_s, 8);
    QCOMPARE(rows.at(hours), u"       Werkuren          172   Uurtarief 85,00"_s + QString(27 + 15, u' ') +
                                 u"€  14.620,00"_s);
    QVERIFY(rows.at(hours + 1).isEmpty());
    QVERIFY(rows.at(hours + 3).isEmpty());
    // Every amount ends in column 100, every euro sign stands in column 89.
    for (int i = hours; i <= hours + 10; ++i) {
        if (rows.at(i).isEmpty())
            continue;
        QCOMPARE(rows.at(i).size(), 100);
        if (!rows.at(i).contains(u'-') && !rows.at(i).contains(u'='))
            QCOMPARE(rows.at(i).at(88), u'€');
    }
    QCOMPARE(at(rows.at(hours + 5), 89), u"------------"_s);
    QCOMPARE(at(rows.at(hours + 6), 76), u"SUBTOTAAL    €  14.620,00"_s);
    QCOMPARE(at(rows.at(hours + 7), 76), u"BTW 20%      €   2.924,00"_s);
    QCOMPARE(at(rows.at(hours + 8), 89), u"============"_s);
    QCOMPARE(at(rows.at(hours + 9), 76), u"TOTAAL       €  17.544,00"_s);
}

void TestPrintDocument::closingText()
{
    const QStringList rows = printed(sampleTexts());
    const int first = indexOf(rows, u"Deze declaratie is bedoeld"_s, 8);
    QCOMPARE(at(rows.at(first), 8),
             u"Deze declaratie is bedoeld als administratie/archivering voor: Ir. Jan  Jansen"_s);
    QCOMPARE(first, rows.size() - 9);
    QVERIFY(rows.at(first + 1).isEmpty());
    QCOMPARE(at(rows.at(first + 2), 8),
             u"Deze declaratie is alleen te relateren aan een elektronisch verstuurde decalaratie als er"_s);
    QCOMPARE(at(rows.at(first + 3), 8),
             u"na het printen van dit dokument geen wijzigingen hebben plaatsgevonden in de gegevens"_s);
    QCOMPARE(at(rows.at(first + 4), 8),
             u"en er is gedeclareed met de exacte gegevens die op dit dokument getoont worden."_s);
    QCOMPARE(rows.last(), u"       KALMIROS - Pelvarnet BV  Zandmeer"_s);
    // Seven empty lines between the total and the closing text.
    for (int i = first - 7; i < first; ++i)
        QVERIFY(rows.at(i).isEmpty());
    QVERIFY(at(rows.at(first - 8), 76).startsWith(u"TOTAAL"_s));
}

QTEST_MAIN(TestPrintDocument)
#include "tst_printdocument.moc"
