#include "Brevel_Rush.h"

#include "core/engine/QuizData.h"

void Brevel_Rush::modeStart(int n)
{
    // The count-down waits for the winner: the timer is left as the window set it.
    m_nQuestionNo = n;
    m_nAnsweredNum = 0;
    qdObject->clearQuestionRecord(n);
    askedListMoveToEnd(n);
    m_round.open();
}

void Brevel_Rush::modeStop()
{
    m_round.close(true);
}
