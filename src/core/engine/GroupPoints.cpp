#include "GroupPoints.h"

#include "core/engine/QuizData.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/RunScoring.h"

GroupPoints::GroupPoints(int activity, int q) : m_q(q)
{
    const QuizParticipantData *qpd = QuizParticipantData::shareManager();
    const QuizData *qd = QuizData::shareManager();
    const RunScoring scoring(activity);
    const int groups = qMax(0, qpd->maxGroupNo());
    const QList<StudentInClassPtr> students = qpd->arrayLoginStudents();
    const int records = qd->recordCount();
    m_total = QList<int>(groups, 0);
    if (q >= 1 && q <= records)
        m_current = QList<int>(groups, 0);
    for (int k = 1; k <= records; ++k) {
        const QList<QString> answers = qd->record(k).studentsAnswer();
        for (qsizetype p = 0; p < students.size(); ++p) {
            const int g = students.at(p) ? students.at(p)->groupNo() : 0;
            if (g < 1 || g > groups)
                continue;
            const int points = scoring.groupPoints(k, p < answers.size() ? answers.at(p) : QString());
            m_total[g - 1] += points;
            if (k == q)
                m_current[g - 1] += points;
        }
    }
}

QString GroupPoints::currentText(int g) const
{
    return g >= 1 && g <= m_current.size() ? QString::number(m_current.at(g - 1)) : QStringLiteral("0");
}

QString GroupPoints::totalText(int g) const
{
    return g >= 1 && g <= m_total.size() ? QString::number(m_total.at(g - 1)) : QString();
}

int GroupPoints::appendPoints(int g) const
{
    return QuizData::shareManager()->getQuestionAppend(m_q, g);
}

void GroupPoints::setAppendPoints(int g, int points) const
{
    QuizData::shareManager()->setQuestionAppend(m_q, g, points);
}

int GroupPoints::finalPoints(int g) const
{
    return (g >= 1 && g <= m_total.size() ? m_total.at(g - 1) : 0) + runAppendPoints(g);
}

int GroupPoints::runAppendPoints(int g)
{
    const QuizData *qd = QuizData::shareManager();
    int sum = 0;
    for (int k : qd->arrayAlreadyTestQuestionNo())
        sum += qd->getQuestionAppend(k, g);
    return sum;
}
