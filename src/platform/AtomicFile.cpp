#include "AtomicFile.h"

#include "FileVersions.h"
#include "FolderHandle.h"
#include "Log.h"
#include "RecordFile.h"
#include "TakenFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
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
struct Holder
{
    const void *owner;
    QStringList folders;
    std::function<QString()> lostWhy;
};
QList<Holder> g_holders;
std::function<void(const QString &)> g_holderCheckHook;

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

QString systemError(int code = errno)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

struct Outcome
{
    AtomicFile::Failure step = AtomicFile::Failure::None;
    QString why;
};

// A side file of target's made in folder under a name no file has, written whole and synced:
// its name (in that folder), or empty with the outcome; *written: what the file is.
QString writeSide(const FolderHandle &folder, const QString &target, SideFiles::Kind kind, const QByteArray &data, mode_t mode,
                  Outcome *outcome, struct stat *written)
{
    // Named by chance: one taken meanwhile is given up for another.
    for (int tries = 0; tries < 16; ++tries) {
        const QString side = QFileInfo(SideFiles::nameBeside(target, kind)).fileName();
        bool made = false;
        const int code = folder.writeSynced(side, data, mode, written, &made);
        if (code == 0) {
            *outcome = {};
            return side;
        }
        *outcome = made ? Outcome{AtomicFile::Failure::Write, systemError(code)}
                        : Outcome{AtomicFile::Failure::Open,
                                  AtomicFile::notSavedIn(folder.path(), QFileInfo(target).fileName(), systemError(code))};
        if (made || code != EEXIST)
            break;
    }
    return QString();
}

// Where path really lies (a link under its own name counts as the link); empty when its folder
// is not there.
QString realPathOf(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || !info.exists()) {
        const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
        return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + info.fileName();
    }
    return info.canonicalFilePath();
}

// path as written, made absolute and clean without a look at the disk; empty where a ".." would
// have to be taken back through what may be a link.
QString writtenPath(const QString &path)
{
    const QString absolute = QDir::isAbsolutePath(path) ? path : QDir::currentPath() + QLatin1Char('/') + path;
    return absolute.split(QLatin1Char('/')).contains(QLatin1String("..")) ? QString() : QDir::cleanPath(absolute);
}

bool under(const QString &real, const QString &folder)
{
    return real == folder || real.startsWith(folder + QLatin1Char('/'));
}

bool underAny(const QString &path, const QStringList &folders)
{
    return !path.isEmpty() && std::any_of(folders.cbegin(), folders.cend(), [&](const QString &f) { return under(path, f); });
}

// The reason a change of path is another Pollix's now (mustBeThere: only where something is at
// path; a file not there yet is nobody's work). A data folder's writes, moves and removals each
// ask, thousands in a restore: the folders are noted as written and where they really lie, so a
// path written under one of them costs no look at the disk; only a path under none is resolved
// (it may reach one through a link).
QString takenReason(const QString &path, bool mustBeThere)
{
    QStringList refused;
    QString reason;
    QList<Holder> holders;
    std::function<void(const QString &)> hook;
    {
        std::lock_guard lock(g_hookMutex);
        refused = g_refusedFolders;
        reason = g_refusal;
        holders = g_holders;
        hook = g_holderCheckHook;
    }
    const auto held = [&](const QString &at) {
        return underAny(at, refused) ||
               std::any_of(holders.cbegin(), holders.cend(), [&](const Holder &h) { return underAny(at, h.folders); });
    };
    QString at = writtenPath(path);
    if (!held(at)) {
        at = realPathOf(path);
        if (!held(at))
            return QString();
    }
    struct stat st{};
    if (mustBeThere && ::lstat(native(path).constData(), &st) != 0)
        return QString();
    if (underAny(at, refused))
        return reason;
    if (hook)
        hook(path);
    // Each check holds what it asks (never its owner, which may be gone by now).
    for (const Holder &holder : std::as_const(holders))
        if (underAny(at, holder.folders))
            if (const QString lost = holder.lostWhy(); !lost.isEmpty())
                return lost;
    return QString();
}

bool anyoneTakes()
{
    std::lock_guard lock(g_hookMutex);
    return !g_refusedFolders.isEmpty() || !g_holders.isEmpty();
}

// The folders as written and where they really lie, resolved once as they are noted.
QStringList notedFolders(const QStringList &folders)
{
    QStringList given = folders;
    given.removeDuplicates();
    QStringList noted;
    for (const QString &folder : std::as_const(given))
        for (const QString &form : {writtenPath(folder), QFileInfo(folder).canonicalFilePath()})
            if (!form.isEmpty() && !noted.contains(form))
                noted << form;
    return noted;
}
} // namespace

namespace {
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

bool writeIn(const FolderHandle &folder, const QString &name, const QString &path, const QByteArray &data, QString *errorText,
             AtomicFile::Failure *failure);
} // namespace

namespace AtomicFile {

bool writeBeside(const QString &target, SideFiles::Kind kind, const QByteArray &data, QString *sidePath,
                 QString *errorText, Failure *failure)
{
    if (sidePath)
        sidePath->clear();
    QString why;
    const FolderHandle folder = TakenFolders::reachToWrite(QFileInfo(target).absolutePath(), &why);
    if (!folder.isOpen())
        return report(target, {Failure::Open, why}, errorText, failure);
    QString side;
    struct stat written{};
    const bool done = writeBeside(folder, QFileInfo(target).fileName(), kind, data, &side, &written, errorText, failure);
    if (sidePath && done)
        *sidePath = folder.pathOf(side);
    return done;
}

bool writeBeside(const FolderHandle &folder, const QString &name, SideFiles::Kind kind, const QByteArray &data,
                 QString *sideName, struct stat *written, QString *errorText, Failure *failure)
{
    struct stat st{};
    const mode_t mode = folder.kindAt(name, &st) == RecordFile::Kind::File ? (st.st_mode & 07777) : 0;
    Outcome outcome;
    *sideName = writeSide(folder, folder.pathOf(name), kind, data, mode, &outcome, written);
    return report(folder.pathOf(name), outcome, errorText, failure);
}

bool write(const QString &path, const QByteArray &data, QString *errorText, Failure *failure)
{
    writeBegins(path);
    if (path.isEmpty())
        return report(path, {Failure::Open, QStringLiteral("empty path")}, errorText, failure);
    const QFileInfo info(path);
    QString why;
    // Reached as every change reaches it: a folder below the application folder swapped for a
    // link since the start leads the file nowhere else; from here on everything goes through the
    // folder held open.
    const FolderHandle folder = TakenFolders::reachToWrite(info.absolutePath(), &why);
    if (!folder.isOpen())
        return report(path, {Failure::Open, why}, errorText, failure);
    return writeIn(folder, info.fileName(), path, data, errorText, failure);
}

bool write(const FolderHandle &folder, const QString &name, const QByteArray &data, QString *errorText, Failure *failure)
{
    writeBegins(folder.pathOf(name));
    if (!folder.isOpen())
        return report(folder.pathOf(name), {Failure::Open, systemError(EBADF)}, errorText, failure);
    return writeIn(folder, name, folder.pathOf(name), data, errorText, failure);
}

} // namespace AtomicFile

namespace {
// name in folder, which path names for the hooks, the checks and the messages.
bool writeIn(const FolderHandle &folder, const QString &name, const QString &path, const QByteArray &data, QString *errorText,
             AtomicFile::Failure *failure)
{
    using namespace AtomicFile;
    if (const QString problem = RecordFile::nameProblem(name); !problem.isEmpty() || name.contains(QLatin1Char('/')))
        return report(path, {Failure::Open, problem.isEmpty() ? systemError(EINVAL) : problem}, errorText, failure);
    // What lies under the name now, never followed: a link there is replaced by the file, and
    // what it leads to stays as it is.
    struct stat st{};
    const RecordFile::Kind kind = folder.kindAt(name, &st);
    if (kind == RecordFile::Kind::Folder)
        return report(path, {Failure::Open, systemError(EISDIR)}, errorText, failure);
    if (kind == RecordFile::Kind::File && !folder.mayWrite(name))
        return report(path, {Failure::Open, systemError()}, errorText, failure);
    if (QString why; changeRefused(path, &why))
        return report(path, {Failure::Open, why}, errorText, failure);
    // Only over the version this Pollix read or wrote: a save made since by anyone stays.
    if (const QString changed = kind == RecordFile::Kind::Missing ? QString() : FileVersions::changedWhy(folder, name, path, &st);
        !changed.isEmpty())
        return report(path, {Failure::Commit, changed}, errorText, failure);
    Outcome outcome;
    struct stat written{};
    const QString temporary = writeSide(folder, path, SideFiles::Kind::Temporary, data,
                                        kind == RecordFile::Kind::File ? (st.st_mode & 07777) : 0, &outcome, &written);
    if (temporary.isEmpty())
        return report(path, outcome, errorText, failure);
    if (injectedFailure(path)) {
        folder.removeWritten(temporary, written);
        return report(path, {Failure::Write, QStringLiteral("write interrupted")}, errorText, failure);
    }
    QString why;
    // A Pollix stopped between its look at the lock and here (a long sync on a hung share) may
    // have lost the folder to another start meanwhile, which saved over this file since: the
    // lock is asked again right before the rename that would replace that save.
    if (kind != RecordFile::Kind::Missing && changeRefused(path, &why)) {
        folder.removeWritten(temporary, written);
        return report(path, {Failure::Commit, why}, errorText, failure);
    }
    // A file that was not there when the write began replaces none that came meanwhile (another
    // Pollix's new session of the same name, say); one that was replaces only the version this
    // Pollix read or wrote, looked at again as it is replaced. Either way the name must then lead
    // to the very file written: whatever was put under the temporary name meanwhile (a link, a
    // pipe, a folder) is never saved as the file.
    if (!FileVersions::putInPlace(folder, temporary, name, path, kind != RecordFile::Kind::Missing, written, data, &why)) {
        if (kind == RecordFile::Kind::Missing && folder.kindAt(name) != RecordFile::Kind::Missing && !folder.leadsTo(name, written))
            why = QStringLiteral("%1 was made meanwhile (%2)").arg(path, systemError(EEXIST));
        folder.removeWritten(temporary, written);
        return report(path, {Failure::Commit, why}, errorText, failure);
    }
    // The new name lasts only once its folder is on the disk too.
    if (!syncAfterRename(folder, name, &why))
        return report(path, {Failure::Unsynced, why}, errorText, failure);
    return report(path, {}, errorText, failure);
}
} // namespace

namespace AtomicFile {

QString notSavedIn(const QString &folder, const QString &name, const QString &reason)
{
    return QStringLiteral("%1 cannot be saved in the folder %2: %3").arg(name, QDir::toNativeSeparators(folder), reason);
}

namespace {
// The one road for a rename in place whose folder did not reach the disk.
bool toldUnsynced(const QString &path, const QString &why, QString *errorText)
{
    PollixLog(QStringLiteral("%1 is in place, but may not survive a power cut: %2").arg(path, why));
    std::function<void(const QString &, const QString &)> handler;
    {
        std::lock_guard lock(g_hookMutex);
        handler = g_unsyncedHandler;
    }
    if (handler)
        handler(path, why);
    if (errorText)
        *errorText = why;
    return false;
}
} // namespace

bool syncAfterRename(const QString &path, QString *errorText)
{
    QString why;
    return syncFolderOf(path, &why) || toldUnsynced(path, why, errorText);
}

bool syncAfterRename(const FolderHandle &folder, const QString &name, QString *errorText)
{
    // As syncFolder: a file system whose folders cannot be synced apart from their files counts.
    // A folder held only to reach what is in it is synced as syncFolder does it, by its path.
    if (::fsync(folder.fd()) == 0 || errno == EINVAL || errno == ENOTSUP)
        return true;
    if (errno == EBADF)
        return syncAfterRename(folder.pathOf(name), errorText);
    return toldUnsynced(folder.pathOf(name), QStringLiteral("%1 cannot be written to disk: %2").arg(folder.path(), systemError()),
                        errorText);
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
    const QStringList noted = notedFolders(folders);
    std::lock_guard lock(g_hookMutex);
    g_refusedFolders = noted;
    g_refusal = reason;
}

void setHolderCheck(const void *owner, const QStringList &folders, std::function<QString()> lostWhy)
{
    const QStringList noted = notedFolders(folders);
    std::lock_guard lock(g_hookMutex);
    g_holders.removeIf([&](const Holder &h) { return h.owner == owner; });
    if (lostWhy)
        g_holders << Holder{owner, noted, std::move(lostWhy)};
}

void setHolderCheckHook(std::function<void(const QString &path)> hook)
{
    std::lock_guard lock(g_hookMutex);
    g_holderCheckHook = std::move(hook);
}

bool changeRefused(const QString &path, QString *errorText)
{
    if (!anyoneTakes())
        return false;
    const QString reason = takenReason(path, true);
    if (reason.isEmpty())
        return false;
    if (errorText)
        *errorText = reason;
    return true;
}

bool folderTaken(const QString &path, QString *errorText)
{
    if (!anyoneTakes())
        return false;
    const QString reason = takenReason(path, false);
    if (reason.isEmpty())
        return false;
    if (errorText)
        *errorText = reason;
    return true;
}

bool syncFolder(const QString &folder, QString *errorText)
{
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        if (errorText)
            *errorText = QStringLiteral("%1: %2").arg(folder, systemError());
        return false;
    }
    const int rc = ::fsync(fd);
    const int code = errno;
    ::close(fd);
    // EINVAL: a file system whose folders cannot be synced apart from their files.
    if (rc == 0 || code == EINVAL || code == ENOTSUP)
        return true;
    if (errorText)
        *errorText = QStringLiteral("%1 cannot be written to disk: %2").arg(folder, systemError(code));
    return false;
}

bool syncFolder(const FolderHandle &folder, QString *errorText)
{
    if (folder.isOpen() && (::fsync(folder.fd()) == 0 || errno == EINVAL || errno == ENOTSUP))
        return true;
    if (errorText)
        *errorText = QStringLiteral("%1 cannot be written to disk: %2").arg(folder.path(), systemError(folder.isOpen() ? errno : EBADF));
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
