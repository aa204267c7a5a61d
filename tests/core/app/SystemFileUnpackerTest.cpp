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
    for (const char *f : {"Enter.WAV", "Start.WAV", "Stop.WAV", "Template.xml", "template.pptx",
                          "Help/User Manual of TovArvel.pdf", "Help/User Manual of TovBrevel.pdf",
                          "Help/User Manual of TovCorvel.pdf", "Help/User Manual of TovDravel.pdf"})
        EXPECT_TRUE(QFileInfo(folder + "/" + f).isFile()) << f;
    for (const char *d : {"Data", "Data/Classes", "Data/Quiz", "Data/CourseGrade"})
        EXPECT_TRUE(QFileInfo(folder + "/" + d).isDir()) << d;
    EXPECT_TRUE(readFile(folder + "/Enter.WAV").startsWith("RIFF"));
    EXPECT_TRUE(readFile(folder + "/Help/User Manual of TovDravel.pdf").startsWith("%PDF"));

    // The next start finds the template with the archive's date and leaves it alone.
    EXPECT_EQ(SystemFileUnpacker::unZipSystemFile(kArchive, folder), SystemFileUnpacker::NothingDone);
}

TEST_F(SystemFileUnpackerTest, LaterStartsReplaceOnlyAnOutdatedTemplate)
{
    const QString archive = makeArchive(scratch.path(), {{"Pollix/", ""}, {"Pollix/template.pptx", "NEW"}, {"Pollix/Enter.WAV", "SOUND"}});
    const QString folder = scratch.path() + "/app";
    QDir().mkpath(folder);
    {
        QFile f(folder + "/template.pptx");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("OLD");
    }
    EXPECT_EQ(SystemFileUnpacker::unZipSystemFile(archive, folder), SystemFileUnpacker::ReplacedTemplate);
    EXPECT_EQ(readFile(folder + "/template.pptx"), "NEW");
    EXPECT_FALSE(QFile::exists(folder + "/Enter.WAV"));
    EXPECT_EQ(QFileInfo(folder + "/template.pptx").lastModified().toString(Qt::ISODate).toStdString(), "2020-05-04T03:02:00");

    // Same date to the second: a teacher's edited template is kept.
    {
        QFile f(folder + "/template.pptx");
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.write("MINE");
        f.close();
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(QDateTime(QDate(2020, 5, 4), QTime(3, 2, 0)), QFileDevice::FileModificationTime);
    }
    EXPECT_EQ(SystemFileUnpacker::unZipSystemFile(archive, folder), SystemFileUnpacker::NothingDone);
    EXPECT_EQ(readFile(folder + "/template.pptx"), "MINE");
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
