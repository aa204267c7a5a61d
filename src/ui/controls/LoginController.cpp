#include "LoginController.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/app/TovDBUI.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovUserListXmlDatabase.h"
#include "ui/controls/MyEnterFormatter.h"
#include "ui/controls/PollixAlert.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

LoginController::LoginController(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Login"));
    setWindowTitle(tr("Login"));
    dbUI = TovDBUI::sharedDBUI();

    textName = new QLineEdit(this);
    textName->setObjectName(QStringLiteral("textName"));
    textPassword = new QLineEdit(this);
    textPassword->setObjectName(QStringLiteral("textPassword"));
    textPassword->setEchoMode(QLineEdit::Password);
    buttonLogin = new QPushButton(tr("Login"), this);
    buttonLogin->setObjectName(QStringLiteral("buttonLogin"));
    buttonLogin->setDefault(true);
    auto *cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("buttonCancel"));

    auto *form = new QFormLayout;
    form->addRow(tr("User Name:"), textName);
    form->addRow(tr("Password:"), textPassword);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(buttonLogin);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    limitTextField(textName, 50);
    limitTextField(textPassword, 50);
    // Nothing can match an empty user name, so Login waits for one.
    controlTextDidChange();
    connect(textName, &QLineEdit::textChanged, this, &LoginController::controlTextDidChange);
    connect(buttonLogin, &QPushButton::clicked, this, &LoginController::doLogin);
    connect(cancel, &QPushButton::clicked, this, &LoginController::doCancel);
}

// The application delegate holds the one logged-in flag, so that the main window, the class set-up
// and every login dialog see the same state.
bool LoginController::isLogin()
{
    const Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    return app && app->isLogin();
}

void LoginController::setIsLogin(bool v)
{
    if (Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate())
        app->setIsLogin(v);
}

void LoginController::controlTextDidChange()
{
    buttonLogin->setEnabled(!textName->text().isEmpty());
}

void LoginController::doLogin()
{
    UserEntity user;
    user.setName(textName->text());
    user.setPassword(GlobalFunctions::encryptForPasswordString(textPassword->text()));
    if (TovUserListXmlDatabase::sharedUI()->isValidUser(user)) {
        setIsLogin(true);
        done(1);
        return;
    }
    PollixAlert::show(this, QStringLiteral("Pollix"), tr("Invalid user name or password!"), {tr("OK")}, accountsTrouble());
}

QString LoginController::accountsTrouble()
{
    const TovUserListXmlDatabase *store = TovUserListXmlDatabase::sharedUI();
    const QString why = store->troubleReason();
    const QString file = QDir::toNativeSeparators(store->filePath());
    const QFileInfo folder(QFileInfo(store->filePath()).path());
    switch (store->trouble()) {
    case TovUserListXmlDatabase::Trouble::None:
        break;
    case TovUserListXmlDatabase::Trouble::NotMade:
        if (!folder.isWritable())
            return tr("The folder %1 is read-only, and the login accounts' file is missing there (%2): only the built-in "
                      "account can log in until the folder can be written.")
                .arg(QDir::toNativeSeparators(folder.filePath()), why);
        return tr("The login accounts' file %1 is missing and could not be made again (%2): only the built-in account "
                  "can log in until it can be.")
            .arg(file, why);
    case TovUserListXmlDatabase::Trouble::Unreadable:
        return tr("The login accounts' file %1 cannot be read (%2), so no account can log in.").arg(file, why);
    }
    return QString();
}

void LoginController::doCancel()
{
    setIsLogin(false);
    done(0);
}

void LoginController::reject()
{
    doCancel();
}

void LoginController::closeEvent(QCloseEvent *event)
{
    setIsLogin(false);
    QDialog::closeEvent(event);
}
