#include "SystemFileUnpacker.h"

#include "ZipArchive.h"
#include "platform/Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kTop = QStringLiteral("Pollix/");

// The path inside folder for an archive entry, or empty when the entry is not ours or would
// leave the folder.
QString targetFor(const QString &folder, const QString &entry)
{
    if (!entry.startsWith(kTop) || entry.contains(QLatin1Char('\\')))
        return QString();
    const QString rel = entry.mid(kTop.size());
    if (rel.isEmpty())
        return QDir::cleanPath(folder);
    const QString safe = ZipArchive::relativePathOf(rel);
    if (rel.startsWith(QLatin1Char('/')) || safe.isEmpty())
        return QString();
    return QDir::cleanPath(folder + QLatin1Char('/') + safe);
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

bool SystemFileUnpacker::unZipAllFileFrom(const QString &archive, const QString &folder)
{
    ZipArchive zip;
    if (!zip.UnzipOpenFile(archive))
        return false;
    const std::optional<QList<ZipArchive::Entry>> entries = zip.entries();
    if (!entries)
        return false;
    bool ok = true;
    for (const ZipArchive::Entry &e : *entries) {
        const QString target = targetFor(folder, e.name);
        if (target.isEmpty()) {
            PollixLog(QStringLiteral("Skipped archive entry %1").arg(e.name));
            continue;
        }
        if (e.isFolder) {
            ok = QDir().mkpath(target) && ok;
            continue;
        }
        if (!zip.extractEntryTo(e, target, true, false)) {
            PollixLog(QStringLiteral("Failed to unzip %1").arg(e.name));
            ok = false;
        }
    }
    return ok;
}

bool SystemFileUnpacker::unzipFile(const QString &archive, const QString &entry, const QString &target, bool *replaced)
{
    if (replaced)
        *replaced = false;
    ZipArchive zip;
    if (!zip.UnzipOpenFile(archive))
        return false;
    for (const ZipArchive::Entry &e : zip.entries().value_or(QList<ZipArchive::Entry>()))
        if (e.name == entry && !e.isFolder)
            return zip.extractEntryTo(e, target, true, true, replaced);
    return false;
}

SystemFileUnpacker::Result SystemFileUnpacker::unZipSystemFile(const QString &archive, const QString &applicationFolder)
{
    // A folder made empty by the launcher (or by $POLLIX_HOME pointing at a new folder) counts as
    // missing: the teacher would otherwise start without sounds, manuals or template.
    const QDir dir(applicationFolder);
    const bool present = dir.exists() && !dir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    if (!present) {
        PollixLog(QStringLiteral("Unpacking %1 into %2").arg(archive, applicationFolder));
        return unZipAllFileFrom(archive, applicationFolder) ? UnpackedAll : Failed;
    }
    bool replaced = false;
    const QString target = QDir::cleanPath(applicationFolder + QStringLiteral("/template.pptx"));
    if (!unzipFile(archive, templateEntry(), target, &replaced))
        return Failed;
    return replaced ? ReplacedTemplate : NothingDone;
}
