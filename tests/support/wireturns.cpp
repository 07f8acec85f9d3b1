#include "wireturns.h"

#include <utility>

namespace dl::test {

namespace {

// Commands the server never answers: nobody waits for them.
constexpr char kQuit = 0x01;
constexpr char kSendLongData = 0x18;
constexpr char kCloseStatement = 0x19;
constexpr char kExecute = 0x17;
// The capability the program asks TLS with; that request is all of its packet.
constexpr quint32 kClientSsl = 0x0800;
constexpr qsizetype kTlsRequestLength = 32;

quint32 littleEndian(const QByteArray& b, qsizetype at, int bytes)
{
    quint32 v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | quint8(b[at + i]);
    return v;
}

} // namespace

int WireTurns::fromProgram(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return 0;
    if (m_encrypted)
        return std::exchange(m_serverSpoke, false) ? 1 : 0;
    m_pending += bytes;
    int turns = 0;
    qsizetype at = 0;
    while (m_pending.size() - at >= 4) {
        const qsizetype length = littleEndian(m_pending, at, 3);
        if (m_pending.size() - at - 4 < length)
            break;
        const char seq = m_pending[at + 3];
        const QByteArray payload = m_pending.mid(at + 4, length);
        at += 4 + length;
        if (begins(seq, payload))
            ++turns;
        if (m_encrypted) {
            // The TLS handshake follows at once, without an answer between.
            m_pending.clear();
            return turns;
        }
    }
    m_pending.remove(0, at);
    return turns;
}

void WireTurns::fromServer(const QByteArray& bytes)
{
    if (!bytes.isEmpty())
        m_serverSpoke = true;
}

// Whether the program had to wait for the server before it could send this
// packet.
bool WireTurns::begins(char seq, const QByteArray& payload)
{
    const int s = quint8(seq);
    const bool first = m_lastSeq < 0;
    const bool goesOn = !first && s == ((m_lastSeq + 1) & 0xff);
    m_lastSeq = s;
    // The next packet of the program's own sequence (more of a long packet,
    // more of a file): the server said nothing in between.
    if (goesOn)
        return false;
    if (s != 0) {
        // An answer to the server's packet before it (the login, a plugin's
        // exchange); the request for TLS is the last one read in clear.
        if (first && s == 1 && payload.size() == kTlsRequestLength &&
            (littleEndian(payload, 0, 4) & kClientSsl) != 0) {
            m_encrypted = true;
            m_serverSpoke = false;
        }
        return true;
    }
    if (payload.isEmpty())
        return true;
    const char command = payload[0];
    if (command == kQuit || command == kSendLongData || command == kCloseStatement)
        return false;
    // The statement prepared just before, sent with it: it cannot have
    // waited for the preparation's answer, which would give its number.
    if (command == kExecute && payload.size() >= 5 && littleEndian(payload, 1, 4) == 0xffffffffu)
        return false;
    return true;
}

} // namespace dl::test
