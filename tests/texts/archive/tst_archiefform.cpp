// The archive window against a fresh copy of the demo newsroom: the search
// with its word and date rules, the per-year tables, highlighting, printing
// to the PDF file, copying, and choosing texts with "&Kiezen". Statements are
// recorded from the real connection.

#include "core/Dates.h"
#include "core/Frame.h"
#include "core/Global.h"
#include "core/Registry.h"
#include "db/Postgres.h"
#include "platform/Clipboard.h"
#include "support/Screenshots.h"
#include "support/ClientSession.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"
#include "texts/ArchiefForm.h"
#include "texts/ArchiefFrame.h"
#include "views/HighlightView.h"

#include <QApplication>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

using platform::BoxType;
using platform::ModalResult;
using texts::TArchiefForm;
using texts::TArchiefFrame;

namespace {

QString ymd(int daysAgo)
{
    return core::DateToYmd(core::Today().addDays(-daysAgo));
}

QList<int> listedIds(TArchiefFrame *f)
{
    QList<int> ids;
    for (int i = 0; i < f->resultaat()->count(); ++i)
        ids << f->resultaat()->item(i)->text().section(' ', 0, 0).toInt();
    return ids;
}

int rowOf(TArchiefFrame *f, int id)
{
    return int(listedIds(f).indexOf(id));
}

// Types each character as a key press that carries it as text, the way a
// keyboard layout delivers letters that have no key code of their own.
void typeLetters(QWidget *w, const QString &letters)
{
    for (QChar c : letters) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

void clickRow(TArchiefFrame *f, int row, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QListWidget *list = f->resultaat();
    const QRect r = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, mods, r.center());
}

void saveScreenshot(QWidget *w, const QString &name)
{
    QVERIFY(testsupport::saveScreenshot(w, name));
}

}  // namespace

class TestArchiefForm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void tooShortWarnsAndRunsNothing();
    void typedTextIsFiltered();
    void everyWordWithinTheRange();
    void todaysTextWithTheDefaultRange();
    void findsDutchWords_data();
    void findsDutchWords();
    void nothingFound();
    void readsFromTheYearTable_data();
    void readsFromTheYearTable();
    void printsToThePdfFile_data();
    void printsToThePdfFile();
    void copiesThePlainText();
    void kiezenHandsOutTheSelection();
    void openerRepliesWithTheChoice();
    void screenshot();

private:
    // Types text into Edit1 and presses "&Zoeken".
    void search(const QString &text, const QDate &from = {});

    std::unique_ptr<testsupport::TestDatabase> m_db;
    std::unique_ptr<db::TPostgres> m_pg;
    std::unique_ptr<TArchiefForm> m_form;
    TArchiefFrame *m_frame = nullptr;
    QStringList m_sql;
    QTemporaryDir m_dir;
};

void TestArchiefForm::initTestCase()
{
    QUILLON_REQUIRE_PG(15);
    m_db = std::make_unique<testsupport::TestDatabase>(15, QStringLiteral("quillon_demo"));
    QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
    // Both words in 9001 and 9004 (on the first day of the range); 9002 has
    // one; 9003 is dated on the end date (tomorrow, which the range leaves
    // out) and 9005 the day before the range; 9007 was written today.
    const QString insert = "insert into tblteksten (id, kop, body, datum, tijd) values "
                           "(9001, 'Beide woorden', 'Quokka<br>en zebravink<hrt>', '%1', '10:00'),"
                           "(9002, 'Een woord', 'alleen quokka<hrt>', '%2', '10:00'),"
                           "(9003, 'Op de einddatum', 'ZEBRAVINK QUOKKA', '%3', '10:00'),"
                           "(9004, 'Op de begindatum', 'quokka, zebravink', '%4', '10:00'),"
                           "(9005, 'Te oud', 'quokka zebravink', '%5', '10:00'),"
                           "(9006, 'Windmolen in 2002', 'jaartabelproef tblteksten', '20020315', '09:00'),"
                           "(9007, 'Van vandaag', 'vers nieuws over de dagkoerier', '%6', '08:00'),"
                           "(9008, 'Uit 1997', 'jaartabelproef van voor de jaartabellen', '19970612', '09:30'),"
                           "(9009, 'Belgische kust', 'Één dag aan zee in België.<hrt>Maës won.', '%7', '11:00'),"
                           "(9010, 'Noordzee', 'Over de zeeën en de Belgen', '%7', '12:00')";
    QVERIFY2(m_db->exec(insert.arg(ymd(10), ymd(5), ymd(-1), ymd(365), ymd(366), ymd(0), ymd(3))),
             qPrintable(m_db->lastError()));
    // The year table's copy of 204 differs, so the view shows where it came from.
    QVERIFY(m_db->exec("update tblteksten set body = body || ' jaartabelproef' where id = 204"));
    QVERIFY(m_db->exec("update tblteksten_2001 set body = 'jaartabelproef uit tblteksten_2001' where id = 204"));

    QString error;
    m_pg = testsupport::OpenClientSession(*m_db, &m_sql, &error);
    QVERIFY2(m_pg, qPrintable(error));
    core::state().post = m_pg.get();
    qputenv("QUILLON_PRINT_PDF", m_dir.filePath("archief.pdf").toUtf8());
}

void TestArchiefForm::cleanupTestCase()
{
    core::state().post = nullptr;
}

void TestArchiefForm::init()
{
    m_form = std::make_unique<TArchiefForm>();
    m_frame = m_form->ArchiefFrame1();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    m_sql.clear();
}

void TestArchiefForm::cleanup()
{
    m_form.reset();
}

void TestArchiefForm::search(const QString &text, const QDate &from)
{
    if (from.isValid())
        m_frame->vanaf()->setDate(from);
    m_frame->Edit1()->setText(text);
    QTest::mouseClick(m_frame->Button1(), Qt::LeftButton);
}

void TestArchiefForm::tooShortWarnsAndRunsNothing()
{
    testsupport::ScriptedDialogs dialogs;
    dialogs.expectBox(BoxType::Warning, "Minimaal 3 karakters voor zoeken!");
    search("ab");
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join('\n')));
    QVERIFY(m_sql.isEmpty());
}

void TestArchiefForm::typedTextIsFiltered()
{
    QCOMPARE(m_frame->vanaf()->date(), core::Today().addDays(-365));
    QCOMPARE(m_frame->tot()->date(), core::Today().addDays(1));  // the end is left out: today is in
    QLineEdit *edit = m_frame->Edit1();
    edit->setFocus();
    QTest::keyClicks(edit, "QuO-");
    typeLetters(edit, "ÉË");  // letters beyond ASCII, lowered as Unicode says
    QTest::keyClicks(edit, " kA1!");
    typeLetters(edit, "Жß\u2013");  // a dash is no letter
    QCOMPARE(edit->text(), QString("quoéë ka1жß"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Return);  // Enter searches
    QCOMPARE(m_frame->searchWords(), QStringList({"quoéë", "ka1ж"}));
    QVERIFY(!m_sql.isEmpty());
    QVERIFY2(m_sql.first().startsWith("select id,kop,datum from tblteksten where lower(body) ~ 'quo[éÉ][ëË]' and "
                                      "lower(body) ~ 'ka1[жЖ]' and datum >= "),
             qPrintable(m_sql.first()));
}

// A text written today is found with the dates the window starts with.
void TestArchiefForm::todaysTextWithTheDefaultRange()
{
    search("dagkoerier");
    QCOMPARE(listedIds(m_frame), QList<int>({9007}));
    QCOMPARE(m_frame->totals()->text(), QString("1 item gevonden"));
}

// Dutch words as typed, found in the texts that hold them, in any case, and
// shown with their paragraphs apart.
void TestArchiefForm::findsDutchWords_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("ids");
    QTest::newRow("één, typed with a capital") << "Één" << QList<int>{9009};
    QTest::newRow("België") << "België" << QList<int>{9009};
    QTest::newRow("Maës") << "Maës" << QList<int>{9009};
    QTest::newRow("Zeeën") << "Zeeën" << QList<int>{9010};
    QTest::newRow("an accented and a plain word") << "belgië zee" << QList<int>{9009};
}

void TestArchiefForm::findsDutchWords()
{
    QFETCH(QString, typed);
    QFETCH(QList<int>, ids);
    testsupport::ScriptedDialogs dialogs;  // no box expected
    QLineEdit *edit = m_frame->Edit1();
    edit->setFocus();
    typeLetters(edit, typed);
    QCOMPARE(edit->text(), typed.toLower());
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(listedIds(m_frame), ids);
    QCOMPARE(m_frame->totals()->text(), QString("1 item gevonden"));
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join('\n')));
    if (ids.first() == 9009) {
        const QString shown = m_frame->view()->text();
        QVERIFY2(shown.contains(".\r\n") && !shown.contains("<hrt>"), qPrintable(shown));
        QVERIFY2(shown.contains("<bold><red>" + typed.section(' ', 0, 0).toUpper() + "<black><normal>"),
                 qPrintable(shown));
        saveScreenshot(m_form.get(), "archief_belgie.png");
    }
}

void TestArchiefForm::everyWordWithinTheRange()
{
    search("Quokka zebravink");
    QCOMPARE(m_sql.first(), QString("select id,kop,datum from tblteksten where lower(body) like '%quokka%' and "
                                    "lower(body) like '%zebravink%' and datum >= '%1' and datum < '%2'  order by datum "
                                    "desc")
                                .arg(ymd(365), ymd(-1)));
    QCOMPARE(listedIds(m_frame), QList<int>({9001, 9004}));
    QCOMPARE(m_frame->totals()->text(), QString("2 items gevonden"));
    // The first line is shown, both words highlighted, the body as stored.
    QCOMPARE(m_frame->resultaat()->currentRow(), 0);
    QCOMPARE(m_frame->selectedTextId(), 9001);
    QCOMPARE(m_sql.at(1), QString("select body,kop,datum,tijd from tblteksten where id = 9001"));
    QCOMPARE(m_frame->view()->text(), "Beide woorden\r\n<green>Van: <bold>" +
                                          core::FormatDateTime("ddd dd mmm yyyy", core::Today().addDays(-10)) +
                                          "\r\n\r\n<black><normal><bold><red>QUOKKA<black><normal><br>en "
                                          "<bold><red>ZEBRAVINK<black><normal>");
    QCOMPARE(m_frame->plainText(), QString("Beide woorden\r\n\r\nQuokkaen zebravink\r\n"));
    QVERIFY(m_frame->resultaat()->hasFocus());
}

void TestArchiefForm::nothingFound()
{
    search("xyzzyquux");
    QCOMPARE(m_frame->resultaat()->count(), 0);
    QCOMPARE(m_frame->totals()->text(), QString("0 items gevonden"));
    QCOMPARE(m_frame->view()->text(), QString("<normal><black>Geen zoekresultaten"));
    QCOMPARE(m_frame->selectedTextId(), -1);
}

void TestArchiefForm::readsFromTheYearTable_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("shownBody");
    QTest::newRow("2001: its year's table") << 204 << "tblteksten_2001"
                                            << "jaartabelproef uit tblteksten_2001";
    QTest::newRow("2002: tblteksten") << 9006 << "tblteksten"
                                      << "jaartabelproef tblteksten";
    // No table of its own: read where the search found it, without an error box.
    QTest::newRow("1997: tblteksten") << 9008 << "tblteksten"
                                      << "jaartabelproef van voor de jaartabellen";
}

void TestArchiefForm::readsFromTheYearTable()
{
    QFETCH(int, id);
    QFETCH(QString, table);
    QFETCH(QString, shownBody);
    testsupport::ScriptedDialogs dialogs;  // no box expected
    search("jaartabelproef", QDate(1997, 1, 1));
    QCOMPARE(listedIds(m_frame), QList<int>({9006, 204, 9008}));
    clickRow(m_frame, rowOf(m_frame, id));
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join('\n')));
    QCOMPARE(m_frame->selectedTextId(), id);
    const QStringList reads = m_sql.filter(" where id = " + QString::number(id));
    QCOMPARE(reads, QStringList({"select body,kop,datum,tijd from " + table + " where id = " + QString::number(id)}));
    QVERIFY2(m_frame->view()->text().endsWith(
                 QString(shownBody).replace("jaartabelproef", "<bold><red>JAARTABELPROEF<black><normal>")),
             qPrintable(m_frame->view()->text()));
}

void TestArchiefForm::printsToThePdfFile_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("confirmed: printed") << true;
    QTest::newRow("refused: nothing printed") << false;
}

void TestArchiefForm::printsToThePdfFile()
{
    QFETCH(bool, yes);
    const QString pdf = m_dir.filePath("archief.pdf");
    QFile::remove(pdf);
    search("quokka");
    testsupport::ScriptedDialogs dialogs;
    dialogs.expectBox(BoxType::Confirmation, "Archieftekst afdrukken?", yes ? ModalResult::Yes : ModalResult::No);
    QTest::mouseClick(m_frame->ToolButton1(), Qt::LeftButton);
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join('\n')));
    QCOMPARE(QFile::exists(pdf), yes);
    if (yes) {
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(5) == "%PDF-");
    }
}

void TestArchiefForm::copiesThePlainText()
{
    platform::MemoryClipboard clipboard;
    platform::Clipboard *previous = platform::setClipboard(&clipboard);
    search("jaartabelproef", QDate(1999, 1, 1));
    clickRow(m_frame, rowOf(m_frame, 204));
    QTest::mouseClick(m_frame->ToolButton2(), Qt::LeftButton);
    platform::setClipboard(previous);
    QVERIFY2(clipboard.text().startsWith("Eerste windmolen bij De Hoek\r\n\r\njaartabelproef uit tblteksten_2001"),
             qPrintable(clipboard.text()));
}

void TestArchiefForm::kiezenHandsOutTheSelection()
{
    QVERIFY(!m_form->kies()->isVisible());
    m_form->setChoosing(true);
    QVERIFY(m_form->kies()->isVisible());
    search("quokka");
    QCOMPARE(listedIds(m_frame), QList<int>({9002, 9001, 9004}));
    clickRow(m_frame, 2);
    clickRow(m_frame, 0, Qt::ControlModifier);
    clickRow(m_frame, 1, Qt::ControlModifier);  // shown last
    QCOMPARE(m_frame->selectedTextId(), 9001);
    QTest::mouseClick(m_form->kies(), Qt::LeftButton);
    QCOMPARE(m_form->result(), int(ModalResult::Yes));
    QCOMPARE(m_form->chosenIds(), QList<int>({9002, 9001, 9004}));
    QCOMPARE(m_form->plainText(), QString("Beide woorden\r\n\r\nQuokkaen zebravink\r\n"));
    // Deselecting the line shown: no text selected any more.
    m_form->show();
    clickRow(m_frame, 1, Qt::ControlModifier);
    QCOMPARE(m_frame->selectedTextId(), -1);
}

void TestArchiefForm::openerRepliesWithTheChoice()
{
    core::TRegistry registry;
    texts::RegisterArchiveOpener(registry);
    QTimer::singleShot(0, [] {
        auto *form = qobject_cast<TArchiefForm *>(QApplication::activeModalWidget());
        QVERIFY(form);
        QVERIFY(form->kies()->isVisible());
        form->ArchiefFrame1()->Edit1()->setText("zebravink");
        QTest::mouseClick(form->ArchiefFrame1()->Button1(), Qt::LeftButton);
        QTest::mouseClick(form->kies(), Qt::LeftButton);
    });
    const auto choice = registry.open(core::ArchiveRequest{.choose = true});
    QVERIFY(choice);
    QCOMPARE(choice->modalResult, int(ModalResult::Yes));
    QCOMPARE(choice->textIds, QList<int>({9001}));
    QVERIFY(choice->plainText.startsWith("Beide woorden"));
}

void TestArchiefForm::screenshot()
{
    m_form->setChoosing(true);
    search("brug", QDate(1999, 1, 1));
    QVERIFY(m_frame->resultaat()->count() > 0);
    saveScreenshot(m_form.get(), "archief.png");
}

QTEST_MAIN(TestArchiefForm)
#include "tst_archiefform.moc"
