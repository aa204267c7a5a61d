#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// One background thread that runs the link's slow jobs (probing ports, opening a receiver with
// its settle pause, the same-channel query) one after another, so the GUI thread never sleeps.
class LinkWorker
{
public:
    LinkWorker() = default;
    ~LinkWorker();
    LinkWorker(const LinkWorker &) = delete;
    LinkWorker &operator=(const LinkWorker &) = delete;

    void post(std::function<void()> job);
    // Jobs queued or running.
    int pending() const;
    // Ends the thread after the running job; queued jobs are dropped.
    void stop();

private:
    void run();

    mutable std::mutex m_mutex;
    std::condition_variable m_cond;
    std::deque<std::function<void()>> m_jobs;
    std::thread m_thread;
    bool m_stopping = false;
    int m_running = 0;
};
