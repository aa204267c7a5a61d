#pragma once

#include "ContentHash.h"

#include <QByteArray>
#include <QString>

#include <optional>

class QFile;
struct stat;
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

// Why what stands at path (a symbolic link followed) is no regular file to read, as open would
// refuse it ("it is a folder", "it is no regular file", or the system's words), looked at without
// opening it; empty when it is one.
QString problemAt(const QString &path);

// The same as a descriptor of the caller's (to close), -1 with *why; *st gets what fstat said.
// Reading it straight costs fewer calls than through a QFile, which counts for the many small
// data files a list or a search reads.
int openDescriptor(const QString &path, QString *why, struct stat *st = nullptr);

// What descriptor fd holds from where it stands, read in one step of expected bytes and one
// more (which shows whether it grew), then in steps, but never more than most bytes; *error
// gets the system's error of a failed read (0 when none).
QByteArray readDescriptor(int fd, qint64 expected, qint64 most, int *error);

// The whole file at path; refused as open refuses, and beyond limit ("it is larger than 1024 MB").
// With steady, it gets the file's stamp when the bytes read are all the file holds as long as
// it keeps that stamp (fstat told the same before and after the read, and the file had settled
// before the read began: ContentHash::settledBefore), and none otherwise. opened, when given, gets
// what fstat told of the file as it was opened.
std::optional<QByteArray> readAll(const QString &path, QString *why, qint64 limit = kWholeLimit,
                                  std::optional<ContentHash::Stamp> *steady = nullptr, struct stat *opened = nullptr);

// What device holds, read no further than one byte beyond limit: the caller sees a file that is
// too large (or grew) by the size, and memory is never taken for more.
QByteArray readAtMost(QIODevice &device, qint64 limit);

// "N MB" for a limit in a reason.
QString sizeText(qint64 bytes);

} // namespace RegularFile
