#include "QuestionSetSender.h"

#include "core/base/ActivityCodes.h"
#include "core/engine/ActivityFrames.h"
#include "core/engine/QuestionText.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizQuestions.h"
#include "core/engine/TransferFrames.h"

#include <algorithm>
#include <utility>

namespace {
constexpr int kMaxFrameTexts = 11; // 22 lines reach a keypad
constexpr uint8_t kHasNothingOrAll = 0xE0;
constexpr uint8_t kHasUpTo = 0xE1;
constexpr uint8_t kBitmap = 0xE2;
} // namespace

QuestionSetSender::QuestionSetSender(Set set, Sender send, Messenger message)
    : QuestionSetSender(std::move(set), std::move(send), std::move(message), Timing())
{
}

QuestionSetSender::QuestionSetSender(Set set, Sender send, Messenger message, Timing timing)
    : m_set(std::move(set)), m_send(std::move(send)), m_message(std::move(message)), m_timing(timing)
{
    m_arrPollStuInBig = m_set.keypads;
    addPending(1, questionCount());
}

QuestionSetSender::~QuestionSetSender()
{
    stop();
}

QStringList QuestionSetSender::questionTexts(const QString &title, int questionType, const QStringList &options)
{
    return QuestionText::frameTexts(title, questionType, options).mid(0, kMaxFrameTexts);
}

QuestionSetSender::Set QuestionSetSender::setFromRun(int deviceType, const QList<int> &keypads)
{
    const QuizQuestions *qq = QuizQuestions::shareManager();
    Set set;
    set.deviceType = deviceType;
    set.testID = qq->nTestID();
    set.title = QuestionText::titleFromPath(qq->strTestTitle());
    set.quizID = QuizParticipantData::shareManager()->randomQuizID();
    set.keypads = keypads;
    for (int q = 1; q <= qq->count(); ++q) {
        const QuizQuestionsElement e = qq->element(q);
        if (e.nQuestionType() == QuestionType::TeachingPlan)
            continue;
        QStringList options;
        if (!QuestionText::isTextOnlyType(e.nQuestionType())) {
            for (int k = 0; k < qBound(0, e.nOptionNum(), 10); ++k)
                options << qq->option(k, q);
        }
        set.questions << questionTexts(e.strTitle(), e.nQuestionType(), options);
    }
    return set;
}

// ---------------------------------------------------------------- owner's side

void QuestionSetSender::wakeReplied()
{
    bool start = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_started) {
            // The keypads were woken again after a polling phase nobody answered.
            if (m_bIsThreadSendQuestionStart)
                m_examInfoDue = true;
            return;
        }
        m_started = true;
        m_bIsThreadSendQuestionStart = true;
        m_examInfoDue = true;
        threadState_send = Send;
        start = true;
    }
    m_cond.notify_all();
    if (start)
        m_thread = std::thread([this] { threadSendQuestion(); });
}

void QuestionSetSender::keypadReplied(const ReceivedFrame &f)
{
    if (f.type() != 1 || f.cmd() != 0xF8 || f.dataLen() < 3)
        return;
    const int k = f.deviceID();
    const int n = questionCount();
    const uint8_t d0 = f.at(0), d1 = f.at(1), d2 = f.at(2);
    {
        std::lock_guard lock(m_mutex);
        m_arrNeedToPollStu.removeAll(k);
        bool complete = false;
        QList<int> missing; // ranges of questions lacked: from, to
        if (d0 == kHasNothingOrAll) {
            if (d2 == 0)
                missing << 1 << n;
            else
                complete = true;
        } else if (d0 == kHasUpTo) {
            // The keypad has the questions before d2; question numbers start at 1.
            if (d1 >= d2)
                missing << qMax(1, int(d2)) << n;
            else
                complete = true;
        } else if (d0 == kBitmap) {
            if (d2 == 0) {
                for (int q = 1; q <= n; ++q) {
                    const int i = 3 + (q - 1) / 8;
                    // A bitmap cut short lacks the questions it does not reach.
                    if (i >= f.dataLen() || !(f.at(i) & (1u << ((q - 1) % 8))))
                        missing << q << q;
                }
            } else {
                complete = true;
            }
        }
        if (complete) {
            m_arrPollStuInBig.removeAll(k);
            m_givenUp.removeAll(k); // it took the set after all
            m_lackNow.remove(k);
        } else if (d0 >= kHasNothingOrAll && d0 <= kBitmap && !m_givenUp.contains(k)) {
            // What a keypad given up on lacks is not sent again for its sake.
            int lacks = 0;
            for (qsizetype i = 0; i + 1 < missing.size(); i += 2) {
                addPending(missing[i], missing[i + 1]);
                lacks += qMax(0, qMin(missing[i + 1], n) - qMax(1, missing[i]) + 1);
            }
            // Only a reply to this phase's polls tells what the pass before it brought.
            if (threadState_send == Poll)
                m_lackNow[k] = lacks;
        }
    }
    m_cond.notify_all();
}

void QuestionSetSender::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        threadState_send = Stop;
    }
    m_cond.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

bool QuestionSetSender::isRunning() const
{
    std::lock_guard lock(m_mutex);
    return m_bIsThreadSendQuestionStart;
}

bool QuestionSetSender::hasStarted() const
{
    std::lock_guard lock(m_mutex);
    return m_started;
}

int QuestionSetSender::state() const
{
    std::lock_guard lock(m_mutex);
    return threadState_send;
}

QList<int> QuestionSetSender::pendingList() const
{
    std::lock_guard lock(m_mutex);
    return m_arrLostQueInBig;
}

QList<int> QuestionSetSender::pollList() const
{
    std::lock_guard lock(m_mutex);
    return m_arrPollStuInBig;
}

QList<int> QuestionSetSender::needsReplyList() const
{
    std::lock_guard lock(m_mutex);
    return m_arrNeedToPollStu;
}

int QuestionSetSender::bigCount() const
{
    std::lock_guard lock(m_mutex);
    return m_nBigCount;
}

int QuestionSetSender::resendPasses() const
{
    std::lock_guard lock(m_mutex);
    return m_nResendPasses;
}

QuestionSetSender::Progress QuestionSetSender::progress() const
{
    std::lock_guard lock(m_mutex);
    Progress p;
    p.started = m_started;
    p.running = m_bIsThreadSendQuestionStart;
    p.state = threadState_send;
    p.questionNo = m_nIndexOfLostQueInBig > 0 || m_nResendPasses > 0 ? nQuestionNo : 0;
    p.sentInPass = m_nIndexOfLostQueInBig;
    p.passLength = int(m_arrLostQueInBig.size());
    p.resendPass = m_nResendPasses;
    p.keypads = int(m_set.keypads.size());
    p.keypadsLacking = keypadsLacking();
    p.keypadsComplete = p.keypads - int(p.keypadsLacking.size());
    return p;
}

QString QuestionSetSender::keypadNumbers(QList<int> keypads)
{
    std::sort(keypads.begin(), keypads.end());
    keypads.erase(std::unique(keypads.begin(), keypads.end()), keypads.end());
    QStringList parts;
    for (qsizetype i = 0; i < keypads.size();) {
        qsizetype j = i;
        while (j + 1 < keypads.size() && keypads[j + 1] == keypads[j] + 1)
            ++j;
        // Three or more in a row read better as a range; two stay two numbers.
        if (j - i >= 2)
            parts << QStringLiteral("%1\u2013%2").arg(keypads[i]).arg(keypads[j]);
        else
            for (qsizetype m = i; m <= j; ++m)
                parts << QString::number(keypads[m]);
        i = j + 1;
    }
    return parts.join(QStringLiteral(", "));
}

QList<int> QuestionSetSender::keypadsLacking() const
{
    QList<int> out = m_arrPollStuInBig + m_givenUp;
    std::sort(out.begin(), out.end());
    return out;
}

bool QuestionSetSender::noKeypadLeft() const
{
    return !m_set.keypads.isEmpty() && m_arrPollStuInBig.isEmpty();
}

void QuestionSetSender::weighPhase()
{
    const QMap<int, int> replies = std::exchange(m_lackNow, {});
    // A pass that did not wholly go out (the receiver was out) may have brought nothing through
    // no fault of the keypads: it counts against none of them.
    const bool counts = std::exchange(m_passWhole, true);
    for (auto it = replies.cbegin(); it != replies.cend(); ++it) {
        const int k = it.key();
        if (!m_arrPollStuInBig.contains(k))
            continue;
        // Before the first pass a keypad may lack every question; the first pass gave it each.
        const bool brought = it.value() < m_lackBefore.value(k, questionCount());
        m_lackBefore[k] = it.value();
        if (brought || !counts) {
            if (brought)
                m_barren.remove(k);
            continue;
        }
        if (++m_barren[k] >= m_timing.barrenPasses) {
            m_arrPollStuInBig.removeAll(k);
            m_arrNeedToPollStu.removeAll(k);
            m_givenUp << k;
        }
    }
}

void QuestionSetSender::addPending(int from, int to)
{
    for (int q = qMax(1, from); q <= qMin(to, questionCount()); ++q) {
        if (!m_arrLostQueInBig.contains(q))
            m_arrLostQueInBig.append(q);
    }
}

// ---------------------------------------------------------------- sending thread

bool QuestionSetSender::pause(std::unique_lock<std::mutex> &lock, int ms, const std::function<bool()> &done)
{
    m_cond.wait_for(lock, std::chrono::milliseconds(ms), [&] { return m_stop || (done && done()); });
    return !m_stop;
}

void QuestionSetSender::send(std::unique_lock<std::mutex> &lock, const QByteArray &frame)
{
    lock.unlock();
    const bool sent = m_send(frame);
    lock.lock();
    if (!sent)
        m_passWhole = false;
}

void QuestionSetSender::sendExamInfo(std::unique_lock<std::mutex> &lock)
{
    m_examInfoDue = false;
    const QByteArray frame = TransferFrames::examInfo(questionCount(), m_set.testID, m_set.title, m_set.deviceType);
    if (frame.isEmpty())
        return; // a set without questions announces nothing
    for (int i = 0; i < m_timing.examInfoRepeats && pause(lock, m_timing.examInfoGapMs); ++i)
        send(lock, frame);
}

void QuestionSetSender::sendQuestion(std::unique_lock<std::mutex> &lock, int q)
{
    const QStringList texts = m_set.questions.value(q - 1);
    // Each preparation of a question marks its frames with a new question ID.
    auto *qpd = QuizParticipantData::shareManager();
    qpd->resetRandomQuestionID();
    const int questionID = qpd->randomQuestionID();
    QList<QByteArray> frames;
    for (int n = 1; n <= texts.size(); ++n)
        frames << TransferFrames::questionText(texts, n, q, questionID);
    // A keypad's reply may tell meanwhile that every keypad has the set: the question stops there.
    const auto over = [this] { return noKeypadLeft(); };
    for (int pass = 0; pass < m_timing.passes && threadState_send != Stop; ++pass) {
        if (!pause(lock, m_timing.passPauseMs, over) || over())
            return;
        for (const QByteArray &frame : frames) {
            send(lock, frame);
            if (!pause(lock, m_timing.frameGapMs, over) || over())
                return;
        }
    }
}

void QuestionSetSender::sendEnds(std::unique_lock<std::mutex> &lock, const QByteArray &frame)
{
    for (int i = 0; i < m_timing.endRepeats && pause(lock, m_timing.endGapMs); ++i)
        send(lock, frame);
}

void QuestionSetSender::threadSendQuestion()
{
    const int n = questionCount();
    std::unique_lock lock(m_mutex);
    while (!m_stop && threadState_send != Stop) {
        if (m_examInfoDue)
            sendExamInfo(lock);
        if (m_stop)
            break;
        if (threadState_send == Send) {
            if (noKeypadLeft()) {
                // What is still pending was lost on its way to keypads that have it by now (the
                // receiver was out), or is for keypads given up on: nothing more goes to them but
                // the end of the set.
                threadState_send = Stop;
                sendEnds(lock, TransferFrames::endOfSet());
            } else if (m_bInBigBegin && m_nBigCount < m_timing.bigRounds) {
                // A polling phase has just ended: another pass of what is missing (counted as it
                // is announced), or the end.
                const bool more = !m_arrLostQueInBig.isEmpty() && m_nResendPasses < m_timing.resendPasses;
                if (more) {
                    m_bInBigBegin = false;
                    std::sort(m_arrLostQueInBig.begin(), m_arrLostQueInBig.end());
                    m_nIndexOfLostQueInBig = 0;
                    ++m_nResendPasses;
                } else {
                    threadState_send = Stop;
                }
                sendEnds(lock, more ? TransferFrames::endOfPass() : TransferFrames::endOfSet());
            } else if (m_nIndexOfLostQueInBig < m_arrLostQueInBig.size()) {
                const int q = m_arrLostQueInBig[m_nIndexOfLostQueInBig++];
                nQuestionNo = q;
                lock.unlock();
                m_message(QStringLiteral("Send Question:%1 \n").arg(q));
                lock.lock();
                sendQuestion(lock, q);
                m_arrNeedToPollStu = m_arrPollStuInBig;
            } else if (m_nBigCount < m_timing.bigRounds) {
                threadState_send = Poll;
            } else {
                sendEnds(lock, TransferFrames::endOfSet());
                lock.unlock();
                m_message(QStringLiteral("All Question Sended \n"));
                lock.lock();
                if (threadState_send != Stop)
                    threadState_send = Stop;
            }
        } else if (threadState_send == Poll) {
            // What the next pass sends is what this phase's replies say is missing (and all of it
            // again when a keypad stays silent), never what an earlier phase found missing.
            m_arrLostQueInBig.clear();
            lock.unlock();
            m_message(QStringLiteral("Poll students \n"));
            lock.lock();
            int rounds = 0;
            while (!m_arrNeedToPollStu.isEmpty() && threadState_send != Stop && !m_stop) {
                if (!pause(lock, m_timing.pollPauseMs))
                    break;
                const QList<int> keypads = m_arrPollStuInBig;
                for (int k : keypads) {
                    send(lock, TransferFrames::poll(k, nQuestionNo, m_set.quizID));
                    if (!pause(lock, m_timing.frameGapMs))
                        break;
                }
                // Once every keypad has replied there is nothing more to wait for.
                if (!pause(lock, m_timing.pollSettleMs, [this] { return m_arrNeedToPollStu.isEmpty(); }))
                    break;
                if (++rounds >= m_timing.pollRounds && !m_arrNeedToPollStu.isEmpty()) {
                    // Nobody left answers: everything again, after waking the keypads.
                    addPending(1, n);
                    ++m_nBigCount;
                    send(lock, ActivityFrames::wake());
                    break;
                }
            }
            weighPhase();
            m_bInBigBegin = true;
            if (threadState_send != Stop)
                threadState_send = Send;
        }
    }
    m_bIsThreadSendQuestionStart = false;
    // Ended by itself: the teacher learns which keypads to see to.
    const QList<int> lacking = m_stop || m_set.keypads.isEmpty() ? QList<int>() : keypadsLacking();
    lock.unlock();
    if (!lacking.isEmpty())
        m_message((lacking.size() == 1 ? QStringLiteral("Keypad %1 did not confirm every question. \n")
                                       : QStringLiteral("Keypads %1 did not confirm every question. \n"))
                      .arg(keypadNumbers(lacking)));
    m_message(QStringLiteral("Send Questions Over \n"));
}
