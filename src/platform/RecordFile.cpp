#include "RecordFile.h"
#include "RegularFile.h"

#include <QFile>
#include <QStringList>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

} // namespace

namespace RecordFile {

std::optional<QByteArray> read(const QString &path, qint64 limit, QString *why)
{
    auto refuse = [&](const QString &reason) {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    // A device is not even opened (opening some does something); a pipe put there meanwhile
    // is opened without waiting for a writer, and refused all the same.
    if (const Kind kind = kindAt(path); kind != Kind::File)
        return refuse(kind == Kind::Missing ? systemError(ENOENT) : QStringLiteral("it is %1").arg(kindText(kind)));
    const int fd = ::open(native(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return refuse(errno == ELOOP ? QStringLiteral("it is %1").arg(kindText(Kind::Link)) : systemError(errno));
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return refuse(QStringLiteral("it is %1").arg(kindText(Kind::Other)));
    }
    if (st.st_size > limit) {
        ::close(fd);
        return refuse(QStringLiteral("it is larger than %1").arg(RegularFile::sizeText(limit)));
    }
    QByteArray bytes(qsizetype(st.st_size) + 1, Qt::Uninitialized);
    qsizetype got = 0;
    int code = 0;
    // One byte more than its size: a file that grows meanwhile is refused, not cut short.
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            code = errno;
        if (n <= 0)
            break;
        got += n;
    }
    ::close(fd);
    if (code != 0)
        return refuse(systemError(code));
    if (got > st.st_size)
        return refuse(QStringLiteral("it changed while it was read"));
    bytes.truncate(got);
    return bytes;
}

QString nameProblem(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("it names no file");
    if (name.startsWith(QLatin1Char('/')))
        return QStringLiteral("%1 is no name inside its folder").arg(name);
    if (name.contains(QChar(0)))
        return QStringLiteral("a name in it holds a null character");
    for (const QString &part : name.split(QLatin1Char('/'))) {
        if (part == QLatin1String(".."))
            return QStringLiteral("%1 leads out of its folder").arg(name);
        if (part.isEmpty() || part == QLatin1String("."))
            return QStringLiteral("%1 is no plain name").arg(name);
    }
    return QString();
}

QString wayProblem(const QString &folder, const QString &name)
{
    const QStringList parts = name.split(QLatin1Char('/'));
    QString way = folder.endsWith(QLatin1Char('/')) ? folder.chopped(1) : folder;
    QString shown;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        way += QLatin1Char('/') + parts.at(i);
        shown += (shown.isEmpty() ? QString() : QStringLiteral("/")) + parts.at(i);
        const Kind kind = kindAt(way);
        if (kind == Kind::Missing)
            return QString();
        if (kind != Kind::Folder)
            return QStringLiteral("%1 leads through %2, which is %3").arg(name, shown, kindText(kind));
    }
    return QString();
}

Kind kindAt(const QString &path)
{
    struct stat st{};
    if (::lstat(native(path).constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? Kind::Missing : Kind::Other;
    if (S_ISLNK(st.st_mode))
        return Kind::Link;
    if (S_ISREG(st.st_mode))
        return Kind::File;
    if (S_ISDIR(st.st_mode))
        return Kind::Folder;
    return Kind::Other;
}

QString kindText(Kind kind)
{
    switch (kind) {
    case Kind::Missing: return QStringLiteral("missing");
    case Kind::File: return QStringLiteral("a file");
    case Kind::Folder: return QStringLiteral("a folder");
    case Kind::Link: return QStringLiteral("a symbolic link");
    case Kind::Other: break;
    }
    return QStringLiteral("no regular file");
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat sa{}, sb{};
    return ::lstat(native(a).constData(), &sa) == 0 && ::lstat(native(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

} // namespace RecordFile
