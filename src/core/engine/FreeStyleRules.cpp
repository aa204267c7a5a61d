#include "FreeStyleRules.h"

#include "core/base/ActivityCodes.h"

int FreeStyleRules::maxOptions(int deviceType)
{
    return deviceType == DeviceType::Arvel ? 6 : 10;
}

QList<int> FreeStyleRules::optionCounts(int deviceType)
{
    QList<int> out;
    for (int n = kMinOptions; n <= maxOptions(deviceType); ++n)
        out << n;
    return out;
}

int FreeStyleRules::keypadOptionCount(int deviceType, int requested)
{
    if (requested == 0)
        return 0;
    return qBound(kMinOptions, requested, maxOptions(deviceType));
}

QStringList FreeStyleRules::roleNames()
{
    return {QStringLiteral("No Set"), QStringLiteral("Question"), QStringLiteral("OptionA"), QStringLiteral("OptionB"),
            QStringLiteral("OptionC"), QStringLiteral("OptionD"), QStringLiteral("OptionE"), QStringLiteral("OptionF")};
}

int FreeStyleRules::penWidth(int item)
{
    return item >= 0 && item <= 3 ? 2 * (item + 1) : 2;
}

namespace {
bool hasAnswerDialog(int activity)
{
    return activity == Activity::FreeNormalQuiz || activity == Activity::FreeRushQuiz
           || activity == Activity::FreeElimination;
}
} // namespace

bool FreeStyleRules::answerDialogAtStop(int activity, bool setFromKeypad, bool stoppedBefore)
{
    return hasAnswerDialog(activity) && !setFromKeypad && !stoppedBefore;
}

bool FreeStyleRules::evaluatesAtStop(int activity, bool setFromKeypad)
{
    return !(activity == Activity::FreeElimination && !setFromKeypad);
}

bool FreeStyleRules::evaluatesOnAnswer(int activity, bool setFromKeypad)
{
    return activity == Activity::FreeElimination || setFromKeypad;
}

bool FreeStyleRules::answerSettingOpen(int activity, bool answerEmpty, bool setFromKeypad)
{
    if (activity == Activity::FreeElimination)
        return answerEmpty && !setFromKeypad;
    return true;
}

FreeStyleRules::Items FreeStyleRules::toolbarItems(const ToolbarState &s)
{
    const Items tools = Tool | PenSize | AlignAndSize | ColorWell | QuestionInfo | Standard | CutPicture;
    Items on;
    if (!s.enabled)
        return on;
    on |= OptionCount;
    if (s.addNewState)
        on |= AddNew;
    if (s.bottomLayout) {
        // Only the page's own tools go: the page is out of sight.
        if (s.addNewState && s.haveQuestions)
            on |= Delete;
    } else if (s.haveQuestions) {
        on |= Role | tools;
        if (s.addNewState)
            on |= Delete;
    }
    if (!s.canCapture)
        on &= ~Items(CutPicture);
    return on;
}
