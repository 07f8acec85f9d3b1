#include "app/startup.h"

#include "app/commandline.h"
#include "app/hashpassword.h"
#include "app/serverwait.h"
#include "app/startupprobe.h"
#include "core/actionguard.h"
#include "data/keylesstables.h"
#include "data/tables.h"
#include "declaration/daygrid.h"
#include "declaration/draftkeeper.h"
#include "declaration/drafts.h"
#include "declaration/form1.h"
#include "declaration/monthopening.h"
#include "declaration/monthselection.h"
#include "declaration/openmonth.h"
#include "declaration/previousmonth.h"
#include "declaration/projectselection.h"
#include "declaration/ticker.h"
#include "declaration/totals.h"
#include "login/loginaudit.h"
#include "login/loginform.h"
#include "login/logoff.h"
#include "login/passwordaction.h"
#include "login/printerselection.h"
#include "login/qtprintercatalogue.h"
#include "submit/declareaction.h"
#include "submit/pdfaction.h"
#include "submit/printaction.h"
#include "submit/saveaction.h"
#include "ui/filedialog.h"
#include "ui/messagebox.h"
#include "ui/passworddialog.h"
#include "year/yearwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLibraryInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QTranslator>

#include <cstdio>

namespace dl {

StartupSeams StartupSeams::real()
{
    StartupSeams s;
    s.printers = std::make_unique<QtPrinterCatalogue>();
    s.files = std::make_unique<QtFileChooser>();
    s.passwords = std::make_unique<QtPasswordPrompt>();
    s.quit = &QCoreApplication::exit;
    s.endProgram = &Logoff::endEventLoop;
    s.draftFolder = defaultDraftFolder();
    s.settingsFile = QSettings().fileName();
    return s;
}

Startup::Startup(AppContext& ctx, StartupSeams seams)
    : m_ctx(ctx), m_seams(std::move(seams)), m_printer(std::make_unique<CurrentPrinter>(*m_seams.printers)),
      m_drafts(m_seams.draftFolder.isEmpty() ? nullptr : std::make_unique<DraftStore>(m_seams.draftFolder))
{
}

Startup::~Startup()
{
    if (m_keyCheck)
        m_keyCheck->wait();
}

Form1& Startup::mainForm()
{
    if (!m_form) {
        m_form = std::make_unique<Form1>(m_ctx, nullptr, m_seams.locale);
        wireMainForm(*m_form);
    }
    return *m_form;
}

void Startup::wireMainForm(Form1& form)
{
    connectPrinterChoice(form, *m_printer);
    new PrintAction(form, m_ctx, *m_printer, m_seams.printOutput); // a child of the form
    new PdfAction(form, m_ctx, *m_seams.files);                    // ImagePdf, a child of the form
    DraftStore* drafts = m_drafts.get();
    auto* save = new SaveAction(form, m_ctx, m_seams.locale, drafts); // Image3, a child of the form
    new DeclareAction(form, m_ctx, m_seams.locale, drafts);           // Image4, a child of the form
    m_guard = std::make_unique<LeaveGuard>(
        form.controls(), m_ctx, [save] { return save->saveWithoutQuestion(); }, drafts);
    DraftKeeper* keeper = drafts ? new DraftKeeper(form, m_ctx, *drafts) : nullptr; // a child of the form
    m_controllers.push_back(std::make_unique<ProjectSelection>(form, m_ctx, m_guard.get()));
    auto* months = new MonthSelection(form, m_ctx, m_seams.locale, m_guard.get(), keeper); // Combo2, a child
    m_months = months;
    if (!m_seams.settingsFile.isEmpty()) {
        connect(months, &MonthSelection::opened, this, [this, &form] {
            const Session& s = m_ctx.session;
            keepLastMonth(m_seams.settingsFile, {form.controls().text(QStringLiteral("Text1")), s.projectCode,
                                                 s.reportYear, s.reportMonthEntry});
        });
    }
    new YearOverviewAction(form, m_ctx, *months, m_guard.get(), drafts,
                           {m_printer.get(), m_seams.printOutput, m_seams.files.get(),
                            PdfAction::documentsFolder()}); // ImageJaar, a child of the form
    m_controllers.push_back(std::make_unique<DayGrid>(form, m_ctx));
    m_controllers.push_back(std::make_unique<TotalsController>(form, m_ctx));
    new PreviousMonth(form, m_ctx); // ImageVorigeMaand, a child of the form
    new Ticker(form, m_ctx);        // a child of the form; its timers run from here on
    new Logoff(form, m_ctx, m_seams.endProgram, m_guard.get()); // Image2 and closing the window
    if (m_seams.passwords)
        new PasswordAction(form, m_ctx, *m_seams.passwords); // ImageWachtwoord, a child of the form
}

LoginHooks Startup::loginHooks()
{
    LoginHooks hooks;
    // Fills the printer list of the main form, loading it when there is a printer.
    hooks.onLoad = [this] {
        fillPrinterList([this]() -> Form1& { return mainForm(); }, *m_printer, m_ctx.session);
    };
    hooks.afterLogin = [this](Connection& c) {
        LoginAudit(m_ctx, m_seams.workstation, m_seams.locale).write(c);
    };
    hooks.loginRecord = [this] {
        return LoginAudit(m_ctx, m_seams.workstation, m_seams.locale).recordValues();
    };
    hooks.loginRecorded = [this](const Values& recorded) {
        LoginAudit(m_ctx, m_seams.workstation, m_seams.locale).keep(recorded);
    };
    hooks.passwords = m_seams.passwords.get();
    return hooks;
}

void Startup::start()
{
    m_login = std::make_unique<LoginForm>(
        m_ctx, [this]() -> Form1& { return mainForm(); }, loginHooks(), m_seams.quit);
    // Seen before a password is typed: plain text was asked for on this start.
    if (m_ctx.connection.tls.mode == TlsOptions::Mode::Off)
        m_login->layout()->addWidget(plainLineWarning());
    connect(m_login.get(), &LoginForm::loggedIn, this, [this] {
        // The login form is done; it goes once its click handler has returned.
        m_login.release()->deleteLater();
        // The server names the tables without a key to the consultant's own account; the
        // program's account could not.
        if (m_checkKeys && m_ctx.account.names == TableNames::OwnAccount)
            m_keyCheck = reportKeylessTables(m_ctx.server, m_ctx.connection, m_ctx.account);
        // Once the main window is up.
        QTimer::singleShot(0, this, &Startup::offerLastMonth);
    });
    m_login->show();
}

void Startup::offerLastMonth()
{
    if (!m_form || !m_months || !m_form->isVisible())
        return;
    FormControls& c = m_form->controls();
    // The keys go to the form from the start: the project box, the first choice.
    if (!m_form->isAncestorOf(QApplication::focusWidget()))
        c.widget(QStringLiteral("Combo1"))->setFocus(Qt::OtherFocusReason);
    const auto last = readLastMonth(m_seams.settingsFile);
    if (!last || c.text(QStringLiteral("Text1")) != last->consultant || !m_ctx.session.reportKey.isEmpty())
        return;
    auto* projects = c.get<QComboBox>(QStringLiteral("Combo1"));
    bool listed = false;
    for (int i = 0; i < projects->count() && !listed; ++i)
        listed = project::codeFromEntry(projects->itemText(i)) == last->projectCode;
    // Only what a choice in the boxes could open is offered.
    listed = listed && c.get<QComboBox>(QStringLiteral("Combo2"))
                               ->findText(last->monthEntry, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0;
    if (!listed || !m_ctx.messages.confirm(lastMonthQuestion(*last), QStringLiteral("VERDER")))
        return;
    bool opened = false;
    runGuarded(m_ctx.messages, [&] {
        opened = openAsChosen(*m_form, m_ctx, m_guard.get(), *m_months, last->projectCode, last->year,
                              last->monthEntry);
    });
    if (opened)
        return;
    // Refused (declared since, too early): not offered again; the keys go to the month box.
    keepLastMonth(m_seams.settingsFile, {});
    c.widget(QStringLiteral("Combo2"))->setFocus(Qt::OtherFocusReason);
}

// Tables without a primary key are named once in the program's log
// (standard error); the window does not wait for the answer, and a server
// that cannot be reached is left to the actions to report.
std::unique_ptr<QThread> reportKeylessTables(const ServerList& server, const Connection::Options& options,
                                             const Connection::Login& account)
{
    std::unique_ptr<QThread> t(QThread::create([server, options, account] {
        try {
            Connection c(server, Database::Data, options, account);
            const QString line = keylessTablesLine(tablesWithoutPrimaryKey(c, tables::all()));
            if (!line.isEmpty())
                std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
        } catch (const std::exception&) {
        }
    }));
    t->start();
    return t;
}

QString defaultDraftFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/concepten");
}

void nameApplication()
{
    QCoreApplication::setApplicationName(QLatin1String(kSettingsApplication));
    QCoreApplication::setOrganizationName(QLatin1String(kSettingsOrganisation));
}

bool installDutchTranslations(QCoreApplication& app)
{
    // Owned by the application, which outlives every dialog that uses it.
    auto* qt = new QTranslator(&app);
    if (!qt->load(QLocale(QLocale::Dutch, QLocale::Netherlands), QStringLiteral("qtbase"),
                  QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return false;
    }
    return QCoreApplication::installTranslator(qt);
}

int runProgram(int argc, char* argv[])
{
    // Before QApplication, so that --help and --version need no display.
    const CommandLine cli = parseCommandLine(argumentsOf(argc, argv));
    if (cli.exitNow)
        return finishCommandLine(cli);
    if (cli.hashPassword)
        return hashPasswordCommand(stdin, stdout, stderr, cli.ed25519);
    // Before any window and before anything is remembered: settings that
    // cannot give the protection asked for end the start, saying which.
    QSettings stored(QSettings::NativeFormat, QSettings::UserScope, QLatin1String(kSettingsOrganisation),
                     QLatin1String(kSettingsApplication));
    const TlsChoice tls = chooseTls(cli.tls, tlsEnvironment(), stored);
    if (!tls.problem.isEmpty()) {
        std::fprintf(stderr, "%s: %s\n", kProgramName, tls.problem.toLocal8Bit().constData());
        return 2;
    }
    if (!tls.notice.isEmpty())
        std::fprintf(stderr, "%s: %s\n", kProgramName, tls.notice.toLocal8Bit().constData());

    QApplication app(argc, argv);
    nameApplication();
    // The program speaks Dutch on any desktop, Qt's own dialogs and menus too.
    if (!installDutchTranslations(app))
        std::fprintf(stderr, "%s: Qt's Dutch translations are missing (qt6-translations-l10n)\n",
                     kProgramName);

    // A --server is remembered for the next start.
    QSettings settings;
    const ServerList server = chooseServer(cli, qEnvironmentVariable(kServerEnv), settings);

    Session session;
    SystemClock clock;
    QtMessageService messages;
    AppContext ctx{session, messages, clock, server};
    ctx.connection.tls = tls.options;
    ctx.serverWait = waitWhilePainting;

    // As the program's shared account; after the switch the consultant's
    // own account checks after the login.
    const std::unique_ptr<QThread> keyCheck = reportKeylessTables(server, ctx.connection, ctx.account);
    Startup startup(ctx);
    startup.checkKeysAfterLogin();
    startup.start();
    // Benchmark hook: reports the start-up time and ends, only when asked to.
    armStartupProbe(startup.loginForm());
    const int code = QApplication::exec();
    keyCheck->wait();
    return code;
}

} // namespace dl
