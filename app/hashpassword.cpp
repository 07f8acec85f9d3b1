#include "app/hashpassword.h"

#include "app/commandline.h"
#include "data/passwordverifier.h"
#include "login/passwordhash.h"

#include <QByteArray>
#include <QString>

#include <termios.h>
#include <unistd.h>

namespace dl {

namespace {

// Echo off while the password is typed, back as it was afterwards.
class NoEcho {
public:
    explicit NoEcho(int fd) : m_fd(fd)
    {
        if (::isatty(fd) && ::tcgetattr(fd, &m_saved) == 0) {
            termios quiet = m_saved;
            quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            quiet.c_lflag |= ECHONL;
            m_active = ::tcsetattr(fd, TCSAFLUSH, &quiet) == 0;
        }
    }
    ~NoEcho()
    {
        if (m_active)
            ::tcsetattr(m_fd, TCSAFLUSH, &m_saved);
    }
    NoEcho(const NoEcho&) = delete;
    NoEcho& operator=(const NoEcho&) = delete;

private:
    int m_fd;
    termios m_saved{};
    bool m_active = false;
};

int fail(std::FILE* err, const char* text)
{
    std::fprintf(err, "%s: %s\n", kProgramName, text);
    std::fflush(err);
    return 1;
}

} // namespace

int hashPasswordCommand(std::FILE* in, std::FILE* out, std::FILE* err, bool ed25519)
{
    const int fd = ::fileno(in);
    const bool terminal = fd >= 0 && ::isatty(fd);
    if (terminal) {
        std::fputs("Paswoord: ", err);
        std::fflush(err);
    }
    QByteArray line;
    {
        const NoEcho quiet(fd);
        for (int c; (c = std::fgetc(in)) != EOF && c != '\n';) {
            if (line.size() > 256)
                continue; // far too long already; read on to the end of the line
            line.append(static_cast<char>(c));
        }
    }
    if (line.endsWith('\r'))
        line.chop(1);
    const QString password = QString::fromUtf8(line);
    if (password.isEmpty())
        return fail(err, "geen paswoord gelezen.");
    if (password.size() > kMaxPasswordLength)
        return fail(err, "het paswoord is langer dan 10 tekens; het inlogscherm neemt er niet meer aan.");
    const QString hash =
        ed25519 ? QStringLiteral("ed25519:") + ed25519Verifier(password) : hashPassword(password);
    if (hash.isEmpty())
        return fail(err, "kon geen hash maken (te weinig geheugen?).");
    std::fprintf(out, "%s\n", hash.toLatin1().constData());
    std::fflush(out);
    return 0;
}

} // namespace dl
