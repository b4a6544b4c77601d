// The publishing window against a fresh copy of the demo newsroom, a real
// quillon-server and a real FTP server on loopback, with two clients:
// joost, who holds the final-editor role, and fatima, who does not. Every
// statement and command of both goes into one recording.
//
// The road of a topic from the ready list on: a ready version goes into the
// rubric "Nieuws" through the ready list's ">" button, joost publishes the
// rubric, the window shows the server's progress (also after it was closed
// and opened again during the run), the FTP server receives the page file
// built from the demo's export template with the text in it, and fatima's
// cycle reloads.

#include "support/DeskClients.h"
#include "support/FtpServer.h"
#include "support/Modal.h"
#include "support/ScriptedDialogs.h"
#include "support/ServerProcess.h"

#include "core/Dates.h"
#include "core/Registry.h"
#include "output/CyclusFrame.h"
#include "output/CyclusLogic.h"
#include "output/CyclusPrinter.h"
#include "output/PublishForm.h"
#include "planning/KlaarFrame.h"
#include "platform/Settings.h"
#include "views/DragList.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace core;
using output::TPublish;
using platform::BoxType;
using platform::ModalResult;
using testsupport::DeskClient;

namespace {
const QDate kToday(2031, 3, 12);

QStringList names(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text() + (list->item(i)->checkState() == Qt::Checked ? "*" : "");
    return out;
}

QListWidgetItem *itemNamed(QListWidget *list, const QString &name)
{
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text() == name)
            return list->item(i);
    return nullptr;
}
}  // namespace

class TestPublishWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void columnsAndJobLists();
    void fromTheReadyListToTheFtpServer();
    void refusedWithoutTheRole();
    void printBlocks_data();
    void printBlocks();
    void printRubricsToPdf();

private:
    // Polls as the client's timer would, until the window saw "klaar".
    bool pollUntilDone(DeskClient &c, const TPublish &w);

    std::unique_ptr<testsupport::TestDatabase> m_db;
    servertest::ServerProcess m_server;
    servertest::FtpServer m_ftp;
    QTemporaryDir m_dir;
    QStringList m_log;
    std::unique_ptr<DeskClient> m_joost;
    std::unique_ptr<DeskClient> m_fatima;
    std::unique_ptr<testsupport::MainRecorder> m_main;
};

void TestPublishWindow::initTestCase()
{
    QUILLON_REQUIRE_PG(15);
    QVERIFY2(m_ftp.start(QStringLiteral("kabelkrant"), QStringLiteral("teletekst")), qPrintable(m_ftp.error()));
    QVERIFY(QDir(m_ftp.root()).mkpath(QStringLiteral("paginas")));
    m_db = std::make_unique<testsupport::TestDatabase>(15, QStringLiteral("quillon_demo"));
    QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
    // Sport is in both published programmes; the cable newspaper goes to the
    // FTP server, the website through the demo's Batch target.
    QVERIFY(m_db->exec(QStringLiteral("insert into tblzenderrubriek values (2, 2);"
                                      "update tbldoel set module = 'Ftp', settings = 'host:\"127.0.0.1:%1\":"
                                      "username:\"kabelkrant\":password:\"teletekst\":initialdir:\"paginas\"' "
                                      "where id = 1")
                           .arg(m_ftp.port())));
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("uit/doel/website")));
    const QString publish = QStringLiteral("[publish]\ntemplates = %1/sql/exporttemplates\noutput = %2\n")
                                .arg(qEnvironmentVariable("QUILLON_SOURCE_DIR"), m_dir.filePath(QStringLiteral("uit")));
    QVERIFY2(m_server.start(m_db.get(), QString(), publish), qPrintable(m_server.error()));
    platform::setSettingsFolder(m_dir.filePath(QStringLiteral("settings")));
    setClock([] { return QDateTime(kToday, QTime(9, 41, 7)); });
    TProgramState &s = state();
    s.currentTeamId = 1;
    s.workDate = kToday;
    m_fatima = std::make_unique<DeskClient>(m_log);
    QVERIFY(m_fatima->login(*m_db, m_server.port(), "fatima", "eksterduin51"));
    m_joost = std::make_unique<DeskClient>(m_log);
    QVERIFY(m_joost->login(*m_db, m_server.port(), "joost", "merelhaag82"));
    QVERIFY(m_joost->link->SendCommand("eindredacteur 1"));
    m_joost->finalEditor = true;
    m_joost->administrator = true;  // for the job list menu
    m_joost->activate();
    m_main = std::make_unique<testsupport::MainRecorder>(m_log);
    s.main = m_main.get();
    registry().clear();
}

void TestPublishWindow::cleanupTestCase()
{
    registry().clear();
    setClock({});
    TProgramState &s = state();
    s.main = nullptr;
    s.post = nullptr;
    s.server = nullptr;
    m_joost.reset();
    m_fatima.reset();
}

bool TestPublishWindow::pollUntilDone(DeskClient &c, const TPublish &w)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 30000 && !w.progress().done) {
        c.link->SendCommand(QStringLiteral("poll"));
        QTest::qWait(50);
    }
    return w.progress().done;
}

void TestPublishWindow::columnsAndJobLists()
{
    testsupport::ScriptedDialogs dialogs;
    m_log.clear();
    auto *w = new TPublish;
    QCOMPARE(TPublish::current(), w);
    QCOMPARE(w->pages()->currentIndex(), 0);
    QVERIFY(w->findChild<QPushButton *>("Button4")->isEnabled());
    QCOMPARE(w->columns().size(), 2);
    QCOMPARE(names(w->columns()[0]), QStringList({"Agenda", "Nieuws", "Sport", "Weer en verkeer"}));
    QCOMPARE(names(w->columns()[1]), QStringList({"Sport", "Sport online", "Voorpagina"}));
    QCOMPARE(names(w->standaard()), QStringList({"Hele kabelkrant", "Website"}));

    // A rubric in two columns: checked in both, sent once.
    w->ListClick(w->columns()[1], itemNamed(w->columns()[1], "Sport"));
    QCOMPARE(names(w->columns()[0]).filter("*"), QStringList({"Sport*"}));
    QCOMPARE(w->Selection(), QStringLiteral(" 2 "));
    // A job list checks its rubrics; unchecking it unchecks them all, also
    // the one that was checked by hand before.
    w->standaardClick(itemNamed(w->standaard(), "Website"));
    QCOMPARE(w->Selection(), QStringLiteral(" 2 6 5 "));
    w->standaardClick(itemNamed(w->standaard(), "Website"));
    QCOMPARE(w->Selection(), QStringLiteral(" 2 "));
    w->standaardClick(itemNamed(w->standaard(), "Hele kabelkrant"));
    QCOMPARE(w->Selection(), QStringLiteral(" 3 1 2 4 "));
    w->standaardClick(itemNamed(w->standaard(), "Hele kabelkrant"));
    QCOMPARE(w->Selection(), QStringLiteral(" "));
    w->ListClick(w->columns()[0], itemNamed(w->columns()[0], "Nieuws"));

    // Saving through the "..." menu; the first job list in name order (the
    // station's standard selection) can be neither changed nor deleted, the
    // others can.
    w->show();
    auto choose = [w](Qt::Key key) {
        QTest::mouseClick(w->findChild<QPushButton *>("Button4"), Qt::LeftButton);
        auto *menu = w->findChild<QMenu *>("PopupMenu1");
        QTRY_VERIFY(menu->isVisible());
        QTest::keyClick(menu, key);
    };
    m_log.clear();
    dialogs.expectInput("Naam van de joblist", "Jan's nieuws");
    choose(Qt::Key_O);
    QCOMPARE(names(w->standaard()), QStringList({"Hele kabelkrant", "Jan's nieuws", "Website"}));
    w->standaard()->setFocus();
    QTest::keyClick(w->standaard(), Qt::Key_Home);
    QCOMPARE(w->standaard()->currentRow(), 0);
    choose(Qt::Key_W);
    choose(Qt::Key_V);
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
    QCOMPARE(names(w->standaard()), QStringList({"Hele kabelkrant", "Jan's nieuws", "Website"}));
    w->standaard()->setCurrentRow(1);
    dialogs.expectInput("Naam van de joblist", "Kabelkrant");
    choose(Qt::Key_W);
    w->standaard()->setCurrentRow(1);
    dialogs.expectBox(BoxType::Confirmation, "Joblist verwijderen?", ModalResult::Ok);
    choose(Qt::Key_V);
    QCOMPARE(names(w->standaard()), QStringList({"Hele kabelkrant", "Website"}));
    QCOMPARE(m_log.filter(QRegularExpression("^sql (insert|update|delete|select id,naam from tbldefault)")),
             QStringList({"sql insert into tbldefaultjoblist (naam,rubs,redactieid) values ('Jan\\'s nieuws',' 1 ',1)",
                          "sql select id,naam from tbldefaultjoblist where redactieid = 1 order by naam",
                          "sql update tbldefaultjoblist set naam = 'Kabelkrant', rubs = ' 1 ' where id = 4",
                          "sql select id,naam from tbldefaultjoblist where redactieid = 1 order by naam",
                          "sql delete from tbldefaultjoblist where id = 4",
                          "sql select id,naam from tbldefaultjoblist where redactieid = 1 order by naam"}));
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));

    // The user cannot switch pages; "Sluiten" on "Instellen" discards.
    w->pages()->setCurrentIndex(1);
    QCOMPARE(w->pages()->currentIndex(), 0);
    w->Button1Click();
    QTRY_VERIFY(!TPublish::current());
}

void TestPublishWindow::fromTheReadyListToTheFtpServer()
{
    testsupport::ScriptedDialogs dialogs;
    QVERIFY(m_db->exec("insert into tblagenda (id, kort, datum, redactie) values (9001, 'Brug', '20310312', 1);"
                       "insert into tbltodo (id, agendaid, datum, klaar, redactie, wie) values"
                       " (9501, 9001, '20310312', true, 1, 'fatima');"
                       // On air at every moment: only texts on air are published.
                       "insert into tblteksten (id, agendaid, kop, template, paginacount, body, datum, tijd, wie, klok)"
                       " values (9101, 9001, 'Brug gaat open', 3, 1, 'De brug<br>gaat morgen open<hrt>',"
                       " '20310312', '09:30', 4, '20000101ÿ29991231ÿ00:00:00ÿ23:59:59ÿ00:00:00ÿ24:00:00ÿxxxxxxxÿ')"));
    platform::WriteSetting("Programma", "1");
    platform::WriteSetting("CyclusRubriek", "1");
    planning::TKlaarFrame::setLastDaysBack(0);
    m_joost->activate();

    // Into the rubric through the ready list's ">" button.
    planning::TKlaarFrame klaar;
    klaar.frameMessage(FRAME_ACTIVATE, 0, 0);
    output::TCyclusFrame cycle;
    cycle.frameMessage(FRAME_ACTIVATE, 0, 0);
    m_main->right = &cycle;
    QCOMPARE(cycle.currentRubric(), 1);
    for (int i = 0; i < klaar.versiebox()->count(); ++i)
        if (klaar.versiebox()->item(i)->text().contains("Brug gaat open")) {
            klaar.versiebox()->item(i)->setSelected(true);
            klaar.versiebox()->setCurrentRow(i, QItemSelectionModel::NoUpdate);
        }
    klaar.frameMessage(FRAME_MOVE_RIGHT, 0, 0);
    QTRY_VERIFY(m_db->query("select txt from tblrubriek where id = 1 and not onair")[0][0].contains("9101"));
    m_main->right = nullptr;

    // Publish the rubric, close the window during the run.
    auto *w = new TPublish;
    w->ListClick(w->columns()[0], itemNamed(w->columns()[0], "Nieuws"));
    m_log.clear();
    w->Button2Click();
    QVERIFY(m_log.contains("cmd publiceer  1 "));
    QCOMPARE(w->pages()->currentIndex(), 1);
    w->close();
    QCOMPARE(TPublish::current(), w);  // hidden, still receiving
    QVERIFY(pollUntilDone(*m_joost, *w));
    QVERIFY2(w->progress().files == QStringList({"4 Kabelkrant nieuws"}), qPrintable(w->progress().log.join("\n")));
    QCOMPARE(w->progress().bar1, 1);
    QCOMPARE(w->progress().bar3, 1);
    QVERIFY(w->progress().log.contains("<bold><green>Klaar met publiceren<normal><black>..."));

    // Opening again shows the run as it went on, on "Voortgang".
    bool seen = false;
    testsupport::onModal([&](QWidget *modal) {
        seen = modal == w && w->pages()->currentIndex() == 1 && w->ListBox1()->count() == 1 &&
               w->ListBox1()->item(0)->text() == "4 Kabelkrant nieuws" &&
               w->findChild<QWidget *>("Animate1")->property("animation") == "ANIKLAAR";
        w->findChild<QPushButton *>("Button3")->click();
    });
    output::OpenPublish();
    QVERIFY(seen);
    QTRY_VERIFY(!TPublish::current());  // finished: discarded

    // The FTP server got the page file with the text; the on-air copy holds it.
    QFile page(m_ftp.root() + "/paginas/nieuws.txt");
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(page.readAll());
    QVERIFY2(text.startsWith("Nieuws - Kabelkrant - ") && text.contains("=== Brug gaat open ===\n") &&
                 text.contains("\nDe brug\ngaat morgen open\n"),
             qPrintable(text));
    QVERIFY(m_db->query("select txt from tblrubriek where id = 1 and onair")[0][0].contains("9101"));
    m_fatima->activate();
    m_log.clear();
    QVERIFY(m_fatima->link->SendCommand("poll"));
    QVERIFY(m_fatima->link->SendCommand("poll"));
    m_joost->activate();

    // The dry run now shows the file as delivered; its view is the difference.
    QStringList opened;
    registry().registerOpener<ViewTextRequest>([&](const ViewTextRequest &r) {
        opened << r.caption + "\n" + r.markup;
        return std::monostate{};
    });
    auto *again = new TPublish;
    again->ListClick(again->columns()[0], itemNamed(again->columns()[0], "Nieuws"));
    again->Button5Click();
    QCOMPARE(again->voorbeeld()->count(), 1);
    QVERIFY2(again->voorbeeld()->item(0)->text().startsWith("Kabelkrant nieuws ("),
             qPrintable(again->voorbeeld()->item(0)->text()));
    again->voorbeeld()->setCurrentRow(0);
    again->voorbeeldDblClick();
    QCOMPARE(opened.size(), 1);
    QVERIFY2(opened[0].startsWith("Voorbeeld: Kabelkrant nieuws\n<bold>Kabelkrant nieuws<normal>\nVerschil met") &&
                 opened[0].contains("<black>  === Brug gaat open ==="),
             qPrintable(opened[0]));
    again->Button1Click();
    QTRY_VERIFY(!TPublish::current());
    registry().clear();
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
}

void TestPublishWindow::refusedWithoutTheRole()
{
    m_fatima->activate();
    auto *w = new TPublish;
    w->Button2Click();
    QVERIFY(!w->progress().busy);
    QVERIFY(w->findChild<QWidget *>("Animate1")->property("playing") == false);
    QCOMPARE(w->progress().log.last(),
             QStringLiteral("<bold><red>Publiceren mislukt: de server heeft de opdracht geweigerd<normal><black>"));
    w->close();
    QTRY_VERIFY(!TPublish::current());
    m_joost->activate();
}

void TestPublishWindow::printBlocks_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<int>("pageLength");
    QTest::addColumn<QString>("lines");  // joined by '|'
    QString twelve;
    for (int i = 1; i <= 12; ++i)
        twelve += QString::number(i) + (i % 2 ? "<br>" : "<HRT>");
    QTest::newRow("twelve lines, pages of 5") << twelve << 5 << "1|2|3|4|5||6|7|8|9|10||11|12";
    QTest::newRow("exactly one page: no empty last line") << "a<br>b<hrt>" << 2 << "a|b";
    QTest::newRow("the editor's escaped <") << "a <\u2264> b<hrt>" << 200 << "a < b";
    QTest::newRow("trimmed") << "<hrt>  a<br>b  <hrt><hrt>" << 200 << "a|b";
}

void TestPublishWindow::printBlocks()
{
    QFETCH(QString, body);
    QFETCH(int, pageLength);
    QFETCH(QString, lines);
    QCOMPARE(output::PrintBlockLines(body, pageLength).join('|'), lines);
}

// "&Afdrukken" with "Nee": every rubric of the programme, each its own job
// (its own PDF without a printer), in name order; the page blocks follow the
// template's page length, also for a text after it whose template sets none.
void TestPublishWindow::printRubricsToPdf()
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    qputenv("QUILLON_PRINT_PDF", QFile::encodeName(m_dir.filePath("afdruk.pdf")));
    output::TCyclusPrinter::setStatusPause(0);
    QString twelve;
    for (int i = 1; i <= 12; ++i)
        twelve += QStringLiteral("Regel %1<br>").arg(i);
    QVERIFY(m_db->exec(QStringLiteral("update tbltemplate set editor = 'pagelength=5;' where id = 3;"
                                      "insert into tblteksten (id, agendaid, kop, template, body, datum, tijd, wie)"
                                      " values (9201, -1, 'Lang bericht', 3, '%1', '20310312', '09:30', 4),"
                                      " (9202, -1, 'Zonder lengte', -1, 'Een<br>Twee<br>Drie<br>Vier<br>Vijf<br>Zes',"
                                      " '20310311', '08:00', -1);"
                                      "update tblrubriek set txt = '9201\u00ff9202\u00ff' where id = 3 and not onair;"
                                      "update tblrubriek set txt = '' where id = 4 and not onair")
                           .arg(twelve)));
    m_joost->activate();
    platform::WriteSetting("Programma", "1");
    platform::WriteSetting("CyclusRubriek", "3");
    output::TCyclusFrame cycle;
    cycle.frameMessage(FRAME_ACTIVATE, 0, 0);
    testsupport::ScriptedDialogs dialogs;
    dialogs.expectBox(BoxType::Confirmation, "Alleen de actieve rubriek afdrukken?", ModalResult::No);
    dialogs.expectPrint();
    cycle.Print();
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
    auto pdf = [](const QString &file) {
        QProcess p;
        p.start("pdftotext", {"-layout", file, "-"});
        p.waitForFinished(10000);
        QStringList lines;
        for (const QString &l : QString::fromUtf8(p.readAllStandardOutput()).split('\n'))
            lines << l.simplified();
        return lines.join('|');
    };
    // Kabelkrant's rubrics by name: Agenda, Nieuws, Sport, Weer en verkeer.
    const QString agenda = pdf(m_dir.filePath("afdruk.pdf"));
    QVERIFY2(agenda.startsWith("Rubriek: Agenda wo 12 mrt 2031 09:41|"), qPrintable(agenda));
    // Lines of one block follow each other; the empty line between blocks
    // shows as two empty text lines (the printer's line pitch is 1.5).
    QVERIFY2(agenda.contains("Lang bericht||Regel 1|Regel 2|Regel 3|Regel 4|Regel 5|||Regel 6|Regel 7|Regel 8|Regel 9|"
                             "Regel 10|||Regel 11|Regel 12|fatima wo 12 mrt 2031 09:30|"),
             qPrintable(agenda));
    QVERIFY2(agenda.contains("Zonder lengte||Een|Twee|Drie|Vier|Vijf|||Zes|<onbekend> di 11 mrt 2031 08:00"),
             qPrintable(agenda));
    QVERIFY2(pdf(m_dir.filePath("afdruk-2.pdf")).startsWith("Rubriek: Nieuws"), "");
    QVERIFY2(pdf(m_dir.filePath("afdruk-3.pdf")).startsWith("Rubriek: Sport"), "");
    // A rubric without texts: only the header.
    const QString weer = pdf(m_dir.filePath("afdruk-4.pdf"));
    QVERIFY2(weer.startsWith("Rubriek: Weer en verkeer wo 12 mrt 2031 09:41") && !weer.contains("onbekend"),
             qPrintable(weer));
    qunsetenv("QUILLON_PRINT_PDF");
}

QTEST_MAIN(TestPublishWindow)
#include "tst_publishwindow.moc"
