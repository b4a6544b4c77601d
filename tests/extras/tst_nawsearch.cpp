// The address book without widgets: the entries, the phone field, a
// contact's row and the 200-contact rule.

#include "extras/NawSearch.h"

#include <QtTest>

using namespace extras;

class TestNawSearch : public QObject {
    Q_OBJECT
private slots:
    void entries();
    void phones_data();
    void phones();
    void rowByPosition();
    void bookRules();
};

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
    QTest::newRow("empty ones kept in place")
        << QString(ff) + "06-1" + ff + ff + "0570" + ff << QStringList{"", "06-1", "", "0570"};
    QTest::newRow("empty field") << "" << QStringList{"", "", "", ""};
    QTest::newRow("short field") << QString("1") + ff << QStringList{"1", "", "", ""};
    QTest::newRow("extra numbers dropped")
        << QString("1") + ff + "2" + ff + "3" + ff + "4" + ff + "5" + ff << QStringList{"1", "2", "3", "4"};
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
