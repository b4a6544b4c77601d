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
//
// TLS: with TlsOptions enabled, connect() speaks TLS through a QSslSocket
// used in blocking mode (waitFor... calls, no event loop), and verifies the
// peer's certificate against the configured CA and host name before any byte
// of the protocol is sent. The other functions behave the same either way.

#include <QString>

#include <cstddef>
#include <memory>

class QSslSocket;

namespace platform {

struct TlsOptions {
    bool enabled = false;
    QString caFile;  // PEM file of the certificate authority to trust; empty: the system's
    QString peerName;  // name the certificate must carry; empty: the host connected to
};

class TcpSocket {
public:
    enum class ReadStatus {
        Data,  // count bytes were stored
        Timeout,  // nothing arrived within the time-out; the connection is still open
        Closed,  // the peer ended the connection (end of stream); the socket is closed
        Error  // the connection failed; errorString() says why; the socket is closed
    };
    struct ReadResult {
        ReadStatus status = ReadStatus::Error;
        std::size_t count = 0;  // bytes stored, only for Data
    };

    TcpSocket();
    ~TcpSocket();
    TcpSocket(const TcpSocket &) = delete;
    TcpSocket &operator=(const TcpSocket &) = delete;
    TcpSocket(TcpSocket &&other) noexcept;
    TcpSocket &operator=(TcpSocket &&other) noexcept;

    // Resolves host and connects to port, trying each address in turn, waiting
    // at most timeoutMs for each. Closes a previous connection first. Returns
    // false with a readable reason in *error (when given) on failure.
    bool connect(const QString &host, int port, int timeoutMs, QString *error = nullptr);

    // Applies to the next connect().
    void setTls(const TlsOptions &tls) { m_tlsOptions = tls; }
    bool encrypted() const { return m_tls != nullptr; }

    // True from connect() until close(), or until a read or write found the
    // connection ended.
    bool isOpen() const;

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
    bool connectTls(const QString &host, int port, int timeoutMs);
    ReadStatus waitTls(int timeoutMs);

    int m_fd = -1;  // the connected descriptor, -1 when closed
    QString m_error;  // last failure, for errorString()
    TlsOptions m_tlsOptions;
    std::unique_ptr<QSslSocket> m_tls;  // the connection when it speaks TLS
};

}  // namespace platform
