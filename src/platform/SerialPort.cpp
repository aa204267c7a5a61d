#include "SerialPort.h"

#include "Log.h"
#include "SerialSpeed.h"
#include "Uninterrupted.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

// The descriptors this process holds in exclusive use, so that the end of the process can give
// the ports up as well (nothing else closes them then).
std::mutex &exclusiveMutex()
{
    static std::mutex m;
    return m;
}

std::vector<int> &exclusiveFds()
{
    static std::vector<int> fds;
    return fds;
}

void holdExclusive(int fd)
{
    static std::once_flag atExit;
    std::lock_guard lock(exclusiveMutex());
    exclusiveFds().push_back(fd);
    // Registered after the list exists, so it runs before the list is destroyed.
    std::call_once(atExit, [] { std::atexit(&SerialPort::releaseAllForExit); });
}

// Exclusive use first, then the descriptor: a hung-up port refuses the ioctl, which is fine, as
// its terminal goes with it.
void letGo(int fd)
{
    {
        std::lock_guard lock(exclusiveMutex());
        auto &fds = exclusiveFds();
        fds.erase(std::remove(fds.begin(), fds.end(), fd), fds.end());
    }
    ioctl(fd, TIOCNXCL);
    ::close(fd);
}

// Every byte or false, with errno saying why.
bool writeWhole(int fd, const char *bytes, int size)
{
    // Output queue full: wait until the line takes more, but never forever: a second in all
    // without a byte taken ends it, whatever the driver says of its readiness meanwhile.
    constexpr int kMostStallMs = 1000;
    QDeadlineTimer stalled(kMostStallMs);
    int done = 0;
    while (done < size) {
        const ssize_t n = Uninterrupted::call([&] { return ::write(fd, bytes + done, size_t(size - done)); });
        if (n > 0) {
            done += int(n);
            stalled.setRemainingTime(kMostStallMs);
            continue;
        }
        if (n < 0 && errno == EAGAIN && !stalled.hasExpired()) {
            struct pollfd pfd {fd, POLLOUT, 0};
            const int ready = Uninterrupted::call([&] { return poll(&pfd, 1, int(stalled.remainingTime())); });
            if (ready > 0 && !(pfd.revents & (POLLERR | POLLHUP)))
                continue;
            if (ready == 0)
                errno = EAGAIN;
        }
        return false;
    }
    return true;
}

// What is waiting, without blocking: -1 error, else the count.
int readWaiting(int fd, char *buffer, int maxBytes)
{
    const ssize_t n = Uninterrupted::call([&] { return ::read(fd, buffer, size_t(maxBytes)); });
    if (n >= 0)
        return int(n);
    return errno == EAGAIN ? 0 : -1;
}

speed_t standardSpeed(int baud)
{
    switch (baud) {
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    default: return 0;
    }
}

} // namespace

SerialPort::~SerialPort()
{
    close();
}

void SerialPort::releaseAllForExit()
{
    std::lock_guard lock(exclusiveMutex());
    for (int fd : exclusiveFds())
        ioctl(fd, TIOCNXCL);
    exclusiveFds().clear();
}

QString SerialPort::accessGroup(const QString &path)
{
    struct stat info {};
    const mode_t groupReadsAndWrites = S_IRGRP | S_IWGRP;
    if (::stat(path.toLocal8Bit().constData(), &info) == 0 && info.st_gid != 0
        && (info.st_mode & groupReadsAndWrites) == groupReadsAndWrites) {
        if (const struct group *g = ::getgrgid(info.st_gid))
            return QString::fromLocal8Bit(g->gr_name);
    }
    return QStringLiteral("dialout");
}

bool SerialPort::open(const QString &path, int baud)
{
    close();
    QElapsedTimer clock;
    clock.start();
    const QByteArray p = path.toLocal8Bit();
    auto refuse = [&](int err) {
        const QString why = QString::fromLocal8Bit(strerror(err));
        if (err == EBUSY) {
            m_openError = OpenError::InUse;
            m_lastError = QStringLiteral("%1 is in use by another program").arg(path);
        } else if (err == EACCES || err == EPERM) {
            m_openError = OpenError::NoPermission;
            m_lastError = QStringLiteral("%1 may not be opened by this account (%2)").arg(path, why);
        } else {
            m_openError = OpenError::Other;
            m_lastError = QStringLiteral("%1: %2").arg(path, why);
        }
        PollixLog(QStringLiteral("open failed."));
        PollixLog(m_lastError);
        return false;
    };
    int fd = ::open(p.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return refuse(errno);
    auto fail = [&](const char *what) {
        m_openError = OpenError::Setup;
        m_lastError = QStringLiteral("%1: %2: %3").arg(path, QLatin1String(what), QString::fromLocal8Bit(strerror(errno)));
        PollixLog(m_lastError);
        letGo(fd);
        return false;
    };
    // Root may open a port that another program holds exclusively; it must not share it either.
    int heldElsewhere = 0;
    if (ioctl(fd, TIOCGEXCL, &heldElsewhere) == 0 && heldElsewhere) {
        ::close(fd);
        return refuse(EBUSY);
    }
    holdExclusive(fd);
    if (ioctl(fd, TIOCEXCL) != 0)
        return fail("TIOCEXCL");
    // Reads stay non-blocking: the link reads only when the port is readable, and a read must never
    // hold the GUI thread.
    struct termios attrs {};
    if (tcgetattr(fd, &attrs) != 0)
        return fail("tcgetattr");
    cfmakeraw(&attrs);
    attrs.c_cc[VMIN] = 0;
    attrs.c_cc[VTIME] = 0;
    attrs.c_cflag &= ~(PARENB | CSTOPB | CSIZE | CRTSCTS);
    attrs.c_cflag |= CS8 | CLOCAL | CREAD;
    const speed_t std = standardSpeed(baud);
    if (std != 0)
        cfsetspeed(&attrs, std);
    if (tcsetattr(fd, TCSANOW, &attrs) != 0)
        return fail("tcsetattr");
    if (std == 0) {
        const int err = setSerialSpeedTermios2(fd, baud);
        if (err != 0) {
            errno = err;
            return fail("speed");
        }
    }
    // DTR pulse and modem lines: a pseudo-terminal has none; not fatal.
    int lines = TIOCM_DTR;
    if (ioctl(fd, TIOCMBIS, &lines) != 0 || ioctl(fd, TIOCMBIC, &lines) != 0)
        PollixLogf("modem line control refused: %s", strerror(errno));
    lines = TIOCM_DTR | TIOCM_RTS | TIOCM_CTS | TIOCM_DSR;
    if (ioctl(fd, TIOCMSET, &lines) != 0 || ioctl(fd, TIOCMGET, &lines) != 0)
        PollixLogf("modem line setting refused: %s", strerror(errno));
    // Lowest receive latency the driver offers (the FTDI latency timer follows this flag).
    struct serial_struct serial {};
    if (ioctl(fd, TIOCGSERIAL, &serial) == 0) {
        serial.flags |= ASYNC_LOW_LATENCY;
        if (ioctl(fd, TIOCSSERIAL, &serial) != 0)
            PollixLogf("low latency refused: %s", strerror(errno));
    } else {
        PollixLogf("low latency refused: %s", strerror(errno));
    }
    {
        std::lock_guard lock(m_mutex);
        m_fd = fd;
    }
    m_lastError.clear();
    m_openError = OpenError::None;
    PollixLogf("time : %.2f", clock.nsecsElapsed() / 1e9);
    return true;
}

void SerialPort::close()
{
    std::lock_guard lock(m_mutex);
    if (m_fd >= 0) {
        letGo(m_fd);
        m_fd = -1;
    }
}

bool SerialPort::write(const char *bytes, int size)
{
    std::lock_guard lock(m_mutex);
    if (m_fd < 0 || size < 0)
        return false;
    if (writeWhole(m_fd, bytes, size))
        return true;
    m_lastError = QString::fromLocal8Bit(strerror(errno));
    return false;
}

int SerialPort::readSome(char *buffer, int maxBytes)
{
    const int fd = m_fd;
    return fd < 0 ? -1 : readWaiting(fd, buffer, maxBytes);
}

SerialPort::Duplicate::Duplicate(SerialPort &port) : m_port(port)
{
    std::lock_guard lock(port.m_mutex);
    if (port.m_fd >= 0)
        m_fd = ::fcntl(port.m_fd, F_DUPFD_CLOEXEC, 0);
}

SerialPort::Duplicate::~Duplicate()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool SerialPort::Duplicate::write(const char *bytes, int size)
{
    std::lock_guard lock(m_port.m_mutex);
    return m_fd >= 0 && size >= 0 && writeWhole(m_fd, bytes, size);
}

int SerialPort::Duplicate::readSome(char *buffer, int maxBytes)
{
    return m_fd < 0 ? -1 : readWaiting(m_fd, buffer, maxBytes);
}

SerialPort::ReadStatus SerialPort::read(QByteArray &into, int maxBytes)
{
    const int fd = m_fd;
    if (fd < 0)
        return ReadStatus::HangUp;
    char buffer[4096];
    bool any = false;
    int total = 0;
    while (total < maxBytes) {
        const int n = readWaiting(fd, buffer, sizeof buffer);
        if (n < 0) {
            m_lastError = QString::fromLocal8Bit(strerror(errno));
            return any ? ReadStatus::Data : ReadStatus::HangUp;
        }
        if (n == 0)
            break;
        into.append(buffer, n);
        total += n;
        any = true;
    }
    if (any)
        return ReadStatus::Data;
    // Readable but nothing to read: the device has gone if the line reports a hang-up.
    struct pollfd pfd {fd, POLLIN, 0};
    if (poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)))
        return ReadStatus::HangUp;
    return ReadStatus::NoData;
}

int SerialPort::bytesWaiting() const
{
    int n = 0;
    const int fd = m_fd;
    if (fd < 0 || ioctl(fd, FIONREAD, &n) != 0)
        return 0;
    return n;
}

bool SerialPort::flush()
{
    const int fd = m_fd;
    return fd >= 0 && tcflush(fd, TCIOFLUSH) == 0;
}
