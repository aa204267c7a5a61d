// Restore takes back what Backup wrote, and nothing else: archives made here by the program's own
// backup and by minizip, then damaged, swapped or inflated, must leave the data folder as it was.
#include "core/app/ZipArchive.h"
#include "core/app/zipHelper.h"
#include "core/store/DataFolderLayout.h"
#include "core/store/DataRecovery.h"
#include "core/store/TovUserListXmlDatabase.h"
#include "core/store/UserEntity.h"
#include "platform/FolderHandle.h"
#include "platform/FolderSwap.h"
#include "platform/LeftAlone.h"
#include "platform/ProcessStart.h"
#include "support/KilledRuns.h"
#include "support/PollixTest.h"
#include "support/ZipFixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <atomic>
#include <future>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Snapshot = QMap<QString, QByteArray>;

// A file's device and inode as the record of unfinished work notes them.
QByteArray identity(const QString &path)
{
    struct stat st{};
    EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return QByteArray::number(quint64(st.st_dev)) + ' ' + QByteArray::number(quint64(st.st_ino));
}

Snapshot snapshot(const QString &folder, bool xmlOnly = false)
{
    Snapshot out;
    const QDir root(folder);
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (xmlOnly && !it.fileName().endsWith(".xml", Qt::CaseInsensitive))
            continue;
        QFile f(it.filePath());
        f.open(QIODevice::ReadOnly);
        out.insert(root.relativeFilePath(it.filePath()), f.readAll());
    }
    return out;
}

const QByteArray kAccounts =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<ArrayOfTeacher><Teacher><UserName>ann</UserName>"
    "<Password>pw</Password></Teacher></ArrayOfTeacher>";

QByteArray session(const QString &id, int answers = 3)
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Session><ID>" + id.toUtf8() +
                     "</ID><Name>Week</Name><TotalMark>10</TotalMark><Questions>";
    for (int i = 1; i <= answers; ++i)
        out += "<Question><No>" + QByteArray::number(i) + "</No><CAnswer>A</CAnswer></Question>";
    return out + "</Questions></Session>";
}

QByteArray classFile(const QString &name)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<ClassRoom><ClassName>" + name.toUtf8() +
           "</ClassName><Students><Student><SID>1</SID></Student></Students></ClassRoom>";
}

// Where the parts of an archive lie, read from its own records.
struct Layout
{
    QList<std::pair<qint64, qint64>> names; // offset, length: in local headers and the directory
    QList<std::pair<qint64, qint64>> data;  // compressed data
};

quint64 le(const QByteArray &b, qint64 at, int n)
{
    quint64 v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = (v << 8) | quint8(b.at(at + i));
    return v;
}

Layout layoutOf(const QByteArray &zip)
{
    Layout out;
    qint64 at = 0;
    while (at + 30 <= zip.size() && le(zip, at, 4) == 0x04034b50) {
        const qint64 nameLength = qint64(le(zip, at + 26, 2)), extra = qint64(le(zip, at + 28, 2));
        const qint64 packed = qint64(le(zip, at + 18, 4));
        out.names << std::pair{at + 30, nameLength};
        out.data << std::pair{at + 30 + nameLength + extra, packed};
        at += 30 + nameLength + extra + packed;
    }
    while (at + 46 <= zip.size() && le(zip, at, 4) == 0x02014b50) {
        const qint64 nameLength = qint64(le(zip, at + 28, 2));
        out.names << std::pair{at + 46, nameLength};
        at += 46 + nameLength + qint64(le(zip, at + 30, 2)) + qint64(le(zip, at + 32, 2));
    }
    return out;
}

} // namespace

class RestoreCheckTest : public PollixTest
{
protected:
    QString data() const { return home() + "Data/"; }
    QString zipPath(const QString &name = "backup.zip") const { return scratch.path() + "/" + name; }
    QStringList besideData() const
    {
        return QDir(home()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    // The demo folder in small: a session of each kind, a class, the roster files and logins.
    void fillDemoFolder()
    {
        writeFile("Data/Quiz/Monday.xml", session("m"));
        writeFile("Data/CourseGrade/Points.xml",
                  "<Session><ID>p</ID><TotalMark>20</TotalMark><StartTime>2012-01-01T09:00:00</StartTime></Session>");
        writeFile("Data/Classes/Class A.xml", classFile("Class A"));
        writeFile("Data/UserList.xml", kAccounts);
        writeFile("Data/TeacherRoster.xml", "<Teachers><Teacher><Name>Ada</Name></Teacher></Teachers>");
        writeFile("Data/Subjects.xml", "<Subjects><Subject><Name>Science</Name></Subject></Subjects>");
    }

    void expectRefused(const QString &archive, const Snapshot &before, const QString &reasonHas, const char *label)
    {
        QString why;
        EXPECT_FALSE(zipHelper().recoverFileFrom(archive, &why)) << label;
        EXPECT_TRUE(why.contains(reasonHas)) << label << ": " << why.toStdString();
        EXPECT_EQ(snapshot(data()), before) << label;
        EXPECT_EQ(besideData(), QStringList{"Data"}) << label;
    }

    QTemporaryDir scratch;
};

TEST_F(RestoreCheckTest, AnEntryItsStoreCannotReadRefusesTheWholeArchiveAndTheLoginStillWorks)
{
    fillDemoFolder();
    const Snapshot before = snapshot(data());
    TovUserListXmlDatabase::sharedUI()->loadUserList();
    UserEntity ann;
    ann.setName("ann");
    ann.setPassword("pw");
    ASSERT_TRUE(TovUserListXmlDatabase::sharedUI()->isValidUser(ann));

    // A good archive with one entry replaced, as a damaged or foreign backup would have it.
    const QList<std::pair<QByteArray, QByteArray>> good{
        {"/Quiz/Monday.xml", session("m")},     {"/Classes/Class A.xml", classFile("A")},
        {"//Quiz/Monday.xml", session("m")},    {"//Classes/Class A.xml", classFile("A")},
        {"//UserList.xml", kAccounts},          {"//TeacherRoster.xml", "<Teachers/>"},
        {"//Subjects.xml", "<Subjects/>"},      {"//StudentRoster.xml", "<ClassRoom><Students/></ClassRoom>"},
        {"//Periods.xml", "<Periods/>"},
    };
    const auto with = [&](const QByteArray &name, const QByteArray &bytes) {
        QList<std::pair<QByteArray, QByteArray>> entries;
        for (const auto &e : good)
            if (e.first != name)
                entries << e;
        entries << std::pair{name, bytes};
        return makeZipArchive(zipPath(QString::fromUtf8(name).replace('/', '_') + ".zip"), entries);
    };
    const struct
    {
        QByteArray name, bytes, reason;
    } cases[] = {
        {"//UserList.xml", "not xml at all", "//UserList.xml"},
        {"//UserList.xml", "<ArrayOfTeacher/>", "no login account"},
        {"//UserList.xml", "<ArrayOfTeacher><Teacher><UserName></UserName></Teacher></ArrayOfTeacher>", "no login account"},
        {"//TeacherRoster.xml", "<Teachers><Teacher>", "//TeacherRoster.xml"},
        {"//TeacherRoster.xml", "<Subjects/>", "not <Teachers>"},
        {"//Subjects.xml", QByteArray(3000, '\0'), "//Subjects.xml"},
        {"//StudentRoster.xml", "<ClassRoom/>", "no <Students>"},
        {"//Periods.xml", "<Weights/>", "//Periods.xml"},
        {"//Classes/Class B.xml", "<ClassRoom><Name>B</Name></ClassRoom>", "no <Students>"},
        {"//Quiz/Tuesday.xml", "<Sessio", "//Quiz/Tuesday.xml"},
        {"/Quiz/Tuesday.xml", "<ClassRoom><Students/></ClassRoom>", "no session file"},
        {"//CourseGrade/x.xml", "\xef\xbb\xbf<Session><ID>x</ID><Bad></Session>", "//CourseGrade/x.xml"},
        {"//Extra/note.xml", "plain text in a folder of the teacher's own", "//Extra/note.xml"},
    };
    for (const auto &c : cases)
        expectRefused(with(c.name, c.bytes), before, QString::fromUtf8(c.reason), c.name.constData());
    EXPECT_TRUE(TovUserListXmlDatabase::sharedUI()->isValidUser(ann));

    // The same archive whole is taken.
    QString why;
    ASSERT_TRUE(zipHelper().recoverFileFrom(makeZipArchive(zipPath("good.zip"), good), &why)) << why.toStdString();
    EXPECT_EQ(readFile(data() + "Periods.xml"), "<Periods/>");
}

TEST_F(RestoreCheckTest, AnArchiveWithoutLoginAccountsLeavesTheBuiltInAccount)
{
    fillDemoFolder();
    makeZipArchive(zipPath(), {{"/Quiz/a.xml", session("a")}, {"//Quiz/a.xml", session("a")}});
    QString why;
    ASSERT_TRUE(zipHelper().recoverFileFrom(zipPath(), &why)) << why.toStdString();
    TovUserListXmlDatabase::sharedUI()->loadUserList();
    EXPECT_TRUE(TovUserListXmlDatabase::sharedUI()->isValidUser(UserEntity())) << "the built-in account";
    EXPECT_EQ(snapshot(data(), true).keys(), (QStringList{"Quiz/a.xml", "UserList.xml"}));
}

TEST_F(RestoreCheckTest, EveryDamagedByteOfARealBackupIsRefusedOrChangesNothing)
{
    fillDemoFolder();
    const Snapshot original = snapshot(data());
    ASSERT_TRUE(zipHelper().backupFilTo(zipPath()));
    const QByteArray good = readFile(zipPath());
    const Layout parts = layoutOf(good);
    ASSERT_EQ(parts.data.size(), 9) << "three files of the kept folders twice, three of the data folder once";
    ASSERT_EQ(parts.names.size(), 18);
    const auto inside = [](const QList<std::pair<qint64, qint64>> &ranges, qint64 at) {
        for (const auto &[from, length] : ranges)
            if (at >= from && at < from + length)
                return true;
        return false;
    };

    int refused = 0, tried = 0;
    for (qint64 at = 0; at < good.size(); ++at) {
        // Every byte of the headers, names and directory; a dense sample of the compressed data.
        if (inside(parts.data, at) && at % 3 != 0)
            continue;
        ++tried;
        QByteArray bad = good;
        bad[at] = char(~quint8(bad[at]));
        QFile f(zipPath("bad.zip"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bad);
        f.close();
        QString why, checked;
        const bool passes = zipHelper::checkBackup(zipPath("bad.zip"), &checked);
        const bool restored = zipHelper().recoverFileFrom(zipPath("bad.zip"), &why);
        ASSERT_EQ(passes, restored) << "byte " << at << ": the check alone and the restore differ";
        EXPECT_EQ(checked, why) << "byte " << at;
        // Damage the restore cannot see (a byte no reader uses) must not change a thing either.
        ASSERT_EQ(snapshot(data()), original) << "byte " << at << (restored ? " restored" : " refused");
        ASSERT_EQ(besideData(), QStringList{"Data"}) << "byte " << at;
        if (restored) {
            EXPECT_FALSE(inside(parts.names, at)) << "a damaged name was taken: byte " << at;
            EXPECT_FALSE(inside(parts.data, at)) << "damaged data were taken: byte " << at;
        } else {
            EXPECT_FALSE(why.isEmpty()) << "byte " << at;
            ++refused;
        }
    }
    // Names, data, checksums, sizes, dates and signatures are nearly all of a small archive.
    EXPECT_GT(refused, tried * 3 / 4);
}

TEST_F(RestoreCheckTest, ANameDamagedInTheDirectoryAloneIsRefusedNamingBothNames)
{
    fillDemoFolder();
    const Snapshot before = snapshot(data());
    ASSERT_TRUE(zipHelper().backupFilTo(zipPath()));
    QByteArray zip = readFile(zipPath());
    // The directory's record of //UserList.xml becomes //UserLisu.xml: a name a backup can hold.
    const qsizetype at = zip.lastIndexOf("//UserList.xml");
    ASSERT_GT(at, zip.indexOf("//UserList.xml"));
    zip[at + 9] = 'u';
    QFile f(zipPath("renamed.zip"));
    f.open(QIODevice::WriteOnly);
    f.write(zip);
    f.close();
    expectRefused(zipPath("renamed.zip"), before, "//UserList.xml", "renamed in the directory");
}

TEST_F(RestoreCheckTest, EntriesLandingOnOneFileMustBeIdentical)
{
    fillDemoFolder();
    const Snapshot before = snapshot(data());
    expectRefused(makeZipArchive(zipPath("two.zip"), {{"/Quiz/a.xml", session("a")}, {"//Quiz/a.xml", session("b")},
                                                      {"//UserList.xml", kAccounts}}),
                  before, "different contents", "different copies");
    // Same size and checksum would need a collision; a backslash form of the same name lands there too.
    expectRefused(makeZipArchive(zipPath("three.zip"), {{"/Quiz/a.xml", session("a")}, {"\\\\Quiz\\a.xml", session("a", 4)}}),
                  before, "different contents", "backslash copy");
    QString why;
    ASSERT_TRUE(zipHelper().recoverFileFrom(
        makeZipArchive(zipPath("same.zip"), {{"/Quiz/a.xml", session("a")}, {"//Quiz/a.xml", session("a")}}), &why))
        << why.toStdString();
    EXPECT_EQ(readFile(data() + "Quiz/a.xml"), session("a"));
}

TEST_F(RestoreCheckTest, OversizedArchivesAreRefusedBeforeAnythingIsWritten)
{
    fillDemoFolder();
    const Snapshot before = snapshot(data());
    // Each entry within the limit for one file, together past the limit for all.
    const qint64 each = qint64(DataFolderLayout::kMaxFileSize) - 1;
    QList<QByteArray> names;
    for (qint64 i = 0; i * each <= qint64(DataFolderLayout::kMaxTotalSize); ++i)
        names << "//Extra/zeros" + QByteArray::number(i) + ".xml";
    makeZipArchiveOfZeros(zipPath("many.zip"), names, each);
    EXPECT_LT(QFileInfo(zipPath("many.zip")).size(), 4 << 20);
    expectRefused(zipPath("many.zip"), before, "more than the", "total past the limit");
    makeZipArchiveOfZeros(zipPath("one.zip"), {"/Quiz/zeros.xml"}, qint64(DataFolderLayout::kMaxFileSize) + 1);
    expectRefused(zipPath("one.zip"), before, "larger than a data file", "one entry past the limit");
    // Within both limits, zeros are no XML.
    makeZipArchiveOfZeros(zipPath("small.zip"), {"/Quiz/zeros.xml", "//UserList.xml"}, 1 << 20);
    expectRefused(zipPath("small.zip"), before, "not readable XML", "zeros");
}

// An archive to restore that is no archive at all says what it is, beside the design's words.
TEST_F(RestoreCheckTest, AnArchiveThatIsNoRegularFileOrTooLargeIsRefusedSayingWhatItIs)
{
    fillDemoFolder();
    ASSERT_EQ(::mkfifo(QFile::encodeName(zipPath("pipe.zip")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/null", zipPath("device.zip")));
    ASSERT_TRUE(QDir(scratch.path()).mkpath("folder.zip"));
    QFile huge(zipPath("huge.zip"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize((qint64(1) << 30) + 1));
    huge.close();
    const Snapshot before = snapshot(data());
    for (const auto &[name, reason] : QList<std::pair<QString, QString>>{{"pipe.zip", "it is no regular file"},
                                                                      {"device.zip", "it is no regular file"},
                                                                      {"folder.zip", "it is a folder"},
                                                                      {"huge.zip", "it is larger than 1024 MB"}})
        expectRefused(zipPath(name), before, name + " is not a zip archive, or it is damaged or incomplete: " + reason + ".",
                      qPrintable(name));
}

TEST_F(RestoreCheckTest, BackupRefusesFilesARestoreWouldNotTakeBack)
{
    fillDemoFolder();
    const QString broken = writeFile("Data/Extra/broken.xml", "<unclosed>");
    QString why;
    EXPECT_FALSE(zipHelper().backupFilTo(zipPath(), &why));
    EXPECT_TRUE(why.contains("Extra/broken.xml")) << why.toStdString();
    QFile::remove(broken);
    // A restore would read "\" as a folder separator.
    writeFile("Data/Extra/back\\slash.xml", "<a/>");
    EXPECT_FALSE(zipHelper().backupFilTo(zipPath(), &why));
    EXPECT_TRUE(why.contains("back\\slash.xml")) << why.toStdString();
    EXPECT_EQ(QDir(scratch.path()).entryList(QDir::Files | QDir::Hidden), QStringList()) << "no archive, no part";
}

TEST_F(RestoreCheckTest, RandomDataFoldersComeBackByteForByte)
{
    const QStringList odd{"Week 3", "Élève (2)", "日本語", "a#b%c", ".hidden", "x'y", "Quiz", "Data",
                          "tab-less name with spaces  "};
    for (quint32 seed = 1; seed <= 12; ++seed) {
        QRandomGenerator rng(seed);
        QDir(data()).removeRecursively();
        const auto pick = [&](const QStringList &from) { return from.at(rng.bounded(int(from.size()))); };
        const auto name = [&](int i) { return pick(odd) + QString::number(i); };
        for (int i = 0, n = rng.bounded(0, 12); i < n; ++i) {
            const QString sub = rng.bounded(3) == 0 ? pick(odd) + "/" : QString();
            writeFile("Data/Quiz/" + sub + name(i) + (rng.bounded(4) == 0 ? ".XML" : ".xml"),
                      session(QString::number(rng.generate()), rng.bounded(1, 40)));
        }
        for (int i = 0, n = rng.bounded(0, 4); i < n; ++i)
            writeFile("Data/CourseGrade/" + name(i) + ".xml", session(QString::number(i)));
        for (int i = 0, n = rng.bounded(0, 5); i < n; ++i)
            writeFile("Data/Classes/" + name(i) + ".xml", classFile(name(i)));
        if (rng.bounded(2))
            writeFile("Data/UserList.xml", kAccounts);
        if (rng.bounded(2))
            writeFile("Data/Extra/" + name(0) + "/note.xml", "<note>" + name(1).toUtf8() + "</note>");
        if (rng.bounded(2))
            writeFile("Data/notes.txt", "kept as it is");
        if (rng.bounded(2))
            QDir().mkpath(data() + "Empty/" + name(2));
        for (const char *sub : {"Quiz", "CourseGrade", "Classes"})
            QDir().mkpath(data() + sub);
        Snapshot original = snapshot(data(), true);
        if (!original.contains("UserList.xml"))
            original.insert("UserList.xml", QByteArray()); // compared below by account, not bytes

        QString why;
        ASSERT_TRUE(zipHelper().backupFilTo(zipPath(), &why)) << "seed " << seed << ": " << why.toStdString();
        // The teacher works on: files change, go and come.
        QDir(data() + "Quiz").removeRecursively();
        QDir(data() + "Extra").removeRecursively();
        writeFile("Data/Classes/New.xml", classFile("New"));
        writeFile("Data/Subjects.xml", "<Subjects/>");
        ASSERT_TRUE(zipHelper().recoverFileFrom(zipPath(), &why)) << "seed " << seed << ": " << why.toStdString();

        Snapshot restored = snapshot(data(), true);
        if (original.value("UserList.xml").isEmpty()) {
            EXPECT_TRUE(restored.value("UserList.xml").contains("<UserName>")) << "seed " << seed;
            restored["UserList.xml"] = QByteArray();
        }
        EXPECT_EQ(restored, original) << "seed " << seed;
        EXPECT_EQ(besideData(), QStringList{"Data"}) << "seed " << seed;
    }
}

TEST_F(RestoreCheckTest, LeftoversOfInterruptedWorkGoButNothingElse)
{
    fillDemoFolder();
    // A restore killed after staging, and a backup into the application folder killed part way
    // (only there does a start remove what a record names): noted as they were made, by a
    // process gone now (its number, and when it started, as the record says).
    const QString staging = FolderSwap::makeSibling(home() + "Data", "restore");
    ASSERT_FALSE(staging.isEmpty());
    const QString part = QFileInfo(home()).canonicalFilePath() + "/backup.zip.part-0badc0de";
    for (const QString &made : {staging, part})
        DataRecovery::noteStarted(made);
    writeFile(QFileInfo(staging).fileName() + "/Quiz/x.xml", session("x"));
    QByteArray record = readFile(home() + ".unfinished-work");
    QProcess gone;
    gone.start("true");
    ASSERT_TRUE(gone.waitForFinished());
    const qint64 deadPid = gone.processId() > 0 ? gone.processId() : 999999;
    const QByteArray own = QByteArray::number(::getpid()) + ' ' + ProcessStart::of(::getpid()).toLatin1() + ' ';
    ASSERT_TRUE(record.startsWith(own)) << record.toStdString();
    record.replace(own, QByteArray::number(deadPid) + " gone/1 ");
    // The old contents of a swap nothing notes, and folders of the teacher's own that only look
    // alike.
    writeFile("Data.old-Zz9yY8/UserList.xml", kAccounts);
    writeFile("Data.restore-mine/keep.xml", "<a/>");
    writeFile("Data restore-a1B2c3/keep.xml", "<a/>");
    // Another running process's part file (process 1, as it started), and one never noted.
    const QString others = zipPath("other.zip.part-0000beef");
    const QString unnoted = zipPath("mine.zip.part-12345678");
    for (const QString &p : {others, unnoted}) {
        QFile f(p);
        f.open(QIODevice::WriteOnly);
        f.write("PK");
    }
    const QByteArray running = "1 " + ProcessStart::of(1).toLatin1() + ' ' + identity(others) + '\t' + others.toUtf8() + '\n';
    {
        QFile file(home() + ".unfinished-work");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(record + running);
    }

    // The next start removes Pollix's own, and names what it leaves.
    QString why;
    EXPECT_FALSE(DataRecovery::run(&why));
    EXPECT_FALSE(QFileInfo::exists(part));
    EXPECT_FALSE(QFileInfo::exists(staging));
    EXPECT_TRUE(QFileInfo::exists(others)) << "process 1 is still running";
    EXPECT_TRUE(QFileInfo::exists(unnoted));
    EXPECT_EQ(besideData(), (QStringList{".unfinished-work", "Data", "Data restore-a1B2c3", "Data.old-Zz9yY8", "Data.restore-mine"}));
    EXPECT_EQ(filesBelow(home() + "Data.old-Zz9yY8"), (Snapshot{{"UserList.xml", kAccounts}}));
    EXPECT_EQ(why.count('\n'), 1) << why.toStdString();
    EXPECT_TRUE(why.contains(others + " is left as it is: the Pollix that is making it (process 1) still runs")) << why.toStdString();
    EXPECT_TRUE(why.contains("Data.old-Zz9yY8 beside the data folder is left as it is")) << why.toStdString();
    EXPECT_EQ(readFile(home() + ".unfinished-work"), running);
}

// Delete All Records removes the leftovers of interrupted work while the program runs: never the
// part file of a backup this very process is still writing.
TEST_F(RestoreCheckTest, ABackupStillBeingWrittenKeepsItsPartFileWhenLeftoversAreRemoved)
{
    fillDemoFolder();
    std::promise<void> reached, release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> once = false;
    QString why;
    bool written = false;
    std::thread backup([&] {
        written = zipHelper().backupFilTo(zipPath(), &why, [&](int, int) {
            if (!once.exchange(true)) {
                reached.set_value();
                released.wait();
            }
        });
    });
    reached.get_future().wait();
    const QStringList parts = QDir(scratch.path()).entryList({"backup.zip.part-*"}, QDir::Files);
    DataRecovery::removeLeftovers();
    EXPECT_EQ(QDir(scratch.path()).entryList({"backup.zip.part-*"}, QDir::Files), parts);
    release.set_value();
    backup.join();
    ASSERT_EQ(parts.size(), 1);
    EXPECT_TRUE(written) << why.toStdString();
    EXPECT_TRUE(zipHelper::checkBackup(zipPath(), &why)) << why.toStdString();
    EXPECT_TRUE(QDir(scratch.path()).entryList({"backup.zip.part-*"}, QDir::Files).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(home() + ".unfinished-work"));
}

// A backup killed at any step leaves nothing the next start does not remove: its part file goes,
// the archive is whole or missing.
TEST_F(RestoreCheckTest, ABackupKilledAtAnyStepLeavesNoPartFileAfterTheNextStart)
{
    if (const QString folder = KilledRuns::childFolder(); !folder.isEmpty()) {
        startOn(folder);
        QString why;
        EXPECT_TRUE(zipHelper().backupFilTo(folder + "/Out/backup.zip", &why)) << why.toStdString();
        return;
    }
    int archives = 0;
    const int killed = KilledRuns::atEveryStep(
        [](const QString &folder) {
            QDir(folder).mkpath("Out");
            QDir(folder).mkpath("Data/Quiz");
            QFile f(folder + "/Data/Quiz/x.xml");
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(session("x"));
        },
        [&](const QString &folder, bool wasKilled) {
            startOn(folder, true);
            QStringList out = QDir(folder + "/Out").entryList(QDir::Files | QDir::Hidden);
            EXPECT_TRUE(out.isEmpty() || out == QStringList{"backup.zip"}) << out.join(", ").toStdString();
            QString why;
            if (out.contains("backup.zip")) {
                ++archives;
                EXPECT_TRUE(zipHelper::checkBackup(folder + "/Out/backup.zip", &why)) << why.toStdString();
            }
            EXPECT_TRUE(wasKilled || out.contains("backup.zip"));
            EXPECT_FALSE(QFileInfo::exists(folder + "/.unfinished-work"));
        });
    EXPECT_GE(killed, 3) << "the note, the archive put in place, the note's removal";
    EXPECT_GE(archives, 2) << "a kill after the archive was put in place";
}

// On a disk without unnamed files (an exFAT stick, a share) the part file has its name before
// its device and inode can be noted: a backup killed at any step leaves no part file that the
// next start neither removes nor names, in the application folder or on a stick outside it, and
// the archive saved before stays whole.
TEST_F(RestoreCheckTest, APartFileABackupKilledAtAnyStepLeavesOnADiskWithoutUnnamedFilesIsRemovedOrNamed)
{
    if (const QString folder = KilledRuns::childFolder(); !folder.isEmpty()) {
        startOn(folder);
        FolderHandle::setRefusalsForTesting({.hardLinks = true});
        const auto reset = qScopeGuard([] { FolderHandle::setRefusalsForTesting({}); });
        QString why;
        EXPECT_TRUE(zipHelper().backupFilTo(QString::fromUtf8(readFile(folder + "/to")) + "/backup.zip", &why)) << why.toStdString();
        return;
    }
    QTemporaryDir sticks;
    int run = 0;
    for (const bool outside : {false, true}) {
        SCOPED_TRACE(outside ? "on a stick" : "in the application folder");
        int named = 0;
        QString to;
        const int killed = KilledRuns::atEveryStep(
            [&](const QString &folder) {
                to = outside ? QFileInfo(sticks.path()).canonicalFilePath() + QStringLiteral("/%1").arg(++run)
                             : QFileInfo(folder).canonicalFilePath() + "/Out";
                ASSERT_TRUE(QDir().mkpath(to) && QDir(folder).mkpath("Data/Quiz"));
                QFile f(folder + "/Data/Quiz/x.xml"), old(to + "/backup.zip"), where(folder + "/to");
                ASSERT_TRUE(f.open(QIODevice::WriteOnly) && old.open(QIODevice::WriteOnly) && where.open(QIODevice::WriteOnly));
                f.write(session("x"));
                old.write("last week's backup");
                where.write(to.toUtf8());
            },
            [&](const QString &folder, bool) {
                startOn(folder);
                QString why;
                LeftAloneList found;
                DataRecovery::run(&why, nullptr, &found);
                for (const LeftAlone &thing : found)
                    why += "\n" + thing.text;
                for (const QString &part : QDir(to).entryList({"backup.zip.part-*"}, QDir::Files | QDir::Hidden)) {
                    ++named;
                    EXPECT_TRUE(why.contains(to + "/" + part)) << part.toStdString() << " is named in: " << why.toStdString();
                }
                if (readFile(to + "/backup.zip") != "last week's backup") {
                    EXPECT_TRUE(zipHelper::checkBackup(to + "/backup.zip", &why)) << why.toStdString();
                }
            });
        EXPECT_GE(killed, 3) << "the note of its name, of its file, the archive put in place";
        EXPECT_GE(named, 1) << "a kill left the part file made and noted by its name alone";
    }
}

TEST_F(RestoreCheckTest, TheStartFinishesAChangeCutShortThenRemovesOnlyPollixsOwnSideFiles)
{
    // A change killed after it was noted down and before its moves: the roster's and the
    // class's new bytes beside them, their old bytes under second names, the journal.
    const QString roster = writeFile("Data/StudentRoster.xml", "<Students>old</Students>");
    const QString klass = writeFile("Data/Classes/8C.xml", "<Students>old</Students>");
    writeFile("Data/StudentRoster.xml.new-0000000a", "<Students>K1</Students>");
    writeFile("Data/Classes/8C.xml.new-0000000b", "<Students>K1</Students>");
    ASSERT_EQ(::link(QFile::encodeName(klass).constData(), QFile::encodeName(klass + ".old-0000000c").constData()), 0);
    ASSERT_EQ(::link(QFile::encodeName(roster).constData(), QFile::encodeName(roster + ".old-0000000e").constData()), 0);
    writeFile("Data/.change-0000000d.journal", "Pollix change journal 1\nforward\n"
                                              "StudentRoster.xml StudentRoster.xml.new-0000000a StudentRoster.xml.old-0000000e\n"
                                              "Classes/8C.xml Classes/8C.xml.new-0000000b Classes/8C.xml.old-0000000c\n"
                                              "end\n");
    // Interrupted single writes, where Pollix writes.
    const QStringList ours{"config.xml.tmp-0badf00d", "Data/Quiz/Week 1.xml.tmp-12345678", "Help/manual.pdf.tmp-00000001"};
    // What the teacher keeps in the application folder, some of it named alike.
    const QStringList theirs{"Data/Quiz/Week 1.xml.bak", "Data/Classes/8C.xml.new", "Mine/report.xml.tmp-12345678",
                             "Data/Classes/8C.xml.new-XYZ"};
    for (const QString &rel : ours + theirs)
        writeFile(rel, "x");

    QString why;
    ASSERT_TRUE(DataRecovery::run(&why)) << why.toStdString();
    EXPECT_EQ(readFile(roster), "<Students>K1</Students>");
    EXPECT_EQ(readFile(klass), "<Students>K1</Students>");
    EXPECT_EQ(QDir(home() + "Data").entryList(QDir::Files | QDir::Hidden), QStringList{"StudentRoster.xml"});
    for (const QString &rel : ours)
        EXPECT_FALSE(QFileInfo::exists(home() + rel)) << rel.toStdString();
    for (const QString &rel : theirs)
        EXPECT_TRUE(QFileInfo::exists(home() + rel)) << rel.toStdString();
}
