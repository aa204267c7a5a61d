#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "SideFiles.h"

#include <functional>

class FolderHandle;
struct stat;

// Every data file is replaced whole: the bytes go to a temporary file beside the target (named by
// SideFiles, so that one an interrupted write left is known for Pollix's own), which is synced to
// the disk and renamed over it, and then the folder is synced, so that a power cut cannot take back
// a write already reported. A failure before the rename leaves the old file exactly as it was and
// no temporary file behind. The folder is held open from the first look at the target to the
// rename, and the temporary file is made and renamed in it: a folder swapped for a link meanwhile
// leads nothing elsewhere. A symbolic link under the target's name is replaced by the file, never
// followed. A target that was not there when the write began replaces nothing: a file put under
// its name meanwhile (another Pollix's new session of the same name) stays, and the write fails.
// A write is reported done only when the target's name leads to the very file written (its device
// and inode): a link, a pipe, a folder or another file's second name put under the temporary name
// before the rename is never saved as the file, and what the target held is back in its place.
// Right before a rename that replaces a file, the lock is asked again (changeRefused): a Pollix
// stopped meanwhile, whose folder another start took, replaces nothing of that other's. And a
// file that is there is replaced only while it is the version this Pollix last read or wrote
// (FileVersions), as it begins and again as it is replaced: a save made since by anyone (another
// start that took the folder and ended meanwhile too) stays, and the write fails, saying so.
namespace AtomicFile {

// The step at which a write failed.
enum class Failure {
    None,
    Open,    // the temporary file could not be made (missing or read-only folder, no permission,
             // a read-only target, no free file handle or inode), or the folder is another
             // computer's now (refuseChangesIn)
    Write,   // the bytes did not all reach the disk (disk full, input/output error)
    Commit,  // the finished file could not take the target's place, or the target is another
             // version than the one this Pollix read or wrote
    Unsynced // not a failure of the write: the file is in place, but its folder could not be
             // synced after the rename (see syncAfterRename); write() answers true
};

// errorText receives the reason in the system's words ("No space left on device",
// "Read-only file system", "Permission denied", ...); also with Unsynced, when the answer is true.
// Where the folder takes no new file (Open), the file and the folder are named (notSavedIn).
// path's folder is reached as every change reaches it (TakenFolders::reachToWrite); the write
// then goes on as the one below.
bool write(const QString &path, const QByteArray &data, QString *errorText = nullptr, Failure *failure = nullptr);
// The same for name in a folder held open (one opened without following a link refuses a link in
// its place).
bool write(const FolderHandle &folder, const QString &name, const QByteArray &data, QString *errorText = nullptr,
           Failure *failure = nullptr);

// The one wording of a file whose folder takes no new file for it (no permission to write there,
// a read-only disk, no free inode), whatever is saved: "name cannot be saved in the folder
// folder: reason".
QString notSavedIn(const QString &folder, const QString &name, const QString &reason);

// The one rule for a rename that put a file or folder in place (a write, a folder swap, a renamed
// class file, a backup archive): the folder that holds path is synced, so that a power cut cannot
// take the rename back. When that fails the rename stands: the new file is in place and readable,
// and is not reported as failed (a save reported failed is saved again, and a second save of a
// session is a second session). The answer is then false with the reason, and the teacher is told
// that the change may not survive a power cut (setUnsyncedHandler).
bool syncAfterRename(const QString &path, QString *errorText = nullptr);
// The same for a rename into name in a folder held open.
bool syncAfterRename(const FolderHandle &folder, const QString &name, QString *errorText = nullptr);
// Called, on the thread of the write, for every change in place whose folder could not be synced.
void setUnsyncedHandler(std::function<void(const QString &path, const QString &why)> handler);

// While another computer has the application folder open (InstanceLock), this Pollix changes no
// file that is there in folders (or below them): a write that would replace one, a removal or a
// rename of one fails with reason; new files are still written. An empty list lifts it.
void refuseChangesIn(const QStringList &folders, const QString &reason);
// Whether a change of the file or folder at path is refused now; errorText gets the reason.
bool changeRefused(const QString &path, QString *errorText = nullptr);

// The holder of the application folder's lock (owner) tells here, from any thread and at the
// moment it is asked, whether another start has taken folders from this process meanwhile (this
// process stopped or frozen while its lock file went): lostWhy gives the reason, or nothing while
// the folders are this process's. The holder's own thread may not have noticed yet (it refuses
// changes with refuseChangesIn once it has), so work under way on another thread, or cut short by
// a stop, asks before each step. An empty lostWhy takes the owner's check away; a check already
// under way on another thread may still be asked after that, so lostWhy holds what it needs
// itself, never the owner, which may be gone by then.
void setHolderCheck(const void *owner, const QStringList &folders, std::function<QString()> lostWhy);
// Tests: called on the checking thread as a holder's check of path is about to be asked, the
// holders looked up already, so that a test can end the holder at that moment.
void setHolderCheckHook(std::function<void(const QString &path)> hook);
// Whether the folder that holds path (a file there or not yet) is another Pollix's now: refused
// (refuseChangesIn), or found taken by its holder's check; errorText gets the reason. Work that
// changes several files or removes many stops there, and touches nothing more.
bool folderTaken(const QString &path, QString *errorText = nullptr);

// Writes data whole and synced into a new side file beside target (SideFiles::nameBeside), with
// the permissions target has; *sidePath gets its name. Nothing is left behind on failure.
bool writeBeside(const QString &target, SideFiles::Kind kind, const QByteArray &data, QString *sidePath,
                 QString *errorText = nullptr, Failure *failure = nullptr);
// The same beside name in a folder held open: *sideName gets the side file's name in it, and
// *written what it is (its device and inode), which its move into place checks.
bool writeBeside(const FolderHandle &folder, const QString &name, SideFiles::Kind kind, const QByteArray &data,
                 QString *sideName, struct stat *written, QString *errorText = nullptr, Failure *failure = nullptr);

// Syncs a folder, so that the names a rename or removal changed in it outlast a power cut. A file
// system that cannot sync a folder on its own (it keeps its names on the disk at once) counts as
// synced. folderOf: the folder holding path.
bool syncFolder(const QString &folder, QString *errorText = nullptr);
bool syncFolder(const FolderHandle &folder, QString *errorText = nullptr);
bool syncFolderOf(const QString &path, QString *errorText = nullptr);

// Tests use this to make a write fail after its temporary file was written, as a full disk or
// a crash before the rename would. Return true from the hook to fail the write of that path; the
// write then takes the path of a failed flush.
void setFailureHook(std::function<bool(const QString &path)> hook);
// Whether the hook fails writes of that path. Writers that put a file in place by a way of their
// own (AtomicFileSet stages it under a second name) ask it for the target.
bool failureHookFails(const QString &path);
// Tests: called as each write of path begins, before anything at path is looked at, so that what a
// test puts there is what another program put there at that moment.
void setBeginHook(std::function<void(const QString &path)> hook);

} // namespace AtomicFile
