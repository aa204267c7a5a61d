#include "GetRequestQuesStus.h"

#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/controls/ColumnFit.h"
#include "ui/controls/WindowOwner.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

GetRequestQuesStus::GetRequestQuesStus(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("GetRequestQuesStus"));
    setWindowTitle(tr("Students Asking for Questions"));

    tableView = new QTableWidget(0, 2, this);
    tableView->setObjectName(QStringLiteral("tableView"));
    tableView->setHorizontalHeaderLabels({QStringLiteral("Student ID"), QStringLiteral("Student Full Name")});
    new ColumnFit(tableView, {ColumnFit::Whole, 141});
    tableView->setEditTriggers(QAbstractItemView::NoEditTriggers); // the rows are students, not text
    tableView->setSelectionBehavior(QAbstractItemView::SelectRows);

    auto *send = new QPushButton(tr("Send"), this);
    send->setObjectName(QStringLiteral("btnSend"));
    send->setDefault(true);
    auto *cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(send);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tableView);
    layout->addLayout(buttons);
    // Room for a 12-character ID beside a name of 20 + 20 letters, and for the whole title in the
    // window's frame: laid out to its contents, the window opened too narrow for both.
    resize(480, 320);

    connect(send, &QPushButton::clicked, this, &GetRequestQuesStus::onSend);
    connect(cancel, &QPushButton::clicked, this, &GetRequestQuesStus::onCancel);
}

void GetRequestQuesStus::installAsRequestWindow()
{
    QuizMode::setRequestQuesStusWindowFactory([] { return std::make_unique<GetRequestQuesStus>(); });
}

void GetRequestQuesStus::addRequestQuesStudents(const StudentInClassPtr &student, int stuDeviceID)
{
    if (!student)
        return;
    for (const auto &s : m_arrayRequestQuesStudents)
        if (s && s->studentID() == student->studentID())
            return;
    m_arrayRequestQuesStudents.append(student);
    m_arrayReadyForPollStudents.append(stuDeviceID);
    reloadTable();
}

void GetRequestQuesStus::reloadTable()
{
    tableView->setRowCount(int(m_arrayRequestQuesStudents.size()));
    for (int row = 0; row < m_arrayRequestQuesStudents.size(); ++row) {
        const auto &s = m_arrayRequestQuesStudents[row];
        tableView->setItem(row, 0, new QTableWidgetItem(s->studentID()));
        tableView->setItem(row, 1, new QTableWidgetItem(s->studentFullName()));
    }
}

void GetRequestQuesStus::showWindow()
{
    // A modal session: the teacher answers the list before going on with the run, while the
    // call returns at once so that further requests still reach the window and add rows. Made by
    // the run without an owner, it would open below the run window, which is kept above the
    // others, and block it unseen.
    WindowOwner::adopt(this);
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
}

void GetRequestQuesStus::onSend()
{
    NotificationCenter::defaultCenter()->postNotification(Notify::SendQuestionReady, {}, this);
    done(1);
}

void GetRequestQuesStus::onCancel()
{
    done(1);
}
