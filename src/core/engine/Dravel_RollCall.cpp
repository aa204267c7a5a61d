#include "Dravel_RollCall.h"

#include "core/engine/QuizData.h"
#include "platform/Log.h"

void Dravel_RollCall::modeStart(int n)
{
    // No count-down of its own: the timer keeps what the window set.
    m_nQuestionNo = n;
    m_nAnsweredNum = 0;
    askedListAppend(n);
    qdObject->clearQuestionRecord(n);
}

void Dravel_RollCall::RX_StudentSignal()
{
    PollixFrameLogf("RX_StudentSignal:%d", m_frameToHandle.deviceID());
    markPresent(m_frameToHandle.deviceID());
}

void Dravel_RollCall::handleStudentCommandArvel()
{
    if (m_frameToHandle.type() == 0 && m_frameToHandle.isStudentCommand())
        markPresent(m_frameToHandle.deviceID());
}
