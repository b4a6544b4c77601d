#include "publish/Publisher.h"

#include "Log.h"
#include "db/DbPool.h"

namespace qserver::publish {

class Publisher::WorkerSink : public Sink {
public:
    WorkerSink(Publisher &owner, std::uint64_t connection) : m_owner(owner), m_connection(connection) {}
    void progress(const std::string &line) override
    {
        m_owner.m_post([progress = m_owner.m_progress, c = m_connection, line] { progress(c, line); });
    }
    void claim(const std::vector<std::string> &keys, const std::function<void()> &waiting) override
    {
        m_owner.claim(keys, waiting);
    }
    void release(const std::vector<std::string> &keys) override { m_owner.release(keys); }

private:
    Publisher &m_owner;
    std::uint64_t m_connection;
};

Publisher::Publisher(PublisherSettings settings, Post post, ProgressFn progress)
    : m_settings(std::move(settings)), m_post(std::move(post)), m_progress(std::move(progress))
{
    initDelivery();
    m_settings.delivery.stop = &m_stopping;
    for (int i = 0; i < m_settings.workers; ++i)
        m_threads.emplace_back([this] { work(); });
}

Publisher::~Publisher()
{
    stop();
}

void Publisher::submit(Request request, DoneFn done)
{
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back({std::move(request), std::move(done)});
    }
    m_wake.notify_one();
}

void Publisher::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_freed.notify_all();
    for (std::thread &t : m_threads)
        if (t.joinable())
            t.join();
    m_threads.clear();
}

void Publisher::work()
{
    DbConnection db(m_settings.conninfo, m_settings.statementLimit);
    while (true) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            if (m_stopping)
                return;
            job = std::move(m_queue.front());
            m_queue.pop_front();
        }
        WorkerSink sink(*this, job.request.connection);
        logInfo(std::string(job.request.preview ? "preview" : "publication") + " for " + job.request.login +
                " started (" + std::to_string(job.request.rubrics.size()) + " rubrics)");
        auto outcome = std::make_shared<Outcome>(run(db, job.request, m_settings.folders, m_settings.delivery, sink));
        logInfo(std::string(job.request.preview ? "preview" : "publication") + " for " + job.request.login +
                " ended: " + std::to_string(outcome->files) + " files, " + std::to_string(outcome->failed) + " failed");
        m_post([done = std::move(job.done), outcome] {
            if (done)
                done(*outcome);
        });
    }
}

void Publisher::claim(const std::vector<std::string> &keys, const std::function<void()> &waiting)
{
    std::unique_lock lock(m_mutex);
    auto free = [&] {
        for (const std::string &k : keys)
            if (m_held.count(k))
                return false;
        return true;
    };
    if (!free()) {
        lock.unlock();
        waiting();
        lock.lock();
        // A stopping server lets the run go on without waiting: its
        // deliveries give up at once anyway.
        m_freed.wait(lock, [&] { return m_stopping || free(); });
    }
    m_held.insert(keys.begin(), keys.end());
}

void Publisher::release(const std::vector<std::string> &keys)
{
    {
        std::lock_guard lock(m_mutex);
        for (const std::string &k : keys)
            m_held.erase(k);
    }
    m_freed.notify_all();
}

}  // namespace qserver::publish
