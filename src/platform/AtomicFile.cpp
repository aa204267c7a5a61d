#include "AtomicFile.h"

#include "FolderHandle.h"
#include "Log.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::mutex g_hookMutex;
std::function<bool(const QString &)> g_failureHook;
std::function<void(const QString &, const QString &)> g_unsyncedHandler;
std::function<void(const QString &)> g_beginHook;
QStringList g_refusedFolders;
QString g_refusal;

bool injectedFailure(const QString &path)
{
    std::lock_guard lock(g_hookMutex);
    return g_failureHook && g_failureHook(path);
}

void writeBegins(const QString &path)
{
    std::function<void(const QString &)> hook;
    {
        std::lock_guard lock(g_hookMutex);
        hook = g_beginHook;
    }
    if (hook)
        hook(path);
}

// Logs that path is in place but its folder could not be synced, and tells the handler.
void tellUnsynced(const QString &path, const QString &why)
{
    PollixLog(QStringLiteral("%1 is in place, but may not survive a power cut: %2").arg(path, why));
    std::function<void(const QString &, const QString &)> handler;
    {
        std::lock_guard lock(g_hookMutex);
        handler = g_unsyncedHandler;
    }
    if (handler)
        handler(path, why);
}

QString systemError(int code = errno)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

// A link is written through: the file it names is the one replaced, and the link stays.
QString finalPath(const QString &path)
{
    QFileInfo info(path);
    for (int hops = 0; info.isSymLink() && hops < 16; ++hops)
        info.setFile(info.symLinkTarget());
    return info.filePath();
}

struct Outcome
{
    AtomicFile::Failure step = AtomicFile::Failure::None;
    QString why;
};

// Why a target cannot be replaced at all; empty when it can be tried.
Outcome targetProblem(const QString &target)
{
    const QFileInfo info(target);
    if (info.isDir())
        return {AtomicFile::Failure::Open, systemError(EISDIR)};
    if (info.exists() && ::access(native(target).constData(), W_OK) != 0)
        return {AtomicFile::Failure::Open, systemError()};
    return {};
}

// Creates name in the folder dirFd (AT_FDCWD: name is a path), which must not exist, writes data
// whole and syncs it. On failure it is gone.
Outcome writeFresh(int dirFd, const QString &path, const QByteArray &data, mode_t mode)
{
    const QByteArray name = native(path);
    const int fd = ::openat(dirFd, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return {AtomicFile::Failure::Open, systemError()};
    auto abandon = [&](int code) {
        ::close(fd);
        ::unlinkat(dirFd, name.constData(), 0);
        return Outcome{AtomicFile::Failure::Write, systemError(code)};
    };
    if (mode != 0 && ::fchmod(fd, mode) != 0)
        PollixLog(QStringLiteral("Could not give %1 the permissions of the file it replaces: %2").arg(path, systemError()));
    const char *at = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, at, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return abandon(n < 0 ? errno : ENOSPC);
        at += n;
        left -= n;
    }
    // Only a synced file may take the old one's place: a power cut must not leave an empty file.
    if (::fsync(fd) != 0)
        return abandon(errno);
    if (::close(fd) != 0) {
        const int code = errno;
        ::unlinkat(dirFd, name.constData(), 0);
        return {AtomicFile::Failure::Write, systemError(code)};
    }
    return {};
}

// Syncs the folder open as fd; 0, or the error. A file system whose folders cannot be synced
// apart from their files (EINVAL) counts as synced.
int syncFolderFd(int fd)
{
    if (::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP)
        return 0;
    return errno;
}

bool report(const QString &path, const Outcome &outcome, QString *errorText, AtomicFile::Failure *failure)
{
    if (failure)
        *failure = outcome.step;
    if (outcome.step == AtomicFile::Failure::None)
        return true;
    if (errorText)
        *errorText = outcome.why;
    // In place: logged where the folder's sync failed.
    if (outcome.step == AtomicFile::Failure::Unsynced)
        return true;
    PollixLog(QStringLiteral("Failed to write %1: %2").arg(path, outcome.why));
    return false;
}

mode_t modeOf(const QString &target)
{
    struct stat st;
    return ::stat(native(target).constData(), &st) == 0 ? (st.st_mode & 07777) : 0;
}
} // namespace

namespace AtomicFile {

bool writeBeside(const QString &target, SideFiles::Kind kind, const QByteArray &data, QString *sidePath,
                 QString *errorText, Failure *failure)
{
    const QString side = SideFiles::nameBeside(target, kind);
    const Outcome outcome = writeFresh(AT_FDCWD, side, data, modeOf(target));
    if (sidePath)
        *sidePath = outcome.step == Failure::None ? side : QString();
    return report(target, outcome, errorText, failure);
}

bool write(const QString &path, const QByteArray &data, QString *errorText, Failure *failure)
{
    writeBegins(path);
    if (path.isEmpty())
        return report(path, {Failure::Open, QStringLiteral("empty path")}, errorText, failure);
    const QString target = finalPath(path);
    if (const Outcome problem = targetProblem(target); problem.step != Failure::None)
        return report(path, problem, errorText, failure);
    if (QString why; changeRefused(target, &why))
        return report(path, {Failure::Open, why}, errorText, failure);
    QString temporary;
    if (!writeBeside(target, SideFiles::Kind::Temporary, data, &temporary, errorText, failure))
        return false;
    if (injectedFailure(path)) {
        ::unlink(native(temporary).constData());
        return report(path, {Failure::Write, QStringLiteral("write interrupted")}, errorText, failure);
    }
    if (::rename(native(temporary).constData(), native(target).constData()) != 0) {
        const Outcome moved{Failure::Commit, systemError()};
        ::unlink(native(temporary).constData());
        return report(path, moved, errorText, failure);
    }
    // The new name lasts only once its folder is on the disk too.
    QString why;
    if (!syncAfterRename(target, &why))
        return report(path, {Failure::Unsynced, why}, errorText, failure);
    return report(path, {}, errorText, failure);
}

bool writeIn(const FolderHandle &folder, const QString &name, const QByteArray &data, QString *errorText, Failure *failure)
{
    const QString path = folder.pathOf(name);
    writeBegins(path);
    if (!folder.isOpen())
        return report(path, {Failure::Open, systemError(EBADF)}, errorText, failure);
    if (const QString problem = RecordFile::nameProblem(name); !problem.isEmpty() || name.contains(QLatin1Char('/')))
        return report(path, {Failure::Open, problem.isEmpty() ? systemError(EINVAL) : problem}, errorText, failure);
    struct stat st{};
    const RecordFile::Kind kind = folder.kindAt(name, &st);
    if (kind == RecordFile::Kind::Folder)
        return report(path, {Failure::Open, systemError(EISDIR)}, errorText, failure);
    if (QString why; changeRefused(path, &why))
        return report(path, {Failure::Open, why}, errorText, failure);
    // Named in the folder held open and renamed over name there: whatever name leads to by
    // then (a link put in its place) is replaced, never written through.
    const QString temporary = QFileInfo(SideFiles::nameBeside(path, SideFiles::Kind::Temporary)).fileName();
    if (const Outcome written = writeFresh(folder.fd(), temporary, data, kind == RecordFile::Kind::File ? st.st_mode & 07777 : 0);
        written.step != Failure::None)
        return report(path, written, errorText, failure);
    const QByteArray temporaryName = native(temporary);
    if (injectedFailure(path)) {
        ::unlinkat(folder.fd(), temporaryName.constData(), 0);
        return report(path, {Failure::Write, QStringLiteral("write interrupted")}, errorText, failure);
    }
    if (::renameat(folder.fd(), temporaryName.constData(), folder.fd(), native(name).constData()) != 0) {
        const Outcome moved{Failure::Commit, systemError()};
        ::unlinkat(folder.fd(), temporaryName.constData(), 0);
        return report(path, moved, errorText, failure);
    }
    if (const int code = syncFolderFd(folder.fd()); code != 0) {
        const QString why = QStringLiteral("%1 cannot be written to disk: %2").arg(folder.path(), systemError(code));
        tellUnsynced(path, why);
        return report(path, {Failure::Unsynced, why}, errorText, failure);
    }
    return report(path, {}, errorText, failure);
}

bool syncAfterRename(const QString &path, QString *errorText)
{
    QString why;
    if (syncFolderOf(path, &why))
        return true;
    tellUnsynced(path, why);
    if (errorText)
        *errorText = why;
    return false;
}

void setBeginHook(std::function<void(const QString &path)> hook)
{
    std::lock_guard lock(g_hookMutex);
    g_beginHook = std::move(hook);
}

void setUnsyncedHandler(std::function<void(const QString &, const QString &)> handler)
{
    std::lock_guard lock(g_hookMutex);
    g_unsyncedHandler = std::move(handler);
}

void refuseChangesIn(const QStringList &folders, const QString &reason)
{
    QStringList real;
    for (const QString &folder : folders) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (!canonical.isEmpty())
            real << canonical;
    }
    std::lock_guard lock(g_hookMutex);
    g_refusedFolders = real;
    g_refusal = reason;
}

bool changeRefused(const QString &path, QString *errorText)
{
    QStringList folders;
    QString reason;
    {
        std::lock_guard lock(g_hookMutex);
        if (g_refusedFolders.isEmpty())
            return false;
        folders = g_refusedFolders;
        reason = g_refusal;
    }
    // A file that is not there yet is nobody's work.
    const QFileInfo info(path);
    const QString real = info.isSymLink() ? QFileInfo(info.absolutePath()).canonicalFilePath() + QLatin1Char('/') + info.fileName()
                                          : info.canonicalFilePath();
    if (real.isEmpty())
        return false;
    for (const QString &folder : std::as_const(folders)) {
        if (real == folder || real.startsWith(folder + QLatin1Char('/'))) {
            if (errorText)
                *errorText = reason;
            return true;
        }
    }
    return false;
}

bool syncFolder(const QString &folder, QString *errorText)
{
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        if (errorText)
            *errorText = QStringLiteral("%1: %2").arg(folder, systemError());
        return false;
    }
    const int code = syncFolderFd(fd);
    ::close(fd);
    if (code == 0)
        return true;
    if (errorText)
        *errorText = QStringLiteral("%1 cannot be written to disk: %2").arg(folder, systemError(code));
    return false;
}

bool syncFolderOf(const QString &path, QString *errorText)
{
    return syncFolder(QFileInfo(path).absolutePath(), errorText);
}

bool failureHookFails(const QString &path)
{
    return injectedFailure(path);
}

void setFailureHook(std::function<bool(const QString &)> hook)
{
    std::lock_guard lock(g_hookMutex);
    g_failureHook = std::move(hook);
}

} // namespace AtomicFile
