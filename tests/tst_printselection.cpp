// The printer list filled when the login form loads, SelectPrinter and the
// consultant's pick in Combo4.

#include "core/printers.h"
#include "declaration/form1.h"
#include "login/printerselection.h"
#include "support/fakes.h"

#include <QComboBox>
#include <QtTest>

#include <memory>

using namespace dl;
using namespace dl::test;
using namespace Qt::StringLiterals;

namespace {

struct Workstation {
    explicit Workstation(QStringList printers, QString def = {})
        : catalogue(std::move(printers), std::move(def)), printer(catalogue)
    {
    }

    // The main form, loaded on first use as the login form's load does.
    Form1& mainForm()
    {
        if (!form) {
            form = std::make_unique<Form1>(ctx);
            connectPrinterChoice(*form, printer);
        }
        return *form;
    }
    QComboBox* combo4() { return mainForm().controls().get<QComboBox>(u"Combo4"_s); }
    void load()
    {
        fillPrinterList([this]() -> Form1& { return mainForm(); }, printer, session);
    }
    QStringList items()
    {
        QStringList out;
        for (int i = 0; i < combo4()->count(); ++i)
            out << combo4()->itemText(i);
        return out;
    }

    Session session;
    FakeMessages messages;
    FixedClock clock{QDateTime(QDate(2008, 3, 14), QTime(9, 30))};
    AppContext ctx{session, messages, clock, {}};
    FakePrinters catalogue;
    CurrentPrinter printer;
    std::unique_ptr<Form1> form;
};

} // namespace

class TestPrintSelection : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fillAtLoad_data();
    void fillAtLoad();
    void noPrintersLeavesMainFormUnloaded();
    void selectPrinter_data();
    void selectPrinter();
    void pickAnotherPrinter();
};

void TestPrintSelection::fillAtLoad_data()
{
    QTest::addColumn<QStringList>("printers");
    QTest::addColumn<QString>("systemDefault");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("printerName");

    const QStringList three{u"Magazijn"_s, u"Kantoor HP"_s, u"PDF"_s};
    QTest::newRow("three, the second is the default")
        << three << u"Kantoor HP"_s << 1 << u"Kantoor HP"_s << u"Kantoor HP"_s;
    QTest::newRow("the first is the default")
        << three << u"Magazijn"_s << 0 << u"Magazijn"_s << u"Magazijn"_s;
    QTest::newRow("no default printer") << three << QString() << -1 << u"Combo4"_s << QString();
    QTest::newRow("the default is not listed") << three << u"Oud"_s << -1 << u"Combo4"_s << QString();
    QTest::newRow("case counts") << three << u"pdf"_s << -1 << u"Combo4"_s << QString();
    QTest::newRow("blanks count") << QStringList{u"Laser "_s, u"Laser"_s} << u"Laser"_s << 1 << u"Laser"_s
                                  << u"Laser"_s;
    QTest::newRow("equal names: the last is selected")
        << QStringList{u"A"_s, u"B"_s, u"A"_s} << u"A"_s << 2 << u"A"_s << u"A"_s;
}

void TestPrintSelection::fillAtLoad()
{
    QFETCH(QStringList, printers);
    QFETCH(QString, systemDefault);
    QFETCH(int, selected);
    QFETCH(QString, shown);
    QFETCH(QString, printerName);

    Workstation ws(printers, systemDefault);
    ws.load();
    QVERIFY(ws.form);
    QCOMPARE(ws.items(), printers); // the system's order, not sorted
    QCOMPARE(ws.combo4()->currentIndex(), selected);
    QCOMPARE(ws.mainForm().controls().text(u"Combo4"_s), shown);
    QCOMPARE(ws.session.printerName, printerName);
    // Printing goes to the system's default until something else is picked.
    QCOMPARE(ws.printer.name(), systemDefault);
}

void TestPrintSelection::noPrintersLeavesMainFormUnloaded()
{
    Workstation ws({});
    ws.load();
    QVERIFY(!ws.form);
    QVERIFY(ws.session.printerName.isEmpty());
    QVERIFY(ws.printer.name().isEmpty());
    // Loaded later by the login: the list is still empty.
    QCOMPARE(ws.combo4()->count(), 0);
    QCOMPARE(ws.mainForm().controls().text(u"Combo4"_s), u"Combo4"_s);
}

void TestPrintSelection::selectPrinter_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("current");
    QTest::newRow("installed") << u"PDF"_s << true << u"PDF"_s;
    QTest::newRow("other case") << u"pdf"_s << false << u"Kantoor HP"_s;
    QTest::newRow("trailing blank") << u"PDF "_s << false << u"Kantoor HP"_s;
    QTest::newRow("not installed") << u"Oud"_s << false << u"Kantoor HP"_s;
    QTest::newRow("empty") << QString() << false << u"Kantoor HP"_s;
}

void TestPrintSelection::selectPrinter()
{
    QFETCH(QString, name);
    QFETCH(bool, found);
    QFETCH(QString, current);
    FakePrinters catalogue({u"Magazijn"_s, u"Kantoor HP"_s, u"PDF"_s}, u"Kantoor HP"_s);
    CurrentPrinter printer(catalogue);
    QCOMPARE(printer.select(name), found);
    QCOMPARE(printer.name(), current);
}

void TestPrintSelection::pickAnotherPrinter()
{
    Workstation ws({u"Magazijn"_s, u"Kantoor HP"_s, u"PDF"_s}, u"Kantoor HP"_s);
    ws.load();
    QComboBox* combo = ws.combo4();
    combo->setCurrentIndex(2);
    Q_EMIT combo->activated(2);
    QCOMPARE(ws.printer.name(), u"PDF"_s);
    // The login record keeps the printer of the start.
    QCOMPARE(ws.session.printerName, u"Kantoor HP"_s);

    // A printer removed since the start cannot be made current.
    ws.catalogue.list.removeFirst();
    combo->setCurrentIndex(0);
    Q_EMIT combo->activated(0);
    QCOMPARE(ws.printer.name(), u"PDF"_s);
    QCOMPARE(ws.items().size(), 3);
}

QTEST_MAIN(TestPrintSelection)
#include "tst_printselection.moc"
