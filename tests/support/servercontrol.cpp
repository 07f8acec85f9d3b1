#include "servercontrol.h"

#include "testdb.h"

#include <QThread>

#include <cstdlib>

namespace dl::test {

namespace {

bool script(const char* command)
{
    // std::system: usable from any thread, with no event loop.
    const QByteArray line =
        QByteArray(DL_SOURCE_DIR "/scripts/dbserver.sh ") + command + " '" DL_TESTDB_DIR "' >/dev/null 2>&1";
    return std::system(line.constData()) == 0;
}

} // namespace

bool stopServer()
{
    return script("stop");
}

bool startServer()
{
    const bool ok = script("start");
    TestDb::dropAdmin();
    return ok;
}

void endProgramConnections()
{
    const QStringList ids =
        TestDb::rows(QStringLiteral("SELECT ID FROM information_schema.PROCESSLIST WHERE USER = 'torvakdb'"));
    for (const QString& id : ids)
        TestDb::exec(QStringLiteral("KILL CONNECTION ") + QString::number(id.toLongLong()));
}

DelayedStop::DelayedStop(int delayMs)
    : m_thread([this, delayMs] {
          QThread::msleep(static_cast<unsigned long>(delayMs));
          m_ok = stopServer();
      })
{
}

DelayedStop::~DelayedStop()
{
    if (m_thread.joinable())
        m_thread.join();
}

bool DelayedStop::wait()
{
    if (m_thread.joinable())
        m_thread.join();
    return m_ok;
}

} // namespace dl::test
