// The film times dialog against a fresh copy of the demo newsroom: the
// statements of opening, of adding a cinema and a film, of typing and storing
// show times over a week and of moving between weeks, recorded from the real
// connection; unsaved changes offered before another film or week; a refused
// store that keeps what was typed; closing offers what is unsaved; deleting
// films and cinemas.
//
// The clock stands on Wednesday 12 March 2031, so the current film week is
// Thursday 13 to Wednesday 19 March and the demo's own shows (around the real
// today) never appear in it.

#include "support/WidgetDriving.h"
#include "support/Screenshots.h"
#include "support/ClientSession.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

#include "core/Dates.h"
#include "core/Global.h"
#include "db/Postgres.h"
#include "extras/DagView.h"
#include "extras/FilmLadderDialog.h"
#include "extras/FilmSql.h"
#include "extras/TextWidgets.h"
#include "texts/StyleComboBox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include <memory>

using extras::TDagView;
using extras::TFilmLadderDialog;
using platform::BoxType;
using platform::ModalResult;

using testsupport::entries;

namespace {

const QDate kToday(2031, 3, 12);  // a Wednesday
const QDate kWeek(2031, 3, 13);  // its film week

// The seven day queries of film from start, as the week is built.
QStringList weekQueries(int film, const QDate &start)
{
    QStringList out;
    for (int i = 0; i < 7; ++i)
        out << extras::DayTimesSql(film, start.addDays(i));
    return out;
}

int rowOf(const QListWidget *list, int id)
{
    for (int i = 0; i < list->count(); ++i)
        if (extras::FilmEntryId(list->item(i)->text()) == id)
            return i;
    return -1;
}

// Types keys into field the way an editor does, then Enter.
void typeTime(QLineEdit *field, const QString &keys)
{
    field->setFocus();
    QTest::keyClicks(field, keys);
    QTest::keyClick(field, Qt::Key_Return);
}

QStringList values(const TFilmLadderDialog &d)
{
    QStringList out;
    for (const TDagView *row : d.days())
        out << row->value();
    return out;
}

}  // namespace

class TestFilmTijden : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void openingShowsTheFirstFilmOfTheWeek();
    void typingTimes();
    void aFilmWeek();
    void unsavedChangesOfferedBeforeAnotherFilm();
    void refusedStoreKeepsWhatWasTyped();
    void closingOffersWhatWasTyped_data();
    void closingOffersWhatWasTyped();
    void closingKeepsARefusedStore();
    void searchIsAPrefixInLowerCase();
    void deletingFilmsAndCinemas();
    void screenshot();

private:
    QList<QStringList> shows(int film);

    std::unique_ptr<testsupport::TestDatabase> m_db;
    std::unique_ptr<db::TPostgres> m_pg;
    std::unique_ptr<TFilmLadderDialog> m_dialog;
    std::unique_ptr<testsupport::ScriptedDialogs> m_dialogs;
    QStringList m_sql;
};

void TestFilmTijden::initTestCase()
{
    QUILLON_REQUIRE_PG(15);
    m_db = std::make_unique<testsupport::TestDatabase>(15, QStringLiteral("quillon_demo"));
    QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
    QString error;
    m_pg = testsupport::OpenClientSession(*m_db, &m_sql, &error);
    QVERIFY2(m_pg, qPrintable(error));
    core::state().post = m_pg.get();
    core::setClock([] { return QDateTime(kToday, QTime(10, 0)); });
    extras::setTextWidgets({[](QWidget *parent) {
                                auto *box = new texts::TStyleComboBox(parent);
                                box->setOwnerDrawn(true);
                                return box;
                            },
                            {}});
}

void TestFilmTijden::cleanupTestCase()
{
    core::state().post = nullptr;
    core::setClock({});
}

void TestFilmTijden::init()
{
    m_dialogs = std::make_unique<testsupport::ScriptedDialogs>();
    m_dialog = std::make_unique<TFilmLadderDialog>();
    m_dialog->setSearchDelay(3600 * 1000);
    m_dialog->show();
    m_dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
    m_sql.clear();
    m_dialog->Prepare();
}

void TestFilmTijden::cleanup()
{
    m_dialog.reset();
    QVERIFY2(m_dialogs->problems().isEmpty(), qPrintable(m_dialogs->problems().join("\n")));
    m_dialogs.reset();
}

// The shows of film in 2031 (the demo's own lie around the real today).
QList<QStringList> TestFilmTijden::shows(int film)
{
    return m_db->query(QStringLiteral("select datum,tijd from tblfilmtijden where filmid = %1"
                                      " and datum like '2031%' order by datum,tijd")
                           .arg(film));
}

void TestFilmTijden::openingShowsTheFirstFilmOfTheWeek()
{
    QCOMPARE(m_sql, QStringList({extras::FilmListSql(""), extras::CinemaListSql(), extras::ShowFilmSql(1)}) +
                        weekQueries(1, kWeek));
    QCOMPARE(entries(m_dialog->films()).first(), QString("1 De zomer van toen, Filmhuis De Lantaarn"));
    QCOMPARE(m_dialog->films()->currentRow(), 0);
    QCOMPARE(m_dialog->film(), 1);
    QCOMPARE(m_dialog->titel()->text(), QString("De zomer van toen"));
    QCOMPARE(extras::FilmEntryId(m_dialog->bios()->currentText()), 1);
    QCOMPARE(m_dialog->Panel7()->text(), QString("Filmtijden voor De zomer van toen"));
    QCOMPARE(m_dialog->Label3()->text(), QString("De week van do 13 mrt 2031"));
    QVERIFY(!m_dialog->Button2()->isEnabled());
    QVERIFY(!m_dialog->opslaan()->isEnabled());
    QCOMPARE(m_dialog->days().size(), 7);
    QCOMPARE(m_dialog->days().first()->label()->text(), QString("donderdag 13 mrt 2031"));
    QCOMPARE(m_dialog->days().last()->label()->text(), QString("woensdag 19 mrt 2031"));
    QCOMPARE(values(*m_dialog), QStringList(7, QString()));
}

// Digits only, ":" after the hour, Enter pads and moves on to a blank field;
// Backspace deletes and never brings the ":" back.
void TestFilmTijden::typingTimes()
{
    TDagView *day = m_dialog->days().at(0);
    QLineEdit *first = day->fields().at(0);
    first->setFocus();
    QTest::keyClicks(first, "2a0:1");
    QCOMPARE(first->text(), QString("20:1"));
    QTest::keyClick(first, Qt::Key_Backspace);
    QTest::keyClick(first, Qt::Key_Backspace);
    QCOMPARE(first->text(), QString("20"));
    QTest::keyClick(first, Qt::Key_Backspace);
    QCOMPARE(first->text(), QString("2"));
    QTest::keyClicks(first, "1");
    QTest::keyClick(first, Qt::Key_Return);
    QCOMPARE(first->text(), QString("21:00"));
    QCOMPARE(day->fields().size(), 2);
    QVERIFY(day->fields().at(1)->hasFocus());
    typeTime(day->fields().at(1), "9");
    QCOMPARE(day->value(), QString("21:00,90:00"));
    QVERIFY(m_dialog->opslaan()->isEnabled());

    // Enter in the blank field goes on to the next day.
    QVERIFY(day->fields().at(2)->hasFocus());
    QTest::keyClick(day->fields().at(2), Qt::Key_Return);
    QVERIFY(m_dialog->days().at(1)->fields().at(0)->hasFocus());
    QCOMPARE(day->fields().size(), 3);

    // Setting a value gives one field per time and one empty field.
    day->setValue("13:30,15:45");
    QCOMPARE(day->fields().size(), 3);
    QCOMPARE(day->fields().at(2)->text(), QString());
}

// Adding a cinema and a film in it, typing shows into the week, storing,
// moving a week on and back with unsaved changes, and emptying a day.
void TestFilmTijden::aFilmWeek()
{
    m_sql.clear();
    m_dialogs->expectInput("Naam van de bioscoop", "Ciné 't Hof");
    m_dialog->Toevoegen1Click();
    QCOMPARE(m_dialogs->lastInputCaption(), QString("Bioscoop toevoegen"));
    QCOMPARE(m_dialogs->lastInputMaxLength(), 42);
    QCOMPARE(m_sql, QStringList({"insert into tblbioscoop (naam) values ('Ciné \\'t Hof')", extras::CinemaListSql()}));
    const int cinema = m_db->query("select id from tblbioscoop where naam = 'Ciné ''t Hof'").value(0).value(0).toInt();
    QVERIFY(cinema > 0);
    m_dialog->bios()->setCurrentIndex(m_dialog->bios()->findText(QString::number(cinema) + " Ciné 't Hof"));
    QVERIFY(m_dialog->bios()->currentIndex() >= 0);

    m_sql.clear();
    m_dialogs->expectInput("Naam van de film", "Tom & Jerry's");
    m_dialog->Button5Click();
    QCOMPARE(m_dialogs->lastInputCaption(), QString("Film toevoegen"));
    const int film = m_db->query("select id from tblfilm where naam = 'Tom & Jerry''s'").value(0).value(0).toInt();
    QVERIFY(film > 0);
    QCOMPARE(m_sql,
             QStringList({QString("insert into tblfilm (naam,bioscoop) values ('Tom & Jerry\\'s',%1)").arg(cinema),
                          extras::FilmListSql(""), extras::CinemaListSql(), extras::ShowFilmSql(1)}) +
                 weekQueries(1, kWeek));
    // Listed under the cinema chosen in the cinema field.
    QVERIFY(entries(m_dialog->films()).contains(QString("%1 Tom & Jerry's, Ciné 't Hof").arg(film)));

    m_sql.clear();
    m_dialog->films()->setCurrentRow(rowOf(m_dialog->films(), film));
    QCOMPARE(m_sql, QStringList({extras::ShowFilmSql(film)}) + weekQueries(film, kWeek));
    QCOMPARE(m_dialog->Panel7()->text(), QString("Filmtijden voor Tom & Jerry's"));
    QCOMPARE(extras::FilmEntryId(m_dialog->bios()->currentText()), cinema);

    typeTime(m_dialog->days().at(0)->fields().at(0), "1430");
    typeTime(m_dialog->days().at(0)->fields().at(1), "2015");
    typeTime(m_dialog->days().at(2)->fields().at(0), "9");
    typeTime(m_dialog->days().at(6)->fields().at(0), "21");
    QCOMPARE(values(*m_dialog), QStringList({"14:30,20:15", "", "90:00", "", "", "", "21:00"}));
    QVERIFY(m_dialog->opslaan()->isEnabled());

    m_sql.clear();
    QTest::mouseClick(m_dialog->opslaan(), Qt::LeftButton);
    QStringList store{
        "begin",
        QString("update tblfilm set naam = 'Tom & Jerry\\'s', bioscoop = %1 where id = %2").arg(cinema).arg(film)};
    const QMap<int, QStringList> typed{{0, {"14:30", "20:15"}}, {2, {"90:00"}}, {6, {"21:00"}}};
    for (int i = 0; i < 7; ++i) {
        store << extras::DeleteDayTimesSql(film, kWeek.addDays(i));
        for (const QString &t : typed.value(i))
            store << extras::InsertTimeSql(film, kWeek.addDays(i), t);
    }
    store << "end";
    QCOMPARE(m_sql, store);
    QVERIFY(!m_dialog->opslaan()->isEnabled());
    QCOMPARE(shows(film),
             QList<QStringList>(
                 {{"20310313", "14:30"}, {"20310313", "20:15"}, {"20310315", "90:00"}, {"20310319", "21:00"}}));

    // The next week: nothing to offer, its seven days read.
    m_sql.clear();
    QTest::mouseClick(m_dialog->findChild<QPushButton *>("Button3"), Qt::LeftButton);
    QCOMPARE(m_sql, weekQueries(film, kWeek.addDays(7)));
    QCOMPARE(m_dialog->Label3()->text(), QString("De week van do 20 mrt 2031"));
    QVERIFY(m_dialog->Button2()->isEnabled());
    QCOMPARE(values(*m_dialog), QStringList(7, QString()));

    // A show typed there is offered for storing on the way back.
    typeTime(m_dialog->days().at(1)->fields().at(0), "1900");
    m_sql.clear();
    m_dialogs->expectBox(BoxType::Confirmation, "Wijzigingen opslaan?", ModalResult::Yes);
    QTest::mouseClick(m_dialog->Button2(), Qt::LeftButton);
    QCOMPARE(m_sql.first(), QString("begin"));
    QVERIFY(m_sql.contains(extras::InsertTimeSql(film, QDate(2031, 3, 21), "19:00")));
    QCOMPARE(m_sql.mid(m_sql.indexOf("end") + 1), weekQueries(film, kWeek));
    QVERIFY(!m_dialog->Button2()->isEnabled());
    QCOMPARE(values(*m_dialog), QStringList({"14:30,20:15", "", "90:00", "", "", "", "21:00"}));

    // A day whose fields are all emptied loses its shows.
    for (QLineEdit *f : m_dialog->days().at(0)->fields()) {
        f->setFocus();
        QTest::keyClick(f, Qt::Key_End);
        while (!f->text().isEmpty())
            QTest::keyClick(f, Qt::Key_Backspace);
    }
    QVERIFY(m_dialog->opslaan()->isEnabled());
    QVERIFY(m_dialog->Store());
    QCOMPARE(shows(film), QList<QStringList>({{"20310315", "90:00"}, {"20310319", "21:00"}, {"20310321", "19:00"}}));
}

// A time typed and confirmed with Enter, as the help text says, is offered
// for storing however the dialog is closed; "Nee" closes without it.
void TestFilmTijden::closingOffersWhatWasTyped_data()
{
    QTest::addColumn<bool>("window");  // the window's close button instead of "Sluiten"
    QTest::addColumn<bool>("store");  // the answer to "Wijzigingen opslaan?"
    QTest::addColumn<int>("result");
    QTest::newRow("Sluiten, stored") << false << true << 1;
    QTest::newRow("Sluiten, not stored") << false << false << 1;
    QTest::newRow("window closed, stored") << true << true << 0;
    QTest::newRow("window closed, not stored") << true << false << 0;
}

void TestFilmTijden::closingOffersWhatWasTyped()
{
    QFETCH(bool, window);
    QFETCH(bool, store);
    QFETCH(int, result);
    typeTime(m_dialog->days().at(2)->fields().at(0), "2230");
    QVERIFY(m_dialog->isVisible());
    m_dialogs->expectBox(BoxType::Confirmation, "Wijzigingen opslaan?", store ? ModalResult::Yes : ModalResult::No);
    if (window)
        m_dialog->close();  // what the window manager does for its close button
    else
        QTest::mouseClick(m_dialog->findChild<QPushButton *>("Button1"), Qt::LeftButton);
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_dialog->result(), result);
    QCOMPARE(shows(1), store ? QList<QStringList>({{"20310315", "22:30"}}) : QList<QStringList>());
    QVERIFY(m_db->exec("delete from tblfilmtijden where datum like '2031%'"));
}

// A refused store on the way out keeps the dialog open with what was typed.
void TestFilmTijden::closingKeepsARefusedStore()
{
    QVERIFY(m_db->exec("create function weiger() returns trigger language plpgsql as"
                       " $$ begin raise exception 'geweigerd'; end $$;"
                       "create trigger weiger_tijd before insert on tblfilmtijden for each row"
                       " execute function weiger()"));
    typeTime(m_dialog->days().at(0)->fields().at(0), "2230");
    m_dialogs->expectBox(BoxType::Confirmation, "Wijzigingen opslaan?", ModalResult::Yes);
    m_dialogs->expectBox(BoxType::Error, "ERROR:  geweigerd");
    QTest::mouseClick(m_dialog->findChild<QPushButton *>("Button1"), Qt::LeftButton);
    QVERIFY(m_dialog->isVisible());
    QVERIFY(m_dialog->opslaan()->isEnabled());
    QCOMPARE(values(*m_dialog).at(0), QString("22:30"));
    QVERIFY(m_db->exec("drop trigger weiger_tijd on tblfilmtijden; drop function weiger()"));
}

void TestFilmTijden::unsavedChangesOfferedBeforeAnotherFilm()
{
    const int storm = 2;
    QLineEdit *title = m_dialog->titel();
    title->setFocus();
    QTest::keyClicks(title, " II");
    QVERIFY(m_dialog->opslaan()->isEnabled());
    m_sql.clear();
    m_dialogs->expectBox(BoxType::Confirmation, "Wijzigingen opslaan?", ModalResult::No);
    m_dialog->films()->setCurrentRow(rowOf(m_dialog->films(), storm));
    QCOMPARE(m_sql, QStringList({extras::ShowFilmSql(storm)}) + weekQueries(storm, kWeek));
    QCOMPARE(m_db->query("select naam from tblfilm where id = 1"), QList<QStringList>({{"De zomer van toen"}}));

    // Yes stores the title before the other film is shown; its list line follows.
    m_dialog->titel()->setText("Storm over de polder");
    QTest::keyClicks(m_dialog->titel(), " (herzien)");
    m_dialogs->expectBox(BoxType::Confirmation, "Wijzigingen opslaan?", ModalResult::Yes);
    m_dialog->films()->setCurrentRow(0);
    QCOMPARE(m_db->query("select naam from tblfilm where id = 2"),
             QList<QStringList>({{"Storm over de polder (herzien)"}}));
    QCOMPARE(m_dialog->films()->item(rowOf(m_dialog->films(), storm))->text(),
             QString("2 Storm over de polder (herzien), Cinema Marktplein"));
    QVERIFY(m_db->exec("update tblfilm set naam = 'Storm over de polder' where id = 2"));
}

// The database refuses a show: nothing of the store is kept, the fields and
// "Opslaan" stay, and the film stays on screen when the editor moves on.
void TestFilmTijden::refusedStoreKeepsWhatWasTyped()
{
    QVERIFY(m_db->exec("insert into tblfilmtijden values (1, '20310314', '18:00');"
                       "create function weiger() returns trigger language plpgsql as"
                       " $$ begin raise exception 'geweigerd'; end $$;"
                       "create trigger weiger_tijd before insert on tblfilmtijden for each row"
                       " when (new.tijd = '66:66') execute function weiger()"));
    m_dialog->Prepare();
    QCOMPARE(values(*m_dialog).at(1), QString("18:00"));
    typeTime(m_dialog->days().at(1)->fields().at(1), "6666");
    m_dialogs->expectBox(BoxType::Confirmation, "Wijzigingen opslaan?", ModalResult::Yes);
    m_dialogs->expectBox(BoxType::Error, "ERROR:  geweigerd");
    m_sql.clear();
    m_dialog->films()->setCurrentRow(1);
    QCOMPARE(m_sql.last(), QString("rollback"));
    QCOMPARE(m_dialog->film(), 1);
    QCOMPARE(m_dialog->films()->currentRow(), 0);
    QVERIFY(m_dialog->opslaan()->isEnabled());
    QCOMPARE(values(*m_dialog).at(1), QString("18:00,66:66"));
    QCOMPARE(shows(1), QList<QStringList>({{"20310314", "18:00"}}));
    QVERIFY(m_db->exec("drop trigger weiger_tijd on tblfilmtijden; drop function weiger();"
                       "delete from tblfilmtijden where datum like '2031%'"));
}

void TestFilmTijden::searchIsAPrefixInLowerCase()
{
    QLineEdit *search = m_dialog->Edit1();
    search->setFocus();
    QTest::keyClicks(search, "STorm");
    QCOMPARE(search->text(), QString("storm"));
    QVERIFY(m_dialog->searchPending());
    m_sql.clear();
    m_dialog->LoadFilms();
    QCOMPARE(m_sql.first(), extras::FilmListSql("storm"));
    QCOMPARE(entries(m_dialog->films()), QStringList({"2 Storm over de polder, Cinema Marktplein"}));
    QCOMPARE(m_dialog->film(), 2);

    for (const char *text : {"%", "_torm", "polder"}) {
        search->setText(text);
        m_dialog->LoadFilms();
        QVERIFY2(entries(m_dialog->films()).isEmpty(), text);
        QCOMPARE(m_dialog->film(), -1);
        QCOMPARE(m_dialog->Panel7()->text(), QString());
    }
}

void TestFilmTijden::deletingFilmsAndCinemas()
{
    QVERIFY(m_db->exec("insert into tblbioscoop (id, naam) values (50, 'Aaa Zaal'), (51, 'Aab Leeg');"
                       "insert into tblfilm (id, naam, bioscoop) values (50, 'Aaa film', 50);"
                       "insert into tblfilmtijden values (50, '20310313', '20:00')"));
    m_dialog->Prepare();
    QCOMPARE(m_dialog->film(), 50);

    // A cinema with films stays.
    m_dialogs->expectBox(BoxType::Confirmation, "Bioscoop verwijderen?", ModalResult::Yes);
    m_dialogs->expectBox(BoxType::Warning, "Er draaien nog films in deze bioscoop; verwijder die eerst of kies er "
                                           "een andere bioscoop voor.");
    m_sql.clear();
    m_dialog->Verwijderen1Click();
    QCOMPARE(m_sql, QStringList({extras::CinemaFilmCountSql(50)}));

    // The film and its shows together.
    m_dialogs->expectBox(BoxType::Confirmation, "Film en filmtijden verwijderen?", ModalResult::Yes);
    m_sql.clear();
    m_dialog->Button6Click();
    QCOMPARE(m_sql.mid(0, 4), QStringList({"begin", "delete from tblfilmtijden where filmid = 50",
                                           "delete from tblfilm where id = 50", "end"}));
    QCOMPARE(m_db->query("select count(*) from tblfilmtijden where filmid = 50"), QList<QStringList>({{"0"}}));
    QCOMPARE(m_dialog->film(), 1);

    // Renaming a cinema: preset with its name; an empty cinema is deleted.
    QVERIFY(m_dialog->bios()->findText("51 Aab Leeg") >= 0);
    m_dialog->bios()->setCurrentIndex(m_dialog->bios()->findText("51 Aab Leeg"));
    m_dialogs->expectInput("Naam van de bioscoop", "Aab Nieuw");
    m_sql.clear();
    m_dialog->Wijzigen1Click();
    QCOMPARE(m_dialogs->lastInputCaption(), QString("Bioscoop wijzigen"));
    QCOMPARE(m_sql.first(), QString("update tblbioscoop set naam = 'Aab Nieuw' where id = 51"));
    QVERIFY(m_dialog->opslaan()->isEnabled());
    m_dialog->bios()->setCurrentIndex(m_dialog->bios()->findText("51 Aab Nieuw"));
    m_dialogs->expectBox(BoxType::Confirmation, "Bioscoop verwijderen?", ModalResult::Yes);
    m_sql.clear();
    m_dialog->Verwijderen1Click();
    QCOMPARE(m_sql,
             QStringList({extras::CinemaFilmCountSql(51), extras::DeleteCinemaSql(51), extras::CinemaListSql()}));
    QCOMPARE(m_dialog->bios()->findText("51 Aab Nieuw"), -1);
    QVERIFY(m_db->exec("delete from tblbioscoop where id = 50"));
}

void TestFilmTijden::screenshot()
{
    QVERIFY(m_db->exec("insert into tblfilmtijden values (1, '20310313', '20:15'), (1, '20310313', '22:30'),"
                       " (1, '20310314', '20:15'), (1, '20310316', '14:00'), (1, '20310316', '16:30'),"
                       " (1, '20310316', '20:15'), (1, '20310316', '22:30'), (1, '20310318', '19:45')"));
    m_dialog->Prepare();
    QVERIFY(testsupport::saveScreenshot(m_dialog.get(), "filmtijden.png"));
    m_dialog->resize(m_dialog->minimumSizeHint());
    QVERIFY(testsupport::saveScreenshot(m_dialog.get(), "filmtijden-small.png"));
    QVERIFY(m_db->exec("delete from tblfilmtijden where datum like '2031%'"));
}

QTEST_MAIN(TestFilmTijden)
#include "tst_filmtijden.moc"
