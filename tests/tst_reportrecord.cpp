// The report row: names, bindings, key, day labels and header lines.

#include "declaration/reportrecord.h"

#include <QSet>
#include <QtTest>

using namespace dl;

class TestReportRecord : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void dayLabel_data();
    void dayLabel();
    void everyLabelIsTwentyOneCharacters();
    void daysInMonth_data();
    void daysInMonth();
    void columnNames();
    void bindings();
    void key_data();
    void key();
    void headerLines_data();
    void headerLines();
    void stampLines_data();
    void stampLines();
};

void TestReportRecord::dayLabel_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("label");
    QTest::newRow("1 March 2008, a Saturday") << QDate(2008, 3, 1) << u"Za  01 Maart     2008"_qs;
    QTest::newRow("Sunday") << QDate(2008, 3, 2) << u"Zo  02 Maart     2008"_qs;
    QTest::newRow("29 February 2024") << QDate(2024, 2, 29) << u"Do  29 Februari  2024"_qs;
    QTest::newRow("1900 is no leap year") << QDate(1900, 2, 28) << u"Wo  28 Februari  1900"_qs;
    QTest::newRow("2000 is a leap year") << QDate(2000, 2, 29) << u"Di  29 Februari  2000"_qs;
    QTest::newRow("nine-letter month") << QDate(2008, 9, 1) << u"Ma  01 September 2008"_qs;
    QTest::newRow("end of a 30-day month") << QDate(2024, 4, 30) << u"Di  30 April     2024"_qs;
    QTest::newRow("end of the year") << QDate(2008, 12, 31) << u"Wo  31 December  2008"_qs;
    QTest::newRow("non-leap February") << QDate(2023, 2, 28) << u"Di  28 Februari  2023"_qs;
    QTest::newRow("Thursday, January") << QDate(2009, 1, 1) << u"Do  01 Januari   2009"_qs;
    QTest::newRow("Friday, October") << QDate(2010, 10, 1) << u"Vr  01 Oktober   2010"_qs;
    QTest::newRow("invalid") << QDate() << QString();
}

void TestReportRecord::dayLabel()
{
    QFETCH(QDate, date);
    QFETCH(QString, label);
    QCOMPARE(report::dayLabel(date), label);
}

void TestReportRecord::everyLabelIsTwentyOneCharacters()
{
    for (const int year : {1900, 2000, 2023, 2024}) {
        for (QDate d(year, 1, 1); d.year() == year; d = d.addDays(1))
            QCOMPARE(report::dayLabel(d).size(), 21);
    }
}

void TestReportRecord::daysInMonth_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("days");
    QTest::newRow("February 2023") << 2023 << 2 << 28;
    QTest::newRow("February 2024") << 2024 << 2 << 29;
    QTest::newRow("February 1900") << 1900 << 2 << 28;
    QTest::newRow("February 2000") << 2000 << 2 << 29;
    QTest::newRow("April") << 2008 << 4 << 30;
    QTest::newRow("November") << 2008 << 11 << 30;
    QTest::newRow("March") << 2008 << 3 << 31;
    QTest::newRow("December") << 2008 << 12 << 31;
    QTest::newRow("month 13") << 2008 << 13 << 0;
    QTest::newRow("month 0") << 2008 << 0 << 0;
}

void TestReportRecord::daysInMonth()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, days);
    QCOMPARE(report::daysInMonth(year, month), days);
}

void TestReportRecord::columnNames()
{
    const QStringList names = report::columnNames();
    QCOMPARE(names.size(), 165);
    QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), 165);
    QCOMPARE(names.mid(0, 12),
             (QStringList{u"afgewerkt"_qs, u"bestandsnaam"_qs, u"Projectnaam"_qs, u"Opdrachtgever"_qs,
                          u"omschrijving"_qs, u"aangemaakt"_qs, u"laatstgewijzigd"_qs, u"datum01"_qs,
                          u"Activiteit01"_qs, u"Contact01"_qs, u"Uren01"_qs, u"Kilometers01"_qs}));
    QCOMPARE(names.mid(157), (QStringList{u"datum31"_qs, u"Activiteit31"_qs, u"Contact31"_qs, u"Uren31"_qs,
                                          u"Kilometers31"_qs, u"onkosten"_qs, u"euro"_qs, u"cent"_qs}));
    QCOMPARE(names.at(7 + 5 * 9 + 3), u"Uren10"_qs);
}

void TestReportRecord::bindings()
{
    const QList<report::Binding> b = report::controlBindings();
    QCOMPARE(b.size(), 163);
    QStringList columns, controls;
    for (const report::Binding& x : b) {
        columns << x.column;
        controls << x.control;
    }
    QStringList expected = report::columnNames();
    expected.removeOne(u"afgewerkt"_qs);
    expected.removeOne(u"Projectnaam"_qs);
    QCOMPARE(columns, expected);
    QCOMPARE(QSet<QString>(controls.begin(), controls.end()).size(), 163);

    QHash<QString, QString> byColumn;
    for (const report::Binding& x : b)
        byColumn.insert(x.column, x.control);
    QCOMPARE(byColumn.value(u"bestandsnaam"_qs), u"Text22"_qs);
    QCOMPARE(byColumn.value(u"Opdrachtgever"_qs), u"Text30"_qs);
    QCOMPARE(byColumn.value(u"omschrijving"_qs), u"Text31"_qs);
    QCOMPARE(byColumn.value(u"aangemaakt"_qs), u"Text32"_qs);
    QCOMPARE(byColumn.value(u"laatstgewijzigd"_qs), u"Text37"_qs);
    QCOMPARE(byColumn.value(u"onkosten"_qs), u"Text36"_qs);
    QCOMPARE(byColumn.value(u"euro"_qs), u"Text33"_qs);
    QCOMPARE(byColumn.value(u"cent"_qs), u"Text34"_qs);
    // Each slot pairs with the columns of its own number.
    QCOMPARE(byColumn.value(u"datum01"_qs), u"Text23(1)"_qs);
    QCOMPARE(byColumn.value(u"Activiteit09"_qs), u"Text24(9)"_qs);
    QCOMPARE(byColumn.value(u"Contact10"_qs), u"Text25(10)"_qs);
    QCOMPARE(byColumn.value(u"Uren05"_qs), u"Text26(5)"_qs);
    QCOMPARE(byColumn.value(u"Kilometers31"_qs), u"Text27(31)"_qs);
    QCOMPARE(report::slotControl(3, 5), u"Text26(5)"_qs);
    QCOMPARE(report::slotColumn(u"Uren"_qs, 5), u"Uren05"_qs);
}

void TestReportRecord::key_data()
{
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("part");
    QTest::newRow("March 2008") << u"2008"_qs << u"03 Maart "_qs << u"P"_qs << u"2008_03_P"_qs
                                << u" Maart "_qs;
    QTest::newRow("December") << u"2026"_qs << u"12 December "_qs << u"C001-PRJ 7"_qs
                              << u"2026_12_C001-PRJ 7"_qs << u" December "_qs;
    QTest::newRow("empty code") << u"2009"_qs << u"05 Mei "_qs << QString() << u"2009_05_"_qs << u" Mei "_qs;
}

void TestReportRecord::key()
{
    QFETCH(QString, year);
    QFETCH(QString, entry);
    QFETCH(QString, code);
    QFETCH(QString, key);
    QFETCH(QString, part);
    QCOMPARE(report::reportKey(year, entry, code), key);
    QCOMPARE(report::monthPart(entry), part);
    QCOMPARE(report::monthNumber(entry), key.mid(5, 2));
}

void TestReportRecord::headerLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("title") << report::titleLine(u"Nieuwbouw"_qs, u" Maart "_qs, u"2008"_qs)
                           << u"Projectnaam      :   Nieuwbouw    Maart  2008"_qs;
    QTest::newRow("client") << report::clientLine(u"Bouw BV"_qs) << u"Opdrachtgever :   Bouw BV"_qs;
    QTest::newRow("description") << report::descriptionLine(u"Fase 2"_qs)
                                 << u"Omschrijving     :   Fase 2"_qs;
    QTest::newRow("not saved") << report::notYetSavedLine() << u"Laatst opgeslagen: 'NOG NIET OPGESLAGEN'"_qs;
}

void TestReportRecord::headerLines()
{
    QFETCH(QString, line);
    QFETCH(QString, expected);
    QCOMPARE(line, expected);
}

void TestReportRecord::stampLines_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("created");
    QTest::addColumn<QString>("modified");
    const QLocale nl(QLocale::Dutch, QLocale::Netherlands);
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QDateTime morning(QDate(2008, 3, 1), QTime(9, 5, 3));
    const QDateTime evening(QDate(2024, 12, 31), QTime(23, 59, 59));
    QTest::newRow("nl morning") << nl << morning << u"Aangemaakt       : 01-maart-2008  09:05:03"_qs
                                << u"Laatst gewijzigd : 01-maart-2008  09:05:03"_qs;
    QTest::newRow("nl evening") << nl << evening << u"Aangemaakt       : 31-december-2024  23:59:59"_qs
                                << u"Laatst gewijzigd : 31-december-2024  23:59:59"_qs;
    QTest::newRow("us morning") << us << morning << u"Aangemaakt       : 01/March/2008  09:05:03"_qs
                                << u"Laatst gewijzigd : 01/March/2008  09:05:03"_qs;
    QTest::newRow("us midnight") << us << QDateTime(QDate(2000, 2, 29), QTime(0, 0, 0))
                                 << u"Aangemaakt       : 29/February/2000  00:00:00"_qs
                                 << u"Laatst gewijzigd : 29/February/2000  00:00:00"_qs;
}

void TestReportRecord::stampLines()
{
    QFETCH(QLocale, locale);
    QFETCH(QDateTime, now);
    QFETCH(QString, created);
    QFETCH(QString, modified);
    QCOMPARE(report::createdLine(now, locale), created);
    QCOMPARE(report::modifiedLine(now, locale), modified);
}

QTEST_GUILESS_MAIN(TestReportRecord)
#include "tst_reportrecord.moc"
