#pragma once
// Round trips of one connection, read from the MySQL packets the program
// sends rather than from the chunks TCP happens to cut them into: whether a
// pipelined request, or a goodbye, reaches the proxy before or after the
// server's last answer must not change the count.

#include <QByteArray>

namespace dl::test {

class WireTurns {
public:
    // Bytes the program sent; returns the round trips they begin.
    int fromProgram(const QByteArray& bytes);
    // Bytes the server sent; only counted on once the line is encrypted.
    void fromServer(const QByteArray& bytes);

private:
    bool begins(char seq, const QByteArray& payload);

    QByteArray m_pending; // the start of a packet still on its way
    int m_lastSeq = -1;   // of the program's previous packet
    // After a TLS request the packets are out of sight: a chunk of the
    // program that follows one of the server is all that is left to count.
    bool m_encrypted = false;
    bool m_serverSpoke = false;
};

} // namespace dl::test
