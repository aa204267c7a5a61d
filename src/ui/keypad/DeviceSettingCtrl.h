#pragma once

#include "core/keypad/DataOfFrame.h"

#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>

class DeviceSettingLight;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class Stepper;
class TovDevice;

// The keypad and receiver settings of Arvel and Brevel receivers ("DeviceSettingCtrl"): writes a
// keypad's student id (and, on Arvel, makes a keypad the teacher keypad), reads and sets the
// receiver's channel and, on Arvel, its band, and opens the key test. The opener makes it the
// frame listener while it runs. Envel receivers take only the teacher id and the band.
class DeviceSettingCtrl : public QDialog
{
    Q_OBJECT
public:
    explicit DeviceSettingCtrl(QWidget *parent = nullptr);
    ~DeviceSettingCtrl() override;

    // Windows it opens, replaced by tests. Unset: the login dialog, the key test.
    struct Hooks
    {
        std::function<bool(QWidget *)> runLogin;
        std::function<void(QWidget *)> runHardwareTest;
    };
    static Hooks &hooks();

    // Outlets.
    QTabWidget *tabview = nullptr;
    QLineEdit *studentDeviceID = nullptr;
    Stepper *stepper1 = nullptr, *stepper2 = nullptr, *stepper3 = nullptr;
    DeviceSettingLight *lightStudent = nullptr, *lightTeacher = nullptr;
    QLineEdit *textChannelNo = nullptr;
    QLabel *channelRange = nullptr;
    QLineEdit *textBand = nullptr;
    QGroupBox *bandBox = nullptr;
    QPushButton *btnSetStudentID = nullptr, *btnTestStudentID = nullptr, *btnSetTeacherID = nullptr,
                *btnSetChannelNo = nullptr, *btnSetBand = nullptr, *btnClose = nullptr;

    // State, read by tests.
    int curState() const { return m_curState; }
    int channelSetState() const { return m_channelSetState; }
    int deviceID() const { return m_deviceID; }
    int channelNo() const { return m_channelNo; }
    int band() const { return m_band; }
    int nDeviceType() const { return m_nDeviceType; }
    int channelPageIndex() const;

    void doSetStudentID();
    void doSetTeacherID();
    void doTestStudentID();
    void doSetChannelNo();
    void doSetBand();
    void doClose();

    void sendGetChannelNo();
    void sendGetChannelNoBrevel();
    void sendGetBand();
    void openReceiveArvel();
    void closeReceiveArvel();

    Q_INVOKABLE void handleMachMessage();
    void handleDataReceive();
    void handleChannelSetReceive(const DataOfFrame &frame);
    void handleDeviceChanged();

    // Typing in the three fields.
    void studentIdTextDidChange();
    void channelTextDidChange();
    void bandTextDidChange();

public slots:
    void done(int result) override;

private:
    void awakeFromNib();
    void buildInterface();
    void tabChanged(int index);
    bool tabViewShouldSelect(int index);
    void tabViewDidSelect(int index);
    void showStudentId(int id);
    void stepperChanged(int value);
    bool sendFrame(const QByteArray &frame);
    bool sendExpectingAnswer(const QByteArray &frame);
    void answered();
    // Shows the receiver's channel and band (-1: not told), proposed for typing over, leaving
    // alone what the teacher typed since the receiver was asked.
    void showReceiverValues(int channel, int band);
    // The channel page is chosen, or a receiver came or went while it is shown: asks the receiver
    // of this window's model for its channel (and band). Without one, the fields show 0 unless
    // typed into; a Brevel's or Envel's page being chosen leaves them as they are.
    void askReceiverValues(bool pageChosen);
    bool isArvel() const { return m_nDeviceType == 1; }
    bool isBrevel() const { return m_nDeviceType == 4; }
    int maxChannel() const;

    std::shared_ptr<TovDevice> device; // the receiver of this window's model, or none
    int m_nDeviceType = -1;
    int m_curState = 0;
    int m_deviceID = 0;
    int m_channelNo = 0;
    int m_band = 0;
    int m_channelSetState = 0;
    int m_channelSent = -1;
    int m_bandSet = -1;
    int m_lastTab = 0;
    bool m_revertingTab = false;
    // The teacher typed a channel or band since the receiver was last asked: its answer, on the
    // way meanwhile, does not overwrite it.
    bool m_channelTyped = false;
    bool m_bandTyped = false;
    QTimer m_answerTimer; // runs while a channel or band request waits for the receiver
};
