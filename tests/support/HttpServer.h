#pragma once
// A tiny HTTP/1.0 server on 127.0.0.1 for tests of the feed import: serves
// fixed responses by path from its own thread (the tests block in their
// line clients meanwhile), one connection at a time, and closes each after
// the answer. Paths and answers may change while it runs. An answer with
// validators answers a request that names them (If-None-Match,
// If-Modified-Since) with 304 and no body, as webservers do.

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
        QByteArray etag;  // sent as ETag when not empty
        QByteArray lastModified;  // sent as Last-Modified when not empty
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
    // The status of the last answer to `path` (0: none yet).
    int lastStatus(const QString &path);
    // The value of request header `name` (lower case) in the last request for `path`.
    QByteArray lastHeader(const QString &path, const QByteArray &name);

private:
    void run();

    int m_fd = -1;
    quint16 m_port = 0;
    std::mutex m_mutex;
    QMap<QString, Answer> m_answers;
    QMap<QString, int> m_hits;
    QMap<QString, int> m_lastStatus;
    QMap<QString, QMap<QByteArray, QByteArray>> m_lastHeaders;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace testsupport
