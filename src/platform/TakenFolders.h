#pragma once

#include "FolderHandle.h"
#include "RecordFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The application folder and its data folder as this Pollix took them at its start, and the one
// way into the folders below them. Both may lie behind links (a share, another disk) and are
// reached as their paths lead; every folder below them is entered without following a link, so
// that a link another program puts there leads no save, removal or rename elsewhere.
//
// An administrator may have moved one of the data folder's own folders (the sessions, say) to
// another disk and linked it back. Such a link, there as the folder is taken, is noted with the
// very folder it leads to (its device and inode), and from then on every way into that folder
// follows it while it leads to that folder: saves, removals, renames, the start's finishing and
// tidying, backups and restores alike. A link put in a folder's place later, or one pointed
// elsewhere since, leads nowhere: what would go through it is refused, saying why.
namespace TakenFolders {

// Notes the application folder, the data folder and, of ownFolders (the data folder's own
// folders, relative to it), each that is a link to a folder now. Called as the program takes its
// application folder, before anything in it is read or changed; empty folders let go of all.
void take(const QString &applicationFolder, const QString &dataFolder, const QStringList &ownFolders);

// The folder at path held open, reached as said above, each folder below the data folder or the
// application folder made first where missing with make. A folder elsewhere (one the teacher
// chose) as its path leads. Closed, with *why, when it cannot be opened.
FolderHandle reach(const QString &path, bool make, QString *why = nullptr);
// The same for a folder a file is to be written into: where it is the application folder, the
// data folder or a folder elsewhere that this account may pass through but not list, it is held
// only to reach what is in it (FolderHandle::openToReach).
FolderHandle reachToWrite(const QString &path, QString *why = nullptr);

// The folder the link name in the folder dirFd led to when it was taken, opened to read while the
// link still leads there (the descriptor is the caller's); -1 otherwise, *why then saying so of a
// link that was taken and leads elsewhere now.
int openTakenLink(int dirFd, const QByteArray &name, QString *why = nullptr);

// What stands at path as Pollix goes through it: a taken link that still leads to its folder is
// that folder; anything else as RecordFile::kindAt says, never followed.
RecordFile::Kind kindAsReached(const QString &path);
// Whether name in the folder dirFd is one of the data folder's own folders (the sessions, ...),
// as the start was told of them; not one that was a link leading to no folder then.
bool isOwnFolder(int dirFd, const QByteArray &name);
// Why nothing goes through the data folder's own folder at path that became a link (or was
// pointed elsewhere) while Pollix ran, and the way out, in whole sentences: the one wording of
// every refusal over such a folder (a save, a removal, a restore and the question before it).
QString becameLink(const QString &path);
// The taken links in the folder at path that still lead to their folders, as paths below it: a
// walk of that folder by path (a listing for a backup) goes through them as through the folders
// it enters, which it would otherwise pass over as links.
QStringList linksIn(const QString &folder);

} // namespace TakenFolders
