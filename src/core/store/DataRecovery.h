#pragma once

#include "platform/LeftAlone.h"

#include <QString>

class FolderHandle;

// What an earlier run left unfinished in the application folder, finished or removed once at
// start, with the application folder's lock held and before any store reads a file:
// 1. a replacement of the data folder cut short (a restore on a file system that cannot exchange
//    two folders in one step) is finished (FolderSwap) when its restored data were staged whole,
//    and the data it sets aside are kept in Backups (a folder "Before restore <date and time>",
//    noted as Pollix's to archive there); a data folder missing without one (as earlier versions
//    could leave it) gets its old contents back when they are there, alone; the notes a restore
//    leaves in the data folder go;
// 2. every change of several files cut short is finished from its journal (ChangeJournal);
// 3. the side files of interrupted writes go where Pollix writes (the application folder's own
//    files, the data folder and below, the manuals), by Pollix's own naming only (SideFiles), but
//    never one that a change still noted down needs;
// 4. what an interrupted backup or restore left goes: a part file beside a chosen archive, or a
//    restore's staging folder beside the data folder, only when ".unfinished-work" notes it as
//    the very file or folder (device and inode) a Pollix that no longer runs made there, reached
//    without a symbolic link, and found again by walking from the folder held open for it (the
//    application folder for a part file, the one beside the data folder for a staging folder):
//    what a line names elsewhere, and a file whose line was written before it was made (naming
//    no file yet), stays, named; a staging folder nothing notes goes only when it holds no file,
//    and never while the data folder is missing or a swap still noted down needs it; data a restore
//    noted to keep go to Backups.
// What cannot be finished, or is not Pollix's to remove, stays and is named, with the reason.
// Every record read back (journals, the keep notes of a restore, ".unfinished-work") is
// untrusted: one that is not a regular file of Pollix's size, or names anything outside the
// folder it governs or through a symbolic link, touches nothing, stays where it is and is named
// with the reason.
class DataRecovery
{
public:
    // The whole recovery; false, with what could not be finished or stays (files and reasons),
    // when something stays unfinished. *keptText says where data set aside were kept (a sentence
    // each), whether or not all else was finished. With leftAlone, what the start found and left
    // as it is because Pollix did not make it (see LeftAlone) goes there, not into *errorText,
    // and the answer is false only for what of Pollix's own could not be finished.
    static bool run(QString *errorText = nullptr, QString *keptText = nullptr, LeftAloneList *leftAlone = nullptr);

    // A backup's part file or a restore's staging folder: noted before the work writes into it,
    // so that a start after a kill removes what the work left and nothing of the teacher's; the
    // note goes when the work is done. What is not there yet is made here (an empty file), so
    // that the note names the very file (its device and inode) and nothing put under its name
    // later; where the disk has no unnamed files, its name is noted first, so that an ending
    // before the file's own note leaves a file a start names, never one nothing names (it stays:
    // nothing tells it for Pollix's). The note says which process made the path, and when that
    // process started, so a start leaves alone the work of a Pollix still running (one opened on
    // the same folder anyway), and not that of a process that got its number since.
    static void noteStarted(const QString &path);
    static void noteFinished(const QString &path);
    // The same for a part file made as name in folder held open, and open to be written: its
    // descriptor (the caller's to close), so that the work writes into the very file noted; -1,
    // with *why and errno the system's error, when it cannot be made. A record that cannot be written is logged and keeps no
    // work from going on. *notedAs: the path the record names it by, for noteFinished.
    static int makeNoted(const FolderHandle &folder, const QString &name, QString *notedAs, QString *why = nullptr);

    // Step 4 alone: Delete All Records removes every copy of the data too. The work of this
    // process still running (FolderWork) keeps what it is making.
    static void removeLeftovers();

    // Where the data a restore replaced, kept in folder with a keep note because they could not
    // be moved into Backups then, go at the next start: the folder of Backups the note names;
    // empty, with *why, when the note cannot be read or names anything else.
    static QString keptPlace(const QString &folder, QString *why = nullptr);

    // Whether Pollix may work in the data folder: not while a replacement of it by a restore is
    // still noted down (it would be moved aside when that is finished), nor while it is missing
    // and folders beside it hold a restore's data (a folder made in its place would let them be
    // taken for leftovers). *why says which, when not.
    static bool dataFolderUsable(const QString &dataFolder, QString *why = nullptr);
};
