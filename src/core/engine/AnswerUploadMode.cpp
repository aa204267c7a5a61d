#include "AnswerUploadMode.h"

#include "core/base/ActivityCodes.h"
#include "core/engine/KeypadCommands.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizQuestions.h"
#include "core/engine/TransferFrames.h"
#include "platform/Log.h"

namespace {
constexpr uint8_t kTextEnd = 0xEE;
constexpr int kMaxUploadQuestion = 99;
// A set this long takes two receipts at the end: the keypad may miss the first.
constexpr int kRepeatFinalReceiptAbove = 60;
} // namespace

AnswerUploadMode::AnswerUploadMode(int activity, bool dravel, QObject *parent)
    : QuizMode(parent), m_dravel(dravel), receiveState(TransferFrames::kReceiptBytes, '\0')
{
    m_quizMode = activity;
}

AnswerUploadMode::~AnswerUploadMode()
{
    stopUpload();
}

void AnswerUploadMode::setUploadTiming(const Timing &timing)
{
    std::lock_guard lock(m_mutex);
    m_timing = timing;
}

const char *AnswerUploadMode::threadEndLine() const
{
    return m_quizMode == Activity::PaperQuiz ? "thread exit.  paperquize" : "thread exit.";
}

// ---------------------------------------------------------------- the set

void AnswerUploadMode::modeStart(int n)
{
    stopUpload();
    const int count = qqObject->count();
    m_nTimeCount = 0;
    for (int q = 1; q <= count; ++q)
        m_nTimeCount += qqObject->quizTime(q);
    m_quizStateScreenTimer = m_nTimeCount;
    m_nQuestionNo = n;
    m_nAnsweredNum = 0;
    qdObject->clearQuestionRecordForPAndH(count);
    // Every question of the set is asked at once.
    askedListWholeSet(count);
    std::lock_guard lock(m_mutex);
    m_questionCount = count;
    answerOfQuestions_ = QStringList(count, QString());
    m_stop = false;
}

void AnswerUploadMode::modeStop()
{
    QuizMode::modeStop();
    stopUpload();
    // Keypads that ask later are not taken up: the run's record is about to be saved.
    std::lock_guard lock(m_mutex);
    m_questionCount = 0;
}

void AnswerUploadMode::stopUpload()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        studentsWaitForSendAnswer_.clear();
        studentSendingAnswer_ = 0;
        threadState_ = Idle;
        isRevStart = false;
    }
    m_cond.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

// ---------------------------------------------------------------- state

int AnswerUploadMode::studentSendingAnswer() const
{
    std::lock_guard lock(m_mutex);
    return studentSendingAnswer_;
}

QList<int> AnswerUploadMode::studentsWaitForSendAnswer() const
{
    std::lock_guard lock(m_mutex);
    return studentsWaitForSendAnswer_;
}

int AnswerUploadMode::threadState() const
{
    std::lock_guard lock(m_mutex);
    return threadState_;
}

bool AnswerUploadMode::isUploadThreadRunning() const
{
    std::lock_guard lock(m_mutex);
    return m_threadRunning;
}

QStringList AnswerUploadMode::answerOfQuestions() const
{
    std::lock_guard lock(m_mutex);
    return answerOfQuestions_;
}

void AnswerUploadMode::setReceived(QByteArray &bitmap, int q)
{
    if (q < 1 || q > kMaxUploadQuestion)
        return;
    if (bitmap.size() < TransferFrames::kReceiptBytes)
        bitmap = bitmap.leftJustified(TransferFrames::kReceiptBytes, '\0');
    bitmap[(q - 1) / 8] = char(uint8_t(bitmap[(q - 1) / 8]) | (1u << ((q - 1) % 8)));
}

int AnswerUploadMode::questionNoNotReceived(const QByteArray &bitmap, int n)
{
    for (int q = qMin(n, kMaxUploadQuestion); q >= 1; --q) {
        const int byte = (q - 1) / 8;
        if (byte >= bitmap.size() || !(uint8_t(bitmap[byte]) & (1u << ((q - 1) % 8))))
            return q;
    }
    return 0;
}

// ---------------------------------------------------------------- queue (caller holds the lock)

void AnswerUploadMode::addStudentWaitForSend(int d)
{
    if (!studentsWaitForSendAnswer_.contains(d))
        studentsWaitForSendAnswer_.append(d);
}

void AnswerUploadMode::removeStudentWaitForSend(int d)
{
    studentsWaitForSendAnswer_.removeAll(d);
}

void AnswerUploadMode::takeUpFirst()
{
    studentSendingAnswer_ = studentsWaitForSendAnswer_.value(0, 0);
    for (QString &a : answerOfQuestions_)
        a.clear();
    queNoNeedReceive = m_questionCount;
    receiveState.fill('\0', TransferFrames::kReceiptBytes);
    timeOutFlag = false;
    m_startReceived = false;
    m_framesSeen = m_framesReceived;
}

void AnswerUploadMode::receiveComplete()
{
    removeStudentWaitForSend(studentSendingAnswer_);
    if (!studentsWaitForSendAnswer_.isEmpty()) {
        takeUpFirst();
        threadState_ = Pause;
    } else {
        studentSendingAnswer_ = 0;
        threadState_ = Idle;
        isRevStart = false;
    }
    m_cond.notify_all();
}

QByteArray AnswerUploadMode::receiptFor(int d) const
{
    const bool complete = questionNoNotReceived(receiveState, m_questionCount) == 0;
    return TransferFrames::receipt(d, complete, receiveState);
}

void AnswerUploadMode::receiveTimeOut(QList<QByteArray> &out)
{
    if (!timeOutFlag) {
        // The keypad learns what is missing and may send it again.
        out << receiptFor(studentSendingAnswer_);
        timeOutFlag = true;
    } else {
        receiveComplete();
    }
}

// ---------------------------------------------------------------- frames in (GUI thread)

void AnswerUploadMode::RX_StudentSignal()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (!(m_quizMode == Activity::HomeWork && !m_dravel))
        PollixLog(QStringLiteral("RX_StudentSignal"));
    if (f.dataLen() < 1 || f.at(0) != 0x0E || !f.isStudentCommand())
        return;
    const int d = f.deviceID();
    bool start = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_questionCount == 0)
            return; // the set has not started: there is nothing to take answers for
        addStudentWaitForSend(d);
        if (threadState_ == Idle && !isRevStart) {
            takeUpFirst();
            threadState_ = Signal;
            isRevStart = true;
            m_stop = false;
            start = !m_threadRunning;
        }
    }
    m_cond.notify_all();
    if (start)
        startUploadThread();
}

void AnswerUploadMode::RX_StudentStdExamAnswer()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (!(m_quizMode == Activity::HomeWork && !m_dravel))
        PollixLog(QStringLiteral("RX_StudentStdExamAnswer"));
    const int d = f.deviceID();
    const QByteArray data = f.bytes();
    QList<QByteArray> out;
    bool completed = false;
    struct Stored
    {
        int q;
        QString answer;
    };
    QList<Stored> stored;
    {
        std::lock_guard lock(m_mutex);
        if (d == 0 || d != studentSendingAnswer_) {
            PollixLog(QStringLiteral("device no error."));
            return;
        }
        if (threadState_ == Signal)
            m_startReceived = true;

        const int n = m_questionCount;
        const auto valid = [n](int q) { return q >= 1 && q <= n && q <= kMaxUploadQuestion; };
        int q = data.size() > 2 ? uint8_t(data[2]) : 0;
        int lastQ = 0;
        int start = 3;
        bool ok = valid(q);
        if (!ok)
            PollixLogf("count error: %d", n);
        for (int i = 3; ok && i < data.size(); ++i) {
            if (uint8_t(data[i]) == kTextEnd && i >= start) {
                const QString text = KeypadCommands::text(data.mid(start, i - start));
                if (!text.isNull()) {
                    const QString answer = KeypadCommands::answerForType(text, qqObject->questionType(q), true);
                    answerOfQuestions_[q - 1] = answer;
                    stored << Stored{q, answer};
                    setReceived(receiveState, q);
                }
                lastQ = q;
                start = i + 2;
            } else if (i == start - 1 && uint8_t(data[i - 1]) == kTextEnd) {
                q = uint8_t(data[i]);
                if (!valid(q)) {
                    PollixLogf("count error: %d", n);
                    ok = false;
                }
            }
        }
        if (lastQ != 0 && (lastQ == queNoNeedReceive || lastQ >= kMaxUploadQuestion)) {
            if (m_quizMode == Activity::PaperQuiz)
                PollixLog(QStringLiteral("sendResultOfReceiveAnswer"));
            out << receiptFor(d);
            queNoNeedReceive = questionNoNotReceived(receiveState, n);
            if (queNoNeedReceive == 0) {
                if (n > kRepeatFinalReceiptAbove)
                    out << receiptFor(d);
                receiveComplete();
                completed = true;
            }
        }
        ++m_framesReceived;
    }
    m_cond.notify_all();

    for (const Stored &s : stored)
        qdObject->setStudentAnswer(s.q, d, s.answer);
    if (!stored.isEmpty() && !m_arrAnswerStu.contains(d)) {
        m_arrAnswerStu.append(d);
        ++m_nAnsweredNum;
    }
    sendAll(out);
    if (completed) {
        PostStudentAnswerState(d);
        if (m_quizMode == Activity::PaperQuiz)
            qdObject->setStudentAnswerTime(1, d, m_quizStateScreenTimer);
    }
}

// ---------------------------------------------------------------- upload thread

void AnswerUploadMode::startUploadThread()
{
    if (m_thread.joinable())
        m_thread.join(); // a thread that has seen the queue empty is only being let go
    {
        std::lock_guard lock(m_mutex);
        m_threadRunning = true;
    }
    m_thread = std::thread([this] { threadReceiveAnswer(); });
}

template<class Pred>
bool AnswerUploadMode::threadWait(std::unique_lock<std::mutex> &lock, int ms, Pred pred)
{
    m_cond.wait_for(lock, std::chrono::milliseconds(ms), [&] { return m_stop || pred(); });
    return !m_stop;
}

void AnswerUploadMode::sendAll(const QList<QByteArray> &frames)
{
    for (const QByteArray &frame : frames)
        sendFrame(frame);
}

void AnswerUploadMode::threadReceiveAnswer()
{
    std::unique_lock lock(m_mutex);
    while (!m_stop && threadState_ != Idle) {
        QList<QByteArray> out;
        if (threadState_ == Pause) {
            PollixLog(QStringLiteral("sleep a moment."));
            if (!threadWait(lock, m_timing.pauseMs, [this] { return threadState_ != Pause; }))
                break;
            if (threadState_ == Pause)
                threadState_ = Signal;
            continue;
        }
        if (threadState_ == Signal) {
            bool started = false;
            for (int i = 0; i < m_timing.signalTries && !started; ++i) {
                const int d = studentSendingAnswer_;
                PollixLogf("send signal to student : %d", d);
                lock.unlock();
                sendFrame(TransferFrames::signalToSend(d));
                lock.lock();
                if (!threadWait(lock, m_timing.signalWaitMs, [this] { return m_startReceived || threadState_ != Signal; }))
                    break;
                if (threadState_ != Signal)
                    break; // the keypad sent everything in one go, or the upload moved on
                started = m_startReceived;
            }
            if (m_stop || threadState_ != Signal)
                continue;
            if (started) {
                PollixLog(QStringLiteral("start to receive."));
                threadState_ = Receive;
            } else {
                PollixLog(QStringLiteral("wack up to send answer failed."));
                receiveTimeOut(out);
            }
        } else if (threadState_ == Receive) {
            if (!threadWait(lock, m_timing.frameWaitMs,
                            [this] { return m_framesReceived != m_framesSeen || threadState_ != Receive; }))
                break;
            if (m_framesReceived != m_framesSeen) {
                m_framesSeen = m_framesReceived;
                PollixLog(QStringLiteral("receive a frame of answer."));
            } else if (threadState_ == Receive) {
                PollixLog(QStringLiteral("receive time out."));
                receiveTimeOut(out);
            }
        }
        if (!out.isEmpty()) {
            lock.unlock();
            sendAll(out);
            lock.lock();
        }
    }
    m_threadRunning = false;
    PollixLog(QString::fromLatin1(threadEndLine()));
}
