#include "EnterUserNameAndPassWordController.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

EnterUserNameAndPassWordController::EnterUserNameAndPassWordController(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("EnterUserNameAndPassWord"));
    setWindowTitle(QStringLiteral("Pollix"));
    userName = new QLineEdit(this);
    userName->setObjectName(QStringLiteral("userName"));
    passWord = new QLineEdit(this);
    passWord->setObjectName(QStringLiteral("passWord"));
    passWord->setEchoMode(QLineEdit::Password);
    auto *ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));

    auto *form = new QFormLayout;
    form->addRow(tr("User Name:"), userName);
    form->addRow(tr("Password:"), passWord);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(ok);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &EnterUserNameAndPassWordController::onOK);
    connect(cancel, &QPushButton::clicked, this, &EnterUserNameAndPassWordController::onCancel);
}

void EnterUserNameAndPassWordController::onOK()
{
    m_strName = userName->text();
    m_strPassWord = passWord->text();
    done(1);
}

// Cancelling the prompt ends the prompt, not the program: the caller decides what follows.
void EnterUserNameAndPassWordController::onCancel()
{
    done(0);
}
