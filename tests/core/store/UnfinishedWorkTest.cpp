// The record of unfinished work (".unfinished-work") after a backup or restore was cut short: a
// start removes what a line names only when it is the very file or folder that a Pollix which no
// longer runs made there, reached without a symbolic link. Whatever else a line names stays, and
// is named; so does the work of a Pollix that still runs.
#include "StoreTestBase.h"

#include "core/store/DataRecovery.h"
#include "platform/FolderSwap.h"
#include "platform/LeftAlone.h"
#include "platform/ProcessStart.h"
#include "platform/RecordFile.h"
#include "support/OrdinaryUser.h"
#include "support/TracedRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

namespace {
void put(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

QByteArray identity(const QString &path)
{
    struct stat st{};
    EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return QByteArray::number(quint64(st.st_dev)) + ' ' + QByteArray::number(quint64(st.st_ino));
}

// What a child process noted in the record: its process and start, and the lines themselves.
struct Noted
{
    QByteArray pid, start;
    QList<QByteArray> lines;
};

Noted readRecord(const QString &root)
{
    QFile f(root + "/.unfinished-work");
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    Noted out;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (!line.isEmpty())
            out.lines << line;
    if (!out.lines.isEmpty()) {
        const QList<QByteArray> head = out.lines.first().left(out.lines.first().indexOf('\t')).split(' ');
        EXPECT_EQ(head.size(), 4) << out.lines.first().toStdString();
        out.pid = head.value(0);
        out.start = head.value(1);
    }
    return out;
}

void writeRecord(const QString &root, const QList<QByteArray> &lines)
{
    QFile f(root + "/.unfinished-work");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (const QByteArray &line : lines)
        f.write(line + '\n');
}

class UnfinishedWorkTest : public StoreTestBase
{
};
} // namespace

TEST_F(UnfinishedWorkTest, APartFileIsRemovedOnlyWhenItIsTheVeryFileAPollixThatEndedMadeThere)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        // A backup to Out and one to the teacher's folder, ended before their archives were
        // written, as by a kill: their part files noted, never finished.
        startOn(folder);
        const QString watched = QString::fromUtf8(readFile(folder + "/watched.txt"));
        for (const QString &part : {folder + "/Out/b.zip.part-0badf00d", watched + "/x.zip.part-abcdef12"}) {
            DataRecovery::noteStarted(part);
            QFile f(part);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Append));
            f.write("PK part of an archive");
        }
        return;
    }
    POLLIX_AS_ORDINARY_USER();
    const QString root = QFileInfo(home()).canonicalFilePath();
    QTemporaryDir watchedDir;
    const QString watched = QFileInfo(watchedDir.path()).canonicalFilePath();
    put(root + "/watched.txt", watched.toUtf8());
    ASSERT_TRUE(QDir(root).mkpath("Out"));
    const TracedRun::Outcome run = TracedRun::runCurrentTest(root, {"-e", "trace=linkat"});
    ASSERT_TRUE(run.passed) << run.output.toStdString();
    const Noted child = readRecord(root);
    ASSERT_EQ(child.lines.size(), 2);
    EXPECT_TRUE(QFileInfo(root + "/Out/b.zip.part-0badf00d").isFile());

    // The teacher's own file saved since under the name of the one the backup made there.
    put(watched + "/saved", "the teacher's x");
    ASSERT_TRUE(QFile::rename(watched + "/x.zip.part-abcdef12", watched + "/gone") &&
                QFile::rename(watched + "/saved", watched + "/x.zip.part-abcdef12") && QFile::remove(watched + "/gone"));
    // A line as an earlier version wrote it, naming a file of the teacher's (the process is gone).
    put(watched + "/y.zip.part-abcdef13", "the teacher's y");
    // The very file a line names, but reached through a link to another folder.
    put(watched + "/z.zip.part-abcdef14", "the teacher's z");
    ASSERT_TRUE(QFile::link(watched, root + "/Link"));
    writeRecord(root, child.lines + QList<QByteArray>{
                          child.pid + "\t" + watched.toUtf8() + "/y.zip.part-abcdef13",
                          child.pid + " " + child.start + " " + identity(watched + "/z.zip.part-abcdef14") + "\t" +
                              root.toUtf8() + "/Link/z.zip.part-abcdef14"});
    const QMap<QString, QByteArray> before = filesBelow(watched);

    startOn(root);
    QString why;
    EXPECT_FALSE(DataRecovery::run(&why));
    EXPECT_FALSE(QFileInfo::exists(root + "/Out/b.zip.part-0badf00d")) << "the part file the backup made goes";
    EXPECT_EQ(filesBelow(watched), before) << "the watched folder changed";
    for (const char *reason : {"x.zip.part-abcdef12 is not the one Pollix made there",
                               "y.zip.part-abcdef13 was noted by an earlier version of Pollix",
                               "Link/z.zip.part-abcdef14 leads through"})
        EXPECT_TRUE(why.contains(reason)) << reason << " in: " << why.toStdString();
    // Their lines stay, and so they are named again at the next start; the line done with goes.
    EXPECT_EQ(readRecord(root).lines.size(), 3);
    QString again;
    EXPECT_FALSE(DataRecovery::run(&again));
    EXPECT_EQ(again, why);
}

// A restore's staging folder is a whole copy of the data it restores: it stays while the Pollix
// that makes it still runs (named, as it should not: the folder is locked), and goes once the
// process number its line names belongs to another process.
TEST_F(UnfinishedWorkTest, ARestoresFolderStaysForThePollixStillMakingItAndGoesOnceItsNumberIsAnothers)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        startOn(folder);
        const QString staging = FolderSwap::makeSibling(folder + "/Data", "restore");
        ASSERT_FALSE(staging.isEmpty());
        DataRecovery::noteStarted(staging);
        put(staging + "/UserList.xml", "restored accounts");
        // Whole as it appears: the other process reads the path as soon as the name is there.
        put(folder + "/ready.part", staging.toUtf8());
        ASSERT_TRUE(QFile::rename(folder + "/ready.part", folder + "/ready"));
        // Until the other process has looked.
        EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(folder + "/done"); }, 60000));
        return;
    }
    POLLIX_AS_ORDINARY_USER();
    const QString root = QFileInfo(home()).canonicalFilePath();
    writeFile("Data/Subjects.xml", "<Subjects/>");
    QString staging;
    {
        TracedRun::Child maker(root, {"-e", "trace=linkat"});
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(root + "/ready"); }, 60000));
        staging = QString::fromUtf8(readFile(root + "/ready"));
        startOn(root);
        QString why;
        EXPECT_FALSE(DataRecovery::run(&why));
        EXPECT_TRUE(QFileInfo(staging + "/UserList.xml").isFile());
        EXPECT_TRUE(why.contains(staging + " is left as it is: the Pollix that is making it")) << why.toStdString();
        put(root + "/done", "");
        const TracedRun::Outcome run = maker.finish();
        ASSERT_TRUE(run.passed) << run.output.toStdString();
    }
    const Noted maker = readRecord(root);
    ASSERT_EQ(maker.lines.size(), 1);

    // As an earlier version noted it, with process 1 (which runs, and answers an ordinary user
    // with EPERM): nothing tells whose folder it is, so it stays, and it is named.
    const QByteArray path = maker.lines.first().mid(maker.lines.first().indexOf('\t') + 1);
    writeRecord(root, {"1\t" + path});
    QString why;
    EXPECT_FALSE(DataRecovery::run(&why));
    EXPECT_TRUE(QFileInfo(staging + "/UserList.xml").isFile());
    EXPECT_TRUE(why.contains(staging + " beside the data folder is left as it is")) << why.toStdString();

    // The line of the process that made it, its number given to process 1 since: it goes.
    writeRecord(root, {"1" + maker.lines.first().mid(maker.pid.size())});
    EXPECT_TRUE(DataRecovery::run(&why)) << why.toStdString();
    EXPECT_FALSE(QFileInfo::exists(staging));
    EXPECT_FALSE(QFileInfo::exists(root + "/.unfinished-work"));
    EXPECT_EQ(readFile(root + "/Data/Subjects.xml"), "<Subjects/>");
}

// Where the disk has no unnamed files, a part file has its name from its first moment, so its
// line is written before the file is made, with no device and inode yet (0 for both): such a line
// names a place, not a file. An ending between the two notes leaves a file there that nothing
// tells for Pollix's (or another program's put there since): it stays, and the start names it,
// as it names anything else found there; a place that holds nothing lets its line go unsaid.
TEST_F(UnfinishedWorkTest, ALineNotedBeforeItsFileWasMadeRemovesNothingAndNamesWhatLiesThere)
{
    const QString root = QFileInfo(home()).canonicalFilePath();
    const QString part = root + "/Out/b.zip.part-0badf00d";
    ASSERT_TRUE(QDir(root).mkpath("Out"));
    const struct
    {
        const char *there;
        std::function<void()> put;
        const char *said; // nullptr: nothing is said, and the line goes
    } cases[] = {
        {"nothing", [] {}, nullptr},
        {"an empty file", [&] { put(part, ""); }, "b.zip.part-0badf00d (0 bytes) may be the part file of a backup cut short"},
        {"a file with bytes", [&] { put(part, "PK the teacher's"); }, "b.zip.part-0badf00d (16 bytes) may be the part file"},
        {"a folder", [&] { QDir(root).mkpath("Out/b.zip.part-0badf00d"); }, "b.zip.part-0badf00d is no part file of a backup"},
        {"a link", [&] { QFile::link(root + "/Data", part); }, "b.zip.part-0badf00d is no part file of a backup"},
    };
    // Process 1 never is a Pollix that started when this one did.
    const QByteArray line = "1 " + ProcessStart::of(qint64(::getpid())).toUtf8() + " 0 0\t" + part.toUtf8();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.there);
        c.put();
        writeRecord(root, {line});
        const QMap<QString, QByteArray> before = filesBelow(root + "/Out");
        const RecordFile::Kind kind = RecordFile::kindAt(part);
        QString why;
        LeftAloneList found;
        EXPECT_TRUE(DataRecovery::run(&why, nullptr, &found)) << why.toStdString();
        EXPECT_EQ(filesBelow(root + "/Out"), before);
        EXPECT_EQ(RecordFile::kindAt(part), kind);
        if (!c.said) {
            EXPECT_TRUE(found.isEmpty());
            EXPECT_FALSE(QFileInfo::exists(root + "/.unfinished-work")) << "the line goes";
        } else {
            ASSERT_EQ(found.size(), 1);
            EXPECT_EQ(found.first().path, part);
            EXPECT_TRUE(found.first().text.contains(c.said)) << found.first().text.toStdString();
            EXPECT_EQ(readRecord(root).lines, QList<QByteArray>{line}) << "the line stays";
        }
        QFile::remove(part);
        QDir(part).removeRecursively();
    }
}
