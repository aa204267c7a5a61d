#include "Orvenda_AppDelegate.h"

#include "core/engine/ActivityRules.h"
#include "core/keypad/DeviceController.h"
#include "platform/ChangeJournal.h"
#include "platform/Log.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QPointer>
#include <QStandardPaths>
#include <QUrl>

#include <atomic>

namespace {
std::atomic<Orvenda_AppDelegate *> g_appDelegate{nullptr};
} // namespace

Orvenda_AppDelegate::Orvenda_AppDelegate(const QString &rootFolder, QObject *parent) : QObject(parent)
{
    QString root = rootFolder.isEmpty() ? defaultApplicationFolder() : rootFolder;
    root = QDir::cleanPath(root);
    if (!root.endsWith(QLatin1Char('/')))
        root += QLatin1Char('/');
    m_strPollixFilePath = root;
    m_strStandardFilePath = root + QStringLiteral("Template.xml");
    m_strDataFilePath = root + QStringLiteral("Data/");
    m_strClassXmlDataFilePath = root + QStringLiteral("Data/Classes");
    m_strQuizXmlDataFilePath = root + QStringLiteral("Data/Quiz");
    m_strCourseGradeFilePath = root + QStringLiteral("Data/CourseGrade");
    // Changes of several files note themselves down in the data folder first.
    ChangeJournal::setFolder(m_strDataFilePath);
    // Taking the device controller starts receiver discovery.
    DeviceController::ShareDeviceController();
    m_bTeacherExit = false;
}

Orvenda_AppDelegate::~Orvenda_AppDelegate()
{
    Orvenda_AppDelegate *self = this;
    g_appDelegate.compare_exchange_strong(self, nullptr);
    if (ChangeJournal::folder() == QDir::cleanPath(m_strDataFilePath))
        ChangeJournal::setFolder(QString());
}

Orvenda_AppDelegate *Orvenda_AppDelegate::getAppDelegate()
{
    return g_appDelegate.load();
}

void Orvenda_AppDelegate::setAppDelegate(Orvenda_AppDelegate *delegate)
{
    g_appDelegate.store(delegate);
}

QString Orvenda_AppDelegate::defaultApplicationFolder()
{
    const QString env = qEnvironmentVariable("POLLIX_HOME");
    if (!env.isEmpty())
        return env;
    return QDir::homePath() + QStringLiteral("/.local/share/Pollix/");
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
    // The English names are the translation keys.
    static const QStringList names = [] {
        QStringList out;
        for (int activity = 0; activity < Activity::Count; ++activity)
            out << QCoreApplication::translate("Orvenda_AppDelegate", ActivityRules::rule(activity).name);
        return out;
    }();
    return names;
}

QString Orvenda_AppDelegate::getActModeByNo(int activityNo)
{
    switch (activityNo) {
    case 0: return QStringLiteral("1");
    case 1: return QStringLiteral("2");
    case 2: return QStringLiteral("3");
    case 3: return QStringLiteral("4");
    case 4: return QStringLiteral("5");
    case 5: return QStringLiteral("6");
    case 7: return QStringLiteral("15");
    case 8: return QStringLiteral("13");
    case 9: return QStringLiteral("20");
    case 10: return QStringLiteral("21");
    case 11: return QStringLiteral("22");
    default: return QStringLiteral("NULL");
    }
}

QString Orvenda_AppDelegate::getActNoByName(const QString &name)
{
    static const QList<std::pair<QString, QString>> table{
        {QStringLiteral("Normal Quiz"), QStringLiteral("1")},   {QStringLiteral("Paper Quiz"), QStringLiteral("2")},
        {QStringLiteral("HomeWork"), QStringLiteral("3")},      {QStringLiteral("Rush Quiz"), QStringLiteral("4")},
        {QStringLiteral("Elimination"), QStringLiteral("5")},   {QStringLiteral("Multiple Mode"), QStringLiteral("6")},
        {QStringLiteral("Vote"), QStringLiteral("15")},         {QStringLiteral("Attendance"), QStringLiteral("13")}};
    for (const auto &[key, code] : table)
        if (key == name)
            return code;
    return name;
}

QString Orvenda_AppDelegate::getQueTypeByNo(int questionType)
{
    switch (questionType) {
    case 0: return QStringLiteral("1");
    case 1: return QStringLiteral("2");
    case 2: return QStringLiteral("3");
    case 3: return QStringLiteral("4");
    case 5: return QStringLiteral("5");
    default: return QStringLiteral("NULL");
    }
}

QString Orvenda_AppDelegate::getMachineTypeByNo(int deviceType)
{
    if (deviceType >= 0 && deviceType <= 4)
        return QString::number(deviceType);
    return QStringLiteral("NULL");
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
    return m_strPollixFilePath + QStringLiteral("Help/User Manual of Tov%1.pdf").arg(model);
}

void Orvenda_AppDelegate::onPollixHelp()
{
    const QString path = helpFilePathForDeviceType(currentDeviceType());
    PollixLog(QStringLiteral("open \"%1\"").arg(path));
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
