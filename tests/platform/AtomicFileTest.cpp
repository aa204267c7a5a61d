#include "platform/AtomicFile.h"
#include "platform/AtomicFileSet.h"
#include "platform/ChangeJournal.h"
#include "platform/FileVersions.h"
#include "platform/FolderHandle.h"
#include "platform/FolderSwap.h"
#include "platform/InstanceLock.h"
#include "platform/Singleton.h"
#include "support/OrdinaryUser.h"
#include "support/SmallDisk.h"
#include "support/TracedRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <iterator>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace {
QByteArray slurp(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

TEST(AtomicFile, InterruptedWriteLeavesOldFileWholeAndNoLeftovers)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Class.xml"));
    ASSERT_TRUE(AtomicFile::write(path, "old contents"));

    AtomicFile::setFailureHook([](const QString &) { return true; });
    QString why;
    EXPECT_FALSE(AtomicFile::write(path, "new contents that never land", &why));
    AtomicFile::setFailureHook({});
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(slurp(path), QByteArray("old contents"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Class.xml")});

    EXPECT_TRUE(AtomicFile::write(path, "new"));
    EXPECT_EQ(slurp(path), QByteArray("new"));
}

TEST(AtomicFile, ReportsFailureWhenFolderIsMissingOrPathIsAFolder)
{
    QTemporaryDir dir;
    EXPECT_FALSE(AtomicFile::write(dir.filePath(QStringLiteral("no/such/folder/file.xml")), "x"));
    EXPECT_FALSE(AtomicFile::write(dir.path(), "x"));
    EXPECT_FALSE(AtomicFile::write(QString(), "x"));
}

TEST(AtomicFile, InjectedFailureTakesTheFailedFlushPath)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Subjects.xml"));
    ASSERT_TRUE(AtomicFile::write(path, "old"));
    AtomicFile::setFailureHook([](const QString &) { return true; });
    AtomicFile::Failure step = AtomicFile::Failure::None;
    EXPECT_FALSE(AtomicFile::write(path, "new", nullptr, &step));
    AtomicFile::setFailureHook({});
    EXPECT_EQ(step, AtomicFile::Failure::Write);

    EXPECT_FALSE(AtomicFile::write(dir.filePath(QStringLiteral("missing/x.xml")), "x", nullptr, &step));
    EXPECT_EQ(step, AtomicFile::Failure::Open);
    EXPECT_TRUE(AtomicFile::write(path, "new", nullptr, &step));
    EXPECT_EQ(step, AtomicFile::Failure::None);
}

// The failures below happen on a real filesystem: a small tmpfs of the test's own.
namespace {
QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}
} // namespace

TEST(AtomicFileOnASmallDisk, AFullDiskRefusesEveryWriteAndKeepsTheOldFileWhole)
{
    POLLIX_ON_SMALL_DISK(.kilobytes = 200);
    const QString path = QDir(SmallDisk::folder()).filePath(QStringLiteral("Week 3.xml"));
    const QByteArray old(15000, 'o'); // about the size of a session
    ASSERT_TRUE(AtomicFile::write(path, old));
    ASSERT_TRUE(SmallDisk::fill());
    // Sizes that stay in the device's 16 KB write buffer until the flush, and larger ones.
    for (int size : {1, 900, 15000, 16384, 16385, 60000}) {
        QString why;
        AtomicFile::Failure step = AtomicFile::Failure::None;
        EXPECT_FALSE(AtomicFile::write(path, QByteArray(size, 'n'), &why, &step)) << size << " bytes";
        EXPECT_EQ(step, AtomicFile::Failure::Write) << size << " bytes";
        EXPECT_TRUE(why.contains(QStringLiteral("No space left"), Qt::CaseInsensitive)) << why.toStdString();
        EXPECT_EQ(slurp(path), old) << size << " bytes";
        EXPECT_EQ(filesIn(SmallDisk::folder()), (QStringList{".filler", "Week 3.xml"})) << "no temporary file left";
    }
    // Room again: the same write goes through.
    ASSERT_TRUE(QFile::remove(QDir(SmallDisk::folder()).filePath(QStringLiteral(".filler"))));
    EXPECT_TRUE(AtomicFile::write(path, "new"));
    EXPECT_EQ(slurp(path), QByteArray("new"));
}

TEST(AtomicFileOnASmallDisk, NoFreeInodeFailsToOpenAndKeepsTheOldFile)
{
    // Three inodes: the root folder, the file, and one more that a filler takes.
    POLLIX_ON_SMALL_DISK(.kilobytes = 200, .inodes = 3);
    const QDir disk(SmallDisk::folder());
    const QString path = disk.filePath(QStringLiteral("ExamID.xml"));
    ASSERT_TRUE(AtomicFile::write(path, "old"));
    QFile filler(disk.filePath(QStringLiteral(".filler")));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    QString why;
    AtomicFile::Failure step = AtomicFile::Failure::None;
    EXPECT_FALSE(AtomicFile::write(path, "new", &why, &step));
    EXPECT_EQ(step, AtomicFile::Failure::Open);
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(slurp(path), QByteArray("old"));
}

TEST(AtomicFileOnASmallDisk, AReadOnlyDiskFailsToOpenAndKeepsTheOldFile)
{
    POLLIX_ON_SMALL_DISK(.kilobytes = 64);
    const QString path = QDir(SmallDisk::folder()).filePath(QStringLiteral("config.xml"));
    ASSERT_TRUE(AtomicFile::write(path, "old"));
    ASSERT_TRUE(SmallDisk::makeReadOnly());
    QString why;
    AtomicFile::Failure step = AtomicFile::Failure::None;
    EXPECT_FALSE(AtomicFile::write(path, "new", &why, &step));
    EXPECT_EQ(step, AtomicFile::Failure::Open);
    EXPECT_TRUE(why.contains(QStringLiteral("Read-only"), Qt::CaseInsensitive)) << why.toStdString();
    EXPECT_EQ(slurp(path), QByteArray("old"));
}

TEST(AtomicFileOnASmallDisk, AFolderWithoutWritePermissionFailsToOpen)
{
    POLLIX_AS_ORDINARY_USER();
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QString folder = QDir(scratch.path()).filePath(QStringLiteral("Data"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/Subjects.xml");
    ASSERT_TRUE(AtomicFile::write(path, "old"));
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    QString why;
    AtomicFile::Failure step = AtomicFile::Failure::None;
    EXPECT_FALSE(AtomicFile::write(path, "new", &why, &step));
    EXPECT_EQ(step, AtomicFile::Failure::Open);
    EXPECT_TRUE(why.contains(QStringLiteral("Permission denied"), Qt::CaseInsensitive)) << why.toStdString();
    EXPECT_EQ(slurp(path), QByteArray("old"));
    EXPECT_EQ(filesIn(folder), QStringList{"Subjects.xml"});
}

namespace {
struct Counted
{
    static inline int alive = 0;
    Counted() { ++alive; }
    ~Counted() { --alive; }
};
} // namespace

TEST(Singleton, CreatedOnceAndResetForTests)
{
    SingletonRegistry::resetAll();
    Counted *a = Singleton<Counted>::instance();
    EXPECT_EQ(a, Singleton<Counted>::instance());
    EXPECT_EQ(Counted::alive, 1);
    SingletonRegistry::resetAll();
    EXPECT_EQ(Counted::alive, 0);
    EXPECT_FALSE(Singleton<Counted>::exists());
    Singleton<Counted>::instance();
    EXPECT_EQ(Counted::alive, 1);
    SingletonRegistry::resetAll();
}

// ---- A save outlasts a power cut once it is reported ----

TEST(AtomicFile, EveryWriteSyncsTheFolderItRenamedIntoBeforeItReturns)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        const QDir dir(folder);
        int mark = 0;
        const auto reported = [&] { TracedRun::mark(folder, ++mark); };
        EXPECT_TRUE(AtomicFile::write(dir.filePath("a/New.xml"), "a new file"));
        reported();
        EXPECT_TRUE(AtomicFile::write(dir.filePath("a/New.xml"), "its second version"));
        reported();
        EXPECT_TRUE(AtomicFile::write(dir.filePath("Link.xml"), "through the link"));
        reported();
        AtomicFileSet set;
        set.add(dir.filePath("a/New.xml"), "third");
        set.add(dir.filePath("b/Other.xml"), "other");
        EXPECT_TRUE(set.commit());
        reported();
        return;
    }
    QTemporaryDir home;
    const QString root = QFileInfo(home.path()).canonicalFilePath();
    ASSERT_TRUE(QDir(root).mkpath("a") && QDir(root).mkpath("b"));
    ASSERT_TRUE(QFile::link(root + "/b/Real.xml", root + "/Link.xml"));
    const TracedRun::Outcome run =
        TracedRun::runCurrentTest(root, {"-y", "-e", "trace=rename,renameat,renameat2,fsync,mkdir"}, true);
    ASSERT_TRUE(run.passed) << run.output.toStdString();
    // The link under the name is replaced by the file; what it led to is not made.
    EXPECT_FALSE(QFileInfo(root + "/Link.xml").isSymLink());
    EXPECT_EQ(slurp(root + "/Link.xml"), "through the link");
    EXPECT_FALSE(QFileInfo::exists(root + "/b/Real.xml"));
    EXPECT_TRUE(TracedRun::renamedThenSynced(TracedRun::callsBefore(run.trace, 1), root + "/a/New.xml", root + "/a")) << "a new file";
    EXPECT_TRUE(TracedRun::renamedThenSynced(TracedRun::callsBefore(run.trace, 2), root + "/a/New.xml", root + "/a")) << "a file replaced";
    EXPECT_TRUE(TracedRun::renamedThenSynced(TracedRun::callsBefore(run.trace, 3), root + "/Link.xml", root)) << "a link replaced";
    EXPECT_TRUE(TracedRun::renamedThenSynced(TracedRun::callsBefore(run.trace, 4), root + "/a/New.xml", root + "/a") &&
                TracedRun::renamedThenSynced(TracedRun::callsBefore(run.trace, 4), root + "/b/Other.xml", root + "/b"))
        << "files changed together";
}

// ---- A folder the disk does not sync after a rename ----

// The rename is made: the file is in place and reported written (a second save of it would be a
// second copy), and the failure to sync its folder is told once, with the system's reason. A
// folder swap follows the same rule.
TEST(AtomicFile, AFolderTheDiskCannotSyncLeavesTheRenameInPlaceReportedDoneAndTold)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        QStringList told;
        AtomicFile::setUnsyncedHandler([&](const QString &path, const QString &why) { told << path + ": " + why; });
        const QString path = folder + "/a/Subjects.xml";
        QString why;
        AtomicFile::Failure step = AtomicFile::Failure::None;
        EXPECT_TRUE(AtomicFile::write(path, "new", &why, &step));
        EXPECT_EQ(step, AtomicFile::Failure::Unsynced);
        EXPECT_TRUE(why.contains("Input/output error")) << why.toStdString();
        EXPECT_EQ(slurp(path), "new");
        EXPECT_EQ(QDir(folder + "/a").entryList(QDir::Files | QDir::Hidden), QStringList{"Subjects.xml"});

        const QString prepared = FolderSwap::makeSibling(folder + "/a/Data", "restore", &why);
        ASSERT_FALSE(prepared.isEmpty()) << why.toStdString();
        ASSERT_TRUE(AtomicFile::write(prepared + "/Week.xml", "restored"));
        QString old;
        EXPECT_TRUE(FolderSwap::exchange(FolderHandle::open(prepared, false), folder + "/a/Data", &why, &old)) << why.toStdString();
        EXPECT_EQ(slurp(folder + "/a/Data/Week.xml"), "restored");
        EXPECT_EQ(slurp(old + "/Week.xml"), "replaced");
        ASSERT_EQ(told.size(), 2) << told.join("\n").toStdString();
        EXPECT_TRUE(told[0].startsWith(path + ": ") && told[1].startsWith(folder + "/a/Data: ")) << told.join("\n").toStdString();
        AtomicFile::setUnsyncedHandler({});
        return;
    }
    QTemporaryDir home;
    const QString root = QFileInfo(home.path()).canonicalFilePath();
    ASSERT_TRUE(QDir(root).mkpath("a/Data"));
    ASSERT_TRUE(AtomicFile::write(root + "/a/Subjects.xml", "old"));
    ASSERT_TRUE(AtomicFile::write(root + "/a/Data/Week.xml", "replaced"));
    // Every sync of the folder a fails, as on a failing disk or share; its files sync.
    const TracedRun::Outcome run =
        TracedRun::runCurrentTest(root, {"-e", "trace=fsync", "-P", root + "/a", "-e", "inject=fsync:error=EIO"}, true);
    ASSERT_TRUE(run.passed) << run.output.toStdString();
    EXPECT_TRUE(TracedRun::injected(run.trace));
}

// ---- Nothing written through a link, nothing replaced that came meanwhile ----

namespace {
bool symlinkTo(const QString &target, const QString &path)
{
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()) == 0;
}
} // namespace

// The folder of a file being written swapped for a link to another folder right before the file
// goes in place: it goes into the folder that was looked at, and nothing the link leads to is
// replaced. A link under the file's own name is replaced by the file, never followed.
TEST(AtomicFile, AFolderSwappedForALinkWhileAFileIsWrittenAndALinkUnderItsNameLeadNowhereElse)
{
    QTemporaryDir home;
    const QString root = QFileInfo(home.path()).canonicalFilePath();
    ASSERT_TRUE(QDir(root).mkpath("a") && QDir(root).mkpath("outside"));
    ASSERT_TRUE(AtomicFile::write(root + "/outside/Week.xml", "theirs"));
    ASSERT_TRUE(AtomicFile::write(root + "/a/Week.xml", "old"));
    AtomicFile::setFailureHook([&](const QString &path) {
        if (path == root + "/a/Week.xml") {
            EXPECT_TRUE(QFile::rename(root + "/a", root + "/a-moved") && symlinkTo(root + "/outside", root + "/a"));
        }
        return false;
    });
    QString why;
    EXPECT_TRUE(AtomicFile::write(root + "/a/Week.xml", "new", &why)) << why.toStdString();
    AtomicFile::setFailureHook({});
    EXPECT_EQ(slurp(root + "/outside/Week.xml"), "theirs");
    EXPECT_EQ(slurp(root + "/a-moved/Week.xml"), "new");

    ASSERT_TRUE(symlinkTo(root + "/outside/Week.xml", root + "/a-moved/Letter.xml"));
    EXPECT_TRUE(AtomicFile::write(root + "/a-moved/Letter.xml", "mine", &why)) << why.toStdString();
    EXPECT_FALSE(QFileInfo(root + "/a-moved/Letter.xml").isSymLink());
    EXPECT_EQ(slurp(root + "/a-moved/Letter.xml"), "mine");
    EXPECT_EQ(slurp(root + "/outside/Week.xml"), "theirs");
}

// A Pollix stopped (for real) after writing a new session's bytes and before putting them in
// place, while another one saved a session of the same name (the same second): woken, it replaces
// nothing and says why; also where the disk cannot rename without replacing (a network share).
TEST(AtomicFile, ANewFileStoppedBeforeItGoesInPlaceReplacesNoneSavedUnderItsNameMeanwhile)
{
    const QString name = "Data/Quiz/Week 3 2026-12-08 10-15-00.xml";
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        AtomicFile::setFailureHook([&](const QString &path) {
            if (path == folder + "/" + name)
                TracedRun::stopHere(folder);
            return false;
        });
        QString why;
        EXPECT_FALSE(AtomicFile::write(folder + "/" + name, "<Session>mine</Session>", &why));
        EXPECT_TRUE(why.contains("File exists")) << why.toStdString();
        AtomicFile::setFailureHook({});
        return;
    }
    for (const bool share : {false, true}) {
        QTemporaryDir home;
        const QString root = QFileInfo(home.path()).canonicalFilePath();
        ASSERT_TRUE(QDir(root).mkpath("Data/Quiz"));
        QStringList strace{"--seccomp-bpf", "-e", "trace=renameat2"};
        if (share)
            strace << "-e" << "inject=renameat2:error=EINVAL";
        TracedRun::Child child(root, strace, true);
        const qint64 pid = child.waitUntilStopped();
        ASSERT_GT(pid, 0) << child.finish().output.toStdString();
        QFile theirs(root + "/" + name);
        ASSERT_TRUE(theirs.open(QIODevice::WriteOnly));
        theirs.write("<Session>theirs</Session>");
        theirs.close();
        ASSERT_EQ(::kill(pid_t(pid), SIGCONT), 0);
        const TracedRun::Outcome run = child.finish();
        EXPECT_TRUE(run.passed) << (share ? "on a share: " : "") << run.output.toStdString();
        EXPECT_EQ(TracedRun::injected(run.trace), share);
        EXPECT_EQ(slurp(root + "/" + name), "<Session>theirs</Session>");
        EXPECT_EQ(QDir(root + "/Data/Quiz").entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(name).fileName()})
            << "its own bytes are not left beside it";
    }
}

// The prepared folder swapped for a link to another folder between its last look and the
// exchange: the link never stays in the folder's place; it goes back, and the swap is refused with
// the folder as it was. Also where the disk cannot exchange two folders in one step.
TEST(FolderSwap, ALinkPutInThePreparedFoldersPlaceRightBeforeTheExchangeIsPutBackAndRefused)
{
    const auto swapOnce = [](const QString &root) {
        QString why, old;
        const QString prepared = FolderSwap::makeSibling(root + "/Data", "restore", &why);
        ASSERT_FALSE(prepared.isEmpty()) << why.toStdString();
        ASSERT_TRUE(AtomicFile::write(prepared + "/Week.xml", "restored"));
        const FolderHandle held = FolderHandle::open(prepared, false);
        FolderSwap::setExchangeHook([&](const QString &path) {
            EXPECT_TRUE(QFile::rename(path, root + "/moved") && symlinkTo(root + "/outside", path));
        });
        EXPECT_FALSE(FolderSwap::exchange(held, root + "/Data", &why, &old));
        FolderSwap::setExchangeHook({});
        EXPECT_TRUE(why.contains("no longer the folder prepared")) << why.toStdString();
        EXPECT_FALSE(QFileInfo(root + "/Data").isSymLink());
        EXPECT_EQ(slurp(root + "/Data/Week.xml"), "in use");
        EXPECT_EQ(slurp(root + "/outside/Week.xml"), "elsewhere");
        EXPECT_TRUE(QFileInfo(prepared).isSymLink()) << "put back where it was";
        EXPECT_TRUE(QDir(root).entryList({".Data.swap-*"}, QDir::Files | QDir::Hidden).isEmpty()) << "no swap noted down";
    };
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        swapOnce(folder);
        return;
    }
    for (const bool share : {false, true}) {
        QTemporaryDir home;
        const QString root = QFileInfo(home.path()).canonicalFilePath();
        ASSERT_TRUE(QDir(root).mkpath("Data") && QDir(root).mkpath("outside"));
        ASSERT_TRUE(AtomicFile::write(root + "/Data/Week.xml", "in use"));
        ASSERT_TRUE(AtomicFile::write(root + "/outside/Week.xml", "elsewhere"));
        if (!share) {
            swapOnce(root);
            continue;
        }
        const TracedRun::Outcome run =
            TracedRun::runCurrentTest(root, {"-e", "trace=renameat2", "-e", "inject=renameat2:error=EINVAL"}, true);
        EXPECT_TRUE(run.passed) << run.output.toStdString();
        EXPECT_TRUE(TracedRun::injected(run.trace));
    }
}

// ---- A save is reported only for the bytes it wrote ----

namespace {
// What another program may put under the name of a file Pollix wrote and synced, before it is
// renamed into place: a second name of a file outside, a link to it, a pipe, a folder.
enum class Swap { HardLink, SymbolicLink, Pipe, Folder };

void swapFor(Swap swap, const QString &path, const QString &outside)
{
    ASSERT_TRUE(QFile::remove(path)) << path.toStdString();
    const QByteArray at = QFile::encodeName(path), to = QFile::encodeName(outside);
    switch (swap) {
    case Swap::HardLink:
        ASSERT_EQ(::link(to.constData(), at.constData()), 0);
        break;
    case Swap::SymbolicLink:
        ASSERT_EQ(::symlink(to.constData(), at.constData()), 0);
        break;
    case Swap::Pipe:
        ASSERT_EQ(::mkfifo(at.constData(), 0600), 0);
        break;
    case Swap::Folder:
        ASSERT_EQ(::mkdir(at.constData(), 0700), 0);
        break;
    }
}

// The one side file of name in folder (its new bytes on their way), by its tag.
QString sideFileOf(const QString &folder, const QString &name, const char *tag)
{
    const QStringList found = QDir(folder).entryList({name + "." + tag + "-????????"}, QDir::Files | QDir::Hidden);
    return found.size() == 1 ? folder + "/" + found.first() : QString();
}
} // namespace

// Swapped between their sync and their rename, a single file's temporary file (a session edited
// or new) or a changed file's new bytes (a roster changed with a class) are never saved as what
// was put there: the save fails, saying so, and the file holds what it held (or is not there);
// also where the disk cannot exchange two names in one step.
TEST(AtomicFile, ASaveIsReportedOnlyWhenItsNameLeadsToTheVeryFileWritten)
{
    const QByteArray outsideBytes = "<Session/>\nmine";
    const auto cleanup = qScopeGuard([] {
        AtomicFile::setFailureHook({});
        AtomicFileSet::setMoveFailureHook({});
        FolderHandle::setRefusalsForTesting({});
    });
    for (const bool share : {false, true}) {
        FolderHandle::setRefusalsForTesting({.renameFlags = share});
        for (const Swap swap : {Swap::HardLink, Swap::SymbolicLink, Swap::Pipe, Swap::Folder}) {
            for (const char *writer : {"edited", "new", "changed together"}) {
                const std::string label = std::string(writer) + " file, swap " + std::to_string(int(swap)) + (share ? " on a share" : "");
                QTemporaryDir home;
                const QString root = QFileInfo(home.path()).canonicalFilePath();
                ASSERT_TRUE(QDir(root).mkpath("Quiz"));
                put(root + "/Outside.xml", outsideBytes);
                const QString session = root + "/Quiz/Week 3.xml", roster = root + "/Quiz/Roster.xml";
                const bool edited = std::string(writer) != "new";
                if (edited) {
                    put(session, "old session");
                    put(roster, "old roster");
                }
                QString why;
                bool saved = false;
                if (std::string(writer) == "changed together") {
                    AtomicFileSet::setMoveFailureHook([&](const QString &path) {
                        if (path == session)
                            swapFor(swap, sideFileOf(root + "/Quiz", "Week 3.xml", "new"), root + "/Outside.xml");
                        return false;
                    });
                    AtomicFileSet set;
                    set.add(roster, "new roster");
                    set.add(session, "new session");
                    saved = set.commit(&why);
                    AtomicFileSet::setMoveFailureHook({});
                } else {
                    AtomicFile::setFailureHook([&](const QString &path) {
                        if (path == session)
                            swapFor(swap, sideFileOf(root + "/Quiz", "Week 3.xml", "tmp"), root + "/Outside.xml");
                        return false;
                    });
                    saved = AtomicFile::write(session, "new session", &why);
                    AtomicFile::setFailureHook({});
                }
                EXPECT_FALSE(saved) << label;
                EXPECT_TRUE(why.contains("no longer the file written") || why.contains("Not a directory") ||
                            why.contains("Is a directory"))
                    << label << ": " << why.toStdString();
                const QFileInfo now(session);
                if (edited) {
                    // Read only as a file: a pipe left in its place would hold the reading.
                    ASSERT_TRUE(now.isFile() && !now.isSymLink()) << label;
                    EXPECT_EQ(slurp(session), "old session") << label;
                    EXPECT_EQ(slurp(roster), "old roster") << label;
                } else {
                    EXPECT_FALSE(now.exists() || now.isSymLink()) << label;
                }
                EXPECT_EQ(slurp(root + "/Outside.xml"), outsideBytes) << label;
            }
        }
    }
}

// A Pollix stopped (for real) after the sync of an edited session's temporary file, or right
// before the exchange of a restored data folder, while its lock file went and another start took
// the folder and saved that session: woken, it replaces nothing of the other's, and says why.
TEST(AtomicFileOnATakenFolder, ASaveStoppedBeforeItsRenameReplacesNoneTheOtherStartMadeSince)
{
    const QString session = "Data/Quiz/Week 3 2026-12-08 10-15-00.xml";
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        InstanceLock lock(folder, folder + "/Data");
        ASSERT_EQ(lock.take(), InstanceLock::Outcome::Taken);
        QString why;
        if (slurp(folder + "/case") == "session") {
            AtomicFile::setFailureHook([&](const QString &path) {
                if (path == folder + "/" + session)
                    TracedRun::stopHere(folder);
                return false;
            });
            EXPECT_FALSE(AtomicFile::write(folder + "/" + session, "<Session>mine</Session>", &why));
            AtomicFile::setFailureHook({});
        } else {
            const QString prepared = FolderSwap::makeSibling(folder + "/Data", "restore", &why);
            ASSERT_TRUE(AtomicFile::write(prepared + "/Restored.xml", "restored"));
            FolderSwap::setExchangeHook([&](const QString &) { TracedRun::stopHere(folder); });
            EXPECT_FALSE(FolderSwap::exchange(FolderHandle::open(prepared, false), folder + "/Data", &why));
            FolderSwap::setExchangeHook({});
        }
        EXPECT_TRUE(why.contains("Another Pollix on this computer")) << why.toStdString();
        return;
    }
    for (const QByteArray which : {"session", "data folder"}) {
        QTemporaryDir home;
        const QString root = QFileInfo(home.path()).canonicalFilePath();
        ASSERT_TRUE(QDir(root).mkpath("Data/Quiz"));
        put(root + "/case", which);
        put(root + "/" + session, "<Session>before</Session>");
        const TracedRun::Outcome run = TracedRun::runTakenWhileStopped(root, [&] {
            EXPECT_TRUE(AtomicFile::write(root + "/" + session, "<Session>theirs</Session>"));
        });
        EXPECT_TRUE(run.passed) << which.toStdString() << ": " << run.output.toStdString();
        EXPECT_EQ(slurp(root + "/" + session), "<Session>theirs</Session>") << which.toStdString();
    }
}

// ---- A save never undoes another program's save of the moment it goes in place ----

// A save puts its file in place only over the version it read: another program's save that comes
// in at the very moment Pollix puts its file there is never undone, whether a single file is saved
// or a change of several files moves its new files in, and also where the disk cannot exchange two
// names in one step (a network share).

namespace {
using Moment = FolderHandle::Moment;

struct Case
{
    const char *label;
    bool several;    // the roster changed with the class (else the roster alone)
    bool classFirst; // the class file moves first, and so must be put back
    Moment moment;   // where the writer stops, at the roster
    bool share;      // no exchange of two names
};
const Case kCases[] = {
    {"a file, right after its exchange", false, false, Moment::Exchanged, false},
    {"a file on a share, right after its old file's second name", false, false, Moment::OldKept, true},
    {"a file on a share, right after its rename", false, false, Moment::Renamed, true},
    {"a change, right before the roster's exchange", true, false, Moment::AboutToExchange, false},
    {"a change, its class moved, right before the roster's exchange", true, true, Moment::AboutToExchange, false},
    {"a change, its class moved, right after the roster's exchange", true, true, Moment::Exchanged, false},
    {"a change on a share, its class moved, right after the roster's rename", true, true, Moment::Renamed, true},
};
const QString kRoster = "Data/StudentRoster.xml", kClass = "Data/Classes/8C.xml";
} // namespace

// The writer stopped (for real) at that moment while another program saves the roster by a
// rename: woken, it neither puts the version it read back over that save nor leaves that save
// under a name of its own for the next start to remove, and nothing of its own is left; the save
// fails, saying that another program changed the file, and a class moved with it is put back.
TEST(ReplaceMoment, AnotherProgramsSaveThatComesInAsPollixPutsItsFileInPlaceStays)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        const Case &c = kCases[slurp(folder + "/case").toInt()];
        const QString roster = folder + "/" + kRoster, klass = folder + "/" + kClass;
        const auto reset = qScopeGuard([] {
            FolderHandle::setMomentHook({});
            FolderHandle::setRefusalsForTesting({});
            ChangeJournal::setFolder(QString());
        });
        ChangeJournal::setFolder(folder + "/Data");
        FolderHandle::setRefusalsForTesting({.renameFlags = c.share});
        // Read to be changed, as a store reads them.
        for (const QString &path : {roster, klass})
            ASSERT_TRUE(FileVersions::readToChange(path, nullptr));
        bool stopped = false;
        FolderHandle::setMomentHook([&](Moment moment, const QString &path) {
            if (moment == c.moment && path == roster && !std::exchange(stopped, true))
                TracedRun::stopHere(folder);
        });
        QString why;
        bool saved = false;
        if (c.several) {
            AtomicFileSet set;
            if (c.classFirst)
                set.add(klass, "<Class>mine</Class>");
            set.add(roster, "<Roster>mine</Roster>");
            set.add(klass, "<Class>mine</Class>");
            saved = set.commit(&why);
        } else {
            saved = AtomicFile::write(roster, "<Roster>mine</Roster>", &why);
        }
        EXPECT_TRUE(stopped) << c.label;
        EXPECT_FALSE(saved) << c.label;
        EXPECT_TRUE(why.contains("StudentRoster.xml was changed by another program since Pollix read it")) << c.label << ": "
                                                                                                            << why.toStdString();
        return;
    }
    for (size_t i = 0; i < std::size(kCases); ++i) {
        const Case &c = kCases[i];
        QTemporaryDir home;
        const QString root = QFileInfo(home.path()).canonicalFilePath();
        ASSERT_TRUE(QDir(root).mkpath("Data/Classes") && QDir(root).mkpath("elsewhere"));
        put(root + "/" + kRoster, "<Roster>read</Roster>");
        put(root + "/" + kClass, "<Class>read</Class>");
        put(root + "/case", QByteArray::number(qulonglong(i)));
        TracedRun::Child child(root, {"--seccomp-bpf", "-e", "trace=none"});
        const qint64 pid = child.waitUntilStopped();
        ASSERT_GT(pid, 0) << c.label << ": " << child.finish().output.toStdString();
        // Another program's save: written whole in a folder of its own, renamed over the roster.
        put(root + "/elsewhere/theirs", "<Roster>theirs</Roster>");
        ASSERT_EQ(std::rename(QFile::encodeName(root + "/elsewhere/theirs").constData(),
                              QFile::encodeName(root + "/" + kRoster).constData()),
                  0);
        ASSERT_EQ(::kill(pid_t(pid), SIGCONT), 0);
        const TracedRun::Outcome run = child.finish();
        EXPECT_TRUE(run.passed) << c.label << ": " << run.output.toStdString();
        EXPECT_EQ(slurp(root + "/" + kRoster), "<Roster>theirs</Roster>") << c.label;
        EXPECT_EQ(slurp(root + "/" + kClass), "<Class>read</Class>") << c.label;
        // Nothing of the save's own is left, nor anything for the next start to finish or remove.
        QString why;
        EXPECT_EQ(ChangeJournal::finishInterrupted(root + "/Data", &why), 0) << c.label;
        EXPECT_TRUE(why.isEmpty()) << c.label << ": " << why.toStdString();
        EXPECT_EQ(QDir(root + "/Data").entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{"StudentRoster.xml"})
            << c.label;
        EXPECT_EQ(QDir(root + "/Data/Classes").entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{"8C.xml"})
            << c.label;
    }
}
