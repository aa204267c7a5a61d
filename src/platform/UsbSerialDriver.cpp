#include "UsbSerialDriver.h"

#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

namespace {
QString g_sysRoot = QStringLiteral("/sys");
QString g_modulesRoot;

QString modulesRoot()
{
    return g_modulesRoot.isEmpty() ? QStringLiteral("/lib/modules/") + QSysInfo::kernelVersion() : g_modulesRoot;
}

// modules.dep lines start "kernel/.../name.ko[.xz|.zst]:"; modules.builtin lines are the path.
bool listedIn(const QString &file, const QString &driver)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray needle = "/" + driver.toUtf8() + ".ko";
    while (!f.atEnd()) {
        const QByteArray line = f.readLine();
        const qsizetype end = line.indexOf(':');
        const QByteArray path = end >= 0 ? line.left(end) : line.trimmed();
        const qsizetype at = path.lastIndexOf(needle);
        if (at >= 0 && (at + needle.size() == path.size() || path.at(at + needle.size()) == '.'))
            return true;
    }
    return false;
}
} // namespace

namespace UsbSerialDriver {

QString driverForDeviceType(int deviceType)
{
    switch (deviceType) {
    case 1: return QStringLiteral("cp210x");
    case 2:
    case 3:
    case 4: return QStringLiteral("ftdi_sio");
    default: return QString();
    }
}

bool isDriverPresent(const QString &driver)
{
    if (driver.isEmpty())
        return true;
    if (QFileInfo::exists(g_sysRoot + QStringLiteral("/bus/usb-serial/drivers/") + driver)
        || QFileInfo::exists(g_sysRoot + QStringLiteral("/module/") + driver))
        return true;
    const QString root = modulesRoot();
    return listedIn(root + QStringLiteral("/modules.dep"), driver) || listedIn(root + QStringLiteral("/modules.builtin"), driver);
}

void setRootsForTesting(const QString &sysRoot, const QString &modulesRoot)
{
    g_sysRoot = sysRoot.isEmpty() ? QStringLiteral("/sys") : sysRoot;
    g_modulesRoot = modulesRoot;
}

} // namespace UsbSerialDriver
