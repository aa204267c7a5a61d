#include "StoredAnswers.h"

#include "core/store/QuizEntity.h"

#include <QPair>

StoredAnswers::StoredAnswers(const QuizEntity &quiz) : m_questions(int(quiz.allQuestions().size()))
{
    // The positions that carry each stored number, in stored order.
    QHash<QString, QList<int>> carriers;
    for (int p = 0; p < m_questions; ++p)
        carriers[QString::number(quiz.allQuestions().at(p).quNo())].append(p);
    m_shared.resize(m_questions, false);
    for (const QList<int> &positions : std::as_const(carriers))
        if (positions.size() > 1)
            for (int p : positions)
                m_shared[p] = true;

    // How many of a student's records have named a number so far.
    QHash<QPair<QString, QString>, int> seen;
    const QList<ResponseDataEntity> &records = quiz.allStudentsAns();
    m_questionOfRecord.reserve(records.size());
    for (const ResponseDataEntity &r : records) {
        const auto it = carriers.constFind(r.questionID());
        int position = -1;
        if (it != carriers.cend()) {
            const int n = seen[{r.studentID(), r.questionID()}]++;
            if (n < it->size())
                position = it->at(n);
        }
        m_questionOfRecord.append(position);
        if (position < 0)
            continue;
        QList<const ResponseDataEntity *> &answers = m_byStudent[r.studentID()];
        if (answers.isEmpty())
            answers.resize(m_questions, nullptr);
        answers[position] = &r;
    }
}

QList<const ResponseDataEntity *> StoredAnswers::answersOf(const QString &studentID) const
{
    const auto it = m_byStudent.constFind(studentID);
    return it == m_byStudent.cend() ? QList<const ResponseDataEntity *>(m_questions, nullptr) : *it;
}

const ResponseDataEntity *StoredAnswers::find(const QString &studentID, int position) const
{
    const auto it = m_byStudent.constFind(studentID);
    if (it == m_byStudent.cend() || position < 0 || position >= m_questions)
        return nullptr;
    return it->at(position);
}

QString StoredAnswers::reply(const QString &studentID, int position) const
{
    const ResponseDataEntity *r = find(studentID, position);
    return r ? r->response() : QString();
}

bool StoredAnswers::numberIsShared(int position) const
{
    return position >= 0 && position < m_questions && m_shared.at(position);
}
