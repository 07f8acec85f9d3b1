// The message strip: colours by prefix, the scroll step and re-entry, and
// refreshes that survive a stopped or hanging server.

#include "core/clock.h"
#include "declaration/form1.h"
#include "declaration/ticker.h"
#include "support/fakes.h"
#include "support/servercontrol.h"
#include "support/testdb.h"

#include <QLabel>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace dl;
using dl::test::TestDb;

namespace {

const QColor kGreen(0x00, 0x80, 0x00);
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kBlue(0x00, 0x00, 0xFF);

void setMessages(const QStringList& texts)
{
    TestDb::exec(QStringLiteral("DELETE FROM torvakdb_TORVAKdata.KALMIRO_berichten"));
    for (const QString& t : texts)
        TestDb::exec(QStringLiteral("INSERT INTO torvakdb_TORVAKdata.KALMIRO_berichten (Bericht) VALUES (?)"),
                     {t});
}

// A strip with its label, as the main form has them.
struct Strip {
    Session session;
    test::FakeMessages messages;
    FixedClock clock{QDateTime(QDate(2026, 7, 12), QTime(9, 0))};
    AppContext ctx;
    QWidget strip;
    QLabel* label = new QLabel(&strip);
    Ticker* ticker = nullptr;

    explicit Strip(const ServerAddress& server = {}) : ctx{session, messages, clock, server}
    {
        strip.resize(400, 34);
        label->move(0, 2);
        ticker = new Ticker(&strip, label, ctx, &strip);
    }
    QColor colour() const { return label->palette().color(QPalette::WindowText); }
    bool refreshNow()
    {
        QSignalSpy done(ticker, &Ticker::refreshed);
        ticker->refresh();
        return done.wait(20000);
    }
};

// Listens and never answers: the kernel takes the connection, nobody greets.
class SilentServer {
public:
    SilentServer()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (::bind(m_fd, reinterpret_cast<sockaddr*>(&a), len) == 0 && ::listen(m_fd, 8) == 0 &&
            ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
            m_port = ntohs(a.sin_port);
    }
    ~SilentServer() { ::close(m_fd); }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;
    int port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};

} // namespace

class TestTicker : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void colour_data();
    void colour();
    void step();
    void nextLeft_data();
    void nextLeft();
    void emptyCaptionDoesNotMove();
    void scrollsSmoothlyAndReenters();
    void timersOfTheForm();

    void refreshReadsFirstRowAndKeepsPosition();
    void emptyTableKeepsTextAndColour();
    void hangingServerDoesNotHoldTheForm();
    void stoppedServerThenStartedAgain();
};

void TestTicker::colour_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("important") << QStringLiteral("BELANGRIJK: geen declaraties vandaag") << kRed;
    QTest::newRow("important, nothing after") << QStringLiteral("BELANGRIJK:") << kRed;
    QTest::newRow("remark") << QStringLiteral("OPMERKING: graag voor de 10e") << kBlue;
    QTest::newRow("remark, nothing after") << QStringLiteral("OPMERKING:") << kBlue;
    QTest::newRow("lower case important") << QStringLiteral("belangrijk: morgen storing") << kGreen;
    QTest::newRow("mixed case remark") << QStringLiteral("Opmerking: iets") << kGreen;
    QTest::newRow("no colon") << QStringLiteral("BELANGRIJK bericht") << kGreen;
    QTest::newRow("leading blank") << QStringLiteral(" BELANGRIJK: iets") << kGreen;
    QTest::newRow("prefix of the prefix") << QStringLiteral("OPMERKING") << kGreen;
    QTest::newRow("shorter than ten") << QStringLiteral("Hallo") << kGreen;
    QTest::newRow("empty") << QString() << kGreen;
    QTest::newRow("remark then important") << QStringLiteral("OPMERKING:BELANGRIJK:") << kBlue;
    QTest::newRow("important then remark") << QStringLiteral("BELANGRIJK:OPMERKING:") << kRed;
}

void TestTicker::colour()
{
    QFETCH(QString, message);
    QFETCH(QColor, expected);
    QCOMPARE(tickerColour(message), expected);
}

void TestTicker::step()
{
    QCOMPARE(tickerStepPixels(1440), 25.0);
    QCOMPARE(tickerStepPixels(96), 25.0 * 96 / 1440); // 1.67 pixels
    QCOMPARE(tickerStepPixels(144), 2.5);
}

void TestTicker::nextLeft_data()
{
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("expected");
    // step 2.5, strip 400
    QTest::newRow("moves left") << 100.0 << 300.0 << 97.5;
    QTest::newRow("past the left edge, text still showing") << -10.0 << 300.0 << -12.5;
    QTest::newRow("last pixel just gone") << -297.5 << 300.0 << -300.0;
    QTest::newRow("whole text passed: back at the right") << -299.0 << 300.0 << 400.0;
    QTest::newRow("text wider than the strip") << -990.0 << 1000.0 << -992.5;
}

void TestTicker::nextLeft()
{
    QFETCH(double, left);
    QFETCH(double, width);
    QFETCH(double, expected);
    QCOMPARE(nextTickerLeft(left, 2.5, width, 400), expected);
}

void TestTicker::emptyCaptionDoesNotMove()
{
    Strip s;
    s.label->move(37, 2);
    for (int i = 0; i < 50; ++i)
        s.ticker->scroll();
    QCOMPARE(s.label->x(), 37);
}

void TestTicker::scrollsSmoothlyAndReenters()
{
    Strip s;
    s.label->setText(QStringLiteral("Welkom"));
    s.label->resize(81, 28);
    const double step = tickerStepPixels(s.label->logicalDpiX());
    QVERIFY(step > 0);
    for (int i = 1; i <= 7; ++i)
        s.ticker->scroll();
    QCOMPARE(s.ticker->position(), -7 * step);
    QCOMPARE(s.label->x(), static_cast<int>(std::floor(-7 * step)));

    // Runs until the whole text has passed the left edge, then re-enters.
    int ticks = 7;
    while (s.label->x() != s.strip.width() && ticks < 10000) {
        s.ticker->scroll();
        ++ticks;
    }
    QCOMPARE(s.label->x(), 400);
    QCOMPARE(ticks, static_cast<int>(std::floor(81 / step)) + 1);
    s.ticker->scroll();
    QVERIFY(s.label->x() < 400);
}

void TestTicker::timersOfTheForm()
{
    Session session;
    test::FakeMessages messages;
    FixedClock clock(QDateTime(QDate(2026, 7, 12), QTime(9, 0)));
    AppContext ctx{session, messages, clock, ServerAddress{}};
    Form1 form(ctx);
    new Ticker(form, ctx);
    auto* scroll = form.findChild<QTimer*>(QStringLiteral("Timer1"));
    auto* refresh = form.findChild<QTimer*>(QStringLiteral("Timer2"));
    QVERIFY(scroll && refresh);
    QCOMPARE(scroll->interval(), 25);
    QCOMPARE(refresh->interval(), 10000);
    QVERIFY(scroll->isActive());
    QVERIFY(refresh->isActive());
    QVERIFY(form.controls().text(QStringLiteral("Label4")).isEmpty());
}

void TestTicker::refreshReadsFirstRowAndKeepsPosition()
{
    TestDb::reset();
    setMessages(
        {QStringLiteral("BELANGRIJK: declareren kan even niet"), QStringLiteral("OPMERKING: tweede rij")});
    Strip s(TestDb::server());
    // Only the refresh may move the text here, not a slow machine's timer.
    s.strip.findChild<QTimer*>(QStringLiteral("Timer1"))->stop();
    QVERIFY(s.refreshNow());
    QCOMPARE(s.label->text(), QStringLiteral("BELANGRIJK: declareren kan even niet"));
    QCOMPARE(s.colour(), kRed);
    QVERIFY(s.label->width() >= s.label->sizeHint().width());
    QVERIFY(s.ticker->trouble().isEmpty());

    for (int i = 0; i < 30; ++i)
        s.ticker->scroll();
    const double at = s.ticker->position();
    setMessages({QStringLiteral("Fijne feestdagen")});
    QVERIFY(s.refreshNow());
    QCOMPARE(s.label->text(), QStringLiteral("Fijne feestdagen"));
    QCOMPARE(s.colour(), kGreen);
    QCOMPARE(s.ticker->position(), at);
}

void TestTicker::emptyTableKeepsTextAndColour()
{
    TestDb::reset();
    setMessages({QStringLiteral("OPMERKING: vrijdag geen support")});
    Strip s(TestDb::server());
    QVERIFY(s.refreshNow());
    setMessages({});
    QVERIFY(s.refreshNow());
    QCOMPARE(s.label->text(), QStringLiteral("OPMERKING: vrijdag geen support"));
    QCOMPARE(s.colour(), kBlue);
    QVERIFY(s.ticker->trouble().isEmpty());
}

void TestTicker::hangingServerDoesNotHoldTheForm()
{
    SilentServer silent;
    QVERIFY(silent.port() > 0);
    ServerAddress address;
    address.host = QStringLiteral("127.0.0.1");
    address.port = silent.port();
    Strip s(address);
    s.label->setText(QStringLiteral("OPMERKING: oud bericht"));
    s.label->resize(200, 28);

    QSignalSpy done(s.ticker, &Ticker::refreshed);
    QElapsedTimer clock;
    clock.start();
    s.ticker->refresh();
    QVERIFY(clock.elapsed() < 500);
    QVERIFY(s.ticker->isRefreshing());
    s.ticker->refresh(); // still on its way: no second one

    // The form's own events keep running meanwhile.
    const int before = s.label->x();
    QTest::qWait(300);
    for (int i = 0; i < 10; ++i)
        s.ticker->scroll();
    QVERIFY(s.label->x() < before);
    QVERIFY(s.ticker->isRefreshing());

    QVERIFY(done.wait(20000));
    QTest::qWait(200);
    QCOMPARE(done.size(), 1);
    QVERIFY(!s.ticker->isRefreshing());
    QCOMPARE(s.label->text(), QStringLiteral("OPMERKING: oud bericht"));
    QVERIFY(!s.ticker->trouble().isEmpty());
    QVERIFY(s.strip.findChild<QLabel*>(QStringLiteral("tickerTrouble"))->isVisibleTo(&s.strip));
}

void TestTicker::stoppedServerThenStartedAgain()
{
    TestDb::reset();
    setMessages({QStringLiteral("OPMERKING: eerste bericht")});
    Strip s(TestDb::server());
    QVERIFY(s.refreshNow());
    auto* mark = s.strip.findChild<QLabel*>(QStringLiteral("tickerTrouble"));
    QVERIFY(mark && !mark->isVisibleTo(&s.strip));

    // The shared server comes back whatever fails below, for the tests after this one.
    test::ServerBack back;
    QVERIFY(test::stopServer());
    QVERIFY(s.refreshNow());
    QCOMPARE(s.label->text(), QStringLiteral("OPMERKING: eerste bericht"));
    QCOMPARE(s.colour(), kBlue);
    QVERIFY(s.ticker->trouble().contains(QStringLiteral("Fout ")));
    QVERIFY(mark->isVisibleTo(&s.strip));
    QVERIFY(!s.strip.toolTip().isEmpty());
    QVERIFY(s.messages.shown.isEmpty()); // no message box

    QVERIFY(test::startServer());
    QCOMPARE(TestDb::server(), s.ctx.server); // the restart kept the port
    setMessages({QStringLiteral("BELANGRIJK: weer bereikbaar")});
    QVERIFY(s.refreshNow());
    QCOMPARE(s.label->text(), QStringLiteral("BELANGRIJK: weer bereikbaar"));
    QCOMPARE(s.colour(), kRed);
    QVERIFY(s.ticker->trouble().isEmpty());
    QVERIFY(!mark->isVisibleTo(&s.strip));
    QVERIFY(s.strip.toolTip().isEmpty());
}

QTEST_MAIN(TestTicker)
#include "tst_ticker.moc"
