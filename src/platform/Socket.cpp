#include "platform/Socket.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslSocket>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace platform {

namespace {

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// Milliseconds left of a deadline for poll(); -1 waits without limit.
class Deadline {
public:
    explicit Deadline(int timeoutMs)
        : m_unlimited(timeoutMs < 0),
          m_end(std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs))
    {}
    int remaining() const
    {
        if (m_unlimited)
            return -1;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(m_end - std::chrono::steady_clock::now());
        return left.count() > 0 ? static_cast<int>(left.count()) : 0;
    }

private:
    bool m_unlimited;
    std::chrono::steady_clock::time_point m_end;
};

// poll() for one event, restarting after signals. Returns >0 ready, 0 time-out, <0 error.
int pollOne(int fd, short events, int timeoutMs, short *revents)
{
    const Deadline deadline(timeoutMs);
    for (;;) {
        pollfd p{fd, events, 0};
        const int r = ::poll(&p, 1, deadline.remaining());
        if (r < 0 && errno == EINTR)
            continue;
        *revents = p.revents;
        return r;
    }
}

// Non-blocking connect to one address, waiting at most timeoutMs. Returns the
// connected (blocking) descriptor or -1 with *reason.
int connectOne(const addrinfo *ai, int timeoutMs, QString *reason)
{
    const int fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC, ai->ai_protocol);
    if (fd < 0) {
        *reason = systemError(errno);
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL, 0);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    int rc = ::connect(fd, ai->ai_addr, ai->ai_addrlen);
    if (rc < 0 && errno == EINPROGRESS) {
        short revents = 0;
        rc = pollOne(fd, POLLOUT, timeoutMs, &revents);
        if (rc == 0) {
            *reason = QStringLiteral("time-out bij het verbinden");
            ::close(fd);
            return -1;
        }
        int soError = 0;
        socklen_t len = sizeof soError;
        if (rc < 0 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &len) < 0)
            soError = errno;
        if (soError != 0) {
            *reason = systemError(soError);
            ::close(fd);
            return -1;
        }
    } else if (rc < 0) {
        *reason = systemError(errno);
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    // Requests are single small writes answered at once: no Nagle delay.
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

}  // namespace

TcpSocket::TcpSocket() = default;

TcpSocket::~TcpSocket()
{
    close();
}

TcpSocket::TcpSocket(TcpSocket &&other) noexcept
    : m_fd(other.m_fd), m_error(std::move(other.m_error)), m_tlsOptions(std::move(other.m_tlsOptions)),
      m_tls(std::move(other.m_tls))
{
    other.m_fd = -1;
}

TcpSocket &TcpSocket::operator=(TcpSocket &&other) noexcept
{
    if (this != &other) {
        close();
        m_fd = other.m_fd;
        m_error = std::move(other.m_error);
        m_tlsOptions = std::move(other.m_tlsOptions);
        m_tls = std::move(other.m_tls);
        other.m_fd = -1;
    }
    return *this;
}

// A TLS connection stays open until a read or write of ours finds it ended,
// as a plain one does: the event loop may see the peer's close first, and a
// connection that silently stopped being open would never be reported lost.
bool TcpSocket::isOpen() const
{
    return m_tls != nullptr || m_fd >= 0;
}

bool TcpSocket::connectTls(const QString &host, int port, int timeoutMs)
{
    auto tls = std::make_unique<QSslSocket>();
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    if (!m_tlsOptions.caFile.isEmpty()) {
        const QList<QSslCertificate> ca = QSslCertificate::fromPath(m_tlsOptions.caFile, QSsl::Pem);
        if (ca.isEmpty()) {
            m_error = QStringLiteral("%1: geen certificaat gevonden").arg(m_tlsOptions.caFile);
            return false;
        }
        config.setCaCertificates(ca);
    }
    config.setPeerVerifyMode(QSslSocket::VerifyPeer);
    config.setProtocol(QSsl::TlsV1_2OrLater);
    tls->setSslConfiguration(config);
    tls->connectToHostEncrypted(host, static_cast<quint16>(port),
                                m_tlsOptions.peerName.isEmpty() ? host : m_tlsOptions.peerName);
    if (!tls->waitForEncrypted(timeoutMs)) {
        QStringList why;
        for (const QSslError &e : tls->sslHandshakeErrors())
            why << e.errorString();
        if (why.isEmpty())
            why << tls->errorString();
        m_error = QStringLiteral("%1:%2: %3").arg(host).arg(port).arg(why.join(QStringLiteral("; ")));
        return false;
    }
    tls->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_tls = std::move(tls);
    return true;
}

// Blocks until TLS data can be read (Data, also at the end of the stream),
// or the time-out passes (Timeout).
TcpSocket::ReadStatus TcpSocket::waitTls(int timeoutMs)
{
    if (m_tls->bytesAvailable() > 0)
        return ReadStatus::Data;
    if (m_tls->state() != QAbstractSocket::ConnectedState)
        return ReadStatus::Data;
    if (m_tls->waitForReadyRead(timeoutMs) || m_tls->state() != QAbstractSocket::ConnectedState)
        return ReadStatus::Data;
    return m_tls->error() == QAbstractSocket::SocketTimeoutError ? ReadStatus::Timeout : ReadStatus::Data;
}

void TcpSocket::fail(const QString &reason)
{
    m_error = reason;
    close();
}

bool TcpSocket::connect(const QString &host, int port, int timeoutMs, QString *error)
{
    close();
    m_error.clear();
    if (m_tlsOptions.enabled) {
        const bool ok = connectTls(host, port, timeoutMs);
        if (error)
            *error = m_error;
        return ok;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *list = nullptr;
    const QByteArray service = QByteArray::number(port);
    const int gai = ::getaddrinfo(host.toUtf8().constData(), service.constData(), &hints, &list);
    if (gai != 0) {
        m_error = QStringLiteral("%1: %2").arg(host, QString::fromLocal8Bit(::gai_strerror(gai)));
    } else {
        QString reason;
        for (const addrinfo *ai = list; ai && m_fd < 0; ai = ai->ai_next)
            m_fd = connectOne(ai, timeoutMs, &reason);
        ::freeaddrinfo(list);
        if (m_fd < 0)
            m_error = QStringLiteral("%1:%2: %3").arg(host).arg(port).arg(reason);
    }
    if (error)
        *error = m_error;
    return m_fd >= 0;
}

void TcpSocket::close()
{
    if (m_tls) {
        m_tls->abort();
        m_tls.reset();
    }
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

void TcpSocket::adopt(int fd)
{
    close();
    m_error.clear();
    m_fd = fd;
}

bool TcpSocket::writeAll(const void *data, std::size_t size, QString *error)
{
    const char *p = static_cast<const char *>(data);
    if (m_tls) {
        if (m_tls->state() != QAbstractSocket::ConnectedState) {
            fail(QStringLiteral("verbinding gesloten door de andere kant"));
        } else if (m_tls->write(p, static_cast<qint64>(size)) != static_cast<qint64>(size)) {
            fail(m_tls->errorString());
        } else {
            while (m_tls && m_tls->bytesToWrite() > 0) {
                if (!m_tls->waitForBytesWritten(30000)) {
                    fail(m_tls->errorString());
                    break;
                }
            }
        }
        if (!m_tls && error)
            *error = m_error;
        return m_tls != nullptr;
    }
    if (m_fd < 0)
        m_error = QStringLiteral("niet verbonden");
    while (m_fd >= 0 && size > 0) {
        // MSG_NOSIGNAL: a peer that went away must be an error here, not SIGPIPE.
        const ssize_t n = ::send(m_fd, p, size, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(systemError(errno));
            break;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    if (size > 0 && error)
        *error = m_error;
    return size == 0;
}

TcpSocket::ReadStatus TcpSocket::waitReadable(int timeoutMs)
{
    if (m_tls)
        return waitTls(timeoutMs);
    if (m_fd < 0)
        return ReadStatus::Error;
    short revents = 0;
    const int r = pollOne(m_fd, POLLIN, timeoutMs, &revents);
    if (r < 0) {
        fail(systemError(errno));
        return ReadStatus::Error;
    }
    return r == 0 ? ReadStatus::Timeout : ReadStatus::Data;
}

TcpSocket::ReadResult TcpSocket::readSome(void *buffer, std::size_t capacity, int timeoutMs)
{
    ReadResult result;
    // During a long reply the next bytes are usually there already: take
    // them without the poll, which is only worth it on an empty socket.
    int flags = 0;
    ReadStatus ready = ReadStatus::Data;
    if (!m_tls && m_fd >= 0 && capacity > 0) {
        flags = MSG_DONTWAIT;
    } else {
        ready = waitReadable(timeoutMs);
    }
    if (ready != ReadStatus::Data) {
        result.status = ready;
        return result;
    }
    if (m_tls) {
        const qint64 n = m_tls->read(static_cast<char *>(buffer), static_cast<qint64>(capacity));
        if (n > 0) {
            result.status = ReadStatus::Data;
            result.count = static_cast<std::size_t>(n);
        } else if (n == 0 && m_tls->state() == QAbstractSocket::ConnectedState) {
            result.status = ReadStatus::Timeout;  // only TLS records without data arrived
        } else if (n == 0 || m_tls->error() == QAbstractSocket::RemoteHostClosedError) {
            m_error = QStringLiteral("verbinding gesloten door de andere kant");
            close();
            result.status = ReadStatus::Closed;
        } else {
            fail(m_tls->errorString());
            result.status = ReadStatus::Error;
        }
        return result;
    }
    for (;;) {
        const ssize_t n = ::recv(m_fd, buffer, capacity, flags);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && flags != 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            flags = 0;
            ready = waitReadable(timeoutMs);
            if (ready != ReadStatus::Data) {
                result.status = ready;
                return result;
            }
            continue;
        }
        if (n < 0) {
            fail(systemError(errno));
            result.status = ReadStatus::Error;
        } else if (n == 0 && capacity > 0) {
            m_error = QStringLiteral("verbinding gesloten door de andere kant");
            close();
            result.status = ReadStatus::Closed;
        } else {
            result.status = ReadStatus::Data;
            result.count = static_cast<std::size_t>(n);
        }
        return result;
    }
}

}  // namespace platform
