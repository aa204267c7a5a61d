#include "HandRaiseMarkingController.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

HandRaiseMarkingController::HandRaiseMarkingController(QWidget *parent)
    : RunChildWindow(QStringLiteral("HandRaiseMarking"), "HandRaiseMarking", parent)
{
    setWindowTitle(tr("Points"));
    m_group = new QButtonGroup(this);
    auto *column = new QVBoxLayout;
    for (int row = 0; row < kRows; ++row) {
        const int points = pointsOfRow(row);
        auto *choice = new QRadioButton(points > 0 ? QStringLiteral("+%1").arg(points) : QString::number(points), this);
        choice->setObjectName(QStringLiteral("matrix%1").arg(row));
        m_group->addButton(choice, row);
        column->addWidget(choice);
        matrix << choice;
    }
    // It opens on no points: an answer is worth nothing until the teacher says otherwise.
    select(kRows / 2);
    btnOK = new QPushButton(tr("\"F1\" OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &HandRaiseMarkingController::OK);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(column);
    layout->addLayout(buttons);
}

int HandRaiseMarkingController::selectedRow() const
{
    return m_group->checkedId();
}

void HandRaiseMarkingController::select(int row)
{
    matrix.at(row)->setChecked(true);
}

void HandRaiseMarkingController::up()
{
    const int row = selectedRow();
    select(row <= 0 ? kRows - 1 : row - 1);
}

void HandRaiseMarkingController::down()
{
    const int row = selectedRow();
    select(row < 0 || row >= kRows - 1 ? 0 : row + 1);
}

void HandRaiseMarkingController::OK()
{
    m_nPoint = pointsOfRow(qMax(0, selectedRow()));
    accept();
}

void HandRaiseMarkingController::teacherAction(TeacherKeyMap::Action action)
{
    switch (action) {
    case TeacherKeyMap::Action::Ok: OK(); break;
    case TeacherKeyMap::Action::Previous: up(); break;
    case TeacherKeyMap::Action::Next: down(); break;
    default: break;
    }
}
