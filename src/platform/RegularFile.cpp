#include "RegularFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
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

bool open(QFile &file, const QString &path, QString *why)
{
    const QByteArray native = QFile::encodeName(path);
    // Looked at first: a device is not even opened (opening some does something).
    struct stat st{};
    if (::stat(native.constData(), &st) != 0)
        return refuse(why, systemError(errno));
    if (const QString problem = kindProblem(st.st_mode); !problem.isEmpty())
        return refuse(why, problem);
    // A pipe put there meanwhile is opened without waiting for a writer, and refused all the same.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return refuse(why, systemError(errno));
    if (::fstat(fd, &st) != 0 || !kindProblem(st.st_mode).isEmpty()) {
        const QString problem = kindProblem(st.st_mode);
        ::close(fd);
        return refuse(why, problem.isEmpty() ? QStringLiteral("it is no regular file") : problem);
    }
    // Left without waiting: a regular file's reads never wait on a writer anyway.
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refuse(why, file.errorString());
    }
    return true;
}

std::optional<QByteArray> readAll(const QString &path, QString *why, qint64 limit)
{
    QFile file;
    if (!open(file, path, why))
        return std::nullopt;
    const QString tooLarge = QStringLiteral("it is larger than %1").arg(sizeText(limit));
    if (file.size() > limit) {
        refuse(why, tooLarge);
        return std::nullopt;
    }
    QByteArray bytes = readAtMost(file, limit);
    if (file.error() != QFileDevice::NoError) {
        refuse(why, file.errorString());
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
