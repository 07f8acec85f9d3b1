// The consultant's year through the program as Startup builds it: earlier
// months help typing a new one, and the year overview opens a month, prints
// and keeps itself as a PDF.

#include "declaration/drafts.h"
#include "declaration/form1.h"
#include "declaration/monthselectionrules.h"
#include "declaration/openmonth.h"
#include "declaration/reportrecord.h"
#include "print/printrenderer.h"
#include "print/savedpdf.h"
#include "support/fakes.h"
#include "support/formhelpers.h"
#include "support/loggedin.h"
#include "support/pdftext.h"
#include "support/testdb.h"
#include "year/yearprint.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QDialog>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using namespace dl;
using namespace dl::test;

namespace {

// Runs act on the year window once it is open, looked for every 20 ms.
void onYearWindow(QTimer& poll, QObject* context, const std::function<void(QDialog*)>& act)
{
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, context, [&poll, act] {
        auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!w || w->objectName() != u"frmJaaroverzicht"_qs)
            return;
        poll.stop();
        act(w);
    });
    poll.start();
}

const QString kGlas = u"0042-GLAS                Begeleiding aanleg glasvezelnet"_qs;

} // namespace

class TestStartupYear : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { TestDb::loadDemo(); }
    void earlierMonthsHelpTyping();
    void yearOverviewOpensAMonth();
    void overviewOpensAsByHand_data();
    void overviewOpensAsByHand();
};

void TestStartupYear::earlierMonthsHelpTyping()
{
    // February 2026 begins on a Sunday, as March does: the 2nd is a Monday in both.
    const QString insert =
        u"INSERT INTO torvakdb_TORVAKraporten.Raporten (Projectnaam, afgewerkt, Activiteit02, Contact02, "
        "Uren02, Kilometers02, Activiteit03, Contact03) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"_qs;
    TestDb::exec(insert, {u"2026_01_0042-GLAS"_qs, u"ja"_qs, u"Overleg gemeente"_qs, u"Els Smit"_qs, u"4"_qs,
                          u"10"_qs, u""_qs, u""_qs});
    TestDb::exec(insert, {u"2026_02_0042-GLAS"_qs, u"nee"_qs, u"Schouwing tracé Noord"_qs, u"Piet Bakker"_qs,
                          u"8"_qs, u"42"_qs, u"Overleg aannemer"_qs, u""_qs});
    // Another project's texts are not this one's.
    TestDb::exec(insert, {u"2026_02_0042-HAVEN"_qs, u"nee"_qs, u"Overleg havenmeester"_qs, u""_qs, u""_qs,
                          u""_qs, u""_qs, u""_qs});
    test::LoggedIn program;
    QVERIFY(program.start());
    FormControls& c = program.c();
    QVERIFY(test::pickFromList(c.get<QComboBox>(u"Combo1"_qs), kGlas));
    QVERIFY(test::pickFromList(c.get<QComboBox>(u"Combo2"_qs), u"03 Maart "_qs));
    QCOMPARE(program.session.reportKey, u"2026_03_0042-GLAS"_qs);
    QVERIFY(c.isShown(u"ImageVorigeMaand"_qs));

    // Typing offers, most recent month first; Enter takes the offer and stays on the day.
    auto* day1 = c.get<QLineEdit>(u"Text24(1)"_qs);
    day1->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), day1);
    QTest::keyClicks(day1, u"overl"_qs);
    QAbstractItemView* offers = day1->completer()->popup();
    QTRY_VERIFY(offers->isVisible());
    QStringList offered;
    for (int i = 0; i < offers->model()->rowCount(); ++i)
        offered << offers->model()->index(i, 0).data().toString();
    QCOMPARE(offered, (QStringList{u"Overleg aannemer"_qs, u"Overleg gemeente"_qs}));
    QCOMPARE(day1->text(), u"overl"_qs); // nothing filled in by itself
    program.press({Qt::Key_Down, Qt::Key_Return});
    QTRY_VERIFY(!offers->isVisible());
    QCOMPARE(day1->text(), u"Overleg aannemer"_qs);
    QCOMPARE(QApplication::focusWidget(), day1);
    QVERIFY(!c.isShown(u"ImageVorigeMaand"_qs)); // offered only for an empty month
    // The number fields offer nothing.
    QVERIFY(!c.get<QLineEdit>(u"Text26(1)"_qs)->completer());

    typeInto(day1, QString());
    QTest::keyClick(day1, Qt::Key_Backspace);
    QCOMPARE(day1->text(), QString());
    QVERIFY(c.isShown(u"ImageVorigeMaand"_qs));
    program.messages.clear();
    QVERIFY(!openmonth::hasChanges(c, program.session));
    QTest::mouseDClick(c.widget(u"ImageVorigeMaand"_qs), Qt::LeftButton);
    QTRY_COMPARE(c.text(u"Text24(2)"_qs), u"Schouwing tracé Noord"_qs);
    QCOMPARE(program.messages.shown.size(), 1);
    QCOMPARE(program.messages.shown.first().caption, u"VORIGE MAAND OVERNEMEN"_qs);
    QVERIFY(program.messages.last().contains(u"februari 2026"_qs));
    QCOMPARE(c.text(u"Text25(2)"_qs), u"Piet Bakker"_qs);
    QCOMPARE(c.text(u"Text24(3)"_qs), u"Overleg aannemer"_qs);
    QCOMPARE(c.text(u"Text24(1)"_qs), QString());  // the 1st Sunday had nothing
    QCOMPARE(c.text(u"Text24(30)"_qs), QString()); // February has no 5th Monday
    QCOMPARE(c.text(u"Text26(2)"_qs), QString());  // never hours
    QCOMPARE(c.text(u"Text27(2)"_qs), QString());  // nor kilometres
    QVERIFY(!c.isShown(u"ImageVorigeMaand"_qs));
    QVERIFY(openmonth::hasChanges(c, program.session));
}

// The year overview from ImageJaar: every state of a month in its table, a
// declared month refused with its message, a saved one opened in the form.
void TestStartupYear::yearOverviewOpensAMonth()
{
    TestDb::exec(
        u"INSERT INTO torvakdb_TORVAKraporten.Raporten (Projectnaam, afgewerkt, laatstgewijzigd, Uren01,"
        " Kilometers01) VALUES ('2026_01_0042-GLAS', 'ja', 'x', '6', ''),"
        " ('2026_02_0042-GLAS', 'nee', '02/februari/2026  10:00:00', '8', '12')"_qs);
    TestDb::exec(
        u"INSERT INTO torvakdb_TORVAKdeclaraties.Declaraties (factuurnummer, consultant, totaal, uren)"
        " VALUES ('26010042170007', '0042', '570,00', '6')"_qs);
    test::LoggedIn program;
    {
        DraftStore store(program.draftFolder());
        store.write(Draft{u"2026_03_0042-HAVEN"_qs, u"0042"_qs, false, {}, program.clock.now(), {}});
    }
    // Printed and kept as PDF files, read back as pages.
    const QTemporaryDir paper;
    FakeFiles* files = nullptr;
    QStringList printedFor;
    QVERIFY(program.start([&](StartupSeams& seams) {
        files = static_cast<FakeFiles*>(seams.files.get());
        files->answer = paper.filePath(u"kept.pdf"_qs);
        seams.printOutput = [&](const QString& printer, const QString&) {
            printedFor << printer;
            return std::make_unique<print::PdfFileOutput>(paper.filePath(u"printed.pdf"_qs));
        };
    }));
    Form1& form = program.form();
    FakeMessages& messages = program.messages;
    Session& session = program.session;
    QWidget* button = form.controls().widget(u"ImageJaar"_qs);
    QVERIFY(button->isVisible());

    QStringList seen;
    QStringList paperTexts;
    QString declaredRefusal;
    bool stayedOpen = false;
    QTimer poll;
    onYearWindow(poll, &form, [&](QDialog* w) {
        if (!QTest::qWaitForWindowExposed(w))
            return;
        auto* table = w->findChild<QTableWidget*>(u"Jaartabel"_qs);
        QHash<QString, int> rows;
        for (int r = 0; r < table->rowCount(); ++r)
            rows.insert(table->verticalHeaderItem(r)->text(), r);
        const auto cell = [&](const QString& code, int month) {
            return table->item(rows.value(code, -1), month - 1);
        };
        for (const auto& [code, month] : {std::pair{u"0042-GLAS"_qs, 1},
                                          {u"0042-GLAS"_qs, 2},
                                          {u"0042-HAVEN"_qs, 3},
                                          {u"0042-GLAS"_qs, 4},
                                          {u"0042-HAVEN"_qs, 7}})
            seen << (cell(code, month) ? cell(code, month)->text() : u"<geen cel>"_qs);
        seen << cell(u"0042-GLAS"_qs, 1)->toolTip();
        // Printing and the PDF by their keys, as the buttons show them.
        const qsizetype printed = messages.shown.size();
        // A button's key clicks it a moment later, as it shows itself pressed.
        QTest::keyClick(w, Qt::Key_A, Qt::AltModifier);
        (void)QTest::qWaitFor([&] { return messages.shown.size() > printed; });
        QTest::keyClick(w, Qt::Key_P, Qt::AltModifier);
        (void)QTest::qWaitFor([&] { return messages.shown.size() > printed + 2; });
        paperTexts = messages.texts().mid(printed);
        if (qEnvironmentVariableIsSet("DL_SCREENSHOT"))
            w->grab().save(qEnvironmentVariable("DL_SCREENSHOT"));
        // A month is chosen with Enter on it, as by a double-click.
        const auto doubleClick = [&](QTableWidgetItem* it) {
            table->setFocus(Qt::TabFocusReason);
            table->setCurrentItem(it);
            QTest::keyClick(table, Qt::Key_Return);
        };
        const qsizetype before = messages.shown.size();
        doubleClick(cell(u"0042-GLAS"_qs, 1));
        declaredRefusal = messages.texts().mid(before).join(u'|');
        stayedOpen = w->isVisible();
        doubleClick(cell(u"0042-GLAS"_qs, 2));
        // A window that did not close fails the checks below rather than hanging.
        QTimer::singleShot(3000, w, [w] { w->reject(); });
    });
    // Nor does a window that never came.
    QTimer::singleShot(20000, &form, [] {
        if (QWidget* w = QApplication::activeModalWidget())
            w->close();
    });
    QTest::mouseDClick(button, Qt::LeftButton);

    QCOMPARE(seen, (QStringList{u"Gedeclareerd\n6 u"_qs, u"Opgeslagen\n8 u"_qs, u"Concept\n"_qs, u"Leeg\n"_qs,
                                u"Buiten looptijd\n"_qs, u"Factuur 26010042170007, totaal € 570,00"_qs}));
    QCOMPARE(paperTexts, (QStringList{print::yearPrintQuestion(u"2026"_qs, u"Kantoor"_qs),
                                      u"Het jaaroverzicht is afgedrukt op Kantoor."_qs,
                                      print::pdfSavedMessage(files->answer)}));
    QCOMPARE(printedFor, QStringList{u"Kantoor"_qs});
    QCOMPARE(files->asked.value(0).value(0), print::yearPdfCaption());
    for (const QString& pdf : {paper.filePath(u"printed.pdf"_qs), files->answer}) {
        const QString page = pdfLayoutText(pdf);
        for (const QString& part : {u"JAAROVERZICHT 2026"_qs, u"factuur 26010042170007"_qs, u"570,00"_qs,
                                    u"laatst gewijzigd 02/februari/2026"_qs})
            QVERIFY2(page.contains(part), qPrintable(pdf + u": "_qs + part + u"\n"_qs + page));
    }
    QCOMPARE(declaredRefusal, month::declaredMessage(u" Januari "_qs, u"2026"_qs));
    QVERIFY(stayedOpen);
    QCOMPARE(session.reportKey, u"2026_02_0042-GLAS"_qs);
    QCOMPARE(form.controls().text(report::slotControl(3, 1)), u"8"_qs);
    QVERIFY(!QApplication::activeModalWidget());
}

namespace {

// Every control of the form by its name: its text and whether it is shown.
QStringList everyControl(Form1& form)
{
    QStringList out;
    for (QWidget* w : form.findChildren<QWidget*>()) {
        const QString n = w->objectName();
        // The ticker's strip moves with the clock.
        if (n.isEmpty() || !form.controls().contains(n) || n == u"Label4"_qs)
            continue;
        out << n + u'=' + form.controls().text(n) + (w->isHidden() ? u" (verborgen)"_qs : QString());
    }
    out.sort();
    return out;
}

} // namespace

// A month opened from the overview is the same, on both tabs and in every
// control, as the month chosen by hand, and the keys go to the form.
// Opened by the program (from the overview, or offered at the next start
// where the last one left off) as a month chosen by hand, on every control.
void TestStartupYear::overviewOpensAsByHand_data()
{
    QTest::addColumn<bool>("nextStart");
    QTest::newRow("from the overview") << false;
    QTest::newRow("offered at the next start, one key") << true;
}

void TestStartupYear::overviewOpensAsByHand()
{
    QFETCH(bool, nextStart);
    TestDb::exec(
        u"INSERT INTO torvakdb_TORVAKraporten.Raporten (Projectnaam, afgewerkt, laatstgewijzigd, Uren01,"
        " Kilometers01, euro, cent) VALUES ('2026_02_0042-GLAS', 'nee', '02/februari/2026  10:00:00', '8', "
        "'12',"
        " '12', '5')"_qs);
    const QTemporaryDir settings;
    const QString file = settings.filePath(u"declaraties.conf"_qs);
    const auto keptThere = [&file](StartupSeams& seams) { seams.settingsFile = file; };
    if (nextStart) {
        test::LoggedIn before;
        QVERIFY(before.start(keptThere));
        QVERIFY(pickFromList(before.c().get<QComboBox>(u"Combo1"_qs), kGlas));
        QVERIFY(pickFromList(before.c().get<QComboBox>(u"Combo2"_qs), u"02 Februari "_qs));
    }
    test::LoggedIn program;
    Form1* shown = nullptr;
    if (nextStart) {
        program.start(keptThere); // the question comes as the window does
        shown = &program.form();
        QTRY_COMPARE(program.session.reportKey, u"2026_02_0042-GLAS"_qs);
        QCOMPARE(program.messages.shown.value(0).text,
                 u"Verder waar u gebleven was: project 0042-GLAS, Februari 2026?"_qs);
        QCOMPARE(program.messages.shown.value(0).defaultAnswer, Answer::Yes);
    } else {
        QVERIFY(program.start(keptThere));
        shown = &program.form();
    }
    Form1& form = *shown;
    FormControls& c = form.controls();
    const auto toDeclaration = [&] {
        QTabBar* bar = form.tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    };
    QTimer poll;
    if (!nextStart) {
        onYearWindow(poll, &form, [&](QDialog* w) {
            auto* table = w->findChild<QTableWidget*>(u"Jaartabel"_qs);
            for (int r = 0; r < table->rowCount(); ++r) {
                if (table->verticalHeaderItem(r)->text() == u"0042-GLAS"_qs) {
                    table->setFocus(Qt::TabFocusReason);
                    table->setCurrentItem(table->item(r, 1));
                    QTest::keyClick(table, Qt::Key_Return);
                }
            }
            QTimer::singleShot(3000, w, [w] { w->reject(); });
        });
        QTest::mouseDClick(c.widget(u"ImageJaar"_qs), Qt::LeftButton);
    }
    QCOMPARE(program.session.reportKey, u"2026_02_0042-GLAS"_qs);
    QTRY_VERIFY(QApplication::focusWidget() && form.isAncestorOf(QApplication::focusWidget()));
    toDeclaration();
    const QStringList fromProgram = everyControl(form);
    QCOMPARE(c.text(u"Combo2"_qs), u"02 Februari "_qs);
    QCOMPARE(c.text(u"Text13"_qs), u"12,50"_qs);
    QVERIFY(c.isShown(u"Image4"_qs));

    QVERIFY(pickFromList(c.get<QComboBox>(u"Combo2"_qs), u"02 Februari "_qs));
    toDeclaration();
    QCOMPARE(everyControl(form), fromProgram);
}

QTEST_MAIN(TestStartupYear)
#include "tst_startupyear.moc"
