// The archive search at a station's scale: a million texts of 40 to 120
// words over three years (bench/archive/generate.sql), generated once into a
// cluster that scripts/bench keeps under .cache and starts for this program
// (QUILLON_BENCH_ARCHIVE_PORT, _DB, _DATED_DB, _TEXTS), with buffers that
// hold the archive as a station's database server would. The texts are there
// twice: stored in random order of date (_DB), and in order of date (_DATED_DB)
// as an archive that grows day by day lies on disk, where walking the date
// index backwards is a tempting plan for the planner. The statements of typical
// searches (one common word, two words, a rare word, a word with digits) run
// through the client, TPostgres::Query, and through libpq's PQexec with every
// value copied into a trimmed QString, so both end with the same rows in
// memory. Every search should take under 100 ms. The last line is the ratio
// of the summed medians, ours over libpq.

#include "BenchCommon.h"
#include "db/Postgres.h"
#include "support/TestDatabase.h"
#include "texts/ArchiefSearch.h"

#include <QCoreApplication>
#include <QDate>
#include <QRegularExpression>
#include <QStringList>

#include <libpq-fe.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using bench::median;
using bench::now;
using bench::trimmedValue;

constexpr int kRuns = 7;

double runOurs(db::TPostgres &pg, const QString &sql, int *rows)
{
    const double t0 = now();
    const auto rs = pg.Query(sql);
    const double ms = now() - t0;
    if (!rs->ok())
        qFatal("ours: %s", qPrintable(rs->error()));
    *rows = rs->RowCount();
    return ms;
}

double runLibpq(PGconn *c, const QByteArray &sql, int *rows)
{
    const double t0 = now();
    PGresult *r = PQexec(c, sql.constData());
    if (PQresultStatus(r) != PGRES_TUPLES_OK)
        qFatal("libpq: %s", PQresultErrorMessage(r));
    const int n = PQntuples(r), m = PQnfields(r);
    std::vector<QStringList> out;
    out.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        QStringList row;
        row.reserve(m);
        for (int j = 0; j < m; ++j)
            row.append(trimmedValue(PQgetvalue(r, i, j), PQgetlength(r, i, j)));
        out.push_back(std::move(row));
    }
    const double ms = now() - t0;
    *rows = static_cast<int>(out.size());
    PQclear(r);
    return ms;
}

constexpr double kTargetMs = 100;

QString env(const char *name)
{
    return qEnvironmentVariable(name);
}

struct Totals {
    double ours = 0, libpq = 0;
    bool allFast = true;
};

// The searches on one database: a line per search, its totals added to *t.
void runSearches(const testsupport::PgServer &server, const QString &dbName, const char *layout, Totals *t)
{
    db::TPostgres pg;
    pg.setHost(server.host);
    pg.setPort(server.port);
    QString error;
    if (!pg.Open(&error))
        qFatal("open: %s", qPrintable(error));
    pg.Connect(dbName, QString::fromLatin1(testsupport::kClientUser),
               QString::fromLatin1(testsupport::kClientPassword));
    if (!pg.Connected())
        qFatal("connect to %s failed", qPrintable(dbName));
    const QByteArray info = testsupport::conninfo(server, dbName, QString::fromLatin1(testsupport::kClientUser),
                                                  QString::fromLatin1(testsupport::kClientPassword))
                                .toUtf8();
    PGconn *c = PQconnectdb(info.constData());
    if (PQstatus(c) != CONNECTION_OK)
        qFatal("libpq: %s", PQerrorMessage(c));

    PGresult *count = PQexec(c, "select count(*) from tblteksten");
    const int texts = PQntuples(count) == 1 ? std::atoi(PQgetvalue(count, 0, 0)) : 0;
    PQclear(count);
    // A short or unreadable archive would pass every target without meaning it.
    const int expected = env("QUILLON_BENCH_ARCHIVE_TEXTS").toInt();
    if (texts <= 0 || (expected > 0 && texts != expected))
        qFatal("%s holds %d texts, %d expected", qPrintable(dbName), texts, expected);
    std::printf("%d texts stored %s:\n", texts, layout);

    // The window's default range: the last 365 days before the end date.
    const QDate until(2026, 6, 30);
    const QDate from = until.addDays(-365);
    const QStringList searches = {"fietsbrug", "wethouder begroting", "zwaluwkanaal", "a28 rotonde"};
    for (const QString &text : searches) {
        const QString sql = texts::ArchiveSearchStatement(texts::SplitSearchWords(text), from, until);
        // The indexes the plan reads and how, so a plan that falls back to
        // reading the whole table, or walks the date index, shows.
        PGresult *plan = PQexec(c, ("explain " + sql).toUtf8().constData());
        QStringList indexes;
        static const QRegularExpression scan(
            QStringLiteral("(Bitmap Index Scan on|Index Scan(?: Backward)? using) (\\S+)"));
        for (int i = 0; i < PQntuples(plan); ++i) {
            const auto m = scan.match(QString::fromUtf8(PQgetvalue(plan, i, 0)));
            if (m.hasMatch())
                indexes << (m.captured(1).startsWith(QLatin1String("Bitmap"))
                                ? m.captured(2)
                                : m.captured(2) + QStringLiteral(" (walked)"));
        }
        PQclear(plan);
        std::vector<double> ours, theirs;
        int rowsOurs = 0, rowsTheirs = 0;
        // Untimed: a server that has run for a day has the texts in memory.
        runLibpq(c, sql.toUtf8(), &rowsTheirs);
        // The order alternates, so neither side always meets the caches as
        // the other left them.
        for (int run = 0; run < kRuns; ++run) {
            if (run % 2 == 0) {
                ours.push_back(runOurs(pg, sql, &rowsOurs));
                theirs.push_back(runLibpq(c, sql.toUtf8(), &rowsTheirs));
            } else {
                theirs.push_back(runLibpq(c, sql.toUtf8(), &rowsTheirs));
                ours.push_back(runOurs(pg, sql, &rowsOurs));
            }
        }
        if (rowsOurs != rowsTheirs)
            qFatal("row counts differ: %d and %d", rowsOurs, rowsTheirs);
        const double mo = median(ours), ml = median(theirs);
        t->ours += mo;
        t->libpq += ml;
        t->allFast = t->allFast && mo < kTargetMs;
        std::printf("  %-24s %6d rows  ours %8.2f ms  libpq %8.2f ms  indexes: %s\n", qPrintable('"' + text + '"'),
                    rowsOurs, mo, ml, indexes.isEmpty() ? "NONE" : qPrintable(indexes.join(QLatin1String(", "))));
    }
    PQfinish(c);
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int port = env("QUILLON_BENCH_ARCHIVE_PORT").toInt();
    const QString dbName = env("QUILLON_BENCH_ARCHIVE_DB");
    const QString datedName = env("QUILLON_BENCH_ARCHIVE_DATED_DB");
    if (port <= 0 || dbName.isEmpty() || datedName.isEmpty()) {
        std::fprintf(stderr, "bench_archive: the archive cluster is not running (run scripts/bench bench_archive)\n");
        return 1;
    }
    testsupport::PgServer server;
    server.host = qEnvironmentVariable("QUILLON_PG_HOST", QStringLiteral("127.0.0.1"));
    server.port = port;
    server.major = 15;

    Totals t;
    runSearches(server, dbName, "in random order of date", &t);
    runSearches(server, datedName, "in order of date, as an archive grows", &t);
    std::printf("archive search, both orders, medians of %d runs summed: ours %.2f ms, libpq %.2f ms\n", kRuns, t.ours,
                t.libpq);
    std::printf("every search under %.0f ms: %s\n", kTargetMs, t.allFast ? "yes" : "NO");
    std::printf("search ours/libpq: %.2f\n", t.ours / t.libpq);
    return 0;
}
