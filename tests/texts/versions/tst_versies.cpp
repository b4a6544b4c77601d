// The production list and the versions window against a fresh copy of the
// demo newsroom and a real quillon-server. Every statement (OnStatement) and
// every server command (the link's traffic log) of a client goes into one
// recording, so the tests compare what was really sent, in its order.
//
// The fixture works in team 8 ("Onderzoek") with the clock on Wednesday 12
// March 2031 09:41, with templates, topics and versions of its own.

#include "support/Modal.h"
#include "support/Screenshots.h"
#include "support/RecordingClient.h"
#include "support/ScriptedDialogs.h"
#include "support/ServerProcess.h"
#include "support/TestDatabase.h"

#include "core/Dates.h"
#include "core/Frame.h"
#include "core/Global.h"
#include "core/Registry.h"
#include "core/ServerLink.h"
#include "db/Postgres.h"
#include "incoming/BronImportDialog.h"
#include "incoming/BronnenFrame.h"
#include "planning/KiesRedacteurDialog.h"
#include "planning/TodoFrame.h"
#include "planning/TodoSql.h"
#include "platform/Clipboard.h"
#include "platform/Settings.h"
#include "texts/PersonalEdit.h"
#include "texts/StylePanel.h"
#include "texts/VersieForm.h"
#include "texts/VersieFrame.h"
#include "texts/VersieHistory.h"
#include "texts/VersieSql.h"
#include "texts/VersieWizard.h"
#include "views/HighlightView.h"

#include <QApplication>
#include <QClipboard>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QToolButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace core;
using namespace planning;
using namespace texts;
using platform::BoxType;
using platform::ModalResult;
using testsupport::onModal;

namespace {

const QDate kToday(2031, 3, 12);  // a Wednesday
constexpr int kTeam = 8;

using Client = testsupport::RecordingClient;

class MainRecorder : public TMainOperations {
public:
    explicit MainRecorder(QStringList &log) : m_log(log) {}
    void AddMenuButton(const QString &caption, QMenu *) override { m_log << "main add " + caption; }
    void RemoveMenuButton(const QString &caption, QMenu *) override { m_log << "main remove " + caption; }
    void RefreshViews() override { m_log << QStringLiteral("main RefreshViews"); }
    void ShowStatusLine(const QString &) override {}
    void LogStatus(const QString &) override {}

private:
    QStringList &m_log;
};

QStringList lines(QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text().split(QChar(0xFF)).mid(0, 5).join(u'|');
    return out;
}

void select(QListWidget *list, const QStringList &ids)
{
    list->clearSelection();
    for (int i = 0; i < list->count(); ++i)
        if (ids.contains(ParseTodoLine(list->item(i)->text()).todoId))
            list->item(i)->setSelected(true);
}

void focus(QListWidget *list, const QString &id)
{
    for (int i = 0; i < list->count(); ++i)
        if (ParseTodoLine(list->item(i)->text()).todoId == id)
            list->setCurrentRow(i);
}

// Picks the goal called name in an open wizard and, when given, the possibility.
void chooseGoal(TVersieWizard *w, const QString &goal)
{
    for (QRadioButton *r : w->doelen()->findChildren<QRadioButton *>())
        if (r->text() == goal)
            r->click();
}

// Clicks the version tab whose line starts with id.
void clickTab(TVersieFrame *v, int id)
{
    TVersionTabs *tabs = v->TabControl1();
    for (int i = 0; i < tabs->count(); ++i)
        if (ParseVersionLine(tabs->line(i)).id.toInt() == id)
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(i).center());
}

void clickItem(QListWidget *list, const QString &text)
{
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchEndsWith);
    QVERIFY2(found.size() == 1, qPrintable(text));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found[0]).center());
}

// Types text into w key by key, letters outside ASCII included.
void typeText(QWidget *w, const QString &text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_A, QString(c), Qt::NoModifier);
}

const QString kBody9201 = u"De brug <\u2264> de weg.<hrt>Tweede regel<br>"_qs;

}  // namespace

class TestVersies : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void productionList();
    void broadcasts_data();
    void broadcasts();
    void naarKlaar();
    void naarAgenda();
    void assigningAnEditor();
    void automaticLines();

    void openingWithoutVersions();
    void openingEditingAndSaving();
    void memoMode();
    void newVersionWithBasisAndDelete();
    void startCommands();
    void wizardSteps();
    void history();
    void printingToPdf();
    void crashBackup();
    void twoClients();
    void failedSaveKeepsTheText();
    void unreadableVersionKeepsItsText_data();
    void unreadableVersionKeepsItsText();
    void wrapWidthFollowsTheEditor();
    void sourceImport();
    void headlineLimit();
    void memoPasteIsHeldToTheLimit();
    void screenshots();

private:
    void resetFixture();
    std::unique_ptr<TTodoFrame> frame();

    std::unique_ptr<testsupport::TestDatabase> m_db;
    servertest::ServerProcess m_server;
    QTemporaryDir m_dir;
    QStringList m_log;
    std::unique_ptr<Client> m_marieke;
    std::unique_ptr<Client> m_joost;
    std::unique_ptr<MainRecorder> m_main;
    platform::MemoryClipboard m_clipboard;
};

void TestVersies::initTestCase()
{
    QUILLON_REQUIRE_PG(15);
    m_db = std::make_unique<testsupport::TestDatabase>(15, QStringLiteral("quillon_demo"));
    QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
    QVERIFY(m_db->exec("insert into tblredactie (id, naam) values (8, 'Onderzoek')"));
    QVERIFY2(m_server.start(m_db.get()), qPrintable(m_server.error()));
    platform::setSettingsFolder(m_dir.filePath(QStringLiteral("settings")));
    qputenv("TMPDIR", QFile::encodeName(m_dir.filePath(QStringLiteral("tmp"))));
    QDir().mkpath(m_dir.filePath(QStringLiteral("tmp")));
    qputenv("QUILLON_PRINT_PDF", QFile::encodeName(m_dir.filePath(QStringLiteral("afdruk.pdf"))));
    platform::setClipboard(&m_clipboard);
    setClock([] { return QDateTime(kToday, QTime(9, 41, 7)); });

    m_joost = std::make_unique<Client>(m_log);
    m_joost->tabs = {2, 0};  // the production list on the left
    QVERIFY(m_joost->login(*m_db, m_server.port(), "joost", "merelhaag82", m_server.tlsOptions()));
    m_marieke = std::make_unique<Client>(m_log);
    m_marieke->tabs = {2, 0};
    QVERIFY(m_marieke->login(*m_db, m_server.port(), "marieke", "kievitpolder47", m_server.tlsOptions()));
    m_main = std::make_unique<MainRecorder>(m_log);
    state().main = m_main.get();
    registry().clear();
    texts::RegisterVersionsOpener();
    incoming::RegisterSourceImportOpener(registry());
}

void TestVersies::cleanupTestCase()
{
    registry().clear();
    platform::setClipboard(nullptr);
    setClock({});
    TProgramState &s = state();
    s.main = nullptr;
    s.post = nullptr;
    s.server = nullptr;
    m_joost.reset();
    m_marieke.reset();
}

void TestVersies::resetFixture()
{
    QVERIFY(
        m_db->exec("delete from tblagenda where id >= 9100; delete from tbltodo where id >= 9300;"
                   "delete from tbltodoherhaal where id >= 930; delete from tblteksten where id >= 9200;"
                   "delete from tbltekstenhistorie; delete from tbltemplate where id >= 900;"
                   "delete from tblredactietemplate where redactie = 8; delete from tblklok where tekstid >= 9200"));
    QVERIFY(m_db->exec("insert into tbltemplate (id, naam, content, editor, initial, parent) values"
                       " (901, 'Radio', 'edit:spreker:Spreker:', 'width=300;pagelength=4;', "
                       "  'setkop=$agendakop$ live;startdate=1;addbody=Bron: ANP<hrt>;', -1),"
                       " (902, 'Web', '', '', '', -1),"
                       " (903, 'Web kort', 'edit:link:Link:', '', 'startdate=morgen;', 902),"
                       " (904, 'Web lang', '', '', '', 902);"
                       "insert into tblredactietemplate values (8, 901), (8, 902)"));
    QVERIFY(m_db->exec("insert into tblagenda (id, kort, lang, datum, tijd, redactie, bron) values"
                       " (9101, 'Brug open', 'De brug gaat open.', '20310312', '10:30', 8, 'Gemeente'),"
                       " (9102, 'Leeg onderwerp', '', '20310312', '11:00', 8, ''),"
                       " (9103, 'Derde', '', '20310311', '12:00', 8, ''),"
                       " (9104, 'Gisteren gepland', '', '20310311', '12:00', 8, '')"));
    QVERIFY(m_db->exec(QString::fromUtf8(
        "insert into tblteksten (id, kop, body, datum, tijd, agendaid, template, extra, klok, wie) values"
        " (9201, 'Brug gaat open', 'De brug <\u2264> de weg.<hrt>Tweede regel<br>', '20310311', '16:00', 9101, 901,"
        "  'spreker:\"Piet\"', '', 2),"
        " (9202, 'Brug web', 'Web<br>', '20310311', '16:05', 9101, 903, '', "
        "  '20310301\u00ff20310331\u00ff00:00:00\u00ff23:59:59\u00ff00:00:00\u00ff23:59:59\u00ffxxxxxxx\u00ff', 2),"
        " (9203, 'Derde kop', '', '20310311', '16:10', 9103, 902, '', '', 2)")));
    QVERIFY(m_db->exec("insert into tbltodo (id, agendaid, datum, klaar, redactie, wie) values"
                       " (9301, 9101, '20310312', false, 8, 'joost'), (9302, 9102, '20310312', false, 8, ''),"
                       " (9303, 9103, '20310312', false, 8, ''), (9304, 9104, '20310311', false, 8, ''),"
                       " (9305, 9101, '20310312', true, 8, '');"
                       "insert into tbltodoherhaal (id, kort, wie, redactie, dagen, klaar) values"
                       " (931, 'Weerbericht', 'sanne', 8, '---x---', false),"
                       " (932, 'Zondagsdienst', '', 8, 'x------', false),"
                       " (933, 'Al klaar', '', 8, '---x---', true)"));
    QVERIFY(m_db->exec("select setval('tblteksten_id_seq', 20000, false)"));
}

void TestVersies::init()
{
    resetFixture();
    m_marieke->activate();
    state().currentTeamId = kTeam;
    state().versionFormOpen = false;
    TVersieFrame::DeleteBackup();
    m_log.clear();
}

std::unique_ptr<TTodoFrame> TestVersies::frame()
{
    auto f = std::make_unique<TTodoFrame>();
    f->resize(600, 300);
    f->frameMessage(FRAME_REFRESH, 0, 0);
    m_log.clear();
    return f;
}

// Today's topics of the team, not ready, and the automatic items of
// Wednesday; another day's topic, a ready one and Sunday's item stay out.
void TestVersies::productionList()
{
    auto f = frame();
    QCOMPARE(lines(f->ListBox1()),
             QStringList({"9301|9101|20310312|joost|Brug open", "9303|9103|20310311||Derde",
                          "9302|9102|20310312||Leeg onderwerp", "931|-1|20310312|sanne|Weerbericht"}));
    QVERIFY(f->frameMessage(FRAME_ACTIVATE, 0, 0));
    QVERIFY(f->frameMessage(FRAME_DEACTIVATE, 0, 0));
    QVERIFY(!f->frameMessage(FRAME_SAVE, 0, 0));
    QCOMPARE(m_log, QStringList({"main add &Productielijst", "main remove &Productielijst"}));
}

void TestVersies::broadcasts_data()
{
    QTest::addColumn<QString>("sql");  // run between the load and the message
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("ids");  // production ids afterwards
    const QStringList base = {"9301", "9303", "9302", "931"};
    QTest::newRow("new goes on top") << "insert into tbltodo (id, agendaid, datum, redactie) values (9310, 9104, "
                                        "'20310312', 8)"
                                     << "new 9310" << QStringList{"9310"} + base;
    QTest::newRow("hnew of an item not for today adds nothing") << ""
                                                                << "hnew 932" << base;
    QTest::newRow("update in place") << "update tbltodo set wie = 'daan' where id = 9303"
                                     << "update 9303" << base;
    QTest::newRow("update whose fetch is empty leaves the line") << "update tbltodo set redactie = 1 where id = 9303"
                                                                 << "update 9303" << base;
    QTest::newRow("remove") << ""
                            << "remove 9302" << QStringList{"9301", "9303", "931"};
    QTest::newRow("an id that is no number never reaches the database") << ""
                                                                        << "new 1 or 1=1" << base;
}

void TestVersies::broadcasts()
{
    QFETCH(QString, sql);
    QFETCH(QString, message);
    QFETCH(QStringList, ids);
    auto f = frame();
    if (!sql.isEmpty())
        QVERIFY(m_db->exec(sql));
    f->serverMessage(message);
    QStringList got;
    for (int i = 0; i < f->ListBox1()->count(); ++i)
        got << ParseTodoLine(f->ListBox1()->item(i)->text()).todoId;
    QCOMPARE(got, ids);
    if (message == "update 9303" && sql.contains("daan"))
        QCOMPARE(ParseTodoLine(f->ListBox1()->item(1)->text()).wie, QString("daan"));
    if (message.endsWith("1=1"))
        QVERIFY(m_log.isEmpty());
}

// Three topics, one without versions: two move, one warning names the empty one.
void TestVersies::naarKlaar()
{
    testsupport::ScriptedDialogs dialogs;
    dialogs.expectBox(BoxType::Warning, "Onderwerp \"Leeg onderwerp\" is leeg, maak eerst versies aan!");
    auto f = frame();
    select(f->ListBox1(), {"9301", "9302", "9303", "931"});
    QVERIFY(f->frameMessage(FRAME_MOVE_RIGHT, 0, 0));
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
    QCOMPARE(
        m_log,
        QStringList({"sql select count(*) from tblteksten where agendaid =  9101",
                     "sql update tbltodo set klaar = true where id = 9301",
                     "sql select count(*) from tblteksten where agendaid =  9103",
                     "sql update tbltodo set klaar = true where id = 9303",
                     "sql select count(*) from tblteksten where agendaid =  9102",
                     "sql update tbltodoherhaal set klaar = true where id = 931", "cmd broadcast todo remove 9301",
                     "cmd broadcast klaar new 9301", "cmd broadcast todo remove 9303", "cmd broadcast klaar new 9303",
                     "cmd broadcast todo remove 931", "cmd broadcast klaar hnew 931", "main RefreshViews"}));
    QCOMPARE(m_db->query("select id from tbltodo where klaar and id in (9301, 9302, 9303) order by id"),
             QList<QStringList>({{"9301"}, {"9303"}}));
}

void TestVersies::naarAgenda()
{
    auto f = frame();
    select(f->ListBox1(), {"9302", "931"});
    QTest::keyRelease(f->ListBox1(), Qt::Key_Left, Qt::ControlModifier);
    QCOMPARE(m_log, QStringList({"sql delete from tbltodo where id = 9302", "cmd broadcast todo remove 9302",
                                 "cmd broadcast agenda new 9102", "main RefreshViews"}));
}

void TestVersies::assigningAnEditor()
{
    auto f = frame();
    select(f->ListBox1(), {"9302", "931"});
    QStringList shown;
    onModal([&](QWidget *w) {
        auto *d = qobject_cast<TKiesRedacteurDialog *>(w);
        QVERIFY(d);
        shown << d->windowTitle() << d->ComboBox1()->currentText() << d->stat()->text();
        d->ComboBox1()->setCurrentText("marieke");
        shown << d->stat()->text();
        m_log.clear();
        d->Button1()->click();
    });
    QTest::keyClick(f->ListBox1(), Qt::Key_Space);
    // daan is first and not logged in; marieke is.
    QCOMPARE(shown, QStringList({"Kies redacteur", "daan", "offline", "online"}));
    QCOMPARE(
        m_log,
        QStringList({"sql update tbltodo set wie = 'marieke' where id = 9302", "cmd broadcast todo update 9302",
                     "sql " + TodoFetchSql(9302, kTeam), "sql update tbltodoherhaal set wie = 'marieke' where id = 931",
                     "cmd broadcast todo hupdate 931", "sql " + TodoFetchAutomaticSql(931, kToday, kTeam)}));
    QVERIFY(lines(f->ListBox1()).contains("931|-1|20310312|marieke|Weerbericht"));
}

void TestVersies::automaticLines()
{
    testsupport::ScriptedDialogs dialogs;
    dialogs.expectBox(BoxType::Warning, "Automatische productielijst items kunnen niet geopend worden!");
    auto f = frame();
    focus(f->ListBox1(), "931");
    QTest::keyClick(f->ListBox1(), Qt::Key_Return);
    QVERIFY(!f->PopupMenu1()->findChild<QAction *>("Agendaopenen1")->isEnabled());
    focus(f->ListBox1(), "9301");
    QVERIFY(f->PopupMenu1()->findChild<QAction *>("Agendaopenen1")->isEnabled());
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
    QVERIFY(m_log.isEmpty());
}

// Without versions the wizard comes first; cancelled, no window is shown.
// Then a goal without children: Voltooien on page Doel, and the version is made.
void TestVersies::openingWithoutVersions()
{
    auto f = frame();
    focus(f->ListBox1(), "9302");
    bool basisPage = true;
    onModal([&](QWidget *w) {
        auto *wizard = qobject_cast<TVersieWizard *>(w);
        QVERIFY(wizard);
        basisPage = wizard->PageControl1()->isTabVisible(2);
        wizard->Button4()->click();
    });
    f->ListBox1DblClick();
    QVERIFY(!basisPage);
    QCOMPARE(m_log, QStringList({"cmd lock todo_9302", "sql select kort,lang,bron from tblagenda where id = 9102",
                                 "sql " + VersionListSql(9102), "sql " + GoalsSql(kTeam),
                                 "sql " + BasisVersionsSql(9102), "cmd unlock todo_9302"}));

    m_log.clear();
    QString kop;
    onModal([&](QWidget *w) {
        auto *wizard = qobject_cast<TVersieWizard *>(w);
        QVERIFY(wizard);
        chooseGoal(wizard, "Radio");
        QVERIFY(wizard->Button1()->isEnabled());
        QVERIFY(!wizard->Button2()->isEnabled());
        wizard->Button1()->click();
        onModal([&](QWidget *w2) {
            auto *form = qobject_cast<TVersieForm *>(w2);
            QVERIFY(form);
            QVERIFY(state().versionFormOpen);
            kop = form->versie()->kop()->text();
            m_log << "-- shown";
            form->Button2()->click();
        });
    });
    f->ListBox1DblClick();
    QCOMPARE(kop, QString("Leeg onderwerp live"));
    // Saved once as it stands when the new version is opened (the input
    // panel still without the template's fields), and once on closing.
    const QString save = "sql update tblteksten set kop = 'Leeg onderwerp live', body = 'Bron: ANP<hrt>', "
                         "extra = '%1', paginacount = 1 ,datum = '20310312', tijd = '09:41', wie = 1, "
                         "klok = '20310313\u00ff20310318\u00ff00:00:00\u00ff23:59:59\u00ff00:00:00\u00ff23:59:59"
                         "\u00ffxxxxxxx\u00ff' where id = 20000 ";
    const QString firstSave = save.arg(""), closingSave = save.arg("spreker:\"\"");
    const QStringList expected = {
        "cmd lock todo_9302",
        "sql select kort,lang,bron from tblagenda where id = 9102",
        "sql " + VersionListSql(9102),
        "sql " + GoalsSql(kTeam),
        "sql " + BasisVersionsSql(9102),
        "sql " + PossibilitiesSql(901),
        "sql select nextval('tblteksten_id_seq')",
        "sql select initial from tbltemplate where id = 901",
        "sql begin",
        "sql insert into tblteksten (id,agendaid,template,kop,body,wie,datum,tijd) values (20000,9102,901,"
        "'Leeg onderwerp live','Bron: ANP<hrt>',1,'20310312','09:41')",
        "sql end",
        "sql select kort,lang,bron from tblagenda where id = 9102",
        "sql " + VersionListSql(9102),
        firstSave,
        "sql select * from tblteksten where id = 20000",
        "sql select naam,content,editor from tbltemplate where id = 901",
        "sql select klok from tblteksten where id = 20000",
        "-- shown",
        closingSave,
        "main RefreshViews",
        "cmd unlock todo_9302"};
    QCOMPARE(m_log, expected);
}

void TestVersies::openingEditingAndSaving()
{
    auto f = frame();
    focus(f->ListBox1(), "9301");
    QStringList seen;
    onModal([&](QWidget *w) {
        auto *form = qobject_cast<TVersieForm *>(w);
        QVERIFY(form);
        TVersieFrame *v = form->versie();
        seen << v->kop()->text() << v->body()->StoredText() << QString::number(v->TabControl1()->count())
             << v->templateName() << QString::number(v->body()->MarginWidth())
             << QString::number(v->body()->LinesPerPage()) << QString::number(v->klokbox()->count());
        auto *spreker = v->style()->findChild<QLineEdit *>("spreker");
        seen << (spreker ? spreker->text() : "-");
        m_log << "-- shown";
        v->kop()->setText("Brug gaat morgen open");
        v->body()->setStoredText("Nieuw<hrt>");
        form->reject();  // Escape: saves too, with Cancel
    });
    f->ListBox1DblClick();
    QCOMPARE(seen, QStringList({"Brug gaat open", u"De brug <\u2264> de weg.<hrt>Tweede regel<br>"_qs, "2", "Radio",
                                "300", "4", "1", "Piet"}));
    const int shown = m_log.indexOf("-- shown");
    QCOMPARE(m_log.mid(0, shown),
             QStringList({"cmd lock todo_9301", "sql select kort,lang,bron from tblagenda where id = 9101",
                          "sql " + VersionListSql(9101), "sql select * from tblteksten where id = 9201",
                          "sql select naam,content,editor from tbltemplate where id = 901",
                          "sql select klok from tblteksten where id = 9201",
                          "sql select * from tblklok where tekstid = 9201"}));
    QCOMPARE(m_log.size(), shown + 4);
    QVERIFY(m_log.at(shown + 1).startsWith("sql update tblteksten set kop = 'Brug gaat morgen open', body = "
                                           "'Nieuw<hrt>', extra = 'spreker:\"Piet\"'"));
    QCOMPARE(m_log.mid(shown + 2), QStringList({"main RefreshViews", "cmd unlock todo_9301"}));
    // The state it replaced is kept.
    QCOMPARE(m_db->query("select tekstid, kop, wie from tbltekstenhistorie"),
             QList<QStringList>({{"9201", "Brug gaat open", "2"}}));
}

// A template in memo mode: the memo, not the editor, shows the stored body
// and is what a save stores; a version of a template without it leaves the
// memo empty and hidden, and the editor holds the text.
void TestVersies::memoMode()
{
    QVERIFY(m_db->exec("insert into tbltemplate (id, naam, content, editor, initial, parent) values"
                       " (905, 'Memo', '', 'usememo=yes;', '', -1);"
                       "update tblteksten set template = 905 where id = 9202"));
    TVersieForm form;
    TVersieFrame *v = form.versie();
    v->AgendaId = 9101;
    v->PreferredVersionId = 9202;
    v->LoadVersions();
    QVERIFY(!v->memo()->isHidden());
    QVERIFY(v->body()->isHidden());
    QCOMPARE(v->memo()->toPlainText(), QStringLiteral("Web<br>"));
    v->memo()->setPlainText(QStringLiteral("Uit het memo<hrt>"));
    QVERIFY(v->SaveVersion());
    QCOMPARE(m_db->query("select body from tblteksten where id = 9202"), QList<QStringList>({{"Uit het memo<hrt>"}}));

    TVersieForm other;
    TVersieFrame *w = other.versie();
    w->AgendaId = 9101;
    w->PreferredVersionId = 9201;
    w->LoadVersions();
    QVERIFY(w->memo()->isHidden());
    QVERIFY(w->memo()->toPlainText().isEmpty());
    QCOMPARE(w->body()->StoredText(), u"De brug <\u2264> de weg.<hrt>Tweede regel<br>"_qs);
}

void TestVersies::newVersionWithBasisAndDelete()
{
    testsupport::ScriptedDialogs dialogs;
    dialogs.expectBox(BoxType::Confirmation, "Versie \"Brug web\" verwijderen?", ModalResult::Yes);
    TVersieForm form;
    TVersieFrame *v = form.versie();
    v->AgendaId = 9101;
    v->PreferredVersionId = 9202;
    v->LoadVersions();
    QCOMPARE(v->currentVersionId(), 9202);
    QCOMPARE(v->klokbox()->count(), 1);
    m_log.clear();
    onModal([&](QWidget *w) {
        auto *wizard = qobject_cast<TVersieWizard *>(w);
        QVERIFY(wizard);
        chooseGoal(wizard, "Web");
        wizard->Button2()->click();
        QCOMPARE(wizard->PageControl1()->currentIndex(), 1);
        wizard->mogelijkheden()->findChildren<QRadioButton *>().at(1)->click();  // "Web lang"
        wizard->Button2()->click();
        wizard->basis()->setCurrentRow(0);  // "Brug gaat open"
        QVERIFY(wizard->Button1()->isEnabled());
        wizard->Button1()->click();
    });
    v->ToolButton1Click();
    QCOMPARE(v->currentVersionId(), 20000);
    QCOMPARE(v->kop()->text(), QString("Brug gaat open"));
    QCOMPARE(v->TabControl1()->count(), 3);
    QCOMPARE(m_log.at(0).left(33), QString("sql update tblteksten set kop = '"));  // the version shown, saved first
    QVERIFY(m_log.at(0).endsWith("where id = 9202 "));
    QCOMPARE(
        m_log.mid(1, 9),
        QStringList({"sql " + GoalsSql(kTeam), "sql " + BasisVersionsSql(9101), "sql " + PossibilitiesSql(902),
                     "sql select nextval('tblteksten_id_seq')", "sql select kop,body from tblteksten where id = 9201",
                     "sql begin",
                     u"sql insert into tblteksten (id,agendaid,template,kop,body,wie,datum,tijd) values (20000,9101,"
                     u"904,'Brug gaat open','De brug <\u2264> de weg.<hrt>Tweede regel<br>',1,'20310312','09:41')"_qs,
                     "sql end", "sql select kort,lang,bron from tblagenda where id = 9101"}));

    // Deleting a version of three reloads; nothing of it is saved again.
    v->PreferredVersionId = 9202;
    v->LoadVersions();
    m_log.clear();
    v->ToolButton2Click();
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
    QCOMPARE(m_log.at(0), QString("sql delete from tblteksten where id = 9202"));
    QCOMPARE(m_log.filter("update tblteksten").size(), 0);
    QCOMPARE(v->TabControl1()->count(), 2);
}

void TestVersies::startCommands()
{
    testsupport::ScriptedDialogs dialogs;
    dialogs.expectBox(BoxType::Error, "'morgen' is geen geldig geheel getal");
    TVersieForm form;
    TVersieFrame *v = form.versie();
    v->AgendaId = 9101;
    v->LoadVersions();
    onModal([&](QWidget *w) {
        auto *wizard = qobject_cast<TVersieWizard *>(w);
        chooseGoal(wizard, "Web");
        wizard->Button2()->click();
        wizard->mogelijkheden()->findChildren<QRadioButton *>().at(0)->click();  // "Web kort": startdate=morgen
        wizard->Button2()->click();
        wizard->CheckBox1()->click();
        QVERIFY(!wizard->basis()->isVisible());
        wizard->Button1()->click();
    });
    m_log.clear();
    QTest::mouseClick(v->findChild<QToolButton *>("ToolButton1"), Qt::LeftButton);
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
    QVERIFY(m_log.filter("insert").isEmpty());
    QCOMPARE(m_log.last(), QString("sql select initial from tbltemplate where id = 903"));
    QCOMPARE(v->currentVersionId(), 9201);  // still shown, untouched
    QCOMPARE(v->kop()->text(), QString("Brug gaat open"));
}

void TestVersies::wizardSteps()
{
    TVersieWizard w;
    w.setAgendaId(9101);
    w.PrepareWizard();
    w.show();
    chooseGoal(&w, "Web");
    w.Button2()->click();
    w.mogelijkheden()->findChildren<QRadioButton *>().at(0)->click();
    // Every page addresses the editor as "je", as the rest of the program does.
    QStringList pageTexts;
    for (const auto *view : w.findChildren<views::THighlightView *>())
        pageTexts << view->text();
    QCOMPARE(pageTexts.size(), 3);
    static const QRegularExpression formal(QStringLiteral("\\b(u|uw)\\b"));
    for (const QString &text : pageTexts)
        QVERIFY2(!text.contains(formal), qPrintable(text));
    QVERIFY(
        pageTexts.contains("Het door jou gekozen <bold>doel<normal> bestaat uit verschillende mogelijkheden.\r\n\r\n"
                           "Kies nu welke mogelijkheid je gaat gebruiken."));
    w.Button3()->click();  // back to Doel, and another goal without children
    chooseGoal(&w, "Radio");
    QVERIFY(!w.PageControl1()->isTabVisible(1));
    w.Button2()->click();
    QCOMPARE(w.PageControl1()->currentIndex(), 2);
    QVERIFY(!w.Button1()->isEnabled());
    w.basis()->setCurrentRow(1);
    w.CheckBox1()->click();
    QCOMPARE(w.Basis(), -1);
    w.CheckBox1()->click();  // unchecked: the list's version again
    QVERIFY(w.basis()->isVisible());
    QCOMPARE(w.Basis(), 9202);
    w.Button1()->click();
    QCOMPARE(w.Template(), 901);
}

// Every change is kept; the history lists it and puts it back as a save.
void TestVersies::history()
{
    TVersieForm form;
    TVersieFrame *v = form.versie();
    v->AgendaId = 9101;
    v->LoadVersions();
    v->kop()->setText("Tweede kop");
    QVERIFY(v->SaveVersion());
    QVERIFY(v->SaveVersion());  // unchanged: nothing kept
    v->kop()->setText("Derde kop");
    QVERIFY(v->SaveVersion());
    QCOMPARE(m_db->query("select kop from tbltekstenhistorie where tekstid = 9201 order by id"),
             QList<QStringList>({{"Brug gaat open"}, {"Tweede kop"}}));
    onModal([&](QWidget *w) {
        auto *h = qobject_cast<TVersieHistory *>(w);
        QVERIFY(h);
        QCOMPARE(h->stateCount(), 2);
        QVERIFY(h->lijst()->item(1)->text().endsWith("marieke  Brug gaat open") ||
                h->lijst()->item(1)->text().contains("Brug gaat open"));
        h->lijst()->setCurrentRow(1);
        QVERIFY(h->view()->text().contains("De brug &#60; de weg."));
        h->Terugzetten()->click();
    });
    v->EerdereVersiesClick();
    QCOMPARE(v->kop()->text(), QString("Brug gaat open"));
    QCOMPARE(m_db->query("select kop from tblteksten where id = 9201"), QList<QStringList>({{"Brug gaat open"}}));
    QCOMPARE(m_db->query("select count(*) from tbltekstenhistorie where tekstid = 9201"), QList<QStringList>({{"3"}}));
    // Bounded: the newest 25 states are kept.
    for (int i = 0; i < 30; ++i)
        QVERIFY(m_db->exec(QString("update tblteksten set kop = 'k%1' where id = 9201").arg(i)));
    QCOMPARE(m_db->query("select count(*), max(kop) from tbltekstenhistorie where tekstid = 9201"),
             QList<QStringList>({{"25", "k9"}}));
}

void TestVersies::printingToPdf()
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    testsupport::ScriptedDialogs dialogs;
    dialogs.expectPrint();
    TVersieForm form;
    TVersieFrame *v = form.versie();
    v->AgendaId = 9101;
    v->LoadVersions();
    v->ToolButton9Click();
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
    QProcess p;
    p.start("pdftotext", {"-layout", m_dir.filePath("afdruk.pdf"), "-"});
    QVERIFY(p.waitForFinished(10000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    QVERIFY2(text.contains("Brug gaat open"), qPrintable(text));
    QVERIFY2(text.contains("De brug < de weg."), qPrintable(text));
    QVERIFY2(text.contains("Tweede regel"), qPrintable(text));
}

// A backup left by a crash: the message, its text on the clipboard, the file gone.
void TestVersies::crashBackup()
{
    testsupport::ScriptedDialogs dialogs;
    dialogs.expectBox(BoxType::Information,
                      "Een reserve-kopie is aangetroffen, waarschijnlijk omdat het programma de vorige keer was "
                      "vastgelopen. \nDe inhoud is in het klembord gezet!\nKies 'plakken' om de tekst terug te "
                      "halen...");
    {
        QFile f(TVersieFrame::BackupPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QString::fromUtf8("Eerste<br>regel<hrt>a <\u2264> b<br>").toUtf8());
    }
    TVersieForm form;
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
    QCOMPARE(m_clipboard.text(), QString("Eersteregel\ra < b"));
    QVERIFY(!QFile::exists(TVersieFrame::BackupPath()));
    // Typing writes it after the pause; the window's end removes it.
    form.versie()->body()->setStoredText("Getypt<br>");
    form.versie()->saveguardtimer()->setInterval(1);
    form.versie()->saveguardtimer()->start();
    QTRY_VERIFY(QFile::exists(TVersieFrame::BackupPath()));
}

// joost holds the topic: marieke is refused with his name. Her list follows
// his moves after her poll.
void TestVersies::twoClients()
{
    testsupport::ScriptedDialogs dialogs;
    dialogs.expectBox(BoxType::Information, "Onderwerp geopend door joost!");
    auto hers = frame();
    m_marieke->left = hers.get();
    m_joost->activate();
    TTodoFrame his;
    his.frameMessage(FRAME_REFRESH, 0, 0);
    focus(his.ListBox1(), "9301");
    onModal([&](QWidget *w) {
        auto *form = qobject_cast<TVersieForm *>(w);
        QVERIFY(form);
        m_marieke->activate();
        focus(hers->ListBox1(), "9301");
        m_log.clear();
        hers->ListBox1DblClick();
        QCOMPARE(m_log, QStringList({"cmd lock todo_9301"}));
        m_joost->activate();
        form->Button2()->click();
    });
    his.ListBox1DblClick();
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));

    // He moves one topic on and assigns himself another.
    select(his.ListBox1(), {"9303"});
    his.NaarKlaar();
    m_marieke->activate();
    QCOMPARE(hers->ListBox1()->count(), 4);  // not yet
    m_marieke->link->startPolling();
    QTRY_COMPARE_WITH_TIMEOUT(hers->ListBox1()->count(), 3, 5000);
    m_marieke->link->stopPolling();
    m_joost->activate();
    QVERIFY(m_db->exec("insert into tbltodo (id, agendaid, datum, redactie) values (9310, 9104, '20310312', 8)"));
    m_log.clear();
    QVERIFY(SendCommand("broadcast todo new 9310"));
    m_marieke->activate();
    QVERIFY(m_marieke->link->SendCommand("poll"));
    QCOMPARE(ParseTodoLine(hers->ListBox1()->item(0)->text()).todoId, QString("9310"));
    m_marieke->left = nullptr;
}

// The database goes away under an open window: closing keeps the window,
// the text and the backup; closing anyway keeps the backup for the next start.
void TestVersies::failedSaveKeepsTheText()
{
    testsupport::ScriptedDialogs dialogs;
    const QString failed = "De versie is niet opgeslagen.\nDe tekst blijft in het venster staan; probeer het "
                           "opnieuw zodra de verbinding met de database hersteld is.";
    const QString closeAnyway = "Sluiten zonder op te slaan?\nDe tekst blijft bewaard in de reserve-kopie en staat "
                                "bij de volgende start op het klembord.";
    dialogs.expectBox(BoxType::Error, failed);
    dialogs.expectBox(BoxType::Confirmation, closeAnyway, ModalResult::No);
    dialogs.expectBox(BoxType::Error, failed);
    dialogs.expectBox(BoxType::Confirmation, closeAnyway, ModalResult::Yes);
    db::TPostgres own;
    own.setHost(m_db->server().host);
    own.setPort(m_db->server().port);
    QVERIFY(own.Open());
    own.Connect(m_db->name(), testsupport::kClientUser, testsupport::kClientPassword);
    state().post = &own;
    {
        TVersieForm form;
        form.versie()->AgendaId = 9101;
        form.versie()->LoadVersions();
        form.show();
        form.versie()->kop()->setText("Nooit opgeslagen");
        form.versie()->body()->setStoredText("Getypte tekst<br>");
        own.Close();
        form.Button2()->click();
        QVERIFY(form.isVisible());
        QCOMPARE(form.versie()->kop()->text(), QString("Nooit opgeslagen"));
        QFile backup(TVersieFrame::BackupPath());
        QVERIFY(backup.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(backup.readAll()), QString("Getypte tekst<br>"));
        form.reject();
        QVERIFY(!form.isVisible());
    }
    QVERIFY(QFile::exists(TVersieFrame::BackupPath()));
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
    QCOMPARE(m_db->query("select kop from tblteksten where id = 9201"), QList<QStringList>({{"Brug gaat open"}}));
    m_marieke->activate();
}

// Opening a version must never cost its text: a clock field that does not
// read (an old clock's empty start date, the schema's default) leaves only
// that clock unshown; anything else that stops the loading leaves the
// version unsaved, so closing writes nothing over it.
void TestVersies::unreadableVersionKeepsItsText_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("error");  // the box the loading shows; empty: none
    QTest::addColumn<QString>("klok");  // 9201's clock list after closing
    QTest::newRow("old clock with an empty start date")
        << "insert into tblklok (tekstid, einddatum) values (9201, '20310331')"
        << "" << u"\u00ff20310331\u00ff00:00:00\u00ff23:59:59\u00ff00:00:00\u00ff23:59:59\u00ffxxxxxxx\u00ff"_qs;
    QTest::newRow("input field whose value does not read")
        << "insert into tbltemplate (id, naam, content, editor, initial, parent) values "
           "(906, 'Datum', 'date:wanneer:Wanneer::', '', '', -1);"
           "update tblteksten set template = 906, extra = 'wanneer:\"morgen\"' where id = 9201"
        << "'morgen' is geen geldige datum (jjjjmmdd)"
        << "";
}

void TestVersies::unreadableVersionKeepsItsText()
{
    QFETCH(QString, sql);
    QFETCH(QString, error);
    QFETCH(QString, klok);
    QVERIFY(m_db->exec(sql));
    testsupport::ScriptedDialogs dialogs;
    if (!error.isEmpty())
        dialogs.expectBox(BoxType::Error, error);
    TVersieForm form;
    TVersieFrame *v = form.versie();
    v->AgendaId = 9101;
    v->PreferredVersionId = 9202;
    v->LoadVersions();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    clickTab(v, 9201);
    QCOMPARE(v->currentVersionId(), 9201);
    QVERIFY(v->isEnabled());
    if (error.isEmpty()) {
        QCOMPARE(v->body()->StoredText(), kBody9201);
        QCOMPARE(v->klokbox()->count(), 1);
        QCOMPARE(v->klokbox()->item(0)->text(), QString());  // drawn blank
        QVERIFY(v->kop()->isEnabled());
    } else {
        QVERIFY(!v->kop()->isEnabled());  // not what the row holds: not to be edited
    }
    m_log.clear();
    form.Button2()->click();
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
    QCOMPARE(m_db->query("select kop, body, klok from tblteksten where id = 9201"),
             QList<QStringList>({{"Brug gaat open", kBody9201, klok}}));
    if (!error.isEmpty())
        QVERIFY(m_log.filter("update tblteksten").isEmpty());
}

// Width -1: the column is the editor's width minus 40 as the window lays it
// out, from the first version shown on and after every resize, and the page
// count stored is that of this column.
void TestVersies::wrapWidthFollowsTheEditor()
{
    QString body;
    for (int i = 0; i < 12; ++i)
        body += QStringLiteral("De brug over het kanaal gaat vandaag weer open voor fietsers en wandelaars. ");
    QVERIFY(m_db->exec("insert into tbltemplate (id, naam, content, editor, initial, parent) values "
                       "(907, 'Breed', '', 'width=-1;pagelength=2;', '', -1);"
                       "update tblteksten set template = 907, body = '" +
                       body + "' where id = 9202"));
    TVersieForm form;
    form.resize(1200, 700);
    TVersieFrame *v = form.versie();
    v->AgendaId = 9101;
    v->PreferredVersionId = 9202;
    v->LoadVersions();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    TPersonalEdit *e = v->body();
    QVERIFY2(e->width() > 600, qPrintable(QString::number(e->width())));
    QCOMPARE(e->MarginWidth(), e->width() - 40);
    TBuffer narrow = e->buffer();
    narrow.setMarginWidth(260);  // what the editor measured before it was laid out
    QVERIFY(e->PageCount() < narrow.pageCount(2));
    QVERIFY(testsupport::saveScreenshot(&form, "versie_breedte.png"));

    form.resize(900, 700);
    QTRY_COMPARE(e->MarginWidth(), e->width() - 40);
    const int pages = e->PageCount();
    QVERIFY(pages > 1);
    form.Button2()->click();
    QCOMPARE(m_db->query("select paginacount from tblteksten where id = 9202"),
             QList<QStringList>({{QString::number(pages)}}));
}

// "Bron importeren": the source import dialog, an item chosen with "&Kiezen",
// and its text appended under the import mark, paragraphs and "<" kept.
void TestVersies::sourceImport()
{
    QVERIFY(m_db->exec("delete from tblnetinfo where netid = 90; delete from tblnet where id = 90;"
                       "insert into tblnet (id, naam, url, feed) values (90, 'Aa testbron', '', '');"
                       "insert into tblnetinfo (netid, datum, \"time\", kop, body, url) values (90, '20310312', "
                       "'08:00', 'Hoog water', 'Water < 2 meter.' || chr(10) || 'Tweede alinea.', '')"));
    TVersieForm form;
    TVersieFrame *v = form.versie();
    v->AgendaId = 9101;
    v->LoadVersions();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto *button = v->findChild<QToolButton *>("ToolButton8");
    QVERIFY(button->isEnabled());
    QString caption;
    onModal([&](QWidget *w) {
        auto *dialog = qobject_cast<incoming::TBronImportDialog *>(w);
        QVERIFY(dialog);
        caption = dialog->windowTitle();
        incoming::TBronnenFrame *f = dialog->BronnenFrame1();
        clickItem(f->brontypebox(), "Internet");
        clickItem(f->bronnenbox(), "Aa testbron");
        clickItem(f->itembox(), "Hoog water");
        QTest::mouseClick(dialog->findChild<QPushButton *>("Button1"), Qt::LeftButton);  // "&Kiezen"
    });
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(caption, QString("Bron importeren"));
    QCOMPARE(v->body()->buffer().text(), QString("De brug < de weg.\rTweede regel\r** Geimporteerde tekst **\r"
                                                 "Water < 2 meter.\rTweede alinea."));
    form.Button2()->click();
    QCOMPARE(m_db->query("select body from tblteksten where id = 9201"),
             QList<QStringList>({{u"De brug <\u2264> de weg.<hrt>Tweede regel<hrt>** Geimporteerde tekst **<hrt>"
                                  u"Water <\u2264> 2 meter.<hrt>Tweede alinea.<br>"_qs}}));
    QVERIFY(m_db->exec("delete from tblnetinfo where netid = 90; delete from tblnet where id = 90"));
}

// The headline keeps to the text column however it is edited: typing over
// a selection replaces it, a paste is held to the limit like typing, and
// whatever does not fit is refused with a visible sign.
void TestVersies::headlineLimit()
{
    TVersieForm form;
    form.resize(1200, 700);
    TVersieFrame *v = form.versie();
    v->AgendaId = 9101;
    v->PreferredVersionId = 9201;  // template Radio: width 300
    v->LoadVersions();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QLineEdit *kop = v->kop();
    const QFontMetrics fm(kop->font());
    const auto fits = [&](const QString &text) { return HeadlineFits(fm, text, v->body()->MarginWidth()); };
    QString full;
    while (fits(full + u'n'))
        full += u'n';
    kop->setText(full);
    kop->setFocus();
    QVERIFY(!v->kopvol()->isVisible());
    // The box ends where the headline must end.
    QVERIFY2(kop->width() < v->body()->MarginWidth() + 30, qPrintable(QString::number(kop->width())));

    QTest::keyClick(kop, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(kop, "Kort");
    QCOMPARE(kop->text(), QString("Kort"));

    // Near the limit: what is refused is signalled.
    kop->setText(full.left(full.size() - 6));
    const QString before = kop->text();
    typeText(kop, QString::fromUtf8(", met één 'maar'"));
    QVERIFY(fits(kop->text()));
    QVERIFY(kop->text() != before + QString::fromUtf8(", met één 'maar'"));
    QVERIFY(v->kopvol()->isVisible());
    QVERIFY(testsupport::saveScreenshot(&form, "versie_kop.png"));
    QTest::keyClick(kop, Qt::Key_Backspace);
    QVERIFY(!v->kopvol()->isVisible());

    // Pasting keeps the limit as typing does.
    kop->clear();
    QGuiApplication::clipboard()->setText(QString(300, u'w'));
    QTest::keyClick(kop, Qt::Key_V, Qt::ControlModifier);
    QVERIFY2(fits(kop->text()), qPrintable(kop->text()));
    QVERIFY(v->kopvol()->isVisible());
    QTest::keyClicks(kop, "Brug open");
    QCOMPARE(kop->text(), QString("Brug open"));
    form.Button2()->click();
    QCOMPARE(m_db->query("select kop from tblteksten where id = 9201"), QList<QStringList>({{"Brug open"}}));
}

// Memo mode (as the demo's website template has it): a paste into the memo
// is held to what the text editor lays out, with the warning, and the page
// count stored is that of the memo's text in the column that follows the
// memo's width, not that of the text the version was opened with.
void TestVersies::memoPasteIsHeldToTheLimit()
{
    QVERIFY(m_db->exec("insert into tbltemplate (id, naam, content, editor, initial, parent) values "
                       "(908, 'Website', '', 'usememo=yes;font=Verdana;size=10;width=-1;pagelength=40;', '', -1);"
                       "update tblteksten set template = 908 where id = 9202"));
    testsupport::ScriptedDialogs dialogs;
    dialogs.expectBox(BoxType::Warning, "De ingevoegde tekst past niet helemaal: een tekst telt hoogstens 1024 "
                                        "regels.\nWat niet past, is weggelaten.");
    TVersieForm form;
    form.resize(1200, 700);
    TVersieFrame *v = form.versie();
    v->AgendaId = 9101;
    v->PreferredVersionId = 9202;
    v->LoadVersions();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QPlainTextEdit *memo = v->memo();
    QVERIFY(!memo->isHidden());
    QCOMPARE(v->body()->MarginWidth(), memo->width() - 40);
    QString text;
    while (text.size() < 2'000'000)
        text += QStringLiteral("De raad besluit vanavond over het krediet van de fietsbrug.<hrt>");
    QGuiApplication::clipboard()->setText(text);
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
    QVERIFY(memo->toPlainText().startsWith(QStringLiteral("Web<br>De raad")));
    QVERIFY(memo->toPlainText().size() < 1'000'000);
    form.Button2()->click();
    const QList<QStringList> row = m_db->query("select paginacount, body from tblteksten where id = 9202");
    QCOMPARE(row.size(), 1);
    TBuffer laidOut = v->body()->buffer();
    laidOut.setStoredText(row[0][1]);
    QVERIFY(!laidOut.beyondLimit());
    QVERIFY(laidOut.lineCount() > 1000);
    QCOMPARE(row[0][0], QString::number(laidOut.pageCount(40)));
}

void TestVersies::screenshots()
{
    TVersieForm form;
    form.resize(1200, 700);
    TVersieFrame *v = form.versie();
    v->AgendaId = 9101;
    v->LoadVersions();
    form.show();
    QVERIFY(testsupport::saveScreenshot(&form, "versie.png"));
    v->PageControl1()->setCurrentIndex(1);
    QVERIFY(testsupport::saveScreenshot(&form, "versie_klokjes.png"));
    auto f = frame();
    select(f->ListBox1(), {"9301"});
    f->show();
    QVERIFY(testsupport::saveScreenshot(f.get(), "productielijst.png"));
    TVersieWizard w;
    w.setAgendaId(9101);
    w.PrepareWizard();
    w.show();
    chooseGoal(&w, "Web");
    QVERIFY(testsupport::saveScreenshot(&w, "versie_tovenaar.png"));
}

QTEST_MAIN(TestVersies)
#include "tst_versies.moc"
