#include "support/TlsCertificates.h"

#include <QFile>
#include <QProcess>
#include <QStringList>

namespace testsupport {

QString MakeCertificates(const QString &dir)
{
    // Elliptic-curve keys: made in milliseconds, so every server of every
    // suite can have its own.
    const QStringList steps[] = {
        {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-days", "2", "-subj",
         "/CN=Quillon test CA", "-keyout", "ca.key", "-out", "ca.pem"},
        {"req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-subj", "/CN=127.0.0.1",
         "-keyout", "server.key", "-out", "server.csr"},
        {"x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial", "-days", "2",
         "-extfile", "san.cnf", "-out", "server.pem"},
    };
    QFile san(dir + QStringLiteral("/san.cnf"));
    if (!san.open(QIODevice::WriteOnly) || san.write("subjectAltName = IP:127.0.0.1, DNS:localhost\n") < 0)
        return QStringLiteral("cannot write san.cnf");
    san.close();
    for (const QStringList &args : steps) {
        QProcess p;
        p.setWorkingDirectory(dir);
        p.start(QStringLiteral("openssl"), args);
        if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            return QStringLiteral("openssl ") + args.join(' ') + QStringLiteral(": ") +
                   QString::fromLocal8Bit(p.readAllStandardError()) + p.errorString();
    }
    return QString();
}

}  // namespace testsupport
