#include "FolderWork.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {
struct State
{
    std::mutex mutex;
    std::condition_variable idle;
    int running = 0;
    int own = 0; // of running: not handed on, nor run by work handed on
    std::deque<std::function<void()>> queue;
    bool workerActive = false;
    std::thread worker;
    std::vector<std::function<void()>> whenIdle;

    ~State()
    {
        // A program that ended without waiting: the work is cut short by the exit anyway, but a
        // thread still joinable here would abort the exit.
        if (worker.joinable())
            worker.join();
    }
};

// Work run by this thread: a Running alive on it, or the piece the background thread runs.
thread_local int t_runningHere = 0;

State &state()
{
    static State s;
    return s;
}

// Set on the thread that runs work handed on.
thread_local bool onWorker = false;

void begin(bool own)
{
    std::lock_guard lock(state().mutex);
    ++state().running;
    if (own)
        ++state().own;
}

void end(bool own)
{
    State &s = state();
    std::vector<std::function<void()>> then;
    {
        std::lock_guard lock(s.mutex);
        if (own)
            --s.own;
        if (--s.running > 0)
            return;
        then.swap(s.whenIdle);
    }
    s.idle.notify_all();
    for (const auto &call : then)
        call();
}

void work()
{
    State &s = state();
    onWorker = true;
    for (;;) {
        std::function<void()> next;
        {
            std::lock_guard lock(s.mutex);
            if (s.queue.empty()) {
                s.workerActive = false;
                return;
            }
            next = std::move(s.queue.front());
            s.queue.pop_front();
        }
        ++t_runningHere;
        next();
        --t_runningHere;
        end(false);
    }
}
} // namespace

namespace FolderWork {

Running::Running() : m_own(!onWorker)
{
    ++t_runningHere;
    begin(m_own);
}

Running::~Running()
{
    --t_runningHere;
    end(m_own);
}

void runInBackground(std::function<void()> job)
{
    State &s = state();
    std::thread finished;
    {
        std::lock_guard lock(s.mutex);
        ++s.running;
        s.queue.push_back(std::move(job));
        if (s.workerActive)
            return;
        s.workerActive = true;
        // The thread of the work before has returned already, or is about to.
        finished = std::move(s.worker);
        s.worker = std::thread(work);
    }
    if (finished.joinable())
        finished.join();
}

bool running()
{
    std::lock_guard lock(state().mutex);
    return state().running > 0;
}

bool onlyHandedOnRuns()
{
    std::lock_guard lock(state().mutex);
    return state().running > 0 && state().own == 0;
}

bool runningOnThisThread()
{
    return t_runningHere > 0;
}

void whenIdle(std::function<void()> then)
{
    {
        std::lock_guard lock(state().mutex);
        if (state().running > 0) {
            state().whenIdle.push_back(std::move(then));
            return;
        }
    }
    then();
}

void waitUntilIdle()
{
    State &s = state();
    std::thread finished;
    {
        std::unique_lock lock(s.mutex);
        s.idle.wait(lock, [&] { return s.running == 0; });
        if (!s.workerActive)
            finished = std::move(s.worker);
    }
    if (finished.joinable())
        finished.join();
}

} // namespace FolderWork
