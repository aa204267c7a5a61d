#include "EngineFixture.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/authoring/QuestionSetView.h"
#include "core/engine/ActivityRules.h"
#include "core/engine/Dravel_Vote.h"
#include "core/engine/RunQuestionRecord.h"

TEST(ActivityRules, NamesAndTheStoredCodesOfSavedSessions)
{
    // The main window lists the delegate's names; the run window shows the table's: one list.
    const QStringList names{"Normal Quiz", "Paper Quiz", "Homework", "Rush Quiz", "Elimination", "Multiple Mode", "Survey",
                            "Vote", "Attendance", "Normal Quiz", "Rush Quiz", "Elimination", "Vote", "Quick Grouping",
                            "Hand Raise"};
    EXPECT_EQ(Orvenda_AppDelegate::AllActivityMode(), names);
    for (int a = 0; a < Activity::Count; ++a)
        EXPECT_EQ(ActivityRules::name(a), names[a]);
    EXPECT_EQ(ActivityRules::name(15), QString());

    // Session Mode codes after folding free style onto the activity it stands for.
    const QStringList codes{"1", "2", "3", "4", "5", "6", "10", "15", "13", "1", "4", "5", "15", "", "9"};
    const QStringList types{"Exam", "Exam", "Homework", "Game", "Game", "Exam", "Exam", "Other", "Attendance",
                            "Exam", "Game", "Game", "Other", "Exam", "Exam"};
    for (int a = 0; a < Activity::Count; ++a) {
        EXPECT_EQ(ActivityRules::storedCode(a), codes[a]) << a;
        EXPECT_EQ(ActivityRules::sessionType(a), types[a]) << a;
    }
    EXPECT_EQ(ActivityRules::savedActivity(Activity::FreeVote), Activity::Vote);
    EXPECT_EQ(ActivityRules::savedActivity(Activity::FreeRushQuiz), Activity::RushQuiz);
}

TEST(ActivityRules, FreeStyleIsNineToTwelve)
{
    for (int a = -1; a <= Activity::Count; ++a)
        EXPECT_EQ(ActivityRules::isFreeStyle(a), a >= 9 && a <= 12) << a;
}

TEST(ActivityRules, ReceiverDependentRules)
{
    // The keypads of Corvel and Dravel receivers hold 60 questions of a paper quiz or homework.
    EXPECT_EQ(ActivityRules::keypadQuestionLimit(Activity::PaperQuiz, DeviceType::Dravel), 60);
    EXPECT_EQ(ActivityRules::keypadQuestionLimit(Activity::HomeWork, DeviceType::Corvel), 60);
    EXPECT_EQ(ActivityRules::keypadQuestionLimit(Activity::PaperQuiz, DeviceType::Brevel), 0);
    EXPECT_EQ(ActivityRules::keypadQuestionLimit(Activity::NormalQuiz, DeviceType::Dravel), 0);
    // Roll call, grouping and hand raise run on any receiver through a radio model's class.
    EXPECT_EQ(ActivityRules::modeObjectDeviceType(Activity::Attendance, DeviceType::Envel), DeviceType::Corvel);
    EXPECT_EQ(ActivityRules::modeObjectDeviceType(Activity::QuickGrouping, DeviceType::None), DeviceType::Arvel);
    EXPECT_EQ(ActivityRules::modeObjectDeviceType(Activity::NormalQuiz, DeviceType::Envel), DeviceType::None);
    EXPECT_EQ(ActivityRules::modeObjectDeviceType(Activity::NormalQuiz, DeviceType::Brevel), DeviceType::Brevel);
    // Only the keypads that page through a paper quiz show it question by question on the grid.
    EXPECT_EQ(ActivityRules::grid(Activity::PaperQuiz, DeviceType::Arvel), ActivityRule::Grid::PaperQuiz);
    EXPECT_EQ(ActivityRules::grid(Activity::PaperQuiz, DeviceType::Brevel), ActivityRule::Grid::PaperQuiz);
    EXPECT_EQ(ActivityRules::grid(Activity::PaperQuiz, DeviceType::Dravel), ActivityRule::Grid::Normal);
    EXPECT_EQ(ActivityRules::grid(Activity::QuickGrouping, DeviceType::Dravel), ActivityRule::Grid::RollCall);
}

TEST(ActivityRules, MultipleModeFollowsEachQuestionsActionMode)
{
    const int m = Activity::MultipleMode;
    EXPECT_EQ(ActivityRules::time(m, ActionMode::Rush), ActivityRule::Time::RushTime);
    EXPECT_EQ(ActivityRules::time(m, ActionMode::Elimination), ActivityRule::Time::QuizTime);
    EXPECT_EQ(ActivityRules::startStep(m, ActionMode::Rush), ActivityRule::Start::Rush);
    EXPECT_EQ(ActivityRules::startStep(m, ActionMode::Vote), ActivityRule::Start::CountDown);
    EXPECT_EQ(ActivityRules::startStep(m, 9), ActivityRule::Start::Nothing);
    EXPECT_TRUE(ActivityRules::clearsEliminatedAtStart(m, ActionMode::Normal));
    EXPECT_FALSE(ActivityRules::clearsEliminatedAtStart(m, ActionMode::Elimination));
    EXPECT_FALSE(ActivityRules::clearsEliminatedAtStart(Activity::NormalQuiz, ActionMode::Normal));
    EXPECT_EQ(ActivityRules::gridAfterNext(m, ActionMode::Elimination), ActivityRule::NextGrid::RightOnPreviousQuestion);
    EXPECT_EQ(ActivityRules::gridAfterNext(m, ActionMode::Normal), ActivityRule::NextGrid::AllNormal);
    EXPECT_EQ(ActivityRules::gridAfterNext(Activity::FreeElimination, 0), ActivityRule::NextGrid::RightOnThisQuestion);
    // The other activities ignore the action mode: a rush page in a normal quiz counts its time limit.
    EXPECT_EQ(ActivityRules::time(Activity::NormalQuiz, ActionMode::Rush), ActivityRule::Time::QuizTime);
    EXPECT_EQ(ActivityRules::actionModeName(ActionMode::Elimination), QStringLiteral("Elimination"));
    EXPECT_EQ(ActivityRules::actionModeName(ActionMode::Vote), QStringLiteral("Normal Quiz"));
}

TEST(RunQuestionRecord, PagesBecomeRunQuestions)
{
    const auto page = [](int type, const QString &answer, int storedAction = 0) {
        auto p = QuestionSetView::createTemplate(type == QuestionType::TrueFalse ? 0 : 4, QSizeF(800, 600));
        p->getQuestionTitle()->textview()->setString(QStringLiteral("Which?"));
        p->setNQuestionType(type);
        p->setStrAnswer(answer);
        p->setNQuestionActionMode(storedAction);
        p->setNQuestionTimeLimit(30);
        p->setNQuestionRushTimeLimit(12);
        p->setNQuestionPoint(5);
        p->setNQuestionDePoint(2);
        p->setStrStandardCode(QStringLiteral("M.1"));
        p->setNQuestionDifficulty(3);
        return p;
    };
    const auto answerOf = [&](int type, const char *stored, int activity = Activity::NormalQuiz, int action = 0) {
        return RunQuestionRecord::fromPage(*page(type, QString::fromLatin1(stored), action), activity).strAnswer();
    };
    // True or false is judged as "True" / "False", however the page stored it.
    EXPECT_EQ(answerOf(QuestionType::TrueFalse, "A"), QStringLiteral("True"));
    EXPECT_EQ(answerOf(QuestionType::TrueFalse, "True"), QStringLiteral("True"));
    EXPECT_EQ(answerOf(QuestionType::TrueFalse, "B"), QStringLiteral("False"));
    EXPECT_EQ(answerOf(QuestionType::TrueFalse, "C"), QStringLiteral("nocorrect"));
    EXPECT_EQ(answerOf(QuestionType::TrueFalse, ""), QStringLiteral("nocorrect"));
    EXPECT_EQ(answerOf(QuestionType::MultipleAnswer, "AC"), QStringLiteral("AC"));
    // A vote page has no right answer outside a vote.
    EXPECT_EQ(answerOf(QuestionType::SingleAnswer, "B", Activity::NormalQuiz, 7), QStringLiteral("nocorrect"));
    EXPECT_EQ(answerOf(QuestionType::SingleAnswer, "B", Activity::Vote, 7), QStringLiteral("B"));
    EXPECT_EQ(answerOf(QuestionType::TrueFalse, "A", Activity::FreeVote, 7), QStringLiteral("nocorrect"));

    const QuizQuestionsElement rush = RunQuestionRecord::fromPage(*page(QuestionType::SingleAnswer, "D", 1), Activity::MultipleMode);
    EXPECT_EQ(rush.nActionMode(), ActionMode::Rush);
    EXPECT_EQ(rush.strTitle(), QStringLiteral("Which?"));
    EXPECT_EQ(rush.nOptionNum(), 4);
    EXPECT_EQ(rush.nQuizTime(), 30);
    EXPECT_EQ(rush.nRushTime(), 12);
    EXPECT_EQ(rush.nPoint(), 5);
    EXPECT_EQ(rush.nRushPoint(), 2);
    EXPECT_EQ(rush.strStandard(), QStringLiteral("M.1"));
    EXPECT_EQ(rush.nDiffcult(), 3);
    EXPECT_EQ(RunQuestionRecord::fromPage(*page(QuestionType::TrueFalse, "A"), 0).nOptionNum(), 2);
    EXPECT_EQ(RunQuestionRecord::runActionMode(ActionMode::Stored::Elimination), ActionMode::Elimination);
    EXPECT_EQ(RunQuestionRecord::runActionMode(ActionMode::Stored::Vote), ActionMode::Vote);
}

TEST(RunQuestionRecord, ReadAloudTextFollowsTheQuestionKind)
{
    QuizQuestionsElement q;
    q.setStrTitle(QStringLiteral("Pick"));
    for (int k = 0; k < 10; ++k)
        q.setStrOption(k, QString(QChar(u'a' + k)));
    q.setNQuestionType(QuestionType::SingleAnswer);
    q.setNOptionNum(12);
    const QString all = RunQuestionRecord::readAloudText(q);
    EXPECT_TRUE(all.endsWith(QStringLiteral("\n OptionJ: j \n"))) << "ten options at most";
    EXPECT_EQ(all.count(QStringLiteral("Option")), 10);
    q.setNOptionNum(1);
    EXPECT_EQ(RunQuestionRecord::readAloudText(q), QStringLiteral("Pick"));
    q.setNQuestionType(QuestionType::ShortAnswer);
    q.setNOptionNum(4);
    EXPECT_EQ(RunQuestionRecord::readAloudText(q), QStringLiteral("Pick"));
    EXPECT_EQ(RunQuestionRecord::readAloudText(QuizQuestionsElement()), QStringLiteral(" "));
}

// A free-style question is never broadcast to the keypads, so a Dravel login reply must not tell
// them to wait for one: the question-sending bit stays clear in every free-style activity.
class FreeStyleLogin : public EngineFixture
{
};

TEST_F(FreeStyleLogin, DravelKeypadsAreNotToldToWaitForAFreeStyleQuestionText)
{
    makeClass(2);
    m_sendQuestions = true;
    for (int freeMode : {0, int(Activity::FreeVote)}) {
        Dravel_Vote vote;
        vote.setDeviceType(DeviceType::Dravel);
        vote.setQFreeMode(freeMode);
        vote.setParticipationMode(freeMode ? 2 : 0);
        feed(vote, ReceivedFrame::large(0xFE, 0x05, 0x00, QByteArray("S001") + '\0'));
        const QList<QByteArray> out = takeSent();
        ASSERT_EQ(out.size(), 1);
        // FE addr addr len, device number (2 bytes), mode byte: vote is 09, with 80 when a text follows.
        EXPECT_EQ(quint8(out[0][6]), freeMode ? 0x09 : 0x89) << freeMode;
    }
}
