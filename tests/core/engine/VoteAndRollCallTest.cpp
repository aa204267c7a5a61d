#include "ActivityKeypadFrames.h"
#include "EngineFixture.h"

#include "core/engine/Arvel_HandRaise.h"
#include "core/engine/Arvel_QuickGroup.h"
#include "core/engine/Arvel_RollCall.h"
#include "core/engine/Arvel_Survey.h"
#include "core/engine/Arvel_Vote.h"
#include "core/engine/QuizModeFactory.h"
#include "platform/NotificationNames.h"

// Votes with their result frame for the teacher keypad, roll calls on every model, and the
// Arvel activities that turn a key into one answer or one signal.
namespace {

class VoteAndRollCall : public EngineFixture
{
protected:
    void classOf(int n)
    {
        makeClass(n, true);
        auto *qpd = QuizParticipantData::shareManager();
        qpd->setArrayLoginStudents(qpd->arrayClassStudents());
    }
    static QString answerOf(int q, int d) { return QuizData::shareManager()->getStudentAnswer(q, d); }
};

} // namespace

TEST_F(VoteAndRollCall, VoteResultOfFourOptionsAndThirtyStudents)
{
    classOf(30);
    QuizQuestions::shareManager()->addQuestion(question(0, 4, QString()));
    auto mode = QuizModeFactory::create(7, 2);
    mode->modeStart(1);
    // 10, 8, 6 and 4 choose A to D; 2 choose nothing.
    const char choices[] = "AAAAAAAAAABBBBBBBBCCCCCCDDDD";
    for (int d = 1; d <= 28; ++d)
        feed(*mode, largeAnswerFrame(d, QByteArray(1, choices[d - 1])));
    mode->modeStop();
    takeSent();
    feed(*mode, teacher(0xF8, hexBytes("06")));
    const QList<QByteArray> out = takeSent();
    ASSERT_EQ(out.size(), 1);
    // 10 of 30 = 33 %, 8 = 26 %, 6 = 20 %, 4 = 13 %, none 2 = 6 %.
    EXPECT_EQ(toHex(out[0]), toHex(frameHex("FD 01 EF 14 02 58 05 1E 00 0A 00 21 08 00 1A 06 00 14 04 00 0D 02 00 06")));
    EXPECT_EQ(out[0].size(), 25);

    // Dravel's vote answers the asking keypad the same way.
    auto dravel = QuizModeFactory::create(7, 3);
    dravel->modeStart(1);
    dravel->modeStop();
    feed(*dravel, teacher(0xF8, hexBytes("06")));
    EXPECT_EQ(toHex(takeSent().value(0).left(8)), toHex(hexBytes("FD 01 EF 14 02 58 05 1E")));
}

TEST_F(VoteAndRollCall, BrevelVoteKeepsTheChoiceAsKeyedAndReopeningMovesItLast)
{
    classOf(3);
    auto *qq = QuizQuestions::shareManager();
    qq->addQuestion(question(1, 4, QString()));
    qq->addQuestion(question(0, 4, QString()));
    qq->addQuestion(question(5, 2, QString()));
    auto mode = QuizModeFactory::create(7, 4);
    mode->modeStart(1);
    feed(*mode, brevelAnswerFrame(1, "cb")); // neither upper-cased nor sorted
    feed(*mode, brevelAnswerFrame(2, "b", 0)); // the previous key is no choice
    EXPECT_EQ(answerOf(1, 1), QStringLiteral("cb"));
    EXPECT_EQ(answerOf(1, 2), QString());
    mode->modeStart(3);
    feed(*mode, brevelAnswerFrame(1, "a"));
    EXPECT_EQ(answerOf(3, 1), QStringLiteral("True"));
    mode->modeStart(2);
    mode->modeStart(3);
    mode->modeStart(2);
    EXPECT_EQ(QuizData::shareManager()->arrayAlreadyTestQuestionNo(), (QList<int>{1, 3, 2}));
}

TEST_F(VoteAndRollCall, RollCallCountsEachKeypadOnceWhateverItSends)
{
    for (int model : {2, 3, 4}) {
        SCOPED_TRACE(model);
        QuizData::shareManager()->removeActivityRecord();
        m_notes.clear();
        classOf(3);
        auto mode = QuizModeFactory::create(8, model);
        mode->setQuizStateScreenTimer(7);
        mode->modeStart(1);
        EXPECT_EQ(mode->quizStateScreenTimer(), 7) << "the roll call keeps the window's timer";
        feed(*mode, signalFrame(2, 0x40));
        feed(*mode, signalFrame(2, 0x40)); // signals twice: present once
        feed(*mode, signalFrame(9, 0x40)); // nobody carries keypad 9
        // An answer key (on Brevel even the next key) says present too: kept as an answer, the
        // attendance would count that student absent.
        feed(*mode, model == 4 ? brevelAnswerFrame(3, "", 1) : largeAnswerFrame(3, "b"));
        EXPECT_EQ(mode->nAnsweredNum(), 2);
        EXPECT_EQ(answerOf(1, 2), QStringLiteral("1"));
        EXPECT_EQ(answerOf(1, 3), QStringLiteral("1"));
        EXPECT_EQ(answerOf(1, 1), QString());
        EXPECT_EQ(QuizData::shareManager()->getStudentAnswerTime(1, 2), 0);
        EXPECT_EQ(notes(Notify::StudentAnswer).size(), 3);
        mode->modeStart(1); // a second roll call is listed again
        EXPECT_EQ(QuizData::shareManager()->arrayAlreadyTestQuestionNo(), (QList<int>{1, 1}));
    }
}

// Keypad 1 presses "A" then "B", keypad 2 "H", on a true-or-false question, in each of the five
// small Arvel activities.
TEST_F(VoteAndRollCall, ArvelKeysInVoteSurveyRollCallGroupingAndHandRaise)
{
    struct Row
    {
        const char *name;
        std::function<std::unique_ptr<QuizMode>()> make;
        int activity;
        const char *first, *second; // answers kept for keypads 1 and 2
        int time;                   // answer time kept for keypad 1
        int count;                  // answered count after the three keys (hand raise: left at 5)
        QLatin1String posted;
    };
    const Row rows[] = {
        {"vote", [] { return std::make_unique<Arvel_Vote>(); }, 7, "False", "H", 4, 2, Notify::StudentAnswer},
        {"survey", [] { return std::make_unique<Arvel_Survey>(); }, 6, "B", "H", 4, 2, Notify::StudentAnswer},
        {"roll call", [] { return std::make_unique<Arvel_RollCall>(); }, 8, "1", "1", 0, 2, Notify::StudentAnswer},
        {"quick grouping", [] { return std::make_unique<Arvel_QuickGroup>(); }, 13, "B", "H", 4, 2,
         Notify::StudentQuickGrouping},
        {"hand raise", [] { return std::make_unique<Arvel_HandRaise>(); }, 14, "", "", 0, 5, Notify::StudentAnswer},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QuizParticipantData::shareManager()->removeActivityRecord();
        QuizQuestions::shareManager()->removeAllQuestionsInfo();
        QuizData::shareManager()->removeActivityRecord();
        m_notes.clear();
        makeClass(3, true);
        QuizQuestions::shareManager()->addQuestion(question(5, 2, QStringLiteral("True")));
        std::unique_ptr<QuizMode> mode = row.make();
        EXPECT_EQ(mode->quizMode(), row.activity);
        EXPECT_EQ(QuizParticipantData::shareManager()->getSumOfLoginStudents(), 3);
        mode->setNAnsweredNum(5);
        mode->modeStart(1);
        mode->setQuizStateScreenTimer(4);
        feed(*mode, arvelKey(1, 'A'));
        feed(*mode, arvelKey(1, 'B'));
        feed(*mode, arvelKey(2, 'H'));
        feed(*mode, arvelKey(9, 'A')); // nobody carries keypad 9
        EXPECT_EQ(answerOf(1, 1), QLatin1String(row.first));
        EXPECT_EQ(answerOf(1, 2), QLatin1String(row.second));
        EXPECT_EQ(QuizData::shareManager()->getStudentAnswerTime(1, 1), row.time);
        EXPECT_EQ(mode->nAnsweredNum(), row.count);
        const QList<Notification> posted = notes(row.posted);
        ASSERT_EQ(posted.size(), 3);
        if (row.posted == Notify::StudentQuickGrouping) {
            // The count of keypads that have chosen: a change of group does not count again.
            EXPECT_EQ(posted[0].userInfo.value(Notify::Key::Sum).toInt(), 1);
            EXPECT_EQ(posted[1].userInfo.value(Notify::Key::Sum).toInt(), 1);
            EXPECT_EQ(posted[1].userInfo.value(Notify::Key::Answer).toString(), QStringLiteral("B"));
            EXPECT_EQ(posted[2].userInfo.value(Notify::Key::Sum).toInt(), 2);
        } else {
            EXPECT_EQ(posted[2].userInfo.value(Notify::Key::AnsNum).toInt(), row.count);
        }
    }
}
