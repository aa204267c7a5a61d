#include "ActivityKeypadFrames.h"
#include "EngineFixture.h"

#include "core/engine/Brevel_Multiple.h"
#include "core/engine/LargeFamilyMultiple.h"
#include "core/engine/QuizModeFactory.h"
#include "platform/NotificationNames.h"

// Elimination on every model, and multiple mode routing each question to its action mode's
// handler on the large family.
namespace {

// Four students on keypads 1 to 4, all taking part.
class FourStudents : public EngineFixture
{
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        makeClass(4, true);
        auto *qpd = QuizParticipantData::shareManager();
        qpd->setArrayLoginStudents(qpd->arrayClassStudents());
    }
};

class Elimination : public FourStudents, public ::testing::WithParamInterface<int>
{
protected:
    void SetUp() override
    {
        FourStudents::SetUp();
        auto *qq = QuizQuestions::shareManager();
        qq->addQuestion(question(0, 4, QStringLiteral("B")));
        qq->addQuestion(question(0, 4, QStringLiteral("A")));
        qq->addQuestion(question(0, 4, QString())); // no right answer
    }
    // (device number, type) of each elimination notice, in order.
    QList<QPair<int, int>> decisions() const
    {
        QList<QPair<int, int>> out;
        for (const Notification &n : notes(Notify::StudentElimination))
            out << qMakePair(n.userInfo.value(Notify::Key::DeviceNo).toInt(), n.userInfo.value(Notify::Key::Type).toInt());
        return out;
    }
};

class Multiple : public FourStudents
{
protected:
    void SetUp() override
    {
        FourStudents::SetUp();
        auto *qq = QuizQuestions::shareManager();
        auto normal = question(1, 4, QStringLiteral("AB"));
        auto rush = question(0, 4, QStringLiteral("C"));
        rush.setNActionMode(3);
        auto elimination = question(0, 4, QStringLiteral("A"));
        elimination.setNActionMode(4);
        qq->addQuestion(normal);
        qq->addQuestion(rush);
        qq->addQuestion(elimination);
    }
    static QString answerOf(int q, int d) { return QuizData::shareManager()->getStudentAnswer(q, d); }
    static QString handlerOf(QuizMode *m) { return m ? QString::fromLatin1(m->metaObject()->className()) : QString(); }
};

} // namespace

TEST_P(Elimination, WrongAndMissingAnswersDropOutForTheRestOfTheRun)
{
    const int model = GetParam();
    auto mode = QuizModeFactory::create(4, model);
    ASSERT_TRUE(mode);
    auto *qd = QuizData::shareManager();

    mode->modeStart(1);
    EXPECT_EQ(qd->getEliminationModeJoinStudents(1), 4);
    feed(*mode, answerOnModel(model, 1, 'B'));
    feed(*mode, answerOnModel(model, 2, 'C'));
    feed(*mode, answerOnModel(model, 4, 'B'));
    mode->modeStop();
    EXPECT_EQ(decisions(), (QList<QPair<int, int>>{{1, 0}, {2, 1}, {3, 1}, {4, 0}}));
    EXPECT_EQ(qd->arrayEliminationStudentsDeviceNo(), (QList<int>{2, 3}));
    EXPECT_EQ(qd->getArrayAlreadlyEliminationSum(1), 2);

    m_notes.clear();
    mode->modeStart(2);
    EXPECT_EQ(qd->getEliminationModeJoinStudents(2), 2);
    EXPECT_EQ(qd->getArrayAlreadlyEliminationDeviceNo(2), (QList<int>{2, 3}));
    feed(*mode, answerOnModel(model, 2, 'A')); // out: not heard
    feed(*mode, answerOnModel(model, 3, 'A'));
    feed(*mode, answerOnModel(model, 1, 'A'));
    EXPECT_EQ(qd->getStudentAnswer(2, 2), QString());
    EXPECT_EQ(qd->getStudentAnswer(2, 3), QString());
    EXPECT_EQ(notes(Notify::StudentAnswer).size(), 1);
    mode->modeStop();
    // Only those still in hear of the question; keypad 4 did not answer and drops out.
    EXPECT_EQ(decisions(), (QList<QPair<int, int>>{{1, 0}, {4, 1}}));
    EXPECT_EQ(qd->getArrayAlreadlyEliminationSum(2), 3);

    // A question without a right answer: not answering is not wrong.
    m_notes.clear();
    mode->modeStart(3);
    mode->modeStop();
    EXPECT_EQ(decisions(), (QList<QPair<int, int>>{{1, 0}}));
}

INSTANTIATE_TEST_SUITE_P(EveryModel, Elimination, ::testing::Values(1, 2, 3, 4),
                         [](const ::testing::TestParamInfo<int> &info) {
                             return std::string(info.param == 1   ? "Arvel"
                                                : info.param == 2 ? "Corvel"
                                                : info.param == 3 ? "Dravel"
                                                                  : "Brevel");
                         });

TEST_F(Multiple, DravelRoutesNormalRushAndEliminationQuestions)
{
    auto mode = QuizModeFactory::create(5, 3);
    auto *multiple = dynamic_cast<LargeFamilyMultiple *>(mode.get());
    ASSERT_TRUE(multiple);

    mode->modeStart(1);
    EXPECT_EQ(handlerOf(multiple->modeObject()), QStringLiteral("Dravel_Normal"));
    feed(*mode, largeAnswerFrame(1, "ba"));
    EXPECT_EQ(answerOf(1, 1), QStringLiteral("AB"));
    mode->modeStop();

    mode->modeStart(2);
    EXPECT_EQ(handlerOf(multiple->modeObject()), QStringLiteral("Dravel_Rush"));
    EXPECT_EQ(answerOf(2, 3), QStringLiteral("__"));
    takeSent();
    // The first answer frame is the buzz: its keypad gets the word, its text is not kept.
    feed(*mode, largeAnswerFrame(2, "a"));
    EXPECT_EQ(toHex(takeSent().value(0)), toHex(frameHex("F7 02 00 03 00 00 00")));
    EXPECT_EQ(answerOf(2, 2), QStringLiteral("__N"));
    ASSERT_EQ(notes(Notify::StudentRush).size(), 1);
    EXPECT_EQ(notes(Notify::StudentRush)[0].userInfo.value(Notify::Key::Type).toInt(), 2);
    feed(*mode, largeAnswerFrame(3, "c")); // not the winner
    feed(*mode, largeAnswerFrame(2, "c"));
    EXPECT_EQ(answerOf(2, 3), QStringLiteral("__"));
    EXPECT_EQ(answerOf(2, 2), QStringLiteral("C"));
    ASSERT_EQ(notes(Notify::StudentRush).size(), 2);
    EXPECT_EQ(notes(Notify::StudentRush)[1].userInfo.value(Notify::Key::AnswerType).toInt(), 0);
    mode->modeStop();
    EXPECT_EQ(multiple->nRushDeviceNo(), -1);

    mode->modeStart(3);
    EXPECT_EQ(handlerOf(multiple->modeObject()), QStringLiteral("Dravel_Elimination"));
    feed(*mode, largeAnswerFrame(1, "a"));
    feed(*mode, largeAnswerFrame(2, "b"));
    mode->modeStop(); // the elimination handler decides
    EXPECT_EQ(QuizData::shareManager()->arrayEliminationStudentsDeviceNo(), (QList<int>{2, 3, 4}));
    EXPECT_EQ(notes(Notify::StudentElimination).size(), 4);
}

TEST_F(Multiple, BrevelTakesBuzzesOnlyOnRushQuestions)
{
    Brevel_Multiple mode;
    mode.setDeviceType(4);
    mode.modeStart(1);
    EXPECT_EQ(handlerOf(mode.modeObject()), QStringLiteral("Brevel_Normal"));
    feed(mode, brevelAnswerFrame(1, "BA"));
    EXPECT_EQ(answerOf(1, 1), QStringLiteral("BA")) << "a normal question's answer is kept as keyed";
    // A buzz during a normal question must not turn its answers into rush marks.
    feed(mode, signalFrame(2, 0x40));
    EXPECT_EQ(answerOf(1, 1), QStringLiteral("BA"));
    EXPECT_EQ(answerOf(1, 2), QString());
    EXPECT_TRUE(notes(Notify::StudentRush).isEmpty());
    EXPECT_TRUE(takeSent().isEmpty());
    mode.modeStop();

    mode.modeStart(2);
    EXPECT_EQ(handlerOf(mode.modeObject()), QStringLiteral("Brevel_Rush"));
    feed(mode, signalFrame(2, 0x40));
    EXPECT_EQ(answerOf(2, 2), QStringLiteral("__N"));
    EXPECT_EQ(answerOf(2, 1), QStringLiteral("__"));
    EXPECT_EQ(toHex(takeSent().value(0)), toHex(frameHex("F7 02 00 04 02 00 04 F5")));
    feed(mode, brevelAnswerFrame(2, "c"));
    EXPECT_EQ(answerOf(2, 2), QStringLiteral("C"));
    mode.modeStop();
    drain(mode);

    mode.modeStart(3);
    feed(mode, brevelAnswerFrame(1, "A"));
    mode.modeStop();
    EXPECT_EQ(QuizData::shareManager()->arrayEliminationStudentsDeviceNo(), (QList<int>{2, 3, 4}));
    feed(mode, signalFrame(3, 0x40)); // no rush question runs
    EXPECT_EQ(notes(Notify::StudentRush).size(), 2) << "the buzz and the answer of question 2 only";
}
