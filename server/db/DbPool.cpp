#include "db/DbPool.h"

#include "Log.h"

#include <libpq-fe.h>
#include <poll.h>

#include <cerrno>

namespace qserver {

namespace {
std::string quote(const std::string &v)
{
    std::string out = "'";
    for (char c : v) {
        if (c == '\'' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "'";
}

// The database sees the limit first; the wait for the answer allows a
// little more, so a statement the database ends reports the database's own
// error text.
constexpr std::chrono::milliseconds kAnswerGrace(1000);

std::string trimmed(const char *message)
{
    std::string s = message ? message : "";
    while (!s.empty() && (s.back() == '\n' || s.back() == ' '))
        s.pop_back();
    return s;
}
}  // namespace

std::string makeConninfo(const std::string &host, int port, const std::string &db, const std::string &user,
                         const std::string &password, int connectTimeoutSeconds,
                         std::chrono::milliseconds statementLimit)
{
    std::string info = "host=" + quote(host) + " port=" + std::to_string(port) + " dbname=" + quote(db) +
                       " user=" + quote(user) + " password=" + quote(password) +
                       " connect_timeout=" + std::to_string(connectTimeoutSeconds) +
                       " application_name='quillon-server'";
    if (statementLimit.count() > 0)
        info += " options='-c statement_timeout=" + std::to_string(statementLimit.count()) + "'";
    return info;
}

DbConnection::~DbConnection()
{
    drop();
}

void DbConnection::drop()
{
    if (m_conn)
        PQfinish(m_conn);
    m_conn = nullptr;
}

bool DbConnection::connect(std::string &error)
{
    if (m_conn && PQstatus(m_conn) == CONNECTION_OK)
        return true;
    drop();
    m_conn = PQconnectdb(m_conninfo.c_str());
    if (PQstatus(m_conn) != CONNECTION_OK) {
        error = trimmed(PQerrorMessage(m_conn));
        drop();
        return false;
    }
    return true;
}

PGresult *DbConnection::attempt(const char *sql, const std::vector<std::string> &params, std::string &error,
                                bool &broken)
{
    broken = false;
    std::vector<const char *> values;
    for (const std::string &p : params)
        values.push_back(p.c_str());
    if (!PQsendQueryParams(m_conn, sql, int(values.size()), nullptr, values.data(), nullptr, nullptr, 0)) {
        error = trimmed(PQerrorMessage(m_conn));
        broken = PQstatus(m_conn) != CONNECTION_OK;
        return nullptr;
    }
    const auto deadline = std::chrono::steady_clock::now() + m_limit + kAnswerGrace;
    PGresult *last = nullptr;
    while (true) {
        while (PQisBusy(m_conn)) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                // A frozen database: nothing will come on this connection.
                error = "the database did not answer within " + std::to_string(m_limit.count()) + " ms";
                if (last)
                    PQclear(last);
                drop();
                return nullptr;
            }
            pollfd p{PQsocket(m_conn), POLLIN, 0};
            const int r = ::poll(&p, 1, int(left.count()));
            if (r < 0 && errno != EINTR) {
                error = "poll failed";
                broken = true;
                drop();
                return nullptr;
            }
            if (r > 0 && !PQconsumeInput(m_conn)) {
                error = trimmed(PQerrorMessage(m_conn));
                broken = PQstatus(m_conn) != CONNECTION_OK;
                if (last)
                    PQclear(last);
                return nullptr;
            }
        }
        PGresult *r = PQgetResult(m_conn);
        if (!r)
            break;
        if (last)
            PQclear(last);
        last = r;
    }
    const ExecStatusType status = last ? PQresultStatus(last) : PGRES_FATAL_ERROR;
    if (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK)
        return last;
    error = trimmed(last ? PQresultErrorMessage(last) : PQerrorMessage(m_conn));
    broken = PQstatus(m_conn) != CONNECTION_OK;
    if (last)
        PQclear(last);
    return nullptr;
}

PGresult *DbConnection::exec(const char *sql, const std::vector<std::string> &params, std::string &error)
{
    for (int round = 0; round < 2; ++round) {
        const bool fresh = !m_conn;
        if (!connect(error))
            return nullptr;
        bool broken = false;
        if (PGresult *r = attempt(sql, params, error, broken))
            return r;
        // A pooled connection the database dropped (a restart): once more on
        // a new one. A fresh connection that fails is not tried again.
        if (!broken || fresh)
            return nullptr;
        logThrottled(LogLevel::Warning, "connection lost", "database: connection lost (" + error + "), reconnecting");
        drop();
    }
    return nullptr;
}

DbPool::DbPool(std::string conninfo, int workers, std::chrono::milliseconds statementLimit)
    : m_conninfo(std::move(conninfo)), m_limit(statementLimit)
{
    for (int i = 0; i < workers; ++i)
        m_threads.emplace_back([this] { run(); });
}

DbPool::~DbPool()
{
    stop();
}

void DbPool::submit(Work work)
{
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(work));
    }
    m_wake.notify_one();
}

void DbPool::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    for (std::thread &t : m_threads)
        if (t.joinable())
            t.join();
    m_threads.clear();
}

void DbPool::run()
{
    DbConnection conn(m_conninfo, m_limit);
    while (true) {
        Work work;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            if (m_queue.empty())
                break;
            work = std::move(m_queue.front());
            m_queue.pop_front();
        }
        work(conn);
    }
}

}  // namespace qserver
