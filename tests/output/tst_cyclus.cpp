// The ready list beside the rubric cycle, the on-air copy and the playout,
// against a fresh copy of the demo newsroom and a real quillon-server, with
// two clients: joost, who holds the final-editor role, and fatima, who does
// not. Every statement and command of both goes into one recording.
//
// The fixture works in a team of its own (8, "Onderzoek"), which shows the
// programme "Kabelkrant" (rubrics "Agenda" 3, accepting "Kort bericht", and
// "Nieuws" 1, accepting "Kort bericht", "Achtergrond" and "Nieuws"), with the
// clock on Wednesday 12 March 2031 09:41.

#include "support/DeskClients.h"
#include "support/Modal.h"
#include "support/Screenshots.h"
#include "support/ScriptedDialogs.h"
#include "support/ServerProcess.h"

#include "core/Dates.h"
#include "core/DragObject.h"
#include "core/Registry.h"
#include "output/CyclusFrame.h"
#include "output/CyclusLogic.h"
#include "output/CyclusPlayout.h"
#include "output/CyclusSql.h"
#include "planning/KlaarFrame.h"
#include "platform/Settings.h"
#include "views/DragList.h"

#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPainter>
#include <QTemporaryDir>
#include <QAction>
#include <QtTest>

using namespace core;
using output::TCyclusFrame;
using platform::BoxType;
using platform::ModalResult;
using testsupport::DeskClient;

namespace {

const QDate kToday(2031, 3, 12);
const QChar ff(0xFF);

QString content(const QList<int> &ids)
{
    return output::FormatRubricContent(ids);
}

// One clock from 1 to 31 March, the whole day, every day.
QString wholeMonth()
{
    QString c;
    for (const char *f : {"20310301", "20310331", "00:00:00", "23:59:59", "00:00:00", "23:59:59", "xxxxxxx"})
        c += QString::fromLatin1(f) + ff;
    return c;
}

QStringList ids(QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << QString::number(output::RubricLineId(list->item(i)->text()));
    return out;
}

std::unique_ptr<QMimeData> dragObject(const QString &ids, const QString &source)
{
    return std::unique_ptr<QMimeData>(DragObjectMimeData({DragTargetRubriek, ids, source}));
}

}  // namespace

class TestCyclus : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void readyList();
    void addWithTheMoveRightButton();
    void dropReorderRemoveAndPutBack();
    void twoClients();
    void unreadableRubricIsNotStoredOver();
    void onAirFlavour();
    void playout();

private:
    QString stored(int rubric, bool onAir = false);
    std::unique_ptr<TCyclusFrame> cycle(bool onAir = false);
    void checkDialogs(const testsupport::ScriptedDialogs &d);

    std::unique_ptr<testsupport::TestDatabase> m_db;
    servertest::ServerProcess m_server;
    QTemporaryDir m_dir;
    QStringList m_log;
    std::unique_ptr<DeskClient> m_joost;
    std::unique_ptr<DeskClient> m_fatima;
    std::unique_ptr<testsupport::MainRecorder> m_main;
};

void TestCyclus::initTestCase()
{
    QUILLON_REQUIRE_PG(15);
    m_db = std::make_unique<testsupport::TestDatabase>(15, QStringLiteral("quillon_demo"));
    QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
    QVERIFY(m_db->exec("insert into tblredactie (id, naam) values (8, 'Onderzoek');"
                       "insert into tblredactierubriek values (8, 1)"));
    QVERIFY2(m_server.start(m_db.get()), qPrintable(m_server.error()));
    platform::setSettingsFolder(m_dir.filePath(QStringLiteral("settings")));
    setClock([] { return QDateTime(kToday, QTime(9, 41, 7)); });
    TProgramState &s = state();
    s.currentTeamId = 8;
    s.workDate = kToday;

    m_fatima = std::make_unique<DeskClient>(m_log);
    QVERIFY(m_fatima->login(*m_db, m_server.port(), "fatima", "eksterduin51"));
    m_joost = std::make_unique<DeskClient>(m_log);
    QVERIFY(m_joost->login(*m_db, m_server.port(), "joost", "merelhaag82"));
    QVERIFY(m_joost->link->SendCommand("eindredacteur 8"));  // the role the server checks
    m_joost->finalEditor = true;
    m_joost->activate();
    m_main = std::make_unique<testsupport::MainRecorder>(m_log);
    s.main = m_main.get();
    registry().clear();
    registry().registerOpener<VersionsRequest>([this](const VersionsRequest &q) {
        m_log << QStringLiteral("open versions %1 %2").arg(q.agendaId).arg(q.preferredVersionId);
        return VersionsResult{true, 1};
    });
}

void TestCyclus::cleanupTestCase()
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

// Two topics of team 8 made ready today (9001 with two versions, 9004 with
// one, five days ago), one still in production, an automatic item made ready.
void TestCyclus::init()
{
    QVERIFY(m_db->exec("delete from tblagenda where id >= 9000; delete from tbltodo where id >= 9000;"
                       "delete from tblteksten where id >= 9100; delete from tbltodoherhaal where id >= 9000;"
                       "delete from tblrubriekhistorie"));
    QVERIFY(m_db->exec("insert into tblagenda (id, kort, datum, redactie) values"
                       " (9001, 'Brug open', '20310312', 8), (9002, 'Raad', '20310312', 8),"
                       " (9004, 'Markt', '20310307', 8)"));
    QVERIFY(m_db->exec("insert into tbltodo (id, agendaid, datum, klaar, redactie, wie) values"
                       " (9501, 9001, '20310312', true, 8, 'joost'), (9502, 9002, '20310312', false, 8, 'sanne'),"
                       " (9504, 9004, '20310307', true, 8, 'fatima')"));
    QVERIFY(m_db->exec(QString("insert into tblteksten (id, agendaid, kop, template, paginacount, klok, body) values"
                               " (9101, 9001, 'Brug gaat open', 3, 1, '%1', 'De brug<br>gaat open<hrt>'),"
                               " (9102, 9001, 'Brug: achtergrond', 4, 2, '%1', 'Lang<br>verhaal'),"
                               " (9103, 9002, 'Raad besluit', 3, 3, '', 'Besluit'),"
                               " (9104, 9004, 'Markt verhuist', 3, 1, '%1', 'Markt')")
                           .arg(wholeMonth())));
    QVERIFY(m_db->exec("insert into tbltodoherhaal (id, kort, redactie, dagen, klaar) values"
                       " (9601, 'Weerbericht', 8, 'xxxxxxx', true)"));
    QVERIFY(m_db->exec(QString("update tblrubriek set txt = '', paginacount = 0, onderwerpcount = 0 where id = 3;"
                               "update tblrubriek set txt = '%1' where id = 1 and not onair;"
                               "update tblrubriek set txt = '%2' where id = 3 and onair")
                           .arg(content({9103}), content({9101}))));
    platform::WriteSetting("Programma", "1");
    platform::WriteSetting("CyclusRubriek", "3");
    planning::TKlaarFrame::setLastDaysBack(0);
    m_joost->activate();
    m_log.clear();
}

QString TestCyclus::stored(int rubric, bool onAir)
{
    const auto rows = m_db->query(QString("select txt, paginacount, onderwerpcount from tblrubriek where id = %1 and "
                                          "onair = %2")
                                      .arg(rubric)
                                      .arg(onAir ? "true" : "false"));
    if (rows.isEmpty())
        return "<none>";
    return QString(rows[0][0]).replace(ff, '|') + " pages " + rows[0][1] + " count " + rows[0][2];
}

std::unique_ptr<TCyclusFrame> TestCyclus::cycle(bool onAir)
{
    auto f = std::make_unique<TCyclusFrame>();
    f->setOnAir(onAir);
    f->resize(420, 600);
    f->frameMessage(FRAME_ACTIVATE, 0, 0);
    return f;
}

void TestCyclus::checkDialogs(const testsupport::ScriptedDialogs &d)
{
    QVERIFY2(d.problems().isEmpty(), qPrintable(d.problems().join("\n")));
}

void TestCyclus::readyList()
{
    planning::TKlaarFrame klaar;
    m_main->left = &klaar;
    klaar.frameMessage(FRAME_ACTIVATE, 0, 0);
    QStringList shown;
    for (int i = 0; i < klaar.versiebox()->count(); ++i)
        shown << klaar.versiebox()->item(i)->text().replace(ff, '|');
    // One line per version, sorted on the subject; the automatic item dated today.
    QCOMPARE(shown, QStringList({"9501|9001|20310312|Brug open|joost|9101|Brug gaat open|Kort bericht|",
                                 "9501|9001|20310312|Brug open|joost|9102|Brug: achtergrond|Achtergrond|",
                                 "9601|-1|20310312|Weerbericht||-1|||"}));
    QCOMPARE(klaar.versiebox()->item(0)->toolTip(), QStringLiteral("Brug gaat open (Kort bericht)"));
    QCOMPARE(klaar.Panel2()->text(), QStringLiteral("wo 12 mrt"));

    klaar.eerderClick(5);
    QCOMPARE(klaar.versiebox()->count(), 2);
    QVERIFY(klaar.versiebox()->item(0)->text().startsWith("9504" + QString(ff)));
    planning::TKlaarFrame again;  // a new ready list opens on the day chosen last
    QCOMPARE(again.daysBack(), 5);
    QCOMPARE(again.Panel2()->text(), QStringLiteral("vr 07 mrt"));

    // Three versions of one topic and the automatic item back to production.
    klaar.vandaagClick();
    for (int i = 0; i < klaar.versiebox()->count(); ++i)
        klaar.versiebox()->item(i)->setSelected(true);
    m_log.clear();
    klaar.Naartodo();
    QCOMPARE(m_log.mid(0, 7),
             QStringList({"sql update tbltodo set klaar = false where id = 9501",
                          "sql update tbltodoherhaal set klaar = false where id = 9601",
                          "cmd broadcast klaar remove 9501", "cmd broadcast todo new 9501",
                          "cmd broadcast klaar remove 9601", "cmd broadcast todo hnew 9601", "main RefreshViews"}));
    QCOMPARE(klaar.versiebox()->count(), 0);

    // Another client's "remove" takes every line of that topic.
    QVERIFY(m_db->exec("update tbltodo set klaar = true where id = 9501;"
                       "update tbltodoherhaal set klaar = true where id = 9601"));
    klaar.Reload();
    klaar.serverMessage("remove 9501");
    QCOMPARE(klaar.versiebox()->count(), 1);
    m_main->left = nullptr;
}

// The ">" button: one message per selected version and the end of the batch;
// a version of a template the rubric does not take is refused with a warning,
// the other is stored, loaded and stored, and the change is announced.
void TestCyclus::addWithTheMoveRightButton()
{
    testsupport::ScriptedDialogs dialogs;
    dialogs.expectBox(BoxType::Warning, output::NotAllowedWarning);
    planning::TKlaarFrame klaar;
    klaar.frameMessage(FRAME_ACTIVATE, 0, 0);
    auto frame = cycle();
    m_main->right = frame.get();
    QCOMPARE(frame->currentRubric(), 3);
    klaar.versiebox()->selectAll();
    klaar.versiebox()->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    m_log.clear();
    klaar.frameMessage(FRAME_MOVE_RIGHT, 0, 0);
    QTRY_COMPARE(ids(frame->box()), QStringList({"9101"}));
    checkDialogs(dialogs);
    const QString c = content({9101});
    QStringList writes = m_log.filter(QRegularExpression("^(sql (begin|end|update tblrubriek|insert|delete)|cmd)"));
    QCOMPARE(writes, QStringList({
                         "sql begin",
                         "sql insert into tblrubriekhistorie (rubriekid, onair, txt, datum, tijd, wie) select id, "
                         "onair, txt, '20310312', '09:41:07', 2 from tblrubriek where id = 3 and onair = false and "
                         "coalesce(txt, '') <> '" +
                             c + "'",
                         "sql update tblrubriek set txt = '" + c +
                             "' ,paginacount = 0 ,onderwerpcount = 1 where not onair and id = 3",
                         "sql delete from tblrubriekhistorie where rubriekid = 3 and onair = false and id <= (select "
                         "id from tblrubriekhistorie where rubriekid = 3 and onair = false order by id desc offset 50 "
                         "limit 1)",
                         "sql end",
                         "sql begin",
                         "sql insert into tblrubriekhistorie (rubriekid, onair, txt, datum, tijd, wie) select id, "
                         "onair, txt, '20310312', '09:41:07', 2 from tblrubriek where id = 3 and onair = false and "
                         "coalesce(txt, '') <> '" +
                             c + "'",
                         "sql update tblrubriek set txt = '" + c +
                             "' ,paginacount = 1 ,onderwerpcount = 1 where not onair and id = 3",
                         "sql delete from tblrubriekhistorie where rubriekid = 3 and onair = false and id <= (select "
                         "id from tblrubriekhistorie where rubriekid = 3 and onair = false order by id desc offset 50 "
                         "limit 1)",
                         "sql end",
                         "cmd broadcast rubriek update 3",
                     }));
    // The second store writes the page total of the reloaded list.
    QCOMPARE(stored(3), QStringLiteral("9101| pages 1 count 1"));
    QCOMPARE(m_db->query("select count(*) from tblrubriekhistorie")[0][0], QStringLiteral("1"));
    frame->Timer1Timer();
    QCOMPARE(frame->findChild<QLabel *>("pagcount")->text(), QStringLiteral("1"));
    QCOMPARE(frame->findChild<QLabel *>("berrub")->text(), QStringLiteral("1"));
    QCOMPARE(frame->findChild<QLabel *>("onderwerpcyclus")->text(),
             QStringLiteral("7"));  // 3 + 2 + 1 of the demo and this one
    const output::RubricLine line = output::ParseRubricLine(frame->box()->item(0)->text());
    QCOMPARE(line.kop + "|" + line.pages + "|" + line.status, QStringLiteral("Brug gaat open|1|ok"));
    frame->box()->setCurrentRow(0);
    frame->Timer2Timer();
    QVERIFY(frame->box()->item(0)->toolTip().startsWith("Brug gaat open\r\nLoopt van:\r\nVan 01-03-2031 00:00 tot "
                                                        "31-03-2031 23:59 (00:00 - 23:59)"));
    // Opening the text takes the topic's lock and reloads after OK.
    m_log.clear();
    frame->box()->setCurrentRow(0);
    frame->boxDblClick();
    QCOMPARE(m_log.filter(QRegularExpression("^(cmd|open)")),
             QStringList({"cmd lock todo_9001", "open versions 9001 9101", "cmd unlock todo_9001"}));
    QVERIFY(m_log.contains("sql select txt from tblrubriek where id = 3 and not onair"));
    m_main->right = nullptr;
    testsupport::saveScreenshot(frame.get(), "cyclus-frame.png");
}

void TestCyclus::dropReorderRemoveAndPutBack()
{
    platform::WriteSetting("CyclusRubriek", "1");
    testsupport::ScriptedDialogs dialogs;
    auto frame = cycle();
    QCOMPARE(ids(frame->box()), QStringList({"9103"}));
    QCOMPARE(frame->findChild<QLabel *>("pagcount")->text(), QStringLiteral("0"));  // 9103 has no clock
    // Three ready texts, the last already there: the other two at the drop point, one warning.
    dialogs.expectBox(BoxType::Warning, output::DuplicateWarning);
    frame->Drop(dragObject("9101 9102 9103 ", DragSourceVersiebox).get(), 0);
    QCOMPARE(ids(frame->box()), QStringList({"9101", "9102", "9103"}));
    QCOMPARE(stored(1), QStringLiteral("9101|9102|9103| pages 3 count 3"));
    // Reordering: the first line dropped below the last.
    frame->box()->clearSelection();
    frame->box()->item(0)->setSelected(true);
    frame->Drop(dragObject("9101 ", DragSourceRubriek).get(), 3);
    QCOMPARE(stored(1), QStringLiteral("9102|9103|9101| pages 3 count 3"));
    // Removing the middle one after the question.
    dialogs.expectBox(BoxType::Confirmation, output::RemoveConfirmation, ModalResult::Yes);
    frame->box()->clearSelection();
    frame->box()->item(1)->setSelected(true);
    frame->Tekstenuitrubriek1Click();
    QCOMPARE(stored(1), QStringLiteral("9102|9101| pages 3 count 2"));
    // Store, reload, store keeps the string the list shows.
    QCOMPARE(ids(frame->box()), QStringList({"9102", "9101"}));
    // "Vorige inhoud terugzetten" asks first; on Yes it puts the earlier
    // content back, and again undoes that.
    QAction *vorige = frame->findChild<QAction *>("Vorigeinhoud1");
    QVERIFY(vorige);
    emit frame->PopupMenu1()->aboutToShow();  // the menu opens
    QVERIFY(vorige->isEnabled());
    dialogs.expectBox(BoxType::Confirmation, output::RestoreConfirmation, ModalResult::No);
    vorige->trigger();
    QCOMPARE(stored(1), QStringLiteral("9102|9101| pages 3 count 2"));
    dialogs.expectBox(BoxType::Confirmation, output::RestoreConfirmation, ModalResult::Yes);
    vorige->trigger();
    QCOMPARE(stored(1), QStringLiteral("9102|9103|9101| pages 3 count 3"));
    dialogs.expectBox(BoxType::Confirmation, output::RestoreConfirmation, ModalResult::Yes);
    vorige->trigger();
    QCOMPARE(stored(1), QStringLiteral("9102|9101| pages 3 count 2"));
    QCOMPARE(m_db->query("select count(*) from tblrubriekhistorie where rubriekid = 1")[0][0], QStringLiteral("5"));
    // A garbled drag payload stores nothing.
    dialogs.expectBox(BoxType::Error, "Ongeldige tekstnummers in de sleepactie: \"9104 x \"");
    frame->Drop(dragObject("9104 x ", DragSourceVersiebox).get(), 0);
    QCOMPARE(stored(1), QStringLiteral("9102|9101| pages 3 count 2"));
    checkDialogs(dialogs);
}

// fatima's drop is refused with a message and stores nothing; joost's drop
// reaches fatima's frame through the server with her next poll.
void TestCyclus::twoClients()
{
    testsupport::ScriptedDialogs dialogs;
    m_fatima->activate();
    auto hers = cycle();
    m_fatima->right = hers.get();
    QCOMPARE(ids(hers->box()), QStringList());
    dialogs.expectBox(BoxType::Warning, output::NotFinalEditorMessage);
    m_log.clear();
    hers->Drop(dragObject("9101 ", DragSourceVersiebox).get(), 0);
    QCOMPARE(m_log.filter(QRegularExpression("^(sql (update|begin)|cmd)")), QStringList());
    QCOMPARE(stored(3), QStringLiteral(" pages 0 count 0"));
    // A forged announcement from her is refused by the server as well.
    QVERIFY(!m_fatima->link->SendCommand("broadcast rubriek update 3"));

    m_joost->activate();
    auto his = cycle();
    his->Drop(dragObject("9101 9104 ", DragSourceVersiebox).get(), 0);
    QCOMPARE(stored(3), QStringLiteral("9101|9104| pages 2 count 2"));

    m_fatima->activate();
    m_log.clear();
    QVERIFY(m_fatima->link->SendCommand("poll"));
    QVERIFY(m_log.contains("refresh fatima"));
    QCOMPARE(ids(hers->box()), QStringList({"9101", "9104"}));
    checkDialogs(dialogs);
    m_fatima->right = nullptr;
    m_joost->activate();
}

void TestCyclus::unreadableRubricIsNotStoredOver()
{
    const QString garbled = "9101" + QString(ff) + "9104; drop table tblteksten" + ff;
    QVERIFY(m_db->exec("update tblrubriek set txt = '" + garbled + "' where id = 3 and not onair"));
    testsupport::ScriptedDialogs dialogs;
    dialogs.expectBox(BoxType::Error, "De inhoud van deze rubriek is onleesbaar (onleesbaar tekstnummer \"9104; drop "
                                      "table tbl\" op positie 6); de rubriek wordt niet opgeslagen.");
    auto frame = cycle();
    QCOMPARE(frame->box()->count(), 0);
    dialogs.expectBox(BoxType::Warning, "De inhoud van deze rubriek is onleesbaar; er wordt niets opgeslagen.");
    frame->Drop(dragObject("9101 ", DragSourceVersiebox).get(), 0);
    checkDialogs(dialogs);
    QCOMPARE(m_db->query("select txt from tblrubriek where id = 3 and not onair")[0][0], garbled);
    QVERIFY(m_log.filter("select kop,paginacount,klok").isEmpty());  // nothing of it went into a statement
}

void TestCyclus::onAirFlavour()
{
    testsupport::ScriptedDialogs dialogs;
    auto frame = cycle(true);
    QVERIFY(m_log.contains("main add &Op zender PopupMenu1"));
    QVERIFY(m_log.contains("sql select txt from tblrubriek where id = 3 and onair"));
    QCOMPARE(ids(frame->box()), QStringList({"9101"}));
    // The menu entry is off in this flavour, the Delete key still removes.
    frame->PopupMenu1()->aboutToShow();
    QVERIFY(!frame->PopupMenu1()->findChild<QAction *>("Tekstenuitrubriek1")->isEnabled());
    dialogs.expectBox(BoxType::Confirmation, output::RemoveConfirmation, ModalResult::Yes);
    frame->box()->item(0)->setSelected(true);
    QTest::keyClick(frame->box(), Qt::Key_Delete);
    QCOMPARE(stored(3, true), QStringLiteral(" pages 0 count 0"));
    QCOMPARE(stored(3, false), QStringLiteral(" pages 0 count 0"));  // the working copy untouched
    QVERIFY(m_log.contains("sql update tblrubriek set txt = '' ,paginacount = 0 ,onderwerpcount = 0 where onair "
                           "and id = 3"));
    frame->frameMessage(FRAME_DEACTIVATE, 0, 0);
    QVERIFY(m_log.contains("main remove PopupMenu1"));
    checkDialogs(dialogs);
}

void TestCyclus::playout()
{
    QString longBody;
    for (int i = 1; i <= 40; ++i)
        longBody += QStringLiteral("Regel %1 van een lange tekst<br>").arg(i);
    QVERIFY(m_db->exec("update tblteksten set body = '" + longBody + "' where id = 9104"));
    QVERIFY(m_db->exec(
        QString("update tblrubriek set txt = '%1' where id = 3 and not onair").arg(content({9101, 77777, 9104}))));
    auto frame = cycle();
    output::TCyclusPlayout &playout = output::TCyclusPlayout::instance();
    playout.resize(1024, 600);
    QStringList seen;
    testsupport::onModal([&](QWidget *w) {
        QCOMPARE(w, &playout);
        const output::TTekst &page = playout.canvas()->page();
        seen << QStringLiteral("%1/%2 %3 %4").arg(page.number).arg(page.count).arg(page.rubricName, page.headline);
        QTest::keyClick(playout.teksten(), Qt::Key_Down);
        seen << QStringLiteral("%1.%2").arg(playout.position().text).arg(playout.position().screen);
        QTest::keyClick(playout.teksten(), Qt::Key_Down);  // the long text takes more than one screen
        QTest::keyClick(playout.teksten(), Qt::Key_Down);
        seen << QStringLiteral("%1.%2 of %3")
                    .arg(playout.position().text)
                    .arg(playout.position().screen)
                    .arg(playout.canvas()->screens().size());
        testsupport::saveScreenshot(&playout, "playout.png");
        QTest::keyClick(playout.teksten(), Qt::Key_F2);
        seen << QStringLiteral("%1.%2").arg(playout.position().text).arg(playout.position().screen);
        QTest::keyClick(playout.teksten(), Qt::Key_Escape);
    });
    frame->frameMessage(FRAME_PLAY, 0, 0);
    QCOMPARE(seen, QStringList({"1/2 Agenda Brug gaat open", "1.0", "1.1 of 2", "0.0"}));
    QVERIFY(!playout.isVisible());

    // An empty rubric: no name, "geen kop", "geen tekst", 0 of 0.
    QVERIFY(m_db->exec("update tblrubriek set txt = '' where id = 3 and not onair"));
    playout.LoadRubricList(3);
    const output::TTekst &empty = playout.canvas()->page();
    QCOMPARE(QStringLiteral("%1/%2 [%3] %4 %5")
                 .arg(empty.number)
                 .arg(empty.count)
                 .arg(empty.rubricName, empty.headline, empty.body),
             QStringLiteral("0/0 [] geen kop geen tekst"));
}

QTEST_MAIN(TestCyclus)
#include "tst_cyclus.moc"
