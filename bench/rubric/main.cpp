// A change of a rubric of 40 texts as the final editor makes it: one more
// text dropped from the ready list and stored (history kept, stored, the
// rubric loaded again and stored again, each store one transaction), then
// the frame reloaded, by TCyclusFrame against libpq running the same
// statements with PQexec and building the same rubric lines as QStrings
// (the on-air-now test included). The statements of the reference are those
// our frame sent in a warm-up run, so both sides do the same database work;
// the ratio is what our database client and the frame cost on top of the
// plainest client. Needs PostgreSQL 15 as described in
// tests/support/TestDatabase.h; runs offscreen.

#include "BenchCommon.h"
#include "core/ClockRule.h"
#include "core/Dates.h"
#include "core/DragObject.h"
#include "core/Global.h"
#include "db/Postgres.h"
#include "output/CyclusFrame.h"
#include "output/CyclusLogic.h"
#include "platform/Settings.h"
#include "support/TestDatabase.h"
#include "views/DragList.h"

#include <QApplication>
#include <QMimeData>
#include <QTemporaryDir>

#include <libpq-fe.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

using bench::median;
using bench::now;
using bench::trimmedValue;

constexpr int kTexts = 40;
constexpr int kRuns = 31;
constexpr int kRubric = 1;
const QDate kToday(2031, 3, 12);

QString content(int n)
{
    QList<int> ids;
    for (int i = 1; i <= n; ++i)
        ids << 50000 + i;
    return output::FormatRubricContent(ids);
}

// The reference: every statement in order; the rows of a text's statement
// become a rubric line as the frame builds it.
int replayLibpq(PGconn *c, const QList<QByteArray> &statements, const QDateTime &moment)
{
    QStringList lines;
    for (const QByteArray &sql : statements) {
        PGresult *r = PQexec(c, sql.constData());
        const ExecStatusType st = PQresultStatus(r);
        if (st != PGRES_TUPLES_OK && st != PGRES_COMMAND_OK)
            qFatal("libpq: %s", PQresultErrorMessage(r));
        if (sql.startsWith("select txt from tblrubriek"))
            lines.clear();
        if (sql.startsWith("select kop,paginacount,klok") && PQntuples(r) > 0) {
            const QString kop = trimmedValue(PQgetvalue(r, 0, 0), PQgetlength(r, 0, 0));
            const QString pages = trimmedValue(PQgetvalue(r, 0, 1), PQgetlength(r, 0, 1));
            const QString klok = trimmedValue(PQgetvalue(r, 0, 2), PQgetlength(r, 0, 2));
            const bool onAir = core::ClockListActive(klok, moment);
            lines << output::FormatRubricLine(
                {QString::fromLatin1(sql.mid(sql.lastIndexOf(' ') + 1)), kop, pages, onAir ? "ok" : "***"});
        }
        PQclear(r);
    }
    return int(lines.size());
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!testsupport::pgServer(15)) {
        std::fprintf(stderr, "bench_rubric: PostgreSQL 15 not configured (see tests/support/TestDatabase.h)\n");
        return 1;
    }
    testsupport::TestDatabase db(15, QStringLiteral("quillon_template"));
    if (!db.ok())
        qFatal("database: %s", qPrintable(db.error()));
    const QString clock = QStringLiteral("20310301\u00ff20310331\u00ff00:00:00\u00ff23:59:59\u00ff00:00:00\u00ff23:59:"
                                         "59\u00ffxxxxxxx\u00ff");
    if (!db.exec(QStringLiteral("insert into tbltemplate (id, naam) values (3, 'Kort bericht');"
                                "insert into tblzenders (id, naam) values (1, 'Kabelkrant');"
                                "insert into tblredactierubriek values (8, 1);"
                                "insert into tblrubriek (id, naam, onair) values (1, 'Nieuws', false), (1, 'Nieuws', "
                                "true); insert into tblzenderrubriek values (1, 1);"
                                "insert into tblrubriektemplate values (1, 3);"
                                "insert into tblteksten (id, kop, template, paginacount, klok, body) select 50000 + i, "
                                "'Bericht nummer ' || i, 3, 1 + i % 3, '%1', repeat('tekst ', 80) from "
                                "generate_series(1, %2) i; analyze")
                     .arg(clock)
                     .arg(kTexts + 1)))
        qFatal("fill: %s", qPrintable(db.lastError()));
    const QString start = content(kTexts);
    auto reset = [&] {
        if (!db.exec("update tblrubriek set txt = '" + start + "' where id = 1; delete from tblrubriekhistorie"))
            qFatal("reset: %s", qPrintable(db.lastError()));
    };
    reset();

    QTemporaryDir settings;
    platform::setSettingsFolder(settings.path());
    platform::WriteSetting(QStringLiteral("Programma"), QStringLiteral("1"));
    platform::WriteSetting(QStringLiteral("CyclusRubriek"), QStringLiteral("1"));
    const QDateTime moment(kToday, QTime(9, 0));
    core::setClock([moment] { return moment; });

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
    s.currentTeamId = 8;
    s.workDate = kToday;
    s.isFinalEditor = true;
    s.userId = 2;

    const QByteArray info = testsupport::conninfo(db.server(), db.name(), QString::fromLatin1(testsupport::kClientUser),
                                                  QString::fromLatin1(testsupport::kClientPassword))
                                .toUtf8();
    PGconn *c = PQconnectdb(info.constData());
    if (PQstatus(c) != CONNECTION_OK)
        qFatal("libpq: %s", PQerrorMessage(c));

    output::TCyclusFrame frame;
    frame.resize(420, 600);
    frame.show();
    frame.frameMessage(core::FRAME_ACTIVATE, 0, 0);
    const std::unique_ptr<QMimeData> drop(core::DragObjectMimeData(
        {core::DragTargetRubriek, QString::number(50000 + kTexts + 1) + QLatin1Char(' '), core::DragSourceVersiebox}));
    auto change = [&] {
        frame.Drop(drop.get(), frame.box()->count());
        frame.frameMessage(core::FRAME_REFRESH, 0, 0);
        app.processEvents();  // the list paints what it shows
    };

    // Warm-up, recording what our frame sends.
    QList<QByteArray> statements;
    post.OnStatement = [&](const QString &sql) { statements << sql.toUtf8(); };
    change();
    post.OnStatement = nullptr;
    if (frame.box()->count() != kTexts + 1)
        qFatal("the drop did not land: %d lines", int(frame.box()->count()));
    reset();
    replayLibpq(c, statements, moment);

    std::vector<double> ours, theirs;
    int shown = 0, built = 0;
    for (int run = 0; run < kRuns; ++run) {
        reset();
        frame.SelectRubric();
        double t = now();
        change();
        ours.push_back(now() - t);
        shown = int(frame.box()->count());
        reset();
        t = now();
        built = replayLibpq(c, statements, moment);
        theirs.push_back(now() - t);
    }
    PQfinish(c);
    if (shown != built)
        qFatal("ours shows %d lines, libpq built %d", shown, built);
    const double a = median(ours), b = median(theirs);
    std::printf("rubric of %d texts: one more dropped and stored (history, store, reload, store), then the frame "
                "reloaded; %d statements; median of %d runs\n",
                kTexts, int(statements.size()), kRuns);
    std::printf("ours (TCyclusFrame::Drop and FRAME_REFRESH, db::TPostgres, box filled and painted): %.2f ms\n", a);
    std::printf("libpq (PQexec, the same statements, the same rubric lines as QStrings):         %.2f ms\n", b);
    std::printf("rubric store+reload ours/libpq: %.2f\n", a / b);
    return 0;
}
