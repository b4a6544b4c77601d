#pragma once
// A real quillon-server for the tests: writes a configuration into a
// temporary folder, starts the built binary on a free loopback port (the
// server picks it: port 0, read back from its log), and stops it with SIGTERM
// when the object goes. It speaks TLS, with a certificate authority of its
// own, and plain TCP on the same port; clients pick with tlsOptions().

#include "platform/Socket.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace testsupport {
class TestDatabase;
}

namespace servertest {

class ServerProcess {
public:
    ServerProcess() = default;
    ~ServerProcess();

    // `serverKeys` are extra lines for [server]; `rest` is appended to the
    // file (job sections). `db` may be null: the server then points at a
    // database that does not exist, which is enough for tests without log-in.
    bool start(const testsupport::TestDatabase *db, const QString &serverKeys = QString(),
               const QString &rest = QString());

    // The port of the next start; 0 (the default) lets the server pick a free one.
    void setPort(quint16 port) { m_fixedPort = port; }
    // Ends the server as a crash does (SIGKILL): nobody is told.
    void kill();

    // Limits the open files of the next start (RLIMIT_NOFILE); 0 = inherit.
    void setOpenFileLimit(int limit) { m_openFiles = limit; }

    quint16 port() const { return m_port; }
    qint64 pid() const { return m_process.processId(); }
    // What a client needs to reach this server over TLS, checked against its CA.
    platform::TlsOptions tlsOptions() const;
    QString configPath() const { return m_dir.filePath(QStringLiteral("quillon-server.ini")); }
    QString log();
    QString error() const { return m_error; }

    // Waits for the process to end by itself; its exit code, or -1.
    int waitForExit(int timeoutMs = 5000);
    void stop();

    static QString binary();
    // Starts this binary instead of the build's (an installed one); empty = the build's.
    void setBinary(const QString &path) { m_binary = path; }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_log;
    QString m_error;
    QString m_binary;
    quint16 m_port = 0;
    quint16 m_fixedPort = 0;
    int m_openFiles = 0;
};

}  // namespace servertest
