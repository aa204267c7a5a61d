#include "TakenFolders.h"

#include "Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A link as the start took it: the folder it led to (its device and inode), and, to tell the
// teacher what became of it, what it said and the folder's path then.
struct Link
{
    QByteArray name; // in the folder that holds it
    QByteArray text;
    QString target;
    dev_t device = 0;
    ino_t inode = 0;
    // Whether it led to a folder then: a link in the data folder's place that led to none (its
    // folder set aside by a restore cut short, which the start puts back) is taken as leading to
    // the folder it first leads to.
    bool known = true;
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
    // that led to no folder, which is noted apart.
    QList<QByteArray> own;
    QList<Link> deadLinks;
    // Whether the start found the data folder's path leading anywhere (a folder or a link), and
    // the link it found in its place (on a share, say). Missing then (a new application folder),
    // it is taken as it is first reached: a folder made there, or a link put there.
    bool dataTaken = false;
    std::optional<Link> dataLink;
    // The application folder as it was taken: the folder its path led to then (its device and
    // inode, and its real path, to say so), and the link in its place, where one was (a school's
    // profile may name one). Missing then, it is taken as it is first reached.
    bool applicationTaken = false;
    dev_t applicationDevice = 0;
    ino_t applicationInode = 0;
    QString applicationReal;
    std::optional<Link> applicationLink;
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

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

bool same(const struct stat &st, dev_t device, ino_t inode)
{
    return st.st_dev == device && st.st_ino == inode;
}

bool failWith(QString *why, const QString &reason)
{
    if (why)
        *why = reason;
    return false;
}

// What the link name in the folder dirFd says; empty when it is none.
QByteArray linkText(int dirFd, const char *name)
{
    QByteArray text(PATH_MAX, '\0');
    const ssize_t n = ::readlinkat(dirFd, name, text.data(), size_t(text.size()));
    return n < 0 ? QByteArray() : text.left(n);
}

// The link at path (in the folder dirFd) as taken now: the folder it leads to, where it leads to
// one (held: as just opened).
Link takenLink(int dirFd, const QByteArray &name, const QString &path, const struct stat *held)
{
    Link link;
    link.name = name;
    link.text = linkText(dirFd, name.constData());
    link.target = QFileInfo(path).canonicalFilePath();
    if (link.target.isEmpty())
        link.target = QFileInfo(path).symLinkTarget();
    struct stat there{};
    link.known = held || (::fstatat(dirFd, name.constData(), &there, 0) == 0 && S_ISDIR(there.st_mode));
    if (held)
        there = *held;
    if (link.known) {
        link.device = there.st_dev;
        link.inode = there.st_ino;
    }
    return link;
}

// The link name in the folder st describes among links (those taken, or those that led to no
// folder); none where that folder is not the data folder as it was taken.
const Link *linkIn(const Taken &t, const struct stat &folder, const QByteArray &name, const QList<Link> &links)
{
    if (links.isEmpty() || !same(folder, t.dataDevice, t.dataInode))
        return nullptr;
    for (const Link &link : links)
        if (link.name == name)
            return &link;
    return nullptr;
}

const Link *linkIn(const Taken &t, const struct stat &folder, const QByteArray &name)
{
    return linkIn(t, folder, name, t.links);
}

// Whether name in the folder st describes is one of the data folder's own folders, as the start
// was told of them: in the data folder as it was taken, or, made since, as its path leads now.
bool isOwn(const Taken &t, const struct stat &folder, const QByteArray &name)
{
    struct stat data{};
    return t.own.contains(name) && (same(folder, t.dataDevice, t.dataInode) ||
                                    (::stat(native(t.data).constData(), &data) == 0 && same(folder, data.st_dev, data.st_ino)));
}

// Where a clean path lies: the taken folder it lies in or below, and the part below it.
struct Place
{
    QString root, below;
};

std::optional<Place> placeOf(const Taken &t, const QString &path)
{
    // The data folder first: it may lie below the application folder, and is reached as the
    // start took it, not as a folder of the application folder.
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

// ---- What became of a folder Pollix goes through, and the one wording of each case ----

enum class Case {
    None,        // Pollix goes through it
    BecameLink,  // a link in a folder's place that was none as the start took it
    Unreachable, // a taken link that says what it said, whose folder cannot be reached now
    Unmounted,   // the same, leading to a folder of another disk now: its disk is not mounted there
    Supplanted,  // the same, leading to another folder of its disk now: one put where it was
    Elsewhere,   // a taken link pointed at another place since
    DeadAtStart, // a link in an own folder's place that led to no folder as the start took it
    Replaced,    // the application folder's path leads to another folder, with no link in its place
};

struct Refusal
{
    Case what = Case::None;
    QString path;   // the link's
    QString target; // where a taken link led at the start
    QString detail; // why that folder cannot be reached, or what the link says now
};

// The window saving work held nowhere else, where one is saving on this thread.
thread_local const TakenFolders::UnsavedWork *t_unsaved = nullptr;

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// "A", "A and B", "A, B and C".
QString listed(const QStringList &paths)
{
    return paths.size() < 2 ? paths.value(0)
                            : QStringLiteral("%1 and %2").arg(paths.mid(0, paths.size() - 1).join(QStringLiteral(", ")), paths.last());
}

QString quittingLoses(const TakenFolders::UnsavedWork &unsaved)
{
    return QStringLiteral("Quitting Pollix now loses %1, which only this window holds until a save.").arg(unsaved.work());
}

// The way out that ends a refusal: fix, then the save again. startTakes: what a new start would
// do instead ("it then takes the link as it finds it"), empty where a new start is no way out.
// A new start is never advised while the work being saved is held nowhere but in its window:
// it would lose that work.
QString wayOut(const QString &fix, const QString &startTakes = {})
{
    if (const TakenFolders::UnsavedWork *unsaved = t_unsaved)
        return QStringLiteral("%1 and %2. %3").arg(fix, unsaved->again(), quittingLoses(*unsaved));
    if (startTakes.isEmpty())
        return fix + QStringLiteral(" and try again.");
    return QStringLiteral("%1 and try again, or quit Pollix and start it again: %2.").arg(fix, startTakes);
}

QString becameLinks(const QStringList &paths)
{
    // Such a link leads nothing anywhere until a start takes it: only the start looks at where
    // it leads and notes that very folder.
    if (paths.size() == 1)
        return QStringLiteral("%1 became a link to another folder while Pollix was running, and Pollix goes through no link "
                              "that was not there when it started. ")
                   .arg(paths.first()) +
               wayOut(QStringLiteral("Put the folder back in the link's place"),
                      QStringLiteral("it then takes the link as it finds it"));
    return QStringLiteral("%1 became links to other folders while Pollix was running, and Pollix goes through no link that "
                          "was not there when it started. ")
               .arg(listed(paths)) +
           wayOut(QStringLiteral("Put each folder back in its link's place"),
                  QStringLiteral("it then takes the links as it finds them"));
}

QString deadAtStart(const Refusal &r)
{
    const QString said = QStringLiteral("%1 is a link that led to no folder when Pollix started (it leads to %2), and Pollix "
                                        "goes through no link that did not lead to a folder then")
                             .arg(shown(r.path), shown(r.target));
    // Only a start takes such a link: while this one runs, nothing goes through it, reachable
    // or not. A folder in the link's place is gone through, and the work lands there.
    if (const TakenFolders::UnsavedWork *unsaved = t_unsaved)
        return QStringLiteral("%1: %2 cannot be saved in that folder while this Pollix runs, even once it is reachable. To save "
                              "%2 all the same, move the link aside, make an empty folder named %3 in its place and %4: the save "
                              "goes into that folder, from where it can be moved to %5 later. %6")
            .arg(said, unsaved->work(), QFileInfo(r.path).fileName(), unsaved->again(), shown(r.target), quittingLoses(*unsaved));
    return said + QStringLiteral(". Make that folder reachable, then quit Pollix and start it again: it then takes the link "
                                 "as it finds it.");
}

QString wording(const Refusal &r)
{
    switch (r.what) {
    case Case::None: break;
    case Case::BecameLink: return becameLinks({shown(r.path)});
    case Case::Unreachable:
        // What it leads to went away (a disk unplugged, a share not mounted). Neither this nor an
        // unmounted disk is advised away: a folder put in the link's place, or a new start taking
        // the link as it leads now, would split the data in two.
        return QStringLiteral("%1 is a link, and the folder it led to when Pollix started (%2) cannot be reached now (%3). "
                              "Pollix goes through that link to that folder alone. ")
                   .arg(shown(r.path), shown(r.target), r.detail) +
               wayOut(QStringLiteral("Plug the disk it lies on back in, or make the folder reachable again,"));
    case Case::Unmounted:
        // Unmounted, a disk leaves the folder it was mounted on: plugged in again, it is mounted
        // elsewhere as often as not.
        return QStringLiteral("%1 is a link, and the folder it led to when Pollix started (%2) lies on a disk that is not "
                              "mounted there now: what is at %2 now is a folder of another disk (the folder the disk was "
                              "mounted on, say). Pollix goes through that link to that folder alone. ")
                   .arg(shown(r.path), shown(r.target)) +
               wayOut(QStringLiteral("Mount that disk at %1 again").arg(shown(r.target)));
    case Case::Supplanted:
        return QStringLiteral("%1 is a link, and the folder it led to when Pollix started (%2) is not there now: another "
                              "folder was put at %2 in its place. Pollix goes through that link to that folder alone. ")
                   .arg(shown(r.path), shown(r.target)) +
               wayOut(QStringLiteral("Put that folder back at %1 (the other one moved aside)").arg(shown(r.target)),
                      QStringLiteral("it then takes the link as it finds it"));
    case Case::Elsewhere:
        return QStringLiteral("%1 is a link that led to %2 when Pollix started, and it leads to %3 now. Pollix goes through "
                              "that link to the folder it led to then alone. ")
                   .arg(shown(r.path), shown(r.target), shown(r.detail)) +
               wayOut(QStringLiteral("Point the link back to %1").arg(shown(r.target)),
                      QStringLiteral("it then takes the link as it finds it"));
    case Case::Replaced:
        // Moved away and another folder put there, or a link on the way to it pointed elsewhere.
        return QStringLiteral("%1 is no longer the folder it was when Pollix started (%2): another folder is there now. "
                              "Pollix goes on in the folder it started in alone. ")
                   .arg(shown(r.path), shown(r.target)) +
               wayOut(QStringLiteral("Put that folder back at %1").arg(shown(r.path)),
                      QStringLiteral("it then takes the folder as it finds it"));
    case Case::DeadAtStart: return deadAtStart(r);
    }
    return QString();
}

// Each case once, in the order found: the folders that became links named together.
QString wording(const QList<Refusal> &found)
{
    QStringList said, became;
    qsizetype becameAt = -1;
    for (const Refusal &r : found) {
        if (r.what == Case::BecameLink) {
            if (becameAt < 0) {
                becameAt = said.size();
                said << QString();
            }
            became << shown(r.path);
        } else if (r.what != Case::None) {
            said << wording(r);
        }
    }
    if (becameAt >= 0)
        said[becameAt] = becameLinks(became);
    return said.join(QLatin1Char('\n'));
}

// What the taken link name in the folder dirFd is now, held: the folder it was opened as, where
// it was (else it is opened here, and *opened gets the descriptor when asked for and it leads to
// its folder).
Refusal judged(const Link &link, int dirFd, const QByteArray &name, const QString &path, const struct stat *held,
               int *opened = nullptr)
{
    struct stat there{};
    int code = 0;
    if (held) {
        there = *held;
    } else {
        const int fd = ::openat(dirFd, name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        code = fd < 0 || ::fstat(fd, &there) != 0 ? errno : 0;
        if (code == 0 && same(there, link.device, link.inode) && opened)
            *opened = fd;
        else if (fd >= 0)
            ::close(fd);
    }
    if (code == 0 && same(there, link.device, link.inode))
        return {};
    // Told apart by what the link says: pointed elsewhere, or as it was with its folder gone;
    // and where it leads to a folder, by its disk: an empty folder where a disk was mounted is
    // of another disk, one put where the folder was is of the same.
    const QByteArray now = linkText(dirFd, name.constData());
    if (now != link.text)
        return {Case::Elsewhere, path, link.target, now.isEmpty() ? QStringLiteral("no folder") : QFile::decodeName(now)};
    if (code)
        return {Case::Unreachable, path, link.target, QString::fromLocal8Bit(std::strerror(code))};
    return {there.st_dev == link.device ? Case::Supplanted : Case::Unmounted, path, link.target, {}};
}

// What the link name in the folder dirFd is as Pollix would go through it (judged, where the start
// took it); Case::None for a link that is no own folder of the data folder, which is no folder
// Pollix goes through anyway.
Refusal linkRefusal(const Taken &t, int dirFd, const QByteArray &name, const QString &path, int *opened)
{
    struct stat folder{}, st{};
    if (::fstatat(dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(st.st_mode) || ::fstat(dirFd, &folder) != 0)
        return {};
    if (const Link *link = linkIn(t, folder, name))
        return judged(*link, dirFd, name, path, nullptr, opened);
    if (const Link *dead = linkIn(t, folder, name, t.deadLinks))
        return {Case::DeadAtStart, path, dead->target, {}};
    if (isOwn(t, folder, name))
        return {Case::BecameLink, path, {}, {}};
    return {};
}

// What the data folder's path leads to now, against the folder the start took: held, the folder
// it was just opened as (nullptr: none). A folder in its place is the data folder (a restore
// puts one there); a link there is followed only where the start took one, while it leads to the
// folder it led to then.
Refusal dataRefusal(const struct stat *held)
{
    const Taken t = taken();
    if (t.data.isEmpty())
        return {};
    const QByteArray path = native(t.data);
    struct stat st{};
    if (::lstat(path.constData(), &st) != 0)
        return {};
    if (!t.dataTaken) {
        const std::lock_guard lock(g_mutex);
        if (!g_taken.dataTaken && g_taken.data == t.data) {
            g_taken.dataTaken = true;
            if (S_ISLNK(st.st_mode))
                g_taken.dataLink = takenLink(AT_FDCWD, path, t.data, held);
        }
        return {};
    }
    if (!S_ISLNK(st.st_mode)) {
        // The folder held must be that one, not one a link in its place led to a moment ago.
        if (held && !same(*held, st.st_dev, st.st_ino))
            return {Case::BecameLink, t.data, {}, {}};
        return {};
    }
    if (!t.dataLink)
        return {Case::BecameLink, t.data, {}, {}};
    if (!t.dataLink->known) {
        struct stat there{};
        if (!held && (::stat(path.constData(), &there) != 0 || !S_ISDIR(there.st_mode)))
            return {};
        const struct stat &now = held ? *held : there;
        const std::lock_guard lock(g_mutex);
        if (g_taken.dataLink && !g_taken.dataLink->known && g_taken.data == t.data) {
            g_taken.dataLink->device = now.st_dev;
            g_taken.dataLink->inode = now.st_ino;
            g_taken.dataLink->known = true;
        }
        return {};
    }
    return judged(*t.dataLink, AT_FDCWD, path, t.data, held);
}

// What the application folder's path leads to now, against the folder the start took: held, the
// folder it was just opened as (nullptr: none could be). A folder there that is not the one taken
// (another application folder, which another Pollix may hold) is gone through by nothing; where
// the start found no folder there yet, the first one reached is taken.
Refusal applicationJudged(const struct stat *held)
{
    const Taken t = taken();
    if (t.application.isEmpty() || (t.applicationTaken && held && same(*held, t.applicationDevice, t.applicationInode)))
        return {};
    const QByteArray path = native(t.application);
    struct stat own{};
    const bool link = ::lstat(path.constData(), &own) == 0 && S_ISLNK(own.st_mode);
    if (!t.applicationTaken) {
        const std::lock_guard lock(g_mutex);
        if (held && !g_taken.applicationTaken && g_taken.application == t.application) {
            g_taken.applicationTaken = true;
            g_taken.applicationDevice = held->st_dev;
            g_taken.applicationInode = held->st_ino;
            g_taken.applicationReal = QFileInfo(t.application).canonicalFilePath();
            if (link)
                g_taken.applicationLink = takenLink(AT_FDCWD, path, t.application, held);
        }
        return {};
    }
    if (link && t.applicationLink)
        return judged(*t.applicationLink, AT_FDCWD, path, t.application, held);
    if (link)
        return {Case::BecameLink, t.application, {}, {}};
    // Nothing opened, and no link in its place to tell of: the system's reason says it.
    if (!held)
        return {};
    return {Case::Replaced, t.application, t.applicationReal, {}};
}

bool atOrBelow(const QString &path, const QString &folder)
{
    return !folder.isEmpty() && folder != QLatin1String("/") &&
           (path == folder || path.startsWith(folder + QLatin1Char('/')));
}

// The data folder as opened for reach: kept where it is the folder the start took, else closed
// with the refusal (and one that could not be opened says why, where its link is the reason).
FolderHandle asTaken(FolderHandle data, QString *why)
{
    const std::optional<struct stat> st = data.stat();
    const Refusal refusal = dataRefusal(st ? &*st : nullptr);
    if (refusal.what == Case::None)
        return data;
    failWith(why, wording(refusal));
    return {};
}
} // namespace

namespace TakenFolders {

UnsavedWork::UnsavedWork(const QString &work, const QString &again) : m_work(work), m_again(again), m_outer(t_unsaved)
{
    t_unsaved = this;
}

UnsavedWork::~UnsavedWork()
{
    t_unsaved = m_outer;
}

void take(const QString &applicationFolder, const QString &dataFolder, const QStringList &ownFolders)
{
    Taken t;
    t.application = clean(applicationFolder);
    t.data = clean(dataFolder);
    // Known also where the data folder is made after the start (a new application folder).
    for (const QString &own : ownFolders)
        if (RecordFile::nameProblem(own).isEmpty() && !own.contains(QLatin1Char('/')))
            t.own << QFile::encodeName(own);
    if (struct stat st{}; !t.application.isEmpty() && ::stat(native(t.application).constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
        t.applicationTaken = true;
        t.applicationDevice = st.st_dev;
        t.applicationInode = st.st_ino;
        t.applicationReal = QFileInfo(t.application).canonicalFilePath();
        if (struct stat own{}; ::lstat(native(t.application).constData(), &own) == 0 && S_ISLNK(own.st_mode))
            t.applicationLink = takenLink(AT_FDCWD, native(t.application), t.application, &st);
    }
    {
        // Opened below as the application folder just taken.
        const std::lock_guard lock(g_mutex);
        g_taken = t;
    }
    const FolderHandle data = t.data.isEmpty() ? FolderHandle() : FolderHandle::open(t.data, true);
    const std::optional<struct stat> dataSt = data.stat();
    if (struct stat st{}; !t.data.isEmpty() && ::lstat(native(t.data).constData(), &st) == 0) {
        t.dataTaken = true;
        if (S_ISLNK(st.st_mode))
            t.dataLink = takenLink(AT_FDCWD, native(t.data), t.data, dataSt ? &*dataSt : nullptr);
    }
    if (dataSt) {
        t.dataDevice = dataSt->st_dev;
        t.dataInode = dataSt->st_ino;
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
                t.deadLinks << takenLink(data.fd(), name, data.pathOf(own), nullptr);
                continue;
            }
            t.links << takenLink(data.fd(), name, data.pathOf(own), &target);
            PollixLog(QStringLiteral("%1 is a symbolic link to %2: Pollix goes through it while it leads to that folder")
                          .arg(data.pathOf(own), t.links.last().target));
        }
    }
    const std::lock_guard lock(g_mutex);
    g_taken = std::move(t);
}

void replaced(const struct stat &was, const struct stat &now)
{
    const std::lock_guard lock(g_mutex);
    if (std::optional<Link> &link = g_taken.dataLink; link && link->known && same(was, link->device, link->inode)) {
        link->device = now.st_dev;
        link->inode = now.st_ino;
    }
}

FolderHandle reach(const QString &path, bool make, QString *why)
{
    const QString at = clean(path);
    const Taken t = taken();
    const std::optional<Place> place = placeOf(t, at);
    if (!place)
        return make ? FolderHandle::makePath(at, why) : FolderHandle::open(at, true, why);
    FolderHandle base = make ? FolderHandle::makePath(place->root, why) : FolderHandle::open(place->root, true, why);
    if (place->root == t.data)
        base = asTaken(std::move(base), why);
    if (place->below.isEmpty() || !base.isOpen())
        return base;
    return make ? base.makeFolder(place->below, why) : base.openFolder(place->below, why);
}

FolderHandle reachToWrite(const QString &path, QString *why)
{
    const QString at = clean(path);
    const Taken t = taken();
    if (const std::optional<Place> place = placeOf(t, at); place && !place->below.isEmpty())
        return reach(at, false, why);
    FolderHandle folder = FolderHandle::open(at, true, why);
    if (!folder.isOpen() && errno == EACCES)
        folder = FolderHandle::openToReach(at, true, why);
    return at == t.data ? asTaken(std::move(folder), why) : std::move(folder);
}

QString applicationAbove(const QString &path, QString *below)
{
    const QString at = clean(path);
    const QString application = taken().application;
    if (!QDir::isAbsolutePath(at) || !atOrBelow(at, application))
        return QString();
    if (below)
        *below = at.mid(application.size() + 1);
    return application;
}

QString applicationRefusal(int fd)
{
    struct stat st{};
    const bool held = fd >= 0 && ::fstat(fd, &st) == 0;
    return wording(applicationJudged(held ? &st : nullptr));
}

int openTakenLink(int dirFd, const QByteArray &name, const QString &path, QString *refusal)
{
    int fd = -1;
    const QString said = wording(linkRefusal(taken(), dirFd, name, path, &fd));
    if (refusal)
        *refusal = said;
    return fd;
}

RecordFile::Kind kindAsReached(const QString &path)
{
    const RecordFile::Kind kind = RecordFile::kindAt(path);
    if (kind != RecordFile::Kind::Link)
        return kind;
    const Taken t = taken();
    const QFileInfo info(path);
    struct stat folder{}, there{};
    const Link *link = t.links.isEmpty() || ::stat(native(info.absolutePath()).constData(), &folder) != 0
                           ? nullptr
                           : linkIn(t, folder, QFile::encodeName(info.fileName()));
    if (link && ::stat(native(path).constData(), &there) == 0 && same(there, link->device, link->inode))
        return RecordFile::Kind::Folder;
    return kind;
}

QString refusalOf(const QStringList &paths)
{
    const Taken t = taken();
    QList<Refusal> found;
    // The application folder first: nothing below it is looked at where its path leads elsewhere.
    if (std::any_of(paths.cbegin(), paths.cend(), [&](const QString &path) { return atOrBelow(clean(path), t.application); })) {
        struct stat st{};
        const bool held = ::stat(native(t.application).constData(), &st) == 0;
        if (const Refusal r = applicationJudged(held ? &st : nullptr); r.what != Case::None)
            found << r;
    }
    for (const QString &given : paths) {
        const QString path = clean(given);
        const auto below = [&](const Refusal &r) { return path == r.path || path.startsWith(r.path + QLatin1Char('/')); };
        if (path.isEmpty() || std::any_of(found.cbegin(), found.cend(), below))
            continue;
        Refusal r;
        if (path == t.data) {
            r = dataRefusal(nullptr);
        } else if (const QFileInfo info(path); !info.fileName().isEmpty()) {
            // Looked at in its folder as the path leads there: the link itself, never followed.
            const int dirFd = ::open(native(info.absolutePath()).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            if (dirFd >= 0) {
                r = linkRefusal(t, dirFd, QFile::encodeName(info.fileName()), path, nullptr);
                ::close(dirFd);
            }
        }
        if (r.what != Case::None)
            found << r;
    }
    return wording(found);
}

QString refusalOnTheWayTo(const QString &path)
{
    const Taken t = taken();
    const QString at = clean(path);
    const std::optional<Place> place = placeOf(t, at);
    if (!place)
        return QString();
    // Each folder from the taken one down to the file's own.
    QStringList way{place->root};
    const QStringList parts = place->below.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i + 1 < parts.size(); ++i)
        way << way.last() + QLatin1Char('/') + parts.at(i);
    return refusalOf(way);
}

QString neverThroughLink(const QString &path)
{
    return QStringLiteral("%1 is a symbolic link to another folder, and Pollix keeps nothing in that folder of the "
                          "application folder through a link. Put a folder in the link's place (the one it leads to, moved "
                          "there, or a new empty one) and try again.")
        .arg(shown(path));
}

QStringList linksIn(const QString &folder)
{
    const Taken t = taken();
    struct stat own{};
    if (t.links.isEmpty() || ::stat(native(folder).constData(), &own) != 0 || !same(own, t.dataDevice, t.dataInode))
        return {};
    QStringList out;
    const QString base = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    for (const Link &link : std::as_const(t.links))
        if (kindAsReached(base + QFile::decodeName(link.name)) == RecordFile::Kind::Folder)
            out << base + QFile::decodeName(link.name);
    return out;
}

} // namespace TakenFolders
