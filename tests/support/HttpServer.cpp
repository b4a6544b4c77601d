#include "support/HttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace testsupport {

HttpServer::HttpServer()
{
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t len = sizeof a;
    if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || ::listen(m_fd, 16) != 0 ||
        ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&a), &len) != 0) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        return;
    }
    m_port = ntohs(a.sin_port);
    m_thread = std::thread([this] { run(); });
}

HttpServer::~HttpServer()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_fd >= 0)
        ::close(m_fd);
}

QString HttpServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}

void HttpServer::set(const QString &path, const Answer &answer)
{
    std::lock_guard lock(m_mutex);
    m_answers[path] = answer;
}

int HttpServer::hits(const QString &path)
{
    std::lock_guard lock(m_mutex);
    return m_hits.value(path);
}

int HttpServer::lastStatus(const QString &path)
{
    std::lock_guard lock(m_mutex);
    return m_lastStatus.value(path);
}

QByteArray HttpServer::lastHeader(const QString &path, const QByteArray &name)
{
    std::lock_guard lock(m_mutex);
    return m_lastHeaders.value(path).value(name);
}

void HttpServer::run()
{
    while (!m_stop) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        const int c = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (c < 0)
            continue;
        QByteArray request;
        char buf[4096];
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (!request.contains("\r\n\r\n") && std::chrono::steady_clock::now() < until) {
            pollfd q{c, POLLIN, 0};
            if (::poll(&q, 1, 50) <= 0)
                continue;
            const ssize_t n = ::recv(c, buf, sizeof buf, 0);
            if (n <= 0)
                break;
            request.append(buf, int(n));
        }
        const QList<QByteArray> first = request.left(request.indexOf("\r\n")).split(' ');
        const QString path = first.size() >= 2 ? QString::fromLatin1(first[1]) : QString();
        Answer answer;
        answer.status = 404;
        answer.body = "not found";
        QMap<QByteArray, QByteArray> headers;
        for (const QByteArray &line : request.left(request.indexOf("\r\n\r\n")).split('\n').mid(1)) {
            const int colon = line.indexOf(':');
            if (colon > 0)
                headers[line.left(colon).trimmed().toLower()] = line.mid(colon + 1).trimmed();
        }
        {
            std::lock_guard lock(m_mutex);
            ++m_hits[path];
            if (m_answers.contains(path))
                answer = m_answers.value(path);
            // A tag, when the request names one, decides alone (as RFC 9110 says).
            const bool tagAsked = headers.contains("if-none-match");
            const bool sameTag = !answer.etag.isEmpty() && headers.value("if-none-match") == answer.etag;
            const bool sameDate =
                !answer.lastModified.isEmpty() && headers.value("if-modified-since") == answer.lastModified;
            if (answer.status == 200 && (tagAsked ? sameTag : sameDate)) {
                answer.status = 304;
                answer.body.clear();
            }
            m_lastStatus[path] = answer.status;
            m_lastHeaders[path] = headers;
        }
        if (answer.delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(answer.delayMs));
        QByteArray head = "HTTP/1.0 " + QByteArray::number(answer.status) +
                          " X\r\nContent-Type: " + answer.contentType +
                          "\r\nContent-Length: " + QByteArray::number(answer.body.size()) + "\r\nConnection: close\r\n";
        if (!answer.location.isEmpty())
            head += "Location: " + answer.location + "\r\n";
        if (!answer.etag.isEmpty())
            head += "ETag: " + answer.etag + "\r\n";
        if (!answer.lastModified.isEmpty())
            head += "Last-Modified: " + answer.lastModified + "\r\n";
        const QByteArray all = head + "\r\n" + answer.body;
        qsizetype sent = 0;
        while (sent < all.size() && !m_stop) {
            const ssize_t n = ::send(c, all.constData() + sent, size_t(all.size() - sent), MSG_NOSIGNAL);
            if (n <= 0)
                break;
            sent += n;
        }
        ::close(c);
    }
}

}  // namespace testsupport
