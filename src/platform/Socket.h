#pragma once
// A blocking TCP client socket for the two long-lived connections of the
// client (database and coordination server).
//
// DESIGN
// The protocols above block the user-interface thread until a reply is
// complete, so this socket is deliberately simple: connect with a time-out,
// write everything, and read whatever has arrived with a time-out. A read
// tells apart "data", "nothing yet" (time-out), "the peer closed the
// connection" and "the connection failed", because a closed connection must
// end the current operation instead of being waited on for ever. Buffering
// and message framing are the caller's business: readers pass large buffers
// so that one system call fetches many messages.

#include <QString>

#include <cstddef>

namespace platform {

class TcpSocket {
public:
    enum class ReadStatus {
        Data,     // count bytes were stored
        Timeout,  // nothing arrived within the time-out; the connection is still open
        Closed,   // the peer ended the connection (end of stream); the socket is closed
        Error     // the connection failed; errorString() says why; the socket is closed
    };
    struct ReadResult {
        ReadStatus status = ReadStatus::Error;
        std::size_t count = 0;  // bytes stored, only for Data
    };

    TcpSocket() = default;
    ~TcpSocket();
    TcpSocket(const TcpSocket &) = delete;
    TcpSocket &operator=(const TcpSocket &) = delete;
    TcpSocket(TcpSocket &&other) noexcept;
    TcpSocket &operator=(TcpSocket &&other) noexcept;

    // Resolves host and connects to port, trying each address in turn, waiting
    // at most timeoutMs for each. Closes a previous connection first. Returns
    // false with a readable reason in *error (when given) on failure.
    bool connect(const QString &host, int port, int timeoutMs, QString *error = nullptr);

    bool isOpen() const { return m_fd >= 0; }

    // Closes the connection; harmless when not open.
    void close();

    // Sends all size bytes, blocking until the kernel took them. False with
    // *error on failure, after which the socket is closed.
    bool writeAll(const void *data, std::size_t size, QString *error = nullptr);

    // Waits at most timeoutMs (negative: without limit) for data and stores
    // up to capacity bytes. See ReadStatus for the outcomes.
    ReadResult readSome(void *buffer, std::size_t capacity, int timeoutMs);

    // Waits at most timeoutMs (negative: without limit) until a read would not
    // block: Data when something (possibly the end of stream) is waiting,
    // Timeout when nothing is, Error when the socket is not usable.
    ReadStatus waitReadable(int timeoutMs);

    // The reason of the last failure (connect, write, read).
    QString errorString() const { return m_error; }

    // Takes over an already connected stream descriptor (tests use a
    // socketpair); closes a previous connection first.
    void adopt(int fd);

private:
    void fail(const QString &reason);

    int m_fd = -1;    // the connected descriptor, -1 when closed
    QString m_error;  // last failure, for errorString()
};

}  // namespace platform
