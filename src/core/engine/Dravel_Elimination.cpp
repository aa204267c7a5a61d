#include "Dravel_Elimination.h"

#include "core/engine/EliminationRound.h"

void Dravel_Elimination::modeStart(int n)
{
    Dravel_Normal::modeStart(n);
    EliminationRound::begin(n);
}

void Dravel_Elimination::modeStop()
{
    EliminationRound::decide(m_nQuestionNo, this);
}

void Dravel_Elimination::RX_StudentNormalAnswer()
{
    if (!EliminationRound::isEliminated(m_frameToHandle.deviceID()))
        QuizMode::RX_StudentNormalAnswer();
}
