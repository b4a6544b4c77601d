#pragma once
// A real FTP server on loopback for the publication tests: python3's
// pyftpdlib (Debian python3-pyftpdlib) serving a temporary folder to one
// user with write rights, stopped when the object goes.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace servertest {

class FtpServer {
public:
    FtpServer() = default;
    ~FtpServer();

    // Starts serving; false and error() when python3 or pyftpdlib is missing
    // or the server does not come up.
    bool start(const QString &user, const QString &password);
    void stop();

    quint16 port() const { return m_port; }
    QString root() const { return m_dir.path(); }
    QString error() const { return m_error; }

    // The python3 that has pyftpdlib, or empty.
    static QString python();

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_error;
};

}  // namespace servertest
