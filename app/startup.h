#pragma once
// The start-up order: the login form first, whose load step may load the
// main form (hidden); the main form is created once and wired to its
// actions here.

#include "core/context.h"
#include "core/filechooser.h"
#include "core/passwordprompt.h"
#include "core/printers.h"
#include "login/logoff.h"
#include "login/workstation.h"
#include "print/printon.h"

#include <QLocale>
#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class QCoreApplication;
class QThread;

namespace dl {

class DraftStore;
class Form1;
class LeaveGuard;
class LoginForm;
class MonthSelection;
struct LoginHooks;

// What the forms and actions take from the machine besides the context;
// tests pass their own.
struct StartupSeams {
    std::unique_ptr<PrinterCatalogue> printers; // the workstation's printers
    std::unique_ptr<FileChooser> files;         // where a PDF is kept
    std::unique_ptr<PasswordPrompt> passwords;  // a new password for the own account
    print::OutputFactory printOutput;           // empty: the printer's CUPS queue
    std::function<void(int exitCode)> quit;     // the login form ends the program
    Logoff::EndProgram endProgram;              // the logoff ends the program
    WorkstationReader workstation;              // the facts of the login record
    QLocale locale = QLocale::system();         // stamps and date texts
    QString draftFolder;                        // the drafts of unsaved months; empty: none kept
    QString settingsFile;                       // the month last opened; empty: none kept

    // This machine's: Qt's printer list, CUPS, the event loop, the drafts
    // under the application's data folder.
    static StartupSeams real();
};

class Startup : public QObject {
    Q_OBJECT
public:
    explicit Startup(AppContext& ctx, StartupSeams seams = StartupSeams::real());
    ~Startup() override;

    // Creates the login form (running its load step) and shows it.
    void start();
    // A login as the consultant's own account names the tables without a key.
    void checkKeysAfterLogin() { m_checkKeys = true; }

    // The main form, created hidden and wired on the first call.
    Form1& mainForm();
    bool hasMainForm() const { return m_form != nullptr; }
    LoginForm* loginForm() const { return m_login.get(); }

private:
    // Connects every action to the main form. A controller lives as long as
    // the form: as its child, or kept in m_controllers.
    void wireMainForm(Form1& form);
    // Besides the login itself: the load step fills the printer list, a
    // successful login writes the login record.
    LoginHooks loginHooks();
    // After the login: the month this workstation's consultant opened last, one key to open it again.
    void offerLastMonth();

    AppContext& m_ctx;
    StartupSeams m_seams;
    // The workstation's printers and the one printing goes to; they outlive the forms.
    std::unique_ptr<CurrentPrinter> m_printer;
    std::unique_ptr<DraftStore> m_drafts;
    std::unique_ptr<LeaveGuard> m_guard;
    std::unique_ptr<Form1> m_form;
    MonthSelection* m_months = nullptr; // a child of m_form
    std::unique_ptr<LoginForm> m_login;
    bool m_checkKeys = false;
    std::unique_ptr<QThread> m_keyCheck;
    // Declared last: destroyed before the forms they act on.
    std::vector<std::unique_ptr<QObject>> m_controllers;
};

// Where the program keeps the drafts of unsaved months: a folder under the
// application's data folder (the names set by nameApplication).
QString defaultDraftFolder();

// The names the settings are kept under. No display name: Qt would add it
// to every title bar.
void nameApplication();

// Qt's own texts (dialog buttons, the file dialog, right-click menus) in
// Dutch; false when the translations are not installed.
bool installDutchTranslations(QCoreApplication& app);

// Names the tables without a primary key on standard error, from a thread of
// its own; quiet when the server cannot be reached or refuses.
std::unique_ptr<QThread> reportKeylessTables(const ServerList& server, const Connection::Options& options,
                                             const Connection::Login& account);

// Parses the command line, builds the forms in their start-up order and runs
// the event loop.
int runProgram(int argc, char* argv[]);

} // namespace dl
