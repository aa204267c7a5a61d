#include "core/keypad/FrameParser.h"

#include <QStringList>

#include <gtest/gtest.h>

// Frames damaged on the line during a run: one damaged frame may be lost or misread, but the
// frames that arrived whole around it are all taken.
namespace {

QByteArray frame(const char *hexWithoutCheck)
{
    QByteArray bytes = QByteArray::fromHex(hexWithoutCheck);
    char x = 0;
    for (char c : bytes)
        x ^= c;
    return bytes + x;
}

// A student's answer (F7, keypad d, "A") and the teacher's keys, whole.
QByteArray answer(int d)
{
    return frame(QByteArray("F7").append(QByteArray::number(d, 16).rightJustified(2, '0')).append("0003112241").constData());
}
const QByteArray kStopKey = frame("F401EF8B");

QStringList described(const QList<DataOfFrame> &frames)
{
    QStringList out;
    for (const DataOfFrame &f : frames)
        out << QString::fromLatin1(f.bytes().toHex().toUpper());
    return out;
}

QStringList expected(const QList<QByteArray> &frames)
{
    QStringList out;
    for (const QByteArray &f : frames)
        out << QString::fromLatin1(f.toHex().toUpper());
    return out;
}

} // namespace

TEST(DamagedFrames, ALengthByteTooLargeSwallowsNothingThatArrivedWhole)
{
    // The first answer's length 03 became 13: it reaches over the next two answers.
    QByteArray damaged = answer(1);
    damaged[3] = char(0x13);
    const QByteArray line = damaged + answer(2) + answer(3) + answer(4) + kStopKey;
    FrameParser parser(1, 100);
    EXPECT_EQ(described(parser.feed(line, 0)), expected({answer(2), answer(3), answer(4), kStopKey}));
    EXPECT_FALSE(parser.hasPartialFrame());
    EXPECT_EQ(parser.discardedBytes(), 8);

    // The same, arriving a few bytes at a time.
    FrameParser slow(1, 100);
    QList<DataOfFrame> got;
    for (int i = 0; i < line.size(); i += 3)
        got += slow.feed(line.mid(i, 3), i);
    EXPECT_EQ(described(got), expected({answer(2), answer(3), answer(4), kStopKey}));
}

TEST(DamagedFrames, AHeadThatNeverCompletesGivesBackTheFramesBehindItAfterSilence)
{
    // A length of 40 that the line never fills: after the silence the whole frames behind it come.
    QByteArray damaged = answer(1);
    damaged[3] = char(40);
    FrameParser parser(1, 100);
    EXPECT_TRUE(parser.feed(damaged + answer(2) + kStopKey, 0).isEmpty());
    EXPECT_FALSE(parser.expire(50));
    EXPECT_TRUE(parser.expire(100));
    EXPECT_EQ(described(parser.takeRecovered()), expected({answer(2), kStopKey}));
    EXPECT_TRUE(parser.takeRecovered().isEmpty());
    EXPECT_FALSE(parser.hasPartialFrame());
    // And nothing behind it: the head alone is dropped, as before.
    EXPECT_TRUE(parser.feed(damaged.left(6), 200).isEmpty());
    EXPECT_TRUE(parser.expire(300));
    EXPECT_TRUE(parser.takeRecovered().isEmpty());
}

TEST(DamagedFrames, ADamagedCommandByteLosesOnlyItsOwnFrame)
{
    // F7 became F3: the answer's first five bytes read as a short frame, its tail is garbage.
    QByteArray damaged = answer(1);
    damaged[0] = char(0xF3);
    FrameParser parser(1, 100);
    const QList<DataOfFrame> got = parser.feed(damaged + answer(2) + answer(3) + kStopKey + answer(4), 0);
    const QStringList text = described(got);
    ASSERT_GE(text.size(), 4);
    EXPECT_EQ(text.mid(text.size() - 4), expected({answer(2), answer(3), kStopKey, answer(4)}));
}

TEST(DamagedFrames, CheckBytesAreNotVerified)
{
    // A wrong check byte alone loses nothing: the frame is handed on as it came.
    QByteArray key = kStopKey;
    key[4] = char(key[4] ^ 0x10);
    QByteArray badData = answer(5);
    badData[6] = char(0x42);
    FrameParser parser(1, 100);
    EXPECT_EQ(described(parser.feed(key + badData + answer(6), 0)), expected({key, badData, answer(6)}));
    // A whole frame whose data happen to hold a frame stays one frame.
    const QByteArray holder = frame((QByteArray("F7050006") + kStopKey.toHex() + "41").constData());
    EXPECT_EQ(described(parser.feed(holder + answer(7), 10)), expected({holder, answer(7)}));
}
