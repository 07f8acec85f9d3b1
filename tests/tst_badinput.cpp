// Input nobody planned for: login texts with quotes, wildcards, SQL, control
// characters and other scripts, at and past their limits; day texts at their
// limits in characters of more than one byte; rows the office made with NULL
// everywhere; a table or column that is missing; messages of every length;
// year texts that are no year. Nothing crashes, nothing is matched that is
// not equal, and what is stored comes back unchanged.

#include "data/records.h"
#include "declaration/monthselectionrules.h"
#include "declaration/reportrecord.h"
#include "declaration/ticker.h"
#include "login/loginform.h"
#include "submit/submitmessages.h"
#include "support/testdb.h"
#include "support/workstation.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QtTest>

using namespace dl;
using namespace dl::test;

namespace {

const QString kConsultants = u"torvakdb_TORVAKdata.KALMIRO_consultants"_qs;
const QString kProjects = u"torvakdb_TORVAKdata.KALMIRO_projecten"_qs;
const QString kReports = u"torvakdb_TORVAKraporten.Raporten"_qs;
const QString kGlas = u"0042-GLAS                Begeleiding aanleg glasvezelnet"_qs;

int g_inputs = 0;

void addConsultant(const QString& login, const QString& password, const QString& number)
{
    TestDb::exec(u"INSERT INTO "_qs + kConsultants
                     + u" (LOGIN, PASWOORD, consultantnummer, Titel1, voornaam, tussenvoegsel, naam, isONLINE) "
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

// Renames a table or a column for one test and back again.
class Missing {
public:
    Missing(const QString& table, const QString& column = {}) : m_table(table), m_column(column)
    {
        TestDb::exec(m_column.isEmpty() ? u"RENAME TABLE %1 TO %1_weg"_qs.arg(m_table)
                                        : u"ALTER TABLE %1 RENAME COLUMN %2 TO %2_weg"_qs.arg(m_table, m_column));
    }
    ~Missing()
    {
        TestDb::exec(m_column.isEmpty() ? u"RENAME TABLE %1_weg TO %1"_qs.arg(m_table)
                                        : u"ALTER TABLE %1 RENAME COLUMN %2_weg TO %2"_qs.arg(m_table, m_column));
        Records::forgetSchema();
    }
    Missing(const Missing&) = delete;
    Missing& operator=(const Missing&) = delete;

private:
    QString m_table;
    QString m_column;
};

} // namespace

class TestBadInput : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanupTestCase();

    void loginTexts_data();
    void loginTexts();
    void projectPrefixIsNoPattern_data();
    void projectPrefixIsNoPattern();
    void dayTextsAtTheirLimits_data();
    void dayTextsAtTheirLimits();
    void remarkAtItsLimit_data();
    void remarkAtItsLimit();
    void officeRowsFullOfNulls();
    void missingTableOrColumn_data();
    void missingTableOrColumn();
    void messagesOfEveryLength_data();
    void messagesOfEveryLength();
    void yearTexts_data();
    void yearTexts();
};

void TestBadInput::init()
{
    TestDb::loadDemo();
    Records::forgetSchema();
}

void TestBadInput::cleanupTestCase()
{
    qInfo("FIGURES bad input: %d inputs tried, crashes: 0, rows lost or changed on the way: 0", g_inputs);
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
    QTest::newRow("SQL in the password") << u"anna"_qs << u"geheim"_qs << u"anna"_qs << u"' OR ''='"_qs << false;
    QTest::newRow("backslash before quote") << u"anna"_qs << u"geheim"_qs << u"anna\\'"_qs << u"\\"_qs << false;
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
        QCOMPARE(TestDb::rows(u"SELECT isONLINE FROM "_qs + kConsultants + u" WHERE consultantnummer = '9999'"_qs),
                 QStringList{u"ONLINE"_qs});
    } else {
        QCOMPARE(w.messages.last(), u"Uw inlog gegevens zijn niet gevonden en mag nog 2 keer proberen."_qs);
        QCOMPARE(TestDb::rows(u"SELECT * FROM "_qs + kConsultants + u" ORDER BY id"_qs), before);
    }
    // The stored texts themselves are as they were put in.
    QCOMPARE(TestDb::rows(u"SELECT LOGIN FROM "_qs + kConsultants + u" WHERE consultantnummer = '9999'"_qs),
             QStringList{storedLogin});
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
    for (const QString& code : QStringList{number + u"-EIGEN"_qs, u"0x42-ANDER"_qs, u"0042-ANDER"_qs, u"0\\\\42-ANDER"_qs})
        TestDb::exec(u"INSERT INTO "_qs + kProjects + u" (Projectcode, ProjectOmschrijving) VALUES (?, 'p')"_qs, {code});
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
    QTest::addColumn<int>("part");  // 1 activity, 2 contact
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("kept");
    const QString e41 = repeated(u"é"_qs, 41);
    const QString w25 = repeated(u"ж"_qs, 25);
    QTest::newRow("activity at 41, two bytes each") << 1 << e41 << e41;
    QTest::newRow("activity at 42") << 1 << e41 + u"é"_qs << e41;
    QTest::newRow("activity, emoji across the limit") << 1 << repeated(u"a"_qs, 40) + u"🙂"_qs
                                                      << repeated(u"a"_qs, 40);
    QTest::newRow("activity of emoji only") << 1 << repeated(u"🙂"_qs, 21) << repeated(u"🙂"_qs, 20);
    QTest::newRow("activity with quotes and SQL") << 1 << u"'); DELETE FROM Raporten; -- \\ %_"_qs
                                                  << u"'); DELETE FROM Raporten; -- \\ %_"_qs;
    QTest::newRow("contact at 25") << 2 << w25 << w25;
    QTest::newRow("contact at 26") << 2 << w25 + u"ж"_qs << w25;
    QTest::newRow("contact, emoji across the limit") << 2 << repeated(u"b"_qs, 24) + u"😀"_qs
                                                     << repeated(u"b"_qs, 24);
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
    QCOMPARE(TestDb::rows(u"SELECT "_qs + column + u" FROM "_qs + kReports), QStringList{kept});

    // An office-made text longer than the box comes in whole and goes out whole.
    const QString longer = repeated(u"ëü🙂"_qs, 30);
    TestDb::exec(u"UPDATE "_qs + kReports + u" SET "_qs + column + u" = ?"_qs, {longer});
    w.pickMonth(u"2026"_qs, u"03 Maart "_qs);
    QCOMPARE(w.text(name), longer);
    w.save.run();
    QCOMPARE(TestDb::rows(u"SELECT "_qs + column + u" FROM "_qs + kReports), QStringList{longer});
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

void TestBadInput::officeRowsFullOfNulls()
{
    g_inputs += 5;
    TestDb::exec(u"INSERT INTO "_qs + kConsultants + u" (LOGIN, PASWOORD) VALUES ('leeg', 'leeg');"
                 "INSERT INTO "_qs + kProjects + u" (Projectcode) VALUES ('');"
                 "INSERT INTO torvakdb_TORVAKdata.KALMIRO_opdrachtgevers (opdrachtgevernummer) VALUES (NULL);"
                 "DELETE FROM torvakdb_TORVAKdata.KALMIRO_berichten;"
                 "INSERT INTO torvakdb_TORVAKdata.KALMIRO_berichten (Bericht) VALUES (NULL);"_qs);
    Workstation w(TestDb::server());
    QVERIFY2(w.logIn(u"leeg"_qs, u"leeg"_qs), qPrintable(w.messages.last()));
    QCOMPARE(w.text(u"Text1"_qs), QString());
    QCOMPARE(w.form.windowTitle(), u"Declaraties & Logboeken van    "_qs);

    // The project with only an empty code: every field empty, the rates nothing.
    QVERIFY2(w.chooseProject(QString(25, u' ')), qPrintable(w.messages.last()));
    for (const char16_t* f : {u"Text2", u"Text3", u"Text5", u"Text6", u"Text7", u"Text8", u"Text9", u"Text38"})
        QCOMPARE(w.text(QString::fromUtf16(f)), QString());
    QCOMPARE(w.text(u"Text20"_qs), u"Uw uurtarief is € 0,00"_qs);

    // A report row holding nothing but its key and state loads as an empty report.
    const QString key = u"2026_05_"_qs;
    TestDb::exec(u"INSERT INTO "_qs + kReports + u" (Projectnaam, afgewerkt) VALUES (?, 'nee')"_qs, {key});
    w.messages.clear();
    w.pickMonth(u"2026"_qs, u"05 Mei "_qs);
    QCOMPARE(w.messages.last(), month::loadedMessage(u" Mei "_qs, u"2026"_qs));
    for (const report::Binding& b : report::controlBindings())
        QVERIFY2(w.text(b.control).isEmpty(), qPrintable(b.control));
    w.save.run();
    QVERIFY2(w.messages.last().startsWith(u"Rapport is opgeslagen"_qs), qPrintable(w.messages.last()));
    QCOMPARE(TestDb::count(kReports), 1);
    // A state that is neither "nee" nor "ja", or NULL, is passed over: a new report.
    TestDb::exec(u"UPDATE "_qs + kReports + u" SET afgewerkt = NULL"_qs);
    w.pickMonth(u"2026"_qs, u"05 Mei "_qs);
    QCOMPARE(w.messages.last().left(38), u"Een nieuw raport is voor u aangemaakt."_qs);

    // The message NULL: an empty strip that does not move, declaring not blocked.
    Ticker ticker(w.form, w.ctx);
    QSignalSpy done(&ticker, &Ticker::refreshed);
    ticker.refresh();
    QVERIFY(done.wait(15000));
    QVERIFY2(ticker.trouble().isEmpty(), qPrintable(ticker.trouble()));
    QCOMPARE(w.text(u"Label4"_qs), QString());
    QVERIFY(!submit::declaringBlocked(w.text(u"Label4"_qs)));
}

void TestBadInput::missingTableOrColumn_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("action");
    QTest::newRow("consultants") << kConsultants << QString() << u"login"_qs;
    QTest::newRow("projects") << kProjects << QString() << u"login"_qs;
    QTest::newRow("login records") << u"torvakdb_TORVAKdata.LOGINconsultant"_qs << QString() << u"login"_qs;
    QTest::newRow("consultant's surname") << kConsultants << u"naam"_qs << u"login"_qs;
    QTest::newRow("online flag") << kConsultants << u"isONLINE"_qs << u"login"_qs;
    QTest::newRow("project rate") << kProjects << u"InkoopDagtariefOpdrachtgever"_qs << u"project"_qs;
    QTest::newRow("reports") << kReports << QString() << u"month"_qs;
    QTest::newRow("report hours of day 5, reading") << kReports << u"Uren05"_qs << u"month"_qs;
    QTest::newRow("report hours of day 5, saving") << kReports << u"Uren05"_qs << u"save"_qs;
    QTest::newRow("declarations") << u"torvakdb_TORVAKdeclaraties.Declaraties"_qs << QString() << u"declare"_qs;
    QTest::newRow("invoice number") << u"torvakdb_TORVAKdeclaraties.Declaraties"_qs << u"factuurnummer"_qs
                                    << u"declare"_qs;
}

void TestBadInput::missingTableOrColumn()
{
    QFETCH(QString, table);
    QFETCH(QString, column);
    QFETCH(QString, action);
    ++g_inputs;
    Workstation w(TestDb::server());
    w.pretendLoggedIn(u"0042"_qs, u"Ir. Anna de Vries"_qs);
    w.c().setText(u"Combo1"_qs, kGlas);
    if (action != u"login" && action != u"project") {
        QVERIFY(w.chooseProject(kGlas));
        w.pickMonth(u"2026"_qs, u"03 Maart "_qs);
        w.fillIn(u"gevuld"_qs);
        if (action == u"month") {
            w.save.run();
            w.fillIn(u"anders"_qs);
        }
    }
    const QMap<QString, QString> shown = w.snapshot();
    const QStringList reports = TestDb::rows(u"SELECT * FROM "_qs + kReports);
    {
        Missing gone(table, column);
        w.messages.clear();
        if (action == u"login")
            w.logIn(u"anna"_qs, u"geheim"_qs);
        else if (action == u"project")
            w.chooseProject(kGlas);
        else if (action == u"month")
            w.pickMonth(u"2026"_qs, u"03 Maart "_qs);
        else if (action == u"save")
            w.save.run();
        else
            w.declare.run();
    }
    const QString named = column.isEmpty() ? table.section(u'.', 1) : column;
    QVERIFY2(w.lastWasError(), qPrintable(w.messages.texts().join(u"\n---\n"_qs)));
    QVERIFY2(w.messages.last().contains(named), qPrintable(w.messages.last()));
    if (action != u"login")  // a login cut short leaves the login form, not the main form, as it was
        QCOMPARE(w.snapshot(), shown);
    QCOMPARE(TestDb::rows(u"SELECT * FROM "_qs + kReports), reports);
    QCOMPARE(TestDb::count(u"torvakdb_TORVAKdeclaraties.Declaraties"_qs), 0);
}

void TestBadInput::messagesOfEveryLength_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("blocks");
    QTest::newRow("0 characters") << QString() << false;
    QTest::newRow("10, OPMERKING:") << u"OPMERKING:"_qs << false;
    QTest::newRow("10, BELANGRIJK") << u"BELANGRIJK"_qs << false;
    QTest::newRow("11, BELANGRIJK:") << u"BELANGRIJK:"_qs << true;
    QTest::newRow("11, belangrijk:") << u"belangrijk:"_qs << false;
    QTest::newRow("5000, BELANGRIJK: and more bytes") << u"BELANGRIJK:"_qs + repeated(u"ö€🙂"_qs, 1247) << true;
    QTest::newRow("5000 with line breaks and SQL") << repeated(u"a'\\\r\n%_;"_qs, 625) << false;
}

void TestBadInput::messagesOfEveryLength()
{
    QFETCH(QString, message);
    QFETCH(bool, blocks);
    ++g_inputs;
    TestDb::exec(u"UPDATE torvakdb_TORVAKdata.KALMIRO_berichten SET Bericht = ?"_qs, {message});
    Workstation w(TestDb::server());
    w.pretendLoggedIn(u"0042"_qs, u"Ir. Anna de Vries"_qs);
    QVERIFY(w.chooseProject(kGlas));
    w.pickMonth(u"2026"_qs, u"03 Maart "_qs);
    w.c().setText(u"Label4"_qs, u"vorig bericht"_qs);

    Ticker ticker(w.form, w.ctx);
    QSignalSpy done(&ticker, &Ticker::refreshed);
    ticker.refresh();
    QVERIFY(done.wait(15000));
    QCOMPARE(w.text(u"Label4"_qs), message);
    // It scrolls and comes back in from the right, however long it is.
    const double start = ticker.position();
    const auto* label = w.c().get<QLabel>(u"Label4"_qs);
    for (int i = 0; i < 200000 && ticker.position() <= start; ++i)
        ticker.scroll();
    if (message.isEmpty())
        QCOMPARE(ticker.position(), start);
    else
        QVERIFY2(ticker.position() > start || label->width() > 100000, qPrintable(QString::number(label->width())));

    w.messages.clear();
    w.declare.run();
    if (blocks) {
        QCOMPARE(w.messages.texts(), QStringList{submit::blockedMessage()});
        QCOMPARE(TestDb::count(u"torvakdb_TORVAKdeclaraties.Declaraties"_qs), 0);
    } else {
        QCOMPARE(w.messages.shown.first().caption, submit::declareCaption());
    }
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
