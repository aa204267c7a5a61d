#include "EngineFixture.h"

#include "core/engine/Brevel_PaperQuiz.h"
#include "core/engine/Corvel_HomeWork.h"
#include "core/engine/Dravel_PaperQuiz.h"
#include "core/engine/QuizModeFactory.h"
#include "core/engine/TransferFrames.h"

// The answer upload of homework and paper quiz (Corvel, Dravel) with the frames captured: the
// queue, the receipts with their bitmap, the resend of what is missing, the time-outs moving on to
// the next keypad; Brevel's per-keypad navigation; and the asked list of the whole-set activities.
namespace {

class AnswerUpload : public EngineFixture
{
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        makeClass(4, true);
        QuizParticipantData::shareManager()->loginWholeClass(true);
    }

    void setQuestions(int n)
    {
        for (int q = 1; q <= n; ++q)
            QuizQuestions::shareManager()->addQuestion(question(q % 2 ? 0 : 1, 4, QStringLiteral("A")));
    }

    // The time-outs of a test: short, and the signal tries as the keypad expects them.
    static AnswerUploadMode::Timing fast()
    {
        AnswerUploadMode::Timing t;
        t.signalWaitMs = 40;
        t.frameWaitMs = 60;
        t.pauseMs = 20;
        return t;
    }

    static ReceivedFrame request(int d)
    {
        return ReceivedFrame::large(0xFB, uint8_t(d), 0x00, QByteArray(1, char(0x0E)));
    }
    // FA with two unread bytes, then the answers chained "q text EE".
    static ReceivedFrame answers(int d, const QList<QPair<int, QByteArray>> &entries)
    {
        QByteArray data(2, char(0x55));
        for (const auto &[q, text] : entries)
            data += char(q) + text + char(0xEE);
        return ReceivedFrame::large(0xFA, uint8_t(d), 0x00, data);
    }

    QList<QByteArray> sentOfKind(uint8_t kind)
    {
        QList<QByteArray> out;
        for (const QByteArray &f : sent())
            if (uint8_t(f[0]) == 0xFB && f.size() > 4 && uint8_t(f[4]) == kind)
                out << f;
        return out;
    }
};

TEST_F(AnswerUpload, TenAnswersInOneFrameCompleteTheKeypadWithOneReceipt)
{
    setQuestions(10);
    Corvel_HomeWork mode;
    mode.setUploadTiming(fast());
    mode.modeStart(1);
    EXPECT_EQ(QuizData::shareManager()->arrayAlreadyTestQuestionNo(), QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));

    feed(mode, request(2));
    ASSERT_TRUE(waitUntil([&] { return !sentOfKind(0xE0).isEmpty(); }));
    EXPECT_EQ(toHex(sentOfKind(0xE0).first()), toHex(frameHex("FB 02 00 01 E0")));

    QList<QPair<int, QByteArray>> all;
    for (int q = 1; q <= 10; ++q)
        all.append({q, QByteArray(1, char('a' + q - 1))});
    all[1].second = "ca"; // a multiple-answer question: upper-cased and sorted
    feed(mode, answers(2, all));

    const QList<QByteArray> receipts = sentOfKind(0xE4);
    ASSERT_EQ(receipts.size(), 1);
    EXPECT_EQ(toHex(receipts[0]), toHex(frameHex("FB 02 00 0F E4 01 FF 03 00 00 00 00 00 00 00 00 00 00 00")));
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(1, 2), QStringLiteral("A"));
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(2, 2), QStringLiteral("AC"));
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(10, 2), QStringLiteral("J"));
    EXPECT_EQ(mode.nAnsweredNum(), 1);
    EXPECT_EQ(notes(QStringLiteral("STUDENTANSWERMESSAGE")).size(), 1);
    ASSERT_TRUE(waitUntil([&] { return !mode.isUploadThreadRunning(); }));
    EXPECT_EQ(mode.threadState(), AnswerUploadMode::Idle);
    EXPECT_EQ(mode.studentSendingAnswer(), 0);
}

TEST_F(AnswerUpload, AReceiptWithGapsGetsJustTheMissingAnswersAgain)
{
    setQuestions(10);
    Dravel_PaperQuiz mode;
    mode.setUploadTiming(fast());
    mode.modeStart(1);
    mode.setQuizStateScreenTimer(42);
    feed(mode, request(3));
    feed(mode, request(3)); // asked twice: queued once
    EXPECT_EQ(mode.studentsWaitForSendAnswer(), QList<int>({3}));

    QList<QPair<int, QByteArray>> without5;
    for (int q = 1; q <= 10; ++q)
        if (q != 5)
            without5.append({q, "B"});
    feed(mode, answers(3, without5));
    QList<QByteArray> receipts = sentOfKind(0xE4);
    ASSERT_EQ(receipts.size(), 1);
    EXPECT_EQ(toHex(receipts[0]), toHex(frameHex("FB 03 00 0F E4 00 EF 03 00 00 00 00 00 00 00 00 00 00 00")));
    EXPECT_EQ(mode.studentSendingAnswer(), 3);

    // An answer from another keypad meanwhile is not this upload's.
    feed(mode, answers(4, {{5, "C"}}));
    EXPECT_TRUE(QuizData::shareManager()->getStudentAnswer(5, 4).isEmpty());

    feed(mode, answers(3, {{5, "D"}}));
    receipts = sentOfKind(0xE4);
    ASSERT_EQ(receipts.size(), 2);
    EXPECT_EQ(uint8_t(receipts[1][5]), 0x01);
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(5, 3), QStringLiteral("D"));
    // The paper quiz keeps the keypad's time under question 1.
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswerTime(1, 3), 42);
}

TEST_F(AnswerUpload, BadQuestionNumbersEndTheFrameAndKeepWhatCameBefore)
{
    setQuestions(3);
    Corvel_HomeWork mode;
    mode.setUploadTiming(fast());
    mode.modeStart(1);
    feed(mode, request(1));
    feed(mode, answers(1, {{1, "A"}, {0, "B"}, {2, "C"}}));
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(1, 1), QStringLiteral("A"));
    EXPECT_TRUE(QuizData::shareManager()->getStudentAnswer(2, 1).isEmpty());
    feed(mode, answers(1, {{200, "A"}}));
    feed(mode, ReceivedFrame::large(0xFA, 1, 0, QByteArray(1, char(0x01)))); // too short for a number
    EXPECT_EQ(mode.answerOfQuestions(), QStringList({QStringLiteral("A"), QString(), QString()}));
}

TEST_F(AnswerUpload, ASilentKeypadGetsOneReceiptAndIsGivenUpForTheNext)
{
    setQuestions(4);
    Corvel_HomeWork mode;
    mode.setUploadTiming(fast());
    mode.modeStart(1);
    feed(mode, request(1));
    feed(mode, request(2));
    // Keypad 1 never answers: three signals, a receipt, three more signals, then keypad 2.
    ASSERT_TRUE(waitUntil([&] { return mode.studentSendingAnswer() == 2; }));
    int signalsTo1 = 0;
    for (const QByteArray &f : sentOfKind(0xE0))
        signalsTo1 += uint8_t(f[1]) == 1 ? 1 : 0;
    EXPECT_EQ(signalsTo1, 6);
    ASSERT_EQ(sentOfKind(0xE4).size(), 1);
    EXPECT_EQ(uint8_t(sentOfKind(0xE4)[0][5]), 0x00);

    ASSERT_TRUE(waitUntil([&] { return !sentOfKind(0xE0).isEmpty() && uint8_t(sentOfKind(0xE0).last()[1]) == 2; }));
    feed(mode, answers(2, {{1, "A"}, {2, "B"}}));
    // Questions 3 and 4 never come: after the receipt and a second time-out keypad 2 is done too.
    ASSERT_TRUE(waitUntil([&] { return mode.threadState() == AnswerUploadMode::Idle && !mode.isUploadThreadRunning(); }));
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(2, 2), QStringLiteral("B"));
    EXPECT_TRUE(mode.studentsWaitForSendAnswer().isEmpty());
}

TEST_F(AnswerUpload, StoppingTheActivityEndsTheUploadAndRefusesLaterOnes)
{
    setQuestions(4);
    Dravel_PaperQuiz mode;
    AnswerUploadMode::Timing slow = fast();
    slow.signalWaitMs = 10000; // a wait the stop must cut short
    mode.setUploadTiming(slow);
    mode.modeStart(1);
    feed(mode, request(1));
    ASSERT_TRUE(waitUntil([&] { return !sentOfKind(0xE0).isEmpty(); }));
    QElapsedTimer t;
    t.start();
    mode.modeStop();
    EXPECT_LT(t.elapsed(), slow.signalWaitMs); // cut short, however busy the machine
    EXPECT_FALSE(mode.isUploadThreadRunning());
    feed(mode, request(2));
    EXPECT_TRUE(mode.studentsWaitForSendAnswer().isEmpty());
}

TEST_F(AnswerUpload, SeventyQuestionsEndWithTwoReceipts)
{
    setQuestions(70);
    Corvel_HomeWork mode;
    mode.setUploadTiming(fast());
    mode.modeStart(1);
    feed(mode, request(1));
    QList<QPair<int, QByteArray>> chunk;
    for (int q = 1; q <= 70; ++q) {
        chunk.append({q, "A"});
        if (chunk.size() == 20 || q == 70) {
            feed(mode, answers(1, chunk));
            chunk.clear();
        }
    }
    const QList<QByteArray> receipts = sentOfKind(0xE4);
    ASSERT_EQ(receipts.size(), 2);
    EXPECT_EQ(receipts[0], receipts[1]);
    EXPECT_EQ(uint8_t(receipts[0][5]), 0x01);
    EXPECT_EQ(AnswerUploadMode::questionNoNotReceived(receipts[0].mid(6, 13), 70), 0);
}

TEST(AnswerUploadBitmap, QuestionsAbove99AreNeitherMarkedNorAwaited)
{
    QByteArray bitmap;
    for (int q = 1; q <= 120; ++q)
        AnswerUploadMode::setReceived(bitmap, q);
    EXPECT_EQ(bitmap.size(), 13);
    EXPECT_EQ(uint8_t(bitmap[12]), 0x07); // 97, 98, 99
    EXPECT_EQ(AnswerUploadMode::questionNoNotReceived(bitmap, 120), 0);
    bitmap[0] = char(0xEF);
    EXPECT_EQ(AnswerUploadMode::questionNoNotReceived(bitmap, 120), 5);
}

// ---------------------------------------------------------------- Brevel paper quiz

class BrevelPaperQuiz : public AnswerUpload
{
protected:
    static ReceivedFrame key(int d, uint8_t k)
    {
        return ReceivedFrame::large(0xF8, uint8_t(d), 0x00, QByteArray(1, char(0xF5)) + char(0) + char(k));
    }
    static ReceivedFrame answerFrame(int d, const QByteArray &text)
    {
        return ReceivedFrame::large(0xF7, uint8_t(d), 0x00, QByteArray(6, char(0x11)) + text);
    }
    int lastPosition()
    {
        const QList<QByteArray> all = sent();
        return all.isEmpty() ? -1 : uint8_t(all.last()[8]);
    }
};

TEST_F(BrevelPaperQuiz, NavigationWrapsBothWaysAndEveryKeyIsAnsweredWithThePosition)
{
    QuizQuestions::shareManager()->addQuestion(question(0, 4, QStringLiteral("A")));
    QuizQuestions::shareManager()->addQuestion(question(4, 0, QString())); // a teaching plan
    for (int q = 0; q < 4; ++q)
        QuizQuestions::shareManager()->addQuestion(question(q == 2 ? 1 : 0, 4, QStringLiteral("A")));
    QuizParticipantData::shareManager()->removeActivityRecord();
    Brevel_PaperQuiz mode;
    mode.modeStart(1);
    EXPECT_EQ(QuizData::shareManager()->arrayAlreadyTestQuestionNo(), QList<int>({1, 2, 3, 4, 5}));

    feed(mode, key(2, 0)); // previous from 1
    EXPECT_EQ(lastPosition(), 5);
    ASSERT_EQ(sent().last().size(), 10);
    EXPECT_EQ(toHex(sent().last().left(6)), toHex(hexBytes("FC 02 00 05 F5 00")));
    feed(mode, key(2, 1)); // next from 5
    EXPECT_EQ(lastPosition(), 1);
    feed(mode, key(2, 7)); // no move: the position all the same, nothing posted
    EXPECT_EQ(lastPosition(), 1);
    EXPECT_EQ(notes(QStringLiteral("STUDENTNEXTPREMESSAGE")).size(), 2);

    for (int i = 0; i < 3; ++i)
        feed(mode, key(2, 1)); // on to question 4, a multiple-answer question
    feed(mode, answerFrame(2, "ca"));
    feed(mode, answerFrame(2, "db"));
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(4, 2), QStringLiteral("bd"));
    EXPECT_EQ(mode.nAnsweredNum(), 1);
    feed(mode, key(2, 0));
    const Notification n = notes(QStringLiteral("STUDENTNEXTPREMESSAGE")).last();
    EXPECT_EQ(n.userInfo.value(QStringLiteral("QUESTIONNO")).toInt(), 3);
    EXPECT_EQ(n.userInfo.value(QStringLiteral("ANSWERSTATE")).toInt(), 0);
    // A keypad that is no student of the class has no question to move through.
    const int before = int(sent().size());
    feed(mode, key(40, 1));
    EXPECT_EQ(sent().size(), before);
}

TEST_F(BrevelPaperQuiz, WholeSetActivitiesAskEveryQuestionAtOnce)
{
    for (int q = 0; q < 3; ++q)
        QuizQuestions::shareManager()->addQuestion(question(0, 4, QStringLiteral("A")));
    for (const auto &[activity, type] : QList<QPair<int, int>>{{1, 2}, {2, 2}, {1, 3}, {2, 3}, {1, 4}}) {
        QuizData::shareManager()->setArrayAlreadyTestQuestionNo({3});
        auto mode = QuizModeFactory::create(activity, type);
        ASSERT_TRUE(mode) << activity << " " << type;
        mode->modeStart(2);
        EXPECT_EQ(QuizData::shareManager()->arrayAlreadyTestQuestionNo(), QList<int>({1, 2, 3})) << activity << " " << type;
        EXPECT_EQ(QuizData::shareManager()->recordCount(), 3);
    }
}

} // namespace
