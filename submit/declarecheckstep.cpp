#include "submit/declarecheckstep.h"

#include "core/context.h"
#include "data/connection.h"
#include "declaration/form1.h"
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

QList<check::Finding> comparison(const FormControls& c, AppContext& ctx)
{
    const check::DeclarationKey key{c.text(QStringLiteral("Text1")), c.text(QStringLiteral("Text5")),
                                    c.text(QStringLiteral("Text2")), ctx.session.reportYear,
                                    report::monthNumber(ctx.session.reportMonthEntry)};
    std::optional<check::EarlierDeclaration> earlier;
    ctx.db().run([&](Connection& connection) { earlier = check::lastEarlierDeclaration(connection, key); });
    if (!earlier)
        return {};
    return check::comparisonFindings({c.text(QStringLiteral("Text19")), c.text(QStringLiteral("Text14")),
                                      c.text(QStringLiteral("Text29"))},
                                     *earlier);
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
    findings += comparison(c, ctx);
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
