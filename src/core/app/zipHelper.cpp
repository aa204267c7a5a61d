#include "zipHelper.h"

#include "Orvenda_AppDelegate.h"
#include "ZipArchive.h"
#include "core/store/GlobalFunctions.h"
#include "platform/FolderSwap.h"
#include "platform/Log.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
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

bool isXmlName(const QString &name)
{
    return name.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive);
}

// A name beside path that no file has yet.
QString unusedSibling(const QString &path, const QString &tag)
{
    for (;;) {
        const QString candidate = QStringLiteral("%1.%2-%3").arg(path, tag).arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
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

// Why an archive entry is no data file of the data folder; empty when it is one. rel is the
// entry's path relative to the data folder.
QString refusal(const ZipArchive::Entry &e, const QString &rel, const QStringList &layout)
{
    const bool rootFolder = e.isFolder && e.normalisedName.count(QLatin1Char('/')) == e.normalisedName.size();
    if (rootFolder)
        return QString();
    if (rel.isEmpty())
        return QStringLiteral("\"%1\" would be written outside the data folder").arg(e.name);
    const QStringList parts = rel.split(QLatin1Char('/'));
    const bool inLayout = parts.size() == 1 ? !e.isFolder : layout.contains(parts.first());
    if (!inLayout)
        return QStringLiteral("\"%1\" is not a place the program keeps data in").arg(e.name);
    if (!e.isFolder && !isXmlName(rel))
        return QStringLiteral("\"%1\" is not a data file").arg(e.name);
    return QString();
}

// Keeps what a restore does not replace (files that are no data files) in the new folder.
bool carryOver(const QString &oldFolder, const QString &newFolder, QString *errorText)
{
    if (!QFileInfo(oldFolder).isDir())
        return true;
    const QDir root(oldFolder);
    QDirIterator it(oldFolder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo fi = it.fileInfo();
        if (isXmlName(fi.fileName()))
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
    const Folders f = folders();
    if (!f.valid())
        return fail(errorText, QStringLiteral("no data folder"));
    struct Item
    {
        QString file;
        QString entry;
    };
    QList<Item> items;
    const QString root = f.dataRoot();
    for (const QString &folder : folderList) {
        const std::optional<QStringList> names = GF::fileListAtPath(folder, QStringLiteral("xml"));
        for (const QString &name : names.value_or(QStringList())) {
            // Named as folder + "/" + name + ".xml" with the data folder cut off; the data folder's
            // own pass so gives "//Quiz/x.xml".
            QString entry = folder + QLatin1Char('/') + name + QStringLiteral(".xml");
            if (entry.startsWith(root))
                entry = entry.mid(root.size());
            items << Item{GF::filePathForListedName(folder, name, QStringLiteral("xml")), entry};
        }
    }

    // Written beside the chosen path and put in its place only when complete.
    const QString temporary = unusedSibling(archivePath, QStringLiteral("part"));
    ZipArchive zip;
    QString why;
    if (!zip.CreateZipFile2(temporary, &why))
        return fail(errorText, why);
    QStringList unreadable;
    bool written = true;
    constexpr qsizetype kBatch = 64;
    for (qsizetype i = 0; i < items.size() && written; ++i) {
        if (i % kBatch == 0) {
            QStringList batch;
            for (qsizetype k = i; k < std::min(i + kBatch, items.size()); ++k)
                batch << items[k].file;
            zip.compressAhead(batch);
        }
        // A file that cannot be read is named and the rest go on; an archive that cannot be
        // written ends the backup.
        QFile probe(items[i].file);
        if (!probe.open(QIODevice::ReadOnly))
            unreadable << QStringLiteral("%1 (%2)").arg(items[i].file, probe.errorString());
        else
            written = zip.addFileToZip(items[i].file, items[i].entry, &why);
        if (progress)
            progress(int(i + 1), int(items.size()));
    }
    const bool closed = zip.CloseZipFile2(written ? &why : nullptr);
    if (!written || !closed || !unreadable.isEmpty() || !syncFile(temporary, &why)) {
        QFile::remove(temporary);
        if (!unreadable.isEmpty())
            why = QStringLiteral("These files could not be read and were not backed up: %1").arg(unreadable.join(QStringLiteral(", ")));
        PollixLog(QStringLiteral(" error handler here"));
        return fail(errorText, why);
    }
    if (::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(archivePath).constData()) != 0) {
        why = QStringLiteral("%1: %2").arg(archivePath, QString::fromLocal8Bit(std::strerror(errno)));
        QFile::remove(temporary);
        return fail(errorText, why);
    }
    return true;
}

// ---- Restore ----

bool zipHelper::recoverFileFrom(const QString &archivePath, QString *errorText, const Progress &progress)
{
    return unZipAllFileFrom(archivePath, errorText, progress);
}

bool zipHelper::unZipAllFileFrom(const QString &archivePath, QString *errorText, const Progress &progress)
{
    const Folders f = folders();
    if (!f.valid())
        return fail(errorText, QStringLiteral("no data folder"));
    ZipArchive zip;
    QString why;
    if (!zip.UnzipOpenFile(archivePath, &why))
        return fail(errorText, why);
    const std::optional<QList<ZipArchive::Entry>> entries = zip.entries(&why);
    if (!entries)
        return fail(errorText, why);

    // The whole archive is checked before anything is written.
    const QStringList layout = f.layout();
    QList<QPair<ZipArchive::Entry, QString>> files;
    for (const ZipArchive::Entry &e : *entries) {
        const QString rel = ZipArchive::relativePathOf(e.name);
        const QString refused = refusal(e, rel, layout);
        if (!refused.isEmpty())
            return fail(errorText, QStringLiteral("%1 is not a backup of the data folder: %2.")
                                       .arg(QFileInfo(archivePath).fileName(), refused));
        if (!e.isFolder)
            files << qMakePair(e, rel);
    }
    if (files.isEmpty())
        return fail(errorText, QStringLiteral("%1 holds no data files.").arg(QFileInfo(archivePath).fileName()));

    // A data folder reached through a link is replaced where it really lies; the link stays.
    const QFileInfo dataInfo(f.dataRoot());
    const QString data = dataInfo.isSymLink() ? dataInfo.canonicalFilePath() : f.dataRoot();
    const QString staging = FolderSwap::makeSibling(data, QStringLiteral("restore"), &why);
    if (staging.isEmpty())
        return fail(errorText, why);
    const auto abandon = [&](const QString &reason) {
        QDir(staging).removeRecursively();
        return fail(errorText, reason);
    };
    // A file stored twice (as the data folder's own pass does) is written once.
    QHash<QString, QPair<quint32, quint64>> written;
    const int total = int(files.size()) + 1;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const ZipArchive::Entry &e = files[i].first;
        const QString &rel = files[i].second;
        const auto same = written.constFind(rel);
        if (same == written.constEnd() || same->first != e.crc || same->second != e.size) {
            if (!zip.extractEntryTo(e, staging + QLatin1Char('/') + rel, false, false, nullptr, &why))
                return abandon(why);
            written.insert(rel, qMakePair(e.crc, e.size));
        }
        if (progress)
            progress(int(i + 1), total);
    }
    zip.UnzipCloseFile();
    for (const QString &sub : layout)
        QDir(staging).mkpath(sub);
    if (!carryOver(data, staging, &why))
        return abandon(why);
    if (QFileInfo::exists(data))
        QFile::setPermissions(staging, QFile::permissions(data));
    if (!FolderSwap::syncFileSystemOf(staging, &why) || !FolderSwap::exchange(staging, data, &why))
        return abandon(why);
    // staging now holds the old data files.
    if (!QDir(staging).removeRecursively())
        PollixLog(QStringLiteral("The replaced data files are left in %1").arg(staging));
    if (progress)
        progress(total, total);
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

bool zipHelper::DelAllRecords(QString *errorText)
{
    const Folders f = folders();
    return f.valid() ? DelRecordByPath(f.data, errorText) : fail(errorText, QStringLiteral("no data folder"));
}

bool zipHelper::clearSession(QString *errorText)
{
    const Folders f = folders();
    if (!f.valid())
        return fail(errorText, QStringLiteral("no data folder"));
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
