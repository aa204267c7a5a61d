#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;

// The system choice ("SelectASystem"), shown at start when no receiver was found, and again from
// the main window's System menu: the teacher names the receiver model; plugging a receiver in
// ends it too. Closed without a choice, it leaves the model as it was.
class SelectASystem : public QDialog
{
    Q_OBJECT
public:
    explicit SelectASystem(QWidget *parent = nullptr);
    ~SelectASystem() override;

    void selectSystem();
    void selectArvel();
    void selectBrevel();
    void selectCorvel();
    void selectDravel();
    // Whether the program may go on with that model: always, once the teacher has been told how
    // to load a missing USB-serial driver and to get access to the port.
    bool installDriverByType(int type);
    static bool installDriverByType(int type, QWidget *parent);
    // The model `type` becomes the one in use, after the driver check, and "DeviceChanged" tells
    // the windows; what a choice here and the main window's System menu both do. False when the
    // driver check stopped it. A receiver plugged in meanwhile (while the driver notice was up)
    // keeps naming the system.
    static bool chooseSystem(int type, QWidget *parent);

    bool bRunWindow() const { return m_bRunWindow; }
    void setBRunWindow(bool v) { m_bRunWindow = v; }

    QComboBox *cboDeviceType = nullptr;
    QPushButton *btnOK = nullptr;

    // Device type for each entry of cboDeviceType, in order.
    static int deviceTypeForIndex(int index);

private:
    void handleDeviceChanged();
    bool m_bRunWindow = false;
};
