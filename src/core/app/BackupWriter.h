#pragma once

#include "ZipArchive.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

class FolderHandle;

// Writes backup archives of the data files (a backup, the archive a restore keeps of the data it
// replaces, the archive of a folder of replaced data): into a part file made, noted as unfinished
// work, and written through the archive's folder held open, put in place there only when complete
// and synced, and reported saved only when the archive's path leads to that very file.
namespace BackupWriter {

// Steps done so far and in all.
using Progress = std::function<void(int done, int total)>;

// What writing an archive read of each file, by its place in the data folder: the bytes that
// went in and, while the file keeps it, the stamp that vouches it still holds them (none where
// the file was read twice and the two reads differ).
using ReadFiles = QHash<QString, ZipArchive::Added>;

// Where an archive goes: its folder held open (or why it could not be opened, and the error
// number of that open), its name there, its path for messages, and whether it replaces what lies
// under that name. *folderRefused (where given) is set when the folder takes no new file (it is no
// longer there, this account may not write there, its disk is read-only or full), which another
// folder may.
struct Destination
{
    const FolderHandle &folder;
    QString name;
    QString path;
    bool replace = false;
    QString why;
    bool *folderRefused = nullptr;
    int openError = 0;
};

// Why no backup of the data folder at dataRoot is written now: its path no longer leads to the
// folder the start took (TakenFolders::refusalOf), said with the way out; empty when it does, and
// for any other folder of data.
QString notTheData(const QString &dataRoot);

// Writes the data files of the listed folders (below the data folder dataRoot) into a new archive
// at to. Refused, with nothing written, when a file cannot be read or would not be taken back by
// a restore, or there is none, or the data folder is not the one the start took (notTheData,
// asked again once the files are read). Whatever lies under the part file's name once it is synced, or
// under the archive's path once it is in place, that is not the file written (a link, a pipe, a
// folder, a hard link to another file) fails the archive, saying so, and is left as it is.
// *synced: its folder was synced after the archive was put in place; *read: what it read.
bool write(const QString &dataRoot, const QStringList &folderList, const Destination &to, QString *errorText,
           const Progress &progress, bool *synced = nullptr, ReadFiles *read = nullptr);

// Why a backup of the data folder folder is none: it holds no data file, and an archive of none
// is one a restore refuses.
QString noDataFiles(const QString &folder);

// Called with the path of each archive's part file once it is synced, right before it is put in
// place. None is set in the program; a test puts something else under the part file's name there.
void setPartSyncedHook(std::function<void(const QString &part)> hook);
// Called with the path of each archive's part file right before it is made; an error number it
// answers (not 0) refuses the making as the disk would refuse it. None is set in the program; a
// test refuses it as a folder the account may not write does, also where the test runs as root.
void setPartRefusalHook(std::function<int(const QString &part)> hook);

} // namespace BackupWriter
