// What a folder held open holds and what its disk can hold: looks alone. The one name made here
// to try the disk is made and removed through the folder's own writes, and so is what such a
// trial cut short left.
#include "DiskNames.h"
#include "FolderHandle.h"
#include "Log.h"
#include "SideFiles.h"
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// What a trial file holds: a note naming that very file (its device and inode), so that a later
// start knows one a kill left behind by its name and, being Pollix's, by its note: never a file
// of someone else's named alike, nor a copy of one.
QByteArray trialNote(const struct stat &st)
{
    return QByteArrayLiteral("Pollix tried with this file whether the folder takes new files, and removes it. Device ") +
           QByteArray::number(quint64(st.st_dev)) + ", file " + QByteArray::number(quint64(st.st_ino)) + ".\n";
}

// The names the trials give their files, before the side file's tag.
const QString kNewFilesLike = QStringLiteral("Pollix");
const QString kColonLike = QStringLiteral("Names 2000-01-01T00:00:00.xml");
const QString kNoColonLike = QStringLiteral("Names 2000-01-01T00-00-00.xml");

// Removes what trials of the names likes left in folder when a kill ended them before their
// removal: each regular file named as such a trial's that holds its own note. Anything else
// named so stays.
void removeTrialsOf(const FolderHandle &folder, const QStringList &likes)
{
    // The names are compared as the disk gives them, and only those named so are looked at more
    // closely: the folder may hold many files.
    QList<QByteArray> stems;
    for (const QString &like : likes)
        stems << QFile::encodeName(like + QStringLiteral(".tmp-"));
    QStringList named;
    const int fd = folder.fd() < 0 ? -1 : ::openat(folder.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!dir) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    while (const dirent *d = ::readdir(dir)) {
        const std::string_view name(d->d_name);
        if (std::any_of(stems.cbegin(), stems.cend(),
                        [&](const QByteArray &stem) { return name.starts_with(std::string_view(stem.constData(), size_t(stem.size()))); }))
            named << QFile::decodeName(QByteArray(d->d_name));
    }
    ::closedir(dir);
    for (const QString &name : std::as_const(named)) {
        if (std::none_of(likes.cbegin(), likes.cend(), [&](const QString &like) {
                return SideFiles::isBeside(folder.pathOf(name), folder.pathOf(like), SideFiles::Kind::Temporary);
            }))
            continue;
        // A regular file alone (never through a link), holding the note that names it.
        struct stat st{};
        const int file = folder.openFile(name, nullptr, &st);
        if (file < 0)
            continue;
        const QByteArray expected = trialNote(st);
        QByteArray held(expected.size() + 1, '\0');
        const ssize_t got = ::pread(file, held.data(), size_t(held.size()), 0);
        ::close(file);
        if (got != expected.size() || held.left(expected.size()) != expected)
            continue;
        folder.removeWritten(name, st);
        PollixLog(QStringLiteral("Removed %1, left by a start's trial of its folder that was cut short").arg(folder.pathOf(name)));
    }
}

// Makes a file named as like is, as a side file of Pollix's holding its own note, and removes it
// at once, as long as it is the very file made; 0, or the system's error that refused it.
int tryNewFile(const FolderHandle &folder, const QString &like)
{
    for (int tries = 0; tries < 16; ++tries) {
        const QString made = QFileInfo(SideFiles::nameBeside(folder.pathOf(like), SideFiles::Kind::Temporary)).fileName();
        struct stat st{};
        const int code = folder.writeSelfNoted(made, trialNote, &st);
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
    const int code = tryNewFile(*this, kColonLike);
    if (code == 0 || code == EEXIST || tryNewFile(*this, kNoColonLike) != 0)
        return QString();
    return QString::fromLocal8Bit(std::strerror(code));
}

QString FolderHandle::newFilesRefused() const
{
    // Tried, not asked of the permissions: root passes any access check, and a disk mounted
    // read-only or a share's own rules refuse what the permissions allow.
    if (m_fd < 0)
        return QString::fromLocal8Bit(std::strerror(EBADF));
    const int code = tryNewFile(*this, kNewFilesLike);
    return code == 0 ? QString() : QString::fromLocal8Bit(std::strerror(code));
}

void FolderHandle::removeTrialsLeft() const
{
    removeTrialsOf(*this, {kNewFilesLike, kColonLike, kNoColonLike});
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
