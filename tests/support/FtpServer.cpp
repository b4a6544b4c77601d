#include "support/FtpServer.h"

#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTcpSocket>
#include <QThread>

namespace servertest {

FtpServer::~FtpServer()
{
    stop();
}

QString FtpServer::python()
{
    // The Debian package installs into the system's python3, which a python
    // of the user's own (pyenv) in PATH does not see.
    for (const QString &candidate : {QStringLiteral("/usr/bin/python3"), QStringLiteral("python3")}) {
        QProcess probe;
        probe.start(candidate, {QStringLiteral("-c"), QStringLiteral("import pyftpdlib")});
        if (probe.waitForFinished(10000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0)
            return candidate;
    }
    return QString();
}

bool FtpServer::start(const QString &user, const QString &password)
{
    const QString py = python();
    if (py.isEmpty()) {
        m_error = QStringLiteral("python3 with pyftpdlib not found (install python3-pyftpdlib)");
        return false;
    }
    m_port = quint16(testsupport::freeLoopbackPort());
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(py,
                    {QStringLiteral("-m"), QStringLiteral("pyftpdlib"), QStringLiteral("-i"),
                     QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(m_port), QStringLiteral("-w"),
                     QStringLiteral("-d"), m_dir.path(), QStringLiteral("-u"), user, QStringLiteral("-P"), password});
    if (!m_process.waitForStarted(5000)) {
        m_error = QStringLiteral("cannot start ") + py;
        return false;
    }
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 10000) {
        QTcpSocket probe;
        probe.connectToHost(QStringLiteral("127.0.0.1"), m_port);
        if (probe.waitForConnected(200) && probe.waitForReadyRead(2000) && probe.readLine().startsWith("220"))
            return true;
        if (m_process.state() == QProcess::NotRunning)
            break;
        QThread::msleep(100);
    }
    m_error = QStringLiteral("FTP server did not come up: ") + QString::fromUtf8(m_process.readAll());
    return false;
}

void FtpServer::stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
}

}  // namespace servertest
