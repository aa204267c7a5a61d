#include "ZipFixture.h"

#include <QFile>

#include <zip.h>

QString makeZipArchive(const QString &path, const QList<std::pair<QByteArray, QByteArray>> &entries)
{
    zipFile zf = zipOpen(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    for (const auto &[name, bytes] : entries) {
        zip_fileinfo info{};
        info.tmz_date = {1, 2, 3, 4, 4, 2020};
        zipOpenNewFileInZip(zf, name.constData(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 6);
        zipWriteInFileInZip(zf, bytes.constData(), unsigned(bytes.size()));
        zipCloseFileInZip(zf);
    }
    zipClose(zf, nullptr);
    return path;
}
