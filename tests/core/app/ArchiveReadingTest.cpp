// An archive to restore is read a block at a time, as a file is read, not a header field at a
// time, and whatever lies across a block's edge reads whole.
#include "core/app/ZipArchive.h"
#include "core/app/zipHelper.h"
#include "platform/BlockReader.h"
#include "support/PollixTest.h"
#include "support/TracedRun.h"
#include "support/ZipFixture.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {
constexpr int kSessions = 300;

QByteArray session(int n)
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Session><ID>s" + QByteArray::number(n) +
                     "</ID><Name>Week " + QByteArray::number(n) + "</Name><TotalMark>10</TotalMark><Questions>";
    for (int i = 1; i <= 10 + n % 30; ++i)
        out += "<Question><No>" + QByteArray::number(i) + "</No><CAnswer>" + "ABCD"[(n + i) % 4] + "</CAnswer></Question>";
    return out + "</Questions></Session>";
}

using ArchiveReadingTest = PollixTest;
} // namespace

TEST_F(ArchiveReadingTest, ARestoreReadsItsArchiveABlockAtATime)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        QString why;
        EXPECT_TRUE(zipHelper().recoverFileFrom(folder + "/backup.zip", &why)) << why.toStdString();
        return;
    }
    // As a backup stores them: each session twice.
    QList<std::pair<QByteArray, QByteArray>> entries;
    for (const char *prefix : {"/Quiz/", "//Quiz/"})
        for (int n = 0; n < kSessions; ++n)
            entries.append({prefix + QByteArray("Session ") + QByteArray::number(n) + ".xml", session(n)});
    QTemporaryDir dir;
    const QString archive = makeZipArchive(dir.filePath("backup.zip"), entries);
    ASSERT_GT(QFileInfo(archive).size(), 8 * BlockReader::kBlockSize);
    const TracedRun::Outcome run = TracedRun::runCurrentTest(dir.path(), {"-y", "-e", "trace=pread64"}, true);
    ASSERT_TRUE(run.passed) << run.output.toStdString();
    const QString onArchive = "<" + QFileInfo(archive).canonicalFilePath() + ">";
    qsizetype reads = 0;
    for (const QString &call : run.trace)
        reads += call.contains("pread64(") && call.contains(onArchive);
    EXPECT_GT(reads, 0);
    EXPECT_LT(reads, entries.size() / 2) << "reads of the archive for its " << entries.size() << " entries";
}

// A stored entry lies where its bytes say, so the second entry's local header can be put across,
// at or just after the edge of the first block, and its bytes across the next edge.
TEST_F(ArchiveReadingTest, EntriesLyingAcrossTheEdgeOfABlockReadWholeInAnyOrder)
{
    constexpr qsizetype kBlock = BlockReader::kBlockSize;
    const QByteArray firstName = "a.xml", secondName = "b/second.xml";
    QByteArray second(kBlock + 100, '\0');
    for (qsizetype i = 0; i < second.size(); ++i)
        second[i] = char('a' + i % 26);
    for (const int shift : {-60, -31, -30, -29, -1, 0, 1, 17}) {
        SCOPED_TRACE(shift);
        const QByteArray first(kBlock + shift - 30 - firstName.size(), 'x');
        QTemporaryDir dir;
        const QString path = makeZipArchive(dir.filePath("edge.zip"), {{firstName, first}, {secondName, second}, {"c.xml", "c"}},
                                            false);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly) && file.seek(kBlock + shift));
        ASSERT_EQ(file.read(4), QByteArray("PK\x03\x04")) << "the second local header lies where it was put";

        ZipArchive zip;
        QString why;
        ASSERT_TRUE(zip.UnzipOpenFile(path, &why)) << why.toStdString();
        const std::optional<QList<ZipArchive::Entry>> listed = zip.entries(&why);
        ASSERT_TRUE(listed && listed->size() == 3) << why.toStdString();
        const QList<QByteArray> expected{first, second, "c"};
        // Last first, then first again: every read seeks back or forth across the edges.
        for (const int i : {2, 1, 0, 2, 0, 1}) {
            QByteArray bytes;
            EXPECT_TRUE(zip.readEntry(listed->at(i), &bytes, &why)) << why.toStdString();
            EXPECT_EQ(bytes, expected.at(i)) << listed->at(i).name.toStdString();
        }
    }
}
