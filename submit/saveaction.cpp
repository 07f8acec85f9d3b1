#include "submit/saveaction.h"

#include "core/actionguard.h"
#include "data/clusterreads.h"
#include "declaration/drafts.h"
#include "declaration/form1.h"
#include "declaration/openmonth.h"
#include "declaration/reportrecord.h"
#include "submit/declareaction.h"
#include "submit/reportstore.h"
#include "submit/submitmessages.h"
#include "ui/imagebutton.h"

namespace dl {

SaveAction::SaveAction(Form1& form, AppContext& ctx, const QLocale& locale, DraftStore* drafts)
    : QObject(&form), m_c(form.controls()), m_ctx(ctx), m_locale(locale), m_drafts(drafts)
{
    auto* button = m_c.get<ImageButton>(QStringLiteral("Image3"));
    connect(button, &ImageButton::doubleClicked, this, &SaveAction::run);
    doubleClickOnKeys(&form, button, QKeySequence::Save);
}

void SaveAction::run()
{
    runGuarded(m_ctx.messages, [this] { save(); });
}

void SaveAction::save()
{
    const Session& session = m_ctx.session;
    if (!session.hasOpenReport()) {
        m_ctx.messages.inform(submit::noOpenMonthMessage());
        return;
    }
    if (!m_ctx.messages.confirm(submit::saveQuestion(), submit::saveCaption())) {
        m_ctx.messages.inform(submit::notSavedMessage());
        return;
    }
    saveWithoutQuestion();
}

bool SaveAction::saveWithoutQuestion()
{
    Session& session = m_ctx.session;
    const openmonth::Busy busy(session);
    const QString stamp = report::modifiedLine(m_ctx.clock.now(), m_locale);
    const Values columns =
        submit::reportColumns([this](const QString& name) { return m_c.text(name); }, stamp);
    QStringList written = openmonth::snapshot(m_c);
    submit::Seen seen{session.reportStored, session.reportModified, session.reportUnknownSave};
    submit::SaveOutcome outcome;
    const ActionId action = ActionId::make();
    for (;;) {
        QString stored;
        const auto attempt = [&] {
            return m_ctx.db().run([&](Connection& connection) {
                return submit::saveReport(connection, session.reportKey, QStringLiteral("nee"), columns,
                                          &seen, &stored, &action);
            });
        };
        try {
            outcome = attempt();
        } catch (const DbError& e) {
            if (!e.isConnectionLoss())
                throw;
            if (m_ctx.account.names == TableNames::OwnAccount) {
                // Asked again under the same action id, on a new connection
                // (another node of a list): the server answers what it did.
                try {
                    outcome = attempt();
                } catch (const DbError& again) {
                    if (!again.isConnectionLoss())
                        throw;
                    session.reportUnknownSave = stamp;
                    m_ctx.messages.inform(submit::saveUnknownMessage(again), Icon::Warning);
                    return false;
                }
            } else {
                const std::optional<bool> taken = storedAllTheSame(columns);
                if (!taken && e.outcomeUnknown()) {
                    // Maybe written, maybe not: the next save must not take it for another's.
                    session.reportUnknownSave = stamp;
                    m_ctx.messages.inform(submit::saveUnknownMessage(e), Icon::Warning);
                    return false;
                }
                if (!taken.value_or(false))
                    throw;
                outcome = submit::SaveOutcome::Overwritten;
            }
        }
        if (outcome != submit::SaveOutcome::ChangedElsewhere)
            break;
        // Asked with no lock held; a save elsewhere meanwhile is asked about again.
        if (!submit::overwriteConfirmed(m_ctx.messages, stored)) {
            m_ctx.messages.inform(submit::notSavedMessage());
            return false;
        }
        seen = {true, stored, session.reportUnknownSave};
    }
    if (outcome == submit::SaveOutcome::Declared) {
        // Declared elsewhere meanwhile: this month is finished here too.
        if (m_drafts)
            m_drafts->remove(session.reportKey);
        m_ctx.messages.inform(submit::saveOfDeclaredMessage(), Icon::Warning);
        letGoOfMonth(m_c, m_ctx.session);
        return false;
    }
    // Only a stamp that was written is shown.
    m_c.setText(QStringLiteral("Text37"), stamp);
    session.reportStored = true;
    session.reportModified = stamp;
    session.reportUnknownSave.clear();
    // What was written, not what the controls hold after the wait.
    openmonth::markWritten(session, std::move(written), stamp);
    if (m_drafts)
        m_drafts->remove(session.reportKey);
    m_ctx.messages.inform(submit::savedMessage(m_c.text(QStringLiteral("Text22"))));
    return true;
}

std::optional<bool> SaveAction::storedAllTheSame(const Values& columns)
{
    // The line may have broken after the server committed; one look on a
    // new connection tells.
    try {
        return m_ctx.db().run([&](Connection& connection) {
            const ClusterReads clusterReads(connection);
            return submit::reportStored(connection, m_ctx.session.reportKey, QStringLiteral("nee"), columns);
        });
    } catch (const DbError&) {
        return std::nullopt;
    }
}

} // namespace dl
