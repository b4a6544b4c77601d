// The sources frame, the source search and the mail folder view against a
// fresh copy of the demo newsroom and a real quillon-server, whose import job
// fetches a feed from an HTTP server this test runs on loopback. Every
// statement and every server command of the client is recorded, so the
// tests compare what was really sent, in its order.

#include "support/HttpServer.h"
#include "support/Modal.h"
#include "support/NullLinkClient.h"
#include "support/ServerProcess.h"
#include "support/Screenshots.h"
#include "support/TestDatabase.h"

#include "core/Frame.h"
#include "core/Global.h"
#include "core/Registry.h"
#include "core/ServerLink.h"
#include "db/Postgres.h"
#include "incoming/BronImportDialog.h"
#include "incoming/BronZoekDialog.h"
#include "incoming/BronnenFrame.h"
#include "incoming/BronnenSql.h"
#include "incoming/MailDirFrame.h"
#include "planning/AgendaForm.h"
#include "planning/AgendaFrame.h"
#include "platform/Settings.h"
#include "platform/Shell.h"
#include "views/HighlightView.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextLayout>
#include <QThread>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

using namespace core;
using namespace incoming;
using testsupport::onModal;

namespace {

class Client : public testsupport::NullLinkClient {
public:
    explicit Client(QStringList &log) : m_log(log) {}
    bool login(const testsupport::TestDatabase &db, quint16 port, const QString &user, const QString &password)
    {
        post = std::make_unique<db::TPostgres>();
        post->setHost(db.server().host);
        post->setPort(db.server().port);
        if (!post->Open())
            return false;
        post->Connect(db.name(), testsupport::kClientUser, testsupport::kClientPassword);
        if (!post->Connected())
            return false;
        post->OnStatement = [this](const QString &sql) { m_log << QStringLiteral("sql ") + sql; };
        link = std::make_unique<TServerLink>(state(), *this);
        if (!link->open(QStringLiteral("127.0.0.1"), port))
            return false;
        state().post = post.get();
        state().server = link.get();
        return link->SendCommand(QStringLiteral("auth ") + user + QLatin1Char(' ') + password);
    }
    void logStatus(const QString &text) override
    {
        static const QString sent = QStringLiteral("<blue>server: ");
        if (text.startsWith(sent))
            m_log << QStringLiteral("cmd ") + text.mid(sent.size());
    }
    void announce(const QString &sender, const QString &text) override
    {
        m_log << QStringLiteral("announce ") + sender + QLatin1Char(' ') + text;
    }
    std::unique_ptr<db::TPostgres> post;
    std::unique_ptr<TServerLink> link;

private:
    QStringList &m_log;
};

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
    // Reloads the frame beside the sources, as the main window does.
    void RefreshViews() override
    {
        m_log << QStringLiteral("main RefreshViews");
        if (right)
            right->frameMessage(FRAME_REFRESH, 0, 0);
    }
    void ShowStatusLine(const QString &) override {}
    void LogStatus(const QString &) override {}
    QPointer<TFrame> right;

private:
    QStringList &m_log;
};

QStringList lines(QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void writeMail(const QString &path, const QByteArray &bytes, const QDateTime &stamp)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.flush();  // before the time is set: writing on close would set it again
    QVERIFY(f.setFileTime(stamp, QFileDevice::FileModificationTime));
}

}  // namespace

class TestBronnen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void activateLoadsTheSourceChosenLast();
    void itemsTextsAndLinks();
    void refreshBringsNewItemsToTheTop();
    void toAgenda();
    void toAgendaShowsInTheMakersAgenda();
    void search();
    void bulletinBoards();
    void switchingDuringAScan();

private:
    std::unique_ptr<TBronnenFrame> frame();
    void recordAgendaItems();

    std::unique_ptr<testsupport::TestDatabase> m_db;
    std::unique_ptr<testsupport::HttpServer> m_http;
    servertest::ServerProcess m_server;
    QTemporaryDir m_dir;
    QStringList m_log;
    std::unique_ptr<Client> m_client;
    std::unique_ptr<MainRecorder> m_main;
    QStringList m_opened;  // what the shell hook was asked to open
    int m_gemeente = 0;  // tblnet id of "Gemeente Zwaluwstad"
};

void TestBronnen::initTestCase()
{
    QUILLON_REQUIRE_PG(15);
    m_db = std::make_unique<testsupport::TestDatabase>(15, QStringLiteral("quillon_demo"));
    QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
    m_http = std::make_unique<testsupport::HttpServer>();
    QVERIFY(m_http->ok());
    m_gemeente = m_db->query("select id from tblnet where naam = 'Gemeente Zwaluwstad'").value(0).value(0).toInt();
    QVERIFY(m_db->exec(QStringLiteral("update tblnet set feed = '%1' where id = %2")
                           .arg(m_http->url("/gemeente.xml"))
                           .arg(m_gemeente)));
    QVERIFY2(m_server.start(m_db.get()), qPrintable(m_server.error()));
    platform::setSettingsFolder(m_dir.filePath(QStringLiteral("settings")));
    QFile ini(m_dir.filePath("zidad.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write(QStringLiteral("[station]\nwebsite=www.omroep.example\nfax=fax@omroep.example\nredactie=redactie@omroep."
                             "example\n[prikbord]\nFAX=%1\nredactie=%2\n")
                  .arg(m_dir.filePath("fax"), m_dir.filePath("redactie"))
                  .toUtf8());
    ini.close();
    qputenv("QUILLON_INI", m_dir.filePath("zidad.ini").toUtf8());
    QDir(m_dir.path()).mkpath("fax");
    QDir(m_dir.path()).mkpath("redactie");
    m_client = std::make_unique<Client>(m_log);
    QVERIFY(m_client->login(*m_db, m_server.port(), "marieke", "kievitpolder47"));
    m_main = std::make_unique<MainRecorder>(m_log);
    state().main = m_main.get();
    state().workDate = QDate(2031, 3, 12);
    platform::setOpenUrlHook([this](const QUrl &url) {
        m_opened << url.toString();
        return true;
    });
    TRegistry &r = registry();
    r.clear();
    r.registerOpener<ViewTextRequest>([this](const ViewTextRequest &q) {
        m_log << QStringLiteral("view ") + q.caption + QLatin1Char('|') + q.markup;
        return std::monostate{};
    });
    recordAgendaItems();
}

// The agenda item editor as a recorder that answers "&Opslaan" with item 77.
void TestBronnen::recordAgendaItems()
{
    registry().registerOpener<AgendaItemRequest>([this](const AgendaItemRequest &q) {
        m_log << QStringLiteral("open agenda %1 date=%2 onderwerp=%3 opmerkingen=%4 bron=%5")
                     .arg(q.agendaId)
                     .arg(q.date ? q.date->toString(Qt::ISODate) : QStringLiteral("-"), q.onderwerp.value_or("-"),
                          q.opmerkingen.value_or("-"), q.bron.value_or("-"));
        return AgendaItemResult{1, 77};
    });
}

void TestBronnen::init()
{
    platform::WriteSetting("brontype", "0");
    platform::WriteSetting("bronnenbox", "0");
    m_client->link->SendCommand("poll");
    m_log.clear();
    m_opened.clear();
}

void TestBronnen::cleanupTestCase()
{
    registry().clear();
    platform::setOpenUrlHook({});
    state().main = nullptr;
    state().post = nullptr;
    state().server = nullptr;
    m_client.reset();
}

std::unique_ptr<TBronnenFrame> TestBronnen::frame()
{
    auto f = std::make_unique<TBronnenFrame>();
    f->resize(800, 500);
    f->frameMessage(FRAME_ACTIVATE, 0, 0);
    return f;
}

void TestBronnen::activateLoadsTheSourceChosenLast()
{
    platform::WriteSetting("bronnenbox", "1");
    auto f = frame();
    const int politie = m_db->query("select id from tblnet where naam = 'Politie'").value(0).value(0).toInt();
    QCOMPARE(m_log, QStringList({"main add Br&onnen PopupMenu1", "sql " + SourcesSql(), "sql " + ItemsSql(politie)}));
    QCOMPARE(f->bronnenbox()->currentItem()->text(), QStringLiteral("%1 Politie").arg(politie));
    QCOMPARE(f->currentSource(), politie);
    // The source column is wide enough for the longest demo name, also in
    // a narrow panel.
    f->resize(480, 500);
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.get()));
    const int needed = f->bronnenbox()->fontMetrics().horizontalAdvance(QStringLiteral("Gemeente Zwaluwstad"));
    QVERIFY2(f->bronnenbox()->viewport()->width() > needed,
             qPrintable(QStringLiteral("%1 <= %2").arg(f->bronnenbox()->viewport()->width()).arg(needed)));
    // Prikbord and back: the source chosen last is chosen again by position.
    f->bronnenbox()->setCurrentRow(2);
    f->bronnenboxClick();
    f->brontypebox()->setCurrentRow(1);
    f->brontypeboxClick();
    f->brontypebox()->setCurrentRow(0);
    f->brontypeboxClick();
    QCOMPARE(f->bronnenbox()->currentRow(), 0);  // the board list reset the stored position to its first line
    QCOMPARE(platform::ReadSetting("brontype", ""), QStringLiteral("0"));
    f->frameMessage(FRAME_DEACTIVATE, 0, 0);
    QCOMPARE(m_log.last(), QStringLiteral("main remove Br&onnen PopupMenu1"));
}

void TestBronnen::itemsTextsAndLinks()
{
    auto f = frame();
    // The demo's Gemeente items, newest first.
    const QStringList items = lines(f->itembox());
    QCOMPARE(items.size(), 3);
    QVERIFY(items[0].section(' ', 1, 1) > items[1].section(' ', 1, 1));
    m_log.clear();
    f->itembox()->setCurrentRow(0);
    const QString id = items[0].section(' ', 0, 0);
    QCOMPARE(m_log, QStringList{"sql " + ItemTextSql(id.toInt())});
    QVERIFY(f->Memo1()->toPlainText().startsWith("De raad besluit vanavond"));
    QCOMPARE(f->Label1()->text(), QStringLiteral("https://www.zwaluwstad.example/nieuws/fietsbrug"));
    f->Label1Click();
    QCOMPARE(m_opened, QStringList{"https://www.zwaluwstad.example/nieuws/fietsbrug"});
    m_log.clear();
    f->itemboxDblClick();
    QCOMPARE(m_log.size(), 2);
    QCOMPARE(m_log[0], "sql " + ItemViewSql(id.toInt()));
    QVERIFY2(m_log[1].startsWith("view Raad stemt over krediet fietsbrug|<bold>Raad stemt over krediet "
                                 "fietsbrug<normal>\r\n<green>Opgehaald op <bold>"),
             qPrintable(m_log[1]));
}

void TestBronnen::refreshBringsNewItemsToTheTop()
{
    auto f = frame();
    QCOMPARE(f->currentSource(), m_gemeente);
    m_http->set("/gemeente.xml", "<rss><channel><item><title>Nieuw uit de raad</title><guid>r1</guid>"
                                 "<pubDate>Wed, 12 Mar 2031 10:00:00 GMT</pubDate></item></channel></rss>");
    m_log.clear();
    f->Bronvernieuwen1Click();
    QCOMPARE(
        m_log.value(0),
        QStringLiteral("cmd job new eenmalig \"import %1\" \"Verversen van Gemeente Zwaluwstad\"").arg(m_gemeente));
    // Said once in the tool bar, no window popping up; the end of the import
    // replaces it.
    QVERIFY2(m_log.filter("announce").isEmpty(), qPrintable(m_log.join('\n')));
    QCOMPARE(f->verversen()->text(), QStringLiteral("De bron wordt ververst"));
    // The "bronadd" line arrives with a later poll and goes on top.
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 8000 && f->verversen()->text() == QLatin1String("De bron wordt ververst")) {
        m_client->link->SendCommand("poll");
        QTest::qWait(50);
    }
    const QString top = f->itembox()->item(0)->text();
    QVERIFY2(top.endsWith(" Nieuw uit de raad"), qPrintable(top));
    QCOMPARE(f->itembox()->count(), 4);
    QCOMPARE(f->verversen()->text(),
             QStringLiteral("Verversen van Gemeente Zwaluwstad klaar: 1 nieuw bericht (1 in de feed)"));
    const auto row = m_db->query("select id, datum, \"time\", kop from tblnetinfo where guid = 'r1'");
    QCOMPARE(top, row.value(0).join(' '));
    // A line for another source is not shown.
    f->BronAdd("internet 999 5 20310312 10:00:00 Elders");
    QCOMPARE(f->itembox()->count(), 4);
    // An item the source changed replaces its line and goes on top.
    const QString older = f->itembox()->item(2)->text();
    const QString changed = older.section(' ', 0, 2) + " Gecorrigeerde kop (bijgewerkt)";
    f->BronAdd(QStringLiteral("internet %1 ").arg(m_gemeente) + changed);
    QCOMPARE(f->itembox()->count(), 4);
    QCOMPARE(f->itembox()->item(0)->text(), changed);
    QVERIFY(f->itembox()->findItems(older, Qt::MatchExactly).isEmpty());
}

void TestBronnen::toAgenda()
{
    auto f = frame();
    f->itembox()->setCurrentRow(0);
    m_log.clear();
    f->frameMessage(FRAME_MOVE_RIGHT, 0, 0);
    QCOMPARE(m_log.size(), 3);
    QVERIFY2(m_log[0].startsWith("open agenda -1 date=2031-03-12 onderwerp="), qPrintable(m_log[0]));
    QVERIFY(m_log[0].endsWith(" bron=" + f->Label1()->text()));
    QCOMPARE(m_log[1], QStringLiteral("cmd broadcast viewchanged agenda"));
    QCOMPARE(m_log[2], QStringLiteral("main RefreshViews"));
    // Nothing chosen: nothing happens.
    f->itembox()->setCurrentRow(-1);
    m_log.clear();
    f->Naaragenda1Click();
    QVERIFY(m_log.isEmpty());
}

// The editor who makes an agenda item from a source sees it at once in the
// agenda beside the sources, as the other clients do through the broadcast.
void TestBronnen::toAgendaShowsInTheMakersAgenda()
{
    planning::RegisterAgendaItemOpener(registry());
    const int team = state().currentTeamId;
    state().currentTeamId = 1;
    planning::TAgendaFrame agenda;
    agenda.frameMessage(FRAME_REFRESH, 0, 0);
    m_main->right = &agenda;
    auto f = frame();
    f->itembox()->setCurrentRow(0);
    const QString title = f->itembox()->item(0)->text().section(' ', 3);
    QVERIFY(!title.isEmpty());
    QVERIFY(agenda.ListBox1()->findItems(title, Qt::MatchEndsWith).isEmpty());
    onModal([](QWidget *w) {
        auto *form = qobject_cast<planning::TAgendaForm *>(w);
        QVERIFY(form);
        QTest::mouseClick(form->Button2(), Qt::LeftButton);
    });
    f->frameMessage(FRAME_MOVE_RIGHT, 0, 0);
    const auto shown = agenda.ListBox1()->findItems(" 20310312 00:00 " + title, Qt::MatchEndsWith);
    QCOMPARE(shown.size(), 1);
    m_main->right = nullptr;
    state().currentTeamId = team;
    recordAgendaItems();
}

void TestBronnen::search()
{
    m_db->exec("insert into tblnetinfo (netid, datum, \"time\", kop, body) values (1, '20310310', '10:00', 'Markt "
               "dicht', 'De MARKT is dicht')");
    m_db->exec("insert into tblanp (datum, \"time\", kop, body) values ('20310311', '09:00', 'Wire', 'markt open'), "
               "('20310310', '08:00', 'Ander', 'geen')");
    TBronZoekDialog dialog;
    m_log.clear();
    QTest::keyClicks(dialog.Edit1(), "MarKt");
    QCOMPARE(dialog.Edit1()->text(), QStringLiteral("markt"));
    QTest::keyClick(dialog.Edit1(), Qt::Key_Return);
    QCOMPARE(m_log.mid(0, 2), QStringList({"sql " + SearchNetSql("markt"), "sql " + SearchAnpSql("markt")}));
    const QStringList hits = lines(dialog.ListBox1());
    QCOMPARE(hits.size(), 2);
    QVERIFY2(hits[0].startsWith("anp ") && hits[0].endsWith(" 20310311 Wire"), qPrintable(hits.join('\n')));
    QVERIFY(hits[1].startsWith("internet ") && hits[1].endsWith(" 20310310 Markt dicht"));
    // The title stands apart from the kind word drawn in bold before it.
    QFont bold = dialog.ListBox1()->font();
    bold.setBold(true);
    QVERIFY(HitTitleLeft(dialog.ListBox1()->font()) > 1 + QFontMetrics(bold).horizontalAdvance("internet") + 2);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(testsupport::saveScreenshot(&dialog, "bronnen-zoeken.png"));
    dialog.hide();
    // The first hit is shown, its word marked; the plain text stays unmarked.
    QCOMPARE(
        dialog.HighlightView1()->text(),
        QStringLiteral("<bold>Wire<normal> <green>di 11 mrt 2031<black>\r\n\r\n<bold><red>MARKT<black><normal> open"));
    QCOMPARE(dialog.plainText(), QStringLiteral("Wire\r\n\r\nmarkt open"));
    // "Naar agenda" from the frame hands the hit on.
    auto f = frame();
    onModal([](QWidget *w) {
        auto *d = qobject_cast<TBronZoekDialog *>(w);
        QVERIFY(d);
        QTest::keyClicks(d->Edit1(), "geen zoekresultaat hier");
        d->Button2Click();
        QCOMPARE(d->ListBox1()->count(), 0);
        QCOMPARE(d->HighlightView1()->text(), QStringLiteral("<red><bold>Geen zoekresultaten"));
        d->findChild<QPushButton *>("Button3")->click();
    });
    m_log.clear();
    f->Zoeken1Click();
    QCOMPARE(m_log.filter("open agenda"), QStringList{"open agenda -1 date=- onderwerp= opmerkingen= bron=-"});
}

void TestBronnen::bulletinBoards()
{
    const QDateTime now = QDateTime::currentDateTime();
    writeMail(m_dir.filePath("redactie/nieuw.cnb"),
              "From: Lezer <lezer@example.org>\r\nSubject: Tip\r\n\r\nEen tip.\r\n", now.addSecs(-60));
    writeMail(m_dir.filePath("redactie/oud.cnb"),
              "Read: yes\r\nFrom: <oud@example.org>\r\nSubject: Oud\r\n\r\nOud.\r\n", now.addDays(-3));
    auto f = frame();
    f->brontypebox()->setCurrentRow(1);
    f->brontypeboxClick();
    QCOMPARE(lines(f->bronnenbox()), QStringList({"0 Fax", "0 Redactie"}));
    // The first board: the fax placeholders.
    m_log.clear();
    f->Naaragenda1Click();
    QCOMPARE(m_log.value(0), QStringLiteral("open agenda -1 date=2031-03-12 onderwerp=Onderwerp van fax "
                                            "opmerkingen=Een fax kan helaas niet worden gekoppeld aan een onderwerp. "
                                            "Er wordt nog gewerkt aan het oplossing hiervoor. "
                                            "bron=redactie@omroep.example"));
    // The second board: today's and yesterday's mail only, then all.
    f->bronnenbox()->setCurrentRow(1);
    f->bronnenboxClick();
    TMailDirFrame *fax = f->fax();
    QVERIFY(fax->waitForScan());
    QCOMPARE(fax->list()->topLevelItemCount(), 1);
    QCOMPARE(fax->list()->topLevelItem(0)->text(1), QStringLiteral("Lezer"));
    fax->alldaysClick();
    QVERIFY(fax->waitForScan());
    QCOMPARE(fax->list()->topLevelItemCount(), 2);
    QCOMPARE(fax->list()->topLevelItem(1)->text(1), QStringLiteral("oud@example.org"));  // older below
    QVERIFY(!fax->list()->topLevelItem(1)->icon(0).isNull());  // read
    // Rows chosen quickly load only the last one, after the timer.
    fax->list()->setCurrentItem(fax->list()->topLevelItem(1));
    fax->list()->setCurrentItem(fax->list()->topLevelItem(0));
    QVERIFY(fax->Timer1()->isActive());
    fax->Timer1Timer();
    QCOMPARE(fax->mail()->subject(), QStringLiteral("Tip"));
    m_log.clear();
    f->Naaragenda1Click();
    QCOMPARE(m_log.value(0), QStringLiteral("open agenda -1 date=2031-03-12 onderwerp=Tip opmerkingen=Een tip.<br>\r\n "
                                            "bron=fax@omroep.example")
                                 .replace("<br>", ""));
    // The import dialog hands over the mail's text.
    TBronImportDialog dialog;
    dialog.show();
    dialog.BronnenFrame1()->brontypebox()->setCurrentRow(1);
    dialog.BronnenFrame1()->brontypeboxClick();
    dialog.BronnenFrame1()->bronnenbox()->setCurrentRow(1);
    dialog.BronnenFrame1()->bronnenboxClick();
    QVERIFY(dialog.BronnenFrame1()->fax()->waitForScan());
    dialog.BronnenFrame1()->fax()->list()->setCurrentItem(dialog.BronnenFrame1()->fax()->list()->topLevelItem(0));
    dialog.BronnenFrame1()->fax()->Timer1Timer();
    dialog.hide();
    QCOMPARE(dialog.text(), QStringLiteral("Een tip.\n"));
}

// Moving to another board, or to another filter, while a scan's rows still
// wait to be added: only the rows of what is shown now are listed.
void TestBronnen::switchingDuringAScan()
{
    const QDateTime now = QDateTime::currentDateTime();
    for (int i = 0; i < 40; ++i)
        writeMail(m_dir.filePath(QStringLiteral("fax/fax%1.cnb").arg(i)),
                  QStringLiteral("From: Fax %1 <fax@example.org>\r\nSubject: Fax %1\r\n\r\nEen fax.\r\n").arg(i).toUtf8(),
                  now.addSecs(-120 - i));
    writeMail(m_dir.filePath("redactie/vraag.cnb"),
              "From: Luisteraar <luisteraar@example.org>\r\nSubject: Vraag over de fietsbrug in het centrum\r\n\r\n"
              "Wanneer gaat de brug open?\r\n",
              now.addSecs(-30));
    writeMail(m_dir.filePath("redactie/lang.cnb"),
              "From: <oud@example.org>\r\nSubject: Oud\r\n\r\nOud.\r\n", now.addDays(-5));
    auto f = frame();
    f->resize(1000, 600);
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.get()));
    TMailDirFrame *fax = f->fax();
    auto clickRow = [](QListWidget *list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    };
    auto senders = [fax] {
        QStringList out;
        for (int i = 0; i < fax->list()->topLevelItemCount(); ++i)
            out << fax->list()->topLevelItem(i)->text(1);
        return out;
    };
    // "Prikbord" opens the first board (Fax); its scan ends while the editor
    // already clicks the second board, before its rows were added.
    clickRow(f->brontypebox(), 1);
    QThread::msleep(500);
    clickRow(f->bronnenbox(), 1);
    QVERIFY(fax->waitForScan());
    QTest::qWait(20);
    QVERIFY2(senders().filter("Fax").isEmpty(), qPrintable(senders().join(", ")));
    QVERIFY(senders().contains("Luisteraar"));

    // "Alle mail", then back to today and yesterday during that scan: the
    // old mail is not listed.
    auto choose = [fax](int downs) {
        QTest::mouseClick(fax->findChild<QToolButton *>("SpeedButton1"), Qt::LeftButton);
        QTRY_VERIFY(fax->lijstmenu()->isVisible());
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(fax->lijstmenu(), Qt::Key_Down);
        QTest::keyClick(fax->lijstmenu(), Qt::Key_Return);
    };
    choose(2);
    QThread::msleep(300);
    choose(1);
    QVERIFY(fax->waitForScan());
    QTest::qWait(20);
    QVERIFY2(!senders().contains("oud@example.org"), qPrintable(senders().join(", ")));
    QCOMPARE(fax->Panel1()->text(), QStringLiteral("mail van vandaag en gisteren wordt getoond"));

    // The mail folder after the mend, a message shown.
    for (int i = 0; i < fax->list()->topLevelItemCount(); ++i)
        if (fax->list()->topLevelItem(i)->text(1) == QLatin1String("Luisteraar"))
            fax->list()->setCurrentItem(fax->list()->topLevelItem(i));
    QTRY_COMPARE_WITH_TIMEOUT(fax->mail()->subject(), QStringLiteral("Vraag over de fietsbrug in het centrum"), 3000);
    // The labels of the message's header rows stay whole ("Onderwerp:", not
    // "Onderwer" and "p:" on two lines).
    const QTextDocument *page = fax->mail()->web()->document();
    bool found = false;
    for (QTextBlock b = page->begin(); b.isValid(); b = b.next())
        if (b.text().startsWith(QLatin1String("Onderwerp"))) {
            found = true;
            QCOMPARE(b.layout()->lineCount(), 1);
        }
    QVERIFY(found);
    QVERIFY(testsupport::saveScreenshot(f.get(), "prikbord.png"));
}

QTEST_MAIN(TestBronnen)
#include "tst_bronnen.moc"
