#include "ZipArchive.h"

#include "ZipWriteSink.h"
#include "platform/AtomicFile.h"
#include "platform/BlockReader.h"
#include "platform/FolderHandle.h"
#include "platform/Log.h"
#include "platform/RecordFile.h"
#include "platform/RegularFile.h"
#include "platform/TakenFolders.h"
#include "platform/Uninterrupted.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstring>
#include <thread>
#include <vector>

#include <unzip.h>
#include <zip.h>
#include <zlib.h>

// The archive being read: the descriptor opened and checked, its size then, and the stream
// minizip reads it through (the one it opened last).
struct ZipReadSource
{
    int fd = -1;
    quint64 size = 0;
    BlockReader *stream = nullptr;
};

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

// Whether the file is a zip archive of no entries: its end record alone (and its comment), which
// the zip library takes for no archive at all.
bool isEmptyArchive(int fd)
{
    constexpr qsizetype kEndRecord = 22;
    struct stat st{};
    unsigned char end[kEndRecord];
    if (::fstat(fd, &st) != 0 || st.st_size < kEndRecord || st.st_size > kEndRecord + 0xFFFF ||
        ::pread(fd, end, sizeof end, 0) != kEndRecord)
        return false;
    const auto at = [&end](int i) { return unsigned(end[i]) | unsigned(end[i + 1]) << 8; };
    return std::memcmp(end, "PK\x05\x06", 4) == 0 && at(8) == 0 && at(10) == 0 && at(12) == 0 && at(14) == 0 &&
           off_t(at(20)) == st.st_size - kEndRecord;
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

// minizip reads the archive through these, from a descriptor opened (and checked) once: each
// stream is a duplicate of it read with pread at its own position, so that readers on several
// threads share no offset, and through blocks of its own, since minizip reads the fields of
// every header a byte at a time. No stream reads past the size the archive had when checked.
voidpf ZCALLBACK openDescriptor(voidpf opaque, const void *, int mode)
{
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ)
        return nullptr;
    auto *source = static_cast<ZipReadSource *>(opaque);
    const int fd = ::fcntl(source->fd, F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        return nullptr;
    source->stream = new BlockReader(fd, source->size);
    return source->stream;
}

uLong ZCALLBACK readDescriptor(voidpf, voidpf stream, void *buf, uLong size)
{
    return uLong(static_cast<BlockReader *>(stream)->read(buf, size));
}

uLong ZCALLBACK writeDescriptor(voidpf, voidpf, const void *, uLong)
{
    return 0;
}

ZPOS64_T ZCALLBACK tellDescriptor(voidpf, voidpf stream)
{
    return static_cast<BlockReader *>(stream)->position();
}

long ZCALLBACK seekDescriptor(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    int whence = SEEK_SET;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: whence = SEEK_SET; break;
    case ZLIB_FILEFUNC_SEEK_CUR: whence = SEEK_CUR; break;
    case ZLIB_FILEFUNC_SEEK_END: whence = SEEK_END; break;
    default: return -1;
    }
    return static_cast<BlockReader *>(stream)->seek(qint64(offset), whence) ? 0 : -1;
}

int ZCALLBACK closeDescriptor(voidpf opaque, voidpf stream)
{
    auto *source = static_cast<ZipReadSource *>(opaque);
    if (source->stream == stream)
        source->stream = nullptr;
    delete static_cast<BlockReader *>(stream);
    return 0;
}

int ZCALLBACK errorOfDescriptor(voidpf, voidpf stream)
{
    return static_cast<BlockReader *>(stream)->error();
}

zlib_filefunc64_def ioFunctions(open64_file_func open, read_file_func read, write_file_func write, tell64_file_func tell,
                                seek64_file_func seek, close_file_func close, testerror_file_func error, voidpf opaque)
{
    zlib_filefunc64_def io{};
    io.zopen64_file = open;
    io.zread_file = read;
    io.zwrite_file = write;
    io.ztell64_file = tell;
    io.zseek64_file = seek;
    io.zclose_file = close;
    io.zerror_file = error;
    io.opaque = opaque;
    return io;
}

zlib_filefunc64_def descriptorFunctions(ZipReadSource *source)
{
    return ioFunctions(openDescriptor, readDescriptor, writeDescriptor, tellDescriptor, seekDescriptor, closeDescriptor,
                       errorOfDescriptor, source);
}

// minizip writes the archive through a ZipWriteSink.
voidpf ZCALLBACK openWriteDescriptor(voidpf opaque, const void *, int)
{
    auto *sink = static_cast<ZipWriteSink *>(opaque);
    return sink->open() ? sink : nullptr;
}

uLong ZCALLBACK readWriteDescriptor(voidpf, voidpf stream, void *buf, uLong size)
{
    return uLong(static_cast<ZipWriteSink *>(stream)->read(buf, size));
}

uLong ZCALLBACK writeWriteDescriptor(voidpf, voidpf stream, const void *buf, uLong size)
{
    return uLong(static_cast<ZipWriteSink *>(stream)->write(buf, size));
}

ZPOS64_T ZCALLBACK tellWriteDescriptor(voidpf, voidpf stream)
{
    return static_cast<ZipWriteSink *>(stream)->position();
}

long ZCALLBACK seekWriteDescriptor(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    auto *sink = static_cast<ZipWriteSink *>(stream);
    const quint64 from = origin == ZLIB_FILEFUNC_SEEK_CUR ? sink->position() : origin == ZLIB_FILEFUNC_SEEK_END ? sink->end() : 0;
    sink->seek(from + offset);
    return 0;
}

int ZCALLBACK closeWriteDescriptor(voidpf, voidpf stream)
{
    return static_cast<ZipWriteSink *>(stream)->close();
}

int ZCALLBACK errorOfWriteDescriptor(voidpf, voidpf stream)
{
    return static_cast<ZipWriteSink *>(stream)->error();
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

ZipArchive::ZipArchive() : m_read(std::make_unique<ZipReadSource>()) {}

ZipArchive::~ZipArchive()
{
    if (_zipFile)
        zipClose(zipHandle(_zipFile), nullptr);
    closeWriting();
    UnzipCloseFile();
}

// ---- Writing ----

bool ZipArchive::CreateZipFile2(const QString &path, QString *errorText)
{
    QString why;
    const QFileInfo info(path);
    const FolderHandle folder = FolderHandle::open(info.absolutePath(), true, &why);
    const int fd = folder.isOpen() ? folder.createToWrite(info.fileName(), &why) : -1;
    if (fd < 0)
        return fail(errorText, QStringLiteral("%1 cannot be created: %2").arg(path, why));
    const bool made = CreateZipFileOn(fd, path, errorText);
    ::close(fd);
    return made;
}

bool ZipArchive::CreateZipFileOn(int fd, const QString &path, QString *errorText)
{
    if (_zipFile)
        return fail(errorText, QStringLiteral("an archive is already being written"));
    m_compressed.clear();
    m_written.clear();
    m_aheadFiles.clear();
    m_path = path;
    m_entries = 0;
    m_writeFd = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    struct stat st{};
    if (m_writeFd < 0 || ::fstat(m_writeFd, &st) != 0) {
        const int code = errno;
        closeWriting();
        return fail(errorText, QStringLiteral("%1 cannot be created: %2").arg(path, QString::fromLocal8Bit(strerror(code))));
    }
    m_write = std::make_unique<ZipWriteSink>(m_writeFd, quint64(st.st_size));
    zlib_filefunc64_def io = ioFunctions(openWriteDescriptor, readWriteDescriptor, writeWriteDescriptor, tellWriteDescriptor,
                                         seekWriteDescriptor, closeWriteDescriptor, errorOfWriteDescriptor, m_write.get());
    _zipFile = zipOpen2_64("", APPEND_STATUS_CREATE, nullptr, &io);
    if (!_zipFile) {
        const int code = errno;
        closeWriting();
        return fail(errorText, QStringLiteral("%1 cannot be created: %2").arg(path, QString::fromLocal8Bit(strerror(code))));
    }
    return true;
}

void ZipArchive::closeWriting()
{
    if (m_writeFd >= 0)
        ::close(m_writeFd);
    m_writeFd = -1;
    m_write.reset();
}

QString ZipArchive::writeFailure(const QString &what, int rc) const
{
    // The disk's own reason where it refused (a full disk, a stick pulled out), as saves say it.
    if (m_write && m_write->error() != 0)
        return QStringLiteral("%1 cannot be written: %2").arg(m_path, QString::fromLocal8Bit(strerror(m_write->error())));
    return QStringLiteral("%1: %2 (zip error %3)").arg(m_path, what).arg(rc);
}

std::optional<ZipArchive::FileStamp> ZipArchive::stampOf(const QString &file, QDateTime *modified)
{
    // stat itself: a file's time as a date in local time costs more than its reading.
    struct stat st{};
    if (::stat(QFile::encodeName(file).constData(), &st) != 0)
        return std::nullopt;
    const qint64 ns = qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    if (modified)
        *modified = QDateTime::fromMSecsSinceEpoch(ns / 1'000'000, Qt::UTC);
    return FileStamp{qint64(st.st_size), ns};
}

bool ZipArchive::compress(const QString &file, Compressed *c, QString *errorText, bool *fileAtFault) const
{
    if (fileAtFault)
        *fileAtFault = true;
    QString why;
    const std::optional<QByteArray> read = RegularFile::readAll(file, &why, RegularFile::kWholeLimit, &c->steady);
    if (!read)
        return fail(errorText, QStringLiteral("%1 (%2)").arg(file, why));
    const QByteArray &bytes = *read;
    if (m_check) {
        const QString problem = m_check(file, bytes);
        if (!problem.isEmpty())
            return fail(errorText, QStringLiteral("%1 (%2)").arg(file, problem));
    }
    if (fileAtFault)
        *fileAtFault = false;
    c->size = quint64(bytes.size());
    c->crc = quint32(crc32(0L, reinterpret_cast<const Bytef *>(bytes.constData()), uInt(bytes.size())));
    if (!deflateRaw(bytes, &c->data))
        return fail(errorText, QStringLiteral("%1: cannot be compressed").arg(file));
    // Made as large as the bytes could grow: held until added, it takes only what it needs.
    c->data.squeeze();
    return true;
}

bool ZipArchive::readWritten(const Written &w, Compressed *c) const
{
    if (!m_write || w.packed > quint64(RegularFile::kWholeLimit))
        return false;
    c->data.resize(qsizetype(w.packed));
    if (!m_write->readBack(w.at, c->data.data(), w.packed))
        return false;
    c->crc = w.crc;
    c->size = w.size;
    c->steady = w.steady;
    c->stamp = w.stamp;
    return true;
}

void ZipArchive::compressAhead(const QStringList &files)
{
    struct Job
    {
        QString file;
        Compressed c;
        bool ok = false;
    };
    std::vector<Job> jobs;
    for (const QString &file : files) {
        // A file listed twice (a backup stores each data file twice) is read ahead once; should
        // it change in between, addFileToZip finds it so and reads it again.
        if (m_aheadFiles.contains(file))
            continue;
        m_aheadFiles.insert(file);
        const std::optional<FileStamp> stamp = stampOf(file);
        const auto ahead = m_compressed.constFind(file);
        const auto written = m_written.constFind(file);
        if (stamp && !(ahead != m_compressed.constEnd() && ahead->stamp == *stamp) &&
            !(written != m_written.constEnd() && written->stamp == *stamp)) {
            Job job{file, {}, false};
            job.c.stamp = *stamp;
            jobs.push_back(std::move(job));
        }
    }
    std::atomic<size_t> next{0};
    const auto worker = [&] {
        for (size_t i = next++; i < jobs.size(); i = next++)
            jobs[i].ok = compress(jobs[i].file, &jobs[i].c, nullptr, nullptr);
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
            m_compressed.insert(job.file, std::move(job.c));
}

bool ZipArchive::addFileToZip(const QString &file, const QString &newname, QString *errorText, bool *fileAtFault,
                              Added *added)
{
    if (fileAtFault)
        *fileAtFault = false;
    if (!_zipFile)
        return fail(errorText, QStringLiteral("no archive is being written"));
    QDateTime modified;
    const std::optional<FileStamp> stamp = stampOf(file, &modified);
    Compressed c;
    const auto written = m_written.constFind(file);
    // Added before, unchanged since: its bytes as the archive holds them, unless they cannot be
    // read back.
    const bool again = stamp && written != m_written.constEnd() && written->stamp == *stamp && readWritten(*written, &c);
    if (!again) {
        const auto ahead = m_compressed.find(file);
        const bool cached = stamp && ahead != m_compressed.end() && ahead->stamp == *stamp;
        if (cached)
            c = std::move(*ahead);
        if (ahead != m_compressed.end())
            m_compressed.erase(ahead);
        if (!cached && !compress(file, &c, errorText, fileAtFault))
            return false;
    }
    if (added)
        *added = Added{c.size, c.crc, c.steady};
    quint64 dataAt = 0;
    if (!writeEntry(newname, modified, c, errorText, &dataAt))
        return false;
    // Under the stamp it had as it was looked at before it was read, as a file compressed ahead.
    if (!again && stamp)
        m_written.insert(file, Written{dataAt, quint64(c.data.size()), c.crc, c.size, c.steady, *stamp});
    return true;
}

bool ZipArchive::writeEntry(const QString &name, const QDateTime &date, const Compressed &c, QString *errorText, quint64 *dataAt)
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
        return fail(errorText, writeFailure(QStringLiteral("the entry %1 cannot be started").arg(name), rc));
    // minizip has written the entry's header; its bytes come next.
    if (dataAt)
        *dataAt = m_write->position();
    rc = c.data.isEmpty() ? ZIP_OK : zipWriteInFileInZip(zipHandle(_zipFile), c.data.constData(), unsigned(c.data.size()));
    const int closed = zipCloseFileInZipRaw64(zipHandle(_zipFile), ZPOS64_T(c.size), uLong(c.crc));
    if (rc != ZIP_OK || closed != ZIP_OK)
        return fail(errorText, writeFailure(QStringLiteral("the entry %1 cannot be written").arg(name), rc != ZIP_OK ? rc : closed));
    ++m_entries;
    return true;
}

bool ZipArchive::CloseZipFile2(QString *errorText)
{
    m_compressed.clear();
    m_written.clear();
    m_aheadFiles.clear();
    if (!_zipFile)
        return fail(errorText, QStringLiteral("no archive is being written"));
    // Closing writes out what the stream still holds: only then are all bytes in the file.
    const int rc = zipClose(zipHandle(_zipFile), nullptr);
    _zipFile = nullptr;
    if (rc != ZIP_OK || m_write->error() != 0) {
        const QString why = writeFailure(QStringLiteral("the archive cannot be completed"), rc);
        closeWriting();
        return fail(errorText, why);
    }
    const bool completed = m_entries < 0xFFFF || addZip64End(errorText);
    closeWriting();
    return completed;
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
    const auto failed = [&](int code) {
        return fail(errorText, QStringLiteral("the archive cannot be completed: %1").arg(QString::fromLocal8Bit(strerror(code))));
    };
    struct stat st{};
    if (::fstat(m_writeFd, &st) != 0)
        return failed(errno);
    if (st.st_size < 22)
        return failed(EIO);
    const qint64 endAt = qint64(st.st_size) - 22;
    QByteArray end(22, '\0');
    if (::pread(m_writeFd, end.data(), 22, off_t(endAt)) != 22)
        return failed(errno ? errno : EIO);
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
    for (qsizetype done = 0; done < tail.size();) {
        const ssize_t n = Uninterrupted::call(
            [&] { return ::pwrite(m_writeFd, tail.constData() + done, size_t(tail.size() - done), off_t(endAt + done)); });
        if (n <= 0)
            return failed(n < 0 ? errno : ENOSPC);
        done += n;
    }
    return true;
}

// ---- Reading ----

bool ZipArchive::UnzipOpenFile(const QString &path, QString *errorText)
{
    UnzipCloseFile();
    const QString name = QFileInfo(path).fileName();
    // Opened once: what passed the checks is what every reader reads (minizip gets this
    // descriptor, never the name), and minizip would wait on a pipe named like an archive.
    QFile file;
    QString why;
    if (!RegularFile::open(file, path, &why)) {
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
            return fail(errorText, QStringLiteral("%1 does not exist.").arg(path));
        return fail(errorText, QStringLiteral("%1 is not a zip archive, or it is damaged or incomplete: %2.").arg(name, why));
    }
    if (file.size() > RegularFile::kWholeLimit)
        return fail(errorText, QStringLiteral("%1 is not a zip archive, or it is damaged or incomplete: it is larger than %2.")
                                   .arg(name, RegularFile::sizeText(RegularFile::kWholeLimit)));
    m_read->fd = ::fcntl(file.handle(), F_DUPFD_CLOEXEC, 0);
    m_read->size = quint64(file.size());
    if (m_read->fd < 0)
        return fail(errorText, QStringLiteral("%1 cannot be read: %2").arg(name, QString::fromLocal8Bit(strerror(errno))));
    return openReading(name, errorText);
}

bool ZipArchive::UnzipOpenSame(const ZipArchive &opened, QString *errorText)
{
    UnzipCloseFile();
    if (opened.m_read->fd < 0)
        return fail(errorText, QStringLiteral("no archive is open"));
    m_read->fd = ::fcntl(opened.m_read->fd, F_DUPFD_CLOEXEC, 0);
    m_read->size = opened.m_read->size;
    if (m_read->fd < 0)
        return fail(errorText, QStringLiteral("the archive cannot be read: %1").arg(QString::fromLocal8Bit(strerror(errno))));
    return openReading(QStringLiteral("the archive"), errorText);
}

std::optional<std::pair<quint64, quint64>> ZipArchive::openedFile() const
{
    struct stat st{};
    if (m_read->fd < 0 || ::fstat(m_read->fd, &st) != 0)
        return std::nullopt;
    return std::make_pair(quint64(st.st_dev), quint64(st.st_ino));
}

bool ZipArchive::openReading(const QString &name, QString *errorText)
{
    zlib_filefunc64_def io = descriptorFunctions(m_read.get());
    _unzFile = unzOpen2_64("", &io);
    if (!_unzFile) {
        const bool empty = isEmptyArchive(m_read->fd);
        UnzipCloseFile();
        if (empty)
            return fail(errorText, QStringLiteral("%1 holds no data files: it is an empty zip archive.").arg(name));
        return fail(errorText, QStringLiteral("%1 is not a zip archive, or it is damaged or incomplete.").arg(name));
    }
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(unzHandle(_unzFile), &global) != UNZ_OK) {
        UnzipCloseFile();
        return fail(errorText, QStringLiteral("%1 is damaged.").arg(name));
    }
    return true;
}

std::optional<QList<ZipArchive::Entry>> ZipArchive::entries(QString *errorText, quint64 maxEntries)
{
    if (!_unzFile) {
        fail(errorText, QStringLiteral("no archive is open"));
        return std::nullopt;
    }
    unzFile zf = unzHandle(_unzFile);
    unz_global_info64 global{};
    if (maxEntries && (unzGetGlobalInfo64(zf, &global) != UNZ_OK || global.number_entry > maxEntries)) {
        fail(errorText, QStringLiteral("it holds %1 entries, more than %2").arg(global.number_entry).arg(maxEntries));
        return std::nullopt;
    }
    QList<Entry> out;
    // Room for the longest name a zip directory can hold: each entry's record read once.
    std::vector<char> nameRoom(0x10000);
    int rc = unzGoToFirstFile(zf);
    for (quint64 n = 0; rc == UNZ_OK; rc = unzGoToNextFile(zf), ++n) {
        if (maxEntries && n >= maxEntries) {
            fail(errorText, QStringLiteral("it holds more than %1 entries").arg(maxEntries));
            return std::nullopt;
        }
        unz_file_info64 info{};
        unz64_file_pos pos{};
        if (unzGetCurrentFileInfo64(zf, &info, nameRoom.data(), uLong(nameRoom.size()), nullptr, 0, nullptr, 0) != UNZ_OK ||
            unzGetFilePos64(zf, &pos) != UNZ_OK) {
            fail(errorText, QStringLiteral("entry %1 of the archive cannot be read").arg(n + 1));
            return std::nullopt;
        }
        const QByteArray name(nameRoom.data(), qsizetype(info.size_filename));
        Entry e;
        e.name = QString::fromUtf8(name);
        e.normalisedName = QString(e.name).replace(QLatin1Char('\\'), QLatin1Char('/'));
        e.isFolder = e.normalisedName.endsWith(QLatin1Char('/'));
        e.date = dateOf(info.tmu_date);
        e.size = info.uncompressed_size;
        e.position = pos.pos_in_zip_directory;
        e.number = pos.num_of_file;
        e.crc = quint32(info.crc);
        e.rawName = name;
        e.versionNeeded = quint32(info.version_needed);
        e.flag = quint32(info.flag);
        e.method = quint32(info.compression_method);
        e.dosDate = quint32(info.dosDate);
        e.compressedSize = info.compressed_size;
        out << std::move(e);
    }
    if (rc != UNZ_END_OF_LIST_OF_FILE) {
        fail(errorText, QStringLiteral("the archive's list of entries is damaged"));
        return std::nullopt;
    }
    return out;
}

// minizip checks a local header's signature, method, name length and (without a data
// descriptor) checksum and sizes; a damaged directory could still give an entry another name,
// date or flags than the entry's own header has. Called with the entry open.
QString ZipArchive::localHeaderProblem(const Entry &entry)
{
    unzFile zf = unzHandle(_unzFile);
    const int extra = unzGetLocalExtrafield(zf, nullptr, 0);
    const quint64 dataAt = unzGetCurrentFileZStreamPos64(zf);
    const quint64 headerSize = 30 + quint64(entry.rawName.size()) + quint64(std::max(extra, 0));
    if (!m_read->stream || extra < 0 || dataAt < headerSize)
        return QStringLiteral("its local header cannot be read");
    // minizip has just read that header through the stream: its block is still there.
    QByteArray header(qsizetype(30 + entry.rawName.size()), '\0');
    if (m_read->stream->readAt(dataAt - headerSize, header.data(), quint64(header.size())) != quint64(header.size()))
        return QStringLiteral("its local header cannot be read");
    const auto at = [&](int offset, int bytes) {
        quint64 value = 0;
        for (int i = bytes - 1; i >= 0; --i)
            value = (value << 8) | quint8(header.at(offset + i));
        return value;
    };
    if (at(0, 4) != 0x04034b50)
        return QStringLiteral("its local header is missing");
    if (header.mid(30) != entry.rawName || at(26, 2) != quint64(entry.rawName.size()))
        return QStringLiteral("its name in the archive's directory differs from the name in its own header (\"%1\")")
            .arg(QString::fromUtf8(header.mid(30)));
    if (at(4, 2) != entry.versionNeeded || at(6, 2) != entry.flag || at(8, 2) != entry.method ||
        at(10, 4) != entry.dosDate)
        return QStringLiteral("its version, flags, method or date in the archive's directory differ from its own header");
    // With a data descriptor (flag bit 3) the header leaves checksum and sizes to it.
    if (!(entry.flag & 8u)) {
        const bool zip64 = at(18, 4) == 0xFFFFFFFFull || at(22, 4) == 0xFFFFFFFFull;
        if (at(14, 4) != entry.crc || (!zip64 && (at(18, 4) != entry.compressedSize || at(22, 4) != entry.size)))
            return QStringLiteral("its checksum or sizes in the archive's directory differ from its own header");
    }
    return QString();
}

bool ZipArchive::readEntry(const Entry &entry, QByteArray *bytes, QString *errorText, quint64 maxSize)
{
    if (!_unzFile)
        return fail(errorText, QStringLiteral("no archive is open"));
    unzFile zf = unzHandle(_unzFile);
    if (entry.size > (maxSize ? std::min(maxSize, kMaxEntrySize) : kMaxEntrySize))
        return fail(errorText, QStringLiteral("%1 is too large for a data file").arg(entry.name));
    unz64_file_pos pos{entry.position, entry.number};
    if (unzGoToFilePos64(zf, &pos) != UNZ_OK)
        return fail(errorText, QStringLiteral("%1 cannot be found in the archive").arg(entry.name));
    if (entry.flag & 1u)
        return fail(errorText, QStringLiteral("%1 cannot be read: it is encrypted").arg(entry.name));
    if (entry.method != 0 && entry.method != Z_DEFLATED)
        return fail(errorText, QStringLiteral("%1 cannot be read: it is compressed by a method the program does not know").arg(entry.name));
    // Deflate never grows data by more than a few bytes per 16 kB block.
    if (entry.compressedSize > entry.size + entry.size / 64 + 1024 || (entry.method == 0 && entry.compressedSize != entry.size))
        return fail(errorText, QStringLiteral("%1 cannot be read: its sizes do not fit together").arg(entry.name));
    // The compressed bytes are taken raw and inflated here, so that the stream must end exactly
    // where the entry ends (minizip stops once it has the stated size, unchecked beyond).
    int method = 0, level = 0;
    int rc = unzOpenCurrentFile2(zf, &method, &level, 1);
    if (rc != UNZ_OK)
        return fail(errorText, QStringLiteral("%1 cannot be opened: %2").arg(entry.name, unzError(rc)));
    const QString header = localHeaderProblem(entry);
    if (!header.isEmpty()) {
        unzCloseCurrentFile(zf);
        return fail(errorText, QStringLiteral("%1 cannot be read: %2").arg(entry.name, header));
    }
    QByteArray packed(qsizetype(entry.compressedSize), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < packed.size()) {
        rc = unzReadCurrentFile(zf, packed.data() + got, unsigned(std::min<qsizetype>(packed.size() - got, 1 << 30)));
        if (rc <= 0)
            break;
        got += rc;
    }
    unzCloseCurrentFile(zf);
    if (rc < 0)
        return fail(errorText, QStringLiteral("%1 cannot be read: %2").arg(entry.name, unzError(rc)));
    if (got != packed.size())
        return fail(errorText, QStringLiteral("%1 cannot be read: it is incomplete").arg(entry.name));
    if (entry.method == 0) {
        *bytes = std::move(packed);
    } else {
        bytes->resize(qsizetype(entry.size));
        z_stream zs{};
        if (inflateInit2(&zs, -MAX_WBITS) != Z_OK)
            return fail(errorText, QStringLiteral("%1 cannot be read: out of memory").arg(entry.name));
        zs.next_in = reinterpret_cast<Bytef *>(packed.data());
        zs.avail_in = uInt(packed.size());
        zs.next_out = reinterpret_cast<Bytef *>(bytes->data());
        zs.avail_out = uInt(bytes->size());
        rc = inflate(&zs, Z_FINISH);
        const bool whole = rc == Z_STREAM_END && zs.avail_in == 0 && zs.total_out == entry.size;
        inflateEnd(&zs);
        if (!whole)
            return fail(errorText, QStringLiteral("%1 cannot be read: %2").arg(entry.name, unzError(UNZ_BADZIPFILE)));
    }
    if (quint32(crc32(0L, reinterpret_cast<const Bytef *>(bytes->constData()), uInt(bytes->size()))) != entry.crc)
        return fail(errorText, QStringLiteral("%1 cannot be read: %2").arg(entry.name, unzError(UNZ_CRCERROR)));
    return true;
}

bool ZipArchive::extractEntryTo(const Entry &entry, const FolderHandle &folder, const QString &name, bool skipSameDate,
                                bool *written, QString *errorText)
{
    if (written)
        *written = false;
    struct stat st{};
    if (skipSameDate && folder.kindAt(name, &st) == RecordFile::Kind::File && entry.date.isValid() &&
        qint64(st.st_mtim.tv_sec) == entry.date.toSecsSinceEpoch())
        return true;
    QByteArray bytes;
    if (!readEntry(entry, &bytes, errorText))
        return false;
    QString why;
    if (!AtomicFile::write(folder, name, bytes, &why))
        return fail(errorText, QStringLiteral("%1 cannot be written: %2").arg(entry.name, why));
    if (entry.date.isValid() && !folder.setModified(name, entry.date))
        PollixLog(QStringLiteral("Failed to set attributes"));
    if (written)
        *written = true;
    return true;
}

namespace {
// The folder below root that holds the file relative (root itself for a name without a folder),
// made where missing, each step without following a link; *below holds it while it is used.
const FolderHandle &folderFor(const FolderHandle &root, const QString &relative, FolderHandle *below, QString *why)
{
    const QString dir = QFileInfo(relative).path();
    if (dir == QLatin1String("."))
        return root;
    *below = root.makeFolder(dir, why);
    return *below;
}
} // namespace

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
        const QString rel = relativePathOf(e.name);
        if (rel.isEmpty() && !rootFolder) {
            OutputErrorMessage(QStringLiteral("%1 would be written outside %2").arg(e.name, folder));
            return false;
        }
        if (const QString problem = rel.isEmpty() ? QString() : placeProblem(folder, rel, e.isFolder); !problem.isEmpty()) {
            OutputErrorMessage(QStringLiteral("%1 would be written outside %2: %3").arg(e.name, folder, problem));
            return false;
        }
    }
    const FolderHandle root = FolderHandle::makePath(folder, &why);
    if (!root.isOpen()) {
        OutputErrorMessage(QStringLiteral("the folder %1 cannot be made: %2").arg(folder, why));
        return false;
    }
    for (const Entry &e : *list) {
        const QString rel = relativePathOf(e.name);
        if (e.isFolder) {
            if (!rel.isEmpty() && !root.makeFolder(rel, &why).isOpen()) {
                OutputErrorMessage(QStringLiteral("the folder %1 cannot be made: %2").arg(root.pathOf(rel), why));
                return false;
            }
            continue;
        }
        FolderHandle below;
        const FolderHandle &into = folderFor(root, rel, &below, &why);
        const QString name = QFileInfo(rel).fileName();
        if (!into.isOpen()) {
            OutputErrorMessage(QStringLiteral("%1 cannot be written: %2").arg(e.name, why));
            return false;
        }
        if (into.kindAt(name) != RecordFile::Kind::Missing && !overWrite && !OverWrite(into.pathOf(name)))
            continue;
        if (!extractEntryTo(e, into, name, false, nullptr, &why)) {
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
        if (const QString problem = placeProblem(folder, rel, false); !problem.isEmpty()) {
            OutputErrorMessage(QStringLiteral("%1 would be written outside %2: %3").arg(e.name, folder, problem));
            return false;
        }
        const FolderHandle root = FolderHandle::makePath(folder, &why);
        FolderHandle below;
        const FolderHandle &into = root.isOpen() ? folderFor(root, rel, &below, &why) : root;
        if (!into.isOpen() || !extractEntryTo(e, into, QFileInfo(rel).fileName(), true, nullptr, &why)) {
            OutputErrorMessage(into.isOpen() ? why : QStringLiteral("%1 cannot be written: %2").arg(e.name, why));
            return false;
        }
        return true;
    }
    return false;
}

bool ZipArchive::UnzipCloseFile()
{
    if (m_read->fd >= 0)
        ::close(m_read->fd);
    m_read->fd = -1;
    m_read->size = 0;
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
    // A drive letter ("C:").
    if (const QString &first = parts.first(); first.size() == 2 && first.at(1) == QLatin1Char(':')) {
        const char letter = first.at(0).toLatin1();
        if ((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z'))
            return QString();
    }
    for (const QString &p : parts)
        if (p == QLatin1String(".") || p == QLatin1String("..") || p.contains(QChar(0)))
            return QString();
    return parts.join(QLatin1Char('/'));
}

QString ZipArchive::placeProblem(const QString &folder, const QString &relative, bool isFolder)
{
    if (const QString way = RecordFile::wayProblem(folder, relative); !way.isEmpty())
        return way;
    // A link there would be written through, or lead the entries below it out of the folder.
    const RecordFile::Kind kind = TakenFolders::kindAsReached(QDir::cleanPath(folder + QLatin1Char('/') + relative));
    const RecordFile::Kind wanted = isFolder ? RecordFile::Kind::Folder : RecordFile::Kind::File;
    if (kind == RecordFile::Kind::Missing || kind == wanted)
        return QString();
    return QStringLiteral("%1 is %2").arg(relative, RecordFile::kindText(kind));
}
