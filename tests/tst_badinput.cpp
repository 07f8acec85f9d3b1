// Typing nobody planned for: login texts with quotes, wildcards, SQL,
// control characters and other scripts, at and past their limits; consultant
// numbers that look like patterns; day texts and the remark at their limits
// in characters of more than one byte; year texts that are no year. Nothing
// crashes, nothing is matched that is not equal, and what is stored comes
// back unchanged.

#include "data/records.h"
#include "declaration/monthselectionrules.h"
#include "declaration/reportrecord.h"
#include "login/loginform.h"
#include "support/figures.h"
#include "support/testdb.h"
#include "support/workstation.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

using namespace dl;
using namespace dl::test;

namespace {

const QString kConsultants = u"torvakdb_TORVAKdata.KALMIRO_consultants"_qs;
const QString kProjects = u"torvakdb_TORVAKdata.KALMIRO_projecten"_qs;
const QString kReports = u"torvakdb_TORVAKraporten.Raporten"_qs;
const QString kGlas = u"0042-GLAS                Begeleiding aanleg glasvezelnet"_qs;

int g_inputs = 0;
Figures g_figures;

void addConsultant(const QString& login, const QString& password, const QString& number)
{
    TestDb::exec(u"INSERT INTO "_qs + kConsultants +
                     u" (LOGIN, PASWOORD, consultantnummer, Titel1, voornaam, tussenvoegsel, naam, isONLINE) "
                     "VALUES (?, ?, ?, '', 'Test', '', 'Persoon', 'OFFLINE')"_qs,
                 {login, password, number});
}

// No high surrogate without its low one: a character cut in half.
bool wholeCharacters(const QString& s)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i].isHighSurrogate() && (i + 1 >= s.size() || !s[i + 1].isLowSurrogate()))
            return false;
        if (s[i].isLowSurrogate() && (i == 0 || !s[i - 1].isHighSurrogate()))
            return false;
    }
    return true;
}

QString repeated(const QString& unit, int times)
{
    QString out;
    for (int i = 0; i < times; ++i)
        out += unit;
    return out;
}

} // namespace

class TestBadInput : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void cleanupTestCase();

    void loginTexts_data();
    void loginTexts();
    void projectPrefixIsNoPattern_data();
    void projectPrefixIsNoPattern();
    void dayTextsAtTheirLimits_data();
    void dayTextsAtTheirLimits();
    void remarkAtItsLimit_data();
    void remarkAtItsLimit();
    void yearTexts_data();
    void yearTexts();
};

void TestBadInput::init()
{
    TestDb::loadDemo();
    Records::forgetSchema();
}

void TestBadInput::cleanup()
{
    g_figures.caseDone();
}

void TestBadInput::cleanupTestCase()
{
    qInfo("FIGURES bad input: %d typed inputs tried in %d cases, %d failed; %d stored texts compared, "
          "lost or changed on the way: %d",
          g_inputs, g_figures.cases, g_figures.failed, g_figures.compared, g_figures.changed);
}

void TestBadInput::loginTexts_data()
{
    QTest::addColumn<QString>("storedLogin");
    QTest::addColumn<QString>("storedPassword");
    QTest::addColumn<QString>("typedLogin");
    QTest::addColumn<QString>("typedPassword");
    QTest::addColumn<bool>("found");
    const auto same = [](const char* tag, const QString& l, const QString& p) {
        QTest::newRow(tag) << l << p << l << p << true;
    };
    same("quotes", u"o'brien"_qs, u"pa\"s's"_qs);
    same("backslashes", u"a\\b\\"_qs, u"c:\\d\\"_qs);
    same("percent and underscore", u"5%_x"_qs, u"%_%_"_qs);
    same("SQL stored", u"x'; DROP T"_qs, u"1' OR '1'="_qs);
    same("control characters", u"a\tb\u0007"_qs, u"\u0001\u0002\u007f"_qs);
    same("Greek and Cyrillic", u"Ωμέγα"_qs, u"пароль"_qs);
    same("Chinese", u"名前"_qs, u"密码"_qs);
    same("outside the BMP", u"🙂🙂🙂"_qs, u"k🙂"_qs);
    same("ten characters", u"abcdefghij"_qs, u"0123456789"_qs);
    same("ten of them emoji halves", u"🙂🙂🙂🙂🙂"_qs, u"ääääääääää"_qs);
    QTest::newRow("percent typed") << u"anna"_qs << u"geheim"_qs << u"%"_qs << u"%"_qs << false;
    QTest::newRow("underscores typed") << u"anna"_qs << u"geheim"_qs << u"ann_"_qs << u"gehei_"_qs << false;
    QTest::newRow("like pattern typed") << u"anna"_qs << u"geheim"_qs << u"a%"_qs << u"g%"_qs << false;
    QTest::newRow("SQL in the name") << u"anna"_qs << u"geheim"_qs << u"' OR 1=1#"_qs << u"x"_qs << false;
    QTest::newRow("SQL in the password")
        << u"anna"_qs << u"geheim"_qs << u"anna"_qs << u"' OR ''='"_qs << false;
    QTest::newRow("backslash before quote")
        << u"anna"_qs << u"geheim"_qs << u"anna\\'"_qs << u"\\"_qs << false;
    QTest::newRow("accent differs") << u"rene"_qs << u"x"_qs << u"rené"_qs << u"x"_qs << false;
    // The boxes keep ten characters: a longer stored name cannot log in,
    // and what is typed past ten is not part of it.
    QTest::newRow("eleven stored") << u"abcdefghijk"_qs << u"01234567890"_qs << u"abcdefghijk"_qs
                                   << u"01234567890"_qs << false;
    QTest::newRow("eleven typed") << u"abcdefghij"_qs << u"0123456789"_qs << u"abcdefghijX"_qs
                                  << u"0123456789Y"_qs << true;
}

void TestBadInput::loginTexts()
{
    QFETCH(QString, storedLogin);
    QFETCH(QString, storedPassword);
    QFETCH(QString, typedLogin);
    QFETCH(QString, typedPassword);
    QFETCH(bool, found);
    g_inputs += 2;
    addConsultant(storedLogin, storedPassword, u"9999"_qs);
    const QStringList before = TestDb::rows(u"SELECT * FROM "_qs + kConsultants + u" ORDER BY id"_qs);

    Workstation w(TestDb::server());
    const bool in = w.logIn(typedLogin, typedPassword);
    QCOMPARE(in, found);
    QVERIFY2(!w.lastWasError(), qPrintable(w.messages.last()));
    if (found) {
        QCOMPARE(w.text(u"Text1"_qs), u"9999"_qs);
        QCOMPARE(
            TestDb::rows(u"SELECT isONLINE FROM "_qs + kConsultants + u" WHERE consultantnummer = '9999'"_qs),
            QStringList{u"ONLINE"_qs});
    } else {
        QCOMPARE(w.messages.last(), u"Uw inlog gegevens zijn niet gevonden en mag nog 2 keer proberen."_qs);
        const QStringList after = TestDb::rows(u"SELECT * FROM "_qs + kConsultants + u" ORDER BY id"_qs);
        g_figures.compare(after, before);
        QCOMPARE(after, before);
    }
    // The stored texts themselves are as they were put in.
    const QStringList login =
        TestDb::rows(u"SELECT LOGIN FROM "_qs + kConsultants + u" WHERE consultantnummer = '9999'"_qs);
    g_figures.compare(login, QStringList{storedLogin});
    QCOMPARE(login, QStringList{storedLogin});
}

void TestBadInput::projectPrefixIsNoPattern_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("noBackslashEscapes");
    QTest::newRow("underscore") << u"0_42"_qs << false;
    QTest::newRow("percent") << u"0%42"_qs << false;
    QTest::newRow("backslash") << u"0\\42"_qs << false;
    QTest::newRow("quote") << u"0'42"_qs << false;
    QTest::newRow("underscore, server without backslash escapes") << u"0_42"_qs << true;
    QTest::newRow("backslash, server without backslash escapes") << u"0\\42"_qs << true;
}

void TestBadInput::projectPrefixIsNoPattern()
{
    QFETCH(QString, number);
    QFETCH(bool, noBackslashEscapes);
    ++g_inputs;
    addConsultant(u"wild"_qs, u"kaart"_qs, number);
    // Codes a pattern would also take: the same length with other characters there.
    for (const QString& code :
         QStringList{number + u"-EIGEN"_qs, u"0x42-ANDER"_qs, u"0042-ANDER"_qs, u"0\\\\42-ANDER"_qs})
        TestDb::exec(u"INSERT INTO "_qs + kProjects +
                         u" (Projectcode, ProjectOmschrijving) VALUES (?, 'p')"_qs,
                     {code});
    // An office server may run with NO_BACKSLASH_ESCAPES, which takes the
    // backslash its meaning as LIKE's escape character.
    struct Mode {
        explicit Mode(bool on) : old(TestDb::rows(u"SELECT @@GLOBAL.sql_mode"_qs).value(0))
        {
            if (on)
                TestDb::exec(u"SET GLOBAL sql_mode = CONCAT_WS(',', NULLIF(@@GLOBAL.sql_mode, ''), "
                             "'NO_BACKSLASH_ESCAPES')"_qs);
        }
        ~Mode() { TestDb::exec(u"SET GLOBAL sql_mode = ?"_qs, {old}); }
        QString old;
    } mode(noBackslashEscapes);

    Workstation w(TestDb::server());
    QVERIFY2(w.logIn(u"wild"_qs, u"kaart"_qs), qPrintable(w.messages.last()));
    auto* list = w.c().get<QComboBox>(u"Combo1"_qs);
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->itemText(i);
    QCOMPARE(entries, QStringList{QString(number + u"-EIGEN"_qs + QString(25, u' ')).left(25) + u"p"_qs});
}

void TestBadInput::dayTextsAtTheirLimits_data()
{
    QTest::addColumn<int>("part"); // 1 activity, 2 contact
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("kept");
    const QString e41 = repeated(u"é"_qs, 41);
    const QString w25 = repeated(u"ж"_qs, 25);
    QTest::newRow("activity at 41, two bytes each") << 1 << e41 << e41;
    QTest::newRow("activity at 42") << 1 << e41 + u"é"_qs << e41;
    QTest::newRow("activity, emoji across the limit")
        << 1 << repeated(u"a"_qs, 40) + u"🙂"_qs << repeated(u"a"_qs, 40);
    QTest::newRow("activity of emoji only") << 1 << repeated(u"🙂"_qs, 21) << repeated(u"🙂"_qs, 20);
    QTest::newRow("activity with quotes and SQL")
        << 1 << u"'); DELETE FROM Raporten; -- \\ %_"_qs << u"'); DELETE FROM Raporten; -- \\ %_"_qs;
    QTest::newRow("contact at 25") << 2 << w25 << w25;
    QTest::newRow("contact at 26") << 2 << w25 + u"ж"_qs << w25;
    QTest::newRow("contact, emoji across the limit")
        << 2 << repeated(u"b"_qs, 24) + u"😀"_qs << repeated(u"b"_qs, 24);
    QTest::newRow("contact of Chinese") << 2 << repeated(u"张"_qs, 30) << repeated(u"张"_qs, 25);
}

void TestBadInput::dayTextsAtTheirLimits()
{
    QFETCH(int, part);
    QFETCH(QString, pasted);
    QFETCH(QString, kept);
    ++g_inputs;
    Workstation w(TestDb::server());
    w.pretendLoggedIn(u"0042"_qs, u"Ir. Anna de Vries"_qs);
    QVERIFY(w.chooseProject(kGlas));
    w.pickMonth(u"2026"_qs, u"03 Maart "_qs);

    // As a paste by the consultant: the box keeps what fits, whole characters only.
    const QString name = report::slotControl(part, 7);
    auto* box = w.c().get<QLineEdit>(name);
    box->setFocus();
    box->selectAll();
    box->insert(pasted);
    const QString shown = w.text(name);
    QVERIFY2(wholeCharacters(shown), qPrintable(u"a character cut in half: "_qs + shown));
    QCOMPARE(shown, kept);

    w.save.run();
    QVERIFY2(w.messages.last().startsWith(u"Rapport is opgeslagen"_qs), qPrintable(w.messages.last()));
    const QString column = report::slotColumn(report::slotPrefixes()[part], 7);
    const QString stored = u"SELECT "_qs + column + u" FROM "_qs + kReports;
    g_figures.compare(TestDb::rows(stored), QStringList{kept});
    QCOMPARE(TestDb::rows(stored), QStringList{kept});

    // An office-made text longer than the box comes in whole and goes out
    // whole, also past the 32,767 characters a line edit usually holds.
    for (const QString& longer :
         QStringList{repeated(u"ëü🙂"_qs, 30), repeated(u"ëa"_qs, 20000) + u"🙂"_qs}) {
        TestDb::exec(u"UPDATE "_qs + kReports + u" SET "_qs + column + u" = ?"_qs, {longer});
        w.pickMonth(u"2026"_qs, u"03 Maart "_qs);
        QCOMPARE(w.text(name), longer);
        w.save.run();
        QVERIFY2(w.messages.last().startsWith(u"Rapport is opgeslagen"_qs), qPrintable(w.messages.last()));
        g_figures.compare(TestDb::rows(stored), QStringList{longer});
        QCOMPARE(TestDb::rows(stored).value(0).size(), longer.size());
        QCOMPARE(TestDb::rows(stored), QStringList{longer});
    }
}

void TestBadInput::remarkAtItsLimit_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("kept");
    const QString a253 = repeated(u"a"_qs, 253);
    QTest::newRow("254") << a253 + u"é"_qs << a253 + u"é"_qs;
    QTest::newRow("emoji across the limit") << a253 + u"🙂"_qs << a253;
    QTest::newRow("line break across the limit") << a253 + u"\n"_qs << a253;
    QTest::newRow("emoji only") << repeated(u"🙂"_qs, 130) << repeated(u"🙂"_qs, 127);
}

void TestBadInput::remarkAtItsLimit()
{
    QFETCH(QString, pasted);
    QFETCH(QString, kept);
    ++g_inputs;
    Workstation w(TestDb::server());
    auto* remark = w.c().get<QPlainTextEdit>(u"Text18"_qs);
    QVERIFY(remark);
    remark->clear();
    remark->insertPlainText(pasted);
    QVERIFY2(wholeCharacters(remark->toPlainText()), qPrintable(remark->toPlainText()));
    QCOMPARE(remark->toPlainText(), kept);
}

void TestBadInput::yearTexts_data()
{
    QTest::addColumn<QString>("year");
    QTest::newRow("five digits") << u"20081"_qs;
    QTest::newRow("three digits") << u"208"_qs;
    QTest::newRow("leading blank") << u" 2008"_qs;
    QTest::newRow("trailing blank") << u"2008 "_qs;
    QTest::newRow("minus") << u"-208"_qs;
    QTest::newRow("year nought") << u"0000"_qs;
    QTest::newRow("full-width digits") << u"２００８"_qs;
    QTest::newRow("Arabic-Indic digits") << u"٢٠٠٨"_qs;
    QTest::newRow("quote") << u"2008'"_qs;
    QTest::newRow("SQL") << u"2008_03_0042-GLAS' OR '1'='1"_qs;
}

void TestBadInput::yearTexts()
{
    QFETCH(QString, year);
    ++g_inputs;
    Workstation w(TestDb::server());
    w.pretendLoggedIn(u"0042"_qs, u"Ir. Anna de Vries"_qs);
    QVERIFY(w.chooseProject(kGlas));
    w.pickMonth(u"2026"_qs, u"02 Februari "_qs);
    w.fillIn(u"februari"_qs);
    w.c().setText(u"Combo3"_qs, year);
    QMap<QString, QString> shown = w.snapshot();
    // Nothing is looked up for a year that is none.
    w.ctx.server = ServerAddress{u"127.0.0.1"_qs, 1};
    w.messages.clear();
    w.pickMonth(year, u"03 Maart "_qs);
    QCOMPARE(w.messages.texts(), QStringList{month::badYearMessage(year)});
    // The boxes go back to the month on screen; the rest stays as it was.
    QCOMPARE(w.text(u"Combo3"_qs), u"2026"_qs);
    QCOMPARE(w.text(u"Combo2"_qs), u"02 Februari "_qs);
    shown.remove(u"Form1.Combo3"_qs);
    QMap<QString, QString> after = w.snapshot();
    after.remove(u"Form1.Combo3"_qs);
    QCOMPARE(after, shown);
    QCOMPARE(w.session.reportKey, u"2026_02_0042-GLAS"_qs);
}

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"