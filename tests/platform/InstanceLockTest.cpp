#include "platform/InstanceLock.h"
#include "support/OrdinaryUser.h"
#include "support/ReadOnlyFolders.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

    // Where nothing can be written there is nothing to clash over: the start goes on, unlocked.
    first.release();
    ASSERT_TRUE(image.makeReadOnly(data));
    InstanceLock unwritable(folder, data);
    EXPECT_EQ(unwritable.take(), InstanceLock::Outcome::Taken);
    EXPECT_FALSE(unwritable.isHeld());
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
