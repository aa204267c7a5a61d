#include "core/store/GlobalFunctions.h"
#include "platform/AtomicFile.h"
#include "platform/InstanceLock.h"
#include "support/DialogAnswers.h"
#include "support/OrdinaryUser.h"
#include "support/ReadOnlyFolders.h"
#include "support/RealAlerts.h"
#include "support/RunningPollix.h"
#include "support/TracedRun.h"
#include "ui/app/PollixProgram.h"
#include "ui/controls/PollixAlert.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QApplication>
#include <QDialog>
#include <QProcess>
#include <QPushButton>

#include <gtest/gtest.h>

#include <csignal>

namespace {
QString lockIn(const QString &folder)
{
    return folder + QLatin1Char('/') + InstanceLock::lockFileName();
}

bool startedOn(RunningPollix &pollix, const QString &lockFolder)
{
    return pollix.process.waitForStarted(10000) && QTest::qWaitFor([&] { return pollix.holds(lockFolder); }, 15000);
}
} // namespace

TEST(InstanceTest, ASecondStartOnTheFolderSaysWhereItRunsBringsItForwardAndEndsUntilTheFirstIsKilled)
{
    QTemporaryDir home;
    RunningPollix first(home.path());
    ASSERT_TRUE(startedOn(first, home.path())) << first.output.toStdString();

    DialogAnswers answers;
    {
        InstanceLock lock(home.path());
        EXPECT_FALSE(PollixProgram::claimApplicationFolder(lock));
        ASSERT_EQ(answers.alerts().size(), 1);
        const AlertRequest &alert = answers.alerts().first();
        EXPECT_EQ(alert.title, "Pollix");
        EXPECT_EQ(alert.text, "Pollix is already running on this application folder.");
        EXPECT_TRUE(alert.informativeText.contains(QStringLiteral("process %1 on %2").arg(first.process.processId()).arg(QSysInfo::machineHostName())))
            << alert.informativeText.toStdString();
        EXPECT_TRUE(alert.informativeText.contains("brought to the front")) << alert.informativeText.toStdString();
        EXPECT_TRUE(first.saw("asked this window to come forward")) << first.output.toStdString();
    }

    // Killed, the first leaves its lock file; the next start takes the folder over.
    ::kill(pid_t(first.process.processId()), SIGKILL);
    ASSERT_TRUE(first.process.waitForFinished(5000));
    ASSERT_TRUE(QFile::exists(lockIn(home.path())));
    InstanceLock lock(home.path());
    EXPECT_TRUE(PollixProgram::claimApplicationFolder(lock));
    EXPECT_TRUE(lock.isHeld());
    EXPECT_EQ(answers.alerts().size(), 1);
}

// A start through a symbolic link reaches the running copy by the folder's real path; a copy that
// does not answer (frozen) is not said to have come forward.
TEST(InstanceTest, ThroughALinkTheRunningCopyComesForwardAndAFrozenOneIsNotSaidTo)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/Pollix");
    const QString link = dir.path() + QStringLiteral("/Desktop link");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::link(folder, link));
    RunningPollix first(folder);
    ASSERT_TRUE(startedOn(first, folder)) << first.output.toStdString();

    DialogAnswers answers;
    {
        InstanceLock lock(link);
        EXPECT_FALSE(PollixProgram::claimApplicationFolder(lock));
        EXPECT_EQ(lock.folder(), QFileInfo(folder).canonicalFilePath());
        ASSERT_EQ(answers.alerts().size(), 1);
        EXPECT_TRUE(answers.alerts()[0].informativeText.contains("Its window has been brought to the front."))
            << answers.alerts()[0].informativeText.toStdString();
        EXPECT_TRUE(first.saw("asked this window to come forward")) << first.output.toStdString();
    }

    ASSERT_EQ(::kill(pid_t(first.process.processId()), SIGSTOP), 0);
    {
        InstanceLock lock(folder);
        EXPECT_FALSE(PollixProgram::claimApplicationFolder(lock, 400));
        ASSERT_EQ(answers.alerts().size(), 2);
        const QString said = answers.alerts()[1].informativeText;
        EXPECT_FALSE(said.contains("has been brought to the front")) << said.toStdString();
        EXPECT_TRUE(said.contains("could not be brought to the front")) << said.toStdString();
        EXPECT_TRUE(said.contains(QStringLiteral("process %1").arg(first.process.processId()))) << said.toStdString();
    }
    ::kill(pid_t(first.process.processId()), SIGCONT);
}

// A folder copied while its Pollix ran carries a lock naming a live Pollix: the kernel's lock is
// on the original's file, so the copy is nobody's.
TEST(InstanceTest, ALockNamingALivePollixOfAnotherFolderHoldsNothing)
{
    QTemporaryDir original, copy;
    RunningPollix first(original.path());
    ASSERT_TRUE(startedOn(first, original.path())) << first.output.toStdString();
    ASSERT_TRUE(QFile::copy(lockIn(original.path()), lockIn(copy.path())));

    DialogAnswers answers;
    InstanceLock lock(copy.path());
    EXPECT_TRUE(PollixProgram::claimApplicationFolder(lock));
    EXPECT_TRUE(lock.isHeld());
    EXPECT_TRUE(answers.alerts().isEmpty());
    EXPECT_FALSE(first.output.contains("asked this window to come forward"));
}

// A network home after another computer was switched off with Pollix running: its lock names
// that computer, which the teacher knows about and this computer cannot ask.
TEST(InstanceTest, ALockOfAnotherComputerIsShownWithItsAgeAndOpensAnywayOrQuits)
{
    QTemporaryDir home;
    const QDateTime made = QDateTime::currentDateTimeUtc().addSecs(-3 * 3600 - 120);
    const QByteArray theirs = QStringLiteral("pid=4242\nhost=room-12-pc\nwritten=%1\nfolder=/home/t/Pollix\n")
                                  .arg(made.toString(Qt::ISODate))
                                  .toUtf8();
    {
        QFile file(lockIn(home.path()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(theirs);
    }

    DialogAnswers answers;
    answers.answerAlert(1); // Quit
    {
        InstanceLock lock(home.path());
        EXPECT_FALSE(PollixProgram::claimApplicationFolder(lock));
        EXPECT_FALSE(lock.isHeld());
    }
    ASSERT_EQ(answers.alerts().size(), 1);
    const AlertRequest &alert = answers.alerts()[0];
    EXPECT_EQ(alert.text, "Pollix on the computer \"room-12-pc\" holds this application folder.");
    EXPECT_EQ(alert.buttons, (QStringList{"Open Anyway", "Quit"}));
    EXPECT_TRUE(alert.informativeText.contains(made.toLocalTime().toString("yyyy-MM-dd HH:mm") + ", 3 hours ago, by process 4242."))
        << alert.informativeText.toStdString();
    EXPECT_TRUE(alert.informativeText.contains("two Pollix on one application folder overwrite each other's work"))
        << alert.informativeText.toStdString();
    QFile kept(lockIn(home.path()));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), theirs) << "Quit leaves the other computer's lock as it was";

    answers.answerAlert(0); // Open Anyway
    InstanceLock lock(home.path());
    EXPECT_TRUE(PollixProgram::claimApplicationFolder(lock));
    EXPECT_TRUE(lock.isHeld());
    EXPECT_EQ(answers.alerts().size(), 2);
    EXPECT_EQ(InstanceLock::readOwner(lockIn(home.path()))->host, QSysInfo::machineHostName());
}

// Nothing but the button opens over another computer's Pollix: Return, Escape, the close box and
// an ending signal (which ends the question's loop without a button) all quit.
TEST(InstanceTest, ALockOfAnotherComputerIsOpenedAnywayOnlyByItsButton)
{
    QTemporaryDir home;
    const QByteArray theirs = "pid=4242\nhost=room-12-pc\nwritten=2024-05-01T07:00:00Z\nfolder=/home/t/Pollix\n";
    {
        QFile file(lockIn(home.path()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(theirs);
    }
    // Each way of leaving the question, done on the question as it shows.
    const QList<std::function<void(QWidget *)>> leave{
        [](QWidget *alert) { QTest::keyClick(alert, Qt::Key_Return); },
        [](QWidget *alert) { QTest::keyClick(alert, Qt::Key_Escape); },
        [](QWidget *alert) { alert->close(); },
        [](QWidget *alert) { static_cast<QDialog *>(alert)->done(0); },
    };
    for (qsizetype way = 0; way < leave.size(); ++way) {
        bool shown = false;
        QTimer::singleShot(0, [&] {
            QWidget *alert = QApplication::activeModalWidget();
            shown = alert && alert->objectName() == "PollixAlert";
            if (alert)
                leave[way](alert);
        });
        InstanceLock lock(home.path());
        EXPECT_FALSE(PollixProgram::claimApplicationFolder(lock)) << "way " << way;
        EXPECT_TRUE(shown) << "way " << way;
        EXPECT_FALSE(lock.isHeld()) << "way " << way;
        QFile kept(lockIn(home.path()));
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), theirs) << "way " << way;
    }
}

// A school image: the application folder is read-only, its data folder is not. The running
// program keeps its lock where it writes, and a second start is refused there.
TEST(InstanceTest, OnAReadOnlyApplicationFolderThePollixThatRunsHoldsItsDataFolder)
{
    POLLIX_AS_ORDINARY_USER();
    ReadOnlyFolders image;
    ASSERT_TRUE(image.isValid() && image.makeReadOnly(image.folder()));

    RunningPollix first(image.folder());
    ASSERT_TRUE(startedOn(first, image.data())) << first.output.toStdString();
    EXPECT_FALSE(QFile::exists(lockIn(image.folder())));

    DialogAnswers answers;
    InstanceLock lock(image.folder(), image.data());
    EXPECT_FALSE(PollixProgram::claimApplicationFolder(lock));
    ASSERT_EQ(answers.alerts().size(), 1);
    EXPECT_EQ(answers.alerts()[0].text, "Pollix is already running on this application folder.");
    EXPECT_TRUE(answers.alerts()[0].informativeText.contains(QStringLiteral("process %1").arg(first.process.processId())));

    EXPECT_TRUE(first.endsCleanlyOn(SIGTERM)) << first.output.toStdString();
    EXPECT_FALSE(QFile::exists(lockIn(image.data())));
}

// ---- A lock file that cannot be made ----

// A folder under the lock's name in the application folder: the Pollix that runs keeps its lock
// in the data folder, and a second start is refused there as anywhere.
TEST(InstanceTest, AFolderInTheLocksPlaceStillKeepsToOnePollixThroughTheDataFolder)
{
    POLLIX_AS_ORDINARY_USER();
    QTemporaryDir home;
    const QString folder = QFileInfo(home.path()).canonicalFilePath();
    const QString data = folder + "/Data";
    ASSERT_TRUE(QDir().mkpath(lockIn(folder) + "/kept by a copy tool") && QDir().mkpath(data));

    RunningPollix first(folder);
    ASSERT_TRUE(startedOn(first, data)) << first.output.toStdString();
    EXPECT_TRUE(first.saw("could not be put in place (a folder of that name is in its place)")) << first.output.toStdString();

    DialogAnswers answers;
    {
        InstanceLock second(folder, data);
        EXPECT_FALSE(PollixProgram::claimApplicationFolder(second));
        ASSERT_EQ(answers.alerts().size(), 1);
        EXPECT_EQ(answers.alerts()[0].text, "Pollix is already running on this application folder.");
        EXPECT_TRUE(answers.alerts()[0].informativeText.contains(QStringLiteral("process %1").arg(first.process.processId())))
            << answers.alerts()[0].informativeText.toStdString();
    }
    EXPECT_TRUE(first.endsCleanlyOn(SIGTERM)) << first.output.toStdString();
    EXPECT_FALSE(QFileInfo::exists(lockIn(data)));
    EXPECT_TRUE(QFileInfo::exists(lockIn(folder) + "/kept by a copy tool")) << "the folder is not Pollix's to remove";
}

// A disk that fails the rename that puts the lock in place (strace makes it fail with an
// input/output error). Failing in the application folder only, the lock is taken in the data
// folder, while a second start is refused, and the empty file the start made to lock goes. Failing
// in both places, the start is refused with an alert naming both locks and why, and leaves no file.
TEST(InstanceTest, ALockThatCannotBePutInPlaceGoesToTheDataFolderOrTheStartIsRefusedNamingIt)
{
    POLLIX_AS_ORDINARY_USER();
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        const bool both = QFileInfo::exists(folder + "/both");
        DialogAnswers answers;
        InstanceLock lock(folder, folder + "/Data");
        if (both) {
            EXPECT_FALSE(PollixProgram::claimApplicationFolder(lock));
            EXPECT_FALSE(lock.isHeld());
            ASSERT_EQ(answers.alerts().size(), 1);
            const AlertRequest &alert = answers.alerts()[0];
            EXPECT_EQ(alert.text, "Pollix cannot lock this application folder.");
            EXPECT_TRUE(alert.informativeText.contains(lockIn(folder) + ": Input/output error")) << alert.informativeText.toStdString();
            EXPECT_TRUE(alert.informativeText.contains(lockIn(folder + "/Data") + ": Input/output error"))
                << alert.informativeText.toStdString();
            return;
        }
        ASSERT_TRUE(PollixProgram::claimApplicationFolder(lock));
        EXPECT_TRUE(answers.alerts().isEmpty());
        EXPECT_EQ(lock.lockPath(), lockIn(folder + "/Data"));
        EXPECT_FALSE(QFileInfo::exists(lockIn(folder))) << "the empty file made to lock it goes";
        // Held until the test has tried its second start.
        TracedRun::mark(folder, 1);
        EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(folder + "/tried"); }, 60000));
        return;
    }
    for (const bool both : {false, true}) {
        QTemporaryDir home;
        const QString folder = QFileInfo(home.path()).canonicalFilePath();
        ASSERT_TRUE(QDir().mkpath(folder + "/Data"));
        // The first rename of the child is the one that puts its lock in place in the
        // application folder; the second, in the data folder.
        const QStringList strace{"-e", "trace=rename", "-e", both ? "inject=rename:error=EIO:when=1..2" : "inject=rename:error=EIO:when=1"};
        if (both) {
            ASSERT_TRUE(QDir().mkpath(folder + "/both"));
        }
        TracedRun::Child child(folder, strace, true);
        if (!both) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(folder + "/mark-1"); }, 60000));
            InstanceLock second(folder, folder + "/Data");
            EXPECT_EQ(second.take(), InstanceLock::Outcome::HeldByOther);
            EXPECT_NE(second.owner().pid, qint64(::getpid()));
            ASSERT_TRUE(QDir().mkpath(folder + "/tried"));
        }
        const TracedRun::Outcome run = child.finish();
        EXPECT_TRUE(run.passed) << (both ? "both: " : "one: ") << run.output.toStdString();
        EXPECT_TRUE(TracedRun::injected(run.trace)) << run.trace.join('\n').toStdString();
        EXPECT_FALSE(QFileInfo::exists(lockIn(folder)));
        EXPECT_FALSE(QFileInfo::exists(lockIn(folder + "/Data")));
        const QStringList left = QDir(folder).entryList({".pollix.lock*"}, QDir::AllEntries | QDir::Hidden) +
                                 QDir(folder + "/Data").entryList({".pollix.lock*"}, QDir::AllEntries | QDir::Hidden);
        EXPECT_TRUE(left.isEmpty()) << left.join(' ').toStdString();
    }
}

// ---- Another computer opens the folder anyway while Pollix runs here ----

namespace {
const QByteArray kRoom12 = "pid=4242\nhost=room-12-pc\nwritten=2024-05-01T07:00:00Z\nfolder=/home/t/Pollix\n";

// What "Open Anyway" on that computer does: its own lock file, written beside, renamed over this
// one's (by another process, as over a network share).
void openAnywayFromRoom12(const QString &folder)
{
    const QString side = folder + QStringLiteral("/.pollix.lock.tmp-0000room");
    QFile file(side);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kRoom12);
    file.close();
    ASSERT_EQ(QProcess::execute(QStringLiteral("mv"), {side, lockIn(folder)}), 0);
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

PollixAlert *shownNotice()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *alert = qobject_cast<PollixAlert *>(w); alert && alert->isVisible() && alert->text().contains("room-12-pc"))
            return alert;
    return nullptr;
}
} // namespace

// The program itself: it says so at once (not at its next look a few seconds later), leaves the
// other computer's lock as it is, also as it ends.
TEST(InstanceTest, WhenAnotherComputerOpensTheFolderAnywayTheRunningPollixSaysSoAtOnceAndLeavesItsLock)
{
    POLLIX_AS_ORDINARY_USER();
    QTemporaryDir home;
    RunningPollix pollix(home.path());
    ASSERT_TRUE(startedOn(pollix, home.path())) << pollix.output.toStdString();
    openAnywayFromRoom12(home.path());
    EXPECT_TRUE(pollix.saw("Pollix on the computer \"room-12-pc\" has opened", 2500)) << pollix.output.toStdString();
    EXPECT_TRUE(pollix.endsCleanlyOn(SIGTERM)) << pollix.output.toStdString();
    QFile kept(lockIn(home.path()));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), kRoom12);
}

// The notice waits for nothing and takes no key from the window in use; until it is answered no
// file that is there is changed from here. "Keep Working Here" takes the folder back, "Quit" ends.
TEST(InstanceTest, TheNoticeOfAnotherComputerBlocksNothingRefusesChangesAndItsButtonsTakeTheFolderBackOrQuit)
{
    QTemporaryDir home;
    const QString folder = QFileInfo(home.path()).canonicalFilePath();
    const QString subjects = folder + "/Data/Subjects.xml";
    ASSERT_TRUE(QDir(folder).mkpath("Data"));
    ASSERT_TRUE(AtomicFile::write(subjects, "<Subjects/>"));
    InstanceLock lock(folder, folder + "/Data");
    ASSERT_EQ(lock.take(), InstanceLock::Outcome::Taken);
    int quits = 0;
    PollixProgram::warnWhenTakenOver(lock, [&] { ++quits; });

    openAnywayFromRoom12(folder);
    ASSERT_TRUE(QTest::qWaitFor([] { return shownNotice() != nullptr; }, 1000));
    PollixAlert *notice = shownNotice();
    EXPECT_EQ(notice->text(), "Pollix on the computer \"room-12-pc\" has opened this application folder.");
    EXPECT_TRUE(notice->informativeText().contains("may be lost")) << notice->informativeText().toStdString();
    EXPECT_EQ(notice->buttonTitles(), (QStringList{"Quit", "Keep Working Here"}));
    EXPECT_FALSE(notice->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(lock.isTakenByOtherComputer());

    QString why;
    EXPECT_FALSE(AtomicFile::write(subjects, "<Subjects><Subject/></Subjects>", &why));
    EXPECT_TRUE(why.contains("room-12-pc")) << why.toStdString();
    EXPECT_FALSE(GlobalFunctions::removeFileAtPath(subjects, &why));
    EXPECT_EQ(contents(subjects), "<Subjects/>");
    EXPECT_TRUE(AtomicFile::write(folder + "/Data/New session.xml", "<Session/>", &why)) << "a new file is nobody's work";
    EXPECT_EQ(contents(lockIn(folder)), kRoom12) << "their lock stays as they made it";

    QTest::mouseClick(notice->findChild<QPushButton *>("alertButton1"), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([] { return shownNotice() == nullptr; }, 1000));
    EXPECT_EQ(InstanceLock::readOwner(lockIn(folder))->pid, qint64(QCoreApplication::applicationPid()));
    EXPECT_FALSE(lock.isTakenByOtherComputer());
    EXPECT_TRUE(AtomicFile::write(subjects, "<Subjects><Subject/></Subjects>", &why)) << why.toStdString();
    EXPECT_EQ(quits, 0);

    openAnywayFromRoom12(folder);
    ASSERT_TRUE(QTest::qWaitFor([] { return shownNotice() != nullptr; }, 1000));
    QTest::mouseClick(shownNotice()->findChild<QPushButton *>("alertButton0"), Qt::LeftButton);
    EXPECT_EQ(quits, 1);

    // Its close box is no way around the choice, which could not be made any more: it quits, as
    // Escape does.
    ASSERT_TRUE(lock.takeOver());
    openAnywayFromRoom12(folder);
    ASSERT_TRUE(QTest::qWaitFor([] { return shownNotice() != nullptr; }, 1000));
    EXPECT_TRUE(RealAlerts::closeBox(shownNotice()));
    EXPECT_EQ(quits, 2);
    lock.release();
    EXPECT_EQ(contents(lockIn(folder)), kRoom12);
}
