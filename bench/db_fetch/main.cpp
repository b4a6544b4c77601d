// Fetch speed of the database client against libpq: the same result of
// 200,000 rows of six text columns (about 57 MB of values), read through
// TPostgres::Query and through PQexec with every value copied into a trimmed
// QString, so both end with the same rows in memory. Each run is a child
// process of its own, ours and libpq alternating, so that peak memory
// (VmHWM) belongs to one method and machine noise hits both alike.
// Needs PostgreSQL 15 as described in tests/support/TestDatabase.h.

#include "BenchCommon.h"
#include "db/Postgres.h"
#include "support/TestDatabase.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <libpq-fe.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using bench::median;
using bench::now;
using bench::trimmedValue;

constexpr int kRows = 200000;
constexpr int kRuns = 5;
const char *kSql = "select a, b, c, d, e, f from bench order by id";

// Peak resident memory of this process in kB.
long peakKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

struct Sample {
    double ms = 0;
    long peakKb = 0;
    long rows = 0;
};

Sample runOurs(const testsupport::TestDatabase &db)
{
    db::TPostgres pg;
    pg.setHost(db.server().host);
    pg.setPort(db.server().port);
    QString error;
    if (!pg.Open(&error))
        qFatal("open: %s", qPrintable(error));
    pg.Connect(db.name(), QString::fromLatin1(testsupport::kClientUser),
               QString::fromLatin1(testsupport::kClientPassword));
    if (!pg.Connected())
        qFatal("connect failed");
    Sample s;
    const double t0 = now();
    const auto rs = pg.Query(QString::fromLatin1(kSql));
    s.ms = now() - t0;
    s.rows = rs->RowCount();
    s.peakKb = peakKb();
    return s;
}

Sample runLibpq(const testsupport::TestDatabase &db)
{
    const QByteArray info = testsupport::conninfo(db.server(), db.name(), QString::fromLatin1(testsupport::kClientUser),
                                                  QString::fromLatin1(testsupport::kClientPassword))
                                .toUtf8();
    PGconn *c = PQconnectdb(info.constData());
    if (PQstatus(c) != CONNECTION_OK)
        qFatal("libpq: %s", PQerrorMessage(c));
    Sample s;
    const double t0 = now();
    PGresult *r = PQexec(c, kSql);
    const int n = PQntuples(r), m = PQnfields(r);
    std::vector<QStringList> rows;
    rows.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        QStringList row;
        row.reserve(m);
        for (int j = 0; j < m; ++j)
            row.append(trimmedValue(PQgetvalue(r, i, j), PQgetlength(r, i, j)));
        rows.push_back(std::move(row));
    }
    s.ms = now() - t0;
    s.rows = static_cast<long>(rows.size());
    s.peakKb = peakKb();
    PQclear(r);
    PQfinish(c);
    return s;
}

// Runs one method in a child process and returns its sample.
Sample inChild(bool ours, const testsupport::TestDatabase &db)
{
    int fds[2];
    if (pipe(fds) != 0)
        qFatal("pipe");
    const pid_t pid = fork();
    if (pid == 0) {
        ::close(fds[0]);
        const Sample s = ours ? runOurs(db) : runLibpq(db);
        if (write(fds[1], &s, sizeof s) != sizeof s)
            _exit(2);
        _exit(0);
    }
    ::close(fds[1]);
    Sample s;
    const bool got = read(fds[0], &s, sizeof s) == sizeof s;
    ::close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!got || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        qFatal("benchmark child failed");
    return s;
}

void report(const char *name, const std::vector<Sample> &samples, long baseKb)
{
    std::vector<double> ms;
    long peak = 0;
    QStringList runs;
    for (const Sample &s : samples) {
        ms.push_back(s.ms);
        peak = std::max(peak, s.peakKb);
        runs.append(QString::number(s.ms, 'f', 1));
    }
    std::printf("%-30s median %8.1f ms  (runs: %s)  peak memory %6.1f MB (+%.1f MB during the fetch)\n", name,
                median(ms), qPrintable(runs.join(QStringLiteral(", "))), peak / 1024.0, (peak - baseKb) / 1024.0);
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (!testsupport::pgServer(15)) {
        std::fprintf(stderr, "bench_db_fetch: PostgreSQL 15 not configured (run scripts/bench)\n");
        return 1;
    }
    testsupport::TestDatabase db(15);
    if (!db.ok()) {
        std::fprintf(stderr, "bench_db_fetch: %s\n", qPrintable(db.error()));
        return 1;
    }
    // Values of 46 to 50 characters, some with blanks to trim.
    const bool made = db.exec(
        QStringLiteral("create table bench (id integer primary key, a text, b text, c text, d text, e text, f text);"
                       "insert into bench select i,"
                       " md5(i::text) || left(md5('b' || i), 16),"
                       " ' ' || md5('c' || i) || left(md5('d' || i), 14) || ' ',"
                       " md5('e' || i) || 'Den Haag - ' || (i % 1000),"
                       " md5('f' || i) || ' caf\u00e9 \u00ff - ' || (i % 97),"
                       " upper(md5('g' || i)) || left(md5('h' || i), 17),"
                       " md5('i' || i) || '  ' || left(md5('j' || i), 13) || E'\\n'"
                       " from generate_series(1, %1) i;"
                       "grant select on bench to quillon; analyze bench")
            .arg(kRows));
    if (!made) {
        std::fprintf(stderr, "bench_db_fetch: %s\n", qPrintable(db.lastError()));
        return 1;
    }
    const QList<QStringList> size = db.query(QStringLiteral(
        "select sum(octet_length(a) + octet_length(b) + octet_length(c) + octet_length(d) + octet_length(e) + "
        "octet_length(f)) from bench"));
    std::printf("db_fetch: %d rows x 6 text columns, %.1f MB of values, %d runs each\n", kRows,
                size.value(0).value(0).toDouble() / 1e6, kRuns);

    // The parent's peak at fork time: what every child holds before it fetches.
    const long baseKb = peakKb();
    inChild(false, db);  // warm the server's cache; not counted
    std::vector<Sample> ours, libpq;
    for (int i = 0; i < kRuns; ++i) {
        ours.push_back(inChild(true, db));
        libpq.push_back(inChild(false, db));
        if (ours.back().rows != kRows || libpq.back().rows != kRows) {
            std::fprintf(stderr, "bench_db_fetch: wrong row count %ld / %ld\n", ours.back().rows, libpq.back().rows);
            return 1;
        }
    }
    report("ours  (db::TPostgres::Query)", ours, baseKb);
    report("libpq (PQexec + QString)", libpq, baseKb);
    std::vector<double> a, b;
    for (const Sample &s : ours)
        a.push_back(s.ms);
    for (const Sample &s : libpq)
        b.push_back(s.ms);
    std::printf("ratio ours/libpq: %.2f\n", median(a) / median(b));
    return 0;
}
