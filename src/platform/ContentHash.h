#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// What a file holds, told from anything else it might hold by a digest of its bytes: the 128-bit
// XXH3 of them, as 32 lower-case hexadecimal digits. It tells a change's own bytes from a later
// save of its files (ChangeJournal); it is no guard against someone forging bytes on purpose (who
// can write the data folder can change the data anyway), and it is quick enough to take of every
// file a change writes, a school's whole roster included, without the teacher waiting for it.
namespace ContentHash {

QByteArray of(QByteArrayView bytes);

// The digest of the file at path, read as RegularFile reads a file (a regular file of at most
// RegularFile::kWholeLimit bytes, never waiting on a pipe), a piece at a time; none, with the
// reason, when it cannot be read.
std::optional<QByteArray> ofFile(const QString &path, QString *why);

// Whether text is a digest as of() writes it.
bool isDigest(QByteArrayView text);

} // namespace ContentHash
