#include "core/app/SystemFileUnpacker.h"
#include "support/PollixTest.h"
#include "support/ZipFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

const QString kArchive = QStringLiteral(POLLIX_BINARY_DIR "/src/Pollix");

QString makeArchive(const QString &folder, const QList<std::pair<QByteArray, QByteArray>> &entries)
{
    return makeZipArchive(folder + "/test.zip", entries);
}

// Every file the shipped archive holds, as the program's windows look for them.
QStringList firstRunFiles()
{
    return {"Enter.WAV", "Start.WAV", "Stop.WAV", "Template.xml", "template.pptx",
            "Help/User Manual of TovArvel.pdf", "Help/User Manual of TovBrevel.pdf",
            "Help/User Manual of TovCorvel.pdf", "Help/User Manual of TovDravel.pdf"};
}

void writeAt(const QString &path, const QByteArray &bytes, const QDateTime &modified = {})
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
    f.flush(); // before the date, which a later write would move
    if (modified.isValid())
        f.setFileTime(modified, QFileDevice::FileModificationTime);
}

} // namespace

class SystemFileUnpackerTest : public PollixTest
{
protected:
    QTemporaryDir scratch;
};

TEST_F(SystemFileUnpackerTest, FirstRunUnpacksTheWholeShippedFolder)
{
    const QString folder = scratch.path() + "/Pollix";
    ASSERT_EQ(SystemFileUnpacker::unZipSystemFile(kArchive, folder), SystemFileUnpacker::UnpackedAll);
    for (const QString &f : firstRunFiles())
        EXPECT_TRUE(QFileInfo(folder + "/" + f).isFile()) << f.toStdString();
    for (const char *d : {"Data", "Data/Classes", "Data/Quiz", "Data/CourseGrade"})
        EXPECT_TRUE(QFileInfo(folder + "/" + d).isDir()) << d;
    EXPECT_TRUE(readFile(folder + "/Enter.WAV").startsWith("RIFF"));
    EXPECT_TRUE(readFile(folder + "/Help/User Manual of TovDravel.pdf").startsWith("%PDF"));

    // The next start finds the template with the archive's date and leaves it alone.
    EXPECT_EQ(SystemFileUnpacker::unZipSystemFile(kArchive, folder), SystemFileUnpacker::NothingDone);
}

TEST_F(SystemFileUnpackerTest, TheTemplateIsRenewedByDateAndEveryOtherFileOnlyWhenMissing)
{
    const QString archive = makeArchive(scratch.path(), {{"Pollix/", ""},
                                                         {"Pollix/template.pptx", "NEW"},
                                                         {"Pollix/Enter.WAV", "SOUND"},
                                                         {"Pollix/Template.xml", "<Standards/>"}});
    const QString folder = scratch.path() + "/app";
    QDir().mkpath(folder);
    writeAt(folder + "/template.pptx", "OLD");
    writeAt(folder + "/Template.xml", "<Standards>mine</Standards>");

    // An outdated template is renewed; the missing sound comes; the teacher's standards stay.
    EXPECT_EQ(SystemFileUnpacker::unZipSystemFile(archive, folder), SystemFileUnpacker::AddedMissing);
    EXPECT_EQ(readFile(folder + "/template.pptx"), "NEW");
    EXPECT_EQ(QFileInfo(folder + "/template.pptx").lastModified().toString(Qt::ISODate).toStdString(), "2020-05-04T03:02:00");
    EXPECT_EQ(readFile(folder + "/Enter.WAV"), "SOUND");
    EXPECT_EQ(readFile(folder + "/Template.xml"), "<Standards>mine</Standards>");

    // Same date to the second: a teacher's edited template is kept.
    writeAt(folder + "/template.pptx", "MINE", QDateTime(QDate(2020, 5, 4), QTime(3, 2, 0)));
    EXPECT_EQ(SystemFileUnpacker::unZipSystemFile(archive, folder), SystemFileUnpacker::NothingDone);
    EXPECT_EQ(readFile(folder + "/template.pptx"), "MINE");

    // Another date, and nothing else missing: only the template is renewed.
    writeAt(folder + "/template.pptx", "MINE", QDateTime(QDate(2019, 1, 1), QTime(8, 0, 0)));
    EXPECT_EQ(SystemFileUnpacker::unZipSystemFile(archive, folder), SystemFileUnpacker::ReplacedTemplate);
    EXPECT_EQ(readFile(folder + "/template.pptx"), "NEW");
}

TEST_F(SystemFileUnpackerTest, AFolderHoldingOnlyPollixsOwnFilesGetsEveryFirstRunFile)
{
    // What a start that took the folder's lock before anything else leaves, and what a killed
    // Pollix leaves beside it: no file counts as "already unpacked".
    const QString folder = scratch.path() + "/Pollix";
    writeAt(folder + "/.pollix.lock", "4242\nschool-pc\npollix\n");
    writeAt(folder + "/.unfinished-work", "");
    writeAt(folder + "/Data/.pollix.lock", "4242\n");
    QDir().mkpath(folder + "/Data/Quiz");

    ASSERT_EQ(SystemFileUnpacker::unZipSystemFile(kArchive, folder), SystemFileUnpacker::UnpackedAll);
    for (const QString &f : firstRunFiles())
        EXPECT_TRUE(QFileInfo(folder + "/" + f).isFile()) << f.toStdString();
    EXPECT_EQ(readFile(folder + "/.pollix.lock"), "4242\nschool-pc\npollix\n");
    EXPECT_EQ(readFile(folder + "/Data/.pollix.lock"), "4242\n");
}

TEST_F(SystemFileUnpackerTest, ATeachersFolderGetsWhatItLacksAndKeepsItsOwnFilesByteForByte)
{
    const QString folder = scratch.path() + "/Pollix";
    const QDateTime longAgo(QDate(2021, 3, 1), QTime(10, 0, 0));
    writeAt(folder + "/Template.xml", "<Standards><Standard code=\"M.1\">Fractions</Standard></Standards>", longAgo);
    writeAt(folder + "/Help/User Manual of TovDravel.pdf", "%PDF the school's annotated copy", longAgo);
    writeAt(folder + "/Data/Quiz/Monday2024-09-02T09:30:00.xml", "<Session/>");
    ASSERT_EQ(SystemFileUnpacker::unZipSystemFile(kArchive, folder), SystemFileUnpacker::AddedMissing);

    for (const QString &f : firstRunFiles())
        EXPECT_TRUE(QFileInfo(folder + "/" + f).isFile()) << f.toStdString();
    EXPECT_TRUE(readFile(folder + "/Stop.WAV").startsWith("RIFF"));
    EXPECT_TRUE(readFile(folder + "/Help/User Manual of TovArvel.pdf").startsWith("%PDF"));
    EXPECT_EQ(readFile(folder + "/Template.xml"), "<Standards><Standard code=\"M.1\">Fractions</Standard></Standards>");
    EXPECT_EQ(QFileInfo(folder + "/Template.xml").lastModified(), longAgo);
    EXPECT_EQ(readFile(folder + "/Help/User Manual of TovDravel.pdf"), "%PDF the school's annotated copy");
    EXPECT_EQ(readFile(folder + "/Data/Quiz/Monday2024-09-02T09:30:00.xml"), "<Session/>");
}

TEST_F(SystemFileUnpackerTest, AnEntryThatCannotBeWrittenFailsTheStartButNotTheOthers)
{
    // A file of the teacher's where the manuals' folder belongs: it stays, the manuals cannot
    // come, and everything else is put in place all the same.
    const QString folder = scratch.path() + "/Pollix";
    writeAt(folder + "/Help", "the teacher's notes");
    EXPECT_EQ(SystemFileUnpacker::unZipSystemFile(kArchive, folder), SystemFileUnpacker::Failed);
    EXPECT_EQ(readFile(folder + "/Help"), "the teacher's notes");
    for (const char *f : {"Enter.WAV", "Start.WAV", "Stop.WAV", "Template.xml", "template.pptx"})
        EXPECT_TRUE(QFileInfo(folder + "/" + f).isFile()) << f;
}

TEST_F(SystemFileUnpackerTest, EntriesCannotLeaveTheFolder)
{
    const QString archive = makeArchive(scratch.path(), {{"Pollix/../escaped.txt", "x"}, {"Pollix//etc/abs.txt", "x"},
                                                         {"Other/file.txt", "x"}, {"Pollix/ok.txt", "fine"}});
    const QString folder = scratch.path() + "/new";
    SystemFileUnpacker::unZipSystemFile(archive, folder);
    EXPECT_FALSE(QFile::exists(scratch.path() + "/escaped.txt"));
    EXPECT_FALSE(QFile::exists("/etc/abs.txt"));
    EXPECT_FALSE(QFile::exists(folder + "/file.txt"));
    EXPECT_EQ(readFile(folder + "/ok.txt"), "fine");
}

TEST_F(SystemFileUnpackerTest, NoEntryIsWrittenThroughASymbolicLinkButTheDataFolderMayBeOne)
{
    // The manuals' folder and the template link to a folder outside, which is watched; the data
    // folder links to a share.
    const QString outside = scratch.path() + "/outside";
    writeAt(outside + "/victim.pptx", "THE TEACHER'S OWN", QDateTime(QDate(2019, 1, 1), QTime(8, 0, 0)));
    const QString share = scratch.path() + "/share";
    QDir().mkpath(share);
    const QString folder = scratch.path() + "/Pollix";
    QDir().mkpath(folder);
    ASSERT_TRUE(QFile::link(outside, folder + "/Help"));
    ASSERT_TRUE(QFile::link(outside + "/victim.pptx", folder + "/template.pptx"));
    ASSERT_TRUE(QFile::link(share, folder + "/Data"));

    EXPECT_EQ(SystemFileUnpacker::unZipSystemFile(kArchive, folder), SystemFileUnpacker::Failed);
    EXPECT_EQ(QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"victim.pptx"});
    EXPECT_EQ(readFile(outside + "/victim.pptx"), "THE TEACHER'S OWN");
    EXPECT_TRUE(QFileInfo(folder + "/template.pptx").isSymLink());
    for (const char *f : {"Enter.WAV", "Start.WAV", "Stop.WAV", "Template.xml"})
        EXPECT_TRUE(QFileInfo(folder + "/" + f).isFile()) << f;
    for (const char *d : {"Classes", "Quiz", "CourseGrade"})
        EXPECT_TRUE(QFileInfo(share + "/" + d).isDir()) << d;

    // A link below the data folder leads out of it all the same.
    QDir(share + "/Quiz").removeRecursively();
    ASSERT_TRUE(QFile::link(outside, share + "/Quiz"));
    const QString archive = makeArchive(scratch.path(), {{"Pollix/Data/Quiz/", ""}, {"Pollix/Data/Quiz/x.xml", "<x/>"}});
    EXPECT_EQ(SystemFileUnpacker::unZipSystemFile(archive, folder), SystemFileUnpacker::Failed);
    EXPECT_EQ(QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"victim.pptx"});
}

TEST_F(SystemFileUnpackerTest, MissingOrDamagedArchiveLeavesTheFolderAsItIs)
{
    const QString folder = scratch.path() + "/none";
    EXPECT_EQ(SystemFileUnpacker::unZipSystemFile(scratch.path() + "/nothing.zip", folder), SystemFileUnpacker::Failed);
    QFile junk(scratch.path() + "/junk.zip");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("PK\x03\x04 not really");
    junk.close();
    EXPECT_EQ(SystemFileUnpacker::unZipSystemFile(junk.fileName(), folder), SystemFileUnpacker::Failed);
    EXPECT_TRUE(QDir(folder).isEmpty());
}

TEST_F(SystemFileUnpackerTest, NoDataFolderIsMadeWhileARestoresReplacementOfItIsUnfinished)
{
    // The old data aside, the restored ones not yet in place: the swap's next try puts them there.
    const QString folder = scratch.path() + "/Pollix";
    writeAt(folder + "/Data.old-dEf456/Subjects.xml", "<Subjects/>");
    writeAt(folder + "/Data.restore-aBc123/Subjects.xml", "<Subjects/>");
    writeAt(folder + "/.Data.swap-0000abcd.journal", "Pollix folder swap 1\nData\nData.restore-aBc123\nData.old-dEf456\nend\n");
    EXPECT_EQ(SystemFileUnpacker::unZipSystemFile(kArchive, folder), SystemFileUnpacker::UnpackedAll);
    EXPECT_FALSE(QFileInfo::exists(folder + "/Data"));
    for (const QString &f : firstRunFiles())
        EXPECT_TRUE(QFileInfo(folder + "/" + f).isFile()) << f.toStdString();

    // Once it is finished, a start makes the folders the restored data lack.
    QFile::remove(folder + "/.Data.swap-0000abcd.journal");
    ASSERT_TRUE(QDir(folder).rename("Data.restore-aBc123", "Data"));
    QDir(folder + "/Data.old-dEf456").removeRecursively();
    EXPECT_EQ(SystemFileUnpacker::unZipSystemFile(kArchive, folder), SystemFileUnpacker::NothingDone);
    for (const char *d : {"Data/Classes", "Data/Quiz", "Data/CourseGrade"})
        EXPECT_TRUE(QFileInfo(folder + "/" + d).isDir()) << d;
}
