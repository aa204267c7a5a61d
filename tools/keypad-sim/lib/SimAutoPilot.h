#pragma once

#include "SimActivity.h"
#include "SimReceiver.h"

#include <QStringList>

#include <atomic>
#include <random>
#include <thread>

namespace keypadsim {

// A class that plays along on its own: when the program wakes the keypads they log in as
// students "S001".. (or, once in, one of them answers the wake call), and when a question starts each keypad answers after a short, random
// pause: the right answer (from the answer list, by question number) for most of them, another
// option for the rest, and a few do not answer at all. Seeded, so a run can be repeated.
class SimAutoPilot
{
public:
    struct Options
    {
        int keypads = 24;
        QStringList answers;     // right answer of question 1, 2, ...; "A" when not given
        int rightPercent = 70;
        int silentPercent = 5;
        int minDelayMs = 400;
        int maxDelayMs = 4000;
        quint32 seed = 1;
        int pollMs = 50;
    };

    SimAutoPilot(SimReceiver &receiver, const Options &options);
    ~SimAutoPilot();
    SimAutoPilot(const SimAutoPilot &) = delete;
    SimAutoPilot &operator=(const SimAutoPilot &) = delete;

    void start();
    void stop();
    int questionsAnswered() const { return m_questionsAnswered.load(); }
    int loginRounds() const { return m_loginRounds.load(); }

    // The answer a keypad gives to a question whose right answer is `right`, from a roll of 0..99.
    static QString chooseAnswer(const QString &right, int roll, int rightPercent, std::mt19937 &rng);

private:
    void run();

    SimReceiver &m_sim;
    SimActivity m_activity;
    Options m_options;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_questionsAnswered{0};
    std::atomic<int> m_loginRounds{0};
};

} // namespace keypadsim
