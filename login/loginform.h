#pragma once
// The login form frmSplash: login name and password, three attempts, and on
// success the main form greets the consultant and shows the projects.

#include "core/context.h"
#include "data/records.h"
#include "ui/controls.h"

#include <QCoreApplication>
#include <QWidget>

#include <functional>

namespace dl {

class Connection;
class Form1;
class PasswordPrompt;
struct ConsultantLogin;

struct LoginHooks {
    std::function<void()> onLoad; // in the load step, before the form is shown
    // Writes what a login leaves behind, on the login's connection and in its
    // transaction; may throw DbError, and then the login writes nothing.
    std::function<void(Connection&)> afterLogin;
    // A consultant's own account: the login record's values, which its one
    // login call writes, and what the Session keeps of them afterwards.
    std::function<Values()> loginRecord;
    std::function<void(const Values&)> loginRecorded;
    // Asks a new password when the office made the consultant's expire;
    // none: such a login cannot be done.
    PasswordPrompt* passwords = nullptr;
};

class LoginForm : public QWidget {
    Q_OBJECT
public:
    // Gives the main form, creating it (hidden) on the first call.
    using MainForm = std::function<Form1&()>;
    using Quit = std::function<void(int exitCode)>;

    LoginForm(AppContext& ctx, MainForm mainForm, LoginHooks hooks = {}, Quit quit = &QCoreApplication::exit,
              QWidget* parent = nullptr);

    FormControls& controls() { return m_controls; }
    int loginAttempts() const { return m_attempts; }
    bool isLoggedIn() const { return m_loggedIn; }

    // Image1: one attempt with the texts of Text1 and Text2.
    void logIn();
    // Image3: end the program at once.
    void endProgram();

Q_SIGNALS:
    // The login form is hidden and the main form shown; the owner may now delete it.
    void loggedIn();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void build();
    void apply(const ConsultantLogin& login);

    AppContext& m_ctx;
    MainForm m_mainForm;
    LoginHooks m_hooks;
    Quit m_quit;
    FormControls m_controls;
    int m_attempts = 0;
    bool m_loggedIn = false;
};

} // namespace dl
