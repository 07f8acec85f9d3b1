#pragma once
// The actions as the program runs them: the handlers of the real main form
// (offscreen, never shown) and the functions the login, ticker and logoff
// handlers call, with message boxes that only record their texts and answer
// Yes. The handlers share the window's kept connection, the ticker has its
// own, as in the program.

#include "bench/workload.h"
#include "core/clock.h"
#include "core/context.h"
#include "core/session.h"
#include "tests/support/fakes.h"

#include <QLocale>
#include <QTemporaryDir>

#include <memory>

namespace dl {
class Form1;
class MonthSelection;
class SaveAction;
class DeclareAction;
class DraftStore;
} // namespace dl

namespace dl::bench {

class Program {
public:
    // ownAccounts: every action as the consultant's own account, through
    // the server's procedures (TLS off, as the bench's servers offer none).
    explicit Program(const Workload& w, bool ownAccounts = false);
    ~Program();

    const Workload& workload() const { return m_w; }
    bool ownAccounts() const { return m_own; }

    // On accounts of their own: the window's connection as this consultant,
    // opened (not timed, before an action on their rows). Nothing otherwise.
    void actAs(const QString& number);
    // The connect of the consultant's own account (the ed25519 exchange).
    int connect(const Person& p);
    // A call of a procedure with every procedure's frame and no rows:
    // 1 when it answered the session's consultant.
    int emptyCall(const Person& p);
    // One statement that reads nothing: the round trip alone.
    int bareStatement();

    // Each returns a count the caller checks, so that a lookup that found
    // nothing cannot pass for a fast one. prepare*: the clicks before the
    // measured one, not timed.
    int login(const Person& p); // projects listed
    void prepareProject(const ProjectPick& p);
    int chooseProject(const ProjectPick& p);               // 1 when its fields are shown
    void prepareMonth(const QString& key);                 // the key's project chosen, its year in Combo3
    int openMonth(const QString& key, bool stored);        // 1 when loaded or prepared as asked
    void prepareOpenMonth(const QString& key);             // the key's month opened
    int save();                                            // 1 when saved
    int declare();                                         // 1 when declared
    int ticker();                                          // length of the message
    int lastDeclaration(const check::DeclarationKey& key); // 1 when the earlier one was found
    int logoff(const Person& p);                           // 1 when marked offline
    // 1 when the year shows at least the stored months and declarations
    // the pick found.
    int yearOverview(const YearPick& p);

    // The time the last action spent waiting for the server (the window's
    // connection; the ticker's refresh is all server), in milliseconds.
    double serverMs() const { return m_serverMs; }
    void startAction() { m_serverMs = 0; }

private:
    QString monthEntry(int month) const;

    const Workload& m_w;
    bool m_own = false;
    Session m_session;
    test::FakeMessages m_messages;
    FixedClock m_clock;
    AppContext m_ctx;
    QLocale m_locale;
    std::unique_ptr<Form1> m_form;
    MonthSelection* m_month = nullptr;
    SaveAction* m_save = nullptr;
    DeclareAction* m_declare = nullptr;
    std::shared_ptr<KeptConnection> m_tickerDb;
    QTemporaryDir m_draftFolder; // this workstation's drafts: none
    std::unique_ptr<DraftStore> m_drafts;
    double m_serverMs = 0; // the ticker's own, as in the program
};

} // namespace dl::bench
