// The address book window against a fresh copy of the demo newsroom and a
// real quillon-server: the 200-contact rule, both kinds of book, typing into
// the list, storing a changed and a new contact, the lock "naw_" + id held by
// another editor, cancelling an edit, deleting, and choosing a contact.
// Statements are recorded from the real connection; the other editor is a
// line client logged in as joost.

#include "support/Screenshots.h"
#include "support/LineClient.h"
#include "support/NullLinkClient.h"
#include "support/ServerProcess.h"

#include "core/Dates.h"
#include "core/Global.h"
#include "core/Registry.h"
#include "core/ServerLink.h"
#include "db/Postgres.h"
#include "extras/AdresBoekForm.h"
#include "extras/NawFrame.h"
#include "support/ClientSession.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <memory>

using extras::TAdresBoekForm;
using extras::TNawFrame;
using platform::BoxType;
using platform::ModalResult;

namespace {

const QChar FF(0xFF);

int rowOf(TNawFrame *f, int id)
{
    for (int i = 0; i < f->ListBox1()->count(); ++i)
        if (f->ListBox1()->item(i)->text().section(' ', 0, 0).toInt() == id)
            return i;
    return -1;
}

QLineEdit *field(TNawFrame *f, const char *name)
{
    return f->findChild<QLineEdit *>(name);
}

QString labelText(TNawFrame *f, const char *name)
{
    return f->findChild<QLabel *>(name)->text();
}

void saveScreenshot(QWidget *w, const QString &name)
{
    QVERIFY(testsupport::saveScreenshot(w, name));
}

}  // namespace

class TestAdresBoek : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void wholeBookUpTo200_data();
    void wholeBookUpTo200();
    void personAndOrganisationBooks();
    void typingInTheListEditsTheSearch();
    void refusedLockKeepsTheContactReadOnly();
    void cancelledEditsReleaseTheLock();
    void storingAChangedContact();
    void birthDateOfAContactWithoutOne_data();
    void birthDateOfAContactWithoutOne();
    void storingANewContact();
    void deletingAContact();
    void choosingAContact();
    void screenshot();

private:
    // A window on book, shown and prepared; the search runs when the test says.
    void open(int book);
    // Selects the entry of contact id (shown through the list's selection).
    void select(int id);
    QString lockAsJoost(int id);

    std::unique_ptr<testsupport::TestDatabase> m_db;
    servertest::ServerProcess m_server;
    std::unique_ptr<db::TPostgres> m_pg;
    testsupport::NullLinkClient m_client;  // nothing of the link is shown in these tests
    std::unique_ptr<core::TServerLink> m_link;
    std::unique_ptr<servertest::LineClient> m_joost;
    std::unique_ptr<TAdresBoekForm> m_form;
    TNawFrame *m_frame = nullptr;
    QStringList m_sql;
};

void TestAdresBoek::initTestCase()
{
    QUILLON_REQUIRE_PG(15);
    m_db = std::make_unique<testsupport::TestDatabase>(15, QStringLiteral("quillon_demo"));
    QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
    QVERIFY(m_db->exec("insert into tbladresboek (id, naam, boektype) values (10, 'Vol 200', 1), (11, 'Vol 201', 1)"));
    QVERIFY(m_db->exec("insert into tblnaw (voornaam, naam, adresboek) select 'Piet', 'Lid ' || g, 10"
                       " from generate_series(1, 200) g"));
    QVERIFY(m_db->exec("insert into tblnaw (voornaam, naam, adresboek) select 'Piet', 'Lid ' || g, 11"
                       " from generate_series(1, 201) g"));
    QVERIFY2(m_server.start(m_db.get()), qPrintable(m_server.error()));

    QString error;
    m_pg = testsupport::OpenClientSession(*m_db, &m_sql, &error);
    QVERIFY2(m_pg, qPrintable(error));

    core::TProgramState &s = core::state();
    m_link = std::make_unique<core::TServerLink>(s, m_client);
    m_link->setTls(m_server.tlsOptions());
    QVERIFY2(m_link->open(QStringLiteral("127.0.0.1"), m_server.port(), &error), qPrintable(error));
    QVERIFY(m_link->SendCommand(QStringLiteral("auth marieke kievitpolder47")));
    s.post = m_pg.get();
    s.server = m_link.get();
    s.administrator = true;

    m_joost = std::make_unique<servertest::LineClient>(m_server.port());
    QVERIFY(m_joost->login("joost", "merelhaag82"));
}

void TestAdresBoek::cleanupTestCase()
{
    core::state().post = nullptr;
    core::state().server = nullptr;
    m_link.reset();
}

void TestAdresBoek::cleanup()
{
    m_form.reset();
    m_frame = nullptr;
}

void TestAdresBoek::open(int book)
{
    m_form = std::make_unique<TAdresBoekForm>();
    m_frame = m_form->NawFrame1();
    m_frame->setSearchDelay(3600 * 1000);
    m_frame->setBook(book);
    m_sql.clear();
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

void TestAdresBoek::select(int id)
{
    const int row = rowOf(m_frame, id);
    QVERIFY2(row >= 0, qPrintable(QString::number(id)));
    m_frame->ListBox1()->setCurrentRow(row);
    QCOMPARE(m_frame->contact(), id);
}

QString TestAdresBoek::lockAsJoost(int id)
{
    return m_joost->reply(QStringLiteral("lock naw_") + QString::number(id));
}

void TestAdresBoek::wholeBookUpTo200_data()
{
    QTest::addColumn<int>("book");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("listedEmpty");
    QTest::newRow("200 contacts: an empty search lists all") << 10 << 0 << 200;
    QTest::newRow("201 contacts: nothing before two characters") << 11 << 2 << 0;
}

void TestAdresBoek::wholeBookUpTo200()
{
    QFETCH(int, book);
    QFETCH(int, minimum);
    QFETCH(int, listedEmpty);
    open(book);
    QCOMPARE(m_sql.mid(0, 4), QStringList({"select naam from tblwoonplaats order by naam",
                                           "select id,naam from tbladresboek order by naam",
                                           "select count(*) from tblnaw where adresboek = " + QString::number(book),
                                           "select boektype from tbladresboek where id = " + QString::number(book)}));
    QCOMPARE(m_frame->minimumSearchLength(), minimum);
    QVERIFY(m_frame->searchPending());
    QCOMPARE(m_frame->searchDelay(), 3600 * 1000);
    m_frame->Search();
    QCOMPARE(m_frame->ListBox1()->count(), listedEmpty);
    m_frame->zoek()->setText("l");
    m_frame->Search();
    QCOMPARE(m_frame->ListBox1()->count(), minimum > 1 ? 0 : 200);
    m_frame->zoek()->setText("LI");  // any case
    m_frame->Search();
    QCOMPARE(m_frame->ListBox1()->count(), book == 10 ? 200 : 201);
    QCOMPARE(m_frame->ListBox1()->currentRow(), 0);
}

void TestAdresBoek::personAndOrganisationBooks()
{
    QCOMPARE(TNawFrame().searchDelay(), 750);
    open(2);
    TNawFrame *f = m_frame;
    QCOMPARE(labelText(f, "Label1"), QString("Contact"));
    QCOMPARE(labelText(f, "Label3"), QString("Organisatie"));
    QVERIFY(field(f, "tussenvoegsel")->isHidden());
    QVERIFY(f->gebdatum()->isHidden());
    m_sql.clear();
    f->Search();
    QCOMPARE(m_sql.first(), QString("select id,trim(naam),woonplaats from tblnaw where adresboek = 2 and (lower(naam) "
                                    "like '%%' or lower(voornaam) like '%%') order by naam"));
    QVERIFY(rowOf(f, 7) >= 0);
    QCOMPARE(f->ListBox1()->item(rowOf(f, 7))->text(), QString("7 Gemeente Zwaluwstad") + FF + "Zwaluwstad");

    // Back to the person book through the book choice.
    QComboBox *box = f->adresboekbox();
    const int persons = box->findText("Personen");
    QVERIFY(persons >= 0);
    m_sql.clear();
    box->setCurrentIndex(persons);
    emit box->activated(persons);
    QCOMPARE(m_sql, QStringList({"select count(*) from tblnaw where adresboek = 1",
                                 "select boektype from tbladresboek where id = 1"}));
    QCOMPARE(labelText(f, "Label1"), QString("Voornaam"));
    QCOMPARE(labelText(f, "Label3"), QString("Naam"));
    QVERIFY(!field(f, "tussenvoegsel")->isHidden());
    QVERIFY(!f->gebdatum()->isHidden());
    f->Search();
    QVERIFY(m_sql.at(2).startsWith("select id,trim(voornaam) || rtrim(' ' || tussen) || ' ' || trim(naam),woonplaats "
                                   "from tblnaw where adresboek = 1 and"));
    QCOMPARE(f->ListBox1()->item(rowOf(f, 1))->text(), QString("1 Hanneke van der Berg") + FF + "Zwaluwstad");
}

void TestAdresBoek::typingInTheListEditsTheSearch()
{
    open(1);
    m_frame->Search();
    QVERIFY(!m_frame->searchPending());
    QListWidget *list = m_frame->ListBox1();
    list->setFocus();
    QTest::keyClicks(list, "ab");
    QCOMPARE(m_frame->zoek()->text(), QString("AB"));
    QVERIFY(m_frame->searchPending());  // every change restarts the timer
    QTest::keyClick(list, Qt::Key_Backspace);
    QTest::keyClick(list, Qt::Key_1);
    QCOMPARE(m_frame->zoek()->text(), QString("A"));
    m_frame->zoek()->setText("BERG");
    m_sql.clear();
    m_frame->Search();
    QVERIFY(m_sql.first().contains("lower(naam) like '%berg%'"));
    QCOMPARE(list->count(), 1);
    QCOMPARE(field(m_frame, "naam")->text(), QString("Berg"));
    // A typed "%" is a character, not a wildcard.
    m_frame->zoek()->setText("%");
    m_frame->Search();
    QCOMPARE(list->count(), 0);
}

void TestAdresBoek::refusedLockKeepsTheContactReadOnly()
{
    QCOMPARE(lockAsJoost(2), QString("ok"));
    open(1);
    m_frame->Search();
    select(2);
    {
        testsupport::ScriptedDialogs dialogs;
        dialogs.expectBox(BoxType::Information, "Geblokkeerd door andere redacteur, probeer later opnieuw");
        QTest::mouseClick(m_frame->Button3(), Qt::LeftButton);
        QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join('\n')));
    }
    QVERIFY(!m_frame->editing());
    QVERIFY(m_frame->Panel2()->isVisible());
    // Browsing: entering the detail part sends the focus back to the list.
    field(m_frame, "voornaam")->setFocus();
    QVERIFY(m_frame->ListBox1()->hasFocus());
    QCOMPARE(m_joost->reply("unlock naw_2"), QString("ok"));
}

void TestAdresBoek::cancelledEditsReleaseTheLock()
{
    const int books = int(m_db->query("select count(*) from tbladresboek").value(0).value(0).toInt());
    open(1);
    m_frame->Search();
    select(1);
    for (int round = 0; round < 3; ++round) {
        QTest::mouseClick(m_frame->Button3(), Qt::LeftButton);
        QVERIFY(m_frame->editing());
        QVERIFY(m_frame->Panel2()->isHidden());
        QVERIFY(m_frame->Panel1Caption()->isVisible());
        QVERIFY(field(m_frame, "voornaam")->hasFocus());
        QVERIFY(!m_form->kiesbutton()->isEnabled());
        QVERIFY(lockAsJoost(1).startsWith("lockedby marieke"));
        QTest::mouseClick(m_form->Button1(), Qt::LeftButton);  // "&Afbreken"
        QVERIFY(!m_frame->editing());
        QVERIFY(m_form->isVisible());
        QCOMPARE(m_frame->adresboekbox()->count(), books);
    }
    QCOMPARE(lockAsJoost(1), QString("ok"));
    QCOMPARE(m_joost->reply("unlock naw_1"), QString("ok"));
    // Closing the window in the middle of an edit releases the lock too.
    QTest::mouseClick(m_frame->Button3(), Qt::LeftButton);
    QVERIFY(m_frame->editing());
    m_form->close();
    QCOMPARE(m_form->result(), int(ModalResult::Cancel));
    QCOMPARE(lockAsJoost(1), QString("ok"));
    QCOMPARE(m_joost->reply("unlock naw_1"), QString("ok"));
}

void TestAdresBoek::storingAChangedContact()
{
    open(1);
    m_frame->Search();
    select(5);
    QCOMPARE(m_frame->StringGrid1()->item(1, 1)->text(), QString("06-56789012"));
    QTest::mouseClick(m_frame->Button3(), Qt::LeftButton);
    QVERIFY(m_frame->editing());
    field(m_frame, "naam")->setText("Jansen-O'Hara");
    m_frame->StringGrid1()->item(3, 1)->setText(" 0570-1\\2 ");
    m_sql.clear();
    QTest::mouseClick(m_form->Button2(), Qt::LeftButton);
    QVERIFY(!m_frame->editing());
    QVERIFY(m_form->isVisible());
    QCOMPARE(m_sql.value(0),
             "update tblnaw set naam = 'Jansen-O\\'Hara', voornaam = 'Karel', straat = 'Brinkweg 7', postcode = '7421 "
             "DH', woonplaats = 'De Hoek', gebdatum = '19600305', email = 'k.jansen@example.nl', url = '', memo = "
             "'Trainer SV De Hoek, liefst na 18:00 bellen.', tussen = '', telefoon = '0570-701122" +
                 QString(FF) + "06-56789012" + FF + FF + "0570-1\\\\2" + FF + "' where id = 5");
    QCOMPARE(m_sql.value(1), QString("select naam from tblwoonplaats order by naam"));  // browsing again
    QCOMPARE(m_db->query("select naam, telefoon from tblnaw where id = 5").value(0),
             QStringList({"Jansen-O'Hara", "0570-701122" + QString(FF) + "06-56789012" + FF + FF + "0570-1\\2" + FF}));
    QCOMPARE(lockAsJoost(5), QString("ok"));  // released after storing
    QCOMPARE(m_joost->reply("unlock naw_5"), QString("ok"));
    // Browsing, "Sluiten / &Opslaan" closes with 1.
    QTest::mouseClick(m_form->Button2(), Qt::LeftButton);
    QCOMPARE(m_form->result(), int(ModalResult::Ok));
}

void TestAdresBoek::birthDateOfAContactWithoutOne_data()
{
    QTest::addColumn<bool>("setByEditor");
    QTest::newRow("the date left over is not stored") << false;
    QTest::newRow("a date the editor sets is stored") << true;
}

void TestAdresBoek::birthDateOfAContactWithoutOne()
{
    QFETCH(bool, setByEditor);
    open(1);
    m_frame->Search();
    select(3);  // born 27 January 1982
    select(6);  // no birth date: shown as unknown, not as the previous contact's
    QCOMPARE(m_frame->gebdatum()->text(), QString("onbekend"));
    QTest::mouseClick(m_frame->Button3(), Qt::LeftButton);
    if (setByEditor)
        m_frame->gebdatum()->setDate(QDate(1990, 7, 1));
    m_sql.clear();
    QTest::mouseClick(m_form->Button2(), Qt::LeftButton);
    QVERIFY2(m_sql.value(0).contains(setByEditor ? "gebdatum = '19900701'" : "gebdatum = ''"),
             qPrintable(m_sql.value(0)));
    QCOMPARE(m_db->query("select gebdatum from tblnaw where id = 6").value(0).value(0),
             QString(setByEditor ? "19900701" : ""));
    QVERIFY(m_db->exec("update tblnaw set gebdatum = '' where id = 6"));
}

void TestAdresBoek::storingANewContact()
{
    open(1);
    m_frame->Search();
    select(3);  // born 27 January 1982
    QTest::mouseClick(m_frame->Button4(), Qt::LeftButton);
    QVERIFY(m_frame->editing());
    QCOMPARE(m_frame->contact(), -1);
    QVERIFY(field(m_frame, "voornaam")->text().isEmpty());
    QVERIFY(field(m_frame, "naam")->text().isEmpty());
    QVERIFY(m_frame->StringGrid1()->item(1, 1)->text().isEmpty());
    QCOMPARE(m_frame->gebdatum()->text(), QString("onbekend"));  // not the date of the contact shown before
    field(m_frame, "voornaam")->setText("Fenna");
    field(m_frame, "naam")->setText("Bakker");
    field(m_frame, "tussenvoegsel")->setText("van de tijd");  // at most 7 characters
    m_sql.clear();
    QTest::mouseClick(m_form->Button2(), Qt::LeftButton);
    QCOMPARE(m_sql.value(0), "insert into tblnaw (naam,voornaam,straat,postcode,woonplaats,gebdatum,email,url,memo,"
                             "telefoon,adresboek,tussen) values ('Bakker','Fenna','','','','','','','','" +
                                 QString(4, FF) + "',1,'van de ')");
    QCOMPARE(m_db->query("select adresboek, gebdatum from tblnaw where naam = 'Bakker'").value(0),
             QStringList({"1", ""}));
}

void TestAdresBoek::deletingAContact()
{
    QVERIFY(m_db->exec("insert into tblnaw (id, voornaam, naam, adresboek) values (9100, 'Weg', 'Wezen', 1)"));
    open(1);
    QVERIFY(m_frame->Button1()->isVisible());
    m_frame->zoek()->setText("wezen");
    m_frame->Search();
    select(9100);
    m_sql.clear();
    {
        testsupport::ScriptedDialogs dialogs;
        dialogs.expectBox(BoxType::Confirmation, "Entry verwijderen?", ModalResult::Yes);
        QTest::mouseClick(m_frame->Button1(), Qt::LeftButton);
        QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join('\n')));
    }
    QCOMPARE(m_sql.value(0), QString("delete from tblnaw where id = 9100"));
    QVERIFY(m_sql.value(1).startsWith("select id,"));  // searched again
    QCOMPARE(m_frame->ListBox1()->count(), 0);
    QVERIFY(m_db->query("select id from tblnaw where id = 9100").isEmpty());

    // Only administrators see the button.
    core::state().administrator = false;
    open(1);
    QVERIFY(m_frame->Button1()->isHidden());
    core::state().administrator = true;
}

void TestAdresBoek::choosingAContact()
{
    core::TRegistry registry;
    extras::RegisterAddressBookOpener(registry);
    // Opened on contact 7 of the organisation book without naming the book.
    QTimer::singleShot(0, [] {
        auto *form = qobject_cast<TAdresBoekForm *>(QApplication::activeModalWidget());
        QVERIFY(form);
        QVERIFY(form->kiesbutton()->isVisible());
        form->NawFrame1()->Search();
        QCOMPARE(form->NawFrame1()->book(), 2);
        QCOMPARE(form->NawFrame1()->ListBox1()->currentItem()->text().section(' ', 0, 0), QString("7"));
        QTest::mouseClick(form->kiesbutton(), Qt::LeftButton);
    });
    auto choice = registry.open(core::AddressBookRequest{.contactId = 7, .choose = true});
    QVERIFY(choice);
    QCOMPARE(choice->modalResult, int(ModalResult::Yes));
    QCOMPARE(choice->contactId, 7);

    // From the menu: no "&Kiezen"; "&Afbreken" closes with 2.
    QTimer::singleShot(0, [] {
        auto *form = qobject_cast<TAdresBoekForm *>(QApplication::activeModalWidget());
        QVERIFY(form);
        QVERIFY(!form->kiesbutton()->isVisible());
        QTest::mouseClick(form->Button1(), Qt::LeftButton);
    });
    choice = registry.open(core::AddressBookRequest{.bookId = 1});
    QVERIFY(choice);
    QCOMPARE(choice->modalResult, int(ModalResult::Cancel));
}

void TestAdresBoek::screenshot()
{
    open(1);
    m_form->setChoosing(true);
    m_frame->Search();
    select(1);
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    saveScreenshot(m_form.get(), "adresboek.png");
}

QTEST_MAIN(TestAdresBoek)
#include "tst_adresboek.moc"
