#include "SimAutoPilot.h"

#include <QSet>

#include <algorithm>
#include <chrono>
#include <vector>

namespace keypadsim {

SimAutoPilot::SimAutoPilot(SimReceiver &receiver, const Options &options)
    : m_sim(receiver), m_activity(receiver), m_options(options)
{
}

SimAutoPilot::~SimAutoPilot()
{
    stop();
}

void SimAutoPilot::start()
{
    if (m_thread.joinable())
        return;
    m_stop = false;
    m_thread = std::thread([this] { run(); });
}

void SimAutoPilot::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

QString SimAutoPilot::chooseAnswer(const QString &right, int roll, int rightPercent, std::mt19937 &rng)
{
    if (roll < rightPercent)
        return right;
    // A wrong answer is another of the first four options.
    QStringList others;
    for (const char *o : {"A", "B", "C", "D"})
        if (right != QLatin1String(o))
            others << QLatin1String(o);
    return others.at(int(rng() % others.size()));
}

void SimAutoPilot::run()
{
    using namespace std::chrono;
    std::mt19937 rng(m_options.seed);
    int wakesSeen = 0;
    int answeredQuestion = 0;
    struct Pending
    {
        steady_clock::time_point due;
        int id;
        QString text;
    };
    std::vector<Pending> pending;

    while (!m_stop) {
        // A wake frame asks the keypads that are not in the class to log in.
        const int wakes = m_activity.wakeFrames();
        if (wakes > wakesSeen) {
            wakesSeen = wakes;
            bool anyOut = false;
            for (int id = 1; id <= m_options.keypads; ++id)
                anyOut = anyOut || !m_sim.keypad(id).loggedIn;
            if (anyOut) {
                m_activity.loginAll(1, m_options.keypads);
                ++m_loginRounds;
            } else if (m_options.keypads > 0) {
                // A class already in: the keypad that wakes first answers the call, and the
                // program goes on with the question.
                m_sim.wakeUpReply(1);
            }
        }
        // A new question running: every keypad decides on its answer and when to send it.
        const int state = m_activity.runState();
        const int question = m_activity.runQuestionNo();
        if (state == 3 && question > 0 && question != answeredQuestion) {
            answeredQuestion = question;
            pending.clear();
            const QString right = m_options.answers.value(question - 1, QStringLiteral("A"));
            const auto now = steady_clock::now();
            for (int id = 1; id <= m_options.keypads; ++id) {
                if (int(rng() % 100) < m_options.silentPercent)
                    continue;
                const int span = std::max(1, m_options.maxDelayMs - m_options.minDelayMs);
                const int delay = m_options.minDelayMs + int(rng() % span);
                const QString text = chooseAnswer(right, int(rng() % 100), m_options.rightPercent, rng);
                pending.push_back({now + milliseconds(delay), id, text});
            }
            ++m_questionsAnswered;
        }
        if (state != 3)
            pending.clear();
        const auto now = steady_clock::now();
        for (auto it = pending.begin(); it != pending.end();) {
            if (it->due <= now) {
                m_sim.answer(it->id, it->text);
                it = pending.erase(it);
            } else {
                ++it;
            }
        }
        std::this_thread::sleep_for(milliseconds(m_options.pollMs));
    }
}

} // namespace keypadsim
