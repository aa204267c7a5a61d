#include "FileVersions.h"

#include "ContentHash.h"
#include "FolderHandle.h"
#include "RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A version noted: its stamp, and what the file held then where that is known (the bytes read,
// or those found in place on a disk whose stamps vouch for nothing).
struct Noted
{
    ContentHash::Stamp stamp;
    QByteArray digest;
};

std::mutex g_mutex;
// One note for each file this Pollix read to change: a few hundred bytes each, also for a data
// folder of ten thousand sessions all read by a report.
QHash<QString, Noted> g_noted;
std::function<void(const QString &)> g_replaceHook;

// One spelling per file, so that a read and a later save of the same file meet.
QString key(const QString &path)
{
    return QDir::cleanPath(QDir::isAbsolutePath(path) ? path : QDir::currentPath() + QLatin1Char('/') + path);
}

QString changedWords()
{
    return QStringLiteral("was changed by another program since Pollix read it");
}

std::optional<Noted> notedFor(const QString &path)
{
    const QString k = key(path);
    std::lock_guard lock(g_mutex);
    const auto it = g_noted.constFind(k);
    return it == g_noted.constEnd() ? std::nullopt : std::optional(*it);
}

void note(const QString &path, const struct stat &st, bool onlyOverANote, const QByteArray &digest)
{
    const QString k = key(path);
    const ContentHash::Stamp version = ContentHash::stampOf(st);
    std::lock_guard lock(g_mutex);
    if (!onlyOverANote || g_noted.contains(k))
        g_noted.insert(k, {version, digest});
}

// The digest of the regular file fd, provided it is still the file st told (device and inode);
// none otherwise. fd is closed.
std::optional<QByteArray> digestOfOpened(int fd, const struct stat &st)
{
    if (fd < 0)
        return std::nullopt;
    struct stat own{};
    std::optional<QByteArray> digest;
    if (::fstat(fd, &own) == 0 && S_ISREG(own.st_mode) && own.st_dev == st.st_dev && own.st_ino == st.st_ino)
        digest = ContentHash::ofDescriptor(fd, nullptr);
    ::close(fd);
    return digest;
}

// What lies under name in folder holds now (a link followed, as a read went through it); none
// when it cannot be read.
std::optional<QByteArray> digestAt(const FolderHandle &folder, const QString &name, bool followLink)
{
    struct stat st{};
    if (!followLink)
        return digestOfOpened(folder.openFile(name, nullptr, &st), st);
    // Not waiting on a pipe put there, and never a device: only a regular file is read.
    const int fd = ::openat(folder.fd(), QFile::encodeName(name).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        ::close(fd);
        return std::nullopt;
    }
    return digestOfOpened(fd, st);
}
} // namespace

namespace FileVersions {

std::optional<QByteArray> readToChange(const QString &path, QString *why)
{
    struct stat opened{};
    std::optional<QByteArray> bytes = RegularFile::readAll(path, why, RegularFile::kWholeLimit, nullptr, &opened);
    // What was read, for a disk whose stamps vouch for nothing: taken of the bytes at hand, it
    // costs no look at the disk.
    if (bytes)
        note(path, opened, false, ContentHash::of(*bytes));
    return bytes;
}

void noteWritten(const QString &path, const struct stat &written, QByteArrayView bytes)
{
    if (!notedFor(path))
        return;
    // Where the stamps vouch, they are the version; elsewhere what was written is. Either is
    // taken of the write itself: a look at the file now may find another program's bytes.
    const QString k = key(path);
    const QByteArray digest = ContentHash::stampsExactAt(QFileInfo(k).absolutePath()) ? QByteArray() : ContentHash::of(bytes);
    note(path, written, true, digest);
}

QString changedText(const QString &path)
{
    return QStringLiteral("%1 %2, so it was not saved over: the other program's version stays.").arg(path, changedWords());
}

bool isChangedText(const QString &why)
{
    return why.contains(changedWords());
}

QString changedWhy(const FolderHandle &folder, const QString &name, const QString &path, const struct stat *seen)
{
    const std::optional<Noted> noted = notedFor(path);
    if (!noted)
        return QString();
    struct stat now{};
    RecordFile::Kind kind = RecordFile::Kind::File;
    if (seen)
        now = *seen;
    else
        kind = folder.kindAt(name, &now);
    if (kind == RecordFile::Kind::Missing)
        return QString();
    // A link was read as the file it leads to.
    const bool link = S_ISLNK(now.st_mode);
    if (link && ::fstatat(folder.fd(), QFile::encodeName(name).constData(), &now, 0) != 0)
        return changedText(path);
    const bool sameStamp = ContentHash::stampOf(now).sameFileAndBytes(noted->stamp);
    // A network share or a FUSE disk may give a file nobody touched a new inode number, or tell
    // an old stamp of a file changed on the server, and a disk of whole seconds the stamp of
    // Pollix's own write to another's made in its second: there what the file holds decides.
    if (noted->digest.isEmpty() || ContentHash::stampsExactOn(folder.fd()))
        return sameStamp ? QString() : changedText(path);
    const std::optional<QByteArray> digest = digestAt(folder, name, link);
    return digest == noted->digest ? QString() : changedText(path);
}

bool putInPlace(const FolderHandle &folder, const QString &side, const QString &name, const QString &path, bool existed,
                const struct stat &written, QByteArrayView bytes, QString *why)
{
    bool done = false;
    if (!existed) {
        done = folder.moveChecked(side, name, written, why);
    } else {
        replaceBegins(path);
        done = folder.replaceChecked(side, name, written, why,
                                     [&](const QString &replaced) { return changedWhy(folder, replaced, path); });
    }
    // The version is the file as written, never what a look now finds there: another program may
    // have copied its own bytes into it since the last look, and its next save must not pass.
    if (done)
        noteWritten(path, written, bytes);
    return done;
}

void setReplaceHook(std::function<void(const QString &path)> hook)
{
    std::lock_guard lock(g_mutex);
    g_replaceHook = std::move(hook);
}

void replaceBegins(const QString &path)
{
    std::function<void(const QString &)> hook;
    {
        std::lock_guard lock(g_mutex);
        hook = g_replaceHook;
    }
    if (hook)
        hook(path);
}

} // namespace FileVersions
