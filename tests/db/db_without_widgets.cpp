// Linked with quillon::db alone (no widgets, no test support): the database
// client runs in a program that has only Qt Core and Network. It escapes a
// value, and a connection to a port where nobody listens fails with a reason
// instead of hanging or crashing.

#include "db/Postgres.h"
#include "db/SqlEscape.h"

#include <QCoreApplication>
#include <QTcpServer>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (SqlEscape(QStringLiteral("it's a \\ test")) != QStringLiteral("it\\'s a \\\\ test")) {
        std::fprintf(stderr, "SqlEscape gave the wrong text\n");
        return 1;
    }
    // A port that was free a moment ago.
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost)) {
        std::fprintf(stderr, "no free loopback port\n");
        return 1;
    }
    const quint16 port = probe.serverPort();
    probe.close();
    db::TPostgres post;
    post.setHost(QStringLiteral("127.0.0.1"));
    post.setPort(port);
    post.setConnectTimeout(2000);
    QString error;
    if (post.Open(&error) || error.isEmpty() || post.Connected()) {
        std::fprintf(stderr, "a connection to a closed port did not fail with a reason\n");
        return 1;
    }
    auto rs = post.Query(QStringLiteral("select 1"));
    if (rs->ok() || rs->outcome() != db::TPostgresOutcome::NotConnected) {
        std::fprintf(stderr, "a statement without a session did not report NotConnected\n");
        return 1;
    }
    std::printf("ok: %s\n", qPrintable(error));
    return 0;
}
