#pragma once

#include "platform/ContentHash.h"

#include <QByteArray>
#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

class FolderHandle;
struct ZipReadSource;
class ZipWriteSink;

// Zip archives through minizip: creating one and adding files to it, listing and extracting the
// entries of one. Entries are deflated (default level), named in UTF-8 and dated with their
// file's modification time; there are no passwords (the system's minizip cannot decrypt, and no
// archive of the program has one). Nothing here knows the program's
// folders (zipHelper does). One archive written and one read at a time; either is closed when
// the object goes.
class ZipArchive
{
public:
    // Asked before an existing file is replaced, and told of errors. Without one, files are
    // replaced and errors only logged.
    class Delegate
    {
    public:
        virtual ~Delegate() = default;
        virtual bool OverWriteOperation(const QString &path) = 0;
        virtual void ErrorMessage(const QString &text) = 0;
    };

    // One entry as the archive's directory lists it.
    struct Entry
    {
        QString name;          // as stored, read as UTF-8
        QString normalisedName; // "\" turned into "/"
        QDateTime date;        // local time, to the second
        quint64 size = 0;      // uncompressed bytes
        quint32 crc = 0;       // CRC-32 of the uncompressed bytes
        bool isFolder = false; // the name ends in "/" or "\"
        quint64 position = 0;  // where the entry's directory record lies (minizip's file position)
        quint64 number = 0;
        // As the directory records them, to be compared with the entry's own local header.
        QByteArray rawName;
        quint32 versionNeeded = 0, flag = 0, method = 0, dosDate = 0;
        quint64 compressedSize = 0;
    };

    ZipArchive();
    ~ZipArchive();
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    Delegate *delegate() const { return m_delegate; }
    void setDelegate(Delegate *delegate) { m_delegate = delegate; }

    // ---- Writing ----
    // A new archive file at path (replacing the file or link that is there, through its folder
    // held open).
    bool CreateZipFile2(const QString &path, QString *errorText = nullptr);
    // The archive written into the file open as fd (a duplicate of it is kept until the archive
    // is closed, and fd stays the caller's); path names it in messages.
    bool CreateZipFileOn(int fd, const QString &path, QString *errorText = nullptr);
    // What an entry was made of: the size and CRC-32 of the bytes read, and the file's stamp when
    // it holds those very bytes as long as it keeps that stamp (RegularFile::readAll).
    struct Added
    {
        quint64 size = 0;
        quint32 crc = 0;
        std::optional<ContentHash::Stamp> steady;
        bool operator==(const Added &) const = default;
    };
    // Adds the whole file as an entry called newname, dated with the file's modification time.
    // A file added once already (same path, size and time) is compressed only once: its bytes
    // are taken again from where they lie in the archive, so that what is held in memory does
    // not grow with the files added. When the
    // file itself is at fault (unreadable, or refused by the content check) *fileAtFault is set
    // and the archive can take further files. *added: what the entry was made of.
    bool addFileToZip(const QString &file, const QString &newname, QString *errorText = nullptr,
                      bool *fileAtFault = nullptr, Added *added = nullptr);
    // Run on each file's bytes before they are compressed (on any thread): a non-empty answer is
    // why the file may not go into the archive.
    using ContentCheck = std::function<QString(const QString &file, const QByteArray &bytes)>;
    void setContentCheck(ContentCheck check) { m_check = std::move(check); }
    // Compresses files ahead of their addFileToZip, on several threads (a long backup is bound
    // by compression, not by the disk); what is compressed is held until its file is added, so
    // the caller hands over a few megabytes at a time. Files that cannot be read are left to
    // addFileToZip.
    void compressAhead(const QStringList &files);
    // Finishes the archive; false when none was being written or it could not be completed.
    bool CloseZipFile2(QString *errorText = nullptr);

    // ---- Reading ----
    // Opens the archive at path (a link followed) once: it must be a regular file of at most
    // 1 GB ("it is no regular file", "it is a folder", "it is larger than 1024 MB"), and every
    // read, of this object and of those opened with UnzipOpenSame, goes to the file that passed,
    // no further than the size it had then, a block at a time.
    bool UnzipOpenFile(const QString &path, QString *errorText = nullptr);
    // The archive opened is the very file another ZipArchive has open (a reader of its own, for
    // another thread).
    bool UnzipOpenSame(const ZipArchive &opened, QString *errorText = nullptr);
    // The device and inode of the file open for reading, so that a caller can tell it is the
    // one it found under its name (and not one a link led to); none when none is open.
    std::optional<std::pair<quint64, quint64>> openedFile() const;
    // Every entry in archive order; none when the directory cannot be read or (maxEntries not 0)
    // holds more entries than that, so that a hostile directory cannot fill memory.
    std::optional<QList<Entry>> entries(QString *errorText = nullptr, quint64 maxEntries = 0);
    // The entry's bytes, checked against its CRC-32 and against its local header (name, sizes,
    // method, flags, date and checksum must be those the directory lists). At most maxSize
    // bytes (the default: the largest entry read at all).
    bool readEntry(const Entry &entry, QByteArray *bytes, QString *errorText = nullptr, quint64 maxSize = 0);
    // Writes the entry as name in folder, replacing a file there whole (AtomicFile), and gives it
    // the entry's date. A file there already carrying the entry's date to the second is left
    // alone when skipSameDate is set.
    bool extractEntryTo(const Entry &entry, const FolderHandle &folder, const QString &name, bool skipSameDate,
                        bool *written = nullptr, QString *errorText = nullptr);
    // Every entry below folder: names are taken relative to it (leading and repeated slashes
    // dropped); entries that would leave it are refused and nothing is written then. Each file is
    // written through folder held open, each folder below it made and entered without following
    // a link. Existing
    // files are replaced when overWrite is set, else only when the delegate agrees.
    bool UnzipFileTo(const QString &folder, bool overWrite);
    // The one entry called entryName ("\" read as "/") below folder, unless the file there
    // already has the entry's date to the second. The archive is the one open for reading.
    bool UnzipFile(const QString &archivePath, const QString &entryName, const QString &folder);
    bool UnzipCloseFile();

    bool OverWrite(const QString &path);
    void OutputErrorMessage(const QString &text);
    static QDateTime Date1980();

    // An entry name as a path relative to the folder it is extracted into: "\" read as "/",
    // leading and repeated slashes dropped, no trailing slash. Empty when the name would leave
    // the folder ("..", "." or a drive letter as a part) or names nothing.
    static QString relativePathOf(const QString &entryName);
    // Why a name relativePathOf gave may not be written below folder: a folder on the way is a
    // symbolic link or no folder, or what lies at the name itself is a link or of another kind
    // (a file where a folder is wanted, or the reverse). Empty when it may.
    static QString placeProblem(const QString &folder, const QString &relative, bool isFolder);

private:
    // A file's size and modification time as stat tells them, to the nanosecond: the same file
    // read again with the same stamp is taken to hold the same bytes.
    struct FileStamp
    {
        qint64 size = -1;
        qint64 modified = 0;
        bool operator==(const FileStamp &) const = default;
    };
    // The file's stamp now (*modified: its time); none when it cannot be looked at.
    static std::optional<FileStamp> stampOf(const QString &file, QDateTime *modified = nullptr);
    struct Compressed
    {
        QByteArray data;
        quint32 crc = 0;
        quint64 size = 0;
        std::optional<ContentHash::Stamp> steady;
        FileStamp stamp; // the file's as it was looked at before it was read
    };
    // A file's entry already written: where its compressed bytes begin in the archive, and how
    // many there are.
    struct Written
    {
        quint64 at = 0;
        quint64 packed = 0;
        quint32 crc = 0;
        quint64 size = 0;
        std::optional<ContentHash::Stamp> steady;
        FileStamp stamp;
    };
    bool compress(const QString &file, Compressed *c, QString *errorText, bool *fileAtFault) const;
    // The compressed bytes of an entry written, read back from the archive.
    bool readWritten(const Written &w, Compressed *c) const;
    bool addZip64End(QString *errorText);
    // *dataAt: where the entry's compressed bytes begin in the archive.
    bool writeEntry(const QString &name, const QDateTime &date, const Compressed &c, QString *errorText,
                    quint64 *dataAt = nullptr);
    // Why writing the archive failed: the system's reason where the file refused the bytes, else
    // what failed and minizip's code rc.
    QString writeFailure(const QString &what, int rc) const;
    QString localHeaderProblem(const Entry &entry);
    void closeWriting();
    bool openReading(const QString &name, QString *errorText);

    Delegate *m_delegate = nullptr;
    void *_zipFile = nullptr;
    QString m_path;         // of the archive being written
    int m_writeFd = -1;     // the file it is written into (minizip writes through a duplicate)
    std::unique_ptr<ZipWriteSink> m_write; // minizip's stream into it
    quint64 m_entries = 0;  // entries written into it
    void *_unzFile = nullptr;
    // The archive being read, opened once: minizip reads duplicates of its descriptor.
    std::unique_ptr<ZipReadSource> m_read;
    // Files compressed ahead and not yet added, and files added, by path (each as its stamp
    // was when it was read): what is held for each file added is a few numbers, its path shared
    // with the caller's.
    QHash<QString, Compressed> m_compressed;
    QHash<QString, Written> m_written;
    // The paths compressAhead took in hand: not looked at again before addFileToZip.
    QSet<QString> m_aheadFiles;
    ContentCheck m_check;
};
