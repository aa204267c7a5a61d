#pragma once

#include "core/engine/ReceivedFrame.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Sends a whole question set to the keypads (homework and paper quiz): the exam information,
// every question's text frames in passes, then polls the keypads for what they lack and sends
// that again, until every keypad has everything or sending gives up; end-of-set frames close it.
// The sending and all its pauses run on a thread of its own; the keypads' replies come in on the
// owner's thread.
//
// A keypad that answers, pass after pass, that it still lacks as much as before (one that keeps
// another set under the same exam ID, say) is given up on after a few such passes rather than
// sent the set for ever; the keypads that did not take the set are named as the sending ends.
//
// One mutex guards the pending, poll and needs-reply lists and the state; every pause is a wait
// on one condition that stop() ends at once. stop() and the end of the object join the thread.
class QuestionSetSender
{
public:
    struct Timing
    {
        int examInfoGapMs = 200; // before each of the exam information's repeats
        int examInfoRepeats = 5;
        int passPauseMs = 100;   // before each pass of a question's frames
        int passes = 5;
        int frameGapMs = 50;     // after each frame of a pass and each poll
        int endGapMs = 10;       // before each end-of-pass and end-of-set frame
        int endRepeats = 10;
        int pollPauseMs = 120;   // before each polling round
        int pollSettleMs = 1200; // after each polling round, for the replies
        int pollRounds = 7;      // rounds without every reply before the keypads are woken
        int bigRounds = 5;       // such wake-ups before sending gives up
        int resendPasses = 20;   // resend passes before sending gives up
        // Passes in a row that each sent a keypad what it lacked, after which it lacked no less,
        // before the keypad is given up on.
        int barrenPasses = 3;
    };
    // What is sent: questions 1 to n (the set without its teaching-plan pages), each as its frame
    // texts, under the test's ID and title; and the keypads to poll.
    struct Set
    {
        int deviceType = -1;
        int testID = 0;
        QString title;
        int quizID = 0;
        QList<QStringList> questions; // keypad question q at q - 1
        QList<int> keypads;           // device numbers to poll
    };
    enum State { Send = 0, Poll = 1, Stop = 2 };
    // Where the sending stands, taken at one moment (for the window's progress).
    struct Progress
    {
        bool started = false;  // the receiver answered the wake
        bool running = false;  // the sending thread runs
        int state = Send;
        int questionNo = 0;    // the question being sent (0 before the first)
        int sentInPass = 0;    // questions of this pass sent so far
        int passLength = 0;    // questions in this pass
        int resendPass = 0;    // 0: the first pass; then the resend passes
        int keypads = 0;       // keypads polled
        int keypadsComplete = 0; // of them, those that replied they have every question
        QList<int> keypadsLacking; // the others, in order: still polled or given up on
    };
    using Sender = std::function<bool(const QByteArray &frame)>;
    // Progress messages, on the sending thread.
    using Messenger = std::function<void(const QString &message)>;

    QuestionSetSender(Set set, Sender send, Messenger message);
    QuestionSetSender(Set set, Sender send, Messenger message, Timing timing);
    ~QuestionSetSender();
    QuestionSetSender(const QuestionSetSender &) = delete;
    QuestionSetSender &operator=(const QuestionSetSender &) = delete;

    // The run's question set as the keypads take it: teaching-plan pages left out (the run's set
    // itself stays as it is), each question cut into at most 11 frame texts.
    static Set setFromRun(int deviceType, const QList<int> &keypads);
    // A question's frame texts as this transfer sends them.
    static QStringList questionTexts(const QString &title, int questionType, const QStringList &options);
    // Keypad numbers as a teacher reads them: "2, 5, 7–9".
    static QString keypadNumbers(QList<int> keypads);

    // --- The owner's side.
    // The receiver is ready: the first time the sending starts; later (after the keypads were
    // woken again) the exam information goes out again.
    void wakeReplied();
    // A keypad's F8 reply to a poll: E0, E1 or E2 with what it has.
    void keypadReplied(const ReceivedFrame &frame);
    // Ends the sending within one pause and joins the thread.
    void stop();

    bool isRunning() const;
    bool hasStarted() const;
    int state() const;
    QList<int> pendingList() const;
    QList<int> pollList() const;
    QList<int> needsReplyList() const;
    int bigCount() const;
    int resendPasses() const;
    Progress progress() const;
    int questionCount() const { return int(m_set.questions.size()); }

private:
    void threadSendQuestion();
    // Caller holds lock: waits ms (or until done() holds); false once stopped.
    bool pause(std::unique_lock<std::mutex> &lock, int ms, const std::function<bool()> &done = {});
    // Caller holds lock; the frame goes out without it.
    void send(std::unique_lock<std::mutex> &lock, const QByteArray &frame);
    void sendExamInfo(std::unique_lock<std::mutex> &lock);
    void sendQuestion(std::unique_lock<std::mutex> &lock, int q);
    void sendEnds(std::unique_lock<std::mutex> &lock, const QByteArray &frame);
    void addPending(int from, int to); // caller holds the lock
    // No keypad is left to send to: each replied that it has every question, or was given up on
    // (caller holds the lock).
    bool noKeypadLeft() const;
    // After a polling phase: keypads the pass before it brought nothing are given up on once that
    // happened barrenPasses times in a row (caller holds the lock).
    void weighPhase();
    QList<int> keypadsLacking() const; // caller holds the lock

    const Set m_set;
    const Sender m_send;
    const Messenger m_message;
    const Timing m_timing;

    mutable std::mutex m_mutex;
    std::condition_variable m_cond;
    std::thread m_thread;
    // Under m_mutex:
    int threadState_send = Send;
    bool m_stop = false;
    bool m_started = false;
    bool m_bIsThreadSendQuestionStart = false;
    bool m_examInfoDue = false;
    int nQuestionNo = 1;
    QList<int> m_arrLostQueInBig;
    int m_nIndexOfLostQueInBig = 0;
    QList<int> m_arrPollStuInBig;
    QList<int> m_arrNeedToPollStu;
    int m_nBigCount = 0;
    bool m_bInBigBegin = false;
    int m_nResendPasses = 0;
    // How many questions each keypad lacked by its reply in this polling phase and in the one
    // before, the phases in a row that brought it nothing, and the keypads given up on.
    QMap<int, int> m_lackNow;
    QMap<int, int> m_lackBefore;
    QMap<int, int> m_barren;
    QList<int> m_givenUp;
    bool m_passWhole = true; // every frame since the last polling phase reached the receiver
};
