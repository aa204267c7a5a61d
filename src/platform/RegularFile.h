#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QFile;
class QIODevice;

// A file Pollix opens by name to read (its data files, a question file or deck, a roster or a
// backup the teacher picked) may be anything another program or a copied folder put under that
// name: a pipe would hold the reading forever, opening a device may do something, and a sparse
// file claiming gigabytes would be read whole into memory. What is read is a regular file (a
// symbolic link is followed to one), opened without waiting, and read whole only up to a limit.
namespace RegularFile {

// The most Pollix reads whole: far beyond any data file, question file or deck a teacher makes.
inline constexpr qint64 kWholeLimit = qint64(1) << 30;

// Opens path for reading into file. A missing file, a folder, a pipe, a device or a socket is
// refused, with the reason in *why (the system's words, "it is a folder" or "it is no regular
// file"), before anything waits on it or opens it.
bool open(QFile &file, const QString &path, QString *why);

// The whole file at path; refused as open refuses, and beyond limit ("it is larger than 1024 MB").
std::optional<QByteArray> readAll(const QString &path, QString *why, qint64 limit = kWholeLimit);

// What device holds, read no further than one byte beyond limit: the caller sees a file that is
// too large (or grew) by the size, and memory is never taken for more.
QByteArray readAtMost(QIODevice &device, qint64 limit);

// "N MB" for a limit in a reason.
QString sizeText(qint64 bytes);

} // namespace RegularFile
