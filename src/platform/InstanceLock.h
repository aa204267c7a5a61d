#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

// One Pollix per application folder: a lock file in the folder, held while the program runs.
// The lock of a process that is gone (ended, killed, crashed) is taken over; that of a process
// still running is not, and whoever finds it learns where that process runs and can ask it to
// bring its window to the front (through a local socket named after the folder).
class InstanceLock : public QObject
{
    Q_OBJECT
public:
    explicit InstanceLock(const QString &applicationFolder, QObject *parent = nullptr);
    ~InstanceLock() override;

    // The lock file's name in the application folder.
    static QString lockFileName();

    enum class Outcome {
        Taken,      // this process holds the folder now
        HeldByOther // another running Pollix holds it (owner() says which)
    };
    // Takes the lock, making the folder when it is missing. A folder where no lock can be made
    // (read-only, no permission) is Taken too, unlocked: nothing can be written there to clash.
    Outcome take();
    bool isHeld() const;
    QString folder() const { return m_folder; }

    struct Owner
    {
        qint64 pid = 0;
        QString host;
    };
    // After HeldByOther: the process holding the folder, as its lock file says.
    Owner owner() const { return m_owner; }

    // Asks the holder of the folder to bring its window to the front; false when it could not
    // be reached (it runs on another computer, or has not started listening yet).
    bool askOwnerToComeForward(int timeoutMs = 2000) const;

signals:
    // Another start on this folder asked this process to show itself.
    void comeForwardRequested();

private:
    QString socketName() const;
    void listen();

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    Owner m_owner;
    bool m_held = false;
};
