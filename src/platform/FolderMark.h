#pragma once

#include <QString>

class FolderHandle;

// A folder Pollix makes or sets aside for a purpose (the data a restore replaced, kept in
// Backups; the restored data, whole, waiting to replace the data folder) carries a note of
// Pollix's naming the folder's own device and inode. A rename keeps both; a copy of the folder,
// made by the teacher or by another program, gets new ones and so is never taken for Pollix's:
// only a folder whose note names that very folder is Pollix's to archive, move in or remove.
namespace FolderMark {

enum class Kind {
    Kept,    // data set aside to keep, to be archived and then removed
    Restored // restored data staged whole, ready to take the data folder's place
};

// The note's name in the folder.
QString noteName(Kind kind);

// Notes folder as Pollix's own (a note there already, a leftover of a copy, is replaced).
bool write(const FolderHandle &folder, Kind kind, QString *why = nullptr);

// Whether folder holds Pollix's note naming it; *why says why not when it holds one that does not.
bool holds(const FolderHandle &folder, Kind kind, QString *why = nullptr);

// Takes the note away (the folder then is none of Pollix's for that purpose).
bool remove(const FolderHandle &folder, Kind kind, QString *why = nullptr);

} // namespace FolderMark
