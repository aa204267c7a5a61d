#include "RegularFile.h"

#include "Uninterrupted.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace RegularFile {

namespace {
bool refuse(QString *why, const QString &reason)
{
    if (why)
        *why = reason;
    return false;
}

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

QString kindProblem(mode_t mode)
{
    if (S_ISREG(mode))
        return QString();
    return S_ISDIR(mode) ? QStringLiteral("it is a folder") : QStringLiteral("it is no regular file");
}
} // namespace

QString problemAt(const QString &path)
{
    struct stat st{};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return systemError(errno);
    return kindProblem(st.st_mode);
}

int openDescriptor(const QString &path, QString *why, struct stat *st)
{
    const auto fail = [why](const QString &reason) {
        refuse(why, reason);
        return -1;
    };
    const QByteArray native = QFile::encodeName(path);
    // Looked at first: a device is not even opened (opening some does something).
    struct stat own{};
    if (::stat(native.constData(), &own) != 0)
        return fail(systemError(errno));
    if (const QString problem = kindProblem(own.st_mode); !problem.isEmpty())
        return fail(problem);
    // A pipe put there meanwhile is opened without waiting for a writer, and refused all the same.
    // Left without waiting: a regular file's reads never wait on a writer anyway.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return fail(systemError(errno));
    if (::fstat(fd, &own) != 0 || !kindProblem(own.st_mode).isEmpty()) {
        const QString problem = kindProblem(own.st_mode);
        ::close(fd);
        return fail(problem.isEmpty() ? QStringLiteral("it is no regular file") : problem);
    }
    if (st)
        *st = own;
    return fd;
}

bool open(QFile &file, const QString &path, QString *why)
{
    const int fd = openDescriptor(path, why);
    if (fd < 0)
        return false;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refuse(why, file.errorString());
    }
    return true;
}

QByteArray readDescriptor(int fd, qint64 expected, qint64 most, int *error)
{
    constexpr qint64 kStep = 1 << 20;
    *error = 0;
    QByteArray bytes(qsizetype(std::min(std::max<qint64>(expected, 0) + 1, most)), Qt::Uninitialized);
    qsizetype got = 0;
    for (;;) {
        if (got == bytes.size()) {
            // Grown beyond what it held when opened (or no size known): on in steps.
            if (bytes.size() >= most)
                break;
            bytes.resize(qsizetype(std::min<qint64>(bytes.size() + kStep, most)));
        }
        const ssize_t n = Uninterrupted::call([&] { return ::read(fd, bytes.data() + got, size_t(bytes.size() - got)); });
        if (n < 0)
            *error = errno;
        if (n <= 0)
            break;
        got += n;
    }
    bytes.truncate(got);
    return bytes;
}

std::optional<QByteArray> readAll(const QString &path, QString *why, qint64 limit, std::optional<ContentHash::Stamp> *steady,
                                  struct stat *opened)
{
    timespec started{};
    if (steady) {
        steady->reset();
        // Before the file is looked at: a write from here on dates the file at this time or later.
        ::clock_gettime(CLOCK_REALTIME_COARSE, &started);
    }
    struct stat st{};
    const int fd = openDescriptor(path, why, &st);
    if (fd < 0)
        return std::nullopt;
    if (opened)
        *opened = st;
    const QString tooLarge = QStringLiteral("it is larger than %1").arg(sizeText(limit));
    if (st.st_size > limit) {
        ::close(fd);
        refuse(why, tooLarge);
        return std::nullopt;
    }
    int error = 0;
    QByteArray bytes = readDescriptor(fd, st.st_size, limit + 1, &error);
    if (struct stat after{}; steady && error == 0 && ::fstat(fd, &after) == 0) {
        const ContentHash::Stamp stamp = ContentHash::stampOf(st);
        if (ContentHash::stampOf(after) == stamp && quint64(bytes.size()) == stamp.size &&
            ContentHash::settledBefore(stamp, qint64(started.tv_sec) * 1'000'000'000 + started.tv_nsec))
            *steady = stamp;
    }
    ::close(fd);
    if (error != 0) {
        refuse(why, systemError(error));
        return std::nullopt;
    }
    if (bytes.size() > limit) {
        refuse(why, tooLarge);
        return std::nullopt;
    }
    return bytes;
}

QByteArray readAtMost(QIODevice &device, qint64 limit)
{
    // A file is read in one step of what it holds and a byte more, which shows whether it grew
    // meanwhile: reading every data file in fixed steps took memory for a whole step each time.
    // What a pipe holds, or a file beyond its size, comes in steps.
    constexpr qint64 kStep = 1 << 20;
    const qint64 known = device.isSequential() ? -1 : std::max<qint64>(device.size() - device.pos(), 0);
    qint64 step = known >= 0 ? known + 1 : kStep;
    QByteArray bytes;
    while (bytes.size() <= limit) {
        const QByteArray chunk = device.read(std::min(step, limit + 1 - bytes.size()));
        bytes += chunk;
        // A file read short is at its end.
        if (chunk.isEmpty() || (known >= 0 && chunk.size() < step))
            break;
        step = kStep;
    }
    return bytes;
}

QString sizeText(qint64 bytes)
{
    if (bytes >= (1 << 20) && bytes % (1 << 20) == 0)
        return QStringLiteral("%1 MB").arg(bytes >> 20);
    if (bytes >= 1024 && bytes % 1024 == 0)
        return QStringLiteral("%1 KB").arg(bytes >> 10);
    return QStringLiteral("%1 bytes").arg(bytes);
}

} // namespace RegularFile
