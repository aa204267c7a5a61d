#include "core/base/ActivityCodes.h"
#include "core/keypad/DataOfFrame.h"
#include "core/keypad/TeacherKeyMap.h"
#include "core/presentation/SlideQuestionRules.h"
#include "core/presentation/SlideShowRunRules.h"

#include <gtest/gtest.h>

namespace {

QuizQuestionsElement slide(int type, const QString &answer, int slideActionMode)
{
    // As the slides' reader makes it: every number from a shape, 0 where a shape is missing.
    QuizQuestionsElement q;
    q.setNQuizTime(0);
    q.setNRushTime(0);
    q.setNQuestionType(type);
    q.setStrAnswer(answer);
    q.setNActionMode(slideActionMode);
    return q;
}

QList<QuizQuestionsElement> slides(int n)
{
    QList<QuizQuestionsElement> list;
    for (int i = 0; i < n; ++i)
        list << slide(QuestionType::SingleAnswer, QStringLiteral("A"), 0);
    return list;
}

} // namespace

TEST(SlideShowRunRules, SlideQuestionsBecomeRunQuestions)
{
    // Slide texts read as 0 normal, 1 rush, 2 elimination, 3 survey, 4 vote.
    const QList<QuizQuestionsElement> read{
        slide(QuestionType::SingleAnswer, "C", 1), slide(QuestionType::SingleAnswer, "C", 2),
        slide(QuestionType::SingleAnswer, "C", 3), slide(QuestionType::SingleAnswer, "C", 4),
        slide(QuestionType::TrueFalse, "B", 0),    slide(QuestionType::TrueFalse, "C", 0),
        slide(QuestionType::TrueFalse, "True", 0)};
    const QList<QuizQuestionsElement> quiz = SlideShowRunRules::runQuestions(read, Activity::NormalQuiz, DeviceType::Dravel);
    ASSERT_EQ(quiz.size(), read.size());
    EXPECT_EQ(quiz[0].nActionMode(), ActionMode::Rush);
    EXPECT_EQ(quiz[1].nActionMode(), ActionMode::Elimination);
    // A survey slide is no rush question.
    EXPECT_EQ(quiz[2].nActionMode(), ActionMode::Normal);
    EXPECT_EQ(quiz[2].strAnswer(), "C");
    // A vote slide has no right answer outside a vote, and keeps its answer in one.
    EXPECT_EQ(quiz[3].nActionMode(), ActionMode::Vote);
    EXPECT_EQ(quiz[3].strAnswer(), "nocorrect");
    EXPECT_EQ(SlideShowRunRules::runQuestions(read, Activity::Vote, DeviceType::Dravel)[3].strAnswer(), "C");
    EXPECT_EQ(quiz[4].strAnswer(), "False");
    EXPECT_EQ(quiz[5].strAnswer(), "nocorrect");
    EXPECT_EQ(quiz[6].strAnswer(), "True");
    EXPECT_EQ(quiz[6].nOptionNum(), 2);
    // Read from slides without a "time" shape: no question that ends as it begins.
    EXPECT_EQ(quiz[0].nQuizTime(), 30);
    EXPECT_EQ(quiz[0].nRushTime(), 30);
    QuizQuestionsElement timed = slide(QuestionType::SingleAnswer, "A", 0);
    timed.setNQuizTime(45);
    EXPECT_EQ(SlideShowRunRules::runQuestions({timed}, Activity::NormalQuiz, DeviceType::Dravel)[0].nQuizTime(), 45);
}

TEST(SlideShowRunRules, KeypadsThatHoldTheSetTakeSixtyQuestions)
{
    EXPECT_EQ(SlideShowRunRules::runQuestions(slides(75), Activity::PaperQuiz, DeviceType::Arvel).size(), 60);
    EXPECT_EQ(SlideShowRunRules::runQuestions(slides(75), Activity::HomeWork, DeviceType::Brevel).size(), 60);
    EXPECT_EQ(SlideShowRunRules::runQuestions(slides(75), Activity::PaperQuiz, DeviceType::Dravel).size(), 60);
    EXPECT_EQ(SlideShowRunRules::runQuestions(slides(75), Activity::NormalQuiz, DeviceType::Arvel).size(), 75);
}

TEST(SlideShowRunRules, LeadInOnlyWhenKeypadsMustShowTheQuestionFirst)
{
    EXPECT_EQ(SlideShowRunRules::leadIn(Activity::NormalQuiz, DeviceType::Dravel, 5), 2);
    EXPECT_EQ(SlideShowRunRules::leadIn(Activity::NormalQuiz, DeviceType::Brevel, 1), 2);
    EXPECT_EQ(SlideShowRunRules::leadIn(Activity::NormalQuiz, DeviceType::Dravel, 0), 0);
    EXPECT_EQ(SlideShowRunRules::leadIn(Activity::NormalQuiz, DeviceType::Arvel, 5), 0);
    EXPECT_EQ(SlideShowRunRules::leadIn(Activity::NormalQuiz, DeviceType::Corvel, 5), 0);
    for (int activity : {int(Activity::PaperQuiz), int(Activity::HomeWork), int(Activity::RushQuiz), int(Activity::Attendance)})
        EXPECT_EQ(SlideShowRunRules::leadIn(activity, DeviceType::Dravel, 5), 0) << activity;
}

TEST(SlideShowRunRules, StripKeyCyclesThroughTheSizesTheStripTakes)
{
    const auto pressMany = [](bool largeFits, int presses) {
        QList<int> states;
        int state = SlideShowRunRules::Normal;
        for (int i = 0; i < presses; ++i) {
            state = SlideShowRunRules::nextStripState(state, [&](int size) { return size != SlideShowRunRules::Large || largeFits; });
            states << state;
        }
        return states;
    };
    // 30 students: no large strip.
    EXPECT_EQ(pressMany(false, 3), (QList<int>{1, 0, 1}));
    // 60 students: large, small, normal.
    EXPECT_EQ(pressMany(true, 3), (QList<int>{2, 1, 0}));
    // A strip that refuses every size keeps its state.
    EXPECT_EQ(SlideShowRunRules::nextStripState(SlideShowRunRules::Normal, [](int) { return false; }), SlideShowRunRules::Normal);
}

TEST(SlideQuestionRules, TheFormKeepsAnswersItCanShow)
{
    EXPECT_EQ(SlideQuestionRules::formAnswer(QuestionType::SingleAnswer, "AB"), "nocorrect");
    EXPECT_EQ(SlideQuestionRules::formAnswer(QuestionType::SingleAnswer, ""), "nocorrect");
    EXPECT_EQ(SlideQuestionRules::formAnswer(QuestionType::SingleAnswer, "K"), "nocorrect");
    EXPECT_EQ(SlideQuestionRules::formAnswer(QuestionType::SingleAnswer, "D"), "D");
    EXPECT_EQ(SlideQuestionRules::formAnswer(QuestionType::TrueFalse, "False"), "B");
    EXPECT_EQ(SlideQuestionRules::formAnswer(QuestionType::MultipleAnswer, "DA"), "AD");
    EXPECT_EQ(SlideQuestionRules::formAnswer(QuestionType::MultipleAnswer, "xyz"), "nocorrect");
    EXPECT_EQ(SlideQuestionRules::formAnswer(QuestionType::Cloze, ""), "");
    EXPECT_EQ(SlideQuestionRules::formAnswer(QuestionType::ShortAnswer, "Paris"), "Paris");

    // Brevel keypads take eight letters: with A to H ticked, I is refused.
    QList<bool> ticked(10, false);
    for (int k = 0; k < 9; ++k)
        ticked[k] = true;
    bool refused = false;
    EXPECT_EQ(SlideQuestionRules::multipleAnswer(ticked, 8, 8, &refused), "ABCDEFGH");
    EXPECT_TRUE(refused);
    EXPECT_EQ(SlideQuestionRules::multipleAnswer(ticked, 10, 8, &refused), "ABCDEFGHI");
    EXPECT_FALSE(refused);
}

TEST(SlideQuestionRules, AddedSlidesAndApplyingToAll)
{
    const QStringList texts{"True", "False"};
    EXPECT_EQ(SlideQuestionRules::addedQuestion("t", texts, 2, 0).nQuestionType(), QuestionType::TrueFalse);
    EXPECT_EQ(SlideQuestionRules::addedQuestion("t", texts, 4, 5).nQuestionType(), QuestionType::SingleAnswer);
    const QuizQuestionsElement cloze = SlideQuestionRules::addedQuestion("t", {}, 0, 1);
    EXPECT_EQ(cloze.nQuestionType(), QuestionType::Cloze);
    EXPECT_EQ(cloze.nRushPoint(), 30);
    EXPECT_EQ(cloze.strAnswer(), "");

    QList<QuizQuestionsElement> set(3);
    QuizQuestionsElement from;
    from.setNRushPoint(15);
    from.setNRushTime(20);
    from.setNPoint(99);
    SlideQuestionRules::applyToAll(set, SlideQuestionRules::ApplyToAll::RushTimeAndPoints, from);
    for (const QuizQuestionsElement &q : set) {
        EXPECT_EQ(q.nRushPoint(), 15);
        EXPECT_EQ(q.nRushTime(), 20);
        EXPECT_EQ(q.nPoint(), 10) << "points are applied on their own";
    }
    EXPECT_EQ(SlideQuestionRules::optionCount(QuestionType::Cloze, 4), 0);
    EXPECT_EQ(SlideQuestionRules::optionCount(QuestionType::TrueFalse, 4), 2);
    EXPECT_EQ(SlideQuestionRules::optionCount(QuestionType::SingleAnswer, 12), 10);
}
