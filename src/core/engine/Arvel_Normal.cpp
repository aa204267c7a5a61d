#include "Arvel_Normal.h"

#include "core/app/CommonFunc.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizQuestions.h"

Arvel_Normal::Arvel_Normal(int activity, bool emptyLoginListFirst, QObject *parent) : QuizMode(parent)
{
    qpdObject->loginWholeClass(emptyLoginListFirst);
    m_quizMode = activity;
}

void Arvel_Normal::modeStart(int n)
{
    QuizMode::modeStart(n);
    m_nQuestionNo = n;
    m_nAnsweredNum = 0;
    qdObject->clearQuestionRecord(n);
    askedListMoveToEnd(n);
}

QString Arvel_Normal::keyAnswer(int q) const
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.type() != 0 || !f.isStudentCommand())
        return QString();
    const QString text(QChar(f.key()));
    return qqObject->questionType(q) == 5 ? stringToTureFalseString(text) : text;
}

void Arvel_Normal::handleStudentCommandArvel()
{
    const QString answer = keyAnswer(m_nQuestionNo);
    if (!answer.isEmpty())
        storeAnswer(m_frameToHandle.deviceID(), answer);
}
