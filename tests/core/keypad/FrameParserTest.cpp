#include "core/keypad/FrameParser.h"
#include "platform/Log.h"

#include <QStringList>

#include <iterator>

#include <gtest/gtest.h>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QStringList s_log;

void captureLog(QtMsgType, const QMessageLogContext &, const QString &message)
{
    s_log << message;
}

QByteArray withCheck(QByteArray bytes)
{
    char x = 0;
    for (char c : bytes)
        x ^= c;
    bytes.append(x);
    return bytes;
}

} // namespace

TEST(FrameParserSmall, DecodesStudentAndTeacherKeys)
{
    FrameParser parser(0);
    const auto frames = parser.feed(hex("201131" "2081A1" "21F2D3" "008585"), 0);
    ASSERT_EQ(frames.size(), 4);
    EXPECT_EQ(frames[0].deviceID(), 1);
    EXPECT_EQ(frames[0].key(), 0x3A);
    EXPECT_TRUE(frames[0].isStudentCommand());
    EXPECT_EQ(frames[1].deviceID(), 1);
    EXPECT_EQ(frames[1].key(), 'A');
    EXPECT_EQ(frames[2].deviceID(), 18);
    EXPECT_EQ(frames[2].key(), 'H');
    EXPECT_TRUE(frames[3].isTeacherCommand());
    EXPECT_EQ(frames[3].teacherCommand(), 0x85);
    EXPECT_EQ(frames[3].deviceID(), 0);
    EXPECT_EQ(frames[3].dataLen(), 0); // small-family frames report no data length
    EXPECT_EQ(frames[3].bytes(), hex("008585"));
}

TEST(FrameParserSmall, VersionAnswerNeedsNoCheckByte)
{
    FrameParser parser(0);
    const auto frames = parser.feed(hex("570105"), 0);
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0].bytes(), hex("570105"));
}

TEST(FrameParserSmall, BadFrameIsDroppedButAnswersBehindItSurvive)
{
    FrameParser parser(0);
    // 20 81 00 fails its check; the two answers queued behind it must not go with it.
    const auto frames = parser.feed(hex("208100" "2081A1" "21F2D3"), 0);
    ASSERT_EQ(frames.size(), 2);
    EXPECT_EQ(frames[0].bytes(), hex("2081A1"));
    EXPECT_EQ(frames[1].bytes(), hex("21F2D3"));
}

TEST(FrameParserSmall, SplitFrameJoinsAndStaleHalfIsDropped)
{
    FrameParser parser(0, 100);
    EXPECT_TRUE(parser.feed(hex("2081"), 0).isEmpty());
    auto frames = parser.feed(hex("A1"), 50);
    ASSERT_EQ(frames.size(), 1);
    // A half frame followed by 100 ms of silence is forgotten; the next frame parses cleanly.
    EXPECT_TRUE(parser.feed(hex("21"), 200).isEmpty());
    EXPECT_FALSE(parser.expire(299));
    EXPECT_TRUE(parser.expire(300));
    EXPECT_FALSE(parser.hasPartialFrame());
    // Bytes handed over late (the reader was busy) still complete the frame under way: only the
    // reader, by calling expire(), decides that the line was silent.
    EXPECT_TRUE(parser.feed(hex("2081"), 400).isEmpty());
    frames = parser.feed(hex("A1"), 900);
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0].bytes(), hex("2081A1"));
}

TEST(FrameParserLarge, ShortFrameWhole)
{
    FrameParser parser(1);
    const auto frames = parser.feed(hex("F3000005F6"), 0);
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0].cmd(), 0xF3);
    EXPECT_TRUE(frames[0].isShortFrame());
    EXPECT_EQ(frames[0].dataLen(), 1);
    EXPECT_EQ(frames[0].data()[0], 0x05);
    EXPECT_EQ(frames[0].crc(), 0xF6);
}

TEST(FrameParserLarge, LongFrameInTwoPieces)
{
    FrameParser parser(1);
    const QByteArray frame = withCheck(hex("F70100024142"));
    EXPECT_TRUE(parser.feed(frame.left(4), 0).isEmpty());
    EXPECT_TRUE(parser.hasPartialFrame());
    const auto frames = parser.feed(frame.mid(4), 10);
    ASSERT_EQ(frames.size(), 1);
    EXPECT_TRUE(frames[0].isLongFrame());
    EXPECT_EQ(frames[0].deviceID(), 1);
    EXPECT_EQ(frames[0].dataLen(), 2);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(frames[0].data()), 2), QByteArray("AB"));
    EXPECT_EQ(frames[0].bytes(), frame);
}

TEST(FrameParserLarge, LengthAbove64AndErrorMarkAreSkipped)
{
    FrameParser parser(1);
    // 41 = 65 data bytes: the head is dropped; FF is an error mark of one byte.
    const QByteArray good = withCheck(hex("F7050001" "41"));
    const auto frames = parser.feed(hex("F7010041") + hex("FF") + good, 0);
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0].bytes(), good);
    EXPECT_EQ(frames[0].deviceID(), 5);
}

TEST(FrameParserLarge, LengthOf64IsTheLongestFrame)
{
    FrameParser parser(1);
    const QByteArray frame = withCheck(hex("F7050040") + QByteArray(64, 'x'));
    const auto frames = parser.feed(frame, 0);
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0].dataLen(), 64);
    EXPECT_EQ(frames[0].bytes(), frame);
}

TEST(FrameParserLarge, TailThatNeverComesDoesNotHoldTheParser)
{
    FrameParser parser(1, 100);
    // Announces 20 data bytes, sends 3, then the line goes quiet.
    EXPECT_TRUE(parser.feed(hex("F7050014414243"), 0).isEmpty());
    EXPECT_FALSE(parser.expire(99));
    EXPECT_TRUE(parser.expire(100));
    EXPECT_EQ(parser.droppedPartialFrames(), 1);
    const QByteArray next = withCheck(hex("F706000141"));
    const auto frames = parser.feed(next, 150);
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0].deviceID(), 6);
}

TEST(FrameParserLarge, TeacherAndStudentAddresses)
{
    FrameParser parser(1);
    const auto frames = parser.feed(withCheck(hex("F401EF81")) + withCheck(hex("F70500014A")), 0);
    ASSERT_EQ(frames.size(), 2);
    EXPECT_TRUE(frames[0].isTeacherCommand());
    EXPECT_EQ(frames[0].teacherCommand(), 0x81);
    EXPECT_TRUE(frames[1].isStudentCommand());
    EXPECT_EQ(frames[1].deviceID(), 5);
    EXPECT_EQ(frames[1].teacherCommand(), 0);
}

TEST(FrameParserLarge, BurstDrainsInOneRead)
{
    FrameParser parser(1);
    QByteArray burst;
    for (int d = 1; d <= 999; ++d)
        burst += withCheck(QByteArray::fromHex("F7") + char(d & 0xFF) + char(d >> 8) + QByteArray::fromHex("03AAAA41"));
    const auto frames = parser.feed(burst, 0);
    ASSERT_EQ(frames.size(), 999);
    for (int i = 0; i < 999; ++i)
        ASSERT_EQ(frames[i].deviceID(), i + 1);
    EXPECT_FALSE(parser.hasPartialFrame());
}

TEST(FrameParserLarge, ReceivedFramesAreTracedOnlyAsFrameDebugLines)
{
    // Every frame of a run would otherwise fill the terminal: the trace is pollix.frames at debug
    // level, which the logging rules turn on.
    const QByteArray bytes = hex("F3000005F6") + withCheck(hex("F70100024142")) + hex("201131");
    s_log.clear();
    const_cast<QLoggingCategory &>(lcPollix()).setEnabled(QtInfoMsg, true);
    const auto previous = qInstallMessageHandler(captureLog);
    FrameParser(1).feed(bytes.left(12), 0);
    FrameParser(0).feed(bytes.mid(12), 0);
    EXPECT_TRUE(s_log.isEmpty()) << qPrintable(s_log.join('\n'));
    QLoggingCategory::setFilterRules(QStringLiteral("pollix.frames.debug=true"));
    FrameParser(1).feed(bytes.left(12), 0);
    FrameParser(0).feed(bytes.mid(12), 0);
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);
    const_cast<QLoggingCategory &>(lcPollix()).setEnabled(QtInfoMsg, false);
    ASSERT_EQ(s_log.size(), 3);
    EXPECT_TRUE(s_log[0].startsWith(QStringLiteral("Receive:f3  00 00  05  f6")));
    EXPECT_TRUE(s_log[1].startsWith(QStringLiteral("Receive:f7  01 00  02  41 42")));
    EXPECT_TRUE(s_log[2].startsWith(QStringLiteral("receive data : 20\t11\t31")));
}

TEST(DataOfFrame, SetDataRefusesMoreThan64Bytes)
{
    DataOfFrame f = DataOfFrame::DataOfFrameCorvel();
    const QByteArray big(65, 'x');
    s_log.clear();
    const_cast<QLoggingCategory &>(lcPollix()).setEnabled(QtInfoMsg, true);
    const auto previous = qInstallMessageHandler(captureLog);
    EXPECT_FALSE(f.setData(reinterpret_cast<const uint8_t *>(big.constData()), 65));
    EXPECT_FALSE(f.setData(nullptr, 2));
    f.setAddr(nullptr);
    qInstallMessageHandler(previous);
    const_cast<QLoggingCategory &>(lcPollix()).setEnabled(QtInfoMsg, false);
    EXPECT_EQ(s_log, (QStringList{"nLen >= 0 && nLen <= 64", "newData", "newAddr"}));
    EXPECT_TRUE(f.setData(reinterpret_cast<const uint8_t *>(big.constData()), 64));
    EXPECT_EQ(f.dataLen(), 64);
    EXPECT_EQ(f.dataAt(64), 0);
    EXPECT_TRUE(DataOfFrame().isNull());
    EXPECT_FALSE(DataOfFrame().isTeacherCommand());
}

// Every three-byte frame the receiver sends gets through: keypad ids up to 415, the keypad-id
// confirmations (id 400 is confirmed as 59 00 59), channel, band and teacher-id answers.
TEST(FrameParserSmall, EveryReceiverAnswerAndKeypadFrameGetsThrough)
{
    FrameParser parser(0);
    const QByteArray frames[] = {hex("398FB6"), hex("590059"), hex("420547"), hex("592E77"), hex("7A87FD"),
                                 hex("59A2FB"), hex("400040"), hex("008989"), hex("7B80FB")};
    QByteArray all;
    for (const QByteArray &f : frames)
        all += f;
    const auto got = parser.feed(all, 0);
    ASSERT_EQ(got.size(), int(std::size(frames)));
    for (int i = 0; i < got.size(); ++i)
        EXPECT_EQ(got[i].bytes(), frames[i]) << i;
    EXPECT_EQ(parser.discardedBytes(), 0);
}

TEST(FrameParserSmall, AfterALostByteTheNextFrameIsFoundNotAFalseOne)
{
    FrameParser parser(0);
    // The head of 20 81 A1 was lost: 81 A1 20 passes the check byte but is the tail of one frame
    // and the head of the next; taking it would put every later frame out of step.
    const auto got = parser.feed(hex("81A1" "2082A2" "2083A3"), 0);
    ASSERT_EQ(got.size(), 2);
    EXPECT_EQ(got[0].bytes(), hex("2082A2"));
    EXPECT_EQ(got[1].bytes(), hex("2083A3"));
}
