// The main form as the start-up wires it, at the sizes consultants have: the
// day grid by keyboard, everything in reach at 1024x768 and at 200 %, and
// the names a screen reader says.

#include "support/form1fixture.h"
#include "ui/besidetip.h"
#include "ui/formparts.h"
#include "ui/onscreen.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QtTest>

using namespace dl;

class TestForm1Fits : public QObject, test::Form1Fixture {
    Q_OBJECT

private Q_SLOTS:
    void init() { initFixture(); }
    void cleanup() { cleanupFixture(); }

    // Enter and Down go to the same field of the next day, Up to the day
    // before; never past the month's last day. Keys: E Enter, K keypad
    // Enter, D Down, U Up, then the digits typed.
    void dayByDayByKeyboard_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("text"); // of focus afterwards
        const auto row = [](const char* n, const QString& start, const QString& keys, const QString& focus,
                            const QString& text) { QTest::newRow(n) << start << keys << focus << text; };
        row("Enter in the hours", u"Text26(3)"_qs, u"E7"_qs, u"Text26(4)"_qs, u"7"_qs);
        row("keypad Enter in the km", u"Text27(3)"_qs, u"K12"_qs, u"Text27(4)"_qs, u"12"_qs);
        row("Down in the activity", u"Text24(9)"_qs, u"D"_qs, u"Text24(10)"_qs, QString());
        row("Up in the contact", u"Text25(9)"_qs, u"UU"_qs, u"Text25(7)"_qs, QString());
        row("Up on the first day stays", u"Text24(1)"_qs, u"U"_qs, u"Text24(1)"_qs, QString());
        row("Down to the last day", u"Text26(29)"_qs, u"D"_qs, u"Text26(30)"_qs, u"0"_qs);
        row("Enter on the last day stays", u"Text26(29)"_qs, u"EEE"_qs, u"Text26(30)"_qs, u"0"_qs);
        row("a week of hours", u"Text26(2)"_qs, u"8E8E8E8E4"_qs, u"Text26(6)"_qs, u"4"_qs);
        row("down the whole month", u"Text27(1)"_qs, QString(40, u'E'), u"Text27(30)"_qs, u"0"_qs);
        row("weekend days are not skipped", u"Text26(6)"_qs, u"D"_qs, u"Text26(7)"_qs, u"0"_qs);
    }
    void dayByDayByKeyboard()
    {
        QFETCH(QString, start);
        QFETCH(QString, keys);
        QFETCH(QString, focus);
        QFETCH(QString, text);
        Form1& form = wiredNovember();
        form.resize(1024, 738);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.switchTab(1);
        QWidget* first = form.controls().widget(start);
        first->setFocus();
        QCOMPARE(QApplication::focusWidget(), first);
        for (const QChar k : keys) {
            QWidget* at = QApplication::focusWidget();
            if (k == u'E')
                QTest::keyClick(at, Qt::Key_Return);
            else if (k == u'K')
                QTest::keyClick(at, Qt::Key_Enter, Qt::KeypadModifier);
            else if (k == u'D')
                QTest::keyClick(at, Qt::Key_Down);
            else if (k == u'U')
                QTest::keyClick(at, Qt::Key_Up);
            else
                QTest::keyClick(at, k.toLatin1());
        }
        QWidget* now = QApplication::focusWidget();
        QCOMPARE(now, form.controls().widget(focus));
        QCOMPARE(form.controls().text(focus), text);
        // Wherever the keys led, the field is in view under its heading.
        QCOMPARE(now->visibleRegion().boundingRect(), now->rect());
        const QString heading = focus.left(focus.indexOf(u'(')) + u"(0)"_qs;
        QCOMPARE(form.controls().widget(heading)->visibleRegion().boundingRect(),
                 form.controls().widget(heading)->rect());
    }

    // The window at the sizes consultants have: a 1024x768 screen, 200 % on
    // a 1366x768 one (683x384 to the program), and larger. The days scroll;
    // the headings, the column totals and the expense line stay in view,
    // and no control sticks out of the window.
    // The window's frame comes on top of its size: the whole of it goes on
    // the screen's free area, shrunk and moved as far as it must.
    void frameOnScreen_data()
    {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("framePos");
        QTest::addColumn<QSize>("fitted");
        const QRect wide(0, 0, 1366, 768);
        QTest::newRow("fits") << QRect(10, 10, 1046, 750) << QSize(1040, 720) << wide << QPoint(10, 10)
                              << QSize(1040, 720);
        QTest::newRow("the bottom below the screen: moved up")
            << QRect(100, 50, 1046, 750) << QSize(1040, 720) << wide << QPoint(100, 18) << QSize(1040, 720);
        QTest::newRow("the title bar on top of the screen's height")
            << QRect(0, 0, 1046, 778) << QSize(1040, 748) << wide << QPoint(0, 0) << QSize(1040, 738);
        // The start size is the screen's; the frame comes on top of it.
        QTest::newRow("200 % on 1366x768") << QRect(0, 0, 689, 414) << QSize(683, 384)
                                           << QRect(0, 0, 683, 384) << QPoint(0, 0) << QSize(677, 354);
        QTest::newRow("asked for more than the screen: the frame's room only")
            << QRect(0, 0, 1046, 1030) << QSize(1040, 1000) << wide << QPoint(0, 0) << QSize(1040, 970);
        QTest::newRow("a panel at the top, off to the left")
            << QRect(-40, 0, 806, 630) << QSize(800, 600) << QRect(0, 24, 1024, 744) << QPoint(0, 24)
            << QSize(800, 600);
    }
    void frameOnScreen()
    {
        QFETCH(QRect, frame);
        QFETCH(QSize, client);
        QFETCH(QRect, available);
        const onscreen::Placement p = onscreen::fit(frame, client, available);
        QTEST(p.framePos, "framePos");
        QTEST(p.client, "fitted");
    }

    // On a 1366x738 free area.
    void tipBesideItsWidget_data()
    {
        QTest::addColumn<QRect>("widget");
        QTest::addColumn<QSize>("tip");
        QTest::addColumn<QPoint>("at");
        QTest::newRow("room below") << QRect(100, 300, 60, 20) << QSize(200, 40) << QPoint(100, 321);
        QTest::newRow("at the foot: above") << QRect(100, 700, 60, 20) << QSize(200, 40) << QPoint(100, 658);
        QTest::newRow("exactly fits below") << QRect(100, 600, 60, 20) << QSize(200, 117) << QPoint(100, 621);
        QTest::newRow("no room either way: below")
            << QRect(0, 20, 60, 700) << QSize(200, 40) << QPoint(0, 721);
        QTest::newRow("right edge: moved in")
            << QRect(1300, 300, 60, 20) << QSize(200, 40) << QPoint(1166, 321);
        QTest::newRow("wider than the screen: at its left")
            << QRect(1300, 300, 60, 20) << QSize(1500, 40) << QPoint(0, 321);
    }
    void tipBesideItsWidget()
    {
        QFETCH(QRect, widget);
        QFETCH(QSize, tip);
        QTEST(besidetip::position(widget, tip, QRect(0, 0, 1366, 738)), "at");
    }

    void fitsTheWindow_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("daysInView");   // at least
        QTest::addColumn<bool>("activityCut"); // a full activity shows only in part
        QTest::addColumn<QString>("picture");  // DL_SCREENSHOT_DIR=folder: saved there
        QTest::newRow("1024x768") << QSize(1024, 738) << 12 << false << u"form1-1024.png"_qs;
        QTest::newRow("200% on 1366x768") << QSize(683, 384) << 2 << true << u"form1-200.png"_qs;
        QTest::newRow("1366x768") << QSize(1366, 738) << 12 << false << QString();
        QTest::newRow("1920x1080") << QSize(1920, 1050) << 30 << false << QString();
    }
    void fitsTheWindow()
    {
        QFETCH(QSize, size);
        QFETCH(int, daysInView);
        QFETCH(bool, activityCut);
        QFETCH(QString, picture);
        Form1& form = wiredNovember();
        const QString full = u"Inspectie kademuur, verslag havenmeester."_qs;
        form.controls().setText(u"Text24(2)"_qs, full);
        const QString folder = qEnvironmentVariable("DL_SCREENSHOT_DIR");
        if (!folder.isEmpty() && !picture.isEmpty())
            fillForAPicture(form.controls());
        form.resize(size);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.size(), size);
        const FormControls& c = form.controls();
        const auto fullyShown = [](QWidget* w) { return w->visibleRegion().boundingRect() == w->rect(); };
        const auto inWindow = [&form](QWidget* w) {
            return form.rect().contains(QRect(w->mapTo(&form, QPoint(0, 0)), w->size()));
        };
        // The whole form scrolls only below its smallest layout, which these sizes are not.
        auto* whole = form.findChild<QScrollArea*>(u"Form1Scroll"_qs);
        for (int tab = 0; tab < 2; ++tab) {
            form.switchTab(tab);
            QApplication::processEvents();
            QVERIFY(!whole->horizontalScrollBar()->isVisible() && !whole->verticalScrollBar()->isVisible());
            // Outside the scroll areas everything is inside the window; the
            // areas themselves are too.
            for (QWidget* w : form.findChildren<QWidget*>()) {
                bool inArea = false;
                for (QWidget* p = w->parentWidget(); p && !inArea; p = p->parentWidget())
                    inArea = qobject_cast<QScrollArea*>(p) != nullptr && p->objectName() != u"Form1Scroll"_qs;
                if (w->isVisible() && !inArea)
                    QVERIFY2(inWindow(w), qPrintable(w->objectName() + u" "_qs +
                                                     QString::fromLatin1(w->metaObject()->className())));
            }
        }
        // Scrolled to the end of the month and back: headings, totals and
        // the expense line in view all the time.
        for (const QString& day : {u"Text26(30)"_qs, u"Text24(1)"_qs}) {
            auto* days = form.findChild<QScrollArea*>(u"RaportScroll"_qs);
            days->ensureWidgetVisible(c.widget(day));
            QApplication::processEvents();
            QVERIFY(fullyShown(c.widget(day)));
            for (const QString& n :
                 {u"Text23(0)"_qs, u"Text24(0)"_qs, u"Text26(0)"_qs, u"Text27(0)"_qs, u"Text26(32)"_qs,
                  u"Text27(32)"_qs, u"Text35"_qs, u"Text36"_qs, u"Text33"_qs, u"Text34"_qs, u"Image3"_qs})
                QVERIFY2(fullyShown(c.widget(n)), qPrintable(n + u" at "_qs + day));
            // Each column right under its heading, and its total under it.
            const auto x = [&form](QWidget* w) { return w->mapTo(&form, QPoint(0, 0)).x(); };
            for (int col = 23; col <= 27; ++col) {
                QWidget* h = c.widget(u"Text%1(0)"_qs.arg(col));
                QWidget* d = c.widget(u"Text%1(1)"_qs.arg(col));
                QCOMPARE(x(h), x(d));
                QCOMPARE(h->width(), d->width());
                if (col >= 26)
                    QCOMPARE(x(c.widget(u"Text%1(32)"_qs.arg(col))), x(d));
            }
            QCOMPARE(x(c.widget(u"Text36"_qs)), x(c.widget(u"Text24(1)"_qs)));
        }
        int shown = 0;
        for (int n = 1; n <= 30; ++n)
            shown += fullyShown(c.widget(element(u"Text26"_qs, n)));
        QVERIFY2(shown >= daysInView, qPrintable(QString::number(shown)));
        // A text cut by the window says so and shows whole as a tool tip; it stays as it is.
        auto* activity = c.get<QLineEdit>(u"Text24(2)"_qs);
        QCOMPARE(dl::form::isCut(activity), activityCut);
        QCOMPARE(activity->toolTip(), activityCut ? full : QString());
        QCOMPARE(activity->actions().size(), activityCut ? 1 : 0);
        QCOMPARE(activity->text(), full);
        if (!folder.isEmpty() && !picture.isEmpty()) {
            form.switchTab(1);
            c.get<QLineEdit>(u"Text26(5)"_qs)->setFocus();
            QTest::qWait(100);
            QVERIFY(form.grab().save(folder + u'/' + picture));
            form.switchTab(0);
            QTest::qWait(100);
            QVERIFY(form.grab().save(folder + u'/' + picture.chopped(4) + u"-declaratie.png"_qs));
        }
    }

    // What a screen reader says for each input of a month's grid and of the
    // summary, and the caption it reads with it.
    void namedForAScreenReader_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption"); // the label whose buddy the field is
        const auto row = [](const QString& f, const QString& n, const QString& l = {}) {
            QTest::newRow(qPrintable(f)) << f << n << l;
        };
        row(u"Text26(3)"_qs, u"Uren, dinsdag 3 november"_qs);
        row(u"Text27(3)"_qs, u"Kilometers, dinsdag 3 november"_qs);
        row(u"Text24(7)"_qs, u"Activiteit, zaterdag 7 november"_qs);
        row(u"Text25(30)"_qs, u"Contact, maandag 30 november"_qs);
        row(u"Text23(1)"_qs, u"Datum, zondag 1 november"_qs);
        row(u"Text26(31)"_qs, u"Uren, dag 31"_qs);
        row(u"Text26(32)"_qs, u"Uren, totaal van de maand"_qs);
        row(u"Text27(32)"_qs, u"Kilometers, totaal van de maand"_qs);
        row(u"Text36"_qs, u"Onkosten, omschrijving"_qs);
        row(u"Text33"_qs, u"Onkosten, euro"_qs);
        row(u"Text34"_qs, u"Onkosten, cent"_qs, u"Label7"_qs);
        row(u"Combo1"_qs, u"Kies uw project"_qs, u"Label2(0)"_qs);
        row(u"Text3"_qs, u"Omschrijving"_qs, u"Label2(3)"_qs);
        row(u"Text8"_qs, u"Datum planning, einde"_qs, u"Label2(8)"_qs);
        row(u"Text10"_qs, u"Opmerking"_qs, u"Label2(13)"_qs);
        row(u"Combo3"_qs, u"Jaar"_qs, u"Label3"_qs);
        row(u"Combo2"_qs, u"Maand"_qs);
        row(u"Text19"_qs, u"Aantal werkuren"_qs, u"Label2(14)"_qs);
        row(u"Text39"_qs, u"Bedrag werkuren, tarief opdrachtgever"_qs);
        row(u"Text14"_qs, u"Aantal kilometers"_qs, u"Label2(10)"_qs);
        row(u"Text11"_qs, u"Onkostenvergoeding"_qs, u"Label2(6)"_qs);
        row(u"Text12"_qs, u"Onkosten, omschrijving"_qs);
        row(u"Text17"_qs, u"Subtotaal"_qs, u"Label2(11)"_qs);
        row(u"Text41"_qs, u"BTW 20%, tarief opdrachtgever"_qs);
        row(u"Text29"_qs, u"TOTAAL"_qs, u"Label2(18)"_qs);
        row(u"Text18"_qs, u"Opmerking voor Pelvarnet"_qs, u"Label2(12)"_qs);
        row(u"Combo4"_qs, u"Printer"_qs);
    }
    void namedForAScreenReader()
    {
        QFETCH(QString, field);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        const FormControls& c = wiredNovember().controls();
        QCOMPARE(c.widget(field)->accessibleName(), name);
        if (!caption.isEmpty())
            QCOMPARE(c.get<QLabel>(caption)->buddy(), c.widget(field));
    }
};

QTEST_MAIN(TestForm1Fits)
#include "tst_form1fits.moc"
