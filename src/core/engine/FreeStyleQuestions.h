#pragma once

#include <QList>
#include <QString>

class QuestionSetView;

// The run's questions of a free-style run, kept in step with the pages the teacher writes: a page
// added, copied in before it is read, or deleted. Besides the run's shared lists (questions,
// answers, asked questions) the activity window holds two lists by question number, which are
// passed in so that a deletion moves them in step.
class FreeStyleQuestions
{
public:
    // A new last question of the run with its type, answer and option count.
    static void addQuestion(int questionType, const QString &answer, int optionCount);
    // Copies page n's texts and settings into run question n (padding the run with empty
    // questions up to n). Type, answer and points stay: they come from the answer dialog.
    static void reloadQuestionInfo(const QuestionSetView &page, int n);
    // Question q leaves the run. Every list by question number loses its entry q and moves the
    // later ones up: the run's questions and answers, the asked-question list, and the window's
    // flags of questions set on the keypad (by position) and numbers of questions stopped.
    static void deleteQuestion(int q, QList<int> &addedByTeacher, QList<int> &stoppedNumbers);
    // Drops q from a list of question numbers and renumbers the later ones.
    static void removeQuestionNumber(QList<int> &numbers, int q);
};
