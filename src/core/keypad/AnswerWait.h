#pragma once

#include <QElapsedTimer>

// How long a question to the receiver is listened to. Its answer is due within dueMs of the
// question on a computer that runs this thread when it asks to run, and behind whatever the
// receiver sends meanwhile: the answer waits for the line, so every byte heard adds its time on
// the line at the port's speed. Where the computer does not run this thread on time (other
// programs have the processors, the machine itself was held up), the kernel's hand-over of what
// the port received, and a simulated receiver, wait with it: a stretch of the wait in which this
// thread was seen to run late does not count, and the wait goes on, mostMs in all at most. So a
// quiet computer hears a silent port for dueMs, a busy one or a busy line for longer.
class AnswerWait
{
public:
    AnswerWait(int dueMs, int mostMs, int baudRate);

    // Whether an answer given in time would have been heard by now.
    bool over() const { return m_onTimeNs >= m_dueNs + m_lineNs || m_totalNs >= m_mostNs; }
    // Bytes came from the port.
    void heard(qsizetype bytes);
    // Returns when fd has bytes to read (at once, if it has) or after a short nap, and counts the
    // time since the last call, or since the wait began.
    void nap(int fd);

    // The count behind nap(): tookNs passed, napNs of them asked for as a nap. A stretch that took
    // longer than that, and a little more, was spent waiting for the processor.
    void passed(qint64 tookNs, qint64 napNs);

    static constexpr int kNapMs = 2;
    static constexpr int kLateMs = 2;

private:
    QElapsedTimer m_clock;
    qint64 m_lastNs = 0;
    qint64 m_onTimeNs = 0;
    qint64 m_totalNs = 0;
    qint64 m_lineNs = 0; // the line's time for what was heard
    qint64 m_dueNs;
    qint64 m_mostNs;
    qint64 m_byteNs;
};
