#include "ZipFixture.h"

#include <QFile>

#include <zip.h>
#include <zlib.h>

#include <vector>

QString makeZipArchive(const QString &path, const QList<std::pair<QByteArray, QByteArray>> &entries, bool deflated)
{
    zipFile zf = zipOpen(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    for (const auto &[name, bytes] : entries) {
        zip_fileinfo info{};
        info.tmz_date = {1, 2, 3, 4, 4, 2020};
        zipOpenNewFileInZip(zf, name.constData(), &info, nullptr, 0, nullptr, 0, nullptr, deflated ? Z_DEFLATED : 0,
                            deflated ? 6 : 0);
        zipWriteInFileInZip(zf, bytes.constData(), unsigned(bytes.size()));
        zipCloseFileInZip(zf);
    }
    zipClose(zf, nullptr);
    return path;
}

QString makeZipArchiveOfZeros(const QString &path, const QList<QByteArray> &names, qint64 size)
{
    // Raw deflate of the zeros, streamed so that the zeros never sit in memory whole.
    z_stream zs{};
    deflateInit2(&zs, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    const std::vector<Bytef> zeros(1 << 20, 0);
    QByteArray packed;
    std::vector<Bytef> out(1 << 16);
    uLong crc = crc32(0L, Z_NULL, 0);
    for (qint64 left = size;;) {
        const uInt n = uInt(std::min<qint64>(left, qint64(zeros.size())));
        crc = crc32(crc, zeros.data(), n);
        left -= n;
        zs.next_in = const_cast<Bytef *>(zeros.data());
        zs.avail_in = n;
        const int flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
        do {
            zs.next_out = out.data();
            zs.avail_out = uInt(out.size());
            deflate(&zs, flush);
            packed.append(reinterpret_cast<const char *>(out.data()), qsizetype(out.size() - zs.avail_out));
        } while (zs.avail_out == 0);
        if (left == 0)
            break;
    }
    deflateEnd(&zs);

    zipFile zf = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    for (const QByteArray &name : names) {
        zip_fileinfo info{};
        info.tmz_date = {1, 2, 3, 4, 4, 2020};
        zipOpenNewFileInZip2_64(zf, name.constData(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 9, 1,
                                size >= 0xffffffffLL);
        zipWriteInFileInZip(zf, packed.constData(), unsigned(packed.size()));
        zipCloseFileInZipRaw64(zf, ZPOS64_T(size), crc);
    }
    zipClose(zf, nullptr);
    return path;
}
