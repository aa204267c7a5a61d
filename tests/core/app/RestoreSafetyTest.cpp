// A restore that can be cut short at any moment, on any file system, and taken back: the data
// are old or new and whole after the next start, and what a restore replaced is kept first.
#include "core/app/zipHelper.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovFastQuizXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "platform/AtomicFile.h"
#include "platform/ChangeJournal.h"
#include "platform/FolderHandle.h"
#include "platform/FolderMark.h"
#include "platform/FolderWork.h"
#include "platform/InstanceLock.h"
#include "platform/SideFiles.h"
#include "support/DataFiles.h"
#include "support/KilledRuns.h"
#include "support/LogLines.h"
#include "support/PollixTest.h"
#include "support/SmallDisk.h"
#include "support/TracedRun.h"
#include "support/ZipFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <ostream>

#include <fcntl.h>
#include <sys/stat.h>

namespace {
using Files = QMap<QString, QByteArray>;

const QByteArray kAccounts = DataFiles::accounts();
using DataFiles::classFile;

QByteArray session(const char *id)
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Session><ID>") + id +
           "</ID><Name>Week</Name><TotalMark>10</TotalMark><Questions><Question><No>1</No><CAnswer>A</CAnswer>"
           "</Question></Questions></Session>";
}

QByteArray subjects(const char *name)
{
    return QByteArray("<Subjects><Subject><Name>") + name + "</Name></Subject></Subjects>";
}

// The data folder before the restore, and what the archive holds.
const Files kOld{{"Classes/8C.xml", classFile("8C")},
                 {"Quiz/Monday.xml", session("m")},
                 {"Subjects.xml", subjects("Science")},
                 {"UserList.xml", kAccounts}};
const Files kNew{{"Classes/9A.xml", classFile("9A")}, {"Quiz/Friday.xml", session("f")}, {"Subjects.xml", subjects("History")}};

class RestoreSafetyTest : public PollixTest
{
protected:
    QString data() const { return home() + "Data/"; }
    // An application folder holding kOld (and a note of the teacher's) and, beside its data
    // folder, new.zip holding kNew as a backup stores it.
    static void prepare(const QString &home)
    {
        for (auto it = kOld.begin(); it != kOld.end(); ++it) {
            QDir().mkpath(QFileInfo(home + "/Data/" + it.key()).absolutePath());
            QFile f(home + "/Data/" + it.key());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(it.value());
        }
        QFile note(home + "/Data/notes.txt");
        ASSERT_TRUE(note.open(QIODevice::WriteOnly));
        note.write("the teacher's");
        makeZipArchive(home + "/new.zip", {{"/Quiz/Friday.xml", kNew["Quiz/Friday.xml"]},
                                           {"/Classes/9A.xml", kNew["Classes/9A.xml"]},
                                           {"//Quiz/Friday.xml", kNew["Quiz/Friday.xml"]},
                                           {"//Classes/9A.xml", kNew["Classes/9A.xml"]},
                                           {"//Subjects.xml", kNew["Subjects.xml"]}});
    }
    // kNew as restored: an archive without accounts gets the built-in one.
    static Files restored(const QString &data)
    {
        Files now = filesBelow(data, true);
        if (now.value("UserList.xml").contains("<UserName>"))
            now.remove("UserList.xml");
        return now;
    }
    // What lies beside the data folder, but the archive and the kept backups.
    static QStringList besideData(const QString &home)
    {
        QStringList out = QDir(home).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
        out.removeAll("new.zip");
        out.removeAll("Backups");
        return out;
    }
    static QStringList keptArchives(const QString &home)
    {
        return QDir(home + "/Backups").entryList({"*.zip"}, QDir::Files, QDir::Name);
    }
    // Every file below folder, hidden ones too, by its path relative to it.
    static QStringList namesBelow(const QString &folder)
    {
        QStringList out = filesBelow(folder).keys();
        out.sort();
        return out;
    }
    static QStringList keptFolders(const QString &home)
    {
        return QDir(home + "/Backups").entryList({"Before restore *"}, QDir::Dirs, QDir::Name);
    }
    // The data a restore replaced, in Backups: the archive made of their folder, checked by
    // restoring it into a scratch application folder (a kill as the folder was being removed
    // after it leaves part of the folder), or else their folder.
    static Files keptData(const QString &home)
    {
        if (keptArchives(home).isEmpty() && keptFolders(home).size() == 1)
            return filesBelow(home + "/Backups/" + keptFolders(home).first(), true);
        if (keptArchives(home).size() != 1)
            return {};
        QTemporaryDir scratch;
        Orvenda_AppDelegate app(scratch.path());
        Orvenda_AppDelegate *was = Orvenda_AppDelegate::getAppDelegate();
        Orvenda_AppDelegate::setAppDelegate(&app);
        QString why;
        const bool ok = zipHelper().recoverFileFrom(home + "/Backups/" + keptArchives(home).first(), &why);
        const Files out = ok ? filesBelow(scratch.path() + "/Data", true) : Files{{"refused", why.toUtf8()}};
        Orvenda_AppDelegate::setAppDelegate(was);
        return out;
    }
};
} // namespace

TEST_F(RestoreSafetyTest, ARestoreKilledAtAnyStepWhereFoldersCannotBeExchangedLeavesTheOldOrTheNewDataWhole)
{
    if (const QString folder = KilledRuns::childFolder(); !folder.isEmpty()) {
        startOn(folder);
        QString why, kept;
        EXPECT_TRUE(zipHelper().recoverFileFrom(folder + "/new.zip", &why, {}, &kept)) << why.toStdString();
        // Then, as the data management page has it done, their folder becomes an archive.
        EXPECT_TRUE(zipHelper().archiveKeptFolder(kept, nullptr, &why)) << why.toStdString();
        return;
    }
    int missing = 0, oldData = 0, keptAsFolder = 0;
    const int killed = KilledRuns::atEveryStep(
        [](const QString &folder) { prepare(folder); },
        [&](const QString &folder, bool wasKilled) {
            const QString label = wasKilled ? "killed run" : "whole run";
            if (!QFileInfo::exists(folder + "/Data")) {
                ++missing;
                // Between the two renames of the swap: the restored data wait whole, marked so,
                // and the data set aside carry the mark of data to keep.
                const QStringList beside = QDir(folder).entryList({"Data.*"}, QDir::Dirs | QDir::Hidden, QDir::Name);
                ASSERT_EQ(beside.size(), 2) << beside.join(", ").toStdString();
                EXPECT_TRUE(FolderMark::holds(FolderHandle::open(folder + "/" + beside.at(0), false), FolderMark::Kind::Kept));
                EXPECT_TRUE(FolderMark::holds(FolderHandle::open(folder + "/" + beside.at(1), false), FolderMark::Kind::Restored));
            }
            startOn(folder, true);
            // What is kept in Backups as a folder is known as Pollix's by its mark: renames keep it.
            // A start also looks there: a removal killed after the mark, its last file, went
            // leaves only empty folders beside their archive, which go.
            const QStringList toArchive = zipHelper::keptFoldersToFinish();
            EXPECT_EQ(toArchive.size(), keptFolders(folder).size()) << label.toStdString();
            for (const QString &kept : keptFolders(folder))
                EXPECT_TRUE(FolderMark::holds(FolderHandle::open(folder + "/Backups/" + kept, false), FolderMark::Kind::Kept))
                    << label.toStdString();
            const Files now = restored(folder + "/Data");
            EXPECT_TRUE(now == kNew || (wasKilled && filesBelow(folder + "/Data", true) == kOld)) << label.toStdString();
            oldData += now != kNew;
            EXPECT_EQ(QFile(folder + "/Data/notes.txt").size(), 13) << label.toStdString();
            EXPECT_EQ(besideData(folder), QStringList{"Data"}) << label.toStdString();
            // The data it replaced are kept whole, as their folder or as its archive, whatever
            // the moment of the kill; a whole run leaves the archive alone.
            if (now == kNew) {
                const Files kept = keptData(folder);
                EXPECT_TRUE(kept == kOld) << label.toStdString() << ": " << QStringList(kept.keys()).join(", ").toStdString()
                                          << " in " << QDir(folder + "/Backups").entryList().join(", ").toStdString();
                keptAsFolder += keptArchives(folder).isEmpty();
            }
            if (!wasKilled) {
                EXPECT_FALSE(QFileInfo::exists(folder + "/Data/.pollix-restored"));
                EXPECT_FALSE(QFileInfo::exists(folder + "/Data/.pollix-kept"));
                EXPECT_TRUE(keptFolders(folder).isEmpty());
                ASSERT_EQ(keptArchives(folder).size(), 1);
                QString why;
                ASSERT_TRUE(zipHelper().recoverFileFrom(folder + "/Backups/" + keptArchives(folder).first(), &why))
                    << why.toStdString();
                EXPECT_EQ(filesBelow(folder + "/Data", true), kOld);
            }
        },
        80, {"renameat2:error=EINVAL"});
    EXPECT_GE(killed, 6);
    EXPECT_GT(missing, 0) << "no kill fell between the two renames of the swap";
    EXPECT_GT(oldData, 0) << "no kill fell before the swap";
    EXPECT_GT(keptAsFolder, 0) << "no kill fell while the kept data were being archived";
}

TEST_F(RestoreSafetyTest, TheDataARestoreReplacesAreKeptFirstUnlessThereAreNoneOrTheArchiveIsRefused)
{
    prepare(home());
    QString why, kept;
    // A refused archive replaces nothing and keeps nothing.
    makeZipArchive(home() + "bad.zip", {{"//Subjects.xml", "<Subjects"}});
    EXPECT_FALSE(zipHelper().recoverFileFrom(home() + "bad.zip", &why, {}, &kept));
    EXPECT_TRUE(kept.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(home() + "Backups"));

    struct stat oldFile{};
    ASSERT_EQ(::stat(QFile::encodeName(data() + "Quiz/Monday.xml").constData(), &oldFile), 0);
    ASSERT_TRUE(zipHelper().recoverFileFrom(home() + "new.zip", &why, {}, &kept)) << why.toStdString();
    EXPECT_EQ(restored(data()), kNew);
    // Kept by moving their folder into Backups (the very files, not copies: no time spent on
    // them during the restore), then written as an archive beside it.
    struct stat keptFile{};
    ASSERT_EQ(::stat(QFile::encodeName(kept + "/Quiz/Monday.xml").constData(), &keptFile), 0);
    EXPECT_EQ(keptFile.st_ino, oldFile.st_ino);
    const QString name = QFileInfo(kept).fileName();
    EXPECT_EQ(QFileInfo(kept).absolutePath(), home() + "Backups");
    EXPECT_TRUE(QRegularExpression("^Before restore \\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d$").match(name).hasMatch())
        << name.toStdString();
    EXPECT_EQ(filesBelow(kept, true), kOld);
    EXPECT_EQ(QFile(kept + "/notes.txt").size(), 13);
    EXPECT_FALSE(QFileInfo::exists(kept + "/.kept-as"));
    QString archive;
    ASSERT_TRUE(zipHelper().archiveKeptFolder(kept, &archive, &why)) << why.toStdString();
    EXPECT_EQ(archive, kept + ".zip");
    EXPECT_FALSE(QFileInfo::exists(kept)) << "the folder goes once its archive is on the disk";
    EXPECT_TRUE(zipHelper::checkBackup(archive, &why)) << why.toStdString();
    kept = archive;

    // Two in one second get names of their own.
    const QDateTime when(QDate(2024, 5, 1), QTime(14, 7, 9));
    const QString first = zipHelper::backupBeforeRestorePath(when);
    EXPECT_EQ(first, home() + "Backups/Before restore 2024-05-01 14-07-09.zip");
    QFile(first).open(QIODevice::WriteOnly);
    EXPECT_EQ(zipHelper::backupBeforeRestorePath(when), home() + "Backups/Before restore 2024-05-01 14-07-09 (2).zip");

    // An empty data folder has nothing to keep.
    ASSERT_TRUE(zipHelper().DelAllRecords(&why)) << why.toStdString();
    const QStringList before = keptArchives(home());
    const QString keptBefore = kept;
    ASSERT_TRUE(zipHelper().recoverFileFrom(keptBefore, &why, {}, &kept)) << why.toStdString();
    EXPECT_TRUE(kept.isEmpty());
    EXPECT_EQ(keptArchives(home()), before);
    EXPECT_EQ(filesBelow(data(), true), kOld);
}

TEST_F(RestoreSafetyTest, DataTheArchiveCannotHoldDoNotStopTheRestoreAndAreKeptAsTheirFolder)
{
    // A damaged file is often why a teacher restores: Backup refuses it, so the replaced folder
    // itself is kept, every byte of its data files, the damaged one included.
    prepare(home());
    QFile damaged(data() + "Subjects.xml");
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("<Subjects><Subj");
    damaged.close();
    const Files before = filesBelow(data(), true);
    QString why, kept;
    ASSERT_TRUE(zipHelper().recoverFileFrom(home() + "new.zip", &why, {}, &kept)) << why.toStdString();
    EXPECT_EQ(restored(data()), kNew);
    EXPECT_EQ(QFileInfo(kept).absolutePath(), home() + "Backups");
    EXPECT_TRUE(QRegularExpression("^Before restore \\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d$")
                    .match(QFileInfo(kept).fileName()).hasMatch())
        << kept.toStdString();
    ASSERT_TRUE(QFileInfo(kept).isDir());
    EXPECT_EQ(filesBelow(kept + "/", true), before);
    EXPECT_TRUE(keptArchives(home()).isEmpty());
    EXPECT_EQ(besideData(home()), QStringList{"Data"}) << "no staging folder is left behind";
}

TEST_F(RestoreSafetyTest, DataKeptAsTheirFolderOutlastARestoreKilledAtAnyStepWhereFoldersCannotBeExchanged)
{
    // The replaced data cannot be written as an archive (a damaged file), so their folder is all
    // that is left of them once the restore swapped it out: no kill may let a start remove it.
    const auto damage = [](const QString &folder) {
        prepare(folder);
        QFile damaged(folder + "/Data/Subjects.xml");
        damaged.open(QIODevice::WriteOnly);
        damaged.write("<Subjects><Subj");
    };
    if (const QString folder = KilledRuns::childFolder(); !folder.isEmpty()) {
        startOn(folder);
        QString why, kept;
        EXPECT_TRUE(zipHelper().recoverFileFrom(folder + "/new.zip", &why, {}, &kept)) << why.toStdString();
        return;
    }
    int restoredRuns = 0;
    Files before = kOld;
    before["Subjects.xml"] = "<Subjects><Subj";
    const int killed = KilledRuns::atEveryStep(
        damage,
        [&](const QString &folder, bool wasKilled) {
            const QString label = wasKilled ? "killed run" : "whole run";
            startOn(folder, true);
            const QStringList keptFolders = QDir(folder + "/Backups").entryList({"Before restore *"}, QDir::Dirs, QDir::Name);
            if (restored(folder + "/Data") == kNew) {
                ++restoredRuns;
                ASSERT_EQ(keptFolders.size(), 1) << label.toStdString();
                EXPECT_EQ(filesBelow(folder + "/Backups/" + keptFolders.first(), true), before) << label.toStdString();
            } else {
                EXPECT_TRUE(wasKilled);
                EXPECT_EQ(filesBelow(folder + "/Data", true), before) << label.toStdString();
            }
            EXPECT_FALSE(QFile::exists(folder + "/Data/.kept-as")) << label.toStdString();
            EXPECT_EQ(besideData(folder), QStringList{"Data"}) << label.toStdString();
        },
        80, {"renameat2:error=EINVAL"});
    EXPECT_GE(killed, 6);
    EXPECT_GE(restoredRuns, 3) << "no kill fell after the data were swapped out";
}

TEST_F(RestoreSafetyTest, AChangeOfTheReplacedDataLeftUnfinishedIsNotCarriedOverTheRestoredFiles)
{
    // A change the last start could not finish stays noted down in the data folder, with its new
    // and old bytes beside the files; the teacher then restores. The next start must not finish
    // that change over the restored files, either way.
    prepare(home());
    const QString subjectsNew = SideFiles::nameBeside(data() + "Subjects.xml", SideFiles::Kind::Staged);
    const QString classKept = SideFiles::nameBeside(data() + "Classes/9A.xml", SideFiles::Kind::Kept);
    writeFile("Data/" + QFileInfo(subjectsNew).fileName(), subjects("Pending"));
    writeFile("Data/Classes/" + QFileInfo(classKept).fileName(), classFile("Pending"));
    QString why;
    const QList<ChangeJournal::Step> forward{{data() + "Subjects.xml", subjectsNew, {}}};
    const QList<ChangeJournal::Step> back{{data() + "Classes/9A.xml", {}, classKept}};
    ASSERT_FALSE(ChangeJournal::write(forward, ChangeJournal::Direction::Forward, &why, data() + ".change-0000abcd.journal").isEmpty());
    ASSERT_FALSE(ChangeJournal::write(back, ChangeJournal::Direction::Back, &why, data() + ".change-0000abce.journal").isEmpty());

    QString kept;
    ASSERT_TRUE(zipHelper().recoverFileFrom(home() + "new.zip", &why, {}, &kept)) << why.toStdString();
    startOn(home(), true);
    EXPECT_EQ(restored(data()), kNew);
    EXPECT_EQ(QFile(data() + "notes.txt").size(), 13) << "the teacher's own file is carried over";
    EXPECT_TRUE(QDir(data()).entryList({".change-*"}, QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(RestoreSafetyTest, ABackupArchiveAndARenamedClassFileAreSyncedIntoTheirFolderBeforeSuccessIsReported)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        startOn(folder);
        auto *classes = TovClassXmlDatabase::sharedClassUI();
        EXPECT_TRUE(classes->updateClassWithNo(classes->classNoByName("8C"), "8D"));
        TracedRun::mark(folder, 1);
        QString why;
        EXPECT_TRUE(zipHelper().backupFilTo(folder + "/Out/backup.zip", &why)) << why.toStdString();
        TracedRun::mark(folder, 2);
        return;
    }
    const QString root = QFileInfo(home()).canonicalFilePath();
    prepare(root);
    ASSERT_TRUE(QDir(root).mkpath("Out"));
    const TracedRun::Outcome run = TracedRun::runCurrentTest(root, {"-y", "-e", "trace=rename,renameat,renameat2,fsync,mkdir"}, true);
    ASSERT_TRUE(run.passed) << run.output.toStdString();
    EXPECT_TRUE(TracedRun::renamedThenSynced(TracedRun::callsBefore(run.trace, 1), root + "/Data/Classes/8D.xml",
                                             root + "/Data/Classes"));
    EXPECT_TRUE(TracedRun::renamedThenSynced(TracedRun::callsBefore(run.trace, 2), root + "/Out/backup.zip", root + "/Out"));
}

// A folder the disk does not sync after a rename (a failing disk, a share): each save is in place,
// reported saved once (the session list holds the session once, the class list the new name),
// and the teacher is told of each folder.
TEST_F(RestoreSafetyTest, AFolderTheDiskCannotSyncKeepsEachSaveInPlaceReportedOnceAndSaysSo)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        startOn(folder);
        QStringList told;
        AtomicFile::setUnsyncedHandler([&](const QString &path, const QString &) { told << QFileInfo(path).fileName(); });
        QuizEntity quiz;
        quiz.setActionType("1");
        quiz.setClassName("8C");
        QString path, why;
        EXPECT_TRUE(TovQuizXmlDatabase().addQuizWithName("Week 3", quiz, &path, &why)) << why.toStdString();
        EXPECT_EQ(QDir(folder + "/Data/Quiz").entryList(QDir::Files | QDir::Hidden).size(), 2);
        int listed = 0;
        for (const TovSessionXmlParsedResult &entry : TovFastQuizXmlDatabase::sharedFastQuiz()->allSessionXmlParsedResults())
            listed += entry.filePath() == path;
        EXPECT_EQ(listed, 1);
        auto *classes = TovClassXmlDatabase::sharedClassUI();
        EXPECT_TRUE(classes->updateClassWithNo(classes->classNoByName("8C"), "8D", &why)) << why.toStdString();
        EXPECT_TRUE(QFileInfo::exists(folder + "/Data/Classes/8D.xml"));
        EXPECT_GT(classes->classNoByName("8D"), 0);
        EXPECT_TRUE(zipHelper().backupFilTo(folder + "/Out/backup.zip", &why)) << why.toStdString();
        EXPECT_TRUE(zipHelper::checkBackup(folder + "/Out/backup.zip", &why)) << why.toStdString();
        EXPECT_EQ(told, (QStringList{QFileInfo(path).fileName(), "8D.xml", "backup.zip"}));
        AtomicFile::setUnsyncedHandler({});
        return;
    }
    const QString root = QFileInfo(home()).canonicalFilePath();
    prepare(root);
    ASSERT_TRUE(QDir(root).mkpath("Out"));
    const TracedRun::Outcome run = TracedRun::runCurrentTest(
        root, {"-e", "trace=fsync", "-P", root + "/Data/Quiz", "-P", root + "/Data/Classes", "-P", root + "/Out", "-e",
               "inject=fsync:error=EIO"},
        true);
    ASSERT_TRUE(run.passed) << run.output.toStdString();
    EXPECT_TRUE(TracedRun::injected(run.trace));
}

// A class renamed whose name inside cannot follow takes its old name back; when even that rename
// fails, the list keeps the name the file has, and the reason says so.
TEST_F(RestoreSafetyTest, AClassWhoseNameInsideCannotFollowTakesItsOldNameBackOrKeepsTheListInStep)
{
    const auto rename = [](const QString &folder) {
        AtomicFile::setFailureHook([](const QString &path) { return path.endsWith("/8D.xml"); });
        auto *classes = TovClassXmlDatabase::sharedClassUI();
        QString why;
        EXPECT_FALSE(classes->updateClassName("8C", "8D", &why));
        AtomicFile::setFailureHook({});
        QFile out(folder + "/why.txt");
        out.open(QIODevice::WriteOnly);
        out.write(why.toUtf8() + "\n" + classes->nameByClassNo(1).toUtf8());
    };
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        startOn(folder);
        rename(folder);
        return;
    }
    prepare(home());
    rename(home());
    EXPECT_TRUE(QFileInfo::exists(data() + "Classes/8C.xml") && !QFileInfo::exists(data() + "Classes/8D.xml"));
    EXPECT_TRUE(readFile(home() + "why.txt").endsWith("\n8C"));

    // The rename back fails (the second rename the change makes).
    QTemporaryDir other;
    const QString root = QFileInfo(other.path()).canonicalFilePath();
    prepare(root);
    const TracedRun::Outcome run =
        TracedRun::runCurrentTest(root, {"-e", "trace=renameat2", "-e", "inject=renameat2:error=EIO:when=2"}, true);
    ASSERT_TRUE(run.passed) << run.output.toStdString();
    ASSERT_TRUE(TracedRun::injected(run.trace));
    EXPECT_TRUE(QFileInfo::exists(root + "/Data/Classes/8D.xml") && !QFileInfo::exists(root + "/Data/Classes/8C.xml"));
    const QByteArray said = readFile(root + "/why.txt");
    EXPECT_TRUE(said.contains("keeps the name 8D.xml") && said.endsWith("\n8D")) << said.toStdString();
}

// A data folder on another disk than the application folder (reached through a link): its folder
// cannot be moved into Backups, so the data it replaces are written there as an archive first.
TEST_F(RestoreSafetyTest, WhereBackupsIsOnAnotherDiskTheReplacedDataAreArchivedFirst)
{
    POLLIX_ON_SMALL_DISK(.kilobytes = 4096);
    QTemporaryDir elsewhere;
    prepare(elsewhere.path());
    ASSERT_TRUE(QFile::link(elsewhere.path() + "/Data", home() + "Data"));
    QString why, kept;
    ASSERT_TRUE(zipHelper().recoverFileFrom(elsewhere.path() + "/new.zip", &why, {}, &kept)) << why.toStdString();
    EXPECT_EQ(restored(elsewhere.path() + "/Data"), kNew);
    EXPECT_TRUE(QFileInfo(home() + "Data").isSymLink());
    EXPECT_EQ(QFileInfo(kept).absolutePath(), home() + "Backups");
    EXPECT_TRUE(kept.endsWith(".zip") && QFileInfo(kept).isFile()) << kept.toStdString();
    EXPECT_TRUE(zipHelper::checkBackup(kept, &why)) << why.toStdString();
}

// Data the restore kept in Backups go only as far as their archive holds them: a file the teacher
// put in the folder since stays, and is named; a folder of the teacher's there, and a copy of one
// of Pollix's, are neither archived nor emptied.
TEST_F(RestoreSafetyTest, AKeptFolderGoesOnlyAsFarAsItsArchiveHoldsItAndOnlyWhenPollixSetItAside)
{
    prepare(home());
    QString why, kept;
    ASSERT_TRUE(zipHelper().recoverFileFrom(home() + "new.zip", &why, {}, &kept)) << why.toStdString();
    ASSERT_EQ(QFileInfo(kept).absolutePath(), home() + "Backups");
    writeFile("Backups/" + QFileInfo(kept).fileName() + "/marks-scan.pdf", "%PDF-1.4 scan");
    writeFile("Backups/" + QFileInfo(kept).fileName() + "/Quiz/letter.docx", "a letter");
    // A copy of it (new device and inode, its note copied along) and a folder of the teacher's.
    const QString copy = home() + "Backups/Before restore - copy for the inspector";
    ASSERT_EQ(QProcess::execute("cp", {"-a", kept, copy}), 0);
    const QString teachers = home() + "Backups/Before restore - letters";
    writeFile("Backups/Before restore - letters/Classes/8C.xml", classFile("8C"));
    writeFile("Backups/Before restore - letters/letter.docx", "another letter");
    const Files copyBefore = filesBelow(copy), teachersBefore = filesBelow(teachers);

    LogLines log;
    QString archive;
    ASSERT_TRUE(zipHelper().archiveKeptFolder(kept, &archive, &why)) << why.toStdString();
    EXPECT_TRUE(zipHelper::checkBackup(archive, &why)) << why.toStdString();
    // The data files are in the archive and gone; the teacher's files stay with Pollix's note,
    // and the log names them.
    EXPECT_EQ(namesBelow(kept), (QStringList{".pollix-kept", "Quiz/letter.docx", "marks-scan.pdf"}));
    EXPECT_EQ(log.containing(kept + "/marks-scan.pdf").size(), 1) << log.lines().join("\n").toStdString();
    // A file the restore carried over is the data folder's own file: that one stays whole.
    EXPECT_EQ(QFile(data() + "notes.txt").size(), 13);

    for (const QString &folder : {copy, teachers}) {
        EXPECT_FALSE(zipHelper().archiveKeptFolder(folder, nullptr, &why)) << folder.toStdString();
        EXPECT_TRUE(why.contains("Pollix did not set it aside")) << why.toStdString();
        EXPECT_FALSE(QFileInfo::exists(folder + ".zip"));
    }
    EXPECT_EQ(filesBelow(copy), copyBefore);
    EXPECT_EQ(filesBelow(teachers), teachersBefore);
}

// The files of a kept folder go right after its archive is written without being read a second
// time: each is opened once, for the archive.
TEST_F(RestoreSafetyTest, AKeptFolderArchivedAndRemovedReadsEachOfItsFilesOnce)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        startOn(folder);
        QString why, kept;
        EXPECT_TRUE(zipHelper().recoverFileFrom(folder + "/new.zip", &why, {}, &kept)) << why.toStdString();
        TracedRun::mark(folder, 1);
        EXPECT_TRUE(zipHelper().archiveKeptFolder(kept, nullptr, &why)) << why.toStdString();
        EXPECT_FALSE(QFileInfo::exists(kept));
        TracedRun::mark(folder, 2);
        return;
    }
    const QString root = QFileInfo(home()).canonicalFilePath();
    prepare(root);
    const TracedRun::Outcome run = TracedRun::runCurrentTest(root, {"-y", "-e", "trace=openat,mkdir"}, true);
    ASSERT_TRUE(run.passed) << run.output.toStdString();
    const QStringList calls = TracedRun::callsBefore(run.trace, 2);
    ASSERT_FALSE(calls.isEmpty());
    for (const QString &file : kOld.keys()) {
        // By its path for the archive, or through its folder held open ("Classes>", "8C.xml").
        const QString name = QFileInfo(file).fileName();
        QStringList opened;
        for (const QString &call : calls)
            if (call.contains("openat(") && call.contains("/Backups/Before restore ") && call.contains(name + "\"") &&
                call.contains("O_RDONLY"))
                opened << call;
        EXPECT_EQ(opened.size(), 1) << file.toStdString() << ":\n" << opened.join("\n").toStdString();
    }
}

// What is written into a kept file once its archive read it (its size and date kept as they
// were), or put in its place under its name, is not what the archive holds: it stays, and the
// files around it go.
TEST_F(RestoreSafetyTest, AKeptFileWrittenIntoOrReplacedAfterItsArchiveReadItStays)
{
    prepare(home());
    QString why, kept;
    ASSERT_TRUE(zipHelper().recoverFileFrom(home() + "new.zip", &why, {}, &kept)) << why.toStdString();
    const QString written = kept + "/Classes/8C.xml", replaced = kept + "/Subjects.xml";
    const auto sameDate = [](const QString &path, const struct stat &was) {
        const struct timespec times[2] = {was.st_atim, was.st_mtim};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    };
    const QByteArray writtenBytes = classFile("8D"), replacedBytes = subjects("Scienze");
    ASSERT_EQ(writtenBytes.size(), kOld["Classes/8C.xml"].size());
    ASSERT_EQ(replacedBytes.size(), kOld["Subjects.xml"].size());
    // Once every file went into the archive, before it is closed.
    const zipHelper::Progress progress = [&](int done, int total) {
        if (done != total)
            return;
        struct stat was{};
        ASSERT_EQ(::stat(QFile::encodeName(written).constData(), &was), 0);
        QFile file(written);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_EQ(file.write(writtenBytes), writtenBytes.size());
        file.close();
        sameDate(written, was);
        ASSERT_EQ(::stat(QFile::encodeName(replaced).constData(), &was), 0);
        writeFile("Backups/" + QFileInfo(kept).fileName() + "/Subjects.new", replacedBytes);
        ASSERT_TRUE(QFile::remove(replaced));
        ASSERT_TRUE(QFile::rename(kept + "/Subjects.new", replaced));
        sameDate(replaced, was);
    };
    LogLines log;
    QString archive;
    ASSERT_TRUE(zipHelper().archiveKeptFolder(kept, &archive, &why, progress)) << why.toStdString();
    EXPECT_EQ(namesBelow(kept), (QStringList{".pollix-kept", "Classes/8C.xml", "Subjects.xml"}));
    EXPECT_EQ(readFile(written), writtenBytes);
    EXPECT_EQ(readFile(replaced), replacedBytes);
    EXPECT_EQ(log.containing(written).size(), 1) << log.lines().join("\n").toStdString();
    EXPECT_EQ(keptData(home()), kOld) << "the archive holds the files as they were read";
}

// The archive beside a kept folder is what lets its files go; one that only a link puts there
// holds them somewhere else (a stick, a folder the teacher empties), and nothing goes for it,
// also when a start finds the folder's removal still to finish.
TEST_F(RestoreSafetyTest, AKeptFolderLosesNothingForAnArchiveThatALinkPutsBesideIt)
{
    prepare(home());
    QTemporaryDir elsewhere;
    QString why, kept;
    // The very data the restore replaces, archived outside the application folder.
    ASSERT_TRUE(zipHelper().backupFilTo(elsewhere.path() + "/old.zip", &why)) << why.toStdString();
    ASSERT_TRUE(zipHelper().recoverFileFrom(home() + "new.zip", &why, {}, &kept)) << why.toStdString();
    ASSERT_EQ(QFileInfo(kept).absolutePath(), home() + "Backups");
    const Files before = filesBelow(kept);
    ASSERT_TRUE(before.contains("Classes/8C.xml"));
    ASSERT_TRUE(QFile::link(elsewhere.path() + "/old.zip", kept + ".zip"));

    ASSERT_EQ(zipHelper::keptFoldersToFinish(), QStringList{kept});
    LogLines log;
    EXPECT_FALSE(zipHelper().archiveKeptFolder(kept, nullptr, &why));
    EXPECT_TRUE(why.contains(kept + ".zip")) << why.toStdString();
    EXPECT_TRUE(why.contains("symbolic link")) << why.toStdString();
    EXPECT_EQ(filesBelow(kept), before);
    EXPECT_TRUE(QFileInfo(kept + ".zip").isSymLink());
    EXPECT_TRUE(zipHelper::checkBackup(elsewhere.path() + "/old.zip", &why)) << why.toStdString();
}

// Without a folder kept (as a caller may ask), the replaced data go, but never a file a backup
// refuses: a damaged file, often why a teacher restores, is kept in Backups and named.
TEST_F(RestoreSafetyTest, ARestoreThatKeepsNoFolderDeletesNoFileABackupRefuses)
{
    prepare(home());
    writeFile("Data/Classes/9B.xml", "<ClassRoom><ClassName>9B");
    LogLines log;
    QString why;
    ASSERT_TRUE(zipHelper().recoverFileFrom(home() + "new.zip", &why)) << why.toStdString();
    EXPECT_EQ(restored(data()), kNew);
    const QStringList kept = keptFolders(home());
    ASSERT_EQ(kept.size(), 1);
    const QString folder = home() + "Backups/" + kept.first();
    // Only what no backup holds; the data files a backup takes went, as asked.
    EXPECT_EQ(namesBelow(folder), (QStringList{".pollix-kept", "Classes/9B.xml"}));
    EXPECT_EQ(readFile(folder + "/Classes/9B.xml"), "<ClassRoom><ClassName>9B");
    EXPECT_EQ(log.containing(folder).size(), 1) << log.lines().join("\n").toStdString();
    EXPECT_EQ(besideData(home()), QStringList{"Data"});
}

// Delete All Records removes what interrupted work left; the archive of replaced data still being
// written in the background is this process's own work, not a leftover: it is waited for.
TEST_F(RestoreSafetyTest, DeletingAllRecordsWaitsForTheArchiveOfReplacedDataStillBeingWritten)
{
    prepare(home());
    QString why, kept;
    ASSERT_TRUE(zipHelper().recoverFileFrom(home() + "new.zip", &why, {}, &kept)) << why.toStdString();
    std::mutex mutex;
    std::condition_variable changed;
    bool started = false, go = false, archived = false;
    QString archive, archiveWhy;
    FolderWork::runInBackground([&] {
        const zipHelper::Progress progress = [&](int, int) {
            std::unique_lock lock(mutex);
            if (started)
                return;
            started = true;
            changed.notify_all();
            // Held here with its part file written, until the delete is done (or, when the
            // delete waits for it as it should, a moment).
            changed.wait_for(lock, std::chrono::milliseconds(300), [&] { return go; });
        };
        archived = zipHelper().archiveKeptFolder(kept, &archive, &archiveWhy, progress);
    });
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(20), [&] { return started; }));
    }
    ASSERT_EQ(QDir(home() + "Backups").entryList({"*.part-*"}, QDir::Files | QDir::Hidden).size(), 1);
    EXPECT_TRUE(zipHelper().DelAllRecords(&why)) << why.toStdString();
    {
        std::lock_guard lock(mutex);
        go = true;
    }
    changed.notify_all();
    FolderWork::waitUntilIdle();
    EXPECT_TRUE(archived) << archiveWhy.toStdString();
    EXPECT_TRUE(zipHelper::checkBackup(kept + ".zip", &why)) << why.toStdString();
    EXPECT_TRUE(filesBelow(data(), true).isEmpty());

    // Called from within folder work, it would wait for itself: it refuses, with the reason.
    FolderWork::Running work;
    EXPECT_FALSE(zipHelper().DelAllRecords(&why));
    EXPECT_TRUE(why.contains("nothing was deleted")) << why.toStdString();
}

// What the restore checked is what it reads: the archive swapped for a pipe once listed is not
// opened again. Where it writes is where it made its folders: a folder of the staging area swapped
// for a link leads no file out of it.
TEST_F(RestoreSafetyTest, WhatARestoreReadsAndWhereItWritesCannotBeSwappedOnTheWay)
{
    prepare(home());
    const Files before = filesBelow(data());
    // The record of unfinished work is written once the archive is listed, before it is read.
    const auto whenListed = [](std::function<void()> swap) {
        AtomicFile::setFailureHook([swap = std::move(swap), done = false](const QString &path) mutable {
            if (!done && path.endsWith("/.unfinished-work")) {
                done = true;
                swap();
            }
            return false;
        });
    };
    QTemporaryDir outside;
    whenListed([&] {
        const QStringList staging = QDir(home()).entryList({"Data.restore-*"}, QDir::Dirs | QDir::Hidden);
        ASSERT_EQ(staging.size(), 1);
        ASSERT_TRUE(QFile::link(outside.path(), home() + staging.first() + "/Quiz"));
    });
    QString why;
    EXPECT_FALSE(zipHelper().recoverFileFrom(home() + "new.zip", &why));
    EXPECT_TRUE(why.contains("symbolic link")) << why.toStdString();
    EXPECT_TRUE(QDir(outside.path()).isEmpty());
    EXPECT_EQ(filesBelow(data()), before);

    whenListed([&] {
        ASSERT_TRUE(QFile::rename(home() + "new.zip", home() + "listed.zip"));
        ASSERT_EQ(::mkfifo(QFile::encodeName(home() + "new.zip").constData(), 0600), 0);
    });
    ASSERT_TRUE(zipHelper().recoverFileFrom(home() + "new.zip", &why)) << why.toStdString();
    AtomicFile::setFailureHook({});
    EXPECT_EQ(restored(data()), kNew);
}

// What a restore carries over from the data it replaces (a file of the teacher's in a session
// folder, one in a folder of the teacher's own) goes into the restored folder alone: its folders
// swapped for links to another place once the restored files are written (the built-in login
// is the last of them) lead no file there, and the restore is refused with nothing changed.
TEST_F(RestoreSafetyTest, WhatARestoreCarriesOverGoesNowhereAFolderSwappedForALinkLeads)
{
    prepare(home());
    writeFile("Data/Quiz/seating.txt", "rows by the window");
    writeFile("Data/Letters/parents.txt", "dear parents");
    const Files before = filesBelow(data());
    QTemporaryDir outside;
    AtomicFile::setFailureHook([&, done = false](const QString &path) mutable {
        if (done || !path.contains("/Data.restore-") || !path.endsWith("/UserList.xml"))
            return false;
        done = true;
        const QString staging = QFileInfo(path).absolutePath();
        EXPECT_TRUE(QFile::rename(staging + "/Quiz", staging + "/Quiz.moved"));
        EXPECT_TRUE(QFile::link(outside.path(), staging + "/Quiz"));
        EXPECT_TRUE(QFile::link(outside.path(), staging + "/Letters"));
        return false;
    });
    QString why;
    EXPECT_FALSE(zipHelper().recoverFileFrom(home() + "new.zip", &why, {}, nullptr));
    AtomicFile::setFailureHook({});
    EXPECT_TRUE(why.contains("symbolic link")) << why.toStdString();
    EXPECT_TRUE(QDir(outside.path()).isEmpty()) << QDir(outside.path()).entryList().join(' ').toStdString();
    EXPECT_EQ(filesBelow(data()), before);
    EXPECT_EQ(besideData(home()), QStringList{"Data"});
}

// Data set aside that hold no data file (what a start keeps of a swap over a data folder of the
// teacher's notes alone) have nothing to archive, and a restore would refuse an archive of none:
// what is Pollix's in them goes all the same, so that they are not kept forever; a file of the
// teacher's stays.
TEST_F(RestoreSafetyTest, DataSetAsideHoldingNoDataFileGoWithoutAnArchiveAsFarAsTheyArePollixs)
{
    const auto setAside = [&](const QString &name) {
        const QString folder = home() + "Backups/" + name;
        EXPECT_TRUE(QDir().mkpath(folder + "/Quiz") && QDir().mkpath(folder + "/Classes"));
        EXPECT_TRUE(FolderMark::write(FolderHandle::open(folder, false), FolderMark::Kind::Kept));
        return folder;
    };
    const QString empty = setAside("Before restore 2024-05-01 14-07-09");
    const QString notes = setAside("Before restore 2024-05-02 08-00-00");
    writeFile("Backups/Before restore 2024-05-02 08-00-00/Quiz/seating.txt", "rows by the window");
    ASSERT_EQ(zipHelper::keptFoldersToFinish(), (QStringList{empty, notes}));

    zipHelper::archiveKeptFolders(zipHelper::keptFoldersToFinish());
    EXPECT_FALSE(QFileInfo::exists(empty));
    EXPECT_EQ(namesBelow(notes), (QStringList{".pollix-kept", "Quiz/seating.txt"}));
    EXPECT_TRUE(keptArchives(home()).isEmpty());
    QString archive, why;
    EXPECT_TRUE(zipHelper().archiveKeptFolder(notes, &archive, &why)) << why.toStdString();
    EXPECT_TRUE(archive.isEmpty()) << archive.toStdString();
}

namespace {
void writeOutside(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

// Links another program puts in a restore's way while it runs lead it nowhere else: the data
// folder's note of where its data are kept made a link to a file outside (which stays as it was),
// and the unpacking folder swapped for a link to a folder outside while it is unpacked into (the
// restore is refused, with nothing changed, and nothing written where the link leads).
TEST_F(RestoreSafetyTest, LinksPutInItsWayWhileItRunsLeadTheRestoreNowhereElse)
{
    prepare(home());
    QTemporaryDir outside;
    const QString letter = outside.filePath("letter.txt");
    writeOutside(letter, "the teacher's letter");
    bool linked = false;
    QString why, kept;
    ASSERT_TRUE(zipHelper().recoverFileFrom(
        home() + "new.zip", &why, [&](int, int) { linked = linked || QFile::link(letter, data() + ".kept-as"); }, &kept))
        << why.toStdString();
    EXPECT_TRUE(linked);
    EXPECT_EQ(readFile(letter), "the teacher's letter");
    EXPECT_EQ(restored(data()), kNew);
    EXPECT_EQ(keptData(home()), kOld);

    QTemporaryDir impostor;
    const Files theirs{{"Subjects.xml", subjects("Forged")}};
    writeOutside(impostor.filePath("Subjects.xml"), theirs["Subjects.xml"]);
    const Files before = filesBelow(data());
    bool swapped = false;
    EXPECT_FALSE(zipHelper().recoverFileFrom(
        home() + "new.zip", &why,
        [&](int, int) {
            const QStringList staging = QDir(home()).entryList({"Data.restore-*"}, QDir::Dirs | QDir::Hidden);
            if (swapped || staging.size() != 1)
                return;
            const QString path = home() + staging.first();
            swapped = QFile::rename(path, home() + "moved") && QFile::link(impostor.path(), path);
        },
        &kept));
    EXPECT_TRUE(swapped);
    EXPECT_TRUE(why.contains("no longer the folder prepared")) << why.toStdString();
    EXPECT_FALSE(QFileInfo(home() + "Data").isSymLink());
    EXPECT_EQ(filesBelow(data()), before);
    EXPECT_EQ(filesBelow(impostor.path()), theirs);
}

// A Backups that another program made a link to a folder elsewhere is followed by no restore, as
// by no start: the data a restore would replace cannot be kept there, so nothing is replaced.
TEST_F(RestoreSafetyTest, ABackupsLinkIsFollowedByNoRestoreAsByNoStart)
{
    prepare(home());
    QTemporaryDir outside;
    ASSERT_TRUE(QFile::link(outside.path(), home() + "Backups"));
    const Files before = filesBelow(data());
    QString why, kept;
    EXPECT_FALSE(zipHelper().recoverFileFrom(home() + "new.zip", &why, {}, &kept));
    EXPECT_TRUE(why.contains("symbolic link")) << why.toStdString();
    EXPECT_EQ(filesBelow(data()), before);
    EXPECT_EQ(filesBelow(outside.path()), Files());
    EXPECT_EQ(zipHelper::keptFoldersToFinish(), QStringList());
}

// A Pollix archiving the data a restore replaced, stopped for real right after their archive was
// written, while its lock file went and another start took the folder: woken, it removes no file
// of theirs from Backups any more (the other Pollix finishes that), and the archive stays.
TEST_F(RestoreSafetyTest, AnArchiveOfReplacedDataStoppedWhileAnotherStartTookTheFolderRemovesNothingAfter)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        startOn(folder);
        InstanceLock lock(folder, folder + "/Data");
        ASSERT_EQ(lock.take(), InstanceLock::Outcome::Taken);
        zipHelper::setArchiveWrittenHook([&](const QString &) { TracedRun::stopHere(folder); });
        const QStringList kept = zipHelper::keptFoldersToFinish();
        ASSERT_EQ(kept.size(), 1);
        // As the start and the restore hand it on, while this thread answers events.
        FolderWork::runInBackground([kept] { zipHelper::archiveKeptFolders(kept); });
        EXPECT_TRUE(QTest::qWaitFor([] { return !FolderWork::running(); }, 120000));
        zipHelper::setArchiveWrittenHook({});
        return;
    }
    const QString root = QFileInfo(home()).canonicalFilePath();
    prepare(root);
    QString why, kept;
    ASSERT_TRUE(zipHelper().recoverFileFrom(root + "/new.zip", &why, {}, &kept)) << why.toStdString();
    const Files before = filesBelow(kept);
    ASSERT_TRUE(before.contains("Quiz/Monday.xml"));
    const TracedRun::Outcome run = TracedRun::runTakenWhileStopped(root);
    EXPECT_TRUE(run.passed) << run.output.toStdString();
    EXPECT_EQ(filesBelow(kept), before);
    EXPECT_TRUE(zipHelper::checkBackup(kept + ".zip", &why)) << why.toStdString();
}
