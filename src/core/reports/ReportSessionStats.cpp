#include "ReportSessionStats.h"

#include "core/store/DataManager.h"
#include "core/store/QuizEntity.h"

ReportSessionStats::ReportSessionStats(const QuizEntity &quiz) : m_students(int(quiz.allStudents().size()))
{
    for (const ResponseDataEntity &a : quiz.allStudentsAns())
        ++m_counts[a.questionID()][a.response()];
}

int ReportSessionStats::replies(int quNo, const QString &reply) const
{
    const auto question = m_counts.constFind(QString::number(quNo));
    return question == m_counts.cend() ? 0 : question->value(reply);
}

int ReportSessionStats::optionChosen(const QuestionEntity &question, const QString &letter) const
{
    return replies(question.quNo(), DataManager::storedReplyOf(question, letter));
}

float ReportSessionStats::percentOf(int count) const
{
    if (m_students <= 0)
        return 0.0f;
    return float(count * 100) / float(m_students);
}

QList<Question> ReportSessionStats::questionsWithPoints(const QuizEntity &quiz)
{
    return ReportSessionStats(QuizEntity()).questions(quiz, {}, [](const QuestionEntity &stored, Question &question) {
        question.setPoint(stored.mark());
        question.setDesNum(stored.mark());
    });
}

QList<Question> ReportSessionStats::questions(const QuizEntity &quiz, const Progress &progress,
                                              const std::function<void(const QuestionEntity &, Question &)> &fill) const
{
    QList<Question> out;
    const QList<QuestionEntity> &stored = quiz.allQuestions();
    for (int k = 0; k < stored.size(); ++k) {
        if (progress)
            progress(k + 1, int(stored.size()));
        const QuestionEntity &q = stored.at(k);
        Question question;
        question.setQuNo(q.quNo());
        question.setActQuNo(q.quNo());
        question.setQuTypeNo(DataManager::getQuTypeNoByName(q.quType()));
        question.setQuestionTitle(q.title());
        question.setRightAns(q.rightAns());
        question.setOptionNo(int(q.allOptions().size()));
        fill(q, question);
        out.append(question);
    }
    return out;
}
