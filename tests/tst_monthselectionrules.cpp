// The decisions of a month choice: year, start check, messages, row states.

#include "declaration/monthselectionrules.h"

#include <QtTest>

using namespace dl;

class TestMonthSelectionRules : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startCheck_data();
    void startCheck();
    void messages_data();
    void messages();
    void year_data();
    void year();
    void verdict_data();
    void verdict();
    void offeredMonth_data();
    void offeredMonth();
};

void TestMonthSelectionRules::startCheck_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("refusal"); // empty: the month may be chosen
    const QString march2009 = u"U kunt niet vroeger declareren dan Maart 2009"_qs;
    QTest::newRow("start month itself") << u"2009/03/01"_qs << u"2009"_qs << u"03 Maart "_qs << QString();
    QTest::newRow("month after") << u"2009/03/01"_qs << u"2009"_qs << u"04 April "_qs << QString();
    QTest::newRow("December") << u"2009/03/01"_qs << u"2009"_qs << u"12 December "_qs << QString();
    QTest::newRow("year after, earlier month")
        << u"2009/03/01"_qs << u"2010"_qs << u"01 Januari "_qs << QString();
    QTest::newRow("month before") << u"2009/03/01"_qs << u"2009"_qs << u"02 Februari "_qs << march2009;
    QTest::newRow("January") << u"2009/03/01"_qs << u"2009"_qs << u"01 Januari "_qs << march2009;
    QTest::newRow("year before, later month")
        << u"2009/03/01"_qs << u"2008"_qs << u"12 December "_qs << march2009;
    QTest::newRow("year before, same month")
        << u"2009/03/01"_qs << u"2008"_qs << u"03 Maart "_qs << march2009;
    QTest::newRow("no start date") << QString() << u"2008"_qs << u"01 Januari "_qs << QString();
    QTest::newRow("November start") << u"2008/11/15"_qs << u"2008"_qs << u"10 Oktober "_qs
                                    << u"U kunt niet vroeger declareren dan November 2008"_qs;
    // A start month outside 01..12 is named by its two characters alone.
    QTest::newRow("month 13") << u"2009/13/01"_qs << u"2009"_qs << u"12 December "_qs
                              << u"U kunt niet vroeger declareren dan 13"_qs;
    QTest::newRow("month 00 refuses nothing")
        << u"2009/00/01"_qs << u"2009"_qs << u"01 Januari "_qs << QString();
}

void TestMonthSelectionRules::startCheck()
{
    QFETCH(QString, start);
    QFETCH(QString, year);
    QFETCH(QString, entry);
    QFETCH(QString, refusal);
    QCOMPARE(month::startRefusal(year, entry, start).value_or(QString()), refusal);
}

void TestMonthSelectionRules::messages_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("declared") << month::declaredMessage(u" Maart "_qs, u"2008"_qs)
                              << u"U heeft  Maart  2008 al gedeclareerd!"_qs;
    QTest::newRow("new") << month::newReportMessage(u" Maart "_qs, u"2008"_qs)
                         << u"Een nieuw raport is voor u aangemaakt.\r\n\r\nvoor de maand Maart  2008"_qs;
    QTest::newRow("loaded") << month::loadedMessage(u" September "_qs, u"2024"_qs)
                            << u"Een bestaand declaratie raport (voor de maand September  2024)\r\n"
                               u"is ingeladen en klaargezet"_qs;
    QTest::newRow("bad year")
        << month::badYearMessage(u"08"_qs)
        << u"\"08\" is geen jaartal.\r\nKies een jaar van vier cijfers, bijvoorbeeld 2008."_qs;
}

void TestMonthSelectionRules::messages()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(text, expected);
}

void TestMonthSelectionRules::year_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::newRow("2008") << u"2008"_qs << true;
    QTest::newRow("1900") << u"1900"_qs << true;
    QTest::newRow("two digits") << u"08"_qs << false;
    QTest::newRow("five digits") << u"20081"_qs << false;
    QTest::newRow("leading blank") << u" 2008"_qs << false;
    QTest::newRow("trailing blank") << u"2008 "_qs << false;
    QTest::newRow("letter O") << u"20O8"_qs << false;
    QTest::newRow("design text") << u"jaar"_qs << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("sign") << u"+200"_qs << false;
    QTest::newRow("Arabic-Indic digits") << u"\u0662\u0660\u0660\u0668"_qs << false;
    QTest::newRow("year 0") << u"0000"_qs << false;
}

void TestMonthSelectionRules::year()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QCOMPARE(month::isYear(text), ok);
}

void TestMonthSelectionRules::verdict_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("verdict");
    QTest::newRow("nee") << u"nee"_qs << int(month::Verdict::Load);
    QTest::newRow("ja") << u"ja"_qs << int(month::Verdict::Declared);
    QTest::newRow("Nee") << u"Nee"_qs << int(month::Verdict::PassOver);
    QTest::newRow("JA") << u"JA"_qs << int(month::Verdict::PassOver);
    QTest::newRow("nee with blank") << u"nee "_qs << int(month::Verdict::PassOver);
    QTest::newRow("empty") << QString() << int(month::Verdict::PassOver);
}

void TestMonthSelectionRules::verdict()
{
    QFETCH(QString, state);
    QFETCH(int, verdict);
    QCOMPARE(int(month::verdictOf(state)), verdict);
}

void TestMonthSelectionRules::offeredMonth_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<QList<int>>("declared");
    QTest::addColumn<int>("offered");
    // Today is 27 March 2026.
    QTest::newRow("this month") << 2026 << QList<int>{} << 3;
    QTest::newRow("this month declared") << 2026 << QList<int>{3} << 2;
    QTest::newRow("back past every declared one") << 2026 << QList<int>{3, 2} << 1;
    QTest::newRow("a gap") << 2026 << QList<int>{3, 1} << 2;
    QTest::newRow("all declared: this month") << 2026 << QList<int>{1, 2, 3} << 3;
    QTest::newRow("later months do not count") << 2026 << QList<int>{4, 12} << 3;
    QTest::newRow("an earlier year ends in December") << 2025 << QList<int>{} << 12;
    QTest::newRow("an earlier year, December declared") << 2025 << QList<int>{12, 11} << 10;
    QTest::newRow("a later year begins in January") << 2027 << QList<int>{} << 1;
}

void TestMonthSelectionRules::offeredMonth()
{
    QFETCH(int, year);
    QFETCH(QList<int>, declared);
    QFETCH(int, offered);
    QCOMPARE(month::offeredMonth(year, QDate(2026, 3, 27), [&](int m) { return declared.contains(m); }),
             offered);
}

QTEST_GUILESS_MAIN(TestMonthSelectionRules)
#include "tst_monthselectionrules.moc"
