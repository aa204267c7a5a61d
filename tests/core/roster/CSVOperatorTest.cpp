#include "core/roster/CSVOperator.h"
#include "platform/AtomicFile.h"
#include "support/OrdinaryUser.h"
#include "support/PollixTest.h"
#include "support/SmallDisk.h"

#include <QDir>

using CSVOperatorTest = PollixTest;

TEST_F(CSVOperatorTest, SettingCellsRespectsColumnLimitAndGrowsRows)
{
    CSVOperator grid = CSVOperator::CSVWithColumns(3);
    grid.setString("x", 1, 4);
    EXPECT_EQ(grid.numOfRows(), 0);
    grid.setString("y", 5, 2);
    EXPECT_EQ(grid.numOfRows(), 5);
    EXPECT_EQ(grid.stringAtRow(1, 1), "");
    EXPECT_EQ(grid.stringAtRow(5, 2), "y");
    EXPECT_EQ(grid.stringAtRow(5, 3), "");
    EXPECT_EQ(grid.stringAtRow(9, 1), "");
    grid.setString("a,b", 1, 1);
    EXPECT_EQ(grid.stringAtRow(1, 1), "a b");
    grid.setString(QString(), 1, 1);
    EXPECT_EQ(grid.stringAtRow(1, 1), "a b");
}

TEST_F(CSVOperatorTest, WriterQuotesOnlyWhereNeededAndPadsRows)
{
    EXPECT_EQ(CSVOperator::encodeStringToCSV(" x"), "\" x\"");
    EXPECT_EQ(CSVOperator::encodeStringToCSV("\"hi\""), "\"\"\"hi\"\"\"");
    EXPECT_EQ(CSVOperator::encodeStringToCSV("a\nb"), "\"a\nb\"");
    EXPECT_EQ(CSVOperator::encodeStringToCSV("a\rb"), "a\rb");
    EXPECT_EQ(CSVOperator::encodeStringToCSV("\tx"), "\tx");
    EXPECT_EQ(CSVOperator::encodeStringToCSV(""), "");

    CSVOperator grid = CSVOperator::CSVWithColumns(3);
    grid.setString("Name", 1, 1);
    grid.setString("Lee", 2, 2);
    const QString path = home() + "out.csv";
    ASSERT_TRUE(grid.saveCSVTo(path));
    EXPECT_EQ(readFile(path), QByteArray("Name,,\r\n,Lee,\r\n"));

    ASSERT_TRUE(CSVOperator::CSVWithColumns(2).saveCSVTo(path));
    EXPECT_EQ(readFile(path).size(), 0) << "a grid with no rows writes an empty file over the old one";
}

TEST_F(CSVOperatorTest, WriteFailuresKeepTheOldFile)
{
    QString why;
    QDir().mkpath(home() + "folder.csv");
    EXPECT_FALSE(CSVOperator::CSVWithColumns(1).saveCSVTo(home() + "folder.csv", &why));
    EXPECT_EQ(why, "Create file failed");

    const QString path = writeFile("keep.csv", "old,file\r\n");
    AtomicFile::setFailureHook([](const QString &) { return true; });
    CSVOperator grid = CSVOperator::CSVWithColumns(1);
    grid.setString("new", 1, 1);
    EXPECT_FALSE(grid.saveCSVTo(path, &why));
    EXPECT_EQ(readFile(path), QByteArray("old,file\r\n"));
}

// Each failure of a real filesystem gets the message for its cause, and the system's reason.
TEST_F(CSVOperatorTest, WriteFailureMessagesFollowTheirCause)
{
    POLLIX_ON_SMALL_DISK(.kilobytes = 128, .inodes = 8);
    CSVOperator grid = CSVOperator::CSVWithColumns(1);
    grid.setString("x", 1, 1);
    QString text, why;
    EXPECT_FALSE(grid.saveCSVTo(SmallDisk::folder() + "/no/such/folder/a.csv", &text, &why));
    EXPECT_EQ(text, "Create file failed");

    const QString path = SmallDisk::folder() + "/a.csv";
    ASSERT_TRUE(grid.saveCSVTo(path));
    ASSERT_TRUE(SmallDisk::fill());
    CSVOperator big = CSVOperator::CSVWithColumns(1);
    big.setString(QString(5000, 'y'), 1, 1);
    EXPECT_FALSE(big.saveCSVTo(path, &text, &why));
    EXPECT_EQ(text, "File is not writable.");
    EXPECT_TRUE(why.contains("No space left", Qt::CaseInsensitive)) << why.toStdString();
    EXPECT_EQ(readFile(path), QByteArray("x\r\n"));

    // Every inode taken: no file can be opened at all.
    for (int i = 0; i < 16; ++i)
        if (!QFile(SmallDisk::folder() + QStringLiteral("/i%1").arg(i)).open(QIODevice::WriteOnly))
            break;
    EXPECT_FALSE(grid.saveCSVTo(path, &text, &why));
    EXPECT_EQ(text, "Get file handle failed.");
    EXPECT_EQ(readFile(path), QByteArray("x\r\n"));
}

TEST_F(CSVOperatorTest, WriteFailureMessagesForPermissions)
{
    POLLIX_AS_ORDINARY_USER();
    CSVOperator grid = CSVOperator::CSVWithColumns(1);
    grid.setString("new", 1, 1);
    const QString folder = home() + "Exports";
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString kept = folder + "/kept.csv";
    ASSERT_TRUE(CSVOperator::CSVWithColumns(1).saveCSVTo(kept));
    QString text, why;

    ASSERT_TRUE(QFile::setPermissions(kept, QFile::ReadOwner));
    EXPECT_FALSE(grid.saveCSVTo(kept, &text, &why));
    EXPECT_EQ(text, "File is not writable.");

    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    EXPECT_FALSE(grid.saveCSVTo(folder + "/new.csv", &text, &why));
    EXPECT_EQ(text, "Create file failed");
    EXPECT_TRUE(why.contains("Permission denied", Qt::CaseInsensitive)) << why.toStdString();
    EXPECT_FALSE(QFile::exists(folder + "/new.csv"));
}

TEST_F(CSVOperatorTest, RoundTripsQuotesBlanksCommasAndNonAscii)
{
    CSVOperator grid = CSVOperator::CSVWithColumns(4);
    grid.setString(" x", 1, 1);
    grid.setString("\"hi\"", 1, 2);
    grid.setString("Zoë Ångström", 1, 3);
    grid.setString("two\nlines", 1, 4);
    const QString path = home() + "rt.csv";
    ASSERT_TRUE(grid.saveCSVTo(path));

    CSVOperator back;
    ASSERT_TRUE(back.loadCSVFrom(path));
    ASSERT_EQ(back.numOfRows(), 2) << "a line feed inside a field starts a new row";
    EXPECT_EQ(back.stringAtRow(1, 1), "x");
    EXPECT_EQ(back.stringAtRow(1, 2), "hi");
    EXPECT_EQ(back.stringAtRow(1, 3), "Zoë Ångström");
    EXPECT_EQ(back.stringAtRow(1, 4), "two");
    EXPECT_EQ(back.stringAtRow(2, 1), "lines");
}

TEST_F(CSVOperatorTest, ReaderKeepsQuotedCommas)
{
    CSVOperator grid;
    ASSERT_TRUE(grid.loadCSVFrom(writeFile("q.csv", "\"Lee, Ann\",7,\"say \"\"hi\"\", then go\"\r\n")));
    ASSERT_EQ(grid.numOfRows(), 1);
    EXPECT_EQ(grid.numOfColumns(), 3);
    EXPECT_EQ(grid.stringAtRow(1, 1), "Lee, Ann");
    EXPECT_EQ(grid.stringAtRow(1, 2), "7");
    EXPECT_EQ(grid.stringAtRow(1, 3), "say hi, then go");
}

namespace {
QList<QString> capturedLog;
void captureLog(QtMsgType, const QMessageLogContext &, const QString &text)
{
    capturedLog << text;
}
} // namespace

TEST_F(CSVOperatorTest, OneStrayByteMarksItsOwnLineAndNoEncodingIsGuessed)
{
    // A UTF-8 roster in which one line carries a Latin-1 byte: every UTF-8 name stays as it is,
    // and only that line is marked, with U+FFFD where its byte was.
    const QByteArray bytes = QByteArray("\xEF\xBB\xBF") + QString::fromUtf8("José Núñez,1\r\n").toUtf8()
                             + QByteArray("M\xfcller,2\r\n") + QString::fromUtf8("Zoë,3\r\n").toUtf8();
    capturedLog.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureLog);
    CSVOperator grid;
    const bool read = grid.loadCSVFrom(writeFile("mixed.csv", bytes));
    qInstallMessageHandler(previous);
    ASSERT_TRUE(read);
    ASSERT_EQ(grid.numOfRows(), 3);
    EXPECT_EQ(grid.stringAtRow(1, 1), QString::fromUtf8("José Núñez"));
    EXPECT_EQ(grid.stringAtRow(2, 1), QStringLiteral("M") + QChar::ReplacementCharacter + QStringLiteral("ller"));
    EXPECT_EQ(grid.stringAtRow(3, 1), QString::fromUtf8("Zoë"));
    EXPECT_EQ(grid.undecodedRows(), QList<int>{2});
    for (const QString &line : capturedLog)
        EXPECT_FALSE(line.contains(QStringLiteral("ller")) || line.contains(QStringLiteral("Zo"))) << "names stay out of the log";

    // UTF-16 with its byte-order mark, either byte order.
    const QString names = QString::fromUtf8("Łucja,Ørsted\r\n李,2\r\n");
    QByteArray le("\xFF\xFE"), be("\xFE\xFF");
    for (QChar c : names) {
        le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    }
    for (const QByteArray &file : {le, be}) {
        ASSERT_TRUE(grid.loadCSVFrom(writeFile("utf16.csv", file)));
        ASSERT_EQ(grid.numOfRows(), 2);
        EXPECT_EQ(grid.stringAtRow(1, 2), QString::fromUtf8("Ørsted"));
        EXPECT_EQ(grid.stringAtRow(2, 1), QString::fromUtf8("李"));
        EXPECT_TRUE(grid.undecodedRows().isEmpty());
    }
    // Without its mark UTF-16 is told by the zero bytes of its characters, and read the same; NUL
    // bytes that no UTF-16 text holds are no text.
    for (const QByteArray &file : {le.mid(2), be.mid(2)}) {
        ASSERT_TRUE(grid.loadCSVFrom(writeFile("bare16.csv", file)));
        ASSERT_EQ(grid.numOfRows(), 2);
        EXPECT_EQ(grid.stringAtRow(1, 2), QString::fromUtf8("Ørsted"));
        EXPECT_EQ(grid.stringAtRow(2, 1), QString::fromUtf8("李"));
    }
    QString why;
    EXPECT_FALSE(grid.loadCSVFrom(writeFile("nul.csv", QByteArray("a,b\r\nc\0,d\r\n", 11)), &why));
    EXPECT_EQ(why, "File is not a text file.");
}

TEST_F(CSVOperatorTest, FilesPastTheLimitsAreRefusedWithTheLimit)
{
    CSVOperator grid = CSVOperator::CSVWithColumns(1);
    grid.setString("keep", 1, 1);
    QString why, reason;
    const QByteArray wide = QByteArray(CSVOperator::kMostFieldsPerRow, ',') + "\r\n";
    EXPECT_FALSE(grid.loadCSVFrom(writeFile("wide.csv", "a,b\r\n" + wide), &why, &reason));
    EXPECT_EQ(why, "File is not a text file.");
    EXPECT_EQ(reason, "row 2 has more than 256 fields");
    // One field fewer is a row like any other.
    ASSERT_TRUE(grid.loadCSVFrom(writeFile("edge.csv", QByteArray(CSVOperator::kMostFieldsPerRow - 1, ','))));
    EXPECT_EQ(grid.numOfColumns(), CSVOperator::kMostFieldsPerRow);

    QByteArray tall;
    for (int i = 0; i <= CSVOperator::kMostRows; ++i)
        tall += "x\n";
    EXPECT_FALSE(grid.loadCSVFrom(writeFile("tall.csv", tall), &why, &reason));
    EXPECT_EQ(reason, "more than 10000 rows");
    EXPECT_FALSE(grid.loadCSVFrom(writeFile("big.csv", QByteArray(CSVOperator::kMostFileBytes + 1, 'x')), &why, &reason));
    EXPECT_TRUE(reason.endsWith("is larger than 16 MB")) << reason.toStdString();
    EXPECT_EQ(grid.numOfRows(), 1) << "a refused file leaves the last good read";
}

TEST_F(CSVOperatorTest, ReaderLineRules)
{
    CSVOperator grid;
    ASSERT_TRUE(grid.loadCSVFrom(writeFile("l.csv", "1,2,3\n\n4,5\r\n")));
    EXPECT_EQ(grid.numOfRows(), 2);
    EXPECT_EQ(grid.numOfColumns(), 3);
    EXPECT_EQ(grid.stringAtRow(2, 3), "");

    // A line of blanks is a row of one empty cell; the tab of the next line makes the file one
    // of tabs, while between commas a tab stands for a semicolon.
    ASSERT_TRUE(grid.loadCSVFrom(writeFile("b.csv", "   \ra\tb\r")));
    ASSERT_EQ(grid.numOfRows(), 2);
    EXPECT_EQ(grid.rows()[0], QStringList{""});
    EXPECT_EQ(grid.rows()[1], QStringList({"a", "b"}));
    ASSERT_TRUE(grid.loadCSVFrom(writeFile("c.csv", "x,a\tb\r")));
    EXPECT_EQ(grid.rows()[0], QStringList({"x", "a;b"}));
}

TEST_F(CSVOperatorTest, SemicolonsAndTabsAreReadAsTheHeaderLineSeparatesItsFields)
{
    using Separator = CSVOperator::Separator;
    CSVOperator grid;
    // A title line without any separator, then the header line, as spreadsheets set to French
    // write them: commas are text there, and a quoted semicolon is text too.
    ASSERT_TRUE(grid.loadCSVFrom(writeFile("fr.csv", "Classe 7A\r\nID;Nom;Adresse\r\n"
                                                     "S1;\"Dupont; Marie\";12, rue Victor Hugo\r\n")));
    EXPECT_EQ(grid.separatorRead(), Separator::Semicolon);
    EXPECT_EQ(grid.numOfColumns(), 3);
    EXPECT_EQ(grid.rows().at(2), QStringList({"S1", "Dupont; Marie", "12, rue Victor Hugo"}));

    ASSERT_TRUE(grid.loadCSVFrom(writeFile("tab.txt", "ID\tName\tNote\r\nS1\t\"Lee, Ann\"\t\"a;b\"\r\n")));
    EXPECT_EQ(grid.separatorRead(), Separator::Tab);
    EXPECT_EQ(grid.rows().at(1), QStringList({"S1", "Lee, Ann", "a;b"}));

    // Separators inside quotes do not count; on a tie commas win, as with none at all.
    ASSERT_TRUE(grid.loadCSVFrom(writeFile("q.csv", "\"Name;Nick;Alias\",ID\r\nAnn;A,1\r\n")));
    EXPECT_EQ(grid.separatorRead(), Separator::Comma);
    EXPECT_EQ(grid.rows().at(1), QStringList({"Ann;A", "1"}));
    ASSERT_TRUE(grid.loadCSVFrom(writeFile("tie.csv", "a;b,c\r\n")));
    EXPECT_EQ(grid.separatorRead(), Separator::Comma);
    ASSERT_TRUE(grid.loadCSVFrom(writeFile("one.csv", "Ann\r\nBo\r\n")));
    EXPECT_EQ(grid.separatorRead(), Separator::Comma);

    // A separator given wins over the header line; the field limit counts that separator.
    grid.setSeparator(Separator::Comma);
    ASSERT_TRUE(grid.loadCSVFrom(writeFile("fr.csv", "ID;Nom\r\nS1;Marie\r\n")));
    EXPECT_EQ(grid.rows().at(1), QStringList{"S1;Marie"});
    grid.setSeparator(Separator::Semicolon);
    QString why, reason;
    EXPECT_FALSE(grid.loadCSVFrom(writeFile("wide.csv", QByteArray(CSVOperator::kMostFieldsPerRow, ';')), &why, &reason));
    EXPECT_EQ(reason, "row 1 has more than 256 fields");

    // The writer keeps to commas whatever it read.
    ASSERT_TRUE(grid.loadCSVFrom(writeFile("fr.csv", "ID;Nom\r\n")));
    CSVOperator out = CSVOperator::CSVWithColumns(2);
    out.setString("a;b", 1, 1);
    out.setString("c\td", 1, 2);
    EXPECT_EQ(out.csvData(), QByteArray("a;b,c\td\r\n"));
}

TEST_F(CSVOperatorTest, FailedReadLeavesGridAsItWas)
{
    CSVOperator grid = CSVOperator::CSVWithColumns(2);
    grid.setString("keep", 1, 1);
    QString why;
    EXPECT_FALSE(grid.loadCSVFrom(home() + "missing.csv", &why));
    EXPECT_EQ(why, "File is not exist.");
    QDir().mkpath(home() + "dir.csv");
    EXPECT_FALSE(grid.loadCSVFrom(home() + "dir.csv", &why));
    EXPECT_EQ(grid.stringAtRow(1, 1), "keep");
    EXPECT_EQ(grid.numOfColumns(), 2);
}
