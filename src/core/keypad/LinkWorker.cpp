#include "LinkWorker.h"

LinkWorker::~LinkWorker()
{
    stop();
}

void LinkWorker::post(std::function<void()> job)
{
    std::lock_guard lock(m_mutex);
    if (m_stopping)
        return;
    m_jobs.push_back(std::move(job));
    if (!m_thread.joinable())
        m_thread = std::thread([this] { run(); });
    m_cond.notify_one();
}

int LinkWorker::pending() const
{
    std::lock_guard lock(m_mutex);
    return int(m_jobs.size()) + m_running;
}

void LinkWorker::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_jobs.clear();
        m_cond.notify_all();
    }
    if (m_thread.joinable())
        m_thread.join();
}

void LinkWorker::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_cond.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
        if (m_stopping)
            return;
        std::function<void()> job = std::move(m_jobs.front());
        m_jobs.pop_front();
        ++m_running;
        lock.unlock();
        job();
        lock.lock();
        --m_running;
    }
}
