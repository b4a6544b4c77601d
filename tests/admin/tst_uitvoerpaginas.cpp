// The pages that configure programme output, against a fresh copy of the
// demo newsroom: programmes and rubrics (both copies together, the refused
// link before a programme was chosen), templates (parent, team and rubric
// assignments, new, copy, delete), targets (modules, the file links, a
// target deleted with its links) and the export page (a target file saved,
// along-lists, the refusals). Statements are recorded from the client's own
// session; the input panel is the real one.

#include "support/WidgetDriving.h"
#include "support/ClientSession.h"
#include "support/Screenshots.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

#include "admin/AdminSql.h"
#include "admin/AdminWidgets.h"
#include "admin/DoelenFrame.h"
#include "admin/ExportFrame.h"
#include "admin/InstelDialog.h"
#include "admin/ProgrammaFrame.h"
#include "admin/TemplateFrame.h"
#include "core/Global.h"
#include "db/Postgres.h"
#include "texts/StylePanel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <memory>

using platform::BoxType;
using platform::ModalResult;

using testsupport::click;
using testsupport::entries;
using testsupport::pick;

namespace {

QStringList labels(texts::TStylePanel *panel)
{
    QStringList out;
    for (int i = 0; i < panel->RowCount(); ++i)
        out << panel->RowLabel(i)->text();
    return out;
}

}  // namespace

class TestUitvoerPaginas : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void programmesAndRubrics();
    void templates();
    void targets();
    void exportPage();

private:
    QString one(const QString &sql) { return m_db->query(sql).value(0).value(0); }
    template <class Page>
    Page *showPage(int code);

    std::unique_ptr<testsupport::TestDatabase> m_db;
    std::unique_ptr<db::TPostgres> m_pg;
    std::unique_ptr<testsupport::ScriptedDialogs> m_dialogs;
    std::unique_ptr<admin::TInstelDialog> m_dialog;
    QStringList m_sql;
};

void TestUitvoerPaginas::initTestCase()
{
    QUILLON_REQUIRE_PG(15);
    m_db = std::make_unique<testsupport::TestDatabase>(15, QStringLiteral("quillon_demo"));
    QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
    QString error;
    m_pg = testsupport::OpenClientSession(*m_db, &m_sql, &error);
    QVERIFY2(m_pg, qPrintable(error));
    core::state().post = m_pg.get();
    admin::setSettingsPanelFactory([](QWidget *parent) {
        auto *panel = new texts::TStylePanel(parent);
        return admin::SettingsPanel{panel, [panel](const QString &d) { panel->setTemplate(d); },
                                    [panel] { return panel->Values(); },
                                    [panel](const QString &v) { panel->setValues(v); }};
    });
}

void TestUitvoerPaginas::cleanupTestCase()
{
    core::state().post = nullptr;
}

void TestUitvoerPaginas::init()
{
    m_dialogs = std::make_unique<testsupport::ScriptedDialogs>();
    m_dialog = std::make_unique<admin::TInstelDialog>();
    m_dialog->resize(1200, 640);
    m_dialog->show();
    m_sql.clear();
}

void TestUitvoerPaginas::cleanup()
{
    m_dialog.reset();
    QVERIFY2(m_dialogs->problems().isEmpty(), qPrintable(m_dialogs->problems().join("\n")));
    m_dialogs.reset();
}

template <class Page>
Page *TestUitvoerPaginas::showPage(int code)
{
    m_dialog->SelectNode(code);
    m_dialog->ShowSelected();
    return qobject_cast<Page *>(m_dialog->Page());
}

void TestUitvoerPaginas::programmesAndRubrics()
{
    auto *page = showPage<admin::TProgrammaFrame>(admin::PageProgrammas);
    QVERIFY(page);
    QCOMPARE(m_sql, QStringList({admin::ProgrammeListSql(), admin::WorkingRubricsSql()}));
    auto *prog = page->findChild<QListWidget *>("prog");
    auto *rub = page->findChild<QListWidget *>("rub");
    auto *kop = page->findChild<QListWidget *>("kop");

    // "<" before a programme was chosen is refused.
    pick(rub, "3 Agenda");
    m_sql.clear();
    m_dialogs->expectBox(BoxType::Warning, "Kies eerst het programma waaraan de rubriek gekoppeld moet worden.");
    click(page, "Button7");
    QVERIFY(m_sql.isEmpty());

    // A new rubric: both copies in one transaction, listed once.
    m_dialogs->expectInput("Naam van de rubriek", "Wat 'n weer");
    click(page, "Button4");
    const QString id = one("select max(id) from tblrubriek");
    QCOMPARE(m_sql, QStringList({admin::NextRubricIdSql(), "begin"}) + admin::InsertRubricSql(id, "Wat 'n weer") +
                        QStringList({"end", admin::ProgrammeListSql(), admin::WorkingRubricsSql()}));
    QCOMPARE(m_db->query("select naam, onair from tblrubriek where id = " + id + " order by onair"),
             QList<QStringList>({{"Wat 'n weer", "f"}, {"Wat 'n weer", "t"}}));
    QCOMPARE(entries(rub).filter("Wat 'n weer"), QStringList({id + " Wat 'n weer"}));

    // Linked to the Website, which stays selected with its rubrics.
    pick(prog, "2 Website");
    QCOMPARE(entries(kop), QStringList({"5 Voorpagina", "6 Sport online"}));
    pick(rub, id + " Wat 'n weer");
    m_sql.clear();
    click(page, "Button7");
    QCOMPARE(m_sql.value(0), admin::LinkRubricSql(2, id.toInt()));
    QCOMPARE(prog->currentItem()->text(), QString("2 Website"));
    QCOMPARE(entries(kop).last(), id + " Wat 'n weer");

    // Renamed: both copies.
    pick(rub, id + " Wat 'n weer");
    m_dialogs->expectInput("Naam van de rubriek", "Weer");
    click(page, "Button5");
    QCOMPARE(one("select count(*) from tblrubriek where naam = 'Weer' and id = " + id), QString("2"));

    // Deleting: No at the second question deletes nothing; three Yes delete
    // both copies and the links.
    pick(rub, id + " Weer");
    const QString warning =
        "Dit heeft ook invloed op de uitzending!\nPublicatie kan fout gaan, controleer export-scripts!\nDoorgaan?";
    m_dialogs->expectBox(BoxType::Confirmation, "Rubriek verwijderen?", ModalResult::Yes);
    m_dialogs->expectBox(BoxType::Confirmation, warning, ModalResult::No);
    m_sql.clear();
    click(page, "Button6");
    QVERIFY(m_sql.isEmpty());
    m_dialogs->expectBox(BoxType::Confirmation, "Rubriek verwijderen?", ModalResult::Yes);
    m_dialogs->expectBox(BoxType::Confirmation, warning, ModalResult::Yes);
    m_dialogs->expectBox(BoxType::Confirmation, "Weet u het heel zeker?", ModalResult::Yes);
    click(page, "Button6");
    QCOMPARE(m_sql.mid(0, 2), admin::DeleteRubricSql(id.toInt()));
    QCOMPARE(one("select count(*) from tblrubriek where id = " + id), QString("0"));
    QCOMPARE(one("select count(*) from tblzenderrubriek where rubriek = " + id), QString("0"));
    QCOMPARE(entries(kop), QStringList({"5 Voorpagina", "6 Sport online"}));

    // A programme with an apostrophe, then deleted.
    m_dialogs->expectInput("Naam van het programma", "Radio 't Zwaluwtje");
    click(page, "Button1");
    const QString programme = one("select id from tblzenders where naam = 'Radio ''t Zwaluwtje'");
    QVERIFY(!programme.isEmpty());
    pick(prog, programme + " Radio 't Zwaluwtje");
    m_dialogs->expectBox(BoxType::Confirmation, "Programma verwijderen?", ModalResult::Yes);
    m_sql.clear();
    click(page, "Button3");
    QCOMPARE(m_sql.value(0), admin::DeleteProgrammeSql(programme.toInt()));
}

void TestUitvoerPaginas::templates()
{
    auto *page = showPage<admin::TTemplateFrame>(admin::PageTemplates);
    QVERIFY(page);
    auto *templates = page->findChild<QListWidget *>("templates");
    auto *ouder = page->findChild<QComboBox *>("ouder");
    QCOMPARE(ouder->itemText(0), QString("-1 Geen ouder"));
    QCOMPARE(ouder->count(), templates->count() + 1);
    const QString first = templates->item(0)->text();
    QCOMPARE(page->TemplateId(), admin::EntryId(first));

    // "+" cancelled at the third question creates nothing.
    const QString count = one("select count(*) from tbltemplate");
    m_dialogs->expectInput("Naam template", "Nieuw");
    m_dialogs->expectInput("Inhoud", "edit:a:A:\"\"");
    m_dialogs->expectInput("Instelinngen editor", "", false);
    click(page, "Button9");
    QCOMPARE(one("select count(*) from tbltemplate"), count);

    // A copy gets the column defaults for initial and parent.
    pick(templates, "4 Achtergrond");
    const QStringList original = m_db->query("select content, editor from tbltemplate where id = 4").value(0);
    m_dialogs->expectInput("Naam template", "kopie van Achtergrond");
    m_dialogs->expectInput("Inhoud", original.value(0));
    m_dialogs->expectInput("Instelinngen editor", original.value(1));
    m_sql.clear();
    click(page, "Button10");
    QCOMPARE(m_sql.mid(0, 2),
             QStringList({admin::TemplateForCopySql(4),
                          admin::InsertTemplateSql("kopie van Achtergrond", original.value(0), original.value(1))}));
    const QStringList copy = m_db->query("select id, initial, parent from tbltemplate where naam = 'kopie van "
                                         "Achtergrond'")
                                 .value(0);
    QCOMPARE(copy.mid(1), QStringList({"", "-1"}));

    // The copy becomes a possibility of goal 1, then goes to team 1 and to
    // the first rubric of the first programme, and back.
    const QString copyId = copy.value(0);
    pick(templates, copyId + " kopie van Achtergrond");
    ouder->setCurrentIndex(ouder->findText("1 Nieuws"));
    m_sql.clear();
    emit ouder->activated(ouder->currentIndex());
    QCOMPARE(m_sql.value(0), admin::SetTemplateParentSql(copyId.toInt(), 1));
    QCOMPARE(one("select parent from tbltemplate where id = " + copyId), QString("1"));
    pick(templates, copyId + " kopie van Achtergrond");
    QCOMPARE(ouder->currentText(), QString("1 Nieuws"));

    auto *redtmp = page->findChild<QListWidget *>("redtmp");
    auto *rubtmp = page->findChild<QListWidget *>("rubtmp");
    QCOMPARE(page->findChild<QComboBox *>("redacties")->currentText(), QString("1 Nieuws"));
    QCOMPARE(page->findChild<QComboBox *>("rubrieken")->currentText(), QString("3 Agenda"));
    m_sql.clear();
    click(page, "Button2");
    QCOMPARE(m_sql.value(0), admin::GiveTemplateToTeamSql(1, copyId.toInt()));
    QVERIFY(entries(redtmp).contains(copyId + " kopie van Achtergrond"));
    pick(templates, copyId + " kopie van Achtergrond");
    click(page, "Button5");
    QCOMPARE(entries(rubtmp).filter("kopie"), QStringList({copyId + " kopie van Achtergrond"}));
    pick(rubtmp, copyId + " kopie van Achtergrond");
    m_sql.clear();
    click(page, "Button4");
    QCOMPARE(m_sql.value(0), admin::TakeTemplateFromRubricSql(3, copyId.toInt()));

    // Deleted after two Yes, with its team link.
    pick(templates, copyId + " kopie van Achtergrond");
    m_dialogs->expectBox(BoxType::Confirmation, "Template verwijderen?", ModalResult::Yes);
    m_dialogs->expectBox(BoxType::Confirmation, "Weet u het zeker?", ModalResult::Yes);
    m_sql.clear();
    click(page, "Button11");
    QCOMPARE(m_sql.mid(0, 3), admin::DeleteTemplateSql(copyId.toInt()));
    QCOMPARE(one("select count(*) from tblredactietemplate where template = " + copyId), QString("0"));
}

void TestUitvoerPaginas::targets()
{
    auto *page = showPage<admin::TDoelenFrame>(admin::PageDoelen);
    QVERIFY(page);
    auto *panel = qobject_cast<texts::TStylePanel *>(page->Style().widget);
    QVERIFY(panel);
    QCOMPARE(labels(panel), QStringList({"Hostname", "Username", "Password", "Initial dir"}));

    // Nothing to save to or link before a target was chosen.
    m_sql.clear();
    m_dialogs->expectBox(BoxType::Warning, "Kies eerst een doel, of maak een nieuw doel met \"+\".");
    click(page, "Button4");
    page->findChild<QComboBox *>("files")->setCurrentIndex(0);
    m_dialogs->expectBox(BoxType::Warning, "Kies eerst een doel, of maak een nieuw doel met \"+\".");
    click(page, "Button5");
    QVERIFY(m_sql.isEmpty());

    // A stored target switched to Batch: one field, and its settings replaced.
    pick(page->findChild<QListWidget *>("doelen"), "1 Kabelkrant playout");
    QCOMPARE(page->findChild<QLineEdit *>("naam")->text(), QString("Kabelkrant playout"));
    auto *module = page->findChild<QComboBox *>("module");
    module->setCurrentIndex(1);
    emit module->activated(1);
    QCOMPARE(labels(panel), QStringList({"Commandline"}));
    qobject_cast<QLineEdit *>(panel->RowControl(0))->setText("upload 'x'");
    m_sql.clear();
    click(page, "Button4");
    QCOMPARE(m_sql.value(0), admin::UpdateTargetSql(1, "Kabelkrant playout", "Batch", panel->Values()));
    QCOMPARE(m_db->query("select module, settings from tbldoel where id = 1").value(0),
             QStringList({"Batch", panel->Values()}));

    // A new target, a file sent to it, and the target deleted with its links.
    click(page, "Button1");
    QCOMPARE(page->Target(), -1);
    QCOMPARE(labels(panel), QStringList({"Commandline"}));
    QTest::keyClicks(page->findChild<QLineEdit *>("naam"), "Archief");
    click(page, "Button4");
    const QString target = one("select id from tbldoel where naam = 'Archief'");
    QVERIFY(!target.isEmpty());
    pick(page->findChild<QListWidget *>("doelen"), target + " Archief");
    auto *files = page->findChild<QComboBox *>("files");
    files->setCurrentIndex(files->findText("5 Website voorpagina"));
    m_sql.clear();
    click(page, "Button5");
    QCOMPARE(m_sql.value(0), admin::SendFileToTargetSql(5, target.toInt()));
    QCOMPARE(entries(page->findChild<QListWidget *>("naardoel")), QStringList({"5 Website voorpagina"}));
    m_dialogs->expectBox(BoxType::Confirmation,
                         "Doel verwijderen?\nalle gerelateerde export instellingen worden tevens "
                         "verwijderd!\ndoorgaan?",
                         ModalResult::Yes);
    m_sql.clear();
    click(page, "Button3");
    QCOMPARE(m_sql.mid(0, 4), QStringList{"begin"} + admin::DeleteTargetSql(target.toInt()) + QStringList{"end"});
    QCOMPARE(one("select count(*) from tblnaardoel where doelid = " + target), QString("0"));
    QCOMPARE(page->Target(), -1);
}

void TestUitvoerPaginas::exportPage()
{
    auto *page = showPage<admin::TExportFrame>(admin::PageExport);
    QVERIFY(page);
    auto *panel = qobject_cast<texts::TStylePanel *>(page->Style().widget);
    QCOMPARE(labels(panel), QStringList({"Scripttitel", "Opener script"}));
    QVERIFY(!page->findChild<QLineEdit *>("remotefilename")->isEnabled());

    // A stored file: its fields, its template's parameters and values, and
    // itself offered among the files to take along.
    auto *files = page->findChild<QListWidget *>("files");
    pick(files, "1 Kabelkrant nieuws");
    QCOMPARE(page->findChild<QLineEdit *>("remotefilename")->text(), QString("nieuws.txt"));
    QCOMPARE(page->findChild<QComboBox *>("template")->currentText(), QString("1 kabelkrant.txt"));
    QCOMPARE(page->findChild<QComboBox *>("rub")->currentText(), QString("1 Nieuws"));
    QCOMPARE(labels(panel), QStringList({"Paginatitel", "Achtergrondkleur", "Seconden per pagina"}));
    QVERIFY(panel->Values().contains("titel:\"Nieuws\""));
    auto *niet = page->findChild<QListWidget *>("nietmeenemen");
    QVERIFY(entries(niet).contains("1 Kabelkrant nieuws"));
    QVERIFY(panel->RowControl(0)->isVisible());
    // Both take-along lists show the longest demo name whole.
    for (QListWidget *list : {niet, page->findChild<QListWidget *>("meenemen")}) {
        const int needed = list->fontMetrics().horizontalAdvance(QStringLiteral("Website voorpagina"));
        QVERIFY2(list->viewport()->width() > needed,
                 qPrintable(QStringLiteral("%1 <= %2").arg(list->viewport()->width()).arg(needed)));
    }
    QCOMPARE(niet->item(0)->toolTip(), admin::EntryName(niet->item(0)->text()));
    QVERIFY(testsupport::saveScreenshot(m_dialog.get(), "instellingen-export.png"));

    // Renaming the shown file's template with "..." keeps it chosen, so the
    // file still saves with it.
    const QString templateSettings = one("select settings from tblexporttemplate where id = 1");
    pick(page->findChild<QListWidget *>("temp"), "1 kabelkrant.txt");
    m_dialogs->expectInput("Naam van de exporttemplate (met extensie)", "kabelkrant-oud.txt");
    m_dialogs->expectInput("Instellingen voor parameters", templateSettings);
    click(page, "Button2");
    QCOMPARE(page->findChild<QComboBox *>("template")->currentText(), QString("1 kabelkrant-oud.txt"));
    m_sql.clear();
    click(page, "Button7");
    QCOMPARE(m_sql.value(0), admin::UpdateTargetFileSql(1, "Kabelkrant nieuws", "kk_nieuws.txt", "nieuws.txt",
                                                        panel->Values(), 1, 1));
    QVERIFY(m_db->exec("update tblexporttemplate set naam = 'kabelkrant.txt' where id = 1"));
    pick(files, "1 Kabelkrant nieuws");

    // Taken along and left behind again.
    pick(niet, "2 Kabelkrant sport");
    m_sql.clear();
    click(page, "Button5");
    QCOMPARE(m_sql.value(0), admin::TakeAlongSql(1, 2));
    QCOMPARE(entries(page->findChild<QListWidget *>("meenemen")), QStringList({"2 Kabelkrant sport"}));
    pick(page->findChild<QListWidget *>("meenemen"), "2 Kabelkrant sport");
    click(page, "Button8");
    QCOMPARE(one("select count(*) from tbldoeldepend where doelfileid = 1"), QString("0"));

    // A new file (the first template, the rubric kept): the along-lists
    // refuse until it is stored; the remote name stays empty.
    click(page, "Button4");
    QCOMPARE(page->File(), -1);
    pick(niet, "2 Kabelkrant sport");
    m_sql.clear();
    m_dialogs->expectBox(BoxType::Warning, "Sla het doelbestand eerst op.");
    click(page, "Button5");
    QVERIFY(m_sql.isEmpty());
    page->findChild<QLineEdit *>("filename")->setText("Kabelkrant 'extra'");
    page->findChild<QLineEdit *>("localfilename")->setText("kk_extra.xml");
    click(page, "Button7");
    QCOMPARE(m_sql.value(0),
             admin::InsertTargetFileSql("Kabelkrant 'extra'", "kk_extra.xml", "", panel->Values(), 1, 1));
    QCOMPARE(one("select count(*) from tbldoelfile where naam = 'Kabelkrant ''extra''' and remotefilename = ''"),
             QString("1"));
    QCOMPARE(page->File(), -1);

    // Without any rubric there is nothing to save the file for.
    QVERIFY(m_db->exec("delete from tblrubriek"));
    auto *fresh = showPage<admin::TExportFrame>(admin::PageExport);
    QCOMPARE(fresh->findChild<QComboBox *>("rub")->count(), 0);
    m_sql.clear();
    m_dialogs->expectBox(BoxType::Warning, "Een doelbestand hoort bij een exporttemplate en een rubriek; maak die "
                                           "eerst aan. Er is niets opgeslagen.");
    click(fresh, "Button7");
    QVERIFY(m_sql.isEmpty());
}

QTEST_MAIN(TestUitvoerPaginas)
#include "tst_uitvoerpaginas.moc"
