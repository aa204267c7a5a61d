#pragma once

#include "RecordFile.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

#include <sys/stat.h>

// A folder held open, and everything below it reached from it: a name looked at and then used
// by name again can be swapped for a symbolic link or a pipe in between by another program; a
// name taken relative to the folder's descriptor, each step opened without following a link,
// cannot lead anywhere else. Pollix tidies, archives and removes what it finds in its folders
// through this, never by a path checked first and used after.
class FolderHandle
{
public:
    FolderHandle() = default;
    ~FolderHandle();
    FolderHandle(FolderHandle &&other) noexcept;
    FolderHandle &operator=(FolderHandle &&other) noexcept;
    FolderHandle(const FolderHandle &) = delete;
    FolderHandle &operator=(const FolderHandle &) = delete;

    // The folder at path. With followLink false a symbolic link as its last component is
    // refused ("it is a symbolic link"); the folders on the way are the caller's to trust (the
    // application folder may well lie behind a link).
    static FolderHandle open(const QString &path, bool followLink, QString *why = nullptr);
    // The same, held only to reach what is in it by name (O_PATH): a folder that may be passed
    // through but not listed (mode 0311) opens too. Its entries() and sync() then fail as the
    // folder's mode says; everything else works as on a folder opened to read.
    static FolderHandle openToReach(const QString &path, bool followLink, QString *why = nullptr);

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    // The path it was opened by, for messages.
    const QString &path() const { return m_path; }
    QString pathOf(const QString &name) const;
    // The folder's own device and inode (a folder moved by a rename keeps both).
    std::optional<struct stat> stat() const;

    // A folder below this one, each step of relative (plain names, no "..") opened without
    // following a link.
    FolderHandle openFolder(const QString &relative, QString *why = nullptr) const;
    // The same, each step made first where it is missing.
    FolderHandle makeFolder(const QString &relative, QString *why = nullptr) const;

    struct Entry
    {
        QString name;
        RecordFile::Kind kind = RecordFile::Kind::Other;
        struct stat st{};
    };
    // What the folder holds, each entry looked at without following a link; none with *why when
    // the folder cannot be read.
    std::optional<QList<Entry>> entries(QString *why = nullptr) const;
    // What lies under name in the folder, not followed; st filled when given and not missing.
    RecordFile::Kind kindAt(const QString &name, struct stat *st = nullptr) const;
    // Whether the folder name in this folder holds nothing but folders, in it and below it; one
    // that cannot be read holds something.
    bool holdsNoFile(const QString &name) const;

    // A regular file in the folder opened to read: never through a link, never waiting on a
    // pipe, a device not even opened. The descriptor is the caller's to close; -1 with *why
    // (as for readFile, the reason alone: "it is a symbolic link", "it is no regular file").
    int openFile(const QString &name, QString *why = nullptr, struct stat *st = nullptr) const;
    // The whole of a regular file in the folder, up to limit.
    std::optional<QByteArray> readFile(const QString &name, qint64 limit, QString *why = nullptr) const;
    // Writes a new file (none may lie under the name) and syncs it; its folder is not synced.
    bool createFile(const QString &name, const QByteArray &bytes, QString *why = nullptr) const;
    // The same, dated modified (when valid; "Failed to set attributes" is logged when it cannot
    // be), its mode as a new file's under the umask, and synced only with sync: many files
    // written at once are better synced in one step.
    bool createFile(const QString &name, const QByteArray &bytes, const QDateTime &modified, bool sync,
                    QString *why = nullptr) const;
    // Told of a file about to be made: its device and inode, or, where the file has its name
    // from the start, nullptr first (only its name can be noted then) and its device and inode
    // once it is there. False: it may not be made (nothing is then left).
    using NoteFirst = std::function<bool(const struct stat *st)>;
    // Makes a new empty file under name (none may lie there), telling noteFirst of it before the
    // name is given, so that a note of it is never missing while the file is there: the file is
    // made without a name, noted, then named. Where the file system has no unnamed files (FAT,
    // exFAT, a network share), noteFirst is told of the name before the file is made, and of the
    // file right after. False, with *why, when noteFirst says no (nothing is then left) or the
    // file cannot be made; what noteFirst noted is the caller's to take back then.
    bool createNotedFile(const QString &name, const NoteFirst &noteFirst, QString *why = nullptr) const;

    // Removes a file or link in the folder (never what a link leads to); a folder is refused.
    bool removeFile(const QString &name, QString *why = nullptr) const;
    using MayRemove = std::function<bool(const QString &relative, const struct stat &st)>;
    // Removes the folder name in this folder with everything below it, never following a link
    // and never leaving the folder's disk. With mayRemove, a file goes only when it answers yes
    // for it (its path relative to the removed folder, and what lstat says of it) and the name
    // still leads to that very file: it is moved first into a folder of this account's alone
    // inside the removed one (asideName), and removed there only when it is the file listed;
    // another put under its name meanwhile goes back. A folder goes only once it is empty; a
    // name that is no folder stays. What a removal cut short left in that folder goes back to
    // its place first. The paths of what stayed, relative to this folder, in *stayed. True when
    // name is gone.
    bool removeTree(const QString &name, QStringList *stayed = nullptr, const MayRemove &mayRemove = {}) const;
    // Puts what a removal cut short left aside in the folder name back in its place (a file
    // whose place is taken stays aside); false when something stays there.
    bool putBackSetAside(const QString &name) const;
    // The folder a checked removal moves files into, inside the removed folder.
    static QString asideName();
    // Gives the file or link name in this folder a second name toName in folder to (a link
    // stays a link); where the disk has no second names, or refuses one, a copy with its
    // permissions and date. Nothing is replaced.
    bool linkOrCopyTo(const QString &name, const FolderHandle &to, const QString &toName, QString *why = nullptr) const;
    // Moves name in this folder to toName in folder to (the same disk), replacing nothing: a
    // name taken there is refused (EEXIST). Where the disk cannot rename without replacing (a
    // network share), a file gets its second name first (which replaces nothing either) and loses
    // its first; a folder, or a file on a disk without second names, is looked at first.
    bool moveTo(const QString &name, const FolderHandle &to, const QString &toName, QString *why = nullptr) const;
    // Syncs the folder itself, so that names made, moved or removed in it outlast a power cut.
    bool sync(QString *why = nullptr) const;

    // ---- What callers outside the write layer once did by path: files opened to be written,
    // archives put in place, class files renamed, first-run files dated ----
    // The folder at path held open, made first where missing as a path is made: the part of the
    // path that is there is followed as it leads (the application folder may lie behind a link),
    // each missing step made and entered without following a link.
    static FolderHandle makePath(const QString &path, QString *why = nullptr);
    // The part of path that is there, held open as makePath holds it, and in *missing (when
    // given) the steps below it that are not ("Pollix/Data"; empty when path is there): what
    // makePath would make in it, looked at without making anything.
    static FolderHandle openNearest(const QString &path, QString *missing = nullptr, QString *why = nullptr);
    // Makes a new file as createNotedFile does and hands back its descriptor, open to read and
    // write (the caller's to close): what is written through it goes to the very file noted,
    // whatever is put under its name meanwhile. -1 with *why, and errno the system's error.
    int createNotedFileOpen(const QString &name, const NoteFirst &noteFirst, QString *why = nullptr) const;
    // A new file under name, open to read and write (the descriptor is the caller's): the file or
    // link that lay there goes first (never what a link leads to; a folder refuses). -1 with *why.
    int createToWrite(const QString &name, QString *why = nullptr) const;
    // Moves name in this folder to toName in folder to (the same disk), replacing the file or link
    // there (never what a link leads to; a folder there refuses): for what is meant to replace, as
    // a backup archive saved over an older one.
    bool moveOver(const QString &name, const FolderHandle &to, const QString &toName, QString *why = nullptr) const;
    // Renames name to toName in this folder, replacing nothing but the very same file under
    // another spelling (a change of letter case on a disk that ignores case); anything else under
    // toName refuses (EEXIST).
    bool renameKeepingOthers(const QString &name, const QString &toName, QString *why = nullptr) const;
    // Dates the file name in the folder (its time of modification, to the second), never what a
    // link there leads to.
    bool setModified(const QString &name, const QDateTime &when, QString *why = nullptr) const;

    // ---- Listings that look at no entry, and the application folder's lock ----
    // One name a listing holds, with its kind as the listing tells it, without a look at the
    // entry (a link is a link; Missing where the file system does not tell).
    struct Name
    {
        QString name;
        RecordFile::Kind kind = RecordFile::Kind::Missing;
    };
    // What the folder holds, by name alone: each look at an entry (stat) is a round trip on a
    // network share, so work that wants a few of many entries looks at those alone (kindAt).
    // None with *why when the folder cannot be read.
    std::optional<QList<Name>> names(QString *why = nullptr) const;
    // The file name in the folder opened to take the kernel's lock on it (flock): to read and
    // write where this account may (a network share locks no file opened only to read), else to
    // read; made when missing with create. Never through a link, nor waiting on a pipe under the
    // name. The descriptor is the caller's; -1 with errno set.
    int openToLock(const QString &name, bool create) const;
    // Makes a new file under name (none may lie there) holding bytes, synced, and hands back its
    // descriptor (the caller's) under the kernel's lock (flock) of this process, held from before
    // the file has its name where the disk makes files without one, else from right after its
    // making: a start that tidies what interrupted writes left sees the file is still being worked
    // on (SideFiles::removeIn). Where the disk has no such locks the file is made unlocked. -1
    // with *why when it cannot be made, or when another process took it away in the moment
    // before the lock (*takenAway then, nothing left of it by this call): another name is tried.
    int createLockedFile(const QString &name, const QByteArray &bytes, QString *why = nullptr, bool *takenAway = nullptr) const;

private:
    FolderHandle(int fd, const QString &path) : m_fd(fd), m_path(path) {}
    FolderHandle walk(const QString &relative, bool make, QString *why) const;
    bool writeNew(const QString &name, const QByteArray &bytes, mode_t mode, const QDateTime &modified, bool sync,
                  QString *why) const;
    struct Removal;
    bool removeTreeBelow(const QString &relative, Removal &removal) const;

    int m_fd = -1;
    QString m_path;

public:
    // ---- The write layer's own steps (AtomicFile, AtomicFileSet, ChangeJournal, FolderSwap):
    // files written, put in place and checked to be the very files written, names exchanged,
    // and what a disk cannot hold ----

    // Writes bytes whole into the new file name (nothing may lie there; never through a link)
    // and syncs it: only a synced file may take an old one's place. mode: its permissions (0: a
    // new file's under the umask). *written gets what the file is (its device and inode), which
    // the rename that puts it in place checks. 0, or the system's error with the file gone
    // again; *made: whether the folder took the file at all.
    int writeSynced(const QString &name, const QByteArray &bytes, mode_t mode, struct stat *written, bool *made) const;
    // The same for a new file that holds a note naming itself: note(what the file is) gives its
    // bytes. Where the disk makes files without a name, the file gets its name only once it
    // holds its note and is synced, so that whatever ends Pollix, the name leads to a file that
    // says it is Pollix's; elsewhere its note follows its making at once.
    int writeSelfNoted(const QString &name, const std::function<QByteArray(const struct stat &)> &note, struct stat *written) const;
    // Whether this account may write the file name holds (as the system's access check says).
    bool mayWrite(const QString &name) const;
    // Whether name leads to the very file written (a regular file of its device and inode), not
    // followed.
    bool leadsTo(const QString &name, const struct stat &written) const;
    // Whether name leads to the file written (written: its stamp right after the write) and holds
    // what was written: its size and time of modification as they were then (a rename moves the
    // change time on some disks, never these). A program that wrote into the file since, in place
    // as cp does, changed them (ContentHash::sameFileAndBytes). Where the disk's stamps vouch for
    // nothing (a network share, a FUSE disk, whose server may date the file again as it likes, or
    // a disk whose stamps count whole seconds: ContentHash::stampsExactOn), its size alone tells.
    bool holdsWritten(const QString &name, const struct stat &written) const;
    // Removes name when it still leads to the file written (what was put under its name
    // meanwhile is not Pollix's, and stays).
    void removeWritten(const QString &name, const struct stat &written) const;
    // Renames name over toName in this folder, replacing what lies there (a link is replaced,
    // never followed). With written, toName must then lead to that very file, else the answer is
    // false, saying so; what the rename replaced is the caller's to put back.
    bool renameOver(const QString &name, const QString &toName, QString *why, const struct stat *written = nullptr) const;
    // The file written, under name, takes the place of toName, and toName then leads to that very
    // file: where something else lies under name right before (a link, a pipe, a folder, another
    // file's second name), nothing is replaced and the answer is false. The names change places in
    // one step where the disk can do it, so nothing is ever missing; elsewhere what toName holds
    // keeps a second name (or a synced copy) until the rename is checked, unless the caller kept
    // the old bytes itself (oldKept). What was replaced goes. A toName gone meanwhile is made.
    // mayReplace, when given, is asked of what toName held, by the name it lies under then (name,
    // right after the exchange; toName, before the second name is made and again right before the
    // rename, where the disk cannot exchange): a reason it gives takes the file written back out
    // (toName holding what it held) and is the answer's why; a name found empty after the
    // exchange held what was replaced, which another start's recovery has removed since.
    // What toName holds right after the exchange or the rename must be the file written, as
    // written (holdsWritten): anything else came in at that very moment (another program's save
    // renamed over it, or copied into the file written in place) and stays in
    // place, neither put back nor removed; the answer is false, with mayReplace's reason for it
    // (or, where it gives none, that another program replaced the file meanwhile), and what was
    // replaced goes as when the save had landed. No call of the system replaces a name only while
    // it still leads to a given file, so what comes in between the last look and the exchange or
    // rename (two calls back to back) is what a save cannot tell; every look is made right before.
    bool replaceChecked(const QString &name, const QString &toName, const struct stat &written, QString *why,
                        const std::function<QString(const QString &held)> &mayReplace = {}, bool oldKept = false) const;
    // The same for a toName that is not there: moved replacing nothing (moveTo); something else
    // than the file written goes back under name, and the file written with another program's
    // bytes copied into it since stays where it is, the answer false.
    bool moveChecked(const QString &name, const QString &toName, const struct stat &written, QString *why) const;
    // Exchanges the names of two entries of this folder in one step. *unsupported: the disk has
    // no such step (a network share, FAT); nothing changed then.
    bool exchange(const QString &name, const QString &otherName, QString *why, bool *unsupported = nullptr) const;
    // Makes the new folder name (none may lie there) with mode, and opens it.
    FolderHandle makeNewFolder(const QString &name, mode_t mode, QString *why = nullptr) const;
    // Removes the empty folder name (one that holds anything stays).
    bool removeEmptyFolder(const QString &name, QString *why = nullptr) const;
    // Why this folder cannot hold the names Pollix gives its files (a session's holds the ':' of
    // its time), in the system's words, found by making such a file in it and removing it; empty
    // when it can, and when nothing can be made there at all.
    QString namesRefused() const;
    // Why no new file can be made in this folder, in the system's words ("Permission denied",
    // "Read-only file system"), found the same way; empty when one can.
    QString newFilesRefused() const;
    // Removes what those trials left in this folder when a kill cut them short: each regular file
    // named as they name theirs that holds the note naming that very file (its device and inode).
    // Anything else named so, a copy of such a file too, stays.
    void removeTrialsLeft() const;
    // The disk that holds this folder in a teacher's words ("a disk formatted as exFAT", also
    // through FUSE); empty when it is of no kind a teacher would know by name (DiskNames).
    QString describeDisk() const;

    // Tests: the moments of a replacement at which another program's save matters most, each told
    // with the target's path from the thread that replaces: AboutToExchange (every look before
    // the exchange made), Exchanged (the two names changed places, nothing looked at yet), OldKept
    // (where the disk cannot exchange, the old file's second name or copy made, right before the
    // last looks and the rename), Renamed (a rename put the file in place, nothing looked at yet).
    enum class Moment { AboutToExchange, Exchanged, OldKept, Renamed };
    static void setMomentHook(std::function<void(Moment moment, const QString &path)> hook);

    // Tests: what some disks refuse (FAT and exFAT, some network shares), refused here as
    // there: second names of files (hard links, and with them files made without a name, which
    // only a second name could name), renames that replace nothing or exchange two names, and
    // ':' in the name of a file made.
    struct Refusals
    {
        bool hardLinks = false;
        bool renameFlags = false;
        bool colons = false;
    };
    static void setRefusalsForTesting(const Refusals &refusals);

private:
    // Why a save failed whose side file name no longer led to the file written for toName.
    QString notTheFileWritten(const QString &name, const QString &toName) const;
    static void reachedMoment(Moment moment, const QString &path);
};
