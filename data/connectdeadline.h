#pragma once
// One address's try to connect, bounded as a whole. The client library's
// connect timeout bounds each wait of the handshake on its own (the TCP
// connect, the greeting, every packet of TLS and of the login), so a node
// that answers every step late but just in time, or a byte at a time, would
// hold the try many times as long. While a deadline lives on a thread, the
// library's waits there end at it; at the deadline the socket is shut as
// well, which also ends a read that blocks inside the TLS handshake.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

struct st_mysql;

namespace dl {

class ConnectDeadline {
public:
    using Clock = std::chrono::steady_clock;

    // Every handle gets the wait the deadline shortens; without a deadline
    // on the thread it waits as the library would.
    static void install(st_mysql* m);

    // Nothing is bounded when within is not positive (no connect timeout).
    explicit ConnectDeadline(std::chrono::milliseconds within);
    ~ConnectDeadline();
    ConnectDeadline(const ConnectDeadline&) = delete;
    ConnectDeadline& operator=(const ConnectDeadline&) = delete;

    // Ends the watch.
    void end();
    // The deadline passed before the watch ended.
    bool passed() const { return m_passed; }
    // The socket was shut at the deadline: nothing more goes over it.
    bool shut() const { return m_shut; }

private:
    static int waitForSocket(int fd, char isRead, int timeoutMs);
    void watch(int fd);
    long long leftMs() const;

    Clock::time_point m_end;
    bool m_bounded;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_ended = false;
    bool m_passed = false;
    bool m_shut = false;
    int m_fd = -1;     // the library's socket, as last seen in a wait
    int m_socket = -1; // a descriptor of its own on that socket
    std::thread m_watch;
    ConnectDeadline* m_outer;
};

} // namespace dl
