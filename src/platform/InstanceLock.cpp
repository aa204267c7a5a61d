#include "InstanceLock.h"

#include "AtomicFile.h"
#include "FolderHandle.h"
#include "Log.h"
#include "RecordFile.h"
#include "SideFiles.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSysInfo>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr char kComeForward[] = "come forward\n";
constexpr char kCameForward[] = "came forward\n";
constexpr char kNoWindow[] = "no window\n";
constexpr char kFinishing[] = "finishing ";
constexpr int kKeepFileEveryMs = 5000;
constexpr qint64 kMostRead = 4096;
constexpr qint64 kMostRecordBytes = 64 * 1024;
// The holder replaces its file in one rename; a file that changes under every look this many
// times is being fought over, and counts as held.
constexpr int kLooks = 8;

// A descriptor closed when it goes out of scope, unless it was handed on.
class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }
    void reset(int fd)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

using FileId = std::pair<dev_t, ino_t>;

// The device and inode of the file an open descriptor stands for.
FileId idOf(int fd)
{
    struct stat st = {};
    return ::fstat(fd, &st) == 0 ? FileId{st.st_dev, st.st_ino} : FileId{0, 0};
}

// The device and inode of what is under name in folder itself (a link not followed); {0, 0} when
// nothing is.
FileId idIn(const FolderHandle &folder, const QString &name)
{
    struct stat st = {};
    return folder.kindAt(name, &st) == RecordFile::Kind::Missing ? FileId{0, 0} : FileId{st.st_dev, st.st_ino};
}

bool madeOnOtherComputer(const InstanceLock::Owner &owner)
{
    return !owner.host.isEmpty() && owner.host != QSysInfo::machineHostName();
}

// What a lock file (or a start's trial of one) says, as ownContent writes it; its first kMostRead
// bytes only. Nothing it does not say is filled in.
InstanceLock::Owner ownerIn(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes.left(kMostRead));
    InstanceLock::Owner owner;
    QString head = text;
    const qsizetype folderAt = text.indexOf(QLatin1String("\nfolder="));
    if (folderAt >= 0) {
        head = text.left(folderAt);
        owner.folder = text.mid(folderAt + 8);
        if (owner.folder.endsWith(QLatin1Char('\n')))
            owner.folder.chop(1);
    }
    for (const QString &line : head.split(QLatin1Char('\n'))) {
        const QString key = line.section(QLatin1Char('='), 0, 0);
        const QString value = line.section(QLatin1Char('='), 1);
        if (key == QLatin1String("pid"))
            owner.pid = value.toLongLong();
        else if (key == QLatin1String("host"))
            owner.host = value;
        else if (key == QLatin1String("written"))
            owner.written = QDateTime::fromString(value, Qt::ISODate);
    }
    return owner;
}

// fd stands for an empty regular file that is under name in folder itself, not reached through a
// link.
bool isEmptyFileIn(int fd, const FolderHandle &folder, const QString &name)
{
    struct stat open = {};
    return ::fstat(fd, &open) == 0 && S_ISREG(open.st_mode) && open.st_size == 0 &&
           idIn(folder, name) == FileId{open.st_dev, open.st_ino};
}

bool processRuns(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

// The device and inode of what is at path itself (a link not followed); {0, 0} when nothing is.
FileId fileIdOf(const QString &path)
{
    struct stat st = {};
    if (::lstat(native(path).constData(), &st) != 0)
        return {0, 0};
    return {st.st_dev, st.st_ino};
}

// The folder that holds a lock file, held open: the lock file is changed there, never through a
// link under its name (the folder itself may lie behind one).
FolderHandle folderOf(const QString &lockPath, QString *why = nullptr)
{
    return FolderHandle::open(QFileInfo(lockPath).absolutePath(), true, why);
}

std::function<void(const QString &)> &listenHook()
{
    static std::function<void(const QString &)> hook;
    return hook;
}

std::function<void(InstanceLock::Step)> &stepHook()
{
    static std::function<void(InstanceLock::Step)> hook;
    return hook;
}

void step(InstanceLock::Step at)
{
    if (stepHook())
        stepHook()(at);
}

// The folder's real path (links resolved) once it exists.
QString realPath(const QString &path)
{
    const QString real = QFileInfo(path).canonicalFilePath();
    return real.isEmpty() ? QDir::cleanPath(QDir(path).absolutePath()) : real;
}
} // namespace

InstanceLock::InstanceLock(const QString &applicationFolder, const QString &dataFolder, QObject *parent)
    : QObject(parent), m_folder(QDir::cleanPath(QDir(applicationFolder).absolutePath())),
      m_dataFolder(dataFolder.isEmpty() ? QString() : QDir::cleanPath(QDir(dataFolder).absolutePath()))
{
    m_givenFolders = places();
    m_held->lock = this;
}

InstanceLock::~InstanceLock()
{
    // A check under way on another thread finds the folder no longer held, and tells nobody.
    AtomicFile::setHolderCheck(this, {}, {});
    {
        std::lock_guard lock(m_held->mutex);
        m_held->lock = nullptr;
    }
    release();
    if (m_takenByOther || m_takenByOtherStart)
        AtomicFile::refuseChangesIn({}, {});
}

QString InstanceLock::lockFileName()
{
    return QStringLiteral(".pollix.lock");
}

InstanceLock::Outcome InstanceLock::take()
{
    return acquire(false, nullptr);
}

bool InstanceLock::takeOver(QString *errorText)
{
    if (m_takenByOtherStart) {
        if (errorText)
            *errorText = tr("Another Pollix on this computer holds the folder (process %1).").arg(m_owner.pid);
        return false;
    }
    if (m_held->fd >= 0 && m_takenByOther)
        return takeBack(errorText);
    return acquire(true, errorText) == Outcome::Taken;
}

bool InstanceLock::takeBack(QString *errorText)
{
    QString why;
    int fd = -1;
    bool writable = false;
    const Outcome outcome = lockIn(QFileInfo(m_held->lockPath).absolutePath(), true, &fd, &why, &writable);
    if (outcome != Outcome::Taken) {
        if (errorText)
            *errorText = outcome == Outcome::Unavailable ? why : tr("Another Pollix has taken the folder meanwhile.");
        return false;
    }
    setHeld(fd, m_held->lockPath);
    m_takenByOther = false;
    AtomicFile::refuseChangesIn({}, {});
    PollixLog(QStringLiteral("%1 was taken back from the computer \"%2\"").arg(m_folder, m_owner.host));
    return true;
}

QStringList InstanceLock::places() const
{
    QStringList out{m_folder};
    if (!m_dataFolder.isEmpty() && m_dataFolder != m_folder)
        out << m_dataFolder;
    return out;
}

QStringList InstanceLock::guardedFolders() const
{
    return places() + m_givenFolders;
}

bool InstanceLock::lockFileInPlace() const
{
    return fileIdOf(m_held->lockPath) == m_held->file;
}

QByteArray InstanceLock::ownContent() const
{
    // The folder goes last: it is the one value that may hold any character.
    return QStringLiteral("pid=%1\nhost=%2\nwritten=%3\nfolder=%4\n")
        .arg(qint64(::getpid()))
        .arg(QSysInfo::machineHostName(), QDateTime::currentDateTimeUtc().toString(Qt::ISODate), m_folder)
        .toUtf8();
}

std::optional<InstanceLock::Owner> InstanceLock::readOwner(const QString &lockPath)
{
    // Read back as any record: a pipe or a link under its name names no owner (and never holds
    // the start), nor does a file far larger than a lock file.
    const std::optional<QByteArray> bytes = RecordFile::read(lockPath, kMostRecordBytes, nullptr);
    if (!bytes)
        return std::nullopt;
    const Owner owner = ownerIn(*bytes);
    if (owner.pid <= 0 && owner.host.isEmpty())
        return std::nullopt;
    return owner;
}

InstanceLock::Outcome InstanceLock::acquire(bool overOtherComputer, QString *errorText)
{
    if (m_held->fd >= 0)
        return Outcome::Taken;
    FolderHandle::makePath(m_folder);
    m_folder = realPath(m_folder);
    if (!m_dataFolder.isEmpty())
        m_dataFolder = realPath(m_dataFolder);
    QStringList refused;
    bool writable = false;
    for (const QString &place : places()) {
        int fd = -1;
        QString why;
        bool canWrite = false;
        const Outcome outcome = lockIn(place, overOtherComputer, &fd, &why, &canWrite);
        if (outcome == Outcome::Unavailable) {
            refused << QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(place + QLatin1Char('/') + lockFileName()), why);
            writable = writable || canWrite;
            continue;
        }
        if (outcome != Outcome::Taken)
            return outcome;
        setHeld(fd, place + QLatin1Char('/') + lockFileName());
        m_whyNotLocked.clear();
        for (const QString &other : places()) {
            if (other != place && heldElsewhere(other)) {
                release();
                return Outcome::HeldByOther;
            }
        }
        if (!refused.isEmpty())
            PollixLog(QStringLiteral("The lock of %1 is kept in %2").arg(m_folder, m_held->lockPath));
        listen();
        watch();
        // The check holds the lock file's record, not this object: a write on another thread may
        // still ask it as this object goes.
        AtomicFile::setHolderCheck(this, guardedFolders(), [held = m_held] { return lostWhy(*held); });
        return Outcome::Taken;
    }
    m_whyNotLocked = refused.join(QLatin1Char('\n'));
    if (errorText)
        *errorText = m_whyNotLocked;
    // Unlocked, a start would go on as if alone, and a second one would join it as soon as the
    // folder can be written; nothing this one did there could be saved anyway.
    if (!writable) {
        PollixLog(QStringLiteral("No lock can be made for %1, as nothing can be written there: it is not taken\n%2")
                      .arg(m_folder, m_whyNotLocked));
        return Outcome::Unwritable;
    }
    // Unlocked, a second start would run on the folder too: the teacher is told instead.
    PollixLog(QStringLiteral("No lock can be made for %1, though it can be written: it is not taken\n%2")
                  .arg(m_folder, m_whyNotLocked));
    return Outcome::Unavailable;
}

InstanceLock::Outcome InstanceLock::lockIn(const QString &place, bool overOtherComputer, int *heldFd, QString *why,
                                           bool *writable)
{
    // The lock lives where this account can write: the new lock file made here says so. Made
    // and put in place through the folder held open.
    const FolderHandle folder = FolderHandle::open(place, true, why);
    QString side;
    // The trial file is under this process's kernel lock from its making to its rename or
    // removal: a start tidying the folder meanwhile (another Pollix that took the folder first)
    // sees that its maker still runs, whichever computer it runs on, and leaves it.
    Descriptor mine(-1);
    for (int tries = 0; folder.isOpen() && mine.get() < 0 && tries < kLooks; ++tries) {
        side = QFileInfo(SideFiles::nameBeside(folder.pathOf(lockFileName()), SideFiles::Kind::Temporary)).fileName();
        bool takenAway = false;
        mine.reset(folder.createLockedFile(side, ownContent(), why, &takenAway));
        if (mine.get() < 0) {
            side.clear();
            if (!takenAway) {
                *why = why->section(QStringLiteral(": "), -1); // the system's words, the lock named by the caller
                break;
            }
        }
    }
    if (side.isEmpty()) {
        // Where this account may write, the failure is the disk's, and no reason to go unlocked.
        *writable = ::faccessat(AT_FDCWD, native(place).constData(), W_OK, AT_EACCESS) == 0;
        PollixLog(QStringLiteral("No lock can be made in %1: %2").arg(place, *why));
        return Outcome::Unavailable;
    }
    *writable = true;
    step(Step::TrialMade);
    const Outcome outcome = lockAt(folder, side, mine.get(), overOtherComputer, why);
    if (outcome == Outcome::Taken) {
        *heldFd = mine.release();
        return outcome;
    }
    // Removed while still locked, and only while its name leads to it: gone already when it
    // became the lock file.
    struct stat own{};
    if (::fstat(mine.get(), &own) == 0)
        folder.removeWritten(side, own);
    return outcome;
}

InstanceLock::Outcome InstanceLock::lockAt(const FolderHandle &folder, const QString &sideFile, int mine,
                                           bool overOtherComputer, QString *why)
{
    const QString name = lockFileName();
    const QString path = folder.pathOf(name);
    // Only the holder of the kernel's lock on the file at path replaces or removes it; a file
    // replaced or removed while it was looked at is looked at again.
    for (int look = 0; look < kLooks; ++look) {
        // Made when missing: a file this account may only read is opened for reading, which is
        // enough to lock it on a local disk; a link or a pipe under the name holds no lock, and
        // Pollix's own takes its place.
        Descriptor current(folder.openToLock(name, true));
        bool holdsCurrent = false;
        if (current.get() >= 0) {
            const bool free = ::flock(current.get(), LOCK_EX | LOCK_NB) == 0;
            const int lockError = free ? 0 : errno;
            if (lockError != 0 && lockError != EWOULDBLOCK) {
                // No kernel lock on this file system (a share without a lock service): the
                // file's word is all there is.
                PollixLog(QStringLiteral("%1 cannot be locked (%2): its process number decides")
                              .arg(path, QString::fromLocal8Bit(std::strerror(lockError))));
                m_owner = readOwner(path).value_or(Owner{});
                if (madeOnOtherComputer(m_owner) && !overOtherComputer)
                    return Outcome::HeldOnOtherComputer;
                if (!madeOnOtherComputer(m_owner) && m_owner.pid != ::getpid() && processRuns(m_owner.pid))
                    return Outcome::HeldByOther;
            } else {
                if (idOf(current.get()) != idIn(folder, name))
                    continue;
                m_owner = readOwner(path).value_or(Owner{});
                if (!free && !madeOnOtherComputer(m_owner))
                    return Outcome::HeldByOther;
                // Free or not, a lock of another computer is the teacher's to take over: the
                // kernel's lock may not reach across the network.
                if (madeOnOtherComputer(m_owner) && !overOtherComputer)
                    return Outcome::HeldOnOtherComputer;
                holdsCurrent = free;
            }
        }
        step(Step::LockLookedAt);
        QString notMoved;
        // Its lock, held since its making, asked once more: a disk without kernel locks holds
        // none, and no lock is put in place there.
        if (mine < 0 || ::flock(mine, LOCK_EX | LOCK_NB) != 0 || !folder.moveOver(sideFile, folder, name, &notMoved)) {
            const int error = mine < 0 ? EBADF : errno;
            const bool folderThere = folder.kindAt(name) == RecordFile::Kind::Folder;
            // The empty file a start makes under the name only to lock it (this one's, or one a
            // start that failed so left) goes; a file with anything in it is not Pollix's to remove.
            if (holdsCurrent && isEmptyFileIn(current.get(), folder, name))
                folder.removeFile(name);
            // The system's words alone: the caller names the lock.
            *why = folderThere           ? tr("a folder of that name is in its place")
                   : notMoved.isEmpty() ? QString::fromLocal8Bit(std::strerror(error))
                                        : notMoved.section(QStringLiteral(": "), -1);
            PollixLog(QStringLiteral("The lock file %1 could not be put in place (%2)").arg(path, *why));
            return Outcome::Unavailable;
        }
        // No sync of the folder: after a power cut the kernel's lock is gone anyway, and a lock
        // file found then is one left behind.
        step(Step::Placed);
        return Outcome::Taken;
    }
    PollixLog(QStringLiteral("The lock file %1 keeps changing: another start is taking it").arg(path));
    m_owner = readOwner(path).value_or(Owner{});
    return Outcome::HeldByOther;
}

bool InstanceLock::heldElsewhere(const QString &place)
{
    // A Pollix that started while the application folder could (or could not) be written
    // holds its lock in the other place.
    const QString path = place + QLatin1Char('/') + lockFileName();
    Descriptor fd(::open(native(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0 || ::flock(fd.get(), LOCK_SH | LOCK_NB) == 0 || errno != EWOULDBLOCK)
        return false;
    const Owner owner = readOwner(path).value_or(Owner{});
    if (madeOnOtherComputer(owner))
        return false;
    m_owner = owner;
    PollixLog(QStringLiteral("%1 is held by process %2 through %3").arg(m_folder).arg(owner.pid).arg(path));
    return true;
}

void InstanceLock::watch()
{
    // At once where the system tells of changes; every few seconds where it may not (a change
    // made by another computer on a network share).
    m_watcher = new QFileSystemWatcher({QFileInfo(m_held->lockPath).absolutePath()}, this);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &InstanceLock::keepFileInPlace);
    m_keepTimer = new QTimer(this);
    m_keepTimer->setInterval(kKeepFileEveryMs);
    connect(m_keepTimer, &QTimer::timeout, this, &InstanceLock::keepFileInPlace);
    m_keepTimer->start();
    // What changed between the lock's rename and the watch (this process stopped in between,
    // another start taking the folder meanwhile) is told by no watcher: looked at once the
    // events run.
    QTimer::singleShot(0, this, &InstanceLock::keepFileInPlace);
}

void InstanceLock::release()
{
    if (m_keepTimer)
        m_keepTimer->stop();
    if (m_watcher)
        m_watcher->disconnect(this);
    if (m_server)
        m_server->close();
    if (m_held->fd < 0)
        return;
    // Removed while still locked, so that no other start takes a file on its way out.
    const FolderHandle folder = folderOf(m_held->lockPath);
    if (idIn(folder, lockFileName()) == m_held->file)
        folder.removeFile(lockFileName());
    setHeld(-1, m_held->lockPath);
}

void InstanceLock::setHeld(int fd, const QString &lockPath)
{
    const FileId file = fd >= 0 ? idOf(fd) : FileId{0, 0};
    std::lock_guard lock(m_held->mutex);
    if (m_held->fd >= 0 && m_held->fd != fd)
        ::close(m_held->fd);
    m_held->fd = fd;
    m_held->lockPath = lockPath;
    m_held->file = file;
}

QString InstanceLock::otherStartReason(qint64 pid)
{
    return tr("Another Pollix on this computer (process %1) has this application folder open now.").arg(pid);
}

QString InstanceLock::lostToOtherStart() const
{
    return lostWhy(*m_held);
}

QString InstanceLock::lostWhy(Held &held)
{
    QString path;
    {
        std::lock_guard lock(held.mutex);
        if (held.fd < 0 || fileIdOf(held.lockPath) == held.file)
            return QString();
        path = held.lockPath;
    }
    // Gone (a clean-up, which this process puts right) or replaced: taken only when the kernel's
    // lock of the file there now is held, and not by this process putting its own back in place.
    Descriptor there(::open(native(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (there.get() < 0 || ::flock(there.get(), LOCK_SH | LOCK_NB) == 0 || errno != EWOULDBLOCK)
        return QString();
    const std::optional<Owner> other = readOwner(path);
    if (!other || other->pid == qint64(::getpid()) || madeOnOtherComputer(*other))
        return QString();
    // The teacher is told on the road every yield takes, by the lock while it is there.
    {
        std::lock_guard lock(held.mutex);
        if (InstanceLock *self = held.lock)
            QMetaObject::invokeMethod(self, [self] { self->keepFileInPlace(); }, Qt::QueuedConnection);
    }
    return otherStartReason(other->pid);
}

void InstanceLock::keepFileInPlace()
{
    if (m_held->fd < 0 || m_takenByOther || m_takenByOtherStart)
        return;
    if (lockFileInPlace()) {
        keepSocketInPlace();
        return;
    }
    // Pollix on another computer opened the folder anyway: its lock is left alone, and its work
    // is not overwritten in silence.
    if (const std::optional<Owner> other = readOwner(m_held->lockPath); other && madeOnOtherComputer(*other)) {
        m_owner = *other;
        m_takenByOther = true;
        AtomicFile::refuseChangesIn(guardedFolders(), tr("Pollix on the computer \"%1\" has this application folder open now.")
                                                          .arg(other->host));
        PollixLog(QStringLiteral("Pollix on the computer \"%1\" has opened %2 (process %3); no file that is there is "
                                 "changed from here until it is taken back")
                      .arg(other->host, m_folder)
                      .arg(other->pid));
        emit takenByOtherComputer();
        return;
    }
    // Made again where it was; where it cannot be put there any more (a folder in its place), in
    // the other place, as a start would.
    const QString was = m_held->lockPath;
    QStringList order{QFileInfo(was).absolutePath()};
    for (const QString &place : places())
        if (!order.contains(place))
            order << place;
    for (const QString &place : std::as_const(order)) {
        int fd = -1;
        QString why;
        bool writable = false;
        const Outcome outcome = lockIn(place, false, &fd, &why, &writable);
        if (outcome == Outcome::Unavailable)
            continue;
        if (outcome != Outcome::Taken) {
            yieldToOtherStart(was);
            return;
        }
        setHeld(fd, place + QLatin1Char('/') + lockFileName());
        if (m_held->lockPath == was) {
            PollixLog(QStringLiteral("The lock file %1 was gone or replaced: it was made again").arg(was));
        } else {
            PollixLog(QStringLiteral("The lock file %1 was gone and cannot be made again there: the lock is kept in %2")
                          .arg(was, m_held->lockPath));
            if (m_watcher) {
                m_watcher->removePaths(m_watcher->directories());
                m_watcher->addPath(place);
            }
        }
        keepSocketInPlace();
        return;
    }
    PollixLog(QStringLiteral("The lock file %1 is gone and cannot be made again").arg(was));
}

void InstanceLock::yieldToOtherStart(const QString &lockPath)
{
    m_takenByOtherStart = true;
    // Every look from here on would make and remove a side file of its own in the folder, which
    // the watcher would tell of at once, again and again.
    if (m_keepTimer)
        m_keepTimer->stop();
    if (m_watcher)
        m_watcher->disconnect(this);
    // The other start listens under the same name now; closing this socket would remove its
    // name, so that no later start could ask that Pollix to come forward. It is let go of as the
    // process ends.
    if (m_server) {
        m_server->disconnect(this);
        m_server->setParent(nullptr);
        m_server = nullptr;
    }
    AtomicFile::refuseChangesIn(guardedFolders(), otherStartReason(m_owner.pid));
    PollixLog(QStringLiteral("The lock file %1 was gone, and another start has taken %2 since (process %3); no file that is "
                             "there is changed from here any more")
                  .arg(lockPath, m_folder)
                  .arg(m_owner.pid));
    emit takenByOtherStart();
}

QString InstanceLock::socketName() const
{
    // Unix socket paths are short: a digest of the folder, not the folder itself.
    const QByteArray digest = QCryptographicHash::hash(QFile::encodeName(m_folder), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("pollix-%1").arg(QString::fromLatin1(digest.left(20)));
}

void InstanceLock::setListenHook(std::function<void(const QString &)> hook)
{
    listenHook() = std::move(hook);
}

void InstanceLock::setStepHook(std::function<void(Step)> hook)
{
    stepHook() = std::move(hook);
}

bool InstanceLock::trialMayBeInUse(const QByteArray &bytes)
{
    const Owner owner = ownerIn(bytes);
    // A process of another computer cannot be seen from here.
    return madeOnOtherComputer(owner) || (owner.pid != ::getpid() && processRuns(owner.pid));
}

void InstanceLock::listen()
{
    if (listenHook())
        listenHook()(m_held->lockPath);
    // A process stopped between its lock's rename and here may wake after another start took the
    // folder and listens under the name: that socket is the other's, not one a killed Pollix left.
    // Where no other start took it, the look that makes the lock file again listens then.
    if (!lockFileInPlace()) {
        PollixLog(QStringLiteral("The lock file %1 was gone before this start listened: the socket of the folder is not "
                                 "touched")
                      .arg(m_held->lockPath));
        return;
    }
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Holding the lock, any socket of that name is one a killed Pollix left.
    QLocalServer::removeServer(socketName());
    if (!m_server->listen(socketName())) {
        PollixLog(QStringLiteral("Another start on %1 cannot reach this one: %2").arg(m_folder, m_server->errorString()));
        return;
    }
    m_socketFile = fileIdOf(m_server->fullServerName());
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine())
                    return;
                if (socket->readLine(64) != kComeForward) {
                    socket->disconnectFromServer();
                    return;
                }
                PollixLog(QStringLiteral("Another start on %1 asked this window to come forward").arg(m_folder));
                const bool shown = m_comeForward && m_comeForward();
                // The asker says that the window came forward only when this answer says so; an
                // ending Pollix says what it still finishes, as it has no window to work in.
                const QByteArray finishing = m_finishing ? m_finishing() : QByteArray();
                socket->write(!finishing.isEmpty() ? kFinishing + finishing + '\n' : QByteArray(shown ? kCameForward : kNoWindow));
                socket->flush();
            });
        }
    });
}

void InstanceLock::keepSocketInPlace()
{
    // A start whose lock file was gone when it was to listen listens once the file is its own
    // again: no other start holds the folder, so a socket under the name is one left behind.
    if (!m_server) {
        listen();
        return;
    }
    // A Pollix that woke from a stop after this one took the folder may have put its own socket
    // under the name, or removed this one's as it ended: no other start would reach this one.
    if (!m_server->isListening() || fileIdOf(m_server->fullServerName()) == m_socketFile)
        return;
    PollixLog(QStringLiteral("The socket by which other starts on %1 reach this one was gone or replaced: it was made again")
                  .arg(m_folder));
    delete std::exchange(m_server, nullptr);
    listen();
}

bool InstanceLock::askOwnerToComeForward(int timeoutMs, QByteArray *finishing) const
{
    if (madeOnOtherComputer(m_owner))
        return false;
    // The owner takes its lock a moment before it listens: a socket not there yet is asked again
    // until the time is up, not given up on at once.
    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(socketName());
        if (socket.waitForConnected(int(deadline.remainingTime())))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    socket.write(kComeForward);
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
        return false;
    // A frozen holder's socket still takes the request (the system queues it): only its answer
    // tells that it came forward.
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    const QByteArray answer = socket.readLine(64);
    if (answer.startsWith(kFinishing)) {
        if (finishing)
            *finishing = answer.mid(qsizetype(sizeof kFinishing) - 1).trimmed();
        return false;
    }
    return answer == kCameForward;
}
