#include "zipHelper.h"

#include "Orvenda_AppDelegate.h"
#include "ZipArchive.h"
#include "core/store/BackupsFolder.h"
#include "core/store/DataFolderLayout.h"
#include "core/store/DataRecovery.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovUserListXmlDatabase.h"
#include "platform/AtomicFile.h"
#include "platform/ChangeJournal.h"
#include "platform/FolderHandle.h"
#include "platform/FolderMark.h"
#include "platform/FolderSwap.h"
#include "platform/FolderWork.h"
#include "platform/Log.h"
#include "platform/RecordFile.h"
#include "platform/SideFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

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

// Writes a backup of the listed folders of f into a new archive at archivePath; *synced: its
// folder was synced after the archive was put in place.
bool writeBackup(const Folders &f, const QStringList &folderList, const QString &archivePath, QString *errorText,
                 const zipHelper::Progress &progress, bool *synced = nullptr);

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

bool isXmlName(const QString &name)
{
    return name.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive);
}

bool syncFile(const QString &path, QString *errorText)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return fail(errorText, QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    const int rc = ::fsync(fd);
    const QString why = QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    return rc == 0 || fail(errorText, QStringLiteral("%1 cannot be written to disk: %2").arg(path, why));
}

// Keeps what a restore does not replace (files that are no data files) in the new folder. A
// change of the old data left unfinished (its journal and the side files with its bytes) stays
// with the old data: carried over, the next start would finish it over the restored files.
bool carryOver(const QString &oldFolder, const QString &newFolder, QString *errorText)
{
    if (!QFileInfo(oldFolder).isDir())
        return true;
    const QDir root(oldFolder);
    QDirIterator it(oldFolder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo fi = it.fileInfo();
        if (isXmlName(fi.fileName()) || ChangeJournal::isJournalName(fi.fileName()) || SideFiles::kindOf(fi.fileName()))
            continue;
        const QString target = newFolder + QLatin1Char('/') + root.relativeFilePath(fi.filePath());
        QDir().mkpath(QFileInfo(target).absolutePath());
        if (::link(QFile::encodeName(fi.filePath()).constData(), QFile::encodeName(target).constData()) != 0 &&
            !QFile::copy(fi.filePath(), target))
            return fail(errorText, QStringLiteral("%1 cannot be kept").arg(fi.filePath()));
    }
    return true;
}
} // namespace

// ---- Backup ----

bool zipHelper::backupFilTo(const QString &archivePath, QString *errorText, const Progress &progress)
{
    const Folders f = folders();
    if (!f.valid())
        return fail(errorText, QStringLiteral("no data folder"));
    return addFlodersToZipTo(archivePath, {f.sessions, f.pointsOnly, f.classes, f.data}, errorText, progress);
}

bool zipHelper::addFlodersToZipTo(const QString &archivePath, const QStringList &folderList, QString *errorText,
                                  const Progress &progress)
{
    return writeBackup(folders(), folderList, archivePath, errorText, progress);
}

namespace {
bool writeBackup(const Folders &f, const QStringList &folderList, const QString &archivePath, QString *errorText,
                 const zipHelper::Progress &progress, bool *synced)
{
    FolderWork::Running work;
    if (synced)
        *synced = false;
    if (!f.valid())
        return fail(errorText, QStringLiteral("no data folder"));
    struct Item
    {
        QString file;
        QString entry;
        QString relative;
    };
    QList<Item> items;
    QStringList refused;
    QHash<QString, qint64> sizes;
    const QString root = f.dataRoot();
    const QDir dataDir(root);
    for (const QString &folder : folderList) {
        const std::optional<QStringList> names = GF::fileListAtPath(folder, QStringLiteral("xml"));
        for (const QString &name : names.value_or(QStringList())) {
            // Named after the file's path with the data folder cut off; the data folder's own
            // pass so gives "//Quiz/x.xml". The name keeps the extension as the file has it. The
            // file itself goes by one clean path in both passes, so that a refusal names it once.
            const QString file = QDir::cleanPath(GF::filePathForListedName(folder, name, QStringLiteral("xml")));
            QString entry = QFileInfo(folder + QLatin1Char('/') + name).path() + QLatin1Char('/') + QFileInfo(file).fileName();
            if (entry.startsWith(root))
                entry = entry.mid(root.size());
            const QString relative = dataDir.relativeFilePath(file);
            // Only what a restore would take back goes in.
            const qint64 size = QFileInfo(file).size();
            QString problem = DataFolderLayout::nameProblem(relative);
            if (problem.isEmpty() && quint64(std::max<qint64>(size, 0)) > DataFolderLayout::kMaxFileSize)
                problem = QStringLiteral("it is larger than a data file may be (%1 MB)").arg(DataFolderLayout::kMaxFileSize >> 20);
            if (!problem.isEmpty()) {
                const QString refusal = QStringLiteral("%1 (%2)").arg(file, problem);
                if (!refused.contains(refusal))
                    refused << refusal;
                continue;
            }
            // Keyed by the place in the data folder: the two passes name a file by different paths.
            sizes.insert(relative, size);
            items << Item{file, entry, relative};
        }
    }
    if (!refused.isEmpty())
        return fail(errorText, QStringLiteral("These files cannot be backed up: %1").arg(refused.join(QStringLiteral(", "))));
    quint64 total = 0;
    for (const qint64 size : std::as_const(sizes))
        total += quint64(std::max<qint64>(size, 0));
    // Each file once, its size too, as a restore counts them, though the kept folders' files go
    // in twice.
    if (total > DataFolderLayout::kMaxTotalSize || sizes.size() > DataFolderLayout::fileLimit())
        return fail(errorText, QStringLiteral("The data files (%1 MB in %2 files) are more than one backup may hold (%3 MB, %4 files).")
                                   .arg(total >> 20).arg(sizes.size()).arg(DataFolderLayout::kMaxTotalSize >> 20)
                                   .arg(DataFolderLayout::fileLimit()));

    // Written beside the chosen path and put in its place only when complete.
    const QString temporary = SideFiles::nameBeside(archivePath, SideFiles::Kind::Part);
    DataRecovery::noteStarted(temporary);
    ZipArchive zip;
    QString why;
    if (!zip.CreateZipFile2(temporary, &why)) {
        DataRecovery::noteFinished(temporary);
        return fail(errorText, why);
    }
    QHash<QString, QString> relativeOf;
    for (const Item &item : std::as_const(items))
        relativeOf.insert(item.file, item.relative);
    zip.setContentCheck([&relativeOf](const QString &file, const QByteArray &bytes) {
        return DataFolderLayout::contentProblem(relativeOf.value(file), bytes);
    });
    QStringList unreadable;
    bool written = true;
    constexpr qsizetype kBatch = 512;
    for (qsizetype i = 0; i < items.size() && written; ++i) {
        if (i % kBatch == 0) {
            QStringList batch;
            for (qsizetype k = i; k < std::min(i + kBatch, items.size()); ++k)
                batch << items[k].file;
            zip.compressAhead(batch);
        }
        // A file that cannot be read, or would not be taken back by a restore, is named and the
        // rest go on; an archive that cannot be written ends the backup.
        bool fileAtFault = false;
        if (!zip.addFileToZip(items[i].file, items[i].entry, &why, &fileAtFault)) {
            if (fileAtFault) {
                if (!unreadable.contains(why))
                    unreadable << why;
            } else {
                written = false;
            }
        }
        if (progress)
            progress(int(i + 1), int(items.size()));
    }
    const bool closed = zip.CloseZipFile2(written ? &why : nullptr);
    const auto abandon = [&](const QString &reason) {
        QFile::remove(temporary);
        DataRecovery::noteFinished(temporary);
        PollixLog(QStringLiteral(" error handler here"));
        return fail(errorText, reason);
    };
    if (!unreadable.isEmpty())
        return abandon(QStringLiteral("These files cannot be backed up, so no backup was written: %1")
                           .arg(unreadable.join(QStringLiteral(", "))));
    if (!written || !closed || !syncFile(temporary, &why))
        return abandon(why);
    if (QString refused; AtomicFile::changeRefused(archivePath, &refused))
        return abandon(QStringLiteral("%1: %2").arg(archivePath, refused));
    if (::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(archivePath).constData()) != 0)
        return abandon(QStringLiteral("%1: %2").arg(archivePath, QString::fromLocal8Bit(std::strerror(errno))));
    DataRecovery::noteFinished(temporary);
    // The archive is in place: a folder that cannot be synced now does not make it a failure.
    const bool onDisk = AtomicFile::syncAfterRename(archivePath);
    if (synced)
        *synced = onDisk;
    return true;
}
} // namespace

// ---- Restore ----

bool zipHelper::recoverFileFrom(const QString &archivePath, QString *errorText, const Progress &progress, QString *keptArchive)
{
    return unZipAllFileFrom(archivePath, errorText, progress, keptArchive);
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
    if (DataFolderLayout::filesOfDataFolder().isEmpty())
        return true;
    const QString path = backupBeforeRestorePath(QDateTime::currentDateTime());
    if (path.isEmpty())
        return fail(errorText, QStringLiteral("no application folder"));
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return fail(errorText, QStringLiteral("%1 cannot be made").arg(QFileInfo(path).absolutePath()));
    if (!backupFilTo(path, errorText, progress))
        return false;
    *archivePath = path;
    return true;
}

QString zipHelper::folderBeforeRestorePath(const QString &data, QString *errorText)
{
    const QString archive = backupBeforeRestorePath(QDateTime::currentDateTime());
    QString problem;
    if (archive.isEmpty()) {
        problem = QStringLiteral("no application folder");
    } else if (!QDir().mkpath(QFileInfo(archive).absolutePath())) {
        problem = QStringLiteral("%1 cannot be made.").arg(QFileInfo(archive).absolutePath());
    } else {
        // A rename keeps the folder whole at no cost in space, but only on the data folder's disk.
        struct stat backups{}, old{};
        if (::stat(QFile::encodeName(QFileInfo(archive).absolutePath()).constData(), &backups) != 0 ||
            ::stat(QFile::encodeName(data).constData(), &old) != 0 || backups.st_dev != old.st_dev)
            problem = QStringLiteral("%1 is not on the disk of the data folder.").arg(QFileInfo(archive).absolutePath());
    }
    if (!problem.isEmpty()) {
        fail(errorText, problem);
        return QString();
    }
    // A name free for the folder and for the archive made of it afterwards.
    return freeStem(archive.chopped(4), {QString(), QStringLiteral(".zip")}); // the stem without ".zip"
}

bool zipHelper::archiveKeptFolder(const QString &folder, QString *archivePath, QString *errorText)
{
    FolderWork::Running work;
    if (archivePath)
        archivePath->clear();
    const Folders kept = foldersIn(folder);
    if (!kept.valid() || !QFileInfo(folder).isDir())
        return fail(errorText, QStringLiteral("%1 is no folder of data").arg(folder));
    const QString path = freeStem(folder, {QStringLiteral(".zip")}) + QStringLiteral(".zip");
    bool synced = false;
    QString why;
    if (!writeBackup(kept, {kept.sessions, kept.pointsOnly, kept.classes, kept.data}, path, &why, {}, &synced))
        return fail(errorText, QStringLiteral("%1 stays a folder: %2").arg(folder, why));
    if (archivePath)
        *archivePath = path;
    // The folder goes only once its archive is sure to outlast a power cut, and not while it
    // holds a change of those data left unfinished, which the archive does not hold.
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    bool pending = false;
    while (!pending && it.hasNext())
        pending = ChangeJournal::isJournalName(QFileInfo(it.next()).fileName());
    if (!synced || pending) {
        PollixLog(QStringLiteral("%1 stays beside its archive %2").arg(folder, path));
        return true;
    }
    if (!QDir(folder).removeRecursively())
        PollixLog(QStringLiteral("%1 could not be removed; its data are in %2").arg(folder, path));
    AtomicFile::syncFolderOf(folder);
    return true;
}

QStringList zipHelper::keptFoldersWithoutArchive()
{
    const QString backups = backupsFolder();
    QStringList folders;
    if (backups.isEmpty() || RecordFile::kindAt(backups) != RecordFile::Kind::Folder)
        return folders;
    const QStringList names = QDir(backups).entryList({QStringLiteral("Before restore *")},
                                                      QDir::Dirs | QDir::NoSymLinks | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : names) {
        const QString folder = backups + QLatin1Char('/') + name;
        if (RecordFile::kindAt(folder + QStringLiteral(".zip")) == RecordFile::Kind::Missing)
            folders << folder;
    }
    return folders;
}

void zipHelper::archiveKeptFolders(const QStringList &folders)
{
    for (const QString &folder : folders) {
        QString archive, failure;
        if (zipHelper().archiveKeptFolder(folder, &archive, &failure))
            PollixLog(QStringLiteral("The data a restore replaced were saved as %1").arg(archive));
        else
            PollixLog(QStringLiteral("The data a restore replaced stay a folder: %1").arg(failure));
    }
}

namespace {
// The entries that land on one file of the data folder (a backup stores each file of the kept
// folders twice).
struct Target
{
    QString relative;
    QList<ZipArchive::Entry> entries;
};

// Holds the bytes the readers have in hand below a bound, so that memory stays bounded whatever
// the archive holds; an entry larger than the bound waits to be read alone.
class ByteBudget
{
public:
    explicit ByteBudget(quint64 bound) : m_free(bound), m_bound(bound) {}
    quint64 take(quint64 wanted)
    {
        const quint64 n = std::min(wanted, m_bound);
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_free >= n; });
        m_free -= n;
        return n;
    }
    void give(quint64 n)
    {
        {
            std::lock_guard lock(m_mutex);
            m_free += n;
        }
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    quint64 m_free, m_bound;
};

bool writeWhole(const QString &path, const QByteArray &bytes, const QDateTime &date, QString *why)
{
    QFile file(path);
    // Unbuffered and written to the end, so that a full disk is told as such by a write.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(why, file.errorString());
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return fail(why, file.errorString());
        done += n;
    }
    if (date.isValid() && !file.setFileTime(date, QFileDevice::FileModificationTime))
        PollixLog(QStringLiteral("Failed to set attributes"));
    file.close();
    return file.error() == QFileDevice::NoError || fail(why, file.errorString());
}

QString megabytes(quint64 bytes)
{
    return QStringLiteral("%1 MB").arg(double(bytes) / 1e6, 0, 'f', bytes < 10'000'000 ? 2 : 0);
}
} // namespace

namespace {
// What the archive's directory says it holds, once every name and size passed.
struct Listing
{
    QString archiveName;
    QList<Target> targets;
    QHash<QString, qsizetype> targetOf;
    quint64 total = 0; // bytes of the files it restores
};

bool refuseArchive(QString *errorText, const QString &archiveName, const QString &why)
{
    return fail(errorText, QStringLiteral("%1 is not a backup of the data folder: %2.").arg(archiveName, why));
}

// Every name is checked before anything is read.
bool listBackup(const QString &archivePath, Listing *out, QString *errorText)
{
    out->archiveName = QFileInfo(archivePath).fileName();
    const QString &archiveName = out->archiveName;
    ZipArchive zip;
    QString why;
    if (!zip.UnzipOpenFile(archivePath, &why))
        return fail(errorText, why);
    // A backup holds each file at most twice.
    const std::optional<QList<ZipArchive::Entry>> entries = zip.entries(&why, 2 * quint64(DataFolderLayout::fileLimit()));
    if (!entries)
        return fail(errorText, QStringLiteral("%1: %2.").arg(archiveName, why));
    for (const ZipArchive::Entry &e : *entries) {
        const QString rel = ZipArchive::relativePathOf(e.name);
        const bool rootFolder = e.isFolder && e.normalisedName.count(QLatin1Char('/')) == e.normalisedName.size();
        if (rootFolder)
            continue;
        if (rel.isEmpty())
            return refuseArchive(errorText, archiveName,
                                 QStringLiteral("\"%1\" would be written outside the data folder").arg(e.name));
        QString problem = DataFolderLayout::entryNameProblem(e.name, rel);
        if (problem.isEmpty() && !e.isFolder)
            problem = DataFolderLayout::nameProblem(rel);
        if (!problem.isEmpty())
            return refuseArchive(errorText, archiveName, problem);
        if (e.isFolder)
            continue;
        if (e.size > DataFolderLayout::kMaxFileSize)
            return refuseArchive(errorText, archiveName,
                                 QStringLiteral("\"%1\" is larger than a data file may be (%2 MB)")
                                     .arg(e.name).arg(DataFolderLayout::kMaxFileSize >> 20));
        const auto known = out->targetOf.constFind(rel);
        if (known == out->targetOf.constEnd()) {
            out->targetOf.insert(rel, out->targets.size());
            out->targets << Target{rel, {e}};
            out->total += e.size;
        } else {
            const ZipArchive::Entry &first = out->targets[*known].entries.first();
            if (first.size != e.size || first.crc != e.crc)
                return refuseArchive(errorText, archiveName,
                                     QStringLiteral("\"%1\" and \"%2\" land on the same file with different contents")
                                         .arg(first.name, e.name));
            out->targets[*known].entries << e;
        }
    }
    if (out->targets.isEmpty())
        return fail(errorText, QStringLiteral("%1 holds no data files.").arg(archiveName));
    if (out->targets.size() > DataFolderLayout::fileLimit())
        return refuseArchive(errorText, archiveName,
                             QStringLiteral("it holds %1 files, more than the %2 a backup may hold")
                                 .arg(out->targets.size()).arg(DataFolderLayout::fileLimit()));
    if (out->total > DataFolderLayout::kMaxTotalSize)
        return refuseArchive(errorText, archiveName,
                             QStringLiteral("its files would take %1, more than the %2 a backup may hold")
                                 .arg(megabytes(out->total), megabytes(DataFolderLayout::kMaxTotalSize)));
    return true;
}

// Every file is read by the reader of the store that loads it, on several threads (each with its
// own handle on the archive), and, unless folder is empty, written below folder (its folders
// made already).
bool readBackup(const QString &archivePath, const Listing &listing, const QString &folder,
                const zipHelper::Progress &progress, QString *errorText)
{
    const QList<Target> &targets = listing.targets;
    ByteBudget budget(DataFolderLayout::kMaxFileSize * 4);
    std::atomic<qsizetype> next{0};
    std::atomic<int> done{0};
    std::atomic<bool> stop{false};
    std::mutex failureMutex;
    qsizetype failedAt = -1;
    QString failure;
    const auto failAt = [&](qsizetype i, const QString &reason) {
        std::lock_guard lock(failureMutex);
        if (failedAt < 0 || i < failedAt) {
            failedAt = i;
            failure = reason;
        }
        stop = true;
    };
    const auto worker = [&] {
        ZipArchive reader;
        QString readWhy;
        if (!reader.UnzipOpenFile(archivePath, &readWhy)) {
            failAt(0, readWhy);
            return;
        }
        for (qsizetype i = next++; i < targets.size() && !stop; i = next++) {
            const Target &t = targets.at(i);
            // The entry, its compressed bytes and a second copy to compare at most.
            const quint64 held = budget.take(3 * t.entries.first().size);
            QByteArray bytes, again;
            QString problem;
            if (!reader.readEntry(t.entries.first(), &bytes, &readWhy, DataFolderLayout::kMaxFileSize))
                problem = readWhy;
            for (qsizetype k = 1; k < t.entries.size() && problem.isEmpty(); ++k) {
                if (!reader.readEntry(t.entries.at(k), &again, &readWhy, DataFolderLayout::kMaxFileSize))
                    problem = readWhy;
                else if (again != bytes)
                    problem = QStringLiteral("\"%1\" and \"%2\" land on the same file with different contents")
                                  .arg(t.entries.first().name, t.entries.at(k).name);
            }
            again.clear();
            if (problem.isEmpty()) {
                const QString content = DataFolderLayout::contentProblem(t.relative, bytes);
                if (!content.isEmpty())
                    problem = QStringLiteral("\"%1\" cannot be read: %2").arg(t.entries.first().name, content);
            }
            if (!problem.isEmpty()) {
                budget.give(held);
                failAt(i, QStringLiteral("%1 is not a backup the program can restore: %2.").arg(listing.archiveName, problem));
                return;
            }
            if (!folder.isEmpty() &&
                !writeWhole(folder + QLatin1Char('/') + t.relative, bytes, t.entries.first().date, &readWhy)) {
                budget.give(held);
                failAt(i, QStringLiteral("%1 cannot be written: %2").arg(t.relative, readWhy));
                return;
            }
            budget.give(held);
            ++done;
        }
    };
    const int threads = int(std::clamp<qsizetype>(std::thread::hardware_concurrency(), 1, std::min<qsizetype>(8, targets.size())));
    const int totalSteps = int(targets.size()) + 1;
    std::mutex progressMutex;
    std::condition_variable progressed;
    int running = threads;
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([&] {
            worker();
            {
                std::lock_guard lock(progressMutex);
                --running;
            }
            progressed.notify_all();
        });
    {
        // The progress is told on the thread that runs the restore.
        std::unique_lock lock(progressMutex);
        while (running > 0) {
            progressed.wait_for(lock, std::chrono::milliseconds(50));
            if (progress && running > 0) {
                lock.unlock();
                progress(done, totalSteps);
                lock.lock();
            }
        }
    }
    for (std::thread &t : pool)
        t.join();
    if (failedAt >= 0)
        return fail(errorText, failure);
    if (progress)
        progress(done, totalSteps);
    return true;
}
} // namespace

bool zipHelper::checkBackup(const QString &archivePath, QString *errorText)
{
    Listing listing;
    return listBackup(archivePath, &listing, errorText) && readBackup(archivePath, listing, QString(), {}, errorText);
}

bool zipHelper::unZipAllFileFrom(const QString &archivePath, QString *errorText, const Progress &progress, QString *keptArchive)
{
    FolderWork::Running work;
    const Folders f = folders();
    if (!f.valid())
        return fail(errorText, QStringLiteral("no data folder"));
    if (QString why; AtomicFile::changeRefused(f.dataRoot(), &why))
        return fail(errorText, why);
    if (keptArchive)
        keptArchive->clear();
    Listing listing;
    if (!listBackup(archivePath, &listing, errorText))
        return false;
    const QString &archiveName = listing.archiveName;

    // A data folder reached through a link is replaced where it really lies; the link stays.
    const QFileInfo dataInfo(f.dataRoot());
    const QString data = dataInfo.isSymLink() ? dataInfo.canonicalFilePath() : f.dataRoot();
    // The new files are written beside the old ones, which stay until the swap.
    const QString parent = QFileInfo(data).absolutePath();
    struct statvfs disk{};
    if (::statvfs(QFile::encodeName(parent).constData(), &disk) == 0) {
        const quint64 free = quint64(disk.f_bavail) * quint64(disk.f_frsize);
        const quint64 blocks = quint64(std::max<unsigned long>(disk.f_frsize, 512));
        const quint64 needed = listing.total + quint64(listing.targets.size()) * blocks;
        if (needed > free)
            return fail(errorText, QStringLiteral("%1 cannot be restored: its files need %2, and the disk of the data "
                                                  "folder has %3 free (No space left on device).")
                                       .arg(archiveName, megabytes(needed), megabytes(free)));
    }

    QString why;
    const QString staging = FolderSwap::makeSibling(data, QStringLiteral("restore"), &why);
    if (staging.isEmpty())
        return fail(errorText, why);
    DataRecovery::noteStarted(staging);
    const QString keepNote = data + QLatin1Char('/') + FolderSwap::keepNoteName();
    const auto abandon = [&](const QString &reason) {
        // A swap that could not be undone leaves the data folder missing: staging then holds the
        // data the next start puts in its place.
        if (QFileInfo::exists(data)) {
            QFile::remove(keepNote);
            QDir(staging).removeRecursively();
            DataRecovery::noteFinished(staging);
        }
        return fail(errorText, reason);
    };
    // Folders first, so that the readers only write files.
    QSet<QString> made;
    for (const Target &t : std::as_const(listing.targets)) {
        const QString folder = QFileInfo(t.relative).path();
        if (folder != QLatin1String(".") && !made.contains(folder)) {
            made.insert(folder);
            if (!QDir(staging).mkpath(folder))
                return abandon(QStringLiteral("%1: the folder %2 cannot be made").arg(archiveName, folder));
        }
    }
    if (!readBackup(archivePath, listing, staging, progress, &why))
        return abandon(why);

    // After any restore the program has a login: an archive without accounts gets the built-in one.
    const QString login = staging + QLatin1Char('/') + DataFolderLayout::loginFile();
    if (!listing.targetOf.contains(DataFolderLayout::loginFile()) &&
        !TovUserListXmlDatabase::createXmlFileAtPath(login, &why))
        return abandon(why);
    for (const QString &sub : f.layout())
        QDir(staging).mkpath(sub);
    if (!carryOver(data, staging, &why))
        return abandon(why);
    if (QFileInfo::exists(data))
        QFile::setPermissions(staging, QFile::permissions(data));
    if (!FolderMark::write(FolderHandle::open(staging, false), FolderMark::Kind::Restored, &why))
        return abandon(why);
    // The data about to be replaced are kept in Backups: their folder, moved there by a rename
    // once swapped out (no time, no space), its place made ready now, so that nothing is replaced
    // when there is none. Where Backups is not on the data folder's disk, they are written as an
    // archive there first instead.
    QString keptFolder;
    if (keptArchive && !DataFolderLayout::filesOfDataFolder().isEmpty()) {
        QString folderWhy;
        keptFolder = folderBeforeRestorePath(data, &folderWhy);
        if (keptFolder.isEmpty()) {
            const int restoreSteps = int(listing.targets.size());
            const Progress backupProgress = [&](int done, int total) {
                if (progress)
                    progress(restoreSteps + done, restoreSteps + total + 1);
            };
            if (!backupBeforeRestore(keptArchive, &why, backupProgress))
                return abandon(QStringLiteral("The data now here could not be saved first, so nothing was replaced: %1 %2")
                                   .arg(folderWhy, why));
        } else if (!AtomicFile::write(keepNote, QFileInfo(keptFolder).fileName().toUtf8(), &why)) {
            // Noted in the data themselves, so that wherever a kill leaves them during the swap,
            // the next start moves them to keptFolder instead of removing them as leftovers.
            // The note names the folder within Backups: a start moves a folder nowhere else.
            return abandon(QStringLiteral("The data now here could not be kept first, so nothing was replaced: %1").arg(why));
        }
    }
    QString old;
    if (!FolderSwap::syncFileSystemOf(staging, &why) || !FolderSwap::exchange(staging, data, &why, &old))
        return abandon(why);
    FolderMark::remove(FolderHandle::open(data, false), FolderMark::Kind::Restored);
    if (!keptFolder.isEmpty() && !old.isEmpty()) {
        if (::rename(QFile::encodeName(old).constData(), QFile::encodeName(keptFolder).constData()) == 0) {
            *keptArchive = keptFolder;
            QFile::remove(keptFolder + QLatin1Char('/') + FolderSwap::keepNoteName());
            AtomicFile::syncAfterRename(keptFolder);
        } else {
            // Their note stays in them: the next start moves them (and no start removes them).
            const QString moveWhy = QString::fromLocal8Bit(std::strerror(errno));
            *keptArchive = old;
            PollixLog(QStringLiteral("The data replaced by the restore are kept in %1; they go to %2 at the next start: %3")
                          .arg(old, keptFolder, moveWhy));
        }
    } else if (!old.isEmpty() && !QDir(old).removeRecursively()) {
        PollixLog(QStringLiteral("The replaced data files are left in %1").arg(old));
    }
    DataRecovery::noteFinished(staging);
    if (progress) {
        const int steps = int(listing.targets.size()) + 1;
        progress(steps, steps);
    }
    return true;
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

// Every copy of data files an interrupted write left in and below folder; the ones that stay.
QStringList removeCopiesIn(const QString &folder)
{
    QStringList stayed;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo fi = it.fileInfo();
        if (fi.isSymLink() || !(SideFiles::kindOf(fi.fileName()) || isOldTemporaryName(fi.fileName())))
            continue;
        if (!QFile::remove(fi.filePath()))
            stayed << fi.filePath();
    }
    return stayed;
}
} // namespace

bool zipHelper::DelAllRecords(QString *errorText)
{
    const Folders f = folders();
    if (!f.valid())
        return fail(errorText, QStringLiteral("no data folder"));
    if (QString why; AtomicFile::changeRefused(f.dataRoot(), &why))
        return fail(errorText, why);
    const bool deleted = DelRecordByPath(f.data, errorText);
    DataRecovery::removeLeftovers();
    const QStringList stayed = removeCopiesIn(f.data);
    if (!deleted)
        return false;
    return stayed.isEmpty() ||
           fail(errorText, QStringLiteral("These files could not be deleted: %1").arg(stayed.join(QStringLiteral(", "))));
}

bool zipHelper::clearSession(QString *errorText)
{
    const Folders f = folders();
    if (!f.valid())
        return fail(errorText, QStringLiteral("no data folder"));
    if (QString why; AtomicFile::changeRefused(f.dataRoot(), &why))
        return fail(errorText, why);
    QString first, second;
    const bool sessions = DelRecordByPath(f.sessions, &first);
    const bool pointsOnly = DelRecordByPath(f.pointsOnly, &second);
    if (sessions && pointsOnly)
        return true;
    return fail(errorText, sessions ? second : pointsOnly ? first : first + QLatin1Char(' ') + second);
}

bool zipHelper::DelRecordByPath(const QString &folder, QString *errorText)
{
    QStringList stayed;
    for (const QString &name : GF::fileListAtPath(folder, QStringLiteral("xml")).value_or(QStringList())) {
        const QString path = GF::filePathForListedName(folder, name, QStringLiteral("xml"));
        QFile file(path);
        if (!file.remove()) {
            PollixLog(QStringLiteral("Delete file %1 because of %2").arg(name, file.errorString()));
            stayed << QStringLiteral("%1 (%2)").arg(path, file.errorString());
        }
    }
    if (stayed.isEmpty())
        return true;
    return fail(errorText, QStringLiteral("These files could not be deleted: %1").arg(stayed.join(QStringLiteral(", "))));
}
