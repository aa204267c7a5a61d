// A file read whole is vouched for by its stamp only where nothing can change its bytes without
// changing the stamp: not when it changed within the step of the file system's clock its reading
// began in, as a write right after would keep its change time.
#include "platform/ContentHash.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <time.h>
#include <unistd.h>

namespace {
constexpr qint64 kSecond = 1'000'000'000;

qint64 clockOfTheDisk()
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
    return qint64(now.tv_sec) * kSecond + now.tv_nsec;
}

std::optional<ContentHash::Stamp> readSteady(const QString &path)
{
    std::optional<ContentHash::Stamp> steady;
    EXPECT_TRUE(RegularFile::readAll(path, nullptr, RegularFile::kWholeLimit, &steady));
    return steady;
}
} // namespace

TEST(RegularFile, AReadIsVouchedForByTheFilesStampOnlyOnceTheFileSettled)
{
    QTemporaryDir dir;
    QString path;
    // Changed in the clock step the read began in (tried until a whole read fell in one step). A
    // new file each time: one looked at since its last change may be dated finer the next time.
    bool inOneStep = false;
    for (int attempt = 0; attempt < 200 && !inOneStep; ++attempt) {
        path = dir.filePath(QStringLiteral("Monday-%1.xml").arg(attempt));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("<Session/>") == 10);
        file.close();
        const qint64 before = clockOfTheDisk();
        const std::optional<ContentHash::Stamp> steady = readSteady(path);
        if (clockOfTheDisk() == before && ContentHash::stampOf(path).value_or(ContentHash::Stamp{}).changedNs >= before) {
            inOneStep = true;
            EXPECT_FALSE(steady) << "a write in the same step would keep the change time";
        }
    }
    EXPECT_TRUE(inOneStep);

    // Once the clock moved past its change: vouched for, by the stamp it has.
    const std::optional<ContentHash::Stamp> was = ContentHash::stampOf(path);
    ASSERT_TRUE(was);
    while (clockOfTheDisk() <= was->changedNs)
        ::usleep(1000);
    EXPECT_EQ(readSteady(path), was);

    // A disk that dates changes in whole seconds dates a write later in that second the same.
    ContentHash::Stamp stamp;
    stamp.changedNs = 1'700'000'000 * kSecond;
    EXPECT_FALSE(ContentHash::settledBefore(stamp, stamp.changedNs + kSecond - 1));
    EXPECT_TRUE(ContentHash::settledBefore(stamp, stamp.changedNs + kSecond));
}
