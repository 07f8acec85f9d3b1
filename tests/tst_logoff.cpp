// Logging off: the consultant's first row is marked offline and the program
// ends, from Image2's double-click or from closing the main window.

#include "core/clock.h"
#include "declaration/form1.h"
#include "login/logoff.h"
#include "support/fakes.h"
#include "support/testdb.h"
#include "ui/imagebutton.h"

#include <QtTest>

using namespace dl;
using dl::test::TestDb;

namespace {

const QDateTime kNow(QDate(2026, 7, 12), QTime(17, 4, 5));

// consultantnummer, isONLINE, isAFGEMELD of every row in table order.
QStringList consultantRows()
{
    return TestDb::rows(QStringLiteral("SELECT consultantnummer, isONLINE, isAFGEMELD "
                                       "FROM torvakdb_TORVAKdata.KALMIRO_consultants ORDER BY id"));
}

} // namespace

class TestLogoff : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void firstMatchingRowOnly_data();
    void firstMatchingRowOnly();
    void doubleClickLogsOffAndEnds();
    void closingTheWindowLogsOff();
    void failingWriteShowsErrorAndEnds();

private:
    struct Fixture {
        Session session;
        test::FakeMessages messages;
        FixedClock clock{kNow};
        ServerAddress server = TestDb::server();
        AppContext ctx{session, messages, clock, server};
        Form1 form{ctx};
        int ended = 0;
        Logoff* logoff = new Logoff(form, ctx, [this] { ++ended; });
    };
};

void TestLogoff::init()
{
    TestDb::reset();
    TestDb::exec(QStringLiteral("INSERT INTO torvakdb_TORVAKdata.KALMIRO_consultants (LOGIN, "
                                "consultantnummer, isONLINE, isAFGEMELD) VALUES "
                                "('anna', '0042', 'ONLINE', NULL), ('bram', '0051', 'ONLINE', NULL), "
                                "('anna2', '0042', 'ONLINE', NULL), "
                                "('anna3', '0042 ', 'ONLINE', NULL), ('anna4', '00420', 'ONLINE', NULL)"));
}

void TestLogoff::firstMatchingRowOnly_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QStringList>("expected");
    const QString stamp = QStringLiteral("07-12-2026  17:04:05");
    QTest::newRow("first of two equal numbers")
        << QStringLiteral("0042")
        << QStringList{QStringLiteral("0042|OFFLINE|") + stamp, QStringLiteral("0051|ONLINE|<NULL>"),
                       QStringLiteral("0042|ONLINE|<NULL>"), QStringLiteral("0042 |ONLINE|<NULL>"),
                       QStringLiteral("00420|ONLINE|<NULL>")};
    QTest::newRow("trailing blank counts")
        << QStringLiteral("0042 ")
        << QStringList{QStringLiteral("0042|ONLINE|<NULL>"), QStringLiteral("0051|ONLINE|<NULL>"),
                       QStringLiteral("0042|ONLINE|<NULL>"), QStringLiteral("0042 |OFFLINE|") + stamp,
                       QStringLiteral("00420|ONLINE|<NULL>")};
    QTest::newRow("unknown number writes nothing")
        << QStringLiteral("0099")
        << QStringList{QStringLiteral("0042|ONLINE|<NULL>"), QStringLiteral("0051|ONLINE|<NULL>"),
                       QStringLiteral("0042|ONLINE|<NULL>"), QStringLiteral("0042 |ONLINE|<NULL>"),
                       QStringLiteral("00420|ONLINE|<NULL>")};
    QTest::newRow("empty number writes nothing")
        << QString()
        << QStringList{QStringLiteral("0042|ONLINE|<NULL>"), QStringLiteral("0051|ONLINE|<NULL>"),
                       QStringLiteral("0042|ONLINE|<NULL>"), QStringLiteral("0042 |ONLINE|<NULL>"),
                       QStringLiteral("00420|ONLINE|<NULL>")};
}

void TestLogoff::firstMatchingRowOnly()
{
    QFETCH(QString, number);
    QFETCH(QStringList, expected);
    Fixture f;
    f.form.controls().setText(QStringLiteral("Text1"), number);
    f.logoff->run();
    QCOMPARE(consultantRows(), expected);
    QCOMPARE(f.ended, 1);
    QVERIFY(f.messages.shown.isEmpty());
}

void TestLogoff::doubleClickLogsOffAndEnds()
{
    Fixture f;
    f.form.controls().setText(QStringLiteral("Text1"), QStringLiteral("0051"));
    f.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.form));
    auto* image = f.form.controls().get<ImageButton>(QStringLiteral("Image2"));
    QVERIFY(image);
    QTest::mouseDClick(image, Qt::LeftButton);
    QCOMPARE(f.ended, 1);
    QCOMPARE(consultantRows().at(1), QStringLiteral("0051|OFFLINE|07-12-2026  17:04:05"));

    // The close that follows the end does not log off a second time.
    f.clock.set(kNow.addSecs(60));
    f.form.close();
    QCOMPARE(f.ended, 1);
    QCOMPARE(consultantRows().at(1), QStringLiteral("0051|OFFLINE|07-12-2026  17:04:05"));
}

void TestLogoff::closingTheWindowLogsOff()
{
    Fixture f;
    f.form.controls().setText(QStringLiteral("Text1"), QStringLiteral("0042"));
    f.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.form));
    QVERIFY(f.form.close());
    QCOMPARE(f.ended, 1);
    QVERIFY(f.messages.shown.isEmpty()); // no question
    QCOMPARE(consultantRows().first(), QStringLiteral("0042|OFFLINE|07-12-2026  17:04:05"));
}

void TestLogoff::failingWriteShowsErrorAndEnds()
{
    Fixture f;
    f.server.host = QStringLiteral("127.0.0.1");
    f.server.port = 1; // nothing listens there
    AppContext unreachable{f.session, f.messages, f.clock, f.server};
    int ended = 0;
    Logoff logoff(f.form, unreachable, [&] { ++ended; });
    f.form.controls().setText(QStringLiteral("Text1"), QStringLiteral("0042"));
    logoff.run();
    QCOMPARE(ended, 1);
    QCOMPARE(f.messages.shown.size(), 1);
    QVERIFY(f.messages.last().startsWith(QStringLiteral("Het afmelden is niet vastgelegd.\r\n\r\nFout ")));
    QVERIFY(f.messages.last().endsWith(QStringLiteral("Het programma wordt afgesloten.")));
    QCOMPARE(consultantRows().first(), QStringLiteral("0042|ONLINE|<NULL>"));
}

QTEST_MAIN(TestLogoff)
#include "tst_logoff.moc"
