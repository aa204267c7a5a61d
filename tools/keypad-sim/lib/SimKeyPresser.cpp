#include "SimKeyPresser.h"

#include "SimReceiver.h"

#include <algorithm>
#include <chrono>

namespace keypadsim {

SimKeyPresser::SimKeyPresser(SimReceiver &receiver, int keypads, int everyMs, int forMs) : m_sim(receiver)
{
    m_thread = std::thread([this, keypads, everyMs, forMs] { run(std::max(1, keypads), std::max(1, everyMs), forMs); });
}

SimKeyPresser::~SimKeyPresser()
{
    stop();
    if (m_thread.joinable())
        m_thread.join();
}

void SimKeyPresser::stop()
{
    std::lock_guard lock(m_mutex);
    m_stop = true;
    m_cond.notify_all();
}

void SimKeyPresser::run(int keypads, int everyMs, int forMs)
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto next = start;
    for (int press = 0;; ++press) {
        if (forMs > 0 && Clock::now() - start >= std::chrono::milliseconds(forMs))
            return;
        m_sim.answer(1 + press % keypads, QString(QChar(u'A' + press % 4)));
        ++m_presses;
        next += std::chrono::milliseconds(everyMs);
        std::unique_lock lock(m_mutex);
        if (m_cond.wait_until(lock, next, [this] { return m_stop; }))
            return;
    }
}

} // namespace keypadsim
