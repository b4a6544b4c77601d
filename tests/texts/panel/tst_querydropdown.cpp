// TQueryDropDown on a real database: the name list, and adding, renaming and
// deleting names in the table, with the statements as sent and the rows as
// stored. Also the database-backed rows of TStylePanel.
#include "core/Global.h"
#include "db/Postgres.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"
#include "texts/QueryDropDown.h"
#include "texts/StyleComboBox.h"
#include "texts/StylePanel.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace texts;

using platform::BoxType;
using platform::ModalResult;
using testsupport::ScriptedDialogs;
using testsupport::TestDatabase;

class TestQueryDropDown : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QUILLON_REQUIRE_PG(15);
        m_db = std::make_unique<TestDatabase>(15);
        QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
        m_pg = std::make_unique<db::TPostgres>();
        m_pg->setHost(m_db->server().host);
        m_pg->setPort(m_db->server().port);
        QString error;
        QVERIFY2(m_pg->Open(&error), qPrintable(error));
        m_pg->Connect(m_db->name(), QString::fromLatin1(testsupport::kClientUser),
                      QString::fromLatin1(testsupport::kClientPassword));
        QVERIFY(m_pg->Connected());
        m_pg->OnStatement = [this](const QString &sql) { m_sent.append(sql); };
        core::state().post = m_pg.get();
    }

    void cleanupTestCase() { core::state().post = nullptr; }

    void init()
    {
        QVERIFY(m_db->exec("delete from tblwoonplaats"));
        QVERIFY(m_db->exec("insert into tblwoonplaats (id,naam) values (3,'Zwolle'),(7,'Almelo'),(12,'Deventer')"));
        QVERIFY(m_db->exec("select setval('tblwoonplaats_id_seq', 1000)"));  // new names clear of these ids
        m_sent.clear();
    }

    void listsTheTableByName()
    {
        TQueryDropDown box(QStringLiteral("tblwoonplaats"), 255);
        QCOMPARE(m_sent, QStringList({"select id,naam from tblwoonplaats order by naam"}));
        QCOMPARE(items(box), QStringList({"7 Almelo", "12 Deventer", "3 Zwolle"}));
        QCOMPARE(box.ComboBox()->currentIndex(), 0);
        QCOMPARE(box.SelectedId(), QStringLiteral("7"));
        QVERIFY(box.ComboBox()->ownerDrawn());
        box.SelectId(QStringLiteral("3"));
        QCOMPARE(box.SelectedId(), QStringLiteral("3"));
        box.SelectId(QStringLiteral("99"));
        QCOMPARE(box.SelectedId(), QStringLiteral("3"));
        QCOMPARE(box.Button()->text(), QStringLiteral("..."));
        QCOMPARE(box.Button()->width(), 25);
    }

    // Names reach the table exactly as typed, whatever quotes or
    // backslashes they hold.
    void addsNames_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("statement");
        QTest::newRow("plain") << "Hengelo"
                               << "insert into tblwoonplaats (naam) values ('Hengelo')";
        QTest::newRow("apostrophe") << "'s-Hertogenbosch"
                                    << "insert into tblwoonplaats (naam) values ('\\'s-Hertogenbosch')";
        QTest::newRow("backslash") << "Den\\Haag"
                                   << "insert into tblwoonplaats (naam) values ('Den\\\\Haag')";
        QTest::newRow("backslash before apostrophe")
            << "x\\'; drop table tblwoonplaats; --"
            << "insert into tblwoonplaats (naam) values ('x\\\\\\'; drop table tblwoonplaats; --')";
    }
    void addsNames()
    {
        QFETCH(QString, typed);
        QFETCH(QString, statement);
        ScriptedDialogs dialogs;
        TQueryDropDown box(QStringLiteral("tblwoonplaats"), 255);
        box.SelectId(QStringLiteral("12"));
        m_sent.clear();
        dialogs.expectInput(QStringLiteral("Naam van het item"), typed);
        box.AddItem();
        QCOMPARE(dialogs.lastInputCaption(), QStringLiteral("Nieuw item toevoegen"));
        QCOMPARE(dialogs.lastInputMaxLength(), 255);
        QCOMPARE(m_sent, QStringList({statement, "select id,naam from tblwoonplaats order by naam"}));
        QCOMPARE(m_db->query(QStringLiteral("select count(*) from tblwoonplaats where naam = ") + dollarQuoted(typed))
                     .value(0)
                     .value(0),
                 QStringLiteral("1"));
        QCOMPARE(box.ComboBox()->count(), 4);
        QCOMPARE(box.ComboBox()->currentIndex(), 0);  // the reload selects the first name
        QVERIFY(dialogs.problems().isEmpty());
    }

    void lengthFromTheDefinition()
    {
        ScriptedDialogs dialogs;
        TStylePanel panel;
        panel.setTemplate(QStringLiteral("querybox:plaats:Woonplaats:\"5,tblwoonplaats\""));
        auto *box = panel.findChild<TQueryDropDown *>("plaats");
        QCOMPARE(box->MaxLength(), 5);
        dialogs.expectInput(QStringLiteral("Naam van het item"), QStringLiteral("Oldenzaal"));
        box->AddItem();
        QCOMPARE(dialogs.lastInputMaxLength(), 5);
        QCOMPARE(m_db->query("select count(*) from tblwoonplaats where naam = 'Olden'").value(0).value(0),
                 QStringLiteral("1"));
    }

    void changesTheSelectedName()
    {
        ScriptedDialogs dialogs;
        TQueryDropDown box(QStringLiteral("tblwoonplaats"), 255);
        box.SelectId(QStringLiteral("12"));
        m_sent.clear();
        dialogs.expectInput(QStringLiteral("Naam van het item"), QStringLiteral("Deventer Noord"));
        box.ChangeItem();
        QCOMPARE(dialogs.lastInputCaption(), QStringLiteral("Item wijzigen"));
        QCOMPARE(m_sent.value(0), QStringLiteral("update tblwoonplaats set naam = 'Deventer Noord' where id = 12"));
        QCOMPARE(m_db->query("select naam from tblwoonplaats where id = 12").value(0).value(0),
                 QStringLiteral("Deventer Noord"));
        QCOMPARE(items(box), QStringList({"7 Almelo", "12 Deventer Noord", "3 Zwolle"}));

        // The dialog starts from the current name; cancelling sends nothing.
        m_sent.clear();
        dialogs.expectInput(QStringLiteral("Naam van het item"), QString(), false);
        box.ChangeItem();
        QVERIFY(m_sent.isEmpty());
        QVERIFY(dialogs.problems().isEmpty());
    }

    void deletesAfterConfirmation()
    {
        ScriptedDialogs dialogs;
        TQueryDropDown box(QStringLiteral("tblwoonplaats"), 255);
        box.SelectId(QStringLiteral("3"));
        m_sent.clear();
        dialogs.expectBox(BoxType::Confirmation, QStringLiteral("Item verwijderen?"), ModalResult::No);
        box.DeleteItem();
        QVERIFY(m_sent.isEmpty());
        dialogs.expectBox(BoxType::Confirmation, QStringLiteral("Item verwijderen?"), ModalResult::Yes);
        box.DeleteItem();
        QCOMPARE(m_sent, QStringList({"delete from tblwoonplaats where id = 3",
                                      "select id,naam from tblwoonplaats order by naam"}));
        QCOMPARE(items(box), QStringList({"7 Almelo", "12 Deventer"}));
        QVERIFY(dialogs.problems().isEmpty());
    }

    void emptyTableOffersOnlyAdding()
    {
        QVERIFY(m_db->exec("delete from tblwoonplaats"));
        ScriptedDialogs dialogs;
        TQueryDropDown box(QStringLiteral("tblwoonplaats"), 255);
        QCOMPARE(box.SelectedId(), QString());
        m_sent.clear();
        box.ChangeItem();
        box.DeleteItem();
        QVERIFY(m_sent.isEmpty());
        QVERIFY(dialogs.shown().isEmpty());
        box.show();
        QTest::mouseClick(box.Button(), Qt::LeftButton);
        const QList<QAction *> actions = box.Menu()->actions();
        QCOMPARE(actions.size(), 3);
        QCOMPARE(actions.at(0)->text(), QStringLiteral("&Toevoegen"));
        QVERIFY(actions.at(0)->isEnabled());
        QVERIFY(!actions.at(1)->isEnabled());
        QVERIFY(!actions.at(2)->isEnabled());
        box.Menu()->hide();
    }

    void panelRowsFromTheDatabase()
    {
        TStylePanel panel;
        panel.setTemplate(
            QStringLiteral("comboboxdblookup:plaats:Plaats:\"select id,naam from tblwoonplaats order by naam\":"
                           "querybox:woon:Woonplaats:\"tblwoonplaats\":"));
        auto *lookup = panel.findChild<TStyleComboBox *>("plaats");
        QVERIFY(lookup->ownerDrawn());
        QCOMPARE(lookup->count(), 3);
        QCOMPARE(panel.Values(), QStringLiteral("plaats:\"7\":woon:\"7\""));
        panel.setValues(QStringLiteral("plaats:\"3\":woon:\"12\""));
        QCOMPARE(panel.Values(), QStringLiteral("plaats:\"3\":woon:\"12\""));
        panel.setValues(QStringLiteral("plaats:\"99\""));
        QCOMPARE(panel.Values(), QStringLiteral("plaats:\"3\":woon:\"12\""));
    }

private:
    static QStringList items(const TQueryDropDown &box)
    {
        QStringList out;
        for (int i = 0; i < box.ComboBox()->count(); ++i)
            out.append(box.ComboBox()->itemText(i));
        return out;
    }
    // A literal the fixture can compare with, free of any escaping rules.
    static QString dollarQuoted(const QString &text) { return QStringLiteral("$q$") + text + QStringLiteral("$q$"); }

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<db::TPostgres> m_pg;
    QStringList m_sent;
};

QTEST_MAIN(TestQueryDropDown)
#include "tst_querydropdown.moc"
