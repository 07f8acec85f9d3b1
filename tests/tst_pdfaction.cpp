// The PDF button: the file name it proposes, the document it writes (the
// printed one, as text a reader can select), and what a file that cannot be
// written leaves behind.

#include "declaration/form1.h"
#include "print/formtexts.h"
#include "print/savedpdf.h"
#include "submit/pdfaction.h"
#include "submit/printaction.h"
#include "support/fakes.h"
#include "support/pdftext.h"
#include "ui/imagebutton.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace dl;
using namespace dl::test;
using namespace Qt::StringLiterals;

namespace {

struct Desk {
    Desk()
    {
        QVERIFY(dir.isValid());
        form = std::make_unique<Form1>(ctx);
        action = new PdfAction(*form, ctx, files, dir.filePath(u"Documenten"_s));
        FormControls& c = form->controls();
        c.setText(u"Text1"_s, u"12"_s);
        c.setText(u"Text5"_s, u"7"_s);
        c.setText(u"Text38"_s, u"5"_s);
        c.setText(u"Label1"_s, u"Goede morgen         Ir. Jan  Jansen"_s);
        c.setText(u"Text2"_s, u"Migratie"_s);
        c.setText(u"Text3"_s, u"Overgang naar het nieuwe net"_s);
        for (int n : {3, 4, 17}) {
            c.setText(element(u"Text23"_s, n), u"Ma  %1 Maart     2008"_s.arg(n, 2, 10, QChar(u'0')));
            c.setText(element(u"Text24"_s, n), u"Overleg €"_s);
            c.setText(element(u"Text25"_s, n), u"Jan"_s);
            c.setText(element(u"Text26"_s, n), u"8"_s);
            c.setText(element(u"Text27"_s, n), u"12"_s);
        }
        c.setText(u"Text29"_s, u"1.234,50"_s);
        session.projectCode = u"0012-ALFA"_s;
        session.reportKey = u"2008_03_0012-ALFA"_s;
        session.reportYear = u"2008"_s;
        session.reportMonthEntry = u"03 Maart "_s;
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    // The document as printing draws it, into a PDF of the print path.
    QString printedText()
    {
        const QString printed = path(u"printed.pdf"_s);
        print::PdfFileOutput output(printed);
        print::renderDocument(print::buildPrintDocument(print::readPrintTexts(form->controls(), session)),
                              form->logo(), output);
        return pdfLayoutText(printed);
    }

    QTemporaryDir dir;
    Session session;
    FakeMessages messages;
    FakeFiles files;
    FixedClock clock{QDateTime(QDate(2008, 3, 31), QTime(9, 30))};
    AppContext ctx{session, messages, clock, {}};
    std::unique_ptr<Form1> form;
    PdfAction* action = nullptr;
};

QString pdfinfo(const QString& pdf)
{
    QProcess p;
    p.start(u"pdfinfo"_s, {pdf});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestPdfAction : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fileName_data();
    void fileName();
    void buttonGoesWithPrinting();
    void writesThePrintedDocument();
    void cancelledWritesNothing();
    void noMonthOpen();
    void notWritten_data();
    void notWritten();
    void dialogOpensInAFolderThatIsThere_data();
    void dialogOpensInAFolderThatIsThere();
};

void TestPdfAction::fileName_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << u"0012-ALFA"_s << u"03 Maart "_s << u"Declaratie 0012-ALFA Maart 2026.pdf"_s;
    QTest::newRow("slashes and colons")
        << u"0012/A\\B:C"_s << u"10 Oktober "_s << u"Declaratie 0012-A-B-C Oktober 2026.pdf"_s;
    QTest::newRow("wildcards, quotes, pipes")
        << u"*?\"<>|"_s << u"05 Mei "_s << u"Declaratie ------ Mei 2026.pdf"_s;
    QTest::newRow("control characters")
        << u"A\tB\nC"_s << u"12 December "_s << u"Declaratie A-B-C December 2026.pdf"_s;
    QTest::newRow("blanks, points and accents stay")
        << u"00 1.é"_s << u"01 Januari "_s << u"Declaratie 00 1.é Januari 2026.pdf"_s;
}

void TestPdfAction::fileName()
{
    QFETCH(QString, code);
    QFETCH(QString, entry);
    QFETCH(QString, name);
    QCOMPARE(print::pdfFileName(code, entry, u"2026"_s), name);
}

void TestPdfAction::buttonGoesWithPrinting()
{
    Desk d;
    FormControls& c = d.form->controls();
    auto* pdf = c.get<ImageButton>(u"ImagePdf"_s);
    QVERIFY(pdf);
    QCOMPARE(pdf->toolTip(), u"Raport en declaratie als PDF opslaan"_s);
    QCOMPARE(pdf->size(), c.widget(u"Image6"_s)->size());
    QVERIFY(!pdf->pixmap().isNull());
    QCOMPARE(pdf->parentWidget(), c.widget(u"Image6"_s)->parentWidget());
    for (bool shown : {false, true, true, false, true}) {
        c.setShown(u"Image6"_s, shown);
        QCOMPARE(c.isShown(u"ImagePdf"_s), shown);
    }
    // Also when the window is on screen.
    d.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.form.get()));
    for (bool shown : {false, true}) {
        c.setShown(u"Image6"_s, shown);
        QCOMPARE(c.isShown(u"ImagePdf"_s), shown);
    }
}

void TestPdfAction::writesThePrintedDocument()
{
    Desk d;
    d.files.answer = d.path(u"uit.pdf"_s);
    Q_EMIT d.form->controls().get<ImageButton>(u"ImagePdf"_s)->doubleClicked();
    QCOMPARE(d.messages.texts(),
             QStringList{print::pdfSavedMessage(QDir::toNativeSeparators(d.files.answer))});
    QCOMPARE(d.files.asked.size(), 1);
    QCOMPARE(d.files.asked[0],
             (QStringList{u"Raport en declaratie als PDF opslaan"_s,
                          QDir(d.path(u"Documenten"_s)).filePath(u"Declaratie 0012-ALFA Maart 2008.pdf"_s),
                          u"PDF-bestanden (*.pdf)"_s}));

    const QString text = pdfLayoutText(d.files.answer);
    QVERIFY2(text.contains(u"FACTUUR : 08031270005"_s), qPrintable(text));
    QVERIFY(text.contains(u"Overleg €"_s));
    QCOMPARE(text, d.printedText());
    const QString info = pdfinfo(d.files.answer);
    QVERIFY2(info.contains(u"(A4)"_s), qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression(u"Pages:\\s+1\\n"_s)), qPrintable(info));
    // Nothing of the writing is left beside it.
    QCOMPARE(QDir(d.dir.path()).entryList(QDir::Files), (QStringList{u"printed.pdf"_s, u"uit.pdf"_s}));
}

void TestPdfAction::cancelledWritesNothing()
{
    Desk d;
    d.action->run();
    QCOMPARE(d.files.asked.size(), 1);
    QCOMPARE(d.messages.texts(), QStringList{});
    QCOMPARE(QDir(d.dir.path()).entryList(QDir::Files), QStringList{});
}

void TestPdfAction::noMonthOpen()
{
    Desk d;
    d.session.closeReport();
    d.files.answer = d.path(u"uit.pdf"_s);
    d.action->run();
    QCOMPARE(d.messages.texts(), QStringList{print::noOpenMonthMessage()});
    QCOMPARE(d.messages.shown.first().buttons, Buttons::Ok);
    QVERIFY(d.files.asked.isEmpty());
    QVERIFY(!QFile::exists(d.files.answer));
}

void TestPdfAction::notWritten_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("folder that is not there") << u"weg/uit.pdf"_s;
    QTest::newRow("a folder") << u"map"_s;
}

void TestPdfAction::notWritten()
{
    QFETCH(QString, name);
    Desk d;
    QVERIFY(QDir(d.dir.path()).mkdir(u"map"_s));
    d.files.answer = d.path(name);
    d.action->run();
    QCOMPARE(d.messages.shown.size(), 1);
    const Message& m = d.messages.shown.first();
    const QString start =
        u"Het PDF-bestand "_s + QDir::toNativeSeparators(d.files.answer) + u" is niet opgeslagen: "_s;
    QVERIFY2(m.text.startsWith(start) && m.text.size() > start.size(), qPrintable(m.text));
    QCOMPARE(m.icon, Icon::Critical);
    QCOMPARE(QDir(d.dir.path()).entryList(QDir::Files), QStringList{});
    QVERIFY(QFileInfo(d.path(u"map"_s)).isDir());

    // The program goes on: the next try writes.
    d.messages.clear();
    d.files.answer = d.path(u"goed.pdf"_s);
    d.action->run();
    QCOMPARE(d.messages.texts(),
             QStringList{print::pdfSavedMessage(QDir::toNativeSeparators(d.files.answer))});
    QVERIFY(QFile::exists(d.files.answer));
}

void TestPdfAction::dialogOpensInAFolderThatIsThere_data()
{
    QTest::addColumn<bool>("hasDocuments");
    QTest::newRow("documents folder") << true;
    QTest::newRow("none: home") << false;
}

void TestPdfAction::dialogOpensInAFolderThatIsThere()
{
    QFETCH(bool, hasDocuments);
    const QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + u"/.config"_s));
    if (hasDocuments)
        QVERIFY(QDir(home.path()).mkdir(u"Documents"_s));
    const QString folder = PdfAction::documentsFolder();
    qputenv("HOME", oldHome);
    qputenv("XDG_CONFIG_HOME", oldConfig);
    QCOMPARE(folder, hasDocuments ? home.path() + u"/Documents"_s : home.path());
}

QTEST_MAIN(TestPdfAction)
#include "tst_pdfaction.moc"
