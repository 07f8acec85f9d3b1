// The real windows and boxes on an X server (Xvfb, the xcb platform): what
// each title bar shows as the window manager reads it, and keys held down
// on the picture buttons and in the boxes.

#include "app/startup.h"
#include "core/clock.h"
#include "declaration/form1.h"
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
#include <QKeyEvent>
#include <QMessageBox>
#include <QProcess>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

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
void onNextBox(const std::function<void(QMessageBox*)>& check)
{
    QTimer::singleShot(0, [check] {
        QMessageBox* box = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())), 5000);
        QVERIFY(QTest::qWaitForWindowExposed(box));
        check(box);
    });
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
    QTest::newRow("save question") << true << submit::saveCaption() << submit::saveCaption();
    QTest::newRow("declare question") << true << submit::declareCaption() << submit::declareCaption();
    QTest::newRow("message") << false << QString() << applicationTitle();
}

void TestRealWindows::boxTitleBars()
{
    QFETCH(bool, question);
    QFETCH(QString, caption);
    QFETCH(QString, shown);
    QtMessageService boxes;
    QString title;
    onNextBox([&](QMessageBox* box) {
        QTRY_VERIFY(!netWmName(box).startsWith(u'<'));
        title = netWmName(box);
        QTest::keyClick(box, Qt::Key_Escape);
    });
    if (question)
        boxes.confirm(u"Vraag?"_qs, caption);
    else
        boxes.inform(u"Bericht"_qs);
    QCOMPARE(title, shown);
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

QTEST_MAIN(TestRealWindows)
#include "tst_realwindows.moc"
