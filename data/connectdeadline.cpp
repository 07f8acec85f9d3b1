#include "data/connectdeadline.h"

#include <mysql.h>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace dl {

namespace {

thread_local ConnectDeadline* t_deadline = nullptr;

long long msUntil(ConnectDeadline::Clock::time_point end)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - ConnectDeadline::Clock::now());
    return std::max<long long>(0, left.count());
}

} // namespace

void ConnectDeadline::install(MYSQL* m)
{
    int (*wait)(my_socket, my_bool, int) = &ConnectDeadline::waitForSocket;
    mysql_optionsv(m, MARIADB_OPT_IO_WAIT, wait);
}

ConnectDeadline::ConnectDeadline(std::chrono::milliseconds within)
    : m_end(Clock::now() + within), m_bounded(within.count() > 0), m_outer(t_deadline)
{
    if (!m_bounded)
        return;
    t_deadline = this;
    m_watch = std::thread([this] {
        std::unique_lock lock(m_mutex);
        if (m_wake.wait_until(lock, m_end, [this] { return m_ended; }))
            return;
        m_passed = true;
        if (m_socket >= 0)
            m_shut = ::shutdown(m_socket, SHUT_RDWR) == 0;
    });
}

ConnectDeadline::~ConnectDeadline()
{
    end();
    if (m_socket >= 0)
        ::close(m_socket);
}

void ConnectDeadline::end()
{
    if (!m_bounded)
        return;
    {
        const std::lock_guard lock(m_mutex);
        if (!m_ended) {
            m_ended = true;
            m_passed = m_passed || Clock::now() >= m_end;
        }
    }
    m_wake.notify_all();
    if (m_watch.joinable())
        m_watch.join();
    t_deadline = m_outer;
}

long long ConnectDeadline::leftMs() const
{
    return msUntil(m_end);
}

// The library's socket, once per socket (a name with several addresses
// tries several). A descriptor of our own keeps the shut from reaching
// another socket that reuses the number once the library closed its own.
void ConnectDeadline::watch(int fd)
{
    const std::lock_guard lock(m_mutex);
    if (fd == m_fd || m_ended)
        return;
    if (m_socket >= 0)
        ::close(m_socket);
    m_fd = fd;
    m_socket = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (m_passed && m_socket >= 0)
        m_shut = ::shutdown(m_socket, SHUT_RDWR) == 0;
}

// As the library waits (poll; 0 on a timeout, with ETIMEDOUT; a timeout of
// 0 waits without end), also through signals, but never past the deadline
// of this thread's try.
int ConnectDeadline::waitForSocket(int fd, char isRead, int timeoutMs)
{
    ConnectDeadline* deadline = t_deadline && t_deadline->m_bounded ? t_deadline : nullptr;
    if (deadline)
        deadline->watch(fd);
    const Clock::time_point askedEnd = Clock::now() + std::chrono::milliseconds(timeoutMs);
    pollfd p{fd, static_cast<short>(isRead ? POLLIN : POLLOUT), 0};
    for (;;) {
        long long ms = timeoutMs > 0 ? msUntil(askedEnd) : -1;
        if (deadline)
            ms = ms < 0 ? deadline->leftMs() : std::min(ms, deadline->leftMs());
        if (ms == 0) {
            errno = ETIMEDOUT;
            return 0;
        }
        const int rc = ::poll(&p, 1, static_cast<int>(ms));
        if (rc >= 0 || errno != EINTR) {
            if (rc == 0)
                errno = ETIMEDOUT;
            return rc;
        }
    }
}

} // namespace dl
