// The question set's sending thread against keypads that answer each frame as it goes out, on the
// sending thread itself: which frames follow which answer does not depend on the machine's speed.

#include "support/EventWait.h"
#include "support/PollixTest.h"

#include "core/engine/QuestionSetSender.h"
#include "core/engine/ReceivedFrame.h"

#include <QTest>

#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>

namespace {

// Frames to every keypad, as the design lays them out: F8 00 C0 L, then the kind.
enum class Kind { ExamInfo, Text, Poll, EndOfSet, EndOfPass, Other };

Kind kindOf(const QByteArray &f)
{
    if (f.size() < 6 || quint8(f[0]) != 0xF8 || quint8(f[1]) != 0x00 || quint8(f[2]) != 0xC0)
        return Kind::Other;
    switch (quint8(f[4])) {
    case 0x01: return Kind::Text;
    case 0x03: return Kind::Poll;
    case 0x05: return Kind::ExamInfo;
    case 0x06: return Kind::EndOfSet;
    case 0x07: return Kind::EndOfPass;
    default: return Kind::Other;
    }
}

int questionOf(const QByteArray &textFrame)
{
    return quint8(textFrame[7]);
}

int polledKeypad(const QByteArray &pollFrame)
{
    return quint8(pollFrame[5]) | (quint8(pollFrame[6]) << 8);
}

// A keypad's F8 reply to a poll.
ReceivedFrame reply(int keypad, const QByteArray &data)
{
    return ReceivedFrame::large(0xF8, quint8(keypad & 0xFF), quint8(keypad >> 8), data);
}

const QByteArray kHasEverything = QByteArray::fromHex("E05A01");

// What a keypad does with a frame as it goes out: phase counts the polling phases begun so far.
using Keypads = std::function<void(QuestionSetSender &, const QByteArray &frame, int phase)>;

class QuestionSetSenderTest : public PollixTest
{
protected:
    // Sends three one-frame questions, each twice a pass, to the keypads given until the sending
    // ends; every frame sent, in order.
    QList<QByteArray> sendTheSet(const QList<int> &keypads, const Keypads &answer)
    {
        QuestionSetSender::Set set;
        set.deviceType = 3;
        set.testID = 1;
        set.title = QStringLiteral("Quiz");
        set.quizID = 7;
        set.questions = {{QStringLiteral("One")}, {QStringLiteral("Two")}, {QStringLiteral("Three")}};
        set.keypads = keypads;
        QuestionSetSender::Timing t;
        t.examInfoGapMs = t.passPauseMs = t.frameGapMs = t.endGapMs = t.pollPauseMs = 0;
        t.examInfoRepeats = 1;
        t.passes = 2;
        t.endRepeats = 2;
        t.pollSettleMs = 0; // a keypad answers at once or not at all
        t.pollRounds = 2;
        std::mutex mutex;
        QList<QByteArray> frames;
        int phase = 0; // on the sending thread only
        std::atomic<bool> over = false;
        QuestionSetSender *sender = nullptr;
        messages.clear();
        QuestionSetSender s(
            set,
            [&](const QByteArray &frame) {
                if (receiverIn && !receiverIn(frame, phase))
                    return false;
                {
                    std::lock_guard lock(mutex);
                    frames << frame;
                }
                answer(*sender, frame, phase);
                return true;
            },
            [&](const QString &message) {
                {
                    std::lock_guard lock(mutex);
                    messages << message;
                }
                if (message.startsWith(QStringLiteral("Poll students")))
                    ++phase;
                else if (message.startsWith(QStringLiteral("Send Questions Over")))
                    over = true;
            },
            t);
        sender = &s;
        s.wakeReplied();
        EXPECT_TRUE(QTest::qWaitFor([&] { return over.load(); }, kEventWaitMs)) << "the sending never ended";
        s.stop();
        std::lock_guard lock(mutex);
        return frames;
    }

    // Whether a frame reaches the receiver (all do, unless set).
    std::function<bool(const QByteArray &frame, int phase)> receiverIn;
    QStringList messages; // the last sending's
};

int resendPasses(const QList<QByteArray> &frames)
{
    return int(std::count_if(frames.cbegin(), frames.cend(), [](const QByteArray &f) { return kindOf(f) == Kind::EndOfPass; })) / 2;
}

} // namespace

// Once every keypad has replied that it has the whole set, only the end of the set goes out: not
// the rest of the question under way, nor another pass or poll.
TEST_F(QuestionSetSenderTest, OnceEveryKeypadHasTheSetOnlyItsEndGoesOut)
{
    struct Case
    {
        const char *name;
        QList<int> keypads;
        // Answers to polls; true when the last keypad told it has everything on this frame.
        std::function<bool(QuestionSetSender &, const QByteArray &, int phase)> tell;
    };
    const Case cases[] = {
        {"during the first pass", {1},
         [](QuestionSetSender &s, const QByteArray &f, int) {
             if (kindOf(f) != Kind::Text || questionOf(f) != 2)
                 return false;
             s.keypadReplied(reply(1, kHasEverything));
             return true;
         }},
        {"during the pass after the keypads were woken", {1},
         [](QuestionSetSender &s, const QByteArray &f, int phase) {
             // The first polling phase goes unanswered (the receiver was out).
             if (phase != 1 || kindOf(f) != Kind::Text)
                 return false;
             s.keypadReplied(reply(1, kHasEverything));
             return true;
         }},
        {"the last of two keypads, during the pass of what it lacked", {1, 2},
         [](QuestionSetSender &s, const QByteArray &f, int phase) {
             if (phase == 1 && kindOf(f) == Kind::Poll) {
                 const int k = polledKeypad(f);
                 s.keypadReplied(reply(k, k == 1 ? QByteArray::fromHex("E10303") : kHasEverything));
                 return false;
             }
             if (phase != 1 || kindOf(f) != Kind::Text)
                 return false;
             s.keypadReplied(reply(1, kHasEverything));
             return true;
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        qsizetype toldAt = -1;
        qsizetype seen = 0;
        const QList<QByteArray> frames = sendTheSet(c.keypads, [&](QuestionSetSender &s, const QByteArray &f, int phase) {
            ++seen;
            if (toldAt < 0 && c.tell(s, f, phase))
                toldAt = seen;
        });
        ASSERT_GT(toldAt, 0) << "the keypads never told";
        QList<Kind> after;
        for (qsizetype i = toldAt; i < frames.size(); ++i)
            after << kindOf(frames[i]);
        EXPECT_EQ(after, QList<Kind>(2, Kind::EndOfSet));
    }
}

// After the keypads were woken (a polling phase nobody answered puts the whole set back on the
// list), each later pass sends what the polling phase just before it found missing, never what an
// earlier phase did.
TEST_F(QuestionSetSenderTest, EachPassAfterAWakeSendsWhatTheLastPollFoundMissing)
{
    struct Case
    {
        const char *name;
        QByteArray firstKeypadSays; // in the second polling phase
        QList<int> sentAgain;
    };
    const Case cases[] = {
        {"the first two questions only", QByteArray::fromHex("E10303"), {3}},
        {"all but the middle one", QByteArray::fromHex("E25A0005"), {2}},
        {"nothing", QByteArray::fromHex("E05A00"), {1, 2, 3}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QList<QByteArray> frames = sendTheSet({1, 2}, [&](QuestionSetSender &s, const QByteArray &f, int phase) {
            if (kindOf(f) != Kind::Poll || phase < 2)
                return; // the first phase goes unanswered
            const int k = polledKeypad(f);
            s.keypadReplied(reply(k, k == 1 && phase == 2 ? c.firstKeypadSays : kHasEverything));
        });
        // The passes, each begun by its announcement: the questions each sends, once each.
        QList<QList<int>> passes{{}};
        for (const QByteArray &f : frames) {
            if (kindOf(f) == Kind::EndOfPass && !passes.last().isEmpty())
                passes.append(QList<int>());
            else if (kindOf(f) == Kind::Text && !passes.last().contains(questionOf(f)))
                passes.last() << questionOf(f);
        }
        ASSERT_GE(passes.size(), 3);
        EXPECT_EQ(passes[1], QList<int>({1, 2, 3})) << "after the wake, the whole set";
        EXPECT_EQ(passes[2], c.sentAgain);
        EXPECT_EQ(passes.size(), 3) << "once every keypad has the set, no pass more";
    }
}

// A keypad that answers, pass after pass, that it lacks no less than before (one that keeps
// another set it holds under the same exam ID) is sent the set no more after three such passes,
// and named as the sending ends; a keypad that takes some of each pass is served to the end, and
// a pass that did not reach the receiver counts against no keypad.
TEST_F(QuestionSetSenderTest, AKeypadThatTakesNothingOfThreePassesIsGivenUpOnAndNamed)
{
    struct Case
    {
        const char *name;
        // Keypad 1's reply in polling phase p; keypad 2 has everything from the first.
        std::function<QByteArray(int phase)> keypad1;
        int resendPasses;
        QString named; // the message that names the keypads left without the set
        QList<int> outDuringPasses; // passes whose questions did not reach the receiver
    };
    const QString one = QStringLiteral("Keypad 1 did not confirm every question. \n");
    const Case cases[] = {
        {"it has nothing, pass after pass", [](int) { return QByteArray::fromHex("E05A00"); }, 2, one, {}},
        {"it keeps to the first question", [](int) { return QByteArray::fromHex("E10302"); }, 3, one, {}},
        {"its bitmap never changes", [](int) { return QByteArray::fromHex("E25A0005"); }, 3, one, {}},
        {"it takes a question a pass",
         [](int phase) { return QByteArray::fromHex(phase == 1 ? "E10302" : phase == 2 ? "E10303" : "E05A01"); }, 2, {}, {}},
        {"the receiver was out for two of its passes",
         [](int phase) { return QByteArray::fromHex(phase < 4 ? "E05A00" : "E05A01"); }, 3, {}, {1, 2}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        receiverIn = [&](const QByteArray &f, int phase) { return kindOf(f) != Kind::Text || !c.outDuringPasses.contains(phase); };
        const QList<QByteArray> frames = sendTheSet({1, 2}, [&](QuestionSetSender &s, const QByteArray &f, int phase) {
            if (kindOf(f) == Kind::Poll)
                s.keypadReplied(reply(polledKeypad(f), polledKeypad(f) == 1 ? c.keypad1(phase) : kHasEverything));
        });
        EXPECT_EQ(resendPasses(frames), c.resendPasses);
        ASSERT_FALSE(frames.isEmpty());
        EXPECT_EQ(kindOf(frames.last()), Kind::EndOfSet);
        EXPECT_EQ(messages.filter(QStringLiteral("did not confirm")).join(QString()).toStdString(), c.named.toStdString());
    }
    receiverIn = nullptr;
}
