#include "InstanceLock.h"

#include "Log.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QSysInfo>
#include <QThread>

#include <algorithm>

namespace {
constexpr char kComeForward[] = "come forward\n";
} // namespace

InstanceLock::InstanceLock(const QString &applicationFolder, QObject *parent)
    : QObject(parent), m_folder(QDir::cleanPath(QDir(applicationFolder).absolutePath()))
{
}

InstanceLock::~InstanceLock()
{
    if (m_server)
        m_server->close();
    if (m_lock && m_held)
        m_lock->unlock();
}

QString InstanceLock::lockFileName()
{
    return QStringLiteral(".pollix.lock");
}

InstanceLock::Outcome InstanceLock::take()
{
    if (m_held)
        return Outcome::Taken;
    QDir().mkpath(m_folder);
    m_lock = std::make_unique<QLockFile>(m_folder + QLatin1Char('/') + lockFileName());
    // Held for as long as the program runs: never taken over for its age, only when its process
    // is gone (QLockFile checks the process and holds an advisory lock that dies with it).
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        m_held = true;
        listen();
        return Outcome::Taken;
    }
    if (m_lock->error() != QLockFile::LockFailedError) {
        PollixLog(QStringLiteral("No lock can be made in %1; going on without one").arg(m_folder));
        return Outcome::Taken;
    }
    QString app;
    if (!m_lock->getLockInfo(&m_owner.pid, &m_owner.host, &app))
        m_owner = {};
    PollixLog(QStringLiteral("%1 is held by process %2 on %3").arg(m_folder).arg(m_owner.pid).arg(m_owner.host));
    return Outcome::HeldByOther;
}

bool InstanceLock::isHeld() const
{
    return m_held;
}

QString InstanceLock::socketName() const
{
    // Unix socket paths are short: a digest of the folder, not the folder itself.
    const QByteArray digest = QCryptographicHash::hash(QFile::encodeName(m_folder), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("pollix-%1").arg(QString::fromLatin1(digest.left(20)));
}

void InstanceLock::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Holding the lock, any socket of that name is one a killed Pollix left.
    QLocalServer::removeServer(socketName());
    if (!m_server->listen(socketName())) {
        PollixLog(QStringLiteral("Another start on %1 cannot reach this one: %2").arg(m_folder, m_server->errorString()));
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine())
                    return;
                if (socket->readLine(64) == kComeForward) {
                    PollixLog(QStringLiteral("Another start on %1 asked this window to come forward").arg(m_folder));
                    emit comeForwardRequested();
                }
                socket->disconnectFromServer();
            });
        }
    });
}

bool InstanceLock::askOwnerToComeForward(int timeoutMs) const
{
    if (m_owner.host != QSysInfo::machineHostName() && !m_owner.host.isEmpty())
        return false;
    // The owner takes its lock a moment before it listens: a socket not there yet is asked again
    // until the time is up, not given up on at once.
    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(socketName());
        if (socket.waitForConnected(int(deadline.remainingTime())))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    socket.write(kComeForward);
    return socket.waitForBytesWritten(int(std::max<qint64>(deadline.remainingTime(), 500)));
}
