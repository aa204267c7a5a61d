#pragma once

#include "core/engine/QuizMode.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <condition_variable>
#include <mutex>
#include <thread>

// Homework and paper quiz on Corvel and Dravel keypads: the students answer the whole set on
// their keypads and then upload every answer at once. A keypad asks (FB 0E), the host queues it,
// and one upload thread serves the queued keypads one after another: it signals the keypad to
// send, takes its answer frames (FA), answers them with a receipt of what arrived, waits for
// what is missing, and moves on after time-outs.
//
// Threads: the frames are handled on the GUI thread, the waiting is the upload thread's. One
// mutex guards the queue, the keypad being served, its answers and bitmap and the thread's
// state; every wait is on one condition and ends at once when the upload is stopped. Frames go
// out outside the lock. modeStop() and the object's end stop the thread and join it; the answers
// received so far stay in the run's record.
class AnswerUploadMode : public QuizMode
{
    Q_OBJECT
public:
    struct Timing
    {
        int signalWaitMs = 200; // for the first answer frame after a signal
        int signalTries = 3;
        int frameWaitMs = 300;  // for each further answer frame
        int pauseMs = 500;      // between two keypads
    };
    // The upload thread's state: 0 signal the keypad, 1 receive, 2 pause before the next keypad,
    // 3 no upload.
    enum ThreadState { Signal = 0, Receive = 1, Pause = 2, Idle = 3 };

    ~AnswerUploadMode() override;

    void modeStart(int n) override;
    // The activity ends: an upload under way is stopped (its thread joined) and the queue
    // dropped, so nothing changes the run's record while it is saved.
    void modeStop() override;

    void setUploadTiming(const Timing &timing);

    // --- The upload's state (any thread).
    int nTimeCount() const { return m_nTimeCount; }
    int studentSendingAnswer() const;
    QList<int> studentsWaitForSendAnswer() const;
    int threadState() const;
    bool isUploadThreadRunning() const;
    QStringList answerOfQuestions() const;

    // The receipt bitmap: bit (q - 1) mod 8 of byte (q - 1) div 8 marks question q (1 to 99).
    static void setReceived(QByteArray &bitmap, int q);
    // The highest question of 1 to min(n, 99) whose bit is clear; 0 when every one is set.
    static int questionNoNotReceived(const QByteArray &bitmap, int n);

protected:
    AnswerUploadMode(int activity, bool dravel, QObject *parent);

    void RX_StudentSignal() override;
    void RX_StudentStdExamAnswer() override;

private:
    struct Outgoing
    {
        QList<QByteArray> frames;
        bool completed = false; // the keypad's answers are all in
        int deviceNo = 0;
    };

    void addStudentWaitForSend(int d);
    void removeStudentWaitForSend(int d);
    // Takes up the first queued keypad (caller holds the lock).
    void takeUpFirst();
    // The keypad being served is done (caller holds the lock): the next one, or the thread ends.
    void receiveComplete();
    // No frame came in time (caller holds the lock): one receipt, then the next keypad.
    void receiveTimeOut(QList<QByteArray> &out);
    QByteArray receiptFor(int d) const; // caller holds the lock
    void startUploadThread();
    void stopUpload();
    void threadReceiveAnswer();
    // Waits up to ms for pred; false when the upload is stopped. Caller holds lock.
    template<class Pred>
    bool threadWait(std::unique_lock<std::mutex> &lock, int ms, Pred pred);
    void sendAll(const QList<QByteArray> &frames);
    const char *threadEndLine() const;

    bool m_dravel;
    int m_nTimeCount = 0;
    int m_questionCount = 0;

    mutable std::mutex m_mutex;
    std::condition_variable m_cond;
    std::thread m_thread;
    Timing m_timing;
    // Under m_mutex:
    QList<int> studentsWaitForSendAnswer_;
    QStringList answerOfQuestions_;
    int studentSendingAnswer_ = 0;
    int queNoNeedReceive = 0;
    QByteArray receiveState;
    bool timeOutFlag = false;
    int threadState_ = Idle;
    bool isRevStart = false;
    bool m_threadRunning = false;
    bool m_stop = false;
    bool m_startReceived = false; // the served keypad's first frame after a signal
    quint64 m_framesReceived = 0; // answer frames of the served keypad
    quint64 m_framesSeen = 0;     // as far as the thread has looked
};
