// A publication as the final editor starts it: 10 rubrics of 20 texts each,
// one page file per rubric, each file delivered to 3 targets (two folders of
// a local FTP server and a Batch copy into a folder), through a real
// quillon-server. Measures the time from "publiceer" to "klaar" per file and
// the share the server spent in the database, in rendering and in delivery
// (from its summary line). Needs PostgreSQL 15 as described in
// tests/support/TestDatabase.h and python3-pyftpdlib.

#include "support/FtpServer.h"
#include "support/LineClient.h"
#include "support/ServerProcess.h"
#include "support/TestDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int kRubrics = 10;
constexpr int kTexts = 20;
constexpr int kRuns = 3;
}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The server binary is found through the build folder (build/bench/publish/..).
    if (qEnvironmentVariableIsEmpty("QUILLON_BUILD_DIR"))
        qputenv("QUILLON_BUILD_DIR", QFile::encodeName(QDir(app.applicationDirPath() + "/../..").absolutePath()));
    if (!testsupport::pgServer(15)) {
        std::fprintf(stderr, "PostgreSQL 15 not configured (scripts/services start DIR; source DIR/env.sh)\n");
        return 1;
    }
    servertest::FtpServer ftp;
    if (!ftp.start("bench", "bench")) {
        std::fprintf(stderr, "%s\n", qPrintable(ftp.error()));
        return 1;
    }
    QDir(ftp.root()).mkpath("a");
    QDir(ftp.root()).mkpath("b");
    QTemporaryDir work;
    QDir(work.path()).mkpath("templates");
    QDir(work.path()).mkpath("batch");
    QFile tpl(work.filePath("templates/pagina.txt"));
    tpl.open(QIODevice::WriteOnly);
    tpl.write("{{{rubriek.naam}}} {{publicatie.datum}}\n{{#teksten}}=== {{{kop}}} ===\n{{#blokken}}-- {{nummer}} --\n"
              "{{#regels}}{{{regel}}}\n{{/regels}}{{/blokken}}{{/teksten}}");
    tpl.close();

    testsupport::TestDatabase db(15, "quillon_template");
    if (!db.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(db.error()));
        return 1;
    }
    QStringList sql = {"insert into tbluser (userid, loginnaam, password, rights) values (1, 'eva', 'egel', 'xx')",
                       "insert into tbltemplate (id, naam, editor) values (1, 'Bericht', 'pagelength=8;')",
                       "insert into tblexporttemplate (id, naam, settings) values (1, 'pagina.txt', '')"};
    const QString ftpSettings = "host:\"127.0.0.1:%1\":username:\"bench\":password:\"bench\":initialdir:\"%2\"";
    sql << QString("insert into tbldoel (id, naam, module, settings) values (1, 'A', 'Ftp', '%1'), (2, 'B', 'Ftp', "
                   "'%2'), (3, 'Map', 'Batch', 'command:\"cp %f %3/\"')")
               .arg(ftpSettings.arg(ftp.port()).arg("a"), ftpSettings.arg(ftp.port()).arg("b"), work.filePath("batch"));
    QString selection = " ";
    for (int r = 1; r <= kRubrics; ++r) {
        QString content;
        for (int t = 1; t <= kTexts; ++t) {
            const int id = r * 100 + t;
            QString body;
            for (int l = 1; l <= 12; ++l)
                body += QString("Regel %1 van bericht %2 met wat woorden erin<br>").arg(l).arg(id);
            sql << QString("insert into tblteksten (id, kop, body, datum, tijd, paginacount, template, wie) values "
                           "(%1, 'Bericht %1', '%2', '20310312', '09:00', 2, 1, 1)")
                       .arg(id)
                       .arg(body);
            content += QString::number(id) + QChar(0xFF);
        }
        sql << QString("insert into tblrubriek (id, naam, onair, txt) values (%1, 'Rubriek %1', false, '%2'), "
                       "(%1, 'Rubriek %1', true, '')")
                   .arg(r)
                   .arg(content);
        sql << QString("insert into tbldoelfile (id, naam, localfilename, remotefilename, exporttemplate, rubriekid) "
                       "values (%1, 'Rubriek %1', 'r%1.txt', 'r%1.txt', 1, %1)")
                   .arg(r);
        sql << QString("insert into tblnaardoel values (%1, 1), (%1, 2), (%1, 3)").arg(r);
        selection += QString::number(r) + " ";
    }
    for (const QString &s : sql)
        if (!db.exec(s)) {
            std::fprintf(stderr, "%s\n", qPrintable(db.lastError()));
            return 1;
        }
    servertest::ServerProcess server;
    if (!server.start(&db, QString(),
                      QString("[publish]\ntemplates = %1\noutput = %2\n")
                          .arg(work.filePath("templates"), work.filePath("uit")))) {
        std::fprintf(stderr, "%s\n", qPrintable(server.error()));
        return 1;
    }
    servertest::LineClient client(server.port());
    if (!client.login("eva", "egel")) {
        std::fprintf(stderr, "log-in failed\n");
        return 1;
    }
    static const QRegularExpression shares("database ([0-9.]+) s, maken ([0-9.]+) s, verzenden ([0-9.]+) s");
    std::vector<double> perFile;
    double dbShare = 0, renderShare = 0, deliveryShare = 0;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer t;
        t.start();
        client.command("publiceer " + selection);
        bool done = false;
        double d = 0, r = 0, u = 0;
        while (!done && t.elapsed() < 120000) {
            for (const QString &l : client.command("poll")) {
                if (const auto m = shares.match(l); m.hasMatch()) {
                    d = m.captured(1).toDouble();
                    r = m.captured(2).toDouble();
                    u = m.captured(3).toDouble();
                }
                done = done || l == "publish klaar";
            }
            if (!done)
                QThread::msleep(5);
        }
        const double seconds = t.nsecsElapsed() / 1e9;
        perFile.push_back(seconds / kRubrics);
        const double sum = std::max(d + r + u, 1e-9);
        dbShare = d / sum, renderShare = r / sum, deliveryShare = u / sum;
        std::printf("run %d: %.3f s for %d files (%d texts each, 3 targets)\n", run + 1, seconds, kRubrics, kTexts);
    }
    std::sort(perFile.begin(), perFile.end());
    const double median = perFile[perFile.size() / 2];
    std::printf("per file from \"publiceer\" to \"klaar\": %.4f s (median of %d runs)\n", median, kRuns);
    std::printf("share of the server's time: database %.0f%%, rendering %.0f%%, delivery %.0f%%\n", dbShare * 100,
                renderShare * 100, deliveryShare * 100);
    std::printf("publication seconds per 100 files: %.2f\n", median * 100);
    return 0;
}
