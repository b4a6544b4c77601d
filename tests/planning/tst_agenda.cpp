// The agenda list and the agenda item editor against a fresh copy of the demo
// newsroom and a real quillon-server. Every statement (TPostgres::OnStatement)
// and every server command (the link's traffic log) of a client goes into one
// recording, so the tests compare what was really sent, in its order.
//
// The fixture works in a team of its own (8, "Onderzoek") in March 2031, with
// the clock set to Wednesday 12 March 2031 09:41: the demo's own rows, dated
// around the real today, never show up.

#include "support/Modal.h"
#include "support/NullLinkClient.h"
#include "support/Screenshots.h"
#include "support/ServerProcess.h"

#include "core/Dates.h"
#include "core/Frame.h"
#include "core/Global.h"
#include "core/Locks.h"
#include "core/Registry.h"
#include "core/ServerLink.h"
#include "db/Postgres.h"
#include "planning/AgendaForm.h"
#include "planning/AgendaFrame.h"
#include "planning/AgendaPuntFrame.h"
#include "planning/AgendaSql.h"
#include "planning/DatumForm.h"
#include "planning/TodoFrame.h"
#include "platform/Settings.h"
#include "support/RecordingClient.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>

using namespace core;
using namespace planning;
using platform::BoxType;
using platform::ModalResult;

namespace {

const QDate kToday(2031, 3, 12);  // a Wednesday
constexpr int kTeam = 8;

using Client = testsupport::RecordingClient;

// The main window's operations, recorded; RefreshViews reloads the frame as
// the main window does for its visible frames.
class MainRecorder : public TMainOperations {
public:
    explicit MainRecorder(QStringList &log) : m_log(log) {}
    void AddMenuButton(const QString &caption, QMenu *menu) override
    {
        m_log << QStringLiteral("main add ") + caption + QLatin1Char(' ') + menu->objectName();
    }
    void RemoveMenuButton(const QString &caption, QMenu *menu) override
    {
        m_log << QStringLiteral("main remove ") + caption + QLatin1Char(' ') + menu->objectName();
    }
    void RefreshViews() override
    {
        m_log << QStringLiteral("main RefreshViews");
        if (frame)
            frame->frameMessage(FRAME_REFRESH, 0, 0);
    }
    void ShowStatusLine(const QString &) override {}
    void LogStatus(const QString &) override {}
    QPointer<TFrame> frame;

private:
    QStringList &m_log;
};

using testsupport::onModal;

QStringList lines(QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// Selects the lines whose id and kind start them ("9002 normal").
void select(QListWidget *list, const QStringList &heads)
{
    list->clearSelection();
    for (int i = 0; i < list->count(); ++i)
        for (const QString &h : heads)
            if (list->item(i)->text().startsWith(h + QLatin1Char(' ')))
                list->item(i)->setSelected(true);
}

void focus(QListWidget *list, const QString &head)
{
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text().startsWith(head + QLatin1Char(' ')))
            list->setCurrentRow(i);
}

void saveScreenshot(QWidget *w, const QString &name)
{
    QVERIFY(testsupport::saveScreenshot(w, name));
}

}  // namespace

class TestAgenda : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void reloadShowsTheRange_data();
    void reloadShowsTheRange();
    void frameMessages();
    void dateCommandsAndSettings();
    void otherDateInTheCalendar();

    void savingANewItem();
    void savingAnExistingItem();
    void refusedSavesAreRolledBack();
    void valuesThatCannotBeReadBackAreRefused_data();
    void valuesThatCannotBeReadBackAreRefused();
    void loadedTime_data();
    void loadedTime();
    void missingItemStillSavesItsUpdate();
    void cancelAnsweredYesSavesOnce();
    void escapeAsksOnlyWhenSomethingWasTyped();
    void saveWithoutADatabaseKeepsTheDialog();
    void followUpWritesOnlyItsOwnLinks();
    void openingARepeatingLineTakesItUp();
    void openerPresetsAndAnswers();

    void deletingASelection();
    void deletingTellsTheListsOfItsTopic();
    void movingToProduction();
    void movingToAnotherTeam();
    void broadcasts_data();
    void broadcasts();
    void broadcastsReachEitherPanel_data();
    void broadcastsReachEitherPanel();
    void twoClients();
    void everyCommandOnScreen_data();
    void everyCommandOnScreen();
    void screenshots();

private:
    void resetFixture();
    std::unique_ptr<TAgendaFrame> frame(const QDate &workDate, int days = 0);
    QString reloadSql(const QDate &d0, int days = 0) const;

    std::unique_ptr<testsupport::TestDatabase> m_db;
    servertest::ServerProcess m_server;
    QTemporaryDir m_dir;
    QStringList m_log;  // "sql ...", "cmd ...", "main ..." of every client
    std::unique_ptr<Client> m_marieke;
    std::unique_ptr<Client> m_joost;
    std::unique_ptr<MainRecorder> m_main;
    int m_address1 = 0, m_address2 = 0;  // demo addresses
    int m_text1 = 0, m_text2 = 0;  // demo archive texts
    QList<int> m_nextChoice;  // what the scripted address book or archive chooses
};

void TestAgenda::initTestCase()
{
    QUILLON_REQUIRE_PG(15);
    m_db = std::make_unique<testsupport::TestDatabase>(15, QStringLiteral("quillon_demo"));
    QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
    QVERIFY(m_db->exec("insert into tblredactie (id, naam) values (8, 'Onderzoek'), (9, 'R&D')"));
    const auto addresses = m_db->query("select id from tblnaw order by id limit 2");
    const auto texts = m_db->query("select id from tblteksten where kop <> '' order by id limit 2");
    QVERIFY(addresses.size() == 2 && texts.size() == 2);
    m_address1 = addresses[0][0].toInt();
    m_address2 = addresses[1][0].toInt();
    m_text1 = texts[0][0].toInt();
    m_text2 = texts[1][0].toInt();
    QVERIFY2(m_server.start(m_db.get()), qPrintable(m_server.error()));
    platform::setSettingsFolder(m_dir.filePath(QStringLiteral("settings")));
    setClock([] { return QDateTime(kToday, QTime(9, 41, 7)); });

    m_joost = std::make_unique<Client>(m_log);
    QVERIFY(m_joost->login(*m_db, m_server.port(), "joost", "merelhaag82", m_server.tlsOptions()));
    m_marieke = std::make_unique<Client>(m_log);
    QVERIFY(m_marieke->login(*m_db, m_server.port(), "marieke", "kievitpolder47", m_server.tlsOptions()));
    QCOMPARE(m_marieke->userId, 1);
    m_main = std::make_unique<MainRecorder>(m_log);
    state().main = m_main.get();

    TRegistry &r = registry();
    r.clear();
    // The address book and the archive as their openers answer, with the
    // modal result and what was chosen.
    r.registerOpener<AddressBookRequest>([this](const AddressBookRequest &q) {
        m_log << QStringLiteral("open addressbook %1 %2 %3").arg(q.bookId).arg(q.contactId).arg(q.choose);
        return AddressChoice{q.choose ? 6 : 1, q.choose ? m_nextChoice.value(0, -1) : q.contactId};
    });
    r.registerOpener<ArchiveRequest>([this](const ArchiveRequest &q) {
        m_log << QStringLiteral("open archive %1").arg(q.choose);
        return ArchiveChoice{6, m_nextChoice, {}};
    });
    r.registerOpener<ViewTextRequest>([this](const ViewTextRequest &q) {
        m_log << QStringLiteral("view ") + q.caption + QLatin1Char('|') + q.markup;
        return std::monostate{};
    });
}

void TestAgenda::cleanupTestCase()
{
    registry().clear();
    setClock({});
    TProgramState &s = state();
    s.main = nullptr;
    s.post = nullptr;
    s.server = nullptr;
    m_joost.reset();
    m_marieke.reset();
}

// Team 8's agenda in March 2031, laid anew for every test.
void TestAgenda::resetFixture()
{
    QVERIFY(
        m_db->exec("delete from tblagenda where id >= 900; delete from tblagendaherhaal where id >= 900;"
                   "delete from tbltodo where id >= 900; delete from tblagendanaw where agenda >= 900;"
                   "delete from tblagendaarchief where agenda >= 900; delete from tblteksten where agendaid >= 900"));
    QVERIFY(m_db->exec(
        "insert into tblagenda (id, kort, lang, datum, tijd, redactie, datuminvoer, herhaal, invoerdoor, followup, "
        "bron)"
        " values (9001, 'Brug open', 'De brug gaat open.', '20310312', '10:30', 8, '20310301', -1, 1, -1, 'Gemeente'),"
        " (9002, 'Alfa vergadering', '', '20310312', '08:00', 8, '20310301', -1, 2, -1, ''),"
        " (9003, 'Morgen iets', '', '20310313', '12:00', 8, '', -1, -1, -1, ''),"
        " (9004, 'Over zes dagen', '', '20310318', '09:00', 8, '', -1, -1, -1, ''),"
        " (9005, 'Over zeven dagen', '', '20310319', '09:00', 8, '', -1, -1, -1, ''),"
        " (9006, 'Vandaag op productielijst', '', '20310312', '11:00', 8, '', -1, -1, -1, ''),"
        " (9007, 'Eerder op productielijst', '', '20310312', '11:30', 8, '', -1, -1, -1, ''),"
        " (9008, 'Opgepakte herhaling', '', '20310312', '00:00', 8, '', 904, -1, -1, ''),"
        " (9009, 'Zondag', '', '20310309', '10:00', 8, '', -1, -1, -1, ''),"
        " (9011, 'Zaterdag', '', '20310315', '10:00', 8, '', -1, -1, -1, ''),"
        " (9010, 'Andere redactie', '', '20310312', '10:00', 1, '', -1, -1, -1, '')"));
    QVERIFY(m_db->exec("insert into tblagendaherhaal (id, kort, redactie, dagen) values"
                       " (901, 'Woensdagoverleg', 8, '---x---'), (902, 'Zondagsdienst', 8, 'x------'),"
                       " (903, 'Zaterdagmarkt', 8, '------x'), (904, 'Opgepakt overleg', 8, '---x---'),"
                       " (905, 'Andere redactie herhaling', 1, 'xxxxxxx')"));
    QVERIFY(m_db->exec("insert into tbltodo (id, agendaid, datum, klaar, redactie) values"
                       " (9906, 9006, '20310312', false, 8), (9907, 9007, '20310311', true, 8)"));
    QVERIFY(m_db->exec(QString("insert into tblagendanaw values (9001, %1);"
                               "insert into tblagendaarchief values (9001, %2)")
                           .arg(m_address1)
                           .arg(m_text1)));
    QVERIFY(
        m_db->exec("select setval('tblagenda_id_seq', 20000, false); select setval('tbltodo_id_seq', 30000, false)"));
}

void TestAgenda::init()
{
    resetFixture();
    m_marieke->activate();
    state().currentTeamId = kTeam;
    state().workDate = kToday;
    m_main->frame = nullptr;
    m_nextChoice.clear();
    platform::WriteSetting("AgendaDagen", "0");
    platform::WriteSetting("AgendaLijstTijd", "false");
    m_log.clear();
}

// A frame of the fixture's team, reloaded for workDate and days.
std::unique_ptr<TAgendaFrame> TestAgenda::frame(const QDate &workDate, int days)
{
    platform::WriteSetting("AgendaDagen", QString::number(days));
    state().workDate = workDate;
    auto f = std::make_unique<TAgendaFrame>();
    f->resize(560, 300);
    f->frameMessage(FRAME_REFRESH, 0, 0);
    m_main->frame = f.get();
    m_log.clear();
    return f;
}

QString TestAgenda::reloadSql(const QDate &d0, int days) const
{
    return QStringLiteral("sql ") + ReloadSql(d0, d0.addDays(days), kToday, kTeam);
}

void TestAgenda::reloadShowsTheRange_data()
{
    QTest::addColumn<QDate>("workDate");
    QTest::addColumn<int>("days");
    QTest::addColumn<QStringList>("expected");
    const QStringList wednesday = {
        "9002 normal 20310312 08:00 Alfa vergadering", "9001 normal 20310312 10:30 Brug open",
        "9007 normal 20310312 11:30 Eerder op productielijst", "9008 normal 20310312 00:00 Opgepakte herhaling",
        "901 herhaal 20310312 00:00 Woensdagoverleg"};
    // Hidden: 9006 (on today's production list), 904 (taken up by 9008),
    // other teams' rows, and on later days every repeating item.
    QTest::newRow("work date alone") << kToday << 0 << wednesday;
    QTest::newRow("seven days, repeating items for the work date only")
        << kToday << 6
        << wednesday + QStringList{"9003 normal 20310313 12:00 Morgen iets", "9011 normal 20310315 10:00 Zaterdag",
                                   "9004 normal 20310318 09:00 Over zes dagen"};
    QTest::newRow("Sunday is position 1")
        << QDate(2031, 3, 9) << 0
        << QStringList{"9009 normal 20310309 10:00 Zondag", "902 herhaal 20310309 00:00 Zondagsdienst"};
    QTest::newRow("Saturday is position 7")
        << QDate(2031, 3, 15) << 0
        << QStringList{"9011 normal 20310315 10:00 Zaterdag", "903 herhaal 20310315 00:00 Zaterdagmarkt"};
    QTest::newRow("the production list is today's, not the work date's")
        << QDate(2031, 3, 19) << 0
        << QStringList{"904 herhaal 20310319 00:00 Opgepakt overleg", "9005 normal 20310319 09:00 Over zeven dagen",
                       "901 herhaal 20310319 00:00 Woensdagoverleg"};
}

void TestAgenda::reloadShowsTheRange()
{
    QFETCH(QDate, workDate);
    QFETCH(int, days);
    QFETCH(QStringList, expected);
    auto f = frame(workDate, days);
    QCOMPARE(lines(f->ListBox1()), expected);
    f->frameMessage(FRAME_REFRESH, 0, 0);
    QCOMPARE(m_log, QStringList{reloadSql(workDate, days)});
    if (days == 6)
        QCOMPARE(f->Label1()->text(), QString("Agenda van wo 12 mrt 2031 tot di 18 mrt 2031"));
}

void TestAgenda::frameMessages()
{
    auto f = frame(kToday);
    QVERIFY(f->frameMessage(FRAME_ACTIVATE, 0, 0));
    QVERIFY(f->frameMessage(FRAME_DEACTIVATE, 0, 0));
    QVERIFY(f->frameMessage(FRAME_MOVE_LEFT, 0, 0));  // known, and does nothing
    QVERIFY(!f->frameMessage(FRAME_SAVE, 0, 0));
    QCOMPARE(m_log, QStringList({"main add &Agenda PopupMenu1", "main remove &Agenda PopupMenu1"}));
    // The team menu, by name, with the team ids.
    QStringList teams;
    for (QAction *a : f->defred()->actions())
        teams << a->text() + "=" + a->property("tag").toString();
    QCOMPARE(teams, QStringList({"Nieuws=1", "Onderzoek=8", "R&D=9", "Sport=2"}));
}

void TestAgenda::dateCommandsAndSettings()
{
    auto f = frame(QDate(2031, 3, 19));
    auto trigger = [&](const char *name) { f->PopupMenu1()->findChild<QAction *>(name)->trigger(); };
    trigger("Morgen1");
    trigger("Morgen1");
    QCOMPARE(state().workDate, QDate(2031, 3, 21));  // from the work date, not from today
    trigger("Vandaag1");
    QCOMPARE(state().workDate, kToday);
    trigger("Weekterug1");
    QCOMPARE(state().workDate, QDate(2031, 3, 5));
    trigger("Volgendeweek1");
    trigger("Eergisteren1");
    trigger("Gisteren1");
    trigger("Overmorgen1");
    QCOMPARE(state().workDate, QDate(2031, 3, 11));
    QCOMPARE(m_log.count("main RefreshViews"), 8);
    QCOMPARE(f->Label1()->text(), QString("Agenda van di 11 mrt 2031 tot di 11 mrt 2031"));

    // Both day menus set the range and store it; the next frame reads it.
    f->dagenpopup()->actions().at(6)->trigger();
    QCOMPARE(f->daysShown(), 6);
    QCOMPARE(platform::ReadSetting("AgendaDagen", ""), QString("6"));
    QCOMPARE(f->Label1()->text(), QString("Agenda van di 11 mrt 2031 tot ma 17 mrt 2031"));
    f->findChild<QMenu *>("Dagentonen1")->actions().at(1)->trigger();
    QCOMPARE(platform::ReadSetting("AgendaDagen", ""), QString("1"));
    f->tijdClick();
    QVERIFY(f->timeColumn());
    QCOMPARE(platform::ReadSetting("AgendaLijstTijd", ""), QString("true"));
    TAgendaFrame next;
    QCOMPARE(next.daysShown(), 1);
    QVERIFY(next.timeColumn());
    f->tijdClick();
    QCOMPARE(platform::ReadSetting("AgendaLijstTijd", ""), QString("false"));

    platform::WriteSetting("AgendaDagen", "99");  // a hand-edited value
    QCOMPARE(TAgendaFrame().daysShown(), 6);
}

void TestAgenda::otherDateInTheCalendar()
{
    auto f = frame(QDate(2031, 3, 19));
    QDate shownFirst;
    onModal([&](QWidget *w) {
        auto *form = qobject_cast<TDatumForm *>(w);
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QString("DatumForm"));
        shownFirst = form->dat()->selectedDate();
        form->dat()->setSelectedDate(QDate(2031, 4, 1));
        form->Button1()->click();
    });
    f->Anders1Click();
    QCOMPARE(shownFirst, QDate(2031, 3, 19));
    QCOMPARE(state().workDate, QDate(2031, 4, 1));
    QCOMPARE(m_log.count("main RefreshViews"), 1);
}

void TestAgenda::savingANewItem()
{
    TAgendaForm form;
    TAgendaPuntFrame *f = form.AgendaPuntFrame1();
    f->Load(-1);
    QCOMPARE(f->bron()->text(), QString("<geen>"));
    QCOMPARE(f->tijd()->text(), QString("00:00"));
    QVERIFY(!f->Button5()->isEnabled());
    f->onderwerp()->setText("Brand in 't dok");
    f->date()->setDate(QDate(2031, 3, 14));
    f->tijd()->setText("14:15");
    f->Opmerkingen()->setPlainText("C:\\brand");
    // Link two addresses and two archive texts; take the first address off again.
    m_nextChoice = {m_address1};
    f->Button1Click();
    m_nextChoice = {m_address2};
    f->Button1Click();
    m_nextChoice = {m_text1, m_text2};
    f->Button3Click();
    f->adressenbox()->setCurrentRow(0);
    f->Button2Click();
    QCOMPARE(f->adressenbox()->count(), 1);
    QCOMPARE(f->archiefbox()->count(), 2);
    QCOMPARE(m_log.filter("open "),
             QStringList({"open addressbook -1 -1 1", "open addressbook -1 -1 1", "open archive 1"}));
    m_log.clear();

    f->Save();
    const QString a1 = QString::number(m_address1), a2 = QString::number(m_address2);
    QCOMPARE(m_log, QStringList({"sql begin", "sql select nextval('tblagenda_id_seq')",
                                 "sql insert into tblagenda (id,kort,datum,lang,bron,redactie,herhaal,followup,"
                                 "invoerdoor,datuminvoer,tijd) values ('20000','Brand in \\'t dok','20310314',"
                                 "'C:\\\\brand','<geen>',8,-1,-1,1,'20310312','14:15')",
                                 "sql insert into tblagendanaw values (20000," + a1 + ")",
                                 "sql insert into tblagendanaw values (20000," + a2 + ")",
                                 QString("sql insert into tblagendaarchief values (20000,%1)").arg(m_text1),
                                 QString("sql insert into tblagendaarchief values (20000,%1)").arg(m_text2),
                                 "sql delete from tblagendanaw where agenda = 20000 and naw = " + a1, "sql end",
                                 "cmd broadcast agenda new 20000"}));
    QCOMPARE(m_db->query("select kort, lang, invoerdoor from tblagenda where id = 20000"),
             QList<QStringList>({{"Brand in 't dok", "C:\\brand", "1"}}));
    QCOMPARE(m_db->query("select naw from tblagendanaw where agenda = 20000"), QList<QStringList>({{a2}}));
    QVERIFY(f->pending().isEmpty());

    // A second save updates the row it made and runs nothing twice.
    m_log.clear();
    f->Save();
    QCOMPARE(m_log.size(), 2);
    QVERIFY(m_log.at(0).startsWith("sql  update tblagenda set kort = 'Brand in \\'t dok'"));
    QCOMPARE(m_log.at(1), QString("cmd broadcast agenda update 20000"));
}

// The database refuses: a new item's group is rolled back instead of ended,
// nobody is told, and the item stays new with its links pending, so saving
// again later stores it whole. A refused delete keeps its line and tells
// nobody, while the other deletes of the selection go through.
void TestAgenda::refusedSavesAreRolledBack()
{
    QVERIFY(m_db->exec("create function weiger() returns trigger language plpgsql as"
                       " $$ begin raise exception 'geweigerd'; end $$;"
                       "create trigger weiger_agenda before insert on tblagenda for each row"
                       " when (new.kort = 'Geheim') execute function weiger();"
                       "create trigger weiger_delete before delete on tblagenda for each row"
                       " when (old.id = 9002) execute function weiger()"));
    testsupport::ScriptedDialogs dialogs;
    {
        TAgendaForm form;
        TAgendaPuntFrame *f = form.AgendaPuntFrame1();
        f->Load(-1);
        f->onderwerp()->setText("Geheim");
        m_nextChoice = {m_address1};
        f->Button1Click();
        m_log.clear();
        dialogs.expectBox(BoxType::Error, "ERROR:  geweigerd");
        QVERIFY(!f->Save());
        QCOMPARE(m_log.size(), 4);
        QCOMPARE(m_log.at(0), QString("sql begin"));
        QVERIFY(m_log.at(2).startsWith("sql insert into tblagenda "));
        QCOMPARE(m_log.at(3), QString("sql rollback"));
        QCOMPARE(f->itemId(), -1);
        QCOMPARE(f->pending().size(), 1);
        QCOMPARE(m_db->query("select count(*) from tblagenda where kort = 'Geheim'"), QList<QStringList>({{"0"}}));
    }
    {
        auto f = frame(kToday);
        select(f->ListBox1(), {"9002 normal", "9001 normal"});
        dialogs.expectBox(BoxType::Confirmation, "Selectie verwijderen?", ModalResult::Yes);
        dialogs.expectBox(BoxType::Error, "ERROR:  geweigerd");
        f->Verwijderen1Click();
        QVERIFY(m_log.contains("sql rollback"));
        QCOMPARE(m_log.filter("cmd "), QStringList({"cmd broadcast agenda remove 9001"}));
        QCOMPARE(lines(f->ListBox1()).filter("9002 ").size(), 1);
        QCOMPARE(m_db->query("select count(*) from tblagenda where id in (9001, 9002)"), QList<QStringList>({{"1"}}));
    }
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
    QVERIFY(m_db->exec("drop trigger weiger_agenda on tblagenda; drop trigger weiger_delete on tblagenda;"
                       "drop function weiger()"));
}

void TestAgenda::valuesThatCannotBeReadBackAreRefused_data()
{
    QTest::addColumn<QString>("onderwerp");
    QTest::addColumn<QString>("tijd");
    QTest::addColumn<QString>("warning");
    QTest::newRow("empty subject") << "  "
                                   << "10:00"
                                   << "Geef het agendapunt een onderwerp.";
    QTest::newRow("no such time") << "Raad"
                                  << "25:61"
                                  << "\"25:61\" is geen geldige tijd. Geef een tijd van 00:00 tot en met 23:59.";
    QTest::newRow("hour without minutes") << "Raad"
                                          << "7:"
                                          << "\"7:\" is geen geldige tijd. Geef een tijd van 00:00 tot en met 23:59.";
}

// "Sluiten" answered with Yes: the warning, nothing sent, and the dialog
// stays open with what was typed.
void TestAgenda::valuesThatCannotBeReadBackAreRefused()
{
    QFETCH(QString, onderwerp);
    QFETCH(QString, tijd);
    QFETCH(QString, warning);
    TAgendaForm form;
    TAgendaPuntFrame *f = form.AgendaPuntFrame1();
    f->Load(-1);
    form.show();
    f->onderwerp()->setText(onderwerp);
    f->tijd()->setText(tijd);
    testsupport::ScriptedDialogs dialogs;
    dialogs.expectBox(BoxType::Confirmation, "Wijzigingen opslaan?", ModalResult::Yes);
    dialogs.expectBox(BoxType::Warning, warning);
    form.Button1Click();
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
    QVERIFY(form.isVisible());
    QVERIFY(m_log.isEmpty());
    QCOMPARE(f->onderwerp()->text(), onderwerp);
}

void TestAgenda::savingAnExistingItem()
{
    TAgendaForm form;
    TAgendaPuntFrame *f = form.AgendaPuntFrame1();
    f->Load(9001);
    QCOMPARE(m_log, QStringList({"sql select * from tblagenda where id = 9001",
                                 "sql select loginnaam from tbluser where userid = 1", "sql " + ItemAddressesSql(9001),
                                 "sql " + ItemArchiveSql(9001)}));
    QCOMPARE(f->onderwerp()->text(), QString("Brug open"));
    QCOMPARE(f->Opmerkingen()->toPlainText(), QString("De brug gaat open."));
    QCOMPARE(f->date()->date(), kToday);
    QCOMPARE(f->tijd()->text(), QString("10:30"));
    QCOMPARE(f->bron()->text(), QString("Gemeente"));
    QCOMPARE(f->madeby()->text(), QString("Gemaakt door marieke op za 01 mrt 2031"));
    QCOMPARE(f->adressenbox()->count(), 1);
    QCOMPARE(f->archiefbox()->count(), 1);

    // Showing a linked text; editing an address reads it again.
    f->archiefbox()->setCurrentRow(0);
    f->archiefboxDblClick();
    QVERIFY2(m_log.last().startsWith("view "), qPrintable(m_log.last()));
    QVERIFY(m_log.last().contains("<normal>\r\nVan: "));
    f->adressenbox()->setCurrentRow(0);
    f->adressenboxDblClick();
    QCOMPARE(m_log.mid(m_log.size() - 2),
             QStringList({QString("open addressbook -1 %1 0").arg(m_address1), "sql " + AddressSql(m_address1)}));

    f->archiefbox()->setCurrentRow(0);
    f->Button4Click();
    f->onderwerp()->setText("Brug dicht");
    m_log.clear();
    f->Save();
    QCOMPARE(m_log,
             QStringList({"sql  update tblagenda set kort = 'Brug dicht', datum = '20310312', lang = 'De brug "
                          "gaat open.', tijd = '10:30', followup = -1, bron = 'Gemeente' where id = 9001",
                          QString("sql delete from tblagendaarchief where agenda = 9001 and archief = %1").arg(m_text1),
                          "cmd broadcast agenda update 9001"}));
    QCOMPARE(m_db->query("select kort, redactie, invoerdoor, datuminvoer from tblagenda where id = 9001"),
             QList<QStringList>({{"Brug dicht", "8", "1", "20310301"}}));
}

void TestAgenda::loadedTime_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("full time") << "07:05"
                               << "07:05";
    QTest::newRow("empty time") << ""
                                << "00:00";
    QTest::newRow("short time") << "9:30"
                                << "00:00";
}

void TestAgenda::loadedTime()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QVERIFY(m_db->exec("update tblagenda set tijd = '" + stored + "', datuminvoer = 'gisteren' where id = 9001"));
    TAgendaForm form;
    form.AgendaPuntFrame1()->Load(9001);
    QCOMPARE(form.AgendaPuntFrame1()->tijd()->text(), shown);
    QCOMPARE(form.AgendaPuntFrame1()->madeby()->text(), QString());  // a bad date never fails the load
}

void TestAgenda::missingItemStillSavesItsUpdate()
{
    TAgendaForm form;
    TAgendaPuntFrame *f = form.AgendaPuntFrame1();
    f->Load(8999);
    QCOMPARE(f->onderwerp()->text(), QString());
    QCOMPARE(f->bron()->text(), QString("<geen>"));
    QCOMPARE(f->adressenbox()->count(), 0);
    f->onderwerp()->setText("Intussen verwijderd");  // an empty subject is refused before anything is sent
    m_log.clear();
    QVERIFY(f->Save());
    QCOMPARE(m_log.size(), 2);
    QVERIFY(m_log.at(0).endsWith("where id = 8999"));
    QCOMPARE(m_log.at(1), QString("cmd broadcast agenda update 8999"));
}

void TestAgenda::cancelAnsweredYesSavesOnce()
{
    testsupport::ScriptedDialogs dialogs;
    dialogs.expectBox(BoxType::Confirmation, "Wijzigingen opslaan?", ModalResult::Cancel);  // stays open
    dialogs.expectBox(BoxType::Confirmation, "Wijzigingen opslaan?", ModalResult::Yes);
    auto f = frame(kToday);
    focus(f->ListBox1(), "9001 normal");
    bool stayed = false;
    onModal([&](QWidget *w) {
        auto *form = qobject_cast<TAgendaForm *>(w);
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QString("Agendapunt"));
        form->AgendaPuntFrame1()->onderwerp()->setText("Brug half open");
        form->Button1()->click();
        stayed = form->isVisible();
        form->Button1()->click();
    });
    QTest::keyClick(f->ListBox1(), Qt::Key_Return);
    QVERIFY(stayed);
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
    QCOMPARE(m_log.filter("update tblagenda").size(), 1);
    QCOMPARE(m_log.first(), QString("cmd lock agenda_9001"));
    QCOMPARE(m_log.last(), QString("cmd unlock agenda_9001"));
    QCOMPARE(m_log.at(m_log.size() - 2), QString("cmd broadcast agenda update 9001"));
    QCOMPARE(m_db->query("select kort from tblagenda where id = 9001"), QList<QStringList>({{"Brug half open"}}));
}

// The database connection is gone when the editor saves: he is told, the
// dialog stays with his text, and once the connection is back the same
// "&Opslaan" stores it.
// Escape on a new item: nothing typed closes it without a question and
// stores nothing, also when the caller filled in its presets; one typed
// letter brings the question back.
void TestAgenda::escapeAsksOnlyWhenSomethingWasTyped()
{
    testsupport::ScriptedDialogs dialogs;
    auto f = frame(kToday);
    bool closed = false;
    onModal([&](QWidget *w) {
        auto *form = qobject_cast<TAgendaForm *>(w);
        QVERIFY(form);
        QTest::keyClick(form->AgendaPuntFrame1()->onderwerp(), Qt::Key_Escape);
        closed = !form->isVisible();
        if (!closed)
            form->done(QDialog::Rejected);
    });
    f->AgendaNieuwClick();
    QVERIFY(closed);
    onModal([&](QWidget *w) {
        auto *form = qobject_cast<TAgendaForm *>(w);
        QVERIFY(form);
        QCOMPARE(form->AgendaPuntFrame1()->onderwerp()->text(), QString("Uit de bron"));
        QTest::keyClick(form->AgendaPuntFrame1()->onderwerp(), Qt::Key_Escape);
        if (form->isVisible())
            form->done(QDialog::Rejected);
    });
    AgendaItemResult r = OpenAgendaItem({.agendaId = -1, .date = kToday, .onderwerp = QString("Uit de bron")}, nullptr);
    QCOMPARE(r.modalResult, int(ModalResult::Cancel));
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));

    dialogs.expectBox(BoxType::Confirmation, "Wijzigingen opslaan?", ModalResult::No);
    onModal([&](QWidget *w) {
        auto *form = qobject_cast<TAgendaForm *>(w);
        QVERIFY(form);
        QTest::keyClicks(form->AgendaPuntFrame1()->onderwerp(), "B");
        QTest::keyClick(form->AgendaPuntFrame1()->onderwerp(), Qt::Key_Escape);
    });
    f->AgendaNieuwClick();
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
    QVERIFY(m_log.filter(QRegularExpression("^(sql (begin|insert)|cmd)")).isEmpty());
}

void TestAgenda::saveWithoutADatabaseKeepsTheDialog()
{
    testsupport::ScriptedDialogs dialogs;
    dialogs.expectBox(BoxType::Error, kNotSavedNoDatabase);
    int shownAgain = 0;
    onModal([&](QWidget *w) {
        auto *form = qobject_cast<TAgendaForm *>(w);
        QVERIFY(form);
        form->AgendaPuntFrame1()->onderwerp()->setText("Zonder database getypt");
        m_marieke->post->Close();
        form->Button2()->click();  // refused: the dialog comes back with the text
        onModal([&](QWidget *again) {
            auto *f = qobject_cast<TAgendaForm *>(again);
            QVERIFY(f);
            ++shownAgain;
            QCOMPARE(f->AgendaPuntFrame1()->onderwerp()->text(), QString("Zonder database getypt"));
            QVERIFY(m_marieke->post->Open());
            m_marieke->post->Connect(m_db->name(), testsupport::kClientUser, testsupport::kClientPassword);
            f->Button2()->click();
        });
    });
    const AgendaItemResult result = OpenAgendaItem({.agendaId = -1, .date = kToday}, nullptr);
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
    QCOMPARE(shownAgain, 1);
    QCOMPARE(result.modalResult, int(ModalResult::Ok));
    QCOMPARE(m_db->query("select count(*) from tblagenda where kort = 'Zonder database getypt'"),
             QList<QStringList>({{"1"}}));
}

void TestAgenda::followUpWritesOnlyItsOwnLinks()
{
    testsupport::ScriptedDialogs dialogs;
    dialogs.expectBox(BoxType::Warning, "Je kunt geen follow-up maken van een herhalend onderwerp!");
    auto f = frame(QDate(2031, 3, 19));
    focus(f->ListBox1(), "901 herhaal");
    f->Followupmaken1Click();

    f = frame(kToday);
    focus(f->ListBox1(), "9001 normal");
    QStringList shown;
    onModal([&](QWidget *w) {
        auto *form = qobject_cast<TAgendaForm *>(w);
        QVERIFY(form);
        TAgendaPuntFrame *p = form->AgendaPuntFrame1();
        shown << p->Edit3()->text() << QString::number(p->adressenbox()->count())
              << QString::number(p->archiefbox()->count()) << QString::number(p->Button5()->isEnabled());
        m_nextChoice = {m_address2};
        p->Button1Click();
        form->Button2()->click();
    });
    state().workDate = QDate(2031, 3, 13);
    f->Followupmaken1Click();
    QCOMPARE(shown, QStringList({"Brug open", "1", "1", "1"}));
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
    QCOMPARE(m_db->query("select kort, datum, followup, bron from tblagenda where id = 20000"),
             QList<QStringList>({{"Brug open", "20310313", "9001", "Gemeente"}}));
    QCOMPARE(m_db->query("select naw from tblagendanaw where agenda = 20000"),
             QList<QStringList>({{QString::number(m_address2)}}));
    QCOMPARE(m_db->query("select count(*) from tblagendaarchief where agenda = 20000"), QList<QStringList>({{"0"}}));
    QCOMPARE(m_db->query("select count(*) from tblagendanaw where agenda = 9001"), QList<QStringList>({{"1"}}));
    // The list shows the saved item at once.
    QVERIFY(lines(f->ListBox1()).contains("20000 normal 20310313 10:30 Brug open"));
}

// The opener other windows use: a follow-up as the evaluation makes it, with
// the caller's own statement between "&Opslaan" and the save, and the answers
// for a dialog closed without saving and one saved from "&Afbreken".
void TestAgenda::openerPresetsAndAnswers()
{
    AgendaItemRequest q;
    q.agendaId = 9001;
    q.makeNew = true;
    q.subjectPrefix = QStringLiteral("followup: ");
    q.bron = QStringLiteral("Evaluatie");
    q.followUpId = 9001;
    q.archiveLinks = {{m_text2, QStringLiteral("Tweede tekst")}};
    q.beforeSave = [] { core::Execute(QStringLiteral("delete from tbltodo where id = 9906")); };
    QStringList shown;
    onModal([&](QWidget *w) {
        auto *form = qobject_cast<TAgendaForm *>(w);
        QVERIFY(form);
        TAgendaPuntFrame *p = form->AgendaPuntFrame1();
        shown << p->onderwerp()->text() << p->bron()->text() << p->Edit3()->text()
              << QString::number(p->archiefbox()->count()) << p->archiefbox()->item(1)->text();
        m_log.clear();
        form->Button2()->click();
    });
    AgendaItemResult r = OpenAgendaItem(q, nullptr);
    QCOMPARE(r.modalResult, int(ModalResult::Ok));
    QCOMPARE(r.agendaId, 20000);
    QCOMPARE(shown, QStringList({"followup: Brug open", "Evaluatie", "Brug open", "2",
                                 QString("%1 Tweede tekst").arg(m_text2)}));
    QCOMPARE(m_log.mid(0, 3), QStringList({"sql delete from tbltodo where id = 9906", "sql begin",
                                           "sql select nextval('tblagenda_id_seq')"}));
    QCOMPARE(m_log.mid(4), QStringList({QString("sql insert into tblagendaarchief values (20000,%1)").arg(m_text2),
                                        "sql end", "cmd broadcast agenda new 20000"}));
    QCOMPARE(m_db->query("select kort, followup, bron from tblagenda where id = 20000"),
             QList<QStringList>({{"followup: Brug open", "9001", "Evaluatie"}}));

    testsupport::ScriptedDialogs dialogs;
    dialogs.expectBox(BoxType::Confirmation, "Wijzigingen opslaan?", ModalResult::No);
    dialogs.expectBox(BoxType::Confirmation, "Wijzigingen opslaan?", ModalResult::Yes);
    for (const int stored : {-1, 9002}) {
        onModal([](QWidget *w) { qobject_cast<TAgendaForm *>(w)->Button1()->click(); });
        r = OpenAgendaItem({.agendaId = 9002}, nullptr);
        QCOMPARE(r.modalResult, int(ModalResult::Cancel));
        QCOMPARE(r.agendaId, stored);
    }
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
}

void TestAgenda::openingARepeatingLineTakesItUp()
{
    auto f = frame(kToday);
    focus(f->ListBox1(), "901 herhaal");
    QString subject;
    onModal([&](QWidget *w) {
        auto *form = qobject_cast<TAgendaForm *>(w);
        QVERIFY(form);
        subject = form->AgendaPuntFrame1()->onderwerp()->text();
        form->Button2()->click();
    });
    f->ListBox1DblClick();
    QCOMPARE(subject, QString("Woensdagoverleg"));
    QVERIFY(m_log.filter("cmd lock").isEmpty());  // no lock for a repeating line
    QCOMPARE(m_db->query("select kort, datum, herhaal from tblagenda where id = 20000"),
             QList<QStringList>({{"Woensdagoverleg", "20310312", "901"}}));
    // Taken up: the repeating line is gone, the new item is there.
    QVERIFY(!lines(f->ListBox1()).contains("901 herhaal 20310312 00:00 Woensdagoverleg"));
    QVERIFY(lines(f->ListBox1()).contains("20000 normal 20310312 00:00 Woensdagoverleg"));
}

void TestAgenda::deletingASelection()
{
    testsupport::ScriptedDialogs dialogs;
    auto f = frame(kToday);
    f->ListBox1()->clearSelection();
    f->Verwijderen1Click();  // no selection: no question
    dialogs.expectBox(BoxType::Confirmation, "Selectie verwijderen?", ModalResult::No);
    dialogs.expectBox(BoxType::Confirmation, "Selectie verwijderen?", ModalResult::Yes);
    select(f->ListBox1(), {"9001 normal", "901 herhaal", "9002 normal"});
    f->Verwijderen1Click();
    QVERIFY(m_log.isEmpty());
    f->Verwijderen1Click();
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
    QStringList expected;
    for (const char *id : {"9002", "9001"})
        expected << "sql begin" << QString("sql delete from tblagenda where id = %1").arg(id)
                 << QString("sql delete from tblagendanaw where agenda = %1").arg(id)
                 << QString("sql delete from tblteksten where agendaid = %1").arg(id)
                 << QString("sql delete from tblagendaarchief where agenda = %1").arg(id)
                 << QString("sql delete from tbltodo where agendaid = %1 returning id,klaar").arg(id) << "sql end";
    expected << "cmd broadcast agenda remove 9002"
             << "cmd broadcast agenda remove 9001";
    QCOMPARE(m_log, expected);
    QCOMPARE(lines(f->ListBox1()), QStringList({"9007 normal 20310312 11:30 Eerder op productielijst",
                                                "9008 normal 20310312 00:00 Opgepakte herhaling",
                                                "901 herhaal 20310312 00:00 Woensdagoverleg"}));
    QCOMPARE(m_db->query("select count(*) from tblagendaarchief where agenda = 9001"), QList<QStringList>({{"0"}}));
    QCOMPARE(m_db->query("select count(*) from tblagendaherhaal where id = 901"), QList<QStringList>({{"1"}}));
}

// An item another editor has just put on today's production list (his
// broadcast not yet polled here), and one made ready earlier: deleting them
// takes their list rows along and, once stored, tells every production and
// ready list; the other editor's production list drops the line at its next
// poll, this client's own lists are reloaded.
void TestAgenda::deletingTellsTheListsOfItsTopic()
{
    testsupport::ScriptedDialogs dialogs;
    auto f = frame(kToday);
    QVERIFY(m_db->exec("insert into tbltodo (id, agendaid, datum, klaar, redactie) values"
                       " (9901, 9001, '20310312', false, 8)"));
    m_joost->activate();
    QVERIFY(m_joost->link->SendCommand("poll"));  // what earlier tests announced
    TTodoFrame his;
    his.frameMessage(FRAME_REFRESH, 0, 0);
    QCOMPARE(lines(his.ListBox1()).filter(QRegularExpression("^9901\\D")).size(), 1);
    m_joost->right = &his;

    m_marieke->activate();
    dialogs.expectBox(BoxType::Confirmation, "Selectie verwijderen?", ModalResult::Yes);
    select(f->ListBox1(), {"9001 normal", "9007 normal"});
    m_log.clear();
    f->Verwijderen1Click();
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
    const QStringList sent = m_log.filter(QRegularExpression("^(sql (begin|end|delete from tbltodo)|cmd|main)"));
    QCOMPARE(sent,
             QStringList({"sql begin", "sql delete from tbltodo where agendaid = 9001 returning id,klaar", "sql end",
                          "sql begin", "sql delete from tbltodo where agendaid = 9007 returning id,klaar", "sql end",
                          "cmd broadcast agenda remove 9001", "cmd broadcast todo remove 9901",
                          "cmd broadcast agenda remove 9007", "cmd broadcast klaar remove 9907", "main RefreshViews"}));
    QCOMPARE(m_db->query("select count(*) from tbltodo where agendaid in (9001, 9007)"), QList<QStringList>({{"0"}}));

    m_joost->activate();
    QVERIFY(m_joost->link->SendCommand("poll"));
    QVERIFY(lines(his.ListBox1()).filter(QRegularExpression("^9901\\D")).isEmpty());
    QCOMPARE(lines(his.ListBox1()).filter(QRegularExpression("^9906\\D")).size(), 1);  // the rest stays
    m_joost->right = nullptr;
    m_marieke->activate();
}

void TestAgenda::movingToProduction()
{
    // The work date is a week after today: the one-off item goes to today's
    // production list, the repeating one is taken up on the work date.
    auto f = frame(QDate(2031, 3, 19));
    select(f->ListBox1(), {"9005 normal", "901 herhaal"});
    QVERIFY(f->frameMessage(FRAME_MOVE_RIGHT, 0, 0));
    QCOMPARE(m_log, QStringList({"sql select nextval('tbltodo_id_seq')",
                                 "sql insert into tbltodo (id,agendaid,datum,klaar,redactie) values "
                                 "(30000,9005,'20310312',false,8)",
                                 "sql select nextval('tblagenda_id_seq')",
                                 "sql insert into tblagenda (id,kort,datum,tijd,redactie,herhaal) values "
                                 "(20000,'Woensdagoverleg','20310319','09:41',8,901)",
                                 "sql select nextval('tbltodo_id_seq')",
                                 "sql insert into tbltodo (id,agendaid,datum,klaar,redactie) values "
                                 "(30001,20000,'20310319',false,8)",
                                 "cmd broadcast todo new 30000", "cmd broadcast agenda remove 9005",
                                 "cmd broadcast todo new 30001", "cmd broadcast agenda remove 901", "main RefreshViews",
                                 reloadSql(QDate(2031, 3, 19))}));
    // The taken-up item lies on the work date's production list, not today's,
    // so it shows as a one-off item of the work date.
    QCOMPARE(lines(f->ListBox1()), QStringList({"904 herhaal 20310319 00:00 Opgepakt overleg",
                                                "20000 normal 20310319 09:41 Woensdagoverleg"}));

    // Ctrl+Right on key release does the same for the focused selection.
    select(f->ListBox1(), {"904 herhaal"});
    m_log.clear();
    QTest::keyRelease(f->ListBox1(), Qt::Key_Right, Qt::ControlModifier);
    QCOMPARE(m_log.filter("cmd ").join(","), QString("cmd broadcast todo new 30002,cmd broadcast agenda remove 904"));
}

void TestAgenda::movingToAnotherTeam()
{
    testsupport::ScriptedDialogs dialogs;
    dialogs.expectBox(BoxType::Confirmation, "Selectie naar RD?", ModalResult::Yes);
    auto f = frame(kToday);
    select(f->ListBox1(), {"9002 normal", "901 herhaal"});
    QAction *rd = nullptr;
    for (QAction *a : f->defred()->actions())
        if (a->property("tag").toInt() == 9)
            rd = a;
    QVERIFY(rd);
    rd->trigger();
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
    QCOMPARE(m_log, QStringList(
                        {"sql update tblagenda set redactie = 9 where id = 9002", "cmd broadcast agenda remove 9002"}));
    QCOMPARE(lines(f->ListBox1()).size(), 4);
    QVERIFY(lines(f->ListBox1()).contains("901 herhaal 20310312 00:00 Woensdagoverleg"));
}

void TestAgenda::broadcasts_data()
{
    QTest::addColumn<QString>("before");  // SQL run before the list is loaded
    QTest::addColumn<QString>("after");  // SQL run between the load and the message
    QTest::addColumn<QString>("message");  // as the server link hands it over
    QTest::addColumn<QStringList>("heads");  // id and kind of the lines afterwards
    QTest::addColumn<QString>("line");  // a line that must be there afterwards
    const QStringList base = {"9002 normal", "9001 normal", "9007 normal", "9008 normal", "901 herhaal"};
    const QString newItem = "insert into tblagenda (id, kort, datum, tijd, redactie) values (9050, 'Zzz', '20310312', "
                            "'07:00', %1)";
    QTest::newRow("new goes on top, out of order")
        << "" << newItem.arg(8) << "new 9050" << QStringList{"9050 normal"} + base << "9050 normal 20310312 07:00 Zzz";
    QTest::newRow("new of another team adds nothing") << "" << newItem.arg(1) << "new 9050" << base << "";
    QTest::newRow("new outside the range adds nothing") << ""
                                                        << ""
                                                        << "new 9003" << base << "";
    QTest::newRow("update replaces in place") << ""
                                              << "update tblagenda set kort = 'Brug dicht' where id = 9001"
                                              << "update 9001" << base << "9001 normal 20310312 10:30 Brug dicht";
    QTest::newRow("update of an item moved to another team removes it")
        << ""
        << "update tblagenda set redactie = 1 where id = 9001"
        << "update 9001" << QStringList{"9002 normal", "9007 normal", "9008 normal", "901 herhaal"} << "";
    QTest::newRow("update of an item moved out of the range removes it")
        << ""
        << "update tblagenda set datum = '20310320' where id = 9002"
        << "update 9002" << QStringList{"9001 normal", "9007 normal", "9008 normal", "901 herhaal"} << "";
    QTest::newRow("update of an item not in the list adds nothing") << ""
                                                                    << ""
                                                                    << "update 9003" << base << "";
    QTest::newRow("remove takes the first line with the id only")
        << "insert into tblagenda (id, kort, datum, redactie) values (901, 'Dubbel', '20310312', 8)"
        << ""
        << "remove 901" << base << "901 herhaal 20310312 00:00 Woensdagoverleg";
    QTest::newRow("remove of an unknown id") << ""
                                             << ""
                                             << "remove 4711" << base << "";
    QTest::newRow("other verbs are ignored") << ""
                                             << ""
                                             << "change 9001" << base << "";
    QTest::newRow("an id that is no number never reaches the database") << ""
                                                                        << ""
                                                                        << "new 9001 or 1=1" << base << "";
}

void TestAgenda::broadcasts()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, message);
    QFETCH(QStringList, heads);
    QFETCH(QString, line);
    if (!before.isEmpty())
        QVERIFY(m_db->exec(before));
    auto f = frame(kToday);
    if (!after.isEmpty())
        QVERIFY(m_db->exec(after));
    f->serverMessage(message);
    QStringList got;
    for (const QString &l : lines(f->ListBox1()))
        got << l.section(' ', 0, 1);
    QCOMPARE(got, heads);
    if (!line.isEmpty())
        QVERIFY(lines(f->ListBox1()).contains(line));
    if (message.endsWith(QLatin1String("1=1")))
        QVERIFY(m_log.isEmpty());
}

void TestAgenda::broadcastsReachEitherPanel_data()
{
    QTest::addColumn<int>("leftTab");
    QTest::addColumn<int>("rightTab");
    QTest::addColumn<bool>("left");
    QTest::newRow("agenda on the left (tab 1)") << 1 << 1 << true;
    QTest::newRow("agenda on the right (tab 0)") << 0 << 0 << false;
}

// Another client's broadcast arrives with the next poll and reaches the
// agenda frame in whichever panel shows it.
void TestAgenda::broadcastsReachEitherPanel()
{
    QFETCH(int, leftTab);
    QFETCH(int, rightTab);
    QFETCH(bool, left);
    auto f = frame(kToday);
    m_marieke->tabs = {leftTab, rightTab};
    (left ? m_marieke->left : m_marieke->right) = f.get();
    QVERIFY(m_db->exec("insert into tblagenda (id, kort, datum, redactie) values (9050, 'Aaa', '20310312', 8)"));
    m_joost->activate();
    QVERIFY(m_joost->link->SendCommand("broadcast agenda new 9050"));
    m_marieke->activate();
    QVERIFY(m_marieke->link->SendCommand("poll"));
    QCOMPARE(f->ListBox1()->item(0)->text(), QString("9050 normal 20310312 00:00 Aaa"));
    m_marieke->tabs = {1, 1};
    m_marieke->left = m_marieke->right = nullptr;
}

// An item saved by joost appears on top of marieke's agenda after her poll;
// while joost has it open, marieke is refused with his name.
void TestAgenda::twoClients()
{
    testsupport::ScriptedDialogs dialogs;
    auto hers = frame(kToday);
    m_marieke->left = hers.get();
    m_joost->activate();
    TAgendaFrame his;
    his.frameMessage(FRAME_REFRESH, 0, 0);
    onModal([&](QWidget *w) {
        auto *form = qobject_cast<TAgendaForm *>(w);
        QVERIFY(form);
        form->AgendaPuntFrame1()->onderwerp()->setText("Aaa nieuw van joost");
        form->Button2()->click();
    });
    his.AgendaNieuwClick();
    QCOMPARE(m_log.filter("cmd ").last(), QString("cmd broadcast agenda new 20000"));

    m_marieke->activate();
    QCOMPARE(hers->ListBox1()->item(0)->text().section(' ', 0, 0), QString("9002"));  // not yet
    m_marieke->link->startPolling();
    QTRY_COMPARE_WITH_TIMEOUT(hers->ListBox1()->item(0)->text(),
                              QString("20000 normal 20310312 00:00 Aaa nieuw van joost"), 5000);
    m_marieke->link->stopPolling();

    dialogs.expectBox(BoxType::Information, "Agendapunt al geopend door joost");
    dialogs.expectBox(BoxType::Confirmation, "Wijzigingen opslaan?", ModalResult::No);
    m_joost->activate();
    focus(his.ListBox1(), "20000 normal");
    onModal([&](QWidget *w) {
        auto *form = qobject_cast<TAgendaForm *>(w);
        QVERIFY(form);
        m_marieke->activate();
        hers->ListBox1()->setCurrentRow(0);
        m_log.clear();
        hers->ListBox1DblClick();  // refused: no dialog, no unlock
        QCOMPARE(m_log, QStringList({"cmd lock agenda_20000"}));
        m_joost->activate();
        form->Button1()->click();
    });
    his.ListBox1DblClick();
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
    QCOMPARE(m_log.last(), QString("cmd unlock agenda_20000"));

    // Released: now marieke may open it.
    m_marieke->activate();
    m_log.clear();
    QVERIFY(RequestLock("agenda_20000", LockRefusal));
    QVERIFY(SendCommand("unlock agenda_20000"));
    m_marieke->left = nullptr;
}

void TestAgenda::everyCommandOnScreen_data()
{
    QTest::addColumn<int>("width");
    QTest::newRow("half of a 1280-pixel screen") << (1280 - 28) / 2 - 4;
    QTest::newRow("half of a 1600-pixel screen") << (1600 - 28) / 2 - 4;
    QTest::newRow("a narrow panel") << 300;
}

// Every button of the agenda is shown whole, above the list, whatever the
// panel's width; the list keeps the window's font, and its time column is
// readable.
void TestAgenda::everyCommandOnScreen()
{
    QFETCH(int, width);
    auto f = frame(kToday, 6);
    f->tijdClick();
    f->resize(width, 400);
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.get()));
    const QRect frameRect = f->rect();
    const int listTop = f->Label1()->mapTo(f.get(), QPoint()).y();
    QList<QRect> taken;
    for (const char *name :
         {"ToolButton1", "ToolButton12", "ToolButton9", "ToolButton3", "ToolButton4", "ToolButton5", "ToolButton6",
          "ToolButton7", "ToolButton8", "ToolButton11", "SpeedButton1", "SpeedButton2"}) {
        auto *b = f->findChild<QToolButton *>(name);
        QVERIFY2(b, name);
        QVERIFY2(b->isVisible(), name);
        const QRect r(b->mapTo(f.get(), QPoint()), b->size());
        QVERIFY2(
            frameRect.contains(r),
            qPrintable(QString("%1 at %2,%3 %4x%5").arg(name).arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())));
        QVERIFY2(r.bottom() < listTop, name);
        QVERIFY2(r.width() >= b->sizeHint().width(), name);  // not squeezed
        for (const QRect &other : taken)
            QVERIFY2(!other.intersects(r), name);
        taken << r;
    }
    QVERIFY(f->findChildren<QToolBar *>().isEmpty());  // no overflow handle anywhere
    QCOMPARE(f->ListBox1()->font().pointSizeF(), QApplication::font().pointSizeF());
    QVERIFY(f->ListBox1()->sizeHintForRow(0) >= QFontMetrics(f->ListBox1()->font()).height());
    saveScreenshot(f.get(), QString("agenda_%1px.png").arg(width));
}

void TestAgenda::screenshots()
{
    auto f = frame(kToday, 6);
    f->tijdClick();
    select(f->ListBox1(), {"9001 normal"});
    f->resize((1600 - 28) / 2, 400);
    f->show();
    saveScreenshot(f.get(), "agenda.png");
    TAgendaForm form;
    form.AgendaPuntFrame1()->Load(9001);
    form.AgendaPuntFrame1()->SetFollowUp(9002);
    form.show();
    saveScreenshot(&form, "agendapunt.png");
    form.AgendaPuntFrame1()->findChild<QTabWidget *>("PageControl1")->setCurrentIndex(1);
    saveScreenshot(&form, "agendapunt_adressen.png");
}

QTEST_MAIN(TestAgenda)
#include "tst_agenda.moc"
