#pragma once
// A scripted client for the server's line protocol: sends command lines with
// CR LF and reads reply lines up to the final "ok" or "err", blocking with
// time-outs, as the real client does. Each client connects from its own
// loopback address (127.0.1.x), so the server's per-address slow-down of
// failed log-ins in one test does not slow another.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTcpSocket>
#include <optional>

namespace servertest {

class LineClient {
public:
    explicit LineClient(quint16 port, const QString &sourceAddress = QString());
    bool connected() const { return m_connected; }

    // Sends `line` + CR LF and returns every reply line up to and including
    // the final one; "<timeout>" or "<closed>" ends an incomplete reply.
    QStringList command(const QString &line, int timeoutMs = 5000);

    // The reply without "chat" lines and, unless the command is "userlijst",
    // without the "users" lines the server sends whenever the roster
    // changes; joined with '|' for one-line compares.
    QString reply(const QString &line, int timeoutMs = 5000);

    void sendRaw(const QByteArray &bytes);
    std::optional<QString> readLine(int timeoutMs = 5000);
    // True when the server closes the connection within the time.
    bool waitClosed(int timeoutMs = 3000);
    void close();

    // auth and a poll that empties the queue; true when the log-in succeeded.
    bool login(const QString &name, const QString &password);

private:
    QTcpSocket m_socket;
    QByteArray m_buffer;
    bool m_connected = false;
};

QString joinWithoutChat(const QStringList &lines, bool keepRoster = false);

}  // namespace servertest
