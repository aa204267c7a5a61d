#include "Corvel_Elimination.h"

#include "core/engine/EliminationRound.h"

void Corvel_Elimination::modeStart(int n)
{
    Corvel_Normal::modeStart(n);
    EliminationRound::begin(n);
}

void Corvel_Elimination::modeStop()
{
    EliminationRound::decide(m_nQuestionNo, this);
}

void Corvel_Elimination::RX_StudentNormalAnswer()
{
    if (!EliminationRound::isEliminated(m_frameToHandle.deviceID()))
        QuizMode::RX_StudentNormalAnswer();
}
