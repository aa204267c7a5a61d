// What a folder held open holds and what its disk can hold: looks alone. The one name made here
// to try the disk is made and removed through the folder's own writes.
#include "FolderHandle.h"
#include "SideFiles.h"
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

QString FolderHandle::namesRefused() const
{
    // Named as a session is, with the time's ':' in it, and as a side file of Pollix's, so that
    // one left by a kill goes at the next start. Disks answer a ':' in their own words (EINVAL
    // from the kernel's FAT, EPERM from a FUSE one): the same name without it tells a refusal of
    // the name from one of anything made there (a read-only folder), which is no concern here.
    const auto tryName = [&](const QString &like, QString *made) {
        for (int tries = 0; tries < 16; ++tries) {
            *made = QFileInfo(SideFiles::nameBeside(pathOf(like), SideFiles::Kind::Temporary)).fileName();
            struct stat st{};
            bool opened = false;
            const int code = writeSynced(*made, QByteArray(), 0, &st, &opened);
            if (code == 0)
                removeWritten(*made, st);
            if (code != EEXIST)
                return code;
        }
        return EEXIST;
    };
    QString name;
    const int code = tryName(QStringLiteral("Names 2000-01-01T00:00:00.xml"), &name);
    if (code == 0 || code == EEXIST || tryName(QStringLiteral("Names 2000-01-01T00-00-00.xml"), &name) != 0)
        return QString();
    return QString::fromLocal8Bit(std::strerror(code));
}

QString FolderHandle::fileSystemName() const
{
    struct statfs fs{};
    if (m_fd < 0 || ::fstatfs(m_fd, &fs) != 0)
        return QString();
    switch (quint32(fs.f_type)) {
    case MSDOS_SUPER_MAGIC:
        return QStringLiteral("FAT (vfat)");
    case EXFAT_SUPER_MAGIC:
        return QStringLiteral("exFAT");
    case 0x5346544e: // NTFS through ntfs-3g's kernel name
    case 0x7366746e: // ntfs3
        return QStringLiteral("NTFS");
    case CIFS_SUPER_MAGIC:
    case SMB2_SUPER_MAGIC:
    case SMB_SUPER_MAGIC:
        return QStringLiteral("SMB (a Windows share)");
    case NFS_SUPER_MAGIC:
        return QStringLiteral("NFS");
    case FUSE_SUPER_MAGIC:
        return QStringLiteral("FUSE");
    default:
        return QString();
    }
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
