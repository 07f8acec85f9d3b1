// Typed work that is not lost: the question before a changed month is left
// behind, on the program's own wiring (each road away from the month with
// each answer, and no question where nothing changed), and the question
// before a save or declaration overwrites a save made on another
// workstation since the month was opened.

#include "app/serverwait.h"
#include "app/startup.h"
#include "core/clock.h"
#include "declaration/drafts.h"
#include "declaration/form1.h"
#include "declaration/openmonth.h"
#include "login/loginform.h"
#include "submit/submitmessages.h"
#include "support/fakes.h"
#include "support/formhelpers.h"
#include "support/testdb.h"
#include "support/workstation.h"

#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMimeData>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

using namespace dl;
using namespace dl::test;

namespace {

const QString kGlas = u"0042-GLAS                Begeleiding aanleg glasvezelnet"_qs;
const QString kHaven = u"0042-HAVEN               Advies herinrichting havenkade"_qs;
const QString kMarch = u"2026_03_0042-GLAS"_qs;

enum class Road { Month, Project, Image2, Close, ProjectThenMonth };
enum class Change { Typed, TypedAndDeleted, SavedSince, TypedSavedElsewhere, DroppedDuringSave };

// The program as it starts, its drafts in a folder of the test's own.
struct Program {
    Program()
    {
        StartupSeams seams;
        seams.printers = std::make_unique<FakePrinters>(QStringList{u"Kantoor"_qs}, u"Kantoor"_qs);
        seams.files = std::make_unique<FakeFiles>();
        seams.quit = [](int) {};
        seams.endProgram = [this] { ++ends; };
        seams.workstation = WorkstationReader(u"/nonexistent"_qs, [] { return u"tester"_qs; });
        seams.locale = QLocale(QLocale::Dutch, QLocale::Netherlands);
        seams.draftFolder = folder.path() + u"/concepten"_qs;
        ctx.serverWait = waitWhilePainting;
        startup = std::make_unique<Startup>(ctx, std::move(seams));
        startup->start();
    }
    FormControls& c() { return startup->mainForm().controls(); }
    QString draftFile() const { return DraftStore(folder.path() + u"/concepten"_qs).fileFor(kMarch); }
    bool logIn()
    {
        LoginForm* login = startup->loginForm();
        typeInto(login->controls().get<QLineEdit>(u"Text1"_qs), u"anna"_qs);
        typeInto(login->controls().get<QLineEdit>(u"Text2"_qs), u"geheim"_qs);
        QTest::mouseClick(login->controls().widget(u"Image1"_qs), Qt::LeftButton);
        return startup->hasMainForm() && QTest::qWaitForWindowExposed(&startup->mainForm());
    }
    void clickTab(int index)
    {
        QTabBar* bar = startup->mainForm().findChild<QTabWidget*>(u"SSTab1"_qs)->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }

    Session session;
    FakeMessages messages;
    FixedClock clock{QDateTime(QDate(2026, 3, 27), QTime(16, 4, 9))};
    AppContext ctx{session, messages, clock, TestDb::server()};
    QTemporaryDir folder;
    int ends = 0;
    QMimeData dragged; // what a drag from another window carries
    std::unique_ptr<Startup> startup;
};

QString storedHours()
{
    return TestDb::rows(
               u"SELECT IFNULL(Uren02, '') FROM torvakdb_TORVAKraporten.Raporten WHERE Projectnaam = ?"_qs,
               {kMarch})
        .join(u';');
}

// Saves while another session holds March's lock row; meanwhile a text
// is dropped into a day, as a drag from another window ends there. How long
// the save waited.
qint64 saveWhileDropped(Program& p, QLineEdit* day, const QString& text)
{
    std::unique_ptr<Connection> holder = adminConnection(TestDb::socketPath(), "holder");
    execAs(*holder,
           u"START TRANSACTION; INSERT INTO torvakdb_TORVAKraporten.Sloten (sleutel) VALUES ('raport:"_qs +
               kMarch + u"') ON DUPLICATE KEY UPDATE teller = teller + 1"_qs,
           {}, "holder");
    p.dragged.setText(text);
    auto* enter =
        new QDragEnterEvent(QPoint(2, 2), Qt::CopyAction, &p.dragged, Qt::LeftButton, Qt::NoModifier);
    auto* drop = new QDropEvent(QPointF(2, 2), Qt::CopyAction, &p.dragged, Qt::LeftButton, Qt::NoModifier);
    std::thread other([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        QCoreApplication::postEvent(day, enter);
        QCoreApplication::postEvent(day, drop);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        execAs(*holder, u"ROLLBACK"_qs, {}, "holder");
    });
    QElapsedTimer waited;
    waited.start();
    QTest::mouseDClick(p.c().widget(u"Image3"_qs), Qt::LeftButton);
    const qint64 ms = waited.elapsed();
    other.join();
    return ms;
}

} // namespace

Q_DECLARE_METATYPE(Road)
Q_DECLARE_METATYPE(Change)
Q_DECLARE_METATYPE(dl::Answer)

class TestUnsavedWork : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { TestDb::loadDemo(); }
    void roads_data();
    void roads();
    void savedElsewhere_data();
    void savedElsewhere();
};

void TestUnsavedWork::roads_data()
{
    QTest::addColumn<Road>("road");
    QTest::addColumn<Change>("change");
    QTest::addColumn<int>("answer"); // 0 Opslaan, 1 Niet opslaan, 2 Annuleren
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("wentOn");
    QTest::addColumn<QString>("stored"); // hours of day 2 in March's row(s)
    QTest::newRow("month, Annuleren") << Road::Month << Change::Typed << 2 << true << false << QString();
    QTest::newRow("project, Niet opslaan")
        << Road::Project << Change::Typed << 1 << true << true << QString();
    QTest::newRow("Image2, Opslaan") << Road::Image2 << Change::Typed << 0 << true << true << u"8"_qs;
    QTest::newRow("window closed, Annuleren")
        << Road::Close << Change::Typed << 2 << true << false << QString();
    // Opslaan goes on only when the save went through.
    QTest::newRow("month, Opslaan, saved elsewhere: Nee")
        << Road::Month << Change::TypedSavedElsewhere << 0 << true << false << QString();
    QTest::newRow("month, a digit typed and deleted")
        << Road::Month << Change::TypedAndDeleted << 2 << false << true << QString();
    QTest::newRow("window closed, saved since")
        << Road::Close << Change::SavedSince << 2 << false << true << u"8"_qs;
    // What arrives while the save waits for the server is not counted as saved.
    QTest::newRow("month, a text dropped during the save")
        << Road::Month << Change::DroppedDuringSave << 2 << true << false << u"8"_qs;
    // Typed into the grid another project still shows: a draft of no month.
    QTest::newRow("project, Niet opslaan, typed, a month of it chosen")
        << Road::ProjectThenMonth << Change::Typed << 1 << true << true << QString();
}

void TestUnsavedWork::roads()
{
    QFETCH(Road, road);
    QFETCH(Change, change);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(bool, wentOn);
    QFETCH(QString, stored);

    Program p;
    QVERIFY(p.logIn());
    FormControls& c = p.c();
    QVERIFY(pickFromList(c.get<QComboBox>(u"Combo1"_qs), kGlas));
    QVERIFY(pickFromList(c.get<QComboBox>(u"Combo2"_qs), u"03 Maart "_qs));
    QCOMPARE(p.session.reportKey, kMarch);

    QLineEdit* day2 = c.get<QLineEdit>(hoursSlot(2));
    typeInto(day2, u"8"_qs);
    if (change == Change::TypedAndDeleted)
        QTest::keyClick(day2, Qt::Key_Backspace);
    if (change == Change::SavedSince)
        QTest::mouseDClick(c.widget(u"Image3"_qs), Qt::LeftButton);
    QLineEdit* day5 = c.get<QLineEdit>(element(u"Text24"_qs, 5));
    if (change == Change::DroppedDuringSave) {
        QVERIFY(saveWhileDropped(p, day5, u"Bouwoverleg"_qs) >= 500);
        QCOMPARE(storedHours(), u"8"_qs);
        QTRY_COMPARE(day5->text(), u"Bouwoverleg"_qs);
        QTest::qWait(600); // the save's draft removal, then the drop's draft
    }
    if (change == Change::TypedSavedElsewhere)
        TestDb::exec(
            u"INSERT INTO torvakdb_TORVAKraporten.Raporten (Projectnaam, afgewerkt, laatstgewijzigd) "
            "VALUES (?, 'nee', 'elders')"_qs,
            {kMarch});
    // Kept as a draft within a second of the change, and only while there is one.
    if (asked)
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(p.draftFile()), 1000);
    else
        QTest::qWait(600);
    QCOMPARE(QFile::exists(p.draftFile()), asked);

    p.messages.clear();
    p.messages.choiceAnswers.enqueue(answer);
    Form1& form = p.startup->mainForm();
    switch (road) {
    case Road::Month:
        pickFromList(c.get<QComboBox>(u"Combo2"_qs), u"04 April "_qs);
        break;
    case Road::Project:
        pickFromList(c.get<QComboBox>(u"Combo1"_qs), kHaven);
        break;
    case Road::Image2:
        p.clickTab(0);
        QTest::mouseDClick(c.widget(u"Image2"_qs), Qt::LeftButton);
        break;
    case Road::Close:
        QCOMPARE(form.close(), wentOn);
        break;
    case Road::ProjectThenMonth:
        pickFromList(c.get<QComboBox>(u"Combo1"_qs), kHaven);
        typeInto(c.get<QLineEdit>(hoursSlot(3)), u"5"_qs);
        // The new month's box stays open past the drafts' interval.
        p.messages.openMs = 600;
        pickFromList(c.get<QComboBox>(u"Combo2"_qs), u"03 Maart "_qs);
        p.messages.openMs = 0;
        break;
    }

    QCOMPARE(p.messages.choices.size(), asked ? 1 : 0);
    if (asked) {
        const Choice& q = p.messages.choices.first();
        QCOMPARE(q.caption, u"WIJZIGINGEN NIET OPGESLAGEN"_qs);
        QCOMPARE(q.text, u"Het raport voor Maart 2026 heeft wijzigingen die niet zijn opgeslagen."_qs);
        QCOMPARE(q.buttons, (QStringList{u"Opslaan"_qs, u"Niet opslaan"_qs, u"Annuleren"_qs}));
        QCOMPARE(q.defaultButton, 0);
        QCOMPARE(q.escapeButton, 2);
    }
    QCOMPARE(storedHours(), stored);
    switch (road) {
    case Road::Month:
        QCOMPARE(p.session.reportKey, wentOn ? u"2026_04_0042-GLAS"_qs : kMarch);
        break;
    case Road::Project:
        QCOMPARE(p.session.projectCode, wentOn ? u"0042-HAVEN"_qs : u"0042-GLAS"_qs);
        break;
    case Road::ProjectThenMonth:
        QCOMPARE(p.session.reportKey, u"2026_03_0042-HAVEN"_qs);
        QCOMPARE(c.text(hoursSlot(3)), QString());
        QVERIFY(!openmonth::hasChanges(c, p.session));
        break;
    case Road::Image2:
    case Road::Close:
        QCOMPARE(p.ends, wentOn ? 1 : 0);
        QVERIFY(form.isVisible() || wentOn);
        break;
    }
    if (!wentOn) {
        // Everything as it was, the boxes showing the open month.
        QCOMPARE(c.text(u"Combo1"_qs), kGlas);
        QCOMPARE(c.text(u"Combo3"_qs), u"2026"_qs);
        QCOMPARE(c.text(u"Combo2"_qs), u"03 Maart "_qs);
        QCOMPARE(day2->text(), u"8"_qs);
        QCOMPARE(day5->text(), change == Change::DroppedDuringSave ? u"Bouwoverleg"_qs : QString());
        QVERIFY(openmonth::hasChanges(c, p.session));
    }
    // Saved or not to be saved: the draft goes; left open: it stays.
    p.startup.reset();
    QCOMPARE(QFile::exists(p.draftFile()), asked && !wentOn);
    // And never a draft of another month.
    QCOMPARE(QDir(p.folder.path() + u"/concepten"_qs).entryList(QDir::Files),
             asked && !wentOn ? QStringList{QFileInfo(p.draftFile()).fileName()} : QStringList());
}

void TestUnsavedWork::savedElsewhere_data()
{
    QTest::addColumn<bool>("declaring");
    QTest::addColumn<Answer>("answer");
    QTest::newRow("save, Nee") << false << Answer::No;
    QTest::newRow("save, Ja") << false << Answer::Yes;
    QTest::newRow("declare, Nee") << true << Answer::No;
    QTest::newRow("declare, Ja") << true << Answer::Yes;
}

void TestUnsavedWork::savedElsewhere()
{
    QFETCH(bool, declaring);
    QFETCH(Answer, answer);
    // Two workstations open the stored month; the other one saves first.
    TestDb::exec(u"INSERT INTO torvakdb_TORVAKraporten.Raporten (Projectnaam, afgewerkt, laatstgewijzigd) "
                 "VALUES (?, 'nee', 'eerder')"_qs,
                 {kMarch});
    Workstation here(TestDb::server());
    Workstation other(TestDb::server());
    for (Workstation* w : {&here, &other}) {
        w->pretendLoggedIn(u"0042"_qs, u"Ir. Anna de Vries"_qs);
        QVERIFY(w->chooseProject(kGlas));
        w->pickMonth(u"2026"_qs, u"03 Maart "_qs);
    }
    other.fillIn(u"elders"_qs);
    other.save.run();
    here.fillIn(u"hier"_qs);
    here.clock.set(here.clock.now().addSecs(60));

    here.messages.clear();
    here.messages.choiceAnswers.enqueue(1); // past the check before declaring
    here.messages.answers << Answer::Yes << answer;
    declaring ? here.declare.run() : here.save.run();
    const auto asked = std::find_if(here.messages.shown.cbegin(), here.messages.shown.cend(),
                                    [](const Message& m) { return m.caption == u"RAPORT ELDERS GEWIJZIGD"; });
    QVERIFY2(asked != here.messages.shown.cend(), qPrintable(here.messages.texts().join(u"\n---\n"_qs)));
    QCOMPARE(asked->text,
             u"Dit raport is na het openen op een andere werkplek opgeslagen (Laatst gewijzigd : "
             "27-maart-2026  16:04:09).\r\nWilt U het met uw versie overschrijven?"_qs);
    QCOMPARE(asked->buttons, Buttons::YesNo);
    QCOMPARE(asked->defaultAnswer, Answer::No);

    const QString row =
        u"SELECT afgewerkt, laatstgewijzigd, Activiteit01 FROM torvakdb_TORVAKraporten.Raporten"_qs;
    if (answer == Answer::No) {
        // Nothing written, and said so; the month stays open with what was typed.
        QCOMPARE(here.messages.last(), declaring ? submit::notDeclaredMessage(u"Maart "_qs, u"2026"_qs)
                                                 : submit::notSavedMessage());
        QCOMPARE(TestDb::rows(row),
                 QStringList{u"nee|Laatst gewijzigd : 27-maart-2026  16:04:09|elders dag 1"_qs});
        QCOMPARE(TestDb::count(u"torvakdb_TORVAKdeclaraties.Declaraties"_qs), 0);
        QCOMPARE(here.text(u"Text37"_qs), u"eerder"_qs);
        QVERIFY(here.session.hasOpenReport());
        return;
    }
    QCOMPARE(TestDb::rows(row), QStringList{(declaring ? u"ja"_qs : u"nee"_qs) +
                                            u"|Laatst gewijzigd : 27-maart-2026  16:05:09|hier dag 1"_qs});
    QCOMPARE(TestDb::count(u"torvakdb_TORVAKdeclaraties.Declaraties"_qs), declaring ? 1 : 0);
    if (!declaring) {
        // What it wrote is what it saw: its next save asks nothing more.
        here.messages.clear();
        here.save.run();
        QCOMPARE(here.messages.shown.size(), 2);
        QVERIFY(here.messages.last().startsWith(u"Rapport is opgeslagen"_qs));
    }
}

QTEST_MAIN(TestUnsavedWork)
#include "tst_unsavedwork.moc"
