#include "support/loggedin.h"

#include "app/serverwait.h"
#include "login/loginform.h"
#include "support/formhelpers.h"
#include "support/seams.h"
#include "support/testdb.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

namespace dl::test {

LoggedIn::LoggedIn(const QDateTime& now) : clock(now), ctx{session, messages, clock, TestDb::server()}
{
    messages.openMs = 20;
    ctx.serverWait = waitWhilePainting;
}

LoggedIn::~LoggedIn() = default;

bool LoggedIn::start(const std::function<void(StartupSeams&)>& adjust)
{
    StartupSeams seams = fakeSeams(m_drafts.path());
    if (adjust)
        adjust(seams);
    m_startup = std::make_unique<Startup>(ctx, std::move(seams));
    m_startup->start();
    LoginForm* login = m_startup->loginForm();
    if (!login || !QTest::qWaitForWindowExposed(login))
        return false;
    typeInto(login->controls().get<QLineEdit>(QStringLiteral("Text1")), QStringLiteral("anna"));
    typeInto(login->controls().get<QLineEdit>(QStringLiteral("Text2")), QStringLiteral("geheim"));
    QTest::mouseClick(login->controls().widget(QStringLiteral("Image1")), Qt::LeftButton);
    if (!m_startup->hasMainForm() || !QTest::qWaitForWindowExposed(&form()))
        return false;
    QApplication::setActiveWindow(&form());
    return QTest::qWaitForWindowActive(&form()) && messages.shown.isEmpty();
}

void LoggedIn::press(const QList<int>& keys)
{
    for (const int key : keys) {
        QWidget* to = QApplication::activePopupWidget();
        if (to)
            to = to->focusWidget() ? to->focusWidget() : to;
        else
            to = form().focusWidget();
        QTest::keyClick(to, Qt::Key(key));
    }
}

} // namespace dl::test
