#include "core/app/MainWindowFrames.h"

#include <gtest/gtest.h>

namespace {
QByteArray hex(const char *h) { return QByteArray::fromHex(h); }
}

TEST(MainWindowFramesTest, FixedFrames)
{
    EXPECT_EQ(MainWindowFrames::studentLogoutClass(), hex("F6000003" "01FFFF" "F4"));
    // F3 ^ 00 ^ EF ^ 0A = 16; F3 ^ EF ^ 0B = 17.
    EXPECT_EQ(MainWindowFrames::wrongState(10), hex("F300EF0A16"));
    EXPECT_EQ(MainWindowFrames::wrongState(11), hex("F300EF0B17"));
}

TEST(MainWindowFramesTest, NamesOfFourteenGoWholeLongerAreCut)
{
    EXPECT_EQ(MainWindowFrames::nameBytes("ABCDEFGHIJKLMN"), QByteArray("ABCDEFGHIJKLMN"));
    EXPECT_EQ(MainWindowFrames::nameBytes("ABCDEFGHIJKLMNO"), QByteArray("ABCDEFGHIJKL.."));
    EXPECT_EQ(MainWindowFrames::nameBytes(QString::fromUtf8("\xC3\xA9")), hex("E9")); // low byte only
}

TEST(MainWindowFramesTest, QuizInformationIsOneByteLongerOnCorvel)
{
    const QByteArray dravel = MainWindowFrames::quizMsgToTeacher("7A", "Lee", 9, 300, 0x42, false);
    const QByteArray corvel = MainWindowFrames::quizMsgToTeacher("7A", "Lee", 9, 300, 0x42, true);
    // F9 00 EF L '7' 'A' EE 'L' 'e' 'e' EE 09 2C 01 00 00 42 X
    QByteArray expected = hex("F900EF0D") + "7A" + hex("EE") + "Lee" + hex("EE092C0100" "0042");
    char x = 0;
    for (char c : expected)
        x ^= c;
    EXPECT_EQ(dravel, expected + char(x));
    EXPECT_EQ(corvel.size(), dravel.size() + 1);
    EXPECT_EQ(quint8(corvel.at(3)), quint8(dravel.at(3)) + 1);
    EXPECT_EQ(quint8(corvel.at(corvel.size() - 2)), 0xF7);
}

TEST(MainWindowFramesTest, ClassInformationGoesToTheAskingAddress)
{
    const QByteArray teacher = MainWindowFrames::classMsgToDevice(0xEF00, "C", "T", 2);
    EXPECT_EQ(teacher.left(4), hex("F900EF06"));
    const QByteArray student = MainWindowFrames::classMsgToDevice(0x0105, "C", "T", 2);
    EXPECT_EQ(student.left(3), hex("F90501"));
    char x = 0;
    for (int i = 0; i < student.size() - 1; ++i)
        x ^= student.at(i);
    EXPECT_EQ(student.back(), x);
}

TEST(MainWindowFramesTest, CheckByteRefusesBadLengthAndModesMap)
{
    const unsigned char bytes[3] = {1, 2, 4};
    bool ok = true;
    EXPECT_EQ(MainWindowFrames::getCRC(bytes, 3, &ok), 7);
    EXPECT_TRUE(ok);
    MainWindowFrames::getCRC(bytes, 65, &ok);
    EXPECT_FALSE(ok);
    MainWindowFrames::getCRC(nullptr, 1, &ok);
    EXPECT_FALSE(ok);
    const int expected[] = {0, 1, 2, 3, 4, 12, 7, 8, 9};
    for (int a = 0; a <= 8; ++a)
        EXPECT_EQ(MainWindowFrames::actModeTransToDeviceMode(a), expected[a]) << a;
}
