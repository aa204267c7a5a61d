#include "Orvenda_AppDelegate.h"

#include "core/engine/ActivityRules.h"
#include "core/keypad/DeviceController.h"

#include <QPointer>
#include <QStandardPaths>

Orvenda_AppDelegate::Orvenda_AppDelegate(const QString &rootFolder, QObject *parent)
    : QObject(parent), AppDelegateBase(rootFolder)
{
    // Taking the device controller starts receiver discovery.
    DeviceController::ShareDeviceController();
    m_bTeacherExit = false;
}

Orvenda_AppDelegate::~Orvenda_AppDelegate() = default;

Orvenda_AppDelegate *Orvenda_AppDelegate::getAppDelegate()
{
    // Only setAppDelegate registers, so the one registered is this class.
    return static_cast<Orvenda_AppDelegate *>(AppDelegateBase::getAppDelegate());
}

void Orvenda_AppDelegate::setAppDelegate(Orvenda_AppDelegate *delegate)
{
    registerAppDelegate(delegate);
}

int Orvenda_AppDelegate::maxStudentNumberAllowed() const
{
    const int type = currentDeviceType();
    return (type == 2 || type == 3) ? 999 : 400;
}

std::shared_ptr<TovDevice> Orvenda_AppDelegate::currentDevice() const
{
    return DeviceController::ShareDeviceController()->currentDevice();
}

int Orvenda_AppDelegate::currentDeviceType() const
{
    return DeviceController::ShareDeviceController()->currentDeviceType();
}

int Orvenda_AppDelegate::usbDeviceType() const
{
    return DeviceController::ShareDeviceController()->usbDeviceType();
}

bool Orvenda_AppDelegate::getBHaveDevice() const
{
    return DeviceController::ShareDeviceController()->getBHaveDevice();
}

void Orvenda_AppDelegate::signalConditionOfDataHandled()
{
    DeviceController::ShareDeviceController()->signalConditionOfDataHandled();
}

void Orvenda_AppDelegate::setObjectToReceiveCommData(QObject *listener)
{
    DeviceController::ShareDeviceController()->setDelegateOfPort(listener);
}

QObject *Orvenda_AppDelegate::objectToReceiveCommData() const
{
    return DeviceController::ShareDeviceController()->delegateOfPort();
}

DataOfFrame Orvenda_AppDelegate::frameToHandle() const
{
    return DeviceController::ShareDeviceController()->frameToHandle();
}

DataOfFrame Orvenda_AppDelegate::takeFrameToHandle()
{
    const DataOfFrame frame = frameToHandle();
    signalConditionOfDataHandled();
    return frame;
}

const QList<int> &Orvenda_AppDelegate::ActivityArvelIndividual()
{
    static const QList<int> list{0, 1, 3, 4, 5, 7, 8};
    return list;
}
const QList<int> &Orvenda_AppDelegate::ActivityArvelGroup()
{
    static const QList<int> list{0, 3, 4};
    return list;
}
const QList<int> &Orvenda_AppDelegate::ActivityArvelFreeStyle()
{
    static const QList<int> list{9, 10, 11};
    return list;
}
const QList<int> &Orvenda_AppDelegate::ActivityCorvelIndividual()
{
    static const QList<int> list{0, 1, 2, 3, 4, 5, 7, 8};
    return list;
}
const QList<int> &Orvenda_AppDelegate::ActivityCorvelGroup()
{
    static const QList<int> list{0, 3, 4};
    return list;
}
const QList<int> &Orvenda_AppDelegate::ActivityCorvelFreeStyle()
{
    static const QList<int> list{9, 10, 11, 12};
    return list;
}
const QList<int> &Orvenda_AppDelegate::ActivityCorvelFreeStyleGroup()
{
    static const QList<int> list{9, 10, 11};
    return list;
}

const QStringList &Orvenda_AppDelegate::AllActivityMode()
{
    return ActivityRules::AllActivityMode();
}

QString Orvenda_AppDelegate::helpFilePathForDeviceType(int deviceType) const
{
    QString model;
    switch (deviceType) {
    case 0:
    case 1: model = QStringLiteral("Arvel"); break;
    case 2: model = QStringLiteral("Corvel"); break;
    case 4: model = QStringLiteral("Brevel"); break;
    default: model = QStringLiteral("Dravel"); break;
    }
    return strPollixFilePath() + QStringLiteral("Help/User Manual of Tov%1.pdf").arg(model);
}

void Orvenda_AppDelegate::onPollixHelp(const DesktopOpener::Failed &failed)
{
    DesktopOpener::openFile(helpFilePathForDeviceType(currentDeviceType()), this, failed);
}
