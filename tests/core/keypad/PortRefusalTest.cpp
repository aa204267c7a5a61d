#include "support/OrdinaryUser.h"
#include "support/ReceiverTest.h"

#include "core/keypad/DeviceController.h"

#include <QFile>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

using keypadsim::Model;
using keypadsim::SimReceiver;

namespace {

// What the link does with ports an ordinary account cannot open, and that it gives every port
// back whole, so that the account can open it again.
class PortRefusalTest : public ReceiverTest
{
protected:
    void SetUp() override
    {
        ReceiverTest::SetUp();
        DeviceController::setAlertHandler([this](const QString &title, const QString &text) { alerts << title << text; });
    }
    DeviceController *link() { return DeviceController::ShareDeviceController(); }
    bool scan(const QString &path)
    {
        link()->scanPorts({path});
        return waitIdle();
    }
    bool receiverOpenOn(const QString &path)
    {
        return waitFor([&] { return app()->getBHaveDevice(); }) && app()->currentDevice()
            && app()->currentDevice()->bsdPath() == path && app()->currentDevice()->isOpen();
    }

    QStringList alerts; // title, text, title, text, ...
};

} // namespace

TEST_F(PortRefusalTest, AReceiverThisAccountMayNotOpenIsNamedInOneAlertWithTheFixUntilItOpens)
{
    POLLIX_AS_ORDINARY_USER();
    SimReceiver *sim = makeReceiver(Model::Dravel);
    ASSERT_TRUE(sim);
    const QString port = sim->portPath();
    ASSERT_TRUE(QFile::setPermissions(port, {}));

    ASSERT_TRUE(scan(port));
    ASSERT_EQ(alerts.size(), 2);
    EXPECT_EQ(alerts[0], "Pollix ARS");
    EXPECT_EQ(alerts[1], "Pollix may not open the receiver on " + port
                             + ": this account is not allowed to use the port.\n\nTo get access, add the account to "
                               "the group \"dialout\" with the command below, then log out and log in again:\n\n"
                               "sudo usermod -aG dialout $USER");
    EXPECT_EQ(link()->deviceCount(), 0);
    EXPECT_FALSE(app()->getBHaveDevice());
    EXPECT_TRUE(link()->refusalOf(port).contains("Permission denied")) << link()->refusalOf(port).toStdString();
    EXPECT_TRUE(programFrames(sim).isEmpty()) << "nothing reached the receiver";

    // Looking again does not ask the teacher again; plugged in again, the receiver is told again.
    ASSERT_TRUE(scan(port));
    EXPECT_EQ(alerts.size(), 2);
    link()->deviceRemovedAtPath(port);
    ASSERT_TRUE(scan(port));
    EXPECT_EQ(alerts.size(), 4);

    // With access (the account joined the group), the same port is probed and opened.
    ASSERT_TRUE(QFile::setPermissions(port, QFile::ReadOwner | QFile::WriteOwner));
    ASSERT_TRUE(scan(port));
    EXPECT_TRUE(receiverOpenOn(port));
    EXPECT_EQ(app()->currentDeviceType(), 3);
    EXPECT_TRUE(link()->refusalOf(port).isEmpty());
    EXPECT_EQ(alerts.size(), 4);
}

TEST_F(PortRefusalTest, AReceiverAnotherProgramHoldsIsRefusedByNameAndTakenOnceItIsLetGo)
{
    POLLIX_AS_ORDINARY_USER();
    SimReceiver *sim = makeReceiver(Model::Arvel);
    ASSERT_TRUE(sim);
    const QString port = sim->portPath();
    const int other = ::open(port.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(other, 0);
    ASSERT_EQ(ioctl(other, TIOCEXCL), 0);

    ASSERT_TRUE(scan(port));
    EXPECT_EQ(link()->refusalOf(port), port + " is in use by another program");
    ASSERT_EQ(alerts.size(), 2);
    EXPECT_EQ(alerts[1], "The receiver on " + port + " is in use by another program. Close that program, then plug "
                                                     "the receiver in again.");
    EXPECT_EQ(link()->deviceCount(), 0);

    ioctl(other, TIOCNXCL);
    ::close(other);
    ASSERT_TRUE(scan(port));
    EXPECT_TRUE(receiverOpenOn(port));
    EXPECT_EQ(app()->currentDeviceType(), 1);
}

TEST_F(PortRefusalTest, AfterProbingAndAfterARemovalThePortOpensAgainForThisAccount)
{
    POLLIX_AS_ORDINARY_USER();
    // The probe opens and closes the port; opening it for good is the second open.
    SimReceiver *sim = plugIn(Model::Dravel);
    ASSERT_TRUE(sim);
    const QString port = sim->portPath();
    ASSERT_TRUE(receiverOpenOn(port));

    // Removed while its far side stays open (a udev remove event): found and opened once more.
    link()->deviceRemovedAtPath(port);
    ASSERT_FALSE(app()->getBHaveDevice());
    ASSERT_TRUE(scan(port));
    EXPECT_TRUE(receiverOpenOn(port));
    EXPECT_TRUE(link()->refusalOf(port).isEmpty());
    EXPECT_TRUE(alerts.isEmpty());

    // The receiver still answers through the port opened the second time.
    sim->clearLogs();
    ASSERT_TRUE(app()->currentDevice()->sendData(QByteArray::fromHex("F1000000F1")));
    ASSERT_TRUE(sim->waitForFramesFromProgram(1, kEventWaitMs));
    EXPECT_EQ(programFrames(sim).first(), QByteArray::fromHex("F1000000F1"));
}
