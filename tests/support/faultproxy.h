#pragma once
// A TCP proxy between the program and the test server that misbehaves on
// command: it stalls, slows, drops or cuts connections in the middle of a
// query. It runs on a thread of its own, so a database call that blocks the
// test's main thread is still carried (or cut) by the proxy.

#include "data/settings.h"

#include <QByteArray>

#include <atomic>
#include <functional>

class QThread;

namespace dl::test {

class ProxyCore;

class FaultProxy {
public:
    // upstream: where the server is, asked again for every new connection
    // (a restarted server may come back on another port).
    explicit FaultProxy(std::function<ServerAddress()> upstream);
    ~FaultProxy();
    FaultProxy(const FaultProxy&) = delete;
    FaultProxy& operator=(const FaultProxy&) = delete;

    // 127.0.0.1 and the proxy's own port: give this to the program.
    ServerAddress address() const;

    // Carry everything at once again; held and delayed bytes go on their way.
    void pass();
    // Hold every byte of every connection, present and future, until pass().
    void stall();
    // Every chunk, both ways, arrives this many milliseconds late.
    void delay(int milliseconds);
    // What the server sends arrives a byte at a time, each this much later.
    void trickle(int millisecondsPerByte);
    // Break every open connection now.
    void dropAll();
    // Every open connection goes dead as over a dropped VPN: the program's
    // side breaks, the server's side stays open and silent, and the server
    // keeps it until its wait_timeout.
    void cutLine();
    // Every new connection gets this error packet instead of the server's
    // greeting (a node that is full, or blocks the host), until pass().
    void refuseWith(int number, const QByteArray& message);
    // Every new connection's greeting reaches the program without the
    // server's offer of TLS (the capability flag cleared), until pass().
    void hideTlsOffer();
    // Every new connection's greeting names no MariaDB in its version text
    // (what a relay may change before TLS begins), until pass().
    void disguiseServer();
    // Whether the program sent these bytes, in clear, through any connection.
    bool programSent(const QByteArray& bytes) const;
    // What happens to the next packet of the program that contains a
    // pattern (the statement text of a prepare, "COMMIT", ...).
    enum class Fault {
        CutBefore,       // the connection breaks before the server sees it
        CutDuringAnswer, // the server gets it; half its answer arrives, then the line breaks
        CutThenDown,     // as CutDuringAnswer, and every new connection breaks at once until pass()
        SlowAnswer,      // its answer arrives milliseconds late
    };
    void onPacket(const QByteArray& pattern, Fault fault, int milliseconds = 0);
    // The packet of onPacket() came by and the fault was done.
    bool triggered() const;

    // Faults injected since the proxy started: stalls, delays, drops, cuts.
    int faults() const { return m_faults.load(); }
    // Connections the program opened through the proxy.
    int connections() const;
    // Round trips: each connection's greeting, and every request of the
    // program that had to wait for the server's packet before it
    // (WireTurns); requests nobody waits for, such as a goodbye, are none.
    int roundTrips() const;

private:
    template <typename Fn> void onProxyThread(Fn&& fn) const;

    QThread* m_thread;
    ProxyCore* m_core;
    ServerAddress m_address;
    std::atomic<int> m_faults{0};
};

} // namespace dl::test
