#include "AnswerDetails.h"

#include "core/engine/QuizData.h"
#include "core/engine/QuizQuestions.h"
#include "core/engine/RunScoring.h"

namespace {
const QString kQuestionNo = QStringLiteral("Question No");
const QString kAnswer = QStringLiteral("Answer");
const QString kPoints = QStringLiteral("Points");
} // namespace

QList<QuestionReport::Column> AnswerDetails::columns(int activity)
{
    if (ActivityRules::rule(activity).pointsMarkedByTeacher)
        return {{kQuestionNo, 0.49}, {kPoints, 0.49}};
    return {{kQuestionNo, 0.32}, {kAnswer, 0.32}, {kPoints, 0.32}};
}

AnswerDetails::AnswerDetails(int activity, const StudentInClassPtr &student)
{
    for (const QuestionReport::Column &c : columns(activity))
        m_identifiers << c.identifier;
    const QuizQuestions *qq = QuizQuestions::shareManager();
    const QuizData *qd = QuizData::shareManager();
    const RunScoring scoring(activity);
    const int d = student ? student->deviceNo() : 0;
    const int count = qq->count();
    for (int q = 1; q <= count; ++q) {
        const bool teachingPlan = qq->questionType(q) == QuestionType::TeachingPlan;
        const QString answer = d > 0 ? qd->getStudentAnswer(q, d) : QString();
        const int marked = d > 0 ? qd->getStudentPoint(q, d) : 0;
        QStringList row;
        for (const QString &id : m_identifiers) {
            if (id == kQuestionNo)
                row << QString::number(q);
            else if (teachingPlan)
                row << QString();
            else if (id == kAnswer)
                row << QuestionReport::shownAnswer(answer);
            else
                row << QString::number(scoring.points(q, answer, marked));
        }
        m_rows << row;
    }
}

QString AnswerDetails::cell(int row, const QString &identifier) const
{
    const qsizetype column = m_identifiers.indexOf(identifier);
    if (row < 0 || row >= m_rows.size() || column < 0)
        return QString();
    return m_rows.at(row).at(column);
}
