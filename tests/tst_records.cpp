// Record access against the test server, on scratch tables with and without
// a primary key: exact comparison in the client, first row in table order,
// and updates that change exactly the row that was read.

#include "data/connection.h"
#include "data/dberror.h"
#include "data/keylesstables.h"
#include "data/records.h"
#include "data/tables.h"
#include "support/testdb.h"

#include <QtTest>

using namespace dl;
using dl::test::TestDb;

namespace {

const TableRef kWithKey{Database::Data, u"scratch_records_pk"_qs};
const TableRef kWithoutKey{Database::Data, u"scratch_records_nopk"_qs};

QString qualifiedName(const TableRef& t)
{
    return u"torvakdb_TORVAKdata."_qs + t.name;
}

void insert(const TableRef& t, const QVariant& code, const QString& val)
{
    TestDb::exec(u"INSERT INTO "_qs + qualifiedName(t) + u" (code, val) VALUES (?, ?)"_qs, {code, val});
}

QStringList contents(const TableRef& t)
{
    // Without a key the server's row order is the insertion order here.
    return TestDb::rows(u"SELECT code, val FROM "_qs + qualifiedName(t));
}

} // namespace

Q_DECLARE_METATYPE(TableRef)

class TestRecords : public QObject {
    Q_OBJECT

    void bothTables()
    {
        QTest::addColumn<TableRef>("table");
    }

private Q_SLOTS:
    void initTestCase()
    {
        TestDb::exec(u"CREATE TABLE IF NOT EXISTS "_qs + qualifiedName(kWithKey)
                     + u" (id INT NOT NULL AUTO_INCREMENT PRIMARY KEY, code VARCHAR(32) NULL, val VARCHAR(32) NULL, "
                       "KEY ix_code (code)) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4"_qs);
        TestDb::exec(u"CREATE TABLE IF NOT EXISTS "_qs + qualifiedName(kWithoutKey)
                     + u" (code VARCHAR(32) NULL, val VARCHAR(32) NULL) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4"_qs);
        // Grants on the new tables: the program's account works like the program.
        for (const TableRef& t : {kWithKey, kWithoutKey})
            TestDb::exec(u"GRANT SELECT, INSERT, UPDATE ON "_qs + qualifiedName(t) + u" TO 'torvakdb'@'%', "
                         "'torvakdb'@'localhost'"_qs);
    }
    void cleanupTestCase()
    {
        TestDb::exec(u"DROP TABLE IF EXISTS "_qs + qualifiedName(kWithKey));
        TestDb::exec(u"DROP TABLE IF EXISTS "_qs + qualifiedName(kWithoutKey));
        // The account's own rights again, and nothing more.
        TestDb::runFile(QStringLiteral(DL_SOURCE_DIR) + QStringLiteral("/schema/05_rechten.sql"));
        Records::forgetSchema();
    }
    void init()
    {
        TestDb::exec(u"TRUNCATE TABLE "_qs + qualifiedName(kWithKey));
        TestDb::exec(u"TRUNCATE TABLE "_qs + qualifiedName(kWithoutKey));
    }

    void exactComparison_data()
    {
        QTest::addColumn<TableRef>("table");
        QTest::addColumn<QString>("wanted");
        QTest::addColumn<QString>("found");  // empty: no row
        for (const auto& [tag, t] : {std::pair{"key", kWithKey}, std::pair{"no key", kWithoutKey}}) {
            const auto row = [&](const char* name, const QString& w, const QString& f) {
                QTest::addRow("%s, %s", tag, name) << t << w << f;
            };
            row("same", u"abc"_qs, u"lower"_qs);
            row("other case", u"ABC"_qs, u"upper"_qs);
            row("trailing blank", u"abc "_qs, u"blank"_qs);
            row("leading blank", u" abc"_qs, QString());
            row("shorter", u"ab"_qs, QString());
            row("accent", u"abé"_qs, QString());
            row("empty is not NULL", QString(), u"empty"_qs);
        }
    }
    void exactComparison()
    {
        QFETCH(TableRef, table);
        QFETCH(QString, wanted);
        QFETCH(QString, found);
        insert(table, QVariant(), u"null"_qs);
        insert(table, u"ABC"_qs, u"upper"_qs);
        insert(table, u"abe"_qs, u"plain e"_qs);
        insert(table, u"abc "_qs, u"blank"_qs);
        insert(table, u"abc"_qs, u"lower"_qs);
        insert(table, u""_qs, u"empty"_qs);
        Connection c(TestDb::server());
        const std::optional<Row> row = Records(c).findFirst(table, {Match{u"code"_qs, wanted}});
        QCOMPARE(row ? row->text(u"val"_qs) : QString(), found);
    }

    void prefixIsLiteral_data()
    {
        bothTables();
        QTest::newRow("key") << kWithKey;
        QTest::newRow("no key") << kWithoutKey;
    }
    void prefixIsLiteral()
    {
        QFETCH(TableRef, table);
        for (const char16_t* code : {u"aXc", u"a_c", u"a%c", u"A_c", u"a_", u"b_c", u"a!_x", u"a!c", u"a\\_"})
            insert(table, QString::fromUtf16(code), QString::fromUtf16(code));
        Connection c(TestDb::server());
        const auto seen = [&](const QString& prefix) {
            QStringList out;
            Records(c).visit(table, {Match{u"code"_qs, prefix, true}}, [&](const Row& r) {
                out << r.text(u"val"_qs);
                return true;
            });
            return out;
        };
        QCOMPARE(seen(u"a_"_qs), (QStringList{u"a_c"_qs, u"a_"_qs}));
        QCOMPARE(seen(u"a!"_qs), (QStringList{u"a!_x"_qs, u"a!c"_qs}));
        QCOMPARE(seen(u"a\\"_qs), (QStringList{u"a\\_"_qs}));
    }

    void firstInTableOrder_data()
    {
        bothTables();
        QTest::newRow("key") << kWithKey;
        QTest::newRow("no key") << kWithoutKey;
    }
    void firstInTableOrder()
    {
        QFETCH(TableRef, table);
        insert(table, u"other"_qs, u"0"_qs);
        insert(table, u"dup"_qs, u"first"_qs);
        insert(table, u"dup"_qs, u"second"_qs);
        Connection c(TestDb::server());
        Records r(c);
        QCOMPARE(r.findFirst(table, {Match{u"code"_qs, u"dup"_qs}})->text(u"val"_qs), u"first"_qs);
        QCOMPARE(r.firstRow(table)->text(u"val"_qs), u"0"_qs);
        QStringList all;
        r.visit(table, {}, [&](const Row& row) {
            all << row.text(u"val"_qs);
            return true;
        });
        QCOMPARE(all, (QStringList{u"0"_qs, u"first"_qs, u"second"_qs}));
    }

    void emptyTable()
    {
        Connection c(TestDb::server());
        Records r(c);
        QVERIFY(!r.findFirst(kWithKey, {Match{u"code"_qs, u"x"_qs}}));
        QVERIFY(!r.firstRow(kWithoutKey));
        int visits = 0;
        r.visit(kWithoutKey, {}, [&](const Row&) { return ++visits > 0; });
        QCOMPARE(visits, 0);
    }

    void unknownColumn()
    {
        insert(kWithKey, u"a"_qs, u"b"_qs);
        Connection c(TestDb::server());
        const std::optional<Row> row = Records(c).firstRow(kWithKey);
        try {
            row->text(u"missing"_qs);
            QFAIL("no error for a missing column");
        } catch (const DbError& e) {
            QCOMPARE(e.number(), 1054);
        }
    }

    void updateChangesTheRowThatWasRead_data()
    {
        bothTables();
        QTest::newRow("key") << kWithKey;
        QTest::newRow("no key") << kWithoutKey;
    }
    void updateChangesTheRowThatWasRead()
    {
        QFETCH(TableRef, table);
        // Rows that equal the read one in every column but the case or a blank.
        insert(table, u"Dup"_qs, u"same"_qs);
        insert(table, u"dup "_qs, u"same"_qs);
        insert(table, u"dup"_qs, u"same"_qs);
        insert(table, u"dup"_qs, u"same"_qs);
        Connection c(TestDb::server());
        Records r(c);
        const std::optional<Row> row = r.findFirst(table, {Match{u"code"_qs, u"dup"_qs}});
        QVERIFY(row);
        r.update(table, *row, {{u"val"_qs, u"changed"_qs}});
        QCOMPARE(contents(table), (QStringList{u"Dup|same"_qs, u"dup |same"_qs, u"dup|changed"_qs, u"dup|same"_qs}));
    }

    void updateRefusedWhenChangedInBetween_data()
    {
        QTest::addColumn<TableRef>("table");
        QTest::addColumn<QString>("otherSql");
        QTest::addColumn<QStringList>("after");
        for (const auto& [tag, t] : {std::pair{"key", kWithKey}, std::pair{"no key", kWithoutKey}}) {
            QTest::addRow("%s, changed", tag)
                << t << u"UPDATE "_qs + qualifiedName(t) + u" SET val = 'theirs' WHERE code = 'x'"_qs
                << QStringList{u"x|theirs"_qs};
            QTest::addRow("%s, case of a column changed", tag)
                << t << u"UPDATE "_qs + qualifiedName(t) + u" SET val = 'MINE' WHERE code = 'x'"_qs
                << QStringList{u"x|MINE"_qs};
            QTest::addRow("%s, deleted", tag)
                << t << u"DELETE FROM "_qs + qualifiedName(t) + u" WHERE code = 'x'"_qs << QStringList{};
        }
    }
    void updateRefusedWhenChangedInBetween()
    {
        QFETCH(TableRef, table);
        QFETCH(QString, otherSql);
        QFETCH(QStringList, after);
        insert(table, u"x"_qs, u"mine"_qs);
        Connection c(TestDb::server());
        Records r(c);
        const std::optional<Row> row = r.findFirst(table, {Match{u"code"_qs, u"x"_qs}});
        QVERIFY(row);
        TestDb::exec(otherSql);
        try {
            r.update(table, *row, {{u"val"_qs, u"late"_qs}});
            QFAIL("the update overwrote another workstation's change");
        } catch (const DbError& e) {
            QCOMPARE(e.number(), 1020);
        }
        QCOMPARE(contents(table), after);
    }

    void keylessTablesAreNamed()
    {
        // A table of the program made without a key, one with it, and one that is not there.
        const TableRef missing{Database::Data, u"scratch_records_missing"_qs};
        Connection c(TestDb::server());
        QCOMPARE(tablesWithoutPrimaryKey(c, {kWithKey, kWithoutKey, missing}),
                 QStringList{u"torvakdb_TORVAKdata.scratch_records_nopk"_qs});
        QCOMPARE(tablesWithoutPrimaryKey(c, {kWithKey, {Database::Data, u"SCRATCH_records_nopk"_qs}}),
                 QStringList());
        // The schema's own tables all have one.
        QCOMPARE(tablesWithoutPrimaryKey(c, tables::all()), QStringList());
        QVERIFY(keylessTablesLine({}).isEmpty());
        QVERIFY(keylessTablesLine({u"a.b"_qs, u"c.d"_qs}).endsWith(u": a.b, c.d"_qs));
    }

    void insertAppends()
    {
        Connection c(TestDb::server());
        Records r(c);
        r.insert(kWithoutKey, {{u"code"_qs, u" a "_qs}, {u"val"_qs, QVariant()}});
        // An empty text box gives a null QString: stored as empty text, not NULL.
        r.insert(kWithoutKey, {{u"code"_qs, QString()}, {u"val"_qs, u"b"_qs}});
        QCOMPARE(TestDb::rows(u"SELECT code, val FROM "_qs + qualifiedName(kWithoutKey)),
                 (QStringList{u" a |<NULL>"_qs, u"|b"_qs}));
        const std::optional<Row> row = r.findFirst(kWithoutKey, {Match{u"code"_qs, u" a "_qs}});
        r.update(kWithoutKey, *row, {{u"val"_qs, QString()}});
        QCOMPARE(TestDb::rows(u"SELECT code, val FROM "_qs + qualifiedName(kWithoutKey)),
                 (QStringList{u" a |"_qs, u"|b"_qs}));
    }
};

QTEST_MAIN(TestRecords)
#include "tst_records.moc"
