#include "RecordFile.h"

#include "FolderHandle.h"
#include "TakenFolders.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

std::mutex g_lookHookMutex;
std::function<int(const QString &)> g_lookHook;

// lstat of path: 0, or the error the disk (or a test) answered with.
int lookedAt(const QString &path, struct stat *st)
{
    {
        std::lock_guard lock(g_lookHookMutex);
        if (g_lookHook)
            if (const int code = g_lookHook(path); code != 0)
                return code;
    }
    return ::lstat(native(path).constData(), st) == 0 ? 0 : errno;
}

} // namespace

namespace RecordFile {

std::optional<QByteArray> read(const QString &path, qint64 limit, QString *why)
{
    const QFileInfo info(path);
    QString problem;
    // Reached, not listed: a record in a folder that may be passed through but not read is read.
    const FolderHandle folder = FolderHandle::openToReach(info.absolutePath(), true, &problem);
    if (!folder.isOpen()) {
        if (why)
            *why = problem;
        return std::nullopt;
    }
    return folder.readFile(info.fileName(), limit, why);
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
        // A link the start took is the folder it leads to, as every change goes through it.
        const Kind kind = TakenFolders::kindAsReached(way);
        if (kind == Kind::Missing)
            return QString();
        if (kind != Kind::Folder)
            return QStringLiteral("%1 leads through %2, which is %3").arg(name, shown, kindText(kind));
    }
    return QString();
}

Kind kindAt(const QString &path)
{
    return lookAt(path, nullptr).value_or(Kind::Other);
}

std::optional<Kind> lookAt(const QString &path, QString *why)
{
    struct stat st{};
    if (const int code = lookedAt(path, &st); code != 0) {
        if (code == ENOENT || code == ENOTDIR)
            return Kind::Missing;
        if (why)
            *why = QString::fromLocal8Bit(std::strerror(code));
        return std::nullopt;
    }
    if (S_ISLNK(st.st_mode))
        return Kind::Link;
    if (S_ISREG(st.st_mode))
        return Kind::File;
    if (S_ISDIR(st.st_mode))
        return Kind::Folder;
    return Kind::Other;
}

void setLookHookForTesting(std::function<int(const QString &path)> hook)
{
    std::lock_guard lock(g_lookHookMutex);
    g_lookHook = std::move(hook);
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
