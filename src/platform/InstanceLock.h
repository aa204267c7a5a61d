#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

#include <sys/types.h>

class FolderHandle;
class QFileSystemWatcher;
class QLocalServer;
class QTimer;

// One Pollix per application folder: a lock file (".pollix.lock") held while the program runs.
//
// Whether a Pollix holds the folder is told by the kernel's own lock on that file (flock), which
// ends with the process that holds it, not by the process number the file names: a file left by
// a process that is gone, one copied along with its folder, or one naming a number the system has
// since given to another process is taken over. The file says who made it (process, computer,
// folder, when); it is written whole under a second name and renamed into place, always by the
// holder of the kernel's lock on the file it replaces.
//
// A lock made on another computer is not taken over by itself: over a network share the kernel's
// lock may not reach that computer, so whether its Pollix still runs is the teacher's to say
// (takeOver).
//
// The lock lives in the application folder or, where no lock can be made there (a school image,
// whose application folder cannot be written, a folder in the lock's place, a disk that fails the
// rename), in the data folder, where Pollix writes. Where neither holds one, the folder is not
// taken: two Pollix on it would overwrite each other's work, and one that can write nothing there
// has nothing to work in. A
// holder can be asked to bring its window to the front through a local socket named after the
// application folder's real path, the same whichever way the folder is reached (a symbolic link
// included).
class InstanceLock : public QObject
{
    Q_OBJECT
public:
    // dataFolder: where the lock goes when the application folder itself cannot be written.
    explicit InstanceLock(const QString &applicationFolder, const QString &dataFolder = {}, QObject *parent = nullptr);
    ~InstanceLock() override;

    // The lock file's name.
    static QString lockFileName();

    enum class Outcome {
        Taken,              // this process holds the folder now
        HeldByOther,        // a running Pollix of this computer holds it (owner() says which)
        HeldOnOtherComputer, // the lock was made on another computer (owner() says which, and when)
        Unavailable,         // no lock could be made, though the folder can be written (whyNotLocked())
        Unwritable           // no lock could be made, as neither place can be written (whyNotLocked())
    };
    // Takes the lock, making the application folder when it is missing.
    Outcome take();
    // After Unavailable or Unwritable: each lock file tried and why it could not be made, one a
    // line.
    QString whyNotLocked() const { return m_whyNotLocked; }
    // After HeldOnOtherComputer, when the teacher says the Pollix there no longer runs: takes the
    // folder all the same; after takenByOtherComputer, takes it back. False (with why) when the
    // lock file could not be written, and after takenByOtherStart: the other Pollix holds the
    // kernel's lock, which no Pollix takes from a process that runs.
    bool takeOver(QString *errorText = nullptr);
    // Gives the folder up: the lock file goes and the kernel's lock is released.
    void release();
    bool isHeld() const { return m_held->fd >= 0; }

    // The application folder's real path.
    QString folder() const { return m_folder; }
    // Where the lock file is (after take).
    QString lockPath() const { return m_held->lockPath; }

    struct Owner
    {
        qint64 pid = 0;
        QString host;
        QString folder;
        QDateTime written; // UTC; invalid when the file does not say
    };
    // After HeldByOther or HeldOnOtherComputer: who made the lock, as its file says.
    Owner owner() const { return m_owner; }
    // What a lock file says; nothing when it cannot be read or is empty.
    static std::optional<Owner> readOwner(const QString &lockPath);

    // Asks the holder of the folder to bring its window to the front. True only when it answered,
    // within timeoutMs, that it did; false when it runs on another computer, did not answer (it is
    // frozen or busy), had no window to show, or is ending: *finishing then gets the word by which
    // it names the work it finishes before it lets go of the folder.
    bool askOwnerToComeForward(int timeoutMs = 2000, QByteArray *finishing = nullptr) const;
    // What this process does when another start on the folder asks it to come forward; true when a
    // window was brought to the front.
    void setComeForwardHandler(std::function<bool()> handler) { m_comeForward = std::move(handler); }
    // Asked at each such request: a word (letters only) naming the work this process finishes
    // before it lets go of the folder, as it ends; empty while it is not ending.
    void setFinishingQuery(std::function<QByteArray()> query) { m_finishing = std::move(query); }

    // While held: when the lock file is gone or was replaced (deleted by a clean-up, a copy put in
    // its place), it is made again. When it was replaced by the lock of another computer, whose
    // Pollix opened the folder anyway, it is left as it is: takenByOtherComputer is signalled
    // (owner() says which computer), and until takeOver no file that is there in the folder is
    // changed by this process (AtomicFile::refuseChangesIn). Runs by itself at once when the
    // lock's folder changes, and every few seconds for network shares, whose changes made
    // elsewhere are not told. Its come-forward socket, gone or replaced meanwhile, is made again.
    // When, meanwhile, another start of this computer took the folder (the file was removed while
    // this process did not answer, frozen or stopped), that one holds it now: this process says
    // so once (takenByOtherStart), changes no file that is there in the folder from then on
    // (AtomicFile::refuseChangesIn), stops looking at the folder, which its own side files would
    // only change again, and leaves the other's lock file and come-forward socket alone, also
    // as it ends.
    void keepFileInPlace();
    // Another computer has the folder open now (until takeOver).
    bool isTakenByOtherComputer() const { return m_takenByOther; }
    // Another start of this computer holds the folder now (owner() says which process).
    bool isTakenByOtherStart() const { return m_takenByOtherStart; }

    // Asked from any thread (AtomicFile::setHolderCheck): while the folder is held, whether
    // another start of this computer has taken it meanwhile, as the kernel's lock of the file in
    // the lock's place says; the reason ("Another Pollix on this computer (process ...) has this
    // application folder open now."), or empty. Found so, the look of keepFileInPlace is made at
    // once on this object's thread, which says so to the teacher.
    QString lostToOtherStart() const;

    // Tests: called as a start that took the lock begins to listen for other starts (lockPath:
    // its lock file), before it looks whether that file is still its own.
    static void setListenHook(std::function<void(const QString &lockPath)> hook);
    // Tests: the steps of taking the lock in a place, each told as it is reached on the taking
    // thread: TrialMade (this process's own lock file made whole under a second name, under its
    // kernel lock), LockLookedAt (the file in the lock's place opened and its kernel lock tried,
    // held when free), Placed (the trial renamed into the lock's place: taken).
    enum class Step { TrialMade, LockLookedAt, Placed };
    static void setStepHook(std::function<void(Step)> hook);
    // Where the disk has no kernel locks: whether the start that wrote a lock's trial file (bytes:
    // what it holds) may still run, as the process and computer it names say; one of another
    // computer may, as its processes cannot be seen from here.
    static bool trialMayBeInUse(const QByteArray &bytes);

signals:
    void takenByOtherComputer();
    void takenByOtherStart();

private:
    // The lock file held, shared with the holder check (AtomicFile::setHolderCheck), which may
    // still be under way on another thread when this object is gone: that check holds this,
    // never the lock.
    struct Held
    {
        std::mutex mutex; // fd, lockPath and file are changed on the lock's thread only, under it
        int fd = -1;
        QString lockPath;
        std::pair<dev_t, ino_t> file{0, 0}; // the held file's device and inode
        InstanceLock *lock = nullptr;       // told when the folder was found taken; none once it goes
    };
    static QString lostWhy(Held &held);

    Outcome acquire(bool overOtherComputer, QString *errorText);
    bool takeBack(QString *errorText);
    void watch();
    void yieldToOtherStart(const QString &lockPath);
    // Takes the lock in place: Unavailable (with why, and whether the place can be written at
    // all) when this process's lock file cannot be made or put in place there.
    Outcome lockIn(const QString &place, bool overOtherComputer, int *heldFd, QString *why, bool *writable);
    // Takes the lock in folder, held open; sideFile (a name in it) holds this process's own lock
    // file, written whole, open as mine under this process's kernel lock, which holds the folder
    // once the file is renamed into place.
    Outcome lockAt(const FolderHandle &folder, const QString &sideFile, int mine, bool overOtherComputer, QString *why);
    // A running Pollix of this computer holds the lock of one of the other places.
    bool heldElsewhere(const QString &place);
    QStringList places() const;
    // The folders whose files the lock guards from another Pollix (AtomicFile's checks): where
    // they really lie, and as the program was given them (a link to them included).
    QStringList guardedFolders() const;
    // The lock file in its place is the one held.
    bool lockFileInPlace() const;
    QByteArray ownContent() const;
    QString socketName() const;
    void listen();
    // While held: listens again when the socket file under the name is no longer this one's.
    void keepSocketInPlace();
    // Sets the lock file held, under m_held's mutex (lostToOtherStart reads it from other
    // threads); the descriptor held before is closed.
    void setHeld(int fd, const QString &lockPath);
    static QString otherStartReason(qint64 pid);

    QString m_folder;
    QString m_dataFolder;
    QStringList m_givenFolders; // as the program named them
    QString m_whyNotLocked;
    std::shared_ptr<Held> m_held = std::make_shared<Held>();
    QLocalServer *m_server = nullptr;
    std::pair<dev_t, ino_t> m_socketFile{0, 0}; // the listening socket's file, as made
    QTimer *m_keepTimer = nullptr;
    QFileSystemWatcher *m_watcher = nullptr;
    bool m_takenByOther = false;
    bool m_takenByOtherStart = false;
    Owner m_owner;
    std::function<bool()> m_comeForward;
    std::function<QByteArray()> m_finishing;
};
