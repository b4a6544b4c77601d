// The publishing window without widgets: the rubric selection string, the
// "publish" progress lines applied as a table, the dry run's answer and the
// statements the window composes.

#include "output/PublishLogic.h"
#include "output/PublishSql.h"

#include <QtTest>

using namespace output;

class TestPublishLogic : public QObject {
    Q_OBJECT
private slots:
    void selection_data();
    void selection();
    void progress_data();
    void progress();
    void refusedRun();
    void elapsed();
    void preview();
    void statements_data();
    void statements();
};

using Columns = QList<QList<QPair<int, bool>>>;
Q_DECLARE_METATYPE(Columns)

void TestPublishLogic::selection_data()
{
    QTest::addColumn<Columns>("columns");
    QTest::addColumn<QString>("selection");
    QTest::newRow("nothing checked is a single space") << Columns{{{1, false}, {2, false}}} << " ";
    QTest::newRow("no columns") << Columns{} << " ";
    QTest::newRow("column order, then list order") << Columns{{{12, true}, {3, false}}, {{7, true}}} << " 12 7 ";
    QTest::newRow("a rubric in two columns is sent once")
        << Columns{{{2, true}, {4, true}}, {{2, true}, {6, true}}} << " 2 4 6 ";
    QTest::newRow("an id that is the end of another is still added") << Columns{{{12, true}, {2, true}}} << " 12 2 ";
}

void TestPublishLogic::selection()
{
    QFETCH(Columns, columns);
    QFETCH(QString, selection);
    QCOMPARE(CollectSelection(columns), selection);
    QList<int> ids;
    for (const auto &column : columns)
        for (const auto &[id, checked] : column)
            if (checked && !ids.contains(id))
                ids << id;
    QCOMPARE(SelectionIds(selection), ids);
}

namespace {
// The progress state as one line: files | bars | clock busy done finished | log.
QString dump(const TPublishProgress &p)
{
    return p.files.join(QLatin1Char(',')) +
           QStringLiteral(" | %1/%2 %3/%4 | ").arg(p.bar1).arg(p.bar1Max).arg(p.bar3).arg(p.bar3Max) +
           QStringLiteral("%1%2%3%4 | ")
               .arg(p.clockRunning ? "C" : "-", p.busy ? "B" : "-", p.done ? "D" : "-", p.finished ? "F" : "-") +
           p.log.join(QLatin1Char(','));
}
}  // namespace

void TestPublishLogic::progress_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("state");
    const QString scripts = "<bold><blue>Bezig met maken van scripts<normal><black>...";
    const QString sending = "<bold><blue>Bezig met verzenden van scripts<normal><black>...";
    const QString ready = "<bold><green>Klaar met publiceren<normal><black>...";
    QTest::newRow("nothing yet") << QStringList{} << " | 0/100 0/100 | -B-- | ";
    QTest::newRow("setbar starts the clock") << QStringList{"setbar 3"} << " | 0/3 0/100 | CB-- | ";
    QTest::newRow("doelfiles fills the list")
        << QStringList{"setbar 2", "doelfiles a.txt|b b.xml|"} << "0 a.txt,0 b b.xml | 0/2 0/100 | CB-- | " + scripts;
    QTest::newRow("a whole run") << QStringList{"setbar 2",           "doelfiles a|b|", "export a",    "exportdone a",
                                                "export b",           "exportdone b",   "exportklaar", "setbarup 2",
                                                "upload a",           "uploaddone a",   "upload b",    "error b",
                                                "log <red>b mislukt", "klaar"}
                                 << "4 a,5 b | 2/2 2/2 | --DF | " + scripts + "," + sending + ",<red>b mislukt," +
                                        ready;
    QTest::newRow("exportdone without export still advances")
        << QStringList{"setbar 1", "doelfiles a|", "exportdone a"} << "2 a | 1/1 0/100 | CB-- | " + scripts;
    QTest::newRow("error advances the sending bar") << QStringList{"setbarup 4", "error x"} << " | 0/100 1/4 | -B-- | ";
    QTest::newRow("a file never announced changes nothing but the bar")
        << QStringList{"doelfiles a|", "upload z", "uploaddone z"} << "0 a | 0/100 1/100 | -B-- | " + scripts;
    QTest::newRow("names compare exactly")
        << QStringList{"doelfiles a|A|", "export A", "upload a "} << "0 a,1 A | 0/100 0/100 | -B-- | " + scripts;
    QTest::newRow("sub-kind in any case, unknown ones ignored")
        << QStringList{"SetBar 5", "verzin iets", "LOG hallo"} << " | 0/5 0/100 | CB-- | hallo";
    QTest::newRow("setbar restarts the first bar")
        << QStringList{"setbar 2", "exportdone a", "setbar 3"} << " | 0/3 0/100 | CB-- | ";
}

void TestPublishLogic::progress()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, state);
    TPublishProgress p;
    StartRun(p);
    const QDateTime t0(QDate(2031, 3, 12), QTime(9, 0));
    for (const QString &l : lines)
        ApplyProgress(p, l, t0);
    QCOMPARE(dump(p), state);
    if (!lines.isEmpty() && lines.first().toLower().startsWith(QLatin1String("setbar ")))
        QCOMPARE(p.started, t0);
}

void TestPublishLogic::refusedRun()
{
    TPublishProgress p;
    StartRun(p);
    RunRefused(p);
    QCOMPARE(dump(p), QStringLiteral(
                          " | 0/100 0/100 | ---F | <bold><red>Publiceren mislukt: de server heeft de opdracht geweigerd"
                          "<normal><black>"));
}

void TestPublishLogic::elapsed()
{
    const QDateTime t0(QDate(2031, 3, 12), QTime(9, 0));
    QCOMPARE(ElapsedText(t0, t0.addSecs(3723)), QStringLiteral("01:02:03"));
    QCOMPARE(ElapsedText(t0, t0.addSecs(-5)), QStringLiteral("00:00:00"));
    QCOMPARE(EntryText(QStringLiteral("1 a.txt")), QStringLiteral("a.txt ..."));
    QCOMPARE(EntryText(QStringLiteral("2 a.txt")), QStringLiteral("a.txt "));
    QCOMPARE(EntryText(QStringLiteral("4 a.txt")), QStringLiteral("a.txt ok"));
    QCOMPARE(EntryText(QStringLiteral("5 a.txt")), QStringLiteral("a.txt mislukt"));
}

void TestPublishLogic::preview()
{
    TPreview p;
    for (const char *l : {"bestand 3 verschil Nieuws & co", "regel 3  <kop>", "regel 3 -oud", "regel 3 +nieuw",
                          "regel 3", "bestand 5 nieuw Sport", "regel 5 +eerste", "bestand 7 nieuw Kapot",
                          "fout 7 template ontbreekt", "regel 99 +van niemand", "rommel"})
        p.apply(QString::fromLatin1(l));
    QCOMPARE(p.files().size(), 3);
    QCOMPARE(PreviewEntry(p.files()[0]), QStringLiteral("3 Nieuws & co (2 regels anders)"));
    QCOMPARE(PreviewEntry(p.files()[1]), QStringLiteral("5 Sport (nieuw)"));
    QCOMPARE(PreviewEntry(p.files()[2]), QStringLiteral("7 Kapot (kan niet gemaakt worden)"));
    QCOMPARE(PreviewMarkup(p.files()[0]),
             QStringLiteral("<bold>Nieuws &amp; co<normal>\nVerschil met wat het laatst is verzonden:\n"
                            "<black>  &#60;kop>\n<red>- oud\n<green>+ nieuw\n<black>  "));
    QCOMPARE(PreviewMarkup(p.files()[1]),
             QStringLiteral("<bold>Sport<normal>\nNog nooit verzonden; zo gaat het eruit:\n<black>eerste"));
    QCOMPARE(PreviewMarkup(p.files()[2]), QStringLiteral("<bold>Kapot<normal>\n<red>template ontbreekt"));
}

void TestPublishLogic::statements_data()
{
    QTest::addColumn<QString>("got");
    QTest::addColumn<QString>("expected");
    QTest::newRow("programmes") << PublishProgrammesSql(3)
                                << "select id,naam from tblzenders where id in (select progid from tblredpubrub where "
                                   "redid = 3) order by naam";
    QTest::newRow("rubrics of a column")
        << PublishRubricsSql(2)
        << "select r.id,r.naam from tblrubriek r, tblzenderrubriek z where z.zender = 2 and r.id = z.rubriek and not "
           "r.onair order by r.naam";
    QTest::newRow("job lists") << JobListsSql(1)
                               << "select id,naam from tbldefaultjoblist where redactieid = 1 order by naam";
    QTest::newRow("apply") << JobListRubricsSql(4) << "select rubs from tbldefaultjoblist where id = 4";
    QTest::newRow("save, escaped") << InsertJobListSql("Jan's lijst %2", " 1 2 ", 1)
                                   << "insert into tbldefaultjoblist (naam,rubs,redactieid) values ('Jan\\'s lijst "
                                      "%2',' 1 2 ',1)";
    QTest::newRow("change") << UpdateJobListSql("a\\b", " ", 9)
                            << "update tbldefaultjoblist set naam = 'a\\\\b', rubs = ' ' where id = 9";
    QTest::newRow("delete") << DeleteJobListSql(9) << "delete from tbldefaultjoblist where id = 9";
    QTest::newRow("publish, two spaces before the first id") << PublishCommand(" 12 7 ") << "publiceer  12 7 ";
    QTest::newRow("dry run") << PreviewCommand(" ") << "voorbeeld  ";
}

void TestPublishLogic::statements()
{
    QFETCH(QString, got);
    QFETCH(QString, expected);
    QCOMPARE(got, expected);
}

QTEST_GUILESS_MAIN(TestPublishLogic)
#include "tst_publishlogic.moc"
