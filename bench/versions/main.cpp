// The versions window at work: a topic with 20 versions of 60 lines each is
// opened (TVersieForm, LoadVersions: the version list, the text, its
// template and clocks, the window shown and painted), the text is changed
// and the version saved (SaveVersion). Printed are the total times and the
// part spent waiting for the database: from sending each statement to its
// complete reply (the hourglass of core::Query and core::Execute); the rest
// is the window's own work. The last line is that work divided by the
// database time. Needs PostgreSQL 15 as described in
// tests/support/TestDatabase.h; runs offscreen.

#include "BenchCommon.h"
#include "core/Dates.h"
#include "core/Global.h"
#include "db/Postgres.h"
#include "platform/Cursor.h"
#include "platform/Settings.h"
#include "support/TestDatabase.h"
#include "texts/PersonalEdit.h"
#include "texts/VersieForm.h"
#include "texts/VersieFrame.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

using bench::median;
using bench::now;

constexpr int kVersions = 20;
constexpr int kLines = 60;
constexpr int kRuns = 15;
constexpr int kTeam = 8;
constexpr int kAgendaId = 9101;
const QDate kToday(2031, 3, 12);

// Milliseconds spent inside database statements since the last reset.
double g_dbMs = 0;
double g_busySince = 0;

// A body of kLines lines in the stored form, different per version.
QString body(int version, const QString &extra = QString())
{
    QString out;
    for (int i = 1; i <= kLines; ++i)
        out += QStringLiteral("Versie %1 regel %2: de gemeenteraad van Zwaluwdorp stemt in met de nieuwe brug%3<hrt>")
                   .arg(version)
                   .arg(i)
                   .arg(extra);
    return out;
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    qputenv("TMPDIR", QFile::encodeName(dir.path()));  // the crash backup goes here
    QApplication app(argc, argv);
    if (!testsupport::pgServer(15)) {
        std::fprintf(stderr, "bench_versions: PostgreSQL 15 not configured (see tests/support/TestDatabase.h)\n");
        return 1;
    }
    testsupport::TestDatabase db(15, QStringLiteral("quillon_template"));
    if (!db.ok())
        qFatal("database: %s", qPrintable(db.error()));
    QString versions;
    for (int v = 1; v <= kVersions; ++v)
        versions += QStringLiteral("%1(%2, 'Kop van versie %2', '%3', '20310312', '09:00', %4, 901, "
                                   "'spreker:\"Piet\"', '', 1)")
                        .arg(v > 1 ? QStringLiteral(",") : QString())
                        .arg(9200 + v)
                        .arg(body(v))
                        .arg(kAgendaId);
    if (!db.exec(QStringLiteral("insert into tblredactie (id, naam) values (%1, 'Onderzoek');"
                                "insert into tbluser (userid, loginnaam, password) values (1, 'bench', 'pw');"
                                "insert into tbltemplate (id, naam, content, editor, initial, parent) values"
                                " (901, 'Radio', 'edit:spreker:Spreker:', 'width=400;pagelength=8;', '', -1);"
                                "insert into tblagenda (id, kort, lang, datum, tijd, redactie) values"
                                " (%2, 'Brug open', 'De brug gaat open.', '20310312', '10:30', %1);"
                                "insert into tblteksten (id, kop, body, datum, tijd, agendaid, template, extra, "
                                "klok, wie) values ")
                     .arg(kTeam)
                     .arg(kAgendaId) +
                 versions + QStringLiteral("; analyze")))
        qFatal("fill: %s", qPrintable(db.lastError()));

    platform::setSettingsFolder(dir.filePath(QStringLiteral("settings")));
    core::setClock([] { return QDateTime(kToday, QTime(9, 41)); });
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
    s.userId = 1;
    s.userName = QStringLiteral("bench");
    s.currentTeamId = kTeam;
    s.workDate = kToday;
    platform::setCursorHook([](bool busy) {
        if (busy)
            g_busySince = now();
        else
            g_dbMs += now() - g_busySince;
    });

    std::vector<double> openTotal, openDb, saveTotal, saveDb;
    for (int run = 0; run <= kRuns; ++run) {  // run 0 warms the caches and is not counted
        g_dbMs = 0;
        double t = now();
        auto form = std::make_unique<texts::TVersieForm>();
        texts::TVersieFrame *v = form->versie();
        v->AgendaId = kAgendaId;
        v->PreferredVersionId = 9200 + 1 + run % kVersions;
        v->LoadVersions();
        form->show();
        app.processEvents();  // shown and painted
        const double open = now() - t, openDatabase = g_dbMs;
        if (v->body()->StoredText().isEmpty())
            qFatal("no version shown");

        g_dbMs = 0;
        t = now();
        v->kop()->setText(QStringLiteral("Kop, bewaard in ronde %1").arg(run));
        v->body()->setStoredText(body(run, QStringLiteral(" en meer")));
        if (!v->SaveVersion())
            qFatal("the save failed");
        const double save = now() - t, saveDatabase = g_dbMs;
        form->hide();
        form.reset();
        if (run > 0) {
            openTotal.push_back(open);
            openDb.push_back(openDatabase);
            saveTotal.push_back(save);
            saveDb.push_back(saveDatabase);
        }
    }
    platform::setCursorHook({});
    const double ot = median(openTotal), od = median(openDb), st = median(saveTotal), sd = median(saveDb);
    std::printf("versions window, a topic with %d versions of %d lines, medians of %d runs\n", kVersions, kLines,
                kRuns);
    std::printf("open (LoadVersions, shown and painted): total %.2f ms, waiting for the database %.2f ms\n", ot, od);
    std::printf("save (text set, SaveVersion):           total %.2f ms, waiting for the database %.2f ms\n", st, sd);
    std::printf("version window overhead/database: %.2f\n", ((ot - od) + (st - sd)) / (od + sd));
    return 0;
}
