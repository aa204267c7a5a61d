#include "SendQueCtrl.h"

#include "core/store/TovConfigXmlDatabase.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

SendQueCtrl::SendQueCtrl(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SendQueCtrl"));
    setWindowTitle(tr("Send Questions"));

    sendState = new QWidget(this);
    sendState->setObjectName(QStringLiteral("sendState"));
    rowOff = new QRadioButton(tr("Do not send questions to keypads"), sendState);
    rowOff->setObjectName(QStringLiteral("sendStateRow0"));
    rowOn = new QRadioButton(tr("Send questions to keypads"), sendState);
    rowOn->setObjectName(QStringLiteral("sendStateRow1"));
    m_rows = new QButtonGroup(this);
    m_rows->addButton(rowOff, 0);
    m_rows->addButton(rowOn, 1);
    auto *rows = new QVBoxLayout(sendState);
    rows->addWidget(rowOff);
    rows->addWidget(rowOn);

    auto *ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(ok);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(sendState);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &SendQueCtrl::doOK);
    connect(cancel, &QPushButton::clicked, this, &SendQueCtrl::doCancel);

    // awakeFromNib: the stored flag picks the row
    (getSendQueState() ? rowOn : rowOff)->setChecked(true);
}

bool SendQueCtrl::getSendQueState()
{
    return TovConfigXmlDatabase::sharedConfigUI()->getSendQuestionState() != 0;
}

void SendQueCtrl::doOK()
{
    const int row = m_rows->checkedId();
    if (row >= 0 && (row == 1) != getSendQueState())
        TovConfigXmlDatabase::sharedConfigUI()->updateSendQuestionState(row);
    done(1);
}

void SendQueCtrl::doCancel()
{
    done(1);
}

void SendQueCtrl::closeEvent(QCloseEvent *event)
{
    setResult(0);
    QDialog::closeEvent(event);
}
