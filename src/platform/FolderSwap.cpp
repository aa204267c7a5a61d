#include "FolderSwap.h"

#include "AtomicFile.h"
#include "Log.h"
#include "RecordFile.h"

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

// Anything under the name, a dangling link too.
bool there(const QString &path)
{
    struct stat st;
    return ::lstat(native(path).constData(), &st) == 0;
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

QString writeJournal(const QString &target, const QString &prepared, const QString &aside, QString *errorText)
{
    const QFileInfo info(target);
    QString path;
    do {
        path = info.dir().filePath(QStringLiteral(".%1.swap-%2.journal")
                                       .arg(info.fileName())
                                       .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
    } while (there(path));
    QByteArray text = QByteArray(kHeader) + '\n';
    for (const QString &folder : {target, prepared, aside})
        text += QUrl::toPercentEncoding(QFileInfo(folder).fileName()) + '\n';
    text += QByteArray(kEnd) + '\n';
    // AtomicFile syncs the folder: the journal is on the disk before the first rename, or the
    // swap is not begun.
    AtomicFile::Failure step = AtomicFile::Failure::None;
    if (AtomicFile::write(path, text, errorText, &step) && step == AtomicFile::Failure::None)
        return path;
    if (step == AtomicFile::Failure::Unsynced)
        ::unlink(native(path).constData());
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

// Why the folders a swap names may not be touched: one of them is no real folder (a symbolic
// link, which a removal would follow, or a file).
QString unsafeFolders(const Swap &s)
{
    for (const QString &folder : {s.target, s.prepared, s.aside}) {
        const RecordFile::Kind kind = RecordFile::kindAt(folder);
        if (kind != RecordFile::Kind::Missing && kind != RecordFile::Kind::Folder)
            return QStringLiteral("%1 is %2").arg(QFileInfo(folder).fileName(), RecordFile::kindText(kind));
    }
    return QString();
}

// Whether folder holds no file at all, in it or below it (only empty folders).
bool holdsNoFile(const QString &folder)
{
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (it.fileInfo().isSymLink() || !it.fileInfo().isDir())
            return false;
    }
    return true;
}

// Removes a tree of empty folders; false when something else is in it.
bool removeEmptyFolders(const QString &folder)
{
    const QDir dir(folder);
    for (const QString &sub : dir.entryList(QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        if (RecordFile::kindAt(dir.filePath(sub)) != RecordFile::Kind::Folder || !removeEmptyFolders(dir.filePath(sub)))
            return false;
    return ::rmdir(native(folder).constData()) == 0;
}

void removeJournal(const QString &path)
{
    if (::unlink(native(path).constData()) != 0 && errno != ENOENT)
        PollixLog(QStringLiteral("Could not remove %1: %2").arg(path, errnoText()));
    AtomicFile::syncFolderOf(path);
}

bool rename(const QString &from, const QString &to, QString *errorText)
{
    if (::rename(native(from).constData(), native(to).constData()) == 0)
        return true;
    return fail(errorText, QStringLiteral("%1 cannot be moved to %2: %3").arg(from, QFileInfo(to).fileName(), errnoText()));
}

// Carries a swap through from wherever it was cut: the prepared folder in the folder's place,
// or, when the prepared one is gone, the old contents back. The journal goes once the folder is
// in place and that is on the disk; then the folders holding the old contents go.
bool finish(const Swap &s, QString *errorText)
{
    // A folder an earlier start made in the missing one's place (the first-run files' empty data
    // folders) once the old contents were aside: it gives way to the swap's folders. The
    // restored folder always holds a file (its login list), so it is never taken for one.
    const bool asideHoldsOld =
        there(s.aside) && !QDir(s.aside).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (there(s.target) && asideHoldsOld && (there(s.prepared) || holdsNoFile(s.target))) {
        if (!holdsNoFile(s.target))
            return fail(errorText, QStringLiteral("%1 was made again while its old contents were aside, and it holds files "
                                                  "now; the restored data are in %2 and the data they replace in %3")
                                       .arg(s.target, s.prepared, s.aside));
        if (!removeEmptyFolders(s.target))
            return fail(errorText, QStringLiteral("%1, made again while its old contents were aside, cannot be removed: %2")
                                       .arg(s.target, errnoText()));
    }
    // Nothing moved yet: the folder goes aside into the empty folder made for it.
    if (there(s.target) && there(s.prepared) && there(s.aside) && !rename(s.target, s.aside, errorText))
        return false;
    if (!there(s.target)) {
        if (there(s.prepared) ? !rename(s.prepared, s.target, errorText) : there(s.aside) && !rename(s.aside, s.target, errorText))
            return false;
    }
    if (!there(s.target))
        return fail(errorText, QStringLiteral("%1 and the folders that were to replace it are missing").arg(s.target));
    QString why;
    if (!AtomicFile::syncFolderOf(s.target, &why))
        return fail(errorText, why);
    removeJournal(s.journal);
    // Checked again just before: a removal would empty whatever a link there leads to.
    for (const QString &old : {s.prepared, s.aside})
        if (RecordFile::kindAt(old) == RecordFile::Kind::Folder && !there(old + QLatin1Char('/') + FolderSwap::keepNoteName()) &&
            !QDir(old).removeRecursively())
            PollixLog(QStringLiteral("Could not remove %1, the old contents of %2").arg(old, s.target));
    return true;
}

// The journals of swaps of target that a start carries through, and the others, each named with
// the reason it is left as it is; with held, also those that name folders a start does not
// touch (they are left as they are, and so are their folders).
QList<Swap> journalsOf(const QString &target, QStringList *refused, bool held = false)
{
    QList<Swap> out;
    if (target.isEmpty())
        return out;
    const QFileInfo info(withoutTrailingSlash(target));
    const QRegularExpression name = journalName(info.fileName());
    for (const QString &entry : info.dir().entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name)) {
        if (!name.match(entry).hasMatch())
            continue;
        const QString path = info.dir().filePath(entry);
        QString why;
        const std::optional<Swap> swap = readJournal(path, info.fileName(), &why);
        if (swap)
            why = unsafeFolders(*swap);
        if (swap && (why.isEmpty() || held))
            out << *swap;
        else if (refused)
            *refused << (swap ? QStringLiteral("%1 is left as it is, and its swap is not carried through: %2").arg(path, why)
                              : QStringLiteral("%1 is no journal Pollix wrote (%2); it is left as it is").arg(path, why));
    }
    return out;
}
} // namespace

namespace FolderSwap {

QString makeSibling(const QString &folder, const QString &tag, QString *errorText)
{
    QByteArray pattern = native(withoutTrailingSlash(folder) + QLatin1Char('.') + tag + QStringLiteral("-XXXXXX"));
    if (!::mkdtemp(pattern.data())) {
        fail(errorText, QStringLiteral("%1 cannot be made beside it: %2").arg(withoutTrailingSlash(folder), errnoText()));
        return QString();
    }
    return QFile::decodeName(pattern);
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

bool exchange(const QString &prepared, const QString &target, QString *errorText, QString *oldContents)
{
    const QString from = withoutTrailingSlash(prepared);
    const QString to = withoutTrailingSlash(target);
    const QByteArray fromName = native(from);
    const QByteArray toName = native(to);
    if (oldContents)
        oldContents->clear();
    if (QString why; AtomicFile::changeRefused(to, &why))
        return fail(errorText, QStringLiteral("%1 cannot be replaced: %2").arg(to, why));
    if (!QFileInfo::exists(to)) {
        if (::rename(fromName.constData(), toName.constData()) != 0)
            return fail(errorText, QStringLiteral("%1 cannot be put in place: %2").arg(to, errnoText()));
        AtomicFile::syncAfterRename(to);
        return true;
    }
    if (::renameat2(AT_FDCWD, fromName.constData(), AT_FDCWD, toName.constData(), RENAME_EXCHANGE) == 0) {
        if (oldContents)
            *oldContents = from;
        AtomicFile::syncAfterRename(to);
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return fail(errorText, QStringLiteral("%1 cannot be replaced: %2").arg(to, errnoText()));
    // No exchange on this file system: two renames, noted down first, undone when the second fails.
    const QString aside = makeSibling(to, QStringLiteral("old"), errorText);
    if (aside.isEmpty())
        return false;
    const QByteArray asideName = native(aside);
    QString why;
    const QString journal = writeJournal(to, from, aside, &why);
    if (journal.isEmpty()) {
        ::rmdir(asideName.constData());
        return fail(errorText, QStringLiteral("%1 cannot be replaced: the swap could not be noted down first: %2").arg(to, why));
    }
    // rename() replaces an empty folder.
    if (::rename(toName.constData(), asideName.constData()) != 0) {
        why = errnoText();
        ::rmdir(asideName.constData());
        removeJournal(journal);
        return fail(errorText, QStringLiteral("%1 cannot be replaced: %2").arg(to, why));
    }
    if (::rename(fromName.constData(), toName.constData()) != 0) {
        why = errnoText();
        if (::rename(asideName.constData(), toName.constData()) != 0)
            return fail(errorText, QStringLiteral("%1 cannot be replaced: %2; its contents are in %3 until the next start "
                                                  "puts the new ones in place")
                                       .arg(to, why, aside));
        // Back as it was: its journal may go only once that is on the disk.
        if (AtomicFile::syncAfterRename(to))
            removeJournal(journal);
        return fail(errorText, QStringLiteral("%1 cannot be replaced: %2").arg(to, why));
    }
    QString old = from;
    if (::rename(asideName.constData(), fromName.constData()) != 0) {
        PollixLog(QStringLiteral("The old data are left in %1").arg(aside));
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

int finishInterrupted(const QString &target, QString *errorText)
{
    QStringList refused, problems;
    int finished = 0;
    for (const Swap &swap : journalsOf(target, &refused)) {
        QString why;
        if (finish(swap, &why)) {
            ++finished;
            PollixLog(QStringLiteral("Finished the replacement of %1, cut short").arg(swap.target));
        } else {
            problems << QStringLiteral("%1 could not be replaced by %2 (%3); this is tried again at the next start")
                            .arg(swap.target, swap.prepared, why);
        }
    }
    for (const QString &problem : std::as_const(refused))
        PollixLog(problem);
    problems << refused;
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
    for (const Swap &swap : journalsOf(target, nullptr, true))
        out << swap.target << swap.prepared << swap.aside;
    return out;
}

bool isUnfinished(const QString &target)
{
    return !journalsOf(target, nullptr).isEmpty();
}

} // namespace FolderSwap
