#include "core/Database.h"

#include "core/Global.h"
#include "db/Postgres.h"
#include "platform/Cursor.h"
#include "platform/Dialogs.h"

namespace core {

namespace {

std::unique_ptr<db::TPostgresRecordSet> run(const QString &sql, bool keepRows,
                                            const db::TPostgresRowSink *sink = nullptr)
{
    db::TPostgres *post = state().post;
    if (!post) {
        auto none = std::make_unique<db::TPostgresRecordSet>();
        none->setFailure(db::TPostgresOutcome::NotConnected,
                         QStringLiteral("Internal error:\ngeen verbinding met de database"));
        return none;
    }
    platform::BusyCursor busy;
    auto result = sink ? post->Run(sql, *sink) : post->Run(sql, keepRows);
    // A session that ended on the way (the backend's "terminating
    // connection", a broken socket) is the main window's to report, once
    // and in Dutch, whoever's statement found it.
    if (!result->ok() && result->outcome() != db::TPostgresOutcome::NotConnected && post->Connected())
        platform::showError(result->error());
    return result;
}

}  // namespace

std::unique_ptr<db::TPostgresRecordSet> Query(const QString &sql)
{
    return run(sql, true);
}

bool Execute(const QString &sql)
{
    return run(sql, false)->ok();
}

std::unique_ptr<db::TPostgresRecordSet> QueryRows(const QString &sql, const db::TPostgresRowSink &eachRow)
{
    return run(sql, true, &eachRow);
}

TTransaction::TTransaction()
{
    m_ok = core::Execute(QStringLiteral("begin"));
}

TTransaction::~TTransaction()
{
    if (m_open) {
        m_ok = false;  // an abandoned group (an early return, an exception) must not be stored half
        Commit();
    }
}

bool TTransaction::Execute(const QString &sql)
{
    if (m_ok)
        m_ok = core::Execute(sql);
    return m_ok;
}

std::unique_ptr<db::TPostgresRecordSet> TTransaction::Query(const QString &sql)
{
    if (!m_ok) {
        auto none = std::make_unique<db::TPostgresRecordSet>();
        none->setFailure(db::TPostgresOutcome::BackendError, QStringLiteral("eerder statement mislukt"));
        return none;
    }
    auto result = core::Query(sql);
    m_ok = result->ok();
    return result;
}

bool TTransaction::Commit()
{
    if (!m_open)
        return m_ok;
    m_open = false;
    if (m_ok)
        return m_ok = core::Execute(QStringLiteral("end"));
    // Nothing to roll back on a session that is gone: the backend has done it.
    db::TPostgres *post = state().post;
    if (post && post->Connected())
        core::Execute(QStringLiteral("rollback"));
    return false;
}

}  // namespace core
