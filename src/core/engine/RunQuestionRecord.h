#pragma once

#include "core/engine/QuizQuestionsElement.h"

#include <QList>
#include <QString>

#include <memory>

class QuestionSetView;

// How a question page becomes a question of the run: its texts, times, points and standard, its
// action mode in the run's numbering, and the answer the run compares with. The activity window
// and the slide-show run load their questions through it.
class RunQuestionRecord
{
public:
    static QuizQuestionsElement fromPage(const QuestionSetView &page, int activity);
    static QList<QuizQuestionsElement> fromPages(const QList<std::shared_ptr<QuestionSetView>> &pages, int activity);

    // A page stores rush as 1 and elimination as 2; the run holds them as 3 and 4.
    static int runActionMode(int storedActionMode);
    // The answer a run question is judged by: a true-or-false answer as "True" or "False" (or
    // "nocorrect" when the page holds neither), and "nocorrect" for a vote page outside a vote.
    static QString runAnswer(int questionType, const QString &storedAnswer, int runActionMode, int activity);

    // What the read-aloud window speaks for a question: the title, then one line per option for
    // choice questions of two or more options.
    static QString readAloudText(const QuizQuestionsElement &question);
};
