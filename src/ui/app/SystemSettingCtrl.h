#pragma once

#include <QDialog>

#include <functional>

class Orvenda_AppDelegate;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QSlider;

// The system settings page ("SystemSetting"): the three event sounds, the keypad mouse's speed and,
// for Envel and Dravel receivers, the send-question setting.
class SystemSettingCtrl : public QDialog
{
    Q_OBJECT
public:
    // Windows and services of other parts of the program.
    struct Hooks
    {
        std::function<void(QWidget *)> runSendQue;   // the send-question dialog, modal
        std::function<void(int speed)> setMouseSpeed; // the keypad mouse
    };
    static Hooks &hooks();

    explicit SystemSettingCtrl(QWidget *parent = nullptr);

    void loadAudio();
    void doCheckEnter();
    void doCheckStart();
    void doCheckStop();
    void doBrowseEnter();
    void doBrowseStart();
    void doBrowseStop();
    void doSave();
    void doSendQue();
    void doClose();

    QCheckBox *checkEnter = nullptr, *checkStart = nullptr, *checkStop = nullptr;
    QLineEdit *textEnter = nullptr, *textStart = nullptr, *textStop = nullptr;
    QPushButton *browseEnter = nullptr, *browseStart = nullptr, *browseStop = nullptr;
    QPushButton *browseSendQuestion = nullptr;
    QSlider *slideSpeed = nullptr;

private:
    void browse(QLineEdit *field);
    Orvenda_AppDelegate *appDelegate = nullptr;
    int deviceType = -1;
};
