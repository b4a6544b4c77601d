#include "support/LineClient.h"

#include <QAtomicInt>
#include <QElapsedTimer>
#include <QHostAddress>

namespace servertest {

namespace {
QAtomicInt g_next{1};
}

LineClient::LineClient(quint16 port, const QString &sourceAddress)
{
    QString source = sourceAddress;
    if (source.isEmpty())
        source = QStringLiteral("127.0.1.%1").arg(1 + (g_next.fetchAndAddRelaxed(1) % 250));
    m_socket.bind(QHostAddress(source));
    m_socket.connectToHost(QHostAddress::LocalHost, port);
    m_connected = m_socket.waitForConnected(3000);
}

void LineClient::sendRaw(const QByteArray &bytes)
{
    m_socket.write(bytes);
    m_socket.waitForBytesWritten(3000);
}

std::optional<QString> LineClient::readLine(int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (true) {
        const int lf = m_buffer.indexOf('\n');
        if (lf >= 0) {
            const QByteArray line = m_buffer.left(lf);
            m_buffer.remove(0, lf + 1);
            return QString::fromUtf8(line);
        }
        const int left = timeoutMs - int(t.elapsed());
        if (left <= 0 || m_socket.state() != QAbstractSocket::ConnectedState)
            return std::nullopt;
        if (m_socket.bytesAvailable() == 0 && !m_socket.waitForReadyRead(left) && m_socket.bytesAvailable() == 0) {
            if (m_socket.state() != QAbstractSocket::ConnectedState)
                return std::nullopt;
            continue;
        }
        m_buffer += m_socket.readAll();
    }
}

QStringList LineClient::command(const QString &line, int timeoutMs)
{
    sendRaw(line.toUtf8() + "\r\n");
    QStringList out;
    while (true) {
        const auto l = readLine(timeoutMs);
        if (!l) {
            out << (m_socket.state() == QAbstractSocket::ConnectedState ? QStringLiteral("<timeout>")
                                                                        : QStringLiteral("<closed>"));
            return out;
        }
        out << *l;
        const QString kind = l->section(QLatin1Char(' '), 0, 0).toLower();
        if (kind == QLatin1String("ok") || kind == QLatin1String("err"))
            return out;
    }
}

QString joinWithoutChat(const QStringList &lines, bool keepRoster)
{
    QStringList kept;
    for (const QString &l : lines)
        if (!l.startsWith(QLatin1String("chat ")) && (keepRoster || !l.startsWith(QLatin1String("users "))))
            kept << l;
    return kept.join(QLatin1Char('|'));
}

QString LineClient::reply(const QString &line, int timeoutMs)
{
    return joinWithoutChat(command(line, timeoutMs), line.startsWith(QLatin1String("userlijst")));
}

bool LineClient::waitClosed(int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        if (m_socket.state() != QAbstractSocket::ConnectedState)
            return true;
        if (m_socket.waitForReadyRead(50))
            m_buffer += m_socket.readAll();
    }
    return m_socket.state() != QAbstractSocket::ConnectedState;
}

void LineClient::close()
{
    m_socket.abort();
}

bool LineClient::login(const QString &name, const QString &password)
{
    const QStringList r = command(QStringLiteral("auth %1 %2").arg(name, password));
    if (r.isEmpty() || r.last() != QLatin1String("ok"))
        return false;
    command(QStringLiteral("poll"));
    return true;
}

}  // namespace servertest
