// The Dutch number conversions: which text gives which number and back.

#include "data/dutchnumbers.h"

#include <QTest>
#include <QVariant>

#include <cmath>
#include <limits>

using namespace dl;
using namespace Qt::StringLiterals;

class TestDutchNumbers : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void leading_data();
    void leading();
    void locale_data();
    void locale();
    void localeRejects_data();
    void localeRejects();
    void general_data();
    void general();
    void money_data();
    void money();
    void exactMoney_data();
    void exactMoney();
    void roundTrips();
};

void TestDutchNumbers::leading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("comma is no decimal") << u"12,50"_s << 12.0;
    QTest::newRow("0,75") << u"0,75"_s << 0.0;
    QTest::newRow("point") << u"7.5"_s << 7.5;
    QTest::newRow("percent stops") << u"3%"_s << 3.0;
    QTest::newRow("half hour") << u".5"_s << 0.5;
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("letters") << u"abc"_s << 0.0;
    QTest::newRow("blank inside") << u" 1 2"_s << 12.0;
    QTest::newRow("tab and line feed") << u"\t1\n2.5"_s << 12.5;
    QTest::newRow("carriage return stops") << u"1\r2"_s << 1.0;
    QTest::newRow("negative") << u"-4"_s << -4.0;
    QTest::newRow("sign then blank") << u"- 4"_s << -4.0;
    QTest::newRow("plus") << u"+4"_s << 4.0;
    QTest::newRow("negative fraction") << u"-.25"_s << -0.25;
    QTest::newRow("exponent") << u"1e3"_s << 1000.0;
    QTest::newRow("exponent capital, sign") << u"25E-1"_s << 2.5;
    QTest::newRow("exponent without digits") << u"1e"_s << 1.0;
    QTest::newRow("exponent sign only") << u"2e+x"_s << 2.0;
    QTest::newRow("second point stops") << u"1.2.3"_s << 1.2;
    QTest::newRow("lone point") << u"."_s << 0.0;
    QTest::newRow("lone sign") << u"-"_s << 0.0;
    QTest::newRow("apostrophe stops") << u"8'5"_s << 8.0;
    QTest::newRow("hex") << u"&H1F"_s << 31.0;
    QTest::newRow("hex small letters") << u"&hff"_s << 255.0;
    QTest::newRow("hex stops at g") << u"&H1G"_s << 1.0;
    QTest::newRow("octal") << u"&O17"_s << 15.0;
    QTest::newRow("octal stops at 8") << u"&O78"_s << 7.0;
    QTest::newRow("ampersand alone") << u"&"_s << 0.0;
    QTest::newRow("other ampersand") << u"&X1"_s << 0.0;
    QTest::newRow("beyond double") << u"9e999"_s << 0.0;
    QTest::newRow("arabic-indic digits are no digits") << QString(QChar(0x0663)) << 0.0;
}

void TestDutchNumbers::leading()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(leadingNumber(text), value);
}

void TestDutchNumbers::locale_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("grouped with cents") << u"1.234,50"_s << 1234.5;
    QTest::newRow("7,5") << u"7,5"_s << 7.5;
    QTest::newRow("whole") << u"16"_s << 16.0;
    QTest::newRow("zero amount") << u"0,00"_s << 0.0;
    QTest::newRow("ungrouped thousands") << u"1234,5"_s << 1234.5;
    QTest::newRow("millions") << u"1.234.567,89"_s << 1234567.89;
    QTest::newRow("thousands point only") << u"4.550"_s << 4550.0;
    QTest::newRow("negative") << u"-12,05"_s << -12.05;
    QTest::newRow("blanks around") << u" 8,5 "_s << 8.5;
    QTest::newRow("no whole part") << u",5"_s << 0.5;
    QTest::newRow("trailing comma") << u"5,"_s << 5.0;
    QTest::newRow("exponent as general text writes it") << u"1,5E+15"_s << 1.5e15;
    QTest::newRow("small exponent") << u"1E-05"_s << 1e-05;
}

void TestDutchNumbers::locale()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(localeNumber(text), value);
    QCOMPARE(tryLocaleNumber(text), std::optional<double>(value));
}

void TestDutchNumbers::localeRejects_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("blank") << u" "_s;
    QTest::newRow("percent") << u"12%,00"_s;
    QTest::newRow("apostrophe") << u"1'2,00"_s;
    // A server DECIMAL printed with a point must never become 4550.
    QTest::newRow("point as decimal") << u"45.50"_s;
    QTest::newRow("short group") << u"1.0,00"_s;
    QTest::newRow("long first group") << u"1234.567"_s;
    QTest::newRow("empty group") << u"1..000"_s;
    QTest::newRow("two commas") << u"1,2,3"_s;
    QTest::newRow("leading point") << u".500"_s;
    QTest::newRow("letters") << u"GEEN"_s;
    QTest::newRow("blank inside") << u"1 2"_s;
    QTest::newRow("sign alone") << u"-"_s;
    QTest::newRow("exponent without digits") << u"1e"_s;
    QTest::newRow("beyond double") << u"1e999"_s;
    QTest::newRow("hex") << u"&H1F"_s;
}

void TestDutchNumbers::localeRejects()
{
    QFETCH(QString, text);
    QVERIFY(!tryLocaleNumber(text));
    try {
        localeNumber(text);
        QFAIL("no error for a text that is not a number");
    } catch (const NotANumber& e) {
        QCOMPARE(e.text(), text);
    }
}

void TestDutchNumbers::general_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("7.5") << 7.5 << u"7,5"_s;
    QTest::newRow("16") << 16.0 << u"16"_s;
    QTest::newRow("0") << 0.0 << u"0"_s;
    QTest::newRow("negative zero") << -0.0 << u"0"_s;
    QTest::newRow("8.5 hours") << 8.0 + 0.5 << u"8,5"_s;
    QTest::newRow("binary noise") << 0.1 + 0.2 << u"0,3"_s;
    QTest::newRow("negative") << -2.25 << u"-2,25"_s;
    QTest::newRow("no grouping") << 1234567.0 << u"1234567"_s;
    QTest::newRow("15 digits") << 123456789012345.0 << u"123456789012345"_s;
    QTest::newRow("16 digits round") << 1234567890123456.0 << u"1,23456789012346E+15"_s;
    QTest::newRow("15 significant decimals") << 1.23456789012345678 << u"1,23456789012346"_s;
    QTest::newRow("small") << 0.0001 << u"0,0001"_s;
    QTest::newRow("very small") << 0.00001 << u"1E-05"_s;
}

void TestDutchNumbers::general()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(generalNumberText(value), text);
}

void TestDutchNumbers::money_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("1234.5") << 1234.5 << u"1.234,50"_s;
    QTest::newRow("0") << 0.0 << u"0,00"_s;
    QTest::newRow("337.456") << 337.456 << u"337,46"_s;
    QTest::newRow("below one") << 0.5 << u"0,50"_s;
    QTest::newRow("hundreds no group") << 999.994 << u"999,99"_s;
    QTest::newRow("carry into thousands") << 999.995 << u"1.000,00"_s;
    QTest::newRow("millions") << 1234567.891 << u"1.234.567,89"_s;
    QTest::newRow("exact half") << 0.125 << u"0,13"_s;
    // Binary 1.00499999999999989...: the half cent the user meant counts.
    QTest::newRow("binary half 1.005") << 1.005 << u"1,01"_s;
    QTest::newRow("binary half 2.675") << 2.675 << u"2,68"_s;
    QTest::newRow("product half") << 0.35 * 0.3 << u"0,11"_s;
    QTest::newRow("below half") << 0.1249 << u"0,12"_s;
    QTest::newRow("large half") << 1234567.125 << u"1.234.567,13"_s;
    QTest::newRow("large binary half") << 98765432.105 << u"98.765.432,11"_s;
    QTest::newRow("billions half") << 999999999999.995 << u"1.000.000.000.000,00"_s;
    QTest::newRow("negative") << -1234.5 << u"-1.234,50"_s;
    QTest::newRow("negative half away from zero") << -0.125 << u"-0,13"_s;
    QTest::newRow("negative rounds to zero") << -0.004 << u"0,00"_s;
    QTest::newRow("negative zero") << -0.0 << u"0,00"_s;
    QTest::newRow("tiny") << 1e-20 << u"0,00"_s;
    QTest::newRow("huge") << 1e20 << u"100.000.000.000.000.000.000,00"_s;
    QTest::newRow("VAT of 1.000") << 1000.0 / 100 * 20 << u"200,00"_s;
    QTest::newRow("not finite") << std::numeric_limits<double>::infinity() << u"0,00"_s;
}

void TestDutchNumbers::money()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(moneyText(value), text);
}

void TestDutchNumbers::exactMoney_data()
{
    // A text is read as a Dutch number, a double as the decimal it was
    // written as; their exact product as money. Empty: not exact.
    QTest::addColumn<QVariant>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<QString>("product");
    QTest::newRow("half cent up") << QVariant(u"0,99"_s) << u"0,5"_s << u"0,50"_s;
    QTest::newRow("half cent up, double") << QVariant(0.99) << u"0,5"_s << u"0,50"_s;
    QTest::newRow("72,50 for 8 hours") << QVariant(u"72,50"_s) << u"8"_s << u"580,00"_s;
    QTest::newRow("33,33 for 7,5 hours") << QVariant(33.33) << u"7,5"_s << u"249,98"_s;
    QTest::newRow("1.234,56 for 176 hours") << QVariant(1234.56) << u"176"_s << u"217.282,56"_s;
    // 1.01f is 1.00999999046...; the server shows the column as 1.01.
    QTest::newRow("a float as the server shows it") << QVariant(double(1.01f)) << u"0,5"_s << u"0,51"_s;
    QTest::newRow("a double that is no float") << QVariant(1.01) << u"0,5"_s << u"0,51"_s;
    QTest::newRow("kilometre allowance") << QVariant(0.35) << u"12,3"_s << u"4,31"_s;
    QTest::newRow("VAT") << QVariant(u"2,45"_s) << u"0,2"_s << u"0,49"_s;
    QTest::newRow("below half") << QVariant(u"0,0049"_s) << u"1"_s << u"0,00"_s;
    QTest::newRow("exact half") << QVariant(u"1,005"_s) << u"1"_s << u"1,01"_s;
    QTest::newRow("negative half away from zero") << QVariant(u"-0,99"_s) << u"0,5"_s << u"-0,50"_s;
    QTest::newRow("negative rounds to zero") << QVariant(u"-0,004"_s) << u"1"_s << u"0,00"_s;
    QTest::newRow("grouped") << QVariant(u"1.000.000"_s) << u"1,005"_s << u"1.005.000,00"_s;
    QTest::newRow("exponent") << QVariant(u"1E+15"_s) << u"40"_s << u"40.000.000.000.000.000,00"_s;
    QTest::newRow("tiny") << QVariant(u"1E-300"_s) << u"1"_s << u"0,00"_s;
    QTest::newRow("zero") << QVariant(0.0) << u"12,5"_s << u"0,00"_s;
    QTest::newRow("38 digits") << QVariant(u"1234567890123456789012345678901234567,8"_s) << u"1"_s
                               << u"1.234.567.890.123.456.789.012.345.678.901.234.567,80"_s;
    QTest::newRow("39 digits") << QVariant(u"123456789012345678901234567890123456789"_s) << u"1"_s
                               << QString();
    QTest::newRow("point is no decimal") << QVariant(u"45.50"_s) << u"1"_s << QString();
}

void TestDutchNumbers::exactMoney()
{
    QFETCH(QVariant, a);
    QFETCH(QString, b);
    QFETCH(QString, product);
    const std::optional<Decimal> x = a.metaType().id() == QMetaType::Double
                                         ? Decimal::fromDouble(a.toDouble())
                                         : tryLocaleDecimal(a.toString());
    QCOMPARE(x.has_value(), !product.isEmpty());
    if (!x)
        return;
    const std::optional<Decimal> y = tryLocaleDecimal(b);
    QVERIFY(y);
    const std::optional<Decimal> p = x->times(*y);
    QVERIFY(p);
    QCOMPARE(moneyText(*p), product);
}

void TestDutchNumbers::roundTrips()
{
    // What the program writes, it can read back.
    for (const double v : {0.0, 0.5, 8.5, 1234.5, 1e15, 1.5e-7, -3.25}) {
        QCOMPARE(localeNumber(generalNumberText(v)), v);
    }
    for (const double v : {0.0, 12.05, 1234.5, 1234567.89, -99.99}) {
        QCOMPARE(localeNumber(moneyText(v)), v);
    }
}

QTEST_GUILESS_MAIN(TestDutchNumbers)
#include "tst_dutchnumbers.moc"
