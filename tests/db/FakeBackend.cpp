#include "FakeBackend.h"

#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace fake {

QByteArray be16(int v)
{
    QByteArray b(2, '\0');
    b[0] = char((v >> 8) & 0xff);
    b[1] = char(v & 0xff);
    return b;
}

QByteArray be32(int v)
{
    const auto u = static_cast<quint32>(v);
    QByteArray b(4, '\0');
    b[0] = char(u >> 24);
    b[1] = char(u >> 16);
    b[2] = char(u >> 8);
    b[3] = char(u);
    return b;
}

QByteArray msg3(char type, const QByteArray &body)
{
    return QByteArray(1, type) + be32(int(body.size()) + 4) + body;
}

QByteArray authRequest3(int code, const QByteArray &data)
{
    return msg3('R', be32(code) + data);
}

QByteArray param3(const QByteArray &name, const QByteArray &value)
{
    return msg3('S', name + '\0' + value + '\0');
}

QByteArray ready3()
{
    return msg3('Z', "I");
}

QByteArray rowDescription3(const QList<QByteArray> &names)
{
    QByteArray body = be16(int(names.size()));
    for (const QByteArray &n : names)
        body += n + '\0' + be32(0) + be16(0) + be32(25) + be16(-1) + be32(-1) + be16(0);
    return msg3('T', body);
}

QByteArray dataRow3(const QList<Value> &values)
{
    QByteArray body = be16(int(values.size()));
    for (const Value &v : values)
        body += v ? be32(int(v->size())) + *v : be32(-1);
    return msg3('D', body);
}

QByteArray complete3(const QByteArray &tag)
{
    return msg3('C', tag + '\0');
}

QByteArray error3(const QByteArray &message)
{
    return msg3('E', QByteArray("SERROR\0VERROR\0C42P01\0M", 22) + message + QByteArray("\0\0", 2));
}

QByteArray loginOk3(const QByteArray &conforming)
{
    return authRequest3(0) + param3("client_encoding", "UTF8") + param3("standard_conforming_strings", conforming) +
           msg3('K', be32(42) + be32(4242)) + ready3();
}

QByteArray rowDescription2(const QList<QByteArray> &names)
{
    QByteArray out = "T" + be16(int(names.size()));
    for (const QByteArray &n : names)
        out += n + '\0' + be32(25) + be16(-1) + be32(-1);
    return out;
}

QByteArray dataRow2(const QList<Value> &values)
{
    QByteArray bitmap((values.size() + 7) / 8, '\0');
    QByteArray data;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (!values[i])
            continue;
        bitmap[i / 8] = char(uchar(bitmap[i / 8]) | (0x80 >> (i % 8)));
        data += be32(int(values[i]->size()) + 4) + *values[i];
    }
    return "D" + bitmap + data;
}

QByteArray complete2(const QByteArray &tag)
{
    return "C" + tag + '\0';
}

QByteArray error2(const QByteArray &message)
{
    return "E" + message + '\0';
}

FakeBackend::FakeBackend()
{
    m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_listen, reinterpret_cast<sockaddr *>(&a), sizeof a);
    ::listen(m_listen, 1);
    socklen_t len = sizeof a;
    ::getsockname(m_listen, reinterpret_cast<sockaddr *>(&a), &len);
    m_port = ntohs(a.sin_port);
}

FakeBackend::~FakeBackend()
{
    finish();
    ::close(m_listen);
}

void FakeBackend::expect(Frame frame, int fixedSize)
{
    m_script.append(Step{Step::Expect, frame, fixedSize, {}});
}

void FakeBackend::send(const QByteArray &bytes)
{
    m_script.append(Step{Step::Send, Frame::Typed, 0, bytes});
}

void FakeBackend::closeConnection()
{
    m_script.append(Step{Step::Close, Frame::Typed, 0, {}});
}

void FakeBackend::scriptLogin2(const QByteArray &conforming)
{
    send("R" + be32(0) + "K" + be32(42) + be32(4242) + "Z");
    for (int i = 0; i < 2; ++i) {
        expect(Frame::Zero);
        send(complete2("SET") + "Z");
    }
    expect(Frame::Zero);
    send(rowDescription2({"standard_conforming_strings"}) + dataRow2({conforming}) + complete2("SHOW") + "Z");
}

void FakeBackend::scriptLogin3()
{
    expect(Frame::Length);
    send(loginOk3());
}

void FakeBackend::start()
{
    m_thread = std::thread([this] { run(); });
}

QList<QByteArray> FakeBackend::finish()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    std::lock_guard lock(m_mutex);
    return m_received;
}

QStringList FakeBackend::problems()
{
    std::lock_guard lock(m_mutex);
    return m_problems;
}

void FakeBackend::problem(const QString &text)
{
    std::lock_guard lock(m_mutex);
    m_problems.append(text);
}

// Reads n bytes, giving up after 5 s or when the test ends.
bool FakeBackend::readExact(int fd, char *p, int n)
{
    int waited = 0;
    while (n > 0) {
        pollfd pfd{fd, POLLIN, 0};
        if (::poll(&pfd, 1, 50) == 0) {
            if (m_stop || (waited += 50) > 5000)
                return false;
            continue;
        }
        const ssize_t r = ::recv(fd, p, size_t(n), 0);
        if (r <= 0)
            return false;
        p += r;
        n -= int(r);
    }
    return true;
}

void FakeBackend::run()
{
    pollfd lp{m_listen, POLLIN, 0};
    if (::poll(&lp, 1, 5000) <= 0) {
        problem(QStringLiteral("no connection"));
        return;
    }
    const int fd = ::accept(m_listen, nullptr, nullptr);
    bool open = true;
    for (const Step &step : m_script) {
        if (step.kind == Step::Send) {
            ::send(fd, step.bytes.constData(), size_t(step.bytes.size()), MSG_NOSIGNAL);
        } else if (step.kind == Step::Close) {
            ::close(fd);
            open = false;
            break;
        } else {
            QByteArray msg;
            bool ok = true;
            char c = 0;
            switch (step.frame) {
            case Frame::Fixed:
                msg.resize(step.size);
                ok = readExact(fd, msg.data(), step.size);
                break;
            case Frame::Typed:
            case Frame::Length: {
                if (step.frame == Frame::Typed) {
                    ok = readExact(fd, &c, 1);
                    msg.append(c);
                }
                char len[4];
                ok = ok && readExact(fd, len, 4);
                msg.append(len, 4);
                const int n = int((uchar(len[0]) << 24) | (uchar(len[1]) << 16) | (uchar(len[2]) << 8) | uchar(len[3]));
                if (ok && (n < 4 || n > 1 << 20))
                    ok = false;
                if (ok) {
                    QByteArray body(n - 4, '\0');
                    ok = readExact(fd, body.data(), n - 4);
                    msg += body;
                }
                break;
            }
            case Frame::Zero:
                do {
                    ok = readExact(fd, &c, 1);
                    msg.append(c);
                } while (ok && (msg.size() == 1 || c != '\0'));
                break;
            }
            {
                std::lock_guard lock(m_mutex);
                m_received.append(msg);
            }
            if (!ok) {
                problem(QStringLiteral("short read of frontend message %1").arg(m_received.size()));
                break;
            }
        }
    }
    // Keep the connection until the client closes it or the test ends.
    while (open && !m_stop) {
        pollfd pfd{fd, POLLIN, 0};
        if (::poll(&pfd, 1, 20) > 0) {
            char buf[256];
            if (::recv(fd, buf, sizeof buf, 0) <= 0)
                break;
        }
    }
    if (open)
        ::close(fd);
}

}  // namespace fake
