#include "ReportNumberDialog.h"

#include "ui/controls/PMResolutionFormatter.h"
#include "ui/controls/ProposedText.h"
#include "ui/controls/TovLabel.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ReportNumberDialog::ReportNumberDialog(const QString &name, const QString &title, const QString &caption,
                                       const QString &after, int maximum, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(name);
    setWindowTitle(title);
    m_field = new QLineEdit(this);
    auto *formatter = new PMResolutionFormatter(m_field);
    formatter->setDigitWithMaxNum(maximum);
    formatter->attachTo(m_field);
    ProposedText::propose(m_field, QStringLiteral("0"));

    btnOK = new QPushButton(tr("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(tr("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);
    connect(btnOK, &QPushButton::clicked, this, &ReportNumberDialog::doOK);
    connect(btnCancel, &QPushButton::clicked, this, &ReportNumberDialog::doCancel);

    auto *row = new QHBoxLayout;
    row->addWidget(new TovLabel(caption, this));
    row->addWidget(m_field);
    row->addWidget(new TovLabel(after, this));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnOK);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
}

void ReportNumberDialog::doOK()
{
    done(resultFor(TextFormatter::leadingInteger(m_field->text())));
}

void ReportNumberDialog::doCancel()
{
    done(0);
}
