#include "UsbSerialWatcher.h"

#include "Log.h"

#include <QSocketNotifier>

#include <libudev.h>

namespace {

// FTDI and Silicon Labs, the two bridge makers used by the receivers.
bool isReceiverBridge(struct udev_device *tty)
{
    struct udev_device *usb = udev_device_get_parent_with_subsystem_devtype(tty, "usb", "usb_device");
    if (!usb)
        return false;
    const char *vendor = udev_device_get_sysattr_value(usb, "idVendor");
    if (!vendor)
        return false;
    const QByteArray v = QByteArray(vendor).toLower();
    return v == "0403" || v == "10c4";
}

} // namespace

UsbSerialWatcher::UsbSerialWatcher(QObject *parent) : QObject(parent) {}

UsbSerialWatcher::~UsbSerialWatcher()
{
    delete m_notifier;
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
}

bool UsbSerialWatcher::disabledByEnvironment()
{
    const QByteArray v = qgetenv("POLLIX_NO_UDEV");
    return !v.isEmpty() && v != "0";
}

QStringList UsbSerialWatcher::start()
{
    QStringList present;
    if (disabledByEnvironment() || m_udev)
        return present;
    m_udev = udev_new();
    if (!m_udev) {
        PollixLog(QStringLiteral("udev is not available; USB receivers are not watched"));
        return present;
    }
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (m_monitor) {
        udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "tty", nullptr);
        if (udev_monitor_enable_receiving(m_monitor) == 0) {
            m_notifier = new QSocketNotifier(udev_monitor_get_fd(m_monitor), QSocketNotifier::Read, this);
            connect(m_notifier, &QSocketNotifier::activated, this, &UsbSerialWatcher::onMonitorReadable);
        }
    }
    struct udev_enumerate *en = udev_enumerate_new(m_udev);
    udev_enumerate_add_match_subsystem(en, "tty");
    udev_enumerate_scan_devices(en);
    struct udev_list_entry *entry;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(en))
    {
        struct udev_device *dev = udev_device_new_from_syspath(m_udev, udev_list_entry_get_name(entry));
        if (!dev)
            continue;
        const char *node = udev_device_get_devnode(dev);
        if (node && isReceiverBridge(dev))
            present << QString::fromLocal8Bit(node);
        udev_device_unref(dev);
    }
    udev_enumerate_unref(en);
    return present;
}

void UsbSerialWatcher::onMonitorReadable()
{
    struct udev_device *dev = udev_monitor_receive_device(m_monitor);
    if (!dev)
        return;
    const QByteArray action = udev_device_get_action(dev);
    const char *node = udev_device_get_devnode(dev);
    if (node) {
        const QString path = QString::fromLocal8Bit(node);
        if (action == "add" && isReceiverBridge(dev))
            emit portAdded(path);
        else if (action == "remove")
            emit portRemoved(path); // the parent is gone by now; the controller ignores unknown paths
    }
    udev_device_unref(dev);
}
