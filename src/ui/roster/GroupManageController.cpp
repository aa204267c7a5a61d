#include "GroupManageController.h"

#include "GroupStudentManualController.h"
#include "StudentTableView.h"

#include "core/roster/RosterEdits.h"
#include "core/roster/RosterRecords.h"
#include "core/roster/StudentGrouping.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovClassXmlDatabase.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/controls/MyEnterFormatter.h"
#include "ui/controls/PollixAlert.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const QString kPollixArs = QStringLiteral("Pollix ARS");
}

GroupManageController::GroupManageController(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("GroupManage"));
    setWindowTitle(tr("Grouping"));
    cmbClass = new QComboBox(this);
    cmbClass->setObjectName(QStringLiteral("cmbClass"));
    cmbClass->setMinimumWidth(200);
    txtParticipant = new QLineEdit(this);
    txtParticipant->setObjectName(QStringLiteral("txtParticipant"));
    txtParticipant->setReadOnly(true);
    txtParticipant->setMaximumWidth(80);
    txtGroup = new QLineEdit(this);
    txtGroup->setObjectName(QStringLiteral("txtGroup"));
    txtGroup->setMaximumWidth(80);
    limitTextField(txtGroup, 2)->setNumberFormater();
    tblStudent = new StudentTableView(QStringLiteral("tblStudent"), this);
    tblStudent->setColumns({{tr("ID"), QStringLiteral("studentID"), 110},
                            {tr("Full Name"), QStringLiteral("studentFullName"), 170},
                            {tr("Groups"), QStringLiteral("groupNo"), 70}});
    tblStudent->setSelectionMode(QAbstractItemView::NoSelection);
    tblStudent->setMinimumSize(380, 360);
    auto makeButton = [this](QPushButton *&b, const char *name, const QString &text) {
        b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
    };
    makeButton(btnOrder, "btnOrder", tr("In Order"));
    makeButton(btnRandom, "btnRandom", tr("At Random"));
    makeButton(btnManual, "btnManual", tr("By Hand..."));
    makeButton(btnClose, "btnClose", tr("Close"));

    auto *head = new QFormLayout;
    head->addRow(tr("Class:"), cmbClass);
    head->addRow(tr("Participants:"), txtParticipant);
    head->addRow(tr("Groups:"), txtGroup);
    auto *ways = new QVBoxLayout;
    ways->addLayout(head);
    ways->addSpacing(8);
    for (QPushButton *b : {btnOrder, btnRandom, btnManual})
        ways->addWidget(b);
    ways->addStretch();
    auto *middle = new QHBoxLayout;
    middle->addWidget(tblStudent, 1);
    middle->addLayout(ways);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(btnClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);

    connect(cmbClass, &QComboBox::activated, this, &GroupManageController::comboBoxSelectionDidChange);
    connect(btnOrder, &QPushButton::clicked, this, &GroupManageController::doOrder);
    connect(btnRandom, &QPushButton::clicked, this, &GroupManageController::doRandom);
    connect(btnManual, &QPushButton::clicked, this, &GroupManageController::doManual);
    connect(btnClose, &QPushButton::clicked, this, &GroupManageController::doClose);
}

int GroupManageController::exec()
{
    awakeFromNib();
    return QDialog::exec();
}

void GroupManageController::awakeFromNib()
{
    m_classes = RosterRecords::classes(TovClassXmlDatabase::sharedClassUI()->classList());
    const QStringList names = RosterRecords::names(m_classes);
    const QSignalBlocker block(cmbClass);
    cmbClass->clear();
    cmbClass->addItems(names);
    cmbClass->setCurrentIndex(-1);
    if (classIndex >= 0 && classIndex < m_classes.size()) {
        cmbClass->setCurrentIndex(classIndex);
        loadStudents();
        showGroupCount();
    } else {
        classIndex = -1;
    }
}

int GroupManageController::classNo() const
{
    return classIndex >= 0 && classIndex < m_classes.size() ? m_classes.at(classIndex).classNo() : 0;
}

int GroupManageController::groupCount() const
{
    return txtGroup->text().toInt();
}

void GroupManageController::loadStudents()
{
    m_students.clear();
    for (const StudentEntity &s : TovClassXmlDatabase::sharedClassUI()->getStudentListByClassNo(classNo()))
        m_students << RosterRecords::studentInClass(s);
    tblStudent->setStudents(m_students);
    txtParticipant->setText(QString::number(m_students.size()));
}

void GroupManageController::showGroupCount()
{
    // The groups the class is in now, not one per student: a class never grouped is one group.
    int groups = 0;
    for (const StudentInClass &s : m_students)
        groups = std::max(groups, s.groupNo());
    txtGroup->setText(QString::number(std::clamp(groups, 1, 99)));
}

void GroupManageController::classChanged()
{
    NotificationCenter::defaultCenter()->postNotification(Notify::ClassChanged, {{Notify::Key::Index, classIndex}},
                                                          this);
}

void GroupManageController::comboBoxSelectionDidChange(int index)
{
    if (index < 0 || index >= m_classes.size())
        return;
    classIndex = index;
    loadStudents();
    showGroupCount();
    classChanged();
}

bool GroupManageController::dataCheckBeforeOperate()
{
    QString text;
    switch (StudentGrouping::check(int(m_students.size()), groupCount())) {
    case StudentGrouping::Check::Ok:
        return true;
    case StudentGrouping::Check::NoStudents:
        text = tr("Please add student to this class first.");
        break;
    case StudentGrouping::Check::NoGroups:
        text = tr("The group number should be greater than 0.");
        break;
    case StudentGrouping::Check::TooManyGroups:
        text = tr("The number of groups cannot exceed the number of students.");
        break;
    }
    PollixAlert::show(this, kPollixArs, text, {tr("OK")});
    txtGroup->selectAll();
    txtGroup->setFocus();
    return false;
}

bool GroupManageController::writeGroups(const QList<StudentInClass> &order)
{
    const QList<int> groups = StudentGrouping::groupsInOrder(int(order.size()), groupCount());
    QList<std::pair<QString, int>> byID;
    for (qsizetype i = 0; i < order.size(); ++i)
        byID.append({order.at(i).studentID(), groups.at(i)});
    const RosterEdits::Result r = RosterEdits::writeGroups(classNo(), byID, groupCount());
    if (!r.ok()) {
        PollixAlert::show(this, kPollixArs, tr("The groups could not be saved."), {tr("OK")}, r.errorText);
        return false;
    }
    return true;
}

void GroupManageController::doOrder()
{
    if (!dataCheckBeforeOperate())
        return;
    writeGroups(m_students);
    loadStudents();
    classChanged();
}

void GroupManageController::doRandom()
{
    if (!dataCheckBeforeOperate())
        return;
    // Seeded with the time in seconds: two groupings within one second come out the same.
    const auto seed = quint32(GlobalFunctions::currentDateTime().toSecsSinceEpoch());
    QList<StudentInClass> shuffled;
    for (int i : StudentGrouping::shuffledPositions(int(m_students.size()), seed))
        shuffled << m_students.at(i);
    writeGroups(shuffled);
    loadStudents();
    classChanged();
}

void GroupManageController::doManual()
{
    if (!dataCheckBeforeOperate())
        return;
    int highest = 0;
    for (const StudentInClass &s : m_students)
        highest = std::max(highest, s.groupNo());
    // Students in groups beyond the count would fall out of the outline: group in order first.
    if (highest > groupCount()) {
        if (!writeGroups(m_students))
            return;
        loadStudents();
        classChanged();
    }
    GroupStudentManualController manual(this);
    manual.setClassToGroup(classNo(), m_classes.at(classIndex).className());
    manual.setNumOfGroup(groupCount());
    manual.exec();
    loadStudents();
    classChanged();
}

void GroupManageController::doClose()
{
    done(0);
}

void GroupManageController::closeEvent(QCloseEvent *event)
{
    setResult(0);
    QDialog::closeEvent(event);
}
