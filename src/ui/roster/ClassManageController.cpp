#include "ClassManageController.h"

#include "StudentInfoForm.h"
#include "StudentTableView.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/base/CommonFunc.h"
#include "core/roster/RosterEdits.h"
#include "core/roster/RosterRecords.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovStudentRoster.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/controls/EditHold.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/TableExtensions.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
const QString kPollix = QStringLiteral("Pollix");
const QString kPollixArs = QStringLiteral("Pollix ARS");

QList<StudentTableView::Column> studentColumns()
{
    return {{QObject::tr("ID"), QStringLiteral("studentID"), 110},
            {QObject::tr("Full Name"), QStringLiteral("studentFullName"), 150}};
}

} // namespace

ClassManageController::ClassManageController(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ClassManage"));
    setWindowTitle(tr("Class Students"));
    appDelegate = Orvenda_AppDelegate::getAppDelegate();
    nDeviceType = appDelegate ? appDelegate->currentDeviceType() : -1;
    buildWindow();
}

void ClassManageController::buildWindow()
{
    auto makeButton = [this](QPushButton *&b, const char *name, const QString &text) {
        b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
    };
    makeButton(btnAddFromRoster, "btnAddFromRoster", tr("Add >>"));
    makeButton(btnRemoveFromClass, "btnRemoveFromClass", tr("<< Remove"));
    makeButton(btnAddNew, "btnAddNew", tr("Add to Class"));
    makeButton(btnClose, "btnClose", tr("Close"));
    btnAddFromRoster->setEnabled(false);
    btnRemoveFromClass->setEnabled(false);

    tblStudentRoster = new StudentTableView(QStringLiteral("tblStudentRoster"), this);
    tblStudentInClass1 = new StudentTableView(QStringLiteral("tblStudentInClass1"), this);
    tblStudentInClass2 = new StudentTableView(QStringLiteral("tblStudentInClass2"), this);
    tblStudentInClass2->setSortable(false);
    // Only to show the student just added.
    tblStudentInClass2->setSelectionMode(QAbstractItemView::SingleSelection);
    for (StudentTableView *table : {tblStudentRoster, tblStudentInClass1, tblStudentInClass2}) {
        table->setColumns(studentColumns());
        table->setMinimumSize(280, 320);
    }
    for (StudentTableView *table : {tblStudentRoster, tblStudentInClass1})
        table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    comboClass1 = new QComboBox(this);
    comboClass1->setObjectName(QStringLiteral("comboClass1"));
    comboClass2 = new QComboBox(this);
    comboClass2->setObjectName(QStringLiteral("comboClass2"));

    studentInfo = new StudentInfoForm(QStringLiteral("textEMail"), StudentInfoForm::IdLetters::Ascii, this);
    textStudentID = studentInfo->textStudentID;
    textDeviceNo = studentInfo->textDeviceNo;
    textStudentFirstName = studentInfo->textStudentFirstName;
    textStudentLastName = studentInfo->textStudentLastName;
    textGroupNo = studentInfo->textGroupNo;
    textPhone = studentInfo->textPhone;
    textEMail = studentInfo->textMail;
    textRemarks = studentInfo->textRemarks;
    textResponsibility = studentInfo->textResponsibility;
    birth = studentInfo->birth;
    gender = studentInfo->gender;
    textAddress = studentInfo->textAddress;
    labelDeviceNo = studentInfo->labelDeviceNo;

    // The two tables of a page start at one height: their heads share the first row.
    auto classHead = [this](QComboBox *combo) {
        auto *head = new QFormLayout;
        head->addRow(tr("Class:"), combo);
        return head;
    };

    auto *rosterPage = new QWidget(this);
    auto *moves = new QVBoxLayout;
    moves->addStretch();
    moves->addWidget(btnAddFromRoster);
    moves->addWidget(btnRemoveFromClass);
    moves->addStretch();
    auto *rosterLayout = new QGridLayout(rosterPage);
    rosterLayout->addWidget(new QLabel(tr("Student Roster:"), rosterPage), 0, 0);
    rosterLayout->addWidget(tblStudentRoster, 1, 0);
    rosterLayout->addLayout(moves, 1, 1);
    rosterLayout->addLayout(classHead(comboClass1), 0, 2);
    rosterLayout->addWidget(tblStudentInClass1, 1, 2);
    rosterLayout->setColumnStretch(0, 1);
    rosterLayout->setColumnStretch(2, 1);
    rosterLayout->setRowStretch(1, 1);

    auto *newPage = new QWidget(this);
    auto *addRow = new QHBoxLayout;
    addRow->addStretch();
    addRow->addWidget(btnAddNew);
    auto *formColumn = new QVBoxLayout;
    formColumn->addWidget(studentInfo);
    formColumn->addLayout(addRow);
    formColumn->addStretch();
    auto *newLayout = new QGridLayout(newPage);
    newLayout->addLayout(formColumn, 0, 0, 2, 1);
    newLayout->addLayout(classHead(comboClass2), 0, 1);
    newLayout->addWidget(tblStudentInClass2, 1, 1);
    newLayout->setColumnStretch(0, 2);
    newLayout->setColumnStretch(1, 1);
    newLayout->setHorizontalSpacing(16);
    newLayout->setRowStretch(1, 1);

    tabView = new QTabWidget(this);
    tabView->setObjectName(QStringLiteral("tabView"));
    tabView->addTab(rosterPage, tr("From the Roster"));
    tabView->addTab(newPage, tr("New Student"));
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(btnClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabView, 1);
    layout->addLayout(bottom);

    connect(btnAddFromRoster, &QPushButton::clicked, this, &ClassManageController::doAddFromRoster);
    connect(btnRemoveFromClass, &QPushButton::clicked, this, &ClassManageController::doRemoveFromClass);
    connect(btnAddNew, &QPushButton::clicked, this, &ClassManageController::doAddNew);
    connect(btnClose, &QPushButton::clicked, this, &ClassManageController::doClose);
    for (QComboBox *combo : {comboClass1, comboClass2})
        connect(combo, &QComboBox::activated, this, [this, combo](int i) { comboBoxSelectionDidChange(combo, i); });
    for (StudentTableView *table : {tblStudentRoster, tblStudentInClass1}) {
        connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &ClassManageController::tableViewSelectionDidChange);
    }
    connect(studentInfo, &StudentInfoForm::edited, this, [this](QWidget *field) {
        m_formEdited = true;
        controlTextDidChange(field);
    });
    // A new student typed and not yet added is an edit every way out asks about.
    m_hold = new EditHold(this, [this] { return m_formEdited; }, [this] {
        return EditHold::askLeave(this, kPollixArs, tr("Are you sure to quit without saving?"), {tr("Yes"), tr("No")});
    });
}

int ClassManageController::exec()
{
    awakeFromNib();
    return QDialog::exec();
}

void ClassManageController::awakeFromNib()
{
    studentInfo->showDeviceNo(nDeviceType != 2 && nDeviceType != 3);
    loadStudentRoster();
    loadClass();
    if (classIndexToAddStudent >= 0 && classIndexToAddStudent < m_arrClasses.size()) {
        comboClass1->setCurrentIndex(classIndexToAddStudent);
        comboClass2->setCurrentIndex(classIndexToAddStudent);
        loadStudentsInClass(classNo());
    } else {
        classIndexToAddStudent = -1;
    }
    clearStudentInfo();
}

int ClassManageController::classNo() const
{
    const int i = classIndexToAddStudent;
    return i >= 0 && i < m_arrClasses.size() ? m_arrClasses.at(i).classNo() : 0;
}

int ClassManageController::maxStudents() const
{
    return appDelegate ? appDelegate->maxStudentNumberAllowed() : 400;
}

void ClassManageController::loadStudentRoster()
{
    m_arrStudentRoster.clear();
    for (const StudentEntity &s : TovStudentRoster::sharedUI()->getAllStudents().value_or(QList<StudentEntity>()))
        m_arrStudentRoster << RosterRecords::studentInClass(s);
    tblStudentRoster->setStudents(m_arrStudentRoster);
}

void ClassManageController::loadClass()
{
    m_arrClasses = RosterRecords::classes(TovClassXmlDatabase::sharedClassUI()->classList());
    const QStringList names = RosterRecords::names(m_arrClasses);
    for (QComboBox *combo : {comboClass1, comboClass2}) {
        const QSignalBlocker block(combo);
        combo->clear();
        combo->addItems(names);
        combo->setCurrentIndex(-1);
    }
}

void ClassManageController::loadStudentsInClass(int no)
{
    m_arrStudentInClass.clear();
    for (const StudentEntity &s : TovClassXmlDatabase::sharedClassUI()->getStudentListByClassNo(no))
        m_arrStudentInClass << RosterRecords::studentInClass(s);
    tblStudentInClass1->setStudents(m_arrStudentInClass);
    tblStudentInClass2->setStudents(m_arrStudentInClass);
    tableViewSelectionDidChange();
}

void ClassManageController::clearStudentInfo()
{
    studentInfo->clear();
    btnAddNew->setEnabled(false);
    m_formEdited = false;
}

void ClassManageController::classChanged()
{
    NotificationCenter::defaultCenter()->postNotification(Notify::ClassChanged,
                                                          {{Notify::Key::Index, classIndexToAddStudent}}, this);
}

void ClassManageController::alert(const QString &title, const QString &text, const QString &informativeText)
{
    PollixAlert::show(this, title, text, {tr("OK")}, informativeText);
}

void ClassManageController::comboBoxSelectionDidChange(QComboBox *, int index)
{
    if (index < 0 || index == classIndexToAddStudent || index >= m_arrClasses.size())
        return;
    classIndexToAddStudent = index;
    comboClass1->setCurrentIndex(index);
    comboClass2->setCurrentIndex(index);
    loadStudentsInClass(classNo());
    // A form typed before a class was chosen can now be added.
    controlTextDidChange(textStudentID);
    classChanged();
}

void ClassManageController::tableViewSelectionDidChange()
{
    btnAddFromRoster->setEnabled(!tblStudentRoster->selectedRows().isEmpty() && classIndexToAddStudent >= 0);
    btnRemoveFromClass->setEnabled(!tblStudentInClass1->selectedRows().isEmpty());
}

void ClassManageController::controlTextDidChange(QWidget *field)
{
    if (classIndexToAddStudent == -1) {
        btnAddNew->setEnabled(false);
        return;
    }
    if (field == textStudentID || field == textStudentFirstName || field == textStudentLastName) {
        btnAddNew->setEnabled(!trimString(textStudentID->text()).isEmpty() &&
                              (!trimString(textStudentFirstName->text()).isEmpty() ||
                               !trimString(textStudentLastName->text()).isEmpty()));
    }
}

void ClassManageController::doAddFromRoster()
{
    if (classIndexToAddStudent < 0)
        return;
    QList<StudentEntity> picked;
    const QList<StudentInClass> &shown = tblStudentRoster->students();
    for (int row : tblStudentRoster->selectedRows())
        picked << RosterRecords::studentEntity(shown.at(row));
    const int most = maxStudents();
    const RosterEdits::Result r = RosterEdits::addFromRoster(picked, classNo(), most);
    if (r.outcome == RosterEdits::Outcome::WriteFailed)
        alert(kPollixArs, tr("The students could not be added to the class."), r.errorText);
    else if (r.outcome == RosterEdits::Outcome::ClassFull || r.leftOut > 0)
        // Students that found no room are told of, also when others went in.
        alert(kPollix, tr("The max number of students in a class is %1.").arg(most));
    tblStudentRoster->clearSelection();
    loadStudentsInClass(classNo());
    // Those of the picked that the class now holds (left out for want of room, they are not there).
    QStringList ids;
    for (const StudentEntity &s : picked)
        ids << s.id();
    if (r.outcome != RosterEdits::Outcome::WriteFailed)
        showInClass(ids);
    classChanged();
}

void ClassManageController::showInClass(const QStringList &ids)
{
    for (StudentTableView *table : {tblStudentInClass1, tblStudentInClass2}) {
        QList<int> rows;
        for (int r = 0; r < table->students().size(); ++r)
            if (ids.contains(table->students().at(r).studentID()))
                rows << r;
        // The form's table shows one student: the first.
        if (table == tblStudentInClass2 && rows.size() > 1)
            rows = rows.mid(0, 1);
        selectRowsInSight(table, rows);
    }
    tableViewSelectionDidChange();
}

void ClassManageController::doAddNew()
{
    if (classIndexToAddStudent < 0)
        return;
    const int most = maxStudents();
    const QString full = tr("Cannot add more than %1 students to a class.").arg(most);
    if (TovClassXmlDatabase::sharedClassUI()->studentCountInClass(classNo()) >= most) {
        alert(kPollixArs, full);
        return;
    }
    const StudentEntity record = studentInfo->record();
    // Where the receiver hides the keypad number, each typed student takes the next free one.
    const RosterEdits::Result r = RosterEdits::addNewStudent(record, classNo(), most, textDeviceNo->isHidden());
    switch (r.outcome) {
    case RosterEdits::Outcome::ClassFull:
        alert(kPollixArs, full);
        return;
    case RosterEdits::Outcome::IdInRoster:
    case RosterEdits::Outcome::IdInClass:
        alert(kPollixArs, tr("The student ID: %1 already exists.").arg(record.id()));
        textStudentID->selectAll();
        textStudentID->setFocus();
        return;
    case RosterEdits::Outcome::WriteFailed:
        alert(kPollixArs, tr("The student could not be added."), r.errorText);
        return;
    case RosterEdits::Outcome::Done:
        break;
    }
    loadStudentRoster();
    loadStudentsInClass(classNo());
    showInClass({record.id()});
    classChanged();
    clearStudentInfo();
}

void ClassManageController::doRemoveFromClass()
{
    QStringList ids;
    const QList<StudentInClass> &shown = tblStudentInClass1->students();
    for (int row : tblStudentInClass1->selectedRows())
        ids << shown.at(row).studentID();
    if (ids.isEmpty())
        return;
    const RosterEdits::Result r = RosterEdits::removeFromClass(ids, classNo());
    if (!r.ok())
        alert(kPollixArs, tr("The students could not be removed from the class."), r.errorText);
    tblStudentInClass1->clearSelection();
    loadStudentsInClass(classNo());
    classChanged();
}

void ClassManageController::doClose()
{
    m_hold->leave(0);
}

void ClassManageController::closeEvent(QCloseEvent *event)
{
    setResult(0);
    QDialog::closeEvent(event);
}
