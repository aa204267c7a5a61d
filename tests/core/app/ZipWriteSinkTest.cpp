// The stream an archive is written through holds small writes in a buffer and sends large ones
// straight to the file: whatever the order of the writes and of the moves back into what was
// written (as minizip goes back to put an entry's sizes into its header), the file holds each
// byte as last written, no more and no less.
#include "core/app/ZipWriteSink.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr quint64 kBuffer = ZipWriteSink::kBuffer;

// One write: size bytes at at (or, with at negative, where the last one ended).
struct Write
{
    qint64 at;
    quint64 size;
};

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("unreadable");
}
} // namespace

TEST(ZipWriteSink, EveryByteLandsWhereItWasLastWrittenWhateverTheSizesAndMovesBack)
{
    const struct
    {
        const char *what;
        QList<Write> writes;
    } rows[] = {
        {"a write of exactly the buffer's size at the start of what is held", {{0, 100}, {0, kBuffer}}},
        {"the same after the buffer went to the file once", {{0, kBuffer + 10}, {-1, 40}, {qint64(kBuffer) + 10, kBuffer}}},
        {"a write of the buffer's size right after what is held", {{0, 100}, {-1, kBuffer}}},
        {"a write of the buffer's size inside what is held", {{0, 100}, {50, kBuffer}}},
        {"a write one byte larger than the buffer over what is held", {{0, 100}, {0, kBuffer + 1}}},
        {"a write one byte smaller than the buffer over what is held", {{0, 100}, {0, kBuffer - 1}}},
        {"a header's fields, its data, and its sizes put in afterwards",
         {{0, 4}, {-1, 2}, {-1, 2}, {-1, 30}, {-1, 5000}, {14, 4}, {18, 4}, {22, 4}, {-1, 4}}},
        {"an entry larger than the buffer between two headers, its header then mended",
         {{0, 30}, {-1, 3 * kBuffer}, {-1, 30}, {14, 12}, {-1, 12}}},
        {"a move back before the buffer's place", {{0, kBuffer / 2}, {-1, kBuffer / 2 + 7}, {3, 9}, {-1, 2}}},
        {"a move past the end, leaving a gap", {{0, 10}, {20, 10}}},
    };
    for (const auto &row : rows) {
        QTemporaryDir dir;
        const QString path = dir.filePath("archive.zip");
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        ASSERT_GE(fd, 0) << row.what;
        // What the file must hold: each write's bytes (a byte of its own for each) where it went.
        QByteArray expected;
        {
            ZipWriteSink sink(fd, 0);
            ASSERT_TRUE(sink.open()) << row.what;
            for (qsizetype n = 0; n < row.writes.size(); ++n) {
                const Write &w = row.writes.at(n);
                if (w.at >= 0)
                    sink.seek(quint64(w.at));
                const quint64 at = sink.position();
                const QByteArray bytes(qsizetype(w.size), char('A' + n));
                ASSERT_EQ(sink.write(bytes.constData(), w.size), w.size) << row.what << ", write " << n;
                if (expected.size() < qsizetype(at + w.size))
                    expected.append(QByteArray(qsizetype(at + w.size) - expected.size(), '\0'));
                expected.replace(qsizetype(at), qsizetype(w.size), bytes);
                EXPECT_EQ(sink.end(), quint64(expected.size())) << row.what << ", write " << n;
            }
            // What was written reads back as written, also what the buffer still holds.
            QByteArray back(expected.size(), '\0');
            EXPECT_TRUE(sink.readBack(0, back.data(), quint64(back.size()))) << row.what;
            EXPECT_TRUE(back == expected) << row.what << ": read back";
            EXPECT_EQ(sink.close(), 0) << row.what;
        }
        ::close(fd);
        const QByteArray got = fileBytes(path);
        EXPECT_EQ(got.size(), expected.size()) << row.what;
        EXPECT_TRUE(got == expected) << row.what;
    }
}
