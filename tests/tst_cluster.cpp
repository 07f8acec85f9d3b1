// A three-node Galera cluster (GaleraNodes): workstations in separate
// processes on different nodes race for the same months, and a node is
// killed while an action waits on it. On a cluster the row locks of one
// node do not reach the others; the lock rows must hold all the same.

#include "support/concurrentworker.h"
#include "support/galeranodes.h"
#include "support/workstation.h"

#include "declaration/monthselectionrules.h"
#include "declaration/reportrecord.h"
#include "submit/submitmessages.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QProcess>
#include <QScopeGuard>
#include <QSet>
#include <QtTest>

#include <memory>
#include <thread>

using namespace dl;
using namespace dl::test;

namespace {

const QString kGlas = u"0042-GLAS                Begeleiding aanleg glasvezelnet"_qs;
const QString kDijk = u"0051-DIJK                Toezicht dijkversterking"_qs;
const QStringList kGlasMonths{u"01 Januari "_qs, u"02 Februari "_qs, u"03 Maart "_qs};
const QStringList kDijkMonths{u"02 Februari "_qs, u"03 Maart "_qs, u"04 April "_qs};

// What the tables hold, the same on every node once they are in sync.
QStringList tableContents(int node)
{
    return GaleraNodes::rows(
               node, u"SELECT Projectnaam, afgewerkt, Contact01 FROM torvakdb_TORVAKraporten.Raporten "
                     "ORDER BY Projectnaam, id"_qs) +
           GaleraNodes::rows(node, u"SELECT factuurnummer, Jaar, maand, opmerking FROM "
                                   "torvakdb_TORVAKdeclaraties.Declaraties ORDER BY factuurnummer, id"_qs) +
           GaleraNodes::rows(
               node, u"SELECT LOGIN, isONLINE FROM torvakdb_TORVAKdata.KALMIRO_consultants ORDER BY id"_qs) +
           GaleraNodes::rows(node, u"SELECT COUNT(*) FROM torvakdb_TORVAKdata.LOGINconsultant"_qs);
}

int doubledReportRows(int node)
{
    return int(GaleraNodes::rows(node, u"SELECT Projectnaam FROM torvakdb_TORVAKraporten.Raporten "
                                       "GROUP BY Projectnaam HAVING COUNT(*) > 1"_qs)
                   .size());
}

int doubledDeclarations(int node)
{
    return int(GaleraNodes::rows(
                   node, u"SELECT Jaar, maand, Projectnaam FROM torvakdb_TORVAKdeclaraties.Declaraties "
                         "GROUP BY Jaar, maand, Projectnaam HAVING COUNT(*) > 1"_qs)
                   .size());
}

int doubledInvoiceNumbers(int node)
{
    return int(GaleraNodes::rows(node, u"SELECT factuurnummer FROM torvakdb_TORVAKdeclaraties.Declaraties "
                                       "GROUP BY factuurnummer HAVING COUNT(*) > 1"_qs)
                   .size());
}

struct Figures {
    int monthsRaced = 0;
    int doubleRows = 0;
    int doubledInvoices = 0;
    int nodesKilled = 0;
    int actionsUnderKill = 0;
    int doneUnderKill = 0;    // of those, done (on another node when listed)
    int nodesGoneBetween = 0; // killed or cut off while the workstation was idle
    int actionsMovedOn = 0;   // actions then done on another node without a message
};
Figures g_figures;

// Where a slow road spends its time, in the test's output: a run that hangs
// shows the last step it reached.
class Steps {
public:
    Steps() { m_clock.start(); }
    void operator()(const char* what) { qInfo("step %s at %lld ms", what, m_clock.elapsed()); }

private:
    QElapsedTimer m_clock;
};

} // namespace

class TestCluster : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void racesOnDifferentNodes();
    void nodeKilledDuringAction_data();
    void nodeKilledDuringAction();
    void nodeGoneBetweenActions_data();
    void nodeGoneBetweenActions();
    void importantMessageFromAnotherNode_data();
    void importantMessageFromAnotherNode();
    void cleanupTestCase();
};

void TestCluster::init()
{
    for (int n = 1; n <= GaleraNodes::kNodes; ++n) {
        if (!GaleraNodes::isRunning(n))
            QVERIFY(GaleraNodes::start(n));
    }
    GaleraNodes::loadDemo();
}

void TestCluster::racesOnDifferentNodes()
{
    // Two years, two projects, three months each; in every group one
    // workstation of each pair works on another node than its rival.
    struct Group {
        QString login, password, entry, year;
        QStringList months;
    };
    const QList<Group> groups{
        {u"anna"_qs, u"geheim"_qs, kGlas, u"2026"_qs, kGlasMonths},
        {u"bram"_qs, u"welkom"_qs, kDijk, u"2026"_qs, kDijkMonths},
        {u"anna"_qs, u"geheim"_qs, kGlas, u"2027"_qs, kGlasMonths},
        {u"bram"_qs, u"welkom"_qs, kDijk, u"2027"_qs, kDijkMonths},
    };
    constexpr int kPerGroup = 2;
    const qint64 startAt = QDateTime::currentMSecsSinceEpoch() + 4000;
    std::vector<std::unique_ptr<QProcess>> workers;
    int index = 0;
    for (const Group& g : groups) {
        for (int k = 0; k < kPerGroup; ++k, ++index) {
            WorkerPlan plan;
            plan.server = GaleraNodes::node(index % GaleraNodes::kNodes + 1);
            plan.login = g.login;
            plan.password = g.password;
            plan.projectEntry = g.entry;
            plan.id = u"w"_qs + QString::number(index + 1);
            plan.rounds = 3;
            plan.year = g.year;
            plan.months = g.months;
            plan.startAt = startAt;
            auto p = std::make_unique<QProcess>();
            p->start(QCoreApplication::applicationFilePath(),
                     QStringList{u"--worker"_qs} + workerArguments(plan));
            QVERIFY(p->waitForStarted(10000));
            workers.push_back(std::move(p));
        }
    }

    QElapsedTimer clock;
    clock.start();
    QList<WorkerEvent> events;
    for (auto& p : workers) {
        const qint64 left = std::max<qint64>(1000, 180000 - clock.elapsed());
        if (!p->waitForFinished(static_cast<int>(left))) {
            p->kill();
            p->waitForFinished(5000);
            QFAIL("a workstation did not finish within 180 s");
        }
        const QString out = QString::fromUtf8(p->readAllStandardOutput());
        QVERIFY2(out.contains(u"EVENT DONE"_qs), qPrintable(out.right(2000)));
        events << parseEvents(out);
    }

    QHash<QString, int> counts;
    QHash<QString, QString> declaredBy;
    QSet<QString> raced;
    QStringList problems;
    for (const WorkerEvent& e : std::as_const(events)) {
        ++counts[e.what];
        if (!e.key.isEmpty())
            raced.insert(e.key);
        if (e.what == u"DECLARED") {
            QVERIFY2(!declaredBy.contains(e.key), qPrintable(u"declared twice: "_qs + e.key));
            declaredBy.insert(e.key, e.marker);
        }
        if (e.what.endsWith(u"_ERR"))
            problems << e.what + u": "_qs + e.message;
    }
    for (const QString& p : std::as_const(problems))
        qInfo("%s", qPrintable(p));
    // A loser is told the month is declared, or shown the winner's row; a
    // message beyond that may only ask to try again.
    for (const QString& p : std::as_const(problems))
        QVERIFY2(p.contains(u"Probeer het zo meteen opnieuw"_qs), qPrintable(p));

    GaleraNodes::sync();
    int doubleRows = 0;
    int doubledInvoices = 0;
    for (int n = 1; n <= GaleraNodes::kNodes; ++n) {
        doubleRows += doubledReportRows(n) + doubledDeclarations(n);
        doubledInvoices += doubledInvoiceNumbers(n);
    }
    g_figures.monthsRaced += int(raced.size());
    g_figures.doubleRows += doubleRows;
    g_figures.doubledInvoices += doubledInvoices;
    qInfo("FIGURES cluster race: %d workstation processes on 3 nodes, %d months raced (%d declared) in %lld "
          "ms; "
          "%d saves and %d declarations done, %d refused as declared elsewhere, %d asked to try again; "
          "double rows found: %d, invoice numbers doubled: %d",
          int(workers.size()), int(raced.size()), int(declaredBy.size()), clock.elapsed(),
          counts.value(u"SAVED"_qs), counts.value(u"DECLARED"_qs),
          counts.value(u"OPEN_DECLARED"_qs) + counts.value(u"DECLARE_ALREADY"_qs) +
              counts.value(u"SAVE_DECLARED"_qs),
          int(problems.size()), doubleRows, doubledInvoices);
    if (doubleRows > 0) { // what was doubled, and by whom, for the one who reads the failure
        const QStringList reports = GaleraNodes::rows(
            1, u"SELECT r.Projectnaam, r.id, r.afgewerkt, r.Contact01, r.laatstgewijzigd FROM "
               "torvakdb_TORVAKraporten.Raporten r JOIN (SELECT Projectnaam FROM "
               "torvakdb_TORVAKraporten.Raporten "
               "GROUP BY Projectnaam HAVING COUNT(*) > 1) d USING (Projectnaam) ORDER BY r.id"_qs);
        const QStringList declarations = GaleraNodes::rows(
            1,
            u"SELECT d.id, d.factuurnummer, d.Jaar, d.maand, d.Projectnaam, d.DECdatum FROM "
            "torvakdb_TORVAKdeclaraties.Declaraties d JOIN (SELECT Jaar, maand, Projectnaam FROM "
            "torvakdb_TORVAKdeclaraties.Declaraties GROUP BY Jaar, maand, Projectnaam HAVING COUNT(*) > 1) x "
            "USING (Jaar, maand, Projectnaam) ORDER BY d.id"_qs);
        qInfo("doubled reports: %s; doubled declarations: %s", qPrintable(reports.join(u" ; "_qs)),
              qPrintable(declarations.join(u" ; "_qs)));
    }
    QCOMPARE(doubleRows, 0);
    QCOMPARE(doubledInvoices, 0);
    const QStringList onFirst = tableContents(1);
    for (int n = 2; n <= GaleraNodes::kNodes; ++n)
        QCOMPARE(tableContents(n), onFirst);
    // Every declared month: one declaration, its report "ja", the winner's.
    QVERIFY(declaredBy.size() + counts.value(u"DECLARE_ERR"_qs) >= groups.size());
    QVERIFY(declaredBy.size() <= groups.size());
    for (auto it = declaredBy.cbegin(); it != declaredBy.cend(); ++it) {
        QCOMPARE(GaleraNodes::rows(1,
                                   u"SELECT afgewerkt, Contact01 FROM torvakdb_TORVAKraporten.Raporten "
                                   "WHERE Projectnaam = ?"_qs,
                                   {it.key()}),
                 QStringList{u"ja|"_qs + it.value()});
    }
    QCOMPARE(GaleraNodes::rows(1, u"SELECT COUNT(*) FROM torvakdb_TORVAKdeclaraties.Declaraties"_qs),
             QStringList{QString::number(declaredBy.size())});
}

void TestCluster::nodeKilledDuringAction_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("allNodes"); // the workstation lists every node, its own first
    QTest::addColumn<bool>("ownAccounts");
    for (const QString& action : {u"login"_qs, u"save"_qs, u"declare"_qs}) {
        QTest::addRow("%s, its node only", qPrintable(action)) << action << false << false;
        QTest::addRow("%s, all nodes listed", qPrintable(action)) << action << true << false;
    }
    // The call waits inside the server when the node dies: asked again under
    // its action id on the next node, it is done once.
    for (const QString& action : {u"save"_qs, u"declare"_qs}) {
        QTest::addRow("%s, its node only, own accounts", qPrintable(action)) << action << false << true;
        QTest::addRow("%s, all nodes listed, own accounts", qPrintable(action)) << action << true << true;
    }
}

// The workstation works on node 3; an administrator's transaction there holds
// the row the action needs, so the action is waiting on the node when it dies.
// With one address the action is done or says it was not; with the list of
// nodes it goes on to another node and is done.
void TestCluster::nodeKilledDuringAction()
{
    QFETCH(QString, action);
    QFETCH(bool, allNodes);
    QFETCH(bool, ownAccounts);
    constexpr int kVictim = 3;
    const QString key = u"2026_03_0042-GLAS"_qs;
    if (ownAccounts)
        QVERIFY(setUpOwnAccounts(GaleraNodes::office(1)));
    const auto restore = qScopeGuard([&] {
        if (ownAccounts)
            removeOwnAccounts(GaleraNodes::office(1));
    });
    Workstation w(allNodes ? GaleraNodes::list({kVictim, 1, 2}) : ServerList(GaleraNodes::node(kVictim)));
    if (ownAccounts) // the private cluster offers no TLS: as started with --tls off
        w.ctx.connection.tls.mode = TlsOptions::Mode::Off;
    if (action != u"login") {
        QVERIFY(w.logIn(u"anna"_qs, u"geheim"_qs));
        QVERIFY(w.chooseProject(kGlas));
        w.pickMonth(u"2026"_qs, u"03 Maart "_qs);
        w.fillIn(u"voor"_qs);
        if (action == u"declare") {
            w.save.run();
            QVERIFY2(w.messages.last().startsWith(u"Rapport is opgeslagen "_qs),
                     qPrintable(w.messages.last()));
        }
        w.fillIn(u"tijdens"_qs);
    }
    GaleraNodes::sync();
    const QStringList before = tableContents(1);

    GaleraNodes::exec(kVictim, u"BEGIN"_qs);
    if (action == u"login")
        GaleraNodes::rows(kVictim, u"SELECT id FROM torvakdb_TORVAKdata.KALMIRO_consultants "
                                   "WHERE LOGIN = 'anna' FOR UPDATE"_qs);
    else
        GaleraNodes::exec(kVictim,
                          u"INSERT INTO torvakdb_TORVAKraporten.Sloten (sleutel) VALUES (?) "
                          "ON DUPLICATE KEY UPDATE teller = teller + 1"_qs,
                          {QByteArray("raport:" + key.toUtf8())});
    // Only the script from the other thread: the administrator's connections
    // belong to this one.
    std::thread killer([] {
        QThread::msleep(800);
        std::system(DL_SOURCE_DIR "/scripts/galera.sh kill '" DL_GALERA_DIR "' 3 >/dev/null 2>&1");
    });
    w.messages.clear();
    bool done = false;
    if (action == u"login") {
        done = w.logIn(u"anna"_qs, u"geheim"_qs);
    } else if (action == u"save") {
        w.save.run();
        done = w.messages.last().startsWith(u"Rapport is opgeslagen "_qs);
    } else {
        w.messages.choiceAnswers.enqueue(1); // whatever the check finds, the consultant goes on
        w.declare.run();
        done = !w.messages.texts().filter(u"aangeboden voor uitvoering"_qs).isEmpty();
    }
    killer.join();
    ++g_figures.nodesKilled;
    ++g_figures.actionsUnderKill;
    g_figures.doneUnderKill += done ? 1 : 0;
    QVERIFY(!w.messages.shown.isEmpty() || done);
    const QString told = w.messages.shown.isEmpty() ? QString() : w.messages.last();
    qInfo("%s under a kill: %s", qPrintable(action), done ? "done" : qPrintable(told.left(200)));
    // A lost answer that no node could be asked again about is told as not
    // known: then either may hold, as long as every node holds the same.
    const bool unknown = told.contains(u"niet bekend"_qs);
    if (!done)
        QVERIFY2(told.contains(u"niet"_qs), qPrintable(told));
    if (allNodes)
        QVERIFY2(done, qPrintable(told));

    // The two nodes that are left agree, and hold the action's rows only when it said so.
    QVERIFY(GaleraNodes::kill(kVictim)); // gone already; waits until the others go on without it
    GaleraNodes::sync();
    const QStringList after = tableContents(1);
    QCOMPARE(tableContents(2), after);
    if (done)
        QVERIFY(after != before);
    else if (!unknown)
        QCOMPARE(after, before);

    // Back in the cluster, the node holds the same.
    QVERIFY(GaleraNodes::start(kVictim));
    GaleraNodes::sync();
    QCOMPARE(tableContents(kVictim), after);
}

void TestCluster::nodeGoneBetweenActions_data()
{
    QTest::addColumn<bool>("killed"); // else cut off from the others: up, but not ready for clients
    // The office set the accounts up on node 1; anna logs in on node 3.
    QTest::addColumn<bool>("ownAccounts");
    QTest::newRow("killed") << true << false;
    QTest::newRow("not ready") << false << false;
    QTest::newRow("killed, own accounts") << true << true;
    QTest::newRow("not ready, own accounts") << false << true;
}

// A workstation that lists every node works on node 3, which goes away while
// it is idle: its next action is done on another node without a message,
// the rest of the road follows there, and a workstation that starts then
// finds a node that is ready.
void TestCluster::nodeGoneBetweenActions()
{
    QFETCH(bool, killed);
    QFETCH(bool, ownAccounts);
    constexpr int kVictim = 3;
    Steps step;
    if (ownAccounts)
        QVERIFY(setUpOwnAccounts(GaleraNodes::office(1)));
    step("accounts set up");
    const auto restore = qScopeGuard([&] {
        if (!ownAccounts)
            return;
        // A node still cut off would not take the removal.
        if (GaleraNodes::isRunning(kVictim) &&
            GaleraNodes::rows(1, u"SHOW STATUS LIKE 'wsrep_cluster_size'"_qs) !=
                QStringList{u"wsrep_cluster_size|3"_qs})
            GaleraNodes::kill(kVictim);
        removeOwnAccounts(GaleraNodes::office(1));
    });
    const ServerList nodes = GaleraNodes::list({kVictim, 1, 2});
    Workstation w(nodes);
    if (ownAccounts) // the private cluster offers no TLS: as started with --tls off
        w.ctx.connection.tls.mode = TlsOptions::Mode::Off;
    QVERIFY2(w.logIn(u"anna"_qs, u"geheim"_qs),
             qPrintable(w.messages.shown.isEmpty() ? QString() : w.messages.last()));
    QCOMPARE(w.ctx.account.names, ownAccounts ? TableNames::OwnAccount : TableNames::Shared);
    QVERIFY(w.chooseProject(kGlas));
    w.pickMonth(u"2026"_qs, u"03 Maart "_qs);
    w.fillIn(u"verder"_qs);
    QCOMPARE(w.ctx.db().connection().address(), GaleraNodes::node(kVictim));
    step("month open");

    if (killed) {
        QVERIFY(GaleraNodes::kill(kVictim));
    } else {
        GaleraNodes::exec(kVictim, u"SET GLOBAL wsrep_provider_options = 'gmcast.isolate=1'"_qs);
        QTRY_COMPARE_WITH_TIMEOUT(GaleraNodes::rows(kVictim, u"SHOW STATUS LIKE 'wsrep_ready'"_qs),
                                  QStringList{u"wsrep_ready|OFF"_qs}, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(GaleraNodes::rows(1, u"SHOW STATUS LIKE 'wsrep_cluster_size'"_qs),
                                  QStringList{u"wsrep_cluster_size|2"_qs}, 30000);
    }
    ++g_figures.nodesGoneBetween;
    step("node gone");

    w.messages.clear();
    w.save.run();
    step("saved");
    // The question, then the answer; nothing about the node.
    for (const Message& m : std::as_const(w.messages.shown))
        QVERIFY2(m.icon != Icon::Critical, qPrintable(m.text));
    QVERIFY2(w.messages.last().startsWith(u"Rapport is opgeslagen "_qs), qPrintable(w.messages.last()));
    QVERIFY(w.ctx.db().connection().address() != GaleraNodes::node(kVictim));
    ++g_figures.actionsMovedOn;
    w.messages.choiceAnswers.enqueue(1); // whatever the check finds, the consultant goes on
    w.declare.run();
    step("declared");
    QVERIFY2(!w.lastWasError(), qPrintable(w.messages.last()));
    QVERIFY(w.logOff());
    // A new workstation tries node 3 first, as its list says.
    Workstation late(GaleraNodes::list({kVictim, 1, 2}));
    late.ctx.connection.tls.mode = w.ctx.connection.tls.mode;
    QVERIFY2(late.logIn(u"bram"_qs, u"welkom"_qs),
             qPrintable(late.messages.shown.isEmpty() ? QString() : late.messages.last()));
    ++g_figures.actionsMovedOn;
    step("second login");

    // A node cut off answers no reads either: it goes down before the rows are compared.
    if (!killed)
        QVERIFY(GaleraNodes::kill(kVictim));
    GaleraNodes::sync();
    QCOMPARE(GaleraNodes::rows(1,
                               u"SELECT afgewerkt, Contact01 FROM torvakdb_TORVAKraporten.Raporten "
                               "WHERE Projectnaam = ?"_qs,
                               {u"2026_03_0042-GLAS"_qs}),
             QStringList{u"ja|verder"_qs});
    QCOMPARE(GaleraNodes::rows(
                 1, u"SELECT consultant, Jaar, maand FROM torvakdb_TORVAKdeclaraties.Declaraties"_qs),
             QStringList{u"0042|2026|03"_qs});
    QCOMPARE(GaleraNodes::rows(1, u"SELECT LOGIN, isONLINE FROM torvakdb_TORVAKdata.KALMIRO_consultants "
                                  "ORDER BY id"_qs),
             (QStringList{u"anna|OFFLINE"_qs, u"bram|ONLINE"_qs}));
    QCOMPARE(tableContents(2), tableContents(1));
    step("rows compared");

    // Back in the cluster, the node holds the same.
    QVERIFY(GaleraNodes::start(kVictim));
    step("node back");
    GaleraNodes::sync();
    QCOMPARE(tableContents(kVictim), tableContents(1));
}

void TestCluster::importantMessageFromAnotherNode_data()
{
    QTest::addColumn<bool>("ownAccounts");
    QTest::addColumn<bool>("keyless"); // the office's message table has no key, no id
    QTest::newRow("shared account") << false << false;
    QTest::newRow("own accounts, keyless message table") << true << true;
}

// "BELANGRIJK:" posted on node 2 while the declare question is open on a
// workstation of node 3: the declaration reads it in its own transaction.
void TestCluster::importantMessageFromAnotherNode()
{
    QFETCH(bool, ownAccounts);
    QFETCH(bool, keyless);
    const OfficeServer office = GaleraNodes::office(1);
    if (ownAccounts)
        QVERIFY(setUpOwnAccounts(office));
    if (keyless) {
        office.exec(u"ALTER TABLE torvakdb_TORVAKdata.KALMIRO_berichten DROP COLUMN id"_qs);
        if (ownAccounts) // the views are made again over the table as it is now
            QVERIFY(officeRuns("upgrade_accounts.sql", office));
    }
    const auto restore = qScopeGuard([&] {
        if (keyless)
            office.exec(
                u"ALTER TABLE torvakdb_TORVAKdata.KALMIRO_berichten ADD COLUMN id INT UNSIGNED NOT NULL "
                "AUTO_INCREMENT PRIMARY KEY FIRST"_qs);
        if (ownAccounts)
            removeOwnAccounts(office);
    });
    Workstation w(GaleraNodes::list({3, 1, 2}));
    if (ownAccounts)
        w.ctx.connection.tls.mode = TlsOptions::Mode::Off;
    QVERIFY(w.logIn(u"anna"_qs, u"geheim"_qs));
    QVERIFY(w.chooseProject(kGlas));
    w.pickMonth(u"2026"_qs, u"03 Maart "_qs);
    w.fillIn(u"bericht"_qs);
    QCOMPARE(w.ctx.db().connection().address(), GaleraNodes::node(3));
    w.messages.clear();
    w.messages.onShow = [](const Message& m) {
        if (m.caption == submit::declareCaption())
            GaleraNodes::exec(2, u"UPDATE torvakdb_TORVAKdata.KALMIRO_berichten SET Bericht = "
                                 "'BELANGRIJK: niet declareren' LIMIT 1"_qs);
    };
    w.messages.choiceAnswers.enqueue(1); // whatever the check finds, the consultant goes on
    w.declare.run();
    w.messages.onShow = {};
    const QString all = w.messages.texts().join(u'\n');
    QVERIFY2(all.contains(submit::blockedMessage()), qPrintable(all));
    GaleraNodes::sync();
    for (int n = 1; n <= GaleraNodes::kNodes; ++n)
        QCOMPARE(GaleraNodes::rows(n, u"SELECT COUNT(*) FROM torvakdb_TORVAKdeclaraties.Declaraties"_qs),
                 QStringList{u"0"_qs});
}

void TestCluster::cleanupTestCase()
{
    qInfo("FIGURES cluster: months raced: %d, double rows found: %d, invoice numbers doubled: %d, nodes "
          "killed: %d, "
          "actions under a kill: %d (done: %d, said not done: %d), nodes gone between actions: %d, "
          "actions then done on another node: %d",
          g_figures.monthsRaced, g_figures.doubleRows, g_figures.doubledInvoices, g_figures.nodesKilled,
          g_figures.actionsUnderKill, g_figures.doneUnderKill,
          g_figures.actionsUnderKill - g_figures.doneUnderKill, g_figures.nodesGoneBetween,
          g_figures.actionsMovedOn);
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--worker") == 0) {
        QTextStream out(stdout);
        return runWorker(workerPlan(QCoreApplication::arguments().mid(2)), out);
    }
    TestCluster t;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&t, argc, argv);
}

#include "tst_cluster.moc"
