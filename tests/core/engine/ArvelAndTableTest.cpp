#include "EngineFixture.h"

#include "core/engine/Arvel_Multiple.h"
#include "core/engine/Arvel_Normal.h"
#include "core/engine/Arvel_PaperQuiz.h"
#include "core/engine/Arvel_Vote.h"
#include "core/engine/QuizModeFactory.h"

namespace {
class Arvel : public EngineFixture
{
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        makeClass(3, true); // keypads 1 to 3
        auto *qq = QuizQuestions::shareManager();
        auto q1 = question(0, 4, QStringLiteral("A"));
        q1.setNQuizTime(20);
        qq->addQuestion(q1);
        qq->addQuestion(question(4, 0, QString())); // a teaching-plan page
        auto q3 = question(5, 2, QStringLiteral("True"));
        q3.setNQuizTime(15);
        qq->addQuestion(q3);
        qq->addQuestion(question(0, 4, QStringLiteral("B")));
    }
    // Keypad k (1 to 15 here) pressing key "A".."H".
    static ReceivedFrame key(int k, char letter)
    {
        const uint8_t b0 = uint8_t(0x20 + k / 16);
        const uint8_t b1 = uint8_t(((letter - 0x39) << 4) | (k % 16));
        return ReceivedFrame::small(b0, b1, uint8_t(b0 ^ b1));
    }
};
} // namespace

TEST_F(Arvel, KeypadNumberAndKeyOfThreeByteFrames)
{
    EXPECT_EQ(ReceivedFrame::small(0x20, 0x81, 0xA1).deviceID(), 1);
    EXPECT_EQ(ReceivedFrame::small(0x20, 0x81, 0xA1).key(), 'A');
    EXPECT_EQ(ReceivedFrame::small(0x21, 0xF2, 0xD3).deviceID(), 18);
    EXPECT_EQ(ReceivedFrame::small(0x21, 0xF2, 0xD3).key(), 'H');
    EXPECT_TRUE(ReceivedFrame::small(0x00, 0x85, 0x85).isTeacherCommand());
    EXPECT_EQ(ReceivedFrame::small(0x00, 0x85, 0x85).teacherCommand(), 0x85);
}

TEST_F(Arvel, NormalQuizReplacesAnswerAndTimeButCountsOnce)
{
    Arvel_Normal mode;
    EXPECT_EQ(QuizParticipantData::shareManager()->getSumOfLoginStudents(), 3);
    mode.modeStart(1);
    EXPECT_EQ(mode.quizStateScreenTimer(), 20);
    mode.setQuizStateScreenTimer(3);
    feed(mode, key(2, 'C'));
    mode.setQuizStateScreenTimer(5);
    feed(mode, key(2, 'D'));
    feed(mode, key(9, 'A')); // no student carries keypad 9: nothing stored, nothing counted
    auto *qd = QuizData::shareManager();
    EXPECT_EQ(qd->getStudentAnswer(1, 2), QStringLiteral("D"));
    EXPECT_EQ(qd->getStudentAnswerTime(1, 2), 5);
    EXPECT_EQ(mode.nAnsweredNum(), 1);
    EXPECT_EQ(notes(QStringLiteral("STUDENTANSWERMESSAGE")).size(), 2);

    mode.modeStart(3);
    feed(mode, key(1, 'A'));
    feed(mode, key(2, 'B'));
    feed(mode, key(3, 'F'));
    EXPECT_EQ(qd->getStudentAnswer(3, 1), QStringLiteral("True"));
    EXPECT_EQ(qd->getStudentAnswer(3, 2), QStringLiteral("False"));
    EXPECT_EQ(qd->getStudentAnswer(3, 3), QStringLiteral("False"));
    mode.modeStart(1);
    EXPECT_EQ(qd->arrayAlreadyTestQuestionNo(), (QList<int>{3, 1}));
    EXPECT_EQ(qd->getStudentAnswer(1, 2), QString()); // asked again: a fresh record
}

TEST_F(Arvel, PaperQuizNavigationWrapsAndAnswersStayOnTheirQuestion)
{
    Arvel_PaperQuiz mode;
    mode.modeStart(1);
    EXPECT_EQ(QuizQuestions::shareManager()->count(), 3); // the teaching-plan page is gone
    EXPECT_EQ(mode.nTimeCount(), 20 + 15 + 30);
    EXPECT_EQ(mode.quizStateScreenTimer(), 65);
    EXPECT_EQ(QuizData::shareManager()->arrayAlreadyTestQuestionNo(), (QList<int>{1, 2, 3}));

    feed(mode, key(1, 'G')); // previous from question 1: the last one
    EXPECT_EQ(mode.currentQuestionOf(1), 3);
    feed(mode, key(1, 'F')); // next from the last: question 1
    EXPECT_EQ(mode.currentQuestionOf(1), 1);
    feed(mode, key(1, 'F'));
    mode.setQuizStateScreenTimer(40);
    feed(mode, key(1, 'A')); // question 2 is true-or-false now
    feed(mode, key(1, 'F')); // "F" moves on there, it is not "False"
    feed(mode, key(1, 'C'));
    auto *qd = QuizData::shareManager();
    EXPECT_EQ(qd->getStudentAnswer(2, 1), QStringLiteral("True"));
    EXPECT_EQ(qd->getStudentAnswer(3, 1), QStringLiteral("C"));
    EXPECT_EQ(qd->getStudentAnswerTime(1, 1), 40); // every time goes on question 1
    EXPECT_EQ(qd->getStudentAnswerTime(2, 1), 0);
    EXPECT_EQ(mode.nAnsweredNum(), 1);
    feed(mode, key(2, 'B'));
    EXPECT_EQ(mode.nAnsweredNum(), 2);

    const auto moves = notes(QStringLiteral("STUDENTNEXTPREMESSAGE"));
    ASSERT_EQ(moves.size(), 4);
    EXPECT_EQ(moves[0].userInfo.value(QStringLiteral("QUESTIONNO")).toInt(), 3);
    EXPECT_EQ(moves[3].userInfo.value(QStringLiteral("QUESTIONNO")).toInt(), 3);
    EXPECT_EQ(moves[3].userInfo.value(QStringLiteral("ANSWERSTATE")).toInt(), 0);
    feed(mode, key(1, 'G'));
    EXPECT_EQ(notes(QStringLiteral("STUDENTNEXTPREMESSAGE")).last().userInfo.value(QStringLiteral("ANSWERSTATE")).toInt(), 1);
}

TEST_F(Arvel, MultipleModeForwardsToTheHandlerOfEachQuestion)
{
    auto *qq = QuizQuestions::shareManager();
    qq->setActionMode(1, 0);
    qq->setActionMode(4, 3);
    Arvel_Multiple mode;
    EXPECT_EQ(mode.modeObject(), nullptr);
    feed(mode, key(1, 'A')); // before the first question: nothing
    mode.modeStart(1);
    ASSERT_TRUE(mode.modeObject());
    EXPECT_EQ(QString::fromLatin1(mode.modeObject()->metaObject()->className()), QStringLiteral("Arvel_Normal"));
    mode.setQuizStateScreenTimer(7);
    feed(mode, key(1, 'A'));
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(1, 1), QStringLiteral("A"));
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswerTime(1, 1), 7);
    mode.modeStart(4);
    EXPECT_EQ(QString::fromLatin1(mode.modeObject()->metaObject()->className()), QStringLiteral("Arvel_Rush"));
    EXPECT_EQ(mode.quizMode(), 5);
}

TEST_F(Arvel, VoteAddsTheClassToTheLoggedInListButNobodyTwice)
{
    auto *qpd = QuizParticipantData::shareManager();
    qpd->setArrayLoginStudents({qpd->arrayClassStudents().at(1)});
    Arvel_Vote vote;
    // Student 2 was in already: counted twice, every rate of the vote would be halved.
    EXPECT_EQ(qpd->getSumOfLoginStudents(), 3);
    EXPECT_EQ(qpd->arrayLoginStudents().at(0), qpd->arrayClassStudents().at(1));
    EXPECT_EQ(vote.quizMode(), 7);
}

TEST(QuizModeTable, EveryPairOfActivityAndModel)
{
    struct Row
    {
        int activity;
        const char *arvel, *corvel, *dravel, *brevel;
    };
    const Row rows[] = {
        {0, "Arvel_Normal", "Corvel_Normal", "Dravel_Normal", "Brevel_Normal"},
        {9, "Arvel_Normal", "Corvel_Normal", "Dravel_Normal", "Brevel_Normal"},
        {1, "Arvel_PaperQuiz", "Corvel_PaperQuiz", "Dravel_PaperQuiz", "Brevel_PaperQuiz"},
        {2, "", "Corvel_HomeWork", "Dravel_HomeWork", ""},
        {3, "Arvel_Rush", "Corvel_Rush", "Dravel_Rush", "Brevel_Rush"},
        {10, "Arvel_Rush", "Corvel_Rush", "Dravel_Rush", "Brevel_Rush"},
        {4, "Arvel_Elimination", "Corvel_Elimination", "Dravel_Elimination", "Brevel_Elimination"},
        {11, "Arvel_Elimination", "Corvel_Elimination", "Dravel_Elimination", "Brevel_Elimination"},
        {5, "Arvel_Multiple", "Corvel_Multiple", "Dravel_Multiple", "Brevel_Multiple"},
        {6, "", "", "", ""},
        {7, "Arvel_Vote", "Corvel_Vote", "Dravel_Vote", "Brevel_Vote"},
        {12, "Arvel_Vote", "Corvel_Vote", "Dravel_Vote", "Brevel_Vote"},
        {8, "Arvel_RollCall", "Corvel_RollCall", "Corvel_RollCall", "Brevel_RollCall"},
        {13, "Arvel_QuickGroup", "Arvel_QuickGroup", "Arvel_QuickGroup", "Arvel_QuickGroup"},
        {14, "Arvel_HandRaise", "Arvel_HandRaise", "Arvel_HandRaise", "Arvel_HandRaise"},
    };
    for (const Row &r : rows) {
        const char *names[] = {r.arvel, r.corvel, r.dravel, r.brevel};
        const int types[] = {1, 2, 3, 4};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(QuizModeFactory::className(r.activity, types[i]), QString::fromLatin1(names[i]))
                << r.activity << " on " << types[i];
    }
    EXPECT_EQ(QuizModeFactory::className(7, 3, true), QStringLiteral("Corvel_Vote"));
    EXPECT_EQ(QuizModeFactory::className(8, 3, true), QStringLiteral("Dravel_RollCall"));
    EXPECT_EQ(QuizModeFactory::className(6, 1, true), QStringLiteral("Arvel_Normal"));
    EXPECT_EQ(QuizModeFactory::className(0, -1), QString());
}

TEST_F(Arvel, FactoryMakesTheClassForTheReceiverItRunsOn)
{
    for (int activity = 0; activity <= 14; ++activity) {
        for (int type = 1; type <= 4; ++type) {
            const QString name = QuizModeFactory::className(activity, type);
            auto mode = QuizModeFactory::create(activity, type);
            if (name.isEmpty()) {
                EXPECT_FALSE(mode);
                continue;
            }
            ASSERT_TRUE(mode) << name.toStdString();
            EXPECT_EQ(QString::fromLatin1(mode->metaObject()->className()), name);
            EXPECT_EQ(mode->deviceType(), type);
        }
    }
    EXPECT_EQ(QuizModeFactory::create(3, 2)->quizMode(), 3);
    EXPECT_EQ(QuizModeFactory::create(10, 2)->quizMode(), 3); // free style keeps the class's number
}
