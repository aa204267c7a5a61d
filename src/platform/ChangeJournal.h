#pragma once

#include "LeftAlone.h"
#include "SideFiles.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class FolderHandle;

// What a change of several files is about to do, written down before the change's first move,
// so that a change cut short (kill, crash, power cut) is finished at the next start instead of
// leaving some files new and others old. AtomicFileSet writes one for every change; the program
// finishes what it finds at start, with its lock held, before any store reads a file.
//
// A journal names, for each file, the target, the side file holding its new bytes (none when
// the change removes the target) and the side file that keeps its old bytes (none when there
// were none). Forward puts the new bytes in place; back puts the old ones back. Paths are kept
// relative to the journal's folder, so a folder that moved between the kill and the next start
// is still finished.
namespace ChangeJournal {

struct Step
{
    QString target;
    QString staged; // the new bytes; empty: the change removes target
    QString kept;   // the old bytes under a second name; empty: target did not exist
    // What the new and the old bytes are (ContentHash), so that a start tells them from a later
    // save of target; write() takes them from the side files when they are not given. Empty in
    // the journals of earlier versions, which noted none.
    QByteArray newDigest = {};
    QByteArray oldDigest = {};
    // The folder that holds target and its side files, held open by the change that makes them
    // from its first write, so that every move and removal is made in that very folder (one
    // swapped for a link meanwhile leads nowhere else). None: reached from the journal's folder
    // (without a journal, from target's path), no link followed below it.
    std::shared_ptr<const FolderHandle> folder = {};
};

enum class Direction { Forward, Back };

// Where journals are written (the data folder); empty: changes are not journalled.
void setFolder(const QString &folder);
QString folder();

// Writes (or rewrites, at journalPath) the journal of a change and syncs it to the disk; its
// path, or empty with the reason (also when a side file could not be read for its digest).
// *tried: the path written to, also when the write failed (a journal that went in place and was
// then found gone, carried on by another start meanwhile, failed there). journals: the journal
// folder as the change holds it open from its first write (else it is reached by its path), so
// that the journal lies beside the files it names whatever is put in that folder's place
// meanwhile; the same folder is given to every call on that journal.
QString write(const QList<Step> &steps, Direction direction, QString *errorText, const QString &journalPath = {},
              QString *tried = nullptr, const FolderHandle *journals = nullptr);
// Removes a finished change's journal (in journals, held open, where given).
void remove(const QString &journalPath, const FolderHandle *journals = nullptr);
// A journal's file name, as write gives it.
bool isJournalName(const QString &fileName);

// Carries a change through in the given direction, then removes its journal (when given) and
// its side files. Forward puts every staged file in its target's place and removes the targets
// that go; back puts every kept file back and removes the targets that did not exist before.
// Steps already done are skipped, so the same change may be carried through again after a kill.
// Nothing moves when a target was saved, made or removed again since the change was noted down:
// a side file goes in place only while its target still holds what the journal expected (the
// old file, which the kept name links to, or nothing). False, with the files and the reasons,
// when a move failed; the other moves are done all the same, and the journal and every side file
// stay, so that the change can still be carried through from its journal. Every move and removal
// is made in its step's folder held open (Step::folder), never by its path, and the lock is asked
// again right before each (AtomicFile::folderTaken): a Pollix that lost its folder meanwhile
// moves nothing. Where the old bytes were kept as a copy (a disk without second names), a target
// counts as unchanged while it holds the old bytes its journal noted.
bool apply(const QList<Step> &steps, Direction direction, QString *errorText, const QString &journalPath = {},
           const FolderHandle *journals = nullptr);

// Finishes every change whose journal lies in folder, in the direction its journal says, and
// removes the journals of the changes finished. A change that cannot be finished keeps its
// journal and its side files and is tried again at the next start. A change one of whose files
// was saved again since it was cut short, by whoever, is given up, so that it never undoes that
// later save: a file is the change's while it holds the old or the new bytes its journal noted
// (or, as noted, no file), whatever its name or inode; anything else is a later save. (A journal
// of an earlier version noted no digests: a later save is seen there where the names and inodes
// tell it, a file made where the change had yet to make it or a file in the place of an old one
// not yet replaced.) A journal that is not one Pollix wrote whole, that names a file outside its
// folder or through a symbolic link, whose files are not regular files, or whose side files no
// longer hold the bytes it noted, is left as it is and touches nothing, also after a later save
// of its targets (that save is not held back: unfinishedChangeOf). A side file missing counts as
// moved only where its target holds what the journal noted for it (a new file whose name holds
// the old one after their exchange counts as moved too); where one is missing otherwise, the
// change goes the other way (noted so first), named in *errorText, or, where a side file that
// way needs is missing too, is left as it is. The number finished;
// *errorText names, for each change not finished, its files and why. With leftAlone, the
// journals left as they are (none Pollix wrote whole, or not to be carried through as they
// stand) go there instead, and *errorText names only the changes Pollix could not finish or gave up.
int finishInterrupted(const QString &folder, QString *errorText = nullptr, LeftAloneList *leftAlone = nullptr);
// The side files the journals in folder still need (their new and old bytes): none of them may
// be removed until the change is finished.
QStringList sideFilesInUse(const QString &folder);
// What the side files of changes in and below folder that no journal needs (needed: those one
// does, sideFilesInUse) tell: where the moves of a change were cut short and its journal is gone
// (removed by hand, or none a start can read), the old bytes of a file it had moved (an ".old-"
// file no longer the file in its target's place nor a copy of what that holds, or whose target is
// gone) stand beside a side file of a move not made (new bytes not in place, old bytes still the
// file in place), and the files of that change may not agree. Each such old file, with what is
// said of it (one sentence, naming it and the way back); none where nothing shows a change cut
// short in its moves: a change cut short before its first move, or whose journal went as it was
// finished (its journal goes first, its side files after it), left mere leftovers.
LeftAloneList cutShortWithoutJournal(const FolderHandle &folder, const QStringList &needed);
// The same, told by the side files a look found in and below a folder (SideFiles::listIn of at least
// the staged and kept kinds, without those a journal needs), so that the start lists its data
// folder once for this and for the removal of what no change needs.
LeftAloneList cutShortWithoutJournal(const QList<SideFiles::Found> &sideFiles);

// Why files may not be saved now: a change of some of them, noted down in the journal folder,
// is still unfinished (the start could not finish it). Saved now, they would be taken back or
// overwritten when it is finished, and the files of that change would no longer agree. A change
// a start leaves as it is (finishInterrupted: never carried through) holds back no save. Empty
// when none of paths is a file of an unfinished change; *held: the first of paths that is.
// Every save asks, so the folder is not read each time: it is looked at again only when it
// changed since it was last seen holding no journal (see mayHoldJournals in the source).
QString unfinishedChangeOf(const QStringList &paths, QString *held = nullptr);

// Tests: the wall clock (nanoseconds since 1970) that tells whether the journal folder's last
// change lies well before a look at it; empty: the system's.
void setClockForTesting(std::function<qint64()> nowNs);

} // namespace ChangeJournal
