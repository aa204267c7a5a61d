#include "core/app/Orvenda_AppDelegate.h"
#include "core/store/DataRecovery.h"
#include "core/store/GlobalFunctions.h"
#include "platform/AtomicFile.h"
#include "platform/InstanceLock.h"
#include "support/DialogAnswers.h"
#include "support/EventWait.h"
#include "support/LogLines.h"
#include "support/OrdinaryUser.h"
#include "support/ReadOnlyFolders.h"
#include "support/RealAlerts.h"
#include "support/RunningPollix.h"
#include "support/TracedRun.h"
#include "ui/app/PollixProgram.h"
#include "ui/controls/PollixAlert.h"

#include <QDateTime>
#include <QDeadlineTimer>
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
#include <QLocalServer>
#include <QScopeGuard>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>

#include <sys/inotify.h>
#include <unistd.h>

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
        // The first rename of the child (renameat, in the folder held open) is the one that puts
        // its lock in place in the application folder; the second, in the data folder.
        const QStringList strace{"-e", "trace=renameat", "-e",
                                 both ? "inject=renameat:error=EIO:when=1..2" : "inject=renameat:error=EIO:when=1"};
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

// A data file in the application folder, which a Pollix that no longer holds the folder leaves
// as it is.
QString dataFileIn(const QString &folder)
{
    const QString path = folder + "/Data/Subjects.xml";
    EXPECT_TRUE(QDir(folder).mkpath("Data"));
    EXPECT_TRUE(AtomicFile::write(path, "<Subjects/>"));
    return path;
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
    const QString subjects = dataFileIn(folder);
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

// ---- Another start of this computer takes the folder while Pollix does not answer ----

namespace {
// The lock's side files made in a folder: each look at a lock that is gone makes one.
class LockFilesMade
{
public:
    explicit LockFilesMade(const QString &folder)
        : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
          m_watch(::inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), IN_CREATE | IN_MOVED_TO))
    {
    }
    ~LockFilesMade() { ::close(m_fd); }
    bool isValid() const { return m_fd >= 0 && m_watch >= 0; }
    // Those made since the last call.
    int count()
    {
        int made = 0;
        alignas(inotify_event) char buffer[64 * 1024];
        for (ssize_t n; (n = ::read(m_fd, buffer, sizeof buffer)) > 0;) {
            for (ssize_t at = 0; at < n;) {
                const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
                made += event->len > 0 && QByteArray(event->name).startsWith(".pollix.lock.");
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
        return made;
    }

private:
    int m_fd;
    int m_watch;
};

// Processor time a process has used so far, in clock ticks (user and system).
qint64 ticksOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = stat.readAll().split(')').last().trimmed().split(' ');
    return fields.size() > 12 ? fields.at(11).toLongLong() + fields.at(12).toLongLong() : -1;
}

QList<PollixAlert *> noticesOfAnotherStart()
{
    QList<PollixAlert *> out;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *alert = qobject_cast<PollixAlert *>(w); alert && alert->isVisible() && alert->text().contains("Another Pollix on this computer"))
            out << alert;
    return out;
}
} // namespace

// The program, really stopped (SIGSTOP) while its lock file is removed and a second start takes
// the folder: woken again, it says so once and then does nothing more in the folder, nor uses the
// processor; ended, it leaves the second start's lock and its come-forward socket alone.
TEST(InstanceTest, APollixStoppedWhileAnotherStartTookItsFolderSaysSoOnceAndThenLeavesTheFolderAlone)
{
    QTemporaryDir home;
    const QString folder = QFileInfo(home.path()).canonicalFilePath();
    RunningPollix first(folder);
    ASSERT_TRUE(startedOn(first, folder)) << first.output.toStdString();
    const qint64 firstPid = first.process.processId();
    ASSERT_EQ(::kill(pid_t(firstPid), SIGSTOP), 0);
    ASSERT_TRUE(QFile::remove(lockIn(folder)));
    RunningPollix second(folder);
    ASSERT_TRUE(startedOn(second, folder)) << second.output.toStdString();

    LockFilesMade made(folder);
    ASSERT_TRUE(made.isValid());
    ::kill(pid_t(firstPid), SIGCONT);
    ASSERT_TRUE(first.saw("another start has taken", kEventWaitMs)) << first.output.toStdString();
    made.count();
    // It was stopped anywhere in its start, which it may still be finishing: a second comes in
    // which it uses next to no processor time, as one that keeps looking at the folder never does.
    const QDeadlineTimer quiet(kEventWaitMs);
    qint64 used = 0;
    do {
        const qint64 ticks = ticksOf(firstPid);
        first.waitFor([](const QByteArray &) { return false; }, 1000);
        used = ticksOf(firstPid) - ticks;
    } while (used >= 15 && !quiet.hasExpired());
    EXPECT_LT(used, 15) << "processor time in clock ticks, in its quietest second";
    EXPECT_EQ(made.count(), 0) << "side files of the lock made meanwhile";
    EXPECT_EQ(first.output.count("another start has taken"), 1) << first.output.toStdString();

    EXPECT_TRUE(first.endsCleanlyOn(SIGTERM)) << first.output.toStdString();
    EXPECT_TRUE(second.holds(folder));
    // A third start still reaches the second, which comes forward. The first, stopped between its
    // look at the lock file and its listening, may have put its socket over the second's and taken
    // it away as it ended: the second makes its own again at its next look (every 5 s). It answers
    // once its events run, and on a busy machine it may still be finishing its own start when the
    // third asks: the third is given the wait of any awaited event, not those 5 s and a little.
    InstanceLock third(folder);
    DialogAnswers answers;
    EXPECT_FALSE(PollixProgram::claimApplicationFolder(third, kEventWaitMs));
    EXPECT_TRUE(second.saw("asked this window to come forward")) << second.output.toStdString();
}

// A Pollix that took the lock and was stopped before it listened may wake after another start took
// the folder and put its own socket under the name of the other's, as this test does: the holder
// makes its socket again, and a later start still brings it forward.
TEST(InstanceTest, TheHoldersSocketReplacedByAStartThatWokeLateIsMadeAgainAndALaterStartReachesIt)
{
    // The programs' and this process's sockets in a folder of the test's own.
    QTemporaryDir sockets;
    const QByteArray savedTemp = qgetenv("TMPDIR");
    const bool hadTemp = qEnvironmentVariableIsSet("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(sockets.path()));
    const auto restoreTemp = qScopeGuard([&] { hadTemp ? qputenv("TMPDIR", savedTemp) : qunsetenv("TMPDIR"); });
    const auto socketFiles = [&] { return QDir(sockets.path()).entryList({"pollix-*"}, QDir::System); };

    QTemporaryDir home;
    const QString folder = QFileInfo(home.path()).canonicalFilePath();
    RunningPollix holder(folder);
    ASSERT_TRUE(startedOn(holder, folder)) << holder.output.toStdString();
    DialogAnswers answers;
    // Reached once: it listens, as its own socket.
    const auto comesForward = [&](int times) {
        InstanceLock another(folder);
        EXPECT_FALSE(PollixProgram::claimApplicationFolder(another));
        return holder.waitFor([times](const QByteArray &out) { return out.count("asked this window to come forward") == times; },
                              kEventWaitMs);
    };
    ASSERT_TRUE(comesForward(1)) << holder.output.toStdString();
    ASSERT_EQ(socketFiles().size(), 1) << socketFiles().join(' ').toStdString();
    const QString name = sockets.filePath(socketFiles().first());
    // What the late start did, its socket listening (until it yields or ends).
    QLocalServer late;
    QLocalServer::removeServer(name);
    ASSERT_TRUE(late.listen(name)) << late.errorString().toStdString();

    ASSERT_TRUE(holder.saw("reach this one was gone or replaced: it was made again", kEventWaitMs)) << holder.output.toStdString();
    EXPECT_TRUE(comesForward(2)) << holder.output.toStdString();
    ASSERT_EQ(answers.alerts().size(), 2);
    EXPECT_TRUE(answers.alerts().last().informativeText.contains("Its window has been brought to the front."))
        << answers.alerts().last().informativeText.toStdString();
}

// In the program's own process, whose events wait while the lock file goes and another start takes
// the folder: one notice that stops nothing, with no way to take the folder back; from then on no
// file that is there is changed from here (a save says why), a new one still is.
TEST(InstanceTest, TheNoticeOfAnotherStartComesOnceStopsNothingAndNoFileThereIsChangedFromHere)
{
    QTemporaryDir home;
    const QString folder = QFileInfo(home.path()).canonicalFilePath();
    const QString subjects = dataFileIn(folder);
    LogLines log;
    int quits = 0;
    auto lock = std::make_unique<InstanceLock>(folder, folder + "/Data");
    ASSERT_EQ(lock->take(), InstanceLock::Outcome::Taken);
    PollixProgram::warnWhenTakenOver(*lock, [&] { ++quits; });

    ASSERT_TRUE(QFile::remove(lockIn(folder)));
    InstanceLock other(folder, folder + "/Data");
    ASSERT_EQ(other.take(), InstanceLock::Outcome::Taken);
    const QByteArray othersLock = contents(lockIn(folder));
    ASSERT_TRUE(QTest::qWaitFor([] { return !noticesOfAnotherStart().isEmpty(); }, 2000));
    // Its own side files changed the folder again meanwhile, and other starts may; nothing more.
    QTest::qWait(200);
    EXPECT_EQ(log.containing("another start has taken").size(), 1) << log.lines().join("\n").toStdString();
    ASSERT_EQ(noticesOfAnotherStart().size(), 1);
    PollixAlert *notice = noticesOfAnotherStart().first();
    EXPECT_EQ(notice->text(), "Another Pollix on this computer has opened this application folder.");
    EXPECT_EQ(notice->buttonTitles(), (QStringList{"Quit", "Go On Here"}));
    EXPECT_FALSE(notice->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(lock->isTakenByOtherStart());

    QString why;
    EXPECT_FALSE(AtomicFile::write(subjects, "<Subjects><Subject/></Subjects>", &why));
    EXPECT_TRUE(why.contains("Another Pollix on this computer")) << why.toStdString();
    EXPECT_EQ(contents(subjects), "<Subjects/>");
    EXPECT_TRUE(AtomicFile::write(folder + "/Data/New session.xml", "<Session/>", &why)) << why.toStdString();
    EXPECT_FALSE(lock->takeOver(&why));
    EXPECT_TRUE(why.contains("holds the folder")) << why.toStdString();

    QTest::mouseClick(notice->findChild<QPushButton *>("alertButton1"), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([] { return noticesOfAnotherStart().isEmpty(); }, 1000));
    EXPECT_EQ(quits, 0);
    EXPECT_FALSE(AtomicFile::write(subjects, "<Subjects><Subject/></Subjects>", &why)) << "Go On Here takes nothing back";

    // Ended, it leaves the other's lock as it is; changes are no longer refused in this process.
    lock.reset();
    EXPECT_EQ(contents(lockIn(folder)), othersLock);
    EXPECT_TRUE(AtomicFile::write(subjects, "<Subjects><Subject/></Subjects>", &why)) << why.toStdString();
}

// The notice of another start, found by the lock before the notice was wired (the start's own
// alerts were up): shown all the same, and Return, Escape and the close box quit, as "Quit" does.
TEST(InstanceTest, TheNoticeOfAnotherStartFoundBeforeItWasWiredShowsAndEachWayOutOfItQuits)
{
    QTemporaryDir home;
    const QString folder = QFileInfo(home.path()).canonicalFilePath();
    const QList<std::pair<const char *, std::function<void(QWidget *)>>> waysOut{
        {"Return", [](QWidget *notice) { QTest::keyClick(notice->focusWidget() ? notice->focusWidget() : notice, Qt::Key_Return); }},
        {"Escape", [](QWidget *notice) { RealAlerts::pressEscape(notice); }},
        {"close box", [](QWidget *notice) { RealAlerts::closeBox(notice); }},
    };
    for (const auto &[way, leave] : waysOut) {
        SCOPED_TRACE(way);
        int quits = 0;
        auto lock = std::make_unique<InstanceLock>(folder, folder + "/Data");
        ASSERT_EQ(lock->take(), InstanceLock::Outcome::Taken);
        ASSERT_TRUE(QFile::remove(lockIn(folder)));
        InstanceLock other(folder, folder + "/Data");
        ASSERT_EQ(other.take(), InstanceLock::Outcome::Taken);
        ASSERT_TRUE(QTest::qWaitFor([&] { return lock->isTakenByOtherStart(); }, kEventWaitMs));

        PollixProgram::warnWhenTakenOver(*lock, [&] { ++quits; });
        ASSERT_TRUE(QTest::qWaitFor([] { return noticesOfAnotherStart().size() == 1; }, kEventWaitMs));
        PollixAlert *notice = noticesOfAnotherStart().first();
        EXPECT_EQ(notice->text(), "Another Pollix on this computer has opened this application folder.");
        leave(notice);
        EXPECT_TRUE(QTest::qWaitFor([] { return noticesOfAnotherStart().isEmpty(); }, kEventWaitMs));
        EXPECT_EQ(quits, 1);
    }
}

// ---- Two starts in the same moment ----

namespace {
// The trial files of the lock in the folder and its data folder.
QStringList lockTrialsIn(const QString &folder)
{
    QStringList out;
    for (const QString &place : {folder, folder + "/Data"})
        for (const QString &name : QDir(place).entryList({".pollix.lock.tmp-*"}, QDir::AllEntries | QDir::Hidden | QDir::System))
            out << place + "/" + name;
    return out;
}
} // namespace

// Two starts on one new folder at once: one (a process of its own, this test again) stopped at
// each step of taking the lock, the other taking the folder where it can and tidying it as a start
// does. The trial file of the stopped start stays as long as it runs, and the tidying says nothing
// of it; woken, that start ends taken or refused as the other left it, its trial file gone.
TEST(InstanceTest, AStartNeverRemovesTheTrialFileOfAStartStillTakingTheLock)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        const int stopAt = contents(folder + "/step").toInt();
        bool stopped = false;
        InstanceLock::setStepHook([&](InstanceLock::Step step) {
            if (!stopped && int(step) == stopAt) {
                stopped = true;
                TracedRun::stopHere(folder);
            }
        });
        InstanceLock lock(folder, folder + "/Data");
        const InstanceLock::Outcome outcome = lock.take();
        InstanceLock::setStepHook({});
        EXPECT_TRUE(stopped);
        QFile said(folder + "/outcome");
        ASSERT_TRUE(said.open(QIODevice::WriteOnly));
        said.write(QByteArray::number(int(outcome)));
        return;
    }
    const struct
    {
        const char *step;
        InstanceLock::Step at;
        bool otherTakes;
    } rows[] = {
        {"its trial file made", InstanceLock::Step::TrialMade, true},
        {"the file in the lock's place looked at", InstanceLock::Step::LockLookedAt, false},
        {"its trial renamed into the lock's place", InstanceLock::Step::Placed, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.step);
        QTemporaryDir home;
        const QString folder = QFileInfo(home.path()).canonicalFilePath();
        ASSERT_TRUE(QDir(folder).mkpath("Data"));
        {
            QFile step(folder + "/step");
            ASSERT_TRUE(step.open(QIODevice::WriteOnly));
            step.write(QByteArray::number(int(row.at)));
        }
        TracedRun::Child child(folder, {"--seccomp-bpf", "-e", "trace=none"});
        const qint64 pid = child.waitUntilStopped();
        ASSERT_GT(pid, 0) << child.finish().output.toStdString();
        const QStringList trials = lockTrialsIn(folder);
        EXPECT_EQ(trials.size(), row.at == InstanceLock::Step::Placed ? 0 : 1) << trials.join(' ').toStdString();

        InstanceLock other(folder, folder + "/Data");
        const InstanceLock::Outcome taken = other.take();
        EXPECT_EQ(taken == InstanceLock::Outcome::Taken, row.otherTakes);
        if (taken == InstanceLock::Outcome::Taken) {
            LogLines log;
            Orvenda_AppDelegate delegate(folder);
            Orvenda_AppDelegate::setAppDelegate(&delegate);
            QString why;
            EXPECT_TRUE(DataRecovery::run(&why)) << why.toStdString();
            Orvenda_AppDelegate::setAppDelegate(nullptr);
            EXPECT_TRUE(log.containing(".pollix.lock.tmp-").filter("Removed").isEmpty()) << log.lines().join('\n').toStdString();
        }
        EXPECT_EQ(lockTrialsIn(folder), trials) << "the trial file of the start that still runs";

        ASSERT_EQ(::kill(pid_t(pid), SIGCONT), 0);
        const TracedRun::Outcome run = child.finish();
        EXPECT_TRUE(run.passed) << run.output.toStdString();
        const InstanceLock::Outcome theirs = row.otherTakes ? InstanceLock::Outcome::HeldByOther : InstanceLock::Outcome::Taken;
        EXPECT_EQ(contents(folder + "/outcome"), QByteArray::number(int(theirs)));
        EXPECT_EQ(lockTrialsIn(folder), QStringList());
        other.release();
    }
}
