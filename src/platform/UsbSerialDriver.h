#pragma once

#include <QString>

// Whether the kernel can drive a receiver's USB-to-UART bridge: the Silicon Labs bridge needs
// "cp210x", the FTDI bridge "ftdi_sio". A driver counts as present when it is registered with
// the USB-serial bus, loaded, or installed as a module or built into the running kernel.
// Nothing is ever installed from here.
namespace UsbSerialDriver {

QString driverForDeviceType(int deviceType); // "" when the model needs none
bool isDriverPresent(const QString &driver);

// Tests point the look-ups at a fake /sys and /lib/modules/<release>.
void setRootsForTesting(const QString &sysRoot, const QString &modulesRoot);

} // namespace UsbSerialDriver
