#pragma once
// Database work off the event loop.
//
// DESIGN: a fixed number of worker threads, each with its own libpq
// connection made on first use and made again after it breaks. Work is a
// function that receives the connection (nullptr when the database cannot be
// reached) and posts its result back to the event loop itself, so no client
// ever waits for another client's database call.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct pg_conn;

namespace qserver {

class DbPool {
public:
    using Work = std::function<void(pg_conn *)>;

    DbPool(std::string conninfo, int workers);
    ~DbPool();
    DbPool(const DbPool &) = delete;
    DbPool &operator=(const DbPool &) = delete;

    void submit(Work work);

    // Finishes the queued work and joins the workers.
    void stop();

private:
    void run();

    std::string m_conninfo;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Work> m_queue;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

// A libpq connection string; values are quoted for libpq.
std::string makeConninfo(const std::string &host, int port, const std::string &db, const std::string &user,
                         const std::string &password);

}  // namespace qserver
