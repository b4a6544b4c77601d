// The address search must use the trigram indexes on lower(naam) and
// lower(voornaam): with a book large enough for the planner to care, EXPLAIN
// of the statement the window sends names both, in either kind of book.

#include "extras/NawSql.h"
#include "support/TestDatabase.h"

#include <QtTest>

#include <memory>

class TestNawPlan : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void usesTrigramIndexes_data();
    void usesTrigramIndexes();

private:
    std::unique_ptr<testsupport::TestDatabase> m_db;
};

void TestNawPlan::initTestCase()
{
    QUILLON_REQUIRE_PG(15);
    m_db = std::make_unique<testsupport::TestDatabase>(15);
    QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
    // 100,000 contacts in book 1 (below that a sequential scan is as good);
    // twenty are called Zwartkop.
    QVERIFY2(m_db->exec("insert into tblnaw (voornaam, naam, woonplaats, adresboek) select 'Voornaam' || (g % 100),"
                        " case when g % 5000 = 0 then 'Zwartkop' else 'Naam' || md5(g::text) end, 'Zwaluwstad', 1"
                        " from generate_series(1, 100000) g"),
             qPrintable(m_db->lastError()));
    QVERIFY(m_db->exec("analyze tblnaw"));
}

void TestNawPlan::usesTrigramIndexes_data()
{
    QTest::addColumn<bool>("persons");
    QTest::newRow("person book") << true;
    QTest::newRow("organisation book") << false;
}

void TestNawPlan::usesTrigramIndexes()
{
    QFETCH(bool, persons);
    const QString sql = extras::NawSearchStatement(1, "ZwartKop", persons);
    const QList<QStringList> rows = m_db->query("explain " + sql);
    QVERIFY2(!rows.isEmpty(), qPrintable(m_db->lastError()));
    QStringList plan;
    for (const QStringList &r : rows)
        plan << r.value(0);
    const QString text = plan.join('\n');
    QVERIFY2(text.contains("tblnaw_naam_trgm_idx") && text.contains("tblnaw_voornaam_trgm_idx"), qPrintable(text));
    QCOMPARE(m_db->query(sql).size(), 20);
}

QTEST_GUILESS_MAIN(TestNawPlan)
#include "tst_nawplan.moc"
