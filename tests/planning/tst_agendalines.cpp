// The agenda line formats, the repetition model, the composed statements and
// the drawing rules of the lines, without a database.

#include "core/Dates.h"
#include "planning/AgendaLines.h"
#include "planning/AgendaPainters.h"
#include "planning/AgendaSql.h"
#include "planning/KlaarSql.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

using namespace planning;

class TestAgendaLines : public QObject {
    Q_OBJECT
private slots:
    void parseAgendaLine_data();
    void parseAgendaLine();
    void lineFromRow();
    void linkLines();
    void repeatsOn_data();
    void repeatsOn();
    void typedTime_data();
    void typedTime();
    void formatSql_data();
    void formatSql();
    void reloadStatement();
    void fetchLineStatement();
    void itemStatementsEscapeText();
    void pendingStatementsTakeTheId();
    void agendaLineDrawing_data();
    void agendaLineDrawing();
    void addressLineDrawing();
    void evaluationLineDrawing_data();
    void evaluationLineDrawing();
};

void TestAgendaLines::parseAgendaLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("fields");  // id|kind|datum|tijd|kort
    QTest::newRow("one-off item") << "12 normal 20310312 10:30 Brug open"
                                  << "12|normal|20310312|10:30|Brug open";
    QTest::newRow("title with the separator words") << "7 normal 20310312 08:00 normal 20310312 herhaal"
                                                    << "7|normal|20310312|08:00|normal 20310312 herhaal";
    QTest::newRow("repeating item") << "901 herhaal 20310312 00:00 Woensdagoverleg"
                                    << "901|herhaal|20310312|00:00|Woensdagoverleg";
    QTest::newRow("negative id") << "-3 normal 20310312 00:00 x"
                                 << "-3|normal|20310312|00:00|x";
    QTest::newRow("empty title keeps its separator") << "5 normal 20310312 00:00 "
                                                     << "5|normal|20310312|00:00|";
    QTest::newRow("empty time from the database") << "5 normal 20310312  Titel"
                                                  << "5|normal|20310312||Titel";
    QTest::newRow("no id") << "normal 20310312"
                           << "|ormal|20310312||";
    QTest::newRow("empty line") << ""
                                << "||||";
}

void TestAgendaLines::parseAgendaLine()
{
    QFETCH(QString, line);
    QFETCH(QString, fields);
    const AgendaLine l = ParseAgendaLine(line);
    QCOMPARE(QStringList({l.id, l.kind, l.datum, l.tijd, l.kort}).join('|'), fields);
    QCOMPARE(LineId(line), l.id);
}

void TestAgendaLines::lineFromRow()
{
    // The queries give id, kind, kort, datum, tijd; the line puts the title last.
    QCOMPARE(AgendaLineText({"12", "normal", "Brug open", "20310312", "10:30"}),
             QString("12 normal 20310312 10:30 Brug open"));
    const AgendaLine l = ParseAgendaLine(AgendaLineText({"901", "herhaal", "Overleg 3 x", "20310312", "00:00"}));
    QVERIFY(!l.isNormal());
    QCOMPARE(l.kort, QString("Overleg 3 x"));
}

void TestAgendaLines::linkLines()
{
    const QString address = AddressLineText({"44", "Jansen", "Zwaluwstad", "0570-123456"});
    QCOMPARE(address, QString("44 Jansen") + QChar(0xFF) + "Zwaluwstad" + QChar(0xFF) + "0570-123456");
    const AddressLine a = ParseAddressLine(address + QChar(0xFF) + "mobiel");
    QCOMPARE(a.id, QString("44"));
    QCOMPARE(a.naam, QString("Jansen"));
    QCOMPARE(a.woonplaats, QString("Zwaluwstad"));
    QCOMPARE(a.further, QStringList({"0570-123456", "mobiel"}));
    const AddressLine nameOnly = ParseAddressLine("45 Smit");
    QCOMPARE(nameOnly.woonplaats, QString());
    QVERIFY(nameOnly.further.isEmpty());

    QCOMPARE(ArchiveLineText({"310", "Brand in de haven"}), QString("310 Brand in de haven"));
    QCOMPARE(ArchiveLineHeadline("310   Brand in de haven"), QString("Brand in de haven"));
    QCOMPARE(ArchiveLineHeadline("310"), QString());
}

void TestAgendaLines::repeatsOn_data()
{
    QTest::addColumn<QString>("dagen");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<bool>("shown");
    const QDate sunday(2031, 3, 9), wednesday(2031, 3, 12), saturday(2031, 3, 15);
    QTest::newRow("position 1 is Sunday") << "x------" << sunday << true;
    QTest::newRow("position 1 is not Monday") << "x------" << sunday.addDays(1) << false;
    QTest::newRow("position 7 is Saturday") << "------x" << saturday << true;
    QTest::newRow("position 4 is Wednesday") << "---x---" << wednesday << true;
    QTest::newRow("every day") << "xxxxxxx" << saturday << true;
    QTest::newRow("no day") << "-------" << wednesday << false;
    QTest::newRow("upper-case X is no x") << "---X---" << wednesday << false;
    QTest::newRow("short pattern lacks Saturday") << "xxxxxx" << saturday << false;
    QTest::newRow("empty pattern") << "" << sunday << false;
}

void TestAgendaLines::repeatsOn()
{
    QFETCH(QString, dagen);
    QFETCH(QDate, date);
    QFETCH(bool, shown);
    QCOMPARE(RepeatsOn(dagen, date), shown);
}

void TestAgendaLines::typedTime_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");  // empty: refused
    QTest::newRow("whole time") << "09:30"
                                << "09:30";
    QTest::newRow("one-digit hour gets its zero") << "7:05"
                                                  << "07:05";
    QTest::newRow("last minute of the day") << "23:59"
                                            << "23:59";
    QTest::newRow("midnight") << "00:00"
                              << "00:00";
    QTest::newRow("hour too high") << "25:00"
                                   << "";
    QTest::newRow("minutes too high") << "12:61"
                                      << "";
    QTest::newRow("minutes missing") << "7:"
                                     << "";
    QTest::newRow("one minute digit") << "7:3"
                                      << "";
    QTest::newRow("emptied field") << ":"
                                   << "";
    QTest::newRow("no colon") << "0730"
                              << "";
    QTest::newRow("signs are no digits") << "+1:-5"
                                         << "";
}

void TestAgendaLines::typedTime()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QCOMPARE(AgendaTimeFromInput(typed).value_or(QString()), stored);
}

void TestAgendaLines::formatSql_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("sql");
    QTest::newRow("in order") << "(%d,'%s')" << QStringList{"1", "a"} << "(1,'a')";
    QTest::newRow("a percent sign in a value stays") << "'%s',%d" << QStringList{"50%d", "2"} << "'50%d',2";
    QTest::newRow("other percent signs are copied") << "%x %% %d" << QStringList{"3"} << "%x %% 3";
    QTest::newRow("surplus placeholders are empty") << "%d,%d" << QStringList{"1"} << "1,";
    QTest::newRow("percent at the end") << "%d%" << QStringList{"1"} << "1%";
}

void TestAgendaLines::formatSql()
{
    QFETCH(QString, pattern);
    QFETCH(QStringList, args);
    QFETCH(QString, sql);
    QCOMPARE(FormatSql(pattern, args), sql);
}

void TestAgendaLines::reloadStatement()
{
    // Work date Sunday 9 March 2031 with one more day; today is the 12th.
    const QString sql = ReloadSql(QDate(2031, 3, 9), QDate(2031, 3, 10), QDate(2031, 3, 12), 8);
    QCOMPARE(sql, QString("select a.id,'normal',a.kort,a.datum,a.tijd from tblagenda a where a.datum >= '20310309' "
                          "and a.datum <= '20310310' "
                          "and a.id not in (select agendaid from tbltodo where datum = '20310312') "
                          "and a.redactie = 8 union select id,'herhaal',kort,'20310309' as datum,'00:00' "
                          "from tblagendaherhaal where redactie = 8 and substr(dagen,1,1) = 'x' and id not in "
                          "(select herhaal from tblagenda where datum = '20310309')  order by datum asc,kort"));
    QVERIFY(
        ReloadSql(QDate(2031, 3, 15), QDate(2031, 3, 15), QDate(2031, 3, 12), 8).contains("substr(dagen,7,1) = 'x'"));
}

void TestAgendaLines::fetchLineStatement()
{
    QCOMPARE(FetchLineSql(42, QDate(2031, 3, 12), QDate(2031, 3, 18), -1),
             QString("select id,'normal',kort,datum,tijd from tblagenda where id = 42 and datum >= '20310312' and "
                     "datum <= '20310318' and redactie = -1"));
}

void TestAgendaLines::itemStatementsEscapeText()
{
    AgendaItemValues v;
    v.id = 20000;
    v.kort = "Brand in 't dok";
    v.datum = QDate(2031, 3, 14);
    v.lang = "C:\\pad %s";
    v.bron = "<geen>";
    v.tijd = "14:15";
    v.team = 8;
    v.repeatId = 901;
    v.followUpId = 9001;
    v.userId = 3;
    v.today = QDate(2031, 3, 12);
    QCOMPARE(InsertItemSql(v),
             QString("insert into tblagenda (id,kort,datum,lang,bron,redactie,herhaal,followup,invoerdoor,datuminvoer,"
                     "tijd) values ('20000','Brand in \\'t dok','20310314','C:\\\\pad %s','<geen>',8,901,9001,3,"
                     "'20310312','14:15')"));
    QCOMPARE(UpdateItemSql(v), QString(" update tblagenda set kort = 'Brand in \\'t dok', datum = '20310314', lang = "
                                       "'C:\\\\pad %s', tijd = '14:15', followup = 9001, bron = '<geen>' where id = "
                                       "20000"));
    QCOMPARE(TakeUpRepeatSql(20001, "Overleg 'wethouder'", QDate(2031, 3, 19), QTime(9, 5, 59), 8, 901),
             QString("insert into tblagenda (id,kort,datum,tijd,redactie,herhaal) values "
                     "(20001,'Overleg \\'wethouder\\'','20310319','09:05',8,901)"));
    QCOMPARE(TodoInsertSql(30000, 9002, QDate(2031, 3, 12), 8),
             QString("insert into tbltodo (id,agendaid,datum,klaar,redactie) values (30000,9002,'20310312',false,8)"));
}

void TestAgendaLines::pendingStatementsTakeTheId()
{
    QCOMPARE(WithItemId(LinkAddressSql(44), 20000), QString("insert into tblagendanaw values (20000,44)"));
    QCOMPARE(WithItemId(UnlinkAddressSql(44), 20000),
             QString("delete from tblagendanaw where agenda = 20000 and naw = 44"));
    QCOMPARE(WithItemId(LinkArchiveSql(310), 7), QString("insert into tblagendaarchief values (7,310)"));
    QCOMPARE(WithItemId(UnlinkArchiveSql(310), 7),
             QString("delete from tblagendaarchief where agenda = 7 and archief = 310"));
    QCOMPARE(WithItemId("%id %id", 5), QString("5 5"));
}

namespace {

// Columns of image where the separator colour is drawn on row y.
QList<int> separatorColumns(const QImage &image, int y)
{
    QList<int> xs;
    for (int x = 0; x < image.width(); ++x)
        if (image.pixelColor(x, y) == QColor(Qt::red))
            xs << x;
    return xs;
}

}  // namespace

void TestAgendaLines::agendaLineDrawing_data()
{
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<bool>("timeColumn");
    QTest::addColumn<QString>("line");
    const QString wide = "12 normal 20310312 10:30 Brug open";  // "wo 12 mrt 2031"
    QTest::newRow("small font, without time column") << 6 << false << wide;
    QTest::newRow("small font, with time column") << 6 << true << wide;
    QTest::newRow("readable font, without time column") << 11 << false << wide;
    QTest::newRow("readable font, with time column") << 11 << true << wide;
    QTest::newRow("large font, widest weekday and month") << 16 << false << "12 normal 20310528 10:30 Mei";
    QTest::newRow("malformed date still draws") << 9 << false << "12 normal 2031 10:30 Brug open";
}

// The column line stands where the font puts it: the classic 81 for a small
// font, further right for a larger one, and never through the date.
void TestAgendaLines::agendaLineDrawing()
{
    QFETCH(int, pointSize);
    QFETCH(bool, timeColumn);
    QFETCH(QString, line);
    const QFont font(QStringLiteral("DejaVu Sans"), pointSize);
    const int height = LineHeightFor(font);
    QImage image(600, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setFont(font);
    const int timeWidth = p.fontMetrics().horizontalAdvance(QStringLiteral("00:00"));
    paintAgendaLine(p, image.rect(), line, timeColumn, {QBrush(Qt::white), Qt::black, Qt::red});
    p.end();
    const int dateX = DateColumnX(font, 81);
    QVERIFY(dateX >= 81);
    if (pointSize <= 6)
        QCOMPARE(dateX, 81);
    if (pointSize >= 11)
        QVERIFY(dateX > 81);
    const int x = timeColumn ? dateX + timeWidth + 5 : dateX;
    QCOMPARE(separatorColumns(image, 0), QList<int>{x});
    QCOMPARE(separatorColumns(image, height - 1), QList<int>{x});
    // The date is drawn whole, ending at least 4 pixels before its column.
    auto inked = [&](int x0, int x1) {
        for (int y = 0; y < height; ++y)
            for (int col = x0; col < x1; ++col)
                if (image.pixelColor(col, y) != QColor(Qt::white) && image.pixelColor(col, y) != QColor(Qt::red))
                    return true;
        return false;
    };
    QVERIFY(inked(0, 20));
    QVERIFY(!inked(dateX - 4, dateX));
    QCOMPARE(image.pixelColor(599, height / 2), QColor(Qt::white));  // the whole rectangle is filled

    // The production list keeps its line beside the agenda's: the same fitting.
    QCOMPARE(DateColumnX(font, 82), qMax(82, dateX));
    QVERIFY(height >= 16 && height >= QFontMetrics(font).height());
}

void TestAgendaLines::addressLineDrawing()
{
    // Rows alternate: odd rows white, even rows the info-tip colour.
    QPalette palette;
    palette.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    QCOMPARE(linkListCanvas(1, palette).background.color(), QColor(Qt::white));
    QCOMPARE(linkListCanvas(0, palette).background.color(), QColor(255, 255, 225));
    QCOMPARE(linkListCanvas(0, palette).text, QColor(Qt::black));

    // The place ends 2 pixels before the right edge; the phone is on the second row.
    QImage image(200, 26, QImage::Format_RGB32);
    QPainter p(&image);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    const int rowHeight = p.fontMetrics().height();
    paintAddressLine(p, image.rect(), AddressLineText({"44", "Jansen", "WWWW", "0570"}),
                     {QBrush(Qt::white), Qt::black, Qt::black});
    p.end();
    auto inked = [&](int x0, int x1, int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (image.pixelColor(x, y) != QColor(Qt::white))
                    return true;
        return false;
    };
    QVERIFY(!inked(198, 200, 0, rowHeight));  // nothing in the last two columns
    QVERIFY(inked(170, 198, 0, rowHeight));  // the place right-aligned
    QVERIFY(inked(0, 40, rowHeight, image.height()));  // the phone on the second row
    QVERIFY(!inked(100, 198, rowHeight, image.height()));
}

void TestAgendaLines::evaluationLineDrawing_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<QString>("kort");
    QTest::newRow("long title, widest word") << 1 << "Gemeenteraad besluit over de nieuwe fietsbrug bij de haven";
    QTest::newRow("long title, ready topic") << 0 << "Brandweer oefent met de nieuwe hoogwerker aan de kade";
    QTest::newRow("short title") << 2 << "Markt";
}

// An evaluation line: the title and the group word each keep their own part
// of the line. The word is right-aligned 2 pixels before the right edge, and
// a title that does not fit stops short of it instead of running underneath.
void TestAgendaLines::evaluationLineDrawing()
{
    QFETCH(int, group);
    QFETCH(QString, kort);
    const QFont font(QStringLiteral("DejaVu Sans"), 9);
    const int height = LineHeightFor(font);
    QImage image(220, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter p(&image);
    p.setFont(font);
    const QString line = QString::number(group) + FieldSeparator + "31" + FieldSeparator + kort + FieldSeparator;
    paintEvalLine(p, image.rect(), line, {QBrush(Qt::white), Qt::black, Qt::black});
    p.end();
    QFont bold = font;
    bold.setBold(true);
    const int wordLeft = 220 - 2 - QFontMetrics(bold).horizontalAdvance(EvalGroupWord(group));
    auto inked = [&](int x0, int x1) {
        for (int y = 0; y < height; ++y)
            for (int x = x0; x < x1; ++x)
                if (image.pixelColor(x, y) != QColor(Qt::white))
                    return true;
        return false;
    };
    QVERIFY(inked(1, 30));  // the title
    QVERIFY(inked(wordLeft, 220));  // the word (a glyph may overhang its advance)
    QVERIFY2(!inked(wordLeft - 4, wordLeft), "the title runs into the group word");
}

QTEST_MAIN(TestAgendaLines)
#include "tst_agendalines.moc"
