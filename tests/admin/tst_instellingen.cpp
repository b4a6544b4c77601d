// The settings dialog against a fresh copy of the demo newsroom and a real
// quillon-server, as the administrator marieke: the "checkpw" password gate,
// the tree of pages, the editors page (rights, memberships, a new password
// that the server then accepts), the teams page, "Tabellen" with the table
// editor, the server and "Taken" pages, and the SQL window. Statements and
// commands are recorded from the real connections.

#include "support/WidgetDriving.h"
#include "support/LineClient.h"
#include "support/Modal.h"
#include "support/RecordingClient.h"
#include "support/Screenshots.h"
#include "support/ScriptedDialogs.h"
#include "support/ServerProcess.h"
#include "support/TestDatabase.h"

#include "admin/AdminSql.h"
#include "admin/InstelDialog.h"
#include "admin/PostgresForm.h"
#include "admin/RedactiesFrame.h"
#include "admin/ServerFrame.h"
#include "admin/TableEditor.h"
#include "admin/UserFrame.h"
#include "core/Global.h"
#include "platform/PostgresPasswordDialog.h"
#include "platform/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

using platform::BoxType;
using platform::ModalResult;
using testsupport::RecordingClient;

using testsupport::click;
using testsupport::entries;
using testsupport::pick;

namespace {

// Runs action on the next modal window of type T (others are waited out).
template <class T>
void onModalOf(std::function<void(T *)> action)
{
    auto *timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto *w = qobject_cast<T *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(w);
        }
    });
    timer->start();
}

}  // namespace

class TestInstellingen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void passwordGate();
    void treeAndTabellen();
    void editorsPage();
    void newPasswordIsHashedAndAccepted();
    void lockOutLifted();
    void teamsPage();
    void tableEditor();
    void serverAndTakenPages();
    void sqlWindow();

private:
    // The statements sent since the last clear, without the "sql " prefix.
    QStringList sql() const;
    template <class Page>
    Page *showPage(admin::TInstelDialog &dialog, int code);

    std::unique_ptr<testsupport::TestDatabase> m_db;
    servertest::ServerProcess m_server;
    std::unique_ptr<RecordingClient> m_client;
    std::unique_ptr<testsupport::ScriptedDialogs> m_dialogs;
    QStringList m_log;
    QTemporaryDir m_dir;
};

void TestInstellingen::initTestCase()
{
    QUILLON_REQUIRE_PG(15);
    m_db = std::make_unique<testsupport::TestDatabase>(15, QStringLiteral("quillon_demo"));
    QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
    QVERIFY2(m_server.start(m_db.get(), QStringLiteral("lockout_failures = 3\nlogin_delay_ms = 10\n")),
             qPrintable(m_server.error()));
    platform::setSettingsFolder(m_dir.filePath(QStringLiteral("settings")));
    m_client = std::make_unique<RecordingClient>(m_log);
    QVERIFY(m_client->login(*m_db, m_server.port(), "marieke", "kievitpolder47", m_server.tlsOptions()));
}

void TestInstellingen::cleanupTestCase()
{
    core::state().post = nullptr;
    core::state().server = nullptr;
    m_client.reset();
}

void TestInstellingen::init()
{
    m_dialogs = std::make_unique<testsupport::ScriptedDialogs>();
    m_client->activate();
    m_log.clear();
}

void TestInstellingen::cleanup()
{
    QVERIFY2(m_dialogs->problems().isEmpty(), qPrintable(m_dialogs->problems().join("\n")));
    m_dialogs.reset();
}

QStringList TestInstellingen::sql() const
{
    QStringList out;
    for (const QString &line : m_log)
        if (line.startsWith("sql "))
            out << line.mid(4);
    return out;
}

template <class Page>
Page *TestInstellingen::showPage(admin::TInstelDialog &dialog, int code)
{
    dialog.SelectNode(code);
    dialog.ShowSelected();
    return qobject_cast<Page *>(dialog.Page());
}

void TestInstellingen::passwordGate()
{
    // Closed without "&Ok", and a wrong password: no dialog.
    bool opened = false;
    onModalOf<platform::TPostgresPasswordDialog>([](platform::TPostgresPasswordDialog *d) { d->reject(); });
    m_dialogs->expectBox(BoxType::Error, "Wachtwoord is fout, geen toegang!");
    admin::OpenSettings();
    onModalOf<platform::TPostgresPasswordDialog>([](platform::TPostgresPasswordDialog *d) {
        d->Edit->setText("merelhaag82");
        QTest::mouseClick(d->OkButton, Qt::LeftButton);
    });
    onModalOf<admin::TInstelDialog>([&opened](admin::TInstelDialog *d) {
        opened = true;
        d->reject();
    });
    m_dialogs->expectBox(BoxType::Error, "Wachtwoord is fout, geen toegang!");
    admin::OpenSettings();
    QVERIFY(!opened);
    QVERIFY(m_log.contains("cmd checkpw marieke merelhaag82"));
    QVERIFY(m_dialogs->allConsumed());

    // The right one opens the dialog, captioned and without a page; typed
    // with a capital it is the same password, as on the editors page.
    QString caption, panel;
    onModalOf<platform::TPostgresPasswordDialog>([](platform::TPostgresPasswordDialog *d) {
        d->Edit->setFocus();
        QTest::keyClicks(d->Edit, "Kievitpolder47");
        QTest::mouseClick(d->OkButton, Qt::LeftButton);
    });
    admin::OpenSettings();
    QVERIFY(opened);
    QVERIFY(m_log.contains("cmd checkpw marieke kievitpolder47"));
}

void TestInstellingen::treeAndTabellen()
{
    admin::TInstelDialog dialog;
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QString("Instellingen hoofdscherm"));
    auto *tree = dialog.findChild<QTreeWidget *>("TreeView1");
    QStringList nodes;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        nodes << tree->topLevelItem(i)->text(0);
    QCOMPARE(nodes, QStringList({"Doelen", "Export", "Programma's", "Redacteuren", "Redacties", "Server", "Tabellen",
                                 "Taken", "Templates"}));
    QVERIFY(dialog.findChild<QLabel *>()->text() == "geen instellingen paneel gekozen");

    // The selection is reported 200 ms later.
    dialog.SelectNode(admin::PageRedacties);
    QVERIFY(!dialog.Page());
    QTRY_VERIFY(qobject_cast<admin::TRedactiesFrame *>(dialog.Page()));

    // "Tabellen" shows the table editor, then the page shown before, afresh.
    QPointer<QWidget> before = dialog.Page();
    QString tables;
    onModalOf<admin::TTableEditor>([&tables](admin::TTableEditor *editor) {
        tables = editor->windowTitle() + ": " + editor->findChild<QComboBox *>("tables")->currentText();
        editor->reject();
    });
    showPage<QWidget>(dialog, admin::PageTabellen);
    QCOMPARE(tables, QString("TableEditor: tbladresboek"));
    QVERIFY(!before);
    QVERIFY(qobject_cast<admin::TRedactiesFrame *>(dialog.Page()));
    QCOMPARE(tree->currentItem()->text(0), QString("Redacties"));
}

void TestInstellingen::editorsPage()
{
    admin::TInstelDialog dialog;
    dialog.resize(1000, 640);
    dialog.show();
    QVERIFY(m_db->exec("update tbluser set rights = 'xxxx------x-----' where loginnaam = 'joost'"));
    m_log.clear();
    auto *page = showPage<admin::TUserFrame>(dialog, admin::PageRedacteuren);
    QVERIFY(page);
    auto *list = page->findChild<QListWidget *>("ListBox1");
    QCOMPARE(entries(list), QStringList({"6 daan", "4 fatima", "2 joost", "1 marieke", "5 pieter", "3 sanne"}));
    QCOMPARE(sql(), QStringList({admin::UserListSql()}));

    m_log.clear();
    pick(list, "2 joost");
    QCOMPARE(sql(), QStringList({admin::UserSql(2), admin::AvailableTeamsSql(2), admin::UserTeamsSql(2)}));
    QCOMPARE(page->findChild<QLineEdit *>("username")->text(), QString("joost"));
    QCOMPARE(page->findChild<QLineEdit *>("password")->text(), QString());
    const auto *note = page->findChild<QLabel *>("hoofdletters");
    QVERIFY(note && note->isVisible());
    QCOMPARE(note->text(), QString("Wachtwoorden zijn niet hoofdlettergevoelig."));
    QVERIFY(page->findChild<QCheckBox *>("eind")->isChecked());
    QVERIFY(page->findChild<QCheckBox *>("sysop")->isChecked());
    QCOMPARE(entries(page->findChild<QListWidget *>("redacties")), QStringList({"1 Nieuws", "2 Sport"}));
    QVERIFY(entries(page->findChild<QListWidget *>("available")).isEmpty());
    QVERIFY(testsupport::saveScreenshot(&dialog, "instellingen-redacteuren.png"));

    // Saving with an empty password field keeps the stored password and
    // clears the flags beyond the second.
    const QString storedBefore = m_db->query("select password from tbluser where userid = 2").value(0).value(0);
    page->findChild<QCheckBox *>("sysop")->setChecked(false);
    m_log.clear();
    click(page, "Button1");
    QCOMPARE(sql(), QStringList({"update tbluser set rights = 'x---------------' where userid = 2"}));
    QCOMPARE(m_db->query("select password, rights from tbluser where userid = 2").value(0),
             QStringList({storedBefore, "x---------------"}));

    // Team membership: out of Sport, and back in.
    auto *teams = page->findChild<QListWidget *>("redacties");
    pick(teams, "2 Sport");
    m_log.clear();
    click(page, "Button4");
    QCOMPARE(sql(),
             QStringList({admin::RemoveMembershipSql(2, 2), admin::AvailableTeamsSql(2), admin::UserTeamsSql(2)}));
    QCOMPARE(entries(page->findChild<QListWidget *>("available")), QStringList({"2 Sport"}));
    pick(page->findChild<QListWidget *>("available"), "2 Sport");
    m_log.clear();
    click(page, "Button3");
    QCOMPARE(sql().value(0), QString("insert into tblredactieuser values (2,2)"));
    QCOMPARE(entries(teams), QStringList({"1 Nieuws", "2 Sport"}));

    // A new editor with a quote in the name, then removed with its membership.
    m_dialogs->expectInput("Naam van de redacteur", "d'artagnan");
    m_log.clear();
    click(page, "Button2");
    QCOMPARE(m_dialogs->lastInputCaption(), QString("Gebruiker invoegen"));
    QCOMPARE(sql().value(0), QString("insert into tbluser (loginnaam) values ('d\\'artagnan')"));
    const QString newId = m_db->query("select userid from tbluser where loginnaam = 'd''artagnan'").value(0).value(0);
    QVERIFY(!newId.isEmpty());
    QVERIFY(entries(list).contains(newId + " d'artagnan"));
    QVERIFY(m_db->exec("insert into tblredactieuser values (1, " + newId + ")"));
    pick(list, newId + " d'artagnan");
    m_dialogs->expectBox(BoxType::Confirmation, "Redacteur verwijderen?", ModalResult::No);
    click(page, "Button5");
    m_dialogs->expectBox(BoxType::Confirmation, "Redacteur verwijderen?", ModalResult::Yes);
    m_log.clear();
    click(page, "Button5");
    QCOMPARE(sql().mid(0, 3), admin::DeleteUserSql(newId.toInt()) + QStringList{admin::UserListSql()});
    QCOMPARE(m_db->query("select count(*) from tblredactieuser where userid = " + newId).value(0).value(0),
             QString("0"));
    QVERIFY(m_db->query("select 1 from tbluser where userid = " + newId).isEmpty());
}

// A password typed on the editors page is stored as a hash, and the server
// then logs the editor in with it.
void TestInstellingen::newPasswordIsHashedAndAccepted()
{
    admin::TInstelDialog dialog;
    dialog.show();
    auto *page = showPage<admin::TUserFrame>(dialog, admin::PageRedacteuren);
    pick(page->findChild<QListWidget *>("ListBox1"), "4 fatima");
    auto *password = page->findChild<QLineEdit *>("password");
    // Typed in capitals, stored in lower case as the field makes it.
    QTest::keyClicks(password, "Grutto's \\nest");
    QCOMPARE(password->text(), QString("grutto's \\nest"));
    m_log.clear();
    click(page, "Button1");
    const QString stored = m_db->query("select password from tbluser where userid = 4").value(0).value(0);
    QVERIFY2(stored.startsWith("$scrypt$ln=15,r=8,p=1$"), qPrintable(stored));
    QCOMPARE(sql(), QStringList({"update tbluser set password = '" + stored +
                                 "' , rights = '----------------' where userid = 4"}));
    QVERIFY(!m_log.join("\n").contains("grutto"));
    QCOMPARE(password->text(), QString());

    servertest::LineClient fatima(m_server.port());
    QCOMPARE(fatima.reply("auth fatima eksterduin51"), QString("err"));
    QCOMPARE(fatima.reply("auth fatima grutto's \\nest"), QString("setuserid 4|ok"));
}

// An editor locked out after mistyping gets in again once the administrator
// lifts the lock-out on his page.
void TestInstellingen::lockOutLifted()
{
    servertest::LineClient daan(m_server.port(), "127.0.12.1");
    QCOMPARE(daan.reply("checkversion 9"), QString("ok"));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(daan.reply("auth daan fout"), QString("err"));
    QCOMPARE(daan.command("auth daan spreeuwdak64").join('|'),
             QString("chat te veel mislukte pogingen; probeer het over 5 minuten opnieuw|err"));
    admin::TInstelDialog dialog;
    dialog.show();
    auto *page = showPage<admin::TUserFrame>(dialog, admin::PageRedacteuren);
    pick(page->findChild<QListWidget *>("ListBox1"), "6 daan");
    m_dialogs->expectBox(BoxType::Information, "De aanmeldblokkade van daan is opgeheven.");
    click(page, "Button6");
    QVERIFY(m_log.contains("cmd ontgrendel daan"));
    QVERIFY(m_dialogs->allConsumed());
    QCOMPARE(daan.reply("auth daan spreeuwdak64"), QString("setuserid 6|ok"));
}

void TestInstellingen::teamsPage()
{
    admin::TInstelDialog dialog;
    dialog.show();
    m_log.clear();
    auto *page = showPage<admin::TRedactiesFrame>(dialog, admin::PageRedacties);
    auto *teams = page->findChild<QListWidget *>("ListBox1");
    QCOMPARE(entries(teams), QStringList({"1 Nieuws", "2 Sport"}));
    QCOMPARE(teams->currentRow(), 0);
    QCOMPARE(sql(), QStringList({admin::TeamListSql(), admin::ProgrammeListSql(), admin::TeamProgrammesSql(1),
                                 admin::TeamPublishProgrammesSql(1)}));

    // A new team with a quote, colour black.
    m_dialogs->expectInput("Naam van de redactie", "Regio's");
    click(page, "Button1");
    QCOMPARE(m_db->query("select naam, color from tblredactie where naam like 'Regio%'").value(0),
             QStringList({"Regio's", "000000"}));
    const QString team = m_db->query("select id from tblredactie where naam = 'Regio''s'").value(0).value(0);
    QCOMPARE(entries(teams).value(1), team + " Regio's");

    // Renamed, programmes assigned for cycles and for publishing.
    pick(teams, team + " Regio's");
    m_dialogs->expectInput("Naam van de redactie", "Regio \\ Oost");
    click(page, "Button3");
    QCOMPARE(m_dialogs->lastInputCaption(), QString("Redactie wijzigen"));
    QCOMPARE(entries(teams).value(1), team + " Regio \\ Oost");
    pick(page->findChild<QListWidget *>("prog"), "2 Website");
    m_log.clear();
    click(page, "Button4");
    QCOMPARE(sql().value(0), admin::AssignProgrammeSql(team.toInt(), 2));
    pick(page->findChild<QListWidget *>("prog"), "1 Kabelkrant");
    click(page, "Button6");
    QCOMPARE(entries(page->findChild<QListWidget *>("toe")), QStringList({"2 Website"}));
    QCOMPARE(entries(page->findChild<QListWidget *>("pubtoe")), QStringList({"1 Kabelkrant"}));
    pick(page->findChild<QListWidget *>("pubtoe"), "1 Kabelkrant");
    click(page, "Button7");
    QVERIFY(entries(page->findChild<QListWidget *>("pubtoe")).isEmpty());

    // Deleted: after OK and Yes, in one transaction, with memberships and
    // agenda; its programme assignments stay.
    QVERIFY(m_db->exec("insert into tblredactieuser values (" + team + ", 4)"));
    QVERIFY(m_db->exec("insert into tblagenda (kort, datum, redactie) values ('x', '20300101', " + team + ")"));
    pick(teams, team + " Regio \\ Oost");
    m_dialogs->expectBox(BoxType::Confirmation, "Redactie verwijderen?", ModalResult::Cancel);
    click(page, "Button2");
    m_dialogs->expectBox(BoxType::Confirmation, "Redactie verwijderen?", ModalResult::Ok);
    m_dialogs->expectBox(BoxType::Confirmation,
                         "Weet u dit heel zeker?\nDe volledige agenda zal ook verwijderd worden!", ModalResult::Yes);
    m_log.clear();
    click(page, "Button2");
    QCOMPARE(sql().mid(0, 5), QStringList{"begin"} + admin::DeleteTeamSql(team.toInt()) + QStringList{"end"});
    for (const char *table : {"tblredactie where id", "tblredactieuser where redactieid", "tblagenda where redactie"})
        QCOMPARE(m_db->query(QString("select count(*) from ") + table + " = " + team).value(0).value(0), QString("0"));
    QCOMPARE(m_db->query("select count(*) from tblredactierubriek where redactieid = " + team).value(0).value(0),
             QString("1"));
}

void TestInstellingen::tableEditor()
{
    QVERIFY(m_db->exec("insert into tbltableeditor values ('tblbioscoop', 'naam')"));
    admin::TTableEditor editor;
    auto *tables = editor.findChild<QComboBox *>("tables");
    tables->setCurrentText("tblbioscoop");
    editor.show();
    auto *view = editor.findChild<QTreeWidget *>("view");
    QCOMPARE(view->headerItem()->text(1), QString("naam"));
    QCOMPARE(view->columnWidth(0), 20);
    const int rows = view->topLevelItemCount();
    QVERIFY(rows > 0);

    // A new row with quotes and backslashes survives.
    const QString odd = "Ciné 't \"Hof\" \\ zaal\\'2";
    m_dialogs->expectInput("Geef waarde voor kolom \"naam\"", odd);
    m_log.clear();
    editor.ToolButton1Click();
    QCOMPARE(m_dialogs->lastInputCaption(), QString("Waarde wijzigen"));
    QCOMPARE(sql().value(0), admin::InsertRowSql("tblbioscoop", {"naam"}, {odd}));
    QCOMPARE(sql().value(1), admin::TableRowsSql("tblbioscoop", "naam"));
    const QString id =
        m_db->query("select id from tblbioscoop where naam = " + QString("$q$") + odd + "$q$").value(0).value(0);
    QVERIFY2(!id.isEmpty(), "the odd name was not stored intact");
    QCOMPARE(view->topLevelItemCount(), rows + 1);

    // Edited: the value is offered as it is, the new one stored intact, the
    // row selected again.
    QTreeWidgetItem *item = nullptr;
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        if (view->topLevelItem(i)->data(0, Qt::UserRole).toString() == id)
            item = view->topLevelItem(i);
    QVERIFY(item);
    QCOMPARE(item->text(1), odd);
    view->setCurrentItem(item);
    m_dialogs->expectInput("Geef waarde voor kolom \"naam\"", odd + "'");
    m_log.clear();
    editor.ToolButton3Click();
    QCOMPARE(sql().value(0), admin::UpdateRowSql("tblbioscoop", {"naam"}, {odd + "'"}, id.toInt()));
    QCOMPARE(m_db->query("select naam from tblbioscoop where id = " + id).value(0).value(0), odd + "'");
    QCOMPARE(view->currentItem()->data(0, Qt::UserRole).toString(), id);

    // Deleted after Yes.
    m_dialogs->expectBox(BoxType::Confirmation, "Item verwijderen?", ModalResult::Yes);
    m_log.clear();
    editor.ToolButton4Click();
    QCOMPARE(sql().value(0), "delete from tblbioscoop where id = " + id);
    QCOMPARE(view->topLevelItemCount(), rows);

    // Two columns: cancelled at the second, nothing is sent.
    tables->setCurrentText("tblnet");
    QCOMPARE(view->headerItem()->text(2), QString("url"));
    view->setCurrentItem(view->topLevelItem(0));
    m_dialogs->expectInput("Geef waarde voor kolom \"naam\"", "anders");
    m_dialogs->expectInput("Geef waarde voor kolom \"url\"", "", false);
    m_log.clear();
    editor.ToolButton3Click();
    QVERIFY(sql().isEmpty());
}

void TestInstellingen::serverAndTakenPages()
{
    admin::TInstelDialog dialog;
    dialog.show();
    auto *server = showPage<admin::TServerFrame>(dialog, admin::PageServer);
    QVERIFY(server);
    m_dialogs->expectBox(BoxType::Confirmation,
                         "Het uitschakelen van de server heeft tot gevolg dat alle clients,die nog zijn aangemeld hun "
                         "gegevens kwijtraken!\nDoorgaan?",
                         ModalResult::No);
    click(server, "Button1");
    QVERIFY(!m_log.join("\n").contains("shutdown"));

    auto *taken = showPage<admin::TTaakFrame>(dialog, admin::PageTaken);
    QVERIFY(taken);
    m_log.clear();
    for (QPushButton *b : taken->findChildren<QPushButton *>())
        QTest::mouseClick(b, Qt::LeftButton);
    QVERIFY(taken->findChild<QLineEdit *>("Edit2"));
    QVERIFY(m_log.isEmpty());
}

void TestInstellingen::sqlWindow()
{
    const QString select = "select userid, loginnaam, rights from tbluser where userid in (1,2,3) order by userid";
    {
        admin::TPostgresForm form;
        form.show();
        auto *memo1 = form.findChild<QPlainTextEdit *>("Memo1");
        auto *memo2 = form.findChild<QPlainTextEdit *>("Memo2");
        QVERIFY(memo1->toPlainText().isEmpty());
        memo1->setPlainText("  " + select + "\n");
        m_log.clear();
        QTest::keyClick(memo1, Qt::Key_Return);
        QCOMPARE(memo1->toPlainText(), select);
        QCOMPARE(memo2->toPlainText(),
                 QString("1 | marieke | -x--------------\n2 | joost   | x---------------\n3 | sanne   | "
                         "x---------------"));
        // Not a select: run as typed, string literal and all; Memo2 unchanged.
        memo1->setPlainText("update tblredactie set color = 'FF00FF' where naam = 'Sport'");
        QTest::keyClick(memo1, Qt::Key_Enter);
        QCOMPARE(sql().value(1), QString("update tblredactie set color = 'FF00FF' where naam = 'Sport'"));
        QCOMPARE(m_db->query("select color from tblredactie where id = 2").value(0).value(0), QString("FF00FF"));
        QVERIFY(memo2->toPlainText().startsWith("1 | marieke"));
        // The clients' role cannot read a password, here neither.
        memo1->setPlainText(select);
        QTest::keyClick(memo1, Qt::Key_Return);
        memo1->setPlainText("select password from tbluser");
        m_dialogs->expectBox(BoxType::Error, "ERROR:  permission denied for table tbluser");
        QTest::keyClick(memo1, Qt::Key_Return);
        QVERIFY(memo2->toPlainText().isEmpty());
        memo1->setPlainText(select);
    }
    admin::TPostgresForm again;
    QCOMPARE(again.findChild<QPlainTextEdit *>("Memo1")->toPlainText(), select);
}

QTEST_MAIN(TestInstellingen)
#include "tst_instellingen.moc"
