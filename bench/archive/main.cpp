// The archive search over 100,000 texts: a generator fills a fresh database
// with texts of 40 to 120 words over three years (see fill),
// then the statements of typical searches (one common word, two words, a
// rare word, a word with digits) run through the client, TPostgres::Query,
// and through libpq's PQexec with every value copied into a trimmed QString,
// so both end with the same rows in memory. The last line is the ratio of the
// summed medians, ours over libpq. Needs PostgreSQL 15 as described in
// tests/support/TestDatabase.h.

#include "BenchCommon.h"
#include "db/Postgres.h"
#include "support/TestDatabase.h"
#include "texts/ArchiefSearch.h"

#include <QCoreApplication>
#include <QDate>
#include <QStringList>

#include <libpq-fe.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using bench::median;
using bench::now;
using bench::trimmedValue;

constexpr int kTexts = 100000;
constexpr int kRuns = 7;

// 100,000 texts, reproducible. Most words are everyday ones; every
// twentieth is a topic word from a list of 400 (80 subjects, each alone and
// with four endings), so a subject occurs in a few per cent of the texts, as
// in a real archive. "<br>" after every eighth word, "<hrt>" at the end,
// dates over 2024 to 2026. The trigram index is dropped during the fill and
// built again from its own definition, as a bulk load would.
bool fill(testsupport::TestDatabase &db)
{
    const char *common =
        "'{de,het,een,en,van,op,in,met,voor,niet,maar,ook,nog,wel,al,na,bij,om,dat,die,er,is,zijn,wordt,"
        "heeft,hebben,moet,kan,gaat,komt,zegt,volgens,vandaag,gisteren,morgen,week,jaar,uur,mensen,nieuwe}'::text[]";
    const char *topics =
        "'{gemeente,raad,wethouder,burgemeester,college,vergadering,bewoners,wijk,school,leerlingen,ouders,"
        "sportpark,voetbal,wedstrijd,trainer,supporters,kampioen,brand,brandweer,politie,ongeluk,fietser,"
        "verkeer,rotonde,kruispunt,fietspad,brug,kanaal,haven,markt,winkel,ondernemers,festival,concert,"
        "harmonie,kerk,bibliotheek,museum,zorg,ziekenhuis,huisarts,woningen,nieuwbouw,huurders,corporatie,"
        "begroting,subsidie,onderzoek,rapport,inwoners,dorp,provincie,natuur,bos,windmolen,zonnepark,energie,"
        "water,dijk,storm,jubileum,vrijwilligers,buurthuis,jongeren,ouderen,fietsbrug,zwaluwkanaal,stationsweg,"
        "a28,n348,veenendorp,oosterwijk,zwaluwstad,carnaval,kermis,molen,station,asielzoekers,camping}'::text[]";
    const QString sql =
        QStringLiteral(
            "select setseed(0.42);"
            "create temporary table words as select %2 as common,"
            " array(select t || e from unnest(%3) t, unnest('{\"\",plan,debat,nieuws,zaak}'::text[]) e) as topics;"
            "create temporary table idx as select pg_get_indexdef('tblteksten_body_trgm_idx'::regclass) as def;"
            "drop index tblteksten_body_trgm_idx;"
            "insert into tblteksten (kop, body, datum, tijd, agendaid)"
            " select 'Bericht ' || g, b.body,"
            " to_char(date '2024-01-01' + (g * 7919 % 1096), 'YYYYMMDD'), '12:00', -1"
            " from generate_series(1, %1) g,"
            " lateral (select string_agg(case when (k + g) % 20 = 0"
            "                   then w.topics[1 + floor(random() * array_length(w.topics, 1))::int]"
            "                   else w.common[1 + floor(random() * array_length(w.common, 1))::int] end"
            "          || case when k % 8 = 0 then '<br>' else ' ' end, '' order by k) || '<hrt>' as body"
            "          from generate_series(1, 40 + g % 81) k, words w) b;"
            "do $$ begin execute (select def from idx); end $$;"
            "analyze tblteksten;")
            .arg(kTexts)
            .arg(QString::fromLatin1(common), QString::fromLatin1(topics));
    return db.exec(sql);
}

double runOurs(db::TPostgres &pg, const QString &sql, int *rows)
{
    const double t0 = now();
    const auto rs = pg.Query(sql);
    const double ms = now() - t0;
    *rows = rs->RowCount();
    return ms;
}

double runLibpq(PGconn *c, const QByteArray &sql, int *rows)
{
    const double t0 = now();
    PGresult *r = PQexec(c, sql.constData());
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

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (!testsupport::pgServer(15)) {
        std::fprintf(stderr, "bench_archive: PostgreSQL 15 not configured (run scripts/bench)\n");
        return 1;
    }
    testsupport::TestDatabase db(15);
    if (!db.ok())
        qFatal("database: %s", qPrintable(db.error()));
    const double f0 = now();
    if (!fill(db))
        qFatal("fill: %s", qPrintable(db.lastError()));
    std::printf("generated %d texts in %.1f s\n", kTexts, (now() - f0) / 1000.0);

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
    const QByteArray info = testsupport::conninfo(db.server(), db.name(), QString::fromLatin1(testsupport::kClientUser),
                                                  QString::fromLatin1(testsupport::kClientPassword))
                                .toUtf8();
    PGconn *c = PQconnectdb(info.constData());
    if (PQstatus(c) != CONNECTION_OK)
        qFatal("libpq: %s", PQerrorMessage(c));

    // The window's default range: the last 365 days before the end date.
    const QDate until(2026, 6, 30);
    const QDate from = until.addDays(-365);
    const QStringList searches = {"fietsbrug", "wethouder begroting", "zwaluwkanaal", "a28 rotonde"};
    double oursTotal = 0, libpqTotal = 0;
    for (const QString &text : searches) {
        const QString sql = texts::ArchiveSearchStatement(texts::SplitSearchWords(text), from, until);
        PGresult *plan = PQexec(c, ("explain " + sql).toUtf8().constData());
        bool indexed = false;
        for (int i = 0; i < PQntuples(plan); ++i)
            indexed = indexed || QByteArray(PQgetvalue(plan, i, 0)).contains("tblteksten_body_trgm_idx");
        PQclear(plan);
        std::vector<double> ours, theirs;
        int rowsOurs = 0, rowsTheirs = 0;
        for (int run = 0; run < kRuns; ++run) {
            ours.push_back(runOurs(pg, sql, &rowsOurs));
            theirs.push_back(runLibpq(c, sql.toUtf8(), &rowsTheirs));
        }
        if (rowsOurs != rowsTheirs)
            qFatal("row counts differ: %d and %d", rowsOurs, rowsTheirs);
        const double mo = median(ours), ml = median(theirs);
        oursTotal += mo;
        libpqTotal += ml;
        std::printf("%-28s %6d rows  ours %8.2f ms  libpq %8.2f ms  trigram index %s\n", qPrintable('"' + text + '"'),
                    rowsOurs, mo, ml, indexed ? "used" : "NOT USED");
    }
    PQfinish(c);
    std::printf("archive search, %d texts, medians of %d runs summed: ours %.2f ms, libpq %.2f ms\n", kTexts, kRuns,
                oursTotal, libpqTotal);
    std::printf("search ours/libpq: %.2f\n", oursTotal / libpqTotal);
    return 0;
}
