// Declaring against the test server: the 28 columns, the report and the
// declaration written together or not at all, one declaration per month when
// workstations race, and unique invoice numbers.

#include "declaration/reportrecord.h"
#include "submit/declarationrow.h"
#include "submit/declarationstore.h"
#include "submit/reportstore.h"
#include "support/testdb.h"

#include <QHash>
#include <QThread>
#include <QtTest>

#include <latch>
#include <memory>

using namespace dl;
using namespace dl::submit;
using dl::test::TestDb;

namespace {

const QString kReports = u"torvakdb_TORVAKraporten.Raporten"_qs;
const QString kDeclarations = u"torvakdb_TORVAKdeclaraties.Declaraties"_qs;

Values reportTagged(const QString& tag)
{
    Values out;
    for (const report::Binding& b : report::controlBindings())
        out.append({b.column, QString(tag + u' ' + b.column)});
    return out;
}

// The controls of a declared March 2008, as the form would hold them.
QHash<QString, QString> formTexts(const QString& projectNumber)
{
    return {
        {u"Text1"_qs, u"12"_qs},
        {u"Text5"_qs, u"7"_qs},
        {u"Text6"_qs, u"Hollands Glas BV"_qs},
        {u"Text2"_qs, u"Glasvezel Noord"_qs},
        {u"Text38"_qs, projectNumber},
        {u"Text19"_qs, u"7,5"_qs},
        {u"Text21"_qs, u"487,50"_qs},
        {u"Text14"_qs, u"120"_qs},
        {u"Text16"_qs, u"42,00"_qs},
        {u"Text13"_qs, u"12,50"_qs},
        {u"Text12"_qs, u"Parkeren "_qs},
        {u"Text17"_qs, u"542,00"_qs},
        {u"Text28"_qs, u"108,40"_qs},
        {u"Text29"_qs, u"650,40"_qs},
        {u"Text18"_qs, u"GEEN\r\nregel twee"_qs},
        {u"Text39"_qs, u"712,50"_qs},
        {u"Text40"_qs, u"767,00"_qs},
        {u"Text41"_qs, u"153,40"_qs},
        {u"Text42"_qs, u"1.920,40"_qs},
    };
}

Values declarationFor(const QString& projectNumber, const QVariant& rateIn = 72.5,
                      const QVariant& rateOut = 95.0)
{
    const QHash<QString, QString> texts = formTexts(projectNumber);
    DeclarationSource source{u"Ir. Anna de Vries"_qs,      u"2008"_qs, u"03 Maart "_qs, rateIn, rateOut,
                             u"07-maart-2008  14:05:09"_qs};
    return declarationRow([&](const QString& control) { return texts.value(control); }, source);
}

void insertReport(const QString& key, const QString& afgewerkt, const QString& title)
{
    TestDb::exec(u"INSERT INTO "_qs + kReports +
                     u" (Projectnaam, afgewerkt, bestandsnaam) VALUES (?, ?, ?)"_qs,
                 {key, afgewerkt, title});
}

QStringList reportRows()
{
    return TestDb::rows(u"SELECT Projectnaam, afgewerkt, bestandsnaam FROM "_qs + kReports +
                        u" ORDER BY id"_qs);
}

QStringList declarationRows()
{
    return TestDb::rows(u"SELECT factuurnummer, Projectnaam FROM "_qs + kDeclarations + u" ORDER BY id"_qs);
}

} // namespace

class TestDeclarationStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void allColumnsOfTheFirstDeclaration_data();
    void allColumnsOfTheFirstDeclaration();
    void savedReportBecomesDeclared();
    void declaredMonthIsRefusedAfterwards();
    void failureLeavesBothTablesAsTheyWere_data();
    void failureLeavesBothTablesAsTheyWere();
    void invoiceNumberClash();
    void raceForOneMonth_data();
    void raceForOneMonth();
};

void TestDeclarationStore::init()
{
    TestDb::reset();
}

void TestDeclarationStore::cleanup()
{
    TestDb::exec(u"DROP TRIGGER IF EXISTS torvakdb_TORVAKdeclaraties.refuse_insert"_qs);
}

void TestDeclarationStore::allColumnsOfTheFirstDeclaration_data()
{
    // The rates as project selection read them from DECIMAL(10,2) (or FLOAT)
    // columns go back to the server's DECIMAL(10,2) unchanged.
    QTest::addColumn<QVariant>("rateIn");
    QTest::addColumn<QVariant>("rateOut");
    QTest::addColumn<QString>("peruurIN");
    QTest::addColumn<QString>("peruurUIT");
    QTest::newRow("72.50 and 95") << QVariant(72.5) << QVariant(95.0) << u"72.50"_qs << u"95.00"_qs;
    QTest::newRow("33.33 and 1234.56")
        << QVariant(33.33) << QVariant(1234.56) << u"33.33"_qs << u"1234.56"_qs;
    QTest::newRow("0.99 and a FLOAT 1.01")
        << QVariant(0.99) << QVariant(double(1.01f)) << u"0.99"_qs << u"1.01"_qs;
}

void TestDeclarationStore::allColumnsOfTheFirstDeclaration()
{
    QFETCH(QVariant, rateIn);
    QFETCH(QVariant, rateOut);
    QFETCH(QString, peruurIN);
    QFETCH(QString, peruurUIT);
    Connection c(TestDb::server(), Database::Declarations);
    QCOMPARE(
        declare(c, u"2008_03_0042-GLAS"_qs, reportTagged(u"r"_qs), declarationFor(u"5"_qs, rateIn, rateOut)),
        DeclareOutcome::Declared);

    const QStringList rows = TestDb::rows(
        u"SELECT factuurnummer, consultant, Consultantnaam, Opdrachtgever, Opdrachtgevernaam, Jaar, maand, "
        "DECdatum, Projectnaam, uren, CAST(peruurIN AS CHAR), CAST(peruurUIT AS CHAR), urentotaal, "
        "kilometers, perKM, totaalkostenKM, "
        "onkosten, kostenomschrijving, subtotaal, BTW, totaal, opmerking, urentotaaluit, subtotaaluit, "
        "BTWuit, totaaluit, IsbetaaldConsultant, IsbetaaldOpdrachtgever FROM "_qs +
        kDeclarations);
    QCOMPARE(rows.size(), 1);
    const QStringList expected{u"08031270005"_qs,
                               u"12"_qs,
                               u"Ir. Anna de Vries"_qs,
                               u"7"_qs,
                               u"Hollands Glas BV"_qs,
                               u"2008"_qs,
                               u"03"_qs,
                               u"07-maart-2008  14:05:09"_qs,
                               u"Glasvezel Noord"_qs,
                               u"7,5"_qs,
                               peruurIN,
                               peruurUIT,
                               u"487,50"_qs,
                               u"120"_qs,
                               u"0,35"_qs,
                               u"42,00"_qs,
                               u"12,50"_qs,
                               u"Parkeren "_qs,
                               u"542,00"_qs,
                               u"108,40"_qs,
                               u"650,40"_qs,
                               u"GEEN\r\nregel twee"_qs,
                               u"712,50"_qs,
                               u"767,00"_qs,
                               u"153,40"_qs,
                               u"1.920,40"_qs,
                               u"nee"_qs,
                               u"nee"_qs};
    QCOMPARE(rows.first().split(u'|'), expected);
    QCOMPARE(reportRows(), QStringList{u"2008_03_0042-GLAS|ja|r bestandsnaam"_qs});
}

void TestDeclarationStore::savedReportBecomesDeclared()
{
    insertReport(u"2008_03_P"_qs, u"nee"_qs, u"saved"_qs);
    insertReport(u"2008_04_P"_qs, u"nee"_qs, u"next month"_qs);
    Connection c(TestDb::server(), Database::Declarations);
    QCOMPARE(declare(c, u"2008_03_P"_qs, reportTagged(u"final"_qs), declarationFor(u"5"_qs)),
             DeclareOutcome::Declared);
    QCOMPARE(reportRows(),
             (QStringList{u"2008_03_P|ja|final bestandsnaam"_qs, u"2008_04_P|nee|next month"_qs}));
    QCOMPARE(declarationRows(), QStringList{u"08031270005|Glasvezel Noord"_qs});
}

void TestDeclarationStore::declaredMonthIsRefusedAfterwards()
{
    Connection c(TestDb::server(), Database::Declarations);
    QCOMPARE(declare(c, u"2008_03_P"_qs, reportTagged(u"first"_qs), declarationFor(u"5"_qs)),
             DeclareOutcome::Declared);
    // Another invoice number, so that only the report's state can refuse it.
    QCOMPARE(declare(c, u"2008_03_P"_qs, reportTagged(u"again"_qs), declarationFor(u"6"_qs)),
             DeclareOutcome::AlreadyDeclared);
    QCOMPARE(saveReport(c, u"2008_03_P"_qs, u"nee"_qs, reportTagged(u"save"_qs)), SaveOutcome::Declared);
    QCOMPARE(reportRows(), QStringList{u"2008_03_P|ja|first bestandsnaam"_qs});
    QCOMPARE(declarationRows().size(), 1);
}

void TestDeclarationStore::failureLeavesBothTablesAsTheyWere_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<bool>("saved"); // the month was saved before
    QTest::newRow("insert refused by the server, new month") << u"trigger"_qs << false;
    QTest::newRow("insert refused by the server, saved month") << u"trigger"_qs << true;
    QTest::newRow("rate the column cannot take") << u"rate"_qs << true;
    QTest::newRow("declarations table missing") << u"table"_qs << true;
    QTest::newRow("lock rows table missing, saved month") << u"locks"_qs << true;
    QTest::newRow("lock rows table missing, new month") << u"locks"_qs << false;
}

void TestDeclarationStore::failureLeavesBothTablesAsTheyWere()
{
    QFETCH(QString, failure);
    QFETCH(bool, saved);
    if (saved)
        insertReport(u"2008_03_P"_qs, u"nee"_qs, u"saved"_qs);
    TestDb::exec(u"INSERT INTO "_qs + kDeclarations + u" (factuurnummer) VALUES ('older')"_qs);
    const QStringList reportsBefore = reportRows();
    const QStringList declarationsBefore = declarationRows();

    QVariant rate = 72.5;
    if (failure == u"trigger") {
        TestDb::exec(u"CREATE TRIGGER torvakdb_TORVAKdeclaraties.refuse_insert BEFORE INSERT ON "_qs +
                     kDeclarations +
                     u" FOR EACH ROW SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'geweigerd'"_qs);
    } else if (failure == u"rate") {
        rate = u"vijfenzestig"_qs;
    } else if (failure == u"locks") {
        TestDb::exec(u"RENAME TABLE torvakdb_TORVAKraporten.Sloten TO torvakdb_TORVAKraporten.weg"_qs);
    } else {
        TestDb::exec(u"RENAME TABLE "_qs + kDeclarations + u" TO torvakdb_TORVAKdeclaraties.weg"_qs);
    }

    Connection c(TestDb::server(), Database::Declarations);
    bool threw = false;
    QString told;
    try {
        declare(c, u"2008_03_P"_qs, reportTagged(u"final"_qs), declarationFor(u"5"_qs, rate));
    } catch (const DbError& e) {
        threw = true;
        told = e.description();
    }
    if (failure == u"locks") {
        TestDb::exec(u"RENAME TABLE torvakdb_TORVAKraporten.weg TO torvakdb_TORVAKraporten.Sloten"_qs);
        QCOMPARE(told, u"De tabel Sloten ontbreekt op de server. Vraag het kantoor het bijwerkscript uit "
                       "schema/ uit te voeren."_qs);
    }
    if (failure == u"table") {
        TestDb::exec(u"RENAME TABLE torvakdb_TORVAKdeclaraties.weg TO "_qs + kDeclarations);
        Records::forgetSchema();
    }
    QVERIFY(threw);
    QCOMPARE(reportRows(), reportsBefore);
    QCOMPARE(declarationRows(), declarationsBefore);
    QVERIFY(!c.inTransaction());

    // The connection is fit for the next try.
    cleanup();
    QCOMPARE(declare(c, u"2008_03_P"_qs, reportTagged(u"final"_qs), declarationFor(u"5"_qs)),
             DeclareOutcome::Declared);
}

void TestDeclarationStore::invoiceNumberClash()
{
    Connection c(TestDb::server(), Database::Declarations);
    QCOMPARE(declare(c, u"2008_03_0042-A"_qs, reportTagged(u"five"_qs), declarationFor(u"5"_qs)),
             DeclareOutcome::Declared);
    QCOMPARE(
        declare(c, u"2008_03_0042-B"_qs, reportTagged(u"ten thousand five"_qs), declarationFor(u"10005"_qs)),
        DeclareOutcome::InvoiceNumberTaken);
    QCOMPARE(reportRows(), QStringList{u"2008_03_0042-A|ja|five bestandsnaam"_qs});
    QCOMPARE(declarationRows(), QStringList{u"08031270005|Glasvezel Noord"_qs});
}

void TestDeclarationStore::raceForOneMonth_data()
{
    QTest::addColumn<bool>("saved");
    QTest::newRow("month never saved") << false;
    QTest::newRow("month saved before") << true;
}

void TestDeclarationStore::raceForOneMonth()
{
    QFETCH(bool, saved);
    constexpr int kWorkstations = 6;
    constexpr int kRounds = 8;
    for (int round = 0; round < kRounds; ++round) {
        const QString key = u"2008_03_RACE%1"_qs.arg(round);
        if (saved)
            insertReport(key, u"nee"_qs, u"saved"_qs);
        std::latch start(kWorkstations);
        QList<int> outcomes(kWorkstations, -1);
        QStringList failures;
        QMutex failuresMutex;
        std::vector<std::unique_ptr<QThread>> threads;
        for (int i = 0; i < kWorkstations; ++i) {
            threads.emplace_back(QThread::create([&, i] {
                try {
                    Connection c(TestDb::server(), Database::Declarations);
                    const Values report = reportTagged(QString::number(i));
                    const Values declaration = declarationFor(QString::number(round));
                    start.arrive_and_wait();
                    outcomes[i] = int(declare(c, key, report, declaration));
                } catch (const std::exception& e) {
                    QMutexLocker lock(&failuresMutex);
                    failures << QString::fromUtf8(e.what());
                }
            }));
            threads.back()->start();
        }
        for (auto& t : threads)
            t->wait();
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(u'\n')));
        QCOMPARE(outcomes.count(int(DeclareOutcome::Declared)), 1);
        QCOMPARE(outcomes.count(int(DeclareOutcome::AlreadyDeclared)), kWorkstations - 1);

        // The report holds the winner's texts.
        const int winner = int(outcomes.indexOf(int(DeclareOutcome::Declared)));
        QCOMPARE(TestDb::rows(u"SELECT afgewerkt, bestandsnaam, cent FROM "_qs + kReports +
                                  u" WHERE BINARY Projectnaam = ?"_qs,
                              {key}),
                 QStringList{u"ja|%1 bestandsnaam|%1 cent"_qs.arg(winner)});
    }
    QCOMPARE(TestDb::count(kDeclarations), kRounds);
    QCOMPARE(TestDb::count(kReports), kRounds);
}

QTEST_GUILESS_MAIN(TestDeclarationStore)
#include "tst_declarationstore.moc"
