#pragma once

#include <QDateTime>
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
// exactly as it was. Where the file system cannot swap two folders in one step (NFS, SMB), the
// swap is noted down first and, when cut short, finished at the next start (DataRecovery).
class zipHelper
{
public:
    // Steps done so far and in all; called on the thread that runs the operation.
    using Progress = std::function<void(int done, int total)>;

    // Backs up every data file (DataFolderLayout) into a new archive at archivePath (replacing
    // one there only once the new one is complete). The archive is written into a part file made
    // beside it through its folder held open (so are the archives of replaced data in Backups),
    // and reported saved only when archivePath leads to that very file (its device and inode):
    // whatever took the part file's or the archive's place meanwhile (a link, a pipe, a folder, a
    // hard link to another file, the folder swapped for a link) fails the backup, saying so, and
    // is left as it is. Fails, naming the files, when any file
    // cannot be read or would not be taken back by a restore: no backup is written that a
    // restore would refuse, and no incomplete one is left behind.
    // A data folder holding no data file gives no archive either (a restore would refuse one of
    // none): nothingToBackUp() says so before a place for it is asked for, as it says that the
    // data folder is not the one the start took (BackupWriter::notTheData); "" when there is
    // something to back up. A folder that takes no new file (one this account may not write, a
    // disk read-only or full) is named with its reason and the advice to choose another, and
    // sets *otherFolder (where given): another folder may take the backup.
    bool backupFilTo(const QString &archivePath, QString *errorText = nullptr, const Progress &progress = {},
                     bool *otherFolder = nullptr);
    static QString nothingToBackUp();
    bool addFlodersToZipTo(const QString &archivePath, const QStringList &folders, QString *errorText = nullptr,
                           const Progress &progress = {}, bool *otherFolder = nullptr);

    // Replaces the data files by those of a backup archive. Refused whole, with nothing changed,
    // when the archive cannot be read, holds no data files, has an entry whose name is none a
    // backup writes (DataFolderLayout), an entry whose directory record and own header disagree,
    // two entries landing on one file with different contents, an entry its store cannot read,
    // or more data than DataFolderLayout's limits or the disk's free space allow. Files of the
    // data folder that are not data files (not XML) stay. An archive without login accounts
    // gets the built-in account. The archive is read through a plain path, so checking a file
    // from anywhere (a fuzzer's bytes written to a file) is one call.
    // With keptArchive, the data replaced are kept in <application folder>/Backups/: their folder
    // is moved there by a rename as the restore swaps it out ("Before restore <date and time>",
    // folderBeforeRestorePath), which archiveKeptFolder then turns into an archive a restore takes
    // back; where Backups is not on the data folder's disk, they are written there as an archive
    // (backupBeforeRestore) before anything is replaced. When they cannot be kept, nothing is
    // replaced. *keptArchive gets where they are: that folder or archive; or, when the folder
    // could not be moved into Backups, the folder beside the data folder that holds them, which
    // the next start moves there (it is never removed); empty when there were no data files.
    // The folder moved into Backups carries Pollix's mark (FolderMark::Kind::Kept), the restored
    // one the mark of data staged whole (Kind::Restored) until it is in place. Without a kept
    // folder, the replaced data go as far as their archive (or, none wanted, a backup) holds
    // them; a file no archive holds (one a backup refuses, a copy the restore carried over) is
    // kept in Backups and named in the log.
    // A folder of the data folder's own that an administrator had linked to another folder (which
    // the start took: TakenFolders) is a folder of the restored data folder itself afterwards; the
    // link, and the folder it led to as it was, stay with the data replaced. *unlinked gets each
    // such link, once the restore is done.
    struct Unlinked
    {
        QString path;   // the folder in the data folder, a link until the restore
        QString target; // the folder it led to
    };
    bool recoverFileFrom(const QString &archivePath, QString *errorText = nullptr, const Progress &progress = {},
                         QString *keptArchive = nullptr, QList<Unlinked> *unlinked = nullptr);
    bool unZipAllFileFrom(const QString &archivePath, QString *errorText = nullptr, const Progress &progress = {},
                          QString *keptArchive = nullptr, QList<Unlinked> *unlinked = nullptr);
    // Writes the data files as a backup archive (as backupFilTo) into <application folder>/Backups/,
    // named after the date and time (backupBeforeRestorePath), so that a restore can be taken back
    // with a restore of that archive. *archivePath gets its path; empty, and nothing written,
    // when the data folder holds no data file.
    bool backupBeforeRestore(QString *archivePath, QString *errorText = nullptr, const Progress &progress = {});
    // "<application folder>/Backups", where a restore keeps the data it replaces; empty without an
    // application folder.
    static QString backupsFolder();
    // "<application folder>/Backups/Before restore 2024-05-01 14-07-09.zip", with " (2)" and up
    // before ".zip" while the name is taken.
    static QString backupBeforeRestorePath(const QDateTime &when);
    // Where a restore keeps the replaced data folder: "<application folder>/Backups/Before restore
    // <date and time>" (a name free also with ".zip"), made ready on the data folder's disk; empty,
    // with the reason, when there is no such place.
    static QString folderBeforeRestorePath(const QString &data, QString *errorText = nullptr);
    // Writes the data files of a folder a restore kept (laid out as the data folder) as a backup
    // archive beside it ("<folder>.zip"), then removes from the folder every file that archive
    // holds with the same bytes (size and CRC-32) and what the data folder now holds as the very
    // same file (carried over by the restore), each only while its name leads to the file checked
    // (FolderHandle::removeTree), once the archive is on the disk and unless the
    // folder holds a change of those data left unfinished; what the archive does not hold stays
    // and is named in the log. Only a folder carrying Pollix's own mark (FolderMark::Kind::Kept,
    // naming that very folder) is archived or touched at all; the mark goes last, so that a
    // removal cut short is finished by a later call, which, with the archive there already,
    // removes the files left only once that archive reads whole. When the archive cannot be
    // written (a file among them that a backup refuses, a full disk), the folder stays as it is.
    // A folder holding no data files gets no archive (*archivePath stays empty): what is
    // Pollix's in it goes all the same, and a file of the teacher's stays.
    // Made to run after the restore, on a thread of its own (FolderWork::runInBackground).
    bool archiveKeptFolder(const QString &folder, QString *archivePath = nullptr, QString *errorText = nullptr,
                           const Progress &progress = {});
    // The folders of replaced data in Backups ("Before restore ...") that carry Pollix's mark and
    // are still there: without their archive (a kill, an ending, a full disk cut it short, so
    // Restore cannot bring them back until archiveKeptFolder has made it), or with it but not yet
    // removed. The folders there without the mark (the teacher's, or kept by an earlier version)
    // are named once in the log and left alone. Real folders only, not reached through a link.
    static QStringList keptFoldersToFinish();
    // archiveKeptFolder for each, on the calling thread, each outcome logged.
    static void archiveKeptFolders(const QStringList &folders);
    // Called by archiveKeptFolder, on its thread, with the path of the archive once it is written
    // and before the folder's files go. None is set in the program; a test holds the work there.
    static void setArchiveWrittenHook(std::function<void(const QString &archive)> hook);
    // Why a restore would be refused now whatever the archive (another Pollix holds the folder;
    // the data folder or a folder of its own became a link while Pollix ran, or is a link the
    // start took whose folder cannot be reached or that leads elsewhere now: TakenFolders::
    // refusalOf; with keepingReplaced, where the data folder holds data, Backups is a link),
    // every such folder named in the one answer; empty when none. Asked by recoverFileFrom first
    // (keepingReplaced with keptArchive), and by the question before a restore, which offers none
    // that would be refused.
    static QString restoreRefused(bool keepingReplaced = true);
    // Every check of a restore, writing nothing anywhere: true when recoverFileFrom would take
    // the archive (but for the disk's free space), else false with the same reason.
    static bool checkBackup(const QString &archivePath, QString *errorText = nullptr);
    // Every entry of the archive below folder, replacing files there.
    bool unZipAllFileFrom(const QString &archivePath, const QString &folder, QString *errorText);
    // One entry below folder, unless the file there has the entry's date already.
    bool UnzipFile(const QString &archivePath, const QString &entryName, const QString &folder);

    // Deletes every XML file in and below the data folder (as DelRecordByPath), and every other
    // copy of their contents Pollix may have left in the application folder: side files of
    // interrupted writes (also the temporary files earlier versions named "<file>.xml.XXXXXX")
    // and the folders of an interrupted restore. A session, points-only or class folder that is
    // a link is named as left. Waits first for this process's folder work (a backup, a restore,
    // the archive of replaced data: FolderWork), whose part files and folders it would otherwise
    // take for leftovers; refused when called from within such work.
    bool DelAllRecords(QString *errorText = nullptr);
    // Deletes every XML file of the session and points-only folders, once this process's folder
    // work is done (as DelAllRecords).
    bool clearSession(QString *errorText = nullptr);
    // Deletes every XML file in and below folder as RecordDeletion::removeBelow does: what stays
    // (a file that cannot be removed, a link or a pipe under a data file's name, the folder's
    // name swapped for a link) is named in errorText, and the answer is false.
    bool DelRecordByPath(const QString &folder, QString *errorText = nullptr);
};
