// Saving a report row against the test server: every column, append and
// overwrite, exact keys, declared rows, and workstations racing for one key.

#include "data/tables.h"
#include "declaration/reportrecord.h"
#include "submit/reportstore.h"
#include "submit/retrypause.h"
#include "support/testdb.h"

#include <QThread>
#include <QtTest>

#include <latch>
#include <memory>

using namespace dl;
using namespace dl::submit;
using dl::test::TestDb;

Q_DECLARE_METATYPE(dl::submit::SaveOutcome)

namespace {

const QString kTable = u"torvakdb_TORVAKraporten.Raporten"_qs;

// Distinct text per column, with the blanks, accents and non-numbers a form can hold.
Values columnsTagged(const QString& tag)
{
    Values out;
    for (const report::Binding& b : report::controlBindings())
        out.append({b.column, u" %1 %2 é "_qs.arg(tag, b.column)});
    return out;
}

void setColumn(Values& values, const QString& column, const QString& text)
{
    for (auto& [c, v] : values) {
        if (c == column)
            v = text;
    }
}

// Rows with the key in table order, as "afgewerkt|bestandsnaam".
QStringList rowsWithKey(const QString& key)
{
    return TestDb::rows(u"SELECT afgewerkt, bestandsnaam FROM "_qs + kTable +
                            u" WHERE BINARY Projectnaam = ? ORDER BY id"_qs,
                        {key});
}

void insertRow(const QString& key, const QString& afgewerkt, const QString& title)
{
    TestDb::exec(u"INSERT INTO "_qs + kTable + u" (Projectnaam, afgewerkt, bestandsnaam) VALUES (?, ?, ?)"_qs,
                 {key, afgewerkt, title});
}

// Several workstations at once: each thread its own connection, all released together.
template <typename Fn> QStringList raceThreads(int count, Fn work)
{
    std::latch start(count);
    QStringList failures;
    QMutex failuresMutex;
    std::vector<std::unique_ptr<QThread>> threads;
    for (int i = 0; i < count; ++i) {
        threads.emplace_back(QThread::create([&, i] {
            try {
                Connection c(TestDb::server(), Database::Reports);
                start.arrive_and_wait();
                work(c, i);
            } catch (const std::exception& e) {
                QMutexLocker lock(&failuresMutex);
                failures << QString::fromUtf8(e.what());
            }
        }));
        threads.back()->start();
    }
    for (auto& t : threads)
        t->wait();
    return failures;
}

} // namespace

class TestReportStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void everyColumnComesBack();
    void emptyTextsStayEmpty();
    void firstSaveAppendsSecondOverwrites();
    void keyIsExact_data();
    void keyIsExact();
    void declaredRowIsRefused_data();
    void declaredRowIsRefused();
    void savedElsewhereIsNotOverwritten_data();
    void savedElsewhereIsNotOverwritten();
    void raceForAnAbsentKey_data();
    void raceForAnAbsentKey();
    void retryReadsWaitForTheCluster();
    void storedRowIsRecognised_data();
    void storedRowIsRecognised();
};

void TestReportStore::init()
{
    TestDb::reset();
}

void TestReportStore::everyColumnComesBack()
{
    const QString key = u"2008_03_0042-GLAS"_qs;
    Values columns = columnsTagged(u"a"_qs);
    setColumn(columns, u"Uren05"_qs, u"x7"_qs);
    setColumn(columns, u"Activiteit31"_qs, u"regel 1\r\nregel 2"_qs);
    Connection c(TestDb::server(), Database::Reports);
    QCOMPARE(saveReport(c, key, u"nee"_qs, columns), SaveOutcome::Appended);

    const std::optional<Row> row = Records(c).findFirst(tables::reports(), {Match{u"Projectnaam"_qs, key}});
    QVERIFY(row);
    QCOMPARE(row->text(u"afgewerkt"_qs), u"nee"_qs);
    for (const auto& [column, value] : columns)
        QCOMPARE(row->text(column), value.toString());
    QCOMPARE(report::columnNames().size(), columns.size() + 2);
}

void TestReportStore::emptyTextsStayEmpty()
{
    Values columns;
    for (const report::Binding& b : report::controlBindings())
        columns.append({b.column, QString(u""_qs)});
    Connection c(TestDb::server(), Database::Reports);
    saveReport(c, u"2008_02_P"_qs, u"nee"_qs, columns);
    const QStringList nulls = TestDb::rows(u"SELECT COUNT(*) FROM "_qs + kTable +
                                           u" WHERE datum31 IS NULL OR Uren29 IS NULL OR cent IS NULL"_qs);
    QCOMPARE(nulls, QStringList{u"0"_qs});
    QCOMPARE(TestDb::rows(u"SELECT datum31, cent FROM "_qs + kTable), QStringList{u"|"_qs});
}

void TestReportStore::firstSaveAppendsSecondOverwrites()
{
    insertRow(u"2008_04_P"_qs, u"nee"_qs, u"other month"_qs);
    const QString key = u"2008_03_P"_qs;
    Connection c(TestDb::server(), Database::Reports);
    QCOMPARE(saveReport(c, key, u"nee"_qs, columnsTagged(u"first"_qs)), SaveOutcome::Appended);
    QCOMPARE(saveReport(c, key, u"nee"_qs, columnsTagged(u"second"_qs)), SaveOutcome::Overwritten);
    QCOMPARE(rowsWithKey(key), QStringList{u"nee| second bestandsnaam é "_qs});
    QCOMPARE(rowsWithKey(u"2008_04_P"_qs), QStringList{u"nee|other month"_qs});
    QCOMPARE(TestDb::count(kTable), 2);
}

void TestReportStore::keyIsExact_data()
{
    QTest::addColumn<QString>("stored");
    QTest::newRow("lower case") << u"2008_03_p"_qs;
    QTest::newRow("trailing blank") << u"2008_03_P "_qs;
    QTest::newRow("leading blank") << u" 2008_03_P"_qs;
    QTest::newRow("inner blank") << u"2008_03 _P"_qs;
}

void TestReportStore::keyIsExact()
{
    QFETCH(QString, stored);
    insertRow(stored, u"nee"_qs, u"look-alike"_qs);
    Connection c(TestDb::server(), Database::Reports);
    QCOMPARE(saveReport(c, u"2008_03_P"_qs, u"nee"_qs, columnsTagged(u"mine"_qs)), SaveOutcome::Appended);
    QCOMPARE(rowsWithKey(stored), QStringList{u"nee|look-alike"_qs});
    QCOMPARE(rowsWithKey(u"2008_03_P"_qs).size(), 1);
}

void TestReportStore::declaredRowIsRefused_data()
{
    QTest::addColumn<QStringList>("states"); // rows with the key, in table order
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("saveState");
    QTest::newRow("declared, save nee") << QStringList{u"ja"_qs} << true << u"nee"_qs;
    QTest::newRow("declared, declare again") << QStringList{u"ja"_qs} << true << u"ja"_qs;
    QTest::newRow("declared first, open second") << QStringList{u"ja"_qs, u"nee"_qs} << true << u"nee"_qs;
    QTest::newRow("open first, declared second") << QStringList{u"nee"_qs, u"ja"_qs} << false << u"nee"_qs;
    QTest::newRow("Ja is not ja") << QStringList{u"Ja"_qs} << false << u"nee"_qs;
}

void TestReportStore::declaredRowIsRefused()
{
    QFETCH(QStringList, states);
    QFETCH(bool, refused);
    QFETCH(QString, saveState);
    const QString key = u"2008_03_P"_qs;
    QStringList before;
    for (const QString& s : states) {
        insertRow(key, s, u"stored"_qs);
        before << s + u"|stored"_qs;
    }
    Connection c(TestDb::server(), Database::Reports);
    const SaveOutcome outcome = saveReport(c, key, saveState, columnsTagged(u"new"_qs));
    if (refused) {
        QCOMPARE(outcome, SaveOutcome::Declared);
        QCOMPARE(rowsWithKey(key), before);
    } else {
        QCOMPARE(outcome, SaveOutcome::Overwritten);
        before[0] = saveState + u"| new bestandsnaam é "_qs;
        QCOMPARE(rowsWithKey(key), before);
    }
}

void TestReportStore::savedElsewhereIsNotOverwritten_data()
{
    QTest::addColumn<QVariant>("storedStamp"); // invalid: no row; null: NULL
    QTest::addColumn<bool>("seenStored");
    QTest::addColumn<QString>("seenStamp");
    QTest::addColumn<QString>("unknownSave"); // an own save whose answer was lost
    QTest::addColumn<SaveOutcome>("outcome");
    QTest::newRow("as seen") << QVariant(u"A"_qs) << true << u"A"_qs << QString() << SaveOutcome::Overwritten;
    QTest::newRow("saved elsewhere since")
        << QVariant(u"B"_qs) << true << u"A"_qs << QString() << SaveOutcome::ChangedElsewhere;
    QTest::newRow("stamp in another case")
        << QVariant(u"a"_qs) << true << u"A"_qs << QString() << SaveOutcome::ChangedElsewhere;
    QTest::newRow("new here, saved elsewhere")
        << QVariant(u"B"_qs) << false << QString() << QString() << SaveOutcome::ChangedElsewhere;
    QTest::newRow("NULL as it was seen") << QVariant(QMetaType::fromType<QString>()) << true << QString()
                                         << QString() << SaveOutcome::Overwritten;
    QTest::newRow("taken away by the office")
        << QVariant() << true << u"A"_qs << QString() << SaveOutcome::Appended;
}

void TestReportStore::savedElsewhereIsNotOverwritten()
{
    QFETCH(QVariant, storedStamp);
    QFETCH(bool, seenStored);
    QFETCH(QString, seenStamp);
    QFETCH(QString, unknownSave);
    QFETCH(SaveOutcome, outcome);
    const QString key = u"2008_03_P"_qs;
    if (storedStamp.isValid())
        TestDb::exec(
            u"INSERT INTO "_qs + kTable +
                u" (Projectnaam, afgewerkt, bestandsnaam, laatstgewijzigd) VALUES (?, 'nee', 'stored', ?)"_qs,
            {key, storedStamp});
    const QStringList before = rowsWithKey(key);
    Connection c(TestDb::server(), Database::Reports);
    const Seen seen{seenStored, seenStamp, unknownSave};
    QString told = u"-"_qs;
    QCOMPARE(saveReport(c, key, u"nee"_qs, columnsTagged(u"new"_qs), &seen, &told), outcome);
    if (outcome == SaveOutcome::ChangedElsewhere) {
        QCOMPARE(told, storedStamp.toString());
        QCOMPARE(rowsWithKey(key), before);
    } else {
        QCOMPARE(rowsWithKey(key), QStringList{u"nee| new bestandsnaam é "_qs});
    }
}

void TestReportStore::storedRowIsRecognised_data()
{
    QTest::addColumn<QString>("lookKey");
    QTest::addColumn<QString>("lookState");
    QTest::addColumn<QString>("column"); // changed in what the look expects
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("stored");
    QTest::newRow("as sent") << u"2008_03_P"_qs << u"nee"_qs << QString() << QString() << true;
    QTest::newRow("another stamp") << u"2008_03_P"_qs << u"nee"_qs << u"laatstgewijzigd"_qs << u"later"_qs
                                   << false;
    QTest::newRow("one slot differs") << u"2008_03_P"_qs << u"nee"_qs << u"Uren31"_qs << u"8"_qs << false;
    QTest::newRow("trailing blank lost")
        << u"2008_03_P"_qs << u"nee"_qs << u"cent"_qs << u" a cent é"_qs << false;
    QTest::newRow("letter case") << u"2008_03_P"_qs << u"nee"_qs << u"euro"_qs << u" A euro é "_qs << false;
    QTest::newRow("other state") << u"2008_03_P"_qs << u"ja"_qs << QString() << QString() << false;
    QTest::newRow("key in another case") << u"2008_03_p"_qs << u"nee"_qs << QString() << QString() << false;
}

void TestReportStore::storedRowIsRecognised()
{
    QFETCH(QString, lookKey);
    QFETCH(QString, lookState);
    QFETCH(QString, column);
    QFETCH(QString, expected);
    QFETCH(bool, stored);
    const Values sent = columnsTagged(u"a"_qs);
    Connection c(TestDb::server(), Database::Reports);
    saveReport(c, u"2008_03_P"_qs, u"nee"_qs, sent);
    Values look = sent;
    if (!column.isEmpty())
        setColumn(look, column, expected);
    QCOMPARE(reportStored(c, lookKey, lookState, look), stored);
}

void TestReportStore::raceForAnAbsentKey_data()
{
    // Each workstation prepared the month as new: with the check, the first
    // save is the one that stands and the others are told.
    QTest::addColumn<bool>("checked");
    QTest::newRow("the later commit wins") << false;
    QTest::newRow("saved elsewhere is told") << true;
}

void TestReportStore::raceForAnAbsentKey()
{
    QFETCH(bool, checked);
    constexpr int kWorkstations = 6;
    constexpr int kRounds = 12;
    const Seen prepared{false, QString(), QString()};
    for (int round = 0; round < kRounds; ++round) {
        const QString key = u"2008_03_RACE%1"_qs.arg(round);
        QList<SaveOutcome> outcomes(kWorkstations);
        const QStringList failures = raceThreads(kWorkstations, [&](Connection& c, int i) {
            outcomes[i] = saveReport(c, key, u"nee"_qs, columnsTagged(QString::number(i)),
                                     checked ? &prepared : nullptr);
        });
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(u'\n')));
        QCOMPARE(outcomes.count(SaveOutcome::Appended), 1);
        QCOMPARE(outcomes.count(checked ? SaveOutcome::ChangedElsewhere : SaveOutcome::Overwritten),
                 kWorkstations - 1);

        // One row, and it is one workstation's save whole.
        const QStringList rows = TestDb::rows(u"SELECT bestandsnaam, datum01, Kilometers31, cent FROM "_qs +
                                                  kTable + u" WHERE BINARY Projectnaam = ?"_qs,
                                              {key});
        QCOMPARE(rows.size(), 1);
        const QStringList cols = rows.first().split(u'|');
        const QString tag = cols[0].section(u' ', 1, 1);
        QCOMPARE(cols[1], u" %1 datum01 é "_qs.arg(tag));
        QCOMPARE(cols[2], u" %1 Kilometers31 é "_qs.arg(tag));
        QCOMPARE(cols[3], u" %1 cent é "_qs.arg(tag));
    }
    QCOMPARE(TestDb::count(kTable), kRounds);
}

// The reads of a retried transaction wait for the cluster's commits; the
// reads after it do not.
void TestReportStore::retryReadsWaitForTheCluster()
{
    Connection c(TestDb::server(), Database::Reports);
    const auto syncWait = [&c] {
        Result r = c.exec(u"SELECT @@SESSION.wsrep_sync_wait"_qs);
        return r.next() ? r.value(0).toInt() : -1;
    };
    QList<int> during;
    withRetryAndPause(c, [&] {
        during << syncWait();
        if (during.size() == 1)
            throw DbError(1213, u"Deadlock found when trying to get lock"_qs);
        return 0;
    });
    QCOMPARE(during, (QList<int>{0, 1}));
    QCOMPARE(syncWait(), 0);
}

QTEST_GUILESS_MAIN(TestReportStore)
#include "tst_reportstore.moc"
