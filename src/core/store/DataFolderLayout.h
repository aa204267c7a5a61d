#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// What belongs to the data folder, for Backup and Restore alike: every XML file in and below it
// whose path is a name a backup can hold. Backup takes exactly these files and refuses to write
// an archive with one it could not take back; Restore accepts exactly these names and reads each
// file with the reader of the store that loads it. So what Backup writes, Restore accepts.
//
// Files of the folders the program keeps data in (sessions, points-only sessions, classes) and
// the store files lying directly in the data folder must read as their store expects; XML files
// anywhere else in the data folder (a folder of the teacher's own) must be well-formed XML.
class DataFolderLayout
{
public:
    // The largest data file, the most data and the most files one backup holds. A real data
    // file is a few megabytes at most, a school's data folder some hundreds.
    static constexpr quint64 kMaxFileSize = 64ull * 1024 * 1024;
    static constexpr quint64 kMaxTotalSize = 1024ull * 1024 * 1024;
    static constexpr int kMaxFiles = 200000;
    // The files of the data folder one backup holds at most, each counted once however many
    // entries the archive gives it: kMaxFiles, unless a test set a lower limit to reach it
    // with a few files (setFileLimit(0) goes back to kMaxFiles).
    static int fileLimit();
    static void setFileLimit(int files);

    struct File
    {
        QString path;     // on disk
        QString relative; // below the data folder, "/" separated
    };

    // The data folder's own sub-folders ("Quiz", "CourseGrade", "Classes"), relative to it;
    // empty without an application delegate.
    static QStringList keptFolders();
    // The data folder without a trailing "/"; empty without an application delegate.
    static QString dataFolder();

    // The data files: first those of each kept folder (in that order), then every one of the
    // data folder (again those of the kept folders), each folder in its listing's order.
    static QList<File> filesOfKeptFolders();
    static QList<File> filesOfDataFolder();
    // What stands below folder (at any depth, not in a folder reached through a link but one the
    // start took, as the listings go) under a data file's name but leads to no regular file (a
    // pipe, a device, a link to one or to nothing), which the listings above pass over: a backup
    // must not pass over it. Looked at without opening anything, so that nothing waits on a pipe.
    struct Unreadable
    {
        QString path;
        QString why; // as RegularFile says it ("it is no regular file")
    };
    static QList<Unreadable> unreadableBelow(const QString &folder);
    // One file a backup takes: its path, the entry it goes in as, its place below the data folder
    // (which the two passes over the kept folders' files share) and its size as listed.
    struct BackupFile
    {
        QString file;
        QString entry;
        QString relative;
        qint64 size = 0;
    };
    // What a backup of the data folder root takes from folders (its kept folders, then root
    // itself), each folder in its listing's order; empty, with *refusal, when the backup must be
    // refused before any file is read: a file it cannot read or a restore would not take back
    // (each named once, with why), or more data than one backup holds. Empty without *refusal:
    // no data file.
    static QList<BackupFile> backupFiles(const QString &root, const QStringList &folders, QString *refusal);
    // The same refusal for a folder laid out as the data folder (the data a restore replaced):
    // why no backup archive of it can be written; "" when one can, or it holds no data file.
    static QString backupRefusal(const QString &root);
    // Whether a file of this name may be a data file (its kind: the stores' files are XML).
    static bool isDataFileName(const QString &name);
    // Whether a data file lies anywhere below folder (a data folder, or one set aside), looked
    // for only until the first; links are not followed but those the start took.
    static bool holdsDataFile(const QString &folder);

    // Why a path relative to the data folder names no data file ("" when it names one): every
    // part a plain name (no ".", "..", drive letter, "\" or control character) and an ".xml"
    // extension in any letter case.
    static QString nameProblem(const QString &relative);
    // Why an archive entry's name is no name a backup writes, given its path relative to the
    // data folder: the backup's first pass names files of the kept folders with one leading
    // separator, its data folder's pass every file with two. "" when it is one.
    static QString entryNameProblem(const QString &entryName, const QString &relative);
    // The same with keptFolders() in hand (as a check of many names takes it once).
    static QString entryNameProblem(const QString &entryName, const QString &relative, const QStringList &keptFolders);
    // Why bytes are not what the store that loads the file at relative (below the data folder)
    // reads; "" when they are. Read with the stores' own parser and record readers.
    static QString contentProblem(const QString &relative, const QByteArray &bytes);
    // The file holding the login accounts, relative to the data folder.
    static QString loginFile();
};
