// The invoice number and the declaration stamp.

#include "declaration/invoicenumber.h"
#include "submit/declarationrow.h"

#include <QtTest>

using namespace dl;
using namespace dl::submit;

class TestDeclarationRow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void invoiceNumber_data();
    void invoiceNumber();
    void stamp();
    void columnsAreTheTwentyEight();
    void ratesAsTheServerWroteThem_data();
    void ratesAsTheServerWroteThem();
};

void TestDeclarationRow::invoiceNumber_data()
{
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("consultant");
    QTest::addColumn<QString>("client");
    QTest::addColumn<QString>("project");
    QTest::addColumn<QString>("number");
    QTest::newRow("project 5") << u"2008"_qs << u"03 Maart "_qs << u"12"_qs << u"7"_qs << u"5"_qs
                               << u"08031270005"_qs;
    QTest::newRow("project 7") << u"2008"_qs << u"03 Maart "_qs << u"0042"_qs << u"17"_qs << u"7"_qs
                               << u"08030042170007"_qs;
    QTest::newRow("four digits kept")
        << u"2009"_qs << u"12 December "_qs << u"12"_qs << u"7"_qs << u"1234"_qs << u"09121271234"_qs;
    QTest::newRow("longer keeps last four")
        << u"2008"_qs << u"03 Maart "_qs << u"12"_qs << u"7"_qs << u"12345"_qs << u"08031272345"_qs;
    QTest::newRow("10005 meets 5") << u"2008"_qs << u"03 Maart "_qs << u"12"_qs << u"7"_qs << u"10005"_qs
                                   << u"08031270005"_qs;
    QTest::newRow("empty project") << u"2008"_qs << u"01 Januari "_qs << u"12"_qs << u"7"_qs << QString()
                                   << u"08011270000"_qs;
    QTest::newRow("texts unchanged") << u"2026"_qs << u"09 September "_qs << u" 12"_qs << u"7 "_qs << u"ab"_qs
                                     << u"2609 127 00ab"_qs;
}

void TestDeclarationRow::invoiceNumber()
{
    QFETCH(QString, year);
    QFETCH(QString, month);
    QFETCH(QString, consultant);
    QFETCH(QString, client);
    QFETCH(QString, project);
    QFETCH(QString, number);
    QCOMPARE(report::invoiceNumber(year, month, consultant, client, project), number);
}

void TestDeclarationRow::stamp()
{
    const QDateTime t(QDate(2026, 12, 7), QTime(9, 5, 3));
    QCOMPARE(declarationStamp(t, QLocale(QLocale::Dutch, QLocale::Netherlands)),
             u"07-december-2026  09:05:03"_qs);
    QCOMPARE(declarationStamp(t, QLocale(QLocale::English, QLocale::UnitedStates)),
             u"07/December/2026  09:05:03"_qs);
}

void TestDeclarationRow::columnsAreTheTwentyEight()
{
    const Values row = declarationRow([](const QString& control) { return control; },
                                      {u"naam"_qs, u"2008"_qs, u"03 Maart "_qs, 65, u"95"_qs, u"stempel"_qs});
    QStringList columns;
    for (const auto& [column, value] : row)
        columns << column;
    QCOMPARE(columns.size(), 28);
    QCOMPARE(columns.first(), u"factuurnummer"_qs);
    QCOMPARE(columns.last(), u"IsbetaaldOpdrachtgever"_qs);
    QCOMPARE(columns.removeDuplicates(), 0);
    // Rates go through as they came, whatever their type.
    QCOMPARE(row[10].second, QVariant(65));
    QCOMPARE(row[11].second, QVariant(u"95"_qs));
}

void TestDeclarationRow::ratesAsTheServerWroteThem_data()
{
    // A double is the decimal the server sent, in the server's own notation.
    QTest::addColumn<QVariant>("rate");
    QTest::addColumn<QVariant>("bound");
    QTest::newRow("72.50") << QVariant(72.5) << QVariant(u"72.5"_qs);
    QTest::newRow("33.33") << QVariant(33.33) << QVariant(u"33.33"_qs);
    QTest::newRow("1234.56") << QVariant(1234.56) << QVariant(u"1234.56"_qs);
    QTest::newRow("0.99") << QVariant(0.99) << QVariant(u"0.99"_qs);
    QTest::newRow("negative") << QVariant(-0.05) << QVariant(u"-0.05"_qs);
    QTest::newRow("whole") << QVariant(95.0) << QVariant(u"95"_qs);
    QTest::newRow("FLOAT 1.01") << QVariant(double(1.01f)) << QVariant(u"1.01"_qs);
    QTest::newRow("integer as it came") << QVariant(qlonglong(65)) << QVariant(qlonglong(65));
    QTest::newRow("text as it came") << QVariant(u"45,50"_qs) << QVariant(u"45,50"_qs);
    QTest::newRow("null as it came") << QVariant(QMetaType::fromType<double>())
                                     << QVariant(QMetaType::fromType<double>());
}

void TestDeclarationRow::ratesAsTheServerWroteThem()
{
    QFETCH(QVariant, rate);
    QFETCH(QVariant, bound);
    const Values row = declarationRow([](const QString& control) { return control; },
                                      {u"naam"_qs, u"2008"_qs, u"03 Maart "_qs, rate, rate, u"stempel"_qs});
    QCOMPARE(row[10].second, bound);
    QCOMPARE(row[11].second, bound);
    QCOMPARE(row[10].second.isNull(), rate.isNull());
}

QTEST_GUILESS_MAIN(TestDeclarationRow)
#include "tst_declarationrow.moc"
