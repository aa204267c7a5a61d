#include "LoginSetCtrl.h"

#include "core/app/TovDBUI.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovUserListXmlDatabase.h"
#include "ui/controls/MyEnterFormatter.h"
#include "ui/controls/EditHold.h"
#include "ui/controls/PollixAlert.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

LoginSetCtrl::LoginSetCtrl(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LoginSet"));
    setWindowTitle(tr("Login Setup"));
    dbUI = TovDBUI::sharedDBUI();

    const auto field = [this](const char *name, bool secret) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        if (secret)
            e->setEchoMode(QLineEdit::Password);
        limitTextField(e, 10);
        return e;
    };
    textUserName = field("textUserName", false);
    textOldPassword = field("textOldPassword", true);
    textNewUserName = field("textNewUserName", false);
    textNewPassword = field("textNewPassword", true);
    textConfirmPassword = field("textConfirmPassword", true);

    auto *form = new QFormLayout;
    form->addRow(tr("User Name:"), textUserName);
    form->addRow(tr("Password:"), textOldPassword);
    form->addRow(tr("New User Name:"), textNewUserName);
    form->addRow(tr("New Password:"), textNewPassword);
    form->addRow(tr("Confirm Password:"), textConfirmPassword);

    auto *ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    auto *close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    buttons->addWidget(ok);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &LoginSetCtrl::doOK);
    connect(close, &QPushButton::clicked, this, &LoginSetCtrl::doClose);
    m_hold = new EditHold(
        this,
        [this] {
            for (QLineEdit *e : {textUserName, textOldPassword, textNewUserName, textNewPassword, textConfirmPassword})
                if (!e->text().isEmpty())
                    return true;
            return false;
        },
        [this] {
            return EditHold::askLeave(this, QStringLiteral("Pollix ARS"), tr("Are you sure to quit without saving?"),
                                      {tr("Yes"), tr("No")});
        });
}

void LoginSetCtrl::doOK()
{
    const QString title = QStringLiteral("Pollix ARS");
    if (textNewUserName->text().isEmpty() || textNewPassword->text().isEmpty()) {
        PollixAlert::show(this, title, tr("The new user name or the new password cannot be empty."));
        return;
    }
    TovUserListXmlDatabase *store = TovUserListXmlDatabase::sharedUI();
    UserEntity current;
    current.setName(textUserName->text());
    current.setPassword(GlobalFunctions::encryptForPasswordString(textOldPassword->text()));
    if (!store->isValidUser(current)) {
        PollixAlert::show(this, title, tr("Invalid user name or password."));
        return;
    }
    if (textNewPassword->text() != textConfirmPassword->text()) {
        PollixAlert::show(this, title, tr("New passwords are not the same."));
        return;
    }
    QString why;
    if (!store->updateUser(current.name(), textNewUserName->text(),
                           GlobalFunctions::encryptForPasswordString(textNewPassword->text()), &why)) {
        // The account file could not be written: the old name and password still hold.
        PollixAlert::show(this, title, tr("The new user name and password could not be saved."), {tr("OK")}, why);
        return;
    }
    done(1);
}

void LoginSetCtrl::doClose()
{
    m_hold->leave(0);
}
