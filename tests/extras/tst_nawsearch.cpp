// The address book without widgets: the search statements of both kinds of
// book (with the LIKE escapes), the entries, the phone field, the statements
// that store a contact and the 200-contact rule.

#include "extras/NawSearch.h"

#include <QtTest>

using namespace extras;

class TestNawSearch : public QObject {
    Q_OBJECT
private slots:
    void searchStatements_data();
    void searchStatements();
    void entries();
    void phones_data();
    void phones();
    void storeStatements();
    void rowByPosition();
    void bookRules();
};

void TestNawSearch::searchStatements_data()
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

void TestNawSearch::searchStatements()
{
    QFETCH(QString, text);
    QFETCH(bool, persons);
    QFETCH(QString, statement);
    QCOMPARE(NawSearchStatement(3, text, persons), statement);
}

void TestNawSearch::entries()
{
    const QChar ff(0xFF);
    const QString e = NawEntry("12", "Hanneke van der Berg", "Zwaluwstad");
    QCOMPARE(e, QString("12 Hanneke van der Berg") + ff + "Zwaluwstad");
    QCOMPARE(NawEntryId(e), 12);
    QCOMPARE(NawEntryName(e), QString("Hanneke van der Berg"));
    QCOMPARE(NawEntryPlace(e), QString("Zwaluwstad"));
    QCOMPARE(NawEntryId("geen id"), -1);
    QCOMPARE(NawEntryPlace(NawEntry("1", "Naam", "")), QString());
}

void TestNawSearch::phones_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("numbers");
    const QChar ff(0xFF);
    QTest::newRow("four numbers") << QString("1") + ff + "2" + ff + "3" + ff + "4" + ff
                                  << QStringList{"1", "2", "3", "4"};
    QTest::newRow("empty ones kept in place") << QString(ff) + "06-1" + ff + ff + "0570" + ff
                                              << QStringList{"", "06-1", "", "0570"};
    QTest::newRow("empty field") << "" << QStringList{"", "", "", ""};
    QTest::newRow("short field") << QString("1") + ff << QStringList{"1", "", "", ""};
    QTest::newRow("extra numbers dropped") << QString("1") + ff + "2" + ff + "3" + ff + "4" + ff + "5" + ff
                                           << QStringList{"1", "2", "3", "4"};
}

void TestNawSearch::phones()
{
    QFETCH(QString, stored);
    QFETCH(QStringList, numbers);
    QCOMPARE(SplitPhones(stored), numbers);
    const QChar ff(0xFF);
    QCOMPARE(JoinPhones(numbers), numbers.join(ff) + ff);
    QCOMPARE(JoinPhones({" 1 ", "2"}), QString("1") + ff + "2" + ff + ff + ff);
}

void TestNawSearch::storeStatements()
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

void TestNawSearch::rowByPosition()
{
    QStringList row;
    for (int i = 0; i <= 16; ++i)
        row << QString("f%1").arg(i);
    const NawContact c = NawContactFromRow(row);
    QCOMPARE(QStringList({c.voornaam, c.naam, c.straat, c.postcode, c.woonplaats, c.email, c.url, c.gebdatum, c.memo,
                          c.telefoon, c.tussen}),
             QStringList({"f1", "f2", "f3", "f4", "f5", "f6", "f7", "f8", "f9", "f10", "f16"}));
    // A short row gives empty fields, not a crash.
    QCOMPARE(NawContactFromRow({"1", "a"}).tussen, QString());
}

void TestNawSearch::bookRules()
{
    QCOMPARE(MinimumSearchLength(0), 0);
    QCOMPARE(MinimumSearchLength(200), 0);
    QCOMPARE(MinimumSearchLength(201), 2);
    QCOMPARE(BookKindFromType("1"), BookKind::Persons);
    QCOMPARE(BookKindFromType("2"), BookKind::Organisations);
    QCOMPARE(BookKindFromType("3"), BookKind::Other);
    QCOMPARE(BookKindFromType(""), BookKind::Other);
}

QTEST_GUILESS_MAIN(TestNawSearch)
#include "tst_nawsearch.moc"
