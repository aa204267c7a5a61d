// The start's recovery as the teacher meets it: a file named like a journal never holds or ends
// the start, and a replacement of the data folder that cannot be finished ends the start without
// a data folder made in its place, until a later start finishes it.
#include "core/app/SystemFileUnpacker.h"
#include "core/app/zipHelper.h"
#include "platform/AtomicFile.h"
#include "platform/ContentHash.h"
#include "platform/FolderHandle.h"
#include "platform/FolderMark.h"
#include "platform/FolderWork.h"
#include "support/DialogAnswers.h"
#include "support/KilledRuns.h"
#include "support/LogLines.h"
#include "support/ModalDriver.h"
#include "support/OrdinaryUser.h"
#include "support/PollixTest.h"
#include "support/RunningPollix.h"
#include "support/TracedRun.h"
#include "ui/app/StartRecovery.h"

#include <QDir>
#include <QFile>
#include <QAbstractButton>
#include <QFileInfo>
#include <QMessageBox>
#include <QTest>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kArchive = QStringLiteral(POLLIX_BINARY_DIR "/src/Pollix");
const QMap<QString, QByteArray> kOld{{"Subjects.xml", "<Subjects><Subject><Name>Science</Name></Subject></Subjects>"},
                                     {"UserList.xml", "old accounts"}};
const QString kFoundTitle = "Pollix found what it did not make in its application folder, and left it as it is.";
const QString kCutShortTitle = "A change cut short when Pollix last ended could not be finished.";
const QMap<QString, QByteArray> kRestored{{"Subjects.xml", "<Subjects><Subject><Name>History</Name></Subject></Subjects>"},
                                          {"UserList.xml", "restored accounts"}};

void makePipe(const QString &path)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0) << path.toStdString();
}

// A file of 64 GB that takes no room on the disk.
void makeHuge(const QString &path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(qint64(64) << 30)) << f.errorString().toStdString();
}

class StartRecoveryTest : public PollixTest
{
protected:
    static void writeTree(const QString &folder, const QMap<QString, QByteArray> &files)
    {
        QDir().mkpath(folder);
        for (auto it = files.begin(); it != files.end(); ++it) {
            QFile f(folder + "/" + it.key());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(it.value());
        }
    }
    // A restore cut between the two renames of its swap, where folders cannot be exchanged: the
    // old data aside, the restored data (staged whole) not yet in place, no data folder at all.
    static void swapCutShort(const QString &home)
    {
        writeTree(home + "/Data.old-dEf456", kOld);
        writeTree(home + "/Data.restore-aBc123", kRestored);
        ASSERT_TRUE(FolderMark::write(FolderHandle::open(home + "/Data.restore-aBc123", false), FolderMark::Kind::Restored));
        QFile journal(home + "/.Data.swap-0000abcd.journal");
        ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
        journal.write("Pollix folder swap 1\nData\nData.restore-aBc123\nData.old-dEf456\nend\n");
    }
    // The one alert of a start that kept the data a swap set aside: it says where, and they are
    // there.
    static void expectKeptIn(const DialogAnswers &answers, const QString &backups)
    {
        ASSERT_EQ(answers.alertTexts(), QStringList{"Pollix kept the data a restore replaced in Backups."});
        const QString said = answers.alerts().first().informativeText;
        const QString folder = QDir::toNativeSeparators(backups) + "Before restore ";
        ASSERT_TRUE(said.contains(folder)) << said.toStdString();
        const QString kept = said.mid(said.indexOf(folder)).section(QLatin1Char(';'), 0, 0);
        EXPECT_EQ(filesBelow(kept, true), kOld) << kept.toStdString();
    }
    static QStringList dataFolders(const QString &home)
    {
        return QDir(home).entryList({"Data*", ".Data*"}, QDir::AllEntries | QDir::Hidden | QDir::System, QDir::Name);
    }
    // Killed at each removal of a file or folder as a kept folder goes after its archive was
    // written: a later start finishes the removal, as far as the archive holds the files left.
    void keptFolderKilledAtEveryRemovalIsFinished();
};
} // namespace

TEST_F(StartRecoveryTest, APipeOrAHugeFileNamedLikeAJournalNeitherHoldsNorEndsTheStartAndIsNamed)
{
    POLLIX_AS_ORDINARY_USER();
    const QString root = home();
    ASSERT_TRUE(QDir(root).mkpath("Data"));
    makePipe(root + ".Data.swap-00000001.journal");
    makePipe(root + "Data/.change-00000002.journal");
    makeHuge(root + ".Data.swap-00000003.journal");
    makeHuge(root + "Data/.change-00000004.journal");
    ASSERT_TRUE(QFile::link("/dev/zero", root + "Data/.change-00000005.journal"));
    makePipe(root + ".unfinished-work");
    makePipe(root + ".pollix.lock");
    makePipe(root + "Data/.pollix.lock");
    ASSERT_TRUE(QDir(root).mkpath("Data.old-aBc123"));
    makePipe(root + "Data.old-aBc123/.kept-as");
    makePipe(root + ".told-at-start");

    RunningPollix pollix(root);
    const QList<std::pair<QString, QString>> named{
        {".Data.swap-00000001.journal", "it is no regular file"},
        {"Data/.change-00000002.journal", "it is no regular file"},
        {".Data.swap-00000003.journal", "it is larger than 64 KB"},
        {"Data/.change-00000004.journal", "it is larger than 64 MB"},
        {"Data/.change-00000005.journal", "it is a symbolic link"},
        {".unfinished-work", "it is no regular file"},
        {"Data.old-aBc123", "it is no regular file"},
        {".told-at-start", "it is no regular file"},
    };
    // The note of what was told is read last, as the alert comes up.
    ASSERT_TRUE(pollix.saw("all the start found is told again")) << pollix.output.toStdString();
    const QString told = QString::fromUtf8(pollix.output);
    for (const auto &[record, reason] : named) {
        const qsizetype at = told.indexOf(root + record);
        ASSERT_GE(at, 0) << record.toStdString() << " is not named in:\n" << told.toStdString();
        EXPECT_TRUE(told.mid(at).section(QLatin1Char('\n'), 0, 0).contains(reason)) << record.toStdString();
    }
    EXPECT_TRUE(pollix.holds(root)) << "the pipe under the lock's name gave way to its lock";
    // Its alert is up, and an ending signal ends it there.
    EXPECT_TRUE(pollix.endsCleanlyOn(SIGTERM)) << pollix.output.toStdString();
    EXPECT_EQ(QFileInfo(root + "Data/.change-00000004.journal").size(), qint64(64) << 30);
    EXPECT_FALSE(QFileInfo(root + ".told-at-start").isFile()) << "the pipe is not written over";
}

TEST_F(StartRecoveryTest, ASwapWhoseFinishFailsEndsTheStartWithNoDataFolderMadeAndALaterStartFinishesIt)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        // The start, every rename failing: the swap cannot be finished.
        startOn(folder);
        DialogAnswers answers;
        EXPECT_FALSE(StartRecovery::run());
        QFile told(folder + "/told.txt");
        ASSERT_TRUE(told.open(QIODevice::WriteOnly));
        for (const AlertRequest &alert : answers.alerts())
            told.write((alert.text + "\n" + alert.informativeText + "\n").toUtf8());
        // What the welcome window does on every start, should a start go on all the same.
        SystemFileUnpacker::unZipSystemFile(kArchive, folder);
        return;
    }
    POLLIX_AS_ORDINARY_USER();
    const QString root = QFileInfo(home()).canonicalFilePath();
    swapCutShort(root);
    const TracedRun::Outcome run = TracedRun::runCurrentTest(
        root, {"-e", "trace=rename,renameat,renameat2", "-e", "inject=rename,renameat,renameat2:error=EIO"});
    ASSERT_TRUE(run.passed) << run.output.toStdString();
    const QString told = QString::fromUtf8(readFile(root + "/told.txt"));
    QFile::remove(root + "/told.txt");
    EXPECT_TRUE(told.startsWith("Pollix cannot open its data folder, and ends.\n")) << told.toStdString();
    for (const char *named : {"Data.restore-aBc123", "Input/output error", "tries again when it starts next"})
        EXPECT_TRUE(told.contains(named)) << named << " in: " << told.toStdString();
    // No data folder in the missing one's place, the swap's folders as they were.
    EXPECT_EQ(dataFolders(root), (QStringList{".Data.swap-0000abcd.journal", "Data.old-dEf456", "Data.restore-aBc123"}));
    EXPECT_EQ(filesBelow(root + "/Data.restore-aBc123", true), kRestored);
    EXPECT_EQ(filesBelow(root + "/Data.old-dEf456"), kOld);
    EXPECT_TRUE(QFileInfo(root + "/Help").isDir()) << "the other first-run files are put in place";

    // The next start finishes the swap and goes on; its alert says where the data it replaced are.
    startOn(root);
    DialogAnswers answers;
    EXPECT_TRUE(StartRecovery::run());
    expectKeptIn(answers, root + "/Backups/");
    EXPECT_EQ(dataFolders(root), QStringList{"Data"});
    EXPECT_EQ(filesBelow(root + "/Data"), kRestored);
}

TEST_F(StartRecoveryTest, ADataFolderAStartMadeWhileTheOldOneWasAsideGivesWayToTheSwapUnlessItHoldsFiles)
{
    // As earlier versions left it: a start could not finish the swap, and the first-run files
    // then made a new, empty data folder, which every later start could not move aside.
    swapCutShort(home());
    for (const char *folder : {"Data/Classes", "Data/Quiz", "Data/CourseGrade"})
        ASSERT_TRUE(QDir(home()).mkpath(folder));
    writeFile("Data/StudentRoster.xml", "typed into the empty folder");
    {
        // Work the teacher did in it meanwhile is not put aside for the swap: all stays, named in
        // the alert, which its OK closes.
        ModalDriver driver;
        QString told;
        driver.on("PollixAlert", [&](QWidget *alert) {
            told = static_cast<QMessageBox *>(alert)->text() + "\n" + static_cast<QMessageBox *>(alert)->informativeText();
            QTest::mouseClick(alert->findChild<QAbstractButton *>("alertButton0"), Qt::LeftButton);
        });
        EXPECT_FALSE(StartRecovery::run());
        EXPECT_EQ(driver.opened(), QStringList{"PollixAlert"});
        EXPECT_TRUE(told.startsWith("Pollix cannot open its data folder, and ends.")) << told.toStdString();
        EXPECT_TRUE(told.contains("was made again while its old contents were aside")) << told.toStdString();
        // Each reason a paragraph of whole sentences: they name long paths over several lines.
        EXPECT_TRUE(told.contains(" is not finished yet.\n\n")) << told.toStdString();
        EXPECT_TRUE(told.contains("at the next start.\n\nPollix tries again when it starts next.")) << told.toStdString();
        EXPECT_EQ(filesBelow(home() + "Data"), (QMap<QString, QByteArray>{{"StudentRoster.xml", "typed into the empty folder"}}));
        EXPECT_EQ(dataFolders(home()), (QStringList{".Data.swap-0000abcd.journal", "Data", "Data.old-dEf456", "Data.restore-aBc123"}));
    }
    QFile::remove(home() + "Data/StudentRoster.xml");
    DialogAnswers answers;
    EXPECT_TRUE(StartRecovery::run());
    expectKeptIn(answers, home() + "Backups/");
    EXPECT_EQ(dataFolders(home()), QStringList{"Data"});
    EXPECT_EQ(filesBelow(home() + "Data"), kRestored);
}

// Data a restore replaced, moved into Backups, whose archive was cut short (the program ended
// before it was written): the next start makes it, so that Restore can bring them back, and lets
// the folder go. Only a folder Pollix set aside (its mark names that very folder): a folder the
// teacher made there under a like name is named once and left whole; a link named like such a
// folder is not followed.
TEST_F(StartRecoveryTest, ReplacedDataLeftAsAFolderInBackupsAreArchivedAtTheNextStartAndRestoreBringsThemBack)
{
    const QString root = home();
    writeTree(root + "Data", kRestored);
    const QString kept = root + "Backups/Before restore 2026-03-02 08-15-00";
    writeTree(kept, {{"Subjects.xml", kOld.value("Subjects.xml")}});
    writeTree(kept + "/Quiz", {{"Monday.xml", testData("store/session-full/expected.xml")}});
    ASSERT_TRUE(FolderMark::write(FolderHandle::open(kept, false), FolderMark::Kind::Kept));
    const QString teachers = root + "Backups/Before restore - copy for the inspector";
    writeTree(teachers, {{"marks-scan.pdf", "%PDF-1.4 scan"}, {"letter.docx", "a letter"}});
    writeTree(teachers + "/Classes", {{"8C.xml", "<ClassRoom><ClassName>8C</ClassName></ClassRoom>"}});
    const QMap<QString, QByteArray> teachersFiles = filesBelow(teachers);
    QTemporaryDir outside;
    writeTree(outside.path() + "/elsewhere", kOld);
    ASSERT_TRUE(QFile::link(outside.path() + "/elsewhere", root + "Backups/Before restore 2026-03-03 09-00-00"));

    {
        LogLines log;
        ASSERT_TRUE(StartRecovery::run());
        FolderWork::waitUntilIdle();
        EXPECT_EQ(log.containing("Before restore - copy for the inspector").size(), 1) << log.lines().join("\n").toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(kept));
    ASSERT_TRUE(QFileInfo(kept + ".zip").isFile());
    EXPECT_FALSE(QFileInfo::exists(root + "Backups/Before restore 2026-03-03 09-00-00.zip"));
    EXPECT_TRUE(QFileInfo(outside.path() + "/elsewhere/Subjects.xml").isFile());
    EXPECT_EQ(filesBelow(teachers), teachersFiles);
    EXPECT_FALSE(QFileInfo::exists(teachers + ".zip"));

    QString why;
    ASSERT_TRUE(zipHelper().recoverFileFrom(kept + ".zip", &why)) << why.toStdString();
    QFile subjects(root + "Data/Subjects.xml");
    ASSERT_TRUE(subjects.open(QIODevice::ReadOnly));
    EXPECT_EQ(subjects.readAll(), kOld.value("Subjects.xml"));
    EXPECT_TRUE(QFileInfo(root + "Data/Quiz/Monday.xml").isFile());

    // An archive that is there already is not made again.
    ASSERT_TRUE(StartRecovery::run());
    FolderWork::waitUntilIdle();
    EXPECT_EQ(QDir(root + "Backups").entryList({"*.zip"}, QDir::Files).size(), 1);
}

// Killed at each removal of a file or folder as the folder goes after its archive was written:
// a later start finishes the removal, as far as the archive holds the files left, and names what
// it does not hold (a scan the teacher put there), which stays.
namespace {
void StartRecoveryTest::keptFolderKilledAtEveryRemovalIsFinished()
{
    const QString name = "Backups/Before restore 2026-03-02 08-15-00";
    if (const QString folder = KilledRuns::childFolder(); !folder.isEmpty()) {
        startOn(folder);
        QString why;
        EXPECT_TRUE(zipHelper().archiveKeptFolder(folder + "/" + name, nullptr, &why)) << why.toStdString();
        return;
    }
    const QMap<QString, QByteArray> held{{"Subjects.xml", kOld.value("Subjects.xml")},
                                         {"Quiz/Monday.xml", testData("store/session-full/expected.xml")},
                                         {"Classes/8C.xml", "<ClassRoom><ClassName>8C</ClassName><Students><Student><SID>1</SID></Student>"
                                                            "</Students></ClassRoom>"},
                                         {"UserList.xml", "<ArrayOfTeacher><Teacher><UserName>ann</UserName><Password>pw"
                                                          "</Password></Teacher></ArrayOfTeacher>"}};
    int halfRemoved = 0;
    const int killed = KilledRuns::atEveryCall(
        "unlinkat",
        [&](const QString &folder) {
            writeTree(folder + "/Data", kRestored);
            for (auto it = held.begin(); it != held.end(); ++it)
                writeTree(QFileInfo(folder + "/" + name + "/" + it.key()).absolutePath(),
                          {{QFileInfo(it.key()).fileName(), it.value()}});
            writeTree(folder + "/" + name, {{"marks-scan.pdf", "%PDF-1.4 scan"}});
            ASSERT_TRUE(FolderMark::write(FolderHandle::open(folder + "/" + name, false), FolderMark::Kind::Kept));
        },
        [&](const QString &folder, bool wasKilled) {
            const QString kept = folder + "/" + name;
            const qsizetype left = filesBelow(kept, true).size();
            halfRemoved += wasKilled && left > 0 && left < held.size();
            startOn(folder);
            LogLines log;
            EXPECT_TRUE(StartRecovery::run());
            FolderWork::waitUntilIdle();
            const QString label = wasKilled ? "killed run" : "whole run";
            EXPECT_EQ(QDir(kept).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
                      (QStringList{".pollix-kept", "marks-scan.pdf"}))
                << label.toStdString();
            EXPECT_FALSE(log.containing(kept + "/marks-scan.pdf").isEmpty()) << log.lines().join("\n").toStdString();
            QString why;
            ASSERT_TRUE(zipHelper().recoverFileFrom(kept + ".zip", &why)) << label.toStdString() << ": " << why.toStdString();
            EXPECT_EQ(filesBelow(folder + "/Data", true), held) << label.toStdString();
        });
    EXPECT_GE(killed, 4);
    EXPECT_GT(halfRemoved, 0) << "no kill fell in the middle of the removal";
}
} // namespace

TEST_F(StartRecoveryTest, AKeptFolderHalfRemovedByAKillIsFinishedByALaterStartAsFarAsItsArchiveHoldsIt)
{
    keptFolderKilledAtEveryRemovalIsFinished();
}

// Where renames that replace nothing are refused (a network share), a file goes aside as a second
// name given and its first name lost: a kill between the two leaves it under both, which the next
// start takes for the move it is and finishes.
TEST_F(StartRecoveryTest, AKeptFolderHalfRemovedByAKillWhereRenamesReplaceAnyNameIsFinishedToo)
{
    FolderHandle::setRefusalsForTesting({.renameFlags = true});
    const auto reset = qScopeGuard([] { FolderHandle::setRefusalsForTesting({}); });
    keptFolderKilledAtEveryRemovalIsFinished();
}

// A record of unfinished work that is none Pollix wrote (a damaged disk: random bytes) is kept as
// it is, touches nothing, and the start's alert names it, once.
TEST_F(StartRecoveryTest, ADamagedRecordOfUnfinishedWorkIsKeptTouchesNothingAndIsNamedInTheAlert)
{
    const QString root = home();
    writeTree(root + "Data", kOld);
    QByteArray noise(500 * 1024, Qt::Uninitialized);
    QRandomGenerator random(53);
    for (char &c : noise)
        c = char(random.bounded(256));
    // A line it might hold, naming a restore's folder beside the data folder.
    noise.prepend("999999999\t" + root.toUtf8() + "Data.restore-aBc123\n");
    writeTree(root + "Data.restore-aBc123", kRestored);
    QFile record(root + ".unfinished-work");
    ASSERT_TRUE(record.open(QIODevice::WriteOnly));
    record.write(noise);
    record.close();

    for (int start = 0; start < 2; ++start) {
        DialogAnswers answers;
        EXPECT_TRUE(StartRecovery::run());
        if (start == 0) {
            ASSERT_EQ(answers.alertTexts(), QStringList{kFoundTitle});
            const QString said = answers.alerts().first().informativeText;
            EXPECT_TRUE(said.contains(root + ".unfinished-work is left as it is, and nothing it names is removed: its line "))
                << said.toStdString();
        } else {
            EXPECT_EQ(answers.alertTexts(), QStringList()) << "told once";
        }
        EXPECT_EQ(readFile(root + ".unfinished-work"), noise);
        EXPECT_EQ(filesBelow(root + "Data.restore-aBc123"), kRestored);
        EXPECT_EQ(filesBelow(root + "Data"), kOld);
    }
}

// What the start leaves as it is because Pollix did not make it stays so for good: the teacher is
// told once what it is and what to do with it, and again only of what is new or changed since. A
// change of Pollix's own that cannot be finished (its folder may not be written) is said at every
// start, as it is tried again at each.
TEST_F(StartRecoveryTest, WhatPollixDidNotMakeIsToldOnceAndAChangeItCannotFinishAtEveryStart)
{
    POLLIX_AS_ORDINARY_USER();
    const QString root = home();
    writeTree(root + "Data", kOld);
    writeTree(root + "Data.restore-aBc123", kRestored); // noted by no record: the teacher's copy, say
    writeTree(root + "Data", {{".change-0000beef.journal", "a file of another program's"}});
    // Lines of an earlier version (no file noted) and of none (no plain path): they stay, and so
    // does the record, unchanged, start after start.
    writeTree(root, {{"Backup.zip.part-0000abcd", "half a backup"},
                     {".unfinished-work", "4242\t" + root.toUtf8() + "Backup.zip.part-0000abcd\n4243\tnot/a/plain/path\n"}});
    const QStringList named{root + "Data.restore-aBc123 beside the data folder is left as it is",
                            root + "Data/.change-0000beef.journal is no journal Pollix wrote",
                            root + "Backup.zip.part-0000abcd was noted by an earlier version",
                            "not/a/plain/path is no plain path"};
    const auto start = [&] {
        DialogAnswers answers;
        EXPECT_TRUE(StartRecovery::run());
        return answers.alerts();
    };
    QList<AlertRequest> told = start();
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(told.first().text, kFoundTitle);
    for (const QString &thing : named)
        EXPECT_TRUE(told.first().informativeText.contains(thing)) << thing.toStdString() << " in:\n"
                                                                  << told.first().informativeText.toStdString();
    EXPECT_TRUE(told.first().informativeText.endsWith("move it out of the application folder; if not, you may remove it. "
                                                      "Pollix leaves it alone and does not tell of it again."))
        << told.first().informativeText.toStdString();
    {
        LogLines log;
        EXPECT_TRUE(start().isEmpty()) << "told once";
        EXPECT_EQ(log.containing("The start left as it is what Pollix did not make").size(), 1) << "the log names it all the same";
    }
    EXPECT_EQ(filesBelow(root + "Data.restore-aBc123"), kRestored);
    EXPECT_TRUE(QFileInfo::exists(root + "Backup.zip.part-0000abcd"));

    // Something new, and something changed since, are told; the rest is not told again.
    writeTree(root + "Data.restore-dEf456", kOld);
    writeTree(root + "Data", {{".change-0000beef.journal", "a longer file of another program's"}});
    told = start();
    ASSERT_EQ(told.size(), 1);
    const QString said = told.first().informativeText;
    EXPECT_TRUE(said.contains(root + "Data.restore-dEf456 beside")) << said.toStdString();
    EXPECT_TRUE(said.contains(root + "Data/.change-0000beef.journal")) << said.toStdString();
    EXPECT_FALSE(said.contains("aBc123") || said.contains("part-0000abcd") || said.contains("not/a/plain")) << said.toStdString();
    // Gone and back (moved out by the teacher, then put back) is new again.
    ASSERT_TRUE(QDir(root).rename("Data.restore-dEf456", "../moved-out"));
    EXPECT_TRUE(start().isEmpty());
    ASSERT_TRUE(QDir(root).rename("../moved-out", "Data.restore-dEf456"));
    told = start();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told.first().informativeText.contains("dEf456")) << told.first().informativeText.toStdString();

    // A change of several files cut short, which the start cannot finish: its folder may not be
    // written.
    writeTree(root + "Data/Classes", {{"8C.xml", "<ClassRoom>old 8C</ClassRoom>"}, {"8C.xml.new-00000001", "<ClassRoom>new 8C</ClassRoom>"}});
    ASSERT_EQ(::link(QFile::encodeName(root + "Data/Classes/8C.xml").constData(),
                     QFile::encodeName(root + "Data/Classes/8C.xml.old-00000001").constData()), 0);
    writeTree(root + "Data", {{".change-00000001.journal", "Pollix change journal 1\nforward\nClasses/8C.xml Classes/8C.xml.new-00000001 "
                                                           "Classes/8C.xml.old-00000001\nend\n"}});
    ASSERT_EQ(::chmod(QFile::encodeName(root + "Data/Classes").constData(), 0555), 0);
    for (int again = 0; again < 2; ++again) {
        told = start();
        ASSERT_EQ(told.size(), 1) << "start " << again;
        EXPECT_EQ(told.first().text, kCutShortTitle);
        EXPECT_TRUE(told.first().informativeText.contains("Classes/8C.xml could not be finished"))
            << told.first().informativeText.toStdString();
    }
    ASSERT_EQ(::chmod(QFile::encodeName(root + "Data/Classes").constData(), 0755), 0);
    EXPECT_TRUE(start().isEmpty()) << "finished now";
    EXPECT_EQ(readFile(root + "Data/Classes/8C.xml"), "<ClassRoom>new 8C</ClassRoom>");
}

// A change cut short after its roster's move, whose class file's new bytes someone removed since
// (tidying after a crash): the start does not carry it through half, but puts it back whole, and
// its alert names the file that went missing; the next start has nothing more to say.
TEST_F(StartRecoveryTest, AChangeWhoseNewFileWentMissingIsPutBackWholeAndItsAlertNamesTheFile)
{
    POLLIX_AS_ORDINARY_USER();
    const QString root = home();
    const QByteArray oldRoster = "<Students>old</Students>", newRoster = "<Students>S1</Students>";
    const QByteArray oldClass = "<ClassRoom>old 8C</ClassRoom>", newClass = "<ClassRoom>S1</ClassRoom>";
    writeTree(root + "Data", {{"StudentRoster.xml", newRoster}, {"StudentRoster.xml.old-00000001", oldRoster}});
    writeTree(root + "Data/Classes", {{"8C.xml", oldClass}, {"8C.xml.old-00000002", oldClass}});
    writeTree(root + "Data", {{".change-00000003.journal",
                               "Pollix change journal 2\nforward\n"
                               "StudentRoster.xml StudentRoster.xml.new-00000004 StudentRoster.xml.old-00000001 " +
                                   ContentHash::of(newRoster) + " " + ContentHash::of(oldRoster) +
                                   "\nClasses/8C.xml Classes/8C.xml.new-00000005 Classes/8C.xml.old-00000002 " +
                                   ContentHash::of(newClass) + " " + ContentHash::of(oldClass) + "\nend\n"}});
    const auto start = [] {
        DialogAnswers answers;
        EXPECT_TRUE(StartRecovery::run());
        return answers.alerts();
    };
    const QList<AlertRequest> told = start();
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(told.first().text, kCutShortTitle);
    EXPECT_TRUE(told.first().informativeText.contains("was put back: Classes/8C.xml.new-00000005 is missing"))
        << told.first().informativeText.toStdString();
    EXPECT_EQ(filesBelow(root + "Data"), (QMap<QString, QByteArray>{{"StudentRoster.xml", oldRoster}, {"Classes/8C.xml", oldClass}}));
    EXPECT_TRUE(start().isEmpty());
}

// The note of what was told that Pollix did not write (a link to a file elsewhere or to a device,
// a folder, a file too large, other bytes) is neither followed, read nor written over, and is
// named in the alert: as long as it stays, what the start finds is told again at every start, and
// the alert says so rather than promising to keep quiet. A note of Pollix's form naming paths
// outside the folder reads nothing there and is written anew.
TEST_F(StartRecoveryTest, ANoteOfWhatWasToldThatPollixDidNotWriteIsLeftAloneAndNamedAtEveryStart)
{
    POLLIX_AS_ORDINARY_USER();
    const QString root = home();
    const QString note = root + ".told-at-start";
    writeTree(root + "Data", kOld);
    writeTree(root + "Data.restore-aBc123", kRestored); // found, and left alone
    QTemporaryDir outside;
    const QByteArray pollixLike = "1 2 3 4.5\t%2Fetc%2Fpasswd\n";
    writeTree(outside.path(), {{"told", pollixLike}});
    const auto start = [] {
        DialogAnswers answers;
        EXPECT_TRUE(StartRecovery::run());
        return answers.alerts();
    };
    const QList<std::pair<std::string, std::function<void()>>> notes{
        {"a link to a file elsewhere", [&] { ASSERT_TRUE(QFile::link(outside.path() + "/told", note)); }},
        {"a link to a device", [&] { ASSERT_TRUE(QFile::link("/dev/zero", note)); }},
        {"a folder", [&] { writeTree(note, {{"inside", "a file of someone's"}}); }},
        {"a file of 2 MB", [&] { writeTree(root, {{".told-at-start", QByteArray(2 << 20, '1')}}); }},
        {"other bytes", [&] { writeTree(root, {{".told-at-start", "\x01\x02 not a line of Pollix's\n"}}); }},
    };
    for (const auto &[what, make] : notes) {
        make();
        const QFileInfo before(note);
        const QMap<QString, QByteArray> folderBefore = before.isDir() ? filesBelow(note) : QMap<QString, QByteArray>();
        const QByteArray bytesBefore = before.isFile() && !before.isSymLink() ? readFile(note) : QByteArray();
        for (int again = 0; again < 2; ++again) {
            const QList<AlertRequest> told = start();
            ASSERT_EQ(told.size(), 1) << what << ", start " << again;
            const QString said = told.first().informativeText;
            EXPECT_TRUE(said.contains("Data.restore-aBc123")) << what << ": " << said.toStdString();
            EXPECT_TRUE(said.contains(note + " is no note Pollix wrote")) << what << ": " << said.toStdString();
            EXPECT_TRUE(said.contains("told again at every start")) << what << ": " << said.toStdString();
            EXPECT_FALSE(said.contains("does not tell of it again")) << what << ": " << said.toStdString();
        }
        const QFileInfo after(note);
        EXPECT_EQ(after.isSymLink(), before.isSymLink()) << what;
        EXPECT_EQ(after.isDir(), before.isDir()) << what;
        if (before.isDir()) {
            EXPECT_EQ(filesBelow(note), folderBefore) << what;
        } else if (!before.isSymLink()) {
            EXPECT_EQ(readFile(note), bytesBefore) << what;
        }
        EXPECT_EQ(readFile(outside.path() + "/told"), pollixLike) << what;
        if (before.isDir())
            ASSERT_TRUE(QDir(note).removeRecursively());
        else
            ASSERT_TRUE(QFile::remove(note));
    }
    // Of Pollix's form, naming what lies outside: read, and written anew; told once.
    writeTree(root, {{".told-at-start", pollixLike}});
    ASSERT_EQ(start().size(), 1);
    EXPECT_TRUE(start().isEmpty()) << "told once";
    EXPECT_FALSE(readFile(note).contains("passwd"));
    EXPECT_EQ(readFile(outside.path() + "/told"), pollixLike);
}

namespace {
// The alerts of a start, which goes on.
QList<AlertRequest> startTelling()
{
    DialogAnswers answers;
    EXPECT_TRUE(StartRecovery::run());
    return answers.alerts();
}
} // namespace

// The note of what was told and the record of unfinished work are written through the application
// folder held open: a link another program puts under their names at the moment they are written
// (after Pollix looked at them) is replaced, and the file it leads to stays as it was.
TEST_F(StartRecoveryTest, TheNotesOfWhatWasToldAndOfUnfinishedWorkAreNeverWrittenThroughALinkPutInTheirPlace)
{
    POLLIX_AS_ORDINARY_USER();
    const QString root = home();
    writeTree(root + "Data", {{"Subjects.xml", kOld.value("Subjects.xml")}});
    writeTree(root + "Data.restore-aBc123", kRestored); // found, and told of
    QTemporaryDir outside;
    writeTree(outside.path(), {{"keep.txt", "the teacher's"}});
    QStringList linked;
    AtomicFile::setBeginHook([&](const QString &path) {
        if (const QString name = QFileInfo(path).fileName(); name == ".told-at-start" || name == ".unfinished-work") {
            linked << name;
            QFile::remove(path);
            EXPECT_TRUE(QFile::link(outside.path() + "/keep.txt", path)) << path.toStdString();
        }
    });
    const auto unhook = qScopeGuard([] { AtomicFile::setBeginHook({}); });
    EXPECT_EQ(startTelling().size(), 1);
    QString why;
    EXPECT_TRUE(zipHelper().backupFilTo(outside.path() + "/backup.zip", &why)) << why.toStdString();
    AtomicFile::setBeginHook({});
    EXPECT_EQ(linked, (QStringList{".told-at-start", ".unfinished-work"}));
    EXPECT_EQ(readFile(outside.path() + "/keep.txt"), "the teacher's");
    EXPECT_TRUE(startTelling().isEmpty()) << "told once: the note was written in its own place";
}

// "Told once" holds when a backup writes the record of unfinished work again around a line naming
// no plain path; a thing written into is told again even with its time of modification set back;
// and where the note cannot be written (an application folder the account may not write), the
// alert promises no quiet, says why, and the next start tells it again.
TEST_F(StartRecoveryTest, ToldOnceHoldsAcrossARecordWrittenAgainAndNotAcrossAChangeOrANoteThatCannotBeWritten)
{
    POLLIX_AS_ORDINARY_USER();
    const QString root = home(), strange = root + "Data/.change-0000beef.journal";
    writeTree(root + "Data", {{"Subjects.xml", kOld.value("Subjects.xml")}, {".change-0000beef.journal", "another's"}});
    writeTree(root, {{".unfinished-work", "4243\tnot/a/plain/path\n"}});
    QList<AlertRequest> told = startTelling();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told.first().informativeText.contains("not/a/plain/path is no plain path"));
    QTemporaryDir scratch;
    QString why;
    ASSERT_TRUE(zipHelper().backupFilTo(scratch.path() + "/backup.zip", &why)) << why.toStdString();
    EXPECT_TRUE(startTelling().isEmpty());

    // Written into, as long as it was, its time of modification set back.
    struct stat before{};
    ASSERT_EQ(::stat(QFile::encodeName(strange).constData(), &before), 0);
    const timespec &changed = before.st_ctim;
    for (timespec now{}; ::clock_gettime(CLOCK_REALTIME_COARSE, &now) == 0 &&
                         (now.tv_sec < changed.tv_sec || (now.tv_sec == changed.tv_sec && now.tv_nsec <= changed.tv_nsec));)
        ::usleep(1000); // until the file system's clock has passed the file's last change
    writeTree(root + "Data", {{".change-0000beef.journal", "ANOTHER's"}});
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(strange).constData(), times, 0), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(root).constData(), 0555), 0);
    const auto writable = qScopeGuard([&] { ::chmod(QFile::encodeName(root).constData(), 0755); });
    for (int again = 0; again < 2; ++again) {
        told = startTelling();
        ASSERT_EQ(told.size(), 1) << "start " << again;
        const QString said = told.first().informativeText;
        EXPECT_TRUE(said.contains(strange) && !said.contains("not/a/plain/path")) << said.toStdString();
        EXPECT_FALSE(said.contains("does not tell of it again")) << said.toStdString();
        EXPECT_TRUE(said.contains("Pollix could not note that it told of this (.told-at-start cannot be saved in the folder " +
                                  QDir::cleanPath(root) + ": Permission denied)"))
            << said.toStdString();
    }
}

// An application folder on a disk that takes no ':' in a name (FAT, exFAT), where every session
// saved would fail: the start's check says so, naming what to do, and ends before anything is
// done there.
TEST_F(StartRecoveryTest, AFolderWhoseDiskTakesNoColonInANameEndsTheStartSayingWhatToDo)
{
    const QString root = home();
    writeTree(root + "Data", kOld);
    FolderHandle::setRefusalsForTesting({.colons = true});
    const auto reset = qScopeGuard([] { FolderHandle::setRefusalsForTesting({}); });
    DialogAnswers answers;
    EXPECT_FALSE(StartRecovery::checkFolders(app()->strPollixFilePath()));
    ASSERT_EQ(answers.alertTexts(), QStringList{"Pollix cannot save sessions in this application folder, and ends."});
    const QString said = answers.alerts().first().informativeText;
    for (const QString &part : {QString("refuses a \":\" in a file's name"), QString("POLLIX_HOME"),
                                QString("Move the application folder %1").arg(QDir::toNativeSeparators(QDir::cleanPath(app()->strPollixFilePath())))})
        EXPECT_TRUE(said.contains(part)) << part.toStdString() << " in:\n" << said.toStdString();
    EXPECT_EQ(filesBelow(root + "Data"), kOld) << "nothing tried, nothing left";

    FolderHandle::setRefusalsForTesting({});
    EXPECT_TRUE(StartRecovery::checkFolders(app()->strPollixFilePath()));
    EXPECT_TRUE(StartRecovery::run());
}
