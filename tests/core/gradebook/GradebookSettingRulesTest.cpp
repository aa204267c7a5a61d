#include "core/gradebook/GradebookSettingRules.h"

#include <gtest/gtest.h>

namespace {
using R = GradebookSettingRules;

QList<ConversionLetter> letters(const QList<QPair<int, int>> &ranges)
{
    QList<ConversionLetter> out;
    for (const auto &[from, to] : ranges) {
        ConversionLetter l;
        l.setLetter(QStringLiteral("L%1").arg(out.size()));
        l.setPointFrom(from);
        l.setPointTo(to);
        out << l;
    }
    return out;
}

QList<SelectSessionType> weights(const QList<QPair<bool, float>> &rows)
{
    QList<SelectSessionType> out;
    for (const auto &[counts, weight] : rows) {
        SelectSessionType t;
        t.setIsSelect(counts);
        t.setWeight(weight);
        out << t;
    }
    return out;
}
} // namespace

TEST(GradebookSettingRules, LetterRangesMustCoverZeroToHundredWithoutGapOrOverlap)
{
    EXPECT_EQ(R::checkLetterRanges(R::defaultLetters()), R::NoError);
    EXPECT_EQ(R::checkLetterRanges(letters({{0, 100}})), R::NoError);
    EXPECT_EQ(R::checkLetterRanges(letters({{0, 59}, {90, 100}, {60, 89}})), R::NoError);
    EXPECT_EQ(R::checkLetterRanges(letters({{0, 50}, {50, 100}})), R::RangesOverlap);
    EXPECT_EQ(R::checkLetterRanges(letters({{0, 100}, {0, 100}})), R::RangesOverlap);
    EXPECT_EQ(R::checkLetterRanges(letters({{0, 49}, {51, 100}})), R::RangeNotZeroToHundred);
    EXPECT_EQ(R::checkLetterRanges(letters({{1, 100}})), R::RangeNotZeroToHundred);
    EXPECT_EQ(R::checkLetterRanges(letters({{0, 99}})), R::RangeNotZeroToHundred);
    EXPECT_EQ(R::checkLetterRanges({}), R::RangeNotZeroToHundred);
    // A reversed range is reported before the overlap and the gap it sits among.
    EXPECT_EQ(R::checkLetterRanges(letters({{0, 40}, {30, 50}, {70, 60}, {90, 95}})), R::StartAboveEnd);
}

TEST(GradebookSettingRules, WeightsOfCountedTypesMustReadExactlyHundredPercent)
{
    EXPECT_EQ(R::weightTotalText(weights({{true, 50}, {true, 50}})), "100.0%");
    EXPECT_TRUE(R::weightsAddUpTo100(weights({{true, 50}, {true, 50}})));
    EXPECT_TRUE(R::weightsAddUpTo100(weights({{true, 33.3f}, {true, 33.3f}, {true, 33.4f}})));
    // An unchecked weight does not count.
    EXPECT_TRUE(R::weightsAddUpTo100(weights({{true, 100}, {false, 30}})));
    EXPECT_EQ(R::weightTotalText(weights({{true, 60}, {true, 50}})), "110.0%");
    EXPECT_FALSE(R::weightsAddUpTo100(weights({{true, 60}, {true, 50}})));
    EXPECT_FALSE(R::weightsAddUpTo100(weights({{true, 99.9f}})));
    EXPECT_FALSE(R::weightsAddUpTo100(weights({{true, 50}, {true, 49.9f}})));
    EXPECT_EQ(R::weightTotalText({}), "0.0%");
}

TEST(GradebookSettingRules, NamesForNewRowsAndTrimming)
{
    EXPECT_EQ(R::firstFreeName("New Period", {}), "New Period 1");
    EXPECT_EQ(R::firstFreeName("New Period", {"New Period 1", "New Period 3"}), "New Period 2");
    EXPECT_EQ(R::firstFreeName("Letter", {"Letter1", "Letter2", "Letter3", "Letter4", "Letter5"}, ""), "Letter6");
    EXPECT_EQ(R::removeSpacesAround("  Term 1 \t "), "Term 1 \t");
    EXPECT_EQ(R::removeSpacesAround("   "), "");
    EXPECT_EQ(R::errorText(14, "Quiz"), "The Session Type 'Quiz' is used by the weight list, cannot be deleted.");
    EXPECT_EQ(R::errorText(13), "");
}
