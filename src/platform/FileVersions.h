#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

class FolderHandle;
struct stat;

// A save puts its file in place only over the version of the file that this Pollix last read or
// wrote, as an editor refuses to write over a file changed on the disk since it read it: another
// program, or another start of Pollix that took the folder while this one was stopped (a hung
// share) and ended since, may have saved the file meanwhile, and that save stays. A file's version
// is its device, inode, size and time of modification, noted as Pollix reads the file whole to
// change it (readToChange: the stores' reads; a list that reads the heads of sessions notes
// nothing) and again as it puts its own file in place, so that its next save passes. A file found
// in place that is another version fails the save, saying that another program changed it, and
// stays as it is. A file of which this Pollix noted no version (one it never read to change, as an
// export the teacher names in a file dialog, which a spreadsheet may have saved since, or its own
// records) is replaced as it stands, and a new file replaces nothing at all (AtomicFile). Every
// save comes here: AtomicFile's through putInPlace, each file of an AtomicFileSet through
// changedWhy and noteWritten.
//
// Where stamps vouch for nothing (a network share, a FUSE disk, a disk whose stamps count whole
// seconds: ContentHash::stampsExactOn), a file keeps its version while it holds the bytes noted,
// whatever its stamps say: such a disk may number a file nobody touched anew, tell an old stamp of
// a file changed on its server, or give another program's write the stamp of Pollix's own.
namespace FileVersions {

// The whole file at path, read as RegularFile::readAll reads it, its version noted: the bytes a
// save of path may then replace.
std::optional<QByteArray> readToChange(const QString &path, QString *why);

// A file of Pollix's own put in place at path: written tells it as its write left it (fstat of
// the descriptor written through), bytes what was written. Where a version of path is noted (a
// file read to change), this one takes its place.
void noteWritten(const QString &path, const struct stat &written, QByteArrayView bytes);

// Why what lies under name in folder is not the version noted for path (seen: what lstat told of
// it, when the caller looked already); empty when it is, when none was noted, or when nothing is
// there. A symbolic link there counts as the file it leads to, as a read went through it.
QString changedWhy(const FolderHandle &folder, const QString &name, const QString &path, const struct stat *seen = nullptr);
// The reason changedWhy gives, for a file found changed since a look of the caller's own.
QString changedText(const QString &path);
// Whether a failure's reason (however a store or a window framed it) is that one: a window then
// tells the teacher how to see the other program's version.
bool isChangedText(const QString &why);

// Puts side, the file written (which written tells), in place of name in folder (path names it
// for the notes and the messages): where a file was there as the write began (existed), only over
// the version noted for path, asked again of what the rename replaced, right after the two names
// changed places (where the disk cannot exchange them, right before the rename), so that a
// version that came in the last moment goes back in its place; where none was, replacing nothing
// (FolderHandle::moveChecked). What stands there then must be the file written as written (a
// copy made into it in place meanwhile fails the save too). Then the version written is noted:
// written and bytes, never a later look. False with *why, side holding the file written.
bool putInPlace(const FolderHandle &folder, const QString &side, const QString &name, const QString &path, bool existed,
                const struct stat &written, QByteArrayView bytes, QString *why);

// Tests: called right before a file goes in place over another, every check of the lock made
// before it, so that a test can stop the writer at that moment.
void setReplaceHook(std::function<void(const QString &path)> hook);
// For AtomicFileSet, whose moves are its own: calls that hook.
void replaceBegins(const QString &path);

} // namespace FileVersions
