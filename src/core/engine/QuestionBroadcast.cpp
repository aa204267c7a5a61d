#include "QuestionBroadcast.h"

#include "platform/Log.h"

QuestionBroadcast::QuestionBroadcast(Sender send) : QuestionBroadcast(std::move(send), Timing())
{
}

QuestionBroadcast::QuestionBroadcast(Sender send, Timing timing) : m_send(std::move(send)), m_timing(timing)
{
}

QuestionBroadcast::~QuestionBroadcast()
{
    stop();
}

bool QuestionBroadcast::start(Pass pass)
{
    if (m_running)
        return false;
    if (m_thread.joinable())
        m_thread.join(); // the last pass has ended; its thread is only being let go
    {
        std::lock_guard lock(m_mutex);
        m_stop = false;
    }
    m_running = true;
    m_questionNo = pass.questionNo;
    m_thread = std::thread([this, pass = std::move(pass)] { threadSendQuestion(pass); });
    return true;
}

void QuestionBroadcast::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    conStartReceive_mode.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    m_running = false;
}

bool QuestionBroadcast::threadWait(int ms)
{
    std::unique_lock lock(m_mutex);
    return !conStartReceive_mode.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_stop; });
}

void QuestionBroadcast::threadSendQuestion(const Pass &pass)
{
    for (int i = 0; i < pass.rounds && threadWait(0); ++i)
        sendQuestionContent(pass);
    if (!pass.frames.isEmpty() && pass.extraRounds > 0 && threadWait(m_timing.extraPauseMs)) {
        for (int i = 0; i < pass.extraRounds && threadWait(0); ++i)
            sendQuestionContent(pass);
    }
    if (threadWait(m_timing.settleMs) && pass.atEnd)
        pass.atEnd();
    PollixFrameLog(QStringLiteral("thread exit."));
    m_running = false;
}

void QuestionBroadcast::sendQuestionContent(const Pass &pass)
{
    for (qsizetype n = 0; n < pass.frames.size(); ++n) {
        PollixFrameLog(QStringLiteral("strContent:%1").arg(pass.texts.value(n)));
        m_send(pass.frames[n]);
        if (!threadWait(m_timing.frameGapMs))
            return;
    }
}
