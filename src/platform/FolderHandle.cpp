#include "FolderHandle.h"

#include "Log.h"
#include "RegularFile.h"
#include "SideFiles.h"
#include "TakenFolders.h"
#include "Uninterrupted.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

bool failWith(QString *why, const QString &reason)
{
    if (why)
        *why = reason;
    return false;
}

QByteArray native(const QString &name)
{
    return QFile::encodeName(name);
}

RecordFile::Kind kindOf(const struct stat &st)
{
    if (S_ISLNK(st.st_mode))
        return RecordFile::Kind::Link;
    if (S_ISREG(st.st_mode))
        return RecordFile::Kind::File;
    if (S_ISDIR(st.st_mode))
        return RecordFile::Kind::Folder;
    return RecordFile::Kind::Other;
}

// Why a name cannot stand for one entry of a folder; empty when it can.
QString entryNameProblem(const QString &name)
{
    if (const QString problem = RecordFile::nameProblem(name); !problem.isEmpty())
        return problem;
    return name.contains(QLatin1Char('/')) ? QStringLiteral("%1 is no name of one entry").arg(name) : QString();
}

// An open's failure in words: following no link, ELOOP means the name is one.
QString openError(int code)
{
    return code == ELOOP ? QStringLiteral("it is %1").arg(RecordFile::kindText(RecordFile::Kind::Link)) : systemError(code);
}
// A folder's open failed, following no link: with O_DIRECTORY a link gives ENOTDIR (or ELOOP), so
// what lies there is looked at to say so.
QString folderOpenError(int dirFd, const QByteArray &name, int code)
{
    struct stat st{};
    if ((code == ENOTDIR || code == ELOOP) && ::fstatat(dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return QStringLiteral("it is %1").arg(RecordFile::kindText(kindOf(st)));
    return systemError(code);
}

// Why the folder at path, there or not, could not be opened (code: the open's error): the one
// wording of it, naming the folder once. A folder that is there but may not be entered is said so
// ("Permission denied"), never as one that could not be made.
QString notOpened(const QString &path, int dirFd, const QByteArray &name, int code)
{
    return QStringLiteral("%1 cannot be opened: %2").arg(path, folderOpenError(dirFd, name, code));
}

// Second names and renames with flags, refused as a disk without them refuses them where a test
// says so (FolderHandle::setRefusalsForTesting); defined with the write layer's steps below.
int hardLinkAt(int fromFd, const char *from, int toFd, const char *to, int flags);
int unnamedFileIn(int folderFd);
int renameAt2(int fromFd, const char *from, int toFd, const char *to, unsigned flags);

// Writes size bytes at data to fd whole, through short writes and interruptions; 0, or the
// error that stopped it (EIO for a write that wrote nothing).
int writeWhole(int fd, const char *data, qsizetype size)
{
    for (qsizetype done = 0; done < size;) {
        const ssize_t n = Uninterrupted::call([&] { return ::write(fd, data + done, size_t(size - done)); });
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += n;
    }
    return 0;
}
} // namespace

FolderHandle::~FolderHandle()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

FolderHandle::FolderHandle(FolderHandle &&other) noexcept : m_fd(other.m_fd), m_path(std::move(other.m_path))
{
    other.m_fd = -1;
}

FolderHandle &FolderHandle::operator=(FolderHandle &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.m_fd;
        m_path = std::move(other.m_path);
        other.m_fd = -1;
    }
    return *this;
}

namespace {
// A folder at or below the application folder is reached from the very folder the start took:
// the application folder is opened by its path, judged (TakenFolders::applicationRefusal) and held
// for the rest of the way, so that its path re-pointed at another application folder leads
// nothing there, and the refusal says so.
int openFolderAt(const QString &path, int access, bool followLink, QString *why)
{
    const int flags = access | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW);
    QString below, refused;
    const QString application = TakenFolders::applicationAbove(path, &below);
    int fd = -1;
    if (application.isEmpty()) {
        fd = ::open(native(path).constData(), flags);
    } else {
        const int top = ::open(native(application).constData(), below.isEmpty() ? flags : O_PATH | O_DIRECTORY | O_CLOEXEC);
        const int code = errno;
        refused = TakenFolders::applicationRefusal(top);
        if (!refused.isEmpty() || top < 0 || below.isEmpty()) {
            fd = refused.isEmpty() ? top : -1;
            if (fd < 0 && top >= 0)
                ::close(top);
            errno = refused.isEmpty() ? code : ESTALE;
        } else {
            fd = ::openat(top, native(below).constData(), flags);
            const int openCode = errno;
            ::close(top);
            errno = openCode;
        }
    }
    if (fd < 0) {
        const int code = errno;
        failWith(why, !refused.isEmpty() ? refused : notOpened(path, AT_FDCWD, native(path), code));
        errno = code; // what a caller tries next goes by the open's own failure
    }
    return fd;
}
} // namespace

FolderHandle FolderHandle::open(const QString &path, bool followLink, QString *why)
{
    const int fd = openFolderAt(path, O_RDONLY, followLink, why);
    return fd < 0 ? FolderHandle() : FolderHandle(fd, path);
}

FolderHandle FolderHandle::openToReach(const QString &path, bool followLink, QString *why)
{
    const int fd = openFolderAt(path, O_PATH, followLink, why);
    return fd < 0 ? FolderHandle() : FolderHandle(fd, path);
}

QString FolderHandle::pathOf(const QString &name) const
{
    return m_path.endsWith(QLatin1Char('/')) ? m_path + name : m_path + QLatin1Char('/') + name;
}

std::optional<struct stat> FolderHandle::stat() const
{
    struct stat st{};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        return std::nullopt;
    return st;
}

FolderHandle FolderHandle::openFolder(const QString &relative, QString *why) const
{
    return walk(relative, false, why);
}

FolderHandle FolderHandle::makeFolder(const QString &relative, QString *why) const
{
    return walk(relative, true, why);
}

FolderHandle FolderHandle::walk(const QString &relative, bool make, QString *why) const
{
    if (m_fd < 0) {
        failWith(why, QStringLiteral("%1 is not open").arg(m_path));
        return {};
    }
    if (const QString problem = RecordFile::nameProblem(relative); !problem.isEmpty()) {
        failWith(why, problem);
        return {};
    }
    int fd = ::dup(m_fd);
    QString way = m_path;
    for (const QString &part : relative.split(QLatin1Char('/'))) {
        if (fd < 0)
            break;
        way = way.endsWith(QLatin1Char('/')) ? way + part : way + QLatin1Char('/') + part;
        // Made where missing; what stands there already is opened as it is, never followed.
        if (make && ::mkdirat(fd, native(part).constData(), 0777) != 0 && errno != EEXIST) {
            const int code = errno;
            failWith(why, QStringLiteral("%1 cannot be made: %2").arg(way, systemError(code)));
            ::close(fd);
            return {};
        }
        int next = ::openat(fd, native(part).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0) {
            const int code = errno;
            // An administrator's link, there when Pollix took its folder, leads where it led then.
            // One of the data folder's own folders made a link since the start, or a taken link
            // whose folder went away or that was pointed elsewhere, is said as what became of it,
            // with the way out, whatever was to go through it.
            QString refused;
            if (code == ELOOP || code == ENOTDIR)
                next = TakenFolders::openTakenLink(fd, native(part), way, &refused);
            if (next < 0) {
                failWith(why, refused.isEmpty() ? notOpened(way, fd, native(part), code) : refused);
                ::close(fd);
                return {};
            }
        }
        ::close(fd);
        fd = next;
    }
    if (fd < 0) {
        failWith(why, QStringLiteral("%1: %2").arg(m_path, systemError(errno)));
        return {};
    }
    return FolderHandle(fd, way);
}

std::optional<QList<FolderHandle::Entry>> FolderHandle::entries(QString *why) const
{
    const std::optional<QList<Name>> listed = names(why);
    if (!listed)
        return std::nullopt;
    QList<Entry> out;
    for (const Name &n : *listed) {
        Entry e;
        e.name = n.name;
        if (::fstatat(m_fd, native(n.name).constData(), &e.st, AT_SYMLINK_NOFOLLOW) != 0)
            continue; // gone meanwhile
        e.kind = kindOf(e.st);
        out << e;
    }
    return out;
}

RecordFile::Kind FolderHandle::kindAt(const QString &name, struct stat *st) const
{
    struct stat own{};
    if (m_fd < 0 || !entryNameProblem(name).isEmpty() ||
        ::fstatat(m_fd, native(name).constData(), &own, AT_SYMLINK_NOFOLLOW) != 0)
        return RecordFile::Kind::Missing;
    if (st)
        *st = own;
    return kindOf(own);
}

bool FolderHandle::holdsNoFile(const QString &name) const
{
    const FolderHandle folder = openFolder(name);
    const std::optional<QList<Entry>> list = folder.entries();
    return list && std::all_of(list->cbegin(), list->cend(), [&](const Entry &e) {
               return e.kind == RecordFile::Kind::Folder && folder.holdsNoFile(e.name);
           });
}

int FolderHandle::openFile(const QString &name, QString *why, struct stat *st) const
{
    const auto refuse = [&](const QString &reason) {
        failWith(why, reason);
        return -1;
    };
    if (const QString problem = entryNameProblem(name); !problem.isEmpty())
        return refuse(problem);
    // A device is not even opened (opening some does something); a pipe put there meanwhile is
    // opened without waiting for a writer, and refused all the same.
    if (const RecordFile::Kind kind = kindAt(name); kind != RecordFile::Kind::File)
        return refuse(kind == RecordFile::Kind::Missing ? systemError(ENOENT) : QStringLiteral("it is %1").arg(RecordFile::kindText(kind)));
    const int fd = ::openat(m_fd, native(name).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int code = errno;
        return refuse(openError(code));
    }
    struct stat own{};
    if (::fstat(fd, &own) != 0 || !S_ISREG(own.st_mode)) {
        ::close(fd);
        return refuse(QStringLiteral("it is %1").arg(RecordFile::kindText(RecordFile::Kind::Other)));
    }
    // Left without waiting: a regular file's reads never wait on a writer anyway.
    if (st)
        *st = own;
    return fd;
}

std::optional<QByteArray> FolderHandle::readFile(const QString &name, qint64 limit, QString *why) const
{
    struct stat st{};
    const int fd = openFile(name, why, &st);
    if (fd < 0)
        return std::nullopt;
    if (st.st_size > limit) {
        ::close(fd);
        failWith(why, QStringLiteral("it is larger than %1").arg(RegularFile::sizeText(limit)));
        return std::nullopt;
    }
    // One byte more than its size: a file that grows meanwhile is refused, not cut short.
    int code = 0;
    const QByteArray bytes = RegularFile::readDescriptor(fd, st.st_size, st.st_size + 1, &code);
    ::close(fd);
    if (code != 0) {
        failWith(why, systemError(code));
        return std::nullopt;
    }
    if (bytes.size() > st.st_size) {
        failWith(why, QStringLiteral("it changed while it was read"));
        return std::nullopt;
    }
    return bytes;
}

bool FolderHandle::createFile(const QString &name, const QByteArray &bytes, QString *why) const
{
    return writeNew(name, bytes, 0644, QDateTime(), true, why);
}

bool FolderHandle::createFile(const QString &name, const QByteArray &bytes, const QDateTime &modified, bool sync,
                              QString *why) const
{
    return writeNew(name, bytes, 0666, modified, sync, why);
}

bool FolderHandle::writeNew(const QString &name, const QByteArray &bytes, mode_t mode, const QDateTime &modified,
                            bool sync, QString *why) const
{
    if (const QString problem = entryNameProblem(name); !problem.isEmpty())
        return failWith(why, problem);
    const int fd = ::openat(m_fd, native(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0)
        return failWith(why, QStringLiteral("%1: %2").arg(pathOf(name), systemError(errno)));
    int code = writeWhole(fd, bytes.constData(), bytes.size());
    if (code == 0 && modified.isValid()) {
        const struct timespec times[2] = {{0, UTIME_OMIT}, {time_t(modified.toSecsSinceEpoch()), 0}};
        if (::futimens(fd, times) != 0)
            PollixLog(QStringLiteral("Failed to set attributes"));
    }
    if (code == 0 && sync && ::fsync(fd) != 0)
        code = errno;
    if (::close(fd) != 0 && code == 0 && errno != EINTR)
        code = errno;
    if (code == 0)
        return true;
    ::unlinkat(m_fd, native(name).constData(), 0);
    return failWith(why, QStringLiteral("%1 cannot be written: %2").arg(pathOf(name), systemError(code)));
}

bool FolderHandle::createNotedFile(const QString &name, const NoteFirst &noteFirst, QString *why) const
{
    const int fd = createNotedFileOpen(name, noteFirst, why);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

bool FolderHandle::removeFile(const QString &name, QString *why) const
{
    if (const QString problem = entryNameProblem(name); !problem.isEmpty())
        return failWith(why, problem);
    // unlinkat without AT_REMOVEDIR refuses a folder (EISDIR) and removes a link, not its target.
    if (::unlinkat(m_fd, native(name).constData(), 0) == 0 || errno == ENOENT)
        return true;
    return failWith(why, QStringLiteral("%1 cannot be removed: %2").arg(pathOf(name), systemError(errno)));
}

bool FolderHandle::linkOrCopyTo(const QString &name, const FolderHandle &to, const QString &toName, QString *why) const
{
    for (const QString &n : {name, toName})
        if (const QString problem = entryNameProblem(n); !problem.isEmpty())
            return failWith(why, problem);
    const QByteArray from = native(name), target = native(toName);
    const auto refuse = [&](int code) {
        return failWith(why, QStringLiteral("%1 cannot be kept as %2: %3").arg(pathOf(name), to.pathOf(toName), systemError(code)));
    };
    // A hard link of a symbolic link is a link again (linkat follows none without being told).
    if (hardLinkAt(m_fd, from.constData(), to.fd(), target.constData(), 0) == 0)
        return true;
    if (errno == EEXIST)
        return refuse(EEXIST);
    struct stat st{};
    const RecordFile::Kind kind = kindAt(name, &st);
    if (kind == RecordFile::Kind::Link) {
        QByteArray points(qsizetype(std::max<off_t>(st.st_size, 0)) + 1, '\0');
        const ssize_t n = ::readlinkat(m_fd, from.constData(), points.data(), size_t(points.size()));
        if (n < 0 || n >= points.size())
            return refuse(n < 0 ? errno : EAGAIN);
        points.truncate(n);
        return ::symlinkat(points.constData(), to.fd(), target.constData()) == 0 || refuse(errno);
    }
    if (kind != RecordFile::Kind::File)
        return failWith(why, QStringLiteral("%1 cannot be kept: it is %2").arg(pathOf(name), RecordFile::kindText(kind)));
    QString problem;
    const int in = openFile(name, &problem, &st);
    if (in < 0)
        return failWith(why, QStringLiteral("%1 cannot be kept: %2").arg(pathOf(name), problem));
    const int out = ::openat(to.fd(), target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, st.st_mode & 0777);
    int code = out < 0 ? errno : 0;
    char buffer[65536];
    while (code == 0) {
        const ssize_t n = Uninterrupted::call([&] { return ::read(in, buffer, sizeof buffer); });
        if (n <= 0) {
            code = n < 0 ? errno : 0;
            break;
        }
        code = writeWhole(out, buffer, n);
    }
    // A copy stands in for the file's second name: it is on the disk before anything relies on it.
    if (code == 0 && out >= 0 && ::fsync(out) != 0)
        code = errno;
    ::close(in);
    if (out >= 0) {
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        if (code == 0)
            ::futimens(out, times);
        if (::close(out) != 0 && code == 0 && errno != EINTR)
            code = errno;
        if (code != 0)
            ::unlinkat(to.fd(), target.constData(), 0);
    }
    return code == 0 || refuse(code);
}

bool FolderHandle::moveTo(const QString &name, const FolderHandle &to, const QString &toName, QString *why) const
{
    for (const QString &n : {name, toName})
        if (const QString problem = entryNameProblem(n); !problem.isEmpty())
            return failWith(why, problem);
    const QByteArray from = native(name), target = native(toName);
    const auto refuse = [&](int code) {
        return failWith(why, QStringLiteral("%1 cannot be moved to %2: %3").arg(pathOf(name), to.pathOf(toName), systemError(code)));
    };
    // A file under both names already is a move cut short between its second name and the loss
    // of its first (below, where the disk renames no other way): it is finished, nothing lost.
    const auto finishCutShort = [&] {
        struct stat here{}, there{};
        if (kindAt(name, &here) != RecordFile::Kind::File || to.kindAt(toName, &there) != RecordFile::Kind::File ||
            here.st_dev != there.st_dev || here.st_ino != there.st_ino)
            return false;
        if (::unlinkat(m_fd, from.constData(), 0) != 0 && errno != ENOENT)
            return false;
        PollixLog(QStringLiteral("Finished the move of %1 to %2, cut short").arg(pathOf(name), to.pathOf(toName)));
        return true;
    };
    if (renameAt2(m_fd, from.constData(), to.fd(), target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (const int code = errno; code != EINVAL && code != ENOSYS && code != ENOTSUP)
        return (code == EEXIST && finishCutShort()) || refuse(code);
    // No such rename on this file system (network shares): a second name, which the system never
    // gives over another file, then the first name goes. Where there are no second names (a
    // folder, a disk without them), what lies there is looked at first instead.
    if (hardLinkAt(m_fd, from.constData(), to.fd(), target.constData(), 0) == 0) {
        // In place all the same; a side file left under its first name goes at the next start.
        if (::unlinkat(m_fd, from.constData(), 0) != 0)
            PollixLog(QStringLiteral("%1 keeps its first name beside %2: %3").arg(pathOf(name), to.pathOf(toName), systemError(errno)));
        return true;
    }
    if (errno == EEXIST || to.kindAt(toName) != RecordFile::Kind::Missing)
        return finishCutShort() || refuse(EEXIST);
    if (::renameat(m_fd, from.constData(), to.fd(), target.constData()) == 0)
        return true;
    return refuse(errno);
}

bool FolderHandle::sync(QString *why) const
{
    if (m_fd >= 0 && ::fsync(m_fd) == 0)
        return true;
    return failWith(why, QStringLiteral("%1 cannot be written to disk: %2").arg(m_path, systemError(m_fd < 0 ? EBADF : errno)));
}

// ---- What callers outside the write layer once did by path ----

FolderHandle FolderHandle::makePath(const QString &path, QString *why)
{
    QString missing;
    FolderHandle base = openNearest(path, &missing, why);
    if (missing.isEmpty() || !base.isOpen())
        return base;
    return base.makeFolder(missing, why);
}

FolderHandle FolderHandle::openNearest(const QString &path, QString *missingOut, QString *why)
{
    QString there = QDir::cleanPath(QDir::isAbsolutePath(path) ? path : QDir::current().absoluteFilePath(path));
    QStringList missing;
    while (there != QLatin1String("/") && RecordFile::kindAt(there) == RecordFile::Kind::Missing) {
        missing.prepend(there.section(QLatin1Char('/'), -1));
        there = there.section(QLatin1Char('/'), 0, -2);
        if (there.isEmpty())
            there = QStringLiteral("/");
    }
    if (missingOut)
        *missingOut = missing.join(QLatin1Char('/'));
    return open(there, true, why);
}

int FolderHandle::createNotedFileOpen(const QString &name, const NoteFirst &noteFirst, QString *why) const
{
    // Every failure leaves errno the system's error, as the caller may tell the teacher.
    const auto refuse = [why](const QString &reason, int code) {
        failWith(why, reason);
        errno = code;
        return -1;
    };
    if (const QString problem = entryNameProblem(name); !problem.isEmpty())
        return refuse(problem, EINVAL);
    const QByteArray file = native(name);
    const int fd = unnamedFileIn(m_fd);
    struct stat st{};
    if (fd < 0) {
        // No unnamed files here (FAT, exFAT, a network share): the file has its name from its
        // first moment, so its name is noted before it is made, and the file right after; an
        // ending in between leaves a note of the name, never a file no note names.
        if (!noteFirst(nullptr))
            return refuse(QStringLiteral("%1 could not be noted").arg(pathOf(name)), EIO);
        const int named = ::openat(m_fd, file.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (named < 0) {
            const int code = errno;
            return refuse(QStringLiteral("%1 cannot be made: %2").arg(pathOf(name), systemError(code)), code);
        }
        if (::fstat(named, &st) == 0 && noteFirst(&st))
            return named;
        ::close(named);
        ::unlinkat(m_fd, file.constData(), 0);
        return refuse(QStringLiteral("%1 could not be noted").arg(pathOf(name)), EIO);
    }
    int code = ::fstat(fd, &st) == 0 ? 0 : errno;
    bool made = code == 0 && noteFirst(&st);
    // A name given through the descriptor's entry in /proc, which an ordinary user may do; a name
    // taken meanwhile is refused.
    const QByteArray self = QByteArray("/proc/self/fd/") + QByteArray::number(fd);
    if (made && ::linkat(AT_FDCWD, self.constData(), m_fd, file.constData(), AT_SYMLINK_FOLLOW) != 0) {
        code = errno;
        made = false;
    }
    if (made)
        return fd;
    ::close(fd);
    return refuse(code ? QStringLiteral("%1 cannot be made: %2").arg(pathOf(name), systemError(code))
                       : QStringLiteral("%1 could not be noted").arg(pathOf(name)),
                  code ? code : EIO);
}

int FolderHandle::createToWrite(const QString &name, QString *why) const
{
    if (!removeFile(name, why))
        return -1;
    const int fd = ::openat(m_fd, native(name).constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        failWith(why, QStringLiteral("%1 cannot be made: %2").arg(pathOf(name), systemError(errno)));
    return fd;
}

bool FolderHandle::moveOver(const QString &name, const FolderHandle &to, const QString &toName, QString *why) const
{
    for (const QString &n : {name, toName})
        if (const QString problem = entryNameProblem(n); !problem.isEmpty())
            return failWith(why, problem);
    // renameat replaces a file or a link under toName, never what a link leads to.
    if (::renameat(m_fd, native(name).constData(), to.fd(), native(toName).constData()) == 0)
        return true;
    return failWith(why, QStringLiteral("%1 cannot be moved to %2: %3").arg(pathOf(name), to.pathOf(toName), systemError(errno)));
}

bool FolderHandle::renameKeepingOthers(const QString &name, const QString &toName, QString *why) const
{
    struct stat from{}, there{};
    if (kindAt(toName, &there) == RecordFile::Kind::Missing || kindAt(name, &from) == RecordFile::Kind::Missing ||
        from.st_dev != there.st_dev || from.st_ino != there.st_ino)
        return moveTo(name, *this, toName, why);
    // The same file under both spellings: only its name changes.
    if (::renameat(m_fd, native(name).constData(), m_fd, native(toName).constData()) == 0)
        return true;
    return failWith(why, QStringLiteral("%1 cannot be renamed to %2: %3").arg(pathOf(name), toName, systemError(errno)));
}

bool FolderHandle::setModified(const QString &name, const QDateTime &when, QString *why) const
{
    if (const QString problem = entryNameProblem(name); !problem.isEmpty())
        return failWith(why, problem);
    const struct timespec times[2] = {{0, UTIME_OMIT}, {time_t(when.toSecsSinceEpoch()), 0}};
    if (::utimensat(m_fd, native(name).constData(), times, AT_SYMLINK_NOFOLLOW) == 0)
        return true;
    return failWith(why, QStringLiteral("%1 cannot be dated: %2").arg(pathOf(name), systemError(errno)));
}

// ---- The write layer's own steps ----

namespace {
std::atomic<unsigned> g_refusals{0};
constexpr unsigned kNoHardLinks = 1, kNoRenameFlags = 2, kNoColons = 4;

bool refuses(unsigned what)
{
    return (g_refusals.load(std::memory_order_relaxed) & what) != 0;
}

int hardLinkAt(int fromFd, const char *from, int toFd, const char *to, int flags)
{
    if (refuses(kNoHardLinks)) {
        errno = EPERM; // as FAT and exFAT answer
        return -1;
    }
    return ::linkat(fromFd, from, toFd, to, flags);
}

int unnamedFileIn(int folderFd)
{
    if (refuses(kNoHardLinks)) {
        errno = EOPNOTSUPP; // as FAT, exFAT and network shares answer
        return -1;
    }
    return ::openat(folderFd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0644);
}

int renameAt2(int fromFd, const char *from, int toFd, const char *to, unsigned flags)
{
    if (flags != 0 && refuses(kNoRenameFlags)) {
        errno = EINVAL; // as a network share answers
        return -1;
    }
    return ::renameat2(fromFd, from, toFd, to, flags);
}

bool sameNames(const QString &a, const QString &b, QString *why)
{
    for (const QString &n : {a, b})
        if (const QString problem = entryNameProblem(n); !problem.isEmpty())
            return failWith(why, problem);
    return true;
}
} // namespace

void FolderHandle::setRefusalsForTesting(const Refusals &refusals)
{
    g_refusals.store((refusals.hardLinks ? kNoHardLinks : 0) | (refusals.renameFlags ? kNoRenameFlags : 0) |
                     (refusals.colons ? kNoColons : 0));
}

namespace {
// Why a new file may not be made under name in the folder open as folderFd, as the system would
// say it (0 when it may); *file: the name as the system takes it.
int newFileRefusal(int folderFd, const QString &name, QByteArray *file)
{
    if (folderFd < 0)
        return EBADF;
    if (!entryNameProblem(name).isEmpty())
        return EINVAL;
    *file = native(name);
    return refuses(kNoColons) && file->contains(':') ? EINVAL : 0;
}

// Writes bytes whole into fd and syncs them: only a synced file may take an old one's place (a
// power cut must not leave an empty file). 0, or the system's error.
int writeSyncedInto(int fd, const QByteArray &bytes)
{
    const int code = writeWhole(fd, bytes.constData(), bytes.size());
    return code == 0 && ::fsync(fd) != 0 ? errno : code;
}

// Closes fd, the new file made as file in folderFd, and removes that file again when code (or
// the closing) tells of a failure; the code.
int closeNew(int folderFd, int fd, const QByteArray &file, int code)
{
    if (::close(fd) != 0 && code == 0 && errno != EINTR)
        code = errno;
    if (code != 0)
        ::unlinkat(folderFd, file.constData(), 0);
    return code;
}
} // namespace

int FolderHandle::writeSynced(const QString &name, const QByteArray &bytes, mode_t mode, struct stat *written, bool *made) const
{
    *made = false;
    QByteArray file;
    if (const int refused = newFileRefusal(m_fd, name, &file))
        return refused;
    const int fd = ::openat(m_fd, file.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno;
    *made = true;
    if (mode != 0 && ::fchmod(fd, mode) != 0)
        PollixLog(QStringLiteral("Could not give %1 the permissions of the file it replaces: %2").arg(name, systemError(errno)));
    int code = writeSyncedInto(fd, bytes);
    if (code == 0 && ::fstat(fd, written) != 0)
        code = errno;
    return closeNew(m_fd, fd, file, code);
}

int FolderHandle::writeSelfNoted(const QString &name, const std::function<QByteArray(const struct stat &)> &note,
                                 struct stat *written) const
{
    QByteArray file;
    if (const int refused = newFileRefusal(m_fd, name, &file))
        return refused;
    // Without a name first; where that fails in any way (no unnamed files on this disk, no /proc
    // to name one through), the file is made under its name and answers for the disk.
    if (const int unnamed = unnamedFileIn(m_fd); unnamed >= 0) {
        int code = ::fstat(unnamed, written) == 0 ? writeSyncedInto(unnamed, note(*written)) : errno;
        if (code == 0) {
            const QByteArray self = QByteArray("/proc/self/fd/") + QByteArray::number(unnamed);
            code = ::linkat(AT_FDCWD, self.constData(), m_fd, file.constData(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
        }
        ::close(unnamed);
        // Done, or the name itself refused (taken, or one the disk cannot hold).
        if (code == 0 || code == EEXIST || code == EINVAL || code == ENAMETOOLONG)
            return code;
    }
    const int fd = ::openat(m_fd, file.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    return closeNew(m_fd, fd, file, ::fstat(fd, written) == 0 ? writeSyncedInto(fd, note(*written)) : errno);
}

bool FolderHandle::mayWrite(const QString &name) const
{
    return m_fd >= 0 && entryNameProblem(name).isEmpty() && ::faccessat(m_fd, native(name).constData(), W_OK, 0) == 0;
}

bool FolderHandle::renameOver(const QString &name, const QString &toName, QString *why, const struct stat *written) const
{
    if (!sameNames(name, toName, why))
        return false;
    if (::renameat(m_fd, native(name).constData(), m_fd, native(toName).constData()) != 0)
        return failWith(why, QStringLiteral("%1 cannot be moved to %2: %3").arg(pathOf(name), pathOf(toName), systemError(errno)));
    if (written && !leadsTo(toName, *written))
        return failWith(why, notTheFileWritten(name, toName));
    return true;
}

bool FolderHandle::exchange(const QString &name, const QString &otherName, QString *why, bool *unsupported) const
{
    if (unsupported)
        *unsupported = false;
    if (!sameNames(name, otherName, why))
        return false;
    if (renameAt2(m_fd, native(name).constData(), m_fd, native(otherName).constData(), RENAME_EXCHANGE) == 0)
        return true;
    const int code = errno;
    if (unsupported)
        *unsupported = code == EINVAL || code == ENOSYS || code == ENOTSUP;
    return failWith(why, QStringLiteral("%1 and %2 cannot change places: %3").arg(pathOf(name), pathOf(otherName), systemError(code)));
}

FolderHandle FolderHandle::makeNewFolder(const QString &name, mode_t mode, QString *why) const
{
    if (const QString problem = entryNameProblem(name); !problem.isEmpty()) {
        failWith(why, problem);
        return {};
    }
    if (::mkdirat(m_fd, native(name).constData(), mode) != 0) {
        failWith(why, QStringLiteral("%1 cannot be made: %2").arg(pathOf(name), systemError(errno)));
        return {};
    }
    return openFolder(name, why);
}

bool FolderHandle::removeEmptyFolder(const QString &name, QString *why) const
{
    if (const QString problem = entryNameProblem(name); !problem.isEmpty())
        return failWith(why, problem);
    if (::unlinkat(m_fd, native(name).constData(), AT_REMOVEDIR) == 0 || errno == ENOENT)
        return true;
    return failWith(why, QStringLiteral("%1 cannot be removed: %2").arg(pathOf(name), systemError(errno)));
}

// ---- The application folder's lock ----

int FolderHandle::openToLock(const QString &name, bool create) const
{
    if (!entryNameProblem(name).isEmpty()) {
        errno = EINVAL;
        return -1;
    }
    const QByteArray file = native(name);
    constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    int fd = ::openat(m_fd, file.constData(), O_RDWR | (create ? O_CREAT : 0) | kFlags, 0644);
    if (fd < 0 && errno == EACCES)
        fd = ::openat(m_fd, file.constData(), O_RDONLY | kFlags);
    return fd;
}

int FolderHandle::createLockedFile(const QString &name, const QByteArray &bytes, QString *why, bool *takenAway) const
{
    if (takenAway)
        *takenAway = false;
    if (const QString problem = entryNameProblem(name); !problem.isEmpty()) {
        failWith(why, problem);
        return -1;
    }
    const QByteArray file = native(name);
    int fd = unnamedFileIn(m_fd);
    const bool unnamed = fd >= 0;
    if (!unnamed)
        fd = ::openat(m_fd, file.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        failWith(why, QStringLiteral("%1 cannot be made: %2").arg(pathOf(name), systemError(errno)));
        return -1;
    }
    struct stat own{};
    const auto give = [&](const QString &reason, bool away) {
        // Removed by name only while the name still leads to this very file.
        if (!unnamed && !away && ::fstat(fd, &own) == 0)
            removeWritten(name, own);
        ::close(fd);
        if (takenAway)
            *takenAway = away;
        failWith(why, reason);
        return -1;
    };
    // Named from its making, the file may be locked by a start tidying the folder in the moment
    // before this lock: that start removes it, and this one leaves it to it.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        return give(QStringLiteral("%1 was taken away as it was made").arg(pathOf(name)), true);
    int code = writeWhole(fd, bytes.constData(), bytes.size());
    if (code == 0 && ::fsync(fd) != 0)
        code = errno;
    if (code != 0)
        return give(QStringLiteral("%1 cannot be written: %2").arg(pathOf(name), systemError(code)), false);
    if (unnamed) {
        const QByteArray self = QByteArray("/proc/self/fd/") + QByteArray::number(fd);
        if (::linkat(AT_FDCWD, self.constData(), m_fd, file.constData(), AT_SYMLINK_FOLLOW) != 0)
            return give(QStringLiteral("%1 cannot be made: %2").arg(pathOf(name), systemError(errno)), false);
    }
    if (::fstat(fd, &own) != 0 || !leadsTo(name, own))
        return give(QStringLiteral("%1 was taken away as it was made").arg(pathOf(name)), true);
    return fd;
}
