#pragma once

#include "core/engine/AnswerScoring.h"

#include <QList>

class QuizData;
class QuizQuestions;

// The scoring of the running activity, read from the run's shared data (QuizData,
// QuizQuestions): what the result windows show during a run. q is a question number of the
// set (1-based), d a keypad (device) number.
class RunScoring
{
public:
    explicit RunScoring(int activity);

    int activity() const { return m_activity; }
    AnswerScoring::WrongAnswer wrongAnswerRule(int q) const;
    // The student's answer to question q, as recorded.
    QString answer(int q, int d) const;
    // Points of the student's answer to question q by the activity's rule.
    int answerPoints(int q, int d) const;
    // Right, wrong or no response, against the question's correct answer.
    AnswerScoring::Outcome outcome(int q, int d) const;
    // The questions a running total adds up, in order: every question of the set for Paper
    // Quiz and Homework, else the questions asked so far in asking order.
    QList<int> totalQuestions() const;
    int studentTotal(int d) const;

private:
    int m_activity;
    QuizData *m_qd;
    QuizQuestions *m_qq;
};
