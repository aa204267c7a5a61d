#include "StoreTestBase.h"

using StoreHelpersTest = StoreTestBase;

TEST_F(StoreHelpersTest, StoredNumbersReadTheirLeadingInteger)
{
    EXPECT_EQ(GlobalFunctions::intValue(" 12abc"), 12);
    EXPECT_EQ(GlobalFunctions::intValue("-5"), -5);
    EXPECT_EQ(GlobalFunctions::intValue("+7"), 7);
    EXPECT_EQ(GlobalFunctions::intValue("abc"), 0);
    EXPECT_EQ(GlobalFunctions::intValue(""), 0);
    EXPECT_EQ(GlobalFunctions::intValue("99999999999"), INT_MAX);
    EXPECT_EQ(GlobalFunctions::intValue("-99999999999"), INT_MIN);
}

// Points read straight from a parsed file read as the text reader reads them.
TEST_F(StoreHelpersTest, StoredPointsReadTheirLeadingNumberFromTextAndFromFileBytesAlike)
{
    const struct
    {
        const char *text;
        float value;
    } cases[] = {{" 7.5", 7.5f}, {"-2", -2.0f}, {"+3.25pts", 3.25f}, {"1e2", 100.0f}, {"4e", 4.0f},
                 {".5", 0.5f},   {"5.", 5.0f},  {"abc", 0.0f},       {"", 0.0f},       {"\t\n12", 12.0f}};
    for (const auto &c : cases) {
        EXPECT_FLOAT_EQ(GlobalFunctions::floatValue(QString::fromLatin1(c.text)), c.value) << c.text;
        EXPECT_FLOAT_EQ(GlobalFunctions::floatValueOfUtf8(c.text), c.value) << c.text;
    }
}

TEST_F(StoreHelpersTest, StoredDatesAreReadInUtcPlus8)
{
    const QDateTime moment = GlobalFunctions::dateFromStoredTimeStamp("2012-03-23T10:45:32");
    EXPECT_EQ(moment.offsetFromUtc(), 8 * 3600);
    EXPECT_EQ(moment.toUTC(), QDateTime(QDate(2012, 3, 23), QTime(2, 45, 32), Qt::UTC));
    EXPECT_EQ(GlobalFunctions::dateFromStoredDay("2012-03-23").toUTC(), QDateTime(QDate(2012, 3, 22), QTime(16, 0), Qt::UTC));
    EXPECT_EQ(GlobalFunctions::standardDateText(moment.toUTC()), "2012-03-23 10:45:32 +0800");
    EXPECT_EQ(GlobalFunctions::timeStampFromStandardText("2012-03-23 10:45:32 +0800"), "2012-03-23T10:45:32");
    EXPECT_FALSE(GlobalFunctions::dateFromStoredDay("junk").isValid());
    EXPECT_EQ(GlobalFunctions::currentTimeDesp(), "2012-03-23T14:07:09");
}

TEST_F(StoreHelpersTest, SerialisedFormAndSafeNames)
{
    pugi::xml_document doc;
    pugi::xml_node root = GlobalFunctions::createRoot(doc, "Subjects", false);
    GlobalFunctions::appendTextChild(root, "Empty", "");
    GlobalFunctions::appendTextChild(root, "Text", "a & <b> \"c\"");
    EXPECT_EQ(GlobalFunctions::xmlData(doc), QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                                                        "<Subjects><Empty></Empty><Text>a &amp; &lt;b&gt; \"c\"</Text></Subjects>"));
    EXPECT_EQ(GlobalFunctions::safeFileName(QStringLiteral("a/b\\c") + QChar(0)), "a_b_c_");
    writeFile("f/x.xml", "x");
    writeFile("f/x (2).xml", "x");
    EXPECT_EQ(GlobalFunctions::freeFilePath(home() + "f", "x", ".xml", nullptr), home() + "f/x (3).xml");
}
