// The rubric content string, the drag object, rubric lines, how a rubric is
// filled and changed, the statements of a store, and the playout's layout and
// stepping: all without widgets or a database.

#include "core/DragObject.h"
#include "output/CyclusLogic.h"
#include "output/CyclusSql.h"

#include <QMimeData>
#include <QtTest>

using namespace output;

namespace {

const QChar ff(0xFF);

QString content(const QStringList &ids)
{
    QString out;
    for (const QString &id : ids)
        out += id + ff;
    return out;
}

QString joined(const QList<int> &ids)
{
    QStringList out;
    for (int id : ids)
        out << QString::number(id);
    return out.join(u',');
}

// A clock list of one clock.
QString clock(const QString &from, const QString &to, const QString &start, const QString &end, const QString &in,
              const QString &out, const QString &days = QStringLiteral("xxxxxxx"))
{
    return content({from, to, start, end, in, out, days});
}

}  // namespace

class TestCyclusLogic : public QObject {
    Q_OBJECT
private slots:
    void rubricContent_data();
    void rubricContent();
    void dragIds_data();
    void dragIds();
    void dragObjectThroughMime();
    void pages_data();
    void pages();
    void fillRubric();
    void insertAndMove_data();
    void insertAndMove();
    void storeStatements();
    void playoutBody_data();
    void playoutBody();
    void playoutScreens();
    void playoutStepping();
};

void TestCyclusLogic::rubricContent_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("ids");  // "-" when refused
    QTest::newRow("empty rubric") << QString() << "";
    QTest::newRow("one text") << content({"12"}) << "12";
    QTest::newRow("texts 12 and 7 in cycle order") << content({"12", "7"}) << "12,7";
    QTest::newRow("duplicates are kept") << content({"5", "5", "9"}) << "5,5,9";
    QTest::newRow("negative id") << content({"-1"}) << "-1";
    QTest::newRow("last separator missing") << "12" + QString(ff) + "7"
                                            << "12,7";
    QTest::newRow("letters") << content({"12", "x7"}) << "-";
    QTest::newRow("an SQL fragment") << content({"1; delete from tblteksten"}) << "-";
    QTest::newRow("two separators in a row") << "12" + QString(ff) + ff << "-";
    QTest::newRow("blank id") << content({" 12"}) << "-";
    QTest::newRow("plus sign") << content({"+3"}) << "-";
    QTest::newRow("id beyond an integer") << content({"99999999999"}) << "-";
    QTest::newRow("spaces instead of separators") << "12 7 "
                                                  << "-";
}

void TestCyclusLogic::rubricContent()
{
    QFETCH(QString, text);
    QFETCH(QString, ids);
    QString error;
    const auto parsed = ParseRubricContent(text, &error);
    if (ids == QLatin1String("-")) {
        QVERIFY(!parsed);
        QVERIFY2(error.startsWith(QStringLiteral("onleesbaar tekstnummer")), qPrintable(error));
        return;
    }
    QVERIFY2(parsed, qPrintable(error));
    QCOMPARE(joined(*parsed), ids);
    // Written back it reads the same, with every separator in place.
    QCOMPARE(joined(*ParseRubricContent(FormatRubricContent(*parsed))), ids);
    if (text.isEmpty() || text.endsWith(ff))
        QCOMPARE(FormatRubricContent(*parsed), text);
}

void TestCyclusLogic::dragIds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("ids");
    QTest::newRow("none") << ""
                          << "";
    QTest::newRow("one") << "12 "
                         << "12";
    QTest::newRow("in list order") << "12 7 40 "
                                   << "12,7,40";
    QTest::newRow("no space after the last") << "12 7"
                                             << "-";
    QTest::newRow("two spaces") << "12  7 "
                                << "-";
    QTest::newRow("garbage") << "12 x "
                             << "-";
}

void TestCyclusLogic::dragIds()
{
    QFETCH(QString, text);
    QFETCH(QString, ids);
    QString error;
    const auto parsed = core::ParseDragIds(text, &error);
    QCOMPARE(parsed ? joined(*parsed) : QStringLiteral("-"), ids);
    if (parsed)
        QCOMPARE(core::FormatDragIds(*parsed), text);
    else
        QVERIFY(error.startsWith(QStringLiteral("Ongeldige tekstnummers")));
}

void TestCyclusLogic::dragObjectThroughMime()
{
    std::unique_ptr<QMimeData> mime(core::DragObjectMimeData({"rubriek", "12 7 ", "versiebox"}));
    const auto object = core::DragObjectFromMime(mime.get());
    QVERIFY(object);
    QCOMPARE(object->Target + "|" + object->Ids + "|" + object->Source, QStringLiteral("rubriek|12 7 |versiebox"));
    QMimeData plain;
    plain.setText(QStringLiteral("12 7 "));
    QVERIFY(!core::DragObjectFromMime(&plain));  // text dragged from elsewhere is no drag object
    QVERIFY(!core::DragObjectFromMime(nullptr));
}

void TestCyclusLogic::pages_data()
{
    QTest::addColumn<QString>("pages");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("counted");
    QTest::newRow("one") << "1"
                         << "1 pagina" << 1;
    QTest::newRow("none") << "0"
                          << "0 pagina's" << 0;
    QTest::newRow("two") << "2"
                         << "2 pagina's" << 2;
    QTest::newRow("blank") << ""
                           << " pagina's" << 0;
    QTest::newRow("blank with spaces") << "  "
                                       << "   pagina's" << 0;
}

void TestCyclusLogic::pages()
{
    QFETCH(QString, pages);
    QFETCH(QString, text);
    QFETCH(int, counted);
    QCOMPARE(PagesText(pages), text);
    QCOMPARE(PagesNumber(pages), counted);
}

// The on-air-now test is the clock rule of the versions window; the cases
// that matter for the cycle are the edges of a day's window and of the end
// date, a text without clocks, and texts that are gone.
void TestCyclusLogic::fillRubric()
{
    const QMap<int, StoredText> texts{
        {1, {"Dag tot zes", "2", clock("20310301", "20310331", "00:00:00", "23:59:59", "00:00:00", "18:00:00")}},
        {2, {"Eindigt vandaag", "1", clock("20310301", "20310312", "00:00:00", "18:00:00", "00:00:00", "23:59:59")}},
        {3, {"Zonder klok", "4", ""}},
        {4, {"", "3", clock("20310301", "20310331", "00:00:00", "23:59:59", "00:00:00", "23:59:59")}},
        {5,
         {"Alleen weekend", "5",
          clock("20310301", "20310331", "00:00:00", "23:59:59", "00:00:00", "23:59:59", "-----xx")}},
    };
    const auto fetch = [&](int id) -> std::optional<StoredText> {
        if (!texts.contains(id))
            return std::nullopt;
        return texts.value(id);
    };
    const QList<int> ids{1, 2, 3, 4, 99, 5};
    auto at = [&](int h, int m) { return FillRubric(ids, fetch, QDateTime(QDate(2031, 3, 12), QTime(h, m))); };
    auto dump = [](const RubricFill &f) {
        QStringList out;
        for (const QString &l : f.lines) {
            const RubricLine r = ParseRubricLine(l);
            out << r.id + ":" + r.status;
        }
        return out.join(' ') + " pages " + QString::number(f.pageTotal);
    };
    // 4 (empty kop) and 99 (gone) leave the list; 4 still counts its 3 pages.
    QCOMPARE(dump(at(17, 59)), QStringLiteral("1:ok 2:ok 3:*** 5:*** pages 6"));
    // The daily window excludes 18:00; on its end date an end time of 18:00 counts the minute itself.
    QCOMPARE(dump(at(18, 0)), QStringLiteral("1:*** 2:ok 3:*** 5:*** pages 4"));
    QCOMPARE(dump(at(18, 1)), QStringLiteral("1:*** 2:*** 3:*** 5:*** pages 3"));
    const RubricLine first = ParseRubricLine(at(9, 0).lines.first());
    QCOMPARE(QStringList({first.id, first.kop, first.pages, first.status}).join('|'),
             QStringLiteral("1|Dag tot zes|2|ok"));
}

void TestCyclusLogic::insertAndMove_data()
{
    QTest::addColumn<QString>("start");  // ids of the lines
    QTest::addColumn<QString>("action");  // "insert <pos> <ids>" or "move <pos> <rows>"
    QTest::addColumn<QString>("refused");  // ids the admit callback refuses besides duplicates
    QTest::addColumn<QString>("result");
    QTest::newRow("insert into an empty rubric") << ""
                                                 << "insert 0 12,7"
                                                 << ""
                                                 << "12,7";
    QTest::newRow("insert at the drop point, adjacent") << "1,2,3"
                                                        << "insert 1 12,7"
                                                        << ""
                                                        << "1,12,7,2,3";
    QTest::newRow("middle one already there: the others adjacent") << "1,7,3"
                                                                   << "insert 3 12,7,40"
                                                                   << ""
                                                                   << "1,7,3,12,40";
    QTest::newRow("duplicate within one drop") << ""
                                               << "insert 0 5,5"
                                               << ""
                                               << "5";
    QTest::newRow("a refused template is left out") << "1"
                                                    << "insert 0 8,9"
                                                    << "8"
                                                    << "9,1";
    QTest::newRow("below the last line") << "1,2"
                                         << "insert 99 3"
                                         << ""
                                         << "1,2,3";
    QTest::newRow("move down lands at the mark") << "1,2,3,4,5"
                                                 << "move 4 0,1"
                                                 << ""
                                                 << "3,4,1,2,5";
    QTest::newRow("move to the end") << "1,2,3"
                                     << "move 3 0"
                                     << ""
                                     << "2,3,1";
    QTest::newRow("move up") << "1,2,3,4"
                             << "move 0 2,3"
                             << ""
                             << "3,4,1,2";
    QTest::newRow("a text no longer allowed leaves") << "1,2,3"
                                                     << "move 0 2"
                                                     << "3"
                                                     << "1,2";
}

void TestCyclusLogic::insertAndMove()
{
    QFETCH(QString, start);
    QFETCH(QString, action);
    QFETCH(QString, refused);
    QFETCH(QString, result);
    QStringList lines;
    for (const QString &id : start.split(',', Qt::SkipEmptyParts))
        lines << FormatRubricLine({id, "kop " + id, "1", "ok"});
    const QStringList words = action.split(' ');
    QList<int> numbers;
    for (const QString &n : words.at(2).split(','))
        numbers << n.toInt();
    QStringList warnings;
    const AdmitText admit = [&](const QStringList &l, int id) {
        if (ContainsTextId(l, id)) {
            warnings << "dubbel " + QString::number(id);
            return false;
        }
        return !refused.split(',').contains(QString::number(id));
    };
    if (words.at(0) == QLatin1String("insert"))
        InsertTexts(lines, words.at(1).toInt(), numbers, admit);
    else
        MoveLines(lines, numbers, words.at(1).toInt(), admit);
    QCOMPARE(joined(RubricLineIds(lines)), result);
    // Moving keeps whole lines; inserting adds lines holding only the id.
    if (words.at(0) == QLatin1String("move"))
        for (const QString &l : lines)
            QCOMPARE(ParseRubricLine(l).status, QStringLiteral("ok"));
}

void TestCyclusLogic::storeStatements()
{
    const QStringList s =
        StoreRubricStatements(content({"12", "7"}), 3, 2, false, 4, QDateTime(QDate(2031, 3, 12), QTime(9, 41, 7)), 2);
    QCOMPARE(s.size(), 3);
    QCOMPARE(s.at(0), "insert into tblrubriekhistorie (rubriekid, onair, txt, datum, tijd, wie) select id, onair, "
                      "txt, '20310312', '09:41:07', 2 from tblrubriek where id = 4 and onair = false and "
                      "coalesce(txt, '') <> '" +
                          content({"12", "7"}) + "'");
    QCOMPARE(s.at(1), "update tblrubriek set txt = '" + content({"12", "7"}) +
                          "' ,paginacount = 3 ,onderwerpcount = 2 where not onair and id = 4");
    QCOMPARE(s.at(2), QStringLiteral("delete from tblrubriekhistorie where rubriekid = 4 and onair = false and id <= "
                                     "(select id from tblrubriekhistorie where rubriekid = 4 and onair = false order "
                                     "by id desc offset 50 limit 1)"));
    QCOMPARE(
        StoreRubricSql("", 0, 0, true, 9),
        QStringLiteral("update tblrubriek set txt = '' ,paginacount = 0 ,onderwerpcount = 0 where onair and id = 9"));
    QCOMPARE(RubricsSql(1, true), QStringLiteral("select t.id,t.naam from tblrubriek t, tblzenderrubriek z where "
                                                 "z.zender = 1 and onair and z.rubriek = t.id order by naam"));
    QCOMPARE(TotalsSql(1, false),
             QStringLiteral("select sum(paginacount), sum(onderwerpcount) from tblrubriek where id in (select "
                            "rubriek from tblzenderrubriek where zender = 1) and not onair"));
}

void TestCyclusLogic::playoutBody_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("lines");
    QTest::newRow("no line end: one line") << "Een regel"
                                           << "Een regel";
    QTest::newRow("a word, br, a word") << "Een<br>twee"
                                        << "Een|twee";
    QTest::newRow("hrt and a closing br") << "Een<hrt><br>twee<br>"
                                          << "Een||twee";
    QTest::newRow("other tags neither show nor break") << "<bold>Vet<normal> en <BR>niet"
                                                       << "Vet en niet";
    QTest::newRow("tag name trimmed") << "a< br >b"
                                      << "a|b";
    QTest::newRow("a typed <") << QString("3 <\u2264> 4") << "3 < 4";
    QTest::newRow("empty") << ""
                           << "";
}

void TestCyclusLogic::playoutBody()
{
    QFETCH(QString, body);
    QFETCH(QString, lines);
    QCOMPARE(PlayoutBodyLines(body).join('|'), lines);
}

// One character is 10 pixels wide and h is 20: the first line of a screen
// sits at 90, each next one 30 lower, and the canvas is 250 high, so a
// screen holds lines at 90, 120, 150, 180 and 210 (ending at 230).
void TestCyclusLogic::playoutScreens()
{
    PlayoutMetrics m{20, 300, 250, [](const QString &s) { return int(s.size()) * 10; }};
    QString body;
    for (int i = 1; i <= 12; ++i)
        body += QStringLiteral("r%1<br>").arg(i);
    const QList<QStringList> screens = PlayoutScreens(body, m);
    QCOMPARE(screens.size(), 3);
    QCOMPARE(screens.at(0).join(' '), QStringLiteral("r1 r2 r3 r4 r5"));
    QCOMPARE(screens.at(2).join(' '), QStringLiteral("r11 r12"));
    // 200 pixels of usable width: 20 characters; wrapped at the blank before.
    const auto wrapped = PlayoutScreens("aaaa bbbb cccc dddd eeee", m);
    QCOMPARE(wrapped.at(0).join('|'), QStringLiteral("aaaa bbbb cccc dddd|eeee"));
    QCOMPARE(PlayoutScreens(QString(25, 'x'), m).at(0).join('|'), QString(20, 'x') + "|" + QString(5, 'x'));
    QCOMPARE(PlayoutScreens("", m).size(), 1);
    QCOMPARE(PlayoutCounter(2, 5, 0, 1), QStringLiteral("Tekst 2 van de 5"));
    QCOMPARE(PlayoutCounter(2, 5, 1, 3), QStringLiteral("Tekst 2 van de 5 (2/3)"));
}

void TestCyclusLogic::playoutStepping()
{
    // Three texts, the middle one two screens long.
    const int screensOf[] = {1, 2, 1};
    PlayoutPosition p;
    QStringList walk;
    for (int i = 0; i < 5; ++i) {
        p = PlayoutNext(p, 3, screensOf[p.text]);
        walk << QStringLiteral("%1.%2").arg(p.text).arg(p.screen);
    }
    QCOMPARE(walk.join(' '), QStringLiteral("1.0 1.1 2.0 2.0 2.0"));  // the last text: "Omlaag" does nothing
    walk.clear();
    for (int i = 0; i < 4; ++i) {
        p = PlayoutPrevious(p);
        walk << QStringLiteral("%1.%2").arg(p.text).arg(p.screen);
    }
    QCOMPARE(walk.join(' '), QStringLiteral("1.0 0.0 0.0 0.0"));  // the first text: "Omhoog" does nothing
    QCOMPARE(PlayoutNext({}, 0, 1), PlayoutPosition{});  // an empty rubric
}

QTEST_APPLESS_MAIN(TestCyclusLogic)
#include "tst_cycluslogic.moc"
