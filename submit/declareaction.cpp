#include "submit/declareaction.h"

#include "core/actionguard.h"
#include "data/clusterreads.h"
#include "declaration/drafts.h"
#include "declaration/form1.h"
#include "declaration/monthselectionrules.h"
#include "declaration/openmonth.h"
#include "declaration/projectselection.h"
#include "declaration/reportrecord.h"
#include "submit/declarationrow.h"
#include "submit/declarationstore.h"
#include "submit/declarecheckstep.h"
#include "submit/reportstore.h"
#include "submit/submitmessages.h"
#include "ui/imagebutton.h"

namespace dl {

DeclareAction::DeclareAction(Form1& form, AppContext& ctx, const QLocale& locale, DraftStore* drafts)
    : QObject(&form), m_form(form), m_c(form.controls()), m_ctx(ctx), m_locale(locale), m_drafts(drafts)
{
    connect(m_c.get<ImageButton>(QStringLiteral("Image4")), &ImageButton::doubleClicked, this,
            &DeclareAction::run);
}

void DeclareAction::run()
{
    runGuarded(m_ctx.messages, [this] { declareMonth(); });
    // With its button gone the focus would pass on to the logoff button,
    // where the next Enter ends the program; the next month is chosen here.
    auto* month = m_c.widget(QStringLiteral("Combo2"));
    if (!m_ctx.session.hasOpenReport() && month->isVisible())
        month->setFocus(Qt::OtherFocusReason);
}

void DeclareAction::declareMonth()
{
    const QString refusal =
        submit::declaringRefusal(m_c.text(QStringLiteral("Label4")), m_ctx.session.messageTrouble);
    if (!refusal.isEmpty()) {
        m_ctx.messages.inform(refusal);
        return;
    }
    Session& session = m_ctx.session;
    const openmonth::Busy busy(session);
    if (!session.hasOpenReport()) {
        m_ctx.messages.inform(submit::noOpenMonthMessage());
        return;
    }
    // The month on screen is the one that was opened, whatever the boxes show now.
    const QString entry = session.reportMonthEntry;
    const QString year = session.reportYear;
    const QString m = submit::monthName(entry);
    if (!submit::checkBeforeDeclaring(m_form, m_ctx))
        return;
    if (!m_ctx.messages.confirm(submit::declareQuestion(m, year, m_c.text(QStringLiteral("Text29"))),
                                submit::declareCaption())) {
        m_ctx.messages.inform(submit::notDeclaredMessage(m, year));
        return;
    }

    const auto text = [this](const QString& name) { return m_c.text(name); };
    const QDateTime now = m_ctx.clock.now();
    const QString stamp = report::modifiedLine(now, m_locale);
    const Values reportColumns = submit::reportColumns(text, stamp);
    const Values declaration =
        submit::declarationRow(text, {session.consultantName, year, entry, session.hourlyRateIn,
                                      session.hourlyRateOut, submit::declarationStamp(now, m_locale)});

    submit::Seen seen{session.reportStored, session.reportModified, session.reportUnknownSave};
    submit::DeclareOutcome outcome;
    const ActionId action = ActionId::make();
    for (;;) {
        QString stored;
        const auto attempt = [&] {
            return m_ctx.db().run([&](Connection& connection) {
                return submit::declare(connection, session.reportKey, reportColumns, declaration, &seen,
                                       &stored, &action);
            });
        };
        try {
            outcome = attempt();
        } catch (const DbError& e) {
            std::optional<DbError> failure = e;
            if (e.isConnectionLoss() && m_ctx.account.names == TableNames::OwnAccount) {
                // Asked again under the same action id, on a new connection
                // (another node of a list): the server answers what it did.
                try {
                    outcome = attempt();
                    failure.reset();
                } catch (const DbError& again) {
                    failure = again;
                    if (again.isConnectionLoss()) {
                        session.reportUnknownSave = stamp;
                        m_ctx.messages.inform(submit::declareUnknownMessage(m, year, again), Icon::Warning);
                        return;
                    }
                }
            } else {
                const std::optional<bool> taken =
                    e.isConnectionLoss() ? storedAllTheSame(declaration) : std::optional<bool>(false);
                if (!taken && e.outcomeUnknown()) {
                    session.reportUnknownSave = stamp;
                    m_ctx.messages.inform(submit::declareUnknownMessage(m, year, e), Icon::Warning);
                    return;
                }
                if (taken.value_or(false)) {
                    outcome = submit::DeclareOutcome::Declared;
                    failure.reset();
                }
            }
            if (failure) {
                m_ctx.messages.inform(submit::declareFailedMessage(m, year, *failure), Icon::Critical);
                return;
            }
        }
        if (outcome != submit::DeclareOutcome::ChangedElsewhere)
            break;
        // Asked with no lock held; a save elsewhere meanwhile is asked about again.
        if (!submit::overwriteConfirmed(m_ctx.messages, stored)) {
            m_ctx.messages.inform(submit::notDeclaredMessage(m, year));
            return;
        }
        seen = {true, stored, session.reportUnknownSave};
    }

    switch (outcome) {
    case submit::DeclareOutcome::AlreadyDeclared:
        // Another workstation was first; this month is finished here too.
        if (m_drafts)
            m_drafts->remove(session.reportKey);
        m_ctx.messages.inform(month::declaredMessage(report::monthPart(entry), year));
        letGoOfMonth(m_c, m_ctx.session);
        return;
    case submit::DeclareOutcome::Blocked:
        m_ctx.messages.inform(submit::blockedMessage());
        m_ctx.messages.inform(submit::notDeclaredMessage(m, year));
        return;
    case submit::DeclareOutcome::InvoiceNumberTaken:
        m_ctx.messages.inform(
            submit::invoiceNumberTakenMessage(declaration.first().second.toString(), m, year), Icon::Warning);
        return;
    case submit::DeclareOutcome::Declared:
    case submit::DeclareOutcome::ChangedElsewhere: // left the loop above
        break;
    }
    if (m_drafts)
        m_drafts->remove(session.reportKey);
    m_c.setText(QStringLiteral("Text37"), stamp);
    m_ctx.messages.inform(submit::declaredMessage(m, year));
    letGoOfMonth(m_c, m_ctx.session);
    chooseProjectAgain();
}

std::optional<bool> DeclareAction::storedAllTheSame(const Values& declaration)
{
    // The line may have broken after the server committed; one look on a
    // new connection tells.
    try {
        return m_ctx.db().run([&](Connection& connection) {
            const ClusterReads clusterReads(connection);
            return submit::declarationStored(connection, m_ctx.session.reportKey, declaration);
        });
    } catch (const DbError&) {
        return std::nullopt;
    }
}

void letGoOfMonth(FormControls& c, Session& session)
{
    for (const QString& name : {QStringLiteral("Image4"), QStringLiteral("Image6"), QStringLiteral("Combo4")})
        c.setShown(name, false);
    c.setText(QStringLiteral("Combo2"), QStringLiteral("maand"));
    if (!session.declaredKeys.contains(session.reportKey))
        session.declaredKeys << session.reportKey;
    session.closeReport();
}

void DeclareAction::chooseProjectAgain()
{
    // The declaration is in; a failure here must not read as if it were not.
    try {
        // The same project: its earlier texts stay offered, at no round trip.
        selectOpenProjectAgain(m_form, m_ctx);
    } catch (const DbError& e) {
        m_ctx.messages.inform(QStringLiteral("De declaratie is uitgevoerd, maar het project kon niet opnieuw "
                                             "worden ingelezen. Kies uw project opnieuw.\r\n\r\n") +
                                  e.errorLine(),
                              Icon::Warning);
    }
}

} // namespace dl
