// The promo planner against a fresh copy of the demo newsroom: opening,
// highlighting a programme's cells, dragging onto cells and storing, a short
// or malformed stored plan, a missing week row, adding and deleting a
// programme (its cells go with it), and the edit dialog. Statements are
// recorded from the real connection.

#include "support/WidgetDriving.h"
#include "support/Modal.h"
#include "support/Screenshots.h"
#include "support/ClientSession.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

#include "core/Global.h"
#include "db/Postgres.h"
#include "extras/Promo.h"
#include "extras/PromoEditDialog.h"
#include "extras/PromoSql.h"
#include "extras/TextWidgets.h"
#include "texts/PersonalEdit.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QtTest>

#include <memory>

using extras::PromoGrid;
using extras::TPromo;
using extras::TPromoDrag;
using platform::BoxType;
using platform::ModalResult;

using testsupport::entries;

namespace {

const QChar FF(0xFF);

// Status lines land here.
class StatusRecorder : public core::TMainOperations {
public:
    void AddMenuButton(const QString &, QMenu *) override {}
    void RemoveMenuButton(const QString &, QMenu *) override {}
    void RefreshViews() override {}
    void ShowStatusLine(const QString &text) override { lines << text; }
    void LogStatus(const QString &) override {}
    QStringList lines;
};

}  // namespace

class TestPromo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void openingLoadsTheListAndThePlan();
    void screenshot();  // before the plan is changed
    void draggingAndStoring();
    void shortAndMalformedPlans();
    void missingWeekRowIsCreated();
    void addingAndDeletingAProgramme();
    void editDialogStoresOnClose();

private:
    QString storedMoment();
    // The programme drag of the list entry named name.
    TPromoDrag fromList(const QString &name);

    std::unique_ptr<testsupport::TestDatabase> m_db;
    std::unique_ptr<db::TPostgres> m_pg;
    std::unique_ptr<TPromo> m_promo;
    std::unique_ptr<testsupport::ScriptedDialogs> m_dialogs;
    StatusRecorder m_status;
    QStringList m_sql;
};

void TestPromo::initTestCase()
{
    QUILLON_REQUIRE_PG(15);
    m_db = std::make_unique<testsupport::TestDatabase>(15, QStringLiteral("quillon_demo"));
    QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
    QString error;
    m_pg = testsupport::OpenClientSession(*m_db, &m_sql, &error);
    QVERIFY2(m_pg, qPrintable(error));
    core::state().post = m_pg.get();
    core::state().main = &m_status;
    extras::setTextWidgets({{}, [](QWidget *parent) {
                                auto *edit = new texts::TPersonalEdit(parent);
                                return extras::StoredTextEditor{
                                    edit, [edit] { return edit->StoredText(); },
                                    [edit](const QString &text) { edit->setStoredText(text); }};
                            }});
}

void TestPromo::cleanupTestCase()
{
    core::state().post = nullptr;
    core::state().main = nullptr;
}

void TestPromo::init()
{
    m_dialogs = std::make_unique<testsupport::ScriptedDialogs>();
    m_promo = std::make_unique<TPromo>();
    m_promo->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_promo.get()));
    m_sql.clear();
    m_status.lines.clear();
    m_promo->Prepare();
}

void TestPromo::cleanup()
{
    m_promo.reset();
    QVERIFY2(m_dialogs->problems().isEmpty(), qPrintable(m_dialogs->problems().join("\n")));
    m_dialogs.reset();
}

QString TestPromo::storedMoment()
{
    return m_db->query("select moment from tblpromoweek where datum = 0").value(0).value(0);
}

TPromoDrag TestPromo::fromList(const QString &name)
{
    const int row = int(entries(m_promo->promos()).indexOf(name));
    return {-1, 0, m_promo->ids().value(row), name};
}

void TestPromo::openingLoadsTheListAndThePlan()
{
    QCOMPARE(m_sql, QStringList({extras::PromoListSql(), extras::LoadPlanSql()}));
    QCOMPARE(entries(m_promo->promos()),
             QStringList({"Goedemorgen Zwaluwstad", "Middagmagazine", "Sportcafé", "Uit in de regio"}));
    QCOMPARE(m_promo->ids(), QList<int>({1, 2, 3, 4}));
    const PromoGrid &grid = m_promo->view()->grid();
    QCOMPARE(grid.name(7, 1), QString("Goedemorgen Zwaluwstad"));
    QCOMPARE(grid.id(9, 6), 3);
    QCOMPARE(grid.id(9, 1), 1);
    QCOMPARE(grid.id(3, 3), 0);
    QVERIFY(m_status.lines.isEmpty());

    // The header row and the hour labels.
    QStringList labels;
    for (const QLabel *l : m_promo->view()->findChildren<QLabel *>())
        labels << l->text();
    for (const char *text : {"maandag", "zondag", " 0:00 -  0:59", "23:00 - 23:59"})
        QVERIFY2(labels.contains(text), text);
    QCOMPARE(m_promo->view()->size(), QSize(920, 750));

    // Selecting a programme highlights exactly its cells: the weekend mornings.
    QVERIFY(m_promo->selectProgramme(3));
    QCOMPARE(m_promo->view()->highlight(), 3);
    QCOMPARE(grid.cellsHolding(3), QStringList({"9/6", "9/7", "10/6", "10/7", "11/6", "11/7", "12/6", "12/7"}));
}

void TestPromo::draggingAndStoring()
{
    extras::TPromoView *view = m_promo->view();
    QVERIFY(view->dropOn(fromList("Middagmagazine"), 20, 7));
    // From a cell to another: both hold it.
    QVERIFY(view->dropOn({9, 6, 3, "Sportcafé"}, 22, 1));
    QCOMPARE(view->grid().id(9, 6), 3);
    QCOMPARE(view->grid().id(22, 1), 3);
    QVERIFY(!view->dropOn(fromList("Middagmagazine"), 24, 1));
    // Delete empties the focused cell.
    QTest::keyClick(view->cell(7, 1), Qt::Key_Delete);
    QCOMPARE(view->grid().id(7, 1), 0);

    const QString moment = view->grid().moment();
    m_sql.clear();
    QTest::mouseClick(m_promo->findChild<QPushButton *>("Button3"), Qt::LeftButton);
    QCOMPARE(m_sql, QStringList({"begin", extras::CreatePlanSql(), extras::StorePlanSql(moment), "end",
                                 extras::LoadPlanSql()}));
    QCOMPARE(storedMoment(), moment);
    QCOMPARE(moment.split(FF).value(20 * 7 + 6), QString("2"));
    QCOMPARE(moment.split(FF).value(7 * 7 + 0), QString("0"));
}

// A short plan fills the rest with empty cells, a malformed value empties
// its cell and is reported; storing writes all 168 values back.
void TestPromo::shortAndMalformedPlans()
{
    QVERIFY(
        m_db->exec(QString("update tblpromoweek set moment = '1") + FF + "x" + FF + "3" + FF + "' where datum = 0"));
    m_promo->LoadPlan();
    const PromoGrid &grid = m_promo->view()->grid();
    QCOMPARE(grid.id(0, 1), 1);
    QCOMPARE(grid.id(0, 2), 0);
    QCOMPARE(grid.name(0, 3), QString("Sportcafé"));
    QCOMPARE(grid.cellsHolding(1), QStringList({"0/1"}));
    QCOMPARE(m_status.lines.size(), 1);
    QVERIFY2(m_status.lines.first().contains("\"x\""), qPrintable(m_status.lines.first()));
    m_promo->Button3Click();
    const QStringList stored = storedMoment().split(FF);
    QCOMPARE(stored.size(), 169);  // 168 values, each closed
    QCOMPARE(stored.mid(0, 4), QStringList({"1", "0", "3", "0"}));
}

void TestPromo::missingWeekRowIsCreated()
{
    QVERIFY(m_db->exec("delete from tblpromoweek"));
    TPromo fresh;
    m_sql.clear();
    fresh.Prepare();
    QCOMPARE(fresh.view()->grid().moment(), QString("0%1").arg(FF).repeated(168));
    fresh.Button3Click();
    QCOMPARE(m_db->query("select datum from tblpromoweek"), QList<QStringList>({{"0"}}));
    // An empty plan: 168 zeros, each followed by the separator.
    QCOMPARE(storedMoment(), QString("0%1").arg(FF).repeated(168));
    // The second store finds the row.
    QVERIFY(fresh.view()->dropOn({-1, 0, 4, "Uit in de regio"}, 18, 5));
    fresh.Button3Click();
    QCOMPARE(m_db->query("select count(*) from tblpromoweek"), QList<QStringList>({{"1"}}));
    QCOMPARE(storedMoment().split(FF).value(18 * 7 + 4), QString("4"));
}

// "-" deletes the promo and empties its cells in the stored plan in one
// transaction; on screen its cells empty and other unsaved cells stay.
void TestPromo::addingAndDeletingAProgramme()
{
    m_dialogs->expectInput("Naam van het programma", "Kees' kwartier");
    m_sql.clear();
    m_promo->Button1Click();
    QCOMPARE(m_dialogs->lastInputCaption(), QString("Promo voor programma toevoegen"));
    QCOMPARE(m_sql, QStringList({"insert into tblpromo (naam) values ('Kees\\' kwartier')", extras::PromoListSql()}));
    QVERIFY(entries(m_promo->promos()).contains("Kees' kwartier"));
    const TPromoDrag kees = fromList("Kees' kwartier");
    QVERIFY(kees.id > 4);

    extras::TPromoView *view = m_promo->view();
    QVERIFY(view->dropOn(kees, 2, 2));
    QVERIFY(view->dropOn(kees, 3, 3));
    m_promo->Button3Click();
    QVERIFY(view->dropOn(fromList("Middagmagazine"), 4, 4));  // not stored
    QVERIFY(view->dropOn(kees, 5, 5));  // not stored

    QVERIFY(m_promo->selectProgramme(kees.id));
    m_dialogs->expectBox(BoxType::Confirmation, "Promo voor programma verwijderen?", ModalResult::Yes);
    const QString before = storedMoment();
    m_sql.clear();
    m_promo->Button2Click();
    PromoGrid expected;
    expected.load(before, {});
    QCOMPARE(expected.clearId(kees.id), 2);
    QCOMPARE(m_sql, QStringList({"begin", extras::LoadPlanSql(), extras::StorePlanSql(expected.moment()),
                                 extras::DeletePromoSql(kees.id), "end", extras::PromoListSql()}));
    QCOMPARE(storedMoment(), expected.moment());
    QCOMPARE(m_db->query(QString("select count(*) from tblpromo where id = %1").arg(kees.id)),
             QList<QStringList>({{"0"}}));
    QVERIFY(view->grid().cellsHolding(kees.id).isEmpty());
    QCOMPARE(view->grid().id(4, 4), 2);
    QVERIFY(!entries(m_promo->promos()).contains("Kees' kwartier"));

    // No answer, no deletion.
    QVERIFY(m_promo->selectProgramme(4));
    m_dialogs->expectBox(BoxType::Confirmation, "Promo voor programma verwijderen?", ModalResult::No);
    m_sql.clear();
    m_promo->Button2Click();
    QVERIFY(m_sql.isEmpty());
}

void TestPromo::editDialogStoresOnClose()
{
    QVERIFY(m_promo->view()->dropOn({-1, 0, 3, "Sportcafé"}, 9, 6));
    QVERIFY(m_promo->selectProgramme(3));
    QString loaded;
    QSize size;
    testsupport::onModal([&](QWidget *w) {
        auto *d = qobject_cast<extras::TPromoEditDialog *>(w);
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), QString("Programma informatie wijzigen"));
        size = d->size();
        loaded = d->titel()->text() + " | " + d->kort()->text() + " | " + d->lang().storedText();
        QVERIFY(testsupport::saveScreenshot(d, "promo-bewerken.png"));
        d->titel()->setText("Sportcafé Weekend");
        d->kort()->setText("Uitslagen, 'verslagen' en gasten.");
        d->reject();  // closed without "&Sluiten": stored all the same
    });
    m_sql.clear();
    m_promo->Button4Click();
    QCOMPARE(size, QSize(615, 473));
    QVERIFY2(loaded.startsWith("Sportcafé | Alles over de sport in de regio. | Op zaterdag en zondag"),
             qPrintable(loaded));
    QCOMPARE(m_sql.value(0), extras::LoadPromoSql(3));
    QVERIFY2(m_sql.value(1).startsWith("update tblpromo set naam = 'Sportcafé Weekend', kort = 'Uitslagen, "
                                       "\\'verslagen\\' en gasten.', lang = 'Op zaterdag en zondag"),
             qPrintable(m_sql.value(1)));
    QVERIFY(m_sql.value(1).endsWith(" where id = 3"));
    QCOMPARE(m_sql.value(2), extras::PromoListSql());
    QCOMPARE(m_db->query("select naam from tblpromo where id = 3"), QList<QStringList>({{"Sportcafé Weekend"}}));
    // The list and the cells show the new name; the selection stays.
    QCOMPARE(m_promo->selectedId(), 3);
    QCOMPARE(m_promo->view()->grid().name(9, 6), QString("Sportcafé Weekend"));
}

void TestPromo::screenshot()
{
    QVERIFY(m_promo->selectProgramme(1));
    QVERIFY(testsupport::saveScreenshot(m_promo.get(), "promo.png"));
}

QTEST_MAIN(TestPromo)
#include "tst_promo.moc"
