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
std::function<int(const QString &)> g_partRefusalHook;

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

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

// The folder chosen for the archive takes no file, for the error number code: named as the teacher
// chose it, and told as the teacher can follow it. A folder removed or renamed after its panel
// closed is said so, not as the system's "No such file or directory".
bool folderTakesNoFile(const Destination &to, const QString &folder, int code, QString *errorText)
{
    if (to.folderRefused)
        *to.folderRefused = true;
    const QString reason = code == ENOENT ? QStringLiteral("the folder is no longer there (it was removed or renamed "
                                                           "after it was chosen)")
                                          : systemError(code);
    return fail(errorText, AtomicFile::notSavedIn(folder, QFileInfo(to.path).fileName(), reason) + QLatin1Char('.'));
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

void setPartRefusalHook(std::function<int(const QString &part)> hook)
{
    const std::lock_guard lock(g_hookMutex);
    g_partRefusalHook = std::move(hook);
}

QString notTheData(const QString &dataRoot)
{
    const QString refused = TakenFolders::refusalOf({dataRoot});
    return refused.isEmpty() ? refused : refused + QStringLiteral(" No backup was written.");
}

bool write(const QString &dataRoot, const QStringList &folderList, const Destination &to, QString *errorText,
           const Progress &progress, bool *synced, ReadFiles *read)
{
    FolderWork::Running work;
    if (synced)
        *synced = false;
    if (dataRoot.isEmpty())
        return fail(errorText, QStringLiteral("no data folder"));
    // The data folder as the start took it, before its files are listed and again once they are
    // read: an archive of the folder a link put in its place would be saved as the data's.
    if (const QString refused = notTheData(dataRoot); !refused.isEmpty())
        return fail(errorText, refused);
    QString refusal;
    const QList<DataFolderLayout::BackupFile> items = DataFolderLayout::backupFiles(dataRoot, folderList, &refusal);
    if (!refusal.isEmpty())
        return fail(errorText, refusal);
    if (items.isEmpty())
        return fail(errorText, noDataFiles(QDir::cleanPath(dataRoot)));

    // Written beside the chosen name, into the very file made and noted for it there, and put in
    // its place only when complete.
    // A folder that could not be opened for a refusal of its own (one of the application folder's
    // that is no longer as the start took it) says that refusal.
    if (!to.folder.isOpen() && (to.openError == 0 || to.openError == ESTALE))
        return fail(errorText, QStringLiteral("%1 cannot be created: %2").arg(to.path, to.why));
    if (!to.folder.isOpen())
        return folderTakesNoFile(to, QFileInfo(to.path).absolutePath(), to.openError, errorText);
    const QString partName = QFileInfo(SideFiles::nameBeside(to.path, SideFiles::Kind::Part)).fileName();
    QString part, why;
    const int refusedBy = [&] {
        const std::lock_guard lock(g_hookMutex);
        return g_partRefusalHook ? g_partRefusalHook(to.folder.pathOf(partName)) : 0;
    }();
    const int fd = refusedBy ? -1 : DataRecovery::makeNoted(to.folder, partName, &part, &why);
    if (fd < 0) {
        // The part file is Pollix's own, which the teacher never chose: what cannot be made is a
        // file in the folder the archive was to go to, and that folder is named.
        const int code = refusedBy ? refusedBy : errno;
        if (!why.isEmpty())
            PollixLog(why);
        return folderTakesNoFile(to, to.folder.path(), code, errorText);
    }
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
    // Its failures named after the archive the teacher chose: the part file is gone by then.
    if (!zip.CreateZipFileOn(fd, to.path, &why))
        return abandon(why);
    QHash<QString, QString> relativeOf;
    for (const DataFolderLayout::BackupFile &item : std::as_const(items))
        relativeOf.insert(item.file, item.relative);
    zip.setContentCheck([&relativeOf](const QString &file, const QByteArray &bytes) {
        // Looked at again as read: the file may have grown since it was listed.
        if (quint64(bytes.size()) > DataFolderLayout::kMaxFileSize)
            return QStringLiteral("it is larger than a data file may be (%1 MB)").arg(DataFolderLayout::kMaxFileSize >> 20);
        return DataFolderLayout::contentProblem(relativeOf.value(file), bytes);
    });
    QStringList unreadable;
    bool written = true;
    // Compressed ahead a batch at a time, of 512 files and 32 MB of them at most (a file larger
    // than that alone): what is held in memory does not grow with the number of files, but each
    // file read is checked with the reader that loads it, which holds many times its size.
    constexpr qsizetype kBatch = 512;
    constexpr qint64 kBatchBytes = 32 * 1024 * 1024;
    qsizetype nextBatch = 0;
    for (qsizetype i = 0; i < items.size() && written; ++i) {
        if (i == nextBatch) {
            QStringList batch;
            qint64 bytes = 0;
            for (; nextBatch < items.size() && batch.size() < kBatch && (batch.isEmpty() || bytes + items[nextBatch].size <= kBatchBytes);
                 ++nextBatch) {
                batch << items[nextBatch].file;
                bytes += std::max<qint64>(items[nextBatch].size, 0);
            }
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
    if (const QString refused = notTheData(dataRoot); !refused.isEmpty())
        return abandon(refused);
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
