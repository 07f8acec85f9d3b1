#include "login/loginform.h"

#include "core/actionguard.h"
#include "data/tls.h"
#include "declaration/form1.h"
#include "login/loginservice.h"
#include "login/newpassword.h"
#include "ui/formparts.h"
#include "ui/icons.h"
#include "ui/imagebutton.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QVBoxLayout>

namespace dl {

namespace {

// While a box still holds its preset text, getting the focus selects it, so
// that typing replaces it. The mouse press that gave the focus would undo a
// selection made at once, hence the queued call.
class SelectPreset : public QObject {
public:
    SelectPreset(QLineEdit* edit, QString preset) : QObject(edit), m_edit(edit), m_preset(std::move(preset))
    {
        edit->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched == m_edit && e->type() == QEvent::FocusIn && m_edit->text() == m_preset)
            QMetaObject::invokeMethod(
                m_edit,
                [edit = m_edit, preset = m_preset] {
                    if (edit->hasFocus() && edit->text() == preset)
                        edit->selectAll();
                },
                Qt::QueuedConnection);
        return false;
    }

private:
    QLineEdit* m_edit;
    QString m_preset;
};

QLineEdit* makeBox(FormControls& c, const QString& name, const QString& preset)
{
    auto* e = new QLineEdit;
    e->setObjectName(name);
    e->setMaxLength(10);
    e->setText(preset);
    // Selected from the start too: a window that the desktop shows without
    // giving it the focus still takes the first keys in its first field.
    e->selectAll();
    e->setFixedWidth(140);
    new SelectPreset(e, preset);
    c.add(e);
    return e;
}

} // namespace

LoginForm::LoginForm(AppContext& ctx, MainForm mainForm, LoginHooks hooks, Quit quit, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_ctx(ctx),
      m_mainForm(std::move(mainForm)), m_hooks(std::move(hooks)), m_quit(std::move(quit))
{
    setObjectName(QStringLiteral("frmSplash"));
    // No caption. An empty title would show the application's name on X11;
    // a blank shows nothing.
    setWindowTitle(QStringLiteral(" "));
    build();
    // The load step.
    if (m_hooks.onLoad)
        m_hooks.onLoad();
}

void LoginForm::build()
{
    auto* outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    auto* frame = new QFrame;
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    outer->addWidget(frame);

    auto* v = new QVBoxLayout(frame);
    v->setSpacing(6);
    v->setContentsMargins(18, 14, 18, 14);

    QLabel* logo = form::label(m_controls, QStringLiteral("imgLogo"), QString());
    logo->setPixmap(icons::logo());
    logo->setAlignment(Qt::AlignCenter);
    v->addWidget(logo);

    QLabel* edition = form::label(m_controls, QStringLiteral("lblEdition"),
                                  QStringLiteral("C O N S U L T A N T  V E R S I E"));
    QFont bold = edition->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 1);
    edition->setFont(bold);
    edition->setAlignment(Qt::AlignCenter);
    v->addWidget(edition);

    QLabel* product = form::label(m_controls, QStringLiteral("lblProductName"), QStringLiteral("Product"));
    QFont big = product->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    product->setFont(big);
    product->setAlignment(Qt::AlignCenter);
    v->addWidget(product);

    auto* about = new QGridLayout;
    about->addWidget(
        form::label(m_controls, QStringLiteral("lblCompanyProduct"), QStringLiteral("CompanyProduct")), 0, 0);
    about->addWidget(form::label(m_controls, QStringLiteral("lblPlatform"), QStringLiteral("Platform")), 0, 1,
                     Qt::AlignRight);
    about->addWidget(form::label(m_controls, QStringLiteral("lblVersion"), QStringLiteral("Version")), 1, 1,
                     Qt::AlignRight);
    v->addLayout(about);
    v->addSpacing(10);

    auto* g = new QGridLayout;
    g->setHorizontalSpacing(10);
    QLabel* nameLabel = form::label(m_controls, QStringLiteral("Label1"), QStringLiteral("Login naam"));
    g->addWidget(nameLabel, 0, 0);
    QLineEdit* name = makeBox(m_controls, QStringLiteral("Text1"), QStringLiteral("login"));
    nameLabel->setBuddy(name);
    g->addWidget(name, 0, 1);
    QLabel* passwordLabel = form::label(m_controls, QStringLiteral("Label2"), QStringLiteral("Paswoord"));
    g->addWidget(passwordLabel, 1, 0);
    QLineEdit* password = makeBox(m_controls, QStringLiteral("Text2"), QStringLiteral("xxxxx"));
    passwordLabel->setBuddy(password);
    password->setEchoMode(QLineEdit::Password);
    // Every character as "*", whatever the style would draw.
    password->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    g->addWidget(password, 1, 1);

    auto* login =
        new ImageButton(QStringLiteral("Image1"), icons::loginComputer(), QStringLiteral("Inloggen"));
    login->setFixedSize(56, 56);
    m_controls.add(login);
    g->addWidget(login, 0, 2, 2, 1, Qt::AlignVCenter);
    g->setColumnStretch(3, 1);
    auto* leave = new ImageButton(QStringLiteral("Image3"), icons::leaveComputer(),
                                  QStringLiteral("Programma beindigen"));
    leave->setFixedSize(56, 56);
    m_controls.add(leave);
    g->addWidget(leave, 0, 4, 2, 1, Qt::AlignVCenter | Qt::AlignRight);
    v->addLayout(g);
    setTabOrder(name, password);

    connect(login, &ImageButton::clicked, this, &LoginForm::logIn);
    // Enter in the name goes on to the password; in the password it logs in.
    connect(name, &QLineEdit::returnPressed, this, [password] { password->setFocus(Qt::TabFocusReason); });
    connect(password, &QLineEdit::returnPressed, this, &LoginForm::logIn);
    connect(leave, &ImageButton::clicked, this, &LoginForm::endProgram);
}

void LoginForm::logIn()
{
    ++m_attempts;
    const QString loginName = m_controls.text(QStringLiteral("Text1"));
    const QString password = m_controls.text(QStringLiteral("Text2"));

    std::optional<ConsultantLogin> found;
    bool locked = false;
    bool cancelled = false;
    // Everything that touches the database happens here, before the main
    // form is changed: an error leaves the form as it was.
    // The login record needs the session's new values before the commit; a
    // login that fails at the commit puts the old ones back.
    const Session before = m_ctx.session;
    const auto attempt = [&] {
        const bool own = m_ctx.account.names == TableNames::OwnAccount;
        const Values record = own && m_hooks.loginRecord ? m_hooks.loginRecord() : Values{};
        found = LoginService(m_ctx.db(), m_ctx.clock)
                    .logIn(
                        loginName, password,
                        [this](Connection& c, const ConsultantLogin& login) {
                            m_ctx.session.consultantName = login.consultantName;
                            if (m_hooks.afterLogin)
                                m_hooks.afterLogin(c);
                        },
                        record);
        if (found && own) {
            m_ctx.session.consultantName = found->consultantName;
            if (m_hooks.loginRecorded)
                m_hooks.loginRecorded(record);
        }
    };
    // No name is no account: the client library would log in under the
    // name of the desktop's user instead.
    const bool done = loginName.isEmpty() || runGuarded(m_ctx.messages, m_ctx.server, [&] {
                          if (m_ctx.account.names == TableNames::Shared) {
                              try {
                                  attempt();
                                  return;
                              } catch (const SharedAccountSwitched&) {
                                  m_ctx.account.names = TableNames::MessageOnly;
                              }
                          }
                          // From here on only the server checks passwords; no failure leads
                          // back to the table's.
                          m_ctx.account = ownAccount(loginName, password);
                          // The password's proof crosses the line: only a checked
                          // certificate, unless TLS was switched off for this start.
                          m_ctx.connection.tls = tlsForOwnAccount(m_ctx.connection.tls);
                          bool expired = false;
                          try {
                              attempt();
                          } catch (const DbError& e) {
                              if (e.errorClass() == ErrorClass::AccountRefused)
                                  found.reset();
                              else if (e.errorClass() == ErrorClass::AccountLocked)
                                  locked = true;
                              else if (e.errorClass() == ErrorClass::PasswordExpired)
                                  expired = true;
                              else
                                  throw;
                          }
                          if (!expired)
                              return;
                          // The password was right: a new one first, on the
                          // session that may do only that; then the login
                          // goes on with it on a session of its own.
                          cancelled = !m_hooks.passwords || !setNewPassword(m_ctx, *m_hooks.passwords,
                                                                            expiredPasswordText(), false);
                          m_ctx.kept.reset();
                          if (!cancelled)
                              attempt();
                      });
    if (!found && m_ctx.account.names == TableNames::OwnAccount) {
        // The typed password is kept only while it logs in.
        m_ctx.account = Connection::Login{};
        m_ctx.account.names = TableNames::MessageOnly;
        m_ctx.kept.reset();
    }
    if (!done || cancelled) {
        m_ctx.session = before;
        // The password was right: a cancelled new one wastes no attempt.
        if (cancelled)
            --m_attempts;
        return;
    }
    if (locked) {
        m_ctx.messages.inform(accountLockedText(), Icon::Warning);
        if (m_attempts >= 3) {
            m_ctx.messages.inform(failedAttempt(m_attempts).message);
            m_quit(0);
        }
        return;
    }
    if (!found) {
        m_ctx.session = before;
        const FailedAttempt failed = failedAttempt(m_attempts);
        m_ctx.messages.inform(failed.message);
        if (failed.endsProgram) {
            m_quit(0);
            return;
        }
        // Typed again from the start, where the keys go.
        auto* field = m_controls.get<QLineEdit>(QStringLiteral("Text2"));
        field->clear();
        field->setFocus(Qt::OtherFocusReason);
        return;
    }
    apply(*found);
}

void LoginForm::apply(const ConsultantLogin& login)
{
    Form1& form = m_mainForm();
    form.setWindowTitle(QStringLiteral("Declaraties & Logboeken van ") + login.fullName);
    form.controls().setText(QStringLiteral("Label1"), login.greeting + login.fullName);
    form.controls().setText(QStringLiteral("Text1"), login.number);

    // Appended, not replacing; the box keeps showing its text.
    auto* projects = form.controls().get<QComboBox>(QStringLiteral("Combo1"));
    const QString shown = projects->currentText();
    const int current = projects->currentIndex();
    projects->addItems(login.projectEntries);
    projects->setCurrentIndex(current);
    projects->setEditText(shown);

    // Only the consultant's own account has a password to change.
    form.controls().setShown(QStringLiteral("ImageWachtwoord"),
                             m_ctx.account.names == TableNames::OwnAccount);

    m_loggedIn = true;
    form.show();
    hide();
    Q_EMIT loggedIn();
}

void LoginForm::endProgram()
{
    m_loggedIn = false;
    hide();
    m_quit(0);
}

void LoginForm::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (const QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

void LoginForm::closeEvent(QCloseEvent* e)
{
    // Closing the window from the desktop ends the program, like Image3.
    e->accept();
    if (!m_loggedIn)
        m_quit(0);
}

} // namespace dl
