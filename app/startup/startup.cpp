#include "app/startup/startup.h"

#include "app/commandline.h"
#include "app/messages.h"
#include "declaration/form1.h"
#include "login/loginform.h"

#include <QApplication>
#include <QSettings>
#include <QTextStream>

#include <cstdio>

namespace dl {

Startup::Startup(AppContext& ctx)
    : m_ctx(ctx)
{
}

Startup::~Startup() = default;

Form1& Startup::mainForm()
{
    if (!m_form) {
        m_form = std::make_unique<Form1>(m_ctx);
        wireMainForm(*m_form);
    }
    return *m_form;
}

void Startup::wireMainForm(Form1& form)
{
    // Controllers of the main form are added here, e.g.
    //   m_controllers.push_back(std::make_unique<ProjectChoice>(form, m_ctx));
    Q_UNUSED(form);
}

LoginHooks Startup::loginHooks()
{
    LoginHooks hooks;
    // hooks.onLoad: fills the printer list of the main form (loading it).
    // hooks.afterLogin: writes the login record.
    return hooks;
}

void Startup::start()
{
    m_login = std::make_unique<LoginForm>(m_ctx, [this]() -> Form1& { return mainForm(); }, loginHooks());
    connect(m_login.get(), &LoginForm::loggedIn, this, [this] {
        // The login form is done; it goes once its click handler has returned.
        m_login.release()->deleteLater();
    });
    m_login->show();
}

int runProgram(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("declaraties"));
    QApplication::setOrganizationName(QStringLiteral("declaraties"));
    QApplication::setApplicationDisplayName(applicationTitle());

    const CommandLine cli = parseCommandLine(QApplication::arguments());
    if (cli.exitNow) {
        QTextStream(cli.exitCode == 0 ? stdout : stderr) << cli.output;
        return cli.exitCode;
    }
    QSettings settings;
    const ServerAddress server = resolveServer(cli.server, qEnvironmentVariable(kServerEnv), &settings);

    Session session;
    SystemClock clock;
    QtMessageService messages;
    AppContext ctx{session, messages, clock, server};

    Startup startup(ctx);
    startup.start();
    return QApplication::exec();
}

} // namespace dl
