#pragma once

#include "core/engine/AnswerScoring.h"

#include <QList>
#include <QString>

class QuizData;
class QuizQuestions;

// The scoring of the running activity, read from the run's shared data (QuizData,
// QuizQuestions): what the result windows show during a run. q is a question number of the
// set (1-based), d a keypad (device) number.
//
// The questions' correct answers, points and rules are read once when the object is made, so a
// window that scores every student on every question does not go back to the shared data for
// each answer; make a new one after the set changes.
class RunScoring
{
public:
    explicit RunScoring(int activity);

    int activity() const { return m_activity; }
    AnswerScoring::WrongAnswer wrongAnswerRule(int q) const;
    // The student's answer to question q, as recorded.
    QString answer(int q, int d) const;
    // Points of the student's answer to question q by the activity's rule; in an activity whose
    // answers the teacher marks (Hand Raise), the points the teacher gave.
    int answerPoints(int q, int d) const;
    // The same for an answer already read, with the points the teacher gave it.
    int points(int q, const QString &answer, int markedPoints = 0) const;
    // What an answer adds to its group: as points(), except that a rush chance not taken costs
    // the question's points in every activity.
    int groupPoints(int q, const QString &answer) const;
    // Right, wrong or no response, against the question's correct answer.
    AnswerScoring::Outcome outcome(int q, int d) const;
    // The questions a running total adds up, in order: every question of the set for Paper
    // Quiz and Homework, else the questions asked so far in asking order.
    QList<int> totalQuestions() const;
    int studentTotal(int d) const;
    // Every logged-in student's total, in login order (position p at index p - 1).
    QList<int> loginTotals() const;

private:
    struct Question
    {
        QString correct;
        int points = 0;
        AnswerScoring::WrongAnswer rule = AnswerScoring::WrongAnswer::ScoresNothing;
    };
    const Question &question(int q) const;

    int m_activity;
    bool m_marked;
    QuizData *m_qd;
    QuizQuestions *m_qq;
    QList<Question> m_questions;
};
