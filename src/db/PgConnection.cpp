#include "db/PgConnection.h"

namespace db::pg {

bool Connection::open(const QString &host, int port, int timeoutMs, QString *error)
{
    m_in.clear();
    m_decoder.reset();
    return m_socket.connect(host, port, timeoutMs, error);
}

void Connection::adopt(int fd)
{
    m_in.clear();
    m_decoder.reset();
    m_socket.adopt(fd);
}

void Connection::close()
{
    m_socket.close();
    m_in.clear();
    m_decoder.reset();
}

bool Connection::send(const std::vector<char> &bytes, QString *error)
{
    if (m_socket.writeAll(bytes.data(), bytes.size(), error))
        return true;
    close();
    return false;
}

bool Connection::next(Message &m, int timeoutMs, QString *error)
{
    for (;;) {
        switch (m_decoder.next(m_in, m)) {
        case DecodeStatus::Message: return true;
        case DecodeStatus::Error:
            *error = QStringLiteral("protocolfout: ") + QString::fromStdString(m_decoder.error());
            close();
            return false;
        case DecodeStatus::NeedMore: break;
        }
        if (!m_socket.isOpen()) {
            *error = QStringLiteral("niet verbonden");
            close();
            return false;
        }
        std::size_t room = 0;
        char *at = m_in.prepareFill(kReadChunk, &room);
        const auto r = m_socket.readSome(at, room, timeoutMs);
        switch (r.status) {
        case platform::TcpSocket::ReadStatus::Data: m_in.commitFill(r.count); break;
        case platform::TcpSocket::ReadStatus::Timeout:
            *error = QStringLiteral("geen antwoord van de database binnen de wachttijd");
            close();
            return false;
        case platform::TcpSocket::ReadStatus::Closed:
            *error = QStringLiteral("de database heeft de verbinding verbroken");
            close();
            return false;
        case platform::TcpSocket::ReadStatus::Error:
            *error = m_socket.errorString();
            close();
            return false;
        }
    }
}

}  // namespace db::pg
