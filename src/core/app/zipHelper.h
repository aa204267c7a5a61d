#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The program's data folder as zip archives: backup of every data file into one archive, restore
// from one, and the deletes of the data management page. Folders come from the application
// delegate. Every operation says why it failed through errorText.
//
// Archive entries are named after the file's path below the data folder's parent folder without
// the "Data" part: first each file of the session, points-only and class folders ("/Quiz/x.xml",
// ...), then every file of the data folder once more ("//Quiz/x.xml", "//UserList.xml"), so
// archives move between installations.
//
// A restore never deletes before it has a complete replacement: the archive is checked whole,
// extracted beside the data folder and only then swapped in; on any failure the data folder stays
// exactly as it was.
class zipHelper
{
public:
    // Steps done so far and in all; called on the thread that runs the operation.
    using Progress = std::function<void(int done, int total)>;

    // Backs up every data file (DataFolderLayout) into a new archive at archivePath (replacing
    // one there only once the new one is complete). Fails, naming the files, when any file
    // cannot be read or would not be taken back by a restore: no backup is written that a
    // restore would refuse, and no incomplete one is left behind.
    bool backupFilTo(const QString &archivePath, QString *errorText = nullptr, const Progress &progress = {});
    bool addFlodersToZipTo(const QString &archivePath, const QStringList &folders, QString *errorText = nullptr,
                           const Progress &progress = {});

    // Replaces the data files by those of a backup archive. Refused whole, with nothing changed,
    // when the archive cannot be read, holds no data files, has an entry whose name is none a
    // backup writes (DataFolderLayout), an entry whose directory record and own header disagree,
    // two entries landing on one file with different contents, an entry its store cannot read,
    // or more data than DataFolderLayout's limits or the disk's free space allow. Files of the
    // data folder that are not data files (not XML) stay. An archive without login accounts
    // gets the built-in account. The archive is read through a plain path, so checking a file
    // from anywhere (a fuzzer's bytes written to a file) is one call.
    bool recoverFileFrom(const QString &archivePath, QString *errorText = nullptr, const Progress &progress = {});
    bool unZipAllFileFrom(const QString &archivePath, QString *errorText = nullptr, const Progress &progress = {});
    // Every check of a restore, writing nothing anywhere: true when recoverFileFrom would take
    // the archive (but for the disk's free space), else false with the same reason.
    static bool checkBackup(const QString &archivePath, QString *errorText = nullptr);
    // Every entry of the archive below folder, replacing files there.
    bool unZipAllFileFrom(const QString &archivePath, const QString &folder, QString *errorText);
    // One entry below folder, unless the file there has the entry's date already.
    bool UnzipFile(const QString &archivePath, const QString &entryName, const QString &folder);

    // Removes what an interrupted backup or restore left: the half-written archive beside a
    // chosen path (only one the program noted as its own before making it) and the staging
    // folders beside the data folder. Called at start-up and before every backup and restore.
    static void removeLeftovers();
    // At start, with the application folder's lock held and before any store reads a file:
    // finishes the changes of several files that were cut short (their journals in the data
    // folder), removes the side files interrupted writes left where Pollix writes (the
    // application folder's own files, the data folder and below, the manuals; by Pollix's own
    // naming only, SideFiles), then removeLeftovers(). What could not be finished
    // goes to *errorText; false then.
    static bool finishInterruptedWork(QString *errorText = nullptr);

    // Deletes every XML file in and below the data folder, and every other copy of their
    // contents Pollix may have left in the application folder: side files of interrupted
    // writes (also the temporary files earlier versions named "<file>.xml.XXXXXX") and the
    // folders of an interrupted restore.

    bool DelAllRecords(QString *errorText = nullptr);
    // Deletes every XML file of the session and points-only folders.
    bool clearSession(QString *errorText = nullptr);
    // Deletes every XML file in and below folder; the files that stay are named in errorText.
    bool DelRecordByPath(const QString &folder, QString *errorText = nullptr);
};
