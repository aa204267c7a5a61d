#include "Corvel_Normal.h"

#include "core/engine/QuizData.h"

Corvel_Normal::Corvel_Normal(int activity, AskedRule rule, QObject *parent) : QuizMode(parent), m_askedRule(rule)
{
    m_quizMode = activity;
}

void Corvel_Normal::modeStart(int n)
{
    QuizMode::modeStart(n);
    m_nQuestionNo = n;
    // The count is of the current question's answers, so it starts again with each question.
    m_nAnsweredNum = 0;
    qdObject->clearQuestionRecord(n);
    applyAskedRule(m_askedRule, n);
}

void Corvel_Normal::handleStudentCommandArvel()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.type() != 0 || !f.isStudentCommand())
        return;
    storeAnswer(f.deviceID(), QString(QChar(f.key())));
}
