#pragma once

#include "core/engine/QuizQuestionsElement.h"

#include <QList>
#include <QString>

// The question editor over slides: what a new question slide holds, how its answer is chosen
// and kept in range, and what applying settings to all questions changes. The limits, the types
// each keypad model offers and the controls live per type are those of the question properties
// window (QuestionInfoRules); this class adds what only slides need.
class SlideQuestionRules
{
public:
    SlideQuestionRules() = delete;

    // The editor's activity chooser: index 0 Normal Quiz, 1 Rush Quiz, 2 Elimination, 3 Vote.
    static constexpr int kVoteIndex = 3;
    static QStringList activityNames(bool withVote);

    // A question taken from a template slide just added: the slide's title and option texts,
    // type true or false for the first template, else single answer when the slide shows
    // options and cloze test when it shows none; 10 points, 30 seconds, 30 rush points, 30
    // rush seconds, no answer, no standard.
    static QuizQuestionsElement addedQuestion(const QString &title, const QStringList &options, int visibleOptions,
                                              int templateIndex);

    // The option count a question of this type has on a slide with this many option shapes:
    // none for cloze, short answer and teaching plan, two for true or false.
    static int optionCount(int type, int slideOptions);
    // The option count the form uses to show the question's options (true or false: the two).
    static int shownOptions(int type, int optionCount);

    // The answer as the form takes it for a choice question: "True"/"False" as "A"/"B", a
    // single answer of several letters or none as "nocorrect"; a multiple answer without any
    // letter A..J as "nocorrect". Free answers (cloze, short answer) stay as they are.
    static QString formAnswer(int type, const QString &answer);
    // The letters of the ticked boxes A..J in order; with maxLetters already ticked, a further
    // tick is refused (*refused set) and the answer stays.
    static QString multipleAnswer(const QList<bool> &ticked, int maxLetters, int justTicked, bool *refused);

    // What "apply to all" copies from the current question into every question.
    enum class ApplyToAll { TimeAndPoints, Level, RushTimeAndPoints };
    static void applyToAll(QList<QuizQuestionsElement> &questions, ApplyToAll what, const QuizQuestionsElement &from);
};
