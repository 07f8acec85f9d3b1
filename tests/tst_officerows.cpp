// Rows the office made by hand and tables it changed: NULL in every column
// the program reads, a table or column that is missing, messages of every
// length, the upgrade script on the office's own tables. Empty is shown as
// empty, a missing name is named, and nothing crashes or is half-written.

#include "data/keylesstables.h"
#include "data/records.h"
#include "data/tables.h"
#include "declaration/monthselectionrules.h"
#include "declaration/reportrecord.h"
#include "declaration/ticker.h"
#include "submit/declarationrow.h"
#include "submit/submitmessages.h"
#include "support/figures.h"
#include "support/officeaccounts.h"
#include "support/testdb.h"
#include "support/workstation.h"

#include <QFile>
#include <QLabel>
#include <QProcess>
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
Figures g_figures;

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
        TestDb::exec(m_column.isEmpty()
                         ? u"RENAME TABLE %1 TO %1_weg"_qs.arg(m_table)
                         : u"ALTER TABLE %1 RENAME COLUMN %2 TO %2_weg"_qs.arg(m_table, m_column));
    }
    ~Missing()
    {
        TestDb::exec(m_column.isEmpty()
                         ? u"RENAME TABLE %1_weg TO %1"_qs.arg(m_table)
                         : u"ALTER TABLE %1 RENAME COLUMN %2_weg TO %2"_qs.arg(m_table, m_column));
        Records::forgetSchema();
    }
    Missing(const Missing&) = delete;
    Missing& operator=(const Missing&) = delete;

private:
    QString m_table;
    QString m_column;
};

// The roads of officeMadeTables.
enum class Road {
    LoginLogoff,    // logs in with the name and the password, logs off
    LoginUnknown,   // the name is in no row: the login's own message
    SaveDeclare,    // types the text, saves, changes it, saves again, declares
    SaveRefused,    // types the text; the save is refused, nothing stored
    DeclareRefused, // types the text, saves, the declaration is refused
    Upgrade         // the upgrade script twice, the look-up by its index, saves, declares
};

const QString kDeclarations = u"torvakdb_TORVAKdeclaraties.Declaraties"_qs;
const QString kLookUpIndex = u"ix_consultant_opdrachtgever_jaar_maand"_qs;

// `Declaraties` as an office made it by hand: the 28 columns, all of one
// type, no key, no index. An older server let a COMPACT row be wider than
// a page allows.
QString officeDeclarations(const QString& type, const QString& options)
{
    QStringList columns;
    for (const auto& [column, value] : submit::declarationRow([](const QString&) { return QString(); }, {}))
        columns << Connection::quoteIdentifier(column) + u' ' + type;
    return u"SET SESSION innodb_strict_mode = OFF; DROP TABLE "_qs + kDeclarations + u"; CREATE TABLE "_qs +
           kDeclarations + u" ("_qs + columns.join(u", "_qs) + u") "_qs + options +
           u"; SET SESSION innodb_strict_mode = DEFAULT;"_qs;
}

// Runs the upgrade script twice, then checks that the look-up of the last
// earlier declaration goes by the index it made.
void upgradeTwiceAndLookUp()
{
    for (int run = 1; run <= 2; ++run) {
        try {
            TestDb::runFile(QStringLiteral(DL_SOURCE_DIR) + u"/schema/upgrade.sql"_qs);
        } catch (const std::exception& e) {
            QFAIL(qPrintable(u"run %1: "_qs.arg(run) + QString::fromUtf8(e.what())));
        }
    }
    QCOMPARE(TestDb::rows(u"SELECT COUNT(*) FROM information_schema.STATISTICS WHERE TABLE_SCHEMA = "
                          "'torvakdb_TORVAKdeclaraties' AND TABLE_NAME = 'Declaraties' AND INDEX_NAME = ?"_qs,
                          {kLookUpIndex}),
             QStringList{u"4"_qs});
    // Other consultants' declarations, enough that a table walk costs more,
    // and one of this project a month earlier.
    TestDb::exec(u"INSERT INTO "_qs + kDeclarations +
                 u" (consultant, Opdrachtgever, Projectnaam, Jaar, maand, uren, kilometers, totaal)"
                 " SELECT 1000 + seq % 50, seq % 7, CONCAT('Project ', seq), 2010 + seq % 16,"
                 " LPAD(1 + seq % 12, 2, '0'), '8', '0', '0,00' FROM torvakdb_TORVAKdeclaraties.seq_1_to_300;"
                 " INSERT INTO "_qs +
                 kDeclarations +
                 u" (consultant, Opdrachtgever, Projectnaam, Jaar, maand, uren, kilometers, totaal)"
                 " VALUES ('0042', '17', 'Glasvezel Noord', '2026', '02', '100', '0', '9.000,00');"
                 " ANALYZE TABLE "_qs +
                 kDeclarations);
    const QStringList plan = TestDb::rows(
        u"EXPLAIN SELECT uren FROM "_qs + kDeclarations +
            u" WHERE consultant = ? AND Opdrachtgever = ? AND Projectnaam = ? AND (Jaar < ? OR (Jaar = ? AND "
            "maand < ?)) ORDER BY Jaar DESC, maand DESC"_qs,
        {u"0042"_qs, u"17"_qs, u"Glasvezel Noord"_qs, u"2026"_qs, u"2026"_qs, u"03"_qs});
    // id|select_type|table|type|possible_keys|key|...
    QVERIFY2(plan.size() == 1 && plan.first().split(u'|').value(5) == kLookUpIndex,
             qPrintable(plan.join(u'\n')));
}

} // namespace

Q_DECLARE_METATYPE(Road)

class TestOfficeRows : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void cleanupTestCase();

    void officeRowsFullOfNulls();
    void missingTableOrColumn_data();
    void missingTableOrColumn();
    void messagesOfEveryLength_data();
    void messagesOfEveryLength();
    void officeMadeTables_data();
    void officeMadeTables();
    void serverWithNamesInLowerCase();
};

void TestOfficeRows::init()
{
    TestDb::loadDemo();
    Records::forgetSchema();
}

void TestOfficeRows::cleanup()
{
    g_figures.caseDone();
}

void TestOfficeRows::cleanupTestCase()
{
    qInfo("FIGURES office rows: %d bad rows, missing names and messages tried in %d cases, %d failed; "
          "%d stored states compared, rows lost or half-written: %d",
          g_inputs, g_figures.cases, g_figures.failed, g_figures.compared, g_figures.changed);
}

void TestOfficeRows::officeRowsFullOfNulls()
{
    g_inputs += 5;
    TestDb::exec(u"INSERT INTO "_qs + kConsultants +
                 u" (LOGIN, PASWOORD) VALUES ('leeg', 'leeg');"
                 "INSERT INTO "_qs +
                 kProjects +
                 u" (Projectcode) VALUES ('');"
                 "INSERT INTO torvakdb_TORVAKdata.KALMIRO_opdrachtgevers (opdrachtgevernummer) VALUES (NULL);"
                 "DELETE FROM torvakdb_TORVAKdata.KALMIRO_berichten;"
                 "INSERT INTO torvakdb_TORVAKdata.KALMIRO_berichten (Bericht) VALUES (NULL);"_qs);
    Workstation w(TestDb::server());
    QVERIFY2(w.logIn(u"leeg"_qs, u"leeg"_qs), qPrintable(w.messages.last()));
    QCOMPARE(w.text(u"Text1"_qs), QString());
    QCOMPARE(w.form.windowTitle(), u"Declaraties & Logboeken van    "_qs);

    // The project with only an empty code: every field empty, the rates nothing.
    QVERIFY2(w.chooseProject(QString(25, u' ')), qPrintable(w.messages.last()));
    for (const char16_t* f :
         {u"Text2", u"Text3", u"Text5", u"Text6", u"Text7", u"Text8", u"Text9", u"Text38"})
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
    g_figures.compare(TestDb::count(kReports), 1);
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

void TestOfficeRows::missingTableOrColumn_data()
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
    QTest::newRow("declarations") << u"torvakdb_TORVAKdeclaraties.Declaraties"_qs << QString()
                                  << u"declare"_qs;
    QTest::newRow("invoice number") << u"torvakdb_TORVAKdeclaraties.Declaraties"_qs << u"factuurnummer"_qs
                                    << u"declare"_qs;
}

void TestOfficeRows::missingTableOrColumn()
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
        else {
            w.messages.choiceAnswers.enqueue(1); // whatever the check finds, the consultant goes on
            w.declare.run();
        }
    }
    const QString named = column.isEmpty() ? table.section(u'.', 1) : column;
    QVERIFY2(w.lastWasError(), qPrintable(w.messages.texts().join(u"\n---\n"_qs)));
    QVERIFY2(w.messages.last().contains(named), qPrintable(w.messages.last()));
    if (action != u"login") // a login cut short leaves the login form, not the main form, as it was
        QCOMPARE(w.snapshot(), shown);
    const QStringList after = TestDb::rows(u"SELECT * FROM "_qs + kReports);
    const int declarations = TestDb::count(u"torvakdb_TORVAKdeclaraties.Declaraties"_qs);
    g_figures.compare(after, reports);
    g_figures.compare(declarations, 0);
    QCOMPARE(after, reports);
    QCOMPARE(declarations, 0);
}

void TestOfficeRows::messagesOfEveryLength_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("blocks");
    QTest::newRow("0 characters") << QString() << false;
    QTest::newRow("10, OPMERKING:") << u"OPMERKING:"_qs << false;
    QTest::newRow("10, BELANGRIJK") << u"BELANGRIJK"_qs << false;
    QTest::newRow("11, BELANGRIJK:") << u"BELANGRIJK:"_qs << true;
    QTest::newRow("11, belangrijk:") << u"belangrijk:"_qs << false;
    QTest::newRow("5000, BELANGRIJK: and more bytes")
        << u"BELANGRIJK:"_qs + repeated(u"ö€🙂"_qs, 1247) << true;
    QTest::newRow("5000 with line breaks and SQL") << repeated(u"a'\\\r\n%_;"_qs, 625) << false;
}

void TestOfficeRows::messagesOfEveryLength()
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
        QVERIFY2(ticker.position() > start || label->width() > 100000,
                 qPrintable(QString::number(label->width())));

    w.messages.clear();
    w.messages.choiceAnswers.enqueue(1); // whatever the check finds, the consultant goes on
    w.declare.run();
    if (blocks) {
        QCOMPARE(w.messages.texts(), QStringList{submit::blockedMessage()});
        g_figures.compare(TestDb::count(u"torvakdb_TORVAKdeclaraties.Declaraties"_qs), 0);
        QCOMPARE(TestDb::count(u"torvakdb_TORVAKdeclaraties.Declaraties"_qs), 0);
    } else {
        // After the check's box, if it found anything, comes the question.
        QCOMPARE(w.messages.shown.at(w.messages.choices.size()).caption, submit::declareCaption());
    }
}

void TestOfficeRows::officeMadeTables_data()
{
    QTest::addColumn<QString>("setup"); // administrator SQL that makes the office's tables
    QTest::addColumn<bool>("lax");      // the server's sql_mode emptied, as some offices run it
    QTest::addColumn<Road>("road");
    QTest::addColumn<QString>("text");    // a login name, or what is typed as day 1's activity
    QTest::addColumn<QString>("refused"); // in the message of a refusal: the column named
    QTest::addColumn<bool>("own");        // switched: the consultant's own account and its calls
    const QString columns =
        u" (LOGIN, PASWOORD, consultantnummer, Titel1, voornaam, naam, isONLINE) VALUES "_qs;
    const QString renee = u"INSERT INTO "_qs + kConsultants + columns +
                          u"('renée', 'geheim', '0077', 'Ir.', 'Renée', 'Müller', 'OFFLINE');"_qs;
    const QString eleni = u"INSERT INTO "_qs + kConsultants + columns +
                          u"('Ελένη', 'μυστικό', '0078', 'Dr.', 'Ελένη', 'Παπαδοπούλου', 'OFFLINE');"_qs;
    const QString latin1Consultants =
        u"ALTER TABLE "_qs + kConsultants +
        u" DROP COLUMN id, ADD COLUMN `e-mail` VARCHAR(64) NULL DEFAULT 'kantoor@voorbeeld.nl', "
        "ADD COLUMN uurloon FLOAT NULL DEFAULT 0.35, CONVERT TO CHARACTER SET latin1;"_qs;
    const QString keylessConsultants =
        u"ALTER TABLE "_qs + kConsultants +
        u" DROP COLUMN id, ADD COLUMN `geb.datum` VARCHAR(10) NULL DEFAULT '01-02-1970';"_qs;
    const QString latin1Reports =
        u"ALTER TABLE "_qs + kReports + u" DROP COLUMN id, CONVERT TO CHARACTER SET latin1;"_qs;
    const QString numericTotal =
        u"ALTER TABLE "_qs + kDeclarations + u" MODIFY totaal DECIMAL(12,2) NULL;"_qs;
    const QString shortActivity =
        u"ALTER TABLE "_qs + kReports + u" MODIFY Activiteit01 VARCHAR(10) NULL;"_qs;

    QTest::newRow("latin1 consultants without a key, accented name")
        << latin1Consultants + renee << false << Road::LoginLogoff << u"renée"_qs << QString() << false;
    QTest::newRow("consultants without a key, Greek name")
        << keylessConsultants + eleni << false << Road::LoginLogoff << u"Ελένη"_qs << QString() << false;
    QTest::newRow("latin1 consultants, a Greek name typed")
        << latin1Consultants << false << Road::LoginUnknown << u"Ελένη"_qs << QString() << false;
    QTest::newRow("latin1 reports without a key, accented text")
        << latin1Reports << false << Road::SaveDeclare << u"Opname tracé, één"_qs << QString() << false;
    QTest::newRow("latin1 reports without a key, on a lax server")
        << latin1Reports << true << Road::SaveDeclare << u"Opname tracé"_qs << QString() << false;
    QTest::newRow("latin1 reports, Greek text")
        << latin1Reports << false << Road::SaveRefused << u"Μέτρηση"_qs << u"Activiteit01"_qs << false;
    QTest::newRow("latin1 reports, Greek text, lax server")
        << latin1Reports << true << Road::SaveRefused << u"Μέτρηση"_qs << u"Activiteit01"_qs << false;
    QTest::newRow("a short activity column, lax server")
        << shortActivity << true << Road::SaveRefused << u"Opname tracé Noordweg"_qs << u"Activiteit01"_qs
        << false;
    QTest::newRow("a numeric total, lax server")
        << numericTotal << true << Road::DeclareRefused << u"Opname"_qs << u"totaal"_qs << false;
    // The server's procedures on the office's own tables, after the switch.
    // The program's account as some offices made it: at localhost and 127.0.0.1 only.
    const QString localOnly = u"CREATE USER 'torvakdb'@'127.0.0.1' IDENTIFIED BY 'k4uTbrol';"
                              "DROP USER 'torvakdb'@'%';"_qs;
    QTest::newRow("own account: latin1 consultants without a key, accented name")
        << latin1Consultants + renee + localOnly << false << Road::LoginLogoff << u"renée"_qs << QString()
        << true;
    QTest::newRow("own account: latin1 reports without a key, accented text")
        << latin1Reports << false << Road::SaveDeclare << u"Opname tracé, één"_qs << QString() << true;
    QTest::newRow("own account: latin1 reports without a key, lax server")
        << latin1Reports << true << Road::SaveDeclare << u"Opname tracé"_qs << QString() << true;
    QTest::newRow("own account: latin1 reports, Greek text")
        << latin1Reports << false << Road::SaveRefused << u"Μέτρηση"_qs << u"Activiteit01"_qs << true;
    QTest::newRow("own account: a numeric total, lax server")
        << numericTotal << true << Road::DeclareRefused << u"Opname"_qs << u"totaal"_qs << true;
    // A text too long for the office's column is refused, never stored cut short.
    QTest::newRow("own account: a tiny description column, a long project description")
        << u"ALTER TABLE "_qs + kReports + u" MODIFY omschrijving TINYTEXT NULL; UPDATE "_qs + kProjects +
               u" SET ProjectOmschrijving = REPEAT('Herinrichting ', 17) WHERE Projectcode = '0042-GLAS';"_qs
        << false << Road::SaveRefused << u"Opname"_qs << u"omschrijving"_qs << true;
    const QString utf8mb4 = u"DEFAULT CHARSET=utf8mb4"_qs;
    QTest::newRow("upgrade: declarations of VARCHAR(255) utf8mb4")
        << officeDeclarations(u"VARCHAR(255)"_qs, utf8mb4) << false << Road::Upgrade << u"Opname"_qs
        << QString() << false;
    QTest::newRow("upgrade: declarations of VARCHAR(255) utf8mb4, COMPACT")
        << officeDeclarations(u"VARCHAR(255)"_qs, utf8mb4 + u" ROW_FORMAT=COMPACT"_qs) << false
        << Road::Upgrade << u"Opname"_qs << QString() << false;
    QTest::newRow("upgrade: declarations of TEXT, REDUNDANT")
        << officeDeclarations(u"TEXT"_qs, utf8mb4 + u" ROW_FORMAT=REDUNDANT"_qs) << false << Road::Upgrade
        << u"Opname"_qs << QString() << false;
    QTest::newRow("upgrade: declarations of CHAR(255) latin1, lax server")
        << officeDeclarations(u"CHAR(255)"_qs, u"DEFAULT CHARSET=latin1"_qs) << true << Road::Upgrade
        << u"Opname tracé"_qs << QString() << false;
    // Widened, these would no longer fit a COMPACT row's key column.
    QTest::newRow("upgrade: the office's own indexes on the name and the password, COMPACT")
        << officeDeclarations(u"VARCHAR(100)"_qs, utf8mb4 + u" ROW_FORMAT=COMPACT"_qs) +
               u"CREATE INDEX ix_naam ON "_qs + kDeclarations + u" (Consultantnaam); ALTER TABLE "_qs +
               kConsultants +
               u" MODIFY PASWOORD VARCHAR(50) NULL, ADD UNIQUE KEY ix_login_paswoord (LOGIN, PASWOORD),"
               " ROW_FORMAT=COMPACT;"_qs
        << false << Road::Upgrade << u"Opname"_qs << QString() << false;
}

void TestOfficeRows::officeMadeTables()
{
    QFETCH(QString, setup);
    QFETCH(bool, lax);
    QFETCH(Road, road);
    QFETCH(QString, text);
    QFETCH(QString, refused);
    QFETCH(bool, own);
    ++g_inputs;
    // The program's own tables again for the next test, however this one ends.
    const auto restore = qScopeGuard([own] {
        TestDb::exec(u"SET GLOBAL sql_mode = DEFAULT"_qs);
        if (own) {
            TestDb::exec(u"CREATE USER IF NOT EXISTS 'torvakdb'@'%' IDENTIFIED BY 'k4uTbrol';"
                         "DROP USER IF EXISTS 'torvakdb'@'127.0.0.1'"_qs);
            removeOwnAccounts();
        }
        TestDb::exec(u"DROP TABLE "_qs + kConsultants + u", "_qs + kReports + u", "_qs + kDeclarations);
        TestDb::reloadSchema();
    });
    TestDb::exec(setup);
    if (own) {
        QVERIFY2(
            setUpOwnAccounts(),
            qPrintable(TestDb::rows(u"SELECT * FROM torvakdb_TORVAKbeheer.bevindingen"_qs).join(u", "_qs)));
        TestDb::exec(u"ALTER USER IF EXISTS 'renée'@'%' IDENTIFIED VIA ed25519 USING PASSWORD('geheim')"_qs);
        // Switched at every host it has: no right left, locked.
        QCOMPARE(TestDb::rows(u"SELECT (SELECT COUNT(*) FROM mysql.db WHERE User = 'torvakdb') + "
                              "(SELECT COUNT(*) FROM mysql.tables_priv WHERE User = 'torvakdb') + "
                              "(SELECT COUNT(*) FROM mysql.global_priv WHERE User = 'torvakdb' AND "
                              "COALESCE(JSON_VALUE(Priv, '$.account_locked'), '0') <> '1')"_qs),
                 QStringList{u"0"_qs});
    }
    if (lax)
        TestDb::exec(u"SET GLOBAL sql_mode = ''"_qs);
    Records::forgetSchema();
    Workstation w(TestDb::server());
    if (own) // the private server offers no TLS
        w.ctx.connection.tls.mode = TlsOptions::Mode::Off;

    switch (road) {
    case Road::LoginLogoff: {
        const QString password = text == u"renée" ? u"geheim"_qs : u"μυστικό"_qs;
        QVERIFY2(w.logIn(text, password), qPrintable(w.messages.texts().join(u'\n')));
        QCOMPARE(TestDb::rows(u"SELECT isONLINE FROM "_qs + kConsultants + u" WHERE LOGIN = ?"_qs, {text}),
                 QStringList{u"ONLINE"_qs});
        QVERIFY2(w.logOff(), qPrintable(w.messages.last()));
        QCOMPARE(TestDb::rows(u"SELECT isONLINE FROM "_qs + kConsultants + u" WHERE LOGIN = ?"_qs, {text}),
                 QStringList{u"OFFLINE"_qs});
        QCOMPARE(TestDb::count(u"torvakdb_TORVAKdata.LOGINconsultant"_qs), 1);
        return;
    }
    case Road::LoginUnknown:
        QVERIFY(!w.logIn(text, u"geheim"_qs));
        QCOMPARE(w.messages.last(), u"Uw inlog gegevens zijn niet gevonden en mag nog 2 keer proberen."_qs);
        return;
    case Road::Upgrade:
        upgradeTwiceAndLookUp();
        if (QTest::currentTestFailed())
            return;
        break;
    case Road::SaveDeclare:
    case Road::SaveRefused:
    case Road::DeclareRefused:
        break;
    }
    if (own)
        QVERIFY2(w.logIn(u"anna"_qs, u"geheim"_qs), qPrintable(w.messages.texts().join(u'\n')));
    else if (own)
        QVERIFY2(w.logIn(u"anna"_qs, u"geheim"_qs), qPrintable(w.messages.texts().join(u'\n')));
    else
        w.pretendLoggedIn(u"0042"_qs, u"Ir. Anna de Vries"_qs);
    QVERIFY(w.chooseProject(kGlas));
    w.pickMonth(u"2026"_qs, u"03 Maart "_qs);
    const QString activity = report::slotControl(1, 1);
    w.c().setText(activity, text);
    const QStringList reportsBefore = TestDb::rows(u"SELECT * FROM "_qs + kReports);
    w.messages.clear();
    w.save.run();
    if (road == Road::SaveRefused) {
        QVERIFY2(w.lastWasError() && w.messages.last().contains(refused), qPrintable(w.messages.last()));
        g_figures.compare(TestDb::rows(u"SELECT * FROM "_qs + kReports), reportsBefore);
        QCOMPARE(TestDb::rows(u"SELECT * FROM "_qs + kReports), reportsBefore);
        return;
    }
    QVERIFY2(w.messages.last().startsWith(u"Rapport is opgeslagen"_qs), qPrintable(w.messages.last()));
    const QString stored = u"SELECT Activiteit01, afgewerkt FROM "_qs + kReports;
    QCOMPARE(TestDb::rows(stored), QStringList{text + u"|nee"_qs});
    const QStringList declaredBefore = TestDb::rows(u"SELECT * FROM "_qs + kReports);
    const int declarations = TestDb::count(kDeclarations);
    QString typed = text;
    if (road == Road::SaveDeclare) {
        // Saved again: the row without a key is found by what it holds.
        typed = text + u" en meer"_qs;
        w.c().setText(activity, typed);
        w.save.run();
        QVERIFY2(w.messages.last().startsWith(u"Rapport is opgeslagen"_qs), qPrintable(w.messages.last()));
        QCOMPARE(TestDb::rows(stored), QStringList{typed + u"|nee"_qs});
    }
    w.messages.clear();
    w.messages.choiceAnswers.enqueue(1); // whatever the check finds, the consultant goes on
    w.declare.run();
    if (road == Road::Upgrade) // the check compared the month with the one declared before
        QVERIFY2(!w.messages.choices.isEmpty() &&
                     w.messages.choices.first().lines.join(u'\n').contains(u"Februari 2026"_qs),
                 qPrintable(w.messages.texts().join(u'\n')));
    if (road == Road::DeclareRefused) {
        QVERIFY2(w.messages.last().contains(u"NIET"_qs) && w.messages.last().contains(refused),
                 qPrintable(w.messages.last()));
        g_figures.compare(TestDb::rows(u"SELECT * FROM "_qs + kReports), declaredBefore);
        g_figures.compare(TestDb::count(kDeclarations), declarations);
        QCOMPARE(TestDb::rows(u"SELECT * FROM "_qs + kReports), declaredBefore);
        QCOMPARE(TestDb::count(kDeclarations), declarations);
        return;
    }
    QCOMPARE(TestDb::rows(stored), QStringList{typed + u"|ja"_qs});
    QCOMPARE(TestDb::count(kDeclarations), declarations + 1);
}

// A server that keeps table names in lower case gives them back so from
// information_schema: the program's tables are there, with their keys.
void TestOfficeRows::serverWithNamesInLowerCase()
{
    const QString dir = QStringLiteral(DL_BINARY_DIR "/lowercasedb");
    const QString script = QStringLiteral(DL_SOURCE_DIR "/scripts/dbserver.sh");
    const auto stop = qScopeGuard([&] { QProcess::execute(script, {u"stop"_qs, dir}); });
    QProcess start;
    start.setProcessChannelMode(QProcess::MergedChannels);
    start.start(script, {u"start"_qs, dir, u"--"_qs, u"--lower-case-table-names=1"_qs});
    QVERIFY(start.waitForFinished(180000));
    QVERIFY2(start.exitCode() == 0, start.readAll().constData());
    QFile port(dir + u"/port"_qs);
    QVERIFY(port.open(QIODevice::ReadOnly));
    Records::forgetSchema();
    Connection c(ServerAddress{u"127.0.0.1"_qs, port.readAll().trimmed().toInt()});
    QCOMPARE(tablesWithoutPrimaryKey(c, tables::all()), QStringList());
    for (const TableRef& t : tables::all())
        QVERIFY2(!Records(c).primaryKey(t).isEmpty(), qPrintable(t.name));
    Records::forgetSchema();
}

QTEST_MAIN(TestOfficeRows)
#include "tst_officerows.moc"
