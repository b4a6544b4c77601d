// The archive search with words beyond ASCII, on PostgreSQL 15 over protocol
// 3.0 and 13 over 2.0, through the client's own connection: what an editor
// types, what the search finds in a small fixture of Dutch (and other)
// texts, and that a word with accents still reads the trigram index.

#include "db/Postgres.h"
#include "support/TestDatabase.h"
#include "texts/ArchiefSearch.h"

#include <QtTest>

#include <map>
#include <memory>

namespace {

// 1-13: the fixture, all dated within the range searched.
const char *kTexts = "insert into tblteksten (id, kop, body, datum) values "
                     "(1, 'a', 'Één keer per jaar<hrt>', '20260110'),"
                     "(2, 'b', 'Zij won<br>één prijs', '20260111'),"
                     "(3, 'c', 'Op de zeeën van de wereld', '20260112'),"
                     "(4, 'd', 'ZEEËN EN OCEANEN', '20260113'),"
                     "(5, 'e', 'Onze buren in België', '20260114'),"
                     "(6, 'f', 'BELGIË wint', '20260115'),"
                     "(7, 'g', 'Maës en Thiers', '20260116'),"
                     "(8, 'h', 'Mais en massa', '20260117'),"
                     "(9, 'i', 'Een en ander', '20260118'),"
                     "(10, 'j', 'Москва стоит', '20260119'),"
                     "(11, 'k', 'МОСКВА', '20260120'),"
                     "(12, 'l', 'Een café in Zeeland', '20260121'),"
                     "(13, 'm', 'CAFÉ DE ZON', '20260122')";

}  // namespace

class TestArchiveWords : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void findsWhatItShould_data();
    void findsWhatItShould();
    void accentedWordReadsTheIndex();

private:
    // The fixture's database and the client's session on it, per major version.
    struct Cluster {
        std::unique_ptr<testsupport::TestDatabase> database;
        db::TPostgres pg;
    };
    std::map<int, Cluster> m_clusters;
};

void TestArchiveWords::initTestCase()
{
    QUILLON_REQUIRE_PG(15);
    QUILLON_REQUIRE_PG(13);
    for (int major : {15, 13}) {
        Cluster &c = m_clusters[major];
        c.database = std::make_unique<testsupport::TestDatabase>(major);
        QVERIFY2(c.database->ok(), qPrintable(c.database->error()));
        QVERIFY2(c.database->exec(QString::fromUtf8(kTexts)), qPrintable(c.database->lastError()));
        c.pg.setHost(c.database->server().host);
        c.pg.setPort(c.database->server().port);
        c.pg.setProtocolVersion(major >= 14 ? 3 : 2);
        QString error;
        QVERIFY2(c.pg.Open(&error), qPrintable(error));
        // 2.0 cannot carry scram-sha-256; on 13 the md5 role stands in for the client's.
        c.pg.Connect(c.database->name(),
                     major >= 14 ? QString::fromLatin1(testsupport::kClientUser) : QStringLiteral("quillon_md5"),
                     QString::fromLatin1(testsupport::kClientPassword));
        QVERIFY(c.pg.Connected());
    }
}

void TestArchiveWords::findsWhatItShould_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("ids");  // newest first, as listed
    struct Case {
        const char *name;
        const char *typed;
        QList<int> ids;
    };
    const QList<Case> cases = {
        {"één in any case", "één", {2, 1}},
        {"typed with capitals", "ÉÉN", {2, 1}},
        {"zeeën, not Zeeland", "Zeeën", {4, 3}},
        {"België", "belgië", {6, 5}},
        {"Maës, not Mais", "Maës", {7}},
        {"Cyrillic in any case", "москва", {11, 10}},
        {"two words, one accented", "één prijs", {2}},
        {"accented and ASCII words", "café zon", {13}},
        {"een finds no één", "een ander", {9}},
    };
    for (int major : {15, 13})
        for (const Case &c : cases)
            QTest::addRow("PG %d: %s", major, c.name) << major << QString::fromUtf8(c.typed) << c.ids;
}

void TestArchiveWords::findsWhatItShould()
{
    QFETCH(int, major);
    QFETCH(QString, typed);
    QFETCH(QList<int>, ids);
    db::TPostgres &pg = m_clusters.at(major).pg;
    const QString sql =
        texts::ArchiveSearchStatement(texts::SplitSearchWords(typed), QDate(2026, 1, 1), QDate(2026, 2, 1));
    const auto rs = pg.Query(sql);
    QVERIFY2(rs->ok(), qPrintable(rs->error() + "\n" + sql));
    QList<int> found;
    for (int i = 0; i < rs->RowCount(); ++i)
        found << rs->Row(i).at(0).toInt();
    QCOMPARE(found, ids);
}

// Enough texts for the planner to care; the accented word is in one in a thousand.
void TestArchiveWords::accentedWordReadsTheIndex()
{
    QUILLON_REQUIRE_PG(15);
    testsupport::TestDatabase database(15);
    QVERIFY2(database.ok(), qPrintable(database.error()));
    QVERIFY2(database.exec("insert into tblteksten (kop, body, datum) select 'Kop ' || g,"
                           " 'De tekst<br>nummer ' || md5(g::text) ||"
                           " case when g % 1000 = 7 then ' over Maës' else ' over iets' end || '<hrt>',"
                           " to_char(date '2024-06-01' + (g % 700), 'YYYYMMDD')"
                           " from generate_series(1, 30000) g"),
             qPrintable(database.lastError()));
    QVERIFY(database.exec("analyze tblteksten"));
    const QString sql = texts::ArchiveSearchStatement(texts::SplitSearchWords(QStringLiteral("MAËS")),
                                                      QDate(2024, 6, 1), QDate(2026, 6, 1));
    QStringList plan;
    for (const QStringList &r : database.query("explain " + sql))
        plan << r.value(0);
    QVERIFY2(plan.join('\n').contains("tblteksten_body_trgm_idx"), qPrintable(plan.join('\n')));
    QCOMPARE(database.query(sql).size(), 30);
}

QTEST_GUILESS_MAIN(TestArchiveWords)
#include "tst_archivewords.moc"
