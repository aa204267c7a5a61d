#pragma once

#include "Question.h"

#include <QHash>
#include <QList>
#include <QString>

#include <functional>

class QuizEntity;
class QuestionEntity;

// Counts of the replies of one stored session, gathered in one pass, so that a report over many
// students and questions does not walk every answer once per question and option.
class ReportSessionStats
{
public:
    using Progress = std::function<void(int done, int total)>;

    explicit ReportSessionStats(const QuizEntity &quiz);

    // Answers are counted under the question they belong to (StoredAnswers), by its position
    // (0-based, stored order); a record that belongs to none counts nowhere.
    // How many answers to the question at position are exactly reply.
    int replies(int position, const QString &reply) const;
    // How many answers to question (at position) equal the option letter: a true-or-false
    // question's answers are stored as "True" and "False", so "A" and "B" count those (the letter
    // "F" stays a letter).
    int optionChosen(int position, const QuestionEntity &question, const QString &letter) const;
    // The replies to the question at position with their counts.
    QHash<QString, int> repliesTo(int position) const { return m_counts.value(position); }

    // The share of the class, in percent, that count stands for: every student of the session
    // counts, answered or not; a session without students gives 0.
    float percentOf(int count) const;

    // The report's record of each stored question, in order (its numbers, type, text, correct
    // answer and option count), handed to fill for the report's own fields (the shares).
    QList<Question> questions(const QuizEntity &quiz, const Progress &progress,
                              const std::function<void(const QuestionEntity &stored, int position, Question &question)>
                                  &fill) const;

    // The report's record of each stored question with its points, and the same deducted for a
    // wrong answer where a report deducts.
    static QList<Question> questionsWithPoints(const QuizEntity &quiz);

private:
    int m_students = 0;
    // Question position -> reply -> count.
    QList<QHash<QString, int>> m_counts;
};
