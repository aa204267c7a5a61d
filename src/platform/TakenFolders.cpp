#include "TakenFolders.h"

#include "Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
struct Link
{
    QByteArray name;
    dev_t device = 0;
    ino_t inode = 0;
};

struct Taken
{
    QString application, data; // clean, without a trailing "/"
    // The data folder as it was taken: its links are known by the folder that holds them, so
    // that a path that names it otherwise (through a link to the data folder) finds them too.
    dev_t dataDevice = 0;
    ino_t dataInode = 0;
    QList<Link> links;
    // The data folder's own folders, as the start was told of them, but for a link there then
    // that led to no folder.
    QList<QByteArray> own;
};

std::mutex g_mutex;
Taken g_taken;

Taken taken()
{
    const std::lock_guard lock(g_mutex);
    return g_taken;
}

QString clean(const QString &path)
{
    return path.isEmpty() ? QString() : QDir::cleanPath(path);
}

bool same(const struct stat &st, dev_t device, ino_t inode)
{
    return st.st_dev == device && st.st_ino == inode;
}

// The taken link name in the folder st describes; none where that folder is not the data folder
// or name was no link to a folder when it was taken.
const Link *linkIn(const Taken &t, const struct stat &folder, const QByteArray &name)
{
    if (t.links.isEmpty() || !same(folder, t.dataDevice, t.dataInode))
        return nullptr;
    for (const Link &link : t.links)
        if (link.name == name)
            return &link;
    return nullptr;
}

// Where a clean path lies: the taken folder it lies in or below, and the part below it.
struct Place
{
    QString root, below;
};

std::optional<Place> placeOf(const Taken &t, const QString &path)
{
    // The data folder first: it may lie below the application folder, and is reached as its
    // path leads, not as a folder of the application folder.
    for (const QString &root : {t.data, t.application}) {
        if (root.isEmpty())
            continue;
        if (path == root)
            return Place{root, QString()};
        if (path.startsWith(root + QLatin1Char('/')))
            return Place{root, path.mid(root.size() + 1)};
    }
    return std::nullopt;
}
} // namespace

namespace TakenFolders {

void take(const QString &applicationFolder, const QString &dataFolder, const QStringList &ownFolders)
{
    Taken t;
    t.application = clean(applicationFolder);
    t.data = clean(dataFolder);
    // Known also where the data folder is made after the start (a new application folder).
    for (const QString &own : ownFolders)
        if (RecordFile::nameProblem(own).isEmpty() && !own.contains(QLatin1Char('/')))
            t.own << QFile::encodeName(own);
    const FolderHandle data = t.data.isEmpty() ? FolderHandle() : FolderHandle::open(t.data, true);
    if (const std::optional<struct stat> st = data.stat()) {
        t.dataDevice = st->st_dev;
        t.dataInode = st->st_ino;
        for (const QString &own : ownFolders) {
            if (!RecordFile::nameProblem(own).isEmpty() || own.contains(QLatin1Char('/')) ||
                data.kindAt(own) != RecordFile::Kind::Link)
                continue;
            const QByteArray name = QFile::encodeName(own);
            struct stat target{};
            if (::fstatat(data.fd(), name.constData(), &target, 0) != 0 || !S_ISDIR(target.st_mode)) {
                PollixLog(QStringLiteral("%1 is a symbolic link that leads to no folder: nothing is saved through it")
                              .arg(data.pathOf(own)));
                t.own.removeAll(QFile::encodeName(own)); // no link made since the start
                continue;
            }
            t.links << Link{name, target.st_dev, target.st_ino};
            PollixLog(QStringLiteral("%1 is a symbolic link to %2: Pollix goes through it while it leads to that folder")
                          .arg(data.pathOf(own), QFileInfo(data.pathOf(own)).canonicalFilePath()));
        }
    }
    const std::lock_guard lock(g_mutex);
    g_taken = std::move(t);
}

FolderHandle reach(const QString &path, bool make, QString *why)
{
    const QString at = clean(path);
    const std::optional<Place> place = placeOf(taken(), at);
    if (!place)
        return make ? FolderHandle::makePath(at, why) : FolderHandle::open(at, true, why);
    FolderHandle base = make ? FolderHandle::makePath(place->root, why) : FolderHandle::open(place->root, true, why);
    if (place->below.isEmpty() || !base.isOpen())
        return base;
    return make ? base.makeFolder(place->below, why) : base.openFolder(place->below, why);
}

FolderHandle reachToWrite(const QString &path, QString *why)
{
    const QString at = clean(path);
    if (const std::optional<Place> place = placeOf(taken(), at); place && !place->below.isEmpty())
        return reach(at, false, why);
    FolderHandle folder = FolderHandle::open(at, true, why);
    if (!folder.isOpen() && errno == EACCES)
        folder = FolderHandle::openToReach(at, true, why);
    return folder;
}

int openTakenLink(int dirFd, const QByteArray &name, QString *why)
{
    const Taken t = taken();
    struct stat folder{}, own{};
    const Link *link = t.links.isEmpty() || ::fstat(dirFd, &folder) != 0 ? nullptr : linkIn(t, folder, name);
    if (!link || ::fstatat(dirFd, name.constData(), &own, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(own.st_mode))
        return -1;
    const int fd = ::openat(dirFd, name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        if (why)
            *why = QStringLiteral("it is a symbolic link, and the folder it leads to cannot be opened: %1")
                       .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return -1;
    }
    struct stat there{};
    if (::fstat(fd, &there) == 0 && same(there, link->device, link->inode))
        return fd;
    ::close(fd);
    if (why)
        *why = QStringLiteral("it is a symbolic link that no longer leads to the folder it led to when Pollix started");
    return -1;
}

RecordFile::Kind kindAsReached(const QString &path)
{
    const RecordFile::Kind kind = RecordFile::kindAt(path);
    if (kind != RecordFile::Kind::Link)
        return kind;
    const Taken t = taken();
    const QFileInfo info(path);
    struct stat folder{}, there{};
    const Link *link = t.links.isEmpty() || ::stat(QFile::encodeName(info.absolutePath()).constData(), &folder) != 0
                           ? nullptr
                           : linkIn(t, folder, QFile::encodeName(info.fileName()));
    if (link && ::stat(QFile::encodeName(path).constData(), &there) == 0 && same(there, link->device, link->inode))
        return RecordFile::Kind::Folder;
    return kind;
}

bool isOwnFolder(int dirFd, const QByteArray &name)
{
    const Taken t = taken();
    struct stat folder{}, data{};
    if (!t.own.contains(name) || ::fstat(dirFd, &folder) != 0)
        return false;
    // The data folder as it was taken, or, made since, as its path leads now.
    return same(folder, t.dataDevice, t.dataInode) ||
           (::stat(QFile::encodeName(t.data).constData(), &data) == 0 && same(folder, data.st_dev, data.st_ino));
}

QString becameLink(const QString &path)
{
    // Such a link leads nothing anywhere until a start takes it: only the start looks at where
    // it leads and notes that very folder.
    return QStringLiteral("%1 became a link to another folder while Pollix was running, and Pollix goes through no link "
                          "that was not there when it started. Put the folder back in the link's place and try again, or "
                          "quit Pollix and start it again: it then takes the link as it finds it.")
        .arg(QDir::toNativeSeparators(path));
}

QStringList linksIn(const QString &folder)
{
    const Taken t = taken();
    struct stat own{};
    if (t.links.isEmpty() || ::stat(QFile::encodeName(folder).constData(), &own) != 0 || !same(own, t.dataDevice, t.dataInode))
        return {};
    QStringList out;
    const QString base = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    for (const Link &link : std::as_const(t.links))
        if (kindAsReached(base + QFile::decodeName(link.name)) == RecordFile::Kind::Folder)
            out << base + QFile::decodeName(link.name);
    return out;
}

} // namespace TakenFolders
