#pragma once
// A scripted database backend on loopback for the protocol tests: it accepts
// one connection and plays its script in a thread of its own, reading whole
// frontend messages and writing byte-exact replies, so a test controls every
// byte the client sees, including a connection closed in mid-reply.

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <atomic>
#include <mutex>
#include <optional>
#include <thread>

namespace fake {

// Message builders, in network byte order.
QByteArray be16(int v);
QByteArray be32(int v);
using Value = std::optional<QByteArray>;  // nullopt: SQL NULL

// Protocol 3.0
QByteArray msg3(char type, const QByteArray &body);
QByteArray authRequest3(int code, const QByteArray &data = {});
QByteArray param3(const QByteArray &name, const QByteArray &value);
QByteArray ready3();
QByteArray rowDescription3(const QList<QByteArray> &names);
QByteArray dataRow3(const QList<Value> &values);
QByteArray complete3(const QByteArray &tag);
QByteArray error3(const QByteArray &message);
// AuthenticationOk and the settings every session must report, then ReadyForQuery.
QByteArray loginOk3(const QByteArray &conforming = "off");

// Protocol 2.0
QByteArray rowDescription2(const QList<QByteArray> &names);
QByteArray dataRow2(const QList<Value> &values);
QByteArray complete2(const QByteArray &tag);
QByteArray error2(const QByteArray &message);

class FakeBackend {
public:
    enum class Frame {
        Length,  // Int32 length counting itself, then the body (startup, 2.0 password)
        Typed,  // type byte, Int32 length, body (every 3.0 message)
        Zero,  // type byte and a text up to a zero byte (2.0 query)
        Fixed  // exactly n bytes (2.0 startup packet: 296)
    };

    FakeBackend();
    ~FakeBackend();

    int port() const { return m_port; }

    void expect(Frame frame, int fixedSize = 0);
    void send(const QByteArray &bytes);
    void closeConnection();
    // 2.0 log-in after the startup packet: AuthenticationOk, ReadyForQuery and
    // the answers to the client's three session statements.
    void scriptLogin2(const QByteArray &conforming = "off");
    // 3.0 log-in: startup packet, AuthenticationOk with settings.
    void scriptLogin3();

    void start();
    // Waits for the script's end; returns the frontend messages received.
    QList<QByteArray> finish();
    // Problems seen by the thread (time-outs, short reads); empty when fine.
    QStringList problems();

private:
    struct Step {
        enum { Expect, Send, Close } kind;
        Frame frame = Frame::Typed;
        int size = 0;
        QByteArray bytes;
    };
    void run();
    bool readExact(int fd, char *p, int n);
    void problem(const QString &text);

    int m_listen = -1;
    int m_port = 0;
    QList<Step> m_script;
    QList<QByteArray> m_received;
    QStringList m_problems;
    std::mutex m_mutex;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace fake
