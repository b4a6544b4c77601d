// The sources frame's and the source search's statements, commands and line
// rules, without widgets or a database.

#include "incoming/BronnenSql.h"

#include <QtTest>

using namespace incoming;

class TestBronnenSql : public QObject {
    Q_OBJECT
private slots:
    void statements_data();
    void statements();
    void bronadd_data();
    void bronadd();
    void hitsInDateOrder();
    void markWord();
    void lines();
};

void TestBronnenSql::statements_data()
{
    QTest::addColumn<QString>("got");
    QTest::addColumn<QString>("expected");
    QTest::newRow("sources") << SourcesSql() << "select id,naam from tblnet order by naam";
    QTest::newRow("items newest first") << ItemsSql(12)
                                        << "select id,datum,time,kop from tblnetinfo where netid = 12 order by datum "
                                           "desc, time desc";
    QTest::newRow("item text") << ItemTextSql(7) << "select body,url from tblnetinfo where id = 7";
    QTest::newRow("item view") << ItemViewSql(7) << "select kop,datum,body,time from tblnetinfo where id = 7";
    QTest::newRow("refresh job") << RefreshCommand(12, "Nieuws")
                                 << "job new eenmalig \"import 12\" \"Verversen van Nieuws\"";
    QTest::newRow("refresh ended") << RefreshEnd("log Verversen van Nieuws klaar: 2 nieuwe berichten (9 in de feed)",
                                                 "Nieuws")
                                   << "Verversen van Nieuws klaar: 2 nieuwe berichten (9 in de feed)";
    QTest::newRow("refresh failed") << RefreshEnd("log Verversen van Nieuws mislukt: bron 12 bestaat niet", "Nieuws")
                                    << "Verversen van Nieuws mislukt: bron 12 bestaat niet";
    QTest::newRow("refresh started is no end") << RefreshEnd("log Verversen van Nieuws gestart (eva)", "Nieuws") << "";
    QTest::newRow("another source's end") << RefreshEnd("log Verversen van Nieuwsbrief klaar: 1 nieuw bericht (1 in "
                                                        "de feed)",
                                                        "Nieuws")
                                          << "";
    QTest::newRow("search internet, escaped and lower case")
        << SearchNetSql("O'Brien\\")
        << "select id,kop,datum from tblnetinfo where lower(kop) like '%o\\'brien\\\\%' or lower(body) like "
           "'%o\\'brien\\\\%' ";
    QTest::newRow("search anp, empty matches all")
        << SearchAnpSql("") << "select id,kop,datum from tblanp where lower(kop) like '%%' or lower(body) like '%%' ";
    QTest::newRow("hit internet") << HitSql("internet", 3) << "select body,kop,datum from tblnetinfo where id = 3";
    QTest::newRow("hit anp") << HitSql("anp", 4) << "select body,kop,datum from tblanp where id = 4";
    QTest::newRow("hit of another kind") << HitSql("teletext", 4) << "";
}

void TestBronnenSql::statements()
{
    QFETCH(QString, got);
    QFETCH(QString, expected);
    QCOMPARE(got, expected);
}

void TestBronnenSql::bronadd_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("shown");  // the source shown
    QTest::addColumn<QString>("line");  // what goes on top; "" nothing
    QTest::newRow("the shown source") << "internet 3 41 20261210 09:05:00 Raad stemt" << 3
                                      << "41 20261210 09:05:00 Raad stemt";
    QTest::newRow("blanks after kind and id") << "internet   3   41 20261210 09:05 Kop" << 3 << "41 20261210 09:05 Kop";
    QTest::newRow("another source") << "internet 4 41 20261210 09:05:00 Kop" << 3 << "";
    QTest::newRow("id with a longer prefix") << "internet 31 41 20261210 09:05:00 Kop" << 3 << "";
    QTest::newRow("another kind") << "anp 3 41 20261210 09:05:00 Kop" << 3 << "";
    QTest::newRow("no id") << "internet Kop" << 3 << "";
}

void TestBronnenSql::bronadd()
{
    QFETCH(QString, argument);
    QFETCH(int, shown);
    QFETCH(QString, line);
    QCOMPARE(BronaddLine(argument, shown), line);
}

void TestBronnenSql::hitsInDateOrder()
{
    // Newest date on top; among equal dates the hit inserted last stands first.
    QStringList lines;
    const struct {
        const char *kind, *id, *datum;
    } hits[] = {{"internet", "1", "20261209"},
                {"internet", "2", "20261210"},
                {"anp", "3", "20261209"},
                {"anp", "4", "20261211"},
                {"anp", "5", "20261208"}};
    for (const auto &h : hits)
        lines.insert(HitInsertPosition(lines, QString::fromLatin1(h.datum)),
                     HitLine(QString::fromLatin1(h.kind), QString::fromLatin1(h.id), QString::fromLatin1(h.datum),
                             QStringLiteral("kop met spaties")));
    QStringList ids;
    for (const QString &l : lines)
        ids << ParseHit(l).kind + ParseHit(l).id;
    QCOMPARE(ids.join(' '), QStringLiteral("anp4 internet2 anp3 internet1 anp5"));
    QCOMPARE(ParseHit(lines[0]).kop, QStringLiteral("kop met spaties"));
}

void TestBronnenSql::markWord()
{
    QCOMPARE(MarkWord("Brug open; de BRUG en brugwachter", "brug"),
             QStringLiteral("<bold><red>BRUG<black><normal> open; de <bold><red>BRUG<black><normal> en "
                            "<bold><red>BRUG<black><normal>wachter"));
    QCOMPARE(MarkWord("niets", ""), QStringLiteral("niets"));
    QCOMPARE(HitMarkup("Kop", "20261210", "tekst"),
             QStringLiteral("<bold>Kop<normal> <green>do 10 dec 2026<black>\r\n\r\ntekst"));
    QCOMPARE(HitMarkup("Kop", "onzin", "t"), QStringLiteral("<bold>Kop<normal> <green>onzin<black>\r\n\r\nt"));
}

void TestBronnenSql::lines()
{
    QCOMPARE(ItemLine({"41", "20261210", "09:05:00", "Raad stemt"}), QStringLiteral("41 20261210 09:05:00 Raad stemt"));
    const ItemDrawText d = ItemDrawParts("41 20261210 09:05:00 Raad stemt");
    QCOMPARE(d.when, QStringLiteral("10 dec 09:05"));
    QCOMPARE(d.title, QStringLiteral("Raad stemt"));
    QCOMPARE(ItemDrawParts("41 kapot 09:05 Kop").when, QStringLiteral("09:05"));  // unreadable date left out
    QCOMPARE(BoardCaption("FAX"), QStringLiteral("Fax"));
    QCOMPARE(BoardCaption("redactie"), QStringLiteral("Redactie"));
    QCOMPARE(LinkTarget("www.example.org/a"), QStringLiteral("http://www.example.org/a"));
    QCOMPARE(LinkTarget(" HTTP://www.example.org/a"), QStringLiteral(" HTTP://www.example.org/a"));
    QCOMPARE(LinkTarget("https://www.example.org/a"), QStringLiteral("https://www.example.org/a"));
    QCOMPARE(ItemViewMarkup("Kop", "20261210", "09:05:00", "Tekst"),
             QStringLiteral("<bold>Kop<normal>\r\n<green>Opgehaald op <bold>do 10 dec 2026<normal> om "
                            "<bold>09:05:00<normal><black>\r\n\r\nTekst"));
}

QTEST_GUILESS_MAIN(TestBronnenSql)
#include "tst_bronnensql.moc"
