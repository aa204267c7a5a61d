#include "SimPseudoTerminal.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace keypadsim {

int SimPseudoTerminal::open(QString *path, QString *error)
{
    const int fd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 || grantpt(fd) != 0 || unlockpt(fd) != 0) {
        *error = QStringLiteral("pseudo-terminal: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    char name[256];
    if (ptsname_r(fd, name, sizeof name) != 0) {
        *error = QStringLiteral("ptsname: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        ::close(fd);
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    // Opened and closed once, the program's side shows as hung up (nobody holds the port) until a
    // program opens it, as it does after every close; a side never opened shows nothing.
    const int peer = ::ioctl(fd, TIOCGPTPEER, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (peer >= 0)
        ::close(peer);
    *path = QString::fromLocal8Bit(name);
    return fd;
}

bool SimPseudoTerminal::pointLink(const QString &link, const QString &target, QString *error)
{
    if (link.isEmpty())
        return true;
    const QByteArray linkBytes = QFile::encodeName(link);
    struct stat st {};
    // Only a link of ours is replaced: a file of someone else's at the path is left alone.
    if (::lstat(linkBytes.constData(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        *error = QStringLiteral("%1 exists and is no symbolic link").arg(link);
        return false;
    }
    const QByteArray temporary = linkBytes + ".new";
    ::unlink(temporary.constData());
    if (::symlink(QFile::encodeName(target).constData(), temporary.constData()) != 0
        || ::rename(temporary.constData(), linkBytes.constData()) != 0) {
        *error = QStringLiteral("link %1: %2").arg(link, QString::fromLocal8Bit(strerror(errno)));
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}

void SimPseudoTerminal::removeLink(const QString &link)
{
    if (link.isEmpty())
        return;
    const QByteArray bytes = QFile::encodeName(link);
    struct stat st {};
    if (::lstat(bytes.constData(), &st) == 0 && S_ISLNK(st.st_mode))
        ::unlink(bytes.constData());
}

bool SimPseudoTerminal::leftInExclusiveUse(int masterFd)
{
    // The side the program opens, opened from here as the program would open it: an ordinary
    // account is refused (EBUSY) while exclusive use is on, root is let in and asks.
    const int peer = ::ioctl(masterFd, TIOCGPTPEER, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    bool exclusive = false;
    if (peer < 0) {
        exclusive = errno == EBUSY;
    } else {
        int held = 0;
        exclusive = ::ioctl(peer, TIOCGEXCL, &held) == 0 && held != 0;
        ::close(peer);
    }
    if (!exclusive)
        return false;
    // A program that opened the port since and holds it keeps the hang-up away; only a port that
    // nobody has open is left over.
    struct pollfd master {masterFd, POLLIN, 0};
    return ::poll(&master, 1, 0) == 1 && (master.revents & POLLHUP);
}

} // namespace keypadsim
