#pragma once
// The private test server stopped and started again by its own script, also
// from another thread while the test's main thread waits in a call of the
// program.

#include <atomic>
#include <thread>

namespace dl::test {

// Both wait until the server is down, or answering again; a start also
// drops TestDb's administrator connection, which died with the server.
bool stopServer();
bool startServer();
// Ends every connection of the program's account, as the server's idle
// timeout would; the program finds out on its next use of them.
void endProgramConnections();

// Stops the server after delayMs on a thread of its own.
class DelayedStop {
public:
    explicit DelayedStop(int delayMs);
    ~DelayedStop();
    DelayedStop(const DelayedStop&) = delete;
    DelayedStop& operator=(const DelayedStop&) = delete;
    // Waits for the stop; true when the server went down.
    bool wait();

private:
    std::thread m_thread;
    std::atomic<bool> m_ok{false};
};

// Whatever a test did, the server runs again when it leaves.
struct ServerBack {
    ServerBack() = default;
    ServerBack(const ServerBack&) = delete;
    ServerBack& operator=(const ServerBack&) = delete;
    ~ServerBack() { startServer(); }
};

} // namespace dl::test
