#pragma once

#include "core/engine/QuizQuestionsElement.h"

#include <QList>

#include <functional>

// What differs when an activity runs over a slide show instead of in the activity window: how
// the questions read from the slides become the run's questions, the lead-in before the
// count-down, and the strip's sizes under the teacher's strip key. Everything else (controls,
// scoring, result windows) is the activity's own rule, as in the activity window.
class SlideShowRunRules
{
public:
    SlideShowRunRules() = delete;

    // The action mode a slide names (0 Normal Quiz, 1 Rush Quiz, 2 Elimination, 3 Survey, 4 Vote)
    // in the run's numbering. A survey slide runs as a normal question: no action mode of the run
    // stands for it, and its number would otherwise be taken for a rush.
    static int runActionMode(int slideActionMode);

    // The slides' questions as the run asks them: action modes in the run's numbering, a vote
    // slide without its answer outside a vote, true or false answers as "True" and "False", a
    // question's usual 30 seconds where a slide has no time, and at most as many questions as
    // the keypads hold.
    static QList<QuizQuestionsElement> runQuestions(QList<QuizQuestionsElement> slides, int activity, int deviceType);
    // Questions a set may have on these keypads; 0 for no limit.
    static int questionLimit(int activity, int deviceType);

    // Seconds before the count-down begins: two when somebody is logged in and the receiver
    // gives the keypads time to show the question; none for paper quiz, homework, rush and roll
    // call, and on Arvel and Corvel receivers.
    static int leadIn(int activity, int deviceType, int loggedIn);

    // The strip: 0 normal, 1 small, 2 large.
    enum StripState { Normal = 0, Small = 1, Large = 2 };
    // One press of the strip key: tries the next sizes in turn (resize answers whether the strip
    // took the size; the large one needs enough students) and answers the new state.
    static int nextStripState(int state, const std::function<bool(int size)> &resize);
};
