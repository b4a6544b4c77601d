// The production list's line format and statements, without a database.

#include "planning/TodoSql.h"

#include <QtTest>

using namespace planning;

class TestTodoLines : public QObject {
    Q_OBJECT
private slots:
    void lines_data();
    void lines();
    void statements_data();
    void statements();
};

void TestTodoLines::lines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("fields");  // todo|agenda|datum|wie|kort|automatic
    QTest::newRow("production item") << TodoLineText({"31", "9001", "20310312", "joost", "Brug open"})
                                     << "31|9001|20310312|joost|Brug open|0";
    QTest::newRow("automatic item, nobody assigned")
        << TodoLineText({"5", "-1", "20310312", "", "Weerbericht"}) << "5|-1|20310312||Weerbericht|1";
    QTest::newRow("title with spaces and digits")
        << TodoLineText({"7", "12", "20310312", "sanne", "12 doden, -3 graden"})
        << "7|12|20310312|sanne|12 doden, -3 graden|0";
    QTest::newRow("garbage") << "abc"
                             << "|||||0";
}

void TestTodoLines::lines()
{
    QFETCH(QString, line);
    QFETCH(QString, fields);
    const TodoLine t = ParseTodoLine(line);
    QCOMPARE(QStringList({t.todoId, t.agendaId, t.datum, t.wie, t.kort, t.isAutomatic() ? "1" : "0"}).join(u'|'),
             fields);
}

void TestTodoLines::statements_data()
{
    QTest::addColumn<QString>("composed");
    QTest::addColumn<QString>("expected");
    const QDate wednesday(2031, 3, 12);
    QTest::newRow("reload: today, the team, weekday 4 from Sunday")
        << TodoReloadSql(wednesday, 8)
        << "select tod.id,tag.id,tag.datum,tod.wie,tag.kort as kort from tbltodo tod, tblagenda  tag where "
           "tod.agendaid = tag.id and tod.datum = '20310312' and tod.redactie = 8 and tag.redactie = tod.redactie "
           "and not klaar union select id,'-1','20310312' as datum,wie,kort from tbltodoherhaal where redactie = 8 "
           "and substr(dagen,4,1) = 'x' and not klaar  order by kort";
    QTest::newRow("fetch a production line")
        << TodoFetchSql(31, 8)
        << "select tod.id,tag.id,tag.datum,tod.wie,tag.kort as kort from tbltodo tod, tblagenda  tag where "
           "tod.agendaid = tag.id and tod.id = 31 and tod.redactie = 8";
    QTest::newRow("fetch an automatic line, Sunday is 1")
        << TodoFetchAutomaticSql(5, QDate(2031, 3, 16), 8)
        << "select id,'-1','20310316' as datum,wie,kort from tbltodoherhaal where redactie = 8 "
           "and substr(dagen,1,1) = 'x' and not klaar and id = 5";
    QTest::newRow("version count, two spaces")
        << VersionCountSql(9001) << "select count(*) from tblteksten where agendaid =  9001";
    QTest::newRow("assign") << TodoAssignSql("o'brien", 31) << "update tbltodo set wie = 'o\\'brien' where id = 31";
    QTest::newRow("empty topic") << EmptyTopicWarning("Brug open")
                                 << "Onderwerp \"Brug open\" is leeg, maak eerst versies aan!";
}

void TestTodoLines::statements()
{
    QFETCH(QString, composed);
    QFETCH(QString, expected);
    QCOMPARE(composed, expected);
}

QTEST_APPLESS_MAIN(TestTodoLines)
#include "tst_todolines.moc"
