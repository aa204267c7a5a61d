#include "Arvel_HandRaise.h"

#include "core/engine/QuizData.h"

void Arvel_HandRaise::modeStart(int n)
{
    // The answered count is left as it stands.
    QuizMode::modeStart(n);
    m_nQuestionNo = n;
    qdObject->clearQuestionRecord(n);
    askedListMoveToEnd(n);
}

void Arvel_HandRaise::handleStudentCommandArvel()
{
    const int k = m_frameToHandle.deviceID();
    if (!keyText().isEmpty() && QuestionRepondData::deviceNoToBtnNo(k) >= 1)
        PostStudentAnswerState(k);
}
