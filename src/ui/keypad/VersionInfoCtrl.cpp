#include "VersionInfoCtrl.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/keypad/KeypadMouse.h"
#include "core/keypad/TeacherKeyMap.h"
#include "core/keypad/TovDevice.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/SystemVersion.h"

#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit *makeField(QWidget *parent, const char *name)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setReadOnly(true);
    field->setMinimumWidth(240);
    return field;
}

} // namespace

VersionInfoCtrl::VersionInfoCtrl(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("VersionInfo"));
    setWindowTitle(tr("Version"));
    textOperationSystem = makeField(this, "textOperationSystem");
    textHostVersion = makeField(this, "textHostVersion");
    textSoftwareVersion = makeField(this, "textSoftwareVersion");
    btnOK = new QPushButton(tr("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    auto *form = new QFormLayout;
    form->addRow(tr("Operating system:"), textOperationSystem);
    form->addRow(tr("Receiver:"), textHostVersion);
    form->addRow(tr("Software:"), textSoftwareVersion);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    connect(btnOK, &QPushButton::clicked, this, &VersionInfoCtrl::doOK);

    NotificationCenter::defaultCenter()->addObserver(this, Notify::DeviceChanged,
                                                     [this](const Notification &) { handleDeviceChanged(); });
    if (Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate())
        device = app->currentDevice();
    awakeFromNib();
}

VersionInfoCtrl::~VersionInfoCtrl()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
}

void VersionInfoCtrl::awakeFromNib()
{
    textOperationSystem->setText(getOSVersion());
    textSoftwareVersion->setText(getSoftVersion());
    textHostVersion->setText(QStringLiteral("No Host"));
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    askVersion(app ? app->currentDeviceType() : -1);
}

void VersionInfoCtrl::askVersion(int deviceType)
{
    if (deviceType == 0 || deviceType == 1)
        sendReadVersionArvel();
    else if (deviceType >= 2 && deviceType <= 4)
        sendReadVersionCorvel();
}

void VersionInfoCtrl::doOK()
{
    done(0);
}

QString VersionInfoCtrl::getOSVersion()
{
    // As far as the system gives it: "12.0.0" on a system of 12.11 was a version it never said.
    return SystemVersion::systemText();
}

QString VersionInfoCtrl::getSoftVersion()
{
    const QString v = QCoreApplication::applicationVersion();
    return v.isEmpty() ? QStringLiteral(POLLIX_VERSION) : v;
}

void VersionInfoCtrl::sendReadVersionArvel()
{
    if (device)
        device->sendData(QByteArray::fromHex("570057"));
}

void VersionInfoCtrl::sendReadVersionCorvel()
{
    if (device)
        device->sendData(QByteArray::fromHex("F1000000F1"));
}

void VersionInfoCtrl::handleMachMessage()
{
    handleDataReceive();
}

void VersionInfoCtrl::handleDataReceive()
{
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    if (!app)
        return;
    const DataOfFrame frame = app->frameToHandle();
    const int type = app->currentDeviceType();
    if (!frame.isNull()) {
        if (type == 0 || type == 1)
            handleDataReceiveArvel(frame);
        else if (type >= 2 && type <= 4)
            handleDataReceiveCorvel_Dravel(frame);
    }
    app->signalConditionOfDataHandled();
}

void VersionInfoCtrl::handleDataReceiveArvel(const DataOfFrame &frame)
{
    const uint8_t *b = frame.data();
    PollixFrameLogf("data receive in VersionInfo : %02x\t%02x\t%02x\n", b[0], b[1], b[2]);
    if (frame.type() != 0 || b[0] != 0x57)
        return;
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    const QString model = app && app->currentDeviceType() == 1 ? QStringLiteral("TovArvel Host V")
                                                                : QStringLiteral("TovEnvel Host V");
    textHostVersion->setText(QString::asprintf("%s%d.%02d", qPrintable(model), b[1], b[2]));
}

void VersionInfoCtrl::handleDataReceiveCorvel_Dravel(const DataOfFrame &frame)
{
    if (frame.type() != 1)
        return;
    if (frame.cmd() == 0xF1) {
        QString model;
        switch (device ? device->type() : -1) {
        case 2: model = QStringLiteral("TovCorvel Host V"); break;
        case 3: model = QStringLiteral("TovDravel Host V"); break;
        case 4: model = QStringLiteral("TovBrevel Host V"); break;
        default: return; // an answer with no receiver of ours to name
        }
        textHostVersion->setText(QString::asprintf("%s%d.%02d", qPrintable(model), frame.addr()[1], frame.data()[0]));
    } else if (TeacherKeyMap::keyOf(frame) == TeacherKeyMap::Key::Mouse) {
        KeypadMouse::pass(frame);
    }
}

void VersionInfoCtrl::handleDeviceChanged()
{
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    device = app ? app->currentDevice() : nullptr;
    textHostVersion->setText(QStringLiteral("No Host"));
    if (device)
        askVersion(device->type());
}
