#pragma once
// A few threads for slow work that is not the database's: fetching feeds,
// reading agency files. Work queued after stop() is dropped.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace qserver::import {

class Workers {
public:
    using Work = std::function<void()>;
    explicit Workers(int threads);
    ~Workers();
    Workers(const Workers &) = delete;
    Workers &operator=(const Workers &) = delete;

    void submit(Work work);
    // Finishes the work under way, drops what waits, joins the threads.
    void stop();

private:
    void run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Work> m_queue;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

}  // namespace qserver::import
