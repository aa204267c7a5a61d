#include "Arvel_RollCall.h"

#include "core/engine/QuizData.h"

void Arvel_RollCall::modeStart(int n)
{
    // No count-down of its own: the timer keeps what the window set.
    m_nQuestionNo = n;
    m_nAnsweredNum = 0;
    qdObject->clearQuestionRecord(n);
    askedListMoveToEnd(n);
}
