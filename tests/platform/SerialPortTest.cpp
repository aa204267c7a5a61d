#include "platform/SerialPort.h"
#include "support/OrdinaryUser.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// The far side of a pseudo-terminal stays open for the whole test, as a receiver's does: the
// terminal, and whatever flag is left on it, lives as long as that.
class PseudoTerminal
{
public:
    PseudoTerminal()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        char name[256];
        if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0 && ptsname_r(m_master, name, sizeof name) == 0)
            m_path = QString::fromLocal8Bit(name);
    }
    ~PseudoTerminal()
    {
        if (m_master >= 0)
            ::close(m_master);
    }
    QString path() const { return m_path; }

private:
    int m_master = -1;
    QString m_path;
};

// Another program on the port, holding it exclusively as a careful one does.
int holdExclusively(const QString &path)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0 && ioctl(fd, TIOCEXCL) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool heldExclusively(int fd)
{
    int held = 0;
    return ioctl(fd, TIOCGEXCL, &held) == 0 && held != 0;
}

} // namespace

TEST(SerialPortAsOrdinaryUser, ExclusiveUseEndsWhenThePortIsClosedAndAtTheEndOfTheProcess)
{
    POLLIX_AS_ORDINARY_USER();
    PseudoTerminal pty;
    ASSERT_FALSE(pty.path().isEmpty());

    // Probing and then opening for good is the same port opened twice in a row.
    SerialPort probe;
    ASSERT_TRUE(probe.open(pty.path(), 115200)) << probe.lastError().toStdString();
    SerialPort second;
    EXPECT_FALSE(second.open(pty.path(), 115200)) << "exclusive while open";
    EXPECT_EQ(second.lastOpenError(), SerialPort::OpenError::InUse);
    probe.close();
    ASSERT_TRUE(second.open(pty.path(), 28800)) << second.lastError().toStdString();
    EXPECT_EQ(second.lastOpenError(), SerialPort::OpenError::None);
    EXPECT_TRUE(second.lastError().isEmpty());

    // At exit the process lets go of what it still holds open.
    SerialPort::releaseAllForExit();
    const int after = ::open(pty.path().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    EXPECT_GE(after, 0) << "the port was still held exclusively";
    if (after >= 0)
        ::close(after);
    second.close();
    {
        SerialPort again;
        ASSERT_TRUE(again.open(pty.path(), 115200));
    } // and when the port object goes
    const int last = holdExclusively(pty.path());
    EXPECT_GE(last, 0);
    if (last >= 0)
        ::close(last);
}

TEST(SerialPortAsOrdinaryUser, APortAnotherProgramHoldsIsRefusedByNameAndLeftHeld)
{
    POLLIX_AS_ORDINARY_USER();
    PseudoTerminal pty;
    ASSERT_FALSE(pty.path().isEmpty());
    const int other = holdExclusively(pty.path());
    ASSERT_GE(other, 0);

    SerialPort port;
    EXPECT_FALSE(port.open(pty.path(), 115200));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.lastOpenError(), SerialPort::OpenError::InUse);
    EXPECT_EQ(port.lastError(), pty.path() + " is in use by another program");
    EXPECT_TRUE(heldExclusively(other)) << "the refusal must not end the other program's hold";

    // Once the other program lets go, the port is ours.
    ioctl(other, TIOCNXCL);
    ::close(other);
    EXPECT_TRUE(port.open(pty.path(), 115200)) << port.lastError().toStdString();
}

TEST(SerialPort, APathThatOpensButIsNoSerialLineIsToldApartFromOneThatDoesNotOpen)
{
    // A model's probe that the port's driver will not set up leaves the next model its own try;
    // a port that does not open at all refuses every model alike.
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("not-a-port"));
    QFile file(plain);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    SerialPort port;
    EXPECT_FALSE(port.open(plain, 28800));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.lastOpenError(), SerialPort::OpenError::Setup);
    EXPECT_TRUE(port.lastError().startsWith(plain + ": TIOCEXCL: ")) << port.lastError().toStdString();

    EXPECT_FALSE(port.open(dir.filePath(QStringLiteral("gone")), 115200));
    EXPECT_EQ(port.lastOpenError(), SerialPort::OpenError::Other);
}
