#include "SystemFileUnpacker.h"

#include "platform/AtomicFile.h"
#include "platform/Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unzip.h>

#include <memory>

namespace {

const QString kTop = QStringLiteral("Pollix/");
// The archive is ours, but a damaged one must not fill the disk.
constexpr uLong kMaxEntrySize = 64u * 1024 * 1024;

struct UnzCloser
{
    void operator()(void *f) const { unzClose(f); }
};
using UnzHandle = std::unique_ptr<void, UnzCloser>;

QDateTime entryDate(const unz_file_info &info)
{
    const tm_unz &t = info.tmu_date;
    return QDateTime(QDate(int(t.tm_year), int(t.tm_mon) + 1, int(t.tm_mday)),
                     QTime(int(t.tm_hour), int(t.tm_min), int(t.tm_sec)));
}

QString currentName(unzFile zf, unz_file_info *info)
{
    char name[1024];
    if (unzGetCurrentFileInfo(zf, info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK)
        return QString();
    return QString::fromUtf8(name);
}

bool readCurrent(unzFile zf, const unz_file_info &info, QByteArray *out)
{
    if (info.uncompressed_size > kMaxEntrySize || unzOpenCurrentFile(zf) != UNZ_OK)
        return false;
    out->resize(qsizetype(info.uncompressed_size));
    const int n = info.uncompressed_size ? unzReadCurrentFile(zf, out->data(), unsigned(out->size())) : 0;
    // unzCloseCurrentFile checks the CRC once everything was read.
    const bool ok = unzCloseCurrentFile(zf) == UNZ_OK;
    return ok && n == int(out->size());
}

// The path inside folder for an archive entry, or empty when the entry is not ours or would
// leave the folder.
QString targetFor(const QString &folder, const QString &entry)
{
    if (!entry.startsWith(kTop) || entry.contains(QLatin1Char('\\')))
        return QString();
    const QString rel = entry.mid(kTop.size());
    if (rel.isEmpty())
        return QDir::cleanPath(folder);
    const QStringList parts = rel.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (rel.startsWith(QLatin1Char('/')) || parts.contains(QStringLiteral("..")) || parts.contains(QStringLiteral(".")))
        return QString();
    return QDir::cleanPath(folder + QLatin1Char('/') + rel);
}

bool writeEntry(const QString &path, const QByteArray &bytes, const QDateTime &date)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !AtomicFile::write(path, bytes))
        return false;
    QFile f(path);
    if (f.open(QIODevice::ReadWrite))
        f.setFileTime(date, QFileDevice::FileModificationTime);
    return true;
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
    UnzHandle zf(unzOpen(QFile::encodeName(archive).constData()));
    if (!zf)
        return false;
    bool ok = true;
    for (int rc = unzGoToFirstFile(zf.get()); rc == UNZ_OK; rc = unzGoToNextFile(zf.get())) {
        unz_file_info info{};
        const QString name = currentName(zf.get(), &info);
        const QString target = targetFor(folder, name);
        if (target.isEmpty()) {
            PollixLog(QStringLiteral("Skipped archive entry %1").arg(name));
            continue;
        }
        if (name.endsWith(QLatin1Char('/'))) {
            ok = QDir().mkpath(target) && ok;
            continue;
        }
        QByteArray bytes;
        if (!readCurrent(zf.get(), info, &bytes) || !writeEntry(target, bytes, entryDate(info))) {
            PollixLog(QStringLiteral("Failed to unzip %1").arg(name));
            ok = false;
        }
    }
    return ok;
}

bool SystemFileUnpacker::unzipFile(const QString &archive, const QString &entry, const QString &target, bool *replaced)
{
    if (replaced)
        *replaced = false;
    UnzHandle zf(unzOpen(QFile::encodeName(archive).constData()));
    if (!zf || unzLocateFile(zf.get(), entry.toUtf8().constData(), 1) != UNZ_OK)
        return false;
    unz_file_info info{};
    if (currentName(zf.get(), &info).isEmpty())
        return false;
    const QDateTime date = entryDate(info);
    const QFileInfo existing(target);
    if (existing.isFile() && existing.lastModified().toSecsSinceEpoch() == date.toSecsSinceEpoch())
        return true;
    QByteArray bytes;
    if (!readCurrent(zf.get(), info, &bytes) || !writeEntry(target, bytes, date))
        return false;
    if (replaced)
        *replaced = true;
    return true;
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
