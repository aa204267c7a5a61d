#include "FirstAnswers.h"

#include "core/store/QuizEntity.h"

FirstAnswers::FirstAnswers(const QuizEntity &quiz)
{
    m_first.reserve(quiz.allStudentsAns().size());
    for (const ResponseDataEntity &a : quiz.allStudentsAns())
    {
        const QPair<QString, QString> key(a.studentID(), a.questionID());
        if (!m_first.contains(key))
            m_first.insert(key, &a);
    }
}

const ResponseDataEntity *FirstAnswers::find(const QString &studentID, const QString &questionID) const
{
    return m_first.value({studentID, questionID}, nullptr);
}

QString FirstAnswers::reply(const QString &studentID, const QString &questionID) const
{
    const ResponseDataEntity *a = find(studentID, questionID);
    return a ? a->response() : QString();
}
