#include "core/app/BackupWriter.h"
#include "core/app/ZipArchive.h"
#include "core/app/zipHelper.h"
#include "core/store/DataFolderLayout.h"
#include "support/OrdinaryUser.h"
#include "support/PollixTest.h"
#include "support/SmallDisk.h"
#include "support/ZipFixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <QRandomGenerator>

#include <algorithm>
#include <memory>

#include <cerrno>

#include <malloc.h>
#include <sys/stat.h>

namespace {

using Snapshot = QMap<QString, QByteArray>;

const QByteArray kAccounts = "<ArrayOfTeacher><Teacher><UserName>ann</UserName><Password>x</Password></Teacher></ArrayOfTeacher>";

// Every file below folder with its bytes.
Snapshot snapshot(const QString &folder)
{
    Snapshot out;
    const QDir root(folder);
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        QFile f(it.filePath());
        f.open(QIODevice::ReadOnly);
        out.insert(root.relativeFilePath(it.filePath()), f.readAll());
    }
    return out;
}

QStringList entryNames(const QString &archive)
{
    ZipArchive zip;
    QStringList out;
    if (!zip.UnzipOpenFile(archive))
        return out;
    for (const ZipArchive::Entry &e : zip.entries().value_or(QList<ZipArchive::Entry>()))
        out << e.name;
    return out;
}

} // namespace

class ZipBackupTest : public PollixTest
{
protected:
    void TearDown() override
    {
        DataFolderLayout::setFileLimit(0);
        PollixTest::TearDown();
    }
    QString data() const { return home() + "Data/"; }
    QString zipPath(const QString &name = "backup.zip") const { return scratch.path() + "/" + name; }

    // A data folder as a teacher's might be, each file with a known date.
    void fillDataFolder()
    {
        const QDateTime date(QDate(2012, 3, 23), QTime(14, 7, 8));
        for (const auto &[path, bytes] : QList<std::pair<QString, QByteArray>>{
                 {"Data/Quiz/Quiz1 2012-03-23T14:07:09.xml", "<Session><ID>a</ID></Session>"},
                 {"Data/Quiz/old/Quiz0.xml", "<Session><ID>b</ID></Session>"},
                 {"Data/CourseGrade/Grades.xml", "<Session><ID>c</ID><TotalMark>100</TotalMark></Session>"},
                 {"Data/Classes/Class A.xml", "<ClassRoom><ClassName>A</ClassName><Students/></ClassRoom>"},
                 {"Data/Classes/Data Class.xml", "<ClassRoom><ClassName>Data</ClassName><Students/></ClassRoom>"},
                 {"Data/UserList.xml", kAccounts},
                 {"Data/StudentRoster.xml", QByteArray("<ClassRoom><Students>") + QByteArray(20000, 'x') + "</Students></ClassRoom>"},
                 {"Data/notes.txt", "not a data file"}}) {
            const QString written = writeFile(path, bytes);
            QFile f(written);
            f.open(QIODevice::ReadWrite);
            f.setFileTime(date, QFileDevice::FileModificationTime);
        }
    }

    // The restore failed, said why, and left the data folder and its surroundings as they were.
    void expectRefused(const QString &archive, const Snapshot &before, const char *label)
    {
        QString why;
        EXPECT_FALSE(zipHelper().recoverFileFrom(archive, &why)) << label;
        EXPECT_FALSE(why.isEmpty()) << label;
        EXPECT_EQ(snapshot(data()), before) << label;
        EXPECT_EQ(QDir(home()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{"Data"})
            << label << ": nothing may be left beside the data folder";
    }

    QTemporaryDir scratch;
};

TEST_F(ZipBackupTest, BackupNamesEachFileBelowTheDataFolderAndStoresSubfolderFilesTwice)
{
    writeFile("Data/Quiz/s.xml", "<Session/>");
    writeFile("Data/Classes/Data c.xml", "<ClassRoom><Students/></ClassRoom>");
    writeFile("Data/UserList.xml", kAccounts);
    writeFile("Data/readme.txt", "left out");
    QString why;
    ASSERT_TRUE(zipHelper().backupFilTo(zipPath(), &why)) << why.toStdString();

    const QStringList names = entryNames(zipPath());
    ASSERT_EQ(names.size(), 5);
    EXPECT_EQ(names.mid(0, 2), (QStringList{"/Quiz/s.xml", "/Classes/Data c.xml"}));
    // The data folder's own pass, in its listing's order.
    QStringList second = names.mid(2);
    second.sort();
    EXPECT_EQ(second, (QStringList{"//Classes/Data c.xml", "//Quiz/s.xml", "//UserList.xml"}));
}

// The files of the session, points-only and class folders go into a backup twice, yet count once
// against the limit, in the refusal's words and in the restore's count alike.
// A data folder holding no data file gives no backup, which a restore would refuse; an empty
// archive (all such a backup once wrote) is refused as what it is, changing nothing.
TEST_F(ZipBackupTest, NoDataFileMakesNoBackupAndAnEmptyArchiveIsRefusedAsHoldingNone)
{
    writeFile("Data/notes.txt", "not a data file");
    ASSERT_TRUE(QDir().mkpath(data() + "Quiz"));
    QString why;
    EXPECT_FALSE(zipHelper().backupFilTo(zipPath(), &why));
    EXPECT_TRUE(why.contains("holds no data files") && why.contains("nothing to back up")) << why.toStdString();
    EXPECT_EQ(zipHelper::nothingToBackUp(), why);
    EXPECT_TRUE(QDir(scratch.path()).isEmpty()) << "no archive, no part file";

    {
        ZipArchive zip;
        ASSERT_TRUE(zip.CreateZipFile2(zipPath("empty.zip")));
        ASSERT_TRUE(zip.CloseZipFile2());
    }
    ASSERT_EQ(QFileInfo(zipPath("empty.zip")).size(), 22);
    EXPECT_FALSE(zipHelper::checkBackup(zipPath("empty.zip"), &why));
    EXPECT_EQ(why, "empty.zip holds no data files: it is an empty zip archive.");
    expectRefused(zipPath("empty.zip"), snapshot(data()), "an empty archive");
}

TEST_F(ZipBackupTest, TheFileLimitCountsEachDataFileOnce)
{
    fillDataFolder(); // 7 data files, 5 of them in those folders: 12 entries
    DataFolderLayout::setFileLimit(7);
    QString why;
    ASSERT_TRUE(zipHelper().backupFilTo(zipPath(), &why)) << why.toStdString();
    EXPECT_EQ(entryNames(zipPath()).size(), 12);
    EXPECT_TRUE(zipHelper::checkBackup(zipPath(), &why)) << why.toStdString();

    writeFile("Data/Quiz/Quiz2.xml", "<Session><ID>new</ID></Session>");
    EXPECT_FALSE(zipHelper().backupFilTo(zipPath("eight.zip"), &why));
    EXPECT_TRUE(why.contains("in 8 files") && why.contains(", 7 files)")) << why.toStdString();
    EXPECT_FALSE(QFileInfo::exists(zipPath("eight.zip")));

    DataFolderLayout::setFileLimit(8);
    ASSERT_TRUE(zipHelper().backupFilTo(zipPath("eight.zip"), &why)) << why.toStdString();
    DataFolderLayout::setFileLimit(7);
    EXPECT_FALSE(zipHelper::checkBackup(zipPath("eight.zip"), &why));
    EXPECT_TRUE(why.contains("it holds 8 files, more than the 7")) << why.toStdString();
}

TEST_F(ZipBackupTest, RestoreReplacesTheDataFilesByTheBackupsFileByFile)
{
    fillDataFolder();
    const Snapshot original = snapshot(data());
    QList<std::pair<int, int>> steps;
    ASSERT_TRUE(zipHelper().backupFilTo(zipPath(), nullptr, [&](int done, int total) { steps << std::pair{done, total}; }));
    ASSERT_FALSE(steps.isEmpty());
    EXPECT_EQ(steps.last().first, steps.last().second);

    // After the backup the teacher changes, deletes and adds files.
    writeFile("Data/Classes/Class A.xml", "<ClassRoom><Students>changed</Students></ClassRoom>");
    QFile::remove(data() + "UserList.xml");
    writeFile("Data/Quiz/Quiz2.xml", "<Session><ID>new</ID></Session>");
    writeFile("Data/notes.txt", "notes written since");

    QString why;
    ASSERT_TRUE(zipHelper().recoverFileFrom(zipPath(), &why)) << why.toStdString();
    Snapshot expected = original;
    expected["notes.txt"] = "notes written since"; // not a data file: the restore leaves it
    EXPECT_EQ(snapshot(data()), expected);
    EXPECT_EQ(QFileInfo(data() + "Quiz/Quiz1 2012-03-23T14:07:09.xml").lastModified(),
              QDateTime(QDate(2012, 3, 23), QTime(14, 7, 8)));
    for (const char *sub : {"Quiz", "CourseGrade", "Classes"})
        EXPECT_TRUE(QFileInfo(data() + sub).isDir()) << sub;
    EXPECT_EQ(QDir(home()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{"Data"});
}

TEST_F(ZipBackupTest, DamagedWrongOrHostileArchivesChangeNothing)
{
    fillDataFolder();
    ASSERT_TRUE(zipHelper().backupFilTo(zipPath()));
    const QByteArray good = readFile(zipPath());
    const Snapshot before = snapshot(data());

    const auto file = [&](const QString &name, const QByteArray &bytes) {
        QFile f(zipPath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return zipPath(name);
    };
    QByteArray flipped = good;
    // Inside the first entry's compressed data, past its 30-byte header and name.
    for (int i = 60; i < 70; ++i)
        flipped[i] = char(flipped[i] ^ 0x5a);
    const QByteArray session = "<Session><ID>z</ID></Session>";

    expectRefused(file("truncated.zip", good.left(good.size() / 2)), before, "truncated");
    expectRefused(file("tail-cut.zip", good.left(good.size() - 10)), before, "end record cut");
    expectRefused(file("flipped.zip", flipped), before, "damaged data");
    expectRefused(file("text.zip", "PK not really"), before, "not a zip");
    expectRefused(file("zero.zip", ""), before, "empty file");
    expectRefused(zipPath("missing.zip"), before, "missing");
    expectRefused(makeZipArchive(zipPath("empty.zip"), {}), before, "no entries");
    expectRefused(makeZipArchive(zipPath("folders.zip"), {{"/Quiz/", ""}}), before, "folders only");
    expectRefused(makeZipArchive(zipPath("up.zip"), {{"/Quiz/a.xml", session}, {"../../escaped.xml", session}}),
                  before, "../ entry");
    expectRefused(makeZipArchive(zipPath("up2.zip"), {{"//Quiz/../../../escaped.xml", session}}), before, "inner ..");
    expectRefused(makeZipArchive(zipPath("abs.zip"), {{"/Quiz/a.xml", session}, {"/etc/cron.d/job", "x"}}), before,
                  "absolute path");
    expectRefused(makeZipArchive(zipPath("abs2.zip"), {{"/home/ann/.local/share/Pollix/Data/Quiz/a.xml", session}}),
                  before, "absolute path of another machine");
    expectRefused(makeZipArchive(zipPath("drive.zip"), {{"C:\\Pollix\\Data\\UserList.xml", session}}), before,
                  "drive letter");
    expectRefused(makeZipArchive(zipPath("photos.zip"), {{"Holiday/beach.jpg", "JFIF"}, {"Holiday/list.xml", "<a/>"}}),
                  before, "someone else's archive");
    EXPECT_FALSE(QFileInfo::exists(home() + "escaped.xml"));
    EXPECT_FALSE(QFileInfo::exists("/etc/cron.d/job"));
}

TEST_F(ZipBackupTest, ADataFolderReachedThroughALinkIsReplacedWhereItLies)
{
    const QString real = scratch.path() + "/elsewhere/Data";
    QDir().mkpath(real);
    ASSERT_TRUE(QFile::link(real, home() + "Data"));
    fillDataFolder();
    const Snapshot before = snapshot(real);
    ASSERT_TRUE(zipHelper().backupFilTo(zipPath()));
    writeFile("Data/Quiz/later.xml", "<Session/>");
    QString why;
    ASSERT_TRUE(zipHelper().recoverFileFrom(zipPath(), &why)) << why.toStdString();
    EXPECT_TRUE(QFileInfo(home() + "Data").isSymLink());
    EXPECT_EQ(snapshot(real), before);
    EXPECT_EQ(QDir(scratch.path() + "/elsewhere").entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Data"});
}

TEST_F(ZipBackupTest, BackslashNamesAndTheDoubleSlashFormLandInTheSamePlaces)
{
    const QByteArray session = "<Session><ID>w</ID></Session>";
    const QByteArray classFile = "<ClassRoom><Students/></ClassRoom>";
    makeZipArchive(zipPath(), {{"\\Quiz\\w.xml", session}, {"//Classes/c.xml", classFile}, {"\\\\UserList.xml", kAccounts}});
    QString why;
    ASSERT_TRUE(zipHelper().recoverFileFrom(zipPath(), &why)) << why.toStdString();
    EXPECT_EQ(snapshot(data()), (Snapshot{{"Quiz/w.xml", session}, {"Classes/c.xml", classFile}, {"UserList.xml", kAccounts}}));
}

TEST_F(ZipBackupTest, ABackupThatCannotReadAFileNamesItAndKeepsThePreviousBackup)
{
    // As an ordinary user, whom a file's permissions bind.
    POLLIX_AS_ORDINARY_USER();
    fillDataFolder();
    const QString locked = data() + "Classes/Class A.xml";
    QFile::setPermissions(locked, QFileDevice::Permissions());
    {
        QFile previous(zipPath());
        previous.open(QIODevice::WriteOnly);
        previous.write("previous backup");
    }
    QString why;
    EXPECT_FALSE(zipHelper().backupFilTo(zipPath(), &why));
    EXPECT_TRUE(why.contains(locked)) << why.toStdString();
    EXPECT_EQ(readFile(zipPath()), "previous backup");
    EXPECT_EQ(QDir(scratch.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"backup.zip"}) << "no partial archive";

    EXPECT_FALSE(zipHelper().backupFilTo(scratch.path() + "/no such folder/backup.zip", &why));
    EXPECT_FALSE(why.isEmpty());
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_TRUE(zipHelper().backupFilTo(zipPath(), &why)) << why.toStdString();
    EXPECT_EQ(entryNames(zipPath()).size(), 12) << "five files of the three folders twice, two of the data folder once";
}

// A folder that takes no new file refuses the backup in the words of that folder, the one the
// teacher chose, with the system's reason and the advice to choose another; the part file Pollix
// writes first is not named, and nothing is left there. A folder this account may not write, and
// the disk's other refusals as the disk gives them (injected).
TEST_F(ZipBackupTest, AFolderThatTakesNoFileIsNamedWithTheAdviceToChooseAnother)
{
    POLLIX_AS_ORDINARY_USER();
    fillDataFolder();
    const QString locked = zipPath("locked");
    ASSERT_TRUE(QDir().mkpath(locked));
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
    const auto unhook = qScopeGuard([] { BackupWriter::setPartRefusalHook({}); });
    const struct
    {
        int injected;
        const char *reason;
    } cases[] = {{0, "Permission denied"}, {EROFS, "Read-only file system"}, {ENOSPC, "No space left on device"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reason);
        BackupWriter::setPartRefusalHook([code = c.injected](const QString &) { return code; });
        QString why;
        bool otherFolder = false;
        EXPECT_FALSE(zipHelper().backupFilTo(locked + "/bk.zip", &why, {}, &otherFolder));
        EXPECT_EQ(why, QStringLiteral("bk.zip cannot be saved in the folder %1: %2. Choose another folder for the backup.")
                           .arg(QDir::toNativeSeparators(locked), c.reason));
        EXPECT_TRUE(otherFolder);
        EXPECT_TRUE(QDir(locked).isEmpty());
    }
    // A folder that is not there (removed after the panel closed) takes no file either: it is
    // said so, not as the system's bare error, and another folder may take the backup.
    BackupWriter::setPartRefusalHook({});
    QString why;
    bool otherFolder = false;
    const QString gone = zipPath("no such folder");
    EXPECT_FALSE(zipHelper().backupFilTo(gone + "/bk.zip", &why, {}, &otherFolder));
    EXPECT_EQ(why, QStringLiteral("bk.zip cannot be saved in the folder %1: the folder is no longer there (it was removed "
                                  "or renamed after it was chosen). Choose another folder for the backup.")
                       .arg(QDir::toNativeSeparators(gone)));
    EXPECT_TRUE(otherFolder) << why.toStdString();
    EXPECT_FALSE(QFileInfo::exists(gone));
}

// A data file that is a pipe or a link to a device is no file a backup can hold: the backup names
// each such file once and writes no archive, without waiting on the pipe; a data folder holding
// nothing else is not said to hold nothing.
TEST_F(ZipBackupTest, APipeOrALinkToADeviceUnderADataFilesNameIsNamedAndNoArchiveIsWritten)
{
    POLLIX_AS_ORDINARY_USER();
    fillDataFolder();
    const QString roster = data() + "StudentRoster.xml", login = data() + "UserList.xml";
    const QString klass = data() + "Classes/Class A.xml", session = data() + "Quiz/Quiz1 2012-03-23T14:07:09.xml";
    for (const QString &path : {roster, login, klass, session})
        ASSERT_TRUE(QFile::remove(path));
    ASSERT_EQ(::mkfifo(QFile::encodeName(roster).constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(login).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/null", klass));
    ASSERT_TRUE(QFile::link("/dev/zero", session));
    QString why;
    EXPECT_FALSE(zipHelper().backupFilTo(zipPath(), &why));
    for (const QString &path : {roster, login, klass, session})
        EXPECT_EQ(why.count(path + " (it is no regular file)"), 1) << path.toStdString() << " in: " << why.toStdString();
    EXPECT_TRUE(QDir(scratch.path()).isEmpty()) << "no archive, no part file";

    // The pipe alone: there is something to back up, and it cannot be read.
    for (const QString &path : {login, klass, session})
        ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir(data() + "Quiz").removeRecursively() && QDir(data() + "Classes").removeRecursively() &&
                QDir(data() + "CourseGrade").removeRecursively());
    EXPECT_EQ(zipHelper::nothingToBackUp(), QString());
    EXPECT_FALSE(zipHelper().backupFilTo(zipPath(), &why));
    EXPECT_TRUE(why.contains(roster + " (it is no regular file)")) << why.toStdString();
    EXPECT_TRUE(QDir(scratch.path()).isEmpty()) << "no archive, no part file";
}

TEST_F(ZipBackupTest, FullOrReadOnlyDiskLeavesDataAndOldBackupWhole)
{
    POLLIX_ON_SMALL_DISK(.kilobytes = 96);
    // The application folder on the small disk.
    const QString root = SmallDisk::folder() + "/app/";
    auto onDisk = std::make_unique<Orvenda_AppDelegate>(root);
    Orvenda_AppDelegate::setAppDelegate(onDisk.get());
    const auto put = [&](const QString &rel, const QByteArray &bytes) {
        QDir().mkpath(QFileInfo(root + rel).absolutePath());
        QFile f(root + rel);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    };
    put("Data/Quiz/s.xml", "<Session><ID>s</ID></Session>");
    put("Data/UserList.xml", kAccounts);
    const Snapshot before = snapshot(root + "Data");

    // A backup whose files do not fit beside the data folder.
    QByteArray big;
    for (int i = 0; i < 40000; ++i)
        big += QByteArray::number(i * 7919 % 100003);
    makeZipArchive(zipPath("big.zip"), {{"/Quiz/big.xml", big}, {"/Quiz/s.xml", "<Session/>"}});
    QString why;
    EXPECT_FALSE(zipHelper().recoverFileFrom(zipPath("big.zip"), &why));
    EXPECT_TRUE(why.contains("No space left on device")) << why.toStdString();
    EXPECT_EQ(snapshot(root + "Data"), before);
    EXPECT_EQ(QDir(root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{"Data"});

    // A backup onto the full disk.
    ASSERT_TRUE(SmallDisk::fill());
    EXPECT_FALSE(zipHelper().backupFilTo(root + "backup.zip", &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(root + "backup.zip"));
    QFile::remove(SmallDisk::folder() + "/.filler");

    ASSERT_TRUE(SmallDisk::makeReadOnly());
    makeZipArchive(zipPath("small.zip"), {{"/Quiz/t.xml", "<Session/>"}});
    EXPECT_FALSE(zipHelper().recoverFileFrom(zipPath("small.zip"), &why));
    EXPECT_TRUE(why.contains("Read-only file system")) << why.toStdString();
    EXPECT_EQ(snapshot(root + "Data"), before);
    EXPECT_FALSE(zipHelper().backupFilTo(root + "backup.zip", &why));
    EXPECT_TRUE(why.contains("Read-only file system")) << why.toStdString();
    Orvenda_AppDelegate::setAppDelegate(app());
}

// A backup onto a disk that fills up says so in the system's words, wherever in the archive the
// disk ran out: at its first bytes, in the middle of its entries, in its directory at the end.
// The archive saved before under its name stays, and no part file is left.
TEST_F(ZipBackupTest, ABackupOntoAFullDiskSaysTheDiskIsFullWhereverItRanOut)
{
    POLLIX_ON_SMALL_DISK(.kilobytes = 2048);
    // Sessions that hardly compress: an archive of some hundreds of kilobytes.
    QByteArray noise;
    for (quint32 x = 7; noise.size() < 14000; x = x * 1103515245u + 12345u)
        noise += char('A' + (x >> 16) % 26);
    for (int i = 0; i < 40; ++i)
        writeFile(QStringLiteral("Data/Quiz/s%1.xml").arg(i), "<Session><ID>s" + QByteArray::number(i) + "</ID><Title>" +
                                                                   noise.mid(i * 300) + noise.left(i * 300) + "</Title></Session>");
    writeFile("Data/UserList.xml", kAccounts);
    ASSERT_TRUE(zipHelper().backupFilTo(zipPath("measure.zip")));
    const qint64 size = QFileInfo(zipPath("measure.zip")).size();
    ASSERT_GT(size, 512 * 1024) << "larger than what a backup holds back before it writes";

    const QString disk = SmallDisk::folder(), archive = disk + "/backup.zip";
    {
        QFile old(archive);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the backup of last week");
    }
    const struct
    {
        const char *where;
        qint64 free;
    } cases[] = {{"at its first bytes", 0}, {"with 8 KB free", 8 * 1024}, {"in the middle of its entries", size / 2},
                 {"in its directory at the end", (size - 8192) / 4096 * 4096}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.where);
        ASSERT_TRUE(SmallDisk::fill());
        QFile filler(disk + "/.filler");
        ASSERT_TRUE(filler.resize(std::max<qint64>(filler.size() - c.free, 0)));
        QString why;
        EXPECT_FALSE(zipHelper().backupFilTo(archive, &why));
        EXPECT_TRUE(why.contains(archive + " cannot be written: No space left on device")) << why.toStdString();
        EXPECT_EQ(readFile(archive), "the backup of last week");
        EXPECT_EQ(QDir(disk).entryList(QDir::Files | QDir::Hidden), (QStringList{".filler", "backup.zip"}));
        ASSERT_TRUE(filler.remove());
    }
}

TEST_F(ZipBackupTest, OneEntryIsExtractedOnlyWhenItsDateDiffers)
{
    makeZipArchive(zipPath(), {{"Pollix/Template.xml", "FROM ARCHIVE"}});
    const QString target = scratch.path() + "/app/Pollix/Template.xml";
    const QDateTime entryDate(QDate(2020, 5, 4), QTime(3, 2, 0));
    QDir().mkpath(QFileInfo(target).absolutePath());
    {
        QFile f(target);
        f.open(QIODevice::WriteOnly);
        f.write("LOCAL");
        f.flush();
        f.setFileTime(entryDate, QFileDevice::FileModificationTime);
    }
    EXPECT_TRUE(zipHelper().UnzipFile(zipPath(), "Pollix\\Template.xml", scratch.path() + "/app"));
    EXPECT_EQ(readFile(target), "LOCAL");
    {
        QFile f(target);
        f.open(QIODevice::ReadWrite);
        f.setFileTime(entryDate.addSecs(-2), QFileDevice::FileModificationTime);
    }
    EXPECT_TRUE(zipHelper().UnzipFile(zipPath(), "Pollix/Template.xml", scratch.path() + "/app"));
    EXPECT_EQ(readFile(target), "FROM ARCHIVE");
    EXPECT_EQ(QFileInfo(target).lastModified(), entryDate);
    EXPECT_FALSE(zipHelper().UnzipFile(zipPath(), "Pollix/Other.xml", scratch.path() + "/app"));
}

TEST_F(ZipBackupTest, ClearingAndDeletingRemoveOnlyDataFiles)
{
    fillDataFolder();
    ASSERT_TRUE(zipHelper().clearSession());
    Snapshot left = snapshot(data());
    EXPECT_EQ(left.keys(), (QStringList{"Classes/Class A.xml", "Classes/Data Class.xml", "StudentRoster.xml",
                                        "UserList.xml", "notes.txt"}));
    ASSERT_TRUE(zipHelper().DelAllRecords());
    EXPECT_EQ(snapshot(data()).keys(), QStringList{"notes.txt"});
}

TEST_F(ZipBackupTest, ArchivesOfMoreThan65535EntriesCountEveryEntry)
{
    const QString source = writeFile("Data/Quiz/s.xml", "<Session><ID>s</ID></Session>");
    constexpr int kEntries = 70000;
    ZipArchive writer;
    ASSERT_TRUE(writer.CreateZipFile2(zipPath()));
    for (int i = 0; i < kEntries; ++i)
        ASSERT_TRUE(writer.addFileToZip(source, QStringLiteral("/Quiz/s%1.xml").arg(i)));
    ASSERT_TRUE(writer.CloseZipFile2());

    ZipArchive reader;
    ASSERT_TRUE(reader.UnzipOpenFile(zipPath()));
    const std::optional<QList<ZipArchive::Entry>> list = reader.entries();
    ASSERT_TRUE(list.has_value());
    ASSERT_EQ(list->size(), kEntries);
    QByteArray bytes;
    EXPECT_TRUE(reader.readEntry(list->last(), &bytes));
    EXPECT_EQ(bytes, "<Session><ID>s</ID></Session>");
}

// What an archive being written holds in memory does not grow with the files added, as a backup
// adds them (compressed ahead a batch at a time, then each file a second time): counted in the
// bytes the heap holds, not timed. Each file's second entry is the first one's bytes, read back
// from the archive, and both read as the file.
TEST_F(ZipBackupTest, WhatAnArchiveBeingWrittenHoldsDoesNotGrowWithTheFilesAdded)
{
    constexpr int kFiles = 400, kBatch = 50;
    constexpr qsizetype kFileSize = 64 * 1024;
    // Bytes that hardly compress: a file's worth each.
    QRandomGenerator random(77);
    QStringList files;
    for (int i = 0; i < kFiles; ++i) {
        QByteArray bytes(kFileSize, '\0');
        random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), kFileSize / 4);
        files << writeFile(QStringLiteral("Data/Quiz/s%1.xml").arg(i), bytes);
    }
    const auto heldNow = [] {
        const struct mallinfo2 heap = mallinfo2();
        return qint64(heap.uordblks + heap.hblkhd);
    };
    ZipArchive writer;
    ASSERT_TRUE(writer.CreateZipFile2(zipPath()));
    qint64 before = 0, most = 0;
    for (const char *pass : {"/Quiz/", "//Quiz/"}) {
        for (int i = 0; i < kFiles; ++i) {
            if (i % kBatch == 0)
                writer.compressAhead(files.mid(i, kBatch));
            ASSERT_TRUE(writer.addFileToZip(files[i], pass + QFileInfo(files[i]).fileName())) << i;
            // Counted from the second batch on: the first sets up what writing takes at all.
            if (i == kBatch && before == 0)
                before = heldNow();
            if (before)
                most = std::max(most, heldNow() - before);
        }
    }
    ASSERT_TRUE(writer.CloseZipFile2());
    // A batch ahead and a file in hand, not the 25 MB of the files added.
    EXPECT_LT(most, 3 * kBatch * kFileSize / 2) << "bytes held beyond those of the first batch";

    ZipArchive reader;
    ASSERT_TRUE(reader.UnzipOpenFile(zipPath()));
    const QList<ZipArchive::Entry> list = reader.entries().value_or(QList<ZipArchive::Entry>());
    ASSERT_EQ(list.size(), 2 * kFiles);
    for (const ZipArchive::Entry &e : list) {
        QByteArray bytes;
        ASSERT_TRUE(reader.readEntry(e, &bytes)) << e.name.toStdString();
        EXPECT_TRUE(bytes == readFile(home() + "Data/Quiz/" + QFileInfo(e.name).fileName())) << e.name.toStdString();
    }
}

TEST_F(ZipBackupTest, ExtractAllAsksBeforeReplacingAndRefusesEscapingArchivesWhole)
{
    struct Asker : ZipArchive::Delegate
    {
        QStringList asked, errors;
        bool OverWriteOperation(const QString &path) override
        {
            asked << QFileInfo(path).fileName();
            return false;
        }
        void ErrorMessage(const QString &text) override { errors << text; }
    } asker;
    const QString folder = scratch.path() + "/out";
    QDir().mkpath(folder);
    QFile keep(folder + "/kept.txt");
    keep.open(QIODevice::WriteOnly);
    keep.write("mine");
    keep.close();

    ZipArchive zip;
    zip.setDelegate(&asker);
    ASSERT_TRUE(zip.UnzipOpenFile(makeZipArchive(zipPath("a.zip"), {{"sub/", ""}, {"kept.txt", "theirs"}, {"\\sub\\new.txt", "new"}})));
    EXPECT_TRUE(zip.UnzipFileTo(folder, false));
    EXPECT_EQ(asker.asked, QStringList{"kept.txt"});
    EXPECT_EQ(readFile(folder + "/kept.txt"), "mine");
    EXPECT_EQ(readFile(folder + "/sub/new.txt"), "new");

    ASSERT_TRUE(zip.UnzipOpenFile(makeZipArchive(zipPath("b.zip"), {{"fine.txt", "x"}, {"../escaped.txt", "x"}})));
    EXPECT_FALSE(zip.UnzipFileTo(folder, true));
    EXPECT_EQ(asker.errors.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(folder + "/fine.txt")) << "nothing is written from a refused archive";
    EXPECT_FALSE(QFileInfo::exists(scratch.path() + "/escaped.txt"));
}

TEST_F(ZipBackupTest, ExtractingFollowsNoSymbolicLinkOutOfTheFolder)
{
    // A folder outside, watched, reached from the folder unpacked into by a link to it and by a
    // link to one of its files.
    const QString outside = scratch.path() + "/outside";
    QDir().mkpath(outside);
    const QString victim = outside + "/victim.txt";
    {
        QFile f(victim);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("untouched");
    }
    const QString folder = scratch.path() + "/out";
    QDir().mkpath(folder);
    ASSERT_TRUE(QFile::link(outside, folder + "/sub"));
    ASSERT_TRUE(QFile::link(victim, folder + "/file.txt"));
    const Snapshot before = snapshot(outside);

    struct Errors : ZipArchive::Delegate
    {
        QStringList texts;
        bool OverWriteOperation(const QString &) override { return true; }
        void ErrorMessage(const QString &text) override { texts << text; }
    } errors;
    ZipArchive zip;
    zip.setDelegate(&errors);
    const QList<std::pair<const char *, QList<std::pair<QByteArray, QByteArray>>>> archives{
        {"a file through a linked folder", {{"fine.txt", "x"}, {"sub/new.txt", "x"}}},
        {"a folder through a linked folder", {{"sub/deeper/", ""}, {"fine.txt", "x"}}},
        {"a file over a link", {{"fine.txt", "x"}, {"file.txt", "theirs"}}},
        {"a folder entry on a link", {{"sub/", ""}}},
    };
    for (const auto &[label, entries] : archives) {
        errors.texts.clear();
        ASSERT_TRUE(zip.UnzipOpenFile(makeZipArchive(zipPath(QString(label) + ".zip"), entries))) << label;
        EXPECT_FALSE(zip.UnzipFileTo(folder, true)) << label;
        ASSERT_EQ(errors.texts.size(), 1) << label;
        EXPECT_TRUE(errors.texts.first().contains("symbolic link")) << errors.texts.first().toStdString();
        EXPECT_FALSE(QFileInfo::exists(folder + "/fine.txt")) << label << ": nothing is written from a refused archive";
        EXPECT_EQ(snapshot(outside), before) << label;
        EXPECT_EQ(QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"victim.txt"}) << label;
    }
    // One entry alone: the same.
    makeZipArchive(zipPath("one.zip"), {{"file.txt", "theirs"}, {"sub/victim.txt", "theirs"}});
    EXPECT_FALSE(zipHelper().UnzipFile(zipPath("one.zip"), "file.txt", folder));
    EXPECT_FALSE(zipHelper().UnzipFile(zipPath("one.zip"), "sub/victim.txt", folder));
    EXPECT_EQ(snapshot(outside), before);
    EXPECT_TRUE(QFileInfo(folder + "/file.txt").isSymLink()) << "the link itself stays";
}

TEST(ZipArchiveNames, RelativePathsNeverLeaveTheFolder)
{
    EXPECT_EQ(ZipArchive::relativePathOf("//Quiz/x.xml"), "Quiz/x.xml");
    EXPECT_EQ(ZipArchive::relativePathOf("\\Quiz\\\\x.xml"), "Quiz/x.xml");
    EXPECT_EQ(ZipArchive::relativePathOf("/Quiz/Quiz1 2012-03-23T14:07:09.xml"), "Quiz/Quiz1 2012-03-23T14:07:09.xml");
    for (const char *bad : {"../x.xml", "/Quiz/../../x.xml", "a/./b", "C:/x.xml", "c:\\x.xml", "/", "", "//"})
        EXPECT_EQ(ZipArchive::relativePathOf(bad), QString()) << bad;
}
