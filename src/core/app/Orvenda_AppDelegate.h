#pragma once

#include "core/base/AppDelegateBase.h"
#include "core/keypad/DataOfFrame.h"
#include "platform/DesktopOpener.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class TovDevice;

// The program's global access point: the data folders, the current receiver and its model, the
// login state, the student limit and the translation between activity numbers, names and the
// codes stored in session files. Windows reach the receiver only through it. The folders and
// the codes live in AppDelegateBase, which the rooms below this one reach.
class Orvenda_AppDelegate : public QObject, public AppDelegateBase
{
    Q_OBJECT
public:
    // rootFolder: the application folder; empty means $POLLIX_HOME, else ~/.local/share/Pollix/.
    explicit Orvenda_AppDelegate(const QString &rootFolder = {}, QObject *parent = nullptr);
    ~Orvenda_AppDelegate() override;

    // Null until launching has finished (setAppDelegate is called then).
    static Orvenda_AppDelegate *getAppDelegate();
    static void setAppDelegate(Orvenda_AppDelegate *delegate);

    bool isLogin() const { return m_isLogin; }
    void setIsLogin(bool v) { m_isLogin = v; }
    bool bTeacherExit() const { return m_bTeacherExit; }
    void setBTeacherExit(bool v) { m_bTeacherExit = v; }

    // 999 keypads on Corvel and Dravel receivers, 400 on every other model and with none.
    int maxStudentNumberAllowed() const;

    // Receiver forwarding: each passes straight to the device controller (DeviceController).
    // The current receiver, or null; shared so that a holder may keep sending safely after an
    // unplug (sendData then answers false).
    std::shared_ptr<TovDevice> currentDevice() const;
    int currentDeviceType() const override;
    int usbDeviceType() const;
    bool getBHaveDevice() const;
    // Frame hand-off: the listener's handleMachMessage() (slot or Q_INVOKABLE) is called once per
    // frame, in order; it reads frameToHandle() (a copy: the null frame when none was offered) and
    // then calls signalConditionOfDataHandled(). The last setObjectToReceiveCommData wins.
    void signalConditionOfDataHandled();
    void setObjectToReceiveCommData(QObject *listener);
    QObject *objectToReceiveCommData() const;
    DataOfFrame frameToHandle() const;
    // The frame offered, acknowledged at once (for listeners that may open an alert over it).
    DataOfFrame takeFrameToHandle();

    // Activity lists offered by the main window, per receiver family and participation.
    static const QList<int> &ActivityArvelIndividual();
    static const QList<int> &ActivityArvelGroup();
    static const QList<int> &ActivityArvelFreeStyle();
    static const QList<int> &ActivityCorvelIndividual();
    static const QList<int> &ActivityCorvelGroup();
    static const QList<int> &ActivityCorvelFreeStyle();
    static const QList<int> &ActivityCorvelFreeStyleGroup();
    // Activity names by activity number 0 to 14.
    static const QStringList &AllActivityMode();

    // The user manual of a model, in the application folder's Help folder.
    QString helpFilePathForDeviceType(int deviceType) const;
    // Hands the current model's manual to the desktop's viewer; failed hears, once it is known,
    // that the manual is not there or that nothing on this computer opens it.
    void onPollixHelp(const DesktopOpener::Failed &failed = {});

private:
    bool m_isLogin = false;
    bool m_bTeacherExit = false;
};
