#pragma once

#include "core/keypad/DataOfFrame.h"

#include <QDialog>

#include <functional>
#include <memory>

class QLineEdit;
class QPushButton;
class TovDevice;

// The version window: the system's version, the program's, and the current receiver's firmware,
// which it asks the receiver for. The opener makes it the frame listener while it runs; teacher
// keypad mouse commands keep working meanwhile.
class VersionInfoCtrl : public QDialog
{
    Q_OBJECT
public:
    explicit VersionInfoCtrl(QWidget *parent = nullptr);
    ~VersionInfoCtrl() override;

    // Outlets.
    QLineEdit *textOperationSystem = nullptr;
    QLineEdit *textHostVersion = nullptr;
    QLineEdit *textSoftwareVersion = nullptr;
    QPushButton *btnOK = nullptr;

    Q_INVOKABLE void handleMachMessage();
    void handleDataReceive();
    void handleDataReceiveArvel(const DataOfFrame &frame);
    void handleDataReceiveCorvel_Dravel(const DataOfFrame &frame);
    void handleDeviceChanged();
    void sendReadVersionArvel();
    void sendReadVersionCorvel();
    void doOK();

    static QString getOSVersion();
    static QString getSoftVersion();

private:
    void awakeFromNib();
    void askVersion(int deviceType);

    std::shared_ptr<TovDevice> device;
};
