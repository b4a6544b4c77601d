// The client core's statements as text.

#include "core/CoreSql.h"

#include <QtTest>

using namespace core;

class TestCoreSql : public QObject {
    Q_OBJECT
private slots:
    void statements_data();
    void statements();
};

void TestCoreSql::statements_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("expected");
    QTest::newRow("rights") << UserRightsSql(3) << "select rights from tbluser where userid = 3";
    QTest::newRow("the editor's teams by name") << UserTeamsSql(3)
                                                << "select * from tblredactie where id in (select redactieid from "
                                                   "tblredactieuser where userid = 3) order by naam";
    QTest::newRow("address books") << AddressBooksSql() << "select id,naam from tbladresboek order by naam";
    QTest::newRow("one team") << TeamSql(7) << "select naam,color from tblredactie where id = 7";
    QTest::newRow("login name") << LoginNameSql(-1) << "select loginnaam from tbluser where userid = -1";
}

void TestCoreSql::statements()
{
    QFETCH(QString, sql);
    QFETCH(QString, expected);
    QCOMPARE(sql, expected);
}

QTEST_GUILESS_MAIN(TestCoreSql)
#include "tst_coresql.moc"
