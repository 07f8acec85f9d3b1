#include "login/logoff.h"

#include "core/actionguard.h"
#include "core/dates.h"
#include "data/clusterreads.h"
#include "data/records.h"
#include "data/serveractions.h"
#include "data/tables.h"
#include "declaration/form1.h"
#include "declaration/openmonth.h"
#include "ui/imagebutton.h"

#include <QCoreApplication>

namespace dl {

namespace {

bool marked(Result answer)
{
    return answer.next() && answer.value(0).toInt() == 1;
}

} // namespace

bool markOffline(Connection& c, const QString& consultantNumber, const QDateTime& now)
{
    Records records(c);
    const QString stamp = fixedDateText(now.date()) + QStringLiteral("  ") + fixedTimeText(now.time());
    // The consultant's own account: the server's call marks the own row.
    if (actsThroughProcedures(c)) {
        return withRetry([&] { return marked(callRows(c, "afmelden", {stamp})); }, kRowChangedAttempts);
    }
    // The row is read under a lock, so a login or logoff elsewhere waits for
    // ours; on a cluster the other one's commit may fail ours (1213): read
    // again, after the cluster's commits; the later one wins.
    QElapsedTimer since;
    since.start();
    ClusterReads clusterReads;
    for (int attempt = 1;; ++attempt) {
        try {
            Transaction tx(c);
            const auto row = records.findFirstForUpdate(
                tables::consultants(), {{QStringLiteral("consultantnummer"), consultantNumber}});
            if (!row)
                return false;
            records.update(tables::consultants(), *row,
                           {{QStringLiteral("isAFGEMELD"), stamp},
                            {QStringLiteral("isONLINE"), QStringLiteral("OFFLINE")}},
                           Records::Lock::HeldByCaller);
            tx.commit();
            return true;
        } catch (const DbError& e) {
            if (!mayRetry(e, attempt, kRowChangedAttempts, since))
                throw;
            clusterReads.start(c);
        }
    }
}

void Logoff::endEventLoop()
{
    QCoreApplication::exit(0);
}

Logoff::Logoff(Form1& form, AppContext& context, EndProgram endProgram, LeaveGuard* guard)
    : QObject(&form), m_form(form), m_ctx(context), m_end(std::move(endProgram)), m_guard(guard)
{
    if (auto* image = form.controls().get<ImageButton>(QStringLiteral("Image2")))
        connect(image, &ImageButton::doubleClicked, this, &Logoff::run);
    connect(&form, &Form1::closeRequested, this, &Logoff::run);
}

void Logoff::run()
{
    if (m_done)
        return;
    if (m_guard) {
        bool leave = false;
        if (!runGuarded(m_ctx.messages, [&] { leave = m_guard->mayLeave(); }) || !leave) {
            m_form.keepOpen();
            return;
        }
    }
    m_done = true;
    try {
        const QString number = m_form.controls().text(QStringLiteral("Text1"));
        const QDateTime now = m_ctx.clock.now();
        m_ctx.db().run([&](Connection& c) { markOffline(c, number, now); });
    } catch (const DbError& e) {
        m_ctx.messages.inform(QStringLiteral("Het afmelden is niet vastgelegd.\r\n\r\n") + e.errorLine() +
                                  QStringLiteral("\r\n\r\nHet programma wordt afgesloten."),
                              Icon::Critical);
    } catch (const std::exception& e) {
        m_ctx.messages.inform(QStringLiteral("Het afmelden is niet vastgelegd.\r\n\r\n") +
                                  QString::fromUtf8(e.what()) +
                                  QStringLiteral("\r\n\r\nHet programma wordt afgesloten."),
                              Icon::Critical);
    }
    if (m_end)
        m_end();
}

} // namespace dl
