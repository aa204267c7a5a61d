#include "core/base/ActivityCodes.h"
#include "core/engine/FreeStyleQuestions.h"
#include "core/engine/FreeStyleRules.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizQuestions.h"
#include "core/engine/RunControls.h"

#include <gtest/gtest.h>

using R = FreeStyleRules;

TEST(FreeStyleRules, KeypadOptionCountsStayInTheReceiversRange)
{
    EXPECT_EQ(R::optionCounts(DeviceType::Arvel), (QList<int>{2, 3, 4, 5, 6}));
    EXPECT_EQ(R::optionCounts(DeviceType::Dravel), (QList<int>{2, 3, 4, 5, 6, 7, 8, 9, 10}));
    // A frame's count: twelve options would give roles past option J.
    EXPECT_EQ(R::keypadOptionCount(DeviceType::Dravel, 12), 10);
    EXPECT_EQ(R::keypadOptionCount(DeviceType::Brevel, 255), 10);
    EXPECT_EQ(R::keypadOptionCount(DeviceType::Arvel, 8), 6);
    EXPECT_EQ(R::keypadOptionCount(DeviceType::Dravel, 1), 2);
    EXPECT_EQ(R::keypadOptionCount(DeviceType::Dravel, 7), 7);
    EXPECT_EQ(R::keypadOptionCount(DeviceType::Dravel, 0), 0) << "0 asks for a true-or-false page";
    EXPECT_EQ(R::roleNames().size(), 8);
    EXPECT_EQ(R::roleNames().last(), QStringLiteral("OptionF"));
}

TEST(FreeStyleRules, WhenTheDialogOpensAndTheQuestionIsJudged)
{
    for (int a : {int(Activity::FreeNormalQuiz), int(Activity::FreeRushQuiz), int(Activity::FreeElimination)}) {
        EXPECT_TRUE(R::answerDialogAtStop(a, false, false)) << a;
        EXPECT_FALSE(R::answerDialogAtStop(a, false, true)) << a << ": once only";
        EXPECT_FALSE(R::answerDialogAtStop(a, true, false)) << a << ": the keypad gave the answer";
    }
    EXPECT_FALSE(R::answerDialogAtStop(Activity::FreeVote, false, false)) << "a vote has no right answer";
    // Elimination judges a toolbar question only when its answer is known.
    EXPECT_FALSE(R::evaluatesAtStop(Activity::FreeElimination, false));
    EXPECT_TRUE(R::evaluatesOnAnswer(Activity::FreeElimination, false));
    EXPECT_TRUE(R::evaluatesAtStop(Activity::FreeElimination, true));
    EXPECT_TRUE(R::evaluatesAtStop(Activity::FreeNormalQuiz, false));
    EXPECT_FALSE(R::evaluatesOnAnswer(Activity::FreeNormalQuiz, false));
    EXPECT_TRUE(R::evaluatesOnAnswer(Activity::FreeRushQuiz, true)) << "a keypad question is judged once more";
}

TEST(FreeStyleRules, AnswerSettingIsLiveAfterAQuestionRan)
{
    const auto live = [](int activity, bool run, bool empty, bool keypad) {
        RunControls::Situation s{activity, DeviceType::Dravel, RunControls::Phase::Stopped, run, 1, 1, 0, empty, keypad};
        return RunControls::enabled(s).testFlag(RunControls::AnswerSetting);
    };
    EXPECT_FALSE(live(Activity::FreeNormalQuiz, false, true, false));
    EXPECT_TRUE(live(Activity::FreeNormalQuiz, true, false, false));
    EXPECT_TRUE(live(Activity::FreeElimination, true, true, false));
    EXPECT_FALSE(live(Activity::FreeElimination, true, false, false)) << "its answer decided, once";
    EXPECT_FALSE(live(Activity::FreeElimination, true, true, true));
    EXPECT_FALSE(live(Activity::FreeVote, true, true, false));
    EXPECT_FALSE(live(Activity::NormalQuiz, true, true, false));
    RunControls::Situation running{Activity::FreeNormalQuiz, DeviceType::Dravel, RunControls::Phase::Running, false, 1, 1};
    EXPECT_TRUE(RunControls::enabled(running).testFlag(RunControls::Toggle)) << "the pane toggles during a question";
    EXPECT_FALSE(RunControls::enabled(running).testFlag(RunControls::AnswerSetting));
}

TEST(FreeStyleRules, ToolbarItemsByState)
{
    using I = R::Item;
    R::ToolbarState s;
    EXPECT_EQ(R::toolbarItems(s), R::Items()) << "off until the run enables it";
    s.enabled = true;
    EXPECT_EQ(R::toolbarItems(s), R::Items(I::OptionCount | I::AddNew)) << "no page yet";
    s.haveQuestions = true;
    EXPECT_TRUE(R::toolbarItems(s).testFlags(I::Role | I::Tool | I::CutPicture | I::Delete | I::AddNew));
    s.addNewState = false;
    EXPECT_FALSE(R::toolbarItems(s) & (I::AddNew | I::Delete)) << "not while a question runs";
    EXPECT_TRUE(R::toolbarItems(s).testFlag(I::Tool)) << "the teacher may draw on a running question";
    s.addNewState = true;
    s.bottomLayout = true;
    EXPECT_EQ(R::toolbarItems(s), R::Items(I::OptionCount | I::AddNew | I::Delete)) << "the page is hidden";
    s.bottomLayout = false;
    s.canCapture = false;
    EXPECT_FALSE(R::toolbarItems(s).testFlag(I::CutPicture));
}

TEST(FreeStyleQuestions, ADeletedQuestionTakesItsOwnEntryOfEveryListAlong)
{
    QuizQuestions *qq = QuizQuestions::shareManager();
    QuizData *qd = QuizData::shareManager();
    qq->removeAllQuestionsInfo();
    qd->removeActivityRecord();
    auto student = std::make_shared<StudentInClass>();
    student->setStudentID(QStringLiteral("S1"));
    student->setDeviceNo(7);
    QuizParticipantData::shareManager()->removeActivityRecord();
    QuizParticipantData::shareManager()->setArrayLoginStudents({student});
    for (int q = 1; q <= 4; ++q) {
        FreeStyleQuestions::addQuestion(0, QString(QChar(u'A' + q - 1)), 4);
        qd->clearQuestionRecord(q);
        qd->setStudentAnswer(q, 7, QString(QChar(u'A' + q - 1)));
        qd->setArrayAlreadyEliminationSum(q * 10, q);
    }
    qd->setArrayAlreadyTestQuestionNo({1, 3, 2, 4});
    QList<int> byKeypad{0, 1, 0, 1};
    QList<int> stopped{3, 1, 2};

    FreeStyleQuestions::deleteQuestion(2, byKeypad, stopped);
    ASSERT_EQ(qq->count(), 3);
    EXPECT_EQ(qq->answer(2), QStringLiteral("C"));
    EXPECT_EQ(qd->getStudentAnswer(2, 7), QStringLiteral("C")) << "question 3's answer moved with it";
    EXPECT_EQ(qd->getStudentAnswer(3, 7), QStringLiteral("D"));
    EXPECT_EQ(qd->getArrayAlreadlyEliminationSum(2), 30);
    EXPECT_EQ(qd->arrayAlreadyTestQuestionNo(), (QList<int>{1, 2, 3}));
    EXPECT_EQ(byKeypad, (QList<int>{0, 0, 1}));
    EXPECT_EQ(stopped, (QList<int>{2, 1}));

    // A page that never ran: only the later numbers move.
    FreeStyleQuestions::deleteQuestion(5, byKeypad, stopped);
    EXPECT_EQ(qq->count(), 3);
    EXPECT_EQ(qd->arrayAlreadyTestQuestionNo(), (QList<int>{1, 2, 3}));
    qq->removeAllQuestionsInfo();
    qd->removeActivityRecord();
    QuizParticipantData::shareManager()->removeActivityRecord();
}
