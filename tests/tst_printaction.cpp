// The print button: the question, what a No leaves, the month that is
// printed, and a printer that fails.

#include "core/printers.h"
#include "declaration/form1.h"
#include "print/printeroutput.h"
#include "submit/printaction.h"
#include "support/fakes.h"
#include "support/pdftext.h"
#include "ui/imagebutton.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace dl;
using namespace dl::test;
using namespace Qt::StringLiterals;

namespace {

// Fails where it is told to.
class FailingOutput final : public print::PrintOutput {
public:
    explicit FailingOutput(QString why) : m_why(std::move(why)) {}
    QPagedPaintDevice& open() override { throw print::PrintError(m_why); }
    void close() override {}

private:
    QString m_why;
};

struct Desk {
    Desk() : catalogue({u"Magazijn"_s, u"Kantoor HP"_s}, u"Kantoor HP"_s), printer(catalogue)
    {
        QVERIFY(dir.isValid());
        form = std::make_unique<Form1>(ctx);
        action = new PrintAction(
            *form, ctx, printer,
            [this](const QString& name, const QString& title) -> std::unique_ptr<print::PrintOutput> {
                jobs << name + u'|' + title;
                if (!failure.isEmpty())
                    return std::make_unique<FailingOutput>(failure);
                return std::make_unique<print::PdfFileOutput>(pdf());
            });
        FormControls& c = form->controls();
        c.setText(u"Combo4"_s, u"Kantoor HP"_s);
        c.setText(u"Text1"_s, u"12"_s);
        c.setText(u"Text5"_s, u"7"_s);
        c.setText(u"Text38"_s, u"5"_s);
        c.setText(u"Label1"_s, u"Goede morgen         Ir. Jan  Jansen"_s);
        c.setText(u"Text2"_s, u"Migratie"_s);
        c.setText(element(u"Text23"_s, 3), u"Ma  03 Maart     2008"_s);
        c.setText(element(u"Text24"_s, 3), u"Overleg"_s);
        c.setText(element(u"Text26"_s, 3), u"8"_s);
        openMonth(u"2008"_s, u"03 Maart "_s);
    }
    void openMonth(const QString& year, const QString& month)
    {
        form->controls().setText(u"Combo3"_s, year);
        form->controls().setText(u"Combo2"_s, month);
        session.reportKey = year + u'_' + month.left(2) + u"_P1"_s;
        session.reportYear = year;
        session.reportMonthEntry = month;
    }
    QString pdf() const { return dir.filePath(u"job.pdf"_s); }
    void doubleClickPrint() { Q_EMIT form->controls().get<ImageButton>(u"Image6"_s)->doubleClicked(); }

    QTemporaryDir dir;
    Session session;
    FakeMessages messages;
    FixedClock clock{QDateTime(QDate(2008, 3, 14), QTime(9, 30))};
    AppContext ctx{session, messages, clock, {}};
    FakePrinters catalogue;
    CurrentPrinter printer;
    std::unique_ptr<Form1> form;
    PrintAction* action = nullptr;
    QStringList jobs;
    QString failure;
};

} // namespace

class TestPrintAction : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void question();
    void noPrintsNothing();
    void printsTheMonthOnScreen();
    void noMonthOpen();
    void failures_data();
    void failures();
    void noPrinterInstalled();
};

void TestPrintAction::question()
{
    Desk d;
    d.messages.answers.enqueue(Answer::No);
    d.doubleClickPrint();
    QCOMPARE(d.messages.shown.size(), 1);
    const Message& m = d.messages.shown.first();
    QCOMPARE(m.text, u"U wilt het huidige raport en declaratie afdrukken op Kantoor HP ?\r\n"
                     "Eventueel kunt U dit nu anuleren en een ander apparaat selecteren.\r\n\r\n"
                     "Wilt U nu gaan afdrukken ?\r\n"_s);
    QCOMPARE(m.caption, u"RAPORT EN DECLARATIE ADFRUKKEN"_s);
    QCOMPARE(m.buttons, Buttons::YesNo);
    QCOMPARE(m.defaultAnswer, Answer::Yes);
    QCOMPARE(m.icon, Icon::None);
}

void TestPrintAction::noPrintsNothing()
{
    Desk d;
    d.messages.answers.enqueue(Answer::No);
    d.action->run();
    QVERIFY(d.jobs.isEmpty());
    QCOMPARE(d.printer.name(), u"Kantoor HP"_s);
    QCOMPARE(d.form->controls().text(u"Combo4"_s), u"Kantoor HP"_s);
    QCOMPARE(d.messages.shown.size(), 1);
}

void TestPrintAction::printsTheMonthOnScreen()
{
    Desk d;
    // The question names what Combo4 shows; the job goes to the current printer.
    d.form->controls().setText(u"Combo4"_s, u"Magazijn"_s);
    // Boxes changed after the month was opened do not change what is printed.
    d.form->controls().setText(u"Combo3"_s, u"2009"_s);
    d.form->controls().setText(u"Combo2"_s, u"05 Mei "_s);
    d.action->run();

    // The question, then where the job went.
    QCOMPARE(d.messages.shown.size(), 2);
    QVERIFY(d.messages.shown.first().text.contains(u" op Magazijn ?"_s));
    QCOMPARE(d.messages.last(), u"Het raport en de declaratie zijn afgedrukt op Kantoor HP."_s);
    QCOMPARE(d.jobs, QStringList{u"Kantoor HP|Declaratie 08031270005"_s});
    const QString text = pdfLayoutText(d.pdf());
    QVERIFY2(text.contains(u"FACTUUR : 08031270005"_s), qPrintable(text));
    QVERIFY(text.contains(u"Periode : Maart 2008"_s));
    QVERIFY(text.contains(u"Overleg"_s));
    // Printing changes nothing on the form.
    QCOMPARE(d.form->controls().text(u"Combo3"_s), u"2009"_s);
    QCOMPARE(d.session.reportYear, u"2008"_s);
}

void TestPrintAction::noMonthOpen()
{
    Desk d;
    d.session.closeReport();
    d.action->run();
    QVERIFY(d.jobs.isEmpty());
    QCOMPARE(d.messages.shown.size(), 1);
    QCOMPARE(d.messages.shown.first().buttons, Buttons::Ok);
    QVERIFY(d.messages.last().startsWith(u"Er is geen maand geopend"_s));
}

void TestPrintAction::failures_data()
{
    QTest::addColumn<QString>("failure");
    QTest::newRow("refused") << u"De printer \"Kantoor HP\" heeft de opdracht geweigerd: nee"_s;
    QTest::newRow("no printer") << u"Er is geen printer geselecteerd."_s;
}

void TestPrintAction::failures()
{
    QFETCH(QString, failure);
    Desk d;
    d.failure = failure;
    d.action->run();
    QCOMPARE(d.messages.shown.size(), 2);
    const Message& m = d.messages.shown.last();
    QCOMPARE(m.text, u"Het raport en de declaratie zijn niet afgedrukt.\r\n\r\n"_s + failure);
    QCOMPARE(m.icon, Icon::Critical);
    QCOMPARE(m.buttons, Buttons::Ok);

    // The program goes on: the next try prints.
    d.failure.clear();
    d.messages.clear();
    d.action->run();
    QCOMPARE(d.messages.shown.size(), 2);
    QVERIFY(QFile::exists(d.pdf()));
}

void TestPrintAction::noPrinterInstalled()
{
    // The real output: nothing reaches CUPS without a printer.
    for (const QString& name : {QString(), u"dl-printer-that-is-not-there"_s}) {
        print::PrinterOutput output(name, u"test"_s);
        try {
            print::renderDocument({}, QPixmap(), output);
            QFAIL("printed without a printer");
        } catch (const print::PrintError& e) {
            QVERIFY2(e.message().startsWith(name.isEmpty() ? u"Er is geen printer"_s
                                                           : u"De printer \"%1\" is niet"_s.arg(name)),
                     qPrintable(e.message()));
        }
        QCOMPARE(output.jobId(), 0);
    }
}

QTEST_MAIN(TestPrintAction)
#include "tst_printaction.moc"
