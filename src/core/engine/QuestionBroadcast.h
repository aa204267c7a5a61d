#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// The question text going out to every keypad (Dravel) on a thread of its own, while the GUI
// thread goes on answering keypads. One pass: the question's frames round after round, a pause
// between frames, then a settle time and the pass's closing step. The frames are built before
// the pass starts, so the thread reads nothing the GUI thread may change meanwhile.
//
// start() and stop() belong to the owner's thread; a pass still going out is stopped and joined
// before the broadcast goes away.
class QuestionBroadcast
{
public:
    struct Pass
    {
        int questionNo = 0;          // the question this pass carries
        QList<QByteArray> frames;    // one round, in order (none: the pass only settles)
        QStringList texts;           // their frame texts, for the trace
        int rounds = 5;
        int extraRounds = 0;         // more rounds after a short pause (a vote's question)
        std::function<void()> atEnd; // on the broadcast thread after the settle time, unless stopped
    };
    struct Timing
    {
        int frameGapMs = 50;
        int extraPauseMs = 100;
        int settleMs = 200;
    };
    using Sender = std::function<bool(const QByteArray &frame)>;

    explicit QuestionBroadcast(Sender send);
    QuestionBroadcast(Sender send, Timing timing);
    ~QuestionBroadcast();
    QuestionBroadcast(const QuestionBroadcast &) = delete;
    QuestionBroadcast &operator=(const QuestionBroadcast &) = delete;

    // Starts a pass; false (and nothing happens) while one is going out.
    bool start(Pass pass);
    // Ends the pass going out within one pause and waits for its thread.
    void stop();
    bool isRunning() const { return m_running; }
    // The question of the last pass started.
    int questionNo() const { return m_questionNo; }

private:
    void threadSendQuestion(const Pass &pass);
    void sendQuestionContent(const Pass &pass);
    // Waits up to ms; false when the pass is asked to stop.
    bool threadWait(int ms);

    Sender m_send;
    Timing m_timing;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable conStartReceive_mode;
    bool m_stop = false; // under m_mutex
    std::atomic<bool> m_running{false};
    int m_questionNo = 0;
};
