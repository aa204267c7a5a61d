#pragma once

#include <QByteArray>
#include <QString>

#include "SideFiles.h"

#include <functional>

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
    Open,  // the temporary file could not be made (missing or read-only folder, no permission,
           // a read-only target, no free file handle or inode)
    Write, // the bytes did not all reach the disk (disk full, input/output error)
    Commit // the finished file could not take the target's place, or its folder could not be
           // synced after the rename (the new bytes may then be lost to a power cut)
};

// errorText receives the reason in the system's words ("No space left on device",
// "Read-only file system", "Permission denied", ...).
bool write(const QString &path, const QByteArray &data, QString *errorText = nullptr, Failure *failure = nullptr);

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

} // namespace AtomicFile
