#include "RunScoring.h"

#include "core/engine/QuizData.h"
#include "core/engine/QuizQuestions.h"

RunScoring::RunScoring(int activity)
    : m_activity(activity), m_qd(QuizData::shareManager()), m_qq(QuizQuestions::shareManager())
{
}

AnswerScoring::WrongAnswer RunScoring::wrongAnswerRule(int q) const
{
    return AnswerScoring::wrongAnswerRule(m_activity, m_qq->actionMode(q));
}

QString RunScoring::answer(int q, int d) const
{
    return m_qd->getStudentAnswer(q, d);
}

int RunScoring::answerPoints(int q, int d) const
{
    return AnswerScoring::points(answer(q, d), m_qq->answer(q), m_qq->point(q), wrongAnswerRule(q));
}

AnswerScoring::Outcome RunScoring::outcome(int q, int d) const
{
    return AnswerScoring::outcome(answer(q, d), m_qq->answer(q));
}

QList<int> RunScoring::totalQuestions() const
{
    if (!AnswerScoring::totalCoversWholeSet(m_activity))
        return m_qd->arrayAlreadyTestQuestionNo();
    QList<int> all;
    for (int q = 1; q <= m_qq->count(); ++q)
        all << q;
    return all;
}

int RunScoring::studentTotal(int d) const
{
    int total = 0;
    for (int q : totalQuestions())
        total += answerPoints(q, d);
    return total;
}
