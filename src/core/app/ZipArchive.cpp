#include "ZipArchive.h"

#include "platform/AtomicFile.h"
#include "platform/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include <unzip.h>
#include <zip.h>
#include <zlib.h>

namespace {
// A data file is a few megabytes at most; a damaged or hostile entry must not exhaust memory.
constexpr quint64 kMaxEntrySize = 256ull * 1024 * 1024;
// General purpose flag: the entry's name is UTF-8.
constexpr uLong kUtf8NameFlag = 1u << 11;

zipFile zipHandle(void *p)
{
    return static_cast<zipFile>(p);
}

unzFile unzHandle(void *p)
{
    return static_cast<unzFile>(p);
}

bool fail(QString *errorText, const QString &why)
{
    if (errorText)
        *errorText = why;
    return false;
}

QDateTime dateOf(const tm_unz &t)
{
    return QDateTime(QDate(int(t.tm_year), int(t.tm_mon) + 1, int(t.tm_mday)),
                     QTime(int(t.tm_hour), int(t.tm_min), int(t.tm_sec)));
}

zip_fileinfo zipInfoFor(const QDateTime &date)
{
    zip_fileinfo info{};
    if (date.isValid()) {
        const QDateTime local = date.toLocalTime();
        info.tmz_date.tm_sec = uInt(local.time().second());
        info.tmz_date.tm_min = uInt(local.time().minute());
        info.tmz_date.tm_hour = uInt(local.time().hour());
        info.tmz_date.tm_mday = uInt(local.date().day());
        info.tmz_date.tm_mon = uInt(local.date().month() - 1);
        info.tmz_date.tm_year = uInt(local.date().year());
    }
    return info;
}

bool sameSecond(const QDateTime &a, const QDateTime &b)
{
    return a.isValid() && b.isValid() && a.toSecsSinceEpoch() == b.toSecsSinceEpoch();
}

// Raw deflate (no zlib header), as zip entries hold it.
bool deflateRaw(const QByteArray &in, QByteArray *out)
{
    z_stream zs{};
    if (deflateInit2(&zs, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    out->resize(qsizetype(deflateBound(&zs, uLong(in.size()))));
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.constData()));
    zs.avail_in = uInt(in.size());
    zs.next_out = reinterpret_cast<Bytef *>(out->data());
    zs.avail_out = uInt(out->size());
    const int rc = deflate(&zs, Z_FINISH);
    out->resize(qsizetype(zs.total_out));
    deflateEnd(&zs);
    return rc == Z_STREAM_END;
}

QString unzError(int rc)
{
    switch (rc) {
    case UNZ_CRCERROR: return QStringLiteral("its data are damaged (checksum mismatch)");
    case UNZ_BADZIPFILE: return QStringLiteral("it is damaged");
    case UNZ_ERRNO: return QStringLiteral("it could not be read");
    default: return QStringLiteral("it is damaged (error %1)").arg(rc);
    }
}
} // namespace

ZipArchive::ZipArchive() = default;

ZipArchive::~ZipArchive()
{
    if (_zipFile)
        zipClose(zipHandle(_zipFile), nullptr);
    UnzipCloseFile();
}

// ---- Writing ----

bool ZipArchive::CreateZipFile2(const QString &path, QString *errorText)
{
    if (_zipFile)
        return fail(errorText, QStringLiteral("an archive is already being written"));
    m_compressed.clear();
    m_path = path;
    m_entries = 0;
    _zipFile = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (!_zipFile)
        return fail(errorText, QStringLiteral("%1 cannot be created: %2").arg(path, QString::fromLocal8Bit(strerror(errno))));
    return true;
}

QString ZipArchive::cacheKey(const QString &file, const QFileInfo &info)
{
    return QStringLiteral("%1\n%2\n%3").arg(file).arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch());
}

bool ZipArchive::compress(const QString &file, Compressed *c, QString *errorText)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return fail(errorText, QStringLiteral("%1: %2").arg(file, in.errorString()));
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return fail(errorText, QStringLiteral("%1: %2").arg(file, in.errorString()));
    c->size = quint64(bytes.size());
    c->crc = quint32(crc32(0L, reinterpret_cast<const Bytef *>(bytes.constData()), uInt(bytes.size())));
    if (!deflateRaw(bytes, &c->data))
        return fail(errorText, QStringLiteral("%1: cannot be compressed").arg(file));
    return true;
}

void ZipArchive::compressAhead(const QStringList &files)
{
    struct Job
    {
        QString file, key;
        Compressed c;
        bool ok = false;
    };
    std::vector<Job> jobs;
    for (const QString &file : files) {
        const QString key = cacheKey(file, QFileInfo(file));
        if (!m_compressed.contains(key))
            jobs.push_back(Job{file, key, {}, false});
    }
    std::atomic<size_t> next{0};
    const auto worker = [&] {
        for (size_t i = next++; i < jobs.size(); i = next++)
            jobs[i].ok = compress(jobs[i].file, &jobs[i].c, nullptr);
    };
    const int threads = std::clamp(int(std::thread::hardware_concurrency()), 1, 8);
    std::vector<std::thread> pool;
    for (int t = 1; t < threads && size_t(t) < jobs.size(); ++t)
        pool.emplace_back(worker);
    worker();
    for (std::thread &t : pool)
        t.join();
    // Files that failed are read again by addFileToZip, which then says why.
    for (Job &job : jobs)
        if (job.ok)
            m_compressed.insert(job.key, std::move(job.c));
}

bool ZipArchive::addFileToZip(const QString &file, const QString &newname, QString *errorText)
{
    if (!_zipFile)
        return fail(errorText, QStringLiteral("no archive is being written"));
    const QFileInfo info(file);
    const QString key = cacheKey(file, info);
    auto cached = m_compressed.constFind(key);
    if (cached == m_compressed.constEnd()) {
        Compressed c;
        if (!compress(file, &c, errorText))
            return false;
        cached = m_compressed.insert(key, c);
    }
    return writeEntry(newname, info.lastModified(), *cached, errorText);
}

bool ZipArchive::writeEntry(const QString &name, const QDateTime &date, const Compressed &c, QString *errorText)
{
    const zip_fileinfo info = zipInfoFor(date);
    const QByteArray utf8 = name.toUtf8();
    const int zip64 = c.size >= 0xffffffffull ? 1 : 0;
    // The bytes are compressed already (raw), so the same compressed data can serve two entries.
    int rc = zipOpenNewFileInZip4_64(zipHandle(_zipFile), utf8.constData(), &info, nullptr, 0, nullptr, 0, nullptr,
                                     Z_DEFLATED, Z_DEFAULT_COMPRESSION, 1, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY,
                                     nullptr, 0, 0,
                                     kUtf8NameFlag, zip64);
    if (rc != ZIP_OK)
        return fail(errorText, QStringLiteral("%1: cannot start the entry (%2)").arg(name).arg(rc));
    rc = c.data.isEmpty() ? ZIP_OK : zipWriteInFileInZip(zipHandle(_zipFile), c.data.constData(), unsigned(c.data.size()));
    const int closed = zipCloseFileInZipRaw64(zipHandle(_zipFile), ZPOS64_T(c.size), uLong(c.crc));
    if (rc != ZIP_OK || closed != ZIP_OK)
        return fail(errorText, QStringLiteral("%1: cannot be written into the archive: %2")
                                   .arg(name, QString::fromLocal8Bit(strerror(errno))));
    ++m_entries;
    return true;
}

bool ZipArchive::CloseZipFile2(QString *errorText)
{
    m_compressed.clear();
    if (!_zipFile)
        return fail(errorText, QStringLiteral("no archive is being written"));
    const int rc = zipClose(zipHandle(_zipFile), nullptr);
    _zipFile = nullptr;
    if (rc != ZIP_OK)
        return fail(errorText, QStringLiteral("the archive cannot be completed: %1").arg(QString::fromLocal8Bit(strerror(errno))));
    return m_entries < 0xFFFF || addZip64End(errorText);
}

namespace {
void putLE(QByteArray &out, quint64 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

quint64 getLE(const QByteArray &in, int at, int bytes)
{
    quint64 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | quint8(in.at(at + i));
    return value;
}
} // namespace

// The system's minizip writes the zip64 end records only for archives beyond 4 GB, so an archive
// of 65,535 entries or more would tell readers a wrong number of entries. The end of the archive
// is rewritten with those records (the entries themselves stay as they are).
bool ZipArchive::addZip64End(QString *errorText)
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadWrite) || file.size() < 22 || !file.seek(file.size() - 22))
        return fail(errorText, QStringLiteral("the archive cannot be completed: %1").arg(file.errorString()));
    const qint64 endAt = file.size() - 22;
    const QByteArray end = file.read(22);
    if (getLE(end, 0, 4) != 0x06054b50 || getLE(end, 20, 2) != 0)
        return fail(errorText, QStringLiteral("the archive cannot be completed: its end record is not where expected"));
    const quint64 directorySize = getLE(end, 12, 4);
    const quint64 directoryAt = getLE(end, 16, 4);
    if (directoryAt == 0xFFFFFFFFull)
        return true; // minizip wrote the zip64 records itself
    QByteArray tail;
    putLE(tail, 0x06064b50, 4); // zip64 end of central directory record
    putLE(tail, 44, 8);
    putLE(tail, 45, 2);
    putLE(tail, 45, 2);
    putLE(tail, 0, 4);
    putLE(tail, 0, 4);
    putLE(tail, m_entries, 8);
    putLE(tail, m_entries, 8);
    putLE(tail, directorySize, 8);
    putLE(tail, directoryAt, 8);
    putLE(tail, 0x07064b50, 4); // its locator
    putLE(tail, 0, 4);
    putLE(tail, quint64(endAt), 8);
    putLE(tail, 1, 4);
    putLE(tail, 0x06054b50, 4); // the classic end record, its counts marking zip64
    putLE(tail, 0, 2);
    putLE(tail, 0, 2);
    putLE(tail, 0xFFFF, 2);
    putLE(tail, 0xFFFF, 2);
    putLE(tail, directorySize, 4);
    putLE(tail, directoryAt, 4);
    putLE(tail, 0, 2);
    if (!file.seek(endAt) || file.write(tail) != tail.size() || !file.flush())
        return fail(errorText, QStringLiteral("the archive cannot be completed: %1").arg(file.errorString()));
    return true;
}

// ---- Reading ----

bool ZipArchive::UnzipOpenFile(const QString &path, QString *errorText)
{
    UnzipCloseFile();
    _unzFile = unzOpen64(QFile::encodeName(path).constData());
    if (!_unzFile) {
        if (!QFileInfo(path).isFile())
            return fail(errorText, QStringLiteral("%1 does not exist.").arg(path));
        return fail(errorText, QStringLiteral("%1 is not a zip archive, or it is damaged or incomplete.")
                                   .arg(QFileInfo(path).fileName()));
    }
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(unzHandle(_unzFile), &global) != UNZ_OK) {
        UnzipCloseFile();
        return fail(errorText, QStringLiteral("%1 is damaged.").arg(QFileInfo(path).fileName()));
    }
    return true;
}

std::optional<QList<ZipArchive::Entry>> ZipArchive::entries(QString *errorText)
{
    if (!_unzFile) {
        fail(errorText, QStringLiteral("no archive is open"));
        return std::nullopt;
    }
    unzFile zf = unzHandle(_unzFile);
    QList<Entry> out;
    int rc = unzGoToFirstFile(zf);
    for (quint64 n = 0; rc == UNZ_OK; rc = unzGoToNextFile(zf), ++n) {
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(zf, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
            break;
        QByteArray name(qsizetype(info.size_filename), '\0');
        unz64_file_pos pos{};
        if (unzGetCurrentFileInfo64(zf, &info, name.data(), uLong(name.size()), nullptr, 0, nullptr, 0) != UNZ_OK ||
            unzGetFilePos64(zf, &pos) != UNZ_OK) {
            fail(errorText, QStringLiteral("entry %1 of the archive cannot be read").arg(n + 1));
            return std::nullopt;
        }
        Entry e;
        e.name = QString::fromUtf8(name);
        e.normalisedName = QString(e.name).replace(QLatin1Char('\\'), QLatin1Char('/'));
        e.isFolder = e.normalisedName.endsWith(QLatin1Char('/'));
        e.date = dateOf(info.tmu_date);
        e.size = info.uncompressed_size;
        e.position = pos.pos_in_zip_directory;
        e.number = pos.num_of_file;
        e.crc = quint32(info.crc);
        out << e;
    }
    if (rc != UNZ_END_OF_LIST_OF_FILE) {
        fail(errorText, QStringLiteral("the archive's list of entries is damaged"));
        return std::nullopt;
    }
    return out;
}

bool ZipArchive::readEntry(const Entry &entry, QByteArray *bytes, QString *errorText)
{
    if (!_unzFile)
        return fail(errorText, QStringLiteral("no archive is open"));
    unzFile zf = unzHandle(_unzFile);
    if (entry.size > kMaxEntrySize)
        return fail(errorText, QStringLiteral("%1 is too large for a data file").arg(entry.name));
    unz64_file_pos pos{entry.position, entry.number};
    if (unzGoToFilePos64(zf, &pos) != UNZ_OK)
        return fail(errorText, QStringLiteral("%1 cannot be found in the archive").arg(entry.name));
    int rc = unzOpenCurrentFile(zf);
    if (rc != UNZ_OK)
        return fail(errorText, QStringLiteral("%1 cannot be opened: %2").arg(entry.name, unzError(rc)));
    bytes->clear();
    bytes->reserve(qsizetype(entry.size));
    char chunk[64 * 1024];
    for (;;) {
        rc = unzReadCurrentFile(zf, chunk, sizeof chunk);
        if (rc <= 0)
            break;
        if (quint64(bytes->size()) + quint64(rc) > entry.size) {
            rc = UNZ_BADZIPFILE; // more data than the directory says: not to be trusted
            break;
        }
        bytes->append(chunk, rc);
    }
    // Closing checks the CRC-32 once everything was read.
    const int closed = unzCloseCurrentFile(zf);
    if (rc < 0)
        return fail(errorText, QStringLiteral("%1 cannot be read: %2").arg(entry.name, unzError(rc)));
    if (closed != UNZ_OK)
        return fail(errorText, QStringLiteral("%1 cannot be read: %2").arg(entry.name, unzError(closed)));
    if (quint64(bytes->size()) != entry.size)
        return fail(errorText, QStringLiteral("%1 cannot be read: it is incomplete").arg(entry.name));
    return true;
}

bool ZipArchive::extractEntryTo(const Entry &entry, const QString &target, bool atomic, bool skipSameDate,
                                bool *written, QString *errorText)
{
    if (written)
        *written = false;
    if (skipSameDate) {
        const QFileInfo existing(target);
        if (existing.isFile() && sameSecond(existing.lastModified(), entry.date))
            return true;
    }
    QByteArray bytes;
    if (!readEntry(entry, &bytes, errorText))
        return false;
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        return fail(errorText, QStringLiteral("%1 cannot be written: its folder cannot be made").arg(entry.name));
    QFile file(target);
    if (atomic) {
        QString why;
        if (!AtomicFile::write(target, bytes, &why))
            return fail(errorText, QStringLiteral("%1 cannot be written: %2").arg(entry.name, why));
        if (!file.open(QIODevice::ReadWrite))
            return fail(errorText, QStringLiteral("%1 cannot be written: %2").arg(entry.name, file.errorString()));
    } else {
        // Unbuffered and written to the end, so that a full disk is told as such by a write.
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return fail(errorText, QStringLiteral("%1 cannot be written: %2").arg(entry.name, file.errorString()));
        for (qsizetype done = 0; done < bytes.size();) {
            const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
            if (n <= 0)
                return fail(errorText, QStringLiteral("%1 cannot be written: %2").arg(entry.name, file.errorString()));
            done += n;
        }
    }
    if (entry.date.isValid() && !file.setFileTime(entry.date, QFileDevice::FileModificationTime))
        PollixLog(QStringLiteral("Failed to set attributes"));
    file.close();
    if (file.error() != QFileDevice::NoError)
        return fail(errorText, QStringLiteral("%1 cannot be written: %2").arg(entry.name, file.errorString()));
    if (written)
        *written = true;
    return true;
}

bool ZipArchive::UnzipFileTo(const QString &folder, bool overWrite)
{
    QString why;
    const std::optional<QList<Entry>> list = entries(&why);
    if (!list) {
        OutputErrorMessage(why);
        return false;
    }
    // Every name is checked before anything is written.
    for (const Entry &e : *list) {
        const bool rootFolder = e.isFolder && e.normalisedName.count(QLatin1Char('/')) == e.normalisedName.size();
        if (relativePathOf(e.name).isEmpty() && !rootFolder) {
            OutputErrorMessage(QStringLiteral("%1 would be written outside %2").arg(e.name, folder));
            return false;
        }
    }
    for (const Entry &e : *list) {
        const QString rel = relativePathOf(e.name);
        const QString target = QDir::cleanPath(folder + QLatin1Char('/') + rel);
        if (e.isFolder) {
            if (!rel.isEmpty() && !QDir().mkpath(target)) {
                OutputErrorMessage(QStringLiteral("the folder %1 cannot be made").arg(target));
                return false;
            }
            continue;
        }
        if (QFileInfo::exists(target) && !overWrite && !OverWrite(target))
            continue;
        if (!extractEntryTo(e, target, true, false, nullptr, &why)) {
            OutputErrorMessage(why);
            return false;
        }
    }
    return true;
}

bool ZipArchive::UnzipFile(const QString &, const QString &entryName, const QString &folder)
{
    QString why;
    const std::optional<QList<Entry>> list = entries(&why);
    if (!list) {
        OutputErrorMessage(why);
        return false;
    }
    const QString wanted = QString(entryName).replace(QLatin1Char('\\'), QLatin1Char('/'));
    for (const Entry &e : *list) {
        if (e.normalisedName != wanted)
            continue;
        const QString rel = relativePathOf(e.name);
        if (rel.isEmpty() || e.isFolder)
            return false;
        if (!extractEntryTo(e, QDir::cleanPath(folder + QLatin1Char('/') + rel), true, true, nullptr, &why)) {
            OutputErrorMessage(why);
            return false;
        }
        return true;
    }
    return false;
}

bool ZipArchive::UnzipCloseFile()
{
    if (!_unzFile)
        return true;
    const int rc = unzClose(unzHandle(_unzFile));
    _unzFile = nullptr;
    return rc == UNZ_OK;
}

bool ZipArchive::OverWrite(const QString &path)
{
    return m_delegate ? m_delegate->OverWriteOperation(path) : true;
}

void ZipArchive::OutputErrorMessage(const QString &text)
{
    PollixLog(text);
    if (m_delegate)
        m_delegate->ErrorMessage(text);
}

QDateTime ZipArchive::Date1980()
{
    return QDateTime(QDate(1980, 1, 1), QTime(0, 0));
}

QString ZipArchive::relativePathOf(const QString &entryName)
{
    const QString name = QString(entryName).replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList parts = name.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return QString();
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:$"));
    if (drive.match(parts.first()).hasMatch())
        return QString();
    for (const QString &p : parts)
        if (p == QLatin1String(".") || p == QLatin1String("..") || p.contains(QChar(0)))
            return QString();
    return parts.join(QLatin1Char('/'));
}
