#pragma once

#include "ZipArchive.h"
#include "platform/FolderHandle.h"

#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <map>

// A backup archive as a restore takes it: opened once (every reader reads that very file), every
// entry's name and size checked before anything is read, then every file read by the reader of
// the store that loads it and, for a restore, written into its staging folder.
class BackupArchive
{
public:
    // Steps done so far and in all; called on the thread that reads.
    using Progress = std::function<void(int done, int total)>;

    // The entries that land on one file of the data folder (a backup stores each file of the
    // kept folders twice).
    struct Target
    {
        QString relative;
        QList<ZipArchive::Entry> entries;
    };

    // The size and CRC-32 of each file the archive holds, by its place in the data folder, as
    // its directory lists them.
    struct FileSum
    {
        quint64 size = 0;
        quint32 crc = 0;
    };
    using Sums = QHash<QString, FileSum>;

    // The staging folder of a restore, and each folder made in it, held open: every file is
    // written through them, never by a path that a link put there meanwhile could lead elsewhere.
    struct Staging
    {
        FolderHandle root;
        std::map<QString, FolderHandle> folders; // by path relative to root

        bool make(const QString &relative, QString *why);
        const FolderHandle &folderOf(const QString &relative) const;
    };

    // Opens the archive and checks what its directory lists: names a backup writes, sizes within
    // the limits, no two entries landing on one file with different contents, some data file.
    bool open(const QString &archivePath, QString *errorText = nullptr);
    // Reads every file on several threads (each with its own handle on the file opened) and
    // checks it with its store's reader; with staging, writes it below that folder (its folders
    // made already).
    bool read(const Staging *staging, const Progress &progress, QString *errorText = nullptr) const;

    const QString &archiveName() const { return m_archiveName; }
    const QList<Target> &targets() const { return m_targets; }
    bool holds(const QString &relative) const { return m_targetOf.contains(relative); }
    // The bytes of the files it restores.
    quint64 total() const { return m_total; }
    Sums sums() const;
    // The device and inode of the archive file opened.
    std::optional<std::pair<quint64, quint64>> openedFile() const { return m_zip.openedFile(); }

    // "12.50 MB", for the reasons given.
    static QString megabytes(quint64 bytes);

private:
    ZipArchive m_zip;
    QString m_archiveName;
    QList<Target> m_targets;
    QHash<QString, qsizetype> m_targetOf;
    quint64 m_total = 0;
};
