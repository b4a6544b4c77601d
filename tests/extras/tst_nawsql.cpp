// The address book's statements and server commands as text: the search of
// both kinds of book (with the LIKE escapes), the statements that store a
// contact, and the rest of what the window sends.

#include "extras/NawSql.h"

#include <QtTest>

using namespace extras;

class TestNawSql : public QObject {
    Q_OBJECT
private slots:
    void statements_data();
    void statements();
    void searchStatements_data();
    void searchStatements();
    void storeStatements();
};

void TestNawSql::statements_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("expected");
    QTest::newRow("places") << PlacesSql() << "select naam from tblwoonplaats order by naam";
    QTest::newRow("books") << BooksSql() << "select id,naam from tbladresboek order by naam";
    QTest::newRow("contacts in a book") << ContactCountSql(2) << "select count(*) from tblnaw where adresboek = 2";
    QTest::newRow("kind of a book") << BookTypeSql(2) << "select boektype from tbladresboek where id = 2";
    QTest::newRow("one contact") << ContactSql(44) << "select * from tblnaw where id = 44";
    QTest::newRow("book of a contact") << ContactBookSql(44) << "select adresboek from tblnaw where id = 44";
    QTest::newRow("delete a contact") << DeleteContactSql(44) << "delete from tblnaw where id = 44";
    QTest::newRow("lock name") << ContactLockName(44) << "naw_44";
    QTest::newRow("unlock") << UnlockContactCommand(44) << "unlock naw_44";
}

void TestNawSql::statements()
{
    QFETCH(QString, sql);
    QFETCH(QString, expected);
    QCOMPARE(sql, expected);
}

void TestNawSql::searchStatements_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("persons");
    QTest::addColumn<QString>("statement");
    const QString person = "select id,trim(voornaam) || rtrim(' ' || tussen) || ' ' || trim(naam),woonplaats from "
                           "tblnaw where adresboek = 3 and (lower(naam) like '%%1%' or lower(voornaam) like '%%1%') "
                           "order by naam";
    const QString other = "select id,trim(naam),woonplaats from tblnaw where adresboek = 3 and (lower(naam) like "
                          "'%%1%' or lower(voornaam) like '%%1%') order by naam";
    QTest::newRow("person book, lowered") << "BeRg" << true << person.arg("berg");
    QTest::newRow("organisation book") << "Gemeente" << false << other.arg("gemeente");
    QTest::newRow("empty text lists the book") << "" << true << person.arg("");
    QTest::newRow("quote escaped") << "O'Neill" << false << other.arg("o\\'neill");
    QTest::newRow("percent is no wildcard") << "100%" << false << other.arg("100\\\\%");
    QTest::newRow("underscore is no wildcard") << "a_b" << false << other.arg("a\\\\_b");
    QTest::newRow("backslash found as itself") << "a\\b" << false << other.arg("a\\\\\\\\b");
}

void TestNawSql::searchStatements()
{
    QFETCH(QString, text);
    QFETCH(bool, persons);
    QFETCH(QString, statement);
    QCOMPARE(NawSearchStatement(3, text, persons), statement);
}

void TestNawSql::storeStatements()
{
    NawContact c;
    c.naam = "O'Brien";
    c.voornaam = "Jan\\Piet";
    c.straat = "Dorpsstraat 1";
    c.postcode = "7411 AA";
    c.woonplaats = "Zwaluwstad";
    c.gebdatum = "19700101";
    c.email = "%s@example.nl";  // a format marker in a value stays text
    c.url = "www";
    c.memo = "m";
    c.tussen = "van";
    c.telefoon = "t";
    QCOMPARE(NawUpdateStatement(c, 42),
             QString("update tblnaw set naam = 'O\\'Brien', voornaam = 'Jan\\\\Piet', straat = 'Dorpsstraat 1', "
                     "postcode = '7411 AA', woonplaats = 'Zwaluwstad', gebdatum = '19700101', email = "
                     "'%s@example.nl', url = 'www', memo = 'm', tussen = 'van', telefoon = 't' where id = 42"));
    QCOMPARE(NawInsertStatement(c, 2),
             QString("insert into tblnaw (naam,voornaam,straat,postcode,woonplaats,gebdatum,email,url,memo,telefoon,"
                     "adresboek,tussen) values ('O\\'Brien','Jan\\\\Piet','Dorpsstraat 1','7411 AA','Zwaluwstad',"
                     "'19700101','%s@example.nl','www','m','t',2,'van')"));
}

QTEST_GUILESS_MAIN(TestNawSql)
#include "tst_nawsql.moc"
