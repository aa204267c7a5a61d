#pragma once

#include <QString>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

// Ends the process when the GUI thread's event loop stops answering: a timer posted to that
// thread beats every tenth of a second, and a thread of its own watches the beats. When none came
// for stallMs, it writes why (with the last step, which the walk keeps in its steps file) to
// stderr and to the report file and aborts, so that a hang is a failure that names where it hung
// instead of a test that never ends. Between two loops (a start of the program after another),
// hold() gives the thread a deadline instead.
class LoopWatchdog
{
public:
    LoopWatchdog(int stallMs, const QString &reportFile);
    ~LoopWatchdog();
    LoopWatchdog(const LoopWatchdog &) = delete;
    LoopWatchdog &operator=(const LoopWatchdog &) = delete;

    // What the process is doing, named in the report.
    void setDoing(const QString &doing);
    // No event loop runs for at most ms from now (work between two loops).
    void hold(int ms);
    // Event loops run again: the beats count.
    void watchLoop();

private:
    void watch();
    static qint64 nowMs();

    QTimer m_beat;
    const int m_stallMs;
    const std::string m_reportFile;
    std::atomic<qint64> m_lastBeat;
    std::atomic<qint64> m_holdUntil{0};
    std::mutex m_mutex;
    std::string m_doing;
    std::condition_variable m_stop;
    bool m_stopping = false;
    std::thread m_thread;
};
