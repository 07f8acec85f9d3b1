// The last earlier declaration against the test server: which stored row a
// month is compared with, with and without the index the upgrade script
// makes, and the script run again and again.

#include "data/connection.h"
#include "data/records.h"
#include "submit/earlierdeclaration.h"
#include "support/testdb.h"

#include <QtTest>

using namespace dl;
using namespace dl::check;
using dl::test::TestDb;
using namespace Qt::StringLiterals;

namespace {

const QString kDeclarations = u"torvakdb_TORVAKdeclaraties.Declaraties"_s;
const QString kIndex = u"ix_consultant_opdrachtgever_jaar_maand"_s;
const DeclarationKey kKey{u"0042"_s, u"17"_s, u"Glasvezel Noord"_s, u"2026"_s, u"03"_s};

// "consultant|client|project|Jaar|maand|uren", in table order.
void insert(const QStringList& rows)
{
    for (const QString& r : rows) {
        const QStringList v = r.split(u'|');
        TestDb::exec(u"INSERT INTO "_s + kDeclarations +
                         u" (consultant, Opdrachtgever, Projectnaam, Jaar, maand, uren, kilometers, totaal)"
                         " VALUES (?, ?, ?, ?, ?, ?, '120', '1.234,50')"_s,
                     {v[0], v[1], v[2], v[3], v[4], v[5]});
    }
}

// "Jaar|maand|uren", or empty for none.
QString lookUp()
{
    Connection c(TestDb::server(), Database::Declarations);
    const std::optional<EarlierDeclaration> d = lastEarlierDeclaration(c, kKey);
    return d ? d->year + u'|' + d->month + u'|' + d->figures.hours : QString();
}

int indexColumns()
{
    return TestDb::rows(u"SELECT COUNT(*) FROM information_schema.STATISTICS WHERE TABLE_SCHEMA = "
                        "'torvakdb_TORVAKdeclaraties' AND TABLE_NAME = 'Declaraties' AND INDEX_NAME = ?"_s,
                        {kIndex})
        .value(0)
        .toInt();
}

void runUpgrade()
{
    TestDb::runFile(QStringLiteral(DL_SOURCE_DIR) + u"/schema/upgrade.sql"_s);
}

} // namespace

class TestEarlierDeclaration : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void lookUp_data();
    void lookUp();
    void figures();
    void narrowedByTheIndex();
    void upgradeScriptRunsAgain();
};

void TestEarlierDeclaration::init()
{
    TestDb::reset();
}

void TestEarlierDeclaration::cleanup()
{
    runUpgrade();
}

void TestEarlierDeclaration::lookUp_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("found");
    const QString own = u"0042|17|Glasvezel Noord|"_s;
    QTest::newRow("none stored") << QStringList{} << QString();
    QTest::newRow("the latest earlier month")
        << QStringList{own + u"2025|11|100"_s, own + u"2026|02|200"_s, own + u"2025|12|150"_s}
        << u"2026|02|200"_s;
    QTest::newRow("the open month and later ones do not count")
        << QStringList{own + u"2026|03|1"_s, own + u"2026|04|2"_s, own + u"2027|01|3"_s, own + u"2025|05|4"_s}
        << u"2025|05|4"_s;
    QTest::newRow("over the turn of the year")
        << QStringList{own + u"2024|12|9"_s, own + u"2025|12|7"_s} << u"2025|12|7"_s;
    QTest::newRow("letter case and blanks count")
        << QStringList{u"0042|17|glasvezel noord|2026|02|1"_s, u"0042|17|Glasvezel Noord |2026|02|2"_s,
                       own + u"2026|01|3"_s}
        << u"2026|01|3"_s;
    QTest::newRow("another client or consultant")
        << QStringList{u"0042|18|Glasvezel Noord|2026|02|1"_s, u"0043|17|Glasvezel Noord|2026|02|2"_s,
                       u"0042 |17|Glasvezel Noord|2026|02|3"_s}
        << QString();
    QTest::newRow("another project of the client with the same name counts")
        << QStringList{own + u"2025|06|5"_s, own + u"2025|07|6"_s} << u"2025|07|6"_s;
    QTest::newRow("of two in one month the first in table order")
        << QStringList{own + u"2026|02|11"_s, own + u"2026|02|12"_s} << u"2026|02|11"_s;
    QTest::newRow("a year the server calls equal is no earlier year")
        << QStringList{own + u"2025|12|2"_s, u"0042|17|Glasvezel Noord|2026 |02|1"_s} << u"2025|12|2"_s;
}

void TestEarlierDeclaration::lookUp()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, found);
    insert(rows);
    QCOMPARE(::lookUp(), found);

    // An office table without the index gives the same answer.
    TestDb::exec(u"DROP INDEX "_s + kIndex + u" ON "_s + kDeclarations);
    QCOMPARE(indexColumns(), 0);
    QCOMPARE(::lookUp(), found);
}

void TestEarlierDeclaration::figures()
{
    insert({u"0042|17|Glasvezel Noord|2026|02|7,5"_s});
    Connection c(TestDb::server(), Database::Declarations);
    const std::optional<EarlierDeclaration> d = lastEarlierDeclaration(c, kKey);
    QVERIFY(d);
    QCOMPARE(d->figures.hours, u"7,5"_s);
    QCOMPARE(d->figures.kilometres, u"120"_s);
    QCOMPARE(d->figures.total, u"1.234,50"_s);
}

void TestEarlierDeclaration::narrowedByTheIndex()
{
    // Enough other consultants' rows that a table walk would cost more.
    QStringList rows;
    for (int i = 0; i < 300; ++i)
        rows << u"%1|%2|Project %3|20%4|%5|8"_s.arg(1000 + i % 50)
                    .arg(i % 7)
                    .arg(i)
                    .arg(10 + i % 16)
                    .arg(1 + i % 12, 2, 10, QChar(u'0'));
    rows << u"0042|17|Glasvezel Noord|2026|02|8"_s;
    insert(rows);
    TestDb::exec(u"ANALYZE TABLE "_s + kDeclarations);
    const QStringList plan = TestDb::rows(
        u"EXPLAIN SELECT uren FROM "_s + kDeclarations +
            u" WHERE consultant = ? AND Opdrachtgever = ? AND Projectnaam = ? AND (Jaar < ? OR (Jaar = ? AND "
            "maand < ?)) ORDER BY Jaar DESC, maand DESC"_s,
        {kKey.consultant, kKey.client, kKey.project, kKey.year, kKey.year, kKey.month});
    QCOMPARE(plan.size(), 1);
    // id|select_type|table|type|possible_keys|key|...
    QVERIFY2(plan.first().split(u'|').value(5) == kIndex, qPrintable(plan.first()));
}

void TestEarlierDeclaration::upgradeScriptRunsAgain()
{
    QCOMPARE(indexColumns(), 4);
    runUpgrade();
    runUpgrade();
    QCOMPARE(indexColumns(), 4);
    TestDb::exec(u"DROP INDEX "_s + kIndex + u" ON "_s + kDeclarations);
    runUpgrade();
    QCOMPARE(indexColumns(), 4);
    runUpgrade();
    QCOMPARE(indexColumns(), 4);
}

QTEST_MAIN(TestEarlierDeclaration)
#include "tst_earlierdeclaration.moc"
