#include "EngineFixture.h"

#include "core/engine/Arvel_Normal.h"
#include "core/engine/Brevel_Normal.h"
#include "core/engine/ClassLogout.h"
#include "core/engine/Corvel_Normal.h"
#include "core/engine/Dravel_Normal.h"
#include "core/keypad/FrameBuilder.h"

#include "platform/Log.h"

#include <QLoggingCategory>

#include <algorithm>

namespace {
QStringList s_log;
void captureLog(QtMsgType, const QMessageLogContext &, const QString &msg)
{
    s_log << msg;
}

class FramesOut : public EngineFixture
{
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        makeClass(3);
    }
    void addChoiceQuestion()
    {
        auto q = question(0, 2, QStringLiteral("A"), QStringLiteral("What is 2+2?"));
        q.setStrOptionA(QStringLiteral("Four"));
        q.setStrOptionB(QStringLiteral("Five"));
        QuizQuestions::shareManager()->addQuestion(q);
    }
    // A Dravel run of a choice question and a text question; the keypads have just answered the
    // first question's wake frame, so its broadcast is going out.
    void startFirstOfTwo(Dravel_Normal &mode)
    {
        addChoiceQuestion();
        QuizQuestions::shareManager()->addQuestion(question(2, 0, QString(), QStringLiteral("Next")));
        mode.setDeviceType(3);
        mode.setWakeUpMode(1);
        mode.modeStart(1);
        feed(mode, ReceivedFrame::large(0xF5, 0, 0, hexBytes("E3")));
    }
};

// "Class 7B" EE "Ms Smith" EE
const char *kNames = "43 6C 61 73 73 20 37 42 EE 4D 73 20 53 6D 69 74 68 EE";
} // namespace

TEST(FrameBuilder, CheckBytesOfTheDesignsFrames)
{
    EXPECT_EQ(FrameBuilder::shortFrame(0xF4, 0x00, 0xC0, 0x01), hexBytes("F4 00 C0 01 35"));
    EXPECT_EQ(FrameBuilder::shortFrame(0xF3, 0x00, 0x00, 0x05), hexBytes("F3 00 00 05 F6"));
    EXPECT_EQ(FrameBuilder::shortFrame(0xF0, 0x00, 0x00, 0x00), hexBytes("F0 00 00 00 F0"));
    EXPECT_EQ(FrameBuilder::longFrame(0xF6, 0x00, 0x00, hexBytes("01 FF FF")), hexBytes("F6 00 00 03 01 FF FF F4"));
}

TEST(FrameBuilder, RefusesFramesLongerThanTheLimitWithoutThrowing)
{
    s_log.clear();
    const_cast<QLoggingCategory &>(lcPollix()).setEnabled(QtInfoMsg, true);
    const auto previous = qInstallMessageHandler(captureLog);
    EXPECT_EQ(FrameBuilder::longFrame(0xF8, 0, 0, QByteArray(60, 'x')).size(), 65);
    EXPECT_TRUE(FrameBuilder::longFrame(0xF8, 0, 0, QByteArray(61, 'x')).isEmpty());
    EXPECT_TRUE(FrameBuilder::longFrame(0xF8, 0, 0, QByteArray(200, 'x')).isEmpty());
    bool ok = true;
    FrameBuilder::getCRC(QByteArray(3, 'x'), 65, &ok);
    EXPECT_FALSE(ok);
    qInstallMessageHandler(previous);
    const_cast<QLoggingCategory &>(lcPollix()).setEnabled(QtInfoMsg, false);
    EXPECT_EQ(s_log.count(QStringLiteral("Error data or length.")), 3);
}

TEST(FrameBuilder, NamesLongerThanFourteenAreCut)
{
    EXPECT_EQ(FrameBuilder::nameBytes(QStringLiteral("ABCDEFGHIJKLMN")), QByteArray("ABCDEFGHIJKLMN"));
    EXPECT_EQ(FrameBuilder::nameBytes(QStringLiteral("ABCDEFGHIJKLMNO")), QByteArray("ABCDEFGHIJKL.."));
}

TEST(QuestionCutting, LinesOfAtMostTwentyOneCharacters)
{
    EXPECT_EQ(QuizMode::DisMemberStringSour(QStringLiteral("123456789012345678901")), QStringList{"123456789012345678901"});
    EXPECT_EQ(QuizMode::DisMemberStringSour(QStringLiteral("12345678901234567890ab")),
              (QStringList{"12345678901234567890-", "ab"}));
    EXPECT_EQ(QuizMode::DisMemberStringSour(QStringLiteral("12345678901234567890 b")),
              (QStringList{"12345678901234567890 ", " b"}));
    EXPECT_EQ(QuizMode::DisMemberStringSour(QStringLiteral("abcdefghijklmnopqrstuvwxyz")),
              (QStringList{"abcdefghijklmnopqrst-", "uvwxyz"}));
    EXPECT_EQ(QuizMode::SetQuestionsTitle(QStringLiteral("/home/t/Quiz/Unit 3.v2.pqz")), QStringLiteral("Unit 3"));
}

TEST_F(FramesOut, ChoiceQuestionOfThirtyLinesKeepsElevenFrames)
{
    auto q = question(0, 4, QStringLiteral("A"), QString(120, QLatin1Char('t')));
    for (int k = 0; k < 4; ++k)
        q.setStrOption(k, QString(21 * 5, QLatin1Char('a' + k)) + QStringLiteral("\r"));
    QuizQuestions::shareManager()->addQuestion(q);
    Dravel_Normal mode;
    mode.setDeviceType(3);
    mode.modeStart(1);
    // 6 title lines; each option is cut to (24 - 6) / 4 = 4 lines: 22 lines, 11 frame texts.
    EXPECT_EQ(mode.DismemeberQuestion(), 11);
    const QStringList texts = mode.arrQueContent();
    EXPECT_TRUE(texts[3].startsWith(QStringLiteral("A.aaaa")));
    EXPECT_EQ(texts[10], QStringLiteral("dddddddddddddddddddd-") + QChar(0x7F) + QStringLiteral("dddddddddddddddddddd-"));

    auto text = question(2, 0, QString(), QString(21 * 30, QLatin1Char('x')));
    QuizQuestions::shareManager()->addQuestion(text);
    mode.modeStart(2);
    EXPECT_EQ(mode.DismemeberQuestion(), 16); // text questions keep every line
    EXPECT_EQ(mode.arrQueContent()[11].size(), 38);
}

TEST_F(FramesOut, QuestionFramesCarryPaddedLines)
{
    addChoiceQuestion();
    Dravel_Normal mode;
    mode.setDeviceType(3);
    mode.setWakeUpMode(1);
    mode.modeStart(1);
    feed(mode, ReceivedFrame::large(0xF5, 0, 0, hexBytes("E3")));
    drain(mode);
    const int id = QuizParticipantData::shareManager()->randomQuestionID() & 0xFF;
    QByteArray line1 = QByteArray("What is 2+2?").leftJustified(21, '\0');
    QByteArray line2 = QByteArray("A.Four").leftJustified(21, '\0');
    QByteArray line3 = QByteArray("B.Five").leftJustified(21, '\0');
    const QByteArray frame1 = withXor(hexBytes("F7 00 C0 2F 01 02 01 01") + char(id) + line1 + line2);
    const QByteArray frame2 = withXor(hexBytes("F7 00 C0 1A 01 02 02 01") + char(id) + line3);
    const QList<QByteArray> out = takeSent();
    ASSERT_EQ(out.size(), 11); // the state frame, then five passes of both frames
    EXPECT_EQ(out[0], frameHex("F5 34 12 05 03 01 00 02 01"));
    for (int pass = 0; pass < 5; ++pass) {
        EXPECT_EQ(out[1 + 2 * pass], frame1) << toHex(out[1 + 2 * pass]).toStdString();
        EXPECT_EQ(out[2 + 2 * pass], frame2);
    }
    EXPECT_TRUE(mode.isQuizStart());
}

TEST_F(FramesOut, StateFramesPerModel)
{
    addChoiceQuestion();
    Brevel_Normal brevel;
    brevel.setDeviceType(4);
    brevel.modeStart(1);
    brevel.sendPCState(3);
    brevel.sendPCState(2);
    EXPECT_EQ(takeSent(), (QList<QByteArray>{frameHex("F5 34 12 07 03 01 00 02 01 FF 41"),
                                             frameHex("F5 34 12 05 02 00 00 00 00")}));
    auto tf = question(5, 2, QStringLiteral("True"));
    QuizQuestions::shareManager()->addQuestion(tf);
    Corvel_Normal corvel;
    corvel.setDeviceType(2);
    corvel.modeStart(2);
    corvel.sendPCState(3); // true-or-false goes out as type 0 on Corvel
    corvel.setParticipationMode(2);
    corvel.sendPCState(3); // free style: any answer of ten options
    EXPECT_EQ(takeSent(), (QList<QByteArray>{frameHex("F5 34 12 05 03 02 00 02 01"),
                                             frameHex("F5 34 12 05 03 02 01 0A 01")}));
    corvel.sendWakeFrame();
    corvel.sendReceiveState(0xE1);
    EXPECT_EQ(takeSent(), (QList<QByteArray>{hexBytes("F4 00 C0 01 35"), frameHex("F3 56 EF E1")}));
}

TEST_F(FramesOut, LoginWakeUpAnnouncesTheClassTwentyTimes)
{
    for (int type : {2, 3}) {
        std::unique_ptr<QuizMode> mode;
        if (type == 2)
            mode = std::make_unique<Corvel_Normal>();
        else
            mode = std::make_unique<Dravel_Normal>();
        mode->setDeviceType(type);
        mode->setWakeUpMode(0);
        feed(*mode, ReceivedFrame::large(0xF5, 0, 0, hexBytes("E3")));
        drain(*mode);
        const QList<QByteArray> out = takeSent();
        ASSERT_EQ(out.size(), 21);
        const QByteArray announce =
            frameHex(QByteArray(type == 2 ? "F9 00 00 14 " : "F9 00 C0 14 ").append(kNames).append(" 03 00").constData());
        EXPECT_EQ(out.first(), announce);
        EXPECT_EQ(out[19], announce);
        EXPECT_EQ(out.last(), frameHex("F5 34 12 05 02 00 00 00 00"));
    }
}

TEST_F(FramesOut, LogoutWakeUpSendsTheLogoutFrameThreeTimes)
{
    Corvel_Normal mode;
    mode.setDeviceType(2);
    mode.setWakeUpMode(2);
    feed(mode, ReceivedFrame::large(0xF5, 0, 0, hexBytes("E3")));
    EXPECT_EQ(takeSent(), QList<QByteArray>(3, hexBytes("F6 00 00 03 01 FF FF F4")));
}

// The keypads' answer to a run's logout wake may come only once the next run has opened, where it
// would pass for the answer to that run's login call, or never. Until a logout frame has gone
// out the next run sends it as it opens, once; a logout answered in time is not sent again, and
// the three-byte keypads, which answer no wake, are told by the wake itself.
TEST_F(FramesOut, ALogoutTheKeypadsLeftUnansweredGoesOutOnceAsTheNextRunOpens)
{
    const QList<QByteArray> logout(3, hexBytes("F6 00 00 03 01 FF FF F4"));
    const auto endRun = [](QuizMode &mode, int type) {
        mode.setDeviceType(type);
        mode.setWakeUpMode(2);
        mode.sendWakeFrame();
    };
    const auto openRun = [](QuizMode &mode, int type) {
        mode.setDeviceType(type);
        mode.settleClassLogout();
    };
    {
        Dravel_Normal first;
        endRun(first, 3);
    }
    EXPECT_EQ(takeSent(), QList<QByteArray>{hexBytes("F4 00 C0 01 35")});
    Dravel_Normal second;
    openRun(second, 3);
    EXPECT_EQ(takeSent(), logout);
    openRun(second, 3);
    EXPECT_TRUE(takeSent().isEmpty()) << "sent once";

    // Answered in time, by the run itself.
    endRun(second, 3);
    feed(second, ReceivedFrame::large(0xF5, 0, 0, hexBytes("E3")));
    EXPECT_EQ(takeSent().mid(1), logout);
    Corvel_Normal third;
    openRun(third, 2);
    EXPECT_TRUE(takeSent().isEmpty()) << "answered in time";

    Arvel_Normal smallFamily;
    endRun(smallFamily, 1);
    takeSent();
    openRun(third, 2);
    EXPECT_TRUE(takeSent().isEmpty()) << "no wake answer owed by three-byte keypads";

    // A logout that reached no receiver told no keypad: it is still owed.
    ClassLogout *owed = ClassLogout::shareManager();
    owed->called();
    owed->send([](const QByteArray &) { return false; });
    EXPECT_TRUE(owed->owed());
    openRun(third, 2);
    EXPECT_EQ(takeSent(), logout);
    EXPECT_FALSE(owed->owed());
}

TEST_F(FramesOut, BroadcastStopsWhenItsOwnerGoes)
{
    auto q = question(2, 0, QString(), QString(21 * 20, QLatin1Char('x')));
    QuizQuestions::shareManager()->addQuestion(q);
    QElapsedTimer t;
    t.start();
    {
        Dravel_Normal mode;
        mode.setDeviceType(3);
    mode.setDeviceType(3);
        mode.setWakeUpMode(1);
        mode.modeStart(1);
        feed(mode, ReceivedFrame::large(0xF5, 0, 0, hexBytes("E3")));
        feed(mode, ReceivedFrame::large(0xF5, 0, 0, hexBytes("E3"))); // the thread runs: no second one
        EXPECT_TRUE(mode.hasPendingSends());
    } // 50 frames of 50 ms were due; the owner's end stops and joins the thread
    EXPECT_LT(t.elapsed(), 2000); // the whole broadcast would take 2.5 s
    EXPECT_LT(sent().size(), 40);
}

TEST_F(FramesOut, NoBroadcastWhenQuestionsAreNotSentOrOnCorvel)
{
    addChoiceQuestion();
    m_sendQuestions = false;
    Dravel_Normal dravel;
    dravel.setDeviceType(3);
    dravel.setWakeUpMode(1);
    dravel.modeStart(1);
    feed(dravel, ReceivedFrame::large(0xF5, 0, 0, hexBytes("E3")));
    drain(dravel);
    EXPECT_EQ(takeSent().size(), 1);
    m_sendQuestions = true;
    Corvel_Normal corvel;
    corvel.setDeviceType(2);
    corvel.setWakeUpMode(1);
    corvel.modeStart(1);
    feed(corvel, ReceivedFrame::large(0xF5, 0, 0, hexBytes("E3")));
    drain(corvel);
    EXPECT_EQ(takeSent().size(), 1);
    EXPECT_TRUE(corvel.startFlag());
    EXPECT_FALSE(corvel.isQuizStart());
}

TEST_F(FramesOut, ABroadcastKeepsItsQuestionWhenTheNextOneStarts)
{
    Dravel_Normal mode;
    startFirstOfTwo(mode);
    mode.modeStart(2); // the teacher moves on while the first question's frames go out
    drain(mode);
    const QList<QByteArray> out = takeSent();
    ASSERT_EQ(out.size(), 11);
    for (int i = 1; i < out.size(); ++i) {
        EXPECT_EQ(uint8_t(out[i][7]), 1) << i; // question number of every frame
        EXPECT_EQ(uint8_t(out[i][5]), 2) << i; // the first question's two frame texts
    }
}

TEST_F(FramesOut, TheNextQuestionsWakeUpReplacesAPassStillGoingOut)
{
    Dravel_Normal mode;
    startFirstOfTwo(mode);
    mode.modeStart(2);
    feed(mode, ReceivedFrame::large(0xF5, 0, 0, hexBytes("E3")));
    // Another keypad's reply comes while question 2's pass is going out: it gets the state only.
    const auto isQuestion2Frame = [](const QByteArray &f) { return f.mid(4, 4) == hexBytes("01 01 01 02"); };
    ASSERT_TRUE(waitUntil([&] {
        const QList<QByteArray> frames = sent();
        return std::any_of(frames.begin(), frames.end(), isQuestion2Frame);
    }));
    feed(mode, ReceivedFrame::large(0xF5, 0, 0, hexBytes("E3")));
    drain(mode);
    const QList<QByteArray> out = takeSent();
    const QByteArray state2 = frameHex("F5 34 12 05 03 02 02 00 01");
    const qsizetype first = out.indexOf(state2);
    ASSERT_GE(first, 1);
    const QList<QByteArray> after = out.mid(first + 1);
    EXPECT_EQ(after.count(state2), 1);
    QList<QByteArray> next = after;
    next.removeAll(state2);
    // Five passes of the one frame text of question 2, no second pass, and nothing of question 1
    // after question 2's state.
    ASSERT_EQ(next.size(), 5);
    for (const QByteArray &f : next)
        EXPECT_TRUE(isQuestion2Frame(f)) << toHex(f).toStdString();
}
