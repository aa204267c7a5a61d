#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "SideFiles.h"

#include <functional>

class FolderHandle;

// Every data file is replaced whole: the bytes go to a temporary file beside the target (named by
// SideFiles, so that one an interrupted write left is known for Pollix's own), which is synced to
// the disk and renamed over it, and then the folder is synced, so that a power cut cannot take back
// a write already reported. A failure before the rename leaves the old file exactly as it was and
// no temporary file behind. A target that is a symbolic link keeps the link: the file it names is
// replaced.
namespace AtomicFile {

// The step at which a write failed.
enum class Failure {
    None,
    Open,    // the temporary file could not be made (missing or read-only folder, no permission,
             // a read-only target, no free file handle or inode), or the folder is another
             // computer's now (refuseChangesIn)
    Write,   // the bytes did not all reach the disk (disk full, input/output error)
    Commit,  // the finished file could not take the target's place
    Unsynced // not a failure of the write: the file is in place, but its folder could not be
             // synced after the rename (see syncAfterRename); write() answers true
};

// errorText receives the reason in the system's words ("No space left on device",
// "Read-only file system", "Permission denied", ...); also with Unsynced, when the answer is true.
bool write(const QString &path, const QByteArray &data, QString *errorText = nullptr, Failure *failure = nullptr);

// The same for the file name in a folder held open (a record Pollix keeps in its application
// folder): written beside it and renamed over it through that folder, so that whatever stands
// under name by then, a symbolic link put there by another program too, is replaced and never
// written through. A folder under name is refused.
bool writeIn(const FolderHandle &folder, const QString &name, const QByteArray &data, QString *errorText = nullptr,
             Failure *failure = nullptr);

// The one rule for a rename that put a file or folder in place (a write, a folder swap, a renamed
// class file, a backup archive): the folder that holds path is synced, so that a power cut cannot
// take the rename back. When that fails the rename stands: the new file is in place and readable,
// and is not reported as failed (a save reported failed is saved again, and a second save of a
// session is a second session). The answer is then false with the reason, and the teacher is told
// that the change may not survive a power cut (setUnsyncedHandler).
bool syncAfterRename(const QString &path, QString *errorText = nullptr);
// Called, on the thread of the write, for every change in place whose folder could not be synced.
void setUnsyncedHandler(std::function<void(const QString &path, const QString &why)> handler);

// While another computer has the application folder open (InstanceLock), this Pollix changes no
// file that is there in folders (or below them): a write that would replace one, a removal or a
// rename of one fails with reason; new files are still written. An empty list lifts it.
void refuseChangesIn(const QStringList &folders, const QString &reason);
// Whether a change of the file or folder at path is refused now; errorText gets the reason.
bool changeRefused(const QString &path, QString *errorText = nullptr);

// Writes data whole and synced into a new side file beside target (SideFiles::nameBeside), with
// the permissions target has; *sidePath gets its name. Nothing is left behind on failure.
bool writeBeside(const QString &target, SideFiles::Kind kind, const QByteArray &data, QString *sidePath,
                 QString *errorText = nullptr, Failure *failure = nullptr);

// Syncs a folder, so that the names a rename or removal changed in it outlast a power cut. A file
// system that cannot sync a folder on its own (it keeps its names on the disk at once) counts as
// synced. folderOf: the folder holding path.
bool syncFolder(const QString &folder, QString *errorText = nullptr);
bool syncFolderOf(const QString &path, QString *errorText = nullptr);

// Tests use this to make a write fail after its temporary file was written, as a full disk or
// a crash before the rename would. Return true from the hook to fail the write of that path; the
// write then takes the path of a failed flush.
void setFailureHook(std::function<bool(const QString &path)> hook);
// Whether the hook fails writes of that path. Writers that put a file in place by a way of their
// own (AtomicFileSet stages it under a second name) ask it for the target.
bool failureHookFails(const QString &path);
// Tests: called as each write of path begins (write, writeIn), before anything at path is looked
// at, so that what a test puts there is what another program put there at that moment.
void setBeginHook(std::function<void(const QString &path)> hook);

} // namespace AtomicFile
