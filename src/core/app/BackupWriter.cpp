#include "BackupWriter.h"

#include "core/store/DataFolderLayout.h"
#include "core/store/DataRecovery.h"
#include "core/store/GlobalFunctions.h"
#include "platform/AtomicFile.h"
#include "platform/FolderHandle.h"
#include "platform/FolderWork.h"
#include "platform/Log.h"
#include "platform/RecordFile.h"
#include "platform/RegularFile.h"
#include "platform/SideFiles.h"
#include "platform/TakenFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>

#include <algorithm>
#include <mutex>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace BackupWriter {

namespace {
std::mutex g_hookMutex;
std::function<void(const QString &)> g_partSyncedHook;

bool fail(QString *errorText, const QString &why)
{
    if (errorText)
        *errorText = why;
    PollixLog(why);
    return false;
}

// What name in folder is when it is not the very file open as fd ("it is a symbolic link",
// "it is another file"); empty when it is that file.
QString leadsTo(const FolderHandle &folder, const QString &name, int fd)
{
    struct stat there{}, own{};
    const RecordFile::Kind kind = folder.kindAt(name, &there);
    if (kind == RecordFile::Kind::File && ::fstat(fd, &own) == 0 && own.st_dev == there.st_dev && own.st_ino == there.st_ino)
        return QString();
    return kind == RecordFile::Kind::File ? QStringLiteral("it is another file")
                                          : QStringLiteral("it is %1").arg(RecordFile::kindText(kind));
}

// The same for path, followed as a file is opened.
QString pathLeadsTo(const QString &path, int fd)
{
    struct stat there{}, own{};
    if (::stat(QFile::encodeName(path).constData(), &there) != 0)
        return QStringLiteral("it cannot be reached: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
    if (::fstat(fd, &own) == 0 && own.st_dev == there.st_dev && own.st_ino == there.st_ino)
        return QString();
    return S_ISREG(there.st_mode) ? QStringLiteral("it leads to another file")
                                  : QStringLiteral("it leads to %1").arg(RecordFile::kindText(S_ISDIR(there.st_mode) ? RecordFile::Kind::Folder
                                                                                                                     : RecordFile::Kind::Other));
}
} // namespace

QString noDataFiles(const QString &folder)
{
    return QStringLiteral("%1 holds no data files (classes, sessions, gradebook or login accounts), so there is nothing to "
                          "back up; no archive was written.")
        .arg(QDir::toNativeSeparators(folder));
}

void setPartSyncedHook(std::function<void(const QString &part)> hook)
{
    const std::lock_guard lock(g_hookMutex);
    g_partSyncedHook = std::move(hook);
}

bool write(const QString &dataRoot, const QStringList &folderList, const Destination &to, QString *errorText,
           const Progress &progress, bool *synced, ReadFiles *read)
{
    FolderWork::Running work;
    if (synced)
        *synced = false;
    if (dataRoot.isEmpty())
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
    const QString root = QDir::cleanPath(dataRoot);
    const QDir dataDir(root);
    const auto refuse = [&refused](const QString &file, const QString &problem) {
        const QString refusal = QStringLiteral("%1 (%2)").arg(file, problem);
        if (!refused.contains(refusal))
            refused << refusal;
    };
    for (const QString &folder : folderList) {
        // A folder of the data put in place as a link since the start (one the start took is
        // read as the folder it leads to) would bring another folder's files into the archive.
        if (const QString clean = QDir::cleanPath(folder);
            clean != root && TakenFolders::kindAsReached(clean) == RecordFile::Kind::Link) {
            refuse(clean, QStringLiteral("it is %1").arg(RecordFile::kindText(RecordFile::Kind::Link)));
            continue;
        }
        // A data file that is a pipe or a device (or a link to one) is no file the listing
        // takes, and would be left out of an archive said to be whole.
        for (const DataFolderLayout::Unreadable &file : DataFolderLayout::unreadableBelow(folder))
            refuse(QDir::cleanPath(file.path), file.why);
        const std::optional<QStringList> names = GlobalFunctions::fileListAtPath(folder, QStringLiteral("xml"));
        for (const QString &name : names.value_or(QStringList())) {
            // Named after the file's path with the data folder cut off; the data folder's own
            // pass so gives "//Quiz/x.xml". The name keeps the extension as the file has it. The
            // file itself goes by one clean path in both passes, so that a refusal names it once.
            const QString file = QDir::cleanPath(GlobalFunctions::filePathForListedName(folder, name, QStringLiteral("xml")));
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
                refuse(file, problem);
                continue;
            }
            // Keyed by the place in the data folder: the two passes name a file by different paths.
            sizes.insert(relative, size);
            items << Item{file, entry, relative};
        }
    }
    if (!refused.isEmpty())
        return fail(errorText, QStringLiteral("These files cannot be backed up: %1").arg(refused.join(QStringLiteral(", "))));
    if (items.isEmpty())
        return fail(errorText, noDataFiles(root));
    quint64 total = 0;
    for (const qint64 size : std::as_const(sizes))
        total += quint64(std::max<qint64>(size, 0));
    // Each file once, its size too, as a restore counts them, though the kept folders' files go
    // in twice.
    if (total > DataFolderLayout::kMaxTotalSize || sizes.size() > DataFolderLayout::fileLimit())
        return fail(errorText, QStringLiteral("The data files (%1 MB in %2 files) are more than one backup may hold (%3 MB, %4 files).")
                                   .arg(total >> 20).arg(sizes.size()).arg(DataFolderLayout::kMaxTotalSize >> 20)
                                   .arg(DataFolderLayout::fileLimit()));

    // Written beside the chosen name, into the very file made and noted for it there, and put in
    // its place only when complete.
    if (!to.folder.isOpen())
        return fail(errorText, QStringLiteral("%1 cannot be created: %2").arg(to.path, to.why));
    const QString partName = QFileInfo(SideFiles::nameBeside(to.path, SideFiles::Kind::Part)).fileName();
    QString part, why;
    const int fd = DataRecovery::makeNoted(to.folder, partName, &part, &why);
    if (fd < 0)
        return fail(errorText, why);
    const auto closeFd = qScopeGuard([fd] { ::close(fd); });
    // What went wrong before the archive is in place takes the part file away, when it is still
    // the one written: anything put under its name meanwhile is not Pollix's.
    const auto abandon = [&](const QString &reason) {
        if (leadsTo(to.folder, partName, fd).isEmpty())
            to.folder.removeFile(partName);
        DataRecovery::noteFinished(part);
        return fail(errorText, reason);
    };
    ZipArchive zip;
    if (!zip.CreateZipFileOn(fd, part, &why))
        return abandon(why);
    QHash<QString, QString> relativeOf;
    for (const Item &item : std::as_const(items))
        relativeOf.insert(item.file, item.relative);
    zip.setContentCheck([&relativeOf](const QString &file, const QByteArray &bytes) {
        // Looked at again as read: the file may have grown since it was listed.
        if (quint64(bytes.size()) > DataFolderLayout::kMaxFileSize)
            return QStringLiteral("it is larger than a data file may be (%1 MB)").arg(DataFolderLayout::kMaxFileSize >> 20);
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
        ZipArchive::Added added;
        if (!zip.addFileToZip(items[i].file, items[i].entry, &why, &fileAtFault, &added)) {
            if (fileAtFault) {
                if (!unreadable.contains(why))
                    unreadable << why;
            } else {
                written = false;
            }
        } else if (read) {
            if (const auto before = read->find(items[i].relative); before == read->end())
                read->insert(items[i].relative, added);
            else if (!(*before == added))
                before->steady.reset();
        }
        if (progress)
            progress(int(i + 1), int(items.size()));
    }
    const bool closed = zip.CloseZipFile2(written ? &why : nullptr);
    if (!unreadable.isEmpty())
        return abandon(QStringLiteral("These files cannot be backed up, so no backup was written: %1")
                           .arg(unreadable.join(QStringLiteral(", "))));
    if (!written || !closed)
        return abandon(why);
    if (::fsync(fd) != 0)
        return abandon(QStringLiteral("%1 cannot be written to disk: %2").arg(part, QString::fromLocal8Bit(std::strerror(errno))));
    // A restore reads no archive larger than that (files that hardly compress, stored twice).
    struct stat st{};
    if (::fstat(fd, &st) != 0 || st.st_size > RegularFile::kWholeLimit)
        return abandon(QStringLiteral("The backup would be larger than %1, more than a restore reads, so no backup was written.")
                           .arg(RegularFile::sizeText(RegularFile::kWholeLimit)));
    if (const auto hook = [] { const std::lock_guard lock(g_hookMutex); return g_partSyncedHook; }())
        hook(part);
    if (QString refused; AtomicFile::changeRefused(to.path, &refused))
        return abandon(QStringLiteral("%1: %2").arg(to.path, refused));
    // The part file's name must still lead to the archive written, or something else would be put
    // in the archive's place.
    if (const QString other = leadsTo(to.folder, partName, fd); !other.isEmpty())
        return abandon(QStringLiteral("%1 was not saved: its part file %2 is no longer the archive Pollix wrote (%3), so "
                                      "nothing was put in its place.")
                           .arg(to.path, part, other));
    if (!(to.replace ? to.folder.moveOver(partName, to.folder, to.name, &why) : to.folder.moveTo(partName, to.folder, to.name, &why)))
        return abandon(QStringLiteral("%1: %2").arg(to.path, why));
    DataRecovery::noteFinished(part);
    // Reported only when the archive's path leads to the very file written, as the teacher will
    // open it (its folder swapped for a link meanwhile leads elsewhere).
    if (const QString other = pathLeadsTo(to.path, fd); !other.isEmpty())
        return fail(errorText, QStringLiteral("%1 was not saved: that path does not lead to the archive Pollix wrote (%2); "
                                              "nothing was removed.")
                                   .arg(to.path, other));
    // The archive is in place: a folder that cannot be synced now does not make it a failure.
    const bool onDisk = AtomicFile::syncAfterRename(to.folder, to.name);
    if (synced)
        *synced = onDisk;
    return true;
}

} // namespace BackupWriter
