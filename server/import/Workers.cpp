#include "import/Workers.h"

namespace qserver::import {

Workers::Workers(int threads)
{
    for (int i = 0; i < threads; ++i)
        m_threads.emplace_back([this] { run(); });
}

Workers::~Workers()
{
    stop();
}

void Workers::submit(Work work)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping)
            return;
        m_queue.push_back(std::move(work));
    }
    m_wake.notify_one();
}

void Workers::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_queue.clear();
    }
    m_wake.notify_all();
    for (std::thread &t : m_threads)
        if (t.joinable())
            t.join();
    m_threads.clear();
}

void Workers::run()
{
    while (true) {
        Work work;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            if (m_stopping)
                break;
            work = std::move(m_queue.front());
            m_queue.pop_front();
        }
        work();
    }
}

}  // namespace qserver::import
