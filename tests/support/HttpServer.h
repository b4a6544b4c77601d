#pragma once
// A tiny HTTP/1.0 server on 127.0.0.1 for tests of the feed import: serves
// fixed responses by path from its own thread (the tests block in their
// line clients meanwhile), one connection at a time, and closes each after
// the answer. Paths and answers may change while it runs.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <atomic>
#include <mutex>
#include <thread>

namespace testsupport {

class HttpServer {
public:
    struct Answer {
        int status = 200;
        QByteArray body;
        QByteArray contentType = "application/xml";
        QByteArray location;  // for redirects
        int delayMs = 0;  // before the answer
    };

    HttpServer();
    ~HttpServer();
    bool ok() const { return m_fd >= 0; }
    quint16 port() const { return m_port; }
    QString url(const QString &path) const;

    void set(const QString &path, const Answer &answer);
    void set(const QString &path, const QByteArray &body)
    {
        Answer a;
        a.body = body;
        set(path, a);
    }
    int hits(const QString &path);

private:
    void run();

    int m_fd = -1;
    quint16 m_port = 0;
    std::mutex m_mutex;
    QMap<QString, Answer> m_answers;
    QMap<QString, int> m_hits;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace testsupport
