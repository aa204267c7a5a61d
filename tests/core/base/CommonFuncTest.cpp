#include "core/base/CommonFunc.h"
#include "core/store/ResponseDataEntity.h"

#include <QRegularExpression>

#include <algorithm>

#include <gtest/gtest.h>

TEST(CommonFunc, TrimKeepsLineEnds)
{
    EXPECT_EQ(trimString(" \tabc \t"), "abc");
    EXPECT_EQ(trimString("\nabc\n "), "\nabc\n");
    EXPECT_EQ(trimString("   "), "");
    EXPECT_EQ(TrimString(" x "), "x");
}

TEST(CommonFunc, TrueFalseConversions)
{
    EXPECT_EQ(stringToTureFalseString(" t "), "True");
    EXPECT_EQ(stringToTureFalseString(" b "), "False");
    EXPECT_EQ(stringToTureFalseString(" C "), "C");
    EXPECT_EQ(stringToTureFalseString("TRUE"), "True");
    EXPECT_EQ(trueFalseStringToString(" true "), "A");
    EXPECT_EQ(trueFalseStringToString("FALSE"), "B");
    EXPECT_EQ(trueFalseStringToString(" T "), "T");
}

TEST(CommonFunc, SortStringOnlyUpToTenCharacters)
{
    EXPECT_EQ(sortString("DBA"), "ABD");
    EXPECT_EQ(sortString("CAB"), "ABC");
    EXPECT_EQ(sortString("JIHGFEDCBA"), "ABCDEFGHIJ");
    EXPECT_EQ(sortString("KJIHGFEDCBA"), "KJIHGFEDCBA");
    EXPECT_EQ(sortString(""), "");
}

TEST(CommonFunc, ConversionEscapesBackslashAndApostrophe)
{
    EXPECT_EQ(conversionString("O'Neil"), "O\\'Neil");
    EXPECT_EQ(conversionString("a\\b"), "a\\\\b");
    EXPECT_EQ(conversionString("plain"), "plain");
}

TEST(CommonFunc, MergeNames)
{
    EXPECT_EQ(mergeFirstLastString("", "Lee"), "Lee");
    EXPECT_EQ(mergeFirstLastString("Ann", ""), "Ann");
    EXPECT_EQ(mergeFirstLastString("Ann", "Lee"), "Ann Lee");
    EXPECT_EQ(mergeFirstLastString("", ""), "Null");
}

TEST(CommonFunc, IntegerSetArrays)
{
    QList<int> a{1, 3};
    MyAddValueToMutableArray(3, a);
    EXPECT_EQ(a, (QList<int>{1, 3}));
    MyAddValueToMutableArray(2, a);
    EXPECT_EQ(a, (QList<int>{1, 3, 2}));
    MYRemoveValueFromMutableArray(5, a);
    MYRemoveValueFromMutableArray(1, a);
    EXPECT_EQ(a, (QList<int>{3, 2}));
    QList<int> target{9, 9};
    MyCopyMutableArrayToMutableArray(a, target);
    EXPECT_EQ(target, a);
    MyCopyMutableArrayToMutableArray(target, target);
    EXPECT_EQ(target, a);
}

TEST(CommonFunc, ComparatorsAndTimeStamp)
{
    EXPECT_EQ(MyCompareFunctionForSortString(1, 2, {{"order", -1}}), -1);
    EXPECT_EQ(MyCompareFunctionForSortString(1, 2, {{"order", 1}}), 1);
    const QVariantMap a{{"name", "b"}}, b{{"name", "a"}};
    EXPECT_EQ(MyCompareFunction(a, b, {{"order", -1}, {"key", "name"}}), 1);
    const char16_t x[] = u"b", y[] = u"a";
    EXPECT_EQ(compare(x, y), 1);
    EXPECT_TRUE(MyIsEqualToForFractionAndDecimal("1/2", "1/2"));
    EXPECT_FALSE(MyIsEqualToForFractionAndDecimal("1/2", "0.5"));
    EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d$").match(GetDateTimeNow()).hasMatch());
}

// Question numbers are text in the session file: "10" comes after "9", not before "2".
TEST(CommonFunc, ResponsesSortByTheirQuestionNumber)
{
    QList<ResponseDataEntity> responses;
    for (const char *q : {"10", "9", "2", "", "2"}) {
        ResponseDataEntity r;
        r.setQuestionID(QString::fromLatin1(q));
        responses << r;
    }
    std::stable_sort(responses.begin(), responses.end(),
                     [](const ResponseDataEntity &a, const ResponseDataEntity &b) { return sortResponseByQNo(a, b) < 0; });
    QStringList order;
    for (const ResponseDataEntity &r : responses)
        order << r.questionID();
    EXPECT_EQ(order, QStringList({"", "2", "2", "9", "10"}));
    EXPECT_EQ(sortResponseByQNo(responses[1], responses[2]), 0);
    EXPECT_EQ(sortResponseByQNo(responses[4], responses[3]), 1);
}
