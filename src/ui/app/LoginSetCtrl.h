#pragma once

#include <QDialog>

class QLineEdit;
class TovDBUI;

// Changes a login account's user name and password ("LoginSet"); needs no login.
class LoginSetCtrl : public QDialog
{
    Q_OBJECT
public:
    explicit LoginSetCtrl(QWidget *parent = nullptr);

    void doOK();
    void doClose();

    QLineEdit *textUserName = nullptr;
    QLineEdit *textNewUserName = nullptr;
    QLineEdit *textOldPassword = nullptr;
    QLineEdit *textNewPassword = nullptr;
    QLineEdit *textConfirmPassword = nullptr;

private:
    class EditHold *m_hold = nullptr;
    TovDBUI *dbUI = nullptr;
};
