// Choosing a project in Combo1 against the private test server: the fields,
// the Session rates, the planned-end marker, the remark, unknown codes and
// failures; and the totals that follow from the project's rates.

#include "core/clock.h"
#include "core/context.h"
#include "declaration/daygrid.h"
#include "declaration/form1.h"
#include "declaration/projectselection.h"
#include "declaration/totals.h"
#include "support/fakes.h"
#include "support/formhelpers.h"
#include "support/loggedin.h"
#include "support/testdb.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTabWidget>
#include <QtTest>

#include <memory>

using namespace dl;
using namespace Qt::StringLiterals;
using dl::test::TestDb;

namespace {

const QString kProjects = u"torvakdb_TORVAKdata.KALMIRO_projecten"_s;
const QString kClients = u"torvakdb_TORVAKdata.KALMIRO_opdrachtgevers"_s;
const QDate kToday(2026, 12, 8);

struct Project {
    QString code = u"0042-GLAS"_s;
    QString description = u"Begeleiding aanleg glasvezelnet"_s;
    QString client = u"17"_s;
    QVariant end = u"2027/06/30"_s;
    QVariant rateOut = 95.0;
    QVariant rateIn = 65.0;
    QVariant remark = u"GEEN"_s;
};

void insertProject(const Project& p)
{
    TestDb::exec(u"INSERT INTO "_s + kProjects +
                     u" (Projectcode, nummer, Projectnaam, ProjectOmschrijving, opdrachtgevernummer, "
                     u"TijdsplanningDATUMvan, TijdsplanningDATUMtm, ProjectduurPer8uur, "
                     u"VerkoopDagtariefConsultant, InkoopDagtariefOpdrachtgever, CommentaarCONSULTANT) "
                     u"VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s,
                 {p.code, u"7"_s, u"Glasvezel Noord"_s, p.description, p.client, u"2026/01/01"_s, p.end,
                  u"120"_s, p.rateOut, p.rateIn, p.remark});
}

void insertClient(const QString& number, const QString& name)
{
    TestDb::exec(u"INSERT INTO "_s + kClients + u" (opdrachtgevernummer, Bedrijf) VALUES (?, ?)"_s,
                 {number, name});
}

// A project list entry: the code in a column of 25, then the description.
QString entry(const QString& code, const QString& description)
{
    return QString(code + QString(25, u' ')).left(25) + description;
}

struct Fixture {
    Fixture() : form(ctx), selection(form, ctx), grid(form, ctx), chain(form, ctx) {}
    FormControls& c() { return form.controls(); }
    QString text(const QString& name) { return c().text(name); }
    void choose(const QString& item)
    {
        auto* list = c().get<QComboBox>(u"Combo1"_s);
        int i = list->findText(item, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (i < 0) {
            list->addItem(item);
            i = list->count() - 1;
        }
        list->setCurrentIndex(i);
        Q_EMIT list->activated(i);
    }
    void openMonth()
    {
        session.reportKey = u"2026_12_"_s + session.projectCode;
        session.reportYear = u"2026"_s;
        session.reportMonthEntry = u"12 December "_s;
        c().setText(u"Combo2"_s, u"12 December "_s);
    }
    QColor endColour() { return c().get<QLineEdit>(u"Text8"_s)->palette().color(QPalette::Base); }

    Session session;
    test::FakeMessages messages;
    FixedClock clock{QDateTime(kToday, QTime(10, 0))};
    AppContext ctx{session, messages, clock, TestDb::server()};
    Form1 form;
    ProjectSelection selection;
    DayGrid grid;
    TotalsController chain;
};

const QStringList kShown{u"Label2(2)"_s, u"Text2"_s,     u"Text38"_s,    u"Label2(3)"_s, u"Text3"_s,
                         u"Label2(4)"_s, u"Text4"_s,     u"Label2(5)"_s, u"Text6"_s,     u"Label2(7)"_s,
                         u"Text7"_s,     u"Label2(8)"_s, u"Text8"_s,     u"Label2(9)"_s, u"Text9"_s,
                         u"Label2(1)"_s, u"Label3"_s,    u"Combo2"_s,    u"Combo3"_s,    u"Image5"_s};
const QStringList kHidden{u"Label2(6)"_s,  u"Label2(10)"_s, u"Label2(11)"_s, u"Label2(12)"_s, u"Label2(14)"_s,
                          u"Label2(15)"_s, u"Label2(16)"_s, u"Label2(17)"_s, u"Label2(18)"_s, u"Text19"_s,
                          u"Text20"_s,     u"Text21"_s,     u"Text11"_s,     u"Text12"_s,     u"Text13"_s,
                          u"Text14"_s,     u"Text15"_s,     u"Text16"_s,     u"Text17"_s,     u"Text18"_s,
                          u"Text28"_s,     u"Text29"_s,     u"Image4"_s,     u"Image6"_s,     u"Combo4"_s,
                          u"Text39"_s,     u"Text40"_s,     u"Text41"_s,     u"Text42"_s};

} // namespace

class TestProjectSelection : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void codeFromEntry_data();
    void codeFromEntry();
    void rateText_data();
    void rateText();

    void fillsTheProject();
    void visibility();
    void sameProjectAgainAsksForTheMonth();
    void codeLength_data();
    void codeLength();
    void unknownCodeKeepsTheShownProject();
    void unknownCodeWithNoneShown();
    void plannedEnd_data();
    void plannedEnd();
    void remark_data();
    void remark();
    void missingClientShowsNoName();
    void firstRowInTableOrderWins();
    void decimalRateStaysANumber_data();
    void decimalRateStaysANumber();
    void rateHeldAsText_data();
    void rateHeldAsText();
    void failureChangesNothing();
    void keysChooseTheProject_data();
    void keysChooseTheProject();
    void screenshot();

private:
    std::unique_ptr<Fixture> f;
};

void TestProjectSelection::init()
{
    TestDb::reset();
    insertClient(u"17"_s, u"Hollands Glas BV"_s);
    insertClient(u"23"_s, u"Gemeente Zandmeer"_s);
    f = std::make_unique<Fixture>();
}

void TestProjectSelection::cleanup()
{
    f.reset();
    TestDb::reloadSchema(); // a test may have dropped the clients' table
    TestDb::reset();        // a rate held as text would not convert back
    TestDb::exec(u"ALTER TABLE "_s + kProjects +
                 u" MODIFY InkoopDagtariefOpdrachtgever DECIMAL(10,2) NULL"_s);
}

void TestProjectSelection::codeFromEntry_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("code");
    QTest::newRow("padded") << entry(u"0042-GLAS"_s, u"Glas"_s) << u"0042-GLAS"_s;
    QTest::newRow("23 characters") << entry(u"0042-ABCDEFGHIJKLMNOPQR"_s, u"Omschrijving"_s)
                                   << u"0042-ABCDEFGHIJKLMNOPQR"_s;
    QTest::newRow("24 characters run on")
        << entry(u"0042-ABCDEFGHIJKLMNOPQRS"_s, u"Om  schrijving"_s) << u"0042-ABCDEFGHIJKLMNOPQRS Om"_s;
    QTest::newRow("single blank stays") << u"00 42  x"_s << u"00 42"_s;
    QTest::newRow("no double blank") << u"0042-X"_s << u"0042-X"_s;
    QTest::newRow("empty") << QString() << QString();
}

void TestProjectSelection::codeFromEntry()
{
    QFETCH(QString, item);
    QFETCH(QString, code);
    QCOMPARE(project::codeFromEntry(item), code);
}

void TestProjectSelection::rateText_data()
{
    QTest::addColumn<QVariant>("rate");
    QTest::addColumn<QString>("text");
    QTest::newRow("45") << QVariant(45.0) << u"Uw uurtarief is € 45,00"_s;
    QTest::newRow("45 as text") << QVariant(u"45"_s) << u"Uw uurtarief is € 45,00"_s;
    QTest::newRow("cents") << QVariant(72.5) << u"Uw uurtarief is € 72,50"_s;
    QTest::newRow("cents as text") << QVariant(u"72,5"_s) << u"Uw uurtarief is € 72,50"_s;
    QTest::newRow("0.99") << QVariant(0.99) << u"Uw uurtarief is € 0,99"_s;
    QTest::newRow("33.33") << QVariant(33.33) << u"Uw uurtarief is € 33,33"_s;
    QTest::newRow("1234.56") << QVariant(1234.56) << u"Uw uurtarief is € 1.234,56"_s;
    QTest::newRow("FLOAT 1.01") << QVariant(double(1.01f)) << u"Uw uurtarief is € 1,01"_s;
    QTest::newRow("null") << QVariant() << u"Uw uurtarief is € 0,00"_s;
    QTest::newRow("not a number") << QVariant(u"n.t.b."_s) << u"Uw uurtarief is € n.t.b.,00"_s;
}

void TestProjectSelection::rateText()
{
    QFETCH(QVariant, rate);
    QFETCH(QString, text);
    QCOMPARE(project::rateText(rate), text);
}

void TestProjectSelection::fillsTheProject()
{
    insertProject({});
    f->session.reportKey = u"2026_11_0051-DIJK"_s;
    f->c().setText(u"Combo2"_s, u"11 November "_s);
    f->choose(entry(u"0042-GLAS"_s, u"Begeleiding aanleg glasvezelnet"_s));

    QVERIFY(f->messages.shown.isEmpty());
    const QStringList names{u"Text38"_s, u"Text2"_s, u"Text3"_s, u"Text4"_s,  u"Text5"_s,  u"Text6"_s,
                            u"Text7"_s,  u"Text8"_s, u"Text9"_s, u"Text10"_s, u"Text15"_s, u"Text20"_s};
    QStringList got;
    for (const QString& n : names)
        got << f->text(n);
    QCOMPARE(got,
             (QStringList{u"7"_s, u"Glasvezel Noord"_s, u"Begeleiding aanleg glasvezelnet"_s, u"0042-GLAS"_s,
                          u"17"_s, u"Hollands Glas BV"_s, u"2026/01/01"_s, u"2027/06/30"_s, u"120"_s,
                          u"GEEN"_s, u"Uw kilometervergoeding is € 0,35"_s, u"Uw uurtarief is € 65,00"_s}));
    QCOMPARE(f->session.projectCode, u"0042-GLAS"_s);
    QCOMPARE(f->session.hourlyRateIn, QVariant(65.0));
    QCOMPARE(f->session.hourlyRateOut, QVariant(95.0));
    QCOMPARE(f->text(u"Combo2"_s), u"maand"_s);
    QVERIFY(!f->session.hasOpenReport());
}

void TestProjectSelection::visibility()
{
    insertProject({});
    f->openMonth();
    // The month before: its whole summary on screen.
    for (const QString& n : kHidden)
        f->c().setShown(n, true);
    f->choose(entry(u"0042-GLAS"_s, u"x"_s));
    for (const QString& n : kShown)
        QVERIFY2(f->c().isShown(n), qPrintable(n));
    for (const QString& n : kHidden)
        QVERIFY2(!f->c().isShown(n), qPrintable(n));
}

void TestProjectSelection::sameProjectAgainAsksForTheMonth()
{
    insertProject({});
    const QString item = entry(u"0042-GLAS"_s, u"x"_s);
    f->choose(item);
    f->openMonth();
    f->choose(item);
    QCOMPARE(f->text(u"Combo2"_s), u"maand"_s);
    QVERIFY(!f->session.hasOpenReport());
    QCOMPARE(f->text(u"Text2"_s), u"Glasvezel Noord"_s);
    // With the month gone, a tab click goes back to the first tab.
    f->form.tabs()->setCurrentIndex(1);
    QCOMPARE(f->form.tabs()->currentIndex(), 0);
}

void TestProjectSelection::codeLength_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("found");
    QTest::newRow("23 characters") << u"0042-ABCDEFGHIJKLMNOPQR"_s << true;
    QTest::newRow("24 characters") << u"0042-ABCDEFGHIJKLMNOPQRS"_s << false;
}

void TestProjectSelection::codeLength()
{
    QFETCH(QString, code);
    QFETCH(bool, found);
    Project p;
    p.code = code;
    insertProject(p);
    f->choose(entry(code, p.description));
    QCOMPARE(f->text(u"Text4"_s), found ? code : QString());
    QCOMPARE(f->messages.shown.size(), found ? 0 : 1);
}

void TestProjectSelection::unknownCodeKeepsTheShownProject()
{
    insertProject({});
    const QString shown = entry(u"0042-GLAS"_s, u"Glas"_s);
    f->choose(shown);
    f->openMonth();
    f->c().setText(element(u"Text26"_s, 1), u"8"_s);

    f->choose(entry(u"0042-WEG"_s, u"Verwijderd project"_s));
    QCOMPARE(f->messages.texts(), QStringList{project::notFoundMessage(u"0042-WEG"_s)});
    QCOMPARE(f->messages.shown[0].buttons, Buttons::Ok);
    QCOMPARE(f->text(u"Combo1"_s), shown);
    QCOMPARE(f->text(u"Text4"_s), u"0042-GLAS"_s);
    QCOMPARE(f->session.projectCode, u"0042-GLAS"_s);
    QCOMPARE(f->session.hourlyRateIn, QVariant(65.0));
    // The open month stays open: the fields still show its project.
    QCOMPARE(f->text(u"Combo2"_s), u"12 December "_s);
    QVERIFY(f->session.hasOpenReport());
}

void TestProjectSelection::unknownCodeWithNoneShown()
{
    f->choose(entry(u"0042-WEG"_s, u"x"_s));
    QCOMPARE(f->messages.shown.size(), 1);
    QCOMPARE(f->text(u"Combo1"_s), u"Projecten"_s);
    QCOMPARE(f->text(u"Text4"_s), QString());
    QVERIFY(f->session.projectCode.isEmpty());
}

void TestProjectSelection::plannedEnd_data()
{
    QTest::addColumn<QVariant>("end");
    QTest::addColumn<bool>("marked");
    QTest::newRow("yesterday") << QVariant(u"2026/12/07"_s) << true;
    QTest::newRow("today") << QVariant(u"2026/12/08"_s) << false;
    QTest::newRow("tomorrow") << QVariant(u"2026/12/09"_s) << false;
    QTest::newRow("last year") << QVariant(u"2025/12/31"_s) << true;
    QTest::newRow("empty") << QVariant(QString()) << true;
    QTest::newRow("null") << QVariant() << true;
}

void TestProjectSelection::plannedEnd()
{
    QFETCH(QVariant, end);
    QFETCH(bool, marked);
    const QColor normal = f->endColour();
    Project p;
    p.end = end;
    insertProject(p);
    f->choose(entry(p.code, u"x"_s));
    QCOMPARE(f->endColour(), marked ? QColor(255, 224, 192) : normal);

    // The next project without the mark takes the marker away again.
    TestDb::exec(u"UPDATE "_s + kProjects + u" SET TijdsplanningDATUMtm = '2030/01/01'"_s);
    f->choose(entry(p.code, u"x"_s));
    QCOMPARE(f->endColour(), normal);
}

void TestProjectSelection::remark_data()
{
    QTest::addColumn<QVariant>("remark");
    QTest::addColumn<bool>("shown");
    QTest::newRow("GEEN") << QVariant(u"GEEN"_s) << false;
    QTest::newRow("geen") << QVariant(u"geen"_s) << true;
    QTest::newRow("empty") << QVariant(QString()) << true;
    QTest::newRow("GEEN with blank") << QVariant(u"GEEN "_s) << true;
    QTest::newRow("text") << QVariant(u"Urenbudget bijna op."_s) << true;
}

void TestProjectSelection::remark()
{
    QFETCH(QVariant, remark);
    QFETCH(bool, shown);
    Project p;
    p.remark = remark;
    insertProject(p);
    f->choose(entry(p.code, u"x"_s));
    QCOMPARE(f->text(u"Text10"_s), remark.toString());
    QCOMPARE(f->c().isShown(u"Text10"_s), shown);
    QCOMPARE(f->c().isShown(u"Label2(13)"_s), shown);
}

void TestProjectSelection::missingClientShowsNoName()
{
    insertProject({});
    f->choose(entry(u"0042-GLAS"_s, u"x"_s));
    QCOMPARE(f->text(u"Text6"_s), u"Hollands Glas BV"_s);
    Project p;
    p.code = u"0042-LOS"_s;
    p.client = u"99"_s;
    insertProject(p);
    f->choose(entry(p.code, u"x"_s));
    QCOMPARE(f->text(u"Text6"_s), QString());
    QCOMPARE(f->text(u"Text5"_s), u"99"_s);
    QVERIFY(f->messages.shown.isEmpty());
}

void TestProjectSelection::firstRowInTableOrderWins()
{
    Project first;
    first.rateIn = 10.0;
    insertProject(first);
    Project second;
    second.rateIn = 20.0;
    insertProject(second);
    // Only exact codes match: case and trailing blanks count.
    Project lower;
    lower.code = u"0042-glas"_s;
    lower.rateIn = 30.0;
    insertProject(lower);
    f->choose(entry(u"0042-GLAS"_s, u"x"_s));
    QCOMPARE(f->session.hourlyRateIn, QVariant(10.0));
    f->choose(entry(u"0042-glas"_s, u"x"_s));
    QCOMPARE(f->session.hourlyRateIn, QVariant(30.0));
}

void TestProjectSelection::decimalRateStaysANumber_data()
{
    // DECIMAL(10,2) as the server sends it, read on a Dutch desktop.
    QTest::addColumn<double>("rateIn");
    QTest::addColumn<double>("rateOut");
    QTest::addColumn<QString>("rateText");
    QTest::addColumn<QString>("hours"); // typed into day 1
    QTest::addColumn<QString>("amountIn");
    QTest::addColumn<QString>("amountOut");
    QTest::newRow("45.50 and 80.25") << 45.5 << 80.25 << u"Uw uurtarief is € 45,50"_s << u"2"_s << u"91,00"_s
                                     << u"160,50"_s;
    QTest::newRow("72.50, the demo's")
        << 72.5 << 110.0 << u"Uw uurtarief is € 72,50"_s << u"8"_s << u"580,00"_s << u"880,00"_s;
    QTest::newRow("0.99 and 33.33, half an hour")
        << 0.99 << 33.33 << u"Uw uurtarief is € 0,99"_s << u".5"_s << u"0,50"_s << u"16,67"_s;
    QTest::newRow("1234.56") << 1234.56 << 99.99 << u"Uw uurtarief is € 1.234,56"_s << u"8"_s << u"9.876,48"_s
                             << u"799,92"_s;
}

void TestProjectSelection::decimalRateStaysANumber()
{
    QFETCH(double, rateIn);
    QFETCH(double, rateOut);
    QFETCH(QString, rateText);
    QFETCH(QString, hours);
    QFETCH(QString, amountIn);
    QFETCH(QString, amountOut);
    Project p;
    p.rateIn = rateIn;
    p.rateOut = rateOut;
    insertProject(p);
    f->choose(entry(p.code, u"x"_s));
    QCOMPARE(f->text(u"Text20"_s), rateText);
    QCOMPARE(f->session.hourlyRateIn.toDouble(), rateIn);
    QCOMPARE(f->session.hourlyRateOut.toDouble(), rateOut);

    f->openMonth();
    f->c().setText(element(u"Text26"_s, 1), hours);
    f->form.tabs()->setCurrentIndex(1);
    QCOMPARE(f->text(u"Text21"_s), amountIn);
    QCOMPARE(f->text(u"Text39"_s), amountOut);
    QVERIFY(f->messages.shown.isEmpty());
}

void TestProjectSelection::rateHeldAsText_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("rateText");
    QTest::addColumn<QString>("amount"); // for 2 hours
    QTest::addColumn<int>("messages");
    QTest::newRow("digits") << u"45"_s << u"Uw uurtarief is € 45,00"_s << u"90,00"_s << 0;
    QTest::newRow("decimal comma") << u"45,50"_s << u"Uw uurtarief is € 45,50"_s << u"91,00"_s << 0;
    // Read as a Dutch number "45.50" is no number, so it is never 4550.
    QTest::newRow("decimal point") << u"45.50"_s << u"Uw uurtarief is € 45.50,00"_s << u"0,00"_s << 1;
}

void TestProjectSelection::rateHeldAsText()
{
    QFETCH(QString, stored);
    QFETCH(QString, rateText);
    QFETCH(QString, amount);
    QFETCH(int, messages);
    TestDb::exec(u"ALTER TABLE "_s + kProjects + u" MODIFY InkoopDagtariefOpdrachtgever VARCHAR(16) NULL"_s);
    Project p;
    p.rateIn = stored;
    insertProject(p);
    f->choose(entry(p.code, u"x"_s));
    QCOMPARE(f->session.hourlyRateIn, QVariant(stored));
    QCOMPARE(f->text(u"Text20"_s), rateText);

    f->openMonth();
    f->c().setText(element(u"Text26"_s, 1), u"2"_s);
    f->form.tabs()->setCurrentIndex(1);
    QCOMPARE(f->text(u"Text21"_s), amount);
    QCOMPARE(f->text(u"Text39"_s), u"190,00"_s);
    QCOMPARE(f->messages.shown.size(), messages);
}

void TestProjectSelection::failureChangesNothing()
{
    insertProject({});
    Project other;
    other.code = u"0042-HAVEN"_s;
    other.client = u"23"_s;
    insertProject(other);
    f->choose(entry(u"0042-GLAS"_s, u"x"_s));
    f->openMonth();

    // The project row is read, the client's table is gone: nothing may change.
    TestDb::exec(u"DROP TABLE "_s + kClients);
    f->choose(entry(u"0042-HAVEN"_s, u"x"_s));
    QCOMPARE(f->messages.shown.size(), 1);
    QCOMPARE(f->text(u"Text4"_s), u"0042-GLAS"_s);
    QCOMPARE(f->text(u"Text6"_s), u"Hollands Glas BV"_s);
    QCOMPARE(f->session.projectCode, u"0042-GLAS"_s);
    QCOMPARE(f->text(u"Combo2"_s), u"12 December "_s);
    QVERIFY(f->session.hasOpenReport());
}

void TestProjectSelection::keysChooseTheProject_data()
{
    QTest::addColumn<QString>("opened");  // a project picked from the list first
    QTest::addColumn<QList<int>>("keys"); // then pressed in the project box
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("code"); // the project on the form afterwards
    const QString glas = entry(u"0042-GLAS"_s, u"Begeleiding aanleg glasvezelnet"_s);
    const QString haven = entry(u"0042-HAVEN"_s, u"Advies herinrichting havenkade"_s);
    QTest::newRow("Down x2 reads nothing; Enter opens the project shown")
        << QString() << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Return} << haven << u"0042-HAVEN"_s;
    QTest::newRow("Enter with no project shown reads nothing")
        << QString() << QList<int>{Qt::Key_Return} << u"Projecten"_s << QString();
    QTest::newRow("left by Tab: no project shown again")
        << QString() << QList<int>{Qt::Key_Down, Qt::Key_Tab} << u"Projecten"_s << QString();
    QTest::newRow("left by Tab: the open project again")
        << glas << QList<int>{Qt::Key_Down, Qt::Key_Tab} << glas << u"0042-GLAS"_s;
    QTest::newRow("Up from the open project, then Enter")
        << haven << QList<int>{Qt::Key_Up, Qt::Key_Enter} << glas << u"0042-GLAS"_s;
    QTest::newRow("in the list: Down and Enter")
        << glas << QList<int>{Qt::Key_F4, Qt::Key_Down, Qt::Key_Return} << haven << u"0042-HAVEN"_s;
    QTest::newRow("End shows the last project")
        << QString() << QList<int>{Qt::Key_End, Qt::Key_Return} << haven << u"0042-HAVEN"_s;
    QTest::newRow("Home shows the first project")
        << haven << QList<int>{Qt::Key_Home, Qt::Key_Return} << glas << u"0042-GLAS"_s;
}

// On the program Startup builds, by real keys: an arrow only shows another
// project; Enter or a pick from the list reads it.
void TestProjectSelection::keysChooseTheProject()
{
    QFETCH(QString, opened);
    QFETCH(QList<int>, keys);
    QFETCH(QString, shown);
    QFETCH(QString, code);
    TestDb::loadDemo();
    test::LoggedIn program;
    QVERIFY(program.start());
    FormControls& c = program.c();
    auto* box = c.get<QComboBox>(u"Combo1"_s);
    QCOMPARE(box->itemText(0).left(10), u"0042-GLAS "_s); // the rows above count on this order
    if (!opened.isEmpty())
        QVERIFY(test::pickFromList(box, opened));
    box->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), box);
    const QString before = program.session.projectCode;
    const QString fields = c.text(u"Text4"_s);

    for (const int k : keys) {
        program.press({k});
        if (k == Qt::Key_Return || k == Qt::Key_Enter)
            continue;
        QCOMPARE(program.session.projectCode, before);
        QCOMPARE(c.text(u"Text4"_s), fields);
    }
    QTRY_VERIFY(!box->view()->isVisible());

    QCOMPARE(c.text(u"Combo1"_s), shown);
    QCOMPARE(program.session.projectCode, code);
    QCOMPARE(c.text(u"Text4"_s), code.isEmpty() ? fields : code);
    QVERIFY2(program.messages.shown.isEmpty(), qPrintable(program.messages.last()));
}

void TestProjectSelection::screenshot()
{
    // DL_SCREENSHOT=path.png: the declaration tab after a tab click.
    const QString path = qEnvironmentVariable("DL_SCREENSHOT");
    if (path.isEmpty())
        QSKIP("DL_SCREENSHOT not set");
    TestDb::loadDemo();
    f->c().get<QComboBox>(u"Combo1"_s)->addItem(entry(u"0042-GLAS"_s, u"Begeleiding aanleg glasvezelnet"_s));
    f->c().get<QComboBox>(u"Combo1"_s)->addItem(entry(u"0042-HAVEN"_s, u"Advies herinrichting havenkade"_s));
    f->c().setText(u"Label1"_s, u"Goedemorgen          Jan de Vries"_s);
    f->c().setText(u"Text1"_s, u"0042"_s);
    f->choose(entry(u"0042-HAVEN"_s, u"Advies herinrichting havenkade"_s));
    f->openMonth();
    for (const QString& n : kHidden.mid(0, 22))
        f->c().setShown(n, true);
    for (int day = 1; day <= 12; ++day) {
        f->c().setText(element(u"Text26"_s, day), day % 6 == 0 ? u".5"_s : u"8"_s);
        f->c().setText(element(u"Text27"_s, day), day % 3 == 0 ? u"42"_s : u"0"_s);
    }
    f->c().setText(u"Text33"_s, u"23"_s);
    f->c().setText(u"Text34"_s, u"5"_s);
    f->c().setText(u"Text36"_s, u"Parkeren Zandmeer"_s);
    f->form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f->form));
    f->form.tabs()->setCurrentIndex(1);
    f->form.tabs()->setCurrentIndex(0);
    QCOMPARE(f->text(u"Text42"_s), u"10.790,22"_s);
    QTest::qWait(100);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QVERIFY(f->form.grab().save(path));
}

QTEST_MAIN(TestProjectSelection)
#include "tst_projectselection.moc"
