// The program's account holds exactly the rights its statements need: every
// action works with them, and what it has no business with is refused by
// the server, whoever sends it with the password every workstation carries.

#include "data/connection.h"
#include "data/dberror.h"
#include "support/testdb.h"
#include "support/workstation.h"

#include <QtTest>

using namespace dl;
using namespace dl::test;

namespace {

const QString kGlas = u"0042-GLAS                Begeleiding aanleg glasvezelnet"_qs;

} // namespace

class TestAccountRights : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void grantsAreExactlyThese();
    void everyActionWorks();
    void refused_data();
    void refused();
};

void TestAccountRights::initTestCase()
{
    // What another test granted for its own tables goes again.
    TestDb::runFile(QStringLiteral(DL_SOURCE_DIR) + QStringLiteral("/schema/05_rechten.sql"));
}

void TestAccountRights::init()
{
    TestDb::loadDemo();
}

void TestAccountRights::grantsAreExactlyThese()
{
    QStringList grants;
    for (const QString& host : {u"%"_qs, u"localhost"_qs}) {
        for (QString g : TestDb::rows(u"SHOW GRANTS FOR 'torvakdb'@'"_qs + host + u'\'')) {
            if (g.startsWith(u"GRANT USAGE ON *.*"_qs))
                continue;
            grants << g.remove(u"@`"_qs + host + u'`').remove(u" TO `torvakdb`"_qs);
        }
    }
    grants.sort();
    QStringList expected{
        u"GRANT INSERT ON `torvakdb_TORVAKdata`.`LOGINconsultant`"_qs,
        u"GRANT INSERT ON `torvakdb_TORVAKdeclaraties`.`Declaraties`"_qs,
        u"GRANT INSERT, UPDATE ON `torvakdb_TORVAKraporten`.`Raporten`"_qs,
        u"GRANT INSERT, UPDATE ON `torvakdb_TORVAKraporten`.`Sloten`"_qs,
        u"GRANT SELECT ON `torvakdb\\_TORVAKraporten`.*"_qs,
        u"GRANT SELECT, LOCK TABLES ON `torvakdb\\_TORVAKdata`.*"_qs,
        u"GRANT SELECT, LOCK TABLES ON `torvakdb\\_TORVAKdeclaraties`.*"_qs,
        u"GRANT UPDATE (`isAANGEMELD`, `isAFGEMELD`, `isONLINE`) ON `torvakdb_TORVAKdata`.`KALMIRO_consultants`"_qs,
    };
    expected += expected;
    expected.sort();
    QCOMPARE(grants, expected);
}

void TestAccountRights::everyActionWorks()
{
    Workstation w(TestDb::server());
    QVERIFY(w.logIn(u"anna"_qs, u"geheim"_qs));
    QVERIFY(w.chooseProject(kGlas));
    w.pickMonth(u"2026"_qs, u"03 Maart "_qs);
    w.fillIn(u"rechten"_qs);
    w.save.run();
    QVERIFY2(w.messages.last().startsWith(u"Rapport is opgeslagen "_qs), qPrintable(w.messages.last()));
    w.save.run(); // over the row that is there now
    QVERIFY2(w.messages.last().startsWith(u"Rapport is opgeslagen "_qs), qPrintable(w.messages.last()));
    w.messages.choiceAnswers.enqueue(1); // whatever the check finds, the consultant goes on
    w.declare.run();
    QVERIFY2(!w.lastWasError(), qPrintable(w.messages.last()));
    QVERIFY(w.logOff());

    QCOMPARE(TestDb::rows(u"SELECT afgewerkt FROM torvakdb_TORVAKraporten.Raporten"_qs),
             QStringList{u"ja"_qs});
    QCOMPARE(TestDb::count(u"torvakdb_TORVAKdeclaraties.Declaraties"_qs), 1);
    QCOMPARE(TestDb::count(u"torvakdb_TORVAKdata.LOGINconsultant"_qs), 1);
    QCOMPARE(
        TestDb::rows(u"SELECT isONLINE FROM torvakdb_TORVAKdata.KALMIRO_consultants WHERE LOGIN = 'anna'"_qs),
        QStringList{u"OFFLINE"_qs});
}

void TestAccountRights::refused_data()
{
    QTest::addColumn<QString>("sql");
    QTest::newRow("delete a report") << u"DELETE FROM torvakdb_TORVAKraporten.Raporten"_qs;
    QTest::newRow("delete a declaration") << u"DELETE FROM torvakdb_TORVAKdeclaraties.Declaraties"_qs;
    QTest::newRow("delete a lock row") << u"DELETE FROM torvakdb_TORVAKraporten.Sloten"_qs;
    QTest::newRow("drop a table") << u"DROP TABLE torvakdb_TORVAKdeclaraties.Declaraties"_qs;
    QTest::newRow("drop a database") << u"DROP DATABASE torvakdb_TORVAKraporten"_qs;
    QTest::newRow("rewrite a password")
        << u"UPDATE torvakdb_TORVAKdata.KALMIRO_consultants SET PASWOORD = 'x' WHERE LOGIN = 'anna'"_qs;
    QTest::newRow("rewrite a login name")
        << u"UPDATE torvakdb_TORVAKdata.KALMIRO_consultants SET LOGIN = 'x' WHERE LOGIN = 'anna'"_qs;
    QTest::newRow("rewrite a declaration")
        << u"UPDATE torvakdb_TORVAKdeclaraties.Declaraties SET totaal = '0,00'"_qs;
    QTest::newRow("change a rate") << u"UPDATE torvakdb_TORVAKdata.KALMIRO_projecten SET "
                                      "VerkoopDagtariefConsultant = 1"_qs;
    QTest::newRow("add a consultant")
        << u"INSERT INTO torvakdb_TORVAKdata.KALMIRO_consultants (LOGIN, PASWOORD) VALUES ('x', 'y')"_qs;
    QTest::newRow("alter a table") << u"ALTER TABLE torvakdb_TORVAKraporten.Raporten ADD COLUMN x INT"_qs;
    QTest::newRow("create a table") << u"CREATE TABLE torvakdb_TORVAKraporten.x (a INT)"_qs;
    QTest::newRow("create a trigger")
        << u"CREATE TRIGGER torvakdb_TORVAKraporten.x BEFORE INSERT ON torvakdb_TORVAKraporten.Raporten "
           "FOR EACH ROW SET NEW.afgewerkt = 'ja'"_qs;
}

void TestAccountRights::refused()
{
    QFETCH(QString, sql);
    const QStringList before = TestDb::rows(
        u"SELECT (SELECT COUNT(*) FROM torvakdb_TORVAKraporten.Raporten), "
        "(SELECT GROUP_CONCAT(PASWOORD, LOGIN) FROM torvakdb_TORVAKdata.KALMIRO_consultants)"_qs);
    Connection c(TestDb::server(), Database::Data);
    int number = 0;
    try {
        c.exec(sql);
    } catch (const DbError& e) {
        number = e.number();
    }
    // 1142 table, 1143 column, 1044 database, 1227 needs a global right.
    QVERIFY2(QList<int>({1142, 1143, 1044, 1227}).contains(number), qPrintable(QString::number(number)));
    QCOMPARE(TestDb::rows(
                 u"SELECT (SELECT COUNT(*) FROM torvakdb_TORVAKraporten.Raporten), "
                 "(SELECT GROUP_CONCAT(PASWOORD, LOGIN) FROM torvakdb_TORVAKdata.KALMIRO_consultants)"_qs),
             before);
}

QTEST_MAIN(TestAccountRights)
#include "tst_accountrights.moc"
