#include "platform/UsbSerialDriver.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class UsbSerialDriverTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir().mkpath(dir.path() + "/sys");
        QDir().mkpath(dir.path() + "/modules");
        UsbSerialDriver::setRootsForTesting(dir.path() + "/sys", dir.path() + "/modules");
    }
    void TearDown() override { UsbSerialDriver::setRootsForTesting({}, {}); }
    void write(const QString &rel, const QByteArray &bytes)
    {
        QFile f(dir.path() + rel);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QTemporaryDir dir;
};

TEST_F(UsbSerialDriverTest, ModelsNeedTheirBridgeDriver)
{
    EXPECT_EQ(UsbSerialDriver::driverForDeviceType(1), "cp210x");
    for (int t : {2, 3, 4})
        EXPECT_EQ(UsbSerialDriver::driverForDeviceType(t), "ftdi_sio");
    EXPECT_EQ(UsbSerialDriver::driverForDeviceType(0), "");
    EXPECT_TRUE(UsbSerialDriver::isDriverPresent(""));
    EXPECT_FALSE(UsbSerialDriver::isDriverPresent("cp210x"));
}

TEST_F(UsbSerialDriverTest, FoundOnTheBusLoadedInstalledOrBuiltIn)
{
    QDir().mkpath(dir.path() + "/sys/bus/usb-serial/drivers/ftdi_sio");
    EXPECT_TRUE(UsbSerialDriver::isDriverPresent("ftdi_sio"));
    write("/modules/modules.dep", "kernel/drivers/usb/serial/cp210x_extra.ko: \nkernel/drivers/usb/serial/cp210x.ko.xz: kernel/drivers/usb/serial/usbserial.ko.xz\n");
    EXPECT_TRUE(UsbSerialDriver::isDriverPresent("cp210x"));
    write("/modules/modules.dep", "kernel/drivers/usb/serial/cp210x_extra.ko:\n");
    EXPECT_FALSE(UsbSerialDriver::isDriverPresent("cp210x"));
    write("/modules/modules.builtin", "kernel/drivers/usb/serial/cp210x.ko\n");
    EXPECT_TRUE(UsbSerialDriver::isDriverPresent("cp210x"));
}
