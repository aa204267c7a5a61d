// Reading a data file by name and saving one cost what they did before Pollix checked what it
// reads and looked for changes cut short: a file is read in one step of its size, a save reads
// the names of the journal folder only when that folder changed since it last held none (while a
// journal put there by another process is still seen), and it reads the file it replaces for its
// digest only when Pollix did not write that file itself.
#include "platform/AtomicFileSet.h"
#include "platform/ChangeJournal.h"
#include "platform/RegularFile.h"
#include "support/TracedRun.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
} // namespace

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
