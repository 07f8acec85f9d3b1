#include "faultproxy.h"

#include "wireturns.h"

#include <QDateTime>
#include <QHostAddress>
#include <QMutex>
#include <QPointer>
#include <QQueue>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <utility>

namespace dl::test {

namespace {

constexpr qint64 kHeld = -1;

struct Chunk {
    qint64 due; // ms since epoch, or kHeld while the proxy stalls
    QByteArray bytes;
};

qint64 nowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

class ProxyCore : public QObject {
public:
    explicit ProxyCore(std::function<ServerAddress()> upstream) : m_upstream(std::move(upstream)) {}

    quint16 listen()
    {
        m_server = new QTcpServer(this);
        m_server->listen(QHostAddress::LocalHost, 0);
        connect(m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = m_server->nextPendingConnection())
                open(s);
        });
        return m_server->serverPort();
    }

    void closeAll()
    {
        const auto links = m_links;
        for (Link* l : links)
            l->breakNow();
    }

    void cutAll()
    {
        const auto links = m_links;
        for (Link* l : links)
            l->goDead();
    }

    void setStalled(bool stalled)
    {
        m_stalled = stalled;
        if (!stalled) {
            for (Link* l : std::as_const(m_links))
                l->release();
        }
    }
    void setDelay(int ms) { m_delayMs = ms; }
    void setTrickle(int ms) { m_trickleMs = ms; }
    void setDown(bool down) { m_down = down; }
    void setRefusal(const QByteArray& packet) { m_refusal = packet; }
    void setHideTls(bool hide) { m_hideTls = hide; }
    void setDisguise(bool disguise) { m_disguise = disguise; }
    bool sent(const QByteArray& bytes) const
    {
        const QMutexLocker lock(&m_sentMutex);
        return m_sent.contains(bytes);
    }
    void setPacketFault(const QByteArray& pattern, FaultProxy::Fault fault, int ms)
    {
        m_pattern = pattern;
        m_fault = fault;
        m_faultMs = ms;
        m_triggered = false;
    }

    std::atomic<bool> m_triggered{false};
    std::atomic<int> m_connections{0};
    std::atomic<int> m_turns{0};

private:
    // One connection of the program and its twin to the server.
    class Link : public QObject {
    public:
        Link(ProxyCore& core, QTcpSocket* client) : QObject(&core), m_core(core), m_client(client)
        {
            m_client->setParent(this);
            m_server = new QTcpSocket(this);
            m_timer.setSingleShot(true);
            connect(&m_timer, &QTimer::timeout, this, &Link::flush);
            connect(m_client, &QTcpSocket::readyRead, this, &Link::fromClient);
            connect(m_server, &QTcpSocket::readyRead, this, &Link::fromServer);
            connect(m_server, &QTcpSocket::connected, this, &Link::flush);
            connect(m_client, &QTcpSocket::disconnected, this, &Link::breakNow);
            connect(m_server, &QTcpSocket::disconnected, this, &Link::breakNow);
            connect(m_client, &QTcpSocket::errorOccurred, this, &Link::breakNow);
            connect(m_server, &QTcpSocket::errorOccurred, this, &Link::breakNow);
            // Small packets go at once, as the program's own socket sends them:
            // the delays are the proxy's, not Nagle's.
            m_client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            connect(m_server, &QTcpSocket::connected, this,
                    [this] { m_server->setSocketOption(QAbstractSocket::LowDelayOption, 1); });
            const ServerAddress up = m_core.m_upstream();
            m_server->connectToHost(up.host, static_cast<quint16>(up.port));
            m_hideTls = m_core.m_hideTls;
            m_disguise = m_core.m_disguise;
        }

        void breakNow()
        {
            if (m_broken)
                return;
            m_broken = true;
            m_timer.stop();
            // Bytes handed on already (the error a server sends before it
            // closes, as at a refused login) reach the program first.
            m_client->flush();
            m_client->abort();
            m_server->abort();
            m_core.m_links.removeOne(this);
            deleteLater();
        }

        // A line that went dead on the way (a VPN drop): the program's side
        // breaks; the server's side stays open and hears nothing more, so
        // the server keeps the connection until its wait_timeout.
        void goDead()
        {
            if (m_broken)
                return;
            m_broken = true;
            m_timer.stop();
            disconnect(m_server, nullptr, this, nullptr);
            connect(m_server, &QTcpSocket::readyRead, m_server, [s = m_server] { s->readAll(); });
            connect(m_server, &QTcpSocket::disconnected, this, &QObject::deleteLater);
            m_client->abort();
            m_core.m_links.removeOne(this);
        }

        void release()
        {
            const qint64 due = nowMs() + m_core.m_delayMs;
            for (Chunk& c : m_toServer)
                if (c.due == kHeld)
                    c.due = due;
            for (Chunk& c : m_toClient)
                if (c.due == kHeld)
                    c.due = due;
            flush();
        }

    private:
        void fromClient()
        {
            const QByteArray bytes = m_client->readAll();
            m_core.m_turns += m_turns.fromProgram(bytes);
            {
                const QMutexLocker lock(&m_core.m_sentMutex);
                m_core.m_sent += bytes;
            }
            if (!m_core.m_pattern.isEmpty() && bytes.contains(m_core.m_pattern)) {
                m_core.m_pattern.clear();
                switch (m_core.m_fault) {
                case FaultProxy::Fault::CutBefore:
                    m_core.m_triggered = true;
                    breakNow();
                    return;
                case FaultProxy::Fault::CutDuringAnswer:
                    m_cutAnswer = true;
                    break;
                case FaultProxy::Fault::CutThenDown:
                    m_cutAnswer = true;
                    m_core.setDown(true);
                    break;
                case FaultProxy::Fault::SlowAnswer:
                    m_slowAnswerMs = m_core.m_faultMs;
                    break;
                }
            }
            queue(m_toServer, bytes);
        }

        // The greeting without CLIENT_SSL in its capability flags, or with a
        // version text that does not say MariaDB; held until it is whole.
        QByteArray rewrittenGreeting(const QByteArray& bytes)
        {
            m_greeting += bytes;
            if (m_greeting.size() < 4)
                return {};
            const qsizetype length =
                quint8(m_greeting[0]) | quint8(m_greeting[1]) << 8 | quint8(m_greeting[2]) << 16;
            if (m_greeting.size() < 4 + length)
                return {};
            // Protocol version, the server's version up to its NUL, the
            // connection id (4), the first scramble (8) and a filler.
            const qsizetype versionEnd = m_greeting.indexOf('\0', 5);
            const qsizetype flags = versionEnd + 1 + 4 + 8 + 1;
            if (m_hideTls && m_greeting[4] != char(0xff) && flags + 1 < 4 + length)
                m_greeting[flags + 1] = char(quint8(m_greeting[flags + 1]) & ~0x08);
            const qsizetype maria = m_greeting.indexOf("MariaDB", 5);
            if (m_disguise && maria > 0 && maria < versionEnd)
                m_greeting.replace(maria, 7, "Mxxxxxx");
            m_hideTls = false;
            m_disguise = false;
            return std::exchange(m_greeting, {});
        }

        void fromServer()
        {
            QByteArray bytes = m_server->readAll();
            if (m_hideTls || m_disguise) {
                bytes = rewrittenGreeting(bytes);
                if (bytes.isEmpty())
                    return;
            }
            m_turns.fromServer(bytes);
            if (m_cutAnswer) {
                // Half of the answer, then the line goes dead.
                m_toClient.clear();
                m_client->write(bytes.left(std::max<qsizetype>(1, bytes.size() / 2)));
                m_client->flush();
                m_core.m_triggered = true;
                m_broken = true;
                m_timer.stop();
                m_server->abort();
                m_client->disconnectFromHost();
                m_core.m_links.removeOne(this);
                QTimer::singleShot(1000, this, &QObject::deleteLater);
                return;
            }
            const int extra = m_slowAnswerMs;
            if (extra > 0) {
                m_slowAnswerMs = 0;
                m_core.m_triggered = true;
            }
            queue(m_toClient, bytes, extra);
        }

        void queue(QQueue<Chunk>& q, const QByteArray& bytes, int extraMs = 0)
        {
            if (bytes.isEmpty() || m_broken)
                return;
            // A byte at a time from the server: every wait short, the whole long.
            if (&q == &m_toClient && m_core.m_trickleMs > 0 && !m_core.m_stalled) {
                for (const char byte : bytes) {
                    const qint64 after = q.isEmpty() ? nowMs() : std::max(q.last().due, nowMs());
                    q.enqueue({after + m_core.m_trickleMs, QByteArray(1, byte)});
                }
                flush();
                return;
            }
            qint64 due = m_core.m_stalled ? kHeld : nowMs() + m_core.m_delayMs + extraMs;
            // Never ahead of what is already waiting: the stream keeps its order.
            if (due != kHeld && !q.isEmpty() && (q.last().due == kHeld || q.last().due > due))
                due = q.last().due;
            q.enqueue({due, bytes});
            flush();
        }

        // Writes what is due, in order per direction; waits for the rest.
        void flush()
        {
            if (m_broken)
                return;
            const qint64 now = nowMs();
            qint64 next = -1;
            const auto drain = [&](QQueue<Chunk>& q, QTcpSocket* to, bool ready) {
                while (!q.isEmpty() && ready && q.head().due != kHeld && q.head().due <= now)
                    to->write(q.dequeue().bytes);
                if (!q.isEmpty() && q.head().due != kHeld && (next < 0 || q.head().due < next))
                    next = q.head().due;
            };
            drain(m_toServer, m_server, m_server->state() == QAbstractSocket::ConnectedState);
            drain(m_toClient, m_client, true);
            if (next >= 0)
                m_timer.start(static_cast<int>(std::max<qint64>(0, next - now)));
        }

        ProxyCore& m_core;
        QTcpSocket* m_client;
        QTcpSocket* m_server;
        QTimer m_timer;
        QQueue<Chunk> m_toServer;
        QQueue<Chunk> m_toClient;
        bool m_cutAnswer = false;
        bool m_hideTls = false;
        bool m_disguise = false;
        QByteArray m_greeting;
        WireTurns m_turns;
        int m_slowAnswerMs = 0;
        bool m_broken = false;
    };

    void open(QTcpSocket* s)
    {
        ++m_connections;
        if (m_down) {
            s->abort();
            s->deleteLater();
            return;
        }
        if (!m_refusal.isEmpty()) {
            s->write(m_refusal);
            s->flush();
            s->disconnectFromHost();
            connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            return;
        }
        m_links.append(new Link(*this, s));
    }

    std::function<ServerAddress()> m_upstream;
    QTcpServer* m_server = nullptr;
    QList<Link*> m_links;
    bool m_stalled = false;
    bool m_down = false;
    QByteArray m_refusal;
    bool m_hideTls = false;
    bool m_disguise = false;
    mutable QMutex m_sentMutex;
    QByteArray m_sent;
    int m_delayMs = 0;
    int m_trickleMs = 0;
    QByteArray m_pattern;
    FaultProxy::Fault m_fault = FaultProxy::Fault::CutBefore;
    int m_faultMs = 0;
};

template <typename Fn> void FaultProxy::onProxyThread(Fn&& fn) const
{
    QMetaObject::invokeMethod(m_core, std::forward<Fn>(fn), Qt::BlockingQueuedConnection);
}

FaultProxy::FaultProxy(std::function<ServerAddress()> upstream)
    : m_thread(new QThread), m_core(new ProxyCore(std::move(upstream)))
{
    m_thread->setObjectName(QStringLiteral("faultProxy"));
    m_core->moveToThread(m_thread);
    QObject::connect(m_thread, &QThread::finished, m_core, &QObject::deleteLater);
    m_thread->start();
    quint16 port = 0;
    onProxyThread([&] { port = m_core->listen(); });
    m_address.host = QStringLiteral("127.0.0.1");
    m_address.port = port;
}

FaultProxy::~FaultProxy()
{
    onProxyThread([this] { m_core->closeAll(); });
    m_thread->quit();
    m_thread->wait();
    delete m_thread;
}

ServerAddress FaultProxy::address() const
{
    return m_address;
}

void FaultProxy::pass()
{
    onProxyThread([this] {
        m_core->setDelay(0);
        m_core->setTrickle(0);
        m_core->setStalled(false);
        m_core->setDown(false);
        m_core->setRefusal({});
        m_core->setHideTls(false);
        m_core->setDisguise(false);
        m_core->setPacketFault({}, Fault::CutBefore, 0);
    });
}

void FaultProxy::stall()
{
    ++m_faults;
    onProxyThread([this] { m_core->setStalled(true); });
}

void FaultProxy::delay(int milliseconds)
{
    ++m_faults;
    onProxyThread([this, milliseconds] { m_core->setDelay(milliseconds); });
}

void FaultProxy::trickle(int millisecondsPerByte)
{
    ++m_faults;
    onProxyThread([this, millisecondsPerByte] { m_core->setTrickle(millisecondsPerByte); });
}

void FaultProxy::dropAll()
{
    ++m_faults;
    onProxyThread([this] { m_core->closeAll(); });
}

void FaultProxy::cutLine()
{
    ++m_faults;
    onProxyThread([this] { m_core->cutAll(); });
}

void FaultProxy::refuseWith(int number, const QByteArray& message)
{
    ++m_faults;
    // An error packet in place of the greeting: 0xff, the number, the text.
    QByteArray payload;
    payload += char(0xff);
    payload += char(number & 0xff);
    payload += char((number >> 8) & 0xff);
    payload += message;
    QByteArray packet;
    packet += char(payload.size() & 0xff);
    packet += char((payload.size() >> 8) & 0xff);
    packet += char((payload.size() >> 16) & 0xff);
    packet += char(0); // sequence number
    packet += payload;
    onProxyThread([this, packet] { m_core->setRefusal(packet); });
}

void FaultProxy::hideTlsOffer()
{
    ++m_faults;
    onProxyThread([this] { m_core->setHideTls(true); });
}

void FaultProxy::disguiseServer()
{
    ++m_faults;
    onProxyThread([this] { m_core->setDisguise(true); });
}

bool FaultProxy::programSent(const QByteArray& bytes) const
{
    return m_core->sent(bytes);
}

void FaultProxy::onPacket(const QByteArray& pattern, Fault fault, int milliseconds)
{
    ++m_faults;
    onProxyThread(
        [this, pattern, fault, milliseconds] { m_core->setPacketFault(pattern, fault, milliseconds); });
}

bool FaultProxy::triggered() const
{
    return m_core->m_triggered.load();
}

int FaultProxy::connections() const
{
    return m_core->m_connections.load();
}

int FaultProxy::roundTrips() const
{
    return m_core->m_connections.load() + m_core->m_turns.load();
}

} // namespace dl::test
