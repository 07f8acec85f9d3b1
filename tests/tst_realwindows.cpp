// The real windows and boxes on an X server (Xvfb, the xcb platform): what
// each title bar shows as the window manager reads it, and keys held down
// on the picture buttons and in the boxes.

#include "app/serverwait.h"
#include "app/startup.h"
#include "core/clock.h"
#include "declaration/daygrid.h"
#include "declaration/form1.h"
#include "declaration/openmonth.h"
#include "login/loginform.h"
#include "submit/declareaction.h"
#include "submit/submitmessages.h"
#include "support/fakes.h"
#include "support/formhelpers.h"
#include "support/seams.h"
#include "support/testdb.h"
#include "ui/imagebutton.h"
#include "ui/messagebox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>

using namespace dl;
using namespace dl::test;

namespace {

// The title as the window manager reads it: _NET_WM_NAME of the window.
QString netWmName(QWidget* w)
{
    QProcess p;
    p.start(u"xprop"_qs, {u"-id"_qs, QString::number(w->winId()), u"-notype"_qs, u"_NET_WM_NAME"_qs});
    if (!p.waitForFinished(10000))
        return u"<xprop did not answer>"_qs;
    const QString out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    const qsizetype first = out.indexOf(u'"');
    const qsizetype last = out.lastIndexOf(u'"');
    if (first < 0 || last <= first)
        return u"<no _NET_WM_NAME: "_qs + out + u'>';
    QString title = out.mid(first + 1, last - first - 1);
    title.replace(u"\\\""_qs, u"\""_qs).replace(u"\\\\"_qs, u"\\"_qs);
    return title;
}

void send(QWidget* to, QEvent::Type type, int key, bool repeated)
{
    QKeyEvent e(type, key, Qt::NoModifier, key == Qt::Key_Space ? u" "_qs : QString(), repeated);
    QApplication::sendEvent(to, &e);
}

// A key held down: its first press, then the repeated release and press pairs.
void hold(QWidget* to, int key, int repeats, bool firstPressHere = true)
{
    if (firstPressHere)
        send(to, QEvent::KeyPress, key, false);
    for (int i = 0; i < repeats; ++i) {
        send(to, QEvent::KeyRelease, key, true);
        send(to, QEvent::KeyPress, key, true);
    }
}

// Runs check on the box that opens next, once it is shown.
// Polled, not waited for: a box may open only after other events ran.
void onNextBox(const std::function<void(QMessageBox*)>& check)
{
    auto* poll = new QTimer;
    auto* waited = new QElapsedTimer;
    waited->start();
    QObject::connect(poll, &QTimer::timeout, [poll, waited, check] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        const bool timedOut = waited->elapsed() > 10000;
        if ((!box || !box->isVisible()) && !timedOut)
            return;
        poll->stop();
        poll->deleteLater();
        delete waited;
        QVERIFY2(box, "no box opened");
        QVERIFY(QTest::qWaitForWindowExposed(box));
        check(box);
    });
    poll->start(20);
}

} // namespace

class TestRealWindows : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void formTitleBars();
    void boxTitleBars_data();
    void boxTitleBars();
    void imageButtonKeys_data();
    void imageButtonKeys();
    void boxIgnoresAKeyHeldWhenItOpened();
    void holdingEnterNeverDeclares();
    void keysTypedDuringASaveReachTheirField();
    void keysTypedAfterThe24HourRuleReachTheirField();
};

void TestRealWindows::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), u"xcb"_qs);
    nameApplication();
}

void TestRealWindows::formTitleBars()
{
    TestDb::loadDemo();
    Session session;
    FakeMessages messages;
    FixedClock clock{QDateTime(QDate(2026, 3, 27), QTime(16, 4, 9))};
    AppContext ctx{session, messages, clock, TestDb::server()};
    Startup startup(ctx, fakeSeams());
    startup.start();
    LoginForm* login = startup.loginForm();
    QVERIFY(QTest::qWaitForWindowExposed(login));
    // Without caption text: not the program's name either.
    QTRY_COMPARE(netWmName(login).trimmed(), QString());
    QVERIFY(!netWmName(login).startsWith(u'<'));

    typeInto(login->controls().get<QLineEdit>(u"Text1"_qs), u"anna"_qs);
    typeInto(login->controls().get<QLineEdit>(u"Text2"_qs), u"geheim"_qs);
    QTest::mouseClick(login->controls().widget(u"Image1"_qs), Qt::LeftButton);
    Form1& form = startup.mainForm();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTRY_COMPARE(netWmName(&form), u"Declaraties & Logboeken van Ir. Anna de Vries"_qs);
}

void TestRealWindows::boxTitleBars_data()
{
    QTest::addColumn<bool>("question");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("text");
    QTest::newRow("save question") << true << submit::saveCaption() << submit::saveCaption() << u"Vraag?"_qs;
    QTest::newRow("declare question")
        << true << submit::declareCaption() << submit::declareCaption() << u"Vraag?"_qs;
    QTest::newRow("message") << false << QString() << applicationTitle() << u"Bericht"_qs;
    // Wider than the box may grow on this screen: it breaks at its words, all of it inside.
    QTest::newRow("a line wider than the box may be")
        << false << QString() << applicationTitle()
        << submit::declaringRefusal(QString(), u"Fout 1146: Table 'torvakdb_TORVAKdata.KALMIRO_berichten' "
                                               "doesn't exist"_qs);
}

void TestRealWindows::boxTitleBars()
{
    QFETCH(bool, question);
    QFETCH(QString, caption);
    QFETCH(QString, shown);
    QFETCH(QString, text);
    QtMessageService boxes;
    QString title;
    bool inside = false;
    onNextBox([&](QMessageBox* box) {
        QTRY_VERIFY(!netWmName(box).startsWith(u'<'));
        title = netWmName(box);
        const auto* label = box->findChild<QLabel*>(u"qt_msgbox_label"_qs);
        int longest = 0;
        for (const QString& line : text.split(u"\r\n"_qs))
            longest = label ? std::max(longest, label->fontMetrics().horizontalAdvance(line)) : 0;
        inside = label && box->rect().contains(QRect(label->mapTo(box, QPoint(0, 0)), label->size())) &&
                 (label->wordWrap() || longest <= label->width());
        QTest::keyClick(box, Qt::Key_Escape);
    });
    if (question)
        boxes.confirm(text, caption);
    else
        boxes.inform(text);
    QCOMPARE(title, shown);
    QVERIFY(inside);
}

void TestRealWindows::imageButtonKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("repeats");     // held: repeated presses after the first
    QTest::addColumn<bool>("firstPress"); // the first press came here
    QTest::addColumn<bool>("release");    // let go here
    QTest::addColumn<bool>("focusLost");  // the focus went elsewhere before the release
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("doubleClicks");
    QTest::newRow("Enter pressed, not let go")
        << int(Qt::Key_Return) << 0 << true << false << false << 0 << 0;
    QTest::newRow("Enter pressed and let go") << int(Qt::Key_Return) << 0 << true << true << false << 1 << 1;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << 0 << true << true << false << 1 << 1;
    QTest::newRow("Enter held, 30 repeats") << int(Qt::Key_Return) << 30 << true << true << false << 1 << 1;
    QTest::newRow("Enter held, still down") << int(Qt::Key_Return) << 30 << true << false << false << 0 << 0;
    QTest::newRow("Enter pressed elsewhere") << int(Qt::Key_Return) << 10 << false << true << false << 0 << 0;
    QTest::newRow("Enter, focus gone first") << int(Qt::Key_Return) << 0 << true << true << true << 0 << 0;
    QTest::newRow("Space pressed and let go") << int(Qt::Key_Space) << 0 << true << true << false << 1 << 1;
    QTest::newRow("Space held") << int(Qt::Key_Space) << 30 << true << true << false << 1 << 1;
}

void TestRealWindows::imageButtonKeys()
{
    QFETCH(int, key);
    QFETCH(int, repeats);
    QFETCH(bool, firstPress);
    QFETCH(bool, release);
    QFETCH(bool, focusLost);
    QFETCH(int, clicks);
    QFETCH(int, doubleClicks);
    QWidget window;
    auto* button = new ImageButton(u"Image9"_qs, QPixmap(16, 16), u"knop"_qs, &window);
    auto* other = new QLineEdit(&window);
    other->move(0, 40);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    other->setFocus(Qt::TabFocusReason);
    const QImage unfocused = button->grab().toImage();
    button->setFocus(Qt::TabFocusReason);
    QVERIFY(button->grab().toImage() != unfocused); // the focus is seen
    QSignalSpy clicked(button, &ImageButton::clicked);
    QSignalSpy doubled(button, &ImageButton::doubleClicked);
    hold(button, key, repeats, firstPress);
    if (focusLost) {
        other->setFocus(Qt::TabFocusReason);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(button, &out);
    }
    if (release)
        send(button, QEvent::KeyRelease, key, false);
    QCOMPARE(clicked.count(), clicks);
    QCOMPARE(doubled.count(), doubleClicks);
}

void TestRealWindows::boxIgnoresAKeyHeldWhenItOpened()
{
    QtMessageService boxes;
    bool openAfterRepeats = false;
    bool openAfterRelease = false;
    onNextBox([&](QMessageBox* box) {
        QWidget* focus = box->focusWidget() ? box->focusWidget() : box;
        // Enter was down before the box opened: its repeats and its release.
        hold(focus, Qt::Key_Return, 20, false);
        openAfterRepeats = box->isVisible();
        send(focus, QEvent::KeyRelease, Qt::Key_Return, false);
        openAfterRelease = box->isVisible();
        // A key pressed in the box answers it.
        QTest::keyClick(focus, Qt::Key_N);
    });
    const bool yes = boxes.confirm(submit::declareQuestion(u"Maart "_qs, u"2026"_qs, u"1,00"_qs),
                                   submit::declareCaption());
    QVERIFY(openAfterRepeats);
    QVERIFY(openAfterRelease);
    QVERIFY(!yes);
}

void TestRealWindows::holdingEnterNeverDeclares()
{
    TestDb::loadDemo();
    Session session;
    QtMessageService boxes;
    // The last day of the month: an empty month declared then gives the check nothing to say.
    FixedClock clock{QDateTime(QDate(2026, 3, 31), QTime(16, 4, 9))};
    AppContext ctx{session, boxes, clock, TestDb::server()};
    const QLocale dutch(QLocale::Dutch, QLocale::Netherlands);
    Form1 form(ctx, nullptr, dutch);
    DeclareAction declare(form, ctx, dutch);
    session.consultantName = u"Ir.Anna de Vries"_qs;
    session.reportKey = u"2026_03_0042-GLAS"_qs;
    session.reportYear = u"2026"_qs;
    session.reportMonthEntry = u"03 Maart "_qs;
    form.controls().setShown(u"Image4"_qs, true);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QWidget* image = form.controls().widget(u"Image4"_qs);
    image->setFocus(Qt::TabFocusReason);

    // Held: nothing happens while the key is down.
    hold(image, Qt::Key_Return, 25);
    QVERIFY(QApplication::activeModalWidget() == nullptr);

    // Let go: the question, which the same key held again does not answer.
    QStringList captions;
    bool stayedOpen = false;
    onNextBox([&](QMessageBox* question) {
        captions << question->windowTitle();
        QWidget* focus = question->focusWidget() ? question->focusWidget() : question;
        hold(focus, Qt::Key_Return, 25, false);
        stayedOpen = question->isVisible();
        onNextBox([&](QMessageBox* told) {
            captions << told->windowTitle();
            QTest::keyClick(told->focusWidget() ? told->focusWidget() : told, Qt::Key_Return);
        });
        QTest::keyClick(focus, Qt::Key_Escape);
    });
    send(image, QEvent::KeyRelease, Qt::Key_Return, false);
    QVERIFY(stayedOpen);
    QCOMPARE(captions, (QStringList{submit::declareCaption(), applicationTitle()}));
    QCOMPARE(TestDb::count(u"torvakdb_TORVAKdeclaraties.Declaraties"_qs), 0);
    QVERIFY(form.controls().isShown(u"Image4"_qs));
}

// Keys typed on the X server while a save waits behind another
// workstation's lock reach the field they were typed in before the save's
// box opens (Qt drops keys for a window a box blocks), and count as unsaved.
void TestRealWindows::keysTypedDuringASaveReachTheirField()
{
    TestDb::loadDemo();
    const QString march = u"2026_03_0042-GLAS"_qs;
    TestDb::exec(u"INSERT INTO torvakdb_TORVAKraporten.Raporten (Projectnaam, afgewerkt, laatstgewijzigd) "
                 "VALUES (?, 'nee', 'eerder')"_qs,
                 {march});
    Session session;
    QtMessageService boxes;
    FixedClock clock{QDateTime(QDate(2026, 3, 27), QTime(16, 4, 9))};
    AppContext ctx{session, boxes, clock, TestDb::server()};
    ctx.serverWait = waitWhilePainting;
    Startup startup(ctx, fakeSeams());
    startup.start();
    LoginForm* login = startup.loginForm();
    typeInto(login->controls().get<QLineEdit>(u"Text1"_qs), u"anna"_qs);
    typeInto(login->controls().get<QLineEdit>(u"Text2"_qs), u"geheim"_qs);
    QTest::mouseClick(login->controls().widget(u"Image1"_qs), Qt::LeftButton);
    QVERIFY(startup.hasMainForm());
    Form1& form = startup.mainForm();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    FormControls& c = form.controls();
    QVERIFY(pickFromList(c.get<QComboBox>(u"Combo1"_qs),
                         u"0042-GLAS                Begeleiding aanleg glasvezelnet"_qs));
    // The month's own message, answered whenever it comes.
    QStringList setUp;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            box && box->isVisible()) {
            setUp << box->text();
            QTest::keyClick(box, Qt::Key_Return);
        }
    });
    answer.start(100);
    QVERIFY(pickFromList(c.get<QComboBox>(u"Combo2"_qs), u"03 Maart "_qs));
    QTRY_COMPARE(setUp.size(), 1);
    answer.stop();
    QCOMPARE(session.reportKey, march);
    form.tabs()->setCurrentIndex(1);
    typeInto(c.get<QLineEdit>(element(u"Text24"_qs, 1)), u"Overleg"_qs);
    auto* day2 = c.get<QLineEdit>(element(u"Text24"_qs, 2));
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    day2->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), day2);

    std::unique_ptr<Connection> holder = adminConnection(TestDb::socketPath(), "holder");
    execAs(*holder,
           u"START TRANSACTION; INSERT INTO torvakdb_TORVAKraporten.Sloten (sleutel) VALUES ('raport:"_qs +
               march + u"') ON DUPLICATE KEY UPDATE teller = teller + 1"_qs,
           {}, "holder");
    const QByteArray typeCommand =
        "xdotool type --window " + QByteArray::number(form.winId()) + " --delay 40 wacht";
    int typed = -1;
    std::thread other([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        typed = std::system(typeCommand.constData());
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        execAs(*holder, u"ROLLBACK"_qs, {}, "holder");
    });
    QStringList captions;
    QString day2InTheBox;
    // The question, then the outcome once the lock is let go.
    onNextBox([&](QMessageBox* question) {
        captions << question->text();
        onNextBox([&](QMessageBox* told) {
            captions << told->text();
            day2InTheBox = day2->text();
            QTest::keyClick(told, Qt::Key_Return);
        });
        QTest::keyClick(question, Qt::Key_Return);
    });
    QTest::mouseDClick(c.widget(u"Image3"_qs), Qt::LeftButton);
    other.join();
    QCOMPARE(typed, 0);
    QCOMPARE(captions.size(), 2);
    QVERIFY2(captions.last().startsWith(u"Rapport is opgeslagen"_qs), qPrintable(captions.last()));
    QCOMPARE(day2InTheBox, u"wacht"_qs);
    QCOMPARE(day2->text(), u"wacht"_qs);
    QCOMPARE(TestDb::rows(
                 u"SELECT Activiteit01, IFNULL(Activiteit02, '') FROM torvakdb_TORVAKraporten.Raporten"_qs),
             QStringList{u"Overleg|"_qs});
    QVERIFY(openmonth::hasChanges(c, session));
}

// "75", Tab, "12" typed fast: the 24-hour box opens on the 5, and the Tab
// and the kilometres typed after it reach the kilometres, not the box.
void TestRealWindows::keysTypedAfterThe24HourRuleReachTheirField()
{
    Session session;
    QtMessageService boxes;
    FixedClock clock{QDateTime(QDate(2026, 3, 27), QTime(16, 4, 9))};
    AppContext ctx{session, boxes, clock, ServerAddress{}};
    Form1 form(ctx);
    DayGrid grid(form, ctx);
    form.tabs()->setCurrentIndex(1);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    FormControls& c = form.controls();
    c.setText(element(u"Text23"_qs, 3), u"Di  03 Maart     2026"_qs);
    auto* hours = c.get<QLineEdit>(element(u"Text26"_qs, 3));
    hours->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), hours);
    QString told;
    onNextBox([&](QMessageBox* box) {
        told = box->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    const QByteArray typeCommand =
        "bash -c \"xdotool type --window " + QByteArray::number(form.winId()) + " --delay 40 $'75\t12'\"";
    // Typed while the window runs, as a consultant types.
    int typed = -1;
    std::thread typist([&] { typed = std::system(typeCommand.constData()); });
    QTRY_VERIFY(!told.isEmpty());
    typist.join();
    QCOMPARE(typed, 0);
    QTRY_COMPARE(c.text(element(u"Text27"_qs, 3)), u"12"_qs);
    QCOMPARE(hours->text(), u"0"_qs);
    QVERIFY(told.startsWith(u"U kunt niet meer als 24 uur per dag werken."_qs));
}

QTEST_MAIN(TestRealWindows)
#include "tst_realwindows.moc"
