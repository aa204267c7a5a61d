#include "core/roster/ImportItemsForStudent.h"
#include "core/roster/ImportItemsForTeacher.h"
#include "core/roster/ImportPreviewState.h"
#include "support/PollixTest.h"

#include <tuple>

namespace {
// A line of the student export's 13 columns.
QByteArray studentLine(const QString &device, const QString &id, const QString &first = "Ann",
                       const QString &extra = "Lee,7A,1,2001-01-01,,,,,,F")
{
    return QStringLiteral("%1,%2,%3,%4\r\n").arg(device, id, first, extra).toUtf8();
}
} // namespace

class ImportPreviewStateTest : public PollixTest
{
protected:
    // A preview over the lines given, for an Arvel receiver (device number required).
    ImportPreviewState &load(const QByteArray &lines, int deviceType = 1)
    {
        state = std::make_unique<ImportPreviewState>(ImportItemsForStudent(deviceType).allImportItems());
        QString error;
        EXPECT_EQ(state->loadFile(writeFile("in.csv", lines), &error), TovImportPreviewData::Loaded) << error.toStdString();
        return *state;
    }
    QString error(int previewRow, int column) const { return state->previewData().error(previewRow, column); }
    QStringList rowNumbers() const
    {
        QStringList out;
        for (int i = 0; i < state->previewData().previewRowCount(); ++i)
            out << state->previewData().cell(i, 0);
        return out;
    }

    std::unique_ptr<ImportPreviewState> state;
};

TEST_F(ImportPreviewStateTest, SpreadsheetFilesInEitherEncodingGiveTheSameCleanRecords)
{
    // The code-page file read as Unicode: its accented lines are marked and block the import,
    // nothing is stored garbled.
    ImportPreviewState guessed(ImportItemsForStudent(1).allImportItems());
    QString error;
    ASSERT_EQ(guessed.loadFile(testDataPath("roster/import-spreadsheet/students-cp1252.csv"), &error),
              TovImportPreviewData::Loaded);
    EXPECT_TRUE(guessed.hasUndecodedRows());
    EXPECT_TRUE(guessed.bHasError());
    EXPECT_TRUE(guessed.statusText().startsWith("Incorrect Field(s):First Name,Last Name,Remark\n"))
        << guessed.statusText().toStdString();
    // The advice names the choice that mends every line at once before the cell-by-cell way.
    EXPECT_TRUE(guessed.statusText().contains("\nRow 2 holds bytes that are not UTF-8 text: choose the file's encoding "
                                              "beside \"Read the file as\" (it mends the whole file), or retype the "
                                              "First Name.\n"))
        << guessed.statusText().toStdString();

    QList<QList<QStringList>> results;
    // Spreadsheets set to French or German write semicolons (here with the code page), and
    // "Unicode text" is UTF-16 with tabs: both are recognised by their header line.
    using Separator = CSVOperator::Separator;
    const QList<std::tuple<QString, CSVOperator::TextEncoding, Separator>> files{
        {"students-cp1252.csv", CSVOperator::TextEncoding::Windows1252, Separator::Comma},
        {"students-utf8-bom.csv", CSVOperator::TextEncoding::Unicode, Separator::Comma},
        {"students-semicolons-cp1252.csv", CSVOperator::TextEncoding::Windows1252, Separator::Semicolon},
        {"students-tabs-utf16.csv", CSVOperator::TextEncoding::Unicode, Separator::Tab}};
    for (const auto &[file, encoding, separator] : files) {
        SCOPED_TRACE(file.toStdString());
        ImportPreviewState preview(ImportItemsForStudent(1).allImportItems());
        ASSERT_EQ(preview.loadFile(testDataPath("roster/import-spreadsheet/" + file), &error, encoding),
                  TovImportPreviewData::Loaded);
        EXPECT_EQ(preview.separator(), separator);
        EXPECT_EQ(preview.previewData().numOfFileColumns(), 13);
        EXPECT_FALSE(preview.hasUndecodedRows());
        // The first row names the fields (as the export writes them): it maps the columns and
        // is left out.
        EXPECT_EQ(preview.previewData().startRow(), 2);
        EXPECT_EQ(preview.previewData().arrAllData.first().value(1), "Device NO.") << "no byte-order mark in the first cell";
        EXPECT_EQ(preview.mappedName(7), "Birthday");
        EXPECT_EQ(preview.mappedName(13), "Gender");
        EXPECT_EQ(preview.statusText(), "Ready to import.");
        EXPECT_FALSE(preview.bHasError());
        results << preview.resultData();
    }
    ASSERT_EQ(results.at(0).size(), 3);
    for (int k = 1; k < results.size(); ++k)
        EXPECT_EQ(results.at(0), results.at(k)) << "file " << k;
    const QList<QStringList> &records = results.at(0);
    EXPECT_EQ(records.at(0), QStringList({"1", "S001", QString::fromUtf8("Renée"), QString::fromUtf8("Müller"), "7A", "1",
                                          "2001-03-04", "Monitor", "Likes maths, music", "12 High St, Leeds",
                                          "0113 496 0000", "renee@example.org", "Female"}));
    EXPECT_EQ(records.at(1).at(2), QString::fromUtf8("José"));
    EXPECT_EQ(records.at(1).at(3), "O'Neil");
    EXPECT_EQ(records.at(1).at(8), QString::fromUtf8("€5 owed"));
    EXPECT_EQ(records.at(1).at(9), "Flat 3, The Oaks");
    EXPECT_EQ(records.at(2).at(3), QString::fromUtf8("Øster"));
    // Blank optional cells take their defaults; the accepted "male" is kept as typed.
    EXPECT_EQ(records.at(2).mid(7), QStringList({"", "", "", "", "", "male"}));
}

TEST_F(ImportPreviewStateTest, RequiredItemsMustBeMappedAndFreeOfErrors)
{
    load(studentLine("5", "S1") + studentLine("5", "S2"));
    EXPECT_EQ(error(1, 1), "The * Device NO. cannot be duplicate.");
    EXPECT_EQ(error(0, 1), "") << "the first occurrence stays valid";
    EXPECT_EQ(state->statusText(), "Incorrect Field(s):* Device NO.\nRow 2: The * Device NO. cannot be duplicate.");
    EXPECT_TRUE(state->bHasError());

    state->editCell(1, 1, " 6 ");
    EXPECT_EQ(error(1, 1), "");
    EXPECT_EQ(state->statusText(), "Ready to import.");

    // Unmapping the Student ID must block the import even though no column shows an error.
    state->setMapping(2, "N/A");
    EXPECT_EQ(error(0, 2), "");
    EXPECT_EQ(state->missingRequiredItems(), QStringList{"* Student ID"});
    EXPECT_EQ(state->statusText(), "Required Field(s):* Student ID");
    EXPECT_TRUE(state->bHasError());
    EXPECT_TRUE(state->arrAllErrorFields().isEmpty());

    state->setMapping(1, "N/A");
    EXPECT_EQ(state->statusText(), "Required Field(s):* Device NO.,* Student ID");
    // Mapping the ID onto another column takes it away from nowhere else and checks it there.
    state->setMapping(3, "* Student ID");
    EXPECT_EQ(state->statusText(), "Required Field(s):* Device NO.");
}

TEST_F(ImportPreviewStateTest, RepeatsAreFoundWhateverTheirCaseOrLeadingZeros)
{
    load(studentLine("7", "abc") + studentLine("07", "ABC") + studentLine("8", "Abd") + studentLine("", "abd"));
    EXPECT_EQ(error(1, 2), "The * Student ID cannot be duplicate.");
    EXPECT_EQ(error(1, 1), "The * Device NO. cannot be duplicate.") << "keypad 07 is keypad 7";
    EXPECT_EQ(error(3, 2), "The * Student ID cannot be duplicate.");
    EXPECT_EQ(error(3, 1), "The * Device NO. cannot be blank.");
    EXPECT_EQ(error(2, 2), "");

    // Optional columns may repeat; their errors are marked and never block.
    load(studentLine("1", "S1", "Ann", "Lee,7A,1,2001-13-01,,,,,,F") + studentLine("2", "S2", "Bo", "Lee,7A,1,,,,,,,X"));
    EXPECT_EQ(error(0, 5), "");
    EXPECT_EQ(error(1, 5), "");
    EXPECT_EQ(error(0, 7), "Invalid Date.");
    EXPECT_TRUE(error(1, 13).startsWith("The Gender should be one of following strings:"));
    // Ready, but what is stored instead of the typed values is said, and the blank birthday's
    // default too.
    EXPECT_EQ(state->statusText(), "Ready to import.\n"
                                   "Row 1: Birthday \"2001-13-01\" cannot be imported; it is stored as \"2000-01-01\".\n"
                                   "Row 2: Gender \"X\" cannot be imported; it is stored as \"Male\".\n"
                                   "Where the file gives none, the import stores Birthday 2000-01-01.");
    const QList<QStringList> records = state->resultData();
    EXPECT_EQ(records.at(0).at(6), "2000-01-01");
    EXPECT_EQ(records.at(1).at(12), "Male");
}

TEST_F(ImportPreviewStateTest, ExtraColumnsAreNotImportedAndAnItemFeedsOneColumn)
{
    load("1,S1,Ann,Lee,7A,1,2001-01-01,,Quiet,,,,F,x,Kind\r\n");
    ASSERT_EQ(state->previewData().numOfColumns(), 16);
    EXPECT_EQ(state->mappedName(14), "N/A");
    EXPECT_EQ(state->mappedName(15), "N/A");
    EXPECT_EQ(state->headerMenuItemList().last(), "N/A");
    EXPECT_EQ(state->headerMenuItemList().size(), 14);

    state->editCell(0, 9, QString(25, 'r'));
    EXPECT_EQ(error(0, 9), "The Remark should be no more than 20 characters.");
    const QList<int> changed = state->setMapping(15, "Remark");
    EXPECT_EQ(changed, QList<int>({9, 15}));
    EXPECT_EQ(state->mappedName(9), "N/A");
    EXPECT_EQ(error(0, 9), "") << "the column no longer imported loses its marks";
    EXPECT_EQ(state->resultData().at(0).at(8), "Kind");
}

TEST_F(ImportPreviewStateTest, RowRangeAddingAndRemovingKeepTheFileInOrder)
{
    QByteArray lines;
    for (int i = 1; i <= 10; ++i)
        lines += studentLine(QString::number(i), QStringLiteral("S%1").arg(i));
    load(lines);
    TovImportPreviewData &data = state->previewData();

    ASSERT_TRUE(state->setStartRow(3));
    EXPECT_EQ(data.previewRowCount(), 8);
    EXPECT_EQ(rowNumbers().first(), "3");
    EXPECT_FALSE(state->setEndRow(2)) << "an end above the start is refused";
    EXPECT_EQ(data.endRow(), 10);
    EXPECT_FALSE(state->setEndRow(11)) << "no row beyond the file";
    EXPECT_FALSE(state->setStartRow(0));
    ASSERT_TRUE(state->setEndRow(6));
    EXPECT_EQ(rowNumbers(), QStringList({"3", "4", "5", "6"}));

    // A row added after the second preview row (file row 4) becomes row 5; the rest move down.
    const int added = state->addRow(1);
    EXPECT_EQ(added, 2);
    EXPECT_EQ(rowNumbers(), QStringList({"3", "4", "5", "6", "7"}));
    EXPECT_EQ(data.cell(3, 2), "S5");
    EXPECT_EQ(data.numOfRows(), 11);
    EXPECT_EQ(data.endRow(), 7);
    EXPECT_EQ(error(added, 2), "The * Student ID cannot be blank.");
    EXPECT_EQ(state->statusText(), "Incorrect Field(s):* Device NO.,* Student ID,First Name\n"
                                   "Row 5: The * Device NO. cannot be blank.\n"
                                   "Row 5: The * Student ID cannot be blank.\n"
                                   "Row 5 has no name: type a first or a last name.");
    state->editCell(added, 1, "40");
    state->editCell(added, 2, "S40");
    state->editCell(added, 3, "Di");
    EXPECT_EQ(state->statusText(),
              "Ready to import.\nWhere the file gives none, the import stores Group NO. 1, Birthday 2000-01-01, Gender Male.");
    EXPECT_EQ(state->resultData().at(2).mid(0, 2), QStringList({"40", "S40"}));

    // The rows outside the preview stay where they were.
    state->removeRows({0, 4});
    EXPECT_EQ(data.numOfRows(), 9);
    EXPECT_EQ(data.arrAllData.at(1).at(2), "S2");
    EXPECT_EQ(data.arrAllData.at(2).at(2), "S4");
    EXPECT_EQ(data.arrAllData.at(5).at(2), "S7");
    EXPECT_EQ(rowNumbers(), QStringList({"3", "4", "5"}));

    // Emptying the preview leaves the row before it in view.
    state->removeRows({0, 1, 2});
    EXPECT_EQ(data.previewRowCount(), 1);
    EXPECT_EQ(data.cell(0, 2), "S2");

    // Emptying the file leaves an empty preview whose import yields nothing.
    while (data.numOfRows() > 0) {
        state->setStartRow(1);
        state->setEndRow(data.numOfRows());
        QList<int> all;
        for (int i = 0; i < data.previewRowCount(); ++i)
            all << i;
        state->removeRows(all);
    }
    EXPECT_EQ(data.previewRowCount(), 0);
    EXPECT_TRUE(state->resultData().isEmpty());
    EXPECT_EQ(state->statusText(), "Ready to import.");
    EXPECT_EQ(state->addRow(-1), 0) << "a row can be added to an emptied file";
    EXPECT_EQ(data.previewRowCount(), 1);
}

TEST_F(ImportPreviewStateTest, ResultCutsLongTextsAndDefaultsTheRest)
{
    load(studentLine("3", "S1", "  Ann  ", "Lee,7A,100,2001-02-30,,," + QString(130, 'a') + "," + QString(25, '5') + ",,"));
    const QStringList record = state->resultData().at(0);
    EXPECT_EQ(state->statusText(), "Ready to import.\n"
                                   "Row 1: Group NO. \"100\" cannot be imported; it is stored as \"1\".\n"
                                   "Row 1: Birthday \"2001-02-30\" cannot be imported; it is stored as \"2000-01-01\".\n"
                                   "Row 1: Address is cut to its first 120 characters.\n"
                                   "Row 1: Phone is cut to its first 20 characters.\n"
                                   "Where the file gives none, the import stores Gender Male.");
    EXPECT_EQ(record.at(2), "Ann");
    EXPECT_EQ(record.at(5), "1") << "group 100 is out of range";
    EXPECT_EQ(record.at(6), "2000-01-01");
    EXPECT_EQ(record.at(9), QString(120, 'a'));
    EXPECT_EQ(record.at(10), QString(20, '5'));
    EXPECT_EQ(record.at(12), "Male");

    // A teacher file never blocks, whatever it holds.
    ImportPreviewState teachers(ImportItemsForTeacher().allImportItems());
    QString why;
    ASSERT_EQ(teachers.loadFile(writeFile("t.csv", "x,,,,,,\r\n1,Ann,Lee,Dr,,,Q\r\n"), &why), TovImportPreviewData::Loaded);
    EXPECT_FALSE(teachers.bHasError());
    EXPECT_EQ(teachers.statusText(), "Ready to import.\n"
                                     "Row 2: Gender \"Q\" cannot be imported; it is stored as \"Male\".\n"
                                     "Where the file gives none, the import stores Gender Male.");
    EXPECT_EQ(teachers.resultData().at(0).at(6), "Male");
}

TEST_F(ImportPreviewStateTest, ColumnsInAnotherOrderMapByTheirHeadingsOrByHand)
{
    // Headings in another order (and spelt a little differently) map each column to its item.
    load("Sex,Last Name,student id,First name,Device No.,Class\r\nF,Lee,S1,Ann,4,7A\r\nM,Chan,S2,Bo,5,7A\r\n");
    EXPECT_EQ(state->previewData().startRow(), 2);
    EXPECT_EQ(state->headerItemList().mid(1, 6),
              QStringList({"Gender", "Last Name", "* Student ID", "First Name", "* Device NO.", "N/A"}));
    const QString unmappedDefaults = "Ready to import.\nWhere the file gives none, the import stores Group NO. 1, "
                                     "Birthday 2000-01-01.";
    EXPECT_EQ(state->statusText(), unmappedDefaults);
    QList<QStringList> records = state->resultData();
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records.at(0).mid(0, 5), QStringList({"4", "S1", "Ann", "Lee", ""}));
    EXPECT_EQ(records.at(0).at(12), "F");

    // Without headings the columns map by position until the teacher chooses from the menus.
    load("F,Lee,S1,Ann,4\r\nM,Chan,S2,Bo,5\r\n");
    EXPECT_EQ(state->previewData().startRow(), 1) << "one cell that reads as a field name is data";
    EXPECT_TRUE(state->bHasError());
    state->setMapping(1, "Gender");
    state->setMapping(2, "Last Name");
    state->setMapping(3, "* Student ID");
    state->setMapping(4, "First Name");
    state->setMapping(5, "* Device NO.");
    EXPECT_EQ(state->statusText(), unmappedDefaults) << "the columns past the file's are blank";
    records = state->resultData();
    EXPECT_EQ(records.at(1).mid(0, 5), QStringList({"5", "S2", "Bo", "Chan", ""}));
    EXPECT_EQ(records.at(1).at(12), "M");
}

TEST_F(ImportPreviewStateTest, ARowWithoutANameIsMarkedAndTheStatusSaysWhichRowsAndWhy)
{
    load(studentLine("1", "S1") + studentLine("2", "S2", "", ",7A,1,,,,,,,F") + studentLine("3", "") + studentLine("3", "S4"));
    EXPECT_EQ(error(1, 3), "Row 2 has no name: type a first or a last name.");
    EXPECT_TRUE(state->bHasError()) << "a student without a name would be stored as Null";
    EXPECT_EQ(state->statusText(), "Incorrect Field(s):* Device NO.,* Student ID,First Name\n"
                                   "Row 2 has no name: type a first or a last name.\n"
                                   "Row 3: The * Student ID cannot be blank.\n"
                                   "Row 4: The * Device NO. cannot be duplicate.");
    // A last name is a name too.
    state->editCell(1, 4, "Lee");
    EXPECT_EQ(error(1, 3), "");
    state->editCell(2, 2, "S3");
    state->editCell(3, 1, "4");
    EXPECT_EQ(state->statusText(), "Ready to import.\nWhere the file gives none, the import stores Birthday 2000-01-01.");
    EXPECT_EQ(state->resultData().at(1).mid(2, 2), QStringList({"", "Lee"}));

    // With neither name column mapped no record has a name.
    state->setMapping(3, "N/A");
    state->setMapping(4, "N/A");
    EXPECT_EQ(state->statusText(), "Required Field(s):First Name or Last Name");
}

TEST_F(ImportPreviewStateTest, ATypedValueTheImportCannotTakeIsNamedWithItsRowAndWhatIsStored)
{
    // A French class list: the header row is file row 1, so the second student is file row 3.
    load("Device NO.,Student ID,First Name,Last Name,Sex\r\n"
         "1,S1,Ann,Lee,F\r\n2,S2,Marie,Dupont,Femme\r\n3,S3,Jean,Petit,Homme\r\n");
    EXPECT_FALSE(state->bHasError()) << "an optional field never blocks";
    EXPECT_EQ(state->statusText(), "Ready to import.\n"
                                   "Row 3: Gender \"Femme\" cannot be imported; it is stored as \"Male\".\n"
                                   "Row 4: Gender \"Homme\" cannot be imported; it is stored as \"Male\".\n"
                                   "Where the file gives none, the import stores Group NO. 1, Birthday 2000-01-01.");
    QList<ImportPreviewState::Replacement> replaced = state->replacements();
    ASSERT_EQ(replaced.size(), 2);
    EXPECT_EQ(replaced.at(0).record, 1) << "the index of the record the import receives";
    EXPECT_EQ(replaced.at(0).row, "3");
    EXPECT_EQ(replaced.at(0).field, "Gender");
    EXPECT_EQ(state->resultData().at(1).at(12), "Male");

    // Typed again as the list has it, the value is stored as typed and no longer named.
    state->editCell(1, 5, "f");
    replaced = state->replacements();
    ASSERT_EQ(replaced.size(), 1);
    EXPECT_EQ(replaced.at(0).row, "4");
    EXPECT_EQ(state->resultData().at(1).at(12), "f");

    // Many: five rows are named, the rest counted; a long value is quoted shortened.
    QByteArray lines;
    for (int i = 1; i <= 7; ++i)
        lines += studentLine(QString::number(i), QStringLiteral("S%1").arg(i), "Ann",
                             "Lee,7A,1,2001-01-01,,,,,,Feminine gender as typed by a teacher");
    load(lines);
    const QString status = state->statusText();
    EXPECT_TRUE(status.startsWith("Ready to import.\nRow 1: Gender \"Feminine gender as typed by a\u2026\" cannot"))
        << status.toStdString();
    EXPECT_TRUE(status.endsWith("\nRow 5: Gender \"Feminine gender as typed by a\u2026\" cannot be imported; it is "
                                "stored as \"Male\".\nand 2 more."))
        << status.toStdString();
    EXPECT_EQ(state->replacements().size(), 7);

    // Where the keypad number is optional, a wrong one leaves the number to the import.
    load("abc,S1,Ann\r\n", 2);
    ASSERT_EQ(state->replacements().size(), 1);
    EXPECT_EQ(state->replacements().at(0).note,
              "Device NO. \"abc\" cannot be imported; the student gets the class's next free keypad number, or shares "
              "keypad number 1 with other students where the class holds every number from 1 to 400.");
    EXPECT_EQ(state->resultData().at(0).at(0), "");

    // A field the import needs is named in a note as a sentence names it, without the menu's mark.
    load("1,S123456789012345,Ann\r\n");
    ASSERT_EQ(state->replacements().size(), 1);
    EXPECT_EQ(state->replacements().at(0).field, "Student ID");
    EXPECT_EQ(state->replacements().at(0).note, "Student ID is cut to its first 12 characters.");
}


// A first row of headings that name no field (another language, another program's names) is told
// in the status line before the import, and left out; a first row of data is not mistaken for one.
TEST_F(ImportPreviewStateTest, HeadingsThatNameNoFieldAreToldAndLeftOut)
{
    const QString told = "Row 1 looks like column headings (Nr, Kennung, Vorname, Nachname), but they do not name the "
                         "fields: it is left out, and the columns are taken in their order. Choose each column's field "
                         "above the list.";
    load("Nr;Kennung;Vorname;Nachname\r\n1;S1;Anna;Lee\r\n2;S2;Bo;Chan\r\n");
    EXPECT_EQ(state->previewData().startRow(), 2);
    EXPECT_EQ(state->headerItemList().mid(1, 4), QStringList({"* Device NO.", "* Student ID", "First Name", "Last Name"}));
    EXPECT_EQ(state->statusText(), "Ready to import.\n" + told +
                                       "\nWhere the file gives none, the import stores Group NO. 1, Birthday 2000-01-01, "
                                       "Gender Male.");
    const QList<QStringList> records = state->resultData();
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records.at(0).mid(0, 4), QStringList({"1", "S1", "Anna", "Lee"}));

    // Taken back by the teacher, the row is a student, and the status line says that too.
    ASSERT_TRUE(state->setStartRow(1));
    EXPECT_TRUE(state->statusText().contains("\nRow 1 looks like column headings (Nr, Kennung, Vorname, Nachname), but "
                                             "they do not name the fields: it is imported as a student.\n"))
        << state->statusText().toStdString();
    EXPECT_TRUE(state->bHasError()) << "its keypad number is no number";
    // Removed, it is gone from the status line.
    state->removeRows({0});
    EXPECT_FALSE(state->statusText().contains("headings")) << state->statusText().toStdString();

    // Found among errors as well, after the first line.
    load("Nr,Kennung,Telefon\r\n1,S 1,0171 234\r\n2,S2,0171 235\r\n");
    EXPECT_TRUE(state->statusText().startsWith("Incorrect Field(s):* Student ID\nRow 1 looks like column headings (Nr, "
                                               "Kennung, Telefon)"))
        << state->statusText().toStdString();

    // Data: a number where the rows below have numbers, or a single cell, or no numbers to tell by.
    for (const QByteArray &data : {QByteArray("1,S1,Ann,Lee\r\n2,S2,Bo,Chan\r\n"), QByteArray("Ann,Lee,5\r\nBo,Chan,6\r\n"),
                                   QByteArray("x,,,\r\n1,S1,Ann,Lee\r\n"), QByteArray("Ann,Lee\r\nBo,Chan\r\n")}) {
        load(data);
        EXPECT_EQ(state->previewData().startRow(), 1) << data.toStdString();
        EXPECT_FALSE(state->statusText().contains("headings")) << data.toStdString();
    }
}
