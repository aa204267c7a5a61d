#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;

// The system choice ("SelectASystem"), shown at start when no receiver was found: the teacher
// names the receiver model; plugging a receiver in ends it too.
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

    bool bRunWindow() const { return m_bRunWindow; }
    void setBRunWindow(bool v) { m_bRunWindow = v; }

    QComboBox *cboDeviceType = nullptr;
    QPushButton *btnOK = nullptr;

    // Device type for each entry of cboDeviceType, in order.
    static int deviceTypeForIndex(int index);

private:
    void choose(int type);
    void handleDeviceChanged();
    bool m_bRunWindow = false;
};
