// A print through a real CUPS PrintQueue: a cups-pdf printer of the test's
// own, the list filled from CUPS, the print button, and the PDF that comes
// out read back at its columns. Also a queue that refuses the job.

#include "core/printers.h"
#include "declaration/form1.h"
#include "declaration/reportrecord.h"
#include "login/printerselection.h"
#include "login/qtprintercatalogue.h"
#include "submit/printaction.h"
#include "support/fakes.h"
#include "support/pdftext.h"
#include "ui/imagebutton.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

using namespace dl;
using namespace dl::test;
using namespace Qt::StringLiterals;

namespace {

QString run(const QString& program, const QStringList& args, int* exitCode = nullptr)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

QString queueScript()
{
    return QStringLiteral(DL_SOURCE_DIR "/scripts/cups-test-queue.sh");
}

// A month as the demo consultant would have it on screen: November 2026.
void fillMonth(FormControls& c)
{
    c.setText(u"Text1"_s, u"0042"_s);
    c.setText(u"Text5"_s, u"17"_s);
    c.setText(u"Text38"_s, u"7"_s);
    c.setText(u"Label1"_s, u"Goede middag         Ir. Anna de Vries"_s);
    c.setText(element(u"Label2"_s, 1), u"Declaratie datum :  30-november-2026"_s);
    c.setText(u"Text2"_s, u"Glasvezel Noord"_s);
    c.setText(u"Text3"_s, u"Begeleiding aanleg glasvezelnet"_s);
    c.setText(u"Text6"_s, u"Hollands Glas BV"_s);
    const QStringList activities{u"Overleg planning tracé"_s, u"Schouw wijk Oosterpoort"_s,
                                 u"Rapportage voortgang"_s, u"Bespreking aannemer"_s,
                                 u"Controle lasverbindingen"_s};
    const QStringList persons{u"dhr. Bakker"_s, u"mw. Smit"_s, u"projectteam"_s, u"Visser Infra"_s,
                              u"dhr. Mulder"_s};
    int hours = 0;
    int km = 0;
    for (int n = 1; n <= 31; ++n) {
        const QDate date(2026, 11, n);
        if (!date.isValid()) {
            c.setShown(element(u"Text23"_s, n), false);
            continue;
        }
        c.setText(element(u"Text23"_s, n), report::dayLabel(date));
        if (date.dayOfWeek() > 5 || n == 11)
            continue;
        const int h = n % 5 == 0 ? 4 : 8;
        const int k = date.dayOfWeek() % 2 ? 84 : 0;
        c.setText(element(u"Text24"_s, n), activities.at(n % 5));
        c.setText(element(u"Text25"_s, n), persons.at(n % 5));
        c.setText(element(u"Text26"_s, n), QString::number(h));
        c.setText(element(u"Text27"_s, n), QString::number(k));
        hours += h;
        km += k;
    }
    // A day of travel only.
    c.setText(element(u"Text24"_s, 11), u"Reis naar leverancier Duisburg"_s);
    c.setText(element(u"Text25"_s, 11), u"Glasfaser AG"_s);
    c.setText(element(u"Text27"_s, 11), u"410"_s);
    km += 410;
    c.setText(element(u"Text26"_s, 32), QString::number(hours));
    c.setText(element(u"Text27"_s, 32), QString::number(km));
    c.setText(u"Text19"_s, QString::number(hours));
    c.setText(u"Text20"_s, u"Uw uurtarief is € 65,00"_s);
    c.setText(u"Text21"_s, u"9.620,00"_s);
    c.setText(u"Text14"_s, QString::number(km));
    c.setText(u"Text15"_s, u"Uw kilometervergoeding is € 0,35"_s);
    c.setText(u"Text16"_s, u"441,70"_s);
    c.setText(u"Text11"_s, u"45,50"_s);
    c.setText(u"Text12"_s, u"Parkeerkosten Groningen"_s);
    c.setText(u"Text13"_s, u"45,50"_s);
    c.setText(u"Text17"_s, u"10.107,20"_s);
    c.setText(u"Text28"_s, u"2.021,44"_s);
    c.setText(u"Text29"_s, u"12.128,64"_s);
}

} // namespace

class TestPrintCups : public QObject {
    Q_OBJECT

private:
    QString m_queue;
    QString m_outDir;
    Session m_session;
    FakeMessages m_messages;
    FixedClock m_clock{QDateTime(QDate(2026, 11, 30), QTime(14, 0))};
    AppContext m_ctx{m_session, m_messages, m_clock, {}};
    QtPrinterCatalogue m_catalogue;
    std::unique_ptr<CurrentPrinter> m_printer;
    std::unique_ptr<Form1> m_form;

    QStringList pdfsFor(const QString& invoice) const
    {
        QStringList out;
        const QFileInfoList files = QDir(m_outDir).entryInfoList({u"*.pdf"_s}, QDir::Files);
        for (const QFileInfo& f : files) {
            if (f.fileName().contains(invoice))
                out << f.absoluteFilePath();
        }
        return out;
    }
    bool queueIdle() const { return run(u"lpstat"_s, {u"-o"_s, m_queue}).isEmpty(); }
    int completedJobs() const
    {
        const QString list = run(u"lpstat"_s, {u"-W"_s, u"completed"_s, u"-o"_s, m_queue});
        return list.isEmpty() ? 0 : int(list.split(u'\n').size());
    }

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void listFilledFromCups();
    void printThroughQueue();
    void refusingQueue();
};

void TestPrintCups::initTestCase()
{
    if (QStandardPaths::findExecutable(u"lpadmin"_s, {u"/usr/sbin"_s, u"/usr/bin"_s}).isEmpty())
        QFAIL("CUPS is not installed (lpadmin not found): scripts/install-deps.sh installs it");
    m_queue = u"dl-test-pdf-%1"_s.arg(QCoreApplication::applicationPid());
    int rc = 0;
    const QString out = run(queueScript(), {u"start"_s, m_queue}, &rc);
    QVERIFY2(rc == 0, qPrintable(out));
    m_outDir = out.section(u'\n', -1);
    QVERIFY2(QDir(m_outDir).exists(), qPrintable(m_outDir));
}

void TestPrintCups::cleanupTestCase()
{
    m_form.reset();
    if (!m_queue.isEmpty())
        run(queueScript(), {u"stop"_s, m_queue});
}

void TestPrintCups::listFilledFromCups()
{
    QVERIFY(m_catalogue.names().contains(m_queue));
    m_printer = std::make_unique<CurrentPrinter>(m_catalogue);
    fillPrinterList(
        [this]() -> Form1& {
            if (!m_form) {
                m_form = std::make_unique<Form1>(m_ctx);
                connectPrinterChoice(*m_form, *m_printer);
            }
            return *m_form;
        },
        *m_printer, m_session);
    QVERIFY(m_form);
    auto* combo = m_form->controls().get<QComboBox>(u"Combo4"_s);
    const int index = combo->findText(m_queue);
    QVERIFY(index >= 0);
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
    QCOMPARE(m_printer->name(), m_queue);
}

void TestPrintCups::printThroughQueue()
{
    QVERIFY(m_form);
    FormControls& c = m_form->controls();
    fillMonth(c);
    m_session.reportKey = u"2026_11_0042-GLAS"_s;
    m_session.reportYear = u"2026"_s;
    m_session.reportMonthEntry = u"11 November "_s;
    const QString invoice = u"26110042170007"_s;
    for (const QString& old : pdfsFor(invoice))
        QFile::remove(old);

    new PrintAction(*m_form, m_ctx, *m_printer);
    m_messages.clear();
    Q_EMIT c.get<ImageButton>(u"Image6"_s)->doubleClicked();
    // The question, then the queue the job went to.
    QCOMPARE(m_messages.shown.size(), 2);
    QCOMPARE(m_messages.shown.first().caption, u"RAPORT EN DECLARATIE ADFRUKKEN"_s);
    QCOMPARE(m_messages.last(), u"Het raport en de declaratie zijn afgedrukt op %1."_s.arg(m_queue));

    QElapsedTimer waited;
    waited.start();
    QStringList pdfs;
    while (waited.elapsed() < 60000) {
        pdfs = pdfsFor(invoice);
        if (!pdfs.isEmpty() && queueIdle())
            break;
        QTest::qWait(200);
    }
    QCOMPARE(pdfs.size(), 1);
    QCOMPARE(completedJobs(), 1); // one job for the whole document
    const QString pdf = pdfs.first();
    if (qEnvironmentVariableIsSet("DL_KEEP_PRINT"))
        QFile::copy(pdf, qEnvironmentVariable("DL_KEEP_PRINT"));

    const QString layout = pdfLayoutText(pdf);
    QVERIFY2(layout.contains(u"FACTUUR : 26110042170007"_s), qPrintable(layout));
    QVERIFY(layout.contains(u"Datum   : 30-november-2026"_s));
    QVERIFY(layout.contains(u"Periode : November 2026"_s));
    QVERIFY(layout.contains(u"KALMIROS - Pelvarnet BV"_s));
    QVERIFY(layout.contains(u"Ir. Anna de Vries"_s));

    const QList<PdfWord> w = pdfWords(pdf);
    const auto word = [&w](const QString& text) {
        const int i = findWord(w, text);
        return i < 0 ? PdfWord{-1, 0, 0, text} : w.at(i);
    };
    const PdfGrid at10(word(u"Project"_s), 6, word(u"FACTUUR"_s), 61);
    const PdfGrid at8(word(u"DATUM"_s), 8, word(u"GESPROKEN"_s), 76);
    QVERIFY(qAbs(at10.left - at8.left) < 0.5);
    const struct {
        QString text;
        int column;
        bool small;
    } expected[] = {
        {u"Datum"_s, 61, false},  {u"Periode"_s, 61, false},  {u"opdrachtgever"_s, 14, false},
        {u"UREN"_s, 104, true},   {u"Ma"_s, 8, true},         {u"Overleg"_s, 32, true},
        {u"Reis"_s, 32, true},    {u"Glasfaser"_s, 76, true}, {u"410"_s, 112, true},
        {u"Werkuren"_s, 8, true}, {u"Uw"_s, 32, true},        {u"9.620,00"_s, 93, true},
        {u"Onkosten"_s, 8, true}, {u"SUBTOTAAL"_s, 76, true}, {u"12.128,64"_s, 92, true},
        {u"Deze"_s, 8, true},     {u"KALMIROS"_s, 8, true},
    };
    for (const auto& e : expected) {
        const PdfWord found = word(e.text);
        QVERIFY2(found.page >= 0, qPrintable(e.text));
        const double column = (e.small ? at8 : at10).columnOf(found);
        QVERIFY2(qAbs(column - e.column) < 0.1,
                 qPrintable(e.text + u" at column "_s + QString::number(column)));
    }
    QFile::remove(pdf);
}

void TestPrintCups::refusingQueue()
{
    QVERIFY(m_form);
    int rc = 0;
    run(u"cupsreject"_s, {m_queue}, &rc);
    QCOMPARE(rc, 0);
    const int before = completedJobs();
    PrintAction action(*m_form, m_ctx, *m_printer);
    m_messages.clear();
    action.run();
    run(u"cupsaccept"_s, {m_queue});

    QCOMPARE(m_messages.shown.size(), 2);
    const Message& m = m_messages.shown.last();
    QVERIFY2(m.text.startsWith(u"Het raport en de declaratie zijn niet afgedrukt.\r\n\r\n"
                               "De printer \"%1\" heeft de opdracht geweigerd: "_s.arg(m_queue)),
             qPrintable(m.text));
    QCOMPARE(m.icon, Icon::Critical);
    QCOMPARE(completedJobs(), before);
    QVERIFY(queueIdle());
}

QTEST_MAIN(TestPrintCups)
#include "tst_printcups.moc"
