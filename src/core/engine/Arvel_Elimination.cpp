#include "Arvel_Elimination.h"

#include "core/engine/EliminationRound.h"

void Arvel_Elimination::modeStart(int n)
{
    Arvel_Normal::modeStart(n);
    EliminationRound::begin(n);
}

void Arvel_Elimination::modeStop()
{
    EliminationRound::decide(m_nQuestionNo, this);
}

void Arvel_Elimination::handleStudentCommandArvel()
{
    if (!EliminationRound::isEliminated(m_frameToHandle.deviceID()))
        Arvel_Normal::handleStudentCommandArvel();
}
