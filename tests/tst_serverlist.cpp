// A list of server addresses on the wire: which address a connection gets,
// how long the tries take, where a kept connection goes when its server went
// away, what the list costs in round trips; and the window that keeps
// painting, and starts nothing else, while a connection opens.

#include "app/serverwait.h"
#include "data/keptconnection.h"
#include "data/records.h"
#include "data/tables.h"
#include "support/faultproxy.h"
#include "support/testdb.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <memory>
#include <thread>

using namespace dl;
using namespace dl::test;

namespace {

// Nothing listens there: refused at once.
ServerAddress refusing()
{
    return ServerAddress{u"127.0.0.1"_qs, 1};
}

QString firstMessage(Connection& c)
{
    const auto row = Records(c).firstRow(tables::messages());
    return row ? row->text(u"Bericht"_qs) : QString();
}

class PaintCounter : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

} // namespace

class TestServerList : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { TestDb::loadDemo(); }

    // Each try is bounded by the connect timeout, also after a failed one:
    // a try that found nobody must not leave the next without its timeouts.
    // The bound is the whole try's: a node that answers each step late but
    // just in time gets no more. A node's answer that is its own sends the
    // connection on; one that every node would give ends the list.
    void triesInTurn_data()
    {
        // "refuses", "stalls", "slow" (the server's bytes one at a time, 0.25 s
        // apart: each wait far shorter than the connect timeout of 2 s, the
        // greeting alone longer than the whole try's 8 s), "lagging" (every
        // chunk 0.85 s late both ways: a slow link whose handshake takes longer
        // than one connect timeout, each wait shorter),
        // "answers" or "says N" (error N instead of a greeting), in list order
        QTest::addColumn<QStringList>("servers");
        QTest::addColumn<int>("answering"); // index of the one that answers, -1 none
        QTest::addColumn<int>("atMostMs");
        QTest::addColumn<int>("told"); // when none answers: the error told, 0 a lost line
        QTest::newRow("first answers") << QStringList{u"answers"_qs, u"refuses"_qs} << 0 << 1500 << 0;
        QTest::newRow("refused, then one answers")
            << QStringList{u"refuses"_qs, u"answers"_qs} << 1 << 1500 << 0;
        QTest::newRow("stalled, then one answers")
            << QStringList{u"stalls"_qs, u"answers"_qs} << 1 << 4500 << 0;
        QTest::newRow("refused, then stalled") << QStringList{u"refuses"_qs, u"stalls"_qs} << -1 << 4500 << 0;
        QTest::newRow("slow, then one answers") << QStringList{u"slow"_qs, u"answers"_qs} << 1 << 9500 << 0;
        QTest::newRow("refused, then slow") << QStringList{u"refuses"_qs, u"slow"_qs} << -1 << 9500 << 0;
        QTest::newRow("a slow link still connects") << QStringList{u"lagging"_qs} << 0 << 8000 << 0;
        QTest::newRow("none answers")
            << QStringList{u"refuses"_qs, u"refuses"_qs, u"refuses"_qs} << -1 << 1500 << 0;
        QTest::newRow("too many connections, then one answers")
            << QStringList{u"says 1040"_qs, u"answers"_qs} << 1 << 1500 << 0;
        QTest::newRow("host blocked, then one answers")
            << QStringList{u"says 1129"_qs, u"answers"_qs} << 1 << 1500 << 0;
        QTest::newRow("account's connections at the limit, then one answers")
            << QStringList{u"says 1203"_qs, u"answers"_qs} << 1 << 1500 << 0;
        QTest::newRow("account's hourly limit, then one answers")
            << QStringList{u"says 1226"_qs, u"answers"_qs} << 1 << 1500 << 0;
        QTest::newRow("too many connections, then refused")
            << QStringList{u"says 1040"_qs, u"refuses"_qs} << -1 << 1500 << 1040;
        QTest::newRow("refused, then too many connections")
            << QStringList{u"refuses"_qs, u"says 1040"_qs} << -1 << 1500 << 1040;
        QTest::newRow("account refused: the list ends")
            << QStringList{u"says 1045"_qs, u"answers"_qs} << -1 << 1500 << 1045;
        QTest::newRow("unknown database: the list ends")
            << QStringList{u"says 1049"_qs, u"answers"_qs} << -1 << 1500 << 1049;
    }

    void triesInTurn()
    {
        QFETCH(QStringList, servers);
        QFETCH(int, answering);
        QFETCH(int, atMostMs);
        QFETCH(int, told);
        std::vector<std::unique_ptr<FaultProxy>> proxies;
        QStringList addresses;
        for (const QString& kind : servers) {
            if (kind == u"refuses") {
                addresses << refusing().toString();
                continue;
            }
            proxies.push_back(std::make_unique<FaultProxy>([] { return TestDb::server(); }));
            if (kind == u"stalls")
                proxies.back()->stall();
            if (kind == u"slow")
                proxies.back()->trickle(250);
            if (kind == u"lagging")
                proxies.back()->delay(850);
            if (kind.startsWith(u"says "))
                proxies.back()->refuseWith(kind.mid(5).toInt(), "refused by the test");
            addresses << proxies.back()->address().toString();
        }
        const ServerList list = ServerList::parse(addresses.join(u','));
        QElapsedTimer clock;
        clock.start();
        // Without TLS: the connector takes an error before its TLS handshake
        // for a broken line, whatever number it carries.
        Connection::Options options{2, 3};
        options.tls.mode = TlsOptions::Mode::Off;
        try {
            Connection c(list, Database::Data, options);
            QVERIFY2(answering >= 0, "a connection where no server answers");
            QCOMPARE(c.address(), list.addresses().at(answering));
            QCOMPARE(firstMessage(c).isEmpty(), false);
            // The next connection tries the one that answered first.
            QCOMPARE(list.tryOrder().first(), list.addresses().at(answering));
        } catch (const DbError& e) {
            QVERIFY2(answering < 0, e.what());
            if (told == 0)
                QVERIFY2(e.isConnectionLoss(), e.what());
            else
                QCOMPARE(e.number(), told);
        }
        QVERIFY2(clock.elapsed() <= atMostMs, qPrintable(QString::number(clock.elapsed())));
        for (auto& p : proxies)
            p->pass();
    }

    void errorClasses_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<ErrorClass>("expected");
        QTest::newRow("lost during query") << 2013 << ErrorClass::LostLine;
        QTest::newRow("cannot connect") << 2003 << ErrorClass::LostLine;
        QTest::newRow("node not ready for clients") << 1047 << ErrorClass::LostLine;
        QTest::newRow("idle connection ended") << 4031 << ErrorClass::LostLine;
        QTest::newRow("server has gone away") << 2006 << ErrorClass::LostLine;
        QTest::newRow("server shutting down") << 1053 << ErrorClass::LostLine;
        QTest::newRow("connection killed") << 1927 << ErrorClass::LostLine;
        QTest::newRow("cannot connect through the socket") << 2002 << ErrorClass::LostLine;
        QTest::newRow("unknown host") << 2005 << ErrorClass::LostLine;
        QTest::newRow("lost at reading") << 2055 << ErrorClass::LostLine;
        QTest::newRow("read broke") << 5013 << ErrorClass::LostLine;
        QTest::newRow("write broke") << 5014 << ErrorClass::LostLine;
        QTest::newRow("too many connections") << 1040 << ErrorClass::ThisNodeOnly;
        QTest::newRow("host blocked") << 1129 << ErrorClass::ThisNodeOnly;
        QTest::newRow("account's connections") << 1203 << ErrorClass::ThisNodeOnly;
        QTest::newRow("account's limit") << 1226 << ErrorClass::ThisNodeOnly;
        QTest::newRow("TLS refused") << 2026 << ErrorClass::ThisNodeOnly;
        QTest::newRow("account refused") << 1045 << ErrorClass::AccountRefused;
        QTest::newRow("account without password refused") << 1698 << ErrorClass::AccountRefused;
        QTest::newRow("blocked after wrong passwords") << 4150 << ErrorClass::AccountLocked;
        QTest::newRow("blocked after wrong passwords (MySQL)") << 3955 << ErrorClass::AccountLocked;
        QTest::newRow("locked by the office") << 4151 << ErrorClass::AccountLocked;
        QTest::newRow("password expired at connect") << 1862 << ErrorClass::PasswordExpired;
        QTest::newRow("password expired on a statement") << 1820 << ErrorClass::PasswordExpired;
        QTest::newRow("new password refused by the check") << 1819 << ErrorClass::PasswordRefused;
        QTest::newRow("unknown database") << 1049 << ErrorClass::EveryNode;
        QTest::newRow("no access to the database") << 1044 << ErrorClass::ConsultantRefused;
        QTest::newRow("no access to a table") << 1142 << ErrorClass::ConsultantRefused;
        QTest::newRow("lock wait") << 1205 << ErrorClass::Statement;
        QTest::newRow("row changed elsewhere") << 1020 << ErrorClass::Statement;
        QTest::newRow("duplicate key") << 1062 << ErrorClass::Statement;
    }

    void errorClasses()
    {
        QFETCH(int, number);
        QFETCH(ErrorClass, expected);
        QCOMPARE(errorClass(number), expected);
        QCOMPARE(DbError(number, {}).isConnectionLoss(), expected == ErrorClass::LostLine);
    }

    // The kept connection's server went away between two uses: the next use
    // goes to the next address without a word, and a list costs no round
    // trip more than one address.
    void keptConnectionGoesOn()
    {
        FaultProxy first([] { return TestDb::server(); });
        FaultProxy second([] { return TestDb::server(); });
        // One address, counted on the second proxy; the first read also
        // learns the table's columns, once per program.
        for (int i = 0; i < 2; ++i) {
            KeptConnection warm(second.address());
            QVERIFY(!warm.run(firstMessage).isEmpty());
        }
        KeptConnection alone(second.address());
        const int before = second.roundTrips();
        QVERIFY(!alone.run(firstMessage).isEmpty());
        const int aloneTrips = second.roundTrips() - before;
        const int secondConnections = second.connections();

        KeptConnection db(ServerList::parse(first.address().toString() + u',' + second.address().toString()));
        const QString message = db.run(firstMessage);
        QVERIFY(!message.isEmpty());
        QCOMPARE(first.roundTrips(), aloneTrips);
        QCOMPARE(second.connections(), secondConnections);

        first.dropAll();
        QCOMPARE(db.run(firstMessage), message);
        QCOMPARE(db.connection().address(), second.address());
        QCOMPARE(second.connections(), secondConnections + 1);
        // The one that went away is tried last from now on, by every copy.
        QCOMPARE(db.server().tryOrder(), (QList<ServerAddress>{second.address(), first.address()}));
    }

    // A fresh connection that breaks in the middle of a read: with one
    // address that is the failure; with several the read goes to the next.
    void freshConnectionBreaks_data()
    {
        QTest::addColumn<bool>("several");
        QTest::newRow("one address") << false;
        QTest::newRow("two addresses") << true;
    }

    void freshConnectionBreaks()
    {
        QFETCH(bool, several);
        FaultProxy first([] { return TestDb::server(); });
        FaultProxy second([] { return TestDb::server(); });
        first.onPacket("KALMIRO_berichten", FaultProxy::Fault::CutBefore);
        const ServerList both =
            ServerList::parse(first.address().toString() + u',' + second.address().toString());
        KeptConnection db(several ? both : ServerList(first.address()));
        try {
            QVERIFY(!db.run(firstMessage).isEmpty());
            QVERIFY(several);
            QCOMPARE(db.connection().address(), second.address());
        } catch (const DbError& e) {
            QVERIFY2(!several, e.what());
            QVERIFY(e.isConnectionLoss());
        }
        QVERIFY(first.triggered());
    }

    // While the connection opens the window paints, its timers wait, a close
    // waits until the opening is over, and what the opening threw comes out.
    void windowPaintsWhileConnecting_data()
    {
        QTest::addColumn<bool>("answers");
        QTest::addColumn<bool>("rowHeld"); // the server answers, but another session holds the row
        QTest::newRow("a server answers") << true << false;
        QTest::newRow("none answers") << false << false;
        QTest::newRow("a row held elsewhere") << true << true;
    }

    void windowPaintsWhileConnecting()
    {
        QFETCH(bool, answers);
        QFETCH(bool, rowHeld);
        FaultProxy stalled([] { return TestDb::server(); });
        stalled.stall();
        const ServerList list =
            answers ? ServerList::parse(stalled.address().toString() + u',' + TestDb::server().toString())
                    : ServerList(stalled.address());
        PaintCounter window;
        window.resize(200, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        int ticks = 0;
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&] { ++ticks; });
        timer.start(20);
        QTRY_VERIFY(ticks > 0);

        // A lock wait (3 s) must end before the read timeout does.
        KeptConnection db(list, Connection::Options{2, rowHeld ? 8 : 3}, waitWhilePainting);
        const int paintsBefore = window.paints;
        const int ticksBefore = ticks;
        // Another thread asks the window to repaint, as the window system would.
        std::thread asker([&] {
            for (int i = 0; i < 10; ++i) {
                QThread::msleep(100);
                QMetaObject::invokeMethod(
                    &window, [&] { window.update(); }, Qt::QueuedConnection);
            }
        });
        QMetaObject::invokeMethod(
            &window, [&] { window.close(); }, Qt::QueuedConnection);
        QString message;
        bool failed = false;
        int number = 0;
        if (rowHeld) {
            stalled.pass();
            db.connection();
            TestDb::exec(
                u"START TRANSACTION; SELECT * FROM torvakdb_TORVAKdata.KALMIRO_berichten FOR UPDATE"_qs);
        }
        try {
            message = db.run([&](Connection& c) {
                if (!rowHeld)
                    return firstMessage(c);
                Transaction tx(c);
                const auto row = Records(c).findFirstForUpdate(tables::messages(), {});
                return row ? row->text(u"Bericht"_qs) : QString();
            });
        } catch (const DbError& e) {
            failed = true;
            number = e.isConnectionLoss() ? -1 : e.number();
        }
        if (rowHeld) {
            TestDb::exec(u"ROLLBACK"_qs);
            asker.join();
            QCOMPARE(number, 1205);
            failed = false;
            message = u"-"_qs;
        }
        const int paintsDuring = window.paints - paintsBefore;
        const int ticksDuring = ticks - ticksBefore;
        const bool closedDuring = !window.isVisible();
        if (asker.joinable())
            asker.join();
        if (!rowHeld)
            QCOMPARE(number, failed ? -1 : 0);
        stalled.pass();
        QCOMPARE(failed, !answers);
        QCOMPARE(message.isEmpty(), !answers);
        QVERIFY2(paintsDuring > 0, "the window did not paint");
        QCOMPARE(ticksDuring, 0);
        QVERIFY(!closedDuring);
        QTRY_VERIFY(!window.isVisible()); // the close came afterwards
        QTRY_VERIFY(ticks > ticksBefore);
    }

    // A close asked for while the window waits comes once the action that
    // waited is over, not inside a box the same action shows next.
    void closeWaitsForTheAction()
    {
        QWidget window;
        window.resize(200, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        bool shownDuringBox = false;
        bool actionDone = false;
        // The action, as the window's event loop runs it.
        QMetaObject::invokeMethod(
            this,
            [&] {
                QMetaObject::invokeMethod(
                    &window, [&] { window.close(); }, Qt::QueuedConnection);
                waitWhilePainting([] { QThread::msleep(300); });
                // The box that follows runs an event loop, as a modal box does.
                QEventLoop box;
                QTimer::singleShot(200, &box, &QEventLoop::quit);
                box.exec();
                shownDuringBox = window.isVisible();
                actionDone = true;
            },
            Qt::QueuedConnection);
        QTRY_VERIFY(actionDone);
        QVERIFY(shownDuringBox);
        QTRY_VERIFY(!window.isVisible());
    }
};

QTEST_MAIN(TestServerList)
#include "tst_serverlist.moc"
