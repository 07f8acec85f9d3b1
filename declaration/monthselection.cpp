#include "declaration/monthselection.h"

#include "core/actionguard.h"
#include "data/connection.h"
#include "data/records.h"
#include "declaration/draftkeeper.h"
#include "declaration/form1.h"
#include "declaration/monthselectionrules.h"
#include "declaration/openmonth.h"
#include "declaration/reportrecord.h"
#include "ui/listchoice.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScrollArea>

namespace dl {

namespace {

const QString kMonthBox = QStringLiteral("Combo2");
const QString kYearBox = QStringLiteral("Combo3");

} // namespace

MonthSelection::MonthSelection(Form1& form, AppContext& ctx, const QLocale& locale, LeaveGuard* guard,
                               DraftKeeper* drafts)
    : QObject(&form), m_form(form), m_c(form.controls()), m_ctx(ctx), m_locale(locale), m_guard(guard),
      m_drafts(drafts)
{
    auto* box = m_c.get<QComboBox>(kMonthBox);
    auto* choice = new ListChoice(
        box, [this] { showOpenMonthEntry(); }, [this] { return offeredRow(); });
    connect(choice, &ListChoice::chosen, this, [this, box](int index) { choose(box->itemText(index)); });
}

void MonthSelection::choose(const QString& monthEntry)
{
    if (!runGuarded(m_ctx.messages, [&] { open(monthEntry); }))
        showOpenMonth();
}

void MonthSelection::open(const QString& entry)
{
    const openmonth::Busy busy(m_ctx.session);
    const QString year = m_c.text(kYearBox);
    if (!month::isYear(year)) {
        m_ctx.messages.inform(month::badYearMessage(year));
        showOpenMonth();
        return;
    }
    // A refused month leaves the open one as it is, its summary and buttons too.
    if (const auto refusal = month::startRefusal(year, entry, m_c.text(QStringLiteral("Text7")))) {
        if (!m_ctx.session.hasOpenReport())
            resetSummary();
        m_ctx.messages.inform(*refusal);
        showOpenMonth();
        return;
    }
    const int days = report::daysInMonth(year.toInt(), report::monthNumber(entry).toInt());
    if (days == 0)
        return; // not one of the box's entries

    const QString key = report::reportKey(year, entry, m_c.text(QStringLiteral("Text4")));
    month::Lookup found = lookUp(key);
    // Asked only now: a month that is refused leaves nothing behind.
    if (found.kind != month::Lookup::Declared && m_guard) {
        const bool asked = openmonth::hasChanges(m_c, m_ctx.session);
        if (!m_guard->mayLeave()) {
            showOpenMonth();
            return;
        }
        // Opslaan may have written this very month.
        if (asked)
            found = lookUp(key);
    }
    if (found.kind == month::Lookup::Declared) {
        if (!m_ctx.session.declaredKeys.contains(key))
            m_ctx.session.declaredKeys << key;
        if (!m_ctx.session.hasOpenReport())
            resetSummary();
        m_ctx.messages.inform(month::declaredMessage(report::monthPart(entry), year));
        if (m_drafts)
            m_drafts->offer(found, entry, year, key);
        showOpenMonth();
        return;
    }
    resetSummary();
    openInSession(key, year, entry, found);
    if (found.kind == month::Lookup::New)
        prepareNew(entry, year, days);
    else
        load(found, entry, year, days);
    openmonth::markUnchanged(m_c, m_ctx.session);
    m_form.switchTab(1);
    focusFirstDayToFill(days);
    if (m_drafts)
        m_drafts->offer(found, entry, year, key);
    Q_EMIT opened();
}

month::Lookup MonthSelection::lookUp(const QString& key)
{
    return m_ctx.db().run([&](Connection& connection) { return month::lookupReport(connection, key); });
}

void MonthSelection::resetSummary()
{
    for (const auto& [name, text] : month::summaryReset())
        m_c.setText(name, text);
    // The declare and print buttons come back with the next tab click, when
    // the totals have been recomputed; until then they would act on zeros.
    for (const QString& name : {QStringLiteral("Image4"), QStringLiteral("Image6"), QStringLiteral("Combo4")})
        m_c.setShown(name, false);
}

void MonthSelection::showOpenMonth()
{
    // A refused month is never named: the boxes go back to what is on screen.
    const Session& s = m_ctx.session;
    if (s.hasOpenReport()) {
        m_c.setText(kYearBox, s.reportYear);
        m_c.setText(kMonthBox, s.reportMonthEntry);
    } else {
        m_c.setText(kMonthBox, QStringLiteral("maand"));
    }
}

void MonthSelection::showOpenMonthEntry()
{
    // The month box alone: a year chosen before the month stays chosen.
    const Session& s = m_ctx.session;
    m_c.setText(kMonthBox, s.hasOpenReport() ? s.reportMonthEntry : QStringLiteral("maand"));
}

int MonthSelection::offeredRow()
{
    const QString year = m_c.text(kYearBox);
    const QDate today = m_ctx.clock.now().date();
    const QString code = m_c.text(QStringLiteral("Text4"));
    auto* box = m_c.get<QComboBox>(kMonthBox);
    const int m = month::offeredMonth(month::isYear(year) ? year.toInt() : today.year(), today, [&](int n) {
        return m_ctx.session.declaredKeys.contains(report::reportKey(year, box->itemText(n - 1), code));
    });
    return m - 1;
}

void MonthSelection::openInSession(const QString& key, const QString& year, const QString& entry,
                                   const month::Lookup& found)
{
    Session& s = m_ctx.session;
    s.reportKey = key;
    s.reportYear = year;
    s.reportMonthEntry = entry;
    s.reportStored = found.kind == month::Lookup::Load;
    s.reportModified = found.texts.value(QStringLiteral("laatstgewijzigd"));
    // The controls still show the month before until it is loaded or prepared.
    s.reportBaseline.clear();
    s.reportUnknownSave.clear();
}

void MonthSelection::prepareNew(const QString& entry, const QString& year, int days)
{
    const QString part = report::monthPart(entry);
    m_ctx.messages.inform(month::newReportMessage(part, year));

    m_c.setText(QStringLiteral("Text22"), report::titleLine(m_c.text(QStringLiteral("Text2")), part, year));
    m_c.setText(QStringLiteral("Text30"), report::clientLine(m_c.text(QStringLiteral("Text6"))));
    m_c.setText(QStringLiteral("Text31"), report::descriptionLine(m_c.text(QStringLiteral("Text3"))));
    m_c.setText(QStringLiteral("Text32"), report::createdLine(m_ctx.clock.now(), m_locale));
    m_c.setText(QStringLiteral("Text37"), report::notYetSavedLine());

    for (int n = 1; n <= report::kSlots; ++n) {
        for (int p = 1; p < 5; ++p)
            m_c.setText(report::slotControl(p, n), QString());
    }
    const QDate first(year.toInt(), report::monthNumber(entry).toInt(), 1);
    for (int n = 1; n <= days; ++n)
        m_c.setText(report::slotControl(0, n), report::dayLabel(first.addDays(n - 1)));
    showDays(days, true);
    showSummary();

    m_c.setText(QStringLiteral("Text36"), QStringLiteral("Onkosten omschijving"));
    m_c.setText(QStringLiteral("Text33"), QStringLiteral("0"));
    m_c.setText(QStringLiteral("Text34"), QStringLiteral("00"));
}

void MonthSelection::load(const month::Lookup& found, const QString& entry, const QString& year, int days)
{
    m_ctx.messages.inform(month::loadedMessage(report::monthPart(entry), year));
    showSummary();
    // Header, then slot by slot, then the expense line; every hours text
    // set here runs the day grid's 24-hour rule.
    for (const report::Binding& b : report::controlBindings())
        m_c.setText(b.control, found.texts.value(b.column));
    // A stored month shows exactly its own days too.
    showDays(days, false);
}

void MonthSelection::showDays(int days, bool emptyHidden)
{
    for (int n = 29; n <= report::kSlots; ++n) {
        for (int p = 0; p < 5; ++p)
            m_c.setShown(report::slotControl(p, n), n <= days);
    }
    if (!emptyHidden)
        return;
    for (int n = days + 1; n <= report::kSlots; ++n) {
        for (int p = 0; p < 5; ++p)
            m_c.setText(report::slotControl(p, n), QString());
    }
}

void MonthSelection::focusFirstDayToFill(int days)
{
    // Otherwise the focus leaves the hidden month box for the next control
    // in the tab order, wherever that is.
    QStringList activities;
    for (int n = 1; n <= days; ++n)
        activities << m_c.text(report::slotControl(1, n));
    auto* activity = m_c.get<QLineEdit>(report::slotControl(1, month::firstDayToFill(activities)));
    activity->setFocus(Qt::OtherFocusReason);
    activity->end(false);
    if (auto* scroll = m_form.findChild<QScrollArea*>(QStringLiteral("RaportScroll")))
        scroll->ensureWidgetVisible(activity);
}

void MonthSelection::showSummary()
{
    for (const QString& name : month::summaryControls())
        m_c.setShown(name, true);
}

} // namespace dl
