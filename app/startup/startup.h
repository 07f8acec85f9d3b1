#pragma once
// The start-up order: the login form first, whose load step may load the
// main form (hidden); the main form is created once and wired to its
// actions here.

#include "app/context.h"
#include "app/filechooser.h"
#include "app/printers.h"

#include <QObject>

#include <memory>
#include <vector>

namespace dl {

class Form1;
class LoginForm;
struct LoginHooks;

class Startup : public QObject {
    Q_OBJECT
public:
    explicit Startup(AppContext& ctx);
    ~Startup() override;

    // Creates the login form (running its load step) and shows it.
    void start();

    // The main form, created hidden and wired on the first call.
    Form1& mainForm();
    bool hasMainForm() const { return m_form != nullptr; }
    LoginForm* loginForm() const { return m_login.get(); }

private:
    // Plug-in point: the actions of the main form. Keep each controller in
    // m_controllers (or as a child of the form) so it lives as long as the form.
    void wireMainForm(Form1& form);
    // Plug-in point: what the login form's load step and a successful login do
    // besides the login itself.
    LoginHooks loginHooks();

    AppContext& m_ctx;
    // The workstation's printers and the one printing goes to; they outlive the forms.
    std::unique_ptr<PrinterCatalogue> m_printers;
    std::unique_ptr<CurrentPrinter> m_printer;
    // Where the document is kept as a PDF file.
    std::unique_ptr<FileChooser> m_files;
    std::unique_ptr<Form1> m_form;
    std::unique_ptr<LoginForm> m_login;
    // Declared last: destroyed before the forms they act on.
    std::vector<std::unique_ptr<QObject>> m_controllers;
};

// Parses the command line, builds the forms in their start-up order and runs
// the event loop.
int runProgram(int argc, char* argv[]);

} // namespace dl
