#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

// Writes a zip archive at path with the given entries (name as stored -> bytes), all deflated (or,
// without deflated, stored as they are, so that where each lies in the archive is known) and
// dated 2020-05-04 03:02:01 (stored as 03:02:00: zip times have two-second steps). Names are
// stored as given, so tests can make archives the program itself would never write.
QString makeZipArchive(const QString &path, const QList<std::pair<QByteArray, QByteArray>> &entries, bool deflated = true);

// An archive whose entries all hold size zero bytes, compressed once and stored under every
// name: a small archive that inflates to names.size() * size bytes.
QString makeZipArchiveOfZeros(const QString &path, const QList<QByteArray> &names, qint64 size);
