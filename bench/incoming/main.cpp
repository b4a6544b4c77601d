// Incoming material at newsroom scale. A fresh database gets 100,000 items of
// one internet source and 100,000 news-wire items (see fill); then
//   1. a real quillon-server imports a feed of 1,000 new items, served by an
//      HTTP server on loopback, into that source: "import items/s" is the
//      items stored per second from the job command to its "klaar" line;
//   2. the source search's two statements for a few words run through the
//      client (TPostgres::Query) and through libpq's PQexec with every value
//      copied into a trimmed QString; the last line is the ratio of the
//      summed medians, ours over libpq, and each search says whether its plan
//      uses the trigram indexes;
//   3. the server's parse of the 1,000-item feed (parseFeed: mending, tree,
//      items, HTML to text) against libxml2's own parse of the same bytes
//      into a tree: "feed parse ours/libxml2";
//   4. a refresh of 100 unchanged sources through the real server, answered
//      with 304 because the validators are kept, against the same refresh
//      with the validators cleared, so each feed is fetched, parsed and
//      compared whole: "unchanged refresh ours/whole".
// Needs PostgreSQL 15 as described in tests/support/TestDatabase.h.

#include "BenchCommon.h"
#include "db/Postgres.h"
#include "import/Feed.h"
#include "import/Xml.h"
#include "incoming/BronnenSql.h"
#include "support/HttpServer.h"
#include "support/LineClient.h"
#include "support/ServerProcess.h"
#include "support/TestDatabase.h"

#include <QCoreApplication>
#include <QThread>

#include <libpq-fe.h>
#include <libxml/parser.h>

#include <cstdio>
#include <vector>

namespace {

using bench::median;
using bench::now;
using bench::trimmedValue;

constexpr int kItems = 100000;
constexpr int kFeedItems = 1000;
constexpr int kRuns = 7;
constexpr int kSources = 100;  // for the unchanged refresh
constexpr int kSourceItems = 50;

// 100,000 items of source 1 and 100,000 wire items: 30 to 90 words each,
// every fifteenth a topic word, dates over 2024 to 2026. The trigram indexes
// are dropped during the fill and made again from their own definitions.
bool fill(testsupport::TestDatabase &db)
{
    const char *words = "'{de,het,een,en,van,op,in,met,voor,niet,maar,ook,nog,wel,bij,om,dat,die,er,is,zijn,wordt,"
                        "heeft,gemeente,raad,school,brand,politie,verkeer,brug,markt,festival,zorg,woningen,begroting,"
                        "provincie,energie,storm,jongeren,station,kermis,molen,dijk,haven,fietspad,rotonde}'::text[]";
    const QString sql =
        QStringLiteral(
            "select setseed(0.17);"
            "create temporary table idx as select pg_get_indexdef(c.oid) as def from pg_class c"
            " where c.relname in ('tblnetinfo_kop_trgm_idx','tblnetinfo_body_trgm_idx','tblanp_kop_trgm_idx',"
            " 'tblanp_body_trgm_idx');"
            "drop index tblnetinfo_kop_trgm_idx, tblnetinfo_body_trgm_idx, tblanp_kop_trgm_idx, tblanp_body_trgm_idx;"
            "create temporary table w as select %2 as a;"
            "insert into tblnet (id, naam, feed) values (1, 'Bron', '');"
            "insert into tblnetinfo (netid, datum, \"time\", kop, body, url, guid)"
            " select 1, to_char(date '2024-01-01' + (g * 7919 %% 1096), 'YYYYMMDD'), '12:00:00',"
            " 'Bericht ' || g, b.body, 'https://bron.example/' || g, 'oud-' || g"
            " from generate_series(1, %1) g, lateral (select string_agg(w.a[1 + floor(random() *"
            " array_length(w.a, 1))::int], ' ') as body from generate_series(1, 30 + g %% 61) k, w) b;"
            "insert into tblanp (datum, \"time\", kop, body, rubriek, itemid)"
            " select to_char(date '2024-01-01' + (g * 6007 %% 1096), 'YYYYMMDD'), '09:00:00',"
            " 'ANP ' || g, b.body, 'binnenland', 'anp-' || g"
            " from generate_series(1, %1) g, lateral (select string_agg(w.a[1 + floor(random() *"
            " array_length(w.a, 1))::int], ' ') as body from generate_series(1, 30 + g %% 61) k, w) b;"
            "do $$ declare d text; begin for d in select def from idx loop execute d; end loop; end $$;"
            "analyze tblnetinfo; analyze tblanp;"
            "insert into tbluser (loginnaam, password, rights) values ('bench', 'bench', '----------------');")
            .replace(QStringLiteral("%%"), QStringLiteral("%"))
            .arg(kItems)
            .arg(QString::fromLatin1(words));
    return db.exec(sql);
}

QByteArray feed()
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel><title>b</title>";
    for (int i = 0; i < kFeedItems; ++i)
        out += "<item><title>Nieuw bericht " + QByteArray::number(i) + "</title><guid>nieuw-" + QByteArray::number(i) +
               "</guid><link>https://bron.example/nieuw/" + QByteArray::number(i) +
               "</link><pubDate>Thu, 10 Dec 2026 09:00:00 GMT</pubDate><description>&lt;p&gt;De gemeente en de "
               "raad spreken over de brug bij de haven, bericht " +
               QByteArray::number(i) + ".&lt;/p&gt;</description></item>";
    return out + "</channel></rss>";
}

QByteArray sourceFeed(int source)
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel><title>s</title>";
    for (int i = 0; i < kSourceItems; ++i) {
        const QByteArray id = QByteArray::number(source) + "-" + QByteArray::number(i);
        out += "<item><title>Bericht " + id + "</title><guid>bron-" + id + "</guid><link>https://bron.example/" + id +
               "</link><pubDate>Thu, 10 Dec 2026 09:00:00 GMT</pubDate><description>&lt;p&gt;De gemeente en de "
               "raad spreken over de brug bij de haven, bericht " +
               id + ".&lt;/p&gt;</description></item>";
    }
    return out + "</channel></rss>";
}

// Starts the import of every benchmark source and waits for all of them
// (an import's last line may come with any reply, a job command's too).
double refreshAll(servertest::LineClient &client)
{
    const double t0 = now();
    int done = 0;
    const auto count = [&](const QStringList &lines) {
        for (const QString &l : lines)
            if (l.contains(QLatin1String(" klaar: ")) || l.contains(QLatin1String(" mislukt: "))) {
                ++done;
                if (l.contains(QLatin1String(" mislukt: ")))
                    std::fprintf(stderr, "%s\n", qPrintable(l));
            }
    };
    for (int s = 0; s < kSources; ++s)
        count(client.command(QStringLiteral("job new eenmalig \"import %1\" \"Verversen van S%1\"").arg(101 + s)));
    while (done < kSources && now() - t0 < 300000) {
        count(client.command(QStringLiteral("poll")));
        // The server's log goes to a pipe only the event loop drains.
        QCoreApplication::processEvents();
        if (done < kSources)
            QThread::msleep(2);
    }
    return now() - t0;
}

double runOurs(db::TPostgres &pg, const QString &sql, int *rows)
{
    const double t0 = now();
    const auto rs = pg.Query(sql);
    *rows = rs ? rs->RowCount() : -1;
    return now() - t0;
}

double runLibpq(PGconn *c, const QString &sql)
{
    const double t0 = now();
    PGresult *r = PQexec(c, sql.toUtf8().constData());
    std::vector<QString> values;
    for (int i = 0; i < PQntuples(r); ++i)
        for (int j = 0; j < PQnfields(r); ++j)
            values.push_back(trimmedValue(PQgetvalue(r, i, j), PQgetlength(r, i, j)));
    PQclear(r);
    return now() - t0;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // progress shows while it runs
    if (qEnvironmentVariableIsEmpty("QUILLON_BUILD_DIR"))
        qputenv("QUILLON_BUILD_DIR", QUILLON_BUILD_DIR_DEFAULT);
    if (!testsupport::pgServer(15)) {
        std::fprintf(stderr, "bench_incoming: PostgreSQL 15 not configured (run scripts/bench)\n");
        return 1;
    }
    testsupport::TestDatabase db(15, QStringLiteral("quillon_template"));
    if (!db.ok())
        qFatal("database: %s", qPrintable(db.error()));
    const double f0 = now();
    if (!fill(db))
        qFatal("fill: %s", qPrintable(db.lastError()));
    std::printf("generated %d internet and %d wire items in %.1f s\n", kItems, kItems, (now() - f0) / 1000.0);

    // 1. The import through the real server.
    testsupport::HttpServer http;
    http.set(QStringLiteral("/feed.xml"), feed());
    db.exec(QStringLiteral("update tblnet set feed = '%1' where id = 1").arg(http.url(QStringLiteral("/feed.xml"))));
    servertest::ServerProcess server;
    if (!server.start(&db))
        qFatal("server: %s", qPrintable(server.error()));
    servertest::LineClient client(server.port());
    if (!client.login(QStringLiteral("bench"), QStringLiteral("bench")))
        qFatal("cannot log in to the server");
    const double i0 = now();
    client.command(QStringLiteral("job new eenmalig \"import 1\" \"Verversen van Bron\""));
    QString done;
    while (done.isEmpty() && now() - i0 < 120000) {
        for (const QString &l : client.command(QStringLiteral("poll")))
            if (l.contains(QLatin1String("Verversen van Bron klaar")) || l.contains(QLatin1String("mislukt")))
                done = l;
        QCoreApplication::processEvents();
        if (done.isEmpty())
            QThread::msleep(5);
    }
    const double importMs = now() - i0;
    server.stop();
    const int stored =
        db.query(QStringLiteral("select count(*) from tblnetinfo where guid like 'nieuw-%'")).value(0).value(0).toInt();
    std::printf("import of a %d-item feed into a source of %d items: %s, %d stored in %.0f ms\n", kFeedItems, kItems,
                qPrintable(done), stored, importMs);

    // 2. The source search, ours against libpq.
    db::TPostgres pg;
    pg.setHost(db.server().host);
    pg.setPort(db.server().port);
    if (!pg.Open())
        qFatal("TPostgres: cannot open");
    pg.Connect(db.name(), testsupport::kClientUser, testsupport::kClientPassword);
    PGconn *c = PQconnectdb(
        testsupport::conninfo(db.server(), db.name(), testsupport::kClientUser, testsupport::kClientPassword)
            .toUtf8()
            .constData());
    if (PQstatus(c) != CONNECTION_OK)
        qFatal("libpq: %s", PQerrorMessage(c));
    double oursTotal = 0, libpqTotal = 0;
    for (const QString &word : {QStringLiteral("kermis"), QStringLiteral("bericht 4711"),
                                QStringLiteral("zwaluwkanaal"), QStringLiteral("molen dijk")}) {
        const QStringList statements = {incoming::SearchNetSql(word), incoming::SearchAnpSql(word)};
        bool indexed = true;
        for (const QString &sql : statements) {
            PGresult *plan = PQexec(c, ("explain " + sql).toUtf8().constData());
            bool uses = false;
            for (int i = 0; i < PQntuples(plan); ++i)
                uses = uses || QByteArray(PQgetvalue(plan, i, 0)).contains("_trgm_idx");
            indexed = indexed && uses;
            PQclear(plan);
        }
        std::vector<double> ours, ref;
        int rows = 0;
        for (int run = 0; run < kRuns; ++run) {
            double o = 0, l = 0;
            int n = 0;
            for (const QString &sql : statements) {
                o += runOurs(pg, sql, &n);
                rows += run == 0 ? n : 0;
                l += runLibpq(c, sql);
            }
            ours.push_back(o);
            ref.push_back(l);
        }
        const double mo = median(ours), ml = median(ref);
        oursTotal += mo;
        libpqTotal += ml;
        std::printf("%-16s %6d hits  ours %8.2f ms  libpq %8.2f ms  trigram indexes %s\n", qPrintable('"' + word + '"'),
                    rows, mo, ml, indexed ? "yes" : "NO");
    }
    PQfinish(c);

    // 3. The feed parse, ours against libxml2's tree.
    qserver::import::initXml();
    const QByteArray bytes = feed();
    const std::string_view view(bytes.constData(), std::size_t(bytes.size()));
    std::vector<double> parseOurs, parseRef;
    std::size_t parsedItems = 0;
    for (int run = 0; run < kRuns; ++run) {
        double t0 = now();
        for (int k = 0; k < 5; ++k)
            parsedItems = qserver::import::parseFeed(view, "https://bron.example/feed.xml", 0, kFeedItems).items.size();
        parseOurs.push_back(now() - t0);
        t0 = now();
        for (int k = 0; k < 5; ++k)
            xmlFreeDoc(xmlReadMemory(bytes.constData(), int(bytes.size()), nullptr, nullptr,
                                     XML_PARSE_NONET | XML_PARSE_NOCDATA));
        parseRef.push_back(now() - t0);
    }
    const double po = median(parseOurs) / 5, pr = median(parseRef) / 5;
    std::printf("parse of a %d-item feed (%lld bytes, %zu items): ours %.2f ms, libxml2 tree %.2f ms\n", kFeedItems,
                static_cast<long long>(bytes.size()), parsedItems, po, pr);

    // 4. 100 unchanged sources: 304s against whole fetches.
    QString values;
    for (int s = 0; s < kSources; ++s) {
        testsupport::HttpServer::Answer answer;
        answer.body = sourceFeed(101 + s);
        answer.etag = "\"s" + QByteArray::number(101 + s) + "-v1\"";
        http.set(QStringLiteral("/s%1.xml").arg(101 + s), answer);
        values += QStringLiteral("%1(%2, 'S%2', '', '%3')")
                      .arg(s ? "," : "")
                      .arg(101 + s)
                      .arg(http.url(QStringLiteral("/s%1.xml").arg(101 + s)));
    }
    if (!db.exec("insert into tblnet (id, naam, url, feed) values " + values))
        qFatal("sources: %s", qPrintable(db.lastError()));
    servertest::ServerProcess refresher;
    if (!refresher.start(&db))
        qFatal("server: %s", qPrintable(refresher.error()));
    servertest::LineClient rc(refresher.port());
    if (!rc.login(QStringLiteral("bench"), QStringLiteral("bench")))
        qFatal("cannot log in to the server");
    refreshAll(rc);  // the first import stores the items
    std::vector<double> unchanged, whole;
    for (int run = 0; run < 3; ++run) {
        db.exec(QStringLiteral("update tblnet set etag = '', lastmodified = '' where id > 100"));
        whole.push_back(refreshAll(rc));
        unchanged.push_back(refreshAll(rc));
    }
    refresher.stop();
    const int notModified = http.hits(QStringLiteral("/s101.xml"));
    const double mu = median(unchanged), mw = median(whole);
    std::printf("refresh of %d unchanged sources of %d items: 304 %.0f ms, whole %.0f ms (%d fetches of one source)\n",
                kSources, kSourceItems, mu, mw, notModified);

    std::printf("import items/s: %.0f\n", importMs > 0 ? stored / (importMs / 1000.0) : 0.0);
    std::printf("source search ours/libpq: %.2f\n", oursTotal / libpqTotal);
    std::printf("feed parse ours/libxml2: %.2f\n", po / pr);
    std::printf("unchanged refresh ours/whole: %.2f\n", mu / mw);
    return 0;
}
