#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

// Writes a zip archive at path with the given entries (name as stored -> bytes), all deflated and
// dated 2020-05-04 03:02:01 (stored as 03:02:00: zip times have two-second steps). Names are
// stored as given, so tests can make archives the program itself would never write.
QString makeZipArchive(const QString &path, const QList<std::pair<QByteArray, QByteArray>> &entries);
