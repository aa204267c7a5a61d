#pragma once

#include <QObject>
#include <QStringList>

class QSocketNotifier;
struct udev;
struct udev_monitor;

// Lists the serial ports behind FTDI and Silicon Labs USB bridges (the receivers' bridges) and
// reports their arrival and removal from udev. Ports of any other adapter are never reported.
// Setting POLLIX_NO_UDEV=1 turns the watcher off (tests must never touch real hardware).
class UsbSerialWatcher : public QObject
{
    Q_OBJECT
public:
    explicit UsbSerialWatcher(QObject *parent = nullptr);
    ~UsbSerialWatcher() override;

    static bool disabledByEnvironment();
    // Starts watching; returns the device paths present now (empty when disabled or unavailable).
    QStringList start();

signals:
    void portAdded(const QString &path);
    void portRemoved(const QString &path);

private:
    void onMonitorReadable();

    struct udev *m_udev = nullptr;
    struct udev_monitor *m_monitor = nullptr;
    QSocketNotifier *m_notifier = nullptr;
};
