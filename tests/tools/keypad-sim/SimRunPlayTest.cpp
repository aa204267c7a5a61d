#include "SimRunPlay.h"

#include <QSet>

#include <gtest/gtest.h>

#include <random>

// What the simulated keypads read from the program's frames about the activity, written from
// the frames as the keypads see them.
using namespace keypadsim;

namespace {
QByteArray frame(const char *hexWithoutCheck)
{
    QByteArray f = QByteArray::fromHex(QByteArray(hexWithoutCheck).replace(' ', ""));
    char x = 0;
    for (char c : f)
        x ^= c;
    return f + x;
}
} // namespace

TEST(SimRunPlay, TheActivityComesFromTheRunningQuestionsModeByte)
{
    // Dravel: state 3 of question 2 (cloze, 4 options) in a vote, then state 2.
    QList<QByteArray> frames{frame("F5 34 12 05 02 00 00 00 00"), frame("F5 34 12 05 03 02 00 04 09")};
    auto q = SimRunPlay::running(frames, Model::Dravel);
    ASSERT_TRUE(q);
    EXPECT_EQ(q->serial, 1);
    EXPECT_EQ(q->questionNo, 2);
    EXPECT_EQ(SimRunPlay::kindOfMode(q->mode), SimRunPlay::Kind::Vote);
    frames << frame("F5 34 12 05 03 02 00 04 09"); // announced again: the same question
    EXPECT_EQ(SimRunPlay::running(frames, Model::Dravel)->serial, 1);
    frames << frame("F5 34 12 05 02 00 00 00 00");
    EXPECT_FALSE(SimRunPlay::running(frames, Model::Dravel));
    frames << frame("F5 34 12 05 03 02 00 04 0D"); // asked again, as multiple mode's rush question
    EXPECT_EQ(SimRunPlay::running(frames, Model::Dravel)->serial, 2);
    EXPECT_EQ(SimRunPlay::kindOfMode(SimRunPlay::running(frames, Model::Dravel)->mode), SimRunPlay::Kind::RushByAnswer);
}

TEST(SimRunPlay, BrevelKeypadsAnswerOnlyOnThePermissionAfterTheTypeFrames)
{
    // The state announcement before the type frames carries multiple mode's byte, not the mode.
    QList<QByteArray> frames{frame("F5 34 12 07 03 01 00 04 0D FF 43")};
    EXPECT_FALSE(SimRunPlay::running(frames, Model::Brevel));
    frames << frame("F7 00 00 0A F5 11 22 03 01 00 04 0C FF 43") << frame("F5 11 22 07 03 01 00 04 03 FF 43");
    auto q = SimRunPlay::running(frames, Model::Brevel);
    ASSERT_TRUE(q);
    EXPECT_EQ(SimRunPlay::kindOfMode(q->mode), SimRunPlay::Kind::Rush);
    EXPECT_EQ(q->answer, QStringLiteral("C"));
}

TEST(SimRunPlay, TheKeypadToldItWonAndTheTeacherKeypadsScreen)
{
    const QList<QByteArray> frames{frame("F7 00 C0 05 01 01 01 01 77"), frame("F7 05 00 03 00 00 00"),
                                   frame("F7 09 00 04 01 00 04 F5")};
    EXPECT_EQ(SimRunPlay::rushWinnerAddress(frames, 0), 9);
    EXPECT_EQ(SimRunPlay::rushWinnerAddress(frames.mid(0, 2), 0), 5);
    EXPECT_EQ(SimRunPlay::rushWinnerAddress(frames.mid(0, 1), 0), 0) << "a question frame tells nobody";

    // The vote of the design's example: 4 options, 30 students, 10/8/6/4 and 2 without answer.
    EXPECT_EQ(SimRunPlay::teacherScreen(frame("FD 01 EF 14 02 58 05 1E 00 0A 00 21 08 00 1A 06 00 14 04 00 0D 02 00 06")),
              QStringLiteral("vote of 30:  A 10 (33%)  B 8 (26%)  C 6 (20%)  D 4 (13%)  none 2 (6%)"));
    EXPECT_EQ(SimRunPlay::teacherScreen(frame("FD 56 EF 0D 03 46 00 1E 00 41 6E 6E EE 43 EE 42 EE")),
              QStringLiteral("rush won by Ann (of 30), answer \"C\", right \"B\": wrong"));
    EXPECT_EQ(SimRunPlay::teacherScreen(frame("FD 05 00 03 02 58 01")), QString()) << "not for the teacher keypad";
}

// A keypad offers only the options the question has: a wrong answer to a true-or-false question is
// the other of the two, never a C or D the saved session would then hold for it.
TEST(SimRunPlay, AWrongAnswerIsAnotherOfTheQuestionsOwnOptions)
{
    struct Row
    {
        const char *label;
        int type, optionCount;
        QString allowed;
    };
    const Row rows[] = {
        {"true or false", 5, 4, "B"},
        {"four options", 1, 4, "BCD"},
        {"six options", 1, 6, "BCDEF"},
        {"options not told", 1, 0, "B"},
    };
    SimRunPlay::Class keypads;
    for (int id = 1; id <= 60; ++id)
        keypads.ids << id;
    keypads.rightPercent = 0;
    keypads.silentPercent = 0;
    for (const Row &row : rows) {
        SimRunPlay::Question q;
        q.type = row.type;
        q.optionCount = row.optionCount;
        std::mt19937 rng(7);
        QSet<QString> given;
        for (const SimRunPlay::Press &p : SimRunPlay::plan(SimRunPlay::Kind::Quiz, q, keypads, rng))
            given << p.text;
        QSet<QString> expected;
        for (QChar c : row.allowed)
            expected << QString(c);
        EXPECT_EQ(given, expected) << row.label;
    }
}
