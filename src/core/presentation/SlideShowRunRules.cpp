#include "SlideShowRunRules.h"

#include "core/base/ActivityCodes.h"
#include "core/engine/ActivityRules.h"
#include "core/engine/RunQuestionRecord.h"

int SlideShowRunRules::runActionMode(int slideActionMode)
{
    switch (slideActionMode) {
    case 1: return ActionMode::Rush;
    case 2: return ActionMode::Elimination;
    case 4: return ActionMode::Vote;
    default: return ActionMode::Normal;
    }
}

int SlideShowRunRules::questionLimit(int activity, int deviceType)
{
    // Arvel and Brevel keypads page a paper quiz or homework through 60 questions; Corvel and
    // Dravel keypads hold no more than 60 of a set.
    const bool setOnKeypads = activity == Activity::PaperQuiz || activity == Activity::HomeWork;
    if (setOnKeypads && (deviceType == DeviceType::Arvel || deviceType == DeviceType::Brevel))
        return 60;
    return ActivityRules::keypadQuestionLimit(activity, deviceType);
}

QList<QuizQuestionsElement> SlideShowRunRules::runQuestions(QList<QuizQuestionsElement> slides, int activity, int deviceType)
{
    if (const int limit = questionLimit(activity, deviceType); limit > 0 && slides.size() > limit)
        slides.resize(limit);
    for (QuizQuestionsElement &q : slides) {
        q.setNActionMode(runActionMode(q.nActionMode()));
        q.setStrAnswer(RunQuestionRecord::runAnswer(q.nQuestionType(), q.strAnswer(), q.nActionMode(), activity));
        if (q.nQuestionType() == QuestionType::TrueFalse)
            q.setNOptionNum(2);
        // A slide without a time of its own (no "time" shape, or a text that is no number) would
        // end its question the moment it began: it runs for a question's usual time.
        if (q.nQuizTime() < 1)
            q.setNQuizTime(QuizQuestionsElement().nQuizTime());
        if (q.nRushTime() < 1)
            q.setNRushTime(QuizQuestionsElement().nRushTime());
    }
    return slides;
}

int SlideShowRunRules::leadIn(int activity, int deviceType, int loggedIn)
{
    switch (activity) {
    case Activity::PaperQuiz:
    case Activity::HomeWork:
    case Activity::RushQuiz:
    case Activity::Attendance:
        return 0;
    default:
        break;
    }
    if (loggedIn < 1 || deviceType == DeviceType::Arvel || deviceType == DeviceType::Corvel)
        return 0;
    return 2;
}

int SlideShowRunRules::nextStripState(int state, const std::function<bool(int)> &resize)
{
    switch (state) {
    case Normal:
        if (resize(Large))
            return Large;
        return resize(Small) ? Small : state;
    case Large:
        if (resize(Small))
            return Small;
        return resize(Normal) ? Normal : state;
    case Small:
        if (resize(Normal))
            return Normal;
        // A strip that will not be normal but can be large ends up large.
        return resize(Large) ? Large : state;
    default:
        return state;
    }
}
