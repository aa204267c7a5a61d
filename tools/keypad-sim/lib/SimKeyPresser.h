#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace keypadsim {

class SimReceiver;

// Students pressing keys whatever the program is doing, as a class does while the teacher plugs
// the receiver in or starts the program: every `everyMs` one of the keypads 1 to `keypads` (in
// turn) answers, A to D in turn, on a thread of its own, for `forMs` (0: until stopped). Pressed
// while the receiver is pulled out, a key reaches nobody, as a keypad's radio does.
class SimKeyPresser
{
public:
    SimKeyPresser(SimReceiver &receiver, int keypads, int everyMs, int forMs = 0);
    ~SimKeyPresser();
    SimKeyPresser(const SimKeyPresser &) = delete;
    SimKeyPresser &operator=(const SimKeyPresser &) = delete;

    void stop();
    int presses() const { return m_presses.load(); }

private:
    void run(int keypads, int everyMs, int forMs);

    SimReceiver &m_sim;
    std::mutex m_mutex;
    std::condition_variable m_cond;
    bool m_stop = false;
    std::atomic<int> m_presses{0};
    std::thread m_thread;
};

} // namespace keypadsim
