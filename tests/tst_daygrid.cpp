// The day grid of tab "Raport": the key filter for typed, pasted and dropped
// text, the column totals and the 24-hour rule with its message.

#include "core/clock.h"
#include "core/context.h"
#include "declaration/daygrid.h"
#include "declaration/earliertexts.h"
#include "declaration/form1.h"
#include "support/fakes.h"
#include "support/formhelpers.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QtTest>

#include <memory>

using namespace dl;
using namespace Qt::StringLiterals;

namespace {

using SlotPairs = QList<QPair<int, int>>;

struct Fixture : test::FormFixture {
    Fixture() : grid(form, ctx) {}
    DayGrid grid;
};

QString hours(int n)
{
    return test::hoursSlot(n);
}
QString km(int n)
{
    return test::kmSlot(n);
}

} // namespace

class TestDayGrid : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { f = std::make_unique<Fixture>(); }
    void cleanup() { f.reset(); }

    void keyFilter_data();
    void keyFilter();
    void pastedTextIsFiltered_data();
    void pastedTextIsFiltered();
    void programTextIsKept();
    void columnTotals_data();
    void columnTotals();
    void hoursLimitWhileTyping();
    void hoursLimitWhileLoading();
    void hoursLimitEverySlotInOrder();
    void daySaysWhichDay_data();
    void daySaysWhichDay();
    void carryByWeekday_data();
    void carryByWeekday();
    void earlierTextsLatestFirst_data();
    void earlierTextsLatestFirst();

private:
    std::unique_ptr<Fixture> f;
};

void TestDayGrid::keyFilter_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::newRow("hours digits") << hours(5) << u"12"_s << u"12"_s;
    // A comma or a point in the hours is the decimal sign, kept as a point.
    QTest::newRow("hours comma is the decimal sign") << hours(5) << u"1,5"_s << u"1.5"_s;
    QTest::newRow("hours point") << hours(5) << u".5"_s << u".5"_s;
    QTest::newRow("hours 23,25") << hours(5) << u"23,25"_s << u"23.25"_s;
    QTest::newRow("hours second sign refused, digits not joined") << hours(5) << u"7,5,5"_s << u"7.5"_s;
    QTest::newRow("km decimal sign refused, digits not joined") << km(5) << u"2,5"_s << u"2"_s;
    QTest::newRow("km point refused, digits not joined") << km(5) << u"2.5"_s << u"2"_s;
    // A key refused right after a figure: the digits after it are refused too.
    QTest::newRow("km letters and signs") << km(5) << u"a-1+e2"_s << u"1"_s;
    QTest::newRow("km a letter between digits") << km(5) << u"2x5"_s << u"2"_s;
    QTest::newRow("hours a slash between digits") << hours(5) << u"1/2"_s << u"1"_s;
    QTest::newRow("hours at most two decimals") << hours(5) << u"7,505"_s << u"7.50"_s;
    QTest::newRow("km percent and apostrophe") << km(5) << u"%'9"_s << u"%'9"_s;
    QTest::newRow("euros blank") << u"Text33"_s << u"1 2"_s << u"1"_s;
    QTest::newRow("cents comma, digits not joined") << u"Text34"_s << u"5,5"_s << u"5"_s;
}

void TestDayGrid::keyFilter()
{
    QFETCH(QString, field);
    QFETCH(QString, keys);
    QFETCH(QString, text);
    f->typeInto(field, keys);
    QCOMPARE(f->text(field), text);
    // Backspace still edits.
    QTest::keyClick(f->edit(field), Qt::Key_Backspace);
    QCOMPARE(f->text(field), text.chopped(1));
}

void TestDayGrid::pastedTextIsFiltered_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("text");
    // A paste is the number it is, or refused whole (the field keeps its
    // text): never the digits of another number.
    QTest::newRow("exponent in km") << km(7) << u"9e9"_s << u"0"_s;
    QTest::newRow("comma km") << km(8) << u"7,5"_s << u"0"_s;
    QTest::newRow("letters hours") << hours(7) << u"x2"_s << u"0"_s;
    QTest::newRow("minus euros") << u"Text33"_s << u"-12"_s << u"0"_s;
    QTest::newRow("hex cents") << u"Text34"_s << u"&H"_s << u"00"_s;
    QTest::newRow("hours with a comma") << hours(7) << u"1,5"_s << u"1.5"_s;
    QTest::newRow("hours, blanks around") << hours(7) << u" 7,5 "_s << u"7.5"_s;
    QTest::newRow("hours, two signs") << hours(7) << u"1.234,5"_s << u"0"_s;
    QTest::newRow("km whole") << km(8) << u"120"_s << u"120"_s;
    QTest::newRow("euros with cents") << u"Text33"_s << u"7,5"_s << u"7"_s;
    QTest::newRow("euros, three decimals") << u"Text33"_s << u"7,505"_s << u"0"_s;
    QTest::newRow("cents with a comma") << u"Text34"_s << u"0,5"_s << u"00"_s;
}

void TestDayGrid::pastedTextIsFiltered()
{
    QFETCH(QString, field);
    QFETCH(QString, pasted);
    QFETCH(QString, text);
    QLineEdit* e = f->edit(field);
    // Paste from the clipboard, replacing everything.
    QGuiApplication::clipboard()->setText(pasted);
    e->selectAll();
    e->paste();
    QCOMPARE(e->text(), text);
    // A drop inserts the same way.
    e->selectAll();
    e->insert(pasted);
    QCOMPARE(e->text(), text);
    QCOMPARE(e->cursorPosition(), text.size());
    // The cents of an amount pasted into the euros go on to the cents.
    if (field == u"Text33"_s && pasted.contains(u','))
        QCOMPARE(f->text(u"Text34"_s), text == u"0"_s ? u"00"_s : pasted.section(u',', 1));
}

void TestDayGrid::programTextIsKept()
{
    // A loaded report is shown as stored; only what the user adds is filtered.
    f->c().setText(u"Text33"_s, u"1,"_s);
    QCOMPARE(f->text(u"Text33"_s), u"1,"_s);
    QLineEdit* e = f->edit(u"Text33"_s);
    e->end(false);
    QTest::keyClicks(e, u"x5"_s);
    QCOMPARE(e->text(), u"1,5"_s);
}

void TestDayGrid::columnTotals_data()
{
    QTest::addColumn<QStringList>("slots");
    QTest::addColumn<QString>("total");
    QTest::newRow("8 and .5") << QStringList{u"8"_s, u".5"_s} << u"8,5"_s;
    QTest::newRow("comma text counts its front") << QStringList{u"7,5"_s, u"1"_s} << u"8"_s;
    QTest::newRow("blanks inside") << QStringList{u" 1 2"_s} << u"12"_s;
    QTest::newRow("percent") << QStringList{u"3%"_s, u"4"_s} << u"7"_s;
    QTest::newRow("hex") << QStringList{u"&H1F"_s} << u"31"_s;
    QTest::newRow("empty slots") << QStringList{QString(), QString()} << u"0"_s;
    QTest::newRow("tenths") << QStringList(31, u".1"_s) << u"3,1"_s;
}

void TestDayGrid::columnTotals()
{
    QFETCH(QStringList, slots);
    QFETCH(QString, total);
    QCOMPARE(daygrid::columnTotal(slots), total);
}

void TestDayGrid::hoursLimitWhileTyping()
{
    f->c().setText(element(u"Text23"_s, 5), u"Wo 05 maart 2008"_s);
    f->typeInto(hours(1), u"24"_s);
    QVERIFY(f->messages.shown.isEmpty());
    f->typeInto(hours(5), u"25"_s);
    QCOMPARE(f->messages.shown.size(), 1);
    QCOMPARE(f->messages.last(), u"U kunt niet meer als 24 uur per dag werken.\r\n\r\nFOUT bij datum "
                                 u"Wo 05 maart 2008 DEZE WORDT OP '0' GEZET !!\r\n\r\n"_s);
    QCOMPARE(f->messages.shown[0].buttons, Buttons::Ok);
    QCOMPARE(f->messages.shown[0].caption, applicationTitle());
    QCOMPARE(f->text(hours(5)), u"0"_s);
    QCOMPARE(f->text(element(u"Text26"_s, 32)), u"24"_s);
}

void TestDayGrid::hoursLimitWhileLoading()
{
    f->c().setText(element(u"Text23"_s, 9), u"dag 9"_s);
    f->c().setText(hours(9), u"30"_s);
    QCOMPARE(f->messages.texts(), QStringList{daygrid::hoursLimitMessage(u"dag 9"_s)});
    QCOMPARE(f->text(hours(9)), u"0"_s);
    QCOMPARE(f->text(element(u"Text26"_s, 32)), u"0"_s);
}

void TestDayGrid::hoursLimitEverySlotInOrder()
{
    for (int i = 1; i <= 31; ++i)
        f->c().setText(element(u"Text23"_s, i), u"dag %1"_s.arg(i));
    {
        // Slots that hold too much before anyone looks: one pass finds all.
        const QSignalBlocker block3(f->edit(hours(3)));
        const QSignalBlocker block20(f->edit(hours(20)));
        f->c().setText(hours(3), u"99"_s);
        f->c().setText(hours(20), u"30"_s);
    }
    f->c().setText(hours(2), u"8"_s);
    QCOMPARE(f->messages.texts(),
             (QStringList{daygrid::hoursLimitMessage(u"dag 3"_s), daygrid::hoursLimitMessage(u"dag 20"_s)}));
    QCOMPARE(f->text(hours(3)), u"0"_s);
    QCOMPARE(f->text(hours(20)), u"0"_s);
    QCOMPARE(f->text(element(u"Text26"_s, 32)), u"8"_s);
}

// What a screen reader says in each field of a day, and the weekend mark,
// from the day label a month sets.
void TestDayGrid::daySaysWhichDay_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("day");
    QTest::addColumn<bool>("weekend");
    QTest::newRow("tuesday") << 3 << u"Di  03 November 2026"_s << u"dinsdag 3 november"_s << false;
    QTest::newRow("saturday") << 1 << u"Za  01 Maart     2008"_s << u"zaterdag 1 maart"_s << true;
    QTest::newRow("sunday") << 2 << u"Zo  02 Maart     2008"_s << u"zondag 2 maart"_s << true;
    QTest::newRow("friday, last day") << 31 << u"Vr  31 Oktober  2025"_s << u"vrijdag 31 oktober"_s << false;
    // A stored label with a wrong weekday: the date decides.
    QTest::newRow("weekday from the date")
        << 1 << u"Ma  01 Maart     2008"_s << u"zaterdag 1 maart"_s << true;
    QTest::newRow("no month chosen") << 5 << u"5"_s << u"dag 5"_s << false;
    QTest::newRow("cleared slot") << 30 << QString() << u"dag 30"_s << false;
    QTest::newRow("not a date") << 7 << u"Za  31 Februari 2008"_s << u"dag 7"_s << false;
}

void TestDayGrid::daySaysWhichDay()
{
    QFETCH(int, slot);
    QFETCH(QString, label);
    QFETCH(QString, day);
    QFETCH(bool, weekend);
    // From a weekend to this day: nothing of the earlier day stays.
    f->c().setText(element(u"Text23"_s, slot), u"Zo  02 Maart     2008"_s);
    f->c().setText(element(u"Text23"_s, slot), label);
    const QStringList columns{u"Datum"_s, u"Activiteit"_s, u"Contact"_s, u"Uren"_s, u"Kilometers"_s};
    const QColor weekday = f->edit(element(u"Text24"_s, 32 - slot))->palette().color(QPalette::Base);
    for (int col = 0; col < 5; ++col) {
        QWidget* w = f->c().widget(element(u"Text%1"_s.arg(23 + col), slot));
        QCOMPARE(w->accessibleName(), columns[col] + u", "_s + day);
        QCOMPARE(w->accessibleDescription(), weekend ? u"weekend"_s : QString());
        QCOMPARE(w->palette().color(QPalette::Base) != weekday, weekend);
    }
}

void TestDayGrid::carryByWeekday_data()
{
    // pairs: a slot of the new month and the slot of the earlier month whose
    // texts it takes; 0: it stays empty.
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<SlotPairs>("pairs");
    // February 2026 begins on a Sunday and has four of every weekday; March
    // too begins on a Sunday and has five Sundays, Mondays and Tuesdays.
    QTest::newRow("five Sundays from four")
        << QDate(2026, 2, 1) << QDate(2026, 3, 1)
        << SlotPairs{{1, 1}, {2, 2}, {8, 8}, {28, 28}, {29, 0}, {30, 0}, {31, 0}};
    // April begins on a Wednesday: its first Wednesday is March's first (4th).
    QTest::newRow("other first weekday")
        << QDate(2026, 3, 1) << QDate(2026, 4, 1)
        << SlotPairs{{1, 4}, {2, 5}, {4, 7}, {5, 1}, {6, 2}, {27, 23}, {29, 0}, {30, 0}, {31, 0}};
    // March's fifth Monday (30th) has a match in June's fifth Monday (29th).
    QTest::newRow("fifth weekday to fifth weekday")
        << QDate(2026, 3, 1) << QDate(2026, 6, 1) << SlotPairs{{1, 2}, {29, 30}, {30, 31}, {31, 0}};
    QTest::newRow("a shorter month leaves the slots past its end empty")
        << QDate(2026, 1, 1) << QDate(2026, 2, 1) << SlotPairs{{1, 4}, {28, 24}, {29, 0}, {30, 0}, {31, 0}};
    QTest::newRow("across a year, any day of the month given")
        << QDate(2025, 12, 17) << QDate(2026, 1, 20) << SlotPairs{{1, 4}, {5, 1}, {31, 0}};
}

void TestDayGrid::carryByWeekday()
{
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(SlotPairs, pairs);
    earlier::MonthTexts texts;
    for (int n = 1; n <= daygrid::kSlots; ++n) {
        // Texts past the month's end never count, whatever the row holds.
        texts.activities << u"activiteit %1"_s.arg(n);
        texts.contacts << (n % 3 == 0 ? QString() : u"contact %1"_s.arg(n));
    }
    const earlier::Carried carried = earlier::carryByWeekday(from, texts, to);
    QCOMPARE(carried.activities.size(), daygrid::kSlots);
    QCOMPARE(carried.contacts.size(), daygrid::kSlots);
    for (const auto& [slot, source] : pairs) {
        QCOMPARE(carried.activities[slot - 1], source ? texts.activities[source - 1] : QString());
        QCOMPARE(carried.contacts[slot - 1], source ? texts.contacts[source - 1] : QString());
    }
}

void TestDayGrid::earlierTextsLatestFirst_data()
{
    // Months as "key|slot 1;slot 2;…"; the column of the texts offered.
    QTest::addColumn<QStringList>("months");
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("offered");
    QTest::newRow("latest month first, whatever the read order")
        << QStringList{u"2025_11_P|oud"_s, u"2026_02_P|nieuw"_s, u"2025_12_P|midden"_s} << 1
        << QStringList{u"nieuw"_s, u"midden"_s, u"oud"_s};
    QTest::newRow("latest day first within a month") << QStringList{u"2026_02_P|eerste;tweede;;derde"_s} << 1
                                                     << QStringList{u"derde"_s, u"tweede"_s, u"eerste"_s};
    QTest::newRow("each text once, at its latest; blanks never")
        << QStringList{u"2026_01_P|Overleg;  ;overleg"_s, u"2026_02_P|Overleg; "_s} << 1
        << QStringList{u"Overleg"_s, u"overleg"_s};
    QTest::newRow("contacts apart from activities")
        << QStringList{u"2026_02_P|Jan de Vries"_s} << 2 << QStringList{u"contact: Jan de Vries"_s};
    QTest::newRow("nothing stored") << QStringList{} << 1 << QStringList{};
}

void TestDayGrid::earlierTextsLatestFirst()
{
    QFETCH(QStringList, months);
    QFETCH(int, column);
    QFETCH(QStringList, offered);
    QList<earlier::MonthTexts> read;
    for (const QString& m : months) {
        earlier::MonthTexts t{m.section(u'|', 0, 0), {}, {}};
        for (const QString& text : m.section(u'|', 1).split(u';')) {
            t.activities << text;
            t.contacts << (text.trimmed().isEmpty() ? text : u"contact: "_s + text);
        }
        read << t;
    }
    QCOMPARE(earlier::recentFirst(read, column), offered);
}

QTEST_MAIN(TestDayGrid)
#include "tst_daygrid.moc"
