#include "core/roster/StudentGrouping.h"

#include <QSet>

#include <gtest/gtest.h>

#include <algorithm>

namespace {
QList<int> sizes(const QList<int> &groups, int count)
{
    QList<int> out(count, 0);
    for (int g : groups)
        ++out[g - 1];
    return out;
}
} // namespace

TEST(StudentGrouping, InOrderFillsWholeGroupsThenDealsTheRestFromGroupOne)
{
    EXPECT_EQ(StudentGrouping::groupsInOrder(11, 3), (QList<int>{1, 1, 1, 2, 2, 2, 3, 3, 3, 1, 2}));
    EXPECT_EQ(sizes(StudentGrouping::groupsInOrder(11, 3), 3), (QList<int>{4, 4, 3}));
    EXPECT_EQ(StudentGrouping::groupsInOrder(7, 3), (QList<int>{1, 1, 2, 2, 3, 3, 1}));
    EXPECT_EQ(StudentGrouping::groupsInOrder(10, 10), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(StudentGrouping::groupsInOrder(5, 1), (QList<int>{1, 1, 1, 1, 1}));
    // Many left over: every one of them after the wrap takes the next group.
    EXPECT_EQ(StudentGrouping::groupsInOrder(12, 5), (QList<int>{1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 1, 2}));
    for (int s = 1; s <= 40; ++s) {
        for (int g = 1; g <= s; ++g) {
            const QList<int> sz = sizes(StudentGrouping::groupsInOrder(s, g), g);
            EXPECT_LE(*std::max_element(sz.begin(), sz.end()) - *std::min_element(sz.begin(), sz.end()), 1)
                << s << " in " << g;
        }
    }
}

TEST(StudentGrouping, ChecksBeforeAnyGrouping)
{
    EXPECT_EQ(StudentGrouping::check(0, 1), StudentGrouping::Check::NoStudents);
    EXPECT_EQ(StudentGrouping::check(10, 0), StudentGrouping::Check::NoGroups);
    EXPECT_EQ(StudentGrouping::check(10, 11), StudentGrouping::Check::TooManyGroups);
    EXPECT_EQ(StudentGrouping::check(10, 10), StudentGrouping::Check::Ok);
    EXPECT_TRUE(StudentGrouping::groupsInOrder(10, 11).isEmpty());
}

TEST(StudentGrouping, RandomOrderIsAPermutationFixedByItsSeed)
{
    const QList<int> a = StudentGrouping::shuffledPositions(30, 1339000000);
    EXPECT_EQ(a, StudentGrouping::shuffledPositions(30, 1339000000)) << "the same second, the same groups";
    EXPECT_NE(a, StudentGrouping::shuffledPositions(30, 1339000001));
    QList<int> sorted = a;
    std::sort(sorted.begin(), sorted.end());
    QList<int> expected;
    for (int i = 0; i < 30; ++i)
        expected << i;
    EXPECT_EQ(sorted, expected);
    EXPECT_EQ(StudentGrouping::shuffledPositions(1, 5), QList<int>{0});
}
