#include "Brevel_Elimination.h"

#include "core/engine/EliminationRound.h"

void Brevel_Elimination::modeStart(int n)
{
    Brevel_Normal::modeStart(n);
    EliminationRound::begin(n);
}

void Brevel_Elimination::modeStop()
{
    EliminationRound::decide(m_nQuestionNo, this);
}

void Brevel_Elimination::RX_StudentNormalAnswer()
{
    if (!EliminationRound::isEliminated(m_frameToHandle.deviceID()))
        Brevel_Normal::RX_StudentNormalAnswer();
}
