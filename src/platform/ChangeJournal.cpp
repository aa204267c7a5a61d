#include "ChangeJournal.h"

#include "AtomicFile.h"
#include "ContentHash.h"
#include "FolderHandle.h"
#include "Log.h"
#include "RecordFile.h"
#include "SideFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>
#include <cstdio>
#include <cstring>
#include <mutex>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace {
std::mutex g_folderMutex;
QString g_folder;

// A journal of version 2 notes the digests of each file's new and old bytes; one of version 1
// (written by earlier versions) does not, and is still read.
constexpr char kHeader[] = "Pollix change journal 2";
constexpr char kHeaderWithoutDigests[] = "Pollix change journal 1";
constexpr char kEnd[] = "end";
// A change of every file the data folder may hold would still be noted in far fewer bytes.
constexpr qint64 kMostJournalBytes = 64ll << 20;

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

QString nameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

// The folder of a step's files, as the step holds it (closed: none could be opened, and its
// files count as missing, as they would in a missing folder).
const FolderHandle &folderOf(const ChangeJournal::Step &s)
{
    static const FolderHandle none;
    return s.folder ? *s.folder : none;
}

// What lies under one of a step's names (target or side file), never followed.
RecordFile::Kind kindOf(const ChangeJournal::Step &s, const QString &path, struct stat *st = nullptr)
{
    return path.isEmpty() ? RecordFile::Kind::Missing : folderOf(s).kindAt(nameOf(path), st);
}

// Anything under the name, a dangling link too.
bool there(const ChangeJournal::Step &s, const QString &path)
{
    return kindOf(s, path) != RecordFile::Kind::Missing;
}

// Whether two of a step's names lead to the same file (inode), neither followed.
bool sameFile(const ChangeJournal::Step &s, const QString &a, const QString &b)
{
    struct stat one{}, other{};
    return kindOf(s, a, &one) != RecordFile::Kind::Missing && kindOf(s, b, &other) != RecordFile::Kind::Missing &&
           one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

// What one of a step's files holds, read as a regular file in its folder.
std::optional<QByteArray> digestOf(const ChangeJournal::Step &s, const QString &path, QString *why)
{
    const int fd = folderOf(s).openFile(nameOf(path), why);
    if (fd < 0)
        return std::nullopt;
    std::optional<QByteArray> digest = ContentHash::ofDescriptor(fd, why);
    ::close(fd);
    return digest;
}

// Whether one of a step's files holds the bytes of that digest (none noted: never).
bool holds(const ChangeJournal::Step &s, const QString &path, const QByteArray &digest)
{
    QString why;
    return !digest.isEmpty() && there(s, path) && digestOf(s, path, &why) == std::optional<QByteArray>(digest);
}

// Whether a step's new file went in place by an exchange of names, and the name of its new bytes
// holds the old file now (a kill came before it went): the move was made. That name is then the
// old file's second name again (or, where the old bytes were kept as a copy, holds them), whatever
// the target holds since. A side file counts by what it holds, never by its name: going forward,
// a target that still holds the old bytes was never exchanged, and a name of its new bytes that
// holds them too is a copy of the target put there since (someone tidying after a crash), no
// move made. (Going back, the target holds the old bytes again once they were put back.)
bool exchangedOut(const ChangeJournal::Step &s, ChangeJournal::Direction direction)
{
    if (s.staged.isEmpty() || s.kept.isEmpty() || !there(s, s.staged))
        return false;
    const bool back = direction == ChangeJournal::Direction::Back;
    // The old file itself under the name: exchanged, unless the target is that file too.
    if (sameFile(s, s.staged, s.kept))
        return back || !sameFile(s, s.target, s.kept);
    return holds(s, s.staged, s.oldDigest) && (back || !(sameFile(s, s.target, s.kept) || holds(s, s.target, s.oldDigest)));
}

// Every step with the folder of its files held open: the one it carries (the change that makes
// it holds it from its first write), else reached from base (the journal's folder, itself
// reached as it lies: the data folder may be a link) by the folders below it, each opened
// without following a link; without a journal, the target's folder by its path. A folder that
// cannot be opened stays closed.
QList<ChangeJournal::Step> placed(const QList<ChangeJournal::Step> &steps, const QString &base)
{
    QList<ChangeJournal::Step> out = steps;
    std::map<QString, std::shared_ptr<const FolderHandle>> opened;
    std::optional<FolderHandle> top;
    for (ChangeJournal::Step &s : out) {
        if (s.folder)
            continue;
        const QString dir = QFileInfo(s.target).absolutePath();
        std::shared_ptr<const FolderHandle> &held = opened[dir];
        if (!held) {
            const QString relative = base.isEmpty() ? QString() : QDir(base).relativeFilePath(dir);
            if (base.isEmpty() || relative == QLatin1String(".")) {
                held = std::make_shared<const FolderHandle>(FolderHandle::open(base.isEmpty() ? dir : base, true));
            } else {
                if (!top)
                    top = FolderHandle::open(base, true);
                held = std::make_shared<const FolderHandle>(top->openFolder(relative));
            }
        }
        s.folder = held;
    }
    return out;
}

// The journal folder at path, made where it is missing (its parent, the application folder,
// reached as it lies).
FolderHandle journalFolderAt(const QString &path, QString *why)
{
    FolderHandle folder = FolderHandle::open(path, true, why);
    if (!folder.isOpen())
        folder = FolderHandle::open(QFileInfo(path).absolutePath(), true, why).makeFolder(nameOf(path), why);
    return folder;
}

const QRegularExpression &journalName()
{
    static const QRegularExpression re(QStringLiteral("^\\.change-[0-9a-f]{8}\\.journal$"));
    return re;
}

QByteArray encoded(const QDir &base, const QString &path)
{
    return path.isEmpty() ? QByteArray("-") : QUrl::toPercentEncoding(base.relativeFilePath(path));
}

QByteArray encodedDigest(const QByteArray &digest)
{
    return digest.isEmpty() ? QByteArray("-") : digest;
}

// Every rename and removal of the change lasts only once the folders that hold them are synced.
bool syncFoldersOf(const QList<ChangeJournal::Step> &steps, QString *errorText)
{
    QSet<const FolderHandle *> folders;
    for (const ChangeJournal::Step &s : steps)
        folders.insert(&folderOf(s));
    bool synced = true;
    for (const FolderHandle *folder : folders)
        synced = AtomicFile::syncFolder(*folder, errorText) && synced;
    return synced;
}

// A journal found in a folder: its change, or why it is none Pollix wrote.
struct Journal
{
    QString path;
    ChangeJournal::Direction direction = ChangeJournal::Direction::Forward;
    QList<ChangeJournal::Step> steps;
    QString problem;
    bool digests = false; // every step notes its bytes (version 2)
};

// A journal is taken only when it was written whole and every name in it stays below its folder;
// a step only when its side files are named after its own target, so that a journal moves
// nothing but its targets' own side files.
Journal readJournal(const QString &path)
{
    Journal journal{path, ChangeJournal::Direction::Forward, {}, {}};
    const auto refuse = [&](const QString &why) {
        journal.steps.clear();
        journal.problem = why;
        return journal;
    };
    QString why;
    const std::optional<QByteArray> bytes = RecordFile::read(path, kMostJournalBytes, &why);
    if (!bytes)
        return refuse(why);
    const QList<QByteArray> lines = bytes->split('\n');
    // header, direction, steps..., "end", and the empty piece after the last newline
    if (lines.size() < 4 || (lines.first() != kHeader && lines.first() != kHeaderWithoutDigests) ||
        lines.at(lines.size() - 2) != kEnd || !lines.last().isEmpty())
        return refuse(QStringLiteral("it was not written whole"));
    journal.digests = lines.first() == kHeader;
    const qsizetype fieldCount = journal.digests ? 5 : 3;
    if (lines.at(1) == "forward")
        journal.direction = ChangeJournal::Direction::Forward;
    else if (lines.at(1) == "back")
        journal.direction = ChangeJournal::Direction::Back;
    else
        return refuse(QStringLiteral("it names no direction"));
    const QString base = QDir::cleanPath(QFileInfo(path).absolutePath());
    for (qsizetype i = 2; i < lines.size() - 2; ++i) {
        const QList<QByteArray> fields = lines.at(i).split(' ');
        if (fields.size() != fieldCount)
            return refuse(QStringLiteral("line %1 is no step of a change").arg(i + 1));
        QString names[3];
        for (int f = 0; f < 3; ++f) {
            if (fields.at(f) == "-")
                continue;
            const QString name = QUrl::fromPercentEncoding(fields.at(f));
            if (const QString problem = RecordFile::nameProblem(name); !problem.isEmpty())
                return refuse(problem);
            names[f] = base + QLatin1Char('/') + name;
        }
        ChangeJournal::Step s{names[0], names[1], names[2], {}, {}};
        if (s.target.isEmpty() || (s.staged.isEmpty() && s.kept.isEmpty()) ||
            (!s.staged.isEmpty() && !SideFiles::isBeside(s.staged, s.target, SideFiles::Kind::Staged)) ||
            (!s.kept.isEmpty() && !SideFiles::isBeside(s.kept, s.target, SideFiles::Kind::Kept)))
            return refuse(QStringLiteral("line %1 names files that are not the side files of its target").arg(i + 1));
        if (journal.digests) {
            // A digest for each side file, and none without one.
            const QByteArray &newDigest = fields.at(3), &oldDigest = fields.at(4);
            const auto fits = [](const QByteArray &digest, const QString &side) {
                return side.isEmpty() ? digest == "-" : ContentHash::isDigest(digest);
            };
            if (!fits(newDigest, s.staged) || !fits(oldDigest, s.kept))
                return refuse(QStringLiteral("line %1 does not note what its files hold").arg(i + 1));
            if (!s.staged.isEmpty())
                s.newDigest = newDigest;
            if (!s.kept.isEmpty())
                s.oldDigest = oldDigest;
        }
        journal.steps << s;
    }
    return journal;
}

// The files of a change as the teacher knows them: relative to the journal's folder.
QString filesOf(const QString &journalPath, const QList<ChangeJournal::Step> &steps)
{
    const QDir base = QFileInfo(journalPath).absoluteDir();
    QStringList names;
    for (const ChangeJournal::Step &s : steps)
        names << base.relativeFilePath(s.target);
    return names.join(QStringLiteral(", "));
}

// Why the files a journal names may not be touched: a folder on the way that is a symbolic link,
// a target or side file that is anything but a regular file.
QString unsafeFiles(const Journal &journal)
{
    const QString base = QFileInfo(journal.path).absolutePath();
    const QDir dir(base);
    for (const ChangeJournal::Step &s : journal.steps) {
        const QString target = dir.relativeFilePath(s.target);
        if (const QString way = RecordFile::wayProblem(base, target); !way.isEmpty())
            return way;
        // Looked at through the folder the moves are made in, opened without a link on the way.
        if (const QString folder = QFileInfo(s.target).absolutePath();
            !folderOf(s).isOpen() && RecordFile::kindAt(folder) != RecordFile::Kind::Missing)
            return QStringLiteral("%1 cannot be opened").arg(dir.relativeFilePath(folder));
        for (const QString &path : {s.target, s.staged, s.kept}) {
            const RecordFile::Kind kind = kindOf(s, path);
            if (kind != RecordFile::Kind::Missing && kind != RecordFile::Kind::File)
                return QStringLiteral("%1 is %2").arg(dir.relativeFilePath(path), RecordFile::kindText(kind));
        }
    }
    return QString();
}

// Why a step cannot be carried through as its journal expects, as far as names and inodes tell:
// its target was saved, made or removed again since the change was noted down. The old file's
// second name is a link to the very file the change replaces, so while it is the target nothing
// was put in its place (a save written into that file itself is not seen this way, nor a save of
// a file whose new bytes are in place already: the digests tell those, savedSince). The check of
// a change this process is making, and of a journal of an earlier version.
QString overtaken(const ChangeJournal::Step &s, ChangeJournal::Direction direction)
{
    const QString name = QFileInfo(s.target).fileName();
    // A name of the new bytes that holds the old file after their exchange is no side file to move.
    const bool staged = there(s, s.staged) && !exchangedOut(s, direction), kept = there(s, s.kept), target = there(s, s.target);
    // The old file's second name is the file itself; where the disk has no second names, the old
    // bytes were kept as a copy, and the target is unchanged while it holds what the copy holds.
    const auto holdsOldBytes = [&] {
        QString why;
        return !s.oldDigest.isEmpty() && digestOf(s, s.target, &why) == std::optional<QByteArray>(s.oldDigest);
    };
    const bool unchanged = kept && target && (sameFile(s, s.target, s.kept) || holdsOldBytes());
    const QString saved = QStringLiteral("%1 was saved again since").arg(name);
    // A file the change makes that is there before the change moved it in was made by another.
    if (s.kept.isEmpty() && staged && target)
        return saved;
    if (s.kept.isEmpty() || !kept)
        return QString();
    if (s.staged.isEmpty()) {
        // A removal: the file may be gone or still the old one, not one made again.
        return target && !unchanged ? QStringLiteral("%1 was made again since").arg(name) : QString();
    }
    if (staged && !unchanged)
        return target ? saved : QStringLiteral("%1 was removed since").arg(name);
    // Its new bytes took its place in one rename: a replaced file is never missing.
    if (!staged && !target && direction == ChangeJournal::Direction::Back)
        return QStringLiteral("%1 was removed since").arg(name);
    return QString();
}

QString overtaken(const QList<ChangeJournal::Step> &steps, ChangeJournal::Direction direction)
{
    for (const ChangeJournal::Step &s : steps)
        if (const QString why = overtaken(s, direction); !why.isEmpty())
            return why;
    return QString();
}

// Why a change found at start may not be carried through: one of its targets holds neither the
// old nor the new bytes its journal noted (where it noted none, no file): a later save, made by
// whoever, in place or under a new inode, which the change must not undo. Empty when every target
// is still as the change had it; *cannotTell: a target that could not be read to tell.
QString savedSince(const Journal &journal, QString *cannotTell)
{
    if (!journal.digests)
        return overtaken(journal.steps, journal.direction);
    for (const ChangeJournal::Step &s : journal.steps) {
        const QString name = QFileInfo(s.target).fileName();
        if (!there(s, s.target)) {
            // No file is as the change had it before it made one, or after it removed one.
            if (s.kept.isEmpty() || s.staged.isEmpty())
                continue;
            return QStringLiteral("%1 was removed since").arg(name);
        }
        QString why;
        const std::optional<QByteArray> now = digestOf(s, s.target, &why);
        if (!now) {
            *cannotTell = QStringLiteral("%1 could not be read to tell whether it was saved since (%2)").arg(name, why);
            return QString();
        }
        if (*now == s.oldDigest || *now == s.newDigest)
            continue;
        // A file the change removes, there anew under another inode than the one it had.
        if (s.staged.isEmpty() && !sameFile(s, s.target, s.kept))
            return QStringLiteral("%1 was made again since").arg(name);
        return QStringLiteral("%1 was saved again since").arg(name);
    }
    return QString();
}

// Why the side files of a change found at start may not be moved: one no longer holds the bytes
// its journal noted (it was changed), and moving it would put bytes in place that are neither the
// change's nor a save's. *cannotTell: a side file that could not be read to tell.
QString sideFilesChanged(const Journal &journal, QString *cannotTell)
{
    if (!journal.digests)
        return QString();
    const QDir dir(QFileInfo(journal.path).absolutePath());
    for (const ChangeJournal::Step &s : journal.steps) {
        const std::pair<const QString &, const QByteArray &> sides[] = {{s.staged, s.newDigest}, {s.kept, s.oldDigest}};
        for (const auto &[side, digest] : sides) {
            // A second name of the target itself holds what the target was just found to hold
            // (the old file's, or, going back, the new bytes' name once the old ones are back); the
            // name of the new bytes holds the old ones after their exchange. Going forward, a name
            // of the new bytes is never the target's: such a name holds the old bytes, not the new.
            const bool targetsOwn = side == s.kept || journal.direction == ChangeJournal::Direction::Back;
            if (side.isEmpty() || !there(s, side) || (targetsOwn && sameFile(s, side, s.target)) ||
                (side == s.staged && exchangedOut(s, journal.direction)))
                continue;
            QString why;
            const std::optional<QByteArray> now = digestOf(s, side, &why);
            if (!now) {
                *cannotTell = QStringLiteral("%1 could not be read (%2)").arg(dir.relativeFilePath(side), why);
                return QString();
            }
            if (*now != digest)
                return QStringLiteral("%1 no longer holds the bytes its journal noted").arg(dir.relativeFilePath(side));
        }
    }
    return QString();
}

// Why a change cannot be carried through in direction as its side files stand: one it needs is
// missing (an administrator tidying after a crash, a folder pointed at an older copy of itself),
// and its target does not hold what that file was to put there. A missing side file counts as
// moved only where its target holds what the journal noted; carried through all the same, the
// change would land in some of its files and not in the others. Empty when it can, and for a
// journal of an earlier version, which notes no digests to tell.
QString sideFileMissing(const Journal &journal, ChangeJournal::Direction direction)
{
    if (!journal.digests)
        return QString();
    const QDir dir(QFileInfo(journal.path).absolutePath());
    const bool forward = direction == ChangeJournal::Direction::Forward;
    for (const ChangeJournal::Step &s : journal.steps) {
        const QString &side = forward ? s.staged : s.kept;
        if (side.isEmpty() || there(s, side) || holds(s, s.target, forward ? s.newDigest : s.oldDigest))
            continue;
        // Still as the other way left it: the bytes that side file was to replace, or no file where
        // there were none. (A target holding neither was saved since, and the change is given up.)
        const QByteArray &before = forward ? s.oldDigest : s.newDigest;
        if (!(before.isEmpty() ? !there(s, s.target) : holds(s, s.target, before)))
            continue;
        return QStringLiteral("%1 is missing, and %2 does not hold the bytes it was to %3")
            .arg(dir.relativeFilePath(side), dir.relativeFilePath(s.target), forward ? QStringLiteral("get") : QStringLiteral("get back"));
    }
    return QString();
}

// Why a start leaves a journal as it is and never carries its change through: none Pollix wrote
// whole, files it must not touch, side files that hold other bytes than it noted (moved, they
// would put in place bytes that are neither the change's nor a later save's, and given up, they
// would be removed), or side files missing that the change needs both to be finished and to be
// put back. Empty when a start finishes the change, puts it back, gives it up or tries it again;
// *cannotTell: a side file that could not be read to tell.
QString leftAloneText(const Journal &journal, QString *cannotTell)
{
    if (!journal.problem.isEmpty())
        return QStringLiteral("%1 is no journal Pollix wrote (%2); it is left as it is").arg(journal.path, journal.problem);
    QString why = unsafeFiles(journal);
    if (why.isEmpty())
        why = sideFilesChanged(journal, cannotTell);
    if (const QString forward = why.isEmpty() && cannotTell->isEmpty()
                                    ? sideFileMissing(journal, ChangeJournal::Direction::Forward)
                                    : QString();
        !forward.isEmpty())
        if (const QString back = sideFileMissing(journal, ChangeJournal::Direction::Back); !back.isEmpty())
            why = forward + QStringLiteral("; ") + back;
    if (why.isEmpty())
        return QString();
    return QStringLiteral("%1 is left as it is, and its change is not carried through: %2").arg(journal.path, why);
}

// The moves of a change, each made in the folder of its step held open; the files that could
// not be moved, with the reasons.
QStringList move(const QList<ChangeJournal::Step> &steps, ChangeJournal::Direction direction)
{
    QStringList failed;
    // The lock is asked again right before each rename and removal: a Pollix stopped meanwhile,
    // whose folder another start took (and finished or took back this change), touches nothing.
    const auto taken = [&](const ChangeJournal::Step &s, const QString &what) {
        QString why;
        if (!AtomicFile::folderTaken(s.target, &why))
            return false;
        failed << QStringLiteral("%1: %2").arg(nameOf(what), why);
        return true;
    };
    auto putInPlace = [&](const ChangeJournal::Step &s, const QString &from, const QString &to) {
        QString why;
        if (!taken(s, to) && !folderOf(s).renameOver(nameOf(from), nameOf(to), &why))
            failed << QStringLiteral("%1: %2").arg(nameOf(to), why);
    };
    auto takeAway = [&](const ChangeJournal::Step &s, const QString &path) {
        QString why;
        if (!taken(s, path) && !folderOf(s).removeFile(nameOf(path), &why))
            failed << QStringLiteral("%1: %2").arg(nameOf(path), why);
    };
    if (direction == ChangeJournal::Direction::Forward) {
        for (const ChangeJournal::Step &s : steps) {
            if (!s.staged.isEmpty()) {
                if (there(s, s.staged) && !exchangedOut(s, direction))
                    putInPlace(s, s.staged, s.target);
            } else if (there(s, s.kept) || (!s.oldDigest.isEmpty() && there(s, s.target))) {
                // A removal still to do: its old bytes are kept until the change is done. (Where
                // they are no longer kept, the digests told the file for the old one.)
                takeAway(s, s.target);
            }
        }
    } else {
        for (qsizetype i = steps.size() - 1; i >= 0; --i) {
            const ChangeJournal::Step &s = steps.at(i);
            if (there(s, s.kept))
                putInPlace(s, s.kept, s.target);
            else if (s.kept.isEmpty() && !s.staged.isEmpty() && !there(s, s.staged))
                takeAway(s, s.target); // a new file that was already moved in
        }
    }
    QString why;
    if (!syncFoldersOf(steps, &why))
        failed << why;
    return failed;
}

// A change carried through, or given up: its journal goes first, so that it never outlives the
// moves; the side files left then are plain leftovers that the next start removes. Step by step,
// the name of the new bytes first (exchanged, it is the old file's other name), so that a kill
// leaves no new file without the old one it stands for (cutShortWithoutJournal).
void removeWithSideFiles(const QString &journalPath, const QList<ChangeJournal::Step> &steps,
                         const FolderHandle *journals = nullptr)
{
    ChangeJournal::remove(journalPath, journals);
    for (const ChangeJournal::Step &s : steps) {
        // A kept name of a file that stayed in place is a second link to it (rename keeps both).
        for (const QString &side : {s.staged, s.kept})
            if (kindOf(s, side) == RecordFile::Kind::File)
                folderOf(s).removeFile(nameOf(side));
    }
}

// Makes the moves of a change and, when all went, removes its journal and side files; the
// caller has looked whether a target was saved again since.
bool carryThrough(const QList<ChangeJournal::Step> &steps, ChangeJournal::Direction direction, QString *errorText,
                  const QString &journalPath, const FolderHandle *journals = nullptr)
{
    const QStringList failed = move(steps, direction);
    if (!failed.isEmpty()) {
        // Every side file stays: the journal carries the change through again from them.
        if (errorText)
            *errorText = failed.join(QStringLiteral("; "));
        return false;
    }
    removeWithSideFiles(journalPath, steps, journals);
    return true;
}

// The journal folder as last seen holding no journal, and when it was last changed then. While
// the folder is the same and its change time (which no program can set) is the same, no name
// came into it or left it, so no journal either, whichever process would have written one. A
// file system's clock may give closely following changes the same time (one tick of the
// kernel's clock, or the two seconds of some network and FAT file systems), so a look is kept
// only when the folder's last change was well before it; a folder changed meanwhile is read
// again. (Over a network share, changes made on another computer may reach this one late; its
// lock keeps two Pollix from writing there at once.)
struct EmptyLook
{
    QString folder;
    dev_t device = 0;
    ino_t inode = 0;
    timespec changed{};
    timespec modified{};
};
std::mutex g_lookMutex;
std::optional<EmptyLook> g_emptyLook;
std::function<qint64()> g_clock;
constexpr qint64 kSettledNs = 3'000'000'000;

qint64 nowNs()
{
    {
        std::lock_guard lock(g_lookMutex);
        if (g_clock)
            return g_clock();
    }
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

bool sameTime(const timespec &a, const timespec &b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

void forgetEmptyLook()
{
    std::lock_guard lock(g_lookMutex);
    g_emptyLook.reset();
}

// Whether a name in folder is a journal's; true too when the folder cannot be read.
bool anyJournalName(const QString &folder)
{
    DIR *dir = ::opendir(native(folder).constData());
    if (!dir)
        return errno != ENOENT;
    bool any = false;
    while (const dirent *entry = ::readdir(dir)) {
        if (std::strncmp(entry->d_name, ".change-", 8) == 0 && journalName().match(QFile::decodeName(entry->d_name)).hasMatch()) {
            any = true;
            break;
        }
    }
    ::closedir(dir);
    return any;
}

// Whether folder may hold a journal: false only when it holds none, found by the look above or,
// when the folder changed since, by reading its names (neither sorted nor each looked at).
bool mayHoldJournals(const QString &folder)
{
    struct stat st{};
    if (::stat(native(folder).constData(), &st) != 0)
        return errno != ENOENT && errno != ENOTDIR;
    {
        std::lock_guard lock(g_lookMutex);
        if (g_emptyLook && g_emptyLook->folder == folder && g_emptyLook->device == st.st_dev &&
            g_emptyLook->inode == st.st_ino && sameTime(g_emptyLook->changed, st.st_ctim) &&
            sameTime(g_emptyLook->modified, st.st_mtim))
            return false;
    }
    const bool any = anyJournalName(folder);
    const qint64 age = nowNs() - (qint64(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec);
    std::lock_guard lock(g_lookMutex);
    if (!any && age > kSettledNs)
        g_emptyLook = EmptyLook{folder, st.st_dev, st.st_ino, st.st_ctim, st.st_mtim};
    else
        g_emptyLook.reset();
    return any;
}

// The journals in folder, oldest first; every file under a journal's name, whatever it is.
QList<Journal> journalsIn(const QString &folder)
{
    QList<Journal> out;
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return out;
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Time | QDir::Reversed)) {
        if (!journalName().match(name).hasMatch())
            continue;
        Journal journal = readJournal(dir.filePath(name));
        journal.steps = placed(journal.steps, QFileInfo(journal.path).absolutePath());
        out << journal;
    }
    return out;
}
} // namespace

namespace ChangeJournal {

void setFolder(const QString &folder)
{
    std::lock_guard lock(g_folderMutex);
    g_folder = folder.isEmpty() ? QString() : QDir::cleanPath(folder);
}

QString folder()
{
    std::lock_guard lock(g_folderMutex);
    return g_folder;
}

QString write(const QList<Step> &givenSteps, Direction direction, QString *errorText, const QString &journalPath, QString *tried,
              const FolderHandle *held)
{
    if (tried)
        tried->clear();
    // What the side files hold, where the caller did not say: as the journal rewritten noted it
    // (its side files may be in place already), else as they hold it now.
    QList<Step> steps = placed(givenSteps, journalPath.isEmpty() ? folder() : QFileInfo(journalPath).absolutePath());
    const auto unsaid = [](const Step &s) {
        return (!s.staged.isEmpty() && s.newDigest.isEmpty()) || (!s.kept.isEmpty() && s.oldDigest.isEmpty());
    };
    if (!journalPath.isEmpty() && std::any_of(steps.cbegin(), steps.cend(), unsaid)) {
        const Journal noted = readJournal(journalPath);
        for (Step &s : steps) {
            for (const Step &n : noted.steps) {
                if (n.target == s.target && n.staged == s.staged && n.kept == s.kept) {
                    s.newDigest = s.newDigest.isEmpty() ? n.newDigest : s.newDigest;
                    s.oldDigest = s.oldDigest.isEmpty() ? n.oldDigest : s.oldDigest;
                }
            }
        }
    }
    for (Step &s : steps) {
        const std::pair<const QString &, QByteArray &> sides[] = {{s.staged, s.newDigest}, {s.kept, s.oldDigest}};
        for (const auto &[side, digest] : sides) {
            if (side.isEmpty() || !digest.isEmpty())
                continue;
            QString why;
            const std::optional<QByteArray> read = digestOf(s, side, &why);
            if (!read) {
                if (errorText)
                    *errorText = QStringLiteral("the change could not be noted down first: %1: %2").arg(QFileInfo(side).fileName(), why);
                return QString();
            }
            digest = *read;
        }
    }
    // A journal written now is seen by the next look for one.
    forgetEmptyLook();
    QString path = journalPath;
    const QString where = path.isEmpty() ? folder() : QFileInfo(path).absolutePath();
    if (where.isEmpty())
        return QString();
    QString why;
    FolderHandle reached;
    if (!held)
        reached = journalFolderAt(where, &why);
    const FolderHandle &journals = held ? *held : reached;
    if (!journals.isOpen()) {
        if (errorText)
            *errorText = QStringLiteral("the change could not be noted down first: %1").arg(why);
        return QString();
    }
    if (path.isEmpty()) {
        // Named by chance: a disk that says every name is taken is not asked for ever.
        for (int tries = 0; path.isEmpty() && tries < SideFiles::kMostNameTries; ++tries) {
            const QString name = QStringLiteral("%1/.change-%2.journal")
                                     .arg(where)
                                     .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
            if (journals.kindAt(nameOf(name)) == RecordFile::Kind::Missing)
                path = name;
        }
        if (path.isEmpty()) {
            if (errorText)
                *errorText = QStringLiteral("the change could not be noted down first: every journal name tried in %1 is "
                                            "taken").arg(where);
            return QString();
        }
    }
    if (tried)
        *tried = path;
    const QDir base = QFileInfo(path).absoluteDir();
    // A start reads back only names below the journal's folder.
    for (const Step &s : steps) {
        if (!RecordFile::nameProblem(base.relativeFilePath(s.target)).isEmpty()) {
            if (errorText)
                *errorText = QStringLiteral("the change could not be noted down first: %1 lies outside %2")
                                 .arg(s.target, base.path());
            return QString();
        }
    }
    QByteArray text = QByteArray(kHeader) + '\n' + (direction == Direction::Forward ? "forward" : "back") + '\n';
    for (const Step &s : steps)
        text += encoded(base, s.target) + ' ' + encoded(base, s.staged) + ' ' + encoded(base, s.kept) + ' ' +
                encodedDigest(s.newDigest) + ' ' + encodedDigest(s.oldDigest) + '\n';
    text += QByteArray(kEnd) + '\n';
    // The side files are on the disk before the journal that names them, and the journal (its
    // folder synced by AtomicFile) before the first move it covers: a new journal in place but not
    // on the disk is no journal yet. A journal rewritten in place is what the next start reads.
    AtomicFile::Failure step = AtomicFile::Failure::None;
    if (!syncFoldersOf(steps, &why) || !AtomicFile::write(journals, nameOf(path), text, &why, &step) ||
        (journalPath.isEmpty() && step == AtomicFile::Failure::Unsynced)) {
        // A new journal that reached its place all the same would be finished at the next start
        // while its change is given up now. Only then is one there of this write's: whatever else
        // lies under its name (another's, or none where another start removed it) stays.
        if (journalPath.isEmpty() && step == AtomicFile::Failure::Unsynced)
            journals.removeFile(nameOf(path));
        if (errorText)
            *errorText = QStringLiteral("the change could not be noted down first: %1").arg(why);
        return QString();
    }
    return path;
}

bool isJournalName(const QString &fileName)
{
    return journalName().match(fileName).hasMatch();
}

void remove(const QString &journalPath, const FolderHandle *held)
{
    if (journalPath.isEmpty())
        return;
    // Where the change holds its journal's folder, the journal goes there: by its path, it would
    // be looked for in whatever folder was put in that one's place meanwhile, and the journal
    // left beside the finished change would hold back every later save of its files.
    FolderHandle reached;
    if (!held)
        reached = FolderHandle::open(QFileInfo(journalPath).absolutePath(), true);
    const FolderHandle &journals = held ? *held : reached;
    if (QString why; !journals.removeFile(nameOf(journalPath), &why))
        PollixLog(QStringLiteral("Could not remove the journal %1: %2").arg(journalPath, why));
    // A journal back after a power cut would carry its change through a second time.
    AtomicFile::syncFolder(journals);
}

bool apply(const QList<Step> &givenSteps, Direction direction, QString *errorText, const QString &journalPath,
           const FolderHandle *journals)
{
    const QList<Step> steps = placed(givenSteps, journalPath.isEmpty() ? QString() : QFileInfo(journalPath).absolutePath());
    if (const QString why = overtaken(steps, direction); !why.isEmpty()) {
        if (errorText)
            *errorText = why;
        return false;
    }
    return carryThrough(steps, direction, errorText, journalPath, journals);
}

int finishInterrupted(const QString &folder, QString *errorText, LeftAloneList *leftAlone)
{
    int finished = 0;
    QStringList problems;
    const auto tell = [&](const QString &problem) {
        problems << problem;
        PollixLog(problem);
    };
    const auto leave = [&](const QString &path, const QString &text) {
        if (!leftAlone)
            return tell(text);
        *leftAlone << LeftAlone{path, text};
        PollixLog(text);
    };
    for (const Journal &journal : journalsIn(folder)) {
        const QString &path = journal.path;
        // Looked at before whether a target was saved since: a change left as it is keeps its
        // side files whatever became of its targets, as the teacher was told.
        QString cannotTell;
        if (const QString text = leftAloneText(journal, &cannotTell); !text.isEmpty()) {
            leave(path, text);
            continue;
        }
        const bool forward = journal.direction == Direction::Forward;
        const QString files = filesOf(path, journal.steps);
        if (const QString why = cannotTell.isEmpty() ? savedSince(journal, &cannotTell) : QString(); !why.isEmpty()) {
            // Carried through now, the change would undo that later save, in some of its files.
            removeWithSideFiles(path, journal.steps);
            tell(QStringLiteral("A change of %1 cut short earlier was given up: %2, and that later save stays")
                     .arg(files, why));
            continue;
        }
        // A file that could not be read is tried again at the next start.
        if (!cannotTell.isEmpty()) {
            tell(QStringLiteral("A change of %1 is not carried through yet: %2; it stays noted down and is tried again at "
                                "the next start")
                     .arg(files, cannotTell));
            continue;
        }
        QString why;
        // A side file missing that the change needs one way (leftAloneText found the other way
        // open): it goes the other way, noted down first so that a kill meanwhile goes on so.
        const QString missing = sideFileMissing(journal, journal.direction);
        const bool turns = !missing.isEmpty();
        const Direction direction = !turns ? journal.direction : forward ? Direction::Back : Direction::Forward;
        const QString done = direction == Direction::Forward ? QStringLiteral("finished") : QStringLiteral("taken back");
        if ((turns && write(journal.steps, direction, &why, path).isEmpty()) ||
            !carryThrough(journal.steps, direction, &why, path)) {
            // Its journal and side files stay: the next start tries again.
            tell(QStringLiteral("A change of %1 could not be %2 (%3); it stays noted down and is tried again at the next start")
                     .arg(files, done, why));
            continue;
        }
        if (turns) {
            tell(QStringLiteral("A change of %1 cut short earlier was %2: %3, so every file holds what it held %4 the change")
                     .arg(files, direction == Direction::Back ? QStringLiteral("put back") : QStringLiteral("finished rather than put back"),
                          missing, direction == Direction::Back ? QStringLiteral("before") : QStringLiteral("after")));
            continue;
        }
        ++finished;
        PollixLog(QStringLiteral("Finished a change of %1 files cut short%2")
                      .arg(journal.steps.size())
                      .arg(forward ? QString() : QStringLiteral(" (taken back)")));
    }
    if (!problems.isEmpty() && errorText)
        *errorText = problems.join(QLatin1Char('\n'));
    return finished;
}

QStringList sideFilesInUse(const QString &folder)
{
    QStringList out;
    for (const Journal &journal : journalsIn(folder))
        for (const Step &s : journal.steps)
            for (const QString &side : {s.staged, s.kept})
                if (!side.isEmpty())
                    out << side;
    return out;
}

LeftAloneList cutShortWithoutJournal(const FolderHandle &folder, const QStringList &needed)
{
    return cutShortWithoutJournal(SideFiles::listIn(folder, {SideFiles::Kind::Staged, SideFiles::Kind::Kept}, true, needed));
}

LeftAloneList cutShortWithoutJournal(const QList<SideFiles::Found> &sideFiles)
{
    LeftAloneList moved;
    bool movesLeft = false;
    // Whether two side files (or a side file and its target) in at are one file or hold the same
    // bytes (a copy, on a disk without second names).
    const auto alike = [](const FolderHandle &at, const QString &one, const struct stat &oneStat, const QString &other) {
        struct stat otherStat{};
        if (at.kindAt(other, &otherStat) != RecordFile::Kind::File)
            return false;
        if (otherStat.st_dev == oneStat.st_dev && otherStat.st_ino == oneStat.st_ino)
            return true;
        const auto digest = [&](const QString &file) {
            const int fd = at.openFile(file);
            const std::optional<QByteArray> out = fd < 0 ? std::nullopt : ContentHash::ofDescriptor(fd, nullptr);
            if (fd >= 0)
                ::close(fd);
            return out;
        };
        const std::optional<QByteArray> first = digest(one);
        return first && first == digest(other);
    };
    for (const SideFiles::Found &found : sideFiles) {
        if (found.kind != SideFiles::Kind::Staged && found.kind != SideFiles::Kind::Kept)
            continue;
        const FolderHandle &at = *found.at;
        const QString &name = found.name;
        const std::optional<QString> target = SideFiles::targetIn(at, name);
        if (found.kind == SideFiles::Kind::Staged) {
            // The old file exchanged out of its place, as its kept name tells: a move made. Else
            // new bytes not in place yet. The kept names are among those found in its folder: the
            // folder is not listed again.
            bool exchanged = false;
            if (target)
                for (const SideFiles::Found &other : sideFiles)
                    exchanged = exchanged || (other.at == found.at && other.kind == SideFiles::Kind::Kept &&
                                              SideFiles::isBeside(at.pathOf(other.name), at.pathOf(*target), SideFiles::Kind::Kept) &&
                                              alike(at, name, found.st, other.name));
            movesLeft = movesLeft || !exchanged;
            continue;
        }
        // Old bytes still the file in place (or a copy of what it holds): its move not made.
        if (target && alike(at, name, found.st, *target)) {
            movesLeft = true;
            continue;
        }
        const bool gone = !target || at.kindAt(*target) == RecordFile::Kind::Missing;
        const QString path = at.pathOf(name);
        const QString targetName = target.value_or(name.left(name.lastIndexOf(QLatin1Char('.'))));
        moved << LeftAlone{path, gone ? QStringLiteral("%1 holds what %2 held before a change of several files that removed it "
                                                       "was cut short, and the change's journal is gone: other files of that "
                                                       "change may not agree with that now, and Pollix cannot tell which, so it "
                                                       "leaves the change's files as they are; to take the change back, give "
                                                       "this file the name %2")
                                            .arg(path, targetName)
                                      : QStringLiteral("%1 holds what %2 held before a change of several files that replaced it "
                                                       "was cut short, and the change's journal is gone: other files of that "
                                                       "change may not agree with %2 now, and Pollix cannot tell which, so it "
                                                       "leaves the change's files as they are; to take the change back in %2, "
                                                       "put this file in its place")
                                            .arg(path, targetName)};
    }
    return movesLeft ? moved : LeftAloneList();
}

void setClockForTesting(std::function<qint64()> clock)
{
    std::lock_guard lock(g_lookMutex);
    g_clock = std::move(clock);
    g_emptyLook.reset();
}

QString unfinishedChangeOf(const QStringList &paths, QString *held)
{
    const QString where = folder();
    if (where.isEmpty() || paths.isEmpty() || !mayHoldJournals(where))
        return QString();
    QHash<QString, QString> wanted;
    for (const QString &path : paths)
        wanted.insert(QDir::cleanPath(QFileInfo(path).absoluteFilePath()), path);
    for (const Journal &journal : journalsIn(where)) {
        // A journal a start leaves as it is never carries its change through: it holds back no save.
        if (QString cannotTell; !leftAloneText(journal, &cannotTell).isEmpty())
            continue;
        for (const Step &s : journal.steps) {
            if (!wanted.contains(s.target))
                continue;
            if (held)
                *held = wanted.value(s.target);
            return QStringLiteral("an earlier change of %1 was cut short and is not finished yet; nothing is saved "
                                      "over it before Pollix finishes it, when it starts next")
                .arg(filesOf(journal.path, journal.steps));
        }
    }
    return QString();
}

} // namespace ChangeJournal
