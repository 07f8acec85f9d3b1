#include "declaration/projectselection.h"

#include "core/actionguard.h"
#include "core/dates.h"
#include "data/dutchnumbers.h"
#include "data/records.h"
#include "data/serveractions.h"
#include "data/tables.h"
#include "declaration/earliertexts.h"
#include "declaration/form1.h"
#include "declaration/openmonth.h"
#include "declaration/totals.h"
#include "ui/controls.h"
#include "ui/listchoice.h"

#include <QColor>
#include <QComboBox>
#include <QLineEdit>
#include <QPalette>

#include <algorithm>
#include <cmath>
#include <optional>

namespace dl {

namespace project {

QString codeFromEntry(const QString& entry)
{
    const qsizetype at = entry.indexOf(QStringLiteral("  "));
    return at < 0 ? entry : entry.left(at);
}

QString rateText(const QVariant& rate)
{
    const auto amount = [](double v) {
        return (v == std::floor(v) && std::fabs(v) < 1e15) ? generalNumberText(v) + QStringLiteral(",00")
                                                           : moneyText(v);
    };
    const QString prefix = QStringLiteral("Uw uurtarief is € ");
    if (rate.isNull() || !rate.isValid())
        return prefix + amount(0);
    if (rate.metaType().id() != QMetaType::QString) {
        bool ok = false;
        const double v = rate.toDouble(&ok);
        return prefix + amount(ok && std::isfinite(v) ? v : 0.0);
    }
    const QString t = rate.toString();
    if (t.isEmpty())
        return prefix + amount(0);
    if (std::all_of(t.begin(), t.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return prefix + t + QStringLiteral(",00");
    if (const auto v = tryLocaleNumber(t))
        return prefix + amount(*v);
    return prefix + t + QStringLiteral(",00"); // not a number; the totals say so
}

bool plannedEndPassed(const QString& endDate, const QDate& today)
{
    // The fixed date text is mm-dd-yyyy; rearranged it compares as text.
    const QString f = fixedDateText(today);
    const QString todayText = f.mid(6, 4) + u'/' + f.mid(0, 2) + u'/' + f.mid(3, 2);
    return endDate < todayText;
}

QString notFoundMessage(const QString& code)
{
    return QStringLiteral(
               "Het project \"%1\" is niet gevonden.\r\nDe gegevens van het getoonde project blijven staan.")
        .arg(code);
}

} // namespace project

namespace {

const QColor kEndedColour(255, 224, 192);

// Everything the form shows of a project, read before the form changes.
struct ProjectData {
    QString code;
    QList<QPair<QString, QString>> fields; // control, text; in the order they are filled
    QString clientNumber;
    QString endDate;
    QVariant rateIn;
    QVariant rateOut;
    QString remark;
    QString clientName;
    QList<earlier::MonthTexts> earlierMonths;
};

// years: those of the year box, whose months the project's earlier texts come from.
// The first row of rows that holds text exactly in column.
std::optional<Row> firstExact(Result& rows, const QString& column, const QString& text)
{
    while (rows.next()) {
        const Row row = rows.row();
        if (Records::exactlyMatches(row, {{column, text}}))
            return row;
    }
    return std::nullopt;
}

std::optional<ProjectData> readProject(Connection& connection, const QString& code, const QStringList& years,
                                       bool earlierTexts)
{
    // A consultant's own account: the project, its client and the earlier
    // texts in one call of the server's.
    const bool own = actsThroughProcedures(connection);
    const QStringList keys = earlierTexts ? earlier::monthKeys(years, code) : QStringList();
    QList<Result> sets =
        own ? callResults(connection, "project_kiezen", {code, textsAsJson(keys)}) : QList<Result>{};
    if (own && sets.size() != 3)
        throw DbError(1305, QStringLiteral("De server gaf het project niet."));
    Records records(connection);
    const auto row = own ? firstExact(sets[0], QStringLiteral("Projectcode"), code)
                         : records.findFirst(tables::projects(), {{QStringLiteral("Projectcode"), code}});
    if (!row)
        return std::nullopt;

    ProjectData p;
    p.code = code;
    const struct {
        const char16_t* control;
        const char16_t* column;
    } fields[] = {{u"Text38", u"nummer"},
                  {u"Text2", u"Projectnaam"},
                  {u"Text3", u"ProjectOmschrijving"},
                  {u"Text4", u"Projectcode"},
                  {u"Text5", u"opdrachtgevernummer"},
                  {u"Text7", u"TijdsplanningDATUMvan"},
                  {u"Text8", u"TijdsplanningDATUMtm"},
                  {u"Text9", u"ProjectduurPer8uur"}};
    for (const auto& f : fields)
        p.fields << qMakePair(QString::fromUtf16(f.control), row->text(QString::fromUtf16(f.column)));
    p.clientNumber = row->text(QStringLiteral("opdrachtgevernummer"));
    p.endDate = row->text(QStringLiteral("TijdsplanningDATUMtm"));
    p.rateOut = totals::centRate(row->value(QStringLiteral("VerkoopDagtariefConsultant")));
    p.rateIn = totals::centRate(row->value(QStringLiteral("InkoopDagtariefOpdrachtgever")));
    p.remark = row->text(QStringLiteral("CommentaarCONSULTANT"));

    // A client that is missing leaves the name empty.
    const auto client =
        own ? firstExact(sets[1], QStringLiteral("opdrachtgevernummer"), p.clientNumber)
            : records.findFirst(tables::clients(), {{QStringLiteral("opdrachtgevernummer"), p.clientNumber}});
    if (client)
        p.clientName = client->text(QStringLiteral("Bedrijf"));
    if (earlierTexts)
        p.earlierMonths = own ? earlier::fromRows(sets[2], keys) : earlier::read(connection, keys);
    return p;
}

// Combo1 back on the project the fields show (or its design text).
void showProjectInList(FormControls& c, const QString& shownCode)
{
    auto* list = c.get<QComboBox>(QStringLiteral("Combo1"));
    if (!shownCode.isEmpty()) {
        for (int i = 0; i < list->count(); ++i) {
            if (project::codeFromEntry(list->itemText(i)) == shownCode) {
                list->setCurrentIndex(i);
                return;
            }
        }
    }
    list->setCurrentIndex(-1);
    list->setEditText(QStringLiteral("Projecten"));
}

void markPlannedEnd(FormControls& c, bool ended)
{
    auto* end = c.get<QLineEdit>(QStringLiteral("Text8"));
    QPalette pal = end->palette();
    if (ended) {
        pal.setColor(QPalette::Base, kEndedColour);
        end->setPalette(pal);
    } else {
        end->setPalette(QPalette()); // the system's background again
    }
}

void setShown(FormControls& c, std::initializer_list<const char16_t*> names, bool shown)
{
    for (const char16_t* n : names)
        c.setShown(QString::fromUtf16(n), shown);
}

} // namespace

void selectShownProject(Form1& form, AppContext& ctx, LeaveGuard* guard, bool keepEarlierTexts)
{
    FormControls& c = form.controls();
    Session& session = ctx.session;
    const openmonth::Busy busy(session);
    const QString code = project::codeFromEntry(c.text(QStringLiteral("Combo1")));

    QStringList years;
    const auto* yearBox = c.get<QComboBox>(QStringLiteral("Combo3"));
    for (int i = 0; i < yearBox->count(); ++i)
        years << yearBox->itemText(i);
    const bool readEarlier = !(keepEarlierTexts && code == session.projectCode);
    const std::optional<ProjectData> p = ctx.db().run(
        [&](Connection& connection) { return readProject(connection, code, years, readEarlier); });
    if (!p) {
        ctx.messages.inform(project::notFoundMessage(code), Icon::Warning);
        showProjectInList(c, session.projectCode);
        return;
    }
    if (guard && !guard->mayLeave()) {
        showProjectInList(c, session.projectCode);
        return;
    }

    // A different project: no month is open any more.
    c.setText(QStringLiteral("Combo2"), QStringLiteral("maand"));
    session.closeReport();
    session.projectCode = p->code;

    for (const auto& [name, text] : p->fields)
        c.setText(name, text);
    session.hourlyRateOut = p->rateOut;
    session.hourlyRateIn = p->rateIn;
    c.setText(QStringLiteral("Text20"), project::rateText(p->rateIn));
    c.setText(QStringLiteral("Text15"), project::kilometreText());
    c.setText(QStringLiteral("Text10"), p->remark);

    const bool remark = c.text(QStringLiteral("Text10")) != u"GEEN";
    c.setShown(QStringLiteral("Text10"), remark);
    c.setShown(element(QStringLiteral("Label2"), 13), remark);

    markPlannedEnd(c, project::plannedEndPassed(c.text(QStringLiteral("Text8")), ctx.clock.now().date()));
    c.setText(QStringLiteral("Text6"), p->clientName);
    if (readEarlier)
        earlier::offer(c, p->earlierMonths);

    setShown(c, {u"Label2(2)", u"Text2",     u"Text38",    u"Label2(3)", u"Text3",
                 u"Label2(4)", u"Text4",     u"Label2(5)", u"Text6",     u"Label2(7)",
                 u"Text7",     u"Label2(8)", u"Text8",     u"Label2(9)", u"Text9",
                 u"Label2(1)", u"Label3",    u"Combo2",    u"Combo3",    u"Image5"},
             true);
    // The money summary waits for a month.
    setShown(c, {u"Label2(6)",  u"Label2(10)", u"Label2(11)", u"Label2(12)", u"Label2(14)",
                 u"Label2(15)", u"Label2(16)", u"Label2(17)", u"Label2(18)", u"Text19",
                 u"Text20",     u"Text21",     u"Text11",     u"Text12",     u"Text13",
                 u"Text14",     u"Text15",     u"Text16",     u"Text17",     u"Text18",
                 u"Text28",     u"Text29",     u"Image4",     u"Image6",     u"Combo4"},
             false);
}

void selectOpenProjectAgain(Form1& form, AppContext& ctx)
{
    // The list may show a project the arrow keys moved to and nobody chose.
    FormControls& c = form.controls();
    if (project::codeFromEntry(c.text(QStringLiteral("Combo1"))) != ctx.session.projectCode)
        showProjectInList(c, ctx.session.projectCode);
    selectShownProject(form, ctx, nullptr, true);
}

ProjectSelection::ProjectSelection(Form1& form, AppContext& ctx, LeaveGuard* guard)
    : m_form(form), m_ctx(ctx), m_guard(guard)
{
    auto* list = form.controls().get<QComboBox>(QStringLiteral("Combo1"));
    auto* choice =
        new ListChoice(list, [this] { showProjectInList(m_form.controls(), m_ctx.session.projectCode); });
    connect(choice, &ListChoice::chosen, this, [this] {
        // A failed read or save changed nothing: the list shows the project on screen again.
        if (!runGuarded(m_ctx.messages, [this] { selectShownProject(m_form, m_ctx, m_guard); }))
            showProjectInList(m_form.controls(), m_ctx.session.projectCode);
    });
}

} // namespace dl
