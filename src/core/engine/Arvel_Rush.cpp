#include "Arvel_Rush.h"

#include "core/engine/QuizData.h"
#include "core/engine/QuizQuestions.h"

void Arvel_Rush::modeStart(int n)
{
    // The count-down waits for the winner: the timer is left as the window set it.
    m_nQuestionNo = n;
    m_nAnsweredNum = 0;
    qdObject->clearQuestionRecord(n);
    askedListMoveToEnd(n);
    m_round.open();
}

void Arvel_Rush::modeStop()
{
    m_round.close(true);
}

void Arvel_Rush::handleStudentCommandArvel()
{
    const QString text = keyAnswer(m_nQuestionNo);
    if (text.isEmpty())
        return;
    const int k = m_frameToHandle.deviceID();
    const bool buzz = text == QLatin1String("G");
    if (!m_round.hasWinner()) {
        if (buzz && m_round.take(m_nQuestionNo, k)) {
            m_round.showBox();
            RushRound::post(k, 0, QString());
        }
        return;
    }
    if (k != m_round.nRushDeviceNo())
        return;
    if (buzz) {
        m_quizStateScreenTimer = qqObject->rushTime(m_nQuestionNo);
        return;
    }
    if (m_nQuestionNo > qdObject->recordCount())
        return;
    qdObject->setStudentAnswer(m_nQuestionNo, k, text);
    qdObject->setStudentAnswerTime(m_nQuestionNo, k, m_quizStateScreenTimer);
    m_nRushStuDeviceNo = k;
    RushRound::post(k, 1, text);
}
