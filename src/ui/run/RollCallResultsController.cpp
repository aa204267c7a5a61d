#include "RollCallResultsController.h"

#include "core/engine/RollCallFigures.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

RollCallResultsController::RollCallResultsController(QWidget *parent)
    : RunChildWindow(QStringLiteral("RollCallResults"), "QuizResult", parent)
{
    setWindowTitle(tr("Attendance"));
    setPostsLoginViewToNormal(true);
    numberOfParticipants = addField("numberOfParticipants");
    numberOfAttendants = addField("numberOfAttendants");
    percentageOfAttendants = addField("percentageOfAttendants");
    numberOfAbsentees = addField("numberOfAbsentees");
    percentageOfAbsentees = addField("percentageOfAbsentees");
    for (QLabel *figure : {numberOfParticipants, numberOfAttendants, percentageOfAttendants, numberOfAbsentees, percentageOfAbsentees})
        figure->setMinimumWidth(80);
    auto *form = new QFormLayout;
    form->addRow(tr("Participants:"), numberOfParticipants);
    form->addRow(tr("Attendants:"), numberOfAttendants);
    form->addRow(tr("Attendance Rate:"), percentageOfAttendants);
    form->addRow(tr("Absentees:"), numberOfAbsentees);
    form->addRow(tr("Absence Rate:"), percentageOfAbsentees);

    // The drawer: the absentees, under the figures, shown on request.
    drawer = new QWidget(this);
    drawer->setObjectName(QStringLiteral("drawer"));
    tableView = new QTableWidget(0, 2, drawer);
    tableView->setObjectName(QStringLiteral("tableView"));
    tableView->setHorizontalHeaderLabels({tr("ID"), tr("Student Name")});
    tableView->verticalHeader()->hide();
    tableView->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Class order until the teacher clicks a column's head.
    tableView->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    tableView->setSortingEnabled(true);
    tableView->setMinimumSize(332, 240);
    auto *drawerLayout = new QVBoxLayout(drawer);
    drawerLayout->setContentsMargins(16, 0, 0, 0);
    drawerLayout->addWidget(tableView);
    drawer->hide();

    btnList = new QPushButton(tr("\"F1\" Absentees"), this);
    btnList->setObjectName(QStringLiteral("btnList"));
    btnOK = new QPushButton(tr("\"F2\" OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    connect(btnList, &QPushButton::clicked, this, &RollCallResultsController::onList);
    connect(btnOK, &QPushButton::clicked, this, &RollCallResultsController::onOK);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnList);
    buttons->addStretch();
    buttons->addWidget(btnOK);
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(drawer);
}

void RollCallResultsController::windowDidLoad()
{
    m_absentees = RollCallFigures::absentees();
    const int participants = QuizParticipantData::shareManager()->getSumOfClassStudents();
    const int absent = int(m_absentees.size());
    const int present = participants - absent;
    numberOfParticipants->setText(QString::number(participants));
    numberOfAttendants->setText(QString::number(present));
    numberOfAbsentees->setText(QString::number(absent));
    percentageOfAttendants->setText(RollCallFigures::rate(present, participants));
    percentageOfAbsentees->setText(RollCallFigures::rate(absent, participants));
    tableView->setSortingEnabled(false);
    tableView->setRowCount(absent);
    for (int r = 0; r < absent; ++r) {
        const StudentInClassPtr &s = m_absentees.at(r);
        tableView->setItem(r, 0, new QTableWidgetItem(s->studentID()));
        tableView->setItem(r, 1, new QTableWidgetItem(s->studentFullName()));
    }
    tableView->setSortingEnabled(true);
}

void RollCallResultsController::onList()
{
    m_bListIsOpen = !m_bListIsOpen;
    drawer->setVisible(m_bListIsOpen);
}

void RollCallResultsController::onOK()
{
    accept();
}

void RollCallResultsController::teacherAction(TeacherKeyMap::Action action)
{
    switch (action) {
    case TeacherKeyMap::Action::Ok: onList(); break;
    case TeacherKeyMap::Action::Cancel: onOK(); break;
    default: break;
    }
}
