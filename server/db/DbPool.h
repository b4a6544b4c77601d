#pragma once
// Database work off the event loop.
//
// DESIGN: a fixed number of worker threads, each with its own libpq
// connection (a DbConnection) made on first use. Work is a function that
// receives the worker's DbConnection and posts its result back to the event
// loop itself, so no client ever waits for another client's database call.
// A database that restarted leaves every pooled connection broken; a
// statement on a broken connection therefore reconnects and runs once more
// before it fails. A database that stops answering must not hang the
// callers: connecting has libpq's connect_timeout, and every statement has a
// time limit both in the database (statement_timeout) and in the wait for
// its answer, which also catches a frozen database server.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct pg_conn;
struct pg_result;

namespace qserver {

// One worker's connection.
class DbConnection {
public:
    DbConnection(std::string conninfo, std::chrono::milliseconds statementLimit)
        : m_conninfo(std::move(conninfo)), m_limit(statementLimit)
    {}
    ~DbConnection();
    DbConnection(const DbConnection &) = delete;
    DbConnection &operator=(const DbConnection &) = delete;

    // Runs `sql` with text parameters and returns its result (PQclear it),
    // or nullptr and `error` when the database could not be reached, did not
    // answer within the time limit or reported an error.
    pg_result *exec(const char *sql, const std::vector<std::string> &params, std::string &error);

private:
    bool connect(std::string &error);
    // One attempt; `broken` tells whether the connection itself failed.
    pg_result *attempt(const char *sql, const std::vector<std::string> &params, std::string &error, bool &broken);
    void drop();

    std::string m_conninfo;
    std::chrono::milliseconds m_limit;
    pg_conn *m_conn = nullptr;
};

class DbPool {
public:
    using Work = std::function<void(DbConnection &)>;

    DbPool(std::string conninfo, int workers, std::chrono::milliseconds statementLimit);
    ~DbPool();
    DbPool(const DbPool &) = delete;
    DbPool &operator=(const DbPool &) = delete;

    void submit(Work work);

    // Finishes the queued work and joins the workers.
    void stop();

private:
    void run();

    std::string m_conninfo;
    std::chrono::milliseconds m_limit;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Work> m_queue;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

// A libpq connection string; values are quoted for libpq. The statement
// time limit is set for the session, so the database itself ends a
// statement that runs too long.
std::string makeConninfo(const std::string &host, int port, const std::string &db, const std::string &user,
                         const std::string &password, int connectTimeoutSeconds = 10,
                         std::chrono::milliseconds statementLimit = std::chrono::milliseconds(0));

}  // namespace qserver
