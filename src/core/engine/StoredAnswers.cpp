#include "StoredAnswers.h"

#include "core/store/QuizEntity.h"

StoredAnswers::StoredAnswers(const QuizEntity &quiz) : m_questions(int(quiz.allQuestions().size()))
{
    for (const ResponseDataEntity &r : quiz.allStudentsAns()) {
        const int k = positionNamed(r.questionID(), m_questions);
        if (k == 0)
            continue;
        QList<const ResponseDataEntity *> &first = m_first[r.studentID()];
        if (first.isEmpty())
            first.resize(m_questions, nullptr);
        if (!first.at(k - 1))
            first[k - 1] = &r;
    }
}

QList<const ResponseDataEntity *> StoredAnswers::answersOf(const QString &studentID) const
{
    const auto it = m_first.constFind(studentID);
    return it == m_first.cend() ? QList<const ResponseDataEntity *>(m_questions, nullptr) : *it;
}

int StoredAnswers::positionNamed(const QString &questionID, int count)
{
    bool ok = false;
    const int k = questionID.toInt(&ok);
    if (!ok || k < 1 || k > count || questionID != QString::number(k))
        return 0;
    return k;
}
