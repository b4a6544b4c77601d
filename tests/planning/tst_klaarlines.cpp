// The ready list's and the evaluation's lines and statements, without a
// database.

#include "planning/AgendaLines.h"
#include "planning/KlaarSql.h"

#include <QtTest>

using namespace planning;

namespace {

QString line(const QStringList &fields)
{
    QString out;
    for (const QString &f : fields)
        out += f + FieldSeparator;
    return out;
}

}  // namespace

class TestKlaarLines : public QObject {
    Q_OBJECT
private slots:
    void reloadStatement_data();
    void reloadStatement();
    void backToTodo();
    void dayMenu();
    void lines();
    void evaluationStatements();
};

void TestKlaarLines::reloadStatement_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<QString>("order");
    QTest::newRow("on subject, ascending") << int(KlaarSortKey::Onderwerp) << false << "order by kort asc, kop";
    QTest::newRow("on headline, descending") << int(KlaarSortKey::Kop) << true << "order by kop desc, kort";
    QTest::newRow("on template") << int(KlaarSortKey::Template) << false << "order by naam asc, kop, kort";
}

// Five days back from Wednesday 12 March 2031, with the work date on Friday
// 14 March (weekday 6 counted from Sunday): the topics of 7 March, the
// automatic items of Fridays dated today.
void TestKlaarLines::reloadStatement()
{
    QFETCH(int, key);
    QFETCH(bool, descending);
    QFETCH(QString, order);
    QCOMPARE(
        KlaarReloadSql(8, QDate(2031, 3, 7), QDate(2031, 3, 12), QDate(2031, 3, 14), KlaarSortKey(key), descending),
        "select tod.id, tod.agendaid, tag.datum, tag.kort, tod.wie, tek.id, tek.kop, tmp.naam from tbltodo tod, "
        "tblteksten tek, tblagenda tag, tbltemplate tmp where tek.agendaid = tod.agendaid and tag.id = "
        "tod.agendaid and tod.redactie = '8' and tod.datum = '20310307' and tod.klaar and tmp.id = "
        "tek.template union select id,'-1','20310312' as datum,kort,wie,-1,'' as kop,'' as naam from "
        "tbltodoherhaal where redactie = 8 and substr(dagen,6,1) = 'x' and klaar " +
            order);
}

void TestKlaarLines::backToTodo()
{
    const QList<KlaarLine> selected{
        ParseKlaarLine(line({"31", "9001", "20310312", "Brug", "joost", "501", "Kop A", "Nieuws"})),
        ParseKlaarLine(line({"31", "9001", "20310312", "Brug", "joost", "502", "Kop B", "Nieuws"})),
        ParseKlaarLine(line({"5", "-1", "20310312", "Weer", "", "-1", "", ""})),
        ParseKlaarLine(line({"31", "9001", "20310312", "Brug", "joost", "503", "Kop C", "Kort"})),
        ParseKlaarLine(line({"32", "9002", "20310312", "Raad", "sanne", "504", "Kop D", "Nieuws"})),
    };
    QStringList got;
    for (const BackToTodoStep &s : BackToTodoSteps(selected))
        got << s.sql + " => " + s.broadcasts.join(" / ");
    QCOMPARE(got, QStringList({
                      "update tbltodo set klaar = false where id = 31 => broadcast klaar remove 31 / broadcast todo "
                      "new 31",
                      "update tbltodoherhaal set klaar = false where id = 5 => broadcast klaar remove 5 / broadcast "
                      "todo hnew 5",
                      "update tbltodo set klaar = false where id = 32 => broadcast klaar remove 32 / broadcast todo "
                      "new 32",
                  }));
}

void TestKlaarLines::dayMenu()
{
    const QList<KlaarDayItem> items = KlaarDayMenu(QDate(2031, 3, 12));
    QCOMPARE(items.size(), 21);
    QCOMPARE(items.first().caption + " " + QString::number(items.first().daysBack), QStringLiteral("di 11 mrt 1"));
    QCOMPARE(items.last().caption + " " + QString::number(items.last().daysBack), QStringLiteral("wo 19 feb 21"));
    QStringList separated;
    for (const KlaarDayItem &i : items)
        if (i.separatorAfter)
            separated << i.caption;
    QCOMPARE(separated, QStringList({"ma 10 mrt", "ma 03 mrt", "ma 24 feb"}));
}

void TestKlaarLines::lines()
{
    const KlaarLine k =
        ParseKlaarLine(line({"31", "9001", "20310312", "Brug open", "joost", "501", "Kop A", "Nieuws"}));
    QCOMPARE(QStringList({k.todoId, k.agendaId, k.datum, k.kort, k.wie, k.textId, k.kop, k.naam}).join('|'),
             QStringLiteral("31|9001|20310312|Brug open|joost|501|Kop A|Nieuws"));
    QVERIFY(!k.isAutomatic());
    QCOMPARE(KlaarLineHint(k), QStringLiteral("Kop A (Nieuws)"));
    const EvalLine e = ParseEvalLine(line({"2", "9003", "Raad"}));
    QCOMPARE(QString::number(e.group) + "|" + QString::number(e.listId) + "|" + e.kort, QStringLiteral("2|9003|Raad"));
    QCOMPARE(ParseEvalLine("rommel").group, -1);
}

void TestKlaarLines::evaluationStatements()
{
    QCOMPARE(EvalListSql(8, QDate(2031, 3, 12)),
             QStringList({"select 0,t.id,a.kort from tbltodo t, tblagenda a where t.redactie = 8 and t.klaar and a.id "
                          "= t.agendaid and t.datum = '20310312' order by a.kort ",
                          "select 1,t.id,a.kort from tbltodo t, tblagenda a where t.redactie = 8 and not t.klaar and "
                          "a.id = t.agendaid and t.datum = '20310312' order by a.kort ",
                          "select 2,a.id,a.kort from tblagenda a where a.datum = '20310312' and a.id not in (select "
                          "agendaid from tbltodo where datum = '20310312') and a.redactie = 8 "}));
    QCOMPARE(EvalTopicSql(2, 9003), QStringLiteral("select kort,lang,id from tblagenda where id = 9003"));
    QCOMPARE(EvalTopicSql(1, 31), QStringLiteral("select a.kort,a.lang,a.id from tblagenda a, tbltodo t where a.id = "
                                                 "t.agendaid and t.id = 31 "));
    QCOMPARE(EvalRescheduleSql(QDate(2031, 3, 13), 9001),
             QStringLiteral("update tblagenda set datum = '20310313' where id = 9001 "));
    QCOMPARE(EvalTopicMarkup(0, "Brug", "Lang verhaal"),
             QStringLiteral("Onderwerp:\r\n<bold>Brug\r\n\r\n<green>Afkomstig van de klaarlijst<normal><black>\r\n\r\n"
                            "Lang verhaal\r\n\r\n<bold><green>Wat gaat u met dit onderwerp doen?"));
}

QTEST_APPLESS_MAIN(TestKlaarLines)
#include "tst_klaarlines.moc"
