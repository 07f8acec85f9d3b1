#include "workstation.h"

#include "core/actionguard.h"
#include "declaration/projectselection.h"
#include "declaration/reportrecord.h"
#include "login/loginaudit.h"
#include "login/loginform.h"
#include "login/logoff.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextEdit>

namespace dl::test {

const QLocale& dutch()
{
    static const QLocale l(QLocale::Dutch, QLocale::Netherlands);
    return l;
}

Workstation::Workstation(const ServerList& server, const QDateTime& now)
    : clock(now), ctx{session, messages, clock, server}, form(ctx, nullptr, dutch()),
      months(form, ctx, dutch()), save(form, ctx, dutch()), declare(form, ctx, dutch())
{
}

Workstation::~Workstation() = default;

LoginForm& Workstation::loginForm()
{
    if (!m_login) {
        LoginHooks hooks;
        hooks.afterLogin = [this](Connection& c) { LoginAudit(ctx, WorkstationReader(), dutch()).write(c); };
        m_login = std::make_unique<LoginForm>(
            ctx, [this]() -> Form1& { return form; }, hooks, [this](int) { ++quits; });
    }
    return *m_login;
}

bool Workstation::logIn(const QString& name, const QString& password)
{
    LoginForm& login = loginForm();
    login.controls().setText(QStringLiteral("Text1"), name);
    login.controls().setText(QStringLiteral("Text2"), password);
    login.logIn();
    return login.isLoggedIn();
}

void Workstation::pretendLoggedIn(const QString& number, const QString& consultantName)
{
    session.consultantName = consultantName;
    c().setText(QStringLiteral("Text1"), number);
}

bool Workstation::chooseProject(const QString& entry)
{
    c().setText(QStringLiteral("Combo1"), entry);
    return runGuarded(messages, [this] { selectShownProject(form, ctx); });
}

void Workstation::pickMonth(const QString& year, const QString& entry)
{
    c().setText(QStringLiteral("Combo3"), year);
    auto* box = c().get<QComboBox>(QStringLiteral("Combo2"));
    const int i = box->findText(entry, Qt::MatchExactly | Qt::MatchCaseSensitive);
    box->setCurrentIndex(i);
    Q_EMIT box->activated(i);
}

void Workstation::fillIn(const QString& marker)
{
    for (int n = 1; n <= report::kSlots; ++n) {
        c().setText(report::slotControl(1, n), marker + QStringLiteral(" dag %1").arg(n));
        c().setText(report::slotControl(2, n), marker);
        c().setText(report::slotControl(3, n), QString::number(n % 9));
        c().setText(report::slotControl(4, n), QString::number(n));
    }
    c().setText(QStringLiteral("Text36"), marker);
    c().setText(QStringLiteral("Text33"), QStringLiteral("12"));
    c().setText(QStringLiteral("Text34"), QStringLiteral("50"));
    c().setText(QStringLiteral("Text18"), marker + QStringLiteral("\r\nopmerking"));
}

bool Workstation::logOff()
{
    const qsizetype before = messages.shown.size();
    Logoff off(form, ctx, [] {});
    off.run();
    return messages.shown.size() == before;
}

QMap<QString, QString> Workstation::snapshot() const
{
    QMap<QString, QString> out;
    QList<const QWidget*> forms{&form};
    if (m_login)
        forms << m_login.get();
    for (const QWidget* f : forms) {
        out.insert(f->objectName() + QStringLiteral(".title"), f->windowTitle());
        for (const QWidget* w : f->findChildren<QWidget*>()) {
            const QString name = w->objectName();
            if (name.isEmpty() || name.startsWith(u"qt_"))
                continue;
            QString value = w->isHidden() ? QStringLiteral("[hidden] ") : QString();
            if (const auto* e = qobject_cast<const QLineEdit*>(w))
                value += e->text();
            else if (const auto* b = qobject_cast<const QComboBox*>(w)) {
                value += b->currentText() + QStringLiteral(" [");
                for (int i = 0; i < b->count(); ++i)
                    value += b->itemText(i) + u';';
                value += u']';
            } else if (const auto* l = qobject_cast<const QLabel*>(w))
                value += l->text();
            else if (const auto* p = qobject_cast<const QPlainTextEdit*>(w))
                value += p->toPlainText();
            else if (const auto* t = qobject_cast<const QTextEdit*>(w))
                value += t->toPlainText();
            else if (const auto* tabs = qobject_cast<const QTabWidget*>(w))
                value += QString::number(tabs->currentIndex());
            out.insert(f->objectName() + u'.' + name, value);
        }
    }
    out.insert(QStringLiteral("session.reportKey"), session.reportKey);
    out.insert(QStringLiteral("session.projectCode"), session.projectCode);
    out.insert(QStringLiteral("session.consultantName"), session.consultantName);
    return out;
}

bool Workstation::lastWasError() const
{
    return !messages.shown.isEmpty() && messages.shown.last().icon == Icon::Critical;
}

} // namespace dl::test
