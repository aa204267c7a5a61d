#pragma once

#include "LeftAlone.h"

#include <QString>
#include <QStringList>

#include <functional>

class FolderHandle;

// Replacing a whole folder at once: a new folder is prepared beside the old one, flushed to disk,
// and the two are exchanged in one step, so that the old folder's contents stay whole until the
// new ones are complete.
//
// Where the file system cannot exchange two folders in one step (NFS, SMB, FAT), the swap takes
// two renames, and between them the folder is missing. So the swap is first noted down in a
// journal beside the folder (".<folder>.swap-<8 hex digits>.journal", naming the folder, the
// prepared one and the one the old contents go to), and a swap cut short is finished at the next
// start (finishInterrupted): the prepared folder is put in place, or, when it is gone, the old one
// back. Until then no folder the journal names may be removed. Prepared and target lie in one
// folder, and every rename of the swap is made through a handle on it.
namespace FolderSwap {

// A new empty folder beside folder (same parent, so on the same file system), named after it
// with the given tag and a unique suffix; empty (and *errorText set) when it cannot be made.
QString makeSibling(const QString &folder, const QString &tag, QString *errorText = nullptr);

// Writes everything of the file system that holds path to disk.
bool syncFileSystemOf(const QString &path, QString *errorText = nullptr);

// Puts prepared in the place of target. Afterwards *oldContents names the folder that holds the
// old contents of target (the caller keeps or removes them): prepared, or, where the swap took two
// renames and the last could not be made, the folder they were moved aside to; empty when target
// did not exist (prepared is then simply moved there). Where the file system cannot exchange in
// one step, the swap is noted down, target is moved aside and prepared moved in, moving target
// back when that fails. On failure both stay as they were, but for the case where target cannot
// be moved back either: target is then missing, the journal stays and the next start finishes the
// swap (so the caller must not remove prepared while target is missing), which it does only when
// prepared holds restored data staged whole (FolderMark::Kind::Restored). A swap made whose folder
// cannot be synced is made (AtomicFile::syncAfterRename); its journal, if any, then stays for the
// next start.
// prepared is held open from its making: the folder exchanged is that very one (its device and
// inode), looked at right before and right after the names change places; anything else put under
// its name meanwhile (a symbolic link to another folder) is put back and the swap refused, with
// target as it was. So is the folder replaced, where the caller holds it open (replaced): what
// goes out of target's place must be that very folder, and anything else put there meanwhile (a
// link to a copy of it elsewhere) stays where it is, nothing replaced.
bool exchange(const FolderHandle &prepared, const QString &target, QString *errorText = nullptr,
              QString *oldContents = nullptr, const FolderHandle *replaced = nullptr);
// Tests: called with the prepared folder's path right after it was found to be the folder held
// open, before the names change places.
void setExchangeHook(std::function<void(const QString &prepared)> hook);

// Finishes every swap of target noted down beside it and cut short. A swap is carried through
// only when its prepared folder holds restored data staged whole (FolderMark::Kind::Restored, in
// the prepared folder or, once moved in, in target): a journal alone moves nothing in. One
// without it is named and left as it is, and so are its folders; target, when it is missing (or
// an earlier start made it again, holding nothing but empty folders) while its old contents are
// aside, gets them back. A target an earlier start made anew while the old contents were aside,
// holding nothing but empty folders, gives way to a swap carried through; one holding files
// stops it. The folders that then hold target's old contents are never removed while they hold
// a file: each goes to keep (before the journal goes), or, without keep, stays where it is;
// empty ones go. The number finished; *errorText names what could not be finished, whose
// journal stays for the next start, and every journal left as it is, with the reason: one that
// is not read whole as a regular file of at most 64 KB, or names other folders than target and
// its own siblings, or names a folder that is a symbolic link or a file, or is not carried
// through. Every folder is moved or removed through a handle on their common folder, never
// following a link. With leftAlone, the journals left as they are go there instead of into
// *errorText, which then names only the swaps that failed.
using KeepOld = std::function<void(const FolderHandle &parent, const QString &name)>;
int finishInterrupted(const QString &target, QString *errorText = nullptr, const KeepOld &keep = {},
                      LeftAloneList *leftAlone = nullptr);
// The folders the swaps of target still noted down beside it need: none of them may be removed.
QStringList foldersInUse(const QString &target);
// Whether a swap of target is still noted down that a start would carry through (its restored
// data staged whole): until it is finished, target must not be made anew nor written (the swap
// would put that aside).
bool isUnfinished(const QString &target);

// A file of this name in a folder whose old contents are kept somewhere (its text says where):
// the owner of such a folder moves it there.
QString keepNoteName();

} // namespace FolderSwap
