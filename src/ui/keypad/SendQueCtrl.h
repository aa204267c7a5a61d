#pragma once

#include <QDialog>

class QButtonGroup;
class QRadioButton;
class QWidget;

// The send-question setting ("SendQueCtrl"): whether activities broadcast each question's text
// to the keypads. Row 0 of sendState is off, row 1 on; the flag lives in config.xml.
class SendQueCtrl : public QDialog
{
    Q_OBJECT
public:
    explicit SendQueCtrl(QWidget *parent = nullptr);

    // The stored flag is not 0.
    static bool getSendQueState();

    void doOK();
    void doCancel();

    QWidget *sendState = nullptr;
    QRadioButton *rowOff = nullptr;
    QRadioButton *rowOn = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QButtonGroup *m_rows = nullptr;
};
