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

#include <limits>

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

    void bothTables() { QTest::addColumn<TableRef>("table"); }

private Q_SLOTS:
    void initTestCase()
    {
        TestDb::exec(
            u"CREATE TABLE IF NOT EXISTS "_qs + qualifiedName(kWithKey) +
            u" (id INT NOT NULL AUTO_INCREMENT PRIMARY KEY, code VARCHAR(32) NULL, val VARCHAR(32) NULL, "
            "KEY ix_code (code)) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4"_qs);
        TestDb::exec(
            u"CREATE TABLE IF NOT EXISTS "_qs + qualifiedName(kWithoutKey) +
            u" (code VARCHAR(32) NULL, val VARCHAR(32) NULL) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4"_qs);
        // Grants on the new tables: the program's account works like the program.
        for (const TableRef& t : {kWithKey, kWithoutKey})
            TestDb::exec(u"GRANT SELECT, INSERT, UPDATE ON "_qs + qualifiedName(t) +
                         u" TO 'torvakdb'@'%', "
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
        QTest::addColumn<QString>("found"); // empty: no row
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
        QCOMPARE(contents(table),
                 (QStringList{u"Dup|same"_qs, u"dup |same"_qs, u"dup|changed"_qs, u"dup|same"_qs}));
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

    // Tables as offices made them: another character set, no key, a FLOAT,
    // column names that need quoting. The update changes exactly the row
    // that was read.
    void officeTableUpdates_data()
    {
        QTest::addColumn<QString>("columns"); // besides code and val
        QTest::addColumn<QString>("charset");
        QTest::addColumn<QStringList>("rows"); // code|val, inserted in this order
        QTest::addColumn<QString>("code");     // the row read and changed
        QTest::addColumn<QString>("newVal");
        QTest::addColumn<QStringList>("after"); // code|val in table order
        const QStringList renee{u"Renée Müller|oud"_qs, u"Renee Muller|oud"_qs};
        QTest::newRow("latin1, no key")
            << QString() << u"latin1"_qs << renee << u"Renée Müller"_qs << u"nieuw"_qs
            << QStringList{u"Renée Müller|nieuw"_qs, u"Renee Muller|oud"_qs};
        QTest::newRow("latin1, no key, a trailing blank apart")
            << QString() << u"latin1"_qs << QStringList{u"Müller |oud"_qs, u"Müller|oud"_qs} << u"Müller"_qs
            << u"nieuw"_qs << QStringList{u"Müller |oud"_qs, u"Müller|nieuw"_qs};
        QTest::newRow("latin1 with key")
            << u"id INT AUTO_INCREMENT PRIMARY KEY"_qs << u"latin1"_qs << renee << u"Renée Müller"_qs
            << u"nieuw"_qs << QStringList{u"Renée Müller|nieuw"_qs, u"Renee Muller|oud"_qs};
        QTest::newRow("utf8mb4, no key, Greek")
            << QString() << u"utf8mb4"_qs << QStringList{u"Ελένη|oud"_qs, u"ΕΛΈΝΗ|oud"_qs} << u"Ελένη"_qs
            << u"νέο"_qs << QStringList{u"Ελένη|νέο"_qs, u"ΕΛΈΝΗ|oud"_qs};
        QTest::newRow("no key, a FLOAT and a DOUBLE")
            << u"f FLOAT DEFAULT 0.35, d DOUBLE DEFAULT 0.1"_qs << u"latin1"_qs << renee << u"Renée Müller"_qs
            << u"nieuw"_qs << QStringList{u"Renée Müller|nieuw"_qs, u"Renee Muller|oud"_qs};
        QTest::newRow("no key, names that need quoting")
            << u"`e-mail` VARCHAR(64) DEFAULT 'a@b.nl', `geb.datum` VARCHAR(10) DEFAULT '01-02-1970', "
               "`back``tick` INT DEFAULT 7"_qs
            << u"latin1"_qs << renee << u"Renée Müller"_qs << u"nieuw"_qs
            << QStringList{u"Renée Müller|nieuw"_qs, u"Renee Muller|oud"_qs};
        QTest::newRow("no key, the same value again")
            << QString() << u"latin1"_qs << renee << u"Renée Müller"_qs << u"oud"_qs << renee;
    }
    void officeTableUpdates()
    {
        QFETCH(QString, columns);
        QFETCH(QString, charset);
        QFETCH(QStringList, rows);
        QFETCH(QString, code);
        QFETCH(QString, newVal);
        QFETCH(QStringList, after);
        const TableRef t{Database::Data, u"scratch_records_office"_qs};
        TestDb::exec(u"DROP TABLE IF EXISTS "_qs + qualifiedName(t));
        TestDb::exec(u"CREATE TABLE "_qs + qualifiedName(t) + u" ("_qs +
                     (columns.isEmpty() ? QString() : columns + u", "_qs) +
                     u"code VARCHAR(32) NULL, val VARCHAR(32) NULL) ENGINE=InnoDB DEFAULT CHARSET="_qs +
                     charset);
        TestDb::exec(u"GRANT SELECT, INSERT, UPDATE ON "_qs + qualifiedName(t) +
                     u" TO 'torvakdb'@'%', "
                     "'torvakdb'@'localhost'"_qs);
        Records::forgetSchema();
        for (const QString& r : rows)
            insert(t, r.section(u'|', 0, 0), r.section(u'|', 1));
        Connection c(TestDb::server());
        Records records(c);
        const std::optional<Row> row = records.findFirst(t, {Match{u"code"_qs, code}});
        QVERIFY(row);
        records.update(t, *row, {{u"val"_qs, newVal}});
        QCOMPARE(contents(t), after);
        TestDb::exec(u"DROP TABLE "_qs + qualifiedName(t));
    }

    // Values the server sends, numbers read on a Dutch desktop without its
    // locale: as text (a statement without values) and in binary (with one).
    void serverNumbers_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("literal");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("DECIMAL 72.50") << u"DECIMAL(8,2)"_qs << u"72.50"_qs << QVariant(72.5);
        QTest::newRow("DECIMAL 0.99") << u"DECIMAL(8,2)"_qs << u"0.99"_qs << QVariant(0.99);
        QTest::newRow("DECIMAL 1234.56") << u"DECIMAL(8,2)"_qs << u"1234.56"_qs << QVariant(1234.56);
        QTest::newRow("DECIMAL 33.33") << u"DECIMAL(8,2)"_qs << u"33.33"_qs << QVariant(33.33);
        QTest::newRow("DECIMAL negative") << u"DECIMAL(8,2)"_qs << u"-0.99"_qs << QVariant(-0.99);
        QTest::newRow("DECIMAL(10,2) largest")
            << u"DECIMAL(10,2)"_qs << u"99999999.99"_qs << QVariant(99999999.99);
        QTest::newRow("FLOAT 72.5") << u"FLOAT"_qs << u"72.5"_qs << QVariant(72.5);
        QTest::newRow("FLOAT 0.99") << u"FLOAT"_qs << u"0.99"_qs << QVariant(double(0.99f));
        QTest::newRow("FLOAT 33.33") << u"FLOAT"_qs << u"33.33"_qs << QVariant(double(33.33f));
        QTest::newRow("FLOAT 1e20") << u"FLOAT"_qs << u"1e20"_qs << QVariant(double(1e20f));
        QTest::newRow("DOUBLE 0.99") << u"DOUBLE"_qs << u"0.99"_qs << QVariant(0.99);
        QTest::newRow("DOUBLE 1234.56") << u"DOUBLE"_qs << u"1234.56"_qs << QVariant(1234.56);
        QTest::newRow("DOUBLE 1.5e-7") << u"DOUBLE"_qs << u"1.5e-7"_qs << QVariant(1.5e-7);
        QTest::newRow("DOUBLE 1e300") << u"DOUBLE"_qs << u"1e300"_qs << QVariant(1e300);
        QTest::newRow("BIGINT") << u"BIGINT"_qs << u"-9223372036854775808"_qs
                                << QVariant::fromValue<qlonglong>(std::numeric_limits<qlonglong>::min());
        QTest::newRow("BIGINT UNSIGNED")
            << u"BIGINT UNSIGNED"_qs << u"18446744073709551615"_qs
            << QVariant::fromValue<qulonglong>(std::numeric_limits<qulonglong>::max());
        QTest::newRow("INT UNSIGNED")
            << u"INT UNSIGNED"_qs << u"4294967295"_qs << QVariant::fromValue<qulonglong>(4294967295u);
        QTest::newRow("YEAR") << u"YEAR"_qs << u"2024"_qs << QVariant::fromValue<qulonglong>(2024);
        QTest::newRow("DATE") << u"DATE"_qs << u"'2024-02-29'"_qs << QVariant(QDate(2024, 2, 29));
        QTest::newRow("TIME") << u"TIME"_qs << u"'08:30:15'"_qs << QVariant(QTime(8, 30, 15));
        QTest::newRow("DATETIME(3)") << u"DATETIME(3)"_qs << u"'2024-02-29 23:59:58.125'"_qs
                                     << QVariant(QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58, 125)));
        QTest::newRow("BIT(8)") << u"BIT(8)"_qs << u"b'101'"_qs << QVariant(QByteArray("\x05"));
        QTest::newRow("VARBINARY") << u"VARBINARY(8)"_qs << u"x'00ff'"_qs
                                   << QVariant(QByteArray("\x00\xff", 2));
    }
    void serverNumbers()
    {
        QFETCH(QString, type);
        QFETCH(QString, literal);
        QFETCH(QVariant, value);
        const TableRef t{Database::Data, u"scratch_records_numbers"_qs};
        TestDb::exec(u"DROP TABLE IF EXISTS "_qs + qualifiedName(t));
        TestDb::exec(u"CREATE TABLE "_qs + qualifiedName(t) + u" (n "_qs + type + u" NULL)"_qs);
        TestDb::exec(u"GRANT SELECT ON "_qs + qualifiedName(t) +
                     u" TO 'torvakdb'@'%', 'torvakdb'@'localhost'"_qs);
        TestDb::exec(u"INSERT INTO "_qs + qualifiedName(t) + u" (n) VALUES ("_qs + literal + u")"_qs);
        Connection c(TestDb::server());
        const QString select = u"SELECT n FROM "_qs + qualifiedName(t);
        Result text = c.exec(select);
        Result binary = c.exec(select + u" WHERE ? = 1"_qs, {1});
        QVERIFY(text.next());
        QVERIFY(binary.next());
        QCOMPARE(text.value(0).metaType(), value.metaType());
        QCOMPARE(text.value(0), value);
        QCOMPARE(binary.value(0).metaType(), value.metaType());
        QCOMPARE(binary.value(0), value);
        TestDb::exec(u"DROP TABLE "_qs + qualifiedName(t));
    }

    // Text a latin1 column cannot hold is in no row of it: no match, and no
    // complaint of the server's about collations.
    void textTheColumnCannotHold()
    {
        const TableRef t{Database::Data, u"scratch_records_latin1"_qs};
        TestDb::exec(u"DROP TABLE IF EXISTS "_qs + qualifiedName(t));
        TestDb::exec(u"CREATE TABLE "_qs + qualifiedName(t) +
                     u" (code VARCHAR(32) NULL, val VARCHAR(32) NULL) DEFAULT CHARSET=latin1"_qs);
        TestDb::exec(u"GRANT SELECT ON "_qs + qualifiedName(t) +
                     u" TO 'torvakdb'@'%', 'torvakdb'@'localhost'"_qs);
        insert(t, u"?"_qs, u"question"_qs);
        insert(t, u"Ren?e"_qs, u"question"_qs);
        insert(t, u"€"_qs, u"euro"_qs);
        Connection c(TestDb::server());
        Records r(c);
        for (const QString& wanted : {u"Ελένη"_qs, u"Ren😀e"_qs, u"ř"_qs}) {
            QVERIFY(!r.findFirst(t, {Match{u"code"_qs, wanted}}));
            QVERIFY(!r.findFirst(t, {Match{u"code"_qs, wanted, true}}));
        }
        QCOMPARE(r.findFirst(t, {Match{u"code"_qs, u"€"_qs}})->text(u"val"_qs), u"euro"_qs);
        TestDb::exec(u"DROP TABLE "_qs + qualifiedName(t));
    }

    // A server with a lax sql_mode cuts and converts what it cannot store,
    // with a warning; the write is taken back and the column named.
    void laxServerRefusesChangedValues_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("number"); // 0: stored as sent
        QTest::newRow("too long") << u"kort"_qs << u"veel te lang"_qs << 1265;
        QTest::newRow("beyond latin1") << u"latijn"_qs << u"Ελένη"_qs << 1366;
        QTest::newRow("Dutch amount into a number") << u"bedrag"_qs << u"1.034,64"_qs << 1265;
        QTest::newRow("not a number") << u"bedrag"_qs << u"veel"_qs << 1366;
        QTest::newRow("fits") << u"kort"_qs << u"kort"_qs << 0;
    }
    void laxServerRefusesChangedValues()
    {
        QFETCH(QString, column);
        QFETCH(QString, value);
        QFETCH(int, number);
        const TableRef t{Database::Data, u"scratch_records_lax"_qs};
        TestDb::exec(u"DROP TABLE IF EXISTS "_qs + qualifiedName(t));
        // `verplicht` has no default: left to it, the server warns (1364), which is no fault of ours.
        TestDb::exec(u"CREATE TABLE "_qs + qualifiedName(t) +
                     u" (id INT AUTO_INCREMENT PRIMARY KEY, kort VARCHAR(5) NULL, "
                     "latijn VARCHAR(32) CHARACTER SET latin1 NULL, bedrag DECIMAL(10,2) NULL, "
                     "verplicht VARCHAR(8) NOT NULL) DEFAULT CHARSET=utf8mb4"_qs);
        TestDb::exec(u"GRANT SELECT, INSERT, UPDATE ON "_qs + qualifiedName(t) +
                     u" TO 'torvakdb'@'%', 'torvakdb'@'localhost'"_qs);
        Records::forgetSchema();
        TestDb::exec(u"SET GLOBAL sql_mode = ''"_qs);
        const auto strictAgain = qScopeGuard([] { TestDb::exec(u"SET GLOBAL sql_mode = DEFAULT"_qs); });
        Connection c(TestDb::server());
        Records r(c);
        for (const bool inserting : {true, false}) {
            TestDb::exec(u"TRUNCATE TABLE "_qs + qualifiedName(t));
            if (!inserting)
                TestDb::exec(u"INSERT INTO "_qs + qualifiedName(t) +
                             u" (kort, verplicht) VALUES ('oud', 'x')"_qs);
            const QStringList before = TestDb::rows(u"SELECT * FROM "_qs + qualifiedName(t));
            try {
                if (inserting)
                    r.insert(t, {{column, value}});
                else
                    r.update(t, *r.firstRow(t), {{column, value}});
                QVERIFY2(number == 0, "the server changed the value and nothing was said");
                QCOMPARE(TestDb::rows(u"SELECT "_qs + column + u" FROM "_qs + qualifiedName(t)),
                         QStringList{value});
            } catch (const DbError& e) {
                QCOMPARE(e.number(), number);
                QVERIFY2(e.description().contains(column), qPrintable(e.description()));
                QCOMPARE(TestDb::rows(u"SELECT * FROM "_qs + qualifiedName(t)), before);
            }
        }
        TestDb::exec(u"DROP TABLE "_qs + qualifiedName(t));
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

    // A read whose rows the server breaks off halfway (here a subquery of
    // the second row that finds two rows) is refused, and the connection
    // goes on answering.
    void readBrokenOffHalfway_data()
    {
        QTest::addColumn<bool>("bound"); // with a value: a prepared statement; else sent as it is
        QTest::newRow("prepared") << true;
        QTest::newRow("sent as it is") << false;
    }

    void readBrokenOffHalfway()
    {
        QFETCH(bool, bound);
        for (const char* code : {"a", "b"})
            insert(kWithKey, QString::fromLatin1(code), u"x"_qs);
        for (const char* code : {"a", "b", "b"})
            insert(kWithoutKey, QString::fromLatin1(code), u"y"_qs);
        Connection c(TestDb::server());
        const QString sql = u"SELECT p.code, (SELECT n.val FROM "_qs + qualifiedName(kWithoutKey) +
                            u" n WHERE n.code = p.code) FROM "_qs + qualifiedName(kWithKey) + u" p"_qs +
                            (bound ? u" WHERE p.code <> ? ORDER BY p.id"_qs : u" ORDER BY p.id"_qs);
        for (int i = 0; i < 2; ++i) {
            try {
                c.exec(sql, bound ? QVariantList{u"z"_qs} : QVariantList{});
                QFAIL("the broken-off read came back whole");
            } catch (const DbError& e) {
                QCOMPARE(e.number(), 1242);
            }
            Result r = c.exec(u"SELECT COUNT(*) FROM "_qs + qualifiedName(kWithKey) + u" WHERE code <> ?"_qs,
                              {u"z"_qs});
            QVERIFY(r.next());
            QCOMPARE(r.value(0).toInt(), 2);
        }
    }

    // Which names information_schema gives back are the table's: exactly,
    // unless the server keeps names in lower case.
    void schemaNames_data()
    {
        QTest::addColumn<QString>("schema");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("lowerCaseNames"); // the server's lower_case_table_names
        QTest::addColumn<bool>("isReports");
        QTest::newRow("as written") << u"torvakdb_TORVAKraporten"_qs << u"Raporten"_qs << 0 << true;
        QTest::newRow("another case, names as written")
            << u"torvakdb_TORVAKraporten"_qs << u"raporten"_qs << 0 << false;
        QTest::newRow("lower case, names kept in lower case")
            << u"torvakdb_torvakraporten"_qs << u"raporten"_qs << 1 << true;
        QTest::newRow("as written, names compared in lower case")
            << u"torvakdb_TORVAKraporten"_qs << u"Raporten"_qs << 2 << true;
        QTest::newRow("another database, names in lower case")
            << u"torvakdb_torvakdata"_qs << u"raporten"_qs << 1 << false;
        QTest::newRow("a longer name, names in lower case")
            << u"torvakdb_torvakraporten"_qs << u"raporten_oud"_qs << 1 << false;
    }

    void schemaNames()
    {
        QFETCH(QString, schema);
        QFETCH(QString, name);
        QFETCH(int, lowerCaseNames);
        QFETCH(bool, isReports);
        QCOMPARE(isSchemaRowOf(tables::reports(), schema, name, lowerCaseNames), isReports);
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
