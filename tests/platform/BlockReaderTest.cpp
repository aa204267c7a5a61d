// A file read a block at a time gives the very bytes of the file wherever a read starts and ends
// (across a block's edge, past the end), wherever a seek leads, and never more than the size it
// was given.
#include "platform/BlockReader.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace {
constexpr qsizetype kBlock = BlockReader::kBlockSize;

QByteArray randomBytes(qsizetype n)
{
    QByteArray bytes(n, Qt::Uninitialized);
    QRandomGenerator generator(7);
    for (char &c : bytes)
        c = char(generator.bounded(256));
    return bytes;
}

int openFile(const QString &path)
{
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
}

QByteArray readFrom(BlockReader &reader, quint64 n)
{
    QByteArray out(qsizetype(n), '\0');
    out.resize(qsizetype(reader.read(out.data(), n)));
    return out;
}
} // namespace

TEST(BlockReader, ReadsAndSeeksGiveTheFilesBytesAcrossBlockEdgesAndUpToItsEnd)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("archive.zip");
    const QByteArray file = randomBytes(3 * kBlock + 123);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(file);
    }
    BlockReader reader(openFile(path), quint64(file.size()));

    // A byte at a time, then in pieces that end just past each block's edge.
    QByteArray bytes;
    for (qsizetype i = 0; i < kBlock + 10; ++i)
        bytes += readFrom(reader, 1);
    while (reader.position() < quint64(file.size()))
        bytes += readFrom(reader, 37);
    EXPECT_EQ(bytes, file);
    EXPECT_EQ(readFrom(reader, 5), QByteArray()) << "nothing past the end";

    // Back and forth across an edge, from the start, the position and the end.
    ASSERT_TRUE(reader.seek(2 * kBlock - 3, SEEK_SET));
    EXPECT_EQ(readFrom(reader, 6), file.mid(2 * kBlock - 3, 6));
    ASSERT_TRUE(reader.seek(-kBlock - 6, SEEK_CUR));
    EXPECT_EQ(reader.position(), quint64(kBlock - 3));
    EXPECT_EQ(readFrom(reader, 6), file.mid(kBlock - 3, 6));
    ASSERT_TRUE(reader.seek(-22, SEEK_END));
    EXPECT_EQ(readFrom(reader, 100), file.right(22)) << "a read straddling the end gives what is left";
    EXPECT_FALSE(reader.seek(-1 - file.size(), SEEK_END)) << "before the start";
    EXPECT_EQ(reader.position(), quint64(file.size()));
    ASSERT_TRUE(reader.seek(10, SEEK_END));
    EXPECT_EQ(readFrom(reader, 1), QByteArray());

    // Reads of a block or more, which go straight to the file, and a piece read where the position stays.
    ASSERT_TRUE(reader.seek(5, SEEK_SET));
    EXPECT_EQ(readFrom(reader, 2 * kBlock + 1), file.mid(5, 2 * kBlock + 1));
    QByteArray piece(9, '\0');
    EXPECT_EQ(reader.readAt(kBlock - 4, piece.data(), 9), 9u);
    EXPECT_EQ(piece, file.mid(kBlock - 4, 9));
    EXPECT_EQ(reader.position(), quint64(2 * kBlock + 6));
}

TEST(BlockReader, AFileThatGrowsOrShrinksSinceItWasCheckedIsReadNoFurtherThanBoth)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("archive.zip");
    const QByteArray file = randomBytes(kBlock + 50);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    f.write(file);
    BlockReader grown(openFile(path), quint64(file.size()));
    f.write(randomBytes(kBlock));
    ASSERT_TRUE(grown.seek(kBlock, SEEK_SET));
    EXPECT_EQ(readFrom(grown, 3 * kBlock), file.mid(kBlock)) << "only the size checked";

    ASSERT_TRUE(f.resize(kBlock + 20));
    BlockReader shrunk(openFile(path), quint64(file.size()));
    ASSERT_TRUE(shrunk.seek(kBlock + 10, SEEK_SET));
    EXPECT_EQ(readFrom(shrunk, 30), file.mid(kBlock + 10, 10)) << "only what is still there";
    EXPECT_EQ(readFrom(shrunk, 30), QByteArray());
}
