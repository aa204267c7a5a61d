// Reading a data file by name and saving one cost what they did before Pollix checked what it
// reads and looked for changes cut short: a file is read in one step of its size, a save reads
// the names of the journal folder only when that folder changed since it last held none (while a
// journal put there by another process is still seen), and it reads the file it replaces for its
// digest only when Pollix did not write that file itself. The start's tidying and the lock's
// question at each step of a restore cost no look per data file: each is a round trip on a share.
#include "platform/AtomicFile.h"
#include "platform/AtomicFileSet.h"
#include "platform/ChangeJournal.h"
#include "platform/FolderHandle.h"
#include "platform/InstanceLock.h"
#include "platform/RegularFile.h"
#include "platform/SideFiles.h"
#include "support/TracedRun.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <time.h>

namespace {
constexpr qint64 kFileBytes = 3 << 20;

// The calls of a trace made on the file or folder at path (strace -y names a handle's path).
QStringList callsOn(const QStringList &trace, const QString &call, const QString &path)
{
    QStringList out;
    for (const QString &line : trace)
        if (line.contains(call + "(") && line.contains("<" + path + ">"))
            out << line;
    return out;
}

// A clock well past the folder's last change, as when nothing was saved for a while.
void clockWellAfterNow()
{
    const qint64 later = QDateTime::currentMSecsSinceEpoch() * 1'000'000 + 60'000'000'000;
    ChangeJournal::setClockForTesting([later] { return later; });
}
// A folder of that many session files.
void fillWithSessions(const QString &folder, int count)
{
    ASSERT_TRUE(QDir().mkpath(folder));
    for (int i = 0; i < count; ++i) {
        QFile file(QStringLiteral("%1/Session %2.xml").arg(folder).arg(i));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
}

int sessionsIn(const QStringList &trace)
{
    int n = 0;
    for (const QString &line : trace)
        n += line.contains("\"Session ") && !line.contains(".tmp-") && !line.contains(".new-");
    return n;
}

constexpr int kSessions = 200;
} // namespace

// Removing the side files of interrupted writes, as each start does over the whole data folder,
// tells them by name: none of the sessions around them is looked at.
TEST(ReadCost, TheStartsTidyingLooksAtNoSessionFile)
{
    const QList<SideFiles::Kind> writes{SideFiles::Kind::Temporary, SideFiles::Kind::Staged, SideFiles::Kind::Kept};
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        const QStringList removed = SideFiles::removeIn(FolderHandle::open(folder + "/Data", false), writes, true);
        EXPECT_EQ(removed.size(), 2) << removed.join(' ').toStdString();
        return;
    }
    QTemporaryDir dir;
    const QString folder = QFileInfo(dir.path()).canonicalFilePath();
    fillWithSessions(folder + "/Data/Quiz", kSessions);
    for (const char *side : {"/Data/Quiz/Session 3.xml.tmp-0123abcd", "/Data/Classes/8C.xml.new-89abcdef"}) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(folder + side).absolutePath()));
        QFile file(folder + side);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const TracedRun::Outcome run = TracedRun::runCurrentTest(folder, {"-y", "-e", "trace=%stat,%lstat,%fstat"}, true);
    ASSERT_TRUE(run.passed) << run.output.toStdString();
    EXPECT_EQ(sessionsIn(run.trace), 0) << run.trace.join("\n").toStdString();
    EXPECT_TRUE(QFileInfo::exists(folder + "/Data/Quiz/Session 3.xml"));
}

// At each step of a restore's removal of the data it replaced, and at each save, the lock is asked
// whether the folder is still this Pollix's: its folders were resolved once, as it took them, and
// no path is resolved again.
TEST(ReadCost, EachStepAsksTheLockWithoutResolvingItsPathsAgain)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        InstanceLock lock(folder, folder + "/Data");
        ASSERT_EQ(lock.take(), InstanceLock::Outcome::Taken);
        TracedRun::mark(folder, 1);
        for (int i = 0; i < kSessions / 4; ++i)
            EXPECT_TRUE(AtomicFile::write(QStringLiteral("%1/Data/Quiz/Session %2.xml").arg(folder).arg(i), "<Quiz/>"));
        QStringList stayed;
        EXPECT_TRUE(FolderHandle::open(folder + "/Backups", false)
                        .removeTree("Before restore", &stayed, [](const QString &, const struct stat &) { return true; }))
            << stayed.join(' ').toStdString();
        return;
    }
    QTemporaryDir dir;
    const QString folder = QFileInfo(dir.path()).canonicalFilePath();
    fillWithSessions(folder + "/Data/Quiz", kSessions / 4);
    fillWithSessions(folder + "/Backups/Before restore/Quiz", kSessions);
    const TracedRun::Outcome run = TracedRun::runCurrentTest(folder, {"-e", "trace=readlink,readlinkat,mkdir"}, true);
    ASSERT_TRUE(run.passed) << run.output.toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder + "/Backups/Before restore"));
    // The steps: what came after the lock was taken.
    const qsizetype taken = run.trace.indexOf(QRegularExpression(".*mkdir\\(.*/mark-1\".*"));
    ASSERT_GE(taken, 0);
    const QStringList readlinks = run.trace.mid(taken).filter("readlink").filter(folder);
    EXPECT_LE(readlinks.size(), 2) << readlinks.join("\n").toStdString();
}

TEST(ReadCost, AFileIsReadInOneStepOfItsSize)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        const std::optional<QByteArray> bytes = RegularFile::readAll(folder + "/StudentRoster.xml", nullptr);
        EXPECT_EQ(bytes.value_or(QByteArray()).size(), kFileBytes);
        return;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("StudentRoster.xml");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(QByteArray(kFileBytes, 'x')), kFileBytes);
    }
    const QString real = QFileInfo(path).canonicalFilePath();
    const TracedRun::Outcome run = TracedRun::runCurrentTest(dir.path(), {"-y", "-e", "trace=read"}, true);
    ASSERT_TRUE(run.passed) << run.output.toStdString();
    const QStringList reads = callsOn(run.trace, "read", real);
    ASSERT_FALSE(reads.isEmpty());
    EXPECT_TRUE(reads.first().contains(QStringLiteral(", %1) = %2").arg(kFileBytes + 1).arg(kFileBytes)))
        << reads.first().toStdString();
    EXPECT_LE(reads.size(), 2) << "the second read finds the end";
}

TEST(ReadCost, SavesReadTheJournalFolderOnlyWhenItChangedAndSeeAJournalAnotherProcessPutThere)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        ChangeJournal::setFolder(folder);
        clockWellAfterNow();
        for (int save = 0; save < 5; ++save)
            EXPECT_EQ(ChangeJournal::unfinishedChangeOf({folder + "/Classes/8C.xml"}), QString());
        return;
    }
    QTemporaryDir dir;
    const QString folder = QFileInfo(dir.path()).canonicalFilePath();
    ASSERT_TRUE(QDir(folder).mkpath("Classes"));
    const TracedRun::Outcome run = TracedRun::runCurrentTest(folder, {"-y", "-e", "trace=getdents64"}, true);
    ASSERT_TRUE(run.passed) << run.output.toStdString();
    // One look: its names, and the call that finds no more.
    EXPECT_LE(callsOn(run.trace, "getdents64", folder).size(), 2) << run.trace.join("\n").toStdString();

    // Here: the folder looked at and found without a journal; then another process puts one there.
    ChangeJournal::setFolder(folder);
    clockWellAfterNow();
    const QString klass = folder + "/Classes/8C.xml";
    EXPECT_EQ(ChangeJournal::unfinishedChangeOf({klass}), QString());
    // Its change gets a later time than the look saw, once the file system's clock moved on.
    struct stat seen{};
    ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &seen), 0);
    for (timespec now{}; ::clock_gettime(CLOCK_REALTIME_COARSE, &now) == 0 &&
                         (now.tv_sec < seen.st_ctim.tv_sec || (now.tv_sec == seen.st_ctim.tv_sec && now.tv_nsec <= seen.st_ctim.tv_nsec));)
        ::usleep(1000);
    {
        QFile journal(folder + "/journal-being-written");
        ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
        journal.write("Pollix change journal 1\nforward\nClasses/8C.xml Classes/8C.xml.new-00000001 -\nend\n");
    }
    ASSERT_TRUE(QFile::rename(folder + "/journal-being-written", folder + "/.change-00000001.journal"));
    QString held;
    EXPECT_TRUE(ChangeJournal::unfinishedChangeOf({klass}, &held).contains("was cut short"));
    EXPECT_EQ(held, klass);
    ChangeJournal::setClockForTesting({});
    ChangeJournal::setFolder(QString());
}

TEST(ReadCost, ASaveReadsTheFileItReplacesOnlyWherePollixDidNotWriteItItself)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        ChangeJournal::setFolder(folder);
        for (char save = 'a'; save < 'e'; ++save) {
            AtomicFileSet set;
            set.add(folder + "/StudentRoster.xml", QByteArray(kFileBytes, save));
            EXPECT_TRUE(set.commit());
        }
        ChangeJournal::setFolder(QString());
        return;
    }
    QTemporaryDir dir;
    const QString folder = QFileInfo(dir.path()).canonicalFilePath();
    {
        QFile file(folder + "/StudentRoster.xml");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(QByteArray(kFileBytes, 'x')), kFileBytes);
    }
    const TracedRun::Outcome run = TracedRun::runCurrentTest(folder, {"-y", "-e", "trace=openat"}, true);
    ASSERT_TRUE(run.passed) << run.output.toStdString();
    // The replaced roster is read for its digest under its second name.
    QStringList opened;
    for (const QString &call : run.trace)
        if (call.contains("openat(") && call.contains(folder + "/StudentRoster.xml.old-"))
            opened << call;
    EXPECT_EQ(opened.size(), 1) << "only the roster another program wrote:\n" << opened.join("\n").toStdString();
}
