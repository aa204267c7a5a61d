#pragma once

#include "core/keypad/DataOfFrame.h"

#include <QDialog>
#include <QTimer>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class TovDevice;

// The channel window of Corvel and Dravel receivers ("SetChannel"): reads the receiver's radio
// channel, sets another, confirms it and then asks whether another main receiver in the room
// works on the same channel. The opener makes it the frame listener while it runs.
class SetChannelCtrl : public QDialog
{
    Q_OBJECT
public:
    explicit SetChannelCtrl(QWidget *parent = nullptr);
    ~SetChannelCtrl() override;

    // Outlets.
    QLineEdit *channelNo = nullptr;
    QLabel *channelConfine = nullptr;
    QPushButton *btnSend = nullptr;
    QPushButton *btnClose = nullptr;

    void doSend();
    void doClose();
    void controlTextDidChange();
    Q_INVOKABLE void handleMachMessage();
    void handleDataReceive();
    void handleDeviceChanged();
    void sendSetChannelNo(int channel);
    void sendGetChannelNo();
    void checkChannels();
    // A get or set is waiting for the receiver's answer (its time-out is running).
    bool isAwaitingAnswer() const { return m_answerTimer.isActive(); }

    // The alert of a set-up command the receiver left unanswered (also used by the keypad
    // settings window).
    static QString receiverDidNotAnswerText();

public slots:
    void done(int result) override;

private:
    void awakeFromNib();
    bool sendExpectingAnswer(const QByteArray &frame);
    static bool isChannelModel(int type) { return type == 2 || type == 3; }

    std::shared_ptr<TovDevice> device;
    QTimer m_answerTimer; // runs while a get or set waits for the receiver
    int m_channelSent = -1;
};
