// Choosing a month on the real form against the private test server: new
// and stored reports, declared months, the start and year checks, failures.

#include "core/clock.h"
#include "core/context.h"
#include "data/connection.h"
#include "data/records.h"
#include "data/tables.h"
#include "declaration/daygrid.h"
#include "declaration/form1.h"
#include "declaration/monthselection.h"
#include "declaration/monthselectionrules.h"
#include "declaration/reportrecord.h"
#include "support/fakes.h"
#include "support/formhelpers.h"
#include "support/loggedin.h"
#include "support/testdb.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QtTest>

#include <memory>

using namespace dl;
using dl::test::TestDb;

namespace {

const QLocale kDutch(QLocale::Dutch, QLocale::Netherlands);

struct Fixture {
    explicit Fixture(const QLocale& locale = kDutch)
        : form(ctx, nullptr, locale), selection(form, ctx, locale), grid(form, ctx)
    {
        for (const auto& [name, text] : {std::pair{u"Text2"_qs, u"Nieuwbouw"_qs},
                                         {u"Text3"_qs, u"Fase 2"_qs},
                                         {u"Text4"_qs, u"P"_qs},
                                         {u"Text6"_qs, u"Bouw BV"_qs},
                                         {u"Text7"_qs, u"2008/01/01"_qs}})
            c().setText(name, text);
    }
    FormControls& c() { return form.controls(); }
    void pick(const QString& year, const QString& entry)
    {
        c().setText(u"Combo3"_qs, year);
        auto* box = c().get<QComboBox>(u"Combo2"_qs);
        const int i = box->findText(entry, Qt::MatchExactly | Qt::MatchCaseSensitive);
        QVERIFY2(i >= 0, qPrintable(entry));
        box->setCurrentIndex(i);
        Q_EMIT box->activated(i);
    }
    QString text(const QString& name) { return c().text(name); }
    QComboBox* box(const QString& name) { return c().get<QComboBox>(name); }

    // As a consultant does it: a click on the box (the month box opens its
    // list on it), the list opened, the entry chosen with the keys.
    void chooseInList(const QString& name, const QString& entry)
    {
        QComboBox* b = box(name);
        QTest::mouseClick(b->lineEdit(), Qt::LeftButton);
        if (!b->view()->isVisible())
            QTest::keyClick(b, Qt::Key_F4);
        QTRY_VERIFY(b->view()->isVisible());
        b->view()->setCurrentIndex(b->model()->index(b->findText(entry), 0));
        QTest::keyClick(b->view(), Qt::Key_Return);
        QTRY_VERIFY(!b->view()->isVisible());
    }

    Session session;
    test::FakeMessages messages;
    FixedClock clock{QDateTime(QDate(2008, 3, 15), QTime(9, 5, 7))};
    AppContext ctx{session, messages, clock, TestDb::server()};
    Form1 form;
    MonthSelection selection;
    DayGrid grid; // the column totals and the 24-hour rule follow what is set
};

ServerAddress unreachable()
{
    return {u"127.0.0.1"_qs, 1};
}

QString slot(int prefix, int n)
{
    return report::slotControl(prefix, n);
}

// Stores a report the way the program writes rows: every value bound.
void insertReport(const QString& key, const QVariant& state, const QHash<QString, QString>& texts = {})
{
    Connection connection(TestDb::server(), Database::Reports);
    Records records(connection);
    Values values{{u"Projectnaam"_qs, key}, {u"afgewerkt"_qs, state}};
    for (auto it = texts.begin(); it != texts.end(); ++it)
        values.append({it.key(), it.value()});
    records.insert(tables::reports(), values);
}

// Distinct texts for every column that mirrors a control, within the
// lengths the fields let a consultant type.
QHash<QString, QString> storedReport()
{
    QHash<QString, QString> t{{u"bestandsnaam"_qs, u"Projectnaam      :   Oud    Maart  2008"_qs},
                              {u"Opdrachtgever"_qs, u"Opdrachtgever :   Oude klant"_qs},
                              {u"omschrijving"_qs, u"Omschrijving     :   \"quotes\" & 'apostrof'"_qs},
                              {u"aangemaakt"_qs, u"Aangemaakt       : 02/March/2008  17:00:01"_qs},
                              {u"laatstgewijzigd"_qs, u"Laatst gewijzigd : 03-maart-2008  08:30:00"_qs},
                              {u"onkosten"_qs, u" Parkeren, café "_qs},
                              {u"euro"_qs, u"123"_qs},
                              {u"cent"_qs, u"5"_qs}};
    for (int n = 1; n <= report::kSlots; ++n) {
        t.insert(report::slotColumn(u"datum"_qs, n), u"dag %1 van de maand  "_qs.arg(n));
        t.insert(report::slotColumn(u"Activiteit"_qs, n), u"  werk op dag %1; ëï ' \" \\ %%_"_qs.arg(n));
        t.insert(report::slotColumn(u"Contact"_qs, n), n % 7 == 0 ? QString() : u"Jan %1 "_qs.arg(n));
        t.insert(report::slotColumn(u"Uren"_qs, n), n % 5 == 0 ? u".5"_qs : QString::number(n % 24));
        t.insert(report::slotColumn(u"Kilometers"_qs, n), n % 3 == 0 ? u" 7"_qs : QString::number(n * 11));
    }
    return t;
}

} // namespace

class TestMonthSelection : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void newReport_data();
    void newReport();
    void newReportDateLines_data();
    void newReportDateLines();
    void newReportClearsThePreviousMonth();
    void storedReportComesBackUnchanged();
    void storedReportShowsItsOwnDays();
    void nullColumnsShowEmpty();
    void hoursAboveTheLimitMeetTheRuleWhileLoading();
    void firstMatchDecides_data();
    void firstMatchDecides();
    void declaredMonthWithAnOpenMonth();
    void declaredMonthWithNoneOpen();
    void startCheck_data();
    void startCheck();
    void badYear_data();
    void badYear();
    void databaseFailureChangesNothing();
    void refusedMonthOpensNothingLater_data();
    void refusedMonthOpensNothingLater();
    void keysChooseTheMonth_data();
    void keysChooseTheMonth();

private:
    std::unique_ptr<Fixture> f;
};

void TestMonthSelection::init()
{
    TestDb::reset();
    f = std::make_unique<Fixture>();
}

void TestMonthSelection::cleanup()
{
    f.reset();
}

void TestMonthSelection::newReport_data()
{
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("days");
    QTest::addColumn<QString>("firstLabel");
    QTest::addColumn<QString>("lastLabel");
    QTest::addColumn<QString>("message");
    QTest::newRow("February 2023")
        << u"2023"_qs << u"02 Februari "_qs << 28 << u"Wo  01 Februari  2023"_qs
        << u"Di  28 Februari  2023"_qs
        << u"Een nieuw raport is voor u aangemaakt.\r\n\r\nvoor de maand Februari  2023"_qs;
    QTest::newRow("February 2024")
        << u"2024"_qs << u"02 Februari "_qs << 29 << u"Do  01 Februari  2024"_qs
        << u"Do  29 Februari  2024"_qs
        << u"Een nieuw raport is voor u aangemaakt.\r\n\r\nvoor de maand Februari  2024"_qs;
    QTest::newRow("April 2008")
        << u"2008"_qs << u"04 April "_qs << 30 << u"Di  01 April     2008"_qs << u"Wo  30 April     2008"_qs
        << u"Een nieuw raport is voor u aangemaakt.\r\n\r\nvoor de maand April  2008"_qs;
    QTest::newRow("March 2008")
        << u"2008"_qs << u"03 Maart "_qs << 31 << u"Za  01 Maart     2008"_qs << u"Ma  31 Maart     2008"_qs
        << u"Een nieuw raport is voor u aangemaakt.\r\n\r\nvoor de maand Maart  2008"_qs;
}

void TestMonthSelection::newReport()
{
    QFETCH(QString, year);
    QFETCH(QString, entry);
    QFETCH(int, days);
    QFETCH(QString, firstLabel);
    QFETCH(QString, lastLabel);
    QFETCH(QString, message);

    f->pick(year, entry);

    QCOMPARE(f->messages.texts(), QStringList{message});
    QCOMPARE(f->text(slot(0, 1)), firstLabel);
    QCOMPARE(f->text(slot(0, days)), lastLabel);
    for (int n = 1; n <= report::kSlots; ++n) {
        for (int p = 0; p < 5; ++p) {
            QCOMPARE(f->c().isShown(slot(p, n)), n <= days);
            if (p > 0 || n > days)
                QCOMPARE(f->text(slot(p, n)), QString());
        }
    }
    const QString part = entry.mid(2);
    QCOMPARE(f->text(u"Text22"_qs), u"Projectnaam      :   Nieuwbouw   "_qs + part + u' ' + year);
    QCOMPARE(f->text(u"Text30"_qs), u"Opdrachtgever :   Bouw BV"_qs);
    QCOMPARE(f->text(u"Text31"_qs), u"Omschrijving     :   Fase 2"_qs);
    QCOMPARE(f->text(u"Text37"_qs), u"Laatst opgeslagen: 'NOG NIET OPGESLAGEN'"_qs);
    QCOMPARE(f->text(u"Text36"_qs), u"Onkosten omschijving"_qs);
    QCOMPARE(f->text(u"Text33"_qs), u"0"_qs);
    QCOMPARE(f->text(u"Text34"_qs), u"00"_qs);
    QCOMPARE(f->text(u"Text12"_qs), u"GEEN"_qs);
    for (const QString& name : month::summaryControls() + QStringList{u"Text39"_qs, u"Text42"_qs})
        QVERIFY2(f->c().isShown(name), qPrintable(name));
    for (const QString& name : {u"Image4"_qs, u"Image6"_qs, u"Combo4"_qs})
        QVERIFY(!f->c().isShown(name));
    QCOMPARE(f->form.tabs()->currentIndex(), 1);
    // The first keys go into day 1's activity.
    QCOMPARE(f->form.focusWidget(), f->c().widget(slot(1, 1)));
    QCOMPARE(f->session.reportKey, year + u'_' + entry.left(2) + u"_P"_qs);
    QCOMPARE(f->session.reportYear, year);
    QCOMPARE(f->session.reportMonthEntry, entry);
    QCOMPARE(f->text(u"Combo2"_qs), entry);
    QCOMPARE(TestDb::count(u"torvakdb_TORVAKraporten.Raporten"_qs), 0);
}

void TestMonthSelection::newReportDateLines_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("created");
    QTest::newRow("nl_NL") << kDutch << u"Aangemaakt       : 15-maart-2008  09:05:07"_qs;
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates)
                           << u"Aangemaakt       : 15/March/2008  09:05:07"_qs;
}

void TestMonthSelection::newReportDateLines()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, created);
    f = std::make_unique<Fixture>(locale);
    f->pick(u"2008"_qs, u"03 Maart "_qs);
    QCOMPARE(f->text(u"Text32"_qs), created);
}

void TestMonthSelection::newReportClearsThePreviousMonth()
{
    f->pick(u"2023"_qs, u"02 Februari "_qs);
    f->c().setText(slot(1, 5), u"oud werk"_qs);
    f->c().setText(slot(3, 5), u"8"_qs);
    f->c().setText(u"Text33"_qs, u"12"_qs);
    f->messages.clear();

    f->pick(u"2008"_qs, u"03 Maart "_qs);
    QCOMPARE(f->messages.shown.size(), 1); // no question about the unsaved entries
    QCOMPARE(f->text(slot(1, 5)), QString());
    QCOMPARE(f->text(slot(3, 5)), QString());
    QCOMPARE(f->text(u"Text33"_qs), u"0"_qs);
    for (int p = 0; p < 5; ++p)
        QVERIFY(f->c().isShown(slot(p, 30)));
    QCOMPARE(f->text(slot(0, 31)), u"Ma  31 Maart     2008"_qs);
}

void TestMonthSelection::storedReportComesBackUnchanged()
{
    const QHash<QString, QString> stored = storedReport();
    insertReport(u"2008_03_P"_qs, u"nee"_qs, stored);

    f->pick(u"2008"_qs, u"03 Maart "_qs);

    QCOMPARE(
        f->messages.texts(),
        QStringList{
            u"Een bestaand declaratie raport (voor de maand Maart  2008)\r\nis ingeladen en klaargezet"_qs});
    const QList<report::Binding> bindings = report::controlBindings();
    for (const report::Binding& b : bindings)
        QCOMPARE(f->text(b.control), stored.value(b.column));
    QCOMPARE(f->session.reportKey, u"2008_03_P"_qs);
    QCOMPARE(f->session.reportMonthEntry, u"03 Maart "_qs);
    QCOMPARE(f->form.tabs()->currentIndex(), 1);
    // Every day has an activity: the cursor starts at day 1, after its text.
    QCOMPARE(f->form.focusWidget(), f->c().widget(slot(1, 1)));
    QCOMPARE(f->c().get<QLineEdit>(slot(1, 1))->cursorPosition(), stored.value(u"Activiteit01"_qs).size());
    QCOMPARE(f->text(u"Text12"_qs), u"GEEN"_qs);
    for (const QString& name : month::summaryControls())
        QVERIFY2(f->c().isShown(name), qPrintable(name));
    // Loading writes nothing.
    QCOMPARE(TestDb::count(u"torvakdb_TORVAKraporten.Raporten"_qs), 1);
}

void TestMonthSelection::storedReportShowsItsOwnDays()
{
    insertReport(u"2023_02_P"_qs, u"nee"_qs, {{u"datum28"_qs, u"Di  28 Februari  2023"_qs}});
    insertReport(u"2008_04_P"_qs, u"nee"_qs,
                 {{u"datum30"_qs, u"Wo  30 April     2008"_qs},
                  {u"Activiteit01"_qs, u"Overleg"_qs},
                  {u"Activiteit02"_qs, u"Schouw"_qs}});

    f->pick(u"2008"_qs, u"03 Maart "_qs); // new, 31 days
    f->pick(u"2023"_qs, u"02 Februari "_qs);
    for (int n = 28; n <= 31; ++n)
        QCOMPARE(f->c().isShown(slot(3, n)), n == 28);
    QCOMPARE(f->text(slot(0, 28)), u"Di  28 Februari  2023"_qs);

    f->pick(u"2008"_qs, u"04 April "_qs);
    for (int n = 28; n <= 31; ++n)
        QCOMPARE(f->c().isShown(slot(0, n)), n <= 30);
    // The work goes on at the first day without an activity.
    QCOMPARE(f->form.focusWidget(), f->c().widget(slot(1, 3)));
}

void TestMonthSelection::nullColumnsShowEmpty()
{
    f->pick(u"2008"_qs, u"02 Februari "_qs);
    insertReport(u"2008_03_P"_qs, u"nee"_qs, {{u"Activiteit02"_qs, u"alleen dit"_qs}});
    f->pick(u"2008"_qs, u"03 Maart "_qs);
    QCOMPARE(f->text(slot(1, 2)), u"alleen dit"_qs);
    QCOMPARE(f->text(slot(0, 1)), QString());
    QCOMPARE(f->text(u"Text22"_qs), QString());
    QCOMPARE(f->text(u"Text33"_qs), QString());
}

void TestMonthSelection::hoursAboveTheLimitMeetTheRuleWhileLoading()
{
    insertReport(u"2008_03_P"_qs, u"nee"_qs,
                 {{u"datum05"_qs, u"Wo  05 Maart     2008"_qs},
                  {u"Uren05"_qs, u"25"_qs},
                  {u"datum07"_qs, u"Vr  07 Maart     2008"_qs},
                  {u"Uren07"_qs, u"99"_qs},
                  {u"Uren08"_qs, u"24"_qs},
                  {u"Uren09"_qs, u".5"_qs},
                  {u"Kilometers02"_qs, u"100"_qs}});

    f->pick(u"2008"_qs, u"03 Maart "_qs);

    const QString rule = u"U kunt niet meer als 24 uur per dag werken.\r\n\r\nFOUT bij datum "_qs;
    QCOMPARE(f->messages.texts(),
             (QStringList{month::loadedMessage(u" Maart "_qs, u"2008"_qs),
                          rule + u"Wo  05 Maart     2008 DEZE WORDT OP '0' GEZET !!\r\n\r\n"_qs,
                          rule + u"Vr  07 Maart     2008 DEZE WORDT OP '0' GEZET !!\r\n\r\n"_qs}));
    QCOMPARE(f->text(slot(3, 5)), u"0"_qs);
    QCOMPARE(f->text(slot(3, 7)), u"0"_qs);
    QCOMPARE(f->text(slot(3, 8)), u"24"_qs);
    QCOMPARE(f->text(u"Text26(32)"_qs), u"24,5"_qs);
    QCOMPARE(f->text(u"Text27(32)"_qs), u"100"_qs);
}

void TestMonthSelection::firstMatchDecides_data()
{
    // Rows in table order as "key|state"; "<NULL>" stores NULL. The outcome
    // names the row that was loaded by its activity "row N".
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("nee before ja") << QStringList{u"2008_03_P|nee"_qs, u"2008_03_P|ja"_qs} << u"row 0"_qs;
    QTest::newRow("ja before nee") << QStringList{u"2008_03_P|ja"_qs, u"2008_03_P|nee"_qs} << u"declared"_qs;
    QTest::newRow("two open rows") << QStringList{u"2008_03_P|nee"_qs, u"2008_03_P|nee"_qs} << u"row 0"_qs;
    QTest::newRow("other states passed over")
        << QStringList{u"2008_03_P|Nee"_qs, u"2008_03_P|<NULL>"_qs, u"2008_03_P|"_qs, u"2008_03_P|nee"_qs}
        << u"row 3"_qs;
    QTest::newRow("only other states")
        << QStringList{u"2008_03_P|JA"_qs, u"2008_03_P|nee "_qs, u"2008_03_P|klaar"_qs} << u"new"_qs;
    QTest::newRow("key must match exactly")
        << QStringList{u"2008_03_p|ja"_qs,  u"2008_03_P |ja"_qs, u" 2008_03_P|ja"_qs,
                       u"2008_03_PP|ja"_qs, u"2008_3_P|ja"_qs,   u"2008_03_P|nee"_qs}
        << u"row 5"_qs;
    QTest::newRow("other month, other project")
        << QStringList{u"2008_02_P|nee"_qs, u"2008_03_Q|ja"_qs, u"2009_03_P|nee"_qs} << u"new"_qs;
    QTest::newRow("empty table") << QStringList{} << u"new"_qs;
}

void TestMonthSelection::firstMatchDecides()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, outcome);
    for (int i = 0; i < rows.size(); ++i) {
        const QString key = rows[i].section(u'|', 0, 0);
        const QString state = rows[i].section(u'|', 1);
        insertReport(key, state == u"<NULL>" ? QVariant(QMetaType::fromType<QString>()) : QVariant(state),
                     {{u"Activiteit01"_qs, u"row %1"_qs.arg(i)}});
    }
    f->pick(u"2008"_qs, u"03 Maart "_qs);
    QCOMPARE(f->messages.shown.size(), 1);
    if (outcome == u"declared") {
        QCOMPARE(f->messages.last(), u"U heeft  Maart  2008 al gedeclareerd!"_qs);
        QVERIFY(!f->session.hasOpenReport());
    } else if (outcome == u"new") {
        QVERIFY(f->messages.last().startsWith(u"Een nieuw raport"_qs));
        QCOMPARE(f->text(slot(1, 1)), QString());
    } else {
        QVERIFY(f->messages.last().startsWith(u"Een bestaand declaratie raport"_qs));
        QCOMPARE(f->text(slot(1, 1)), outcome);
    }
}

void TestMonthSelection::declaredMonthWithAnOpenMonth()
{
    insertReport(u"2009_03_P"_qs, u"ja"_qs, {{u"Activiteit01"_qs, u"gedeclareerd"_qs}});
    f->pick(u"2008"_qs, u"02 Februari "_qs);
    f->c().setText(slot(1, 1), u"nog niet opgeslagen"_qs);
    f->c().setText(u"Text13"_qs, u"12,50"_qs);
    f->c().setShown(u"Image4"_qs, true);
    f->messages.clear();

    f->pick(u"2009"_qs, u"03 Maart "_qs);

    QCOMPARE(f->messages.texts(), QStringList{u"U heeft  Maart  2009 al gedeclareerd!"_qs});
    // The open month stays the one on screen and in the boxes.
    QCOMPARE(f->session.reportKey, u"2008_02_P"_qs);
    QCOMPARE(f->text(u"Combo2"_qs), u"02 Februari "_qs);
    QCOMPARE(f->text(u"Combo3"_qs), u"2008"_qs);
    QCOMPARE(f->text(slot(0, 1)), u"Vr  01 Februari  2008"_qs);
    QCOMPARE(f->text(slot(1, 1)), u"nog niet opgeslagen"_qs);
    QVERIFY(f->text(u"Text22"_qs).endsWith(u"Februari  2008"_qs));
    // Its summary and buttons too: they still say what the open month holds.
    QCOMPARE(f->text(u"Text13"_qs), u"12,50"_qs);
    QVERIFY(f->c().isShown(u"Image4"_qs));
}

void TestMonthSelection::declaredMonthWithNoneOpen()
{
    insertReport(u"2008_03_P"_qs, u"ja"_qs);
    f->c().setText(u"Text12"_qs, u"Parkeren"_qs);
    const int tab = f->form.tabs()->currentIndex();

    f->pick(u"2008"_qs, u"03 Maart "_qs);

    QCOMPARE(f->messages.texts(), QStringList{u"U heeft  Maart  2008 al gedeclareerd!"_qs});
    QCOMPARE(f->text(u"Combo2"_qs), u"maand"_qs);
    QVERIFY(f->session.reportKey.isEmpty());
    QVERIFY(!f->session.hasOpenReport());
    QCOMPARE(f->text(u"Text12"_qs), u"GEEN"_qs);
    QCOMPARE(f->text(u"Text22"_qs), u"Text22"_qs);
    QCOMPARE(f->form.tabs()->currentIndex(), tab);
}

void TestMonthSelection::startCheck_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("refused");
    QTest::newRow("March 2009 opens") << u"2009/03/01"_qs << u"2009"_qs << u"03 Maart "_qs << false;
    QTest::newRow("January 2010 opens") << u"2009/03/01"_qs << u"2010"_qs << u"01 Januari "_qs << false;
    QTest::newRow("February 2009 refused") << u"2009/03/01"_qs << u"2009"_qs << u"02 Februari "_qs << true;
    QTest::newRow("December 2008 refused") << u"2009/03/01"_qs << u"2008"_qs << u"12 December "_qs << true;
    QTest::newRow("no start date") << QString() << u"2008"_qs << u"01 Januari "_qs << false;
}

void TestMonthSelection::startCheck()
{
    QFETCH(QString, start);
    QFETCH(QString, year);
    QFETCH(QString, entry);
    QFETCH(bool, refused);
    f->c().setText(u"Text7"_qs, start);
    f->c().setText(u"Text28"_qs, u"99,00"_qs);
    f->c().setText(u"Text41"_qs, u"99,00"_qs);
    if (refused)
        f->ctx.server = unreachable(); // a refusal must not reach the database

    f->pick(year, entry);

    QCOMPARE(f->messages.shown.size(), 1);
    QCOMPARE(f->text(u"Text28"_qs), u"0,00"_qs); // the summary is reset either way
    QCOMPARE(f->text(u"Text41"_qs), u"0,00"_qs); // at the client's side too
    if (refused) {
        QCOMPARE(f->messages.last(), u"U kunt niet vroeger declareren dan Maart 2009"_qs);
        QCOMPARE(f->messages.shown.last().caption, applicationTitle());
        QVERIFY(!f->session.hasOpenReport());
        QCOMPARE(f->text(u"Combo2"_qs), u"maand"_qs);
        QCOMPARE(f->text(slot(0, 1)), u"1"_qs);
        QCOMPARE(f->form.tabs()->currentIndex(), 0);
    } else {
        QVERIFY(f->messages.last().startsWith(u"Een nieuw raport"_qs));
        QCOMPARE(f->session.reportYear, year);
    }
}

void TestMonthSelection::badYear_data()
{
    QTest::addColumn<QString>("year");
    QTest::newRow("two digits") << u"08"_qs;
    QTest::newRow("letters") << u"jaar"_qs;
    QTest::newRow("empty") << QString();
    QTest::newRow("blank inside") << u"20 8"_qs;
}

void TestMonthSelection::badYear()
{
    QFETCH(QString, year);
    f->pick(u"2008"_qs, u"02 Februari "_qs);
    f->c().setText(u"Text29"_qs, u"100,00"_qs);
    f->c().setShown(u"Image4"_qs, true);
    f->messages.clear();
    f->ctx.server = unreachable();

    f->pick(year, u"03 Maart "_qs);

    QCOMPARE(f->messages.texts(), QStringList{month::badYearMessage(year)});
    QVERIFY(f->messages.last().startsWith(u'"' + year + u"\" is geen jaartal."_qs));
    QCOMPARE(f->text(u"Text29"_qs), u"100,00"_qs);
    QVERIFY(f->c().isShown(u"Image4"_qs));
    QCOMPARE(f->session.reportKey, u"2008_02_P"_qs);
    QCOMPARE(f->text(u"Combo2"_qs), u"02 Februari "_qs);
    QCOMPARE(f->text(u"Combo3"_qs), u"2008"_qs);
    QCOMPARE(f->text(slot(0, 1)), u"Vr  01 Februari  2008"_qs);
}

void TestMonthSelection::databaseFailureChangesNothing()
{
    f->c().setText(u"Text12"_qs, u"Parkeren"_qs);
    f->ctx.server = unreachable();

    f->pick(u"2008"_qs, u"03 Maart "_qs);

    QCOMPARE(f->messages.shown.size(), 1);
    QCOMPARE(f->messages.shown.last().icon, Icon::Critical);
    QCOMPARE(f->text(u"Text12"_qs), u"Parkeren"_qs);
    QCOMPARE(f->text(u"Text22"_qs), u"Text22"_qs);
    QCOMPARE(f->text(slot(0, 1)), u"1"_qs);
    QVERIFY(!f->session.hasOpenReport());
    QCOMPARE(f->text(u"Combo2"_qs), u"maand"_qs);
    QCOMPARE(f->form.tabs()->currentIndex(), 0);
}

void TestMonthSelection::refusedMonthOpensNothingLater_data()
{
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("refusedYear");
    QTest::addColumn<QString>("refusedEntry");
    QTest::newRow("new month, before the start") << false << u"2007"_qs << u"12 December "_qs;
    QTest::newRow("new month, declared") << false << u"2009"_qs << u"03 Maart "_qs;
    QTest::newRow("stored month, before the start") << true << u"2007"_qs << u"12 December "_qs;
    QTest::newRow("stored month, declared") << true << u"2009"_qs << u"03 Maart "_qs;
}

void TestMonthSelection::refusedMonthOpensNothingLater()
{
    QFETCH(bool, stored);
    QFETCH(QString, refusedYear);
    QFETCH(QString, refusedEntry);
    if (stored)
        insertReport(u"2008_02_P"_qs, u"nee"_qs, storedReport());
    insertReport(u"2009_03_P"_qs, u"ja"_qs);
    f->form.show();
    QApplication::setActiveWindow(&f->form);
    QVERIFY(QTest::qWaitForWindowActive(&f->form));
    f->chooseInList(u"Combo3"_qs, u"2008"_qs);
    f->chooseInList(u"Combo2"_qs, u"02 Februari "_qs);
    QCOMPARE(f->messages.shown.size(), 1);
    test::typeInto(f->c().get<QLineEdit>(slot(3, 1)), u"7"_qs);

    f->chooseInList(u"Combo3"_qs, refusedYear);
    f->chooseInList(u"Combo2"_qs, refusedEntry);
    QCOMPARE(f->messages.shown.size(), 2);
    QCOMPARE(f->text(u"Combo2"_qs), u"02 Februari "_qs);
    QCOMPARE(f->box(u"Combo2"_qs)->currentIndex(), 1);

    // The focus leaves the month box, and a year is chosen: nothing opens.
    f->chooseInList(u"Combo3"_qs, u"2009"_qs);
    QTest::mouseClick(f->c().get<QLineEdit>(slot(1, 2)), Qt::LeftButton);
    QApplication::processEvents();

    QCOMPARE(f->messages.shown.size(), 2);
    QCOMPARE(f->text(slot(3, 1)), u"7"_qs);
    QCOMPARE(f->session.reportKey, u"2008_02_P"_qs);
}

void TestMonthSelection::keysChooseTheMonth_data()
{
    QTest::addColumn<QString>("declared"); // a report stored declared
    QTest::addColumn<QString>("opened");   // a month picked from the list first
    QTest::addColumn<QList<int>>("keys");  // then pressed in the month box
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("key"); // the open report afterwards
    QTest::addColumn<int>("boxes");   // message boxes the keys brought up
    const QString march = u"2026_03_0042-GLAS"_qs;
    // Today is 27 March 2026.
    QTest::newRow("Down x3 opens nothing; Enter opens the month shown")
        << QString() << QString() << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}
        << u"05 Mei "_qs << u"2026_05_0042-GLAS"_qs << 1;
    QTest::newRow("Up starts at this month too")
        << QString() << QString() << QList<int>{Qt::Key_Up, Qt::Key_Up, Qt::Key_Enter} << u"02 Februari "_qs
        << u"2026_02_0042-GLAS"_qs << 1;
    QTest::newRow("Home and End") << QString() << QString()
                                  << QList<int>{Qt::Key_End, Qt::Key_Home, Qt::Key_Down, Qt::Key_Return}
                                  << u"02 Februari "_qs << u"2026_02_0042-GLAS"_qs << 1;
    QTest::newRow("End shows the last month")
        << QString() << QString() << QList<int>{Qt::Key_End, Qt::Key_Return} << u"12 December "_qs
        << u"2026_12_0042-GLAS"_qs << 1;
    QTest::newRow("Enter with no month shown opens nothing")
        << QString() << QString() << QList<int>{Qt::Key_Return} << u"maand"_qs << QString() << 0;
    QTest::newRow("left by Tab: no month shown again")
        << QString() << QString() << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Tab} << u"maand"_qs
        << QString() << 0;
    QTest::newRow("left by Tab: the open month again")
        << QString() << u"03 Maart "_qs << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Tab}
        << u"03 Maart "_qs << march << 0;
    QTest::newRow("left by Shift+Tab: the open month again")
        << QString() << u"03 Maart "_qs << QList<int>{Qt::Key_Up, Qt::Key_Backtab} << u"03 Maart "_qs << march
        << 0;
    QTest::newRow("Enter on the open month opens it again")
        << QString() << u"03 Maart "_qs << QList<int>{Qt::Key_Return} << u"03 Maart "_qs << march << 1;
    QTest::newRow("Space opens the list on this month; Enter there opens it")
        << QString() << QString() << QList<int>{Qt::Key_Space, Qt::Key_Return} << u"03 Maart "_qs << march
        << 1;
    QTest::newRow("in the list: Down and Enter")
        << QString() << QString() << QList<int>{Qt::Key_F4, Qt::Key_Down, Qt::Key_Return} << u"04 April "_qs
        << u"2026_04_0042-GLAS"_qs << 1;
    QTest::newRow("Escape in the list opens nothing")
        << QString() << u"03 Maart "_qs << QList<int>{Qt::Key_F4, Qt::Key_Down, Qt::Key_Escape}
        << u"03 Maart "_qs << march << 0;
    QTest::newRow("this month seen declared: the one before is offered")
        << march << u"03 Maart "_qs << QList<int>{Qt::Key_Down, Qt::Key_Return} << u"02 Februari "_qs
        << u"2026_02_0042-GLAS"_qs << 1;
    QTest::newRow("this month seen declared: the list opens on the one before")
        << march << u"03 Maart "_qs << QList<int>{Qt::Key_Space, Qt::Key_Return} << u"02 Februari "_qs
        << u"2026_02_0042-GLAS"_qs << 1;
}

// On the program Startup builds, by real keys: an arrow only shows another
// month; Enter or a pick from the list opens it.
void TestMonthSelection::keysChooseTheMonth()
{
    QFETCH(QString, declared);
    QFETCH(QString, opened);
    QFETCH(QList<int>, keys);
    QFETCH(QString, shown);
    QFETCH(QString, key);
    QFETCH(int, boxes);
    TestDb::loadDemo();
    if (!declared.isEmpty())
        insertReport(declared, u"ja"_qs);
    test::LoggedIn program;
    QVERIFY(program.start());
    FormControls& c = program.c();
    QVERIFY(test::pickFromList(c.get<QComboBox>(u"Combo1"_qs),
                               u"0042-GLAS                Begeleiding aanleg glasvezelnet"_qs));
    auto* box = c.get<QComboBox>(u"Combo2"_qs);
    if (!opened.isEmpty()) {
        // A declared month is refused and leaves the box on "maand".
        QVERIFY(test::pickFromList(box, opened) || !declared.isEmpty());
        program.form().tabs()->setCurrentIndex(0);
    }
    box->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), box);
    program.messages.clear();
    const QString before = program.session.reportKey;

    for (const int k : keys) {
        program.press({k});
        if (k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Space)
            continue;
        // Nothing opens, nothing is asked.
        QVERIFY2(program.messages.shown.isEmpty(), qPrintable(program.messages.last()));
        QCOMPARE(program.session.reportKey, before);
    }
    QTRY_VERIFY(!box->view()->isVisible());

    QCOMPARE(c.text(u"Combo2"_qs), shown);
    QCOMPARE(program.session.reportKey, key);
    QCOMPARE(program.messages.shown.size(), boxes);
    if (boxes > 0)
        QVERIFY2(program.messages.last().startsWith(u"Een "_qs), qPrintable(program.messages.last()));
}

QTEST_MAIN(TestMonthSelection)
#include "tst_monthselection.moc"
