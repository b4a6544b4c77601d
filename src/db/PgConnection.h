#pragma once
// The transport of the database client: one socket, its input buffer and the
// decoder. next() reads until one complete message is decoded; a closed
// connection, a socket error, a reply time-out or lost framing all end it as
// a failure with a readable reason, after which the connection is closed and
// its buffer emptied, so no old bytes are ever read as a new reply.

#include "db/PgBuffer.h"
#include "db/PgDecoder.h"
#include "platform/Socket.h"

#include <QString>

namespace db::pg {

class Connection {
public:
    static constexpr std::size_t kReadChunk = 128 * 1024;  // bytes asked of one read

    explicit Connection(int protocolMajor = 3) : m_decoder(protocolMajor) {}

    bool open(const QString &host, int port, int timeoutMs, QString *error);
    // Takes over a connected descriptor (tests).
    void adopt(int fd);
    bool isOpen() const { return m_socket.isOpen(); }
    void close();

    // Protocol of the messages to come (set before the startup packet).
    void setProtocol(int major) { m_decoder = Decoder(major); }
    int protocol() const { return m_decoder.protocolMajor(); }

    // Sends bytes in one write. False with *error; the connection is closed.
    bool send(const std::vector<char> &bytes, QString *error);

    // Reads the next message into m, waiting at most timeoutMs for each read
    // (negative: no limit). False with *error; the connection is closed.
    bool next(Message &m, int timeoutMs, QString *error);

private:
    platform::TcpSocket m_socket;
    InputBuffer m_in;
    Decoder m_decoder;
};

}  // namespace db::pg
