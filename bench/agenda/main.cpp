// Reload speed of the agenda list: 5,000 one-off items shown of the 5,250 in
// the range (seven days; 250 are on today's production list and hidden) and a
// few repeating items, reloaded by TAgendaFrame (the statement through TPostgres,
// the lines built and put into ListBox1) against libpq running the same
// statement with PQexec and building the same line texts as QStrings. The
// reference does all the work but the list widget, so the ratio is what our
// database client and the list cost on top of the plainest fetch.
// Needs PostgreSQL 15 as described in tests/support/TestDatabase.h; runs
// offscreen.

#include "BenchCommon.h"
#include "core/Dates.h"
#include "core/Global.h"
#include "db/Postgres.h"
#include "planning/AgendaFrame.h"
#include "planning/AgendaSql.h"
#include "platform/Settings.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QListWidget>
#include <QTemporaryDir>

#include <libpq-fe.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using bench::median;
using bench::now;
using bench::trimmedValue;

constexpr int kItems = 5000;
constexpr int kRuns = 21;
const QDate kToday(2031, 3, 12);
constexpr int kTeam = 8;

// The libpq reference: the same statement, the same line texts.
int fetchLibpq(PGconn *c, const QByteArray &sql)
{
    PGresult *r = PQexec(c, sql.constData());
    if (PQresultStatus(r) != PGRES_TUPLES_OK)
        qFatal("libpq: %s", PQresultErrorMessage(r));
    const int n = PQntuples(r);
    QStringList lines;
    lines.reserve(n);
    for (int i = 0; i < n; ++i) {
        QString cols[5];
        qsizetype length = 4;
        for (int j = 0; j < 5; ++j) {
            cols[j] = trimmedValue(PQgetvalue(r, i, j), PQgetlength(r, i, j));
            length += cols[j].size();
        }
        QString line;
        line.reserve(length);
        for (int j : {0, 1, 3, 4, 2}) {
            if (j != 0)
                line += QLatin1Char(' ');
            line += cols[j];
        }
        lines << line;
    }
    PQclear(r);
    return static_cast<int>(lines.size());
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!testsupport::pgServer(15)) {
        std::fprintf(stderr, "bench_agenda: PostgreSQL 15 not configured (see tests/support/TestDatabase.h)\n");
        return 1;
    }
    testsupport::TestDatabase db(15, QStringLiteral("quillon_template"));
    if (!db.ok())
        qFatal("database: %s", qPrintable(db.error()));
    if (!db.exec(
            QStringLiteral(
                "insert into tblagenda (id, kort, lang, datum, tijd, redactie) select i, 'Onderwerp nummer ' || i, "
                "repeat('omschrijving ', 20), to_char(date '2031-03-12' + (i % 7), 'YYYYMMDD'), "
                "lpad((i % 24)::text, 2, '0') || ':' || lpad((i % 60)::text, 2, '0'), %1 from generate_series(1, %2) i;"
                "insert into tblagenda (id, kort, datum, redactie) select i, 'Andere redactie ' || i, '20310312', 1 "
                "from generate_series(%2 + 1, %2 * 2) i;"
                "insert into tbltodo (agendaid, datum, redactie) select i, '20310312', %1 from generate_series(1, 250) "
                "i;"
                "insert into tblagendaherhaal (kort, redactie, dagen) values ('Elke dag', %1, 'xxxxxxx'), "
                "('Woensdag', %1, '---x---'), ('Zondag', %1, 'x------'); analyze")
                .arg(kTeam)
                .arg(kItems + 250)))
        qFatal("fill: %s", qPrintable(db.lastError()));

    QTemporaryDir settings;
    platform::setSettingsFolder(settings.path());
    platform::WriteSetting(QStringLiteral("AgendaDagen"), QStringLiteral("6"));
    core::setClock([] { return QDateTime(kToday, QTime(9, 0)); });

    db::TPostgres post;
    post.setHost(db.server().host);
    post.setPort(db.server().port);
    if (!post.Open())
        qFatal("cannot open the database connection");
    post.Connect(db.name(), testsupport::kClientUser, testsupport::kClientPassword);
    if (!post.Connected())
        qFatal("cannot log in");
    core::TProgramState &s = core::state();
    s.post = &post;
    s.currentTeamId = kTeam;
    s.workDate = kToday;

    const QByteArray info = testsupport::conninfo(db.server(), db.name(), QString::fromLatin1(testsupport::kClientUser),
                                                  QString::fromLatin1(testsupport::kClientPassword))
                                .toUtf8();
    PGconn *c = PQconnectdb(info.constData());
    if (PQstatus(c) != CONNECTION_OK)
        qFatal("libpq: %s", PQerrorMessage(c));
    const QByteArray sql = planning::ReloadSql(kToday, kToday.addDays(6), kToday, kTeam).toUtf8();

    planning::TAgendaFrame frame;
    frame.resize(600, 400);
    frame.show();
    std::vector<double> ours, theirs;
    int shown = 0, fetched = 0;
    frame.Reload();  // warm both connections and the server's caches
    fetchLibpq(c, sql);
    const auto runOurs = [&] {
        const double t = now();
        frame.Reload();
        app.processEvents();  // the list paints what it shows
        ours.push_back(now() - t);
        shown = frame.ListBox1()->count();
    };
    const auto runLibpq = [&] {
        const double t = now();
        fetched = fetchLibpq(c, sql);
        theirs.push_back(now() - t);
    };
    // The order alternates, so neither side always finds the server's
    // caches and the other process's CPU use as the other side left them.
    for (int run = 0; run < kRuns; ++run) {
        if (run % 2 == 0) {
            runOurs();
            runLibpq();
        } else {
            runLibpq();
            runOurs();
        }
    }
    PQfinish(c);
    if (shown != fetched)
        qFatal("ours shows %d lines, libpq fetched %d", shown, fetched);
    const double a = median(ours), b = median(theirs);
    std::printf("agenda reload, %d lines (%d one-off items in range of which 250 on today's production list, "
                "and the repeating items of the work date), median of %d runs\n",
                shown, kItems + 250, kRuns);
    std::printf("ours (TAgendaFrame::Reload, db::TPostgres, ListBox1 filled and painted): %.2f ms\n", a);
    std::printf("libpq (PQexec, same statement, same line texts as QStrings):       %.2f ms\n", b);
    std::printf("reload ours/libpq: %.2f\n", a / b);
    return 0;
}
