#include "core/app/ZipArchive.h"
#include "core/app/zipHelper.h"
#include "core/keypad/DeviceController.h"
#include "core/store/DataFolderLayout.h"
#include "core/store/DataManager.h"
#include "core/store/DataRecovery.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovFastQuizXmlDatabase.h"
#include "core/store/TovPeriodXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovUserListXmlDatabase.h"
#include "platform/FolderSwap.h"
#include "platform/RecordFile.h"
#include "platform/FolderWork.h"
#include "DataManagementFixture.h"
#include "support/DialogAnswers.h"
#include "support/EventWait.h"
#include "support/OrdinaryUser.h"
#include "support/PollixTest.h"
#include "support/RealAlerts.h"
#include "support/RealFilePanels.h"
#include "support/Shots.h"
#include "support/TracedRun.h"
#include "support/ZipFixture.h"
#include "ui/app/DataManagementCtrl.h"
#include "ui/app/PollixProgram.h"
#include "ui/app/TabController.h"
#include "ui/controls/FileDialogs.h"
#include "ui/controls/PollixAlert.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMap>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <tuple>

#include <sys/stat.h>

namespace {
using DataManagementTest = DataManagementFixture;
} // namespace

TEST_F(DataManagementTest, ClearWithBackupAsksToPurgeAfterTheSavePanelAndCancelKeepsEverything)
{
    DataManagementCtrl page;
    answers.answerAlert(0); // Yes, back up first
    answers.answerFile(backup());
    answers.answerAlert(0); // OK to the backup's report
    answers.answerAlert(1); // Cancel the purge
    QTest::mouseClick(page.btnClearSession, Qt::LeftButton);
    EXPECT_EQ(answers.alertTexts(), (QStringList{"Backup before clearing all activity records?", "Successfully backup.",
                                                 "Are you sure to purge all activity records?"}));
    ASSERT_EQ(answers.fileDialogs().size(), 1);
    EXPECT_TRUE(answers.fileDialogs()[0].save);
    EXPECT_TRUE(QFileInfo(backup()).isFile());
    EXPECT_EQ(sessionCount(), 2);
    EXPECT_FALSE(page.isDataChanged());

    // The purge question came once; a later plain backup asks nothing after its report.
    answers.answerFile(scratch.path() + "/again.zip");
    page.doBackup();
    EXPECT_EQ(answers.alertTexts().last(), "Successfully backup.");
    EXPECT_EQ(answers.alerts().last().informativeText, "Saved to " + QDir::toNativeSeparators(scratch.path() + "/again.zip"));
    EXPECT_EQ(answers.alerts()[1].informativeText, "Saved to " + QDir::toNativeSeparators(backup()));
    EXPECT_EQ(answers.alertTexts().size(), 4);

    // A cancelled save panel still leads to the purge question; OK clears the sessions only.
    answers.answerAlert(0);
    answers.answerFile("");
    answers.answerAlert(0);
    page.doClearSession();
    EXPECT_EQ(answers.alertTexts().mid(4), (QStringList{"Backup before clearing all activity records?",
                                                        "Are you sure to purge all activity records?",
                                                        "The activity records  were successfully cleared."}));
    EXPECT_EQ(sessionCount(), 0);
    EXPECT_TRUE(TovFastQuizXmlDatabase::sharedFastQuiz()->allSessionXmlParsedResults().isEmpty());
    EXPECT_EQ(TovClassXmlDatabase::sharedClassUI()->classCount(), 1);
    EXPECT_TRUE(page.isDataChanged());
}

// Leaving the question whether to back up first (Escape, its close box) leaves the clearing: "No"
// would lead on to the question that clears.
TEST_F(DataManagementTest, EscapeOrTheCloseBoxOnTheBackupQuestionAsksNothingMoreAndKeepsEveryRecord)
{
    DataManagementCtrl page;
    page.show();
    for (QPushButton *button : {page.btnDelAllRecords, page.btnClearSession}) {
        for (const RealAlerts::Way way : {RealAlerts::Way::Escape, RealAlerts::Way::CloseBox}) {
            RealAlerts alerts;
            alerts.leave(way);
            QTest::mouseClick(button, Qt::LeftButton);
            EXPECT_EQ(alerts.seen(), QStringList{"Backup before clearing all activity records?"})
                << button->text().toStdString();
            EXPECT_EQ(alerts.stuck(), 0);
            EXPECT_EQ(alerts.unanswered(), 0) << "a further question came";
        }
    }
    EXPECT_TRUE(answers.fileDialogs().isEmpty());
    EXPECT_EQ(sessionCount(), 2);
    EXPECT_EQ(TovClassXmlDatabase::sharedClassUI()->classCount(), 1);
    EXPECT_FALSE(page.isDataChanged());
}

TEST_F(DataManagementTest, DeleteAllThenRestoreBringsEverySessionBackAndReloadsTheStores)
{
    ASSERT_TRUE(zipHelper().backupFilTo(backup()));
    DataManagementCtrl page;
    answers.answerAlert(1); // No backup first
    answers.answerAlert(0); // OK, delete all
    QTest::mouseClick(page.btnDelAllRecords, Qt::LeftButton);
    EXPECT_EQ(answers.alertTexts().last(), "All records  were successfully cleared.");
    EXPECT_EQ(sessionCount(), 0);
    EXPECT_FALSE(QFileInfo::exists(data() + "UserList.xml"));
    EXPECT_EQ(TovClassXmlDatabase::sharedClassUI()->classCount(), 0);

    answers.answerFile(backup());
    answers.answerAlert(0); // Restore
    const qsizetype before = answers.alerts().size();
    QTest::mouseClick(page.btnRecover, Qt::LeftButton);
    // The question, then one report, after the stores are reloaded.
    ASSERT_EQ(answers.alerts().size(), before + 2);
    EXPECT_EQ(answers.alerts()[before].buttons, (QStringList{"Restore", "Cancel"}));
    EXPECT_EQ(answers.alerts().last().title, "Pollix ARS");
    EXPECT_EQ(answers.alerts().last().text, "Successfully recover.");
    EXPECT_EQ(answers.alerts().last().buttons, QStringList{"OK"});
    EXPECT_EQ(sessionCount(), 2);
    for (const QString &path : m_sessions)
        EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
    EXPECT_EQ(TovClassXmlDatabase::sharedClassUI()->classCount(), 1);
    EXPECT_EQ(TovSubjectXmlDatabase::sharedSubjectUI()->subjectCount(), 1);
    EXPECT_EQ(TovFastQuizXmlDatabase::sharedFastQuiz()->allSessionXmlParsedResults().size(), 2);
    EXPECT_TRUE(QFileInfo::exists(data() + "UserList.xml"));
    EXPECT_TRUE(page.isDataChanged());
}

// Sessions and classes an administrator had moved to another disk and linked back: the restore
// puts the backup's files into plain folders of the data folder, and its report names each link
// that became one and where the data it replaced are still, in the folder the link led to.
TEST_F(DataManagementTest, ARestoreOverFoldersLinkedElsewhereSaysTheyBecamePlainFoldersAndWhereTheOldDataStay)
{
    ASSERT_TRUE(zipHelper().backupFilTo(backup()));
    // A session made after the backup, and the two folders moved and linked as an administrator
    // does, Pollix not running.
    QuizEntity wednesday;
    wednesday.setActionType("1");
    ASSERT_TRUE(TovQuizXmlDatabase().addQuizWithName("Wednesday", wednesday));
    // As an administrator does it, Pollix not running.
    const auto moveAndLink = [this](const char *folder, const QString &disk) {
        QProcess mv, ln;
        mv.start("mv", {data() + folder, disk + "/" + folder});
        EXPECT_TRUE(mv.waitForFinished() && mv.exitCode() == 0) << folder;
        ln.start("ln", {"-s", disk + "/" + folder, data() + folder});
        EXPECT_TRUE(ln.waitForFinished() && ln.exitCode() == 0) << folder;
    };
    // Pollix started on the folder, a real Restore of the backup on Data Management: its report.
    const auto restored = [this] {
        startOn(home());
        DataManagementCtrl page;
        answers.answerFile(backup());
        answers.answerAlert(0); // Restore
        answers.answerAlert(0); // OK
        QTest::mouseClick(page.btnRecover, Qt::LeftButton);
        EXPECT_EQ(answers.alertTexts().last(), "Successfully recover.");
        return answers.alerts().last().informativeText;
    };
    QTemporaryDir disk2;
    moveAndLink("Quiz", disk2.path());
    moveAndLink("Classes", disk2.path());
    const QStringList oldSessions = QDir(disk2.path() + "/Quiz").entryList(QDir::Files);
    const QStringList oldClasses = QDir(disk2.path() + "/Classes").entryList(QDir::Files);
    ASSERT_EQ(oldSessions.size(), 3);

    const QString said = restored();
    for (const char *folder : {"Quiz", "Classes"}) {
        const QString link = QDir::toNativeSeparators(data() + folder);
        const QString target = QDir::toNativeSeparators(QFileInfo(disk2.path() + "/" + folder).canonicalFilePath());
        EXPECT_TRUE(said.contains(link + " (a link to " + target + ")")) << folder << ": " << said.toStdString();
        EXPECT_FALSE(QFileInfo(data() + folder).isSymLink()) << folder;
        EXPECT_TRUE(QFileInfo(data() + folder).isDir()) << folder;
    }
    EXPECT_TRUE(said.contains("links to other folders until now, are plain folders of the data folder now"))
        << said.toStdString();
    EXPECT_TRUE(said.contains("The folders they led to still hold the data the restore replaced.")) << said.toStdString();
    EXPECT_EQ(sessionCount(), 2);
    // What the links led to keeps the data the restore replaced, also once their archive is made.
    FolderWork::waitUntilIdle();
    EXPECT_EQ(QDir(disk2.path() + "/Quiz").entryList(QDir::Files), oldSessions);
    EXPECT_EQ(QDir(disk2.path() + "/Classes").entryList(QDir::Files), oldClasses);

    // One link alone is named in a sentence of its own.
    QTemporaryDir disk3;
    moveAndLink("Classes", disk3.path());
    const QString alone = restored();
    const QString target = QDir::toNativeSeparators(QFileInfo(disk3.path() + "/Classes").canonicalFilePath());
    EXPECT_TRUE(alone.contains(QDir::toNativeSeparators(data() + "Classes") + " was a link to " + target +
                               " until now: the restore made it a plain folder of the data folder, which holds the "
                               "restored data. " +
                               target + " still holds the data the restore replaced."))
        << alone.toStdString();
    EXPECT_FALSE(alone.contains("Quiz")) << alone.toStdString();
}

// The question that follows a backup asked for before a clear or a delete says when no backup
// was saved (a save that failed, a save panel cancelled), as OK there then removes records no
// archive holds; after a saved one it says nothing more. Cancel keeps every record.
TEST_F(DataManagementTest, TheQuestionAfterABackupThatSavedNothingSaysSo)
{
    const QString failing = scratch.path() + "/missing folder/backup.zip";
    // The save panel's answer (empty: cancelled), Clear Activity Records (else Delete All), saved.
    const std::tuple<const char *, QString, bool, bool> cases[] = {{"saved, before a clear", backup(), true, true},
                                                                   {"failed, before a clear", failing, true, false},
                                                                   {"cancelled, before a delete", QString(), false, false},
                                                                   {"failed, before a delete", failing, false, false}};
    DataManagementCtrl page;
    for (const auto &[name, file, clear, saved] : cases) {
        SCOPED_TRACE(name);
        const qsizetype before = answers.alerts().size();
        answers.answerAlert(0); // Yes, back up first
        answers.answerFile(file);
        if (!file.isEmpty())
            answers.answerAlert(0); // OK to the backup's report
        answers.answerAlert(1);     // Cancel the clear or the delete
        QTest::mouseClick(clear ? page.btnClearSession : page.btnDelAllRecords, Qt::LeftButton);
        ASSERT_GT(answers.alerts().size(), before + 1);
        const auto question = answers.alerts().last();
        EXPECT_EQ(question.text, clear ? "Are you sure to purge all activity records?" : "Delete all records?");
        EXPECT_EQ(question.informativeText.contains("No backup was saved"), !saved) << question.informativeText.toStdString();
        EXPECT_EQ(sessionCount(), 2);
        QFile::remove(backup());
    }
}

// A data folder holding no data file (a new one, or one emptied by hand) has nothing to back up:
// Backup says so without asking where to save, also when offered before a delete, whose question
// still follows. A restore onto it keeps nothing, as there is nothing to keep; an empty archive
// is refused as what it is.
TEST_F(DataManagementTest, WithNoDataFileBackupSaysThereIsNothingToSaveAndRestoreNamesAnEmptyArchive)
{
    ASSERT_TRUE(zipHelper().backupFilTo(backup()));
    for (const QString &file : filesBelow(data(), true).keys())
        ASSERT_TRUE(QFile::remove(data() + file));
    DataManagementCtrl page;
    QTest::mouseClick(page.btnBackup, Qt::LeftButton);
    ASSERT_EQ(answers.alertTexts(), QStringList{"Unsuccessfully backup."});
    const QString why = answers.alerts().last().informativeText;
    EXPECT_TRUE(why.contains("holds no data files") && why.contains("nothing to back up")) << why.toStdString();
    answers.answerAlert(0); // Yes, back up first
    answers.answerAlert(0); // OK to the report
    answers.answerAlert(1); // Cancel the delete
    QTest::mouseClick(page.btnDelAllRecords, Qt::LeftButton);
    EXPECT_EQ(answers.alertTexts().mid(1), (QStringList{"Backup before clearing all activity records?",
                                                        "Unsuccessfully backup.", "Delete all records?"}));
    EXPECT_TRUE(answers.fileDialogs().isEmpty());
    EXPECT_EQ(QDir(scratch.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"backup.zip"});

    answers.answerFile(backup());
    answers.answerAlert(0); // Restore
    QTest::mouseClick(page.btnRecover, Qt::LeftButton);
    EXPECT_EQ(answers.alertTexts().last(), "Successfully recover.");
    EXPECT_EQ(answers.alerts().last().informativeText, QString());
    EXPECT_EQ(sessionCount(), 2);
    EXPECT_TRUE(QDir(home() + "Backups").isEmpty()) << "nothing was there to keep";

    const QString empty = scratch.path() + "/empty.zip";
    {
        ZipArchive zip;
        ASSERT_TRUE(zip.CreateZipFile2(empty) && zip.CloseZipFile2());
    }
    answers.answerFile(empty);
    answers.answerAlert(0); // Restore
    QTest::mouseClick(page.btnRecover, Qt::LeftButton);
    EXPECT_EQ(answers.alertTexts().last(), "Unsuccessfully recovered.");
    EXPECT_TRUE(answers.alerts().last().informativeText.startsWith("empty.zip holds no data files: it is an empty zip archive."))
        << answers.alerts().last().informativeText.toStdString();
    EXPECT_EQ(sessionCount(), 2);
}

TEST_F(DataManagementTest, ADamagedArchiveChangesNothingAndTheAlertSaysWhy)
{
    ASSERT_TRUE(zipHelper().backupFilTo(backup()));
    QFile zip(backup());
    zip.open(QIODevice::ReadWrite);
    zip.resize(zip.size() / 2);
    zip.close();
    const QByteArray session = readFile(m_sessions.first());

    DataManagementCtrl page;
    int reloads = 0;
    DataManagementCtrl::hooks().reloadGradebook = [&reloads] { ++reloads; };
    answers.answerFile(backup());
    page.doRecover();
    DataManagementCtrl::hooks().reloadGradebook = {};
    ASSERT_EQ(answers.alerts().size(), 2) << "the question, then the report";
    EXPECT_EQ(answers.alerts()[1].text, "Unsuccessfully recovered.");
    EXPECT_TRUE(answers.alerts()[1].informativeText.contains("damaged")) << answers.alerts()[1].informativeText.toStdString();
    EXPECT_FALSE(QFileInfo::exists(home() + "Backups")) << "nothing was replaced, so nothing was kept";
    EXPECT_EQ(readFile(m_sessions.first()), session);
    EXPECT_EQ(sessionCount(), 2);
    EXPECT_EQ(reloads, 1);
    EXPECT_TRUE(page.isDataChanged()) << "the main window drops its class set-up after any restore";

    // A save that fails says so with the reason.
    answers.answerFile(scratch.path() + "/missing folder/backup.zip");
    page.doBackup();
    EXPECT_EQ(answers.alerts().last().text, "Unsuccessfully backup.");
    EXPECT_FALSE(answers.alerts().last().informativeText.isEmpty());
}

TEST_F(DataManagementTest, AnArchiveOfBrokenFilesIsRefusedNamingOneAndTheLoginStillWorks)
{
    UserEntity ann;
    ann.setName("ann");
    ann.setPassword("pw");
    const QByteArray session = readFile(m_sessions.first());
    makeZipArchive(backup(), {{"/Quiz/Monday.xml", "<Session><Questions>"},
                              {"//Quiz/Monday.xml", "<Session><Questions>"},
                              {"//UserList.xml", "Pollix accounts, not XML"},
                              {"//TeacherRoster.xml", "<Teachers"}});
    DataManagementCtrl page;
    answers.answerFile(backup());
    QTest::mouseClick(page.btnRecover, Qt::LeftButton);
    ASSERT_EQ(answers.alerts().size(), 2) << "the question, then the report";
    EXPECT_EQ(answers.alerts()[1].text, "Unsuccessfully recovered.");
    const QString why = answers.alerts()[1].informativeText;
    EXPECT_TRUE(why.contains("/Quiz/Monday.xml") && why.contains("not readable XML")) << why.toStdString();
    EXPECT_EQ(readFile(m_sessions.first()), session);
    EXPECT_EQ(sessionCount(), 2);
    EXPECT_TRUE(TovUserListXmlDatabase::sharedUI()->isValidUser(ann)) << "the accounts stay as they were";
}

TEST_F(DataManagementTest, BackupOfAFolderOfTheTeachersOwnThenRestoreBringsItBack)
{
    writeFile("Data/Extra/note.xml", "<note>seating plan</note>");
    DataManagementCtrl page;
    answers.answerFile(backup());
    QTest::mouseClick(page.btnBackup, Qt::LeftButton);
    ASSERT_EQ(answers.alertTexts(), QStringList{"Successfully backup."});

    QDir(data() + "Extra").removeRecursively();
    QFile::remove(data() + "UserList.xml");
    answers.answerFile(backup());
    QTest::mouseClick(page.btnRecover, Qt::LeftButton);
    EXPECT_EQ(answers.alertTexts().last(), "Successfully recover.");
    EXPECT_EQ(readFile(data() + "Extra/note.xml"), "<note>seating plan</note>");
    EXPECT_EQ(sessionCount(), 2);
    UserEntity ann;
    ann.setName("ann");
    ann.setPassword("pw");
    EXPECT_TRUE(TovUserListXmlDatabase::sharedUI()->isValidUser(ann)) << "the restored accounts are in use";
}

TEST_F(DataManagementTest, TheStartRemovesWhatAnInterruptedRestoreLeft)
{
    // A restore's folder, noted as it was made, and left when the restore ended unfinished.
    const QString staging = restoreLeftUnfinished();
    writeFile(QFileInfo(staging).fileName() + "/Quiz/Monday.xml", readFile(m_sessions.first()));
    // What the program does as it starts, with the application folder's lock held.
    QString why;
    EXPECT_TRUE(DataRecovery::run(&why)) << why.toStdString();
    EXPECT_FALSE(QFileInfo::exists(staging));
    EXPECT_EQ(sessionCount(), 2);
}

TEST_F(DataManagementTest, DeleteAllLeavesNoCopyOfAStudentAnywhereInTheApplicationFolder)
{
    const QByteArray student = "<Student><ID>K1</ID><FirstName>Zebedee</FirstName></Student>";
    writeFile("Data/Classes/Class A.xml", "<ClassRoom><Students>" + student + "</Students></ClassRoom>");
    // What kills in the middle of writes left: of this version, of earlier ones, of a restore.
    const QString staging = QFileInfo(restoreLeftUnfinished()).fileName();
    for (const QString &copy : QStringList{"Data/Classes/Class A.xml.new-0a1b2c3d", "Data/Classes/Class A.xml.old-00c0ffee",
                                "Data/StudentRoster.xml.tmp-12345678", "Data/Classes/Class A.xml.QxWvEr",
                                staging + "/Classes/Class A.xml"})
        writeFile(copy, student);
    writeFile("Data/Classes/notes.txt", "the teacher's own");

    DataManagementCtrl page;
    answers.answerAlert(1); // No backup first
    answers.answerAlert(0); // OK, delete all
    QTest::mouseClick(page.btnDelAllRecords, Qt::LeftButton);
    EXPECT_EQ(answers.alertTexts().last(), "All records  were successfully cleared.");

    QDirIterator it(home(), QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QStringList left;
    while (it.hasNext())
        if (readFile(it.next()).contains("Zebedee"))
            left << it.filePath();
    EXPECT_TRUE(left.isEmpty()) << left.join(", ").toStdString();
    EXPECT_TRUE(QFileInfo::exists(data() + "Classes/notes.txt"));
}

TEST_F(DataManagementTest, AsTheProgramStartsItDeleteAllTakesTheGradebookOutOfMemoryToo)
{
    // The program ties the page to the gradebook's stores: a grading period held in memory goes
    // with its file, so that no window offers it afterwards.
    PollixProgram::installServices();
    const auto reset = qScopeGuard([] {
        DataManagementCtrl::hooks().reloadGradebook = {};
        TabController::resetHooks();
        DeviceController::setAlertHandler({});
    });
    PeriodEntity fall;
    fall.setTitle("Fall");
    fall.setDateFrom("2012-09-01");
    fall.setDateTo("2013-01-31");
    ASSERT_GT(TovPeriodXmlDatabase::sharedUI()->addWithData(fall), 0);

    DataManagementCtrl page;
    answers.answerAlert(1); // No backup first
    answers.answerAlert(0); // OK, delete all
    QTest::mouseClick(page.btnDelAllRecords, Qt::LeftButton);
    EXPECT_EQ(answers.alertTexts().last(), "All records  were successfully cleared.");
    EXPECT_TRUE(TovPeriodXmlDatabase::sharedUI()->periodList().isEmpty());
}

// Restore's panel opens where the last backup went (Backup's own panel too), not in the documents
// folder every time.
TEST_F(DataManagementTest, RestoreStartsInTheFolderTheLastBackupWentTo)
{
    DataManagementCtrl page;
    const QString keys = scratch.path() + "/USB stick";
    ASSERT_TRUE(QDir().mkpath(keys));
    answers.answerFile(keys + "/monday.zip");
    answers.answerAlert(0); // the backup's report
    page.doBackup();
    ASSERT_TRUE(QFileInfo(keys + "/monday.zip").isFile());
    answers.answerFile(""); // Restore's panel cancelled
    QTest::mouseClick(page.btnRecover, Qt::LeftButton);
    answers.answerFile("");
    page.doBackup();
    ASSERT_EQ(answers.fileDialogs().size(), 3);
    EXPECT_EQ(answers.fileDialogs().at(0).directory, FileDialogs::startFolder());
    EXPECT_EQ(answers.fileDialogs().at(1).caption, "Restore");
    EXPECT_EQ(answers.fileDialogs().at(1).directory, keys);
    EXPECT_EQ(answers.fileDialogs().at(2).directory, keys);
    EXPECT_EQ(sessionCount(), 2);
}

TEST_F(DataManagementTest, RestoreAsksFirstAndCancelChangesNothing)
{
    ASSERT_TRUE(zipHelper().backupFilTo(backup()));
    writeFile("Data/Subjects.xml", "<Subjects><Subject><Name>History</Name></Subject></Subjects>");
    const QByteArray subjects = readFile(data() + "Subjects.xml");
    DataManagementCtrl page;
    answers.answerFile(backup());
    answers.answerAlert(1); // Cancel
    QTest::mouseClick(page.btnRecover, Qt::LeftButton);
    ASSERT_EQ(answers.alerts().size(), 1) << "the question alone";
    const AlertRequest &question = answers.alerts().first();
    EXPECT_EQ(question.title, "Pollix ARS");
    EXPECT_EQ(question.buttons, (QStringList{"Restore", "Cancel"}));
    EXPECT_TRUE(question.text.contains("\"backup.zip\"") && question.text.contains("replace all data of this application folder"))
        << question.text.toStdString();
    EXPECT_TRUE(question.informativeText.contains(QDir::toNativeSeparators(home() + "Backups")))
        << question.informativeText.toStdString();
    EXPECT_EQ(readFile(data() + "Subjects.xml"), subjects);
    EXPECT_EQ(sessionCount(), 2);
    EXPECT_FALSE(QFileInfo::exists(home() + "Backups"));
    EXPECT_FALSE(page.isDataChanged());
}

TEST_F(DataManagementTest, ARestoreKeepsTheDataItReplacedAndRestoringThatArchiveTakesItBack)
{
    ASSERT_TRUE(zipHelper().backupFilTo(backup()));
    // A subject added after the backup, and a session deleted.
    SubjectEntity history;
    history.setName("History");
    TovSubjectXmlDatabase::sharedSubjectUI()->addSubjectWithData(history);
    ASSERT_TRUE(QFile::remove(m_sessions.last()));
    const QByteArray afterBackup = readFile(data() + "Subjects.xml");

    DataManagementCtrl page;
    answers.answerFile(backup());
    answers.answerAlert(0); // Restore
    answers.answerAlert(0); // OK
    QTest::mouseClick(page.btnRecover, Qt::LeftButton);
    ASSERT_EQ(answers.alertTexts(), (QStringList{answers.alertTexts().first(), "Successfully recover."}));
    EXPECT_EQ(TovSubjectXmlDatabase::sharedSubjectUI()->subjectCount(), 1);
    EXPECT_EQ(sessionCount(), 2);
    // The report names the folder the replaced data were moved to, and the archive made of it
    // afterwards, which takes the folder's place.
    FolderWork::waitUntilIdle();
    const QStringList kept = QDir(home() + "Backups").entryList({"Before restore *.zip"}, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    const QString archive = home() + "Backups/" + kept.first();
    const QString said = answers.alerts().last().informativeText;
    EXPECT_TRUE(said.contains(QDir::toNativeSeparators(archive.chopped(4))) && said.contains("\"" + kept.first() + "\""))
        << said.toStdString();
    EXPECT_FALSE(QFileInfo::exists(archive.chopped(4)));

    // A wrong restore is taken back by restoring that archive.
    answers.answerFile(archive);
    answers.answerAlert(0);
    answers.answerAlert(0);
    QTest::mouseClick(page.btnRecover, Qt::LeftButton);
    EXPECT_EQ(answers.alertTexts().last(), "Successfully recover.");
    EXPECT_EQ(readFile(data() + "Subjects.xml"), afterBackup);
    EXPECT_EQ(TovSubjectXmlDatabase::sharedSubjectUI()->subjectCount(), 2);
    EXPECT_EQ(sessionCount(), 1);
    FolderWork::waitUntilIdle();
    EXPECT_EQ(QDir(home() + "Backups").entryList({"*.zip"}, QDir::Files).size(), 2) << "each restore keeps what it replaced";
    EXPECT_TRUE(QDir(home() + "Backups").entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
}

// The restore's report promises an archive of the data it replaced only where one can be written:
// a pipe or a device under a data file's name (another program's) is no file a backup takes, so
// those data stay a folder in Backups, and the report says that, naming the file.
TEST_F(DataManagementTest, TheRestoresReportPromisesAnArchiveOfTheReplacedDataOnlyWhereOneCanBeWritten)
{
    ASSERT_TRUE(zipHelper().backupFilTo(backup()));
    const struct
    {
        const char *odd;
        QString file; // below the data folder
        std::function<bool(const QString &)> put;
    } cases[] = {
        {"nothing", {}, {}},
        {"a pipe as the student roster", "StudentRoster.xml",
         [](const QString &path) { return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; }},
        {"a link to a device as a class file", "Classes/Class A.xml",
         [](const QString &path) { return QFile::remove(path) && QFile::link("/dev/null", path); }},
    };
    DataManagementCtrl page;
    // What the restores kept in Backups, each by its name without ".zip".
    const auto keptNames = [this] {
        QStringList names = QDir(home() + "Backups").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString &archive : QDir(home() + "Backups").entryList({"*.zip"}, QDir::Files))
            names << archive.chopped(4);
        names.removeDuplicates();
        return names;
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.odd);
        if (c.put) {
            ASSERT_TRUE(c.put(data() + c.file));
        }
        const QStringList before = keptNames();
        answers.answerFile(backup());
        answers.answerAlert(0); // Restore
        answers.answerAlert(0); // OK
        QTest::mouseClick(page.btnRecover, Qt::LeftButton);
        ASSERT_EQ(answers.alertTexts().last(), "Successfully recover.");
        const QString said = answers.alerts().last().informativeText;
        FolderWork::waitUntilIdle();
        QStringList made = keptNames();
        for (const QString &name : before)
            made.removeOne(name);
        ASSERT_EQ(made.size(), 1);
        const QString kept = home() + "Backups/" + made.first();
        if (!c.put) {
            EXPECT_TRUE(said.contains("Pollix now saves them there as the archive \"" + made.first() + ".zip\"")) << said.toStdString();
            EXPECT_TRUE(QFileInfo(kept + ".zip").isFile());
            continue;
        }
        EXPECT_EQ(said, "The data it replaced are kept in the folder " + QDir::toNativeSeparators(kept) +
                            ", where they stay as they are: Pollix cannot save them as an archive. These files cannot be "
                            "backed up: " + QDir::toNativeSeparators(kept + "/" + c.file) + " (it is no regular file).");
        EXPECT_FALSE(QFileInfo::exists(kept + ".zip"));
        EXPECT_NE(RecordFile::kindAt(kept + "/" + c.file), RecordFile::Kind::Missing);
    }
}

// The question before a restore says what becomes of the data it replaces as the report after it
// does: saved as an archive in Backups only where a backup would take them; a pipe another program
// put under a data file's name keeps them a folder there, and is named. Asked through the real
// page: its Restore button, the real file panel with the archive's path typed and Return, and the
// real question, whose Cancel changes nothing.
TEST_F(DataManagementTest, TheRestoreQuestionPromisesAnArchiveOfTheReplacedDataOnlyWhereOneCanBeWritten)
{
    ASSERT_TRUE(zipHelper().backupFilTo(backup()));
    const QString pipe = data() + "Classes/Pipe.xml";
    const QString backups = QDir::toNativeSeparators(home() + "Backups");
    const QString replaced = "The data of the backup \"backup.zip\" replace all data of this application folder. | Every "
                             "class, student, session and grade now kept here is replaced. ";
    const struct
    {
        const char *odd;
        bool planted;
        QString said;
    } cases[] = {
        {"nothing", false,
         replaced + "They are kept in " + backups + " and saved there as a backup archive, which Restore can bring back."},
        {"a pipe as a class file", true,
         replaced + "They are kept in a folder in " + backups + ", where they stay as they are: Pollix cannot save them as "
                    "an archive. These files cannot be backed up: " + QDir::toNativeSeparators(pipe) + " (it is no regular file)."},
    };
    DataManagementCtrl page;
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page, kEventWaitMs));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.odd);
        if (c.planted) {
            ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        }
        RealFilePanels panels;
        panels.type(backup());
        RealAlerts alerts;
        alerts.click(QStringLiteral("Cancel"));
        QTest::mouseClick(page.btnRecover, Qt::LeftButton);
        EXPECT_EQ(panels.cancelled(), 0);
        ASSERT_EQ(alerts.seen().size(), 1);
        EXPECT_EQ(alerts.seen().first().toStdString(), c.said.toStdString());
        EXPECT_TRUE(alerts.allTaken());
    }
    EXPECT_EQ(RecordFile::kindAt(pipe), RecordFile::Kind::Other);
    EXPECT_EQ(sessionCount(), 2);
    EXPECT_FALSE(QFileInfo::exists(home() + "Backups"));
    EXPECT_FALSE(page.isDataChanged());
}

// Data/Quiz or Data/CourseGrade moved away and linked back while Pollix runs: a restore would be
// refused whatever the archive, so the question before it offers none. Through the real page, the
// real file panel and the real alert: it names the folder and the way out, and has OK alone.
TEST_F(DataManagementTest, TheRestoreQuestionOffersNoRestoreOverAFolderThatBecameALink)
{
    ASSERT_TRUE(zipHelper().backupFilTo(backup()));
    DataManagementCtrl page;
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page, kEventWaitMs));
    for (const char *folder : {"Quiz", "CourseGrade"}) {
        SCOPED_TRACE(folder);
        QTemporaryDir disk2;
        const QString linked = data() + folder, moved = disk2.path() + "/" + folder;
        ASSERT_TRUE(QDir().mkpath(linked));
        ASSERT_TRUE(QDir().rename(linked, moved));
        ASSERT_TRUE(QFile::link(moved, linked));
        const QStringList before = QDir(moved).entryList(QDir::Files);
        const QString said = restoreRefusedOn(page, backup());
        EXPECT_TRUE(said.startsWith("The data of the backup \"backup.zip\" cannot replace the data of this application "
                                    "folder now. | " + QDir::toNativeSeparators(linked) +
                                    " became a link to another folder while Pollix was running"))
            << said.toStdString();
        EXPECT_TRUE(said.contains("quit Pollix and start it again")) << said.toStdString();
        EXPECT_EQ(QDir(moved).entryList(QDir::Files), before);
        EXPECT_TRUE(QFileInfo(linked).isSymLink());
        ASSERT_TRUE(QFile::remove(linked));
        ASSERT_TRUE(QDir().rename(moved, linked));
    }
    EXPECT_EQ(sessionCount(), 2);
    EXPECT_FALSE(QFileInfo::exists(home() + "Backups"));
    EXPECT_FALSE(page.isDataChanged());
}

// Every folder a restore would stop at, named in the one alert before the question, as the
// teacher meets it through the real page (a click on Restore, the real file panel, the real
// alert): Quiz and CourseGrade both moved away and linked back while Pollix runs, named together
// (put back one at a time, each would be met only after the other); the data folder itself moved
// aside and a link to a copy of it put in its place. Nothing changes on either side.
TEST_F(DataManagementTest, TheRestoreQuestionNamesEveryFolderItWouldStopAtInOneAlert)
{
    ASSERT_TRUE(zipHelper().backupFilTo(backup()));
    DataManagementCtrl page;
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page, kEventWaitMs));
    const struct
    {
        const char *label;
        QStringList linked; // below the application folder: moved to another disk and linked back
        QString said;
    } rows[] = {
        {"Quiz and CourseGrade made links", {"Data/Quiz", "Data/CourseGrade"},
         QDir::toNativeSeparators(data() + "Quiz") + " and " + QDir::toNativeSeparators(data() + "CourseGrade") +
             " became links to other folders while Pollix was running, and Pollix goes through no link that was not there "
             "when it started. Put each folder back in its link's place and try again, or quit Pollix and start it again: it "
             "then takes the links as it finds them."},
        {"the data folder made a link", {"Data"},
         QDir::toNativeSeparators(home() + "Data") + " became a link to another folder while Pollix was running, and Pollix "
                                                      "goes through no link that was not there when it started. Put the folder "
                                                      "back in the link's place and try again"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.label);
        QTemporaryDir disk2;
        QMap<QString, QMap<QString, QByteArray>> before;
        for (const QString &folder : row.linked) {
            const QString linked = home() + folder, moved = disk2.path() + "/" + QFileInfo(folder).fileName();
            ASSERT_TRUE(QDir().mkpath(linked));
            ASSERT_EQ(QProcess::execute("cp", {"-a", linked, moved}), 0);
            ASSERT_TRUE(QDir().rename(linked, linked + ".moved"));
            ASSERT_TRUE(QFile::link(moved, linked));
            before.insert(moved, filesBelow(moved));
            before.insert(linked + ".moved", filesBelow(linked + ".moved"));
        }
        const QString said = restoreRefusedOn(page, backup());
        EXPECT_TRUE(said.startsWith("The data of the backup \"backup.zip\" cannot replace the data of this application "
                                    "folder now. | " + row.said))
            << said.toStdString();
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            EXPECT_EQ(filesBelow(it.key()), it.value()) << it.key().toStdString();
        for (const QString &folder : row.linked) {
            EXPECT_TRUE(QFileInfo(home() + folder).isSymLink());
            ASSERT_TRUE(QFile::remove(home() + folder));
            ASSERT_TRUE(QDir().rename(home() + folder + ".moved", home() + folder));
        }
    }
    EXPECT_EQ(sessionCount(), 2);
    EXPECT_FALSE(QFileInfo::exists(home() + "Backups"));
    EXPECT_FALSE(page.isDataChanged());
}

// Once the alerts of a backup or a restore are answered (a click on each), Return closes the page
// (its OK), as when it opened: it does not begin the backup or the restore again from the button
// that began it, nor the backup from the first control, where the work done under the progress
// window left the keys.
TEST_F(DataManagementTest, AfterABackupOrARestoreReturnClosesThePage)
{
    ASSERT_TRUE(zipHelper().backupFilTo(backup()));
    const struct
    {
        const char *work;
        QPushButton *DataManagementCtrl::*button;
        QString file;
        int alerts;
    } cases[] = {{"a backup", &DataManagementCtrl::btnBackup, scratch.path() + "/again.zip", 1},
                 {"a restore", &DataManagementCtrl::btnRecover, backup(), 2}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.work);
        DataManagementCtrl page;
        page.show();
        page.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&page, kEventWaitMs));
        answers.answerFile(c.file);
        const qsizetype asked = answers.fileDialogs().size() + 1;
        {
            RealAlerts alerts;
            QTest::mouseClick(page.*c.button, Qt::LeftButton);
            EXPECT_EQ(alerts.seen().size(), c.alerts);
            EXPECT_EQ(alerts.unanswered(), c.alerts) << "each answered by a click on its first button";
        }
        FolderWork::waitUntilIdle();
        // As the window manager hands the page back the keys once the alert over it went.
        page.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&page, kEventWaitMs));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &page, Qt::Key_Return);
        EXPECT_FALSE(page.isVisible());
        EXPECT_EQ(page.result(), 1) << "closed by its OK";
        EXPECT_EQ(answers.fileDialogs().size(), asked) << "no backup or restore begun again";
    }
}

// The archive of the data an earlier restore replaced (here a stand-in that runs until the test
// lets it end) is finished before the next work, in a progress window that says what it waits for.
TEST_F(DataManagementTest, TheNextWorkWaitsForTheArchiveOfReplacedDataInAWindowThatSaysSo)
{
    std::atomic<bool> archiveMayEnd{false};
    FolderWork::runInBackground([&] {
        while (!archiveMayEnd)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    });
    DataManagementCtrl page;
    page.show();
    QString said;
    int busyRange = -1;
    QTimer::singleShot(0, [&] {
        QWidget *window = QApplication::activeModalWidget();
        ASSERT_TRUE(window && window->objectName() == "ProgressControl");
        ASSERT_TRUE(window->findChild<QLabel *>("progressText"));
        said = window->findChild<QLabel *>("progressText")->text();
        busyRange = window->findChild<QProgressBar *>("progress")->maximum();
        EXPECT_TRUE(Shots::drew(window, "waiting for the archive"));
        // It says what keeps Pollix busy until that is done: no way out hides it before.
        RealAlerts::closeBox(window);
        RealAlerts::pressEscape(window);
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(FolderWork::running());
        archiveMayEnd = true;
    });
    // The save panel, once the wait is over, is cancelled (no answer given).
    QTest::mouseClick(page.btnBackup, Qt::LeftButton);
    EXPECT_EQ(said, "Pollix is finishing the archive of replaced data in " + QDir::toNativeSeparators(home() + "Backups") +
                        "; this goes on when it is done.");
    EXPECT_EQ(busyRange, 0) << "busy: a wait tells no steps";
    EXPECT_FALSE(FolderWork::running());
    EXPECT_TRUE(answers.alertTexts().isEmpty());
}

// Where the data a restore replaced could not be moved into Backups (a folder there the teacher's
// account may not write), the report says where they are and where they go; the next start moves
// them there. Also where the swap took two renames and the last left them in the folder they were
// moved aside to.
TEST_F(DataManagementTest, TheReportSaysWhereTheReplacedDataAreAlsoWhenTheyCouldNotBeMovedIntoBackups)
{
    POLLIX_AS_ORDINARY_USER();
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        startOn(folder);
        DialogAnswers childAnswers;
        childAnswers.answerFile(folder + "/new.zip");
        DataManagementCtrl page;
        QTest::mouseClick(page.btnRecover, Qt::LeftButton);
        ASSERT_EQ(childAnswers.alertTexts().last(), "Successfully recover.");
        FolderWork::waitUntilIdle();
        QFile report(folder + "/report.txt");
        ASSERT_TRUE(report.open(QIODevice::WriteOnly));
        report.write(childAnswers.alerts().last().informativeText.toUtf8());
        return;
    }
    ASSERT_TRUE(zipHelper().backupFilTo(backup()));
    const QByteArray replaced = "<Subjects><Subject><Name>Replaced</Name></Subject></Subjects>";
    // The renames of a restore's swap where folders cannot be exchanged; the n-th rename fails.
    const auto restoreIn = [&](const QString &folder, int failing) {
        EXPECT_EQ(QProcess::execute("cp", {"-a", data(), folder + "/Data"}), 0);
        QFile subjects(folder + "/Data/Subjects.xml");
        EXPECT_TRUE(subjects.open(QIODevice::WriteOnly | QIODevice::Truncate));
        subjects.write(replaced);
        subjects.close();
        EXPECT_TRUE(QFile::copy(backup(), folder + "/new.zip"));
        EXPECT_TRUE(QDir(folder).mkpath("Backups"));
        EXPECT_TRUE(QFile::setPermissions(folder + "/Backups", QFile::ReadOwner | QFile::ExeOwner));
        QStringList strace{"-e", "trace=rename,renameat,renameat2", "-e", "inject=renameat2:error=EINVAL"};
        if (failing > 0)
            strace << "-e" << QStringLiteral("inject=renameat:error=EIO:when=%1").arg(failing);
        return TracedRun::runCurrentTest(folder, strace, true);
    };
    // First with every rename made, then with the rename that puts the old data back under the
    // prepared folder's name failing (found by its names in the trace).
    for (int failing = 0; failing <= 12; ++failing) {
        QTemporaryDir dir;
        const QString folder = QFileInfo(dir.path()).canonicalFilePath();
        const TracedRun::Outcome run = restoreIn(folder, failing);
        bool asideKept = false;
        for (const QString &call : run.trace)
            asideKept = asideKept || (call.contains("EIO") && call.contains("(INJECTED)") && call.contains("Data.old-") &&
                                      call.contains("Data.restore-"));
        if (failing > 0 && !asideKept)
            continue;
        ASSERT_TRUE(run.passed) << run.output.toStdString();
        const QStringList beside = QDir(folder).entryList({"Data.*"}, QDir::Dirs | QDir::Hidden);
        ASSERT_EQ(beside.size(), 1) << beside.join(", ").toStdString();
        EXPECT_TRUE(beside.first().startsWith(failing > 0 ? "Data.old-" : "Data.restore-")) << beside.first().toStdString();
        const QString kept = folder + "/" + beside.first();
        EXPECT_EQ(readFile(kept + "/Subjects.xml"), replaced);
        const QString said = QString::fromUtf8(readFile(folder + "/report.txt"));
        // The note names the folder within Backups, the one place a start moves it to.
        const QString note = QString::fromUtf8(readFile(kept + "/.kept-as"));
        EXPECT_TRUE(note.startsWith("Before restore ") && !note.contains('/')) << note.toStdString();
        const QString destination = folder + "/Backups/" + note;
        EXPECT_TRUE(said.contains(QDir::toNativeSeparators(kept)) && said.contains(QDir::toNativeSeparators(destination)))
            << said.toStdString();

        // The next start, Backups writable again, moves them there.
        ASSERT_TRUE(QFile::setPermissions(folder + "/Backups", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        startOn(folder, true);
        EXPECT_TRUE(QDir(folder).entryList({"Data.*"}, QDir::Dirs | QDir::Hidden).isEmpty());
        EXPECT_EQ(readFile(destination + "/Subjects.xml"), replaced);
        EXPECT_NE(readFile(folder + "/Data/Subjects.xml"), replaced);
        if (failing > 0)
            return;
    }
    ADD_FAILURE() << "no run failed the rename that puts the old data back under the prepared folder's name";
}

// Saves whose folder the disk does not sync: the save is reported done (a session saved again
// would be a second session), and a notice that waits for nothing says that the change may not
// survive a power cut; further ones join it while it is up.
TEST_F(DataManagementTest, ASaveTheDiskDidNotConfirmIsReportedDoneAndANoticeSaysItMayNotSurviveAPowerCut)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        startOn(folder);
        // The notice as the teacher meets it, not through the fixture's answers.
        DialogHooks::setAlertResponder({});
        PollixProgram::installServices();
        const auto reset = qScopeGuard([] {
            DataManagementCtrl::hooks().reloadGradebook = {};
            TabController::resetHooks();
            DeviceController::setAlertHandler({});
        });
        QuizEntity quiz;
        quiz.setActionType("1");
        QString path, why;
        ASSERT_TRUE(TovQuizXmlDatabase().addQuizWithName("Week 3", quiz, &path, &why)) << why.toStdString();
        const auto notice = [] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *alert = qobject_cast<PollixAlert *>(w); alert && alert->isVisible())
                    return alert;
            return static_cast<PollixAlert *>(nullptr);
        };
        ASSERT_TRUE(QTest::qWaitFor([&] { return notice() != nullptr; }, 2000));
        EXPECT_EQ(notice()->text(), "A change was saved, but the disk did not confirm it: it may be lost if the power fails now.");
        EXPECT_TRUE(notice()->informativeText().contains(path) && notice()->informativeText().contains("Input/output error"))
            << notice()->informativeText().toStdString();
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        QTest::mouseClick(notice()->findChild<QPushButton *>("alertButton0"), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return notice() == nullptr; }, 1000));

        // Through the page: the backup is reported made, and the teacher told of its folder.
        DialogAnswers childAnswers;
        childAnswers.answerFile(folder + "/Out/backup.zip");
        DataManagementCtrl page;
        QTest::mouseClick(page.btnBackup, Qt::LeftButton);
        const QString told = "A change was saved, but the disk did not confirm it: it may be lost if the power fails now.";
        EXPECT_TRUE(QTest::qWaitFor([&] { return childAnswers.alertTexts().contains(told); }, 2000))
            << childAnswers.alertTexts().join(" / ").toStdString();
        EXPECT_TRUE(childAnswers.alertTexts().contains("Successfully backup."));
        EXPECT_TRUE(zipHelper::checkBackup(folder + "/Out/backup.zip", &why)) << why.toStdString();
        return;
    }
    const QString root = QFileInfo(home()).canonicalFilePath();
    ASSERT_TRUE(QDir(root).mkpath("Out"));
    const TracedRun::Outcome run = TracedRun::runCurrentTest(
        root, {"-e", "trace=fsync", "-P", root + "/Data/Quiz", "-P", root + "/Out", "-e", "inject=fsync:error=EIO"}, true);
    ASSERT_TRUE(run.passed) << run.output.toStdString();
    EXPECT_TRUE(TracedRun::injected(run.trace));
}

// A backup refused for damaged files names each file once, by its place in the data folder,
// though the sessions and classes go into an archive twice.
TEST_F(DataManagementTest, ABackupRefusedForDamagedFilesNamesEachOnceWithACleanPath)
{
    writeFile("Data/Quiz/Cut short.xml", "<?xml version=\"1.0\"?>\n<Session><ID>1</ID><Name>Cut");
    writeFile("Data/Classes/Broken class.xml", "not a class file");
    // Larger than a data file may be: refused before anything is read.
    QFile huge(writeFile("Data/Quiz/Huge.xml", "<Session>"));
    ASSERT_TRUE(huge.resize(qint64(DataFolderLayout::kMaxFileSize) + 1));
    DataManagementCtrl page;
    const auto backupNames = [&](const QStringList &files) {
        answers.answerFile(backup());
        QTest::mouseClick(page.btnBackup, Qt::LeftButton);
        ASSERT_FALSE(answers.alerts().isEmpty());
        EXPECT_EQ(answers.alerts().last().text, "Unsuccessfully backup.");
        const QString said = answers.alerts().last().informativeText;
        for (const QString &file : files)
            EXPECT_EQ(said.count(data() + file), 1) << said.toStdString();
        EXPECT_FALSE(said.contains("//")) << said.toStdString();
        EXPECT_FALSE(said.contains("Monday")) << said.toStdString();
        EXPECT_FALSE(QFileInfo::exists(backup()));
    };
    backupNames({"Quiz/Huge.xml"});
    ASSERT_TRUE(huge.remove());
    backupNames({"Quiz/Cut short.xml", "Classes/Broken class.xml"});
}
