#include "ActivityKeypadFrames.h"
#include "EngineFixture.h"

#include "core/engine/Arvel_Rush.h"
#include "core/engine/Brevel_Rush.h"
#include "core/engine/QuizModeFactory.h"
#include "core/engine/RushFrames.h"
#include "core/engine/RushInfoShow.h"
#include "platform/NotificationNames.h"

// The rush quiz on every model: the first buzz of a running question from a keypad that a student
// carries wins, the marks "__N" / "__" say who may answer, only the winner's answer counts, the
// winner box comes and goes with the win and the question, and the frames that tell the keypads
// and the teacher keypad are those of the design.
namespace {

// What the winner boxes were told; stands in for the UI's box.
struct BoxLog
{
    QStringList shown;  // "ID name" per box shown
    int closed = 0;
};

class FakeBox : public RushInfoShow
{
public:
    explicit FakeBox(BoxLog *log) : m_log(log) {}
    void setStrStudentID(const QString &id) override { m_id = id; }
    void setStrStudentName(const QString &name) override { m_name = name; }
    void showWindow() override { m_log->shown << m_id + QLatin1Char(' ') + m_name; }
    void closeWindow() override { ++m_log->closed; }

private:
    BoxLog *m_log;
    QString m_id, m_name;
};

class Rush : public EngineFixture
{
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        RushInfoShow::setFactory([this] { return std::make_unique<FakeBox>(&boxes); });
        makeClass(4, true);
        auto *qpd = QuizParticipantData::shareManager();
        qpd->setArrayLoginStudents(qpd->arrayClassStudents());
        auto q1 = question(0, 4, QStringLiteral("B"));
        q1.setNRushTime(20);
        QuizQuestions::shareManager()->addQuestion(q1);
        QuizQuestions::shareManager()->addQuestion(question(1, 4, QStringLiteral("AB")));
    }
    void TearDown() override
    {
        RushInfoShow::setFactory({});
        EngineFixture::TearDown();
    }

    static QString answerOf(int q, int d) { return QuizData::shareManager()->getStudentAnswer(q, d); }
    QStringList marks(int q) const
    {
        QStringList out;
        for (int d = 1; d <= 4; ++d)
            out << answerOf(q, d);
        return out;
    }
    QList<Notification> rushNotes() const { return notes(Notify::StudentRush); }

    // Both large-family rushes that take a signal frame: Corvel and Dravel.
    void twoBuzzesOnCorvelOrDravel(int deviceType);

    BoxLog boxes;
};

} // namespace

TEST(RushFrames, ByteForByte)
{
    EXPECT_EQ(toHex(RushFrames::toAnswer(ActivityFrames::KeypadAddress::word(5))), toHex(frameHex("F7 05 00 03 00 00 00")));

    RushFrames::Succeed s;
    s.questionNo = 2;
    s.questionType = 3; // short answer goes out as cloze
    s.optionCount = 4;
    EXPECT_EQ(toHex(RushFrames::succeed({0x07, 0x01}, s)), toHex(frameHex("F7 07 01 04 02 02 04 F5")));
    s.questionType = 5; // true or false: two options whatever the page says
    EXPECT_EQ(toHex(RushFrames::succeed({0x07, 0x01}, s)), toHex(frameHex("F7 07 01 04 02 05 02 F5")));
    s.screenQuestion = true; // set on the screen in a free-style run: any answer of ten options
    EXPECT_EQ(toHex(RushFrames::succeed({0x07, 0x01}, s)), toHex(frameHex("F7 07 01 04 02 01 0A F5")));

    RushFrames::Result r{30, QStringLiteral("Alexandra Smyth"), QStringLiteral("C"), QStringLiteral("B")};
    // A name of 15 characters goes out as its first 12 and "..".
    EXPECT_EQ(toHex(RushFrames::result({0x56, 0xEF}, r)),
              toHex(frameHex("FD 56 EF 18 03 46 00 1E 00 416C6578616E64726120536D2E2E EE 43 EE 42 EE")));
    r.winnerName = QStringLiteral("Alexandra Smit"); // 14: whole
    r.winnerAnswer = QStringLiteral("B");
    EXPECT_EQ(toHex(RushFrames::result({0x56, 0xEF}, r)),
              toHex(frameHex("FD 56 EF 18 03 54 00 1E 00 416C6578616E64726120536D6974 EE 42 EE 42 EE")));
}

void Rush::twoBuzzesOnCorvelOrDravel(int deviceType)
{
    std::unique_ptr<QuizMode> mode = QuizModeFactory::create(3, deviceType);
    feed(*mode, signalFrame(3)); // before the question runs: no winner, no box
    EXPECT_TRUE(takeSent().isEmpty());
    EXPECT_TRUE(boxes.shown.isEmpty());

    mode->modeStart(1);
    EXPECT_EQ(marks(1), (QStringList{"__", "__", "__", "__"}));
    feed(*mode, signalFrame(9)); // no logged-in student carries keypad 9: it must not hold the win
    EXPECT_TRUE(takeSent().isEmpty());

    feed(*mode, signalFrame(2));
    feed(*mode, signalFrame(3));
    EXPECT_EQ(toHex(takeSent().value(0)), toHex(frameHex("F7 02 00 03 00 00 00")));
    EXPECT_TRUE(takeSent().isEmpty()) << "the second buzz is not answered";
    EXPECT_EQ(marks(1), (QStringList{"__", "__N", "__", "__"}));
    EXPECT_EQ(boxes.shown, QStringList{"S002 First2 Last2"});
    ASSERT_EQ(rushNotes().size(), 1);
    EXPECT_EQ(rushNotes()[0].userInfo.value(Notify::Key::Type).toInt(), 0);
    EXPECT_EQ(rushNotes()[0].userInfo.value(Notify::Key::DeviceNo).toInt(), 2);
    // The winner on Dravel is the run's rush student from the buzz, on Corvel from its answer.
    EXPECT_EQ(mode->nRushStuDeviceNo(), deviceType == 3 ? 2 : -1);

    feed(*mode, signalFrame(2)); // the winner asks again: the permission again
    EXPECT_EQ(toHex(takeSent().value(0)), toHex(frameHex("F7 02 00 03 00 00 00")));

    feed(*mode, largeAnswerFrame(3, "c")); // not the winner
    EXPECT_EQ(answerOf(1, 3), QStringLiteral("__"));
    mode->setQuizStateScreenTimer(6);
    feed(*mode, largeAnswerFrame(2, "c"));
    feed(*mode, largeAnswerFrame(2, "b")); // a later answer of the winner replaces the first
    EXPECT_EQ(answerOf(1, 2), QStringLiteral("B"));
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswerTime(1, 2), 6);
    EXPECT_EQ(mode->nRushStuDeviceNo(), 2);
    ASSERT_EQ(rushNotes().size(), 3);
    EXPECT_EQ(rushNotes()[1].userInfo.value(Notify::Key::AnswerType).toInt(), 1) << "C is wrong";
    EXPECT_EQ(rushNotes()[2].userInfo.value(Notify::Key::Type).toInt(), 1);
    EXPECT_EQ(rushNotes()[2].userInfo.value(Notify::Key::Ans).toString(), QStringLiteral("B"));
    EXPECT_EQ(rushNotes()[2].userInfo.value(Notify::Key::AnswerType).toInt(), 0);
    EXPECT_EQ(notes(Notify::StudentAnswer).size(), 2);

    mode->modeStop();
    EXPECT_EQ(boxes.closed, 1);
    feed(*mode, signalFrame(4)); // after the question: nobody wins it any more
    EXPECT_TRUE(takeSent().isEmpty());

    // The teacher keypad asks for the histogram: it gets the rush's outcome (Dravel: to the run's
    // teacher keypad; Corvel: to the keypad that asked).
    QuizParticipantData::shareManager()->arrayLoginStudents().at(1)->setStudentFullName(QStringLiteral("Alexandra Smyth"));
    feed(*mode, teacher(0xF8, hexBytes("06")));
    const QString address = deviceType == 3 ? QStringLiteral("56 EF") : QStringLiteral("01 EF");
    EXPECT_EQ(toHex(takeSent().value(0)),
              toHex(withXor(hexBytes(qPrintable(QStringLiteral("FD %1 18 03 54 00 04 00").arg(address))) +
                            "Alexandra Sm.." + hexBytes("EE 42 EE 42 EE"))));
}

TEST_F(Rush, TwoBuzzesOnCorvel)
{
    twoBuzzesOnCorvelOrDravel(2);
}

TEST_F(Rush, TwoBuzzesOnDravel)
{
    twoBuzzesOnCorvelOrDravel(3);
}

TEST_F(Rush, NobodyWinsNoResultGoesToTheTeacherKeypad)
{
    auto mode = QuizModeFactory::create(3, 3);
    mode->modeStart(1);
    mode->modeStop();
    feed(*mode, teacher(0xF8, hexBytes("06")));
    EXPECT_TRUE(takeSent().isEmpty());
}

TEST_F(Rush, BrevelBuzzesWinAndTheSuccessGoesOutThriceWithoutBlocking)
{
    Brevel_Rush mode;
    mode.setDeviceType(4);
    mode.modeStart(2); // a multiple-answer question
    feed(mode, signalFrame(2, 0x41)); // not the rush signal
    feed(mode, signalFrame(9, 0x40)); // nobody carries keypad 9
    EXPECT_TRUE(takeSent().isEmpty());
    EXPECT_TRUE(rushNotes().isEmpty());

    feed(mode, signalFrame(2, 0x40));
    // The handler returns after the first frame; the repeats follow from timer steps.
    EXPECT_EQ(takeSent(), QList<QByteArray>{frameHex("F7 02 00 04 02 01 04 F5")});
    EXPECT_TRUE(mode.hasPendingSends());
    feed(mode, signalFrame(3, 0x40));
    feed(mode, signalFrame(2, 0x40)); // the winner again: nothing more than the three
    drain(mode);
    EXPECT_EQ(takeSent(), (QList<QByteArray>{frameHex("F7 02 00 04 02 01 04 F5"), frameHex("F7 02 00 04 02 01 04 F5")}));
    EXPECT_EQ(boxes.shown, QStringList{"S002 First2 Last2"});
    EXPECT_EQ(marks(2), (QStringList{"__", "__N", "__", "__"}));

    feed(mode, brevelAnswerFrame(3, "A"));
    feed(mode, brevelAnswerFrame(2, "A", 1)); // the next key
    EXPECT_EQ(answerOf(2, 2), QStringLiteral("__N"));
    feed(mode, brevelAnswerFrame(2, "ba"));
    EXPECT_EQ(answerOf(2, 2), QStringLiteral("AB")) << "upper-cased and sorted";
    ASSERT_EQ(rushNotes().size(), 2);
    EXPECT_EQ(rushNotes()[1].userInfo.value(Notify::Key::Type).toInt(), 1);
    EXPECT_FALSE(rushNotes()[1].userInfo.contains(Notify::Key::AnswerType));

    mode.modeStop();
    EXPECT_EQ(boxes.closed, 1);
    EXPECT_EQ(mode.nRushDeviceNo(), -1);
    feed(mode, signalFrame(3, 0x40)); // the question is over: no new winner, no box
    EXPECT_TRUE(takeSent().isEmpty());
    EXPECT_EQ(boxes.shown.size(), 1);
}

TEST_F(Rush, ArvelWinnerIsTheFirstGAndOnlyItsKeysCount)
{
    auto *qpd = QuizParticipantData::shareManager();
    Arvel_Rush mode;
    EXPECT_EQ(qpd->getSumOfLoginStudents(), 4);
    mode.modeStart(1);
    feed(mode, arvelKey(2, 'C')); // no buzz yet
    feed(mode, arvelKey(9, 'G')); // nobody carries keypad 9
    EXPECT_TRUE(rushNotes().isEmpty());
    EXPECT_EQ(answerOf(1, 2), QString());

    feed(mode, arvelKey(2, 'G'));
    feed(mode, arvelKey(3, 'G'));
    feed(mode, arvelKey(3, 'A'));
    EXPECT_EQ(marks(1), (QStringList{"__", "__N", "__", "__"}));
    EXPECT_EQ(boxes.shown, QStringList{"S002 First2 Last2"});
    ASSERT_EQ(rushNotes().size(), 1);

    mode.setQuizStateScreenTimer(3);
    feed(mode, arvelKey(2, 'G')); // the winner's G: its rush time back, nothing kept or posted
    EXPECT_EQ(mode.quizStateScreenTimer(), 20);
    EXPECT_EQ(rushNotes().size(), 1);
    mode.setQuizStateScreenTimer(5);
    feed(mode, arvelKey(2, 'B'));
    EXPECT_EQ(answerOf(1, 2), QStringLiteral("B"));
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswerTime(1, 2), 5);
    EXPECT_EQ(mode.nRushStuDeviceNo(), 2);
    ASSERT_EQ(rushNotes().size(), 2);
    EXPECT_EQ(rushNotes()[1].userInfo.value(Notify::Key::Ans).toString(), QStringLiteral("B"));
    EXPECT_EQ(mode.nAnsweredNum(), 0) << "a rush keeps no answered count";
    EXPECT_TRUE(notes(Notify::StudentAnswer).isEmpty());

    mode.modeStop();
    EXPECT_EQ(boxes.closed, 1);
    mode.modeStart(2); // each question starts without a winner
    feed(mode, arvelKey(3, 'G'));
    EXPECT_EQ(boxes.shown.last(), QStringLiteral("S003 First3 Last3"));
}
