#include "RunControls.h"

#include "core/engine/ActivityRules.h"
#include "core/engine/FreeStyleRules.h"

RunControls::Controls RunControls::shown(int activity, int deviceType)
{
    const ActivityRule &r = ActivityRules::rule(activity);
    Controls c = Start | Stop | Next | Previous | Result | Report | Exit;
    if (r.adjustableTime)
        c |= TimeUp | TimeDown;
    if (r.readAloud)
        c |= Read;
    if (r.answerSetting)
        c |= AnswerSetting;
    if (r.freeStyle)
        c |= Toggle;
    // Only the Dravel keypads take a question set from the run window.
    if (r.questionSetOnKeypads && deviceType == DeviceType::Dravel)
        c |= SendQuestions;
    return c;
}

RunControls::Controls RunControls::enabled(const Situation &s)
{
    const ActivityRule &r = ActivityRules::rule(s.activity);
    const Controls shownHere = shown(s.activity, s.deviceType);
    // The time buttons, reading aloud and question sending serve a running question as well;
    // the free-style pane toggle serves every phase.
    Controls c = shownHere & (TimeUp | TimeDown | Read | SendQuestions | Toggle);

    const auto navigation = [&] {
        Controls n;
        if (!r.navigates)
            return n;
        if (s.questionNo < s.questionCount)
            n |= Next;
        if (s.questionNo > 1)
            n |= Previous;
        return n;
    };
    const bool haveQuestions = s.questionCount > 0 || r.pages == ActivityRule::Pages::None;

    switch (s.phase) {
    case Phase::Running:
        c |= Start | Stop;
        break;
    case Phase::AwaitingRush:
        c |= Stop;
        break;
    case Phase::Opened:
        c |= Exit | navigation();
        if (haveQuestions)
            c |= Start;
        break;
    case Phase::Stopped:
        c |= Exit | navigation();
        if (haveQuestions && !(s.questionRun && ActivityRules::questionRunsOnce(s.activity, s.actionMode)))
            c |= Start;
        if (r.reportAfterStop)
            c |= Report;
        // Between questions a result belongs to the question shown, so it must have run.
        if (r.resultAfterStop && (s.questionRun || !r.navigates))
            c |= Result;
        if (s.questionRun && FreeStyleRules::answerSettingOpen(s.activity, s.answerEmpty, s.setFromKeypad))
            c |= AnswerSetting;
        break;
    }
    return c & shownHere;
}

bool RunControls::canStartQuestion(int activity, int deviceType, int questionType, const QString &answer)
{
    if (questionType == QuestionType::TeachingPlan)
        return false;
    if (answer == QLatin1String("nocorrect") && activity != Activity::Vote)
        return false;
    return keypadsAnswer(deviceType, questionType);
}

bool RunControls::keypadsAnswer(int deviceType, int questionType)
{
    return !DeviceType::isSmallFamily(deviceType) || questionType == QuestionType::SingleAnswer
           || questionType == QuestionType::TrueFalse;
}

QList<int> RunControls::unanswerableQuestions(int activity, int deviceType, const QList<int> &questionTypes)
{
    QList<int> numbers;
    if (!ActivityRules::rule(activity).checksQuestionAtStart)
        return numbers;
    for (int i = 0; i < questionTypes.size(); ++i)
        if (questionTypes.at(i) != QuestionType::TeachingPlan && !keypadsAnswer(deviceType, questionTypes.at(i)))
            numbers << i + 1;
    return numbers;
}

QString RunControls::doneText(int questionsRun, int questionsInSet)
{
    return questionsRun == questionsInSet ? QStringLiteral("All Done") : QStringLiteral("Done");
}

bool RunControls::doneShown(Phase phase, bool questionRun)
{
    return questionRun && (phase == Phase::Opened || phase == Phase::Stopped);
}
