#include "core/app/zipHelper.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "platform/FolderWork.h"
#include "platform/InstanceLock.h"
#include "support/DialogAnswers.h"
#include "support/EventWait.h"
#include "support/OrdinaryUser.h"
#include "support/PollixTest.h"
#include "support/RunningPollix.h"
#include "support/TracedRun.h"
#include "ui/app/DataManagementCtrl.h"
#include "ui/app/PollixProgram.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <memory>

#include <unistd.h>

// A logout, a shutdown, a kill or Ctrl+C ends the real program through its event loop: nothing a
// run received is lost and the folder is free again.
using EndingSignalsTest = PollixTest;

TEST_F(EndingSignalsTest, WithNoRunEachEndingSignalEndsPollixCleanlyAndFreesTheFolder)
{
    for (int signalNumber : {SIGTERM, SIGHUP, SIGINT}) {
        QTemporaryDir folder;
        RunningPollix pollix(folder.path());
        ASSERT_TRUE(pollix.process.waitForStarted(10000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return pollix.holds(folder.path()); }, 15000)) << pollix.output.toStdString();
        EXPECT_TRUE(pollix.endsCleanlyOn(signalNumber)) << signalNumber << ": " << pollix.output.toStdString();
        EXPECT_FALSE(QFile::exists(folder.path() + QLatin1Char('/') + InstanceLock::lockFileName())) << signalNumber;
        InstanceLock next(folder.path());
        EXPECT_EQ(next.take(), InstanceLock::Outcome::Taken) << signalNumber;
    }
}

// The demo plays a quiz in the program's own windows on a simulated receiver whose keypads answer
// by themselves, and prints each answer as it reaches the run. SIGTERM in the middle of the first
// question: the session is in the data folder, under the name the save would propose, with every
// one of those answers.
TEST_F(EndingSignalsTest, SigtermDuringARunSavesTheRunWithEveryAnswerReceived)
{
    const QString folder = home() + QStringLiteral("demo");
    RunningPollix demo(folder, QStringLiteral(POLLIX_BINARY_DIR "/tools/demo/pollix-demo"),
                       {QStringLiteral("run"), folder, QStringLiteral("--sim"),
                        QStringLiteral(POLLIX_BINARY_DIR "/tools/keypad-sim/pollix-keypad-sim"), QStringLiteral("--archive"),
                        QStringLiteral(POLLIX_BINARY_DIR "/src/Pollix")});
    ASSERT_TRUE(demo.process.waitForStarted(10000));
    const QRegularExpression answerLine(QStringLiteral("answer: question (\\d+), student (\\S+): (\\S+)"));
    ASSERT_TRUE(demo.waitFor([&](const QByteArray &out) { return QString::fromUtf8(out).count(answerLine) >= 5; }, 90000))
        << demo.output.toStdString();
    ASSERT_TRUE(demo.endsCleanlyOn(SIGTERM)) << demo.output.toStdString();
    EXPECT_TRUE(demo.output.contains("The run was saved as Pollix ended")) << demo.output.toStdString();
    EXPECT_FALSE(QFile::exists(folder + QLatin1Char('/') + InstanceLock::lockFileName()));

    // The demo folder holds its past sessions too ("Demo Quiz, week 1" and on); the run's is the
    // one under the name the save proposes.
    std::optional<QuizEntity> session;
    int runs = 0;
    for (const QFileInfo &file :
         QDir(folder + QStringLiteral("/Data/Quiz")).entryInfoList({QStringLiteral("*.xml")}, QDir::Files)) {
        std::optional<QuizEntity> read = TovQuizXmlDatabase().getQuizInfoAll(file.absoluteFilePath());
        if (read && read->name() == QStringLiteral("Demo Quiz")) {
            session = read;
            ++runs;
        }
    }
    ASSERT_EQ(runs, 1);
    const auto stored = [&](const QString &question, const QString &student) {
        for (const ResponseDataEntity &r : session->allStudentsAns())
            if (r.questionID() == question && r.studentID() == student)
                return r.response();
        return QStringLiteral("missing");
    };
    int answers = 0;
    for (auto it = answerLine.globalMatch(QString::fromUtf8(demo.output)); it.hasNext(); ++answers) {
        const QRegularExpressionMatch m = it.next();
        EXPECT_EQ(stored(m.captured(1), m.captured(2)), m.captured(3)) << m.captured(0).toStdString();
    }
    EXPECT_GE(answers, 5);
}

// A logout in the middle of a backup or a restore: the work goes on to its end (here made slow at
// its last renames), and until then the folder stays this Pollix's. A second start meanwhile is
// refused as while Pollix runs, so that it neither finishes nor removes what the work is making.
TEST_F(EndingSignalsTest, AnEndingSignalDuringABackupOrARestoreKeepsTheFolderUntilTheWorkIsDone)
{
    POLLIX_AS_ORDINARY_USER();
    const auto session = [](const char *id) {
        return QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Session><ID>") + id +
               "</ID><Name>Week</Name><TotalMark>10</TotalMark><Questions><Question><No>1</No><CAnswer>A</CAnswer>"
               "</Question></Questions></Session>";
    };
    const QByteArray before = "<Subjects><Subject><Name>Science</Name></Subject></Subjects>";
    const QByteArray after = "<Subjects><Subject><Name>History</Name></Subject></Subjects>";
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        startOn(folder);
        InstanceLock lock(folder, folder + "/Data");
        PollixProgram::endOnSignals(lock);
        ASSERT_TRUE(PollixProgram::claimApplicationFolder(lock));
        DialogAnswers answers;
        DataManagementCtrl page;
        const bool backup = QFileInfo::exists(folder + "/Out");
        if (backup) {
            answers.answerFile(folder + "/Out/backup.zip");
            QTest::mouseClick(page.btnBackup, Qt::LeftButton);
        } else {
            answers.answerFile(folder + "/new.zip");
            QTest::mouseClick(page.btnRecover, Qt::LeftButton);
        }
        EXPECT_EQ(answers.alertTexts().last(), backup ? "Successfully backup." : "Successfully recover.");
        // Let go of once the work is done, the archive of the replaced data included.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !lock.isHeld(); }, 30000));
        EXPECT_FALSE(FolderWork::running());
        return;
    }
    for (const bool backup : {false, true}) {
        QTemporaryDir dir;
        const QString folder = QFileInfo(dir.path()).canonicalFilePath();
        startOn(folder);
        writeFile("../" + QFileInfo(folder).fileName() + "/Data/Quiz/Monday.xml", session("m"));
        QDir().mkpath(folder + "/Data/Classes");
        QFile subjects(folder + "/Data/Subjects.xml");
        ASSERT_TRUE(subjects.open(QIODevice::WriteOnly));
        subjects.write(before);
        subjects.close();
        QString why;
        ASSERT_TRUE(zipHelper().backupFilTo(folder + "/new.zip", &why)) << why.toStdString();
        ASSERT_TRUE(subjects.open(QIODevice::WriteOnly | QIODevice::Truncate));
        subjects.write(after);
        subjects.close();
        if (backup) {
            ASSERT_TRUE(QDir(folder).mkpath("Out"));
        }

        // The swap of a restore, or each rename of a backup, takes a while.
        TracedRun::Child child(folder, backup ? QStringList{"-e", "trace=renameat", "-e", "inject=renameat:delay_enter=700000"}
                                              : QStringList{"-e", "trace=renameat2", "-e", "inject=renameat2:delay_enter=1200000"});
        const QString lockPath = folder + "/" + InstanceLock::lockFileName();
        const auto working = [&] {
            const QStringList made = backup ? QDir(folder + "/Out").entryList({"backup.zip.part-*"}, QDir::Files | QDir::Hidden)
                                            : QDir(folder).entryList({"Data.restore-*"}, QDir::Dirs | QDir::Hidden);
            const std::optional<InstanceLock::Owner> owner = InstanceLock::readOwner(lockPath);
            return owner && owner->pid != ::getpid() && !made.isEmpty() ? owner->pid : qint64(0);
        };
        ASSERT_TRUE(QTest::qWaitFor([&] { return working() > 0; }, 60000)) << (backup ? "backup" : "restore");
        ASSERT_EQ(::kill(pid_t(working()), SIGTERM), 0);

        // For a while after the signal (the work is slowed for longer), every start is refused.
        QElapsedTimer since;
        since.start();
        while (since.elapsed() < 300) {
            InstanceLock probe(folder, folder + "/Data");
            ASSERT_EQ(probe.take(), InstanceLock::Outcome::HeldByOther) << since.elapsed() << " ms after the signal";
            QTest::qWait(40);
        }
        DialogAnswers answers;
        {
            InstanceLock second(folder, folder + "/Data");
            EXPECT_FALSE(PollixProgram::claimApplicationFolder(second, 300)) << (backup ? "backup" : "restore");
            EXPECT_EQ(answers.alertTexts(), QStringList{"Pollix is already running on this application folder."});
        }
        const TracedRun::Outcome run = child.finish();
        ASSERT_TRUE(run.passed) << run.output.toStdString();
        EXPECT_FALSE(QFile::exists(lockPath));
        if (backup) {
            EXPECT_TRUE(zipHelper::checkBackup(folder + "/Out/backup.zip", &why)) << why.toStdString();
            EXPECT_EQ(QDir(folder + "/Out").entryList(QDir::Files | QDir::Hidden), QStringList{"backup.zip"});
        } else {
            // Restored whole, and the data it replaced archived in Backups before the end.
            EXPECT_EQ(readFile(folder + "/Data/Subjects.xml"), before);
            EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                      (QStringList{"Backups", "Data", "new.zip"}));
            const QStringList kept = QDir(folder + "/Backups").entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
            ASSERT_EQ(kept.size(), 1);
            EXPECT_TRUE(kept.first().endsWith(".zip"));
            EXPECT_TRUE(zipHelper::checkBackup(folder + "/Backups/" + kept.first(), &why)) << why.toStdString();
        }
        InstanceLock next(folder, folder + "/Data");
        EXPECT_EQ(next.take(), InstanceLock::Outcome::Taken);
    }
}

// Quit right after a restore, while the archive of the data it replaced is still being made (held
// here once the archive is written, before the folder's files go, until the test lets it go on):
// the archive goes on to its end, in a progress window of its own that says so (the other windows
// gone), with the folder still held; a second start meanwhile is told that Pollix is finishing the
// archive of replaced data, not to use a window that is not there. A logout (SIGTERM) meanwhile
// ends Pollix cleanly once the archive is whole.
TEST_F(EndingSignalsTest, QuitDuringTheArchiveOfReplacedDataShowsItFinishingAndASecondStartIsToldSo)
{
    POLLIX_AS_ORDINARY_USER();
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        startOn(folder);
        InstanceLock lock(folder, folder + "/Data");
        bool ended = false;
        PollixProgram::endOnSignals(lock, [&ended] { ended = true; });
        ASSERT_TRUE(PollixProgram::claimApplicationFolder(lock));
        // The archive, once written, waits until its window was seen here and the test lets it go
        // on (a folder "go on").
        const auto seen = std::make_shared<std::atomic<bool>>(false);
        zipHelper::setArchiveWrittenHook([seen, goOn = folder + "/go on"](const QString &) {
            QDeadlineTimer deadline(2 * kEventWaitMs);
            while (!(*seen && QFileInfo::exists(goOn)) && !deadline.hasExpired())
                QThread::msleep(10);
        });
        DialogAnswers answers;
        {
            DataManagementCtrl page;
            answers.answerFile(folder + "/new.zip");
            QTest::mouseClick(page.btnRecover, Qt::LeftButton);
            ASSERT_EQ(answers.alertTexts().last(), "Successfully recover.");
        }
        ASSERT_TRUE(FolderWork::running()) << "the archive is being written";
        QWidget mainWindow;
        mainWindow.show();
        // Looked at while Pollix waits for the archive.
        QString shown;
        bool mainWindowGone = false;
        QTimer look;
        QObject::connect(&look, &QTimer::timeout, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || modal->objectName() != "ProgressControl" || !modal->isVisible())
                return;
            if (auto *text = modal->findChild<QLabel *>("progressText"))
                shown = text->text();
            mainWindowGone = !mainWindow.isVisible();
            *seen = true;
        });
        look.start(20);
        // What the program does once its main loop ended on Quit.
        PollixProgram::finishFolderWork(lock);
        zipHelper::setArchiveWrittenHook({});
        EXPECT_FALSE(FolderWork::running());
        EXPECT_TRUE(shown.startsWith("Pollix is finishing the archive of replaced data in ")) << shown.toStdString();
        EXPECT_TRUE(mainWindowGone);
        if (QFileInfo::exists(folder + "/logout")) {
            // The ending the signal began lets go of the folder, now that the work is done.
            EXPECT_TRUE(QTest::qWaitFor([&] { return ended; }, 10000));
            EXPECT_FALSE(lock.isHeld());
        } else {
            EXPECT_TRUE(lock.isHeld()) << "held until the program returns";
        }
        return;
    }
    for (const bool logout : {false, true}) {
        QTemporaryDir dir;
        const QString folder = QFileInfo(dir.path()).canonicalFilePath();
        startOn(folder);
        QDir().mkpath(folder + "/Data/Classes");
        for (const char *name : {"Monday", "Tuesday", "Wednesday", "Thursday"})
            writeFile("../" + QFileInfo(folder).fileName() + "/Data/Quiz/" + name + ".xml",
                      QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Session><ID>") + name +
                          "</ID><Name>Week</Name><TotalMark>10</TotalMark></Session>");
        writeFile("../" + QFileInfo(folder).fileName() + "/Data/Subjects.xml", "<Subjects/>");
        QString why;
        ASSERT_TRUE(zipHelper().backupFilTo(folder + "/new.zip", &why)) << why.toStdString();
        if (logout) {
            ASSERT_TRUE(QDir(folder).mkdir("logout"));
        }

        TracedRun::Child child(folder, {"--seccomp-bpf", "-e", "trace=none"});
        const QString lockPath = folder + "/" + InstanceLock::lockFileName();
        qint64 pid = 0;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const std::optional<InstanceLock::Owner> owner = InstanceLock::readOwner(lockPath);
                pid = owner && owner->pid != ::getpid() ? owner->pid : 0;
                return pid > 0;
            },
            60000));
        // Until it quits, a start is told that Pollix runs there; then, that it finishes the archive.
        DialogAnswers answers;
        QElapsedTimer since;
        since.start();
        while (answers.alerts().isEmpty() || answers.alerts().last().text.startsWith("Pollix is already running")) {
            ASSERT_LT(since.elapsed(), 60000) << answers.alertTexts().join('\n').toStdString();
            InstanceLock second(folder, folder + "/Data");
            ASSERT_FALSE(PollixProgram::claimApplicationFolder(second, 2000));
            QTest::qWait(30);
        }
        const AlertRequest told = answers.alerts().last();
        EXPECT_EQ(told.text, "Pollix is finishing the archive of replaced data on this application folder.");
        EXPECT_TRUE(told.informativeText.contains(QStringLiteral("process %1").arg(pid))) << told.informativeText.toStdString();
        EXPECT_TRUE(told.informativeText.contains("ends by itself")) << told.informativeText.toStdString();
        // Held there: the archive written, the folder it holds not yet removed.
        QStringList inBackups;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                inBackups = QDir(folder + "/Backups").entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
                return inBackups.size() == 2 && inBackups.last() == inBackups.first() + ".zip";
            },
            kEventWaitMs))
            << inBackups.join(" | ").toStdString();
        if (logout) {
            ASSERT_EQ(::kill(pid_t(pid), SIGTERM), 0);
        }
        {
            // Until the archive is done, a signal or not, the folder stays held.
            InstanceLock second(folder, folder + "/Data");
            EXPECT_FALSE(PollixProgram::claimApplicationFolder(second, 300));
            EXPECT_EQ(answers.alerts().last().text, told.text);
        }
        ASSERT_TRUE(QDir(folder).mkdir("go on"));

        const TracedRun::Outcome run = child.finish();
        ASSERT_TRUE(run.passed) << (logout ? "logout: " : "quit: ") << run.output.toStdString();
        EXPECT_FALSE(QFile::exists(lockPath));
        inBackups = QDir(folder + "/Backups").entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        ASSERT_EQ(inBackups.size(), 1) << inBackups.join(' ').toStdString();
        EXPECT_TRUE(inBackups.first().endsWith(".zip"));
        EXPECT_TRUE(zipHelper::checkBackup(folder + "/Backups/" + inBackups.first(), &why)) << why.toStdString();
        InstanceLock next(folder, folder + "/Data");
        EXPECT_EQ(next.take(), InstanceLock::Outcome::Taken);
    }
}
