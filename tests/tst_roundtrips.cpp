// Round trips per action, counted on the wire by a proxy between the program
// and the server: a consultant at home waits about 20 ms for each one, so an
// action that needs more than it did is a regression however fast the
// server answers here.

#include "declaration/previousmonth.h"
#include "declaration/ticker.h"
#include "support/faultproxy.h"
#include "support/officeaccounts.h"
#include "support/testdb.h"
#include "support/wireturns.h"
#include "support/workstation.h"
#include "year/yearoverview.h"

#include <QScopeGuard>
#include <QSignalSpy>
#include <QtTest>

using namespace dl;
using namespace dl::test;

namespace {

const QString kGlas = u"0042-GLAS                Begeleiding aanleg glasvezelnet"_qs;

// What the proxy reads at one go, from the program or from the server.
struct Chunk {
    bool program = true;
    QByteArray bytes;
};
using Wire = QList<Chunk>;

QByteArray packet(int seq, const QByteArray& payload)
{
    const auto n = payload.size();
    QByteArray out;
    out += char(n & 0xff);
    out += char((n >> 8) & 0xff);
    out += char((n >> 16) & 0xff);
    out += char(seq);
    return out + payload;
}
Chunk program(const QByteArray& bytes)
{
    return {true, bytes};
}
Chunk server(const QByteArray& bytes)
{
    return {false, bytes};
}

const QByteArray kQuery = packet(0, QByteArrayLiteral("\x03SELECT 1"));
const QByteArray kPrepare = packet(0, QByteArrayLiteral("\x16SELECT ?"));
// Executes the statement prepared just before, whose number it cannot know yet.
const QByteArray kExecuteDirect = packet(0, QByteArrayLiteral("\x17\xff\xff\xff\xff\x00\x01\x00\x00\x00"));
const QByteArray kExecute = packet(0, QByteArrayLiteral("\x17\x01\x00\x00\x00\x00\x01\x00\x00\x00"));
const QByteArray kLongData = packet(0, QByteArrayLiteral("\x18\x01\x00\x00\x00\x00\x00tekst"));
const QByteArray kClose = packet(0, QByteArrayLiteral("\x19\x01\x00\x00\x00"));
const QByteArray kQuit = packet(0, QByteArrayLiteral("\x01"));
const QByteArray kOk = packet(1, QByteArrayLiteral("\x00\x00\x00\x02\x00\x00\x00"));
const QByteArray kPrepared = packet(1, QByteArrayLiteral("\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"));

} // namespace

Q_DECLARE_METATYPE(Wire)

class TestRoundTrips : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        if (QByteArrayView(QTest::currentTestFunction()) != "countedByPackets")
            TestDb::loadDemo();
    }

    void typicalRoad_data()
    {
        QTest::addColumn<bool>("ownAccounts");
        QTest::addColumn<int>("loginMost");
        QTest::addColumn<int>("newMonthMost");
        QTest::addColumn<int>("connections");
        QTest::addColumn<int>("saveMost");
        QTest::addColumn<int>("declareMost");
        QTest::addColumn<int>("yearMost");
        QTest::addColumn<int>("projectMost");
        QTest::addColumn<int>("logoffMost");
        // One for the window, one for the ticker.
        QTest::newRow("shared account") << false << 9 << 2 << 2 << 5 << 11 << 2 << 3 << 4;
        // Before the login the ticker tries the shared account once (locked
        // by the switch), then goes as anna after the login. Every
        // action is one call of the server's procedure: the login is the
        // greeting, the ed25519 exchange, the session's settings and the
        // call (5), and the strip's first read as anna the same again;
        // declaring is the check, the declaration and the project chosen
        // again.
        QTest::newRow("own account") << true << 10 << 1 << 3 << 1 << 3 << 1 << 1 << 1;
    }

    // The whole road of one consultant, action by action, against the most
    // each may take (the connection's opening is the login's).
    void typicalRoad()
    {
        QFETCH(bool, ownAccounts);
        QFETCH(int, loginMost);
        QFETCH(int, newMonthMost);
        QFETCH(int, connections);
        QFETCH(int, saveMost);
        QFETCH(int, declareMost);
        QFETCH(int, yearMost);
        QFETCH(int, projectMost);
        QFETCH(int, logoffMost);
        if (ownAccounts)
            QVERIFY(setUpOwnAccounts());
        const auto restore = qScopeGuard([ownAccounts] {
            if (ownAccounts)
                removeOwnAccounts();
        });
        FaultProxy proxy(&TestDb::server);
        Workstation w(proxy.address());
        // The private server offers no TLS: as started with --tls off.
        w.ctx.connection.tls.mode = TlsOptions::Mode::Off;
        // The ticker's own connection; its first refresh comes while the
        // login form is shown.
        Ticker ticker(w.form, w.ctx);
        const auto refresh = [&] {
            QSignalSpy done(&ticker, &Ticker::refreshed);
            ticker.refresh();
            const bool ok = done.wait(15000) && ticker.trouble().isEmpty();
            if (!ok)
                qWarning("ticker: %s", qPrintable(ticker.trouble()));
            return ok;
        };
        QVERIFY(refresh());
        QCOMPARE(w.ctx.account.names, ownAccounts ? TableNames::MessageOnly : TableNames::Shared);
        QStringList over;
        QStringList counted;
        const auto count = [&](const char* action, int most, const std::function<bool()>& run) {
            const int before = proxy.roundTrips();
            const bool ok = run();
            const int used = proxy.roundTrips() - before;
            counted << u"%1 %2"_qs.arg(QLatin1String(action)).arg(used);
            if (!ok)
                over << QLatin1String(action) + u" failed: "_qs + w.messages.last();
            else if (used > most)
                over << u"%1: %2 round trips, at most %3"_qs.arg(QLatin1String(action)).arg(used).arg(most);
        };
        // A switched server gave no message before the login: the strip
        // reads it as the form shows, as anna, on its own thread while the
        // login ends, so both are counted together.
        count("login, the strip's first read after it included", loginMost, [&] {
            const bool in = w.logIn(u"anna"_qs, u"geheim"_qs);
            if (ticker.isRefreshing()) {
                QSignalSpy done(&ticker, &Ticker::refreshed);
                done.wait(15000);
            }
            return in && ticker.trouble().isEmpty();
        });
        count("project choice", projectMost, [&] { return w.chooseProject(kGlas); });
        count("open month (new)", newMonthMost, [&] {
            w.pickMonth(u"2026"_qs, u"03 Maart "_qs);
            return w.session.reportKey == u"2026_03_0042-GLAS"_qs;
        });
        w.c().setText(u"Text24(2)"_qs, u"Overleg gemeente"_qs);
        w.c().setText(u"Text26(2)"_qs, u"8"_qs);
        count("save (new row)", saveMost, [&] {
            w.save.run();
            return w.messages.last().startsWith(u"Rapport is opgeslagen"_qs);
        });
        // April still empty takes March's texts: the project's earlier
        // months in one read.
        new PreviousMonth(w.form, w.ctx);
        w.pickMonth(u"2026"_qs, u"04 April "_qs);
        count("previous month", 1, [&] {
            QTest::mouseDClick(w.c().widget(u"ImageVorigeMaand"_qs), Qt::LeftButton);
            // The first Monday of each: the 2nd of March, the 6th of April.
            return w.text(u"Text24(6)"_qs) == u"Overleg gemeente"_qs;
        });
        w.c().setText(u"Text24(6)"_qs, QString());
        w.pickMonth(u"2026"_qs, u"02 Februari "_qs);
        count("open month (stored)", newMonthMost, [&] {
            w.pickMonth(u"2026"_qs, u"03 Maart "_qs);
            return w.text(u"Text26(2)"_qs) == u"8"_qs;
        });
        w.c().setText(u"Text26(3)"_qs, u"7"_qs);
        count("save (existing row)", saveMost, [&] {
            w.save.run();
            return w.messages.last().startsWith(u"Rapport is opgeslagen"_qs);
        });
        // One of them reads the office's message in the declaration's own transaction.
        count("declare, the project chosen again", declareMost, [&] {
            w.messages.choiceAnswers.enqueue(1); // whatever the check finds, the consultant goes on
            w.declare.run();
            return TestDb::count(u"torvakdb_TORVAKdeclaraties.Declaraties"_qs) == 1;
        });
        // As the consultant's own account after the login.
        QVERIFY(refresh());
        count("ticker refresh", 1, refresh);
        // Both projects of the list, the year's reports and declarations.
        count("year overview", yearMost, [&] {
            const year::Stored s = w.ctx.db().run([&](Connection& c) {
                return year::read(c, u"2026"_qs, u"0042"_qs, {u"0042-GLAS"_qs, u"0042-HAVEN"_qs});
            });
            const year::Overview o = year::build(u"2026"_qs, u"0042"_qs, s, {});
            // The declared amount is the stored total, as the form declared it.
            const QString stored =
                TestDb::rows(u"SELECT totaal FROM torvakdb_TORVAKdeclaraties.Declaraties"_qs).value(0);
            return o.cells.size() == 2 && !stored.isEmpty() && o.declared == stored &&
                   o.cells[0][2].state == year::State::Declared && o.projectHours.value(0) == u"15"_qs;
        });
        count("logoff", logoffMost, [&] { return w.logOff(); });
        qInfo("FIGURES round trips: %s; %d connections in all", qPrintable(counted.join(u", "_qs)),
              proxy.connections());
        QVERIFY2(over.isEmpty(), qPrintable(over.join(u'\n')));
        QCOMPARE(proxy.connections(), connections);
        if (ownAccounts)
            QCOMPARE(TestDb::rows(u"SELECT CONCAT(Projectnaam, '|', afgewerkt) FROM "
                                  "torvakdb_TORVAKraporten.Raporten WHERE Projectnaam LIKE '%0042%'"_qs),
                     QStringList{u"2026_03_0042-GLAS|ja"_qs});
    }

    void countedByPackets_data()
    {
        QTest::addColumn<Wire>("wire");
        QTest::addColumn<int>("trips");
        QTest::newRow("a query") << Wire{program(kQuery), server(kOk)} << 1;
        QTest::newRow("one query after the other")
            << Wire{program(kQuery), server(kOk), program(kQuery), server(kOk)} << 2;
        QTest::newRow("a statement prepared and executed in one go")
            << Wire{program(kPrepare + kExecuteDirect), server(kPrepared), server(kOk)} << 1;
        // The proxy read the execute after it had passed on the prepare's answer.
        QTest::newRow("the same, read in two")
            << Wire{program(kPrepare), server(kPrepared), program(kExecuteDirect), server(kOk)} << 1;
        QTest::newRow("an execute waiting for the statement's number")
            << Wire{program(kPrepare), server(kPrepared), program(kExecute), server(kOk)} << 2;
        // Nobody waits for a goodbye; it may reach the proxy during the next action.
        QTest::newRow("a goodbye") << Wire{program(kQuery), server(kOk), program(kQuit)} << 1;
        QTest::newRow("a statement closed before the next")
            << Wire{program(kQuery), server(kOk), program(kClose), program(kQuery), server(kOk)} << 2;
        QTest::newRow("long data before the execute")
            << Wire{program(kPrepare), server(kPrepared), program(kLongData + kExecute), server(kOk)} << 2;
        QTest::newRow("a query cut into three")
            << Wire{program(kQuery.left(2)), program(kQuery.mid(2, 5)), program(kQuery.mid(7)), server(kOk)}
            << 1;
        QTest::newRow("an answer in two chunks")
            << Wire{program(kQuery), server(kOk.left(3)), server(kOk.mid(3)), program(kQuery), server(kOk)}
            << 2;
        // A packet of 2^24 - 1 bytes goes on in the next, numbered on.
        const QByteArray full = packet(0, QByteArray(0xffffff, 'x'));
        QTest::newRow("a packet longer than 16 MB")
            << Wire{program(full.left(70000)), program(full.mid(70000) + packet(1, "y")), server(kOk)} << 1;
        // The greeting is the connection's; then the answer to it and the
        // plugin's exchange each wait for the server's packet before.
        QTest::newRow("a login with a switch of plugin")
            << Wire{server(packet(0, "\n10.11")), program(packet(1, QByteArray(60, 'h'))),
                    server(packet(2, QByteArray(1, '\xfe') + "client_ed25519")),
                    program(packet(3, QByteArray(64, 's'))),
                    server(packet(4, QByteArrayLiteral("\x00\x00\x00")))}
            << 2;
        // Past the request the packets are out of sight: each chunk that
        // follows one of the server's counts.
        const QByteArray tls = packet(1, QByteArrayLiteral("\x0c\x0a\x00\x00") + QByteArray(28, '\0'));
        QTest::newRow("TLS") << Wire{server(packet(0, "\n10.11")), program(tls + "\x16\x03\x01hello"),
                                     server("\x16\x03\x03hello"),  program("\x16\x03\x03finished"),
                                     program("\x17\x03\x03query"), server("\x17\x03\x03answer")}
                             << 2;
    }

    // The count follows the packets the program sends, however the
    // proxy's reads cut the stream and whenever they come.
    void countedByPackets()
    {
        QFETCH(Wire, wire);
        QFETCH(int, trips);
        WireTurns turns;
        int counted = 0;
        for (const Chunk& c : std::as_const(wire)) {
            if (c.program)
                counted += turns.fromProgram(c.bytes);
            else
                turns.fromServer(c.bytes);
        }
        QCOMPARE(counted, trips);
    }

    void lostLinesUnderTheLimit_data()
    {
        QTest::addColumn<int>("waitTimeout"); // the server's, in seconds
        QTest::addColumn<int>("drops");
        QTest::addColumn<int>("pauseMs");   // idle after each drop's reopen
        QTest::addColumn<int>("refusedAt"); // the drop whose reopen meets the account's limit; 0: none
        // Each drop leaves the kept connection and the ticker's with the
        // server, and the program opens both again: within wait_timeout four
        // drops fit under the account's ten connections, the fifth does not.
        QTest::newRow("four drops within wait_timeout") << 60 << 4 << 0 << 0;
        QTest::newRow("a fifth drop within wait_timeout") << 60 << 5 << 0 << 5;
        QTest::newRow("drops further apart than wait_timeout") << 2 << 5 << 3000 << 0;
    }

    // A VPN that drops while anna works at home: the server holds the dead
    // connections, the program opens new ones as her own account and goes
    // on without a word, until the dead ones fill her limit.
    void lostLinesUnderTheLimit()
    {
        QFETCH(int, waitTimeout);
        QFETCH(int, drops);
        QFETCH(int, pauseMs);
        QFETCH(int, refusedAt);
        QVERIFY(setUpOwnAccounts());
        // Taken by each connection when it opens.
        TestDb::exec(u"SET GLOBAL wait_timeout = %1"_qs.arg(waitTimeout));
        const auto restore = qScopeGuard([] {
            TestDb::exec(u"SET GLOBAL wait_timeout = DEFAULT"_qs);
            removeOwnAccounts();
        });
        const auto held = [] {
            return TestDb::rows(u"SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE USER = 'anna'"_qs)
                .value(0)
                .toInt();
        };
        FaultProxy proxy(&TestDb::server);
        Workstation w(proxy.address());
        w.ctx.connection.tls.mode = TlsOptions::Mode::Off;
        Ticker ticker(w.form, w.ctx);
        const auto refresh = [&] {
            QSignalSpy done(&ticker, &Ticker::refreshed);
            ticker.refresh();
            return done.wait(15000) && ticker.trouble().isEmpty();
        };
        QVERIFY(w.logIn(u"anna"_qs, u"geheim"_qs));
        QVERIFY(w.chooseProject(kGlas));
        w.pickMonth(u"2026"_qs, u"03 Maart "_qs);
        QVERIFY(refresh());
        QCOMPARE(held(), 2);
        QStringList figures;
        for (int drop = 1; drop <= drops; ++drop) {
            proxy.cutLine();
            w.messages.clear();
            w.c().setText(u"Text26(2)"_qs, QString::number(drop));
            w.save.run();
            const bool saved = !w.messages.shown.isEmpty() &&
                               w.messages.last().startsWith(u"Rapport is opgeslagen"_qs) && !w.lastWasError();
            const bool ticked = refresh();
            figures << u"drop %1: %2 held, saved %3, ticker %4"_qs.arg(drop).arg(held()).arg(saved).arg(
                ticked);
            if (drop == refusedAt) {
                QVERIFY2(!saved, qPrintable(figures.join(u"; "_qs)));
                QVERIFY(!ticked);
                QVERIFY(w.lastWasError());
                QCOMPARE(held(), 10);
                figures << u"told: "_qs + w.messages.last().simplified();
                break;
            }
            QVERIFY2(saved, qPrintable(w.messages.shown.isEmpty() ? figures.last() : w.messages.last()));
            QVERIFY2(ticked, qPrintable(ticker.trouble()));
            QVERIFY(held() <= 10);
            QTest::qWait(pauseMs);
        }
        qInfo("FIGURES lost lines, wait_timeout %d s: %s", waitTimeout, qPrintable(figures.join(u"; "_qs)));
        // A save repeated on a new connection is one row still.
        QCOMPARE(TestDb::count(u"torvakdb_TORVAKraporten.Raporten"_qs), 1);
    }
};

QTEST_MAIN(TestRoundTrips)
#include "tst_roundtrips.moc"
