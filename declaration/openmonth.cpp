#include "declaration/openmonth.h"

#include "declaration/drafts.h"
#include "declaration/reportrecord.h"
#include "ui/controls.h"

namespace dl {

namespace openmonth {

QStringList snapshot(const FormControls& c)
{
    QStringList out;
    const QList<report::Binding> bindings = report::controlBindings();
    out.reserve(bindings.size());
    for (const report::Binding& b : bindings)
        out.append(c.text(b.control));
    return out;
}

void markUnchanged(const FormControls& c, Session& s)
{
    s.reportBaseline = snapshot(c);
}

void markWritten(Session& s, QStringList written, const QString& stamp)
{
    const QList<report::Binding> bindings = report::controlBindings();
    for (qsizetype i = 0; i < bindings.size() && i < written.size(); ++i) {
        if (bindings.at(i).column == u"laatstgewijzigd")
            written[i] = stamp;
    }
    s.reportBaseline = std::move(written);
}

bool hasChanges(const FormControls& c, const Session& s)
{
    return s.hasOpenReport() && snapshot(c) != s.reportBaseline;
}

QString monthAndYear(const QString& monthEntry, const QString& year)
{
    return monthEntry.mid(3) + year;
}

QString leaveCaption()
{
    return QStringLiteral("WIJZIGINGEN NIET OPGESLAGEN");
}

QString leaveQuestion(const QString& monthEntry, const QString& year)
{
    return QStringLiteral("Het raport voor ") + monthAndYear(monthEntry, year) +
           QStringLiteral(" heeft wijzigingen die niet zijn opgeslagen.");
}

QStringList leaveButtons()
{
    return {QStringLiteral("Opslaan"), QStringLiteral("Niet opslaan"), QStringLiteral("Annuleren")};
}

} // namespace openmonth

LeaveGuard::LeaveGuard(FormControls& c, AppContext& ctx, std::function<bool()> save, DraftStore* drafts)
    : m_c(c), m_ctx(ctx), m_save(std::move(save)), m_drafts(drafts)
{
}

bool LeaveGuard::mayLeave()
{
    const Session& s = m_ctx.session;
    if (!openmonth::hasChanges(m_c, s))
        return true;
    enum { Save, DontSave, Cancel };
    const int answer =
        m_ctx.messages.choose({.text = openmonth::leaveQuestion(s.reportMonthEntry, s.reportYear),
                               .caption = openmonth::leaveCaption(),
                               .lines = {},
                               .buttons = openmonth::leaveButtons(),
                               .defaultButton = Save,
                               .escapeButton = Cancel,
                               .icon = Icon::None});
    switch (answer) {
    case Save:
        return m_save && m_save();
    case DontSave:
        if (m_drafts)
            m_drafts->remove(s.reportKey);
        return true;
    default:
        return false;
    }
}

} // namespace dl
