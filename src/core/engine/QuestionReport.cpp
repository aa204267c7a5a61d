#include "QuestionReport.h"

#include "core/engine/FigureText.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizQuestions.h"
#include "core/engine/RunScoring.h"

using Report = ActivityRule::Report;

namespace {
const QString kRegister = QStringLiteral("Register#");
const QString kStudentID = QStringLiteral("Student ID");
const QString kFullName = QStringLiteral("Student Full Name");
const QString kGroup = QStringLiteral("Group NO.");
const QString kAnswer = QStringLiteral("Answer");
const QString kPoints = QStringLiteral("Points");
const QString kTime = QStringLiteral("Time");
const QString kTotal = QStringLiteral("Total Points");
const QString kTitle = QStringLiteral("Title");
} // namespace

QList<QuestionReport::Column> QuestionReport::columns(int activity)
{
    switch (ActivityRules::rule(activity).report) {
    case Report::PaperQuiz:
        return {{kRegister, 0.075}, {kStudentID, 0.2}, {kFullName, 0.2}, {kGroup, 0.1}, {kTotal, 0.2}, {kTime, 0.2}};
    case Report::HomeWork:
        return {{kRegister, 0.075}, {kStudentID, 0.3}, {kFullName, 0.305}, {kGroup, 0.1}, {kTotal, 0.2}};
    case Report::Survey:
        return {{kTitle, 0.8}, {kPoints, 0.18}};
    case Report::HandRaise:
        return {{kRegister, 0.075}, {kStudentID, 0.2}, {kFullName, 0.2}, {kGroup, 0.1}, {kPoints, 0.2}, {kTotal, 0.2}};
    case Report::Question:
        break;
    }
    return {{kRegister, 0.075}, {kStudentID, 0.15}, {kFullName, 0.21}, {kGroup, 0.09}, {kAnswer, 0.1},
            {kPoints, 0.1}, {kTime, 0.1}, {kTotal, 0.15}};
}

QString QuestionReport::shownAnswer(const QString &answer)
{
    return answer == QLatin1String("__") ? QString() : answer;
}

QuestionReport::QuestionReport(int activity, int q)
    : m_activity(activity), m_q(q), m_layout(ActivityRules::rule(activity).report)
{
    for (const Column &c : columns(activity))
        m_identifiers << c.identifier;
    const QuizQuestions *qq = QuizQuestions::shareManager();
    const QuizData *qd = QuizData::shareManager();

    if (m_layout == Report::Survey) {
        // Survey collects no points: its rows list the questions asked, nothing more.
        const QList<int> asked = qd->arrayAlreadyTestQuestionNo();
        m_rows = QList<QStringList>(asked.size(), QStringList(m_identifiers.size()));
        m_average = QStringLiteral("0.0");
        return;
    }

    m_students = QuizParticipantData::shareManager()->arrayLoginStudents();
    const RunScoring scoring(activity);
    const bool wholeSet = m_layout == Report::PaperQuiz || m_layout == Report::HomeWork;
    // Paper Quiz and Homework hand in the whole set at once: its time is the one of question 1.
    const int timeQuestion = wholeSet ? 1 : q;
    const bool teachingPlan = qq->questionType(q) == QuestionType::TeachingPlan;
    const QuestionRepondData record = qd->record(q);
    const QList<QString> answers = record.studentsAnswer();
    const QList<int> marks = record.studentsPoint();
    const QList<int> times = qd->record(timeQuestion).studentsAnswerTime();
    const QList<int> totals = scoring.loginTotals();

    double sum = 0;
    m_rows.reserve(m_students.size());
    for (qsizetype p = 0; p < m_students.size(); ++p) {
        const StudentInClassPtr &s = m_students.at(p);
        const QString answer = p < answers.size() ? answers.at(p) : QString();
        const int points = scoring.points(q, answer, p < marks.size() ? marks.at(p) : 0);
        const int total = p < totals.size() ? totals.at(p) : 0;
        QStringList row;
        for (const QString &id : m_identifiers) {
            if (id == kRegister)
                row << QString::number(p + 1);
            else if (id == kStudentID)
                row << (s ? s->studentID() : QString());
            else if (id == kFullName)
                row << (s ? s->studentFullName() : QString());
            else if (id == kGroup)
                row << (s ? QString::number(s->groupNo()) : QString());
            else if (id == kAnswer)
                row << (teachingPlan ? QString() : shownAnswer(answer));
            else if (id == kPoints)
                row << (teachingPlan ? QString() : QString::number(points));
            else if (id == kTime)
                row << QString::number(p < times.size() ? times.at(p) : 0);
            else if (id == kTotal)
                row << QString::number(total);
            else
                row << QString();
        }
        m_rows << row;
        if (wholeSet)
            sum += total;
        else if (!teachingPlan)
            sum += points;
    }
    m_average = m_students.isEmpty() ? QStringLiteral("0") : FigureText::average(sum / double(m_students.size()));
}

QString QuestionReport::cell(int row, const QString &identifier) const
{
    const qsizetype column = m_identifiers.indexOf(identifier);
    if (row < 0 || row >= m_rows.size() || column < 0)
        return QString();
    return m_rows.at(row).at(column);
}

StudentInClassPtr QuestionReport::student(int row) const
{
    return row >= 0 && row < m_students.size() ? m_students.at(row) : nullptr;
}

bool QuestionReport::showsAverage() const
{
    return !ActivityRules::eliminates(m_activity, QuizQuestions::shareManager()->actionMode(m_q));
}

bool QuestionReport::offersResultDetails() const
{
    return m_layout == Report::Question;
}

QString QuestionReport::resultDetailsAnswer() const
{
    const QuizQuestions *qq = QuizQuestions::shareManager();
    const QString answer = qq->answer(m_q);
    if (qq->questionType(m_q) == QuestionType::TeachingPlan || answer == QLatin1String("nocorrect"))
        return QStringLiteral(" ");
    return answer;
}

bool QuestionReport::opensAnswerDetails() const
{
    return m_layout != Report::Survey;
}
