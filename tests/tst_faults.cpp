// The program against a server that stops, a line that breaks in the middle
// of a query and answers that come seconds late (a proxy between program and
// server does the damage): a clear message within seconds, the form as it
// was, nothing half-written, and the same action going through once the
// server is back.

#include "declaration/reportrecord.h"
#include "declaration/ticker.h"
#include "declaration/tickertext.h"
#include "login/loginform.h"
#include "submit/submitmessages.h"
#include "support/faultproxy.h"
#include "support/officeaccounts.h"
#include "support/servercontrol.h"
#include "support/testdb.h"
#include "support/workstation.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QtTest>

using namespace dl;
using namespace dl::test;

namespace {

const QString kReports = u"torvakdb_TORVAKraporten.Raporten"_qs;
const QString kDeclarations = u"torvakdb_TORVAKdeclaraties.Declaraties"_qs;
const QString kConsultants = u"torvakdb_TORVAKdata.KALMIRO_consultants"_qs;
const QString kKey = u"2026_03_0042-GLAS"_qs;
const QString kProject = u"0042-GLAS                Begeleiding aanleg glasvezelnet"_qs;

// A clear message comes within this, whatever the fault.
constexpr qint64 kPromptMs = 10000;

enum class Action { Login, OpenMonth, Save, Declare };

enum class Fault {
    ServerDown,       // stopped before the action
    ServerStops,      // stops while the action waits at the server
    RowHeld,          // another session holds the action's rows and does not let go
    Restarted,        // restarted between two actions: the kept connection is gone
    ConnectionEnded,  // the server ended the kept connection (as its idle timeout does)
    CutBeforeWrite,   // the line breaks before the main statement reaches the server
    CutMidAnswer,     // the line breaks halfway through the answer to a query
    CommitAnswerLost, // the server commits; the answer never arrives
    CommitLineDown,   // the server commits; the answer never arrives and the line stays down
    DeadLine,         // nothing comes back at all
    AnswerTooLate,    // one answer comes 20 s late
    AnswerLate,       // one answer comes 1.5 s late: slow, but it goes through
    SlowLine,         // every chunk 40 ms late both ways: it goes through
};

// A connection found broken before the action's commit is opened again and
// the action repeated once, without a word.
bool goesThrough(Fault f, Action a)
{
    // A plain read does not wait for a row another session holds.
    if (f == Fault::RowHeld)
        return a == Action::OpenMonth;
    return f == Fault::AnswerLate || f == Fault::SlowLine || f == Fault::Restarted ||
           f == Fault::ConnectionEnded || f == Fault::CutBeforeWrite || f == Fault::CutMidAnswer;
}

// The statement each action stands or falls with, as the proxy sees it. A
// statement the connection has prepared before goes without its text, so
// the open month and the save are known by a value they send.
QByteArray mainStatement(Action a)
{
    switch (a) {
    case Action::Login:
        return "UPDATE `torvakdb_TORVAKdata`.`KALMIRO_consultants`";
    case Action::OpenMonth:
        return kKey.toUtf8();
    case Action::Save:
        return "nieuw dag 31";
    case Action::Declare:
        return "INSERT INTO `torvakdb_TORVAKdeclaraties`";
    }
    return {};
}

// A value bound in the query whose answer carries the row the action reads.
QByteArray readValue(Action a)
{
    return a == Action::Login ? QByteArray("anna") : kKey.toUtf8();
}

// What the action may leave behind: old or new, never a mix.
QStringList stateOf(Action a)
{
    switch (a) {
    case Action::Login:
        return TestDb::rows(u"SELECT isAANGEMELD, isONLINE FROM "_qs + kConsultants + u" ORDER BY id"_qs);
    case Action::OpenMonth:
    case Action::Save:
    case Action::Declare:
        break;
    }
    QStringList columns{u"Projectnaam"_qs, u"afgewerkt"_qs};
    for (const report::Binding& b : report::controlBindings())
        columns << b.column;
    QStringList out =
        TestDb::rows(u"SELECT "_qs + columns.join(u", "_qs) + u" FROM "_qs + kReports + u" ORDER BY id"_qs);
    out << TestDb::rows(u"SELECT factuurnummer, Jaar, maand, totaal FROM "_qs + kDeclarations +
                        u" ORDER BY id"_qs);
    return out;
}

int g_faults = 0;
int g_stops = 0;
int g_repeated = 0; // actions that went through on a new connection
int g_actions = 0;
int g_checked = 0;     // states compared after a fault
int g_halfWritten = 0; // of them neither the old nor the new

} // namespace

class TestFaults : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanupTestCase();

    void serverFaults_data();
    void serverFaults();
    void tickerRefreshFaults_data();
    void tickerRefreshFaults();
    void declaringReadsTheMessage_data();
    void declaringReadsTheMessage();
    void logoffWithTheServerGone();
    void ownAccountAsksAgain_data();
    void ownAccountAsksAgain();

private:
    // The demo consultant on a main form with March 2026 of 0042-GLAS saved
    // once ("oud") and then changed on screen ("nieuw"), not saved yet.
    void prepare(Workstation& w);
    bool run(Workstation& w, Action a);
};

void TestFaults::init()
{
    TestDb::loadDemo();
}

void TestFaults::cleanupTestCase()
{
    qInfo("FIGURES faults: %d faults injected (%d line faults by the proxy, %d server stops), "
          "%d actions run under a fault, %d of them repeated on a new connection; %d results checked whole, "
          "rows lost or half-written: %d",
          g_faults + g_stops, g_faults, g_stops, g_actions, g_repeated, g_checked, g_halfWritten);
}

void TestFaults::prepare(Workstation& w)
{
    w.pretendLoggedIn(u"0042"_qs, u"Ir. Anna de Vries"_qs);
    QVERIFY(w.chooseProject(kProject));
    w.pickMonth(u"2026"_qs, u"03 Maart "_qs);
    w.fillIn(u"oud"_qs);
    w.save.run();
    QVERIFY2(w.messages.last().startsWith(u"Rapport is opgeslagen"_qs), qPrintable(w.messages.last()));
    w.fillIn(u"nieuw"_qs);
    w.c().setText(u"Label4"_qs, u"OPMERKING: alles gewoon"_qs);
    w.messages.clear();
}

bool TestFaults::run(Workstation& w, Action a)
{
    w.messages.clear();
    switch (a) {
    case Action::Login:
        w.loginForm().logIn();
        return w.loginForm().isLoggedIn();
    case Action::OpenMonth:
        w.pickMonth(u"2026"_qs, u"03 Maart "_qs);
        return w.messages.last() ==
               u"Een bestaand declaratie raport (voor de maand Maart  2026)\r\nis ingeladen en klaargezet"_qs;
    case Action::Save:
        w.save.run();
        return w.messages.last().startsWith(u"Rapport is opgeslagen"_qs);
    case Action::Declare:
        w.messages.choiceAnswers.enqueue(1); // whatever the check finds, the consultant goes on
        w.declare.run();
        return w.messages.last() ==
               u"Het Raport voor Maart 2026 is opgeslagen en\r\nde declaratie hiervan is opgeslagen en aangeboden voor uitvoering.\r\n"_qs;
    }
    return false;
}

void TestFaults::serverFaults_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<Fault>("fault");
    const QList<QPair<const char*, Action>> actions{{"login", Action::Login},
                                                    {"open month", Action::OpenMonth},
                                                    {"save", Action::Save},
                                                    {"declare", Action::Declare}};
    const QList<QPair<const char*, Fault>> faults{
        {"server down", Fault::ServerDown},
        {"server stops", Fault::ServerStops},
        {"row held", Fault::RowHeld},
        {"restarted", Fault::Restarted},
        {"connection ended", Fault::ConnectionEnded},
        {"cut before write", Fault::CutBeforeWrite},
        {"cut mid-answer", Fault::CutMidAnswer},
        {"commit answer lost", Fault::CommitAnswerLost},
        {"commit answer lost, line stays down", Fault::CommitLineDown},
        {"dead line", Fault::DeadLine},
        {"answer too late", Fault::AnswerTooLate},
        {"answer late", Fault::AnswerLate},
        {"slow line", Fault::SlowLine}};
    for (const auto& [an, a] : actions) {
        for (const auto& [fn, f] : faults) {
            if ((a == Action::OpenMonth && f == Fault::CommitAnswerLost) ||
                ((a == Action::OpenMonth || a == Action::Login) && f == Fault::CommitLineDown))
                continue; // reads only; the login's write is told by its own tests
            // The waits are the connection's, the same for every action: two of each will do.
            const bool reads = a == Action::Login || a == Action::OpenMonth;
            if ((f == Fault::DeadLine && !reads) || (f == Fault::AnswerTooLate && reads))
                continue;
            QTest::addRow("%s, %s", an, fn) << a << f;
        }
    }
}

void TestFaults::serverFaults()
{
    QFETCH(Action, action);
    QFETCH(Fault, fault);
    FaultProxy proxy(&TestDb::server);
    Workstation w(proxy.address());
    prepare(w);
    if (QTest::currentTestFailed())
        return;
    if (action == Action::Login) {
        // Typed in before the fault.
        w.loginForm().controls().setText(u"Text1"_qs, u"anna"_qs);
        w.loginForm().controls().setText(u"Text2"_qs, u"geheim"_qs);
    }

    const QStringList before = stateOf(action);
    const QMap<QString, QString> shown = w.snapshot();
    ServerBack back;
    std::unique_ptr<DelayedStop> stop;
    switch (fault) {
    case Fault::ServerDown:
        // Straight at the server: nobody listens there now.
        w.ctx.server = TestDb::server();
        QVERIFY(stopServer());
        break;
    case Fault::ServerStops:
        // The action waits on a lock the test holds (or on an answer the
        // proxy holds) when the server goes down.
        if (action == Action::Login)
            TestDb::exec(u"START TRANSACTION; SELECT * FROM "_qs + kConsultants + u" FOR UPDATE"_qs);
        else if (action == Action::OpenMonth)
            proxy.onPacket(mainStatement(action), FaultProxy::Fault::SlowAnswer, 30000);
        else
            TestDb::exec(u"START TRANSACTION; SELECT * FROM "_qs + kReports + u" FOR UPDATE"_qs);
        stop = std::make_unique<DelayedStop>(1500);
        break;
    case Fault::RowHeld:
        TestDb::exec(u"START TRANSACTION; SELECT * FROM "_qs +
                     (action == Action::Login ? kConsultants : kReports) + u" FOR UPDATE"_qs);
        break;
    case Fault::Restarted:
        QVERIFY(stopServer());
        QVERIFY(startServer());
        break;
    case Fault::ConnectionEnded:
        endProgramConnections();
        break;
    case Fault::CutBeforeWrite:
        proxy.onPacket(mainStatement(action), FaultProxy::Fault::CutBefore);
        break;
    case Fault::CutMidAnswer:
        proxy.onPacket(readValue(action), FaultProxy::Fault::CutDuringAnswer);
        break;
    case Fault::CommitAnswerLost:
        proxy.onPacket("COMMIT", FaultProxy::Fault::CutDuringAnswer);
        break;
    case Fault::CommitLineDown:
        proxy.onPacket("COMMIT", FaultProxy::Fault::CutThenDown);
        break;
    case Fault::DeadLine:
        proxy.stall();
        break;
    case Fault::AnswerTooLate:
        proxy.onPacket(mainStatement(action), FaultProxy::Fault::SlowAnswer, 20000);
        break;
    case Fault::AnswerLate:
        proxy.onPacket(mainStatement(action), FaultProxy::Fault::SlowAnswer, 1500);
        break;
    case Fault::SlowLine:
        proxy.delay(40);
        break;
    }
    g_faults += proxy.faults();
    g_stops += (stop || fault == Fault::ServerDown || fault == Fault::Restarted) ? 1 : 0;
    ++g_actions;
    const int connectionsBefore = proxy.connections();

    QElapsedTimer clock;
    clock.start();
    const bool done = run(w, action);
    const qint64 ms = clock.elapsed();
    const QString told = w.messages.texts().join(u"\n---\n"_qs);
    QString last = w.messages.last();
    qInfo("%s in %lld ms: %s", done ? "went through" : "refused", ms,
          qPrintable(last.replace(u"\r\n"_qs, u" / "_qs).left(240)));
    if (stop)
        QVERIFY(stop->wait());
    QVERIFY2(ms < kPromptMs, qPrintable(QString::number(ms)));
    const bool byPacket = fault == Fault::CutBeforeWrite || fault == Fault::CutMidAnswer ||
                          fault == Fault::CommitAnswerLost || fault == Fault::CommitLineDown ||
                          fault == Fault::AnswerTooLate || fault == Fault::AnswerLate ||
                          (fault == Fault::ServerStops && action == Action::OpenMonth);
    if (byPacket)
        QVERIFY2(proxy.triggered(), "the statement the fault waited for never came by");

    // The commit went through, only its answer was lost: the save and the
    // declaration look again and say what happened.
    if ((action == Action::Save || action == Action::Declare) && fault == Fault::CommitAnswerLost) {
        QVERIFY2(done, qPrintable(told));
        if (action == Action::Declare)
            QCOMPARE(TestDb::count(u"torvakdb_TORVAKdeclaraties.Declaraties"_qs), 1);
        else
            QVERIFY(stateOf(action).join(u'\n').contains(u"nieuw dag 31"_qs));
        return;
    }
    // Committed, but neither the answer nor a look at the rows came back:
    // not known, and said so; the next save knows its own.
    if (fault == Fault::CommitLineDown) {
        QVERIFY2(!done, qPrintable(told));
        QVERIFY2(last.startsWith(u"Het is niet bekend of "_qs) && last.contains(u"Kies de maand opnieuw"_qs),
                 qPrintable(told));
        QVERIFY2(!last.contains(u"niets gewijzigd"_qs) && !last.contains(u"NIET"_qs), qPrintable(told));
        proxy.pass();
        if (action == Action::Save) {
            QVERIFY2(run(w, action), qPrintable(w.messages.texts().join(u"\n---\n"_qs)));
            QVERIFY(!w.messages.texts().join(u'\n').contains(u"andere werkplek"_qs));
        } else {
            w.pickMonth(u"2026"_qs, u"03 Maart "_qs);
            QVERIFY2(w.messages.last().endsWith(u"2026 al gedeclareerd!"_qs), qPrintable(w.messages.last()));
        }
        QVERIFY(stateOf(action).join(u'\n').contains(u"nieuw dag 31"_qs));
        QCOMPARE(TestDb::count(kDeclarations), action == Action::Declare ? 1 : 0);
        return;
    }
    if (goesThrough(fault, action)) {
        QVERIFY2(done, qPrintable(told));
        QVERIFY2(!told.contains(u"Fout "_qs), qPrintable(told)); // nothing said of the fault
        if (proxy.connections() > connectionsBefore)
            ++g_repeated;
        if (action == Action::Save || action == Action::Declare) {
            ++g_checked;
            const QString now = stateOf(action).join(u'\n');
            QVERIFY(now.contains(u"nieuw dag 31"_qs) && !now.contains(u"oud dag"_qs));
            QCOMPARE(TestDb::count(kDeclarations), action == Action::Declare ? 1 : 0);
        }
        return;
    }
    QVERIFY2(!done, qPrintable(told));
    QVERIFY2(w.lastWasError(), qPrintable(told));
    if (fault == Fault::RowHeld) {
        // Told in words after two lock waits, not as a server that is gone.
        QVERIFY2(
            w.messages.last().contains(
                u"Een andere werkplek was tegelijk met dezelfde gegevens bezig. Probeer het zo meteen opnieuw."_qs),
            qPrintable(told));
        TestDb::exec(u"ROLLBACK"_qs);
    } else if (action == Action::Login) {
        // The first contact names the server it tried.
        const ServerAddress tried = w.ctx.server.first();
        QVERIFY2(w.messages.last().startsWith(u"De databaseserver op %1:%2 is niet bereikbaar."_qs.arg(
                     tried.host, QString::number(tried.port))),
                 qPrintable(w.messages.last()));
    }
    const QMap<QString, QString> after = w.snapshot();
    for (auto it = shown.cbegin(); it != shown.cend(); ++it)
        QVERIFY2(after.value(it.key()) == it.value(),
                 qPrintable(it.key() + u": "_qs + it.value() + u" -> "_qs + after.value(it.key())));

    // Back to normal: the same action goes through.
    proxy.pass();
    QVERIFY(startServer());
    const QStringList left = stateOf(action);
    const bool again = run(w, action);
    const QString toldAgain = w.messages.texts().join(u"\n---\n"_qs);
    QVERIFY2(again, qPrintable(toldAgain));
    const QStringList finished = stateOf(action);
    ++g_checked;
    if (left != before && left != finished)
        ++g_halfWritten;
    QVERIFY2(left == before || left == finished,
             qPrintable(u"half-written:\n"_qs + left.join(u'\n').left(2000)));
}

void TestFaults::tickerRefreshFaults_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::newRow("server stops") << Fault::ServerStops;
    QTest::newRow("restarted") << Fault::Restarted;
    QTest::newRow("connection ended") << Fault::ConnectionEnded;
    QTest::newRow("cut mid-answer") << Fault::CutMidAnswer;
    QTest::newRow("dead line") << Fault::DeadLine;
    QTest::newRow("answer late") << Fault::AnswerLate;
}

void TestFaults::tickerRefreshFaults()
{
    QFETCH(Fault, fault);
    FaultProxy proxy(&TestDb::server);
    Workstation w(proxy.address());
    auto* label = w.c().get<QLabel>(u"Label4"_qs);
    Ticker ticker(w.form, w.ctx);
    const auto refresh = [&] {
        QSignalSpy done(&ticker, &Ticker::refreshed);
        ticker.refresh();
        return done.wait(15000);
    };
    QVERIFY(refresh());
    const QString first = label->text();
    QVERIFY(first.startsWith(u"OPMERKING:"_qs));
    TestDb::exec(
        u"UPDATE torvakdb_TORVAKdata.KALMIRO_berichten SET Bericht = 'BELANGRIJK: niet declareren'"_qs);

    ServerBack back;
    std::unique_ptr<DelayedStop> stop;
    const QByteArray query = "`KALMIRO_berichten`";
    switch (fault) {
    case Fault::ServerStops:
        proxy.onPacket(query, FaultProxy::Fault::SlowAnswer, 30000);
        stop = std::make_unique<DelayedStop>(1000);
        break;
    case Fault::Restarted:
        QVERIFY(stopServer());
        QVERIFY(startServer());
        break;
    case Fault::ConnectionEnded:
        endProgramConnections();
        break;
    case Fault::CutMidAnswer:
        proxy.onPacket("LIMIT 1", FaultProxy::Fault::CutDuringAnswer);
        break;
    case Fault::DeadLine:
        proxy.stall();
        break;
    default:
        proxy.onPacket(query, FaultProxy::Fault::SlowAnswer, 1500);
        break;
    }
    g_faults += proxy.faults();
    g_stops += (stop || fault == Fault::Restarted) ? 1 : 0;
    ++g_actions;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(refresh());
    qInfo("ticker refresh back in %lld ms, trouble: %s", clock.elapsed(), qPrintable(ticker.trouble()));
    QVERIFY(clock.elapsed() < kPromptMs);
    if (stop)
        QVERIFY(stop->wait());
    if (goesThrough(fault, Action::OpenMonth)) {
        QVERIFY2(ticker.trouble().isEmpty(), qPrintable(ticker.trouble()));
        QCOMPARE(label->text(), u"BELANGRIJK: niet declareren"_qs);
        return;
    }
    // The old text stays, quietly marked; the next refresh after the server is back clears it.
    // Meanwhile no declaration goes ahead on the old text: the new one may say not to.
    QVERIFY(!ticker.trouble().isEmpty());
    QCOMPARE(label->text(), first);
    QVERIFY(w.messages.shown.isEmpty());
    QVERIFY(submit::declaringRefusal(label->text(), w.ctx.session.messageTrouble).contains(ticker.trouble()));
    proxy.pass();
    QVERIFY(startServer());
    QVERIFY(refresh());
    QVERIFY2(ticker.trouble().isEmpty(), qPrintable(ticker.trouble()));
    QCOMPARE(label->text(), u"BELANGRIJK: niet declareren"_qs);
    QCOMPARE(submit::declaringRefusal(label->text(), w.ctx.session.messageTrouble), submit::blockedMessage());
}

// The declaration reads the office's message in its own transaction: one
// posted while its questions are open, or before the strip read any, holds;
// one that cannot be read stops it.
void TestFaults::declaringReadsTheMessage_data()
{
    QTest::addColumn<QString>("before");    // the message when the action starts
    QTest::addColumn<QString>("meanwhile"); // SQL run as the declare question opens
    QTest::addColumn<QString>("told");      // a text the boxes hold; empty: declared
    QTest::newRow("an ordinary message") << u"OPMERKING: alles gewoon"_qs << QString() << QString();
    QTest::newRow("BELANGRIJK: posted while the question is open")
        << u"OPMERKING: alles gewoon"_qs
        << u"UPDATE torvakdb_TORVAKdata.KALMIRO_berichten SET Bericht = 'BELANGRIJK: niet declareren'"_qs
        << submit::blockedMessage();
    QTest::newRow("BELANGRIJK: before the strip read it")
        << u"BELANGRIJK: niet declareren"_qs << QString() << submit::blockedMessage();
    QTest::newRow("BELANGRIJK: with the table's key dropped while the program runs")
        << u"OPMERKING: alles gewoon"_qs
        << u"ALTER TABLE torvakdb_TORVAKdata.KALMIRO_berichten DROP COLUMN id;"
           u"UPDATE torvakdb_TORVAKdata.KALMIRO_berichten SET Bericht = 'BELANGRIJK: niet declareren' LIMIT 1"_qs
        << submit::blockedMessage();
    QTest::newRow("the message cannot be read")
        << u"OPMERKING: alles gewoon"_qs
        << u"RENAME TABLE torvakdb_TORVAKdata.KALMIRO_berichten TO torvakdb_TORVAKdata.KALMIRO_berichten_weg"_qs
        << u"Het bericht van het kantoor kon niet worden gelezen"_qs;
}

void TestFaults::declaringReadsTheMessage()
{
    QFETCH(QString, before);
    QFETCH(QString, meanwhile);
    QFETCH(QString, told);
    const auto restore = qScopeGuard([] {
        TestDb::exec(
            u"RENAME TABLE IF EXISTS torvakdb_TORVAKdata.KALMIRO_berichten_weg TO "
            "torvakdb_TORVAKdata.KALMIRO_berichten;"
            "ALTER TABLE torvakdb_TORVAKdata.KALMIRO_berichten ADD COLUMN IF NOT EXISTS id INT UNSIGNED "
            "NOT NULL AUTO_INCREMENT PRIMARY KEY FIRST"_qs);
    });
    Workstation w(TestDb::server());
    prepare(w);
    TestDb::exec(u"UPDATE torvakdb_TORVAKdata.KALMIRO_berichten SET Bericht = ?"_qs, {before});
    // The strip has read nothing yet.
    w.c().setText(u"Label4"_qs, QString());
    w.messages.onShow = [&](const Message& m) {
        if (m.caption == submit::declareCaption() && !meanwhile.isEmpty())
            TestDb::exec(meanwhile);
    };
    w.messages.choiceAnswers.enqueue(1); // whatever the check finds, the consultant goes on
    w.declare.run();
    w.messages.onShow = {};
    const QString all = w.messages.texts().join(u'\n');
    const int declared = TestDb::count(u"torvakdb_TORVAKdeclaraties.Declaraties"_qs);
    if (told.isEmpty()) {
        QVERIFY2(all.contains(u"aangeboden voor uitvoering"_qs), qPrintable(all));
        QCOMPARE(declared, 1);
    } else {
        QVERIFY2(all.contains(told), qPrintable(all));
        QCOMPARE(declared, 0);
        QVERIFY(TestDb::rows(u"SELECT afgewerkt FROM torvakdb_TORVAKraporten.Raporten WHERE Projectnaam = "
                             "'2026_03_0042-GLAS'"_qs) != QStringList{u"ja"_qs});
    }
}

void TestFaults::logoffWithTheServerGone()
{
    FaultProxy proxy(&TestDb::server);
    Workstation w(proxy.address());
    w.pretendLoggedIn(u"0042"_qs, u"Ir. Anna de Vries"_qs);
    ServerBack back;
    proxy.stall();
    g_faults += proxy.faults();
    ++g_actions;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!w.logOff());
    QVERIFY(clock.elapsed() < kPromptMs);
    QVERIFY2(w.messages.last().startsWith(u"Het afmelden is niet vastgelegd."_qs),
             qPrintable(w.messages.last()));
    QVERIFY(w.messages.last().endsWith(u"Het programma wordt afgesloten."_qs));
}

void TestFaults::ownAccountAsksAgain_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<bool>("lineStaysDown");
    QTest::newRow("save, answer lost") << Action::Save << false;
    QTest::newRow("declare, answer lost") << Action::Declare << false;
    QTest::newRow("save, answer lost, line stays down") << Action::Save << true;
    QTest::newRow("declare, answer lost, line stays down") << Action::Declare << true;
}

// A consultant's own account: the server ran the call, its answer was lost.
// Asked again under the same action id, the server answers what it did and
// does nothing twice; only when no answer comes is it not known.
void TestFaults::ownAccountAsksAgain()
{
    QFETCH(Action, action);
    QFETCH(bool, lineStaysDown);
    QVERIFY(setUpOwnAccounts());
    const auto restore = qScopeGuard([] { removeOwnAccounts(); });
    FaultProxy proxy(&TestDb::server);
    Workstation w(proxy.address());
    w.ctx.connection.tls.mode = TlsOptions::Mode::Off;
    QVERIFY(w.logIn(u"anna"_qs, u"geheim"_qs));
    QVERIFY(w.chooseProject(kProject));
    w.pickMonth(u"2026"_qs, u"03 Maart "_qs);
    w.fillIn(u"nieuw"_qs);
    proxy.onPacket(action == Action::Save ? "`opslaan`" : "`declareren`",
                   lineStaysDown ? FaultProxy::Fault::CutThenDown : FaultProxy::Fault::CutDuringAnswer);
    const bool done = run(w, action);
    const QString told = w.messages.texts().join(u"\n---\n"_qs);
    QVERIFY2(proxy.triggered(), "the call never came by");
    if (lineStaysDown) {
        QVERIFY2(!done && w.messages.last().startsWith(u"Het is niet bekend of "_qs), qPrintable(told));
        proxy.pass();
        if (action == Action::Save) {
            QVERIFY2(run(w, action), qPrintable(w.messages.texts().join(u"\n---\n"_qs)));
            QVERIFY(!w.messages.texts().join(u'\n').contains(u"andere werkplek"_qs));
        } else {
            // The first call may still be running on the server, or never
            // have reached it: declared now, or declared already; once.
            const bool again = run(w, action);
            QVERIFY2(again || w.messages.last().endsWith(u"2026 al gedeclareerd!"_qs),
                     qPrintable(w.messages.texts().join(u"\n---\n"_qs)));
        }
    } else {
        QVERIFY2(done, qPrintable(told));
    }
    QVERIFY(stateOf(action).join(u'\n').contains(u"nieuw dag 31"_qs));
    QCOMPARE(TestDb::count(kDeclarations), action == Action::Declare ? 1 : 0);
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
