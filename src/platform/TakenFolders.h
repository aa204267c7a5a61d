#pragma once

#include "FolderHandle.h"
#include "RecordFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

struct stat;

// The application folder and its data folder as this Pollix took them at its start, and the one
// way into the folders below them. Both may lie behind links (a share, another disk); every folder
// below them is entered without following a link, so that a link another program puts there
// leads no save, removal or rename elsewhere.
//
// A link is taken as the start finds it, for the application folder and the data folder themselves
// as for the data folder's own folders. A school's profile may name a link to the application
// folder; an administrator may have put the data folder on a share, or moved one of its own
// folders (the sessions, say) to another disk, and linked it back. Such a link, there as the
// folder is taken,
// is noted with the very folder it leads to (its device and inode), and from then on every way
// into that folder follows it while it leads to that folder: saves, removals, renames, the start's
// finishing and tidying, backups and restores alike. A link put in a folder's place later, or one
// pointed elsewhere since, leads nowhere: what would go through it is refused, saying why; so is
// what would go through a link the start took whose folder cannot be reached now (a disk
// unplugged), said as such.
namespace TakenFolders {

// Notes the application folder, the data folder (a link in its place with the folder it leads
// to) and, of ownFolders (the data folder's own folders, relative to it), each that is a link to a
// folder now. Called as the program takes its application folder, before anything in it is read or
// changed; empty folders let go of all.
void take(const QString &applicationFolder, const QString &dataFolder, const QStringList &ownFolders);
// Pollix itself put the folder now in the place of the folder was (a restore swapping the data
// folder, where it lies, for the restored one; a start finishing such a swap): the link the start
// took in the data folder's place, where it led to was, is taken as leading to now from here on.
void replaced(const struct stat &was, const struct stat &now);

// The folder at path held open, reached as said above, each folder below the data folder or the
// application folder made first where missing with make. A folder elsewhere (one the teacher
// chose) as its path leads. Closed, with *why, when it cannot be opened.
FolderHandle reach(const QString &path, bool make, QString *why = nullptr);
// The same for a folder a file is to be written into: where it is the application folder, the
// data folder or a folder elsewhere that this account may pass through but not list, it is held
// only to reach what is in it (FolderHandle::openToReach).
FolderHandle reachToWrite(const QString &path, QString *why = nullptr);

// The application folder as the start took it (its path, as given), where path lies at or below
// it, *below then the rest of path (empty for the folder itself); empty for any other path.
// FolderHandle opens every such folder from the application folder held open, judged first.
QString applicationAbove(const QString &path, QString *below = nullptr);
// Why Pollix goes through nothing of the application folder, fd being what its path led to as
// just opened (-1: none could be opened): its path leads to another folder than the one taken
// (a link in its place pointed at another application folder, which another Pollix may hold),
// in refusalOf's wording. Empty where it leads to that folder.
QString applicationRefusal(int fd);

// The folder the link name in the folder dirFd leads to, opened to read, where the start took
// that link and it still leads to the folder it led to then (the descriptor is the caller's).
// -1 otherwise, *refusal then saying, naming path (the link's, for messages), why Pollix goes
// through nothing there: a taken link whose folder cannot be reached now or that leads elsewhere,
// or one of the data folder's own folders made a link since the start (refusalOf's wording);
// empty for any other link, which is simply no folder Pollix goes through.
int openTakenLink(int dirFd, const QByteArray &name, const QString &path, QString *refusal = nullptr);

// What stands at path as Pollix goes through it: a taken link that still leads to its folder is
// that folder; anything else as RecordFile::kindAt says, never followed.
RecordFile::Kind kindAsReached(const QString &path);
// Why Pollix goes through none of the folders at paths now (the data folder, its own folders, and
// the application folder above them all): the one wording of every refusal over such a folder (a
// save, a removal, a backup, a restore and the question before it), in whole sentences with the
// way out, case by case: one made a link while Pollix was running (the folders of that case named
// together), a link the start took whose folder cannot be reached now, or that leads to another
// folder now (its disk unmounted, or another folder put where it was), one pointed elsewhere
// since, an application folder whose path leads to another folder with no link in its place. A
// folder below one refused is not looked at. Empty when Pollix goes through each (a folder, a taken link leading to its folder,
// nothing there).
QString refusalOf(const QStringList &paths);
// Why Pollix goes through no folder on the way to the file at path now (the application folder,
// the data folder, the data folder's own folder that holds it), in refusalOf's wording; empty
// where it goes through each, and for a path outside them. Said where a file there cannot be read.
QString refusalOnTheWayTo(const QString &path);
// A window saving work that nothing but it holds until the save (a run's answers at the run's
// end, a session received from the teacher keypad): quitting Pollix loses that work, so while one
// is alive on a thread, every refusal worded there (refusalOf's cases, and what reach says) gives
// that window's way to save again instead of a new start, says that quitting loses the work, and
// promises nothing a new start alone could keep. work: what is kept ("the run's answers"); again:
// the window's way to save again ("press OK (or F1) again"). One made inside another stands for
// its time.
class UnsavedWork
{
public:
    UnsavedWork(const QString &work, const QString &again);
    ~UnsavedWork();
    UnsavedWork(const UnsavedWork &) = delete;
    UnsavedWork &operator=(const UnsavedWork &) = delete;

    const QString &work() const { return m_work; }
    const QString &again() const { return m_again; }

private:
    QString m_work, m_again;
    const UnsavedWork *m_outer = nullptr;
};

// Why Pollix puts nothing into a folder of the application folder's own that it never reaches
// through a link (Backups), found a symbolic link at path, and the way out, in whole sentences.
QString neverThroughLink(const QString &path);
// The taken links in the folder at path that still lead to their folders, as paths below it: a
// walk of that folder by path (a listing for a backup) goes through them as through the folders
// it enters, which it would otherwise pass over as links.
QStringList linksIn(const QString &folder);

} // namespace TakenFolders
