#include "FolderSwap.h"

#include "Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
bool fail(QString *errorText, const QString &why)
{
    if (errorText)
        *errorText = why;
    PollixLog(why);
    return false;
}

QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

QString withoutTrailingSlash(const QString &path)
{
    return QDir::cleanPath(path);
}

// The directory entries changed by a rename last only once their folder is synced.
void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
} // namespace

namespace FolderSwap {

QString makeSibling(const QString &folder, const QString &tag, QString *errorText)
{
    QByteArray pattern = QFile::encodeName(withoutTrailingSlash(folder) + QLatin1Char('.') + tag + QStringLiteral("-XXXXXX"));
    if (!::mkdtemp(pattern.data())) {
        fail(errorText, QStringLiteral("%1 cannot be made beside it: %2").arg(withoutTrailingSlash(folder), errnoText()));
        return QString();
    }
    return QFile::decodeName(pattern);
}

bool syncFileSystemOf(const QString &path, QString *errorText)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return fail(errorText, QStringLiteral("%1: %2").arg(path, errnoText()));
    const int rc = ::syncfs(fd);
    const QString why = errnoText();
    ::close(fd);
    if (rc != 0)
        return fail(errorText, QStringLiteral("%1 cannot be written to disk: %2").arg(path, why));
    return true;
}

bool exchange(const QString &prepared, const QString &target, QString *errorText)
{
    const QString from = withoutTrailingSlash(prepared);
    const QString to = withoutTrailingSlash(target);
    const QByteArray fromName = QFile::encodeName(from);
    const QByteArray toName = QFile::encodeName(to);
    const QString parent = QFileInfo(to).absolutePath();
    if (!QFileInfo::exists(to)) {
        if (::rename(fromName.constData(), toName.constData()) != 0)
            return fail(errorText, QStringLiteral("%1 cannot be put in place: %2").arg(to, errnoText()));
        syncFolder(parent);
        return true;
    }
    if (::renameat2(AT_FDCWD, fromName.constData(), AT_FDCWD, toName.constData(), RENAME_EXCHANGE) == 0) {
        syncFolder(parent);
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return fail(errorText, QStringLiteral("%1 cannot be replaced: %2").arg(to, errnoText()));
    // No exchange on this file system: two renames, undone when the second fails.
    const QString aside = makeSibling(to, QStringLiteral("old"), errorText);
    if (aside.isEmpty())
        return false;
    const QByteArray asideName = QFile::encodeName(aside);
    // rename() replaces an empty folder.
    if (::rename(toName.constData(), asideName.constData()) != 0) {
        const QString why = errnoText();
        ::rmdir(asideName.constData());
        return fail(errorText, QStringLiteral("%1 cannot be replaced: %2").arg(to, why));
    }
    if (::rename(fromName.constData(), toName.constData()) != 0) {
        const QString why = errnoText();
        ::rename(asideName.constData(), toName.constData());
        return fail(errorText, QStringLiteral("%1 cannot be replaced: %2").arg(to, why));
    }
    if (::rename(asideName.constData(), fromName.constData()) != 0)
        PollixLog(QStringLiteral("The old data are left in %1").arg(aside));
    syncFolder(parent);
    return true;
}

} // namespace FolderSwap
