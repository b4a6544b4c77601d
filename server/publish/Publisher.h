#pragma once
// Publications ("publiceer") and dry runs ("voorbeeld") off the event loop.
//
// DESIGN. A fixed number of publication workers, each with its own database
// connection, take requests in arrival order and run them (Publication.h).
// Everything a run reports goes back to the loop through `post`: progress
// lines for the client that asked (queued there like every other message,
// so a client that disconnects simply stops receiving them while the run
// goes on), and the outcome at the end. Two runs never write the same target
// file or local file at once: a run holds its files while it builds and
// delivers them, and a run that needs a file another one holds waits for it
// (and says so). Stopping the server interrupts uploads and kills Batch
// commands, then joins the workers.

#include "publish/Publication.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace qserver::publish {

struct PublisherSettings {
    std::string conninfo;
    std::chrono::milliseconds statementLimit{5000};
    int workers = 2;
    Folders folders;
    DeliveryOptions delivery;
};

class Publisher {
public:
    using Post = std::function<void(std::function<void()>)>;  // runs a function on the event loop
    using ProgressFn = std::function<void(std::uint64_t connection, const std::string &line)>;  // on the loop
    using DoneFn = std::function<void(const Outcome &)>;  // on the loop

    Publisher(PublisherSettings settings, Post post, ProgressFn progress);
    ~Publisher();
    Publisher(const Publisher &) = delete;
    Publisher &operator=(const Publisher &) = delete;

    // Queues a run; `done` is called on the loop when it has ended.
    void submit(Request request, DoneFn done);

    // Interrupts running deliveries and joins the workers.
    void stop();

private:
    struct Job {
        Request request;
        DoneFn done;
    };
    class WorkerSink;
    void work();
    void claim(const std::vector<std::string> &keys, const std::function<void()> &waiting);
    void release(const std::vector<std::string> &keys);

    PublisherSettings m_settings;
    Post m_post;
    ProgressFn m_progress;
    std::mutex m_mutex;
    std::condition_variable m_wake;  // a job arrived, or stopping
    std::condition_variable m_freed;  // files were released
    std::deque<Job> m_queue;
    std::set<std::string> m_held;  // keys of files some run holds
    std::atomic<bool> m_stopping{false};
    std::vector<std::thread> m_threads;
};

}  // namespace qserver::publish
