#include "SelectASystem.h"

#include "core/keypad/DeviceController.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/UsbSerialDriver.h"
#include "ui/controls/PollixAlert.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

SelectASystem::SelectASystem(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SelectASystem"));
    setWindowTitle(tr("Select a System"));
    auto *label = new QLabel(tr("No receiver was found. Please choose the system you use:"), this);
    cboDeviceType = new QComboBox(this);
    cboDeviceType->setObjectName(QStringLiteral("cboDeviceType"));
    cboDeviceType->addItems({tr("Audience Response System TovArvel"), tr("Audience Response System TovBrevel"),
                             tr("Audience Response System TovCorvel"), tr("Audience Response System TovDravel")});
    cboDeviceType->setCurrentIndex(cboDeviceType->count() - 1);
    btnOK = new QPushButton(tr("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(cboDeviceType);
    layout->addLayout(buttons);
    connect(btnOK, &QPushButton::clicked, this, &SelectASystem::selectSystem);

    NotificationCenter::defaultCenter()->addObserver(this, Notify::DeviceChanged,
                                                     [this](const Notification &) { handleDeviceChanged(); });
}

SelectASystem::~SelectASystem()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
}

int SelectASystem::deviceTypeForIndex(int index)
{
    static const int types[] = {1, 4, 2, 3};
    return (index >= 0 && index < 4) ? types[index] : -1;
}

void SelectASystem::selectSystem()
{
    const int type = deviceTypeForIndex(cboDeviceType->currentIndex());
    if (type >= 0) {
        if (!installDriverByType(type))
            return;
        DeviceController::ShareDeviceController()->setCurDeviceType(type);
    }
    NotificationCenter::defaultCenter()->postNotification(Notify::DeviceChanged);
    done(1);
}

void SelectASystem::choose(int type)
{
    if (!installDriverByType(type))
        return;
    DeviceController::ShareDeviceController()->setCurDeviceType(type);
    NotificationCenter::defaultCenter()->postNotification(Notify::DeviceChanged);
}

void SelectASystem::selectArvel() { choose(1); }
void SelectASystem::selectBrevel() { choose(4); }
void SelectASystem::selectCorvel() { choose(2); }
void SelectASystem::selectDravel() { choose(3); }

bool SelectASystem::installDriverByType(int type)
{
    const QString driver = UsbSerialDriver::driverForDeviceType(type);
    if (driver.isEmpty() || UsbSerialDriver::isDriverPresent(driver))
        return true;
    const QString text = driver == QLatin1String("cp210x")
        ? tr("To use SILABS USB device on Mac OSX, you need to install SILABS drive. Do you want to install now?")
        : tr("To use FTDI USB device on Mac OSX, you need to install FTDI drive. Do you want to install now?");
    const int answer = PollixAlert::show(this, tr("Pollix"), text, {tr("Yes"), tr("No")});
    if (answer == PollixAlert::AlertSecondButtonReturn)
        return true;
    // No installer is ever run from here: the kernel's own driver module is what is missing.
    PollixLog(QStringLiteral("USB-serial driver %1 is not present in the running kernel").arg(driver));
    return false;
}

void SelectASystem::handleDeviceChanged()
{
    if (!m_bRunWindow)
        return;
    m_bRunWindow = false;
    done(1);
}
