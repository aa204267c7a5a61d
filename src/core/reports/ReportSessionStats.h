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

    // How many answers to the question numbered quNo are exactly reply.
    int replies(int quNo, const QString &reply) const;
    // How many answers to question equal the option letter: a true-or-false question's answers
    // are stored as "True" and "False", so "A" and "B" count those (the letter "F" stays a letter).
    int optionChosen(const QuestionEntity &question, const QString &letter) const;
    // The replies to the question numbered quNo with their counts.
    QHash<QString, int> repliesTo(int quNo) const { return m_counts.value(QString::number(quNo)); }

    // The share of the class, in percent, that count stands for: every student of the session
    // counts, answered or not; a session without students gives 0.
    float percentOf(int count) const;

    // The report's record of each stored question, in order (its numbers, type, text, correct
    // answer and option count), handed to fill for the report's own fields (the shares).
    QList<Question> questions(const QuizEntity &quiz, const Progress &progress,
                              const std::function<void(const QuestionEntity &stored, Question &question)> &fill) const;

    // The report's record of each stored question with its points, and the same deducted for a
    // wrong answer where a report deducts.
    static QList<Question> questionsWithPoints(const QuizEntity &quiz);

private:
    int m_students = 0;
    // Question number text -> reply -> count.
    QHash<QString, QHash<QString, int>> m_counts;
};
