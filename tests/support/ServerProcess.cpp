#include "support/ServerProcess.h"

#include "support/TestDatabase.h"
#include "support/TlsCertificates.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <csignal>
#include <sys/resource.h>

namespace servertest {

QString ServerProcess::binary()
{
    return qEnvironmentVariable("QUILLON_BUILD_DIR") + QStringLiteral("/server/quillon-server");
}

ServerProcess::~ServerProcess()
{
    stop();
}

bool ServerProcess::start(const testsupport::TestDatabase *db, const QString &serverKeys, const QString &rest)
{
    QString ini = QStringLiteral("[server]\nlisten = 127.0.0.1\nport = %1\n").arg(m_fixedPort) + serverKeys +
                  QStringLiteral("\n");
    if (db) {
        ini += QStringLiteral("[database]\nhost = %1\nport = %2\nname = %3\nuser = %4\npassword = %5\nworkers = 2\n")
                   .arg(db->server().host)
                   .arg(db->server().port)
                   .arg(db->name(), QString::fromLatin1(testsupport::kServerUser),
                        QString::fromLatin1(testsupport::kServerPassword));
    } else {
        ini += QStringLiteral("[database]\nhost = 127.0.0.1\nport = 1\nname = none\n");
    }
    if (!rest.contains(QLatin1String("[tls]"))) {
        if (!QFile::exists(m_dir.filePath(QStringLiteral("server.pem")))) {
            m_error = testsupport::MakeCertificates(m_dir.path());
            if (!m_error.isEmpty())
                return false;
        }
        ini += QStringLiteral("[tls]\ncertificate = %1\nkey = %2\n")
                   .arg(m_dir.filePath(QStringLiteral("server.pem")), m_dir.filePath(QStringLiteral("server.key")));
    }
    ini += rest;
    QFile f(configPath());
    if (!f.open(QIODevice::WriteOnly) || f.write(ini.toUtf8()) < 0) {
        m_error = QStringLiteral("cannot write ") + configPath();
        return false;
    }
    f.close();
    m_log.clear();  // a restart must not read the last run's port
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    if (m_openFiles > 0) {
        const rlim_t n = rlim_t(m_openFiles);
        m_process.setChildProcessModifier([n] {
            const rlimit lim{n, n};
            ::setrlimit(RLIMIT_NOFILE, &lim);
        });
    }
    const QString program = m_binary.isEmpty() ? binary() : m_binary;
    m_process.start(program, {QStringLiteral("--config"), configPath()});
    if (!m_process.waitForStarted(5000)) {
        m_error = QStringLiteral("cannot start ") + program;
        return false;
    }
    static const QRegularExpression listening(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 5000) {
        const auto m = listening.match(log());
        if (m.hasMatch()) {
            m_port = quint16(m.captured(1).toUInt());
            return true;
        }
        if (m_process.state() != QProcess::Running)
            break;
        m_process.waitForReadyRead(100);
    }
    m_error = QStringLiteral("server did not start: ") + log();
    return false;
}

platform::TlsOptions ServerProcess::tlsOptions() const
{
    platform::TlsOptions tls;
    tls.enabled = true;
    tls.caFile = m_dir.filePath(QStringLiteral("ca.pem"));
    return tls;
}

QString ServerProcess::log()
{
    // Without an event loop QProcess only reads what a wait pulls in.
    if (m_process.state() == QProcess::Running)
        m_process.waitForReadyRead(20);
    m_log += QString::fromUtf8(m_process.readAllStandardError());
    return m_log;
}

int ServerProcess::waitForExit(int timeoutMs)
{
    if (!m_process.waitForFinished(timeoutMs))
        return -1;
    log();
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

void ServerProcess::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    ::kill(pid_t(m_process.processId()), SIGKILL);
    m_process.waitForFinished(5000);
    log();
}

void ServerProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    ::kill(pid_t(m_process.processId()), SIGTERM);
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
    log();
}

}  // namespace servertest
