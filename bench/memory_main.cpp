// The program's memory after a login and a month opened: builds the forms
// through the start-up wiring, logs in on the login form, chooses the first
// project and this month as a consultant would, lets the timers run, and
// prints VmRSS and VmHWM of /proc/self/status (scripts/bench.sh).
//
//   dl_bench_memory SERVER LOGIN PASSWORD

#include "app/startup.h"
#include "core/clock.h"
#include "declaration/form1.h"
#include "login/loginform.h"
#include "tests/support/fakes.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

using namespace dl;

namespace {

void settle(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

qint64 statusKb(const QByteArray& field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(QByteArray(field + ':')))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// Picks an entry of a combo box as a click on it does.
void pick(QComboBox* box, int index)
{
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: dl_bench_memory SERVER LOGIN PASSWORD\n");
        return 2;
    }
    Session session;
    SystemClock clock;
    // Boxes that only record their texts: nothing waits for a click.
    test::FakeMessages messages;
    AppContext ctx{session, messages, clock, ServerAddress::parse(args[1])};

    Startup startup(ctx);
    startup.start();
    settle(200);

    LoginForm* login = startup.loginForm();
    login->controls().setText(QStringLiteral("Text1"), args[2]);
    login->controls().setText(QStringLiteral("Text2"), args[3]);
    login->logIn();
    settle(200);
    Form1& form = startup.mainForm();
    auto* projects = form.controls().get<QComboBox>(QStringLiteral("Combo1"));
    if (projects->count() == 0) {
        std::fprintf(stderr, "login failed: %s\n", qPrintable(messages.last()));
        return 1;
    }
    pick(projects, 0);
    settle(100);
    auto* months = form.controls().get<QComboBox>(QStringLiteral("Combo2"));
    pick(months, clock.now().date().month() - 1);
    settle(500);

    const bool opened = session.hasOpenReport();
    std::printf("memory-kb: rss %lld hwm %lld project %s month %s\n", statusKb("VmRSS"), statusKb("VmHWM"),
                qPrintable(session.projectCode.isEmpty() ? QStringLiteral("-") : session.projectCode),
                qPrintable(opened ? session.reportKey : QStringLiteral("-")));
    for (const QString& text : messages.texts())
        std::fprintf(stderr, "  message: %s\n",
                     qPrintable(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" / "))));
    return opened ? 0 : 1;
}
