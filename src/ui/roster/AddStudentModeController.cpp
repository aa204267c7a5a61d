#include "AddStudentModeController.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

AddStudentModeController::AddStudentModeController(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AddStudentMode"));
    setWindowTitle(tr("Add Students"));
    modeToAddStudents = new QWidget(this);
    modeToAddStudents->setObjectName(QStringLiteral("modeToAddStudents"));
    m_rows = new QButtonGroup(this);
    auto *rows = new QVBoxLayout(modeToAddStudents);
    const QStringList titles{tr("Type in new students"), tr("Choose students from the student roster"),
                             tr("Import students from a CSV file")};
    for (int row = 0; row < titles.size(); ++row) {
        auto *cell = new QRadioButton(titles.at(row), modeToAddStudents);
        cell->setObjectName(QStringLiteral("modeToAddStudents_%1").arg(row));
        m_rows->addButton(cell, row);
        rows->addWidget(cell);
    }
    m_rows->button(0)->setChecked(true);

    btnOK = new QPushButton(tr("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(tr("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnOK);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("How do the students of the new class come in?"), this));
    layout->addWidget(modeToAddStudents);
    layout->addLayout(buttons);
    connect(btnOK, &QPushButton::clicked, this, &AddStudentModeController::doOK);
    connect(btnCancel, &QPushButton::clicked, this, &AddStudentModeController::doCancel);
}

void AddStudentModeController::setImportAvailable(bool available)
{
    QAbstractButton *import = m_rows->button(2);
    import->setEnabled(available);
    if (!available && import->isChecked())
        m_rows->button(0)->setChecked(true);
}

void AddStudentModeController::doOK()
{
    m_switchType = m_rows->checkedId();
    done(1);
}

void AddStudentModeController::doCancel()
{
    done(0);
}

void AddStudentModeController::closeEvent(QCloseEvent *event)
{
    setResult(0);
    QDialog::closeEvent(event);
}
