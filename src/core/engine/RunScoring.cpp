#include "RunScoring.h"

#include "core/engine/ActivityRules.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizQuestions.h"

RunScoring::RunScoring(int activity)
    : m_activity(activity),
      m_marked(ActivityRules::rule(activity).pointsMarkedByTeacher),
      m_qd(QuizData::shareManager()),
      m_qq(QuizQuestions::shareManager())
{
    const QList<QuizQuestionsElement> questions = m_qq->arrayQuestions();
    m_questions.reserve(questions.size());
    for (const QuizQuestionsElement &e : questions)
        m_questions.append({e.strAnswer(), e.nPoint(), AnswerScoring::wrongAnswerRule(activity, e.nActionMode())});
}

const RunScoring::Question &RunScoring::question(int q) const
{
    static const Question none;
    return q >= 1 && q <= m_questions.size() ? m_questions.at(q - 1) : none;
}

AnswerScoring::WrongAnswer RunScoring::wrongAnswerRule(int q) const
{
    return question(q).rule;
}

QString RunScoring::answer(int q, int d) const
{
    return m_qd->getStudentAnswer(q, d);
}

int RunScoring::points(int q, const QString &answer, int markedPoints) const
{
    if (m_marked)
        return markedPoints;
    const Question &question = this->question(q);
    return AnswerScoring::points(answer, question.correct, question.points, question.rule);
}

int RunScoring::groupPoints(int q, const QString &answer) const
{
    if (AnswerScoring::isMissedRush(answer))
        return -question(q).points;
    return points(q, answer);
}

int RunScoring::answerPoints(int q, int d) const
{
    return points(q, answer(q, d), m_marked ? m_qd->getStudentPoint(q, d) : 0);
}

AnswerScoring::Outcome RunScoring::outcome(int q, int d) const
{
    return AnswerScoring::outcome(answer(q, d), question(q).correct);
}

QList<int> RunScoring::totalQuestions() const
{
    if (!AnswerScoring::totalCoversWholeSet(m_activity))
        return m_qd->arrayAlreadyTestQuestionNo();
    QList<int> all;
    for (int q = 1; q <= m_questions.size(); ++q)
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

QList<int> RunScoring::loginTotals() const
{
    // By position: a record keeps each logged-in student's answer at the student's place in the
    // login order, so one pass over a record scores the whole class.
    QList<int> totals(QuizParticipantData::shareManager()->getSumOfLoginStudents(), 0);
    for (int q : totalQuestions()) {
        const QuestionRepondData record = m_qd->record(q);
        const QList<QString> answers = record.studentsAnswer();
        const QList<int> marks = record.studentsPoint();
        for (qsizetype p = 0; p < totals.size(); ++p)
            totals[p] += points(q, p < answers.size() ? answers.at(p) : QString(), p < marks.size() ? marks.at(p) : 0);
    }
    return totals;
}
