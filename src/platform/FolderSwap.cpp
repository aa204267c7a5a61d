#include "FolderSwap.h"

#include "AtomicFile.h"
#include "FolderHandle.h"
#include "FolderMark.h"
#include "Log.h"
#include "RecordFile.h"
#include "SideFiles.h"
#include "TakenFolders.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr char kHeader[] = "Pollix folder swap 1";
constexpr char kEnd[] = "end";

bool fail(QString *errorText, const QString &why)
{
    if (errorText)
        *errorText = why;
    PollixLog(why);
    return false;
}

QString errnoText(int code = errno)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

QString withoutTrailingSlash(const QString &path)
{
    return QDir::cleanPath(path);
}

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}


// A swap noted down: the folder, the prepared folder and the one its old contents go to, all
// in the journal's folder.
struct Swap
{
    QString journal, target, prepared, aside;
};

QRegularExpression journalName(const QString &targetName)
{
    return QRegularExpression(QStringLiteral("^\\.%1\\.swap-[0-9a-f]{8}\\.journal$").arg(QRegularExpression::escape(targetName)));
}

// The names makeSibling gives: a journal can move nothing but the folder and its own siblings.
bool isSiblingName(const QString &name, const QString &targetName)
{
    static const QString pattern = QStringLiteral("^%1\\.[a-z]+-[A-Za-z0-9]{6}$");
    return QRegularExpression(pattern.arg(QRegularExpression::escape(targetName))).match(name).hasMatch();
}

QString writeJournal(const FolderHandle &parent, const QString &target, const QString &prepared, const QString &aside,
                     QString *errorText)
{
    const QFileInfo info(target);
    QString name;
    // Named by chance: a disk that says every name is taken is not asked for ever.
    for (int tries = 0; name.isEmpty() && tries < SideFiles::kMostNameTries; ++tries) {
        const QString tried = QStringLiteral(".%1.swap-%2.journal")
                                  .arg(info.fileName())
                                  .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        if (parent.kindAt(tried) == RecordFile::Kind::Missing)
            name = tried;
    }
    if (name.isEmpty()) {
        if (errorText)
            *errorText = QStringLiteral("every journal name tried in %1 is taken").arg(parent.path());
        return QString();
    }
    QByteArray text = QByteArray(kHeader) + '\n';
    for (const QString &folder : {target, prepared, aside})
        text += QUrl::toPercentEncoding(QFileInfo(folder).fileName()) + '\n';
    text += QByteArray(kEnd) + '\n';
    // AtomicFile syncs the folder: the journal is on the disk before the first rename, or the
    // swap is not begun.
    AtomicFile::Failure step = AtomicFile::Failure::None;
    if (AtomicFile::write(parent, name, text, errorText, &step) && step == AtomicFile::Failure::None)
        return parent.pathOf(name);
    if (step == AtomicFile::Failure::Unsynced)
        parent.removeFile(name);
    return QString();
}

// A swap journal is small: three names of one folder each.
constexpr qint64 kMostJournalBytes = 64 * 1024;

// The swap a journal notes down, or why it is none Pollix wrote.
std::optional<Swap> readJournal(const QString &path, const QString &targetName, QString *why)
{
    const std::optional<QByteArray> bytes = RecordFile::read(path, kMostJournalBytes, why);
    if (!bytes)
        return std::nullopt;
    const QList<QByteArray> lines = bytes->split('\n');
    if (lines.size() != 6 || lines.at(0) != kHeader || lines.at(4) != kEnd || !lines.at(5).isEmpty()) {
        *why = QStringLiteral("it was not written whole");
        return std::nullopt;
    }
    const QString target = QUrl::fromPercentEncoding(lines.at(1));
    const QString prepared = QUrl::fromPercentEncoding(lines.at(2));
    const QString aside = QUrl::fromPercentEncoding(lines.at(3));
    // Names of the folder's own siblings only: nothing else can be moved or removed by it.
    if (target != targetName || !isSiblingName(prepared, targetName) || !isSiblingName(aside, targetName) || prepared == aside) {
        *why = QStringLiteral("it names folders that are not %1 and its own siblings").arg(targetName);
        return std::nullopt;
    }
    const QDir dir = QFileInfo(path).absoluteDir();
    return Swap{path, dir.filePath(target), dir.filePath(prepared), dir.filePath(aside)};
}

QString nameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

// Why the folders a swap names may not be touched: one of them is no real folder (a symbolic
// link, which a removal would follow, or a file).
QString unsafeFolders(const FolderHandle &parent, const Swap &s)
{
    for (const QString &folder : {s.target, s.prepared, s.aside}) {
        const RecordFile::Kind kind = parent.kindAt(nameOf(folder));
        if (kind != RecordFile::Kind::Missing && kind != RecordFile::Kind::Folder)
            return QStringLiteral("%1 is %2").arg(nameOf(folder), RecordFile::kindText(kind));
    }
    return QString();
}

// The folder name in parent, where one is there.
std::optional<struct stat> folderAt(const FolderHandle &parent, const QString &name)
{
    struct stat st{};
    return parent.kindAt(name, &st) == RecordFile::Kind::Folder ? std::optional(st) : std::nullopt;
}

// Pollix itself put the folder now under name in parent in the place of was: where was is the
// data folder as the start took it behind a link, the link is taken as leading to the new one.
void followed(const FolderHandle &parent, const QString &name, const std::optional<struct stat> &was)
{
    if (const std::optional<struct stat> now = folderAt(parent, name); was && now)
        TakenFolders::replaced(*was, *now);
}

bool holdsFiles(const FolderHandle &parent, const QString &name)
{
    return parent.kindAt(name) == RecordFile::Kind::Folder && !parent.holdsNoFile(name);
}

// Removes a tree of empty folders; false when something else is in it.
bool removeEmptyFolders(const FolderHandle &parent, const QString &name)
{
    return parent.removeTree(name, nullptr, [](const QString &, const struct stat &) { return false; });
}

void removeJournal(const QString &path)
{
    const FolderHandle folder = FolderHandle::open(QFileInfo(path).absolutePath(), true);
    QString why;
    if (!folder.removeFile(nameOf(path), &why))
        PollixLog(QStringLiteral("Could not remove %1: %2").arg(path, why));
    AtomicFile::syncFolderOf(path);
}

// Where a swap's restored data lie, staged whole: in the prepared folder, or, once it was moved
// in, in the target; nowhere when neither holds the note a restore writes into its folder once
// every file of it is there.
enum class Staged { Nowhere, Prepared, InPlace };

Staged stagedWhole(const FolderHandle &parent, const Swap &s)
{
    const std::pair<QString, Staged> places[] = {{s.prepared, Staged::Prepared}, {s.target, Staged::InPlace}};
    for (const auto &[folder, where] : places) {
        if (parent.kindAt(nameOf(folder)) != RecordFile::Kind::Folder)
            continue;
        if (FolderMark::holds(parent.openFolder(nameOf(folder)), FolderMark::Kind::Restored))
            return where;
    }
    return Staged::Nowhere;
}

enum class Outcome { Finished, NotCarriedThrough, Failed };

// A swap whose restored data are not staged whole: nothing moves in, every folder stays, but the
// target, missing (or made again holding no file) while its old contents are aside, gets them
// back.
Outcome leaveAsItIs(const FolderHandle &parent, const Swap &s, QString *why)
{
    const QString target = nameOf(s.target), aside = nameOf(s.aside);
    *why = QStringLiteral("%1 holds no restored data staged whole (no %2 of Pollix's in it), so the swap is not carried "
                          "through and every folder it names is left as it is")
               .arg(nameOf(s.prepared), FolderMark::noteName(FolderMark::Kind::Restored));
    if (!holdsFiles(parent, aside) || holdsFiles(parent, target))
        return Outcome::NotCarriedThrough;
    QString moveWhy;
    const std::optional<struct stat> was = folderAt(parent, target);
    if ((parent.kindAt(target) != RecordFile::Kind::Missing && !removeEmptyFolders(parent, target)) ||
        !parent.moveTo(aside, parent, target, &moveWhy)) {
        *why = QStringLiteral("%1; its old contents in %2 could not be put back: %3").arg(*why, aside, moveWhy);
        return Outcome::Failed;
    }
    followed(parent, target, was);
    AtomicFile::syncFolderOf(s.target);
    *why += QStringLiteral("; its old contents in %1 were put back in its place").arg(aside);
    return Outcome::NotCarriedThrough;
}

// Carries a swap through from wherever it was cut: the prepared folder, its restored data staged
// whole, in the folder's place. The folders holding the old contents go to keep, then the journal
// goes, once the folder is in place and that is on the disk.
Outcome finish(const FolderHandle &parent, const Swap &s, const FolderSwap::KeepOld &keep, QString *why)
{
    const QString target = nameOf(s.target), prepared = nameOf(s.prepared), aside = nameOf(s.aside);
    const auto failed = [&](const QString &reason) {
        *why = reason;
        return Outcome::Failed;
    };
    const Staged staged = stagedWhole(parent, s);
    if (staged == Staged::Nowhere)
        return leaveAsItIs(parent, s, why);
    const std::optional<struct stat> was = folderAt(parent, target);
    if (staged == Staged::Prepared && parent.kindAt(target) != RecordFile::Kind::Missing) {
        if (holdsFiles(parent, aside)) {
            // A folder an earlier start made in the missing one's place (the first-run files'
            // empty data folders) once the old contents were aside: it gives way.
            if (!parent.holdsNoFile(target))
                return failed(QStringLiteral("%1 was made again while its old contents were aside, and it holds files now; "
                                             "the restored data are in %2 and the data they replace in %3")
                                  .arg(s.target, s.prepared, s.aside));
            if (!removeEmptyFolders(parent, target))
                return failed(QStringLiteral("%1, made again while its old contents were aside, cannot be removed").arg(s.target));
        } else if (parent.kindAt(aside) == RecordFile::Kind::Folder) {
            // Nothing moved yet: the folder goes aside into the empty folder made for it (a
            // rename replaces an empty folder, and refuses one that holds anything).
            if (QString moveWhy; !parent.renameOver(target, aside, &moveWhy))
                return failed(moveWhy);
        } else if (QString moveWhy; !parent.moveTo(target, parent, aside, &moveWhy)) {
            return failed(moveWhy);
        }
    }
    if (staged == Staged::Prepared) {
        if (QString moveWhy; !parent.moveTo(prepared, parent, target, &moveWhy))
            return failed(moveWhy);
        followed(parent, target, was);
    }
    if (QString syncWhy; !AtomicFile::syncFolderOf(s.target, &syncWhy))
        return failed(syncWhy);
    // The old contents are never removed here: what holds a file is kept, before the journal,
    // the one record of where they are, goes.
    for (const QString &old : {prepared, aside}) {
        if (parent.kindAt(old) != RecordFile::Kind::Folder)
            continue;
        if (parent.holdsNoFile(old))
            removeEmptyFolders(parent, old);
        else if (keep)
            keep(parent, old);
    }
    removeJournal(s.journal);
    return Outcome::Finished;
}

// Which journals of a folder: those whose folders a start may touch, those it carries through
// (their restored data staged whole), or all that Pollix wrote (their folders must stay).
enum class Which { Safe, CarriedThrough, Held };

// The journals of swaps of target of the kind asked for, and the others in *refused, each named
// with the reason it is left as it is.
QList<Swap> journalsOf(const QString &target, Which which, LeftAloneList *refused = nullptr)
{
    QList<Swap> out;
    if (target.isEmpty())
        return out;
    const QFileInfo info(withoutTrailingSlash(target));
    const FolderHandle parent = FolderHandle::open(info.absolutePath(), true);
    if (!parent.isOpen())
        return out;
    const QRegularExpression name = journalName(info.fileName());
    for (const QString &entry : info.dir().entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name)) {
        if (!name.match(entry).hasMatch())
            continue;
        const QString path = info.dir().filePath(entry);
        QString why;
        const std::optional<Swap> swap = readJournal(path, info.fileName(), &why);
        if (swap)
            why = unsafeFolders(parent, *swap);
        if (swap && (which == Which::Held || (why.isEmpty() && (which == Which::Safe ||
                                                                 stagedWhole(parent, *swap) != Staged::Nowhere))))
            out << *swap;
        else if (refused)
            *refused << LeftAlone{path, swap ? QStringLiteral("%1 is left as it is, and its swap is not carried through: %2").arg(path, why)
                                             : QStringLiteral("%1 is no journal Pollix wrote (%2); it is left as it is").arg(path, why)};
    }
    return out;
}
} // namespace

namespace FolderSwap {

QString makeSibling(const QString &folder, const QString &tag, QString *errorText)
{
    const QFileInfo info(withoutTrailingSlash(folder));
    QString why;
    const FolderHandle parent = FolderHandle::open(info.absolutePath(), true, &why);
    // Six letters or digits by chance, as mkdtemp names its folders; a name taken is given up
    // for another.
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int tries = 0; parent.isOpen() && tries < 100; ++tries) {
        QString suffix;
        for (int i = 0; i < 6; ++i)
            suffix += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)]);
        const QString name = QStringLiteral("%1.%2-%3").arg(info.fileName(), tag, suffix);
        if (parent.makeNewFolder(name, 0700, &why).isOpen())
            return parent.pathOf(name);
        if (parent.kindAt(name) == RecordFile::Kind::Missing)
            break;
    }
    fail(errorText, QStringLiteral("%1 cannot be made beside it: %2").arg(withoutTrailingSlash(folder), why));
    return QString();
}

bool syncFileSystemOf(const QString &path, QString *errorText)
{
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return fail(errorText, QStringLiteral("%1: %2").arg(path, errnoText()));
    const int rc = ::syncfs(fd);
    const QString why = errnoText();
    ::close(fd);
    if (rc != 0)
        return fail(errorText, QStringLiteral("%1 cannot be written to disk: %2").arg(path, why));
    return true;
}

namespace {
std::mutex g_exchangeHookMutex;
std::function<void(const QString &)> g_exchangeHook;
} // namespace

void setExchangeHook(std::function<void(const QString &prepared)> hook)
{
    std::lock_guard lock(g_exchangeHookMutex);
    g_exchangeHook = std::move(hook);
}

bool exchange(const FolderHandle &prepared, const QString &target, QString *errorText, QString *oldContents,
              const FolderHandle *replaced)
{
    const QString from = withoutTrailingSlash(prepared.path());
    const QString to = withoutTrailingSlash(target);
    if (oldContents)
        oldContents->clear();
    if (QString why; AtomicFile::changeRefused(to, &why))
        return fail(errorText, QStringLiteral("%1 cannot be replaced: %2").arg(to, why));
    const QFileInfo toInfo(to);
    if (QFileInfo(from).absolutePath() != toInfo.absolutePath())
        return fail(errorText, QStringLiteral("%1 cannot be replaced: %2 is not beside it").arg(to, from));
    QString why;
    const FolderHandle parent = FolderHandle::open(toInfo.absolutePath(), true, &why);
    const std::optional<struct stat> held = prepared.stat();
    if (!parent.isOpen() || !held)
        return fail(errorText, QStringLiteral("%1 cannot be replaced: %2").arg(to, held ? why : QStringLiteral("%1 is not open").arg(from)));
    const QString fromName = nameOf(from), toName = toInfo.fileName();
    // The names are exchanged, not the folders: what is moved is checked to be the very folder
    // prepared, held open since, right before and right after, and put back when it is not (a
    // link or another folder put in its place meanwhile never becomes the folder).
    const auto isPrepared = [&](const QString &name) {
        struct stat st{};
        return parent.kindAt(name, &st) == RecordFile::Kind::Folder && st.st_dev == held->st_dev && st.st_ino == held->st_ino;
    };
    const auto refuse = [&] {
        return fail(errorText, QStringLiteral("%1 cannot be replaced: %2 is no longer the folder prepared for it (something else "
                                              "was put in its place), so nothing was replaced")
                                   .arg(to, from));
    };
    // The same for the folder going out, where the caller holds it: a link put in its place
    // meanwhile never goes aside as the data replaced, nor is its folder replaced.
    const std::optional<struct stat> replacing = replaced ? replaced->stat() : std::nullopt;
    const auto isReplaced = [&](const QString &name) {
        struct stat st{};
        return !replacing || (parent.kindAt(name, &st) == RecordFile::Kind::Folder && st.st_dev == replacing->st_dev &&
                              st.st_ino == replacing->st_ino);
    };
    const auto refuseTarget = [&] {
        return fail(errorText, QStringLiteral("%1 cannot be replaced: it is no longer the folder that was to be replaced "
                                              "(something else was put in its place), so nothing was replaced")
                                   .arg(to));
    };
    if (!isPrepared(fromName))
        return refuse();
    if (const auto hook = [] { std::lock_guard lock(g_exchangeHookMutex); return g_exchangeHook; }())
        hook(from);
    if (!isReplaced(toName))
        return refuseTarget();
    const std::optional<struct stat> was = folderAt(parent, toName);
    if (parent.kindAt(toName) == RecordFile::Kind::Missing) {
        if (!parent.moveTo(fromName, parent, toName, &why))
            return fail(errorText, QStringLiteral("%1 cannot be put in place: %2").arg(to, why));
        if (!isPrepared(toName)) {
            parent.moveTo(toName, parent, fromName);
            return refuse();
        }
        AtomicFile::syncAfterRename(to);
        return true;
    }
    // A Pollix stopped since its first look (its folder taken by another start meanwhile)
    // replaces nothing of that other's: the lock is asked again right before the names change.
    if (QString taken; AtomicFile::changeRefused(to, &taken))
        return fail(errorText, QStringLiteral("%1 cannot be replaced: %2").arg(to, taken));
    bool unsupported = false;
    if (parent.exchange(fromName, toName, &why, &unsupported)) {
        if (const bool prepared = isPrepared(toName); !prepared || !isReplaced(fromName)) {
            if (QString backWhy; !parent.exchange(fromName, toName, &backWhy))
                PollixLog(QStringLiteral("%1 could not be put back in its place: %2").arg(to, backWhy));
            AtomicFile::syncAfterRename(to);
            return prepared ? refuseTarget() : refuse();
        }
        followed(parent, toName, was);
        if (oldContents)
            *oldContents = from;
        AtomicFile::syncAfterRename(to);
        return true;
    }
    if (!unsupported)
        return fail(errorText, QStringLiteral("%1 cannot be replaced: %2").arg(to, why));
    // No exchange on this file system: two renames, noted down first, undone when the second fails.
    const QString aside = makeSibling(to, QStringLiteral("old"), errorText);
    if (aside.isEmpty())
        return false;
    const QString asideName = nameOf(aside);
    const QString journal = writeJournal(parent, to, from, aside, &why);
    if (journal.isEmpty()) {
        parent.removeEmptyFolder(asideName);
        return fail(errorText, QStringLiteral("%1 cannot be replaced: the swap could not be noted down first: %2").arg(to, why));
    }
    // A rename replaces the empty folder made for the old contents (and refuses one that holds
    // anything by now); the lock asked once more, as the journal took its time.
    if (QString taken; AtomicFile::changeRefused(to, &taken) || !parent.renameOver(toName, asideName, &why)) {
        if (!taken.isEmpty())
            why = taken;
        parent.removeEmptyFolder(asideName);
        removeJournal(journal);
        return fail(errorText, QStringLiteral("%1 cannot be replaced: %2").arg(to, why));
    }
    if (!isReplaced(asideName)) {
        // Another folder was moved aside: it goes back, and the swap is not begun.
        if (QString backWhy; !parent.moveTo(asideName, parent, toName, &backWhy))
            return fail(errorText, QStringLiteral("%1 cannot be replaced: %2 is no longer the folder that was to be replaced, "
                                                  "and it could not be put back from %3: %4")
                                       .arg(to, toName, aside, backWhy));
        if (AtomicFile::syncAfterRename(to))
            removeJournal(journal);
        return refuseTarget();
    }
    const bool movedIn = parent.moveTo(fromName, parent, toName, &why);
    const bool wrongOne = movedIn && !isPrepared(toName);
    if (!movedIn || wrongOne) {
        if (QString backWhy; (wrongOne && !parent.moveTo(toName, parent, fromName, &backWhy)) ||
                             !parent.moveTo(asideName, parent, toName, &backWhy))
            return fail(errorText, QStringLiteral("%1 cannot be replaced: %2; its contents are in %3 until the next start "
                                                  "puts the new ones in place")
                                       .arg(to, wrongOne ? QStringLiteral("%1 is no longer the folder prepared for it").arg(from) : why, aside));
        // Back as it was: its journal may go only once that is on the disk.
        if (AtomicFile::syncAfterRename(to))
            removeJournal(journal);
        return wrongOne ? refuse() : fail(errorText, QStringLiteral("%1 cannot be replaced: %2").arg(to, why));
    }
    followed(parent, toName, was);
    QString old = from;
    if (!parent.moveTo(asideName, parent, fromName, &why)) {
        PollixLog(QStringLiteral("The old data are left in %1: %2").arg(aside, why));
        old = aside;
    }
    if (oldContents)
        *oldContents = old;
    // The swap is on the disk before its journal goes; when it cannot be made sure of, the
    // journal stays and the next start finishes the swap (which is done already).
    if (AtomicFile::syncAfterRename(to))
        removeJournal(journal);
    return true;
}

int finishInterrupted(const QString &target, QString *errorText, const KeepOld &keep, LeftAloneList *leftAlone)
{
    LeftAloneList refused;
    QStringList problems;
    int finished = 0;
    const QFileInfo info(withoutTrailingSlash(target));
    const QList<Swap> swaps = journalsOf(target, Which::Safe, &refused);
    const FolderHandle parent = swaps.isEmpty() ? FolderHandle() : FolderHandle::open(info.absolutePath(), true);
    for (const Swap &swap : swaps) {
        QString why;
        switch (finish(parent, swap, keep, &why)) {
        case Outcome::Finished:
            ++finished;
            PollixLog(QStringLiteral("Finished the replacement of %1, cut short").arg(swap.target));
            break;
        case Outcome::NotCarriedThrough:
            refused << LeftAlone{swap.journal, QStringLiteral("%1 is left as it is, and its swap is not carried through: %2")
                                                   .arg(swap.journal, why)};
            break;
        case Outcome::Failed:
            problems << QStringLiteral("%1 could not be replaced by %2 (%3); this is tried again at the next start")
                            .arg(swap.target, swap.prepared, why);
            break;
        }
    }
    for (const LeftAlone &found : std::as_const(refused)) {
        PollixLog(found.text);
        if (leftAlone)
            *leftAlone << found;
        else
            problems << found.text;
    }
    if (!problems.isEmpty() && errorText)
        *errorText = problems.join(QLatin1Char('\n'));
    return finished;
}

QString keepNoteName()
{
    return QStringLiteral(".kept-as");
}

QStringList foldersInUse(const QString &target)
{
    QStringList out;
    for (const Swap &swap : journalsOf(target, Which::Held))
        out << swap.target << swap.prepared << swap.aside;
    return out;
}

bool isUnfinished(const QString &target)
{
    return !journalsOf(target, Which::CarriedThrough).isEmpty();
}

} // namespace FolderSwap
