// The archive search without widgets: how the search text becomes words,
// the statements, the table a text is read from, the plain text, the
// highlighting and the result lines.

#include "texts/ArchiefSearch.h"

#include <QtTest>

using namespace texts;

class TestArchiveSearch : public QObject {
    Q_OBJECT
private slots:
    void splitting_data();
    void splitting();
    void wordConditions_data();
    void wordConditions();
    void searchStatement();
    void tableOfYear_data();
    void tableOfYear();
    void plainText();
    void highlight_data();
    void highlight();
    void viewMarkup();
    void resultLines_data();
    void resultLines();
};

void TestArchiveSearch::splitting_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("words");
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("only separators") << " \r\n  " << QStringList{};
    QTest::newRow("two words, spaces around") << "  fiets brug " << QStringList{"fiets", "brug"};
    QTest::newRow("CR and LF separate") << "raad\r\nbrug\rkanaal\nweg" << QStringList{"raad", "brug", "kanaal", "weg"};
    QTest::newRow("capitals lowered") << "Zwaluw STAD" << QStringList{"zwaluw", "stad"};
    QTest::newRow("digits belong to the word") << "A28 2001 3-0" << QStringList{"a28", "2001", "3", "0"};
    QTest::newRow("punctuation separates") << "o'neill,kerk.straat" << QStringList{"o", "neill", "kerk", "straat"};
    QTest::newRow("wildcards never reach a word") << "100% _x_" << QStringList{"100", "x"};
    QTest::newRow("accented letters belong to the word, lowered")
        << "Zeeën MAËS café ÉÉN" << QStringList{"zeeën", "maës", "café", "één"};
    QTest::newRow("letters of every script") << "Ελλάδα, Москва" << QStringList{"ελλάδα", "москва"};
    QTest::newRow("decomposed accent read as one letter") << QString("Mae\u0308s") << QStringList{"maës"};
    QTest::newRow("a mark after a letter stays in the word")
        << QString("\u0928\u092e\u0938\u094d\u0924\u0947")
        << QStringList{QString("\u0928\u092e\u0938\u094d\u0924\u0947")};
    QTest::newRow("letter beyond the BMP") << QString("\U00010400x") << QStringList{QString("\U00010428x")};
    QTest::newRow("typographic quote and dash separate")
        << QString("\u2018Maës\u2019\u2013één") << QStringList{"maës", "één"};
    QTest::newRow("order and repeats kept") << "b a b" << QStringList{"b", "a", "b"};
}

void TestArchiveSearch::splitting()
{
    QFETCH(QString, text);
    QFETCH(QStringList, words);
    QCOMPARE(SplitSearchWords(text), words);
}

void TestArchiveSearch::wordConditions_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("condition");
    // ASCII words keep the statement the trigram index was tuned for.
    QTest::newRow("ASCII") << "fietsbrug"
                           << "lower(body) like '%fietsbrug%'";
    QTest::newRow("digits") << "a28"
                            << "lower(body) like '%a28%'";
    // lower() of the byte-ordered body leaves other letters as they are, so
    // each of them matches every letter that lowers to it.
    QTest::newRow("two accented letters") << "één"
                                          << "lower(body) ~ '[éÉ][éÉ]n'";
    QTest::newRow("accent at the end") << "belgië"
                                       << "lower(body) ~ 'belgi[ëË]'";
    QTest::newRow("inside the word") << "maës"
                                     << "lower(body) ~ 'ma[ëË]s'";
    QTest::newRow("three cases of one letter") << QString("\u01c6") << QString("lower(body) ~ '[\u01c6\u01c4\u01c5]'");
    QTest::newRow("Cyrillic") << "мост"
                              << "lower(body) ~ '[мМ][оО][сС][тТ]'";
    QTest::newRow("no letter with another case")
        << QString("\u4e2d\u6587") << QString("lower(body) like '%\u4e2d\u6587%'");
    QTest::newRow("beyond the BMP") << QString("\U00010428") << QString("lower(body) ~ '[\U00010428\U00010400]'");
}

void TestArchiveSearch::wordConditions()
{
    QFETCH(QString, word);
    QFETCH(QString, condition);
    const QString sql = ArchiveSearchStatement({word}, QDate(2025, 3, 1), QDate(2026, 3, 1));
    QCOMPARE(sql, "select id,kop,datum from tblteksten where " + condition +
                      " and datum >= '20250301' and datum < '20260301'  order by datum desc");
}

void TestArchiveSearch::searchStatement()
{
    const QDate from(2025, 3, 1);
    const QDate until(2026, 3, 1);
    QCOMPARE(ArchiveSearchStatement({"fiets", "brug"}, from, until),
             QString("select id,kop,datum from tblteksten where lower(body) like '%fiets%' and lower(body) like "
                     "'%brug%' and datum >= '20250301' and datum < '20260301'  order by datum desc"));
    // No words (a text of spaces only): the range alone.
    QCOMPARE(ArchiveSearchStatement({}, from, until),
             QString("select id,kop,datum from tblteksten where datum >= '20250301' and datum < '20260301'  order by "
                     "datum desc"));
}

void TestArchiveSearch::tableOfYear_data()
{
    QTest::addColumn<QString>("datum");
    QTest::addColumn<QString>("table");
    // Only 1999 to 2001 have tables of their own; an older text is read
    // where the search found it.
    QTest::newRow("1997") << "19970612"
                          << "tblteksten";
    QTest::newRow("1998, the year before the first table") << "19981231"
                                                           << "tblteksten";
    QTest::newRow("1999") << "19990516"
                          << "tblteksten_1999";
    QTest::newRow("2001, last year with a table") << "20011231"
                                                  << "tblteksten_2001";
    QTest::newRow("2002") << "20020101"
                          << "tblteksten";
    QTest::newRow("today") << "20261210"
                           << "tblteksten";
    QTest::newRow("empty") << ""
                           << "tblteksten";
    QTest::newRow("no year") << "19x90101"
                             << "tblteksten";
    QTest::newRow("negative") << "-1990101"
                              << "tblteksten";
}

void TestArchiveSearch::tableOfYear()
{
    QFETCH(QString, datum);
    QFETCH(QString, table);
    QCOMPARE(ArchiveTableFor(datum), table);
    QCOMPARE(ArchiveReadStatement(204, datum), "select body,kop,datum,tijd from " + table + " where id = 204");
}

void TestArchiveSearch::plainText()
{
    QCOMPARE(ArchivePlainText("Kop", "een<br>twee<hrt>drie<HRT>vier<BR><hrt>"),
             QString("Kop\r\n\r\neentwee\r\ndrie<HRT>vier<BR>\r\n"));
    // The editor's escape for a typed "<" reads back as "<".
    QCOMPARE(ArchivePlainText("K", QString("a <\u2264>b<hrt>")), QString("K\r\n\r\na <b\r\n"));
}

void TestArchiveSearch::highlight_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QString>("shown");
    const QString on = "<bold><red>";
    const QString off = "<black><normal>";
    QTest::newRow("inside a longer word, any case")
        << "De Fietsbrug en de BRUG<hrt>" << QStringList{"brug"}
        << "De Fiets" + on + "BRUG" + off + " en de " + on + "BRUG" + off + "<hrt>";
    QTest::newRow("every word") << "raad en brug" << QStringList{"brug", "raad"}
                                << on + "RAAD" + off + " en " + on + "BRUG" + off;
    QTest::newRow("tags untouched") << "hrt<hrt>br<br>" << QStringList{"br", "hrt"}
                                    << on + "HRT" + off + "<hrt>" + on + "BR" + off + "<br>";
    QTest::newRow("inserted markup not matched again")
        << "rode bold" << QStringList{"bold", "red", "normal"} << "rode " + on + "BOLD" + off;
    QTest::newRow("longest word wins where both match")
        << "fietsbrug" << QStringList{"brug", "fietsbrug"} << on + "FIETSBRUG" + off;
    QTest::newRow("no words") << "tekst<br>" << QStringList{} << "tekst<br>";
    QTest::newRow("unclosed tag kept") << "a <b" << QStringList{"b"} << "a <b";
}

void TestArchiveSearch::highlight()
{
    QFETCH(QString, body);
    QFETCH(QStringList, words);
    QFETCH(QString, shown);
    QCOMPARE(HighlightWords(body, words), shown);
}

void TestArchiveSearch::viewMarkup()
{
    // Hard returns end the paragraph in the view too; soft breaks are the
    // view's to place again.
    QCOMPARE(ArchiveViewMarkup("Kop", "20261210", "de brug<br>voor de stad.<hrt>Bewoners<HRT>x", {"brug"}),
             QString("Kop\r\n<green>Van: <bold>do 10 dec 2026\r\n\r\n<black><normal>de "
                     "<bold><red>BRUG<black><normal><br>voor de stad.\r\nBewoners\r\nx"));
    QCOMPARE(ArchiveViewMarkup("K", "20261210", "Één op de zeeën", {"één", "zeeën"}),
             QString("K\r\n<green>Van: <bold>do 10 dec 2026\r\n\r\n<black><normal><bold><red>ÉÉN<black><normal> op "
                     "de <bold><red>ZEEËN<black><normal>"));
    QCOMPARE(ArchiveViewMarkup("Kop", "2026", QString("1 <\u2264> 2"), {}),
             QString("Kop\r\n<green>Van: <bold>2026\r\n\r\n<black><normal>1 &#60; 2"));
}

void TestArchiveSearch::resultLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("kop");
    QTest::addColumn<QString>("datum");
    QTest::addColumn<QString>("drawnDate");
    const QChar ff(0xFF);
    QTest::newRow("ordinary") << ArchiveResultLine("204", "Eerste windmolen", "20011108") << 204 << "Eerste windmolen"
                              << "20011108"
                              << "do 08 nov 2001";
    QTest::newRow("space and separator in kop")
        << QString("7 a b") + ff + "c" + ff + "20260101" << 7 << QString("a b") + ff + "c"
        << "20260101"
        << "do 01 jan 2026";
    QTest::newRow("bad date drawn as stored") << ArchiveResultLine("3", "k", "2026-1") << 3 << "k"
                                              << "2026-1"
                                              << "2026-1";
    QTest::newRow("no id") << "kop" << -1 << ""
                           << ""
                           << "";
}

void TestArchiveSearch::resultLines()
{
    QFETCH(QString, line);
    QFETCH(int, id);
    QFETCH(QString, kop);
    QFETCH(QString, datum);
    QFETCH(QString, drawnDate);
    const ArchiveLine parts = ParseArchiveResultLine(line);
    QCOMPARE(parts.id, id);
    QCOMPARE(parts.kop, kop);
    QCOMPARE(parts.datum, datum);
    QCOMPARE(ArchiveLineDate(parts.datum), drawnDate);
}

QTEST_GUILESS_MAIN(TestArchiveSearch)
#include "tst_archivesearch.moc"
