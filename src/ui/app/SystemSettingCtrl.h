#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>

class EditHold;
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
    // Stores the page; false (nothing stored) when a sound switched on is no sound file this
    // computer can play or the store failed, the reason told to the teacher.
    bool doSave();
    void doSendQue();
    // Asks first when the page holds edits not saved; Escape and the close box come here too.
    void doClose();

    QCheckBox *checkEnter = nullptr, *checkStart = nullptr, *checkStop = nullptr;
    QLineEdit *textEnter = nullptr, *textStart = nullptr, *textStop = nullptr;
    QPushButton *browseEnter = nullptr, *browseStart = nullptr, *browseStop = nullptr;
    QPushButton *browseSendQuestion = nullptr;
    QSlider *slideSpeed = nullptr;

private:
    void browse(QLineEdit *field);
    // What the page shows, to tell edits from what is stored.
    QStringList shown() const;
    QStringList m_stored;
    EditHold *m_hold = nullptr;
    Orvenda_AppDelegate *appDelegate = nullptr;
    int deviceType = -1;
};
