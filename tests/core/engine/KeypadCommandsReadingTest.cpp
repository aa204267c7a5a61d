#include "core/engine/KeypadCommands.h"

#include <gtest/gtest.h>

// The fields of keypad commands read from their data bytes alone.

TEST(KeypadCommandReading, LoginFields)
{
    // Dravel (FE): the ID from data[0]; the name after the zero, without the last data byte.
    auto login = KeypadCommands::login(QByteArray("S001\0Ann\x99", 9), 0);
    ASSERT_TRUE(login);
    EXPECT_EQ(login->studentID, "S001");
    EXPECT_EQ(login->name, "Ann");
    // Corvel (F8 F7 ...): the ID from data[1]; a name of one byte is only the byte not read.
    login = KeypadCommands::login(QByteArray("\xF7S001\0x", 7), 1);
    ASSERT_TRUE(login);
    EXPECT_EQ(login->studentID, "S001");
    EXPECT_EQ(login->name, "");
    login = KeypadCommands::login("S001", 0);
    ASSERT_TRUE(login);
    EXPECT_EQ(login->name, "Null");
    EXPECT_FALSE(KeypadCommands::login(QByteArray("\0S001", 5), 1)) << "the zero comes before the ID";
    login = KeypadCommands::login(QByteArray("S\xC3\0A\xFF\x01", 6), 0);
    ASSERT_TRUE(login);
    EXPECT_TRUE(login->studentID.isNull());
    EXPECT_TRUE(login->name.isNull());
    EXPECT_EQ(KeypadCommands::text(QByteArray()), "");
    EXPECT_FALSE(KeypadCommands::text(QByteArray()).isNull());
}

TEST(KeypadCommandReading, AnswersByQuestionType)
{
    EXPECT_EQ(KeypadCommands::answerForType("ca", 1, true), "AC");
    EXPECT_EQ(KeypadCommands::answerForType("ca", 1, false), "ac") << "Brevel letters are not upper-cased";
    EXPECT_EQ(KeypadCommands::answerForType("c", 0, true), "C");
    EXPECT_EQ(KeypadCommands::answerForType("t", 5, true), "True");
    EXPECT_EQ(KeypadCommands::answerForType("B", 5, false), "False");
    EXPECT_EQ(KeypadCommands::answerForType("paris", 2, true), "paris");
}

TEST(KeypadCommandReading, FreeStyleQuestionsPerModel)
{
    constexpr int corvel = 2, dravel = 3, brevel = 4;
    auto q = KeypadCommands::freeStyleQuestion(QByteArray("\x02\x00" "AB", 4), dravel);
    ASSERT_TRUE(q);
    EXPECT_EQ(q->questionType, 2) << "a longer answer on keypad type 2 is a cloze question";
    q = KeypadCommands::freeStyleQuestion(QByteArray("\x02\x00" "AB", 4), brevel);
    EXPECT_EQ(q->questionType, 5);
    EXPECT_EQ(q->answer, "AB");
    q = KeypadCommands::freeStyleQuestion(QByteArray("\x02\x02" "F", 3), corvel);
    EXPECT_EQ(q->questionType, 5);
    EXPECT_EQ(q->answer, "False");
    EXPECT_EQ(KeypadCommands::freeStyleQuestion(QByteArray("\x04\x04" "A", 3), brevel)->questionType, 10);
    q = KeypadCommands::freeStyleQuestion(QByteArray("\x04\x04" "\xC9", 3), corvel);
    EXPECT_EQ(q->questionType, 4);
    EXPECT_EQ(q->optionCount, 4);
    EXPECT_EQ(q->answer, QString(QChar(0xC9))) << "one character a byte";
    EXPECT_FALSE(KeypadCommands::freeStyleQuestion(QByteArray(1, '\x02'), corvel));
}
