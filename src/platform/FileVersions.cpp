#include "FileVersions.h"

#include "ContentHash.h"
#include "FolderHandle.h"
#include "RegularFile.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>

namespace {
std::mutex g_mutex;
// One note for each file this Pollix read to change: a few hundred bytes each, also for a data
// folder of ten thousand sessions all read by a report.
QHash<QString, ContentHash::Stamp> g_noted;
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

std::optional<ContentHash::Stamp> notedFor(const QString &path)
{
    const QString k = key(path);
    std::lock_guard lock(g_mutex);
    const auto it = g_noted.constFind(k);
    return it == g_noted.constEnd() ? std::nullopt : std::optional(*it);
}

void note(const QString &path, const struct stat &st, bool onlyOverANote)
{
    const QString k = key(path);
    const ContentHash::Stamp version = ContentHash::stampOf(st);
    std::lock_guard lock(g_mutex);
    if (!onlyOverANote || g_noted.contains(k))
        g_noted.insert(k, version);
}
} // namespace

namespace FileVersions {

std::optional<QByteArray> readToChange(const QString &path, QString *why)
{
    struct stat opened{};
    std::optional<QByteArray> bytes = RegularFile::readAll(path, why, RegularFile::kWholeLimit, nullptr, &opened);
    if (bytes)
        note(path, opened, false);
    return bytes;
}

void noteWritten(const QString &path, const struct stat &st)
{
    note(path, st, true);
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
    const std::optional<ContentHash::Stamp> noted = notedFor(path);
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
    if (S_ISLNK(now.st_mode) && ::fstatat(folder.fd(), QFile::encodeName(name).constData(), &now, 0) != 0)
        return changedText(path);
    return ContentHash::stampOf(now).sameFileAndBytes(*noted) ? QString() : changedText(path);
}

bool putInPlace(const FolderHandle &folder, const QString &side, const QString &name, const QString &path, bool existed,
                const struct stat &written, QString *why)
{
    bool done = false;
    if (!existed) {
        done = folder.moveChecked(side, name, written, why);
    } else {
        replaceBegins(path);
        done = folder.replaceChecked(side, name, written, why,
                                     [&](const QString &replaced) { return changedWhy(folder, replaced, path); });
    }
    // Noted as it lies in place now: what the next save of it must find there.
    if (struct stat now{}; done && folder.kindAt(name, &now) == RecordFile::Kind::File && now.st_dev == written.st_dev &&
                           now.st_ino == written.st_ino)
        noteWritten(path, now);
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
