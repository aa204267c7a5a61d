#include "ReportSessionStats.h"

#include "core/engine/StoredAnswers.h"
#include "core/store/DataManager.h"
#include "core/store/QuizEntity.h"

ReportSessionStats::ReportSessionStats(const QuizEntity &quiz)
    : m_students(int(quiz.allStudents().size())), m_counts(quiz.allQuestions().size())
{
    const QList<int> belongs = StoredAnswers(quiz).questionOfRecords();
    for (qsizetype i = 0; i < belongs.size(); ++i)
        if (belongs.at(i) >= 0)
            ++m_counts[belongs.at(i)][quiz.allStudentsAns().at(i).response()];
}

int ReportSessionStats::replies(int position, const QString &reply) const
{
    return m_counts.value(position).value(reply);
}

int ReportSessionStats::optionChosen(int position, const QuestionEntity &question, const QString &letter) const
{
    return replies(position, DataManager::storedReplyOf(question, letter));
}

float ReportSessionStats::percentOf(int count) const
{
    if (m_students <= 0)
        return 0.0f;
    return float(count * 100) / float(m_students);
}

QList<Question> ReportSessionStats::questionsWithPoints(const QuizEntity &quiz)
{
    return ReportSessionStats(QuizEntity()).questions(quiz, {}, [](const QuestionEntity &stored, int, Question &question) {
        question.setPoint(stored.mark());
        question.setDesNum(stored.mark());
    });
}

QList<Question> ReportSessionStats::questions(const QuizEntity &quiz, const Progress &progress,
                                              const std::function<void(const QuestionEntity &, int, Question &)> &fill) const
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
        fill(q, k, question);
        out.append(question);
    }
    return out;
}
