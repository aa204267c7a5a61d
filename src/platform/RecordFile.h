#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

// What Pollix reads back from its folders to finish or tidy up earlier work (the journals of
// changes and folder swaps, the notes a restore leaves, the record of unfinished work) is
// untrusted: another program, a folder copied or shared between computers, or a damaged disk may
// have put anything under those names. A record is read only as a regular file, never through a
// symbolic link, never waiting on a pipe or a device, and only up to a stated size. The names it
// holds are used only as paths below the folder the record governs: relative, without "..", and
// never through a symbolic link (each folder on the way is looked at with lstat, not followed).
namespace RecordFile {

// The bytes of the record at path, or none, with the reason in *why ("it is a symbolic link",
// "it is no regular file", "it is larger than 64 KB", or the system's words).
std::optional<QByteArray> read(const QString &path, qint64 limit, QString *why);

// Why a name read from a record cannot stand for a path below its folder; empty when it can: a
// relative path of plain components, none of them empty, "." or "..".
QString nameProblem(const QString &name);

// Why the folders on the way from folder to name (a name nameProblem accepts) may not be used:
// one of them is a symbolic link (but one the start took, TakenFolders) or no folder. Empty when
// each is a real folder or the way ends at a missing one; the last component itself is not looked at.
QString wayProblem(const QString &folder, const QString &name);

// What lies at path, looked at without following a link. A look the disk answers with an error
// other than "missing" gives Other.
enum class Kind { Missing, File, Folder, Link, Other };
Kind kindAt(const QString &path);
// The same, but where the disk answers with an error other than "missing" (a share whose program
// died, a folder that may not be searched, a disk pulled out) none, with the system's words in
// *why: a search that goes on while the answer is "there" must not take an error for one.
std::optional<Kind> lookAt(const QString &path, QString *why);
// Tests: the error (an errno value) the looks above get at path instead of the disk's answer; 0
// lets the disk answer. An empty function ends it.
void setLookHookForTesting(std::function<int(const QString &path)> hook);
// Words for a kind that is not what was wanted ("a symbolic link", "no regular file").
QString kindText(Kind kind);

// Whether two paths name the same file (the same inode), neither of them followed as a link.
bool sameFile(const QString &a, const QString &b);

} // namespace RecordFile
