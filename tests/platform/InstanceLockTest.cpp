#include "platform/AtomicFile.h"
#include "platform/InstanceLock.h"
#include "support/EventWait.h"
#include "support/OrdinaryUser.h"
#include "support/ReadOnlyFolders.h"
#include "support/TracedRun.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <new>

#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>

// The kernel's lock belongs to each opening of the file, so two locks of one process stand for
// two starts here; real processes, the locks of other computers, the alerts and the come-forward
// request are the program's tests' (tests/ui/app/InstanceTest.cpp).
namespace {
QString lockIn(const QString &folder)
{
    return folder + QLatin1Char('/') + InstanceLock::lockFileName();
}

void writeLock(const QString &path, const QByteArray &text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

QByteArray lockNaming(qint64 pid, const QString &host, const QString &written, const QString &folder)
{
    return QStringLiteral("pid=%1\nhost=%2\nwritten=%3\nfolder=%4\n").arg(pid).arg(host, written, folder).toUtf8();
}
} // namespace

TEST(InstanceLock, ALiveHolderIsToldByTheKernelsLockNotByTheNumberItsFileNames)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/Pollix");

    // A file left by a process that is gone, or whose number this very process has since been
    // given, or copied along with a folder while its Pollix ran: nobody holds it.
    QDir().mkpath(folder);
    writeLock(lockIn(folder), lockNaming(::getpid(), QSysInfo::machineHostName(), QStringLiteral("2020-01-01T00:00:00Z"),
                                         QStringLiteral("/elsewhere/Pollix")));
    InstanceLock first(folder);
    ASSERT_EQ(first.take(), InstanceLock::Outcome::Taken);
    EXPECT_TRUE(first.isHeld());
    const std::optional<InstanceLock::Owner> written = InstanceLock::readOwner(lockIn(folder));
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(written->pid, qint64(::getpid()));
    EXPECT_EQ(written->host, QSysInfo::machineHostName());
    EXPECT_EQ(written->folder, QFileInfo(folder).canonicalFilePath());
    EXPECT_LT(written->written.secsTo(QDateTime::currentDateTimeUtc()), 60);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{InstanceLock::lockFileName()})
        << "no side file stays";

    // Held, it is refused to the next start, which learns who holds it.
    InstanceLock second(folder);
    EXPECT_EQ(second.take(), InstanceLock::Outcome::HeldByOther);
    EXPECT_FALSE(second.isHeld());
    EXPECT_EQ(second.owner().pid, qint64(::getpid()));

    // Given up, the file goes and the folder is free.
    first.release();
    EXPECT_FALSE(QFile::exists(lockIn(folder)));
    EXPECT_EQ(second.take(), InstanceLock::Outcome::Taken);
}

TEST(InstanceLock, AReadOnlyApplicationFolderKeepsItsLockInTheDataFolderAndMakesItAgainWhenItGoes)
{
    POLLIX_AS_ORDINARY_USER();
    ReadOnlyFolders image;
    ASSERT_TRUE(image.isValid());
    const QString folder = image.folder(), data = image.data();
    // A lock left in the folder before it was made read-only names a process long gone.
    writeLock(lockIn(folder), lockNaming(999999, QSysInfo::machineHostName(), QStringLiteral("2020-01-01T00:00:00Z"), folder));
    ASSERT_TRUE(image.makeReadOnly(folder));

    InstanceLock first(folder, data);
    ASSERT_EQ(first.take(), InstanceLock::Outcome::Taken);
    EXPECT_TRUE(first.isHeld());
    EXPECT_EQ(first.lockPath(), lockIn(QFileInfo(data).canonicalFilePath()));
    InstanceLock second(folder, data);
    EXPECT_EQ(second.take(), InstanceLock::Outcome::HeldByOther);

    // Deleted while held (a clean-up of the data folder), the file is made again.
    ASSERT_TRUE(QFile::remove(lockIn(data)));
    first.keepFileInPlace();
    EXPECT_EQ(InstanceLock::readOwner(lockIn(data))->pid, qint64(::getpid()));
    InstanceLock third(folder, data);
    EXPECT_EQ(third.take(), InstanceLock::Outcome::HeldByOther);

    // Where nothing can be written no lock holds the folder: not taken either, each lock named
    // with why, or a start would go on as if alone and a second one join it once the folder can
    // be written.
    first.release();
    ASSERT_TRUE(image.makeReadOnly(data));
    InstanceLock unwritable(folder, data);
    EXPECT_EQ(unwritable.take(), InstanceLock::Outcome::Unwritable);
    EXPECT_FALSE(unwritable.isHeld());
    for (const QString &place : {folder, data})
        EXPECT_TRUE(unwritable.whyNotLocked().contains(lockIn(QFileInfo(place).canonicalFilePath()) + ": Permission denied"))
            << unwritable.whyNotLocked().toStdString();
    EXPECT_FALSE(unwritable.takeOver());
}

TEST(InstanceLock, AStartWhileTheFolderWasWritableStillHoldsItWhenTheNextOneMustUseTheDataFolder)
{
    POLLIX_AS_ORDINARY_USER();
    ReadOnlyFolders image;
    ASSERT_TRUE(image.isValid());
    InstanceLock first(image.folder(), image.data());
    ASSERT_EQ(first.take(), InstanceLock::Outcome::Taken);
    EXPECT_EQ(first.lockPath(), lockIn(QFileInfo(image.folder()).canonicalFilePath()));

    ASSERT_TRUE(image.makeReadOnly(image.folder()));
    InstanceLock second(image.folder(), image.data());
    EXPECT_EQ(second.take(), InstanceLock::Outcome::HeldByOther);
    EXPECT_EQ(second.owner().pid, qint64(::getpid()));
    EXPECT_FALSE(QFile::exists(lockIn(image.data()))) << "the refused start leaves no lock behind";
}

// A folder under the lock's name (made by hand, or by a copy tool) holds no lock and is none of
// Pollix's to remove: the lock goes to the data folder, where every later start finds it.
TEST(InstanceLock, AFolderInTheLocksPlaceMovesTheLockToTheDataFolderOrTheFolderIsNotTaken)
{
    QTemporaryDir dir;
    const QString folder = QFileInfo(dir.path()).canonicalFilePath() + QStringLiteral("/Pollix");
    const QString data = folder + QStringLiteral("/Data");
    ASSERT_TRUE(QDir().mkpath(lockIn(folder)) && QDir().mkpath(data));

    InstanceLock first(folder, data);
    ASSERT_EQ(first.take(), InstanceLock::Outcome::Taken);
    EXPECT_TRUE(first.isHeld());
    EXPECT_EQ(first.lockPath(), lockIn(data));
    InstanceLock second(folder, data);
    EXPECT_EQ(second.take(), InstanceLock::Outcome::HeldByOther);
    EXPECT_EQ(second.owner().pid, qint64(::getpid()));
    EXPECT_TRUE(QFileInfo(lockIn(folder)).isDir()) << "the folder in its place stays";
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty()) << "no side file stays";
    first.release();

    // With a folder in both places nothing holds the folder, which can be written: not taken,
    // each lock named with why.
    ASSERT_TRUE(QDir().mkpath(lockIn(data)));
    InstanceLock blocked(folder, data);
    EXPECT_EQ(blocked.take(), InstanceLock::Outcome::Unavailable);
    EXPECT_FALSE(blocked.isHeld());
    const QString why = blocked.whyNotLocked();
    EXPECT_TRUE(why.contains(lockIn(folder) + QStringLiteral(": a folder of that name is in its place"))) << why.toStdString();
    EXPECT_TRUE(why.contains(lockIn(data) + QStringLiteral(": a folder of that name is in its place"))) << why.toStdString();
    EXPECT_FALSE(blocked.takeOver());

    // Without a data folder yet (a new folder) there is nowhere else: not taken either, and no
    // data folder is made for it (a restore's swap cut short may be waiting to put one there).
    ASSERT_TRUE(QDir(data).removeRecursively());
    InstanceLock fresh(folder, data);
    EXPECT_EQ(fresh.take(), InstanceLock::Outcome::Unavailable);
    EXPECT_FALSE(QFileInfo::exists(data));
}

// A folder put in the place of the lock while Pollix runs: the lock moves to the data folder at
// once, so that a start meanwhile is still refused.
TEST(InstanceLock, AFolderPutInThePlaceOfAHeldLockMovesItToTheDataFolder)
{
    QTemporaryDir dir;
    const QString folder = QFileInfo(dir.path()).canonicalFilePath();
    const QString data = folder + QStringLiteral("/Data");
    ASSERT_TRUE(QDir().mkpath(data));
    InstanceLock first(folder, data);
    ASSERT_EQ(first.take(), InstanceLock::Outcome::Taken);
    ASSERT_EQ(first.lockPath(), lockIn(folder));

    ASSERT_TRUE(QFile::remove(lockIn(folder)) && QDir().mkdir(lockIn(folder)));
    first.keepFileInPlace();
    EXPECT_EQ(first.lockPath(), lockIn(data));
    EXPECT_EQ(InstanceLock::readOwner(lockIn(data))->pid, qint64(::getpid()));
    InstanceLock second(folder, data);
    EXPECT_EQ(second.take(), InstanceLock::Outcome::HeldByOther);
    first.release();
    EXPECT_FALSE(QFileInfo::exists(lockIn(data)));
    EXPECT_TRUE(QFileInfo(lockIn(folder)).isDir());
}

// A school image whose data folder has a folder in the lock's place: the data folder can be
// written, so the start does not go on unlocked.
TEST(InstanceLock, AReadOnlyApplicationFolderWhoseDataFolderCannotHoldTheLockIsNotTaken)
{
    POLLIX_AS_ORDINARY_USER();
    ReadOnlyFolders image;
    ASSERT_TRUE(image.isValid());
    ASSERT_TRUE(QDir().mkpath(lockIn(image.data())));
    ASSERT_TRUE(image.makeReadOnly(image.folder()));
    InstanceLock lock(image.folder(), image.data());
    EXPECT_EQ(lock.take(), InstanceLock::Outcome::Unavailable);
    EXPECT_FALSE(lock.isHeld());
    EXPECT_TRUE(lock.whyNotLocked().contains(QStringLiteral("Permission denied"))) << lock.whyNotLocked().toStdString();
    EXPECT_TRUE(lock.whyNotLocked().contains(QStringLiteral("a folder of that name is in its place")))
        << lock.whyNotLocked().toStdString();
}

// The lock file is made, put in place and removed in its folder held open (the calls name the
// folder's descriptor), never by a path, which a link swapped in on the way would lead elsewhere.
TEST(InstanceLock, ItsFilesAreMadeReplacedAndRemovedThroughTheFolderHeldOpen)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        InstanceLock lock(folder + "/Pollix", folder + "/Pollix/Data");
        ASSERT_EQ(lock.take(), InstanceLock::Outcome::Taken);
        lock.release();
        return;
    }
    QTemporaryDir dir;
    const QString folder = QFileInfo(dir.path()).canonicalFilePath();
    const TracedRun::Outcome run = TracedRun::runCurrentTest(
        folder, {"-y", "-e", "trace=rename,renameat,renameat2,unlink,unlinkat,mkdir,mkdirat"}, true);
    ASSERT_TRUE(run.passed) << run.output.toStdString();
    // The application folder made, the lock renamed into place and removed: each in a folder held.
    const QRegularExpression held(QStringLiteral("^(\\d+\\s+)?(renameat2?|unlinkat|mkdirat)\\(\\d+<"));
    QStringList calls;
    for (const QString &call : run.trace)
        if (call.contains(folder + "/Pollix") || call.contains(folder + ">"))
            calls << call;
    EXPECT_GE(calls.size(), 3) << run.trace.join('\n').toStdString();
    for (const QString &call : std::as_const(calls))
        EXPECT_TRUE(held.match(call).hasMatch()) << call.toStdString();
}

// A start whose lock file is removed between its rename and the start's listening (a clean-up),
// while no other start takes the folder: the file is made again, and the start listens after all,
// so that later starts are answered.
TEST(InstanceLock, ALockFileGoneBeforeTheStartListensIsMadeAgainAndLaterStartsAreAnswered)
{
    QTemporaryDir dir;
    const QString folder = QFileInfo(dir.path()).canonicalFilePath();
    InstanceLock::setListenHook([](const QString &lockPath) { QFile::remove(lockPath); });
    InstanceLock first(folder);
    first.setComeForwardHandler([] { return true; });
    const InstanceLock::Outcome taken = first.take();
    InstanceLock::setListenHook({});
    ASSERT_EQ(taken, InstanceLock::Outcome::Taken);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(lockIn(folder)); }, kEventWaitMs));

    InstanceLock second(folder);
    ASSERT_EQ(second.take(), InstanceLock::Outcome::HeldByOther);
    // Asked from a thread of its own, while this one's events answer.
    std::future<bool> cameForward = std::async(std::launch::async, [&] { return second.askOwnerToComeForward(kEventWaitMs); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return cameForward.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                                2 * kEventWaitMs));
    EXPECT_TRUE(cameForward.get());
}

// A check of the folder under way on a worker thread (a write as the program ends, say) while the
// lock goes asks nothing of the lock that is gone, whose memory another object may have by then:
// here a lock of another folder, which another start of this computer has taken.
TEST(InstanceLock, ACheckUnderWayWhileTheLockGoesAsksNothingOfIt)
{
    QTemporaryDir dir;
    const QString root = QFileInfo(dir.path()).canonicalFilePath();
    const QString mine = root + "/A", other = root + "/B", subjects = mine + "/Subjects.xml";
    ASSERT_TRUE(QDir().mkpath(mine) && QDir().mkpath(other));
    writeLock(subjects, "<Subjects/>");
    alignas(InstanceLock) unsigned char storage[sizeof(InstanceLock)];
    InstanceLock *lock = new (storage) InstanceLock(mine);
    ASSERT_EQ(lock->take(), InstanceLock::Outcome::Taken);

    std::promise<void> inCheck, goOn;
    std::shared_future<void> goingOn = goOn.get_future().share();
    std::atomic<bool> entered = false;
    AtomicFile::setHolderCheckHook([&](const QString &) {
        if (!entered.exchange(true))
            inCheck.set_value();
        goingOn.wait();
    });
    std::future<QString> write = std::async(std::launch::async, [&] {
        QString why;
        return AtomicFile::write(subjects, "<Subjects><Subject/></Subjects>", &why) ? QString() : why;
    });
    bool wentOn = false;
    const auto goesOn = qScopeGuard([&] {
        if (!wentOn)
            goOn.set_value();
        AtomicFile::setHolderCheckHook({});
    });
    ASSERT_EQ(inCheck.get_future().wait_for(std::chrono::milliseconds(kEventWaitMs)), std::future_status::ready);
    lock->~InstanceLock();
    lock = new (storage) InstanceLock(other);
    ASSERT_EQ(lock->take(), InstanceLock::Outcome::Taken);
    ASSERT_TRUE(QFile::remove(lockIn(other)));
    writeLock(lockIn(other), lockNaming(4242, QSysInfo::machineHostName(), QStringLiteral("2024-05-01T07:00:00Z"), other));
    const int othersHold = ::open(QFile::encodeName(lockIn(other)).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(othersHold, LOCK_EX | LOCK_NB), 0);
    ASSERT_TRUE(lock->lostToOtherStart().contains("process 4242"));

    goOn.set_value();
    wentOn = true;
    const QString refused = write.get();
    EXPECT_TRUE(refused.isEmpty()) << "the write into the folder no lock holds any more: " << refused.toStdString();
    lock->~InstanceLock();
    ::close(othersHold);
}
