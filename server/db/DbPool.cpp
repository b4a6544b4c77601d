#include "db/DbPool.h"

#include "Log.h"

#include <libpq-fe.h>

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
}  // namespace

std::string makeConninfo(const std::string &host, int port, const std::string &db, const std::string &user,
                         const std::string &password)
{
    return "host=" + quote(host) + " port=" + std::to_string(port) + " dbname=" + quote(db) + " user=" + quote(user) +
           " password=" + quote(password) + " connect_timeout=10 application_name='quillon-server'";
}

DbPool::DbPool(std::string conninfo, int workers) : m_conninfo(std::move(conninfo))
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
    PGconn *conn = nullptr;
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
        if (conn && PQstatus(conn) != CONNECTION_OK) {
            PQfinish(conn);
            conn = nullptr;
        }
        if (!conn) {
            conn = PQconnectdb(m_conninfo.c_str());
            if (PQstatus(conn) != CONNECTION_OK) {
                logError(std::string("database: ") + PQerrorMessage(conn));
                PQfinish(conn);
                conn = nullptr;
            }
        }
        work(conn);
    }
    if (conn)
        PQfinish(conn);
}

}  // namespace qserver
