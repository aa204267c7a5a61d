#pragma once

#include "core/keypad/DataOfFrame.h"
#include "core/keypad/KeyTestList.h"

#include <QDialog>

#include <memory>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QWidget;
class TovDevice;

// The key test ("HardwareTest"): for every keypad id what that keypad last sent, so that a teacher
// can check each keypad's keys and its radio link. Mode 0 (from the keypad settings window) also
// writes a clicked id to the keypad being set up and shows whether it confirmed it; mode 1 (from
// the main window) only tests, and key presses accumulate. Corvel and Dravel keypads register by
// name instead and are told their registration number. The opener makes it the frame listener.
class HardwareTestCtrl : public QDialog
{
    Q_OBJECT
public:
    explicit HardwareTestCtrl(QWidget *parent = nullptr);
    ~HardwareTestCtrl() override;

    int mode() const { return m_mode; }
    void setMode(int mode);

    // Outlets.
    QWidget *idPart = nullptr; // what mode 1 cuts off, above boxSeparate
    QFrame *boxSeparate = nullptr;
    QTableWidget *tableView1 = nullptr, *tableView2 = nullptr, *tableView3 = nullptr, *tableView4 = nullptr;
    QLineEdit *teacherKey = nullptr;
    QLabel *txtState = nullptr;
    QPushButton *btnPrev = nullptr, *btnNext = nullptr, *btnReset = nullptr, *btnOK = nullptr;

    // State, read by tests.
    const KeyTestList &keyValues() const { return m_keyValues; }
    int curPage() const { return m_curPage; }
    int deviceID() const { return m_deviceID; }
    bool isSuccessful() const { return m_isSuccessful; }
    int deviceType() const { return m_deviceType; }
    // The text and colour of the "keyValue" cell of an id on the page shown.
    QTableWidget *tableAt(int t) const;

    Q_INVOKABLE void handleMachMessage();
    void handleDataReceive();
    void handleDataReceiveArvel(const DataOfFrame &frame);
    void handleDataReceiveCorvel_Dravel(const DataOfFrame &frame);
    void handleDeviceChanged();

    void doPrev();
    void doNext();
    void doReset();
    void doOK();
    // A click on row r (0 to 24) of table t (1 to 4).
    void tblClick(int table, int row);
    void turnToPage(int page);

    void sendSetDeviceID(int id);
    void sendPCState(quint8 state);
    void sendGetChannelNo();
    void openReceiveArvel();
    void closeReceiveArvel();
    void sendHardwareTestSuccess(int keypad, int registerID, const QString &studentName);
    void RX_HardwareTest(const DataOfFrame &frame);
    void RX_HardwareTestBrevel(const DataOfFrame &frame);

public slots:
    void done(int result) override;

private:
    void awakeFromNib();
    void reloadTables();
    bool sendFrame(const QByteArray &frame);
    bool isSmallFamily() const { return m_deviceType == 0 || m_deviceType == 1; }
    // Logs and refuses ids a keypad may send that the list has no entry for.
    bool showsId(int id) const;
    void confirmId();

    std::shared_ptr<TovDevice> device; // the receiver of this window's model, or none
    int m_deviceType = -1;
    KeyTestList m_keyValues;
    int m_curPage = 1;
    int m_mode = 0;
    int m_deviceID = 0;
    bool m_isSuccessful = false;
};
