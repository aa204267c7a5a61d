#include "core/engine/QuestionBroadcast.h"
#include "core/engine/QuestionText.h"
#include "support/EventWait.h"

#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

// The broadcast on its own thread, with short pauses; frames are recorded as they go out.
namespace {
class Recorder
{
public:
    QuestionBroadcast::Sender sender()
    {
        return [this](const QByteArray &f) {
            std::lock_guard lock(m_mutex);
            m_frames << f;
            return true;
        };
    }
    QList<QByteArray> frames() const
    {
        std::lock_guard lock(m_mutex);
        return m_frames;
    }
    bool waitForFrames(int n) const
    {
        QElapsedTimer t;
        t.start();
        while (frames().size() < n) {
            if (t.elapsed() > kEventWaitMs)
                return false;
            QThread::msleep(1);
        }
        return true;
    }

private:
    mutable std::mutex m_mutex;
    QList<QByteArray> m_frames;
};

bool waitUntilIdle(const QuestionBroadcast &b)
{
    QElapsedTimer t;
    t.start();
    while (b.isRunning()) {
        if (t.elapsed() > kEventWaitMs)
            return false;
        QThread::msleep(1);
    }
    return true;
}

QuestionBroadcast::Pass pass(int question, const QList<QByteArray> &frames, std::atomic<int> *ends)
{
    QuestionBroadcast::Pass p;
    p.questionNo = question;
    p.frames = frames;
    p.atEnd = [ends] { ++*ends; };
    return p;
}

const QuestionBroadcast::Timing kQuick{1, 1, 1};
} // namespace

TEST(QuestionBroadcast, APassSendsItsRoundsInOrderThenEnds)
{
    Recorder out;
    std::atomic<int> ends{0};
    QuestionBroadcast b(out.sender(), kQuick);
    auto p = pass(4, {"f1", "f2"}, &ends);
    p.extraRounds = 3; // a vote's question: more rounds after a pause
    ASSERT_TRUE(b.start(p));
    EXPECT_EQ(b.questionNo(), 4);
    ASSERT_TRUE(waitUntilIdle(b));
    QList<QByteArray> expected;
    for (int round = 0; round < 8; ++round)
        expected << "f1" << "f2";
    EXPECT_EQ(out.frames(), expected);
    EXPECT_EQ(ends, 1);

    // A pass with nothing to send still settles and closes, and has no extra rounds.
    ASSERT_TRUE(b.start(pass(5, {}, &ends)));
    ASSERT_TRUE(waitUntilIdle(b));
    EXPECT_EQ(out.frames().size(), 16);
    EXPECT_EQ(ends, 2);
    EXPECT_EQ(b.questionNo(), 5);
}

TEST(QuestionBroadcast, OnePassAtATimeAndStopEndsItWithoutItsClosingStep)
{
    Recorder out;
    std::atomic<int> ends{0};
    QuestionBroadcast b(out.sender(), {60000, 1, 1}); // a pause longer than any test
    ASSERT_TRUE(b.start(pass(1, {"a", "b"}, &ends)));
    EXPECT_TRUE(b.isRunning());
    EXPECT_FALSE(b.start(pass(2, {"c"}, &ends)));
    EXPECT_EQ(b.questionNo(), 1);
    ASSERT_TRUE(out.waitForFrames(1));
    b.stop(); // returns without waiting out the pause
    EXPECT_FALSE(b.isRunning());
    EXPECT_EQ(out.frames(), QList<QByteArray>{"a"});
    EXPECT_EQ(ends, 0);
    // The next pass starts afresh.
    ASSERT_TRUE(b.start(pass(2, {"c"}, &ends)));
    EXPECT_EQ(b.questionNo(), 2);
}

TEST(QuestionBroadcast, ItsEndStopsAPassStillGoingOut)
{
    Recorder out;
    std::atomic<int> ends{0};
    {
        QuestionBroadcast b(out.sender(), {60000, 1, 1});
        ASSERT_TRUE(b.start(pass(1, {"a", "b"}, &ends)));
        ASSERT_TRUE(out.waitForFrames(1));
    }
    EXPECT_EQ(out.frames().size(), 1);
    EXPECT_EQ(ends, 0);
}

TEST(QuestionText, FrameTextsPairLinesAndFormOptions)
{
    const QChar end(0x7F);
    // Options: letter and full stop, line feeds as blanks, carriage returns trimmed at both ends.
    EXPECT_EQ(QuestionText::frameTexts("What is 2+2?", 0, {"\r\rFour\r", "Fi\nve"}),
              (QStringList{QStringLiteral("What is 2+2?") + end + "A.Four", QStringLiteral("B.Fi ve") + end}));
    // Cloze and short answer carry the title only; the title's line feeds become blanks.
    EXPECT_EQ(QuestionText::frameTexts("Name\nit", 3, {"ignored"}), QStringList{QStringLiteral("Name it") + end});
    // A long text keeps every line; the twelfth text (lines 23 and 24) is cut to 38 characters.
    const QStringList texts = QuestionText::frameTexts(QString(21 * 26, 'x'), 2, {});
    ASSERT_EQ(texts.size(), 14);
    EXPECT_EQ(texts[11].size(), 38);
    EXPECT_EQ(texts[12].size(), 43);
    EXPECT_EQ(QuestionText::titleFromPath("Unit 3"), "Unit 3");
    EXPECT_EQ(QuestionText::titleFromPath("/a.b/Unit 3.v2.px"), "Unit 3");
}
