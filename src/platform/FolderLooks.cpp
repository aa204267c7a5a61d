// What a folder held open holds and what its disk can hold: looks alone. The one name made here
// to try the disk is made and removed through the folder's own writes.
#include "DiskNames.h"
#include "FolderHandle.h"
#include "SideFiles.h"
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Makes a file named as like is, as a side file of Pollix's (in its own folders, one left by a
// kill goes at the next start), and removes it at once, as long as it is the very file made; 0,
// or the system's error that refused it.
int tryNewFile(const FolderHandle &folder, const QString &like)
{
    for (int tries = 0; tries < 16; ++tries) {
        const QString made = QFileInfo(SideFiles::nameBeside(folder.pathOf(like), SideFiles::Kind::Temporary)).fileName();
        struct stat st{};
        bool opened = false;
        const int code = folder.writeSynced(made, QByteArray(), 0, &st, &opened);
        if (code == 0)
            folder.removeWritten(made, st);
        if (code != EEXIST)
            return code;
    }
    return EEXIST;
}
} // namespace

QString FolderHandle::namesRefused() const
{
    // Named as a session is, with the time's ':' in it. Disks answer a ':' in their own words
    // (EINVAL from the kernel's FAT, EPERM or ENOENT from a FUSE one): the same name without it
    // tells a refusal of the name from one of anything made there (a read-only folder), which is
    // no concern here.
    const int code = tryNewFile(*this, QStringLiteral("Names 2000-01-01T00:00:00.xml"));
    if (code == 0 || code == EEXIST || tryNewFile(*this, QStringLiteral("Names 2000-01-01T00-00-00.xml")) != 0)
        return QString();
    return QString::fromLocal8Bit(std::strerror(code));
}

QString FolderHandle::newFilesRefused() const
{
    // Tried, not asked of the permissions: root passes any access check, and a disk mounted
    // read-only or a share's own rules refuse what the permissions allow.
    if (m_fd < 0)
        return QString::fromLocal8Bit(std::strerror(EBADF));
    const int code = tryNewFile(*this, QStringLiteral("Pollix"));
    return code == 0 ? QString() : QString::fromLocal8Bit(std::strerror(code));
}

QString FolderHandle::describeDisk() const
{
    return DiskNames::describeFolder(m_fd);
}

std::optional<QList<FolderHandle::Name>> FolderHandle::names(QString *why) const
{
    const int fd = m_fd < 0 ? -1 : ::openat(m_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!dir) {
        const int code = errno;
        if (fd >= 0)
            ::close(fd);
        if (why)
            *why = QStringLiteral("%1 cannot be read: %2").arg(m_path, QString::fromLocal8Bit(std::strerror(code)));
        return std::nullopt;
    }
    QList<Name> out;
    int code = 0;
    for (;;) {
        // readdir tells its end from its failure only by errno.
        errno = 0;
        const dirent *d = ::readdir(dir);
        if (!d) {
            code = errno;
            break;
        }
        if (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0)
            continue;
        Name n;
        n.name = QFile::decodeName(QByteArray(d->d_name));
        switch (d->d_type) {
        case DT_UNKNOWN:
            break;
        case DT_REG:
            n.kind = RecordFile::Kind::File;
            break;
        case DT_DIR:
            n.kind = RecordFile::Kind::Folder;
            break;
        case DT_LNK:
            n.kind = RecordFile::Kind::Link;
            break;
        default:
            n.kind = RecordFile::Kind::Other;
        }
        out << n;
    }
    ::closedir(dir);
    if (code != 0) {
        if (why)
            *why = QStringLiteral("%1 cannot be read: %2").arg(m_path, QString::fromLocal8Bit(std::strerror(code)));
        return std::nullopt;
    }
    return out;
}
