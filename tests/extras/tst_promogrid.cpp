// The promo week plan without pixels: dragging programmes onto cells,
// emptying cells, the moment string read (short, malformed, full, too long)
// and written, the drag object's transport, the hour labels and the
// statements of the planner.

#include "extras/PromoGrid.h"
#include "extras/PromoSql.h"

#include <QMimeData>
#include <QtTest>

#include <memory>

using namespace extras;

namespace {

const QChar FF(0xFF);

// A moment string of the given values, each followed by the separator.
QString moment(const QStringList &values)
{
    QString out;
    for (const QString &v : values)
        out += v + FF;
    return out;
}

QString zeros(int n)
{
    return moment(QStringList(n, QStringLiteral("0")));
}

}  // namespace

class TestPromoGrid : public QObject {
    Q_OBJECT
private slots:
    void hourLabels_data();
    void hourLabels();
    void draggingOntoCells();
    void emptyingCells();
    void readingMoments_data();
    void readingMoments();
    void writingMoments();
    void dragTransport();
    void statements();
};

void TestPromoGrid::hourLabels_data()
{
    QTest::addColumn<int>("hour");
    QTest::addColumn<QString>("label");
    QTest::newRow("first hour padded on both sides") << 0 << " 0:00 -  0:59";
    QTest::newRow("one digit") << 9 << " 9:00 -  9:59";
    QTest::newRow("last hour") << 23 << "23:00 - 23:59";
}

void TestPromoGrid::hourLabels()
{
    QFETCH(int, hour);
    QFETCH(QString, label);
    QCOMPARE(HourLabel(hour), label);
}

void TestPromoGrid::draggingOntoCells()
{
    PromoGrid grid;
    TPromoDrag fromList{-1, 0, 3, "Sportcafé"};
    QVERIFY(grid.drop(fromList, 9, 6));
    QCOMPARE(fromList.row, 9);
    QCOMPARE(fromList.day, 6);
    QCOMPARE(grid.id(9, 6), 3);
    QCOMPARE(grid.name(9, 6), QString("Sportcafé"));

    // From one cell to another: copied, both hold it.
    TPromoDrag fromCell{9, 6, grid.id(9, 6), grid.name(9, 6)};
    QVERIFY(grid.drop(fromCell, 10, 7));
    QCOMPARE(grid.cellsHolding(3), QStringList({"9/6", "10/7"}));

    // Only the 168 hour-and-day cells take a drop.
    for (auto [hour, day] : {std::pair{-1, 1}, {24, 1}, {0, 0}, {0, 8}}) {
        TPromoDrag d{-1, 0, 4, "Uit in de regio"};
        QVERIFY(!grid.drop(d, hour, day));
        QCOMPARE(d.row, -1);
    }
    QVERIFY(grid.cellsHolding(4).isEmpty());

    // A drop replaces what was there.
    TPromoDrag other{-1, 0, 4, "Uit in de regio"};
    QVERIFY(grid.drop(other, 10, 7));
    QCOMPARE(grid.cellsHolding(3), QStringList({"9/6"}));
    QCOMPARE(grid.name(10, 7), QString("Uit in de regio"));
}

void TestPromoGrid::emptyingCells()
{
    PromoGrid grid;
    TPromoDrag d{-1, 0, 2, "Middagmagazine"};
    for (int hour : {11, 12, 13})
        for (int day = 1; day <= 5; ++day)
            QVERIFY(grid.drop(d, hour, day));
    QVERIFY(grid.clear(12, 3));
    QCOMPARE(grid.id(12, 3), 0);
    QCOMPARE(grid.name(12, 3), QString());
    QCOMPARE(grid.cellsHolding(2).size(), 14);
    QVERIFY(!grid.clear(24, 1));

    // A deleted programme leaves no cell behind; the others stay.
    TPromoDrag keep{-1, 0, 1, "Goedemorgen Zwaluwstad"};
    QVERIFY(grid.drop(keep, 7, 1));
    QCOMPARE(grid.clearId(2), 14);
    QVERIFY(grid.cellsHolding(2).isEmpty());
    QCOMPARE(grid.cellsHolding(1), QStringList({"7/1"}));
}

void TestPromoGrid::readingMoments_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("cells");  // "hour/day=id name" of the filled cells
    QTest::addColumn<int>("problems");

    QStringList full(PromoCells, "0");
    full[0] = "1";  // hour 0, Monday
    full[6] = "3";  // hour 0, Sunday
    full[7] = "2";  // hour 1, Monday
    full[PromoCells - 1] = "4";  // hour 23, Sunday
    const QStringList fullCells{"0/1=1 Goedemorgen", "0/7=3 Sportcafé", "1/1=2 Middag", "23/7=4 Uit"};
    QTest::newRow("full") << moment(full) << fullCells << 0;
    QTest::newRow("empty string: all empty") << "" << QStringList() << 0;
    QTest::newRow("short: the rest empty") << moment({"0", "0", "3"}) << QStringList{"0/3=3 Sportcafé"} << 0;
    QTest::newRow("last value without separator") << QString("0") + FF + "2" << QStringList{"0/2=2 Middag"} << 0;
    QTest::newRow("malformed value: its cell empty, reported")
        << moment({"1", "x", "", "-2", "3"}) << QStringList{"0/1=1 Goedemorgen", "0/5=3 Sportcafé"} << 3;
    QTest::newRow("unknown id: kept, no name") << moment({"99"}) << QStringList{"0/1=99 "} << 0;
    QStringList tooLong = full;
    tooLong << "1"
            << "2";
    QTest::newRow("values beyond 168 dropped") << moment(tooLong) << fullCells << 0;
}

void TestPromoGrid::readingMoments()
{
    QFETCH(QString, stored);
    QFETCH(QStringList, cells);
    QFETCH(int, problems);
    const QHash<int, QString> names{{1, "Goedemorgen"}, {2, "Middag"}, {3, "Sportcafé"}, {4, "Uit"}};
    PromoGrid grid;
    TPromoDrag before{-1, 0, 4, "Uit"};
    QVERIFY(grid.drop(before, 5, 5));  // replaced by the load
    const QStringList reported = grid.load(stored, names);
    QStringList filled;
    for (int hour = 0; hour < PromoHours; ++hour)
        for (int day = 1; day <= PromoDays; ++day)
            if (grid.id(hour, day) != 0)
                filled << QStringLiteral("%1/%2=%3 %4")
                              .arg(hour)
                              .arg(day)
                              .arg(grid.id(hour, day))
                              .arg(grid.name(hour, day));
    QCOMPARE(filled, cells);
    QCOMPARE(reported.size(), problems);
    // Written back whole.
    QCOMPARE(grid.moment().count(FF), PromoCells);
}

void TestPromoGrid::writingMoments()
{
    PromoGrid grid;
    QCOMPARE(grid.moment(), zeros(PromoCells));  // an empty plan: 168 zeros, each closed

    TPromoDrag d{-1, 0, 12, "Nachtradio"};
    QVERIFY(grid.drop(d, 0, 2));
    QVERIFY(grid.drop(d, 23, 7));
    const QString written = grid.moment();
    QVERIFY(written.startsWith(QString("0") + FF + "12" + FF + "0" + FF));
    QVERIFY(written.endsWith(FF + QString("12") + FF));
    // Read back it is the same plan.
    PromoGrid again;
    QVERIFY(again.load(written, {{12, "Nachtradio"}}).isEmpty());
    QCOMPARE(again.moment(), written);
    QCOMPARE(again.cellsHolding(12), QStringList({"0/2", "23/7"}));
}

void TestPromoGrid::dragTransport()
{
    const std::unique_ptr<QMimeData> mime(PromoDragMimeData({10, 7, 3, "Sport, café & meer"}));
    QVERIFY(mime->hasFormat("application/x-quillon-TPromoDrag"));
    const auto drag = PromoDragFromMime(mime.get());
    QVERIFY(drag);
    QCOMPARE(drag->row, 10);
    QCOMPARE(drag->day, 7);
    QCOMPARE(drag->id, 3);
    QCOMPARE(drag->name, QString("Sport, café & meer"));

    // Other drags are refused.
    QMimeData text;
    text.setText("3");
    QVERIFY(!PromoDragFromMime(&text));
    QMimeData broken;
    broken.setData(PromoDragMime, "3");
    QVERIFY(!PromoDragFromMime(&broken));
    QVERIFY(!PromoDragFromMime(nullptr));
}

void TestPromoGrid::statements()
{
    QCOMPARE(PromoListSql(), QString("select id,naam from tblpromo order by naam"));
    QCOMPARE(LoadPlanSql(), QString("select moment from tblpromoweek where datum = 0"));
    QCOMPARE(StorePlanSql(QString("3") + FF),
             QString("update tblpromoweek set moment = '3") + FF + "' where datum = 0");
    QCOMPARE(CreatePlanSql(), QString("insert into tblpromoweek (datum,moment) select 0,'' where not exists "
                                      "(select datum from tblpromoweek where datum = 0)"));
    QCOMPARE(InsertPromoSql("Kees' kwartier"), QString("insert into tblpromo (naam) values ('Kees\\' kwartier')"));
    QCOMPARE(LoadPromoSql(4), QString("select * from tblpromo where id = 4"));
    QCOMPARE(UpdatePromoSql(4, "Sport'café", "kort \\ bondig", "lang<br>"),
             QString("update tblpromo set naam = 'Sport\\'café', kort = 'kort \\\\ bondig', lang = 'lang<br>' "
                     "where id = 4"));
    QCOMPARE(DeletePromoSql(4), QString("delete from tblpromo where id = 4"));
}

QTEST_GUILESS_MAIN(TestPromoGrid)
#include "tst_promogrid.moc"
