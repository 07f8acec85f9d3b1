// Accounts of their own: on a server set up as an office would (upgrade,
// accounts, switch), each consultant reaches only their own rows, and the
// program's own account only the message. Every attack is refused, and
// bram's rows are the same afterwards.

#include "data/connection.h"
#include "data/dberror.h"
#include "data/keptconnection.h"
#include "data/settings.h"
#include "declaration/tickertext.h"
#include "support/officeaccounts.h"
#include "support/testdb.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QtTest>

#include <mysql.h>

#include <memory>

using namespace dl;
using namespace dl::test;

namespace {

// A consultant's connection straight on the client library: the program's
// Connection opens one of the three data databases, which the consultant
// accounts cannot enter. Values are escaped into the text (test SQL only).
class Account {
public:
    Account(const QString& user, const QString& password, const ServerAddress& a = TestDb::server())
    {
        m_mysql = mysql_init(nullptr);
        unsigned timeout = 4;
        mysql_options(m_mysql, MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
        mysql_options(m_mysql, MYSQL_SET_CHARSET_NAME, "utf8mb4");
        if (!mysql_real_connect(m_mysql, a.host.toUtf8().constData(), user.toUtf8().constData(),
                                password.toUtf8().constData(), "torvakdb_TORVAKeigen", quint16(a.port),
                                nullptr, CLIENT_FOUND_ROWS))
            fail();
    }
    ~Account() { mysql_close(m_mysql); }
    Account(const Account&) = delete;
    Account& operator=(const Account&) = delete;

    // Rows returned, or rows matched by a write; throws DbError.
    qsizetype exec(QString sql, const QVariantList& binds = {})
    {
        for (const QVariant& v : binds) {
            const QByteArray raw =
                v.metaType().id() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8();
            QByteArray escaped(raw.size() * 2 + 1, '\0');
            escaped.resize(
                qsizetype(mysql_real_escape_string(m_mysql, escaped.data(), raw.constData(), raw.size())));
            sql.replace(sql.indexOf(u'?'), 1, u'\'' + QString::fromUtf8(escaped) + u'\'');
        }
        const QByteArray text = sql.toUtf8();
        if (mysql_real_query(m_mysql, text.constData(), static_cast<unsigned long>(text.size())) != 0)
            fail();
        MYSQL_RES* res = mysql_store_result(m_mysql);
        const qsizetype n = res ? qsizetype(mysql_num_rows(res)) : qsizetype(mysql_affected_rows(m_mysql));
        if (res)
            mysql_free_result(res);
        // A procedure's call: its status after the rows, or its error.
        while (mysql_more_results(m_mysql)) {
            if (mysql_next_result(m_mysql) > 0)
                fail();
            if (MYSQL_RES* more = mysql_store_result(m_mysql))
                mysql_free_result(more);
        }
        return n;
    }

    // What the server warned of about the last statement.
    QString warnings()
    {
        QString out;
        if (mysql_real_query(m_mysql, "SHOW WARNINGS", 13) != 0)
            fail();
        if (MYSQL_RES* res = mysql_store_result(m_mysql)) {
            while (MYSQL_ROW r = mysql_fetch_row(res))
                out += QString::fromUtf8(r[2] ? r[2] : "") + u'\n';
            mysql_free_result(res);
        }
        return out;
    }

private:
    [[noreturn]] void fail()
    {
        throw DbError(int(mysql_errno(m_mysql)), QString::fromUtf8(mysql_error(m_mysql)));
    }
    MYSQL* m_mysql = nullptr;
};

std::unique_ptr<Account> connectAs(const QString& user, const QString& password)
{
    return std::make_unique<Account>(user, password);
}

// Everything of bram's, counted and summed up as the administrator sees it.
QStringList bramsRows()
{
    return TestDb::rows(
        u"SELECT (SELECT CONCAT(COUNT(*), MD5(GROUP_CONCAT(CONCAT_WS('|', id, Projectnaam, afgewerkt, "
        u"Uren01, "
        "Uren02) ORDER BY id))) FROM torvakdb_TORVAKraporten.Raporten WHERE Projectnaam LIKE '%0051-%'), "
        "(SELECT CONCAT(COUNT(*), MD5(GROUP_CONCAT(CONCAT_WS('|', id, consultant, uren, totaal, "
        "IsbetaaldConsultant) ORDER BY id))) FROM torvakdb_TORVAKdeclaraties.Declaraties), "
        "(SELECT CONCAT(COUNT(*), MD5(GROUP_CONCAT(CONCAT_WS('|', id, LOGINnaam) ORDER BY id))) "
        "FROM torvakdb_TORVAKdata.LOGINconsultant), "
        "(SELECT CONCAT(COUNT(*), MD5(GROUP_CONCAT(CONCAT_WS('|', sleutel, teller) ORDER BY sleutel))) "
        "FROM torvakdb_TORVAKraporten.Sloten WHERE sleutel LIKE '%0051%'), "
        "(SELECT CONCAT_WS('|', LOGIN, PASWOORD, isAANGEMELD, isONLINE, isAFGEMELD) "
        "FROM torvakdb_TORVAKdata.KALMIRO_consultants WHERE LOGIN = 'bram')"_qs);
}

const QString kEigen = u"torvakdb_TORVAKeigen."_qs;

} // namespace

class TestConsultantAccounts : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void programStatementsWork_data();
    void programStatementsWork();
    void refused_data();
    void refused();
    void openTransactionLeavesOthersFree_data();
    void openTransactionLeavesOthersFree();
    void limits_data();
    void limits();
    void controleFinds_data();
    void controleFinds();
    void messageWithoutKeyAfterTheSwitch();
    void aBackupRestores();
    void officeCommandsLeaveOthersAlone_data();
    void officeCommandsLeaveOthersAlone();

private:
    // Kept across the rows of a table, as the program keeps its connection.
    std::unique_ptr<Account> m_anna;
    std::unique_ptr<Account> m_bram;
};

void TestConsultantAccounts::initTestCase()
{
    cleanupTestCase(); // after a run that stopped half-way

    // bram's history: a declared month, an open one, his declaration, his
    // login record and his lock rows.
    TestDb::exec(
        u"INSERT INTO torvakdb_TORVAKraporten.Raporten (Projectnaam, afgewerkt, Uren01, Uren02) VALUES "
        "('2026_03_0051-DIJK', 'ja', '8', '4'), ('2026_04_0051-DIJK', 'nee', '6', NULL);"
        "INSERT INTO torvakdb_TORVAKdeclaraties.Declaraties (factuurnummer, consultant, Opdrachtgever, Jaar, "
        "maand, uren, totaal, IsbetaaldConsultant) VALUES ('260300513100003', '0051', '31', '2026', '03', "
        "'12', "
        "'1306,80', 'nee');"
        "INSERT INTO torvakdb_TORVAKdata.LOGINconsultant (DATUMTIJD, LOGINnaam, NETWERKadres) VALUES "
        "('2026/03/31   17:00:00', 'Dr.Bram  Peters', '00:11:22:33:44:55');"
        "INSERT INTO torvakdb_TORVAKraporten.Sloten (sleutel, teller) VALUES ('raport:2026_03_0051-DIJK', "
        "2), "
        "('factuur:260300513100003', 1);"_qs);
    QVERIFY(setUpOwnAccounts());
    // An action bram's program did, under its id.
    TestDb::exec(u"INSERT INTO torvakdb_TORVAKeigen.acties (actie, consultant, uitkomst) VALUES "
                 "(UNHEX(REPEAT('ab', 16)), '0051', 'toegevoegd')"_qs);
}

void TestConsultantAccounts::cleanupTestCase()
{
    // The tests after this one find the server as the plain schema leaves it.
    removeOwnAccounts();
}

// Each statement the program sends on the road, in its own shape, as anna
// through the views: it finds, locks and writes her rows.
void TestConsultantAccounts::programStatementsWork_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QVariantList>("binds");
    QTest::addColumn<int>("rows"); // rows read, or rows written

    // Every action is one call; the rows counted are the first answer's.
    QTest::newRow("login: the own row, marked, the record written")
        << u"CALL %1aanmelden(?, ?, ?, ?, ?, ?, ?, ?)"_qs
        << QVariantList{u"2026/03/31  09:00"_qs,
                        u"2026/03/31   09:00:00"_qs,
                        u"anna"_qs,
                        u"eth0"_qs,
                        u"aa:bb"_qs,
                        u""_qs,
                        u""_qs,
                        u""_qs}
        << 1;
    QTest::newRow("project choice") << u"CALL %1project_kiezen(?, ?)"_qs
                                    << QVariantList{u"0042-GLAS"_qs, u"[]"_qs} << 1;
    QTest::newRow("project choice, another's code")
        << u"CALL %1project_kiezen(?, ?)"_qs << QVariantList{u"0051-DIJK"_qs, u"[]"_qs} << 0;
    QTest::newRow("message") << u"CALL %1bericht()"_qs << QVariantList{} << 1;
    QTest::newRow("tables without a key") << u"CALL %1tabellen_zonder_sleutel()"_qs << QVariantList{} << 0;
    QTest::newRow("logoff") << u"CALL %1afmelden(?)"_qs << QVariantList{u"2026/03/31  17:00"_qs} << 1;
    // Saving and declaring: one call each; the same action id again acts
    // nothing twice and answers as the first time.
    const QByteArray save(16, 's');
    const QByteArray declare(16, 'd');
    const QString call = u"CALL %1opslaan(?, ?, ?, ?, ?, ?)"_qs;
    QTest::newRow("save, a new month")
        << call << QVariantList{save, u"2026_03_0042-GLAS"_qs, 0, u""_qs, u""_qs, u"{\"Uren02\": \"8\"}"_qs}
        << 1;
    QTest::newRow("save, the same action asked again")
        << call << QVariantList{save, u"2026_03_0042-GLAS"_qs, 0, u""_qs, u""_qs, u"{\"Uren02\": \"9\"}"_qs}
        << 1;
    QTest::newRow("save, over the stored month")
        << call
        << QVariantList{QByteArray(16, 't'),
                        u"2026_03_0042-GLAS"_qs,
                        1,
                        u""_qs,
                        u""_qs,
                        u"{\"Uren02\": \"8\", \"laatstgewijzigd\": \"x\"}"_qs}
        << 1;
    QTest::newRow("declare")
        << u"CALL %1declareren(?, ?, ?, ?, ?, ?, ?, ?)"_qs
        << QVariantList{declare,
                        u"2026_03_0042-GLAS"_qs,
                        1,
                        u"x"_qs,
                        u""_qs,
                        u"{}"_qs,
                        u"260300421700007"_qs,
                        u"{\"Opdrachtgever\": \"17\", \"Jaar\": \"2026\", \"maand\": \"03\", \"Projectnaam\": \"Glas\"}"_qs}
        << 1;
    QTest::newRow("earlier declaration") << u"CALL %1eerdere_declaraties(?, ?, ?, ?)"_qs
                                         << QVariantList{u"17"_qs, u"Glas"_qs, u"2026"_qs, u"04"_qs} << 1;
    QTest::newRow("open a month") << u"CALL %1maand_openen(?)"_qs << QVariantList{u"2026_03_0042-GLAS"_qs}
                                  << 1;
    QTest::newRow("earlier texts")
        << u"CALL %1eerdere_teksten(?)"_qs
        << QVariantList{u"[\"2026_03_0042-GLAS\", \"2026_03_0051-DIJK\", \"2026_04_0051-DIJK\"]"_qs} << 1;
    QTest::newRow("year overview, projects and reports")
        << u"CALL %1jaaroverzicht(?, ?)"_qs << QVariantList{u"2026"_qs, u"[\"0042-GLAS\", \"0051-DIJK\"]"_qs}
        << 1;
}

void TestConsultantAccounts::programStatementsWork()
{
    QFETCH(QString, sql);
    QFETCH(QVariantList, binds);
    QFETCH(int, rows);
    if (!m_anna)
        m_anna = connectAs(u"anna"_qs, u"geheim"_qs);
    QCOMPARE(m_anna->exec(QString(sql).replace(u"%1"_qs, kEigen), binds), qsizetype(rows));
}

// Attacks as SQL statements: each is refused by the server, or finds
// nothing; bram's rows are the same afterwards.
void TestConsultantAccounts::refused_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("sql");

    const QString app = QLatin1String(kAccount);
    const QString appPw = QLatin1String(kPassword);
    // The program's own account, with the password every copy carries.
    QTest::newRow("program account: passwords")
        << app << appPw << u"SELECT PASWOORD FROM torvakdb_TORVAKdata.KALMIRO_consultants"_qs;
    QTest::newRow("program account: rates")
        << app << appPw << u"SELECT VerkoopDagtariefConsultant FROM torvakdb_TORVAKdata.KALMIRO_projecten"_qs;
    QTest::newRow("program account: clients")
        << app << appPw << u"SELECT * FROM torvakdb_TORVAKdata.KALMIRO_opdrachtgevers"_qs;
    QTest::newRow("program account: reports")
        << app << appPw << u"SELECT * FROM torvakdb_TORVAKraporten.Raporten"_qs;
    QTest::newRow("program account: declarations")
        << app << appPw << u"SELECT * FROM torvakdb_TORVAKdeclaraties.Declaraties"_qs;
    QTest::newRow("program account: login records")
        << app << appPw << u"SELECT * FROM torvakdb_TORVAKdata.LOGINconsultant"_qs;
    QTest::newRow("program account: views")
        << app << appPw << u"SELECT * FROM torvakdb_TORVAKeigen.Raporten"_qs;
    QTest::newRow("program account: online flag")
        << app << appPw
        << u"UPDATE torvakdb_TORVAKdata.KALMIRO_consultants SET isONLINE = 'OFFLINE' WHERE LOGIN = 'bram'"_qs;
    QTest::newRow("program account: lock the consultants")
        << app << appPw << u"LOCK TABLES torvakdb_TORVAKdata.KALMIRO_consultants WRITE"_qs;
    QTest::newRow("program account: rewrite a report")
        << app << appPw << u"UPDATE torvakdb_TORVAKraporten.Raporten SET Uren01 = '0'"_qs;
    QTest::newRow("program account: the message, locked out by the switch")
        << app << appPw << u"SELECT * FROM torvakdb_TORVAKeigen.KALMIRO_berichten"_qs;
    QTest::newRow("program account: message locked")
        << app << appPw << u"SELECT * FROM torvakdb_TORVAKdata.KALMIRO_berichten FOR UPDATE"_qs;

    // anna against bram's rows.
    const QString a = u"anna"_qs;
    const QString aPw = u"geheim"_qs;
    QTest::newRow("anna: base table")
        << a << aPw << u"SELECT * FROM torvakdb_TORVAKdata.KALMIRO_consultants"_qs;
    QTest::newRow("anna: password column") << a << aPw << u"SELECT PASWOORD FROM %1KALMIRO_consultants"_qs;
    QTest::newRow("anna: bram's consultant row")
        << a << aPw << u"SELECT * FROM %1KALMIRO_consultants WHERE LOGIN = 'bram'"_qs;
    QTest::newRow("anna: bram's rates")
        << a << aPw
        << u"SELECT VerkoopDagtariefConsultant FROM %1KALMIRO_projecten WHERE Projectcode LIKE '0051%'"_qs;
    QTest::newRow("anna: bram's client")
        << a << aPw << u"SELECT * FROM %1KALMIRO_opdrachtgevers WHERE opdrachtgevernummer = '31'"_qs;
    QTest::newRow("anna: bram's reports")
        << a << aPw << u"SELECT * FROM %1Raporten WHERE Projectnaam LIKE '%0051%'"_qs;
    QTest::newRow("anna: bram's declarations")
        << a << aPw << u"SELECT * FROM %1Declaraties WHERE consultant = '0051'"_qs;
    QTest::newRow("anna: login records") << a << aPw << u"SELECT * FROM %1LOGINconsultant"_qs;
    QTest::newRow("anna: bram's lock rows")
        << a << aPw << u"SELECT * FROM %1Sloten WHERE sleutel LIKE '%0051%'"_qs;
    QTest::newRow("anna: rewrite bram's report")
        << a << aPw << u"UPDATE %1Raporten SET Uren01 = '1' WHERE Projectnaam = '2026_04_0051-DIJK'"_qs;
    QTest::newRow("anna: take bram's report") << a << aPw
                                              << u"UPDATE %1Raporten SET Projectnaam = '2026_04_0042-GLAS' "
                                                 "WHERE Projectnaam = '2026_04_0051-DIJK'"_qs;
    // By the id of bram's row, which the view's check does not see.
    for (const auto& [what, month] :
         {std::pair{"undeclared", "2026_04_0051-DIJK"}, {"declared", "2026_03_0051-DIJK"}}) {
        const QString id =
            TestDb::rows(u"SELECT id FROM torvakdb_TORVAKraporten.Raporten WHERE Projectnaam = ?"_qs,
                         {QString::fromLatin1(month)})
                .value(0);
        QTest::addRow("anna: take bram's %s report by its id", what)
            << a << aPw
            << u"INSERT INTO %1Raporten (id, Projectnaam, afgewerkt) VALUES ("_qs + id +
                   u", '2026_09_0042-X', 'nee') ON DUPLICATE KEY UPDATE Projectnaam = '2026_09_0042-GESTOLEN'"_qs;
        QTest::addRow("anna: rewrite bram's %s report by its id", what)
            << a << aPw
            << u"INSERT INTO %1Raporten (id, Projectnaam) VALUES ("_qs + id +
                   u", '2026_09_0042-X') ON DUPLICATE KEY UPDATE Uren01 = '9'"_qs;
    }
    QTest::newRow("anna: report in bram's name")
        << a << aPw
        << u"INSERT INTO %1Raporten (Projectnaam, afgewerkt) VALUES ('2026_05_0051-DIJK', 'nee')"_qs;
    QTest::newRow("anna: own report moved to bram")
        << a << aPw << u"UPDATE %1Raporten SET Projectnaam = '2026_05_0051-DIJK'"_qs;
    QTest::newRow("anna: declaration in bram's name")
        << a << aPw
        << u"INSERT INTO %1Declaraties (consultant, factuurnummer) VALUES ('0051', '260500513100003')"_qs;
    // bram's invoice number under her own number: the office's "paid" by number would mark both.
    QTest::newRow("anna: declaration under bram's invoice number")
        << a << aPw
        << u"INSERT INTO %1Declaraties (factuurnummer, consultant, totaal) VALUES ('260300513100003', "
           u"'0042', "
           u"'99999,00')"_qs;
    QTest::newRow("anna: her own invoice number again")
        << a << aPw
        << u"INSERT INTO %1Declaraties (factuurnummer, consultant) VALUES ('260300421700099', '0042'), "
           u"('260300421700099', '0042')"_qs;
    QTest::newRow("anna: own declaration marked paid")
        << a << aPw
        << u"INSERT INTO %1Declaraties (consultant, IsbetaaldConsultant) VALUES ('0042', 'ja')"_qs;
    QTest::newRow("anna: rewrite a declaration")
        << a << aPw << u"UPDATE %1Declaraties SET totaal = '0,00'"_qs;
    QTest::newRow("anna: delete a declaration") << a << aPw << u"DELETE FROM %1Declaraties"_qs;
    QTest::newRow("anna: login record as bram")
        << a << aPw << u"INSERT INTO %1LOGINconsultant (LOGINnaam) VALUES ('Dr.Bram  Peters')"_qs;
    // The server evaluates no expression of anna's on bram's rows: every
    // statement that names a table or view is refused before it reads.
    QTest::newRow("anna: bram's declaration through a warning")
        << a << aPw
        << u"SELECT id FROM %1Declaraties WHERE id = 1 AND CONCAT('x', factuurnummer, '|', totaal) + 0 = 0"_qs;
    QTest::newRow("anna: bram's login record through a warning")
        << a << aPw << u"SELECT 1 FROM %1LOGINconsultant WHERE CONCAT('x', NETWERKadres) + 0 = 0"_qs;
    QTest::newRow("anna: bram's report through an error")
        << a << aPw
        << u"INSERT INTO %1Raporten (id, Projectnaam) VALUES (1, 'x') ON DUPLICATE KEY UPDATE Uren01 = "
           "CONCAT('x', Uren01) + 0"_qs;
    QTest::newRow("anna: a table read as a procedure's value")
        << a << aPw
        << u"CALL %1maand_openen((SELECT Projectnaam FROM torvakdb_TORVAKraporten.Raporten LIMIT 1))"_qs;
    QTest::newRow("anna: bram's rows through INSERT ... SELECT")
        << a << aPw << u"INSERT INTO %1Sloten (sleutel) SELECT Projectnaam FROM %1Raporten"_qs;
    QTest::newRow("anna: a multi-table update")
        << a << aPw
        << u"UPDATE %1Raporten r, %1KALMIRO_consultants c SET r.Uren01 = c.naam WHERE r.Projectnaam LIKE '%0051%'"_qs;
    QTest::newRow("anna: a lock in share mode")
        << a << aPw << u"SELECT * FROM %1KALMIRO_consultants LOCK IN SHARE MODE"_qs;
    QTest::newRow("anna: the views' owner's helpers") << a << aPw << u"SELECT %1waarde('{\"a\": 1}', 'a')"_qs;
    QTest::newRow("anna: another's action id")
        << a << aPw << u"CALL %1opslaan(UNHEX(REPEAT('ab', 16)), '2026_11_0042-GLAS', 0, '', '', '{}')"_qs;
    // The actions' procedures take the session's consultant, never the caller's word.
    QTest::newRow("anna: save into bram's month")
        << a << aPw << u"CALL %1opslaan(RANDOM_BYTES(16), '2026_04_0051-DIJK', 0, '', '', '{}')"_qs;
    QTest::newRow("anna: declare bram's month")
        << a << aPw
        << u"CALL %1declareren(RANDOM_BYTES(16), '2026_04_0051-DIJK', 0, '', '', '{}', '260400513100009', '{}')"_qs;
    QTest::newRow("anna: declare under bram's invoice number")
        << a << aPw
        << u"CALL %1declareren(RANDOM_BYTES(16), '2026_06_0042-GLAS', 0, '', '', '{}', '260600513100009', '{}')"_qs;
    // A key that is not exactly one of her projects would be a second row of
    // the month, declared again; a month too large would hold the call.
    for (const char* key : {"2026_08_0042-glas", "2026_08_0042-GLAS ", "2026_13_0042-GLAS",
                            "2026_8_0042-GLAS", "2026_08_0042-NIEUW"}) {
        QTest::addRow("anna: declare her month as '%s'", key)
            << a << aPw
            << u"CALL %1declareren(RANDOM_BYTES(16), '"_qs + QLatin1String(key) +
                   u"', 0, '', '', '{}', '260800421700001', '{}')"_qs;
        QTest::addRow("anna: save her month as '%s'", key)
            << a << aPw
            << u"CALL %1opslaan(RANDOM_BYTES(16), '"_qs + QLatin1String(key) + u"', 0, '', '', '{}')"_qs;
    }
    QTest::newRow("anna: a month of 200 kB") << a << aPw
                                             << u"CALL %1opslaan(RANDOM_BYTES(16), '2026_08_0042-GLAS', 0, "
                                                u"'', '', CONCAT('{\"Activiteit01\": \"', "
                                                "REPEAT('a', 200000), '\"}'))"_qs;
    QTest::newRow("anna: the actions' record") << a << aPw << u"SELECT * FROM %1acties"_qs;
    QTest::newRow("anna: the procedure that writes any report")
        << a << aPw << u"CALL %1raport_schrijven('0051', '2026_04_0051-DIJK', 'nee', '{}', 1)"_qs;
    QTest::newRow("anna: bram's lock row")
        << a << aPw
        << u"INSERT INTO %1Sloten (sleutel) VALUES ('raport:2026_03_0051-DIJK') "
           "ON DUPLICATE KEY UPDATE teller = teller + 1"_qs;
    QTest::newRow("anna: mark bram online")
        << a << aPw << u"UPDATE %1KALMIRO_consultants SET isONLINE = 'ONLINE' WHERE LOGIN = 'bram'"_qs;
    QTest::newRow("anna: own LOGIN changed to bram")
        << a << aPw << u"UPDATE %1KALMIRO_consultants SET LOGIN = 'bram' WHERE LOGIN = 'anna'"_qs;
    QTest::newRow("anna: lock tables") << a << aPw << u"LOCK TABLES %1KALMIRO_consultants WRITE"_qs;
    QTest::newRow("anna: the number function") << a << aPw << u"SELECT %1consultantnummer()"_qs;
    QTest::newRow("anna: office commands")
        << a << aPw << u"CALL torvakdb_TORVAKbeheer.toegang_geven('anna', 'x', FALSE)"_qs;
    QTest::newRow("anna: grant the role") << a << aPw << u"GRANT torvakdb_consultant TO 'bram'@'%'"_qs;

    // bram's declared month set back, and its hours changed, by bram himself.
    QTest::newRow("bram: declared report back to nee")
        << u"bram"_qs << u"welkom"_qs
        << u"UPDATE %1Raporten SET afgewerkt = 'nee' WHERE Projectnaam = '2026_03_0051-DIJK'"_qs;
    QTest::newRow("bram: declared report's hours")
        << u"bram"_qs << u"welkom"_qs
        << u"UPDATE %1Raporten SET Uren01 = '80' WHERE Projectnaam = '2026_03_0051-DIJK'"_qs;

    // Names that come close to bram's: letter case, and an "@" in the name.
    TestDb::exec(u"CREATE USER IF NOT EXISTS 'Bram'@'%' IDENTIFIED BY 'x';"
                 "CREATE USER IF NOT EXISTS 'bram@x'@'%' IDENTIFIED BY 'x';"
                 "GRANT torvakdb_consultant TO 'Bram'@'%', 'bram@x'@'%';"
                 "SET DEFAULT ROLE torvakdb_consultant FOR 'Bram'@'%';"
                 "SET DEFAULT ROLE torvakdb_consultant FOR 'bram@x'@'%';"_qs);
    for (const QString& who : {u"Bram"_qs, u"bram@x"_qs}) {
        QTest::addRow("%s: bram's row", qPrintable(who))
            << who << u"x"_qs << u"SELECT * FROM %1KALMIRO_consultants"_qs;
        QTest::addRow("%s: bram's reports", qPrintable(who))
            << who << u"x"_qs << u"SELECT * FROM %1Raporten"_qs;
        QTest::addRow("%s: bram's online flag", qPrintable(who))
            << who << u"x"_qs << u"UPDATE %1KALMIRO_consultants SET isONLINE = 'ONLINE'"_qs;
    }
    // A password expired by the office: no statement before a new one.
    QTest::newRow("expired password")
        << u"carla"_qs << u"start"_qs << u"SELECT * FROM %1KALMIRO_consultants"_qs;
    TestDb::exec(u"CREATE USER IF NOT EXISTS 'carla'@'%' IDENTIFIED VIA ed25519 USING PASSWORD('start') "
                 "PASSWORD EXPIRE; GRANT torvakdb_consultant TO 'carla'@'%';"_qs);
}

void TestConsultantAccounts::refused()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, sql);
    const QStringList before = bramsRows();
    int number = 0;
    qsizetype found = 0;
    QString said;
    try {
        auto c = connectAs(user, password);
        try {
            found = c->exec(QString(sql).replace(u"%1"_qs, kEigen));
        } catch (const DbError& e) {
            number = e.number();
            said = QString::fromUtf8(e.what());
        }
        said += c->warnings();
    } catch (const DbError& e) {
        number = e.number();
        said = QString::fromUtf8(e.what());
    }
    // Nothing of bram's row in an answer, a warning or an error text.
    for (const QString& secret : {u"1306,80"_qs, u"Bram  Peters"_qs, u"00:11:22:33:44:55"_qs, u"welkom"_qs})
        QVERIFY2(!said.contains(secret), qPrintable(said));
    // Refused (1044 database, 1142 table, 1143 column, 1054 no such column
    // in the view, 1227 global right, 1698 role, 1369 check option, 1370
    // routine, 1644 trigger, 1862 expired, 4151 the program's account
    // locked), or nothing of anyone else's found.
    QVERIFY2(number != 0 || found == 0, qPrintable(QString::number(found)));
    QVERIFY2(
        number == 0 ||
            QList<int>({1044, 1054, 1142, 1143, 1227, 1698, 1369, 1370, 1644, 1862, 4151}).contains(number),
        qPrintable(QString::number(number)));
    QCOMPARE(bramsRows(), before);
}

// Whatever anna calls in a transaction she leaves open holds nothing of
// bram's: each call ends her transaction and its own before it answers.
// bram walks his road within a 1-second lock wait meanwhile.
void TestConsultantAccounts::openTransactionLeavesOthersFree_data()
{
    QTest::addColumn<QString>("annasCall");
    QTest::addColumn<QString>("bramsCall");
    const QString action = u"UNHEX(REPLACE(UUID(), '-', ''))"_qs;
    const QStringList annas{
        u"CALL %1aanmelden('x', 'x', '', '', '', '', '', '')"_qs,
        u"CALL %1project_kiezen('0042-GLAS', '[\"2026_01_0042-GLAS\"]')"_qs,
        u"CALL %1maand_openen('2026_01_0042-GLAS')"_qs,
        u"CALL %1opslaan("_qs + action + u", '2026_09_0042-GLAS', 0, '', '', '{}')"_qs,
        u"CALL %1declareren("_qs + action +
            u", '2026_10_0042-GLAS', 0, '', '', '{}', '261000421700007', '{}')"_qs,
        u"CALL %1jaaroverzicht('2026', '[\"0042-GLAS\"]')"_qs,
        u"CALL %1eerdere_declaraties('17', '', '2026', '12')"_qs,
        u"CALL %1afmelden('x')"_qs,
    };
    const QStringList brams{
        u"CALL %1aanmelden('y', 'y', '', '', '', '', '', '')"_qs,
        u"CALL %1opslaan("_qs + action + u", '2026_04_0051-DIJK', 0, '', '', '{}')"_qs,
        u"CALL %1opslaan("_qs + action + u", '2026_01_0051-DIJK', 0, '', '', '{}')"_qs,
        u"CALL %1declareren("_qs + action +
            u", '2026_05_0051-DIJK', 0, '', '', '{}', '260500513100009', '{}')"_qs,
        u"CALL %1maand_openen('2026_04_0051-DIJK')"_qs,
        u"CALL %1afmelden('y')"_qs,
    };
    for (int a = 0; a < annas.size(); ++a) {
        for (int b = 0; b < brams.size(); ++b)
            QTest::addRow("anna's call %d, bram's call %d", a, b) << annas[a] << brams[b];
    }
}

void TestConsultantAccounts::openTransactionLeavesOthersFree()
{
    QFETCH(QString, annasCall);
    QFETCH(QString, bramsCall);
    if (!m_anna)
        m_anna = connectAs(u"anna"_qs, u"geheim"_qs);
    // Without autocommit, at the isolation that locks the most: the calls
    // choose their own.
    m_anna->exec(u"SET SESSION autocommit = 0"_qs);
    m_anna->exec(u"SET SESSION TRANSACTION ISOLATION LEVEL SERIALIZABLE"_qs);
    const auto asBefore = qScopeGuard([this] {
        m_anna->exec(u"SET SESSION autocommit = 1"_qs);
        m_anna->exec(u"SET SESSION TRANSACTION ISOLATION LEVEL REPEATABLE READ"_qs);
    });
    if (!m_bram) {
        m_bram = connectAs(u"bram"_qs, u"welkom"_qs);
        m_bram->exec(u"SET SESSION innodb_lock_wait_timeout = 1"_qs);
    }
    Account* anna = m_anna.get();
    Account* bram = m_bram.get();
    anna->exec(u"START TRANSACTION"_qs);
    anna->exec(QString(annasCall).replace(u"%1"_qs, kEigen));
    // Nothing of the call is left open, not even without autocommit.
    QCOMPARE(TestDb::rows(
                 u"SELECT COUNT(*) FROM information_schema.INNODB_TRX t JOIN "
                 "information_schema.PROCESSLIST p ON p.ID = t.trx_mysql_thread_id WHERE p.USER = 'anna'"_qs),
             QStringList{u"0"_qs});
    QString blocked;
    QElapsedTimer clock;
    clock.start();
    try {
        bram->exec(QString(bramsCall).replace(u"%1"_qs, kEigen));
    } catch (const DbError& e) {
        blocked = QString::fromUtf8(e.what());
    }
    const qint64 ms = clock.elapsed();
    anna->exec(u"ROLLBACK"_qs);
    QVERIFY2(blocked.isEmpty(), qPrintable(blocked));
    QVERIFY2(ms < 1000, qPrintable(QString::number(ms)));
}

// What one account can take of the server: connections (room for the
// kept one, the ticker's and both again while the server still holds the
// two of a lost line) and statement time.
void TestConsultantAccounts::limits_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("connections"); // one more is refused (1226)
    QTest::addColumn<QString>("burner");  // cut off by the statement limit
    QTest::addColumn<int>("cutAfterMs");

    // A consultant: the kept connection and the ticker's, and the same two
    // again for each of four lost lines the server still holds.
    QTest::newRow("consultant, benchmark")
        << u"anna"_qs << u"geheim"_qs << 10 << u"SELECT BENCHMARK(4000000000, SHA2('x', 256))"_qs << 8000;
    QTest::newRow("consultant, sleep") << u"bram"_qs << u"welkom"_qs << 10 << u"SELECT SLEEP(60)"_qs << 8000;
}

void TestConsultantAccounts::limits()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(int, connections);
    QFETCH(QString, burner);
    QFETCH(int, cutAfterMs);
    m_anna.reset();
    m_bram.reset();
    QTest::qWait(200); // the server counts a closed connection out
    std::vector<std::unique_ptr<Account>> open;
    for (int i = 0; i < connections; ++i)
        open.push_back(connectAs(user, password));
    int number = 0;
    try {
        connectAs(user, password);
    } catch (const DbError& e) {
        number = e.number();
    }
    QCOMPARE(number, 1226);

    QElapsedTimer t;
    t.start();
    try {
        open.front()->exec(burner);
    } catch (const DbError&) {
    }
    QVERIFY2(t.elapsed() < cutAfterMs + 1500, qPrintable(QString::number(t.elapsed())));
}

// The office's check lists what would open the accounts up, and the
// set-up refuses to finish while it lists anything.
void TestConsultantAccounts::controleFinds_data()
{
    QTest::addColumn<QString>("make");
    QTest::addColumn<QString>("finding");
    QTest::addColumn<QString>("undo");
    QTest::addColumn<bool>("blocks"); // the switch refuses to finish

    QTest::newRow("anonymous account with a PUBLIC grant")
        << u"CREATE USER ''@'%'; GRANT SELECT ON torvakdb_TORVAKeigen.* TO PUBLIC"_qs << u"anoniem account"_qs
        << u"DROP USER ''@'%'; REVOKE SELECT ON torvakdb_TORVAKeigen.* FROM PUBLIC"_qs << true;
    QTest::newRow("PUBLIC grant by a pattern")
        << u"GRANT SELECT ON `t%`.* TO PUBLIC"_qs << u"recht voor PUBLIC"_qs
        << u"REVOKE SELECT ON `t%`.* FROM PUBLIC"_qs << true;
    QTest::newRow("PUBLIC grant") << u"GRANT SELECT ON torvakdb_TORVAKdata.KALMIRO_berichten TO PUBLIC"_qs
                                  << u"recht voor PUBLIC"_qs
                                  << u"REVOKE SELECT ON torvakdb_TORVAKdata.KALMIRO_berichten FROM PUBLIC"_qs
                                  << true;
    QTest::newRow("proxy grant") << u"GRANT PROXY ON 'anna'@'%' TO 'bram'@'%'"_qs << u"PROXY-recht"_qs
                                 << u"REVOKE PROXY ON 'anna'@'%' FROM 'bram'@'%'"_qs << true;
    QTest::newRow("role with admin option")
        << u"GRANT torvakdb_consultant TO 'bram'@'%' WITH ADMIN OPTION"_qs << u"rol met ADMIN OPTION"_qs
        << u"REVOKE ADMIN OPTION FOR torvakdb_consultant FROM 'bram'@'%'"_qs << true;
    QTest::newRow("row without account")
        << u"INSERT INTO torvakdb_TORVAKdata.KALMIRO_consultants (LOGIN, consultantnummer) VALUES ('dirk', '0077')"_qs
        << u"rij zonder account"_qs
        << u"DELETE FROM torvakdb_TORVAKdata.KALMIRO_consultants WHERE LOGIN = 'dirk'"_qs << true;
    QTest::newRow("account without row")
        << u"CREATE USER 'eva'@'%'; GRANT torvakdb_consultant TO 'eva'@'%'"_qs << u"account zonder rij"_qs
        << u"DROP USER 'eva'@'%'"_qs << true;
    QTest::newRow("two rows, one LOGIN")
        << u"INSERT INTO torvakdb_TORVAKdata.KALMIRO_consultants (LOGIN, consultantnummer) VALUES ('anna', '0078')"_qs
        << u"dubbele LOGIN"_qs
        << u"DELETE FROM torvakdb_TORVAKdata.KALMIRO_consultants WHERE consultantnummer = '0078'"_qs << true;
    QTest::newRow("LOGIN with a trailing blank")
        << u"INSERT INTO torvakdb_TORVAKdata.KALMIRO_consultants (LOGIN, consultantnummer) VALUES ('fien ', '0079')"_qs
        << u"LOGIN kan geen account worden: spaties aan het eind"_qs
        << u"DELETE FROM torvakdb_TORVAKdata.KALMIRO_consultants WHERE consultantnummer = '0079'"_qs << true;
    QTest::newRow("LOGIN beyond utf8mb3")
        << u"INSERT INTO torvakdb_TORVAKdata.KALMIRO_consultants (LOGIN, consultantnummer) VALUES ('gijs\U0001F600', '0080')"_qs
        << u"LOGIN kan geen account worden: tekens buiten utf8mb3"_qs
        << u"DELETE FROM torvakdb_TORVAKdata.KALMIRO_consultants WHERE consultantnummer = '0080'"_qs << true;
    QTest::newRow("a consultant's own right beside the role")
        << u"GRANT SELECT ON torvakdb_TORVAKdata.KALMIRO_consultants TO 'bram'@'%'"_qs
        << u"recht van een consultant buiten de rol"_qs
        << u"REVOKE SELECT ON torvakdb_TORVAKdata.KALMIRO_consultants FROM 'bram'@'%'"_qs << true;
    QTest::newRow("the role with more than the views")
        << u"GRANT DELETE ON torvakdb_TORVAKeigen.Raporten TO torvakdb_consultant"_qs
        << u"recht van de rol buiten de procedures"_qs
        << u"REVOKE DELETE ON torvakdb_TORVAKeigen.Raporten FROM torvakdb_consultant"_qs << true;
    const QString tlsMark = u"CREATE TABLE torvakdb_TORVAKbeheer.zonder_tls (sinds TIMESTAMP)"_qs;
    QTest::newRow("a server without TLS, without the office's mark")
        << u"DROP TABLE torvakdb_TORVAKbeheer.zonder_tls"_qs << u"server biedt geen TLS"_qs << tlsMark
        << true;
    // Listed, but no reason to refuse: the switch takes such rights away
    // itself, and a rate column is the office's to widen.
    QTest::newRow("the program's account with more at another host")
        << u"CREATE USER 'torvakdb'@'127.0.0.1' IDENTIFIED BY 'x';"
           u"GRANT ALL PRIVILEGES ON torvakdb_TORVAKdata.* TO 'torvakdb'@'127.0.0.1'"_qs
        << u"recht van het programma-account"_qs << u"DROP USER 'torvakdb'@'127.0.0.1'"_qs << false;
    QTest::newRow("the program's account with a server right")
        << u"GRANT PROCESS ON *.* TO 'torvakdb'@'%'"_qs << u"recht van het programma-account"_qs
        << u"GRANT USAGE ON *.* TO 'torvakdb'@'%'"_qs << false;
    QTest::newRow("the program's account with a report table again")
        << u"GRANT SELECT ON torvakdb_TORVAKraporten.Raporten TO 'torvakdb'@'%'"_qs
        << u"recht van het programma-account"_qs << u"GRANT USAGE ON *.* TO 'torvakdb'@'%'"_qs << false;
    QTest::newRow("the program's account may hand its right on")
        << u"GRANT SELECT ON torvakdb_TORVAKeigen.KALMIRO_berichten TO 'torvakdb'@'%' WITH GRANT OPTION"_qs
        << u"recht van het programma-account"_qs << u"GRANT USAGE ON *.* TO 'torvakdb'@'%'"_qs << false;
    QTest::newRow("a rate column of whole euros")
        << u"ALTER TABLE torvakdb_TORVAKdeclaraties.Declaraties MODIFY peruurIN INT NULL"_qs
        << u"tariefkolom zonder centen"_qs
        << u"ALTER TABLE torvakdb_TORVAKdeclaraties.Declaraties MODIFY peruurIN DECIMAL(10,2) NULL"_qs
        << false;
}

void TestConsultantAccounts::controleFinds()
{
    QFETCH(QString, make);
    QFETCH(QString, finding);
    QFETCH(QString, undo);
    QFETCH(bool, blocks);
    TestDb::exec(u"DROP USER IF EXISTS 'Bram'@'%', 'bram@x'@'%', 'carla'@'%'"_qs);
    QCOMPARE(TestDb::rows(u"SELECT * FROM torvakdb_TORVAKbeheer.bevindingen"_qs), QStringList{});
    TestDb::exec(make);
    const QStringList found = TestDb::rows(u"SELECT bevinding FROM torvakdb_TORVAKbeheer.bevindingen"_qs);
    const bool refusedToFinish = !officeRuns("switch_shared_account.sql");
    TestDb::exec(undo);
    QVERIFY2(found.contains(finding), qPrintable(found.join(u", "_qs)));
    QCOMPARE(refusedToFinish, blocks);
    const QStringList left = TestDb::rows(u"SELECT * FROM torvakdb_TORVAKbeheer.bevindingen"_qs);
    QVERIFY2(left.isEmpty(), qPrintable(left.join(u", "_qs)));
}

// The office's commands and scripts change consultants' accounts only, and
// never hand out a password a copy of the program could read.
void TestConsultantAccounts::officeCommandsLeaveOthersAlone_data()
{
    // "run:" a script, "refused:" a script that must change nothing, "mode:" the server's
    // sql_mode, "zero:" SQL that must count 0, "open:" an account's connection kept,
    // "ended": that connection gone, else SQL
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("refusal");   // empty: done
    QTest::addColumn<QStringList>("opens"); // "account|password"
    QTest::addColumn<QStringList>("shut");
    const QString admin = u"beheer|Sterk-99"_qs;
    QTest::newRow("a new consultant under an administrator's name")
        << QStringList{u"CALL torvakdb_TORVAKbeheer.consultant_toevoegen('beheer', 'Nieuw-1', '0097', '', "
                       u"'B', '', "
                       "'Beheer', FALSE)"_qs}
        << u"geen consultant is"_qs << QStringList{admin} << QStringList{u"beheer|Nieuw-1"_qs};
    QTest::newRow("access for a row under an administrator's name")
        << QStringList{u"INSERT INTO torvakdb_TORVAKdata.KALMIRO_consultants (LOGIN, consultantnummer) "
                       u"VALUES "
                       "('beheer', '0098')"_qs,
                       u"CALL torvakdb_TORVAKbeheer.toegang_geven('beheer', 'Nieuw-1', FALSE)"_qs}
        << u"geen consultant is"_qs << QStringList{admin} << QStringList{u"beheer|Nieuw-1"_qs};
    // Locked by the switch: it cannot show that it still opens, only that it is there.
    QTest::newRow("the program's account revoked")
        << QStringList{u"CALL torvakdb_TORVAKbeheer.toegang_intrekken('torvakdb')"_qs,
                       u"zero:SELECT 2 - COUNT(*) FROM mysql.global_priv WHERE User = 'torvakdb'"_qs}
        << u"geen consultant"_qs << QStringList{} << QStringList{};
    QTest::newRow("an administrator revoked")
        << QStringList{u"CALL torvakdb_TORVAKbeheer.toegang_intrekken('beheer')"_qs} << u"geen consultant"_qs
        << QStringList{admin} << QStringList{};
    QTest::newRow("accounts for the rows there are: never the table's password")
        << QStringList{u"INSERT INTO torvakdb_TORVAKdata.KALMIRO_consultants (LOGIN, PASWOORD, "
                       u"consultantnummer) "
                       "VALUES ('dirk', 'dirk-oud', '0077')"_qs,
                       u"run:upgrade_accounts_existing.sql"_qs}
        << QString() << QStringList{admin} << QStringList{u"dirk|dirk-oud"_qs};
    QTest::newRow("a backslash and a quote on a server without backslash escapes")
        << QStringList{u"mode:NO_BACKSLASH_ESCAPES"_qs, u"run:upgrade_accounts.sql"_qs, u"mode:"_qs,
                       u"CALL torvakdb_TORVAKbeheer.consultant_toevoegen('carla', 'a\\\\''b', '0096', '', "
                       u"'C', '', "
                       "'Carla', FALSE)"_qs}
        << QString() << QStringList{admin, u"carla|a\\'b"_qs} << QStringList{u"carla|a"_qs};
    QTest::newRow("every script and a command on a server with ANSI_QUOTES")
        << QStringList{u"mode:ANSI_QUOTES"_qs,
                       u"run:upgrade.sql"_qs,
                       u"run:upgrade_accounts.sql"_qs,
                       u"run:upgrade_accounts_existing.sql"_qs,
                       u"run:switch_shared_account.sql"_qs,
                       u"mode:"_qs,
                       u"CALL torvakdb_TORVAKbeheer.consultant_toevoegen('carla', 'a\"b''c', '0096', '', "
                       u"'C', "
                       u"'', 'Carla', FALSE)"_qs}
        << QString() << QStringList{admin, u"carla|a\"b'c"_qs} << QStringList{u"carla|a"_qs};
    QTest::newRow("the accounts script on a server without TLS, without the office's mark")
        << QStringList{u"DROP TABLE torvakdb_TORVAKbeheer.zonder_tls"_qs, u"refused:upgrade_accounts.sql"_qs,
                       u"CREATE TABLE torvakdb_TORVAKbeheer.zonder_tls (sinds TIMESTAMP)"_qs}
        << QString() << QStringList{admin} << QStringList{};
    const QString program = u"torvakdb|"_qs + QLatin1String(kPassword);
    const QString block = u"CALL torvakdb_TORVAKbeheer.blokkeren('bram')"_qs;
    const QString reset = u"CALL torvakdb_TORVAKbeheer.wachtwoord_herstellen('bram', 'Nieuw-2')"_qs;
    QTest::newRow("a blocked consultant's password reset: still blocked")
        << QStringList{block, reset} << QString() << QStringList{}
        << QStringList{u"bram|Nieuw-2"_qs, u"bram|welkom"_qs};
    QTest::newRow("reset, then unblocked: the new one-time password")
        << QStringList{block, reset, u"CALL torvakdb_TORVAKbeheer.deblokkeren('bram')"_qs} << QString()
        << QStringList{u"bram|Nieuw-2"_qs} << QStringList{u"bram|welkom"_qs};
    QTest::newRow("an administrator blocked")
        << QStringList{u"CALL torvakdb_TORVAKbeheer.blokkeren('beheer')"_qs}
        << u"geen account van een consultant"_qs << QStringList{admin} << QStringList{};
    QTest::newRow("a LOGIN renamed: account and row together")
        << QStringList{u"CALL torvakdb_TORVAKbeheer.login_hernoemen('bram', 'bram.peters')"_qs,
                       u"zero:SELECT COUNT(*) FROM torvakdb_TORVAKdata.KALMIRO_consultants WHERE LOGIN = 'bram'"_qs}
        << QString() << QStringList{u"bram.peters|welkom"_qs} << QStringList{u"bram|welkom"_qs};
    QTest::newRow("back to the shared account, then the rights script")
        << QStringList{u"run:switch_back_shared_account.sql"_qs, u"run:05_rechten.sql"_qs,
                       u"zero:SELECT 1 - COUNT(*) FROM mysql.db WHERE User = 'torvakdb' AND Host = '%' AND "
                       u"Db = "
                       "'torvakdb\\\\_TORVAKdata' AND Select_priv = 'Y'"_qs,
                       u"zero:SELECT COUNT(*) FROM mysql.global_priv WHERE User = 'torvakdb' AND "
                       "JSON_VALUE(Priv, '$.max_user_connections') <> 0"_qs}
        << QString() << QStringList{} << QStringList{};
    QTest::newRow("a saved report corrected by the office gets a new stamp")
        << QStringList{u"CALL torvakdb_TORVAKbeheer.raport_gecorrigeerd('2026_04_0051-DIJK')"_qs,
                       u"zero:SELECT COUNT(*) FROM torvakdb_TORVAKraporten.Raporten WHERE Projectnaam = "
                       "'2026_04_0051-DIJK' AND laatstgewijzigd NOT LIKE 'kantoor %'"_qs,
                       u"CALL torvakdb_TORVAKbeheer.raport_gecorrigeerd('2026_04_0051-X')"_qs}
        << u"Geen raport"_qs << QStringList{admin} << QStringList{};
    // What `declaraties --hash-password --ed25519` prints for "welkom1" (the server's own PASSWORD()).
    QTest::newRow("a new consultant with the verifier, not the password")
        << QStringList{u"CALL torvakdb_TORVAKbeheer.consultant_toevoegen('eva', "
                       "'ed25519:wIxPVkpw3M6mTBee2HvQKHqIa+/ZV9tzOJGmTaYfApQ', '0095', '', 'E', '', 'Eva', FALSE)"_qs}
        << QString() << QStringList{u"eva|welkom1"_qs}
        << QStringList{u"eva|ed25519:wIxPVkpw3M6mTBee2HvQKHqIa+/ZV9tzOJGmTaYfApQ"_qs};
    QTest::newRow("a consultant number of four characters and five bytes")
        << QStringList{u"CALL torvakdb_TORVAKbeheer.consultant_toevoegen('eva', 'Nieuw-1', '00\u00e91', '', "
                       u"'E', '', "
                       "'Eva', FALSE)"_qs}
        << u"geen vier tekens"_qs << QStringList{} << QStringList{u"eva|Nieuw-1"_qs};
    QTest::newRow("a leaver: the open program ends, no script gives the access back")
        << QStringList{u"open:bram|welkom"_qs, u"CALL torvakdb_TORVAKbeheer.toegang_intrekken('bram')"_qs,
                       u"ended"_qs, u"run:upgrade_accounts_existing.sql"_qs,
                       u"run:switch_shared_account.sql"_qs}
        << QString() << QStringList{admin} << QStringList{u"bram|welkom"_qs};
    QTest::newRow("the old rights script on a switched server")
        << QStringList{u"refused:05_rechten.sql"_qs,
                       u"run:upgrade.sql"_qs,
                       u"run:upgrade_accounts.sql"_qs,
                       u"run:switch_shared_account.sql"_qs,
                       u"zero:SELECT COUNT(*) FROM mysql.db WHERE User = 'torvakdb'"_qs,
                       u"zero:SELECT COUNT(*) FROM mysql.tables_priv WHERE User = 'torvakdb'"_qs,
                       u"zero:SELECT COUNT(*) FROM mysql.global_priv WHERE User = 'torvakdb' AND "
                       "COALESCE(JSON_VALUE(Priv, '$.account_locked'), '0') <> '1'"_qs}
        << QString() << QStringList{} << QStringList{program};
    QTest::newRow("the program's account at a subnet too, with every right: listed, then narrowed")
        << QStringList{u"CREATE USER 'torvakdb'@'192.168.1.%' IDENTIFIED BY '"_qs + QLatin1String(kPassword) +
                           u"'; GRANT ALL PRIVILEGES ON *.* TO 'torvakdb'@'192.168.1.%'"_qs,
                       u"zero:SELECT COUNT(*) = 0 FROM torvakdb_TORVAKbeheer.bevindingen WHERE bevinding = "
                       "'recht van het programma-account' AND LOCATE('192.168.1.', naam) > 0"_qs,
                       u"run:upgrade_accounts.sql"_qs,
                       u"run:switch_shared_account.sql"_qs,
                       u"zero:SELECT COUNT(*) FROM torvakdb_TORVAKbeheer.bevindingen"_qs,
                       u"zero:SELECT COUNT(*) FROM mysql.tables_priv WHERE User = 'torvakdb'"_qs,
                       u"zero:SELECT COUNT(*) FROM mysql.global_priv WHERE User = 'torvakdb' AND "
                       "COALESCE(JSON_VALUE(Priv, '$.account_locked'), '0') <> '1'"_qs}
        << QString() << QStringList{} << QStringList{program};
    QTest::newRow("the program's account at localhost and 127.0.0.1 only")
        << QStringList{u"CREATE USER 'torvakdb'@'127.0.0.1' IDENTIFIED BY '"_qs + QLatin1String(kPassword) +
                           u"'; DROP USER 'torvakdb'@'%'"_qs,
                       u"run:upgrade_accounts.sql"_qs,
                       u"run:switch_shared_account.sql"_qs,
                       u"zero:SELECT COUNT(*) FROM mysql.db WHERE User = 'torvakdb'"_qs,
                       u"zero:SELECT COUNT(*) FROM mysql.tables_priv WHERE User = 'torvakdb'"_qs,
                       u"zero:SELECT COUNT(*) FROM mysql.global_priv WHERE User = 'torvakdb' AND "
                       "COALESCE(JSON_VALUE(Priv, '$.account_locked'), '0') <> '1'"_qs}
        << QString() << QStringList{} << QStringList{program};
}

void TestConsultantAccounts::officeCommandsLeaveOthersAlone()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, refusal);
    QFETCH(QStringList, opens);
    QFETCH(QStringList, shut);
    const QString mode = TestDb::rows(u"SELECT @@GLOBAL.sql_mode"_qs).value(0);
    TestDb::exec(u"CREATE USER 'beheer'@'%' IDENTIFIED BY 'Sterk-99';"
                 "GRANT ALL PRIVILEGES ON *.* TO 'beheer'@'%' WITH GRANT OPTION"_qs);
    const auto restore = qScopeGuard([&mode] {
        TestDb::exec(u"SET GLOBAL sql_mode = ?"_qs, {mode});
        TestDb::exec(
            u"DROP USER IF EXISTS 'beheer'@'%', 'dirk'@'%', 'carla'@'%';"
            "DELETE FROM torvakdb_TORVAKdata.KALMIRO_consultants WHERE LOGIN IN ('beheer', 'dirk', 'carla', "
            "'eva');"
            "DELETE FROM torvakdb_TORVAKraporten.Sloten WHERE sleutel LIKE 'factuur:0000%' AND sleutel "
            "NOT IN ('factuur:00000042', 'factuur:00000051');"
            "UPDATE torvakdb_TORVAKraporten.Raporten SET laatstgewijzigd = NULL WHERE laatstgewijzigd LIKE "
            "'kantoor %'"_qs);
        // The suite's own layout: the program's account at '%' and localhost, bram with his account.
        TestDb::exec(
            u"CREATE USER IF NOT EXISTS 'torvakdb'@'%' IDENTIFIED BY '"_qs + QLatin1String(kPassword) +
            u"'; DROP USER IF EXISTS 'torvakdb'@'127.0.0.1', 'torvakdb'@'192.168.1.%', 'bram.peters'@'%', "
            u"'eva'@'%';"
            "UPDATE torvakdb_TORVAKdata.KALMIRO_consultants SET LOGIN = 'bram' WHERE LOGIN = 'bram.peters'"_qs);
        officeRuns("upgrade_accounts.sql");
        TestDb::exec(u"CALL torvakdb_TORVAKbeheer.toegang_geven('bram', 'welkom', FALSE);"
                     "ALTER USER 'bram'@'%' ACCOUNT UNLOCK"_qs);
        officeRuns("switch_shared_account.sql");
    });
    const auto rowCount = [] {
        return TestDb::rows(u"SELECT COUNT(*) FROM torvakdb_TORVAKdata.KALMIRO_consultants"_qs).value(0);
    };
    QString rowsBefore = rowCount();
    QString told;
    std::unique_ptr<Account> kept;
    for (const QString& step : steps) {
        if (step.startsWith(u"open:"_qs)) {
            kept = connectAs(step.mid(5).section(u'|', 0, 0), step.mid(5).section(u'|', 1));
            QCOMPARE(kept->exec(u"SELECT 1"_qs), 1);
            continue;
        }
        if (step == u"ended"_qs) {
            QVERIFY_THROWS_EXCEPTION(DbError, kept->exec(u"SELECT 1"_qs));
            continue;
        }
        if (step.startsWith(u"refused:"_qs)) {
            QVERIFY(!officeRuns(step.mid(8).toUtf8().constData()));
            continue;
        }
        if (step.startsWith(u"zero:"_qs)) {
            QCOMPARE(TestDb::rows(step.mid(5)), QStringList{u"0"_qs});
            continue;
        }
        if (step.startsWith(u"INSERT"_qs)) {
            TestDb::exec(step);
            rowsBefore = rowCount();
            continue;
        }
        if (step.startsWith(u"run:"_qs)) {
            QVERIFY(officeRuns(step.mid(4).toUtf8().constData()));
        } else if (step.startsWith(u"mode:"_qs)) {
            TestDb::exec(u"SET GLOBAL sql_mode = ?"_qs, {step.mid(5)});
        } else {
            try {
                TestDb::exec(step);
            } catch (const std::exception& e) {
                told = QString::fromUtf8(e.what());
            }
        }
    }
    if (refusal.isEmpty())
        QVERIFY2(told.isEmpty(), qPrintable(told));
    else
        QVERIFY2(told.contains(refusal), qPrintable(told));
    // A refused command changed nothing, not even a row.
    if (!refusal.isEmpty())
        QCOMPARE(rowCount(), rowsBefore);
    const auto opensWith = [](const QString& pair) {
        try {
            Account a(pair.section(u'|', 0, 0), pair.section(u'|', 1));
            return true;
        } catch (const DbError& e) {
            return e.number() == 1862 || e.number() == 1820; // right, and expired
        }
    };
    for (const QString& pair : opens)
        QVERIFY2(opensWith(pair), qPrintable(pair));
    for (const QString& pair : shut)
        QVERIFY2(!opensWith(pair), qPrintable(pair));
}

// An office's message table without a key or an `id`: after the switch the
// consultant's call still reads its first row, so "BELANGRIJK:" holds.
void TestConsultantAccounts::messageWithoutKeyAfterTheSwitch()
{
    TestDb::exec(
        u"ALTER TABLE torvakdb_TORVAKdata.KALMIRO_berichten DROP COLUMN id;"
        "DELETE FROM torvakdb_TORVAKdata.KALMIRO_berichten;"
        "INSERT INTO torvakdb_TORVAKdata.KALMIRO_berichten (Bericht) VALUES ('BELANGRIJK: niet declareren')"_qs);
    const auto restore = qScopeGuard([] {
        TestDb::exec(u"ALTER TABLE torvakdb_TORVAKdata.KALMIRO_berichten ADD COLUMN id INT UNSIGNED NOT NULL "
                     "AUTO_INCREMENT PRIMARY KEY FIRST"_qs);
        officeRuns("upgrade_accounts.sql");
    });
    QVERIFY(officeRuns("upgrade_accounts.sql"));
    Connection::Login anna;
    anna.user = u"anna"_qs;
    anna.password = u"geheim"_qs;
    anna.names = TableNames::OwnAccount;
    KeptConnection db(TestDb::server(), {}, ServerWait{}, anna);
    const TickerFetch f = fetchTickerMessage(db);
    QVERIFY2(f.trouble.isEmpty(), qPrintable(f.trouble));
    QCOMPARE(f.message, u"BELANGRIJK: niet declareren"_qs);
}

// The backup recipe of docs/ACCOUNTS.md: a dump without the views'
// database, restored into a new server, and the accounts script run again,
// gives a working office (the consultants' accounts, their rows, the check).
void TestConsultantAccounts::aBackupRestores()
{
    const QString dir = QStringLiteral(DL_BINARY_DIR "/restoredb");
    const QString script = QStringLiteral(DL_SOURCE_DIR "/scripts/dbserver.sh");
    QProcess::execute(script, {u"stop"_qs, dir});
    QDir(dir).removeRecursively();
    const auto stop = qScopeGuard([&] { QProcess::execute(script, {u"stop"_qs, dir}); });
    QProcess dump;
    dump.setStandardOutputFile(dir + u".sql"_qs);
    dump.start(u"mariadb-dump"_qs,
               {u"--no-defaults"_qs, u"--protocol=socket"_qs,
                u"--socket="_qs + QStringLiteral(DL_TESTDB_DIR "/mysqld.sock"), u"-uroot"_qs,
                u"--all-databases"_qs, u"--routines"_qs, u"--triggers"_qs, u"--events"_qs,
                u"--flush-privileges"_qs, u"--ignore-database=torvakdb_TORVAKeigen"_qs});
    QVERIFY(dump.waitForFinished(60000));
    QCOMPARE(dump.exitCode(), 0);
    QCOMPARE(QProcess::execute(script, {u"start"_qs, dir}), 0);
    const auto restoreFrom = [&dir](const QString& file, int* exitCode) {
        QProcess restore;
        restore.setProcessChannelMode(QProcess::MergedChannels);
        restore.start(QStringLiteral(DL_SOURCE_DIR "/schema/restore.sh"),
                      {file, u"--no-defaults"_qs, u"--protocol=socket"_qs,
                       u"--socket="_qs + dir + u"/mysqld.sock"_qs, u"-uroot"_qs});
        restore.waitForFinished(120000);
        *exitCode = restore.exitCode();
        return QString::fromUtf8(restore.readAll());
    };
    // A dump cut off half-way loads nothing.
    QFile whole(dir + u".sql"_qs);
    QVERIFY(whole.open(QIODevice::ReadOnly));
    QFile cut(dir + u"-cut.sql"_qs);
    QVERIFY(cut.open(QIODevice::WriteOnly));
    cut.write(whole.read(whole.size() / 2));
    cut.close();
    int exitCode = 0;
    const QString refused = restoreFrom(cut.fileName(), &exitCode);
    QVERIFY2(exitCode != 0 && refused.contains(u"onvolledig"_qs), qPrintable(refused));
    // The office's recipe: the dump, then what it leaves out, then the check.
    const QString told = restoreFrom(dir + u".sql"_qs, &exitCode);
    QVERIFY2(exitCode == 0, qPrintable(told));
    // The check found nothing: only the closing line after the dump's load.
    QVERIFY2(told.trimmed().startsWith(u"Hersteld uit"_qs), qPrintable(told));

    QFile port(dir + u"/port"_qs);
    QVERIFY(port.open(QIODevice::ReadOnly));
    const ServerAddress there{u"127.0.0.1"_qs, port.readAll().trimmed().toInt()};
    Account anna(u"anna"_qs, u"geheim"_qs, there);
    QCOMPARE(anna.exec(u"CALL aanmelden('x', 'x', '', '', '', '', '', '')"_qs), 1);
    Account bram(u"bram"_qs, u"welkom"_qs, there);
    QCOMPARE(bram.exec(u"CALL eerdere_teksten('[\"2026_03_0051-DIJK\", \"2026_04_0051-DIJK\"]')"_qs), 2);
    QVERIFY_THROWS_EXCEPTION(DbError, Account(u"torvakdb"_qs, QLatin1String(kPassword), there)
                                          .exec(u"SELECT * FROM torvakdb_TORVAKdata.KALMIRO_consultants"_qs));
}

QTEST_MAIN(TestConsultantAccounts)
#include "tst_consultantaccounts.moc"
