// What an editor waits for in the versions window, against a real database
// and a real quillon-server with the demo newsroom. A window holds the agenda
// and the production list as the main window's two panels do; the bench
// double-clicks a line of the production list and times until the versions
// window has painted (the lock, the window, its statements, the layout and the
// first paint), then clicks "&Opslaan" and times until control is back in the
// production list (the save, both panels reloaded, the window freed, the
// unlock). Printed against each wait is the part spent in the database: from
// sending each statement to its complete reply (the hourglass of core::Query
// and core::Execute).
//
// The first opening in a process pays for what is made once per process
// (fonts, styles), so each of kProcesses child processes of this program
// opens a short text once as the program's first versions window, then more
// windows: the short text again, and a long text whose closing is timed.
// For the first opening the bench also prints where the time went: each
// statement, server command and step of the window, in milliseconds from the
// double click (medians over the processes). The last line is what the user
// waits for (first opening and closing) divided by the database time in it.
// Needs PostgreSQL 15 as described in tests/support/TestDatabase.h; runs
// offscreen unless QT_QPA_PLATFORM says otherwise.

#include "BenchCommon.h"
#include "core/Frame.h"
#include "core/Global.h"
#include "core/ServerLink.h"
#include "db/Postgres.h"
#include "planning/AgendaFrame.h"
#include "planning/TodoFrame.h"
#include "platform/Cursor.h"
#include "platform/Settings.h"
#include "support/NullLinkClient.h"
#include "support/ServerProcess.h"
#include "support/TestDatabase.h"
#include "texts/PersonalEdit.h"
#include "texts/VersieForm.h"
#include "texts/VersieFrame.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QtTest>

#include <cstdio>
#include <vector>

namespace {

using bench::median;
using bench::now;

constexpr int kProcesses = 5;
constexpr int kWarmRuns = 6;  // per process
constexpr int kShortAgenda = 9101, kLongAgenda = 9102;
constexpr int kShortTodo = 9301, kLongTodo = 9302;
constexpr int kLongParagraphs = 300;  // about 750 display lines at the template's 480 pixels
constexpr int kTeam = 1;  // "Nieuws" of the demo, with its template "Nieuws"

// ---- what one window costs, seen from outside ---------------------------

struct Mark {
    double at;  // ms since the action started
    QString what;
};

struct Recording {
    bool on = false;
    double start = 0;
    double dbMs = 0;
    double busySince = 0;
    double serverMs = 0;
    double sentAt = 0;
    std::vector<Mark> marks;

    void begin()
    {
        on = true;
        start = now();
        dbMs = serverMs = 0;
        marks.clear();
    }
    void mark(const QString &what)
    {
        if (on)
            marks.push_back({now() - start, what});
    }
} g_rec;

// A statement or command as a short label.
QString label(const QString &text)
{
    return text.size() > 64 ? text.left(61) + QStringLiteral("...") : text;
}

class Link : public testsupport::NullLinkClient {
public:
    void logStatus(const QString &text) override
    {
        static const QString sent = QStringLiteral("<blue>server: ");
        if (text.startsWith(sent)) {
            g_rec.sentAt = now();
            g_rec.mark(QStringLiteral("cmd ") + label(text.mid(sent.size())));
        } else if (text == u"<green>OK" || text == u"<red>ERR") {
            g_rec.serverMs += now() - g_rec.sentAt;
        }
    }
};

class Main : public core::TMainOperations {
public:
    void AddMenuButton(const QString &, QMenu *) override {}
    void RemoveMenuButton(const QString &, QMenu *) override {}
    void RefreshViews() override
    {
        g_rec.mark(QStringLiteral("RefreshViews"));
        for (core::TFrame *f : frames)
            core::sendFrameMessage(f, core::FRAME_REFRESH);
    }
    void ShowStatusLine(const QString &) override {}
    void LogStatus(const QString &) override {}
    std::vector<core::TFrame *> frames;
};

// Marks the versions window's show and its first paint; the paint counts as
// done when the event loop is back after it (the whole window is painted in
// that one pass). Then the action given is run.
class WindowWatch : public QObject {
public:
    std::function<void(texts::TVersieForm *)> whenPainted;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *form = qobject_cast<texts::TVersieForm *>(watched);
        if (!form)
            return false;
        if (event->type() == QEvent::Show) {
            g_rec.mark(QStringLiteral("window shown"));
            m_painted = false;
        } else if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            g_rec.mark(QStringLiteral("window painting"));
            QTimer::singleShot(0, form, [this, form] {
                g_rec.mark(QStringLiteral("window painted"));
                if (whenPainted)
                    whenPainted(form);
            });
        }
        return false;
    }

private:
    bool m_painted = false;
};

struct Timing {
    double wait = 0, db = 0, server = 0;
};

struct Session {
    planning::TTodoFrame *todo = nullptr;
    WindowWatch watch;
};

// Double-clicks the production line of todoId. With the window painted,
// opened is filled, `inWindow` runs, and "&Opslaan" is clicked: closed is
// filled from that click until the double click has returned.
void openAndClose(Session &s, int todoId, Timing &opened, Timing &closed, std::vector<Mark> *openMarks,
                  const std::function<void(texts::TVersieForm *)> &inWindow = {})
{
    QListWidget *list = s.todo->ListBox1();
    QListWidgetItem *item = nullptr;
    for (int i = 0; i < list->count() && !item; ++i)
        if (list->item(i)->text().startsWith(QString::number(todoId) + QChar(0xFF)))
            item = list->item(i);
    if (!item)
        qFatal("production line %d not in the list", todoId);
    const QPoint at = list->visualItemRect(item).center();
    bool painted = false;
    s.watch.whenPainted = [&](texts::TVersieForm *form) {
        opened = {g_rec.marks.back().at, g_rec.dbMs, g_rec.serverMs};
        if (openMarks)
            *openMarks = g_rec.marks;
        painted = true;
        if (inWindow)
            inWindow(form);
        g_rec.begin();
        QTest::mouseClick(form->Button2(), Qt::LeftButton);
    };
    // The first click of the two selects the line; the time runs from the second.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    g_rec.begin();
    g_rec.mark(QStringLiteral("double click"));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    closed = {now() - g_rec.start, g_rec.dbMs, g_rec.serverMs};
    g_rec.on = false;
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    s.watch.whenPainted = {};
    if (!painted)
        qFatal("the versions window of production line %d was not shown", todoId);
}

// ---- a child process: one program's first and later windows -------------

int child()
{
    const QByteArray db = qgetenv("BENCH_DB"), host = qgetenv("BENCH_PG_HOST");
    const int pgPort = qEnvironmentVariableIntValue("BENCH_PG_PORT");
    const int serverPort = qEnvironmentVariableIntValue("BENCH_SERVER_PORT");
    QTemporaryDir dir;
    qputenv("TMPDIR", QFile::encodeName(dir.path()));  // the crash backup goes here
    platform::setSettingsFolder(dir.filePath(QStringLiteral("settings")));

    db::TPostgres post;
    post.setHost(QString::fromUtf8(host));
    post.setPort(pgPort);
    if (!post.Open())
        qFatal("cannot open the database connection");
    post.Connect(QString::fromUtf8(db), testsupport::kClientUser, testsupport::kClientPassword);
    if (!post.Connected())
        qFatal("cannot log in to the database");
    post.OnStatement = [](const QString &sql) { g_rec.mark(QStringLiteral("sql ") + label(sql)); };
    core::TProgramState &s = core::state();
    Link linkClient;
    core::TServerLink link(s, linkClient);
    if (!link.open(QStringLiteral("127.0.0.1"), serverPort))
        qFatal("cannot reach the server");
    s.post = &post;
    s.server = &link;
    if (!link.SendCommand(QStringLiteral("auth marieke kievitpolder47")))
        qFatal("the server refused the log-in");
    s.userName = QStringLiteral("marieke");
    s.currentTeamId = kTeam;
    Main main;
    s.main = &main;
    texts::RegisterVersionsOpener();
    platform::setCursorHook([](bool busy) {
        if (busy)
            g_rec.busySince = now();
        else
            g_rec.dbMs += now() - g_rec.busySince;
    });

    // The program as it stands before the first versions window: both panels
    // loaded, shown and painted, below a tool bar as the main window's menu
    // bar is one (what the process made once already is not the window's).
    QWidget window;
    auto *outer = new QVBoxLayout(&window);
    auto *bar = new QToolBar(&window);
    bar->addAction(QStringLiteral("&Redactie"));
    outer->addWidget(bar);
    auto *layout = new QHBoxLayout;
    outer->addLayout(layout, 1);
    auto *agenda = new planning::TAgendaFrame(&window);
    Session session;
    session.todo = new planning::TTodoFrame(&window);
    layout->addWidget(agenda);
    layout->addWidget(session.todo);
    main.frames = {agenda, session.todo};
    window.resize(1200, 800);
    main.RefreshViews();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("the main window was not shown");
    QCoreApplication::processEvents();
    qApp->installEventFilter(&session.watch);

    auto print = [](const char *what, const Timing &t) {
        std::printf("%s %.3f %.3f %.3f\n", what, t.wait, t.db, t.server);
    };
    Timing open, close;
    std::vector<Mark> marks;
    openAndClose(session, kShortTodo, open, close, &marks);
    print("first-open", open);
    print("first-close", close);
    for (const Mark &m : marks)
        std::printf("mark %.3f %s\n", m.at, qPrintable(m.what));
    for (int run = 0; run < kWarmRuns; ++run) {
        openAndClose(session, kShortTodo, open, close, nullptr);
        print("open", open);
        openAndClose(session, kLongTodo, open, close, nullptr, [](texts::TVersieForm *form) {
            // A change, as an editor makes one, so the save stores a new text.
            QTest::keyClick(form->versie()->body(), Qt::Key_X);
        });
        print("long-open", open);
        print("long-close", close);
    }
    std::fflush(stdout);
    platform::setCursorHook({});
    s.main = nullptr;
    s.server = nullptr;
    s.post = nullptr;
    return 0;
}

// ---- the parent: the fixture, the children, the figures ------------------

QString paragraph(int n)
{
    return QStringLiteral("Alinea %1: de gemeenteraad van Zwaluwdorp stemt na een lange vergadering in met de "
                          "nieuwe brug over de Kievitsvaart, die in het voorjaar open moet.<hrt>")
        .arg(n);
}

bool fill(testsupport::TestDatabase &db)
{
    QString longBody;
    for (int i = 1; i <= kLongParagraphs; ++i)
        longBody += paragraph(i);
    const QString today = QStringLiteral("to_char(current_date, 'YYYYMMDD')");
    const QString sql =
        QStringLiteral(
            "insert into tblagenda (id, kort, lang, datum, tijd, redactie, bron) values"
            " (%1, 'Brug open', 'De brug gaat open.', %3, '10:30', %5, 'Gemeente'),"
            " (%2, 'Raadsverslag', 'Het verslag van de raad.', %3, '11:00', %5, '');"
            "insert into tbltodo (id, agendaid, datum, klaar, redactie, wie) values"
            " (%6, %1, %3, false, %5, 'marieke'), (%7, %2, %3, false, %5, 'marieke');"
            "insert into tblteksten (id, kop, body, datum, tijd, agendaid, template, extra, klok, wie) values"
            " (9201, 'Brug gaat open', 'De brug gaat morgen open.<hrt>Het verkeer kan er dan over.<br>', %3, "
            "  '09:00', %1, 1, 'auteur:\"Marieke\"', '', 1),"
            " (9202, 'Raadsverslag', '%4', %3, '09:00', %2, 1, 'auteur:\"Marieke\"', '', 1);"
            "analyze")
            .arg(kShortAgenda)
            .arg(kLongAgenda)
            .arg(today, longBody)
            .arg(kTeam)
            .arg(kShortTodo)
            .arg(kLongTodo);
    if (!db.exec(sql)) {
        std::fprintf(stderr, "bench_versions: fill: %s\n", qPrintable(db.lastError()));
        return false;
    }
    return true;
}

struct Figures {
    std::vector<double> wait, db, server;
    void add(const QStringList &f)
    {
        wait.push_back(f.value(1).toDouble());
        db.push_back(f.value(2).toDouble());
        server.push_back(f.value(3).toDouble());
    }
    double w() const { return median(wait); }
    double d() const { return median(db); }
    double s() const { return median(server); }
};

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (app.arguments().contains(QStringLiteral("--child")))
        return child();

    qputenv("QUILLON_BUILD_DIR", QFileInfo(QStringLiteral(QUILLON_SERVER_BINARY)).absolutePath().toUtf8() + "/..");
    if (!testsupport::pgServer(15)) {
        std::fprintf(stderr, "bench_versions: PostgreSQL 15 not configured (see tests/support/TestDatabase.h)\n");
        return 1;
    }
    testsupport::TestDatabase db(15, QStringLiteral("quillon_demo"));
    if (!db.ok() || !fill(db))
        return 1;
    servertest::ServerProcess server;
    if (!server.start(&db)) {
        std::fprintf(stderr, "bench_versions: %s\n", qPrintable(server.error()));
        return 1;
    }

    Figures firstOpen, firstClose, open, longOpen, longClose;
    std::vector<std::vector<Mark>> timelines;  // of each process's first opening
    for (int p = 0; p < kProcesses; ++p) {
        QProcess c;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("BENCH_DB"), db.name());
        env.insert(QStringLiteral("BENCH_PG_HOST"), db.server().host);
        env.insert(QStringLiteral("BENCH_PG_PORT"), QString::number(db.server().port));
        env.insert(QStringLiteral("BENCH_SERVER_PORT"), QString::number(server.port()));
        c.setProcessEnvironment(env);
        c.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        c.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child")});
        if (!c.waitForFinished(300000) || c.exitStatus() != QProcess::NormalExit || c.exitCode() != 0) {
            std::fprintf(stderr, "bench_versions: child process %d failed\n", p + 1);
            return 1;
        }
        timelines.emplace_back();
        for (const QString &line : QString::fromUtf8(c.readAllStandardOutput()).split(QLatin1Char('\n'))) {
            const QStringList f = line.split(QLatin1Char(' '));
            const QString kind = f.value(0);
            if (kind == u"first-open")
                firstOpen.add(f);
            else if (kind == u"first-close")
                firstClose.add(f);
            else if (kind == u"open")
                open.add(f);
            else if (kind == u"long-open")
                longOpen.add(f);
            else if (kind == u"long-close")
                longClose.add(f);
            else if (kind == u"mark")
                timelines.back().push_back({f.value(1).toDouble(), f.mid(2).join(QLatin1Char(' '))});
        }
    }

    std::printf("versions window from the production list, demo newsroom; a short text and one of %d paragraphs; "
                "medians\n",
                kLongParagraphs);
    // The timeline of the process whose first opening took the median time;
    // each step lasts until the next one starts.
    size_t middle = 0;
    for (size_t i = 0; i < firstOpen.wait.size(); ++i)
        if (firstOpen.wait[i] == firstOpen.w())
            middle = i;
    std::printf("first opening in a process, where the time went (the median one of %d processes):\n", kProcesses);
    std::printf("  %8s %8s  %s\n", "at ms", "takes ms", "step");
    const std::vector<Mark> &t = timelines.at(middle);
    for (size_t i = 0; i < t.size(); ++i)
        std::printf("  %8.1f %8.1f  %s\n", t[i].at, (i + 1 < t.size() ? t[i + 1].at : t[i].at) - t[i].at,
                    qPrintable(t[i].what));
    auto line = [](const char *what, const Figures &f) {
        std::printf("%-52s waited %8.1f ms, database %6.1f ms, server %5.1f ms\n", what, f.w(), f.d(), f.s());
    };
    line("first opening in a process (double click to painted):", firstOpen);
    line("its closing (\"&Opslaan\" to the production list):", firstClose);
    line("later openings of the short text:", open);
    line("opening the long text:", longOpen);
    line("closing the long text, changed:", longClose);
    const double wait = firstOpen.w() + longClose.w(), database = firstOpen.d() + longClose.d();
    std::printf("versions window wait/database (first opening and closing the long text): %.2f\n", wait / database);
    return 0;
}
