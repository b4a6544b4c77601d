// The topic evaluation against a fresh copy of the demo newsroom and a real
// quillon-server: every decision in its order, with the statements and
// commands it sent, and "Evaluatie voltooid" at the end.
//
// The fixture works in a team of its own (8, "Onderzoek") on Wednesday 12
// March 2031: "Brug" made ready (three versions), "Raad" still in
// production, "Markt" on today's agenda only.

#include "support/DeskClients.h"
#include "support/Screenshots.h"
#include "support/ScriptedDialogs.h"
#include "support/ServerProcess.h"
#include "support/WidgetDriving.h"

#include "core/Dates.h"
#include "core/Registry.h"
#include "planning/AgendaLines.h"
#include "planning/EvalForm.h"
#include "views/HighlightView.h"

#include <QListWidget>
#include <QMenu>
#include <QtTest>

using namespace core;
using platform::BoxType;
using platform::ModalResult;

namespace {

const QDate kToday(2031, 3, 12);

QStringList lines(QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << QString(list->item(i)->text()).replace(planning::FieldSeparator, '|');
    return out;
}

}  // namespace

class TestEval : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void decisionsInTheirOrder();
    void refusedAndCancelledDecisionsKeepTheTopic();
    void emptyEvaluation();
    void keyboardChoosesTheTopic();
    void topicWithoutAgendaItemKeepsNoOtherId();
    void screenshot();

private:
    QStringList writes() const;

    std::unique_ptr<testsupport::TestDatabase> m_db;
    servertest::ServerProcess m_server;
    QStringList m_log;
    std::unique_ptr<testsupport::DeskClient> m_joost;
    int m_followUpAnswer = 20000;  // the agenda id the scripted follow-up stores, -1 when cancelled
};

void TestEval::initTestCase()
{
    QUILLON_REQUIRE_PG(15);
    m_db = std::make_unique<testsupport::TestDatabase>(15, QStringLiteral("quillon_demo"));
    QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
    QVERIFY(m_db->exec("insert into tblredactie (id, naam) values (8, 'Onderzoek'), (9, 'Leeg')"));
    QVERIFY2(m_server.start(m_db.get()), qPrintable(m_server.error()));
    setClock([] { return QDateTime(kToday, QTime(9, 41, 7)); });
    m_joost = std::make_unique<testsupport::DeskClient>(m_log);
    QVERIFY(m_joost->login(*m_db, m_server.port(), "joost", "merelhaag82"));
    state().currentTeamId = 8;
    registry().clear();
    registry().registerOpener<AgendaItemRequest>([this](const AgendaItemRequest &q) {
        QStringList links;
        for (const auto &[id, kop] : q.archiveLinks)
            links << QString::number(id) + " " + kop;
        m_log << QStringLiteral("open agenda %1 new %2 prefix '%3' followup %4 links %5")
                     .arg(q.agendaId)
                     .arg(q.makeNew)
                     .arg(q.subjectPrefix)
                     .arg(q.followUpId)
                     .arg(links.join(", "));
        return AgendaItemResult{m_followUpAnswer < 0 ? 2 : 1, m_followUpAnswer};
    });
    registry().registerOpener<VersionsRequest>([this](const VersionsRequest &q) {
        m_log << QStringLiteral("open versions %1 %2").arg(q.agendaId).arg(q.preferredVersionId);
        return VersionsResult{true, 1};
    });
}

void TestEval::cleanupTestCase()
{
    registry().clear();
    setClock({});
    state().post = nullptr;
    state().server = nullptr;
    m_joost.reset();
}

void TestEval::init()
{
    QVERIFY(m_db->exec("delete from tblagenda where id >= 9000; delete from tbltodo where id >= 9000;"
                       "delete from tblteksten where id >= 9100"));
    QVERIFY(m_db->exec("insert into tblagenda (id, kort, lang, datum, redactie) values"
                       " (9001, 'Brug', 'De brug gaat open.', '20310312', 8), (9002, 'Raad', '', '20310312', 8),"
                       " (9003, 'Markt', 'Markt verhuist.', '20310312', 8)"));
    QVERIFY(m_db->exec("insert into tbltodo (id, agendaid, datum, klaar, redactie) values"
                       " (9501, 9001, '20310312', true, 8), (9502, 9002, '20310312', false, 8)"));
    QVERIFY(m_db->exec("insert into tblteksten (id, agendaid, kop) values (9101, 9001, 'Kop een'),"
                       " (9102, 9001, 'Kop twee'), (9103, 9001, 'Kop drie')"));
    state().currentTeamId = 8;
    m_followUpAnswer = 20000;
    m_joost->activate();
    m_log.clear();
}

QStringList TestEval::writes() const
{
    return m_log.filter(QRegularExpression("^(sql (begin|end|rollback|update|delete|insert)|cmd|open)"));
}

void TestEval::decisionsInTheirOrder()
{
    testsupport::ScriptedDialogs dialogs;
    planning::TEvalForm form;
    form.Build();
    QCOMPARE(lines(form.over()), QStringList({"0|9501|Brug|", "1|9502|Raad|", "2|9003|Markt|"}));
    QCOMPARE(form.currentAgendaId(), 9001);
    QVERIFY(form.view()->text().contains("Afkomstig van de klaarlijst"));

    // The agenda topic to tomorrow: only its date changes.
    dialogs.expectBox(BoxType::Confirmation, "Onderwerp doorplaatsen naar morgen?", ModalResult::Yes);
    form.over()->setCurrentRow(2);
    form.overClick();
    m_log.clear();
    form.Reschedule(1);
    QCOMPARE(writes(), QStringList({"sql begin", "sql update tblagenda set datum = '20310313' where id = 9003 ",
                                    "sql end", "cmd broadcast agenda update 9003"}));
    QCOMPARE(lines(form.over()), QStringList({"0|9501|Brug|", "1|9502|Raad|"}));
    QCOMPARE(form.currentGroup(), 0);  // the first line is chosen again

    // The production topic to next week: its date, and off today's production list.
    dialogs.expectBox(BoxType::Confirmation, "Onderwerp doorplaatsen naar volgende week?", ModalResult::Yes);
    form.over()->setCurrentRow(1);
    form.overClick();
    m_log.clear();
    form.Reschedule(7);
    QCOMPARE(writes(), QStringList({"sql begin", "sql update tblagenda set datum = '20310319' where id = 9002 ",
                                    "sql delete from tbltodo where id = 9502", "sql end",
                                    "cmd broadcast agenda update 9002", "cmd broadcast todo remove 9502"}));

    // The finished topic gets a follow-up linked to its three versions; once
    // that is stored its ready entry goes, and the evaluation is complete.
    dialogs.expectBox(BoxType::Information, planning::EvalCompleted);
    m_log.clear();
    form.Button3Click();
    QCOMPARE(writes(),
             QStringList({"open agenda 9001 new 1 prefix 'followup: ' followup 9001 links 9101 Kop een, 9102 Kop "
                          "twee, 9103 Kop drie",
                          "sql delete from tbltodo where id = 9501", "cmd broadcast todo remove 9501"}));
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(m_db->query("select id, datum from tblagenda where id in (9002, 9003) order by id"),
             QList<QStringList>({{"9002", "20310319"}, {"9003", "20310313"}}));
    QCOMPARE(m_db->query("select count(*) from tbltodo where id >= 9000")[0][0], QStringLiteral("0"));
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
}

void TestEval::refusedAndCancelledDecisionsKeepTheTopic()
{
    testsupport::ScriptedDialogs dialogs;
    planning::TEvalForm form;
    form.Build();
    // A follow-up that is not stored leaves the finished topic as it was.
    m_followUpAnswer = -1;
    form.Button3Click();
    QCOMPARE(form.over()->count(), 3);
    QCOMPARE(m_db->query("select klaar from tbltodo where id = 9501")[0][0], QStringLiteral("t"));
    // "Nee" to the question moves nothing.
    dialogs.expectBox(BoxType::Confirmation, "Onderwerp doorplaatsen naar overmorgen?", ModalResult::No);
    form.over()->setCurrentRow(1);
    form.overClick();
    form.Reschedule(2);
    QCOMPARE(form.over()->count(), 3);
    // The texts open under the production lock; the topic stays.
    m_log.clear();
    form.over()->setCurrentRow(0);
    form.overClick();
    form.Button1Click();
    QCOMPARE(writes(), QStringList({"cmd lock todo_9501", "open versions 9001 -1", "cmd unlock todo_9501"}));
    // Discarding the third line removes it and shows the first; a production
    // topic is deleted, a ready one is not.
    form.over()->setCurrentRow(1);
    form.overClick();
    m_log.clear();
    form.Button4Click();
    QCOMPARE(writes(), QStringList({"sql delete from tbltodo where id = 9502", "cmd broadcast todo remove 9502"}));
    QCOMPARE(lines(form.over()), QStringList({"0|9501|Brug|", "2|9003|Markt|"}));
    QCOMPARE(form.currentListId(), 9501);
    m_log.clear();
    form.Button4Click();
    QCOMPARE(writes(), QStringList());
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
}

void TestEval::emptyEvaluation()
{
    state().currentTeamId = 9;
    testsupport::ScriptedDialogs dialogs;
    dialogs.expectBox(BoxType::Information, planning::EvalCompleted);
    planning::TEvalForm form;
    form.Build();
    QCOMPARE(form.over()->count(), 0);
    QCOMPARE(form.currentGroup(), -1);
    form.Button4Click();
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
}

// The line the editor moved to with the keys is the one decided on: its
// ids, its buttons and its text, for "&Afvoeren" and for a reschedule alike.
void TestEval::keyboardChoosesTheTopic()
{
    testsupport::ScriptedDialogs dialogs;
    planning::TEvalForm form;
    form.Build();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.over()->setFocus();
    QTest::keyClick(form.over(), Qt::Key_Down);
    QCOMPARE(form.over()->currentRow(), 1);
    QCOMPARE(form.currentListId(), 9502);
    QCOMPARE(form.currentAgendaId(), 9002);
    QVERIFY(form.view()->text().contains("Afkomstig van de productielijst"));
    QVERIFY(form.findChild<QPushButton *>("Button2")->isEnabled());
    QVERIFY(!form.findChild<QPushButton *>("Button3")->isEnabled());
    m_log.clear();
    testsupport::click(&form, "Button4");
    QCOMPARE(writes(), QStringList({"sql delete from tbltodo where id = 9502", "cmd broadcast todo remove 9502"}));
    QCOMPARE(lines(form.over()), QStringList({"0|9501|Brug|", "2|9003|Markt|"}));
    QCOMPARE(form.currentListId(), 9501);  // the first line is chosen again

    // End goes to the agenda topic; tomorrow moves that one, not the ready one.
    form.over()->setFocus();
    QTest::keyClick(form.over(), Qt::Key_End);
    QCOMPARE(form.currentGroup(), 2);
    dialogs.expectBox(BoxType::Confirmation, "Onderwerp doorplaatsen naar morgen?", ModalResult::Yes);
    m_log.clear();
    form.doorplaatsmenu()->findChild<QAction *>("Morgen1")->trigger();
    QCOMPARE(writes(), QStringList({"sql begin", "sql update tblagenda set datum = '20310313' where id = 9003 ",
                                    "sql end", "cmd broadcast agenda update 9003"}));
    QCOMPARE(lines(form.over()), QStringList({"0|9501|Brug|"}));
    QCOMPARE(m_db->query("select id, datum from tblagenda where id in (9001, 9003) order by id"),
             QList<QStringList>({{"9001", "20310312"}, {"9003", "20310313"}}));
    QCOMPARE(m_db->query("select count(*) from tbltodo where id = 9502")[0][0], QStringLiteral("0"));
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
}

// A production topic whose agenda item is gone shows nothing, and a
// reschedule then moves no agenda item at all, least of all the one of the
// topic shown before.
void TestEval::topicWithoutAgendaItemKeepsNoOtherId()
{
    testsupport::ScriptedDialogs dialogs;
    planning::TEvalForm form;
    form.Build();
    QVERIFY(m_db->exec("delete from tblagenda where id = 9002"));  // meanwhile, by another editor
    form.show();
    form.over()->setFocus();
    QTest::keyClick(form.over(), Qt::Key_Down);
    QCOMPARE(form.currentListId(), 9502);
    QCOMPARE(form.view()->text(), QString());
    QCOMPARE(form.currentAgendaId(), -1);
    dialogs.expectBox(BoxType::Confirmation, "Onderwerp doorplaatsen naar morgen?", ModalResult::Yes);
    m_log.clear();
    form.doorplaatsmenu()->findChild<QAction *>("Morgen1")->trigger();
    QCOMPARE(writes(), QStringList({"sql begin", "sql delete from tbltodo where id = 9502", "sql end",
                                    "cmd broadcast todo remove 9502"}));
    QCOMPARE(m_db->query("select datum from tblagenda where id = 9001")[0][0], QStringLiteral("20310312"));
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
}

// The evaluation as the editor sees it, with titles longer than the list is
// wide: each title stops before its group word.
void TestEval::screenshot()
{
    QVERIFY(m_db->exec("update tblagenda set kort = 'Brug over de haven gaat na drie jaar bouwen eindelijk open'"
                       " where id = 9001; update tblagenda set kort = 'Raad stemt over het nieuwe parkeerbeleid in"
                       " de binnenstad' where id = 9002"));
    planning::TEvalForm form;
    form.Build();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(testsupport::saveScreenshot(&form, "evaluatie.png"));
}

QTEST_MAIN(TestEval)
#include "tst_eval.moc"
