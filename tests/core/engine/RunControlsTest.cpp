#include "core/base/ActivityCodes.h"
#include "core/engine/RunControls.h"

#include <gtest/gtest.h>

#include <QStringList>

using Phase = RunControls::Phase;
using C = RunControls::Control;

namespace {

QString names(RunControls::Controls c)
{
    static const QList<std::pair<C, const char *>> all{
        {C::Start, "Start"}, {C::Stop, "Stop"}, {C::Next, "Next"}, {C::Previous, "Previous"}, {C::Result, "Result"},
        {C::Report, "Report"}, {C::Exit, "Exit"}, {C::SendQuestions, "SendQuestions"}, {C::TimeUp, "TimeUp"},
        {C::TimeDown, "TimeDown"}, {C::Read, "Read"}, {C::AnswerSetting, "AnswerSetting"}, {C::Toggle, "Toggle"}};
    QStringList out;
    for (const auto &[flag, name] : all)
        if (c.testFlag(flag))
            out << QString::fromLatin1(name);
    return out.join(QLatin1Char(' '));
}

// The steering controls only: the time buttons and Read are live in every phase where shown.
constexpr RunControls::Controls kSteering = C::Start | C::Stop | C::Next | C::Previous | C::Result | C::Report | C::Exit;

QString live(int activity, Phase phase, bool run, int q, int count, int actionMode = 0, int device = DeviceType::Dravel)
{
    return names(RunControls::enabled({activity, device, phase, run, q, count, actionMode}) & kSteering);
}

} // namespace

TEST(RunControls, NormalQuizFromOpeningThroughTwoQuestions)
{
    const int a = Activity::NormalQuiz;
    EXPECT_EQ(live(a, Phase::Opened, false, 1, 3), "Start Next Exit");
    EXPECT_EQ(live(a, Phase::Running, false, 1, 3), "Start Stop") << "pausing and stopping only";
    EXPECT_EQ(live(a, Phase::Stopped, true, 1, 3), "Start Next Result Report Exit");
    // On to a question not run yet: its result does not exist, the run's report does.
    EXPECT_EQ(live(a, Phase::Stopped, false, 2, 3), "Start Next Previous Report Exit");
    EXPECT_EQ(live(a, Phase::Stopped, true, 3, 3), "Start Previous Result Report Exit");
    // Browsing before anything ran offers neither a result nor a report.
    EXPECT_EQ(live(a, Phase::Opened, false, 2, 3), "Start Next Previous Exit");
    EXPECT_EQ(live(a, Phase::Opened, false, 1, 1), "Start Exit");
    EXPECT_EQ(live(a, Phase::Opened, false, 0, 0), "Exit") << "no question file: nothing to start";
}

TEST(RunControls, QuestionsThatRunOnce)
{
    // Elimination: a question that has run cannot start again; one that has not, can.
    EXPECT_EQ(live(Activity::Elimination, Phase::Stopped, true, 1, 2), "Next Result Report Exit");
    EXPECT_EQ(live(Activity::Elimination, Phase::Stopped, false, 2, 2), "Start Previous Report Exit");
    EXPECT_EQ(live(Activity::FreeElimination, Phase::Stopped, true, 1, 1), "Result Report Exit");
    // Multiple Mode decides by the question's own action mode.
    EXPECT_EQ(live(Activity::MultipleMode, Phase::Stopped, true, 1, 3, ActionMode::Elimination), "Next Result Report Exit");
    EXPECT_EQ(live(Activity::MultipleMode, Phase::Stopped, true, 2, 3, ActionMode::Normal), "Start Next Previous Result Report Exit");
    EXPECT_EQ(live(Activity::MultipleMode, Phase::Stopped, true, 2, 3, ActionMode::Rush), "Start Next Previous Result Report Exit");
}

TEST(RunControls, RushWaitsForItsWinnerWithOnlyStopLive)
{
    for (int a : {int(Activity::RushQuiz), int(Activity::FreeRushQuiz), int(Activity::MultipleMode)})
        EXPECT_EQ(live(a, Phase::AwaitingRush, false, 1, 2, ActionMode::Rush), "Stop") << a;
}

TEST(RunControls, WhatEachActivityOffersAfterAStop)
{
    struct Case
    {
        int activity;
        const char *stopped;
    };
    const Case cases[] = {
        {Activity::PaperQuiz, "Start Report Exit"},       // the whole set at once: no stepping, no per-question result
        {Activity::HomeWork, "Start Report Exit"},
        {Activity::Vote, "Start Next Result Exit"},       // a vote has results, no report
        {Activity::FreeVote, "Start Next Result Exit"},
        {Activity::Attendance, "Start Result Exit"},      // the roll: result only
        {Activity::QuickGrouping, "Start Result Exit"},
        {Activity::HandRaise, "Start Next Report Exit"},
        {Activity::Survey, "Start Next Exit"},
        {99, "Start Next Exit"},                          // a number no activity has
    };
    for (const Case &c : cases)
        EXPECT_EQ(live(c.activity, Phase::Stopped, true, 1, 2), QString::fromLatin1(c.stopped)) << c.activity;
    // Attendance and grouping have no questions and start all the same.
    EXPECT_EQ(live(Activity::Attendance, Phase::Opened, false, 0, 0), "Start Exit");
    // Free style with every page deleted has nothing to start.
    EXPECT_EQ(live(Activity::FreeNormalQuiz, Phase::Stopped, false, 0, 0), "Report Exit");
}

TEST(RunControls, ShownControlsDependOnActivityAndModel)
{
    const auto shown = [](int activity, int device) { return RunControls::shown(activity, device); };
    // Only Dravel keypads take the question set from the run window, and only a paper quiz or homework.
    EXPECT_TRUE(shown(Activity::PaperQuiz, DeviceType::Dravel).testFlag(C::SendQuestions));
    EXPECT_TRUE(shown(Activity::HomeWork, DeviceType::Dravel).testFlag(C::SendQuestions));
    EXPECT_FALSE(shown(Activity::PaperQuiz, DeviceType::Corvel).testFlag(C::SendQuestions));
    EXPECT_FALSE(shown(Activity::NormalQuiz, DeviceType::Dravel).testFlag(C::SendQuestions));
    // Homework counts no time; the paper quiz, homework and the roll have nothing to read aloud.
    EXPECT_FALSE(shown(Activity::HomeWork, DeviceType::Dravel) & (C::TimeUp | C::TimeDown));
    for (int a : {int(Activity::PaperQuiz), int(Activity::HomeWork), int(Activity::Attendance)})
        EXPECT_FALSE(shown(a, DeviceType::Dravel).testFlag(C::Read)) << a;
    // The free-style answer dialog belongs to free style, except the vote, which has no answer.
    for (int a : {int(Activity::FreeNormalQuiz), int(Activity::FreeRushQuiz), int(Activity::FreeElimination)})
        EXPECT_TRUE(shown(a, DeviceType::Arvel).testFlag(C::AnswerSetting)) << a;
    EXPECT_FALSE(shown(Activity::FreeVote, DeviceType::Dravel).testFlag(C::AnswerSetting));
    EXPECT_FALSE(shown(Activity::NormalQuiz, DeviceType::Dravel) & (C::AnswerSetting | C::Toggle));
}

TEST(RunControls, InEveryPhaseLiveControlsAreShownOnesAndARunCannotBeLeftMidQuestion)
{
    for (int a = -1; a <= Activity::Count; ++a) {
        for (int device : {-1, 0, 1, 2, 3, 4}) {
            for (Phase phase : {Phase::Opened, Phase::Running, Phase::AwaitingRush, Phase::Stopped}) {
                for (bool run : {false, true}) {
                    for (int q = 0; q <= 3; ++q) {
                        const RunControls::Controls c = RunControls::enabled({a, device, phase, run, q, 3, 0});
                        const bool running = phase == Phase::Running || phase == Phase::AwaitingRush;
                        EXPECT_EQ(c & RunControls::shown(a, device), c) << a;
                        EXPECT_EQ(c.testFlag(C::Stop), running) << a;
                        EXPECT_EQ(c.testFlag(C::Exit), !running) << a;
                        if (running) {
                            EXPECT_FALSE(c & (C::Next | C::Previous | C::Result | C::Report)) << a;
                        }
                    }
                }
            }
        }
    }
}

TEST(RunControls, TheTimeButtonsReadingAndQuestionSendingServeARunningQuestion)
{
    const RunControls::Controls running = RunControls::enabled({Activity::PaperQuiz, DeviceType::Dravel, Phase::Running, false, 1, 5, 0});
    EXPECT_TRUE(running.testFlag(C::SendQuestions));
    EXPECT_TRUE(running.testFlag(C::TimeUp) && running.testFlag(C::TimeDown));
    const RunControls::Controls reading = RunControls::enabled({Activity::NormalQuiz, DeviceType::Corvel, Phase::Running, false, 1, 5, 0});
    EXPECT_TRUE(reading.testFlag(C::Read));
}

TEST(RunControls, QuestionsThatMayStart)
{
    EXPECT_TRUE(RunControls::canStartQuestion(Activity::NormalQuiz, DeviceType::Dravel, QuestionType::MultipleAnswer, "AC"));
    EXPECT_FALSE(RunControls::canStartQuestion(Activity::NormalQuiz, DeviceType::Arvel, QuestionType::MultipleAnswer, "AC"));
    EXPECT_FALSE(RunControls::canStartQuestion(Activity::NormalQuiz, DeviceType::Envel, QuestionType::Cloze, "x"));
    EXPECT_TRUE(RunControls::canStartQuestion(Activity::NormalQuiz, DeviceType::Arvel, QuestionType::TrueFalse, "True"));
    EXPECT_FALSE(RunControls::canStartQuestion(Activity::NormalQuiz, DeviceType::Dravel, QuestionType::TeachingPlan, "A"));
    EXPECT_FALSE(RunControls::canStartQuestion(Activity::NormalQuiz, DeviceType::Dravel, QuestionType::SingleAnswer, "nocorrect"));
    EXPECT_TRUE(RunControls::canStartQuestion(Activity::Vote, DeviceType::Dravel, QuestionType::SingleAnswer, "nocorrect"));
    EXPECT_EQ(RunControls::doneText(2, 3), "Done");
    EXPECT_EQ(RunControls::doneText(3, 3), "All Done");
    // The field speaks only between questions, of a question shown that has run: one asked again
    // (or a rush waiting for its winner) is no question done.
    using Phase = RunControls::Phase;
    EXPECT_TRUE(RunControls::doneShown(Phase::Stopped, true));
    EXPECT_TRUE(RunControls::doneShown(Phase::Opened, true));
    EXPECT_FALSE(RunControls::doneShown(Phase::Stopped, false));
    EXPECT_FALSE(RunControls::doneShown(Phase::Running, true));
    EXPECT_FALSE(RunControls::doneShown(Phase::AwaitingRush, true));
}
