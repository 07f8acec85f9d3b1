#include "submit/declarecheckstep.h"

#include "core/context.h"
#include "data/connection.h"
#include "declaration/form1.h"
#include "declaration/openmonth.h"
#include "declaration/reportrecord.h"
#include "submit/declarecheck.h"
#include "submit/earlierdeclaration.h"
#include "submit/submitmessages.h"

#include <QLineEdit>
#include <QScrollArea>

namespace dl::submit {

namespace {

check::MonthTexts monthTexts(const FormControls& c, const Session& session)
{
    const auto slot = [&c](const QString& array, int n) { return c.text(element(array, n)); };
    check::MonthTexts m;
    m.year = session.reportYear.toInt();
    m.month = report::monthNumber(session.reportMonthEntry).toInt();
    for (int n = 1; n <= int(m.days.size()); ++n) {
        check::DayTexts& d = m.days[std::size_t(n - 1)];
        d.label = slot(QStringLiteral("Text23"), n);
        d.activity = slot(QStringLiteral("Text24"), n);
        d.hours = slot(QStringLiteral("Text26"), n);
        d.kilometres = slot(QStringLiteral("Text27"), n);
    }
    // What the declaration row will hold.
    m.expense = c.text(QStringLiteral("Text13"));
    m.expenseDescription = c.text(QStringLiteral("Text12"));
    return m;
}

// The project's period and hours, then the last earlier declaration: one read.
QList<check::Finding> againstEarlier(const FormControls& c, AppContext& ctx)
{
    const Session& s = ctx.session;
    const check::DeclarationKey key{c.text(QStringLiteral("Text1")), c.text(QStringLiteral("Text5")),
                                    c.text(QStringLiteral("Text2")), s.reportYear,
                                    report::monthNumber(s.reportMonthEntry)};
    check::EarlierDeclarations earlier;
    ctx.db().run([&](Connection& connection) { earlier = check::earlierDeclarations(connection, key); });
    check::ProjectTexts project;
    project.year = s.reportYear.toInt();
    project.month = report::monthNumber(s.reportMonthEntry).toInt();
    project.start = c.text(QStringLiteral("Text7"));
    project.end = c.text(QStringLiteral("Text8"));
    project.plannedHours = c.text(QStringLiteral("Text9"));
    project.monthHours = c.text(QStringLiteral("Text19"));
    project.hoursBefore = earlier.hours;
    QList<check::Finding> out = check::projectFindings(project);
    if (earlier.last)
        out += check::comparisonFindings({c.text(QStringLiteral("Text19")), c.text(QStringLiteral("Text14")),
                                          c.text(QStringLiteral("Text29"))},
                                         *earlier.last);
    return out;
}

void backToReport(Form1& form, int day)
{
    form.switchTab(1);
    if (day <= 0)
        return;
    auto* hours = form.controls().get<QLineEdit>(element(QStringLiteral("Text26"), day));
    if (!hours)
        return;
    if (auto* scroll = form.findChild<QScrollArea*>(QStringLiteral("RaportScroll")))
        scroll->ensureWidgetVisible(hours);
    hours->setFocus(Qt::OtherFocusReason);
    hours->selectAll();
}

} // namespace

bool checkBeforeDeclaring(Form1& form, AppContext& ctx)
{
    const FormControls& c = form.controls();
    QList<check::Finding> findings = check::monthFindings(monthTexts(c, ctx.session), ctx.clock.now().date());
    findings += againstEarlier(c, ctx);
    if (ctx.session.paperKey == ctx.session.reportKey && ctx.session.paperTexts != openmonth::snapshot(c))
        findings.append({check::changedSincePaperText(), 0});
    if (findings.isEmpty())
        return true;

    Choice box;
    box.caption = check::checkCaption();
    box.text = check::checkText(monthName(ctx.session.reportMonthEntry), ctx.session.reportYear);
    for (const check::Finding& f : findings)
        box.lines << f.text;
    box.buttons = check::checkButtons();
    box.defaultButton = check::kBackButton;
    box.escapeButton = check::kBackButton;
    box.icon = Icon::Warning;
    if (ctx.messages.choose(box) == check::kDeclareAnywayButton)
        return true;
    backToReport(form, check::firstNamedDay(findings));
    return false;
}

} // namespace dl::submit
