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
        if (!chooseSystem(type, this))
            return;
    } else {
        NotificationCenter::defaultCenter()->postNotification(Notify::DeviceChanged);
    }
    done(1);
}

bool SelectASystem::chooseSystem(int type, QWidget *parent)
{
    if (!installDriverByType(type, parent))
        return false;
    // The driver notice tells the teacher to plug the receiver in: one found while it was up
    // names the system itself, whatever was chosen before it came.
    if (DeviceController::ShareDeviceController()->getBHaveDevice()) {
        PollixLogf("system choice %d left: a receiver of model %d is plugged in", type,
                   DeviceController::ShareDeviceController()->currentDeviceType());
        return true;
    }
    DeviceController::ShareDeviceController()->setCurDeviceType(type);
    NotificationCenter::defaultCenter()->postNotification(Notify::DeviceChanged);
    return true;
}

void SelectASystem::selectArvel() { chooseSystem(1, this); }
void SelectASystem::selectBrevel() { chooseSystem(4, this); }
void SelectASystem::selectCorvel() { chooseSystem(2, this); }
void SelectASystem::selectDravel() { chooseSystem(3, this); }

bool SelectASystem::installDriverByType(int type)
{
    return installDriverByType(type, this);
}

bool SelectASystem::installDriverByType(int type, QWidget *parent)
{
    const QString driver = UsbSerialDriver::driverForDeviceType(type);
    if (driver.isEmpty() || UsbSerialDriver::isDriverPresent(driver))
        return true;
    // Linux has nothing to install: the bridge's driver is a module of the kernel, and the port
    // belongs to the dialout group. The teacher is told both, and Pollix goes on with the
    // model, finding the receiver once the module is there and the receiver is plugged in.
    PollixLog(QStringLiteral("USB-serial driver %1 is not present in the running kernel").arg(driver));
    const QString bridge = driver == QLatin1String("cp210x") ? tr("Silicon Labs") : tr("FTDI");
    const QString text = tr("The receiver of this system needs the Linux kernel's %1 USB-serial driver (%2), which "
                            "is not loaded.")
                             .arg(bridge, driver);
    const QString steps = tr("To load it, run in a terminal:\n    sudo modprobe %1\n"
                             "(If modprobe does not find it, install your distribution's extra kernel modules.)\n\n"
                             "To use the receiver without being root, your account must belong to the dialout "
                             "group. If it does not yet, run:\n    sudo usermod -aG dialout $USER\n"
                             "then log out and log in again.\n\n"
                             "Pollix goes on with this system and finds the receiver when it is plugged in.")
                              .arg(driver);
    PollixAlert alert(tr("Pollix"), text, {tr("OK")}, steps, parent);
    // The commands can be copied into a terminal.
    alert.setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (auto *commands = alert.findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
        commands->setTextInteractionFlags(Qt::TextSelectableByMouse);
    alert.runModal();
    return true;
}

void SelectASystem::handleDeviceChanged()
{
    if (!m_bRunWindow)
        return;
    m_bRunWindow = false;
    done(1);
}
