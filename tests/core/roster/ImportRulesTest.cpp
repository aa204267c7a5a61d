#include "core/roster/ImportItemsForStudent.h"
#include "core/roster/ImportItemsForTeacher.h"
#include "core/roster/TovImportPreviewData.h"
#include "support/PollixTest.h"

using ImportRulesTest = PollixTest;

namespace {
// The rule of an item by its key, with the item's display name for the messages.
std::pair<ImportItemRulePtr, QString> ruleOf(const QList<ImportItemInfo> &items, const QString &key)
{
    for (const ImportItemInfo &item : items)
        if (item.keyName() == key)
            return {item.itemRule(), item.displayName()};
    ADD_FAILURE() << "no item " << key.toStdString();
    return {ImportItemRule::noNeedImportItemRule(), QString()};
}

QString messageFor(const QList<ImportItemInfo> &items, const QString &key, const QString &value)
{
    const auto [rule, name] = ruleOf(items, key);
    return rule->errorDescriptionByStringValue(value, name);
}
} // namespace

TEST_F(ImportRulesTest, StudentListDependsOnTheModelAndTeachersNeedNothing)
{
    const QList<ImportItemInfo> arvel = ImportItemsForStudent(1).allImportItems();
    const QList<ImportItemInfo> dravel = ImportItemsForStudent(3).allImportItems();
    ASSERT_EQ(arvel.size(), 13);
    EXPECT_EQ(arvel.at(0).displayName(), "* Device NO.");
    EXPECT_TRUE(arvel.at(0).isRequired());
    EXPECT_EQ(ImportItemsForStudent(4).allImportItems().at(0).displayName(), "* Device NO.");
    EXPECT_EQ(dravel.at(0).displayName(), "Device NO.");
    EXPECT_EQ(dravel.at(0).itemType(), ImportItemInfo::Optional);
    QStringList names;
    for (const ImportItemInfo &item : dravel)
        names << item.displayName();
    EXPECT_EQ(names, QStringList({"Device NO.", "* Student ID", "First Name", "Last Name", "Class Name", "Group NO.",
                                  "Birthday", "Responsibility", "Remark", "Address", "Phone", "EMail", "Gender"}));
    EXPECT_EQ(dravel.at(12).orderID(), 13);

    const QList<ImportItemInfo> teachers = ImportItemsForTeacher().allImportItems();
    ASSERT_EQ(teachers.size(), 7);
    for (const ImportItemInfo &item : teachers)
        EXPECT_FALSE(item.isRequired()) << item.displayName().toStdString();
    EXPECT_EQ(teachers.at(0).itemType(), ImportItemInfo::NotImported);
    // The teacher's gender may not be blank; the student's may.
    EXPECT_FALSE(teachers.at(6).itemRule()->canBeEmpty());
    EXPECT_TRUE(dravel.at(12).itemRule()->canBeEmpty());

    const ImportItemInfo na = ImportItemInfo::invalidItemWithOrderID(100);
    EXPECT_EQ(na.displayName(), "N/A");
    EXPECT_EQ(na.itemType(), ImportItemInfo::NotImported);
    const ImportItemInfo copy = arvel.at(1);
    EXPECT_EQ(copy.itemRule(), arvel.at(1).itemRule()) << "a copied item shares its rule";
}

TEST_F(ImportRulesTest, NumberLengthAndCharacterMessages)
{
    const QList<ImportItemInfo> items = ImportItemsForStudent(1).allImportItems();
    for (const QString bad : {"12a", "0", "401", "-3", " 5", "5.0", "99999999999999999999"})
        EXPECT_EQ(messageFor(items, "DeviceNo", bad), "The * Device NO. should be between 1 and 400.") << bad.toStdString();
    EXPECT_EQ(messageFor(items, "DeviceNo", "400"), "");
    EXPECT_EQ(messageFor(items, "DeviceNo", "007"), "");
    EXPECT_EQ(messageFor(ImportItemsForStudent(2).allImportItems(), "DeviceNo", "0"),
              "The Device NO. should be between 1 and 400.");
    // Blanks are the column's business, but the range still reports an empty group.
    EXPECT_EQ(messageFor(items, "GroupNo", ""), "The Group NO. should be between 1 and 99.");

    EXPECT_EQ(messageFor(items, "StudentID", "ABCDEFGHIJKLM"), "The * Student ID should be no more than 12 characters.");
    EXPECT_EQ(messageFor(items, "StudentID", "A-12"), "The * Student ID contains some invalid characters.");
    EXPECT_EQ(messageFor(items, "StudentID", "A 12"), "The * Student ID contains some invalid characters.");
    EXPECT_EQ(messageFor(items, "StudentID", QString::fromUtf8("Zoë12")), "") << "letters of every script count";
    EXPECT_EQ(messageFor(items, "StudentID", "ABCDEFGHIJKL"), "");
    EXPECT_EQ(messageFor(items, "Phone", QString(21, 'x')), "The Phone should be no more than 20 characters.");
    EXPECT_EQ(messageFor(items, "Phone", "+44 (0)20-7946"), "") << "only the ID forbids characters";
    // A letter outside the basic plane is one character, not two.
    EXPECT_EQ(messageFor(items, "Phone", QString::fromUtf8("😀").repeated(20)), "");

    ImportItemRule decimal;
    decimal.setValueType(ImportItemRule::DecimalNumber);
    decimal.setMinDecimalValue(0.5f);
    decimal.setMaxDecimalValue(2);
    EXPECT_EQ(decimal.errorDescriptionByStringValue("3", "Mark"), "The Mark should be between 0.500000 and 2.000000.");
    EXPECT_EQ(decimal.errorDescriptionByStringValue("1.5kg", "Mark"), "");
}

TEST_F(ImportRulesTest, DatesAreYearMonthDayWithOneOfThreeSeparators)
{
    const QList<ImportItemInfo> items = ImportItemsForStudent(1).allImportItems();
    for (const QString good : {"2004-02-29", "2000-02-29", "2000/1/1", "2000.12.31", "0-1-1"})
        EXPECT_EQ(messageFor(items, "Birthday", good), "") << good.toStdString();
    for (const QString bad : {"1900-02-29", "2000-13-01", "2000-01-00", "01/02/2000", "2000-04-31", "2000-01",
                              "20000101", "2000-1-1-1", "2000-01-0x", ""})
        EXPECT_EQ(messageFor(items, "Birthday", bad), "Invalid Date.") << bad.toStdString();
    EXPECT_EQ(messageFor(items, "Birthday", "12000-01-01"), "Invalid Date") << "too long: no full stop";

    EXPECT_TRUE(ImportItemRule::isValidDateComponent({"2024", "2", "29"}));
    EXPECT_FALSE(ImportItemRule::isValidDateComponent({"2023", "2", "29"}));
    EXPECT_FALSE(ImportItemRule::isValidDateComponent({"2023", "2"}));
    EXPECT_FALSE(ImportItemRule::isValidDateComponent({"10000", "1", "1"}));

    EXPECT_EQ(ImportItemRule::dateFromText("2000/2/29"), QDate(2000, 2, 29));
    EXPECT_EQ(ImportItemRule::dateFromText("1999.12.31"), QDate(1999, 12, 31));
    EXPECT_FALSE(ImportItemRule::dateFromText("1900-02-29"));
    EXPECT_FALSE(ImportItemRule::dateFromText("0-1-1")) << "the calendar has no year 0";
}

TEST_F(ImportRulesTest, GenderIsOneOfTheListIgnoringCase)
{
    const QList<ImportItemInfo> items = ImportItemsForStudent(1).allImportItems();
    for (const QString good : {"male", "FEMALE", "m", "F", "Male"})
        EXPECT_EQ(messageFor(items, "Gender", good), "") << good.toStdString();
    const QString list = "The Gender should be one of following strings:\nF\nM\nMale\nFemale\n";
    EXPECT_EQ(messageFor(items, "Gender", "X"), list);
    EXPECT_EQ(messageFor(items, "Gender", ""), list);
}

TEST_F(ImportRulesTest, LoadingGivesEveryRowAllColumnsAndTellsEmptyAndUnreadableFiles)
{
    const QString narrow = writeFile("narrow.csv", "5,S1,Ann\r\n6,S2\r\n");
    TovImportPreviewData data(13);
    QString error;
    ASSERT_EQ(data.loadDataFromFile(narrow, &error), TovImportPreviewData::Loaded);
    EXPECT_EQ(data.numOfFileColumns(), 3);
    EXPECT_EQ(data.numOfColumns(), 14);
    EXPECT_EQ(data.startRow(), 1);
    EXPECT_EQ(data.endRow(), 2);
    ASSERT_EQ(data.arrAllData.size(), 2);
    EXPECT_EQ(data.arrAllData.at(1).size(), 14);
    EXPECT_EQ(data.arrAllData.at(1).at(0), "2");
    EXPECT_EQ(data.arrAllData.at(1).at(2), "S2");
    EXPECT_EQ(data.arrAllData.at(1).at(3), "");
    EXPECT_EQ(data.arrAllData.at(0).at(13), "");
    EXPECT_EQ(data.arrAllErrors.at(1), QStringList({"2", "", "", "", "", "", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(data.newRowData().size(), 14);

    // A file wider than the items keeps all its columns.
    TovImportPreviewData wide(2);
    ASSERT_EQ(wide.loadDataFromFile(narrow, &error), TovImportPreviewData::Loaded);
    EXPECT_EQ(wide.numOfColumns(), 4);

    TovImportPreviewData empty(13);
    EXPECT_EQ(empty.loadDataFromFile(writeFile("empty.csv", ""), &error), TovImportPreviewData::NoRows);
    EXPECT_EQ(empty.loadDataFromFile(writeFile("breaks.csv", "\r\n\n\r"), &error), TovImportPreviewData::NoRows);

    error.clear();
    EXPECT_EQ(empty.loadDataFromFile(home() + "missing.csv", &error), TovImportPreviewData::Unreadable);
    EXPECT_TRUE(error.startsWith("File is not exist.")) << error.toStdString();
    error.clear();
    EXPECT_EQ(empty.loadDataFromFile(writeFile("book.xlsx", QByteArray("PK\x03\x04\0\0\x08\0", 8)), &error),
              TovImportPreviewData::Unreadable);
    EXPECT_TRUE(error.startsWith("File is not a text file.")) << error.toStdString();
}
