#include "SystemFileUnpacker.h"

#include "ZipArchive.h"
#include "core/store/DataRecovery.h"
#include "platform/FolderHandle.h"
#include "platform/Log.h"
#include "platform/RecordFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

const QString kTop = QStringLiteral("Pollix/");

// The path inside folder for an archive entry, or empty when the entry is not ours or would
// leave the folder; *relative: the same below the folder (empty for the folder itself).
QString targetFor(const QString &folder, const QString &entry, QString *relative)
{
    relative->clear();
    if (!entry.startsWith(kTop) || entry.contains(QLatin1Char('\\')))
        return QString();
    const QString rel = entry.mid(kTop.size());
    if (rel.isEmpty())
        return QDir::cleanPath(folder);
    const QString safe = ZipArchive::relativePathOf(rel);
    if (rel.startsWith(QLatin1Char('/')) || safe.isEmpty())
        return QString();
    *relative = safe;
    return QDir::cleanPath(folder + QLatin1Char('/') + safe);
}

// Why an entry may not be written where it lands: a symbolic link on its way or in its place
// would take it out of the application folder. The data folder itself may be a link (schools
// keep the data on a share), and what lies below it is then judged from there.
QString placeProblem(const QString &folder, const QString &relative, bool isFolder)
{
    const QString data = QStringLiteral("Data");
    if (relative == data && RecordFile::kindAt(folder + QLatin1Char('/') + data) == RecordFile::Kind::Link)
        return QString();
    if (relative.startsWith(data + QLatin1Char('/')))
        return ZipArchive::placeProblem(folder + QLatin1Char('/') + data, relative.mid(data.size() + 1), isFolder);
    return ZipArchive::placeProblem(folder, relative, isFolder);
}

// Anything at path (a dangling link too) is the teacher's or an earlier start's, and stays.
bool somethingAt(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

QString SystemFileUnpacker::archivePath()
{
    const QString dir = QCoreApplication::applicationDirPath();
    const QString beside = dir + QStringLiteral("/Pollix");
    if (QFileInfo(beside).isFile())
        return beside;
    return QDir::cleanPath(dir + QStringLiteral("/../share/pollix/Pollix"));
}

SystemFileUnpacker::Result SystemFileUnpacker::unZipSystemFile(const QString &archive, const QString &applicationFolder)
{
    ZipArchive zip;
    QString why;
    std::optional<QList<ZipArchive::Entry>> entries;
    if (zip.UnzipOpenFile(archive, &why))
        entries = zip.entries(&why);
    if (!entries) {
        PollixLog(QStringLiteral("First-run files: cannot read %1: %2").arg(archive, why));
        return Failed;
    }
    int files = 0;
    int added = 0;
    bool templateReplaced = false;
    bool ok = true;
    // A data folder a restore's swap still has to put in place is not made anew: the swap could
    // no longer be finished, and Pollix would work in an empty folder in its stead.
    const QString data = QDir::cleanPath(applicationFolder + QStringLiteral("/Data"));
    QString dataWhy;
    const bool dataHeld = !DataRecovery::dataFolderUsable(data, &dataWhy);
    if (dataHeld)
        PollixLog(QStringLiteral("First-run files: the data folders are not made: %1").arg(dataWhy));
    // Everything is written through the application folder held open, and through its data
    // folder held open as its path leads (schools keep the data on a share); every folder below
    // them is made and entered without following a link.
    const FolderHandle application = FolderHandle::makePath(applicationFolder, &why);
    FolderHandle dataFolder;
    const auto base = [&](const QString &relative, QString *below) -> const FolderHandle & {
        const QString name = QStringLiteral("Data");
        if (relative != name && !relative.startsWith(name + QLatin1Char('/'))) {
            *below = relative;
            return application;
        }
        if (!dataFolder.isOpen())
            dataFolder = RecordFile::kindAt(data) == RecordFile::Kind::Link ? FolderHandle::open(data, true, &why)
                                                                           : application.makeFolder(name, &why);
        *below = relative.mid(name.size() + 1);
        return dataFolder;
    };
    if (!application.isOpen()) {
        PollixLog(QStringLiteral("First-run files: %1").arg(why));
        return Failed;
    }
    for (const ZipArchive::Entry &e : *entries) {
        QString relative;
        const QString target = targetFor(applicationFolder, e.name, &relative);
        if (target.isEmpty()) {
            PollixLog(QStringLiteral("Skipped archive entry %1").arg(e.name));
            continue;
        }
        if (dataHeld && (target == data || target.startsWith(data + QLatin1Char('/'))))
            continue;
        const auto refused = [&] {
            const QString problem = relative.isEmpty() ? QString() : placeProblem(applicationFolder, relative, e.isFolder);
            if (!problem.isEmpty())
                PollixLog(QStringLiteral("First-run files: %1 is not put in place: %2").arg(e.name, problem));
            return !problem.isEmpty();
        };
        if (relative.isEmpty())
            continue; // the application folder itself, made above
        QString below;
        const FolderHandle &root = base(relative, &below);
        if (e.isFolder) {
            if (refused()) {
                ok = false;
                continue;
            }
            if (!root.isOpen() || (!below.isEmpty() && !root.makeFolder(below, &why).isOpen())) {
                PollixLog(QStringLiteral("First-run files: %1").arg(why)); // naming the folder
                ok = false;
            }
            continue;
        }
        ++files;
        const bool there = somethingAt(target);
        // Only the template follows the archive: a newer program brings newer template slides.
        if (there && e.name != templateEntry())
            continue;
        if (refused()) {
            ok = false;
            continue;
        }
        const QString folder = QFileInfo(below).path();
        const FolderHandle into = !root.isOpen() || folder == QLatin1String(".") ? FolderHandle() : root.makeFolder(folder, &why);
        const FolderHandle &holder = folder == QLatin1String(".") ? root : into;
        bool written = false;
        if (!holder.isOpen() || !zip.extractEntryTo(e, holder, QFileInfo(below).fileName(), there, &written, &why)) {
            PollixLog(QStringLiteral("First-run files: %1").arg(holder.isOpen() ? why : QStringLiteral("%1: %2").arg(e.name, why)));
            ok = false;
            continue;
        }
        if (written && there)
            templateReplaced = true;
        else if (written)
            ++added;
    }
    PollixLog(QStringLiteral("First-run files: %1 of %2 put in place in %3%4")
                  .arg(added)
                  .arg(files)
                  .arg(applicationFolder, templateReplaced ? QStringLiteral(", template renewed") : QString()));
    if (!ok)
        return Failed;
    if (added > 0)
        return added == files ? UnpackedAll : AddedMissing;
    return templateReplaced ? ReplacedTemplate : NothingDone;
}
