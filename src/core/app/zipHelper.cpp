#include "zipHelper.h"

#include "BackupArchive.h"
#include "BackupWriter.h"
#include "Orvenda_AppDelegate.h"
#include "RecordDeletion.h"
#include "ZipArchive.h"
#include "core/store/BackupsFolder.h"
#include "core/store/DataFolderLayout.h"
#include "core/store/DataRemovals.h"
#include "core/store/DataRecovery.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovUserListXmlDatabase.h"
#include "platform/AtomicFile.h"
#include "platform/ChangeJournal.h"
#include "platform/ContentHash.h"
#include "platform/FolderHandle.h"
#include "platform/FolderMark.h"
#include "platform/FolderSwap.h"
#include "platform/FolderWork.h"
#include "platform/Log.h"
#include "platform/RecordFile.h"
#include "platform/RegularFile.h"
#include "platform/SideFiles.h"
#include "platform/TakenFolders.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QScopeGuard>

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <zlib.h>

namespace {
using GF = GlobalFunctions;

bool fail(QString *errorText, const QString &why)
{
    if (errorText)
        *errorText = why;
    PollixLog(why);
    return false;
}

struct Folders
{
    QString data; // ends in "/"
    QString sessions, pointsOnly, classes;
    bool valid() const { return !data.isEmpty(); }
    // The data folder without its trailing slash: the part cut off file paths to name entries.
    QString dataRoot() const { return QDir::cleanPath(data); }
    // The sub-folders the program keeps, relative to the data folder ("Quiz", ...).
    QStringList layout() const
    {
        const QDir root(data);
        return {root.relativeFilePath(sessions), root.relativeFilePath(pointsOnly), root.relativeFilePath(classes)};
    }
};

Folders folders()
{
    const Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    if (!app)
        return {};
    return {app->strDataFilePath(), app->strQuizXmlDataFilePath(), app->strCourseGradeFilePath(),
            app->strClassXmlDataFilePath()};
}

using BackupWriter::ReadFiles;

std::mutex g_hookMutex;
std::function<void(const QString &)> g_archiveWrittenHook;

// Another folder laid out as the data folder (the data a restore replaced).
Folders foldersIn(const QString &root)
{
    const QStringList layout = folders().layout();
    if (layout.size() != 3)
        return {};
    const QString base = QDir::cleanPath(root) + QLatin1Char('/');
    return {base, base + layout.at(0), base + layout.at(1), base + layout.at(2)};
}

using BackupsFolder::freeStem;

// The notes Pollix leaves in a folder of data to say what it is (never carried into another).
bool isPollixNote(const QString &name)
{
    return name == FolderSwap::keepNoteName() || name == FolderMark::noteName(FolderMark::Kind::Kept) ||
           name == FolderMark::noteName(FolderMark::Kind::Restored);
}

// Why a restore stops at a link it may not go through (TakenFolders::refusalOf's wording).
QString restoreStops(const QString &refusal)
{
    return refusal + (refusal.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral(".")) +
           QStringLiteral(" A restore does not go through such a link either, so nothing was replaced.");
}

// Why nothing goes into or out of the data folder now: another Pollix holds it, or its path no
// longer leads to the folder this Pollix took; empty when it may be changed.
QString dataFolderRefused(const Folders &f)
{
    if (QString why; AtomicFile::changeRefused(f.dataRoot(), &why))
        return why;
    return TakenFolders::refusalOf({f.dataRoot()});
}

// Keeps what a restore does not replace (files that are no data files, and links) in the new
// folder, each under a second name there (a copy where the disk has none). Both folders are held
// open and every folder below them reached without following a link: a folder of the data
// swapped for a link meanwhile is not entered (what it held stays with the data replaced), and
// one of the new folder refuses the restore, so that no file is led elsewhere. A change of the old
// data left unfinished (its journal and the side files with its bytes) stays with the old data:
// carried over, the next start would finish it over the restored files.
bool carryOver(const FolderHandle &from, const FolderHandle &to, const QString &relative, QString *errorText)
{
    QString why;
    const std::optional<QList<FolderHandle::Entry>> list = from.entries(&why);
    if (!list) {
        // What cannot be read stays with the data replaced, kept as they are.
        PollixLog(QStringLiteral("Not carried over into the restored data: %1").arg(why));
        return true;
    }
    FolderHandle made; // relative's folder in to, made for its first file
    for (const FolderHandle::Entry &e : *list) {
        const QString path = relative.isEmpty() ? e.name : relative + QLatin1Char('/') + e.name;
        // A folder of the data that the start took as a link (moved to another disk) is gone
        // through as saves go through it: what the restore does not replace there is kept, and
        // the restored folder takes its place in the data folder, the link staying with the
        // data replaced.
        QString linkWhy;
        const bool takenLink = e.kind == RecordFile::Kind::Link && from.openFolder(e.name, &linkWhy).isOpen();
        // One of its own folders made a link since the start, or a taken link whose folder went
        // away or that leads elsewhere now (the restored data have that folder): said as what
        // became of it, not as the name the link takes in the way of that folder.
        if (e.kind == RecordFile::Kind::Link && !takenLink && relative.isEmpty() && DataFolderLayout::keptFolders().contains(e.name))
            return fail(errorText, restoreStops(linkWhy));
        if (e.kind == RecordFile::Kind::Folder || takenLink) {
            const FolderHandle below = from.openFolder(e.name, &why);
            if (!below.isOpen())
                PollixLog(QStringLiteral("Not carried over into the restored data: %1").arg(why));
            else if (!carryOver(below, to, path, errorText))
                return false;
            continue;
        }
        if ((e.kind != RecordFile::Kind::File && e.kind != RecordFile::Kind::Link) || DataFolderLayout::isDataFileName(e.name) ||
            ChangeJournal::isJournalName(e.name) || SideFiles::kindOf(e.name) || isPollixNote(e.name))
            continue;
        if (!relative.isEmpty() && !made.isOpen()) {
            made = to.makeFolder(relative, &why);
            if (!made.isOpen())
                return fail(errorText, QStringLiteral("%1 cannot be kept: %2").arg(from.pathOf(e.name), why));
        }
        if (!from.linkOrCopyTo(e.name, relative.isEmpty() ? to : made, e.name, &why))
            return fail(errorText, why);
    }
    return true;
}
} // namespace

// ---- Backup ----

bool zipHelper::backupFilTo(const QString &archivePath, QString *errorText, const Progress &progress, bool *otherFolder)
{
    const Folders f = folders();
    if (!f.valid())
        return fail(errorText, QStringLiteral("no data folder"));
    return addFlodersToZipTo(archivePath, {f.sessions, f.pointsOnly, f.classes, f.data}, errorText, progress, otherFolder);
}

QString zipHelper::nothingToBackUp()
{
    const Folders f = folders();
    // A data folder that is not the one the start took is said before a place is asked for.
    if (f.valid())
        if (const QString refused = BackupWriter::notTheData(f.dataRoot()); !refused.isEmpty())
            return refused;
    // A data file that cannot be read is no reason to say there is nothing: the backup names it.
    if (!f.valid() || DataFolderLayout::holdsDataFile(f.data) || !DataFolderLayout::unreadableBelow(f.dataRoot()).isEmpty())
        return QString();
    return BackupWriter::noDataFiles(f.dataRoot());
}

bool zipHelper::addFlodersToZipTo(const QString &archivePath, const QStringList &folderList, QString *errorText,
                                  const Progress &progress, bool *otherFolder)
{
    // The folder the teacher chose, as its path leads now, held from here to the archive's rename.
    const QFileInfo info(archivePath);
    QString why;
    const FolderHandle folder = FolderHandle::open(info.absolutePath(), true, &why);
    const int openError = folder.isOpen() ? 0 : errno;
    bool refused = false;
    const bool written = BackupWriter::write(folders().dataRoot(), folderList,
                                             {folder, info.fileName(), archivePath, true, why, &refused, openError},
                                             errorText, progress);
    if (otherFolder)
        *otherFolder = refused;
    // The teacher chose the folder, and can choose another.
    if (refused && errorText)
        *errorText += QStringLiteral(" Choose another folder for the backup.");
    return written;
}

// ---- Restore ----

bool zipHelper::recoverFileFrom(const QString &archivePath, QString *errorText, const Progress &progress, QString *keptArchive,
                                QList<Unlinked> *unlinked)
{
    return unZipAllFileFrom(archivePath, errorText, progress, keptArchive, unlinked);
}

QString zipHelper::backupsFolder()
{
    return BackupsFolder::path();
}

QString zipHelper::backupBeforeRestorePath(const QDateTime &when)
{
    const QString stem = BackupsFolder::beforeRestoreStem(when);
    if (stem.isEmpty())
        return QString();
    return freeStem(stem, {QStringLiteral(".zip")}) + QStringLiteral(".zip");
}

bool zipHelper::backupBeforeRestore(QString *archivePath, QString *errorText, const Progress &progress)
{
    archivePath->clear();
    // Nothing to keep: no archive, which a restore would refuse as empty anyway.
    if (!DataFolderLayout::holdsDataFile(DataFolderLayout::dataFolder()))
        return true;
    const QString path = backupBeforeRestorePath(QDateTime::currentDateTime());
    if (path.isEmpty())
        return fail(errorText, QStringLiteral("no application folder"));
    // Backups held from its check to the archive's rename: a link put in its place meanwhile
    // leads the archive nowhere else.
    QString why;
    const FolderHandle backups = BackupsFolder::open(true, &why);
    if (!backups.isOpen())
        return fail(errorText, QStringLiteral("%1 cannot be used: %2").arg(QFileInfo(path).absolutePath(), why));
    const Folders f = folders();
    if (!BackupWriter::write(f.dataRoot(), {f.sessions, f.pointsOnly, f.classes, f.data},
                             {backups, QFileInfo(path).fileName(), path, false, why}, errorText, progress))
        return false;
    *archivePath = path;
    return true;
}

QString zipHelper::folderBeforeRestorePath(const QString &data, QString *errorText)
{
    const QString archive = backupBeforeRestorePath(QDateTime::currentDateTime());
    QString problem, why;
    const FolderHandle backups = archive.isEmpty() ? FolderHandle() : BackupsFolder::open(true, &why);
    if (archive.isEmpty()) {
        problem = QStringLiteral("no application folder");
    } else if (!backups.isOpen()) {
        problem = QStringLiteral("%1 cannot be used: %2.").arg(QFileInfo(archive).absolutePath(), why);
    } else {
        // A rename keeps the folder whole at no cost in space, but only on the data folder's disk.
        const std::optional<struct stat> there = backups.stat();
        struct stat old{};
        if (!there || ::stat(QFile::encodeName(data).constData(), &old) != 0 || there->st_dev != old.st_dev)
            problem = QStringLiteral("%1 is not on the disk of the data folder.").arg(QFileInfo(archive).absolutePath());
    }
    if (!problem.isEmpty()) {
        fail(errorText, problem);
        return QString();
    }
    // A name free for the folder and for the archive made of it afterwards.
    return freeStem(archive.chopped(4), {QString(), QStringLiteral(".zip")}); // the stem without ".zip"
}


QString zipHelper::restoreRefused(bool keepingReplaced)
{
    const Folders f = folders();
    if (!f.valid())
        return QStringLiteral("no data folder");
    if (QString why; AtomicFile::changeRefused(f.dataRoot(), &why))
        return why;
    // Every folder the restore would stop at, in one answer: put back one at a time, each would
    // be met only once the one before was.
    QStringList said;
    if (const QString links = TakenFolders::refusalOf({f.dataRoot(), f.sessions, f.pointsOnly, f.classes}); !links.isEmpty())
        said << links;
    // The data replaced are kept in Backups, where there are any (as the question promises).
    if (const QString backups = BackupsFolder::refusal();
        keepingReplaced && !backups.isEmpty() && (!said.isEmpty() || DataFolderLayout::holdsDataFile(f.data)))
        said << backups;
    return said.isEmpty() ? QString() : restoreStops(said.join(QLatin1Char('\n')));
}

bool zipHelper::checkBackup(const QString &archivePath, QString *errorText)
{
    BackupArchive archive;
    return archive.open(archivePath, errorText) && archive.read(nullptr, {}, errorText);
}

namespace {
using Sums = BackupArchive::Sums;

using MayRemove = std::function<bool(const QString &relative, const struct stat &st)>;

// Decides, file by file, what of a folder of data a restore replaced may go, each file read
// through the folder held open: with sums, a file the archive of those data holds with the same
// bytes (the size and CRC-32 of the very file that goes; archiveWhole, asked once before the
// first such file, may still keep them all); without (no archive was wanted), a data file a
// backup would take. Either way a file the data folder holds now as the same file (carried over
// by the restore: one of its names goes, the file stays), and Pollix's own notes and side files.
// Nothing else: a file no archive holds stays, whatever it is. The Kept note stays for the caller
// to take away last, so that a removal cut short is still known as Pollix's. read: what the
// writing of that archive, right before, read of the files of this folder; a file that still
// has the stamp it had then holds the bytes read, which are not read again.
MayRemove mayRemoveReplaced(const FolderHandle &folder, const Sums *sums, std::function<bool()> archiveWhole = {},
                            const ReadFiles *read = nullptr)
{
    struct State
    {
        FolderHandle data;
        std::map<QString, FolderHandle> below, dataBelow;
        std::optional<bool> whole;
        std::optional<dev_t> stampsExactOn; // the folder's disk, where stamps vouch for bytes
    };
    auto state = std::make_shared<State>();
    state->data = FolderHandle::open(DataFolderLayout::dataFolder(), true);
    if (const std::optional<struct stat> own = folder.stat(); own && read && sums && ContentHash::stampsExactOn(folder.fd()))
        state->stampsExactOn = own->st_dev;
    // The bytes of a file are the archive's: whether the archive holds them whole.
    const auto archiveHolds = [state, archiveWhole] {
        if (!state->whole)
            state->whole = !archiveWhole || archiveWhole();
        return *state->whole;
    };
    const auto folderOf = [](const FolderHandle &root, std::map<QString, FolderHandle> &cache,
                             const QString &dir) -> const FolderHandle & {
        if (dir == QLatin1String("."))
            return root;
        auto it = cache.find(dir);
        if (it == cache.end())
            it = cache.emplace(dir, root.openFolder(dir)).first;
        return it->second;
    };
    return [=, &folder](const QString &relative, const struct stat &st) {
        const QString dir = QFileInfo(relative).path();
        const QString name = QFileInfo(relative).fileName();
        const bool top = dir == QLatin1String(".");
        if (top && name == FolderMark::noteName(FolderMark::Kind::Kept))
            return false;
        if (top && (name == FolderSwap::keepNoteName() || name == FolderMark::noteName(FolderMark::Kind::Restored)))
            return true;
        // The archive holds the bytes its writing read of the file, which still has the stamp it
        // had then: looked at again as it is about to go, not as its folder was listed a while ago.
        const auto readAsItIs = [&] {
            if (state->stampsExactOn != st.st_dev || !S_ISREG(st.st_mode))
                return false;
            const auto was = read->constFind(relative);
            const auto held = sums->constFind(relative);
            struct stat now{};
            return was != read->constEnd() && was->steady && held != sums->constEnd() && held->size == was->size &&
                   held->crc == was->crc && folderOf(folder, state->below, dir).kindAt(name, &now) == RecordFile::Kind::File &&
                   now.st_dev == st.st_dev && now.st_ino == st.st_ino && *was->steady == ContentHash::stampOf(now);
        };
        if (readAsItIs())
            return archiveHolds();
        struct stat now{};
        if (folderOf(state->data, state->dataBelow, dir).kindAt(name, &now) != RecordFile::Kind::Missing &&
            now.st_dev == st.st_dev && now.st_ino == st.st_ino)
            return true;
        if (!S_ISREG(st.st_mode))
            return false;
        if (ChangeJournal::isJournalName(name) || SideFiles::kindOf(name))
            return true;
        QFile file;
        const int fd = folderOf(folder, state->below, dir).openFile(name, nullptr, &now);
        if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            if (fd >= 0)
                ::close(fd);
            return false;
        }
        const QByteArray bytes = RegularFile::readAtMost(file, qint64(DataFolderLayout::kMaxFileSize));
        if (now.st_dev != st.st_dev || now.st_ino != st.st_ino || file.error() != QFileDevice::NoError ||
            quint64(bytes.size()) > DataFolderLayout::kMaxFileSize)
            return false;
        if (sums) {
            const auto held = sums->constFind(relative);
            const quint32 crc = quint32(crc32(0L, reinterpret_cast<const Bytef *>(bytes.constData()), uInt(bytes.size())));
            if (held == sums->constEnd() || held->size != quint64(bytes.size()) || held->crc != crc)
                return false;
            return archiveHolds();
        }
        return DataFolderLayout::isDataFileName(name) && DataFolderLayout::nameProblem(relative).isEmpty() &&
               DataFolderLayout::contentProblem(relative, bytes).isEmpty();
    };
}

// Removes the folder name in parent as far as mayRemove lets it, the Kept note last. The paths
// of what stayed, relative to parent.
QStringList removeAsFarAsHeld(const FolderHandle &parent, const QString &name, const MayRemove &mayRemove)
{
    QStringList stayed;
    if (!parent.removeTree(name, &stayed, mayRemove)) {
        const QString note = name + QLatin1Char('/') + FolderMark::noteName(FolderMark::Kind::Kept);
        if (stayed == QStringList{note} && FolderMark::remove(parent.openFolder(name), FolderMark::Kind::Kept)) {
            stayed.clear();
            // Empty folders only: whatever came meanwhile stays.
            parent.removeTree(name, &stayed, [](const QString &, const struct stat &) { return false; });
        }
    }
    parent.sync();
    return stayed;
}

QString joinedPaths(const FolderHandle &parent, const QStringList &relative)
{
    QStringList out;
    for (const QString &r : relative)
        out << parent.pathOf(r);
    return out.join(QStringLiteral(", "));
}

// The data a restore replaced, swapped out to old beside the data folder, where no folder of them
// is kept (none was wanted, or they were written as the archive first): removed as far as
// mayRemoveReplaced lets. What stays (a file no archive holds, one a backup refuses) is kept:
// moved into Backups as a folder Pollix set aside, or, where it cannot go there, left where it
// is with a note that keeps a start from removing it; and named in the log.
void removeReplaced(const QString &old, const QString &data, const QString &archive)
{
    std::optional<Sums> sums;
    if (!archive.isEmpty()) {
        BackupArchive listed;
        sums = listed.open(archive) ? listed.sums() : Sums();
    }
    const FolderHandle parent = FolderHandle::open(QFileInfo(old).absolutePath(), true);
    const QString name = QFileInfo(old).fileName();
    const FolderHandle folder = parent.openFolder(name);
    const QStringList stayed = removeAsFarAsHeld(parent, name, mayRemoveReplaced(folder, sums ? &*sums : nullptr));
    if (stayed.isEmpty())
        return;
    const QString files = joinedPaths(parent, stayed);
    QString why;
    const QString place = zipHelper::folderBeforeRestorePath(data, &why);
    if (!place.isEmpty()) {
        const FolderHandle backups = BackupsFolder::open(false, &why);
        // Marked once moved: a mark beside the data folder would not keep a start from removing it.
        if (backups.isOpen() && parent.moveTo(name, backups, QFileInfo(place).fileName(), &why)) {
            FolderMark::write(folder, FolderMark::Kind::Kept, &why);
            backups.sync();
            PollixLog(QStringLiteral("Files of the data the restore replaced that no backup holds are kept in %1: %2").arg(place, files));
            return;
        }
    }
    AtomicFile::write(folder, FolderSwap::keepNoteName(),
                      QFileInfo(zipHelper::backupBeforeRestorePath(QDateTime::currentDateTime())).completeBaseName().toUtf8());
    PollixLog(QStringLiteral("Files of the data the restore replaced that no backup holds stay in %1 (%2); a start moves them "
                             "into %3: %4")
                  .arg(old, why, zipHelper::backupsFolder(), files));
}
} // namespace

bool zipHelper::unZipAllFileFrom(const QString &archivePath, QString *errorText, const Progress &progress, QString *keptArchive,
                                 QList<Unlinked> *unlinked)
{
    FolderWork::Running work;
    const Folders f = folders();
    if (!f.valid())
        return fail(errorText, QStringLiteral("no data folder"));
    if (keptArchive)
        keptArchive->clear();
    if (unlinked)
        unlinked->clear();
    // Said before the archive is read through (and by the question before the restore); the
    // carrying over says it again of a link made meanwhile.
    if (const QString refused = restoreRefused(keptArchive != nullptr); !refused.isEmpty())
        return fail(errorText, refused);
    BackupArchive listing;
    if (!listing.open(archivePath, errorText))
        return false;
    const QString &archiveName = listing.archiveName();

    // A data folder reached through a link is replaced where it really lies; the link stays.
    const QFileInfo dataInfo(f.dataRoot());
    const QString data = dataInfo.isSymLink() ? dataInfo.canonicalFilePath() : f.dataRoot();
    // The new files are written beside the old ones, which stay until the swap.
    const QString parent = QFileInfo(data).absolutePath();
    struct statvfs disk{};
    if (::statvfs(QFile::encodeName(parent).constData(), &disk) == 0) {
        const quint64 free = quint64(disk.f_bavail) * quint64(disk.f_frsize);
        const quint64 blocks = quint64(std::max<unsigned long>(disk.f_frsize, 512));
        const quint64 needed = listing.total() + quint64(listing.targets().size()) * blocks;
        if (needed > free)
            return fail(errorText, QStringLiteral("%1 cannot be restored: its files need %2, and the disk of the data "
                                                  "folder has %3 free (No space left on device).")
                                       .arg(archiveName, BackupArchive::megabytes(needed), BackupArchive::megabytes(free)));
    }

    QString why;
    const QString stagingPath = FolderSwap::makeSibling(data, QStringLiteral("restore"), &why);
    if (stagingPath.isEmpty())
        return fail(errorText, why);
    DataRecovery::noteStarted(stagingPath);
    const FolderHandle besideData = FolderHandle::open(parent, true);
    // The data folder where it lies, held open: its notes are written there, never through a link
    // put in its place or under their names.
    const FolderHandle dataFolder = FolderHandle::open(data, false);
    bool keptMarked = false;
    const auto abandon = [&](const QString &reason) {
        // A swap that could not be undone leaves the data folder missing: staging then holds the
        // data the next start puts in its place.
        if (QFileInfo::exists(data)) {
            dataFolder.removeFile(FolderSwap::keepNoteName());
            if (keptMarked)
                FolderMark::remove(dataFolder, FolderMark::Kind::Kept);
            besideData.removeTree(QFileInfo(stagingPath).fileName());
            DataRecovery::noteFinished(stagingPath);
        }
        return fail(errorText, reason);
    };
    BackupArchive::Staging staging;
    staging.root = FolderHandle::open(stagingPath, false, &why);
    if (!staging.root.isOpen())
        return abandon(why);
    // Folders first, so that the readers only write files.
    for (const BackupArchive::Target &t : listing.targets())
        if (!staging.make(QFileInfo(t.relative).path(), &why))
            return abandon(QStringLiteral("%1: the folder %2 cannot be made: %3").arg(archiveName, QFileInfo(t.relative).path(), why));
    if (!listing.read(&staging, progress, &why))
        return abandon(why);

    // After any restore the program has a login: an archive without accounts gets the built-in one.
    if (!listing.holds(DataFolderLayout::loginFile()) &&
        !AtomicFile::write(staging.root, DataFolderLayout::loginFile(), TovUserListXmlDatabase::builtInContent(), &why))
        return abandon(why);
    for (const QString &sub : f.layout())
        staging.make(sub, nullptr);
    // The data folder as the start took it, looked at again after the reading: a link put in its
    // place meanwhile is said as such.
    if (const QString refused = TakenFolders::refusalOf({f.dataRoot()}); !refused.isEmpty())
        return abandon(restoreStops(refused));
    if (const FolderHandle oldData = FolderHandle::open(data, false, &why);
        oldData.isOpen() ? !carryOver(oldData, staging.root, QString(), &why) : RecordFile::kindAt(data) != RecordFile::Kind::Missing)
        return abandon(why);
    if (const std::optional<struct stat> old = dataFolder.stat())
        ::fchmod(staging.root.fd(), old->st_mode & 07777);
    // The data about to be replaced are kept in Backups: their folder, moved there by a rename
    // once swapped out (no time, no space), its place made ready now, so that nothing is replaced
    // when there is none. Where Backups is not on the data folder's disk, they are written as an
    // archive there first instead.
    QString keptFolder;
    if (keptArchive && DataFolderLayout::holdsDataFile(data)) {
        QString folderWhy;
        keptFolder = folderBeforeRestorePath(data, &folderWhy);
        if (keptFolder.isEmpty()) {
            const int restoreSteps = int(listing.targets().size());
            const Progress backupProgress = [&](int done, int total) {
                if (progress)
                    progress(restoreSteps + done, restoreSteps + total + 1);
            };
            if (!backupBeforeRestore(keptArchive, &why, backupProgress))
                return abandon(QStringLiteral("The data now here could not be saved first, so nothing was replaced: %1 %2")
                                   .arg(folderWhy, why));
        } else {
            // Noted in the data themselves, so that wherever a kill leaves them during the swap,
            // the next start moves them to keptFolder instead of removing them as leftovers.
            // The note names the folder within Backups: a start moves a folder nowhere else. The
            // mark names the folder itself (a rename keeps it): only a folder carrying it is
            // archived and removed as Pollix's.
            if (!dataFolder.isOpen() || !AtomicFile::write(dataFolder, FolderSwap::keepNoteName(), QFileInfo(keptFolder).fileName().toUtf8(), &why))
                return abandon(QStringLiteral("The data now here could not be kept first, so nothing was replaced: %1").arg(why));
            keptMarked = true; // taken out again however far it was written
            if (!FolderMark::write(dataFolder, FolderMark::Kind::Kept, &why))
                return abandon(QStringLiteral("The data now here could not be kept first, so nothing was replaced: %1").arg(why));
        }
    }
    // Staged whole: only a folder so marked takes the data folder's place, also when a start
    // finishes a swap cut short.
    if (!FolderMark::write(staging.root, FolderMark::Kind::Restored, &why))
        return abandon(why);
    // Named as the teacher knows them, where they led as the swap takes them out.
    QList<Unlinked> links;
    for (const QString &link : TakenFolders::linksIn(data))
        links.append({QDir(f.dataRoot()).filePath(QFileInfo(link).fileName()), QFileInfo(link).canonicalFilePath()});
    QString old;
    if (!FolderSwap::syncFileSystemOf(stagingPath, &why) ||
        !FolderSwap::exchange(staging.root, data, &why, &old, dataFolder.isOpen() ? &dataFolder : nullptr)) {
        // A link put in the data folder's place while the files were synced goes nowhere, said as
        // the restore's other steps say it.
        if (const QString refused = TakenFolders::refusalOf({f.dataRoot()}); !refused.isEmpty())
            return abandon(restoreStops(refused));
        return abandon(why);
    }
    DataRemovals::removed(data);
    // In place: the mark has done its work (a start takes away one left by a kill here).
    if (QString markWhy; !FolderMark::remove(FolderHandle::open(data, false, &markWhy), FolderMark::Kind::Restored, &markWhy))
        PollixLog(QStringLiteral("The restored data folder keeps its note %1: %2").arg(FolderMark::noteName(FolderMark::Kind::Restored), markWhy));
    if (!keptFolder.isEmpty() && !old.isEmpty()) {
        // Into Backups as the start moves them, never through a link put in its place since.
        QString moveWhy;
        const FolderHandle backups = BackupsFolder::open(false, &moveWhy);
        const QString keptName = QFileInfo(keptFolder).fileName();
        if (backups.isOpen() && besideData.moveTo(QFileInfo(old).fileName(), backups, keptName, &moveWhy)) {
            *keptArchive = keptFolder;
            backups.openFolder(keptName).removeFile(FolderSwap::keepNoteName());
            AtomicFile::syncAfterRename(backups, keptName);
        } else {
            // Their note stays in them: the next start moves them (and no start removes them).
            *keptArchive = old;
            PollixLog(QStringLiteral("The data replaced by the restore are kept in %1; they go to %2 at the next start: %3")
                          .arg(old, keptFolder, moveWhy));
        }
    } else if (!old.isEmpty()) {
        removeReplaced(old, data, keptArchive ? *keptArchive : QString());
    }
    DataRecovery::noteFinished(stagingPath);
    if (progress) {
        const int steps = int(listing.targets().size()) + 1;
        progress(steps, steps);
    }
    if (unlinked)
        *unlinked = links;
    return true;
}

// ---- The data a restore replaced, kept in Backups ----

void zipHelper::setArchiveWrittenHook(std::function<void(const QString &archive)> hook)
{
    const std::lock_guard lock(g_hookMutex);
    g_archiveWrittenHook = std::move(hook);
}

bool zipHelper::archiveKeptFolder(const QString &folder, QString *archivePath, QString *errorText, const Progress &progress)
{
    FolderWork::Running work;
    if (archivePath)
        archivePath->clear();
    // Held open, and everything below it looked at, read and removed through it: nothing put in
    // its place meanwhile (a link, another folder) is archived or emptied instead.
    const QString name = QFileInfo(folder).fileName();
    QString why = QStringLiteral("it does not lie in %1").arg(backupsFolder());
    // Backups as the start and the restore reach it: never a link in its place.
    const FolderHandle parent = QFileInfo(folder).absolutePath() == QDir::cleanPath(backupsFolder()) ? BackupsFolder::open(false, &why)
                                                                                                   : FolderHandle();
    const FolderHandle kept = parent.isOpen() ? parent.openFolder(name, &why) : FolderHandle();
    const Folders layout = foldersIn(folder);
    if (!layout.valid() || !kept.isOpen())
        return fail(errorText, QStringLiteral("%1 is no folder of data: %2").arg(folder, why));
    why.clear();
    if (!FolderMark::holds(kept, FolderMark::Kind::Kept, &why))
        return fail(errorText, QStringLiteral("%1 is neither archived nor removed: Pollix did not set it aside (%2)")
                                   .arg(folder, why.isEmpty() ? QStringLiteral("it holds no note of Pollix's naming it") : why));
    const QString path = folder + QStringLiteral(".zip");
    const QString archiveName = name + QStringLiteral(".zip");
    const auto archive = std::make_shared<BackupArchive>();
    // Only an archive of Backups itself lets files go: one a link leads to lies elsewhere, and
    // may go with whatever holds it. Looked at through the folder held open, and the file opened
    // is the one found there.
    const auto besideIt = [&](QString *problem) {
        struct stat st{};
        const RecordFile::Kind kind = parent.kindAt(archiveName, &st);
        const std::optional<std::pair<quint64, quint64>> opened = archive->openedFile();
        if (kind == RecordFile::Kind::File && opened && opened->first == quint64(st.st_dev) &&
            opened->second == quint64(st.st_ino))
            return true;
        *problem = kind == RecordFile::Kind::File ? QStringLiteral("it was replaced while it was opened")
                                                  : QStringLiteral("it is %1").arg(RecordFile::kindText(kind));
        return false;
    };
    bool synced = true;
    std::function<bool()> whole;
    ReadFiles read;
    // What a removal cut short had set aside goes back to its place first: never archived there.
    parent.putBackSetAside(name);
    // No data files, nothing to archive (a restore would refuse an archive of none): what is
    // Pollix's own in it goes all the same, so that it is not kept forever.
    const bool anyData = DataFolderLayout::holdsDataFile(layout.data);
    const bool archived = anyData || parent.kindAt(archiveName) != RecordFile::Kind::Missing;
    if (!archived) {
        PollixLog(QStringLiteral("%1 holds no data files to archive").arg(folder));
    } else if (parent.kindAt(archiveName) == RecordFile::Kind::Missing) {
        if (!BackupWriter::write(layout.dataRoot(), {layout.sessions, layout.pointsOnly, layout.classes, layout.data},
                         {parent, archiveName, path, false, QString()}, &why, progress, &synced, &read))
            return fail(errorText, QStringLiteral("%1 stays a folder: %2").arg(folder, why));
        if (!archive->open(path, &why) || !besideIt(&why))
            return fail(errorText, QStringLiteral("%1 stays beside its archive %2, which cannot be read back: %3").arg(folder, path, why));
    } else {
        // Its archive was written before, and the removal cut short (a kill) or put off: the
        // files left go only once the archive reads whole, as a restore reads it.
        if (!archive->open(path, &why) || !besideIt(&why))
            return fail(errorText, QStringLiteral("%1 stays as it is: its archive %2 cannot be read: %3").arg(folder, path, why));
        whole = [archive, folder, path] {
            QString problem;
            if (archive->read(nullptr, {}, &problem))
                return true;
            PollixLog(QStringLiteral("%1 stays as it is: its archive %2 is not whole: %3").arg(folder, path, problem));
            return false;
        };
    }
    if (archivePath && archived)
        *archivePath = path;
    const QString beside = archived ? QStringLiteral(" beside its archive %1").arg(path) : QString();
    if (const auto hook = [] { const std::lock_guard lock(g_hookMutex); return g_archiveWrittenHook; }();
        hook && archived)
        hook(path);
    // The folder goes only once its archive is sure to outlast a power cut, and not while it
    // holds a change of those data left unfinished, which the archive does not hold.
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    bool pending = false;
    while (!pending && it.hasNext())
        pending = ChangeJournal::isJournalName(QFileInfo(it.next()).fileName());
    if (!synced || pending) {
        PollixLog(QStringLiteral("%1 stays%2").arg(folder, beside));
        return true;
    }
    const Sums sums = archived ? archive->sums() : Sums();
    const QStringList stayed = removeAsFarAsHeld(parent, name, mayRemoveReplaced(kept, &sums, whole, &read));
    if (!stayed.isEmpty()) {
        const QString files = joinedPaths(parent, stayed);
        PollixLog(archived ? QStringLiteral("%1 stays%2, with what the archive does not hold: %3").arg(folder, beside, files)
                           : QStringLiteral("%1 stays, with files that are no data files: %2").arg(folder, files));
    }
    return true;
}

QStringList zipHelper::keptFoldersToFinish()
{
    const QString backups = backupsFolder();
    QStringList folders, others;
    const FolderHandle handle = BackupsFolder::open(false);
    if (!handle.isOpen())
        return folders;
    for (const FolderHandle::Entry &e : handle.entries().value_or(QList<FolderHandle::Entry>())) {
        if (e.kind != RecordFile::Kind::Folder || !e.name.startsWith(QLatin1String("Before restore")))
            continue;
        QString why;
        if (FolderMark::holds(handle.openFolder(e.name), FolderMark::Kind::Kept, &why)) {
            folders << handle.pathOf(e.name);
        } else if (handle.holdsNoFile(e.name) && handle.kindAt(e.name + QStringLiteral(".zip")) == RecordFile::Kind::File) {
            // Its removal was cut short after its mark, the last file, went: only empty folders
            // are left, and they go (whatever came meanwhile stays).
            QStringList stayed;
            handle.removeTree(e.name, &stayed, [](const QString &, const struct stat &) { return false; });
        } else {
            others << (why.isEmpty() ? e.name : QStringLiteral("%1 (%2)").arg(e.name, why));
        }
    }
    folders.sort();
    others.sort();
    if (!others.isEmpty())
        PollixLog(QStringLiteral("These folders in %1 are neither archived nor removed, as Pollix did not set them aside (no "
                                 "note of Pollix's names them): %2")
                      .arg(backups, others.join(QStringLiteral(", "))));
    return folders;
}

void zipHelper::archiveKeptFolders(const QStringList &folders)
{
    for (const QString &folder : folders) {
        QString archive, failure;
        if (!zipHelper().archiveKeptFolder(folder, &archive, &failure))
            PollixLog(QStringLiteral("The data a restore replaced stay a folder: %1").arg(failure));
        else if (!archive.isEmpty())
            PollixLog(QStringLiteral("The data a restore replaced are saved as %1").arg(archive));
    }
}

bool zipHelper::unZipAllFileFrom(const QString &archivePath, const QString &folder, QString *errorText)
{
    ZipArchive zip;
    if (!zip.UnzipOpenFile(archivePath, errorText))
        return false;
    if (!zip.UnzipFileTo(folder, true))
        return fail(errorText, QStringLiteral("%1 could not be unpacked into %2").arg(archivePath, folder));
    return true;
}

bool zipHelper::UnzipFile(const QString &archivePath, const QString &entryName, const QString &folder)
{
    ZipArchive zip;
    return zip.UnzipOpenFile(archivePath) && zip.UnzipFile(archivePath, entryName, folder);
}

// ---- Deleting ----

namespace {
// What earlier versions left of an interrupted write: "<file>.xml" and six letters.
bool isOldTemporaryName(const QString &name)
{
    static const QRegularExpression re(QStringLiteral("^.+\\.xml\\.[A-Za-z]{6}$"), QRegularExpression::CaseInsensitiveOption);
    return re.match(name).hasMatch();
}

bool isDataFileName(const QString &name)
{
    return name.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive);
}

// The deletes wait for this process's own folder work: a backup's or an archive's part file, a
// restore's folder, would otherwise be taken for what an interrupted one left, or lose the
// files it is reading.
bool waitForFolderWork(QString *errorText)
{
    if (FolderWork::runningOnThisThread())
        return fail(errorText, QStringLiteral("Pollix is still writing a backup, a restore or the archive of the data a "
                                              "restore replaced; nothing was deleted."));
    FolderWork::waitUntilIdle();
    return true;
}

bool failNaming(const QStringList &stayed, QString *errorText)
{
    return stayed.isEmpty() ||
           fail(errorText, QStringLiteral("These files could not be deleted: %1").arg(stayed.join(QStringLiteral("; "))));
}
} // namespace

bool zipHelper::DelAllRecords(QString *errorText)
{
    if (!waitForFolderWork(errorText))
        return false;
    const Folders f = folders();
    if (!f.valid())
        return fail(errorText, QStringLiteral("no data folder"));
    if (const QString refused = dataFolderRefused(f); !refused.isEmpty())
        return fail(errorText, refused + QStringLiteral(" Nothing was deleted."));
    QStringList stayed = RecordDeletion::removeBelow(f.data, isDataFileName);
    DataRecovery::removeLeftovers();
    // Every copy of data files an interrupted write left.
    stayed << RecordDeletion::removeBelow(f.data, [](const QString &name) { return SideFiles::kindOf(name) || isOldTemporaryName(name); });
    stayed.removeDuplicates();
    // A folder of sessions or classes that is a link the start did not take (or one that leads
    // elsewhere since, or whose folder went away) was not entered. Its refusal is whole
    // sentences of its own, told after the list of files, never as an item of it.
    QStringList said;
    if (!stayed.isEmpty())
        said << QStringLiteral("These files could not be deleted: %1.").arg(stayed.join(QStringLiteral("; ")));
    for (const QString &folder : {f.sessions, f.pointsOnly, f.classes})
        if (const QString refused = TakenFolders::refusalOf({folder}); !refused.isEmpty())
            said << refused + QStringLiteral(" What it leads to was not deleted.");
    return said.isEmpty() || fail(errorText, said.join(QLatin1Char(' ')));
}

bool zipHelper::clearSession(QString *errorText)
{
    if (!waitForFolderWork(errorText))
        return false;
    const Folders f = folders();
    if (!f.valid())
        return fail(errorText, QStringLiteral("no data folder"));
    if (const QString refused = dataFolderRefused(f); !refused.isEmpty())
        return fail(errorText, refused + QStringLiteral(" Nothing was deleted."));
    return failNaming(RecordDeletion::removeBelow(f.sessions, isDataFileName) + RecordDeletion::removeBelow(f.pointsOnly, isDataFileName),
                      errorText);
}

bool zipHelper::DelRecordByPath(const QString &folder, QString *errorText)
{
    return failNaming(RecordDeletion::removeBelow(folder, isDataFileName), errorText);
}
