#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

struct stat;

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
// The same for a regular file open to read (fd), from where it stands.
std::optional<QByteArray> ofDescriptor(int fd, QString *why);

// Whether text is a digest as of() writes it.
bool isDigest(QByteArrayView text);

// ---- What Pollix wrote itself ----
// A change notes the digest of each file it replaces; the file it replaces is most often one
// Pollix itself wrote with its last save, whose digest it knew then. A file's stamp is what stat
// tells of it: device, inode, size, modification and change time. While a file keeps its stamp,
// nothing was written into it and nothing put in its place: any write sets its change time, which
// no program can set back. (A write by another program within the same tick of the file system's
// clock as Pollix's own and of the same size is the one a stamp cannot tell, as a write between
// the reading of a file and the noting of its digest cannot be told either; systems that give a
// file changed right after it was looked at a finer time tell even that one. A tick is one of the
// kernel's timer, a few milliseconds, on the disks whose stamps vouch (stampsExactOn); a disk
// whose stamps count whole seconds is none of them.)
struct Stamp
{
    quint64 device = 0, inode = 0, size = 0;
    qint64 modifiedNs = 0, changedNs = 0;
    bool operator==(const Stamp &) const = default;
    // The same file with the same bytes as far as stat tells, though its change time moved (a
    // second name given to it, a rename): its device, inode and size, and, unless timeVouches is
    // false (a disk whose stamps vouch for nothing, whose server may date a file again as it
    // likes), its time of modification. The one rule every look at a file written or kept uses.
    bool sameFileAndBytes(const Stamp &other, bool timeVouches = true) const
    {
        return device == other.device && inode == other.inode && size == other.size &&
               (!timeVouches || modifiedNs == other.modifiedNs);
    }
};

// The stamp of the regular file at path (a symbolic link is not followed); none for anything else.
std::optional<Stamp> stampOf(const QString &path);
// The stamp of what st tells (fstat, or a folder's listing).
Stamp stampOf(const struct stat &st);
// Stamp::sameFileAndBytes of two looks at a file (lstat, fstat or a folder's listing).
bool sameFileAndBytes(const struct stat &a, const struct stat &b, bool timeVouches = true);
// Whether any write into the file from the moment CLOCK_REALTIME_COARSE (the clock the file
// system dates changes by) read startedNs gives it another stamp: only when its change time lies
// before that moment by more than a step of the disk's clock. A write within the same step as the
// file's last change keeps its change time; a change time in whole seconds is taken for one of a
// disk that dates in seconds.
bool settledBefore(const Stamp &stamp, qint64 startedNs);
// Whether stat tells at once, by the clock of this computer and to a fraction of a second, what
// the disk of the open folder (or file) fd holds: a local disk that keeps its stamps finer than a
// second. A share's client tells what it last heard from its server, whose clock dates its
// changes, so there a stamp vouches for nothing and the bytes are read again; so it is too on a
// disk whose stamps count whole seconds (an ext4 made with 128-byte inodes, as older and small
// disks are, or an overlay on one), where another program's write of the same size in the second
// of Pollix's own keeps the stamp Pollix noted. Such a disk is told by the folder itself: the
// times of its last change and modification both fall on a whole second (its change time, which
// no program can set, does so on a finer disk once in a thousand million changes, which then
// costs no more than a read of the bytes).
bool stampsExactOn(int fd);
// The same for the disk that holds path (the folder path, or the folder of the file path).
bool stampsExactAt(const QString &path);
// Tests: while restamp is set, every disk counts as one whose stamps vouch for nothing (as a FUSE
// or network file system), and each stamp stampOf(st) gives passes through restamp first, which
// may number the file anew as such a disk does when it likes; an empty function ends it.
void setLooseDisksForTesting(std::function<void(Stamp &)> restamp);
// Tests: while set, every stamp stampOf(st) gives (the folder's looked at by stampsExactOn too)
// is cut to its whole second, as a disk that counts whole seconds keeps it; the disk itself
// decides the rest.
void setWholeSecondsForTesting(bool whole);
// Notes that the file at path, as stamp tells it, holds bytes of that digest.
void remember(const QString &path, const Stamp &stamp, const QByteArray &digest);
// The digest noted for path while it still has that stamp; none when it was not noted or the
// file changed since.
std::optional<QByteArray> remembered(const QString &path, const Stamp &stamp);

} // namespace ContentHash
