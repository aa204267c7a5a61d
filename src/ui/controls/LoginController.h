#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class TovDBUI;

// The teacher login ("Login"): a user name and password checked against UserList.xml. The
// logged-in flag it reads and writes is the application delegate's, shared by every window.
class LoginController : public QDialog
{
    Q_OBJECT
public:
    explicit LoginController(QWidget *parent = nullptr);

    static bool isLogin();
    static void setIsLogin(bool v);

    void doLogin();
    void doCancel();

    QLineEdit *textName = nullptr;
    QLineEdit *textPassword = nullptr;
    QPushButton *buttonLogin = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void controlTextDidChange();
    // Why a refused login may not be the teacher's typing (the accounts' file is missing in a
    // read-only folder, or cannot be read); empty when the accounts are the file's.
    static QString accountsTrouble();
    TovDBUI *dbUI = nullptr;
};
