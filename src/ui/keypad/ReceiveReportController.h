#pragma once

#include "core/engine/ReceiveReportSession.h"

#include <QDialog>
#include <QStringList>

class QComboBox;
class QPlainTextEdit;
class QPushButton;

// Receives a session recorded on the teacher keypad ("ReceiveReport"): the teacher picks the
// teacher and subject it belongs to, presses Start and sends the session from the keypad; each
// frame is acknowledged and the progress shown; Save writes it as a session file. The opener
// makes it the frame listener while it runs. Closing it forgets what was received. A save says
// where the session went; one of a session saved already asks first.
class ReceiveReportController : public QDialog
{
    Q_OBJECT
public:
    explicit ReceiveReportController(QWidget *parent = nullptr);
    ~ReceiveReportController() override;

    Q_INVOKABLE void handleMachMessage();
    void handleDataReceive();
    void doStart();
    void doSave();
    void doExit();
    void showReceiveState(int state);

    const ReceiveReportSession &session() const { return m_session; }
    bool bBtnStateStart() const { return m_bBtnStateStart; }
    // The session file written by the last Save.
    QString savedPath() const { return m_savedPath; }

    // Outlets.
    QPlainTextEdit *receiveView = nullptr;
    QComboBox *cmbTeacher = nullptr;
    QComboBox *cmbSubject = nullptr;
    QPushButton *btnStart = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnExit = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void awakeFromNib();
    void loadTeacher();
    void loadSubject();
    void handleDeviceChanged();
    void showProgress();
    // Whether to save once more a session already saved as copies; false for Cancel.
    bool askToSaveAgain(const QStringList &copies);

    ReceiveReportSession m_session;
    QStringList teachers;
    QStringList subjects;
    bool m_bBtnStateStart = true;
    int m_state = ReceiveReportSession::Waiting;
    bool m_receiverOut = false;
    QString m_savedPath;
};
