// The seam between the windows and the database client: what the user sees
// of a failed statement, and statements grouped between "begin" and "end"
// that are rolled back as a whole when one fails.

#include "core/Database.h"
#include "core/Global.h"
#include "db/Postgres.h"
#include "platform/Cursor.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

#include <QTest>

using platform::BoxType;
using testsupport::ScriptedDialogs;

class TestDatabaseSeam : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QUILLON_REQUIRE_PG(15);
        m_db = std::make_unique<testsupport::TestDatabase>(15);
        QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
        QVERIFY(m_db->exec("create table t (id integer primary key); grant all on t to quillon"));
        m_post.setHost(m_db->server().host);
        m_post.setPort(m_db->server().port);
        QVERIFY(m_post.Open());
        m_post.Connect(m_db->name(), testsupport::kClientUser, testsupport::kClientPassword);
        QVERIFY(m_post.Connected());
        m_post.OnStatement = [this](const QString &sql) { m_sent << sql; };
        core::state().post = &m_post;
    }
    void init()
    {
        QVERIFY(m_db->exec("delete from t"));
        m_sent.clear();
    }
    void cleanupTestCase() { core::state().post = nullptr; }

    void failedStatementShowsOneBox()
    {
        ScriptedDialogs dialogs;
        QStringList cursor;
        platform::setCursorHook([&](bool busy) { cursor.append(busy ? QStringLiteral("on") : QStringLiteral("off")); });
        dialogs.expectBox(BoxType::Error, QStringLiteral("ERROR:  relation \"geen\" does not exist at character 15"));
        const auto rs = core::Query(QStringLiteral("select * from geen"));
        QVERIFY(!rs->ok());
        QCOMPARE(rs->RowCount(), 0);
        QVERIFY(core::Execute(QStringLiteral("insert into t values (1)")));
        platform::setCursorHook({});
        QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join('\n')));
        QCOMPARE(cursor, QStringList({"on", "off", "on", "off"}));  // the hourglass while each runs
    }

    // Rows: the statements of the group, which one fails (-1: none), whether
    // Commit is called, and what was sent and stored.
    void transaction_data()
    {
        QTest::addColumn<QStringList>("group");
        QTest::addColumn<bool>("commit");
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("committed");
        const QString ins1 = QStringLiteral("insert into t values (1)"),
                      ins2 = QStringLiteral("insert into t values (2)");
        const QString dup = QStringLiteral("insert into t values (1)");
        QTest::newRow("all work: begin, statements, end")
            << QStringList{ins1, ins2} << true << QStringList{"begin", ins1, ins2, "end"} << "1,2" << true;
        QTest::newRow("second fails: rollback instead of end, nothing stored")
            << QStringList{ins1, dup, ins2} << true << QStringList{"begin", ins1, dup, "rollback"} << "" << false;
        QTest::newRow("abandoned without commit: rolled back")
            << QStringList{ins1} << false << QStringList{"begin", ins1, "rollback"} << "" << false;
    }
    void transaction()
    {
        QFETCH(QStringList, group);
        QFETCH(bool, commit);
        QFETCH(QStringList, sent);
        QFETCH(QString, stored);
        QFETCH(bool, committed);
        ScriptedDialogs dialogs;
        if (!committed && commit)
            dialogs.expectBox(BoxType::Error, QStringLiteral("ERROR:  duplicate key value violates unique constraint "
                                                             "\"t_pkey\"\nDETAIL:  Key (id)=(1) already exists."));
        bool result = false;
        {
            core::TTransaction t;
            for (const QString &sql : group)
                t.Execute(sql);
            if (commit)
                result = t.Commit();
        }
        QCOMPARE(result, committed);
        QCOMPARE(m_sent, sent);
        QStringList ids;
        for (const QStringList &row : m_db->query("select id from t order by id"))
            ids << row[0];
        QCOMPARE(ids.join(','), stored);
        QCOMPARE(m_post.transactionStatus(), db::TPostgresTransaction::Idle);
        QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join('\n')));
    }

    // A session that is gone: the statements say so without a box (the main
    // window tells the editor), and the group reports nothing stored.
    void lostSession()
    {
        db::TPostgres closed;
        core::state().post = &closed;
        ScriptedDialogs dialogs;
        QCOMPARE(core::Query(QStringLiteral("select 1"))->outcome(), db::TPostgresOutcome::NotConnected);
        core::TTransaction t;
        QVERIFY(!t.Execute(QStringLiteral("insert into t values (1)")));
        QVERIFY(!t.Commit());
        QVERIFY(dialogs.shown().isEmpty());
        core::state().post = &m_post;
    }

    // The backend ends the session (a database that stops, an administrator):
    // its "FATAL" reply arrives with the statement that finds it, idle or
    // saving. That is a lost session, not a refused statement: no box (the
    // main window says so in Dutch), the statement reports failure, and the
    // group stores nothing.
    void sessionEndedByTheBackend()
    {
        const QString pid = core::Query(QStringLiteral("select pg_backend_pid()"))->Row(0).at(0);
        QVERIFY(m_db->exec("select pg_terminate_backend(" + pid + ")"));
        ScriptedDialogs dialogs;
        bool told = false;
        m_post.OnDisconnect = [&told] { told = true; };
        auto rs = core::Query(QStringLiteral("select 1"));
        QVERIFY(!rs->ok());
        QVERIFY2(rs->error().contains("terminating connection"), qPrintable(rs->error()));
        QVERIFY(told);
        QVERIFY(!m_post.Connected());
        core::TTransaction t;
        QVERIFY(!t.Execute(QStringLiteral("insert into t values (2)")));
        QVERIFY(!t.Commit());
        QVERIFY2(dialogs.shown().isEmpty(), qPrintable(dialogs.shown().join('\n')));
        m_post.OnDisconnect = {};
    }

private:
    std::unique_ptr<testsupport::TestDatabase> m_db;
    db::TPostgres m_post;
    QStringList m_sent;
};

QTEST_MAIN(TestDatabaseSeam)
#include "tst_database.moc"
