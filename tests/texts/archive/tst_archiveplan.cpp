// The archive search must use the trigram index on lower(body): with enough
// texts for the planner to care, EXPLAIN of the very statement the window
// sends names tblteksten_body_trgm_idx, for one word and for several.

#include "support/TestDatabase.h"
#include "texts/ArchiefSearch.h"

#include <QtTest>

#include <memory>

class TestArchivePlan : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void usesTrigramIndex_data();
    void usesTrigramIndex();

private:
    std::unique_ptr<testsupport::TestDatabase> m_db;
};

void TestArchivePlan::initTestCase()
{
    QUILLON_REQUIRE_PG(15);
    m_db = std::make_unique<testsupport::TestDatabase>(15);
    QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
    // 30,000 texts over two years; "woordNNN" occurs in one text in a thousand.
    QVERIFY2(m_db->exec("insert into tblteksten (kop, body, datum) select 'Kop ' || g,"
                        " 'De tekst<br>nummer ' || md5(g::text) || ' met woord' || (g % 1000) || '<hrt>',"
                        " to_char(date '2024-06-01' + (g % 700), 'YYYYMMDD')"
                        " from generate_series(1, 30000) g"),
             qPrintable(m_db->lastError()));
    QVERIFY(m_db->exec("analyze tblteksten"));
}

void TestArchivePlan::usesTrigramIndex_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("one word") << "woord123";
    QTest::newRow("two words") << "woord123 nummer";
}

void TestArchivePlan::usesTrigramIndex()
{
    QFETCH(QString, text);
    const QString sql =
        texts::ArchiveSearchStatement(texts::SplitSearchWords(text), QDate(2024, 6, 1), QDate(2026, 6, 1));
    const QList<QStringList> rows = m_db->query("explain " + sql);
    QVERIFY2(!rows.isEmpty(), qPrintable(m_db->lastError()));
    QStringList plan;
    for (const QStringList &r : rows)
        plan << r.value(0);
    QVERIFY2(plan.join('\n').contains("tblteksten_body_trgm_idx"), qPrintable(plan.join('\n')));
    // And the statement finds what it should.
    QCOMPARE(m_db->query(sql).size(), 30);
}

QTEST_GUILESS_MAIN(TestArchivePlan)
#include "tst_archiveplan.moc"
