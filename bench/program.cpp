#include "bench/program.h"

#include "bench/stats.h"

#include "data/connection.h"
#include "data/serveractions.h"
#include "declaration/drafts.h"
#include "declaration/form1.h"
#include "declaration/monthselection.h"
#include "declaration/monthselectionrules.h"
#include "declaration/projectselection.h"
#include "declaration/reportrecord.h"
#include "declaration/tickertext.h"
#include "login/loginaudit.h"
#include "login/loginservice.h"
#include "login/logoff.h"
#include "submit/declareaction.h"
#include "submit/earlierdeclaration.h"
#include "submit/saveaction.h"
#include "submit/submitmessages.h"
#include "year/yearoverview.h"

#include <QComboBox>
#include <QFile>

namespace dl::bench {

Program::Program(const Workload& w, bool ownAccounts)
    : m_w(w), m_own(ownAccounts),
      m_clock(QDateTime(QDate(2009, 3, 16), QTime(10, 15, 0))), m_ctx{m_session, m_messages, m_clock,
                                                                      w.server},
      m_locale(QLocale::Dutch, QLocale::Netherlands),
      m_form(std::make_unique<Form1>(m_ctx, nullptr, m_locale)),
      m_drafts(std::make_unique<DraftStore>(m_draftFolder.path()))
{
    // Every wait for the server passes here, timed.
    m_ctx.serverWait = [this](const std::function<void()>& work) { m_serverMs += timeMs(work); };
    // Children of the form, as the start-up wires them.
    m_month = new MonthSelection(*m_form, m_ctx, m_locale);
    m_save = new SaveAction(*m_form, m_ctx, m_locale);
    m_declare = new DeclareAction(*m_form, m_ctx, m_locale);
    if (m_own)
        m_ctx.connection.tls.mode = TlsOptions::Mode::Off;
}

Program::~Program() = default;

void Program::actAs(const QString& number)
{
    if (!m_own)
        return;
    const Person& p = m_w.owner(number);
    m_ctx.account = ownAccount(p.login, p.password);
    // Opens only when the account changed or the line went: no round trip.
    m_ctx.db().run([](Connection&) { return 0; });
}

int Program::connect(const Person& p)
{
    m_ctx.kept.reset();
    m_ctx.account = ownAccount(p.login, p.password);
    return m_ctx.db().run([](Connection& c) { return actsThroughProcedures(c) ? 1 : 0; });
}

int Program::emptyCall(const Person& p)
{
    return m_ctx.db().run([&](Connection& c) {
        Result q = c.exec(QStringLiteral("CALL `torvakdb_bench`.`leeg`()"));
        return q.next() && q.value(0).toString() == p.number ? 1 : 0;
    });
}

int Program::bareStatement()
{
    return m_ctx.db().run([](Connection& c) {
        Result q = c.exec(QStringLiteral("SELECT 1"));
        return q.next() ? q.value(0).toInt() : 0;
    });
}

QString Program::monthEntry(int month) const
{
    return m_form->controls().get<QComboBox>(QStringLiteral("Combo2"))->itemText(month - 1);
}

int Program::login(const Person& p)
{
    if (m_own) {
        // As the login form runs it on a consultant's own account: the
        // server's login call marks the row and writes the record.
        LoginAudit audit(m_ctx);
        const Values record = audit.recordValues();
        const auto result = LoginService(m_ctx.db(), m_clock).logIn(p.login, p.password, {}, record);
        if (!result)
            return -1;
        m_session.consultantName = result->consultantName;
        audit.keep(record);
        return int(result->projectEntries.size());
    }
    // What the login click calls: the credential check with the project
    // list and the online mark with the login record in its transaction.
    const auto result = LoginService(m_ctx.db(), m_clock)
                            .logIn(p.login, p.password, [this](Connection& c, const ConsultantLogin& login) {
                                m_session.consultantName = login.consultantName;
                                LoginAudit(m_ctx).write(c);
                            });
    if (!result)
        return -1;
    return int(result->projectEntries.size());
}

void Program::prepareProject(const ProjectPick& p)
{
    auto* list = m_form->controls().get<QComboBox>(QStringLiteral("Combo1"));
    list->clear();
    list->addItem(p.entry);
    list->setCurrentIndex(0);
}

int Program::chooseProject(const ProjectPick& p)
{
    selectShownProject(*m_form, m_ctx);
    return m_session.projectCode == p.code && m_form->controls().text(QStringLiteral("Text4")) == p.code ? 1
                                                                                                         : 0;
}

void Program::prepareMonth(const QString& key)
{
    const KeyParts k = splitKey(key);
    prepareProject(
        {k.code, QString(k.code + QString(25, u' ')).left(25) + QStringLiteral("project"), {}, {}});
    selectShownProject(*m_form, m_ctx);
    // The year box offers the years around today; the report's year here.
    auto* years = m_form->controls().get<QComboBox>(QStringLiteral("Combo3"));
    years->clear();
    years->addItem(k.year);
    years->setCurrentIndex(0);
    FormControls& c = m_form->controls();
    c.setText(QStringLiteral("Text1"), k.code.left(4));
    m_messages.clear();
}

int Program::openMonth(const QString& key, bool stored)
{
    const KeyParts k = splitKey(key);
    const QString entry = monthEntry(k.month);
    m_month->choose(entry);
    const QString part = report::monthPart(entry);
    const QString expected =
        stored ? month::loadedMessage(part, k.year) : month::newReportMessage(part, k.year);
    return m_messages.last() == expected && m_session.reportKey == key ? 1 : 0;
}

void Program::prepareOpenMonth(const QString& key)
{
    prepareMonth(key);
    m_month->choose(monthEntry(splitKey(key).month));
    if (m_session.reportKey != key)
        throw DbError(0, QStringLiteral("month did not open: ") + key + QStringLiteral(": ") +
                             m_messages.last());
    m_messages.clear();
}

int Program::save()
{
    m_save->run();
    return m_messages.last() == submit::savedMessage(m_form->controls().text(QStringLiteral("Text22"))) ? 1
                                                                                                        : 0;
}

int Program::declare()
{
    const QString m = submit::monthName(m_session.reportMonthEntry);
    const QString y = m_session.reportYear;
    // The month may give the check something to say; the consultant goes on.
    m_messages.choiceAnswers.enqueue(1);
    m_declare->run();
    m_messages.choiceAnswers.clear();
    // The declared message comes before the project is read again.
    for (const Message& shown : m_messages.shown)
        if (shown.text == submit::declaredMessage(m, y))
            return 1;
    return 0;
}

int Program::lastDeclaration(const check::DeclarationKey& key)
{
    // The look-up of the check before the question to declare.
    return m_ctx.db().run([&](Connection& c) { return check::lastEarlierDeclaration(c, key) ? 1 : 0; });
}

int Program::ticker()
{
    // What Timer2's refresh runs on its reading thread.
    if (!m_tickerDb)
        m_tickerDb = tickerConnection(m_ctx.server, m_ctx.connection, m_ctx.account);
    TickerFetch f;
    m_serverMs += timeMs([&] { f = fetchTickerMessage(*m_tickerDb); });
    return f.outcome == TickerFetch::Outcome::Message ? int(f.message.size()) : 0;
}

int Program::logoff(const Person& p)
{
    // The logoff handler's database work; the program would end next.
    return m_ctx.db().run([&](Connection& c) { return markOffline(c, p.number, m_clock.now()) ? 1 : 0; });
}

int Program::yearOverview(const YearPick& p)
{
    // What the window's fill runs for the year chosen, without the window:
    // the read, then the overview with this workstation's drafts looked up.
    const year::Stored stored =
        m_ctx.db().run([&](Connection& c) { return year::read(c, p.year, p.consultant, p.codes); });
    m_drafts->waitForWrites();
    const year::Overview o = year::build(p.year, p.consultant, stored, [this](const QString& key) {
        return QFile::exists(m_drafts->fileFor(key));
    });
    return o.cells.size() == p.codes.size() && stored.months.size() >= p.months &&
                   stored.declarations.size() >= p.declarations
               ? 1
               : 0;
}

} // namespace dl::bench
