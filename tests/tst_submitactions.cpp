// Saving and declaring on the real form against the test server: the
// questions and messages, what reaches the tables, and what the form shows
// afterwards, also when the server fails or another workstation was first.

#include "core/actionguard.h"
#include "core/clock.h"
#include "core/context.h"
#include "declaration/form1.h"
#include "declaration/monthselection.h"
#include "declaration/projectselection.h"
#include "declaration/reportrecord.h"
#include "submit/declareaction.h"
#include "submit/saveaction.h"
#include "submit/submitmessages.h"
#include "support/fakes.h"
#include "support/testdb.h"
#include "ui/imagebutton.h"

#include <QApplication>
#include <QComboBox>
#include <QTabWidget>
#include <QtTest>

using namespace dl;
using dl::test::TestDb;

namespace {

const QLocale kDutch(QLocale::Dutch, QLocale::Netherlands);
const QString kReports = u"torvakdb_TORVAKraporten.Raporten"_qs;
const QString kDeclarations = u"torvakdb_TORVAKdeclaraties.Declaraties"_qs;
const QString kKey = u"2026_03_0042-GLAS"_qs;

// The demo consultant logged in, project 0042-GLAS chosen, March 2026 opened
// and filled in.
struct Fixture {
    Fixture()
        : form(ctx, nullptr, kDutch), months(form, ctx, kDutch), save(form, ctx, kDutch),
          declare(form, ctx, kDutch)
    {
        session.consultantName = u"Ir. Anna de Vries"_qs;
        c().setText(u"Text1"_qs, u"0042"_qs);
        c().setText(u"Combo1"_qs, u"0042-GLAS                Begeleiding aanleg glasvezelnet"_qs);
        selectShownProject(form, ctx);
        pickMonth(u"2026"_qs, u"03 Maart "_qs);
        messages.clear();
        // Work on weekdays only, the month over and the plan not past: nothing
        // for the check to name.
        c().setText(u"Text9"_qs, u"1000"_qs);
        for (int n = 1; n <= report::kSlots; ++n) {
            const bool worked = QDate(2026, 3, n).dayOfWeek() <= 5 && n % 4;
            c().setText(report::slotControl(1, n), worked ? u" werk %1 "_qs.arg(n) : QString());
            c().setText(report::slotControl(2, n), n % 2 ? QString() : u"Jan"_qs);
            c().setText(report::slotControl(3, n), worked ? u"8"_qs : QString());
            c().setText(report::slotControl(4, n), worked ? QString::number(n) : QString());
        }
        c().setText(u"Text36"_qs, u"Parkeren "_qs);
        c().setText(u"Text33"_qs, u"12"_qs);
        c().setText(u"Text34"_qs, u"5"_qs);
        const QList<QPair<QString, QString>> summary{
            {u"Text19"_qs, u"184"_qs},       {u"Text21"_qs, u"11.960,00"_qs},
            {u"Text14"_qs, u"496"_qs},       {u"Text16"_qs, u"173,60"_qs},
            {u"Text13"_qs, u"12,05"_qs},     {u"Text12"_qs, u"Parkeren "_qs},
            {u"Text17"_qs, u"12.145,65"_qs}, {u"Text28"_qs, u"2.429,13"_qs},
            {u"Text29"_qs, u"14.574,78"_qs}, {u"Text18"_qs, u"GEEN\r\nbel mij"_qs},
            {u"Text39"_qs, u"17.480,00"_qs}, {u"Text40"_qs, u"17.665,65"_qs},
            {u"Text41"_qs, u"3.533,13"_qs},  {u"Text42"_qs, u"21.198,78"_qs}};
        for (const auto& [name, text] : summary)
            c().setText(name, text);
        for (const char16_t* name : {u"Image4", u"Image6", u"Combo4"})
            c().setShown(QString::fromUtf16(name), true);
    }
    FormControls& c() { return form.controls(); }
    QString text(const QString& name) { return c().text(name); }
    void pickMonth(const QString& year, const QString& entry)
    {
        c().setText(u"Combo3"_qs, year);
        auto* box = c().get<QComboBox>(u"Combo2"_qs);
        const int i = box->findText(entry, Qt::MatchExactly | Qt::MatchCaseSensitive);
        box->setCurrentIndex(i);
        Q_EMIT box->activated(i);
    }

    Session session;
    test::FakeMessages messages;
    FixedClock clock{QDateTime(QDate(2026, 3, 31), QTime(16, 4, 9))};
    AppContext ctx{session, messages, clock, TestDb::server()};
    Form1 form;
    MonthSelection months;
    SaveAction save;
    DeclareAction declare;
};

QStringList reportRows()
{
    return TestDb::rows(u"SELECT Projectnaam, afgewerkt, laatstgewijzigd, Uren04, cent FROM "_qs + kReports +
                        u" ORDER BY id"_qs);
}

QStringList declarationRows()
{
    return TestDb::rows(u"SELECT factuurnummer, Jaar, maand FROM "_qs + kDeclarations + u" ORDER BY id"_qs);
}

void insertReport(const QString& key, const QString& state)
{
    TestDb::exec(u"INSERT INTO "_qs + kReports +
                     u" (Projectnaam, afgewerkt, laatstgewijzigd) VALUES (?, ?, 'oud')"_qs,
                 {key, state});
}

ServerAddress unreachable()
{
    return {u"127.0.0.1"_qs, 1};
}

const QString kStamp = u"Laatst gewijzigd : 31-maart-2026  16:04:09"_qs;

} // namespace

class TestSubmitActions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void saveAsked();
    void saveAnsweredNo();
    void saveWritesTheFormAsItStands();
    void saveTwiceKeepsOneRow();
    void saveRefusesADeclaredReport();
    void saveFailureShowsNoStamp();
    void noOpenMonth_data();
    void noOpenMonth();

    void blockedOnlyByBelangrijk_data();
    void blockedOnlyByBelangrijk();
    void declareAnsweredNo();
    void declareWritesBothRowsAndLetsGo();
    void declaredMonthIsRefusedAfterwards();
    void declareUsesTheOpenMonthNotTheBoxes();
    void declareFailureWritesNothing();
    void declaredElsewhereMeanwhile();
    void invoiceNumberTaken();

    void checkGoesBackToTheReport();
    void checkDeclaredAnyway();
    void checkComparesWithTheLastDeclaration();
    void serverErrorsAsTold_data();
    void serverErrorsAsTold();
};

void TestSubmitActions::init()
{
    TestDb::loadDemo();
}

void TestSubmitActions::cleanup()
{
    TestDb::exec(u"DROP TRIGGER IF EXISTS torvakdb_TORVAKdeclaraties.refuse_insert"_qs);
}

void TestSubmitActions::saveAsked()
{
    Fixture f;
    f.messages.answers.enqueue(Answer::No);
    Q_EMIT f.c().get<ImageButton>(u"Image3"_qs)->doubleClicked();
    QCOMPARE(f.messages.shown.size(), 2);
    const Message& q = f.messages.shown.first();
    QCOMPARE(q.text, u"Dit raport opslaan om later weer te kunnen wijzigen ?"_qs);
    QCOMPARE(q.caption, u"RAPORT OPSLAAN ZONDER TE DECLAREREN"_qs);
    QCOMPARE(q.buttons, Buttons::YesNo);
    QCOMPARE(q.defaultAnswer, Answer::Yes);
    QCOMPARE(q.icon, Icon::None);
}

void TestSubmitActions::saveAnsweredNo()
{
    Fixture f;
    const QString before = f.text(u"Text37"_qs);
    f.messages.answers.enqueue(Answer::No);
    f.save.run();
    QCOMPARE(f.messages.last(), u"Rapport is NIET opgeslagen!"_qs);
    QCOMPARE(f.messages.shown.last().caption, applicationTitle());
    QCOMPARE(f.text(u"Text37"_qs), before);
    QCOMPARE(TestDb::count(kReports), 0);
}

void TestSubmitActions::saveWritesTheFormAsItStands()
{
    Fixture f;
    f.save.run();
    QCOMPARE(f.messages.last(), u"Rapport is opgeslagen \r\n\r\n"_qs + f.text(u"Text22"_qs));
    QCOMPARE(f.text(u"Text37"_qs), kStamp);

    QStringList columns;
    for (const report::Binding& b : report::controlBindings())
        columns << b.column;
    const QStringList rows = TestDb::rows(u"SELECT Projectnaam, afgewerkt, "_qs + columns.join(u", "_qs) +
                                          u" FROM "_qs + kReports);
    QCOMPARE(rows.size(), 1);
    const QStringList stored = rows.first().split(u'|');
    QCOMPARE(stored[0], kKey);
    QCOMPARE(stored[1], u"nee"_qs);
    const QList<report::Binding> bindings = report::controlBindings();
    for (int i = 0; i < bindings.size(); ++i)
        QCOMPARE(stored[i + 2], f.text(bindings[i].control));
    QVERIFY(stored.contains(u" werk 31 "_qs)); // slots past a month's end are written too
}

void TestSubmitActions::saveTwiceKeepsOneRow()
{
    Fixture f;
    f.save.run();
    f.c().setText(report::slotControl(3, 4), u"6"_qs);
    f.clock.set(f.clock.now().addSecs(60));
    f.save.run();
    QCOMPARE(reportRows(), QStringList{kKey + u"|nee|Laatst gewijzigd : 31-maart-2026  16:05:09|6|5"_qs});
}

void TestSubmitActions::saveRefusesADeclaredReport()
{
    Fixture f;
    insertReport(kKey, u"ja"_qs);
    const QString before = f.text(u"Text37"_qs);
    f.save.run();
    QCOMPARE(f.messages.last(), submit::saveOfDeclaredMessage());
    QCOMPARE(f.text(u"Text37"_qs), before);
    QCOMPARE(reportRows(), QStringList{kKey + u"|ja|oud|<NULL>|<NULL>"_qs});
    // Declared elsewhere meanwhile: the month is let go as after a declaration.
    for (const char16_t* name : {u"Image4", u"Image6", u"Combo4"})
        QVERIFY2(!f.c().isShown(QString::fromUtf16(name)), qPrintable(QString::fromUtf16(name)));
    QCOMPARE(f.text(u"Combo2"_qs), u"maand"_qs);
    QVERIFY(!f.session.hasOpenReport());
}

void TestSubmitActions::saveFailureShowsNoStamp()
{
    Fixture f;
    const QString before = f.text(u"Text37"_qs);
    f.ctx.server = unreachable();
    f.save.run();
    QVERIFY2(f.messages.last().contains(u"niet bereikbaar"_qs),
             qPrintable(f.messages.texts().join(u"\n---\n"_qs)));
    QCOMPARE(f.text(u"Text37"_qs), before);
}

void TestSubmitActions::noOpenMonth_data()
{
    QTest::addColumn<bool>("declaring");
    QTest::newRow("save") << false;
    QTest::newRow("declare") << true;
}

void TestSubmitActions::noOpenMonth()
{
    QFETCH(bool, declaring);
    Fixture f;
    // Choosing the project again lets go of the month on screen.
    selectShownProject(f.form, f.ctx);
    f.messages.clear();
    declaring ? f.declare.run() : f.save.run();
    QCOMPARE(f.messages.texts(), QStringList{submit::noOpenMonthMessage()});
    QCOMPARE(TestDb::count(kReports) + TestDb::count(kDeclarations), 0);
}

void TestSubmitActions::blockedOnlyByBelangrijk_data()
{
    QTest::addColumn<QString>("ticker");
    QTest::addColumn<bool>("blocked");
    QTest::newRow("BELANGRIJK:") << u"BELANGRIJK: geen declaraties vandaag"_qs << true;
    QTest::newRow("just the word") << u"BELANGRIJK:"_qs << true;
    QTest::newRow("lower case") << u"belangrijk: geen declaraties"_qs << false;
    QTest::newRow("no colon") << u"BELANGRIJK geen declaraties"_qs << false;
    QTest::newRow("OPMERKING:") << u"OPMERKING: fijne feestdagen"_qs << false;
    QTest::newRow("empty") << QString() << false;
}

void TestSubmitActions::blockedOnlyByBelangrijk()
{
    QFETCH(QString, ticker);
    QFETCH(bool, blocked);
    Fixture f;
    f.c().setText(u"Label4"_qs, ticker);
    f.messages.answers.enqueue(Answer::No);
    Q_EMIT f.c().get<ImageButton>(u"Image4"_qs)->doubleClicked();
    if (blocked) {
        QCOMPARE(f.messages.texts(), QStringList{u"Door administrator tijdelijk uitgezet"_qs});
        QCOMPARE(f.messages.shown.first().buttons, Buttons::Ok);
    } else {
        QCOMPARE(f.messages.shown.first().caption, u"RAPORT OPSLAAN EN DECLAREREN"_qs);
    }
    QCOMPARE(TestDb::count(kReports) + TestDb::count(kDeclarations), 0);
}

void TestSubmitActions::declareAnsweredNo()
{
    Fixture f;
    f.messages.answers.enqueue(Answer::No);
    f.declare.run();
    QCOMPARE(f.messages.shown.size(), 2);
    const Message& q = f.messages.shown[0];
    QCOMPARE(q.text, u"U wilt het huidige raport opslaan, deze declaratie aanbieden en tegelijkertijd\r\n"
                     "toekomstige declaraties voor Maart 2026 onmogelijk maken.\r\n\r\n"
                     "U kunt deze declaratie hierna NIET MEER PRINTEN!!\r\n\r\n"
                     "Wilt U nu deze declaratie aanbieden voor verwerking van € 14.574,78 ?\r\n"_qs);
    QCOMPARE(q.caption, u"RAPORT OPSLAAN EN DECLAREREN"_qs);
    QCOMPARE(q.buttons, Buttons::YesNo);
    QCOMPARE(q.defaultAnswer, Answer::Yes);
    QCOMPARE(q.icon, Icon::None);
    QCOMPARE(f.messages.shown[1].text,
             u"Het Raport is NIET opgeslagen en\r\nde declaratie voor Maart 2026 is NIET uitgevoerd\r\n"_qs);
    QCOMPARE(f.messages.shown[1].caption, applicationTitle());
    QCOMPARE(TestDb::count(kReports) + TestDb::count(kDeclarations), 0);
    QVERIFY(f.c().isShown(u"Image4"_qs));
    QCOMPARE(f.text(u"Combo2"_qs), u"03 Maart "_qs);
    QVERIFY(f.session.hasOpenReport());
}

void TestSubmitActions::declareWritesBothRowsAndLetsGo()
{
    Fixture f;
    QVERIFY(f.c().isShown(u"Text42"_qs)); // shown with the month
    f.declare.run();
    QCOMPARE(f.messages.shown[1].text,
             u"Het Raport voor Maart 2026 is opgeslagen en\r\n"
             "de declaratie hiervan is opgeslagen en aangeboden voor uitvoering.\r\n"_qs);
    QCOMPARE(f.messages.shown.size(), 2);
    QVERIFY(f.messages.choices.isEmpty()); // nothing for the check to name

    QCOMPARE(reportRows(), QStringList{kKey + u"|ja|"_qs + kStamp + u"||5"_qs});
    const QStringList rows = TestDb::rows(
        u"SELECT factuurnummer, consultant, Consultantnaam, Opdrachtgever, Opdrachtgevernaam, Jaar, maand, "
        "DECdatum, Projectnaam, uren, CAST(peruurIN AS CHAR), CAST(peruurUIT AS CHAR), urentotaal, "
        "kilometers, "
        "perKM, totaalkostenKM, onkosten, kostenomschrijving, subtotaal, BTW, totaal, opmerking, "
        "urentotaaluit, subtotaaluit, BTWuit, totaaluit, IsbetaaldConsultant, IsbetaaldOpdrachtgever FROM "_qs +
        kDeclarations);
    QCOMPARE(rows.size(), 1);
    const QStringList expected{u"26030042170007"_qs,
                               u"0042"_qs,
                               u"Ir. Anna de Vries"_qs,
                               u"17"_qs,
                               u"Hollands Glas BV"_qs,
                               u"2026"_qs,
                               u"03"_qs,
                               u"31-maart-2026  16:04:09"_qs,
                               u"Glasvezel Noord"_qs,
                               u"184"_qs,
                               u"65.00"_qs,
                               u"95.00"_qs,
                               u"11.960,00"_qs,
                               u"496"_qs,
                               u"0,35"_qs,
                               u"173,60"_qs,
                               u"12,05"_qs,
                               u"Parkeren "_qs,
                               u"12.145,65"_qs,
                               u"2.429,13"_qs,
                               u"14.574,78"_qs,
                               u"GEEN\r\nbel mij"_qs,
                               u"17.480,00"_qs,
                               u"17.665,65"_qs,
                               u"3.533,13"_qs,
                               u"21.198,78"_qs,
                               u"nee"_qs,
                               u"nee"_qs};
    QCOMPARE(rows.first().split(u'|'), expected);

    QCOMPARE(f.text(u"Text37"_qs), kStamp);
    for (const char16_t* name : {u"Image4", u"Image6", u"Combo4"})
        QVERIFY2(!f.c().isShown(QString::fromUtf16(name)), qPrintable(QString::fromUtf16(name)));
    QCOMPARE(f.text(u"Combo2"_qs), u"maand"_qs);
    QVERIFY(!f.session.hasOpenReport());
    // The project was chosen again: its fields are back, the summary waits for a month.
    QCOMPARE(f.session.projectCode, u"0042-GLAS"_qs);
    // At both sides, with their captions: no figures of the declared month.
    for (const char16_t* name : {u"Label2(14)", u"Label2(11)", u"Label2(17)", u"Label2(18)", u"Text21",
                                 u"Text17", u"Text28", u"Text29", u"Text39", u"Text40", u"Text41", u"Text42"})
        QVERIFY2(!f.c().isShown(QString::fromUtf16(name)), qPrintable(QString::fromUtf16(name)));
}

void TestSubmitActions::declaredMonthIsRefusedAfterwards()
{
    Fixture f;
    f.declare.run();
    f.messages.clear();
    f.pickMonth(u"2026"_qs, u"03 Maart "_qs);
    QCOMPARE(f.messages.texts(), QStringList{u"U heeft  Maart  2026 al gedeclareerd!"_qs});
    f.messages.clear();
    f.declare.run();
    f.save.run();
    QCOMPARE(f.messages.texts(), (QStringList{submit::noOpenMonthMessage(), submit::noOpenMonthMessage()}));
    QCOMPARE(TestDb::count(kDeclarations), 1);
}

void TestSubmitActions::declareUsesTheOpenMonthNotTheBoxes()
{
    Fixture f;
    f.c().setText(u"Combo3"_qs, u"2027"_qs);
    f.declare.run();
    QVERIFY(f.messages.shown[0].text.contains(u"toekomstige declaraties voor Maart 2026 onmogelijk"_qs));
    QCOMPARE(declarationRows(), QStringList{u"26030042170007|2026|03"_qs});
    QCOMPARE(TestDb::rows(u"SELECT Projectnaam FROM "_qs + kReports), QStringList{kKey});
}

void TestSubmitActions::declareFailureWritesNothing()
{
    // Stored before it is opened: a row that came after would be asked about first.
    insertReport(kKey, u"nee"_qs);
    Fixture f;
    TestDb::exec(u"CREATE TRIGGER torvakdb_TORVAKdeclaraties.refuse_insert BEFORE INSERT ON "_qs +
                 kDeclarations + u" FOR EACH ROW SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'geweigerd'"_qs);
    const QString before = f.text(u"Text37"_qs);
    f.declare.run();
    QVERIFY2(
        f.messages.last().startsWith(
            u"Het Raport is NIET opgeslagen en\r\nde declaratie voor Maart 2026 is NIET uitgevoerd\r\n"_qs),
        qPrintable(f.messages.last()));
    QVERIFY(f.messages.last().contains(u"geweigerd"_qs));
    QCOMPARE(reportRows(), QStringList{kKey + u"|nee|oud|<NULL>|<NULL>"_qs});
    QCOMPARE(TestDb::count(kDeclarations), 0);
    QCOMPARE(f.text(u"Text37"_qs), before);
    QVERIFY(f.c().isShown(u"Image4"_qs));
    QVERIFY(f.session.hasOpenReport());
}

void TestSubmitActions::declaredElsewhereMeanwhile()
{
    Fixture f;
    insertReport(kKey, u"ja"_qs);
    f.declare.run();
    QCOMPARE(f.messages.last(), u"U heeft  Maart  2026 al gedeclareerd!"_qs);
    QCOMPARE(reportRows(), QStringList{kKey + u"|ja|oud|<NULL>|<NULL>"_qs});
    QCOMPARE(TestDb::count(kDeclarations), 0);
    QVERIFY(!f.c().isShown(u"Image4"_qs));
    QCOMPARE(f.text(u"Combo2"_qs), u"maand"_qs);
    QVERIFY(!f.session.hasOpenReport());
}

void TestSubmitActions::invoiceNumberTaken()
{
    Fixture f;
    TestDb::exec(u"INSERT INTO "_qs + kDeclarations +
                 u" (factuurnummer, Jaar) VALUES ('26030042170007', 'x')"_qs);
    f.declare.run();
    QCOMPARE(f.messages.last(),
             submit::invoiceNumberTakenMessage(u"26030042170007"_qs, u"Maart "_qs, u"2026"_qs));
    QVERIFY(f.messages.last().contains(u"contact op met kantoor"_qs));
    QCOMPARE(TestDb::count(kReports), 0);
    QCOMPARE(declarationRows(), QStringList{u"26030042170007|x|<NULL>"_qs});
    QVERIFY(f.session.hasOpenReport());
}

namespace {

// A Sunday entry and an 18-hour day, four days before the month is over.
void fillInBadly(Fixture& f)
{
    f.c().setText(report::slotControl(1, 1), u"Storing"_qs);
    f.c().setText(report::slotControl(3, 1), u"8"_qs);
    f.c().setText(report::slotControl(3, 10), u"18"_qs);
    f.clock.set(QDateTime(QDate(2026, 3, 27), QTime(16, 4, 9)));
}

const QStringList kBadLines{u"Maart 2026 is nog niet voorbij"_qs,
                            u"Zo  01 Maart     2026: 8 uur op een zondag"_qs,
                            u"Di  10 Maart     2026: 18 uur op één dag"_qs};

} // namespace

void TestSubmitActions::checkGoesBackToTheReport()
{
    Fixture f;
    f.form.show();
    f.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.form));
    fillInBadly(f);
    Q_EMIT f.c().get<ImageButton>(u"Image4"_qs)->doubleClicked();

    QCOMPARE(f.messages.choices.size(), 1);
    const Choice& box = f.messages.choices.first();
    QCOMPARE(box.caption, u"Controle voor het declareren"_qs);
    QCOMPARE(box.text, u"Kijk dit nog eens na voordat U Maart 2026 declareert:"_qs);
    QCOMPARE(box.lines, kBadLines);
    QCOMPARE(box.buttons, (QStringList{u"Terug naar het raport"_qs, u"Toch declareren"_qs}));
    QCOMPARE(box.defaultButton, 0);
    QCOMPARE(box.escapeButton, 0);
    // The default is going back: no question, nothing written.
    QCOMPARE(f.messages.shown.size(), 1);
    QCOMPARE(TestDb::count(kReports) + TestDb::count(kDeclarations), 0);
    QVERIFY(f.session.hasOpenReport());
    QCOMPARE(f.form.tabs()->currentIndex(), 1);
    QTRY_COMPARE(QApplication::focusWidget(), f.c().widget(report::slotControl(3, 1)));
}

void TestSubmitActions::checkDeclaredAnyway()
{
    Fixture f;
    fillInBadly(f);
    f.messages.choiceAnswers.enqueue(1);
    f.declare.run();
    QCOMPARE(f.messages.choices.size(), 1);
    QCOMPARE(f.messages.choices.first().lines, kBadLines);
    QCOMPARE(f.messages.shown.size(), 3);
    QCOMPARE(f.messages.shown[1].caption, u"RAPORT OPSLAAN EN DECLAREREN"_qs);
    QVERIFY(f.messages.shown[2].text.startsWith(u"Het Raport voor Maart 2026 is opgeslagen"_qs));
    QCOMPARE(declarationRows(), QStringList{u"26030042170007|2026|03"_qs});
    QVERIFY(!f.session.hasOpenReport());
}

void TestSubmitActions::checkComparesWithTheLastDeclaration()
{
    Fixture f;
    const QString insert = u"INSERT INTO "_qs + kDeclarations +
                           u" (consultant, Opdrachtgever, Projectnaam, Jaar, maand, uren, kilometers, totaal)"
                           " VALUES ('0042', '17', ?, ?, ?, ?, '496', '14.574,78')"_qs;
    TestDb::exec(insert, {u"Glasvezel Noord"_qs, u"2026"_qs, u"01"_qs, u"184"_qs});
    TestDb::exec(insert, {u"Glasvezel Noord"_qs, u"2026"_qs, u"02"_qs, u"400"_qs});
    // Not earlier, and not this project's name.
    TestDb::exec(insert, {u"Glasvezel Noord"_qs, u"2026"_qs, u"04"_qs, u"1"_qs});
    TestDb::exec(insert, {u"GLASVEZEL NOORD"_qs, u"2026"_qs, u"02"_qs, u"184"_qs});
    f.declare.run();
    QCOMPARE(f.messages.choices.size(), 1);
    QCOMPARE(f.messages.choices.first().lines,
             QStringList{u"Uren 54 % lager dan in Februari 2026 (400 → 184)"_qs});
    QCOMPARE(TestDb::count(kDeclarations), 4);
    QCOMPARE(TestDb::count(kReports), 0);
}

// What a consultant reads of a failed save or declaration: a row another
// workstation holds is said in Dutch, never the server's English.
void TestSubmitActions::serverErrorsAsTold_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("part");
    QTest::newRow("lock wait") << 1205 << u"Lock wait timeout exceeded; try restarting transaction"_qs
                               << u"een andere werkplek houdt deze gegevens vast"_qs;
    QTest::newRow("deadlock") << 1213
                              << u"Deadlock found when trying to get lock; try restarting transaction"_qs
                              << u"een andere werkplek schreef tegelijk"_qs;
    QTest::newRow("other errors as the server says them")
        << 1146 << u"Table 'x.y' doesn't exist"_qs << u"Fout 1146: Table 'x.y' doesn't exist"_qs;
}

void TestSubmitActions::serverErrorsAsTold()
{
    QFETCH(int, number);
    QFETCH(QString, server);
    QFETCH(QString, part);
    const DbError e(number, server);
    for (const QString& told :
         {errorMessageText(e), submit::declareFailedMessage(u"Maart "_qs, u"2026"_qs, e)}) {
        QVERIFY2(told.contains(part), qPrintable(told));
        if (number != 1146)
            QVERIFY2(!told.contains(server), qPrintable(told));
    }
}

QTEST_MAIN(TestSubmitActions)
#include "tst_submitactions.moc"
