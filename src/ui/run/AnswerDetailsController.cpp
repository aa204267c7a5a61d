#include "AnswerDetailsController.h"

#include "core/engine/AnswerDetails.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

AnswerDetailsController::AnswerDetailsController(QWidget *parent)
    : RunChildWindow(QStringLiteral("AnswerDetails"), "AnswerDetails", parent)
{
    setWindowTitle(tr("Answer Details"));
    resize(480, 560);
    studentID = new QLabel(this);
    studentID->setObjectName(QStringLiteral("studentID"));
    tableView = new QTableWidget(this);
    tableView->setObjectName(QStringLiteral("tableView"));
    tableView->verticalHeader()->hide();
    tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    btnOK = new QPushButton(tr("\"F2\" OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &AnswerDetailsController::onOK);

    auto *head = new QHBoxLayout;
    head->addWidget(new QLabel(tr("Student ID:"), this));
    head->addWidget(studentID, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(tableView, 1);
    layout->addLayout(buttons);
}

void AnswerDetailsController::windowDidLoad()
{
    studentID->setText(m_studentInfo ? m_studentInfo->studentID() : QString());
    const QList<QuestionReport::Column> columns = AnswerDetails::columns(m_nMode);
    const AnswerDetails details(m_nMode, m_studentInfo);
    tableView->setColumnCount(int(columns.size()));
    QStringList titles;
    for (const QuestionReport::Column &c : columns) {
        titles << c.identifier;
        m_widths << c.width;
    }
    tableView->setHorizontalHeaderLabels(titles);
    keepColumnShares(tableView, m_widths);
    tableView->setRowCount(details.rowCount());
    for (int r = 0; r < details.rowCount(); ++r) {
        for (int c = 0; c < columns.size(); ++c) {
            auto *item = new QTableWidgetItem(details.cell(r, columns[c].identifier));
            item->setTextAlignment(Qt::AlignCenter);
            tableView->setItem(r, c, item);
        }
    }
}

void AnswerDetailsController::onOK()
{
    accept();
}

void AnswerDetailsController::teacherAction(TeacherKeyMap::Action action)
{
    if (action == TeacherKeyMap::Action::Cancel || action == TeacherKeyMap::Action::Ok)
        onOK();
}
