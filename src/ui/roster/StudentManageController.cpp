#include "StudentManageController.h"

#include "StudentInfoForm.h"
#include "StudentTableView.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/roster/RosterEdits.h"
#include "core/roster/RosterRecords.h"
#include "core/store/TovClassXmlDatabase.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/controls/EditHold.h"
#include "ui/controls/PollixAlert.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {
const QString kPollixArs = QStringLiteral("Pollix ARS");

STUDENTINFO infoOf(const StudentInClass &s)
{
    STUDENTINFO info;
    info.studentNo = s.studentNo();
    info.studentID = s.studentID();
    info.studentFirstName = s.studentFirstName();
    info.studentLastName = s.studentLastName();
    info.birthDay = s.birthDay();
    info.groupNo = s.groupNo();
    info.deviceNo = s.deviceNo();
    info.remark = s.remark();
    info.nGender = s.gender();
    info.responsibility = s.duty();
    info.address = s.address();
    info.phone = s.telephone();
    info.e_Mail = s.eMail();
    return info;
}
} // namespace

StudentManageController::StudentManageController(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("StudentManage"));
    setWindowTitle(tr("Students"));
    appDelegate = Orvenda_AppDelegate::getAppDelegate();
    buildWindow();
}

void StudentManageController::buildWindow()
{
    auto makeButton = [this](QPushButton *&b, const char *name, const QString &text) {
        b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
    };
    makeButton(btnAdd, "btnAdd", tr("Add"));
    makeButton(btnModify, "btnModify", tr("Modify"));
    makeButton(btnDelete, "btnDelete", tr("Delete"));
    makeButton(btnCancel, "btnCancel", tr("Cancel"));
    makeButton(btnSave, "btnSave", tr("Save"));
    makeButton(btnClose, "btnClose", tr("Close"));
    comboClass = new QComboBox(this);
    comboClass->setObjectName(QStringLiteral("comboClass"));
    comboClass->setMinimumWidth(200);
    tblStudents = new StudentTableView(QStringLiteral("tblStudents"), this);
    tblStudents->setSelectionMode(QAbstractItemView::SingleSelection);
    tblStudents->setMinimumSize(320, 360);

    studentInfo = new StudentInfoForm(QStringLiteral("textMail"), StudentInfoForm::IdLetters::AnyScript, this);
    textStudentID = studentInfo->textStudentID;
    textStudentFirstName = studentInfo->textStudentFirstName;
    textStudentLastName = studentInfo->textStudentLastName;
    textGroupNo = studentInfo->textGroupNo;
    textDeviceNo = studentInfo->textDeviceNo;
    textRemarks = studentInfo->textRemarks;
    textResponsibility = studentInfo->textResponsibility;
    textPhone = studentInfo->textPhone;
    textMail = studentInfo->textMail;
    textAddress = studentInfo->textAddress;
    birth = studentInfo->birth;
    gender = studentInfo->gender;
    labelDeviceNo = studentInfo->labelDeviceNo;

    auto *left = new QVBoxLayout;
    auto *choice = new QFormLayout;
    choice->addRow(tr("Class:"), comboClass);
    left->addLayout(choice);
    left->addWidget(tblStudents, 1);

    auto *actions = new QHBoxLayout;
    for (QPushButton *b : {btnAdd, btnModify, btnDelete})
        actions->addWidget(b);
    actions->addStretch();
    actions->addWidget(btnCancel);
    actions->addWidget(btnSave);
    auto *right = new QVBoxLayout;
    right->addWidget(studentInfo);
    right->addStretch();
    right->addLayout(actions);

    auto *middle = new QHBoxLayout;
    middle->addLayout(left, 2);
    middle->addSpacing(12);
    middle->addLayout(right, 3);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(btnClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);

    connect(btnAdd, &QPushButton::clicked, this, &StudentManageController::doAdd);
    connect(btnModify, &QPushButton::clicked, this, &StudentManageController::doModify);
    connect(btnDelete, &QPushButton::clicked, this, &StudentManageController::doDelete);
    connect(btnCancel, &QPushButton::clicked, this, [this] { doCancel(); });
    connect(btnSave, &QPushButton::clicked, this, &StudentManageController::doSave);
    connect(btnClose, &QPushButton::clicked, this, &StudentManageController::doClose);
    connect(comboClass, &QComboBox::activated, this, &StudentManageController::comboBoxSelectionDidChange);
    connect(tblStudents->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_observing)
            studentSelectedChange();
    });
    connect(studentInfo, &StudentInfoForm::edited, this, [this] { bIsStudentInfoChanged = true; });

    // Escape, the close box and Close ask alike. The question's own Cancel, Escape and close box
    // go back to the window with the edits, as every question in the program does; its other two
    // buttons say what they do to the edits.
    m_hold = new EditHold(
        this, [this] { return m_winState != Browsing && bIsStudentInfoChanged; },
        [this] {
            return EditHold::askSave(this, kPollixArs, tr("Do you want to update?"),
                                     {tr("Save"), tr("Don't Save"), tr("Cancel")}, [this] {
                                         doSave();
                                         return m_canClose;
                                     });
        });
}

void StudentManageController::setStudentToModify(int studentNo, int classIndex)
{
    m_studentNoToModify = studentNo;
    m_winState = studentNo != 0 ? Modifying : Adding;
    m_classIndexToModify = classIndex;
}

int StudentManageController::exec()
{
    awakeFromNib();
    return QDialog::exec();
}

void StudentManageController::awakeFromNib()
{
    m_observing = false;
    const int type = appDelegate ? appDelegate->currentDeviceType() : -1;
    QList<StudentTableView::Column> columns;
    if (type == 0 || type == 1 || type == 4)
        columns = {{tr("ID"), QStringLiteral("studentID"), 100},
                   {tr("Full Name"), QStringLiteral("studentFullName"), 115},
                   {tr("Device NO."), QStringLiteral("deviceNo"), 79}};
    else if (type == 2 || type == 3)
        columns = {{tr("ID"), QStringLiteral("studentID"), 140},
                   {tr("Full Name"), QStringLiteral("studentFullName"), 176}};
    tblStudents->setColumns(columns);
    studentInfo->showDeviceNo(type != 2 && type != 3);

    loadClass();
    if (m_classIndexToModify >= 0 && m_classIndexToModify < m_classes.size()) {
        comboClass->setCurrentIndex(m_classIndexToModify);
        loadStudentsInClass(classNo());
    } else {
        m_classIndexToModify = -1;
    }
    if (m_winState == Adding) {
        clearStudentInfo();
        setStudentInfoEnable(true);
    } else {
        loadStudentInfo(m_studentNoToModify);
        setStudentInfoEnable(true);
        if (m_studentNoToModify >= 1 && m_studentNoToModify <= tblStudents->rowCount()) {
            selectRowQuietly(m_studentNoToModify - 1);
            tblStudents->scrollToItem(tblStudents->item(m_studentNoToModify - 1, 0));
        }
    }
    bIsStudentInfoChanged = false;
    m_observing = true;
    setButtonState(m_winState);
    m_canClose = true;
}

int StudentManageController::classNo() const
{
    const int i = m_classIndexToModify;
    return i >= 0 && i < m_classes.size() ? m_classes.at(i).classNo() : 0;
}

void StudentManageController::loadClass()
{
    m_classes = RosterRecords::classes(TovClassXmlDatabase::sharedClassUI()->classList());
    const QStringList names = RosterRecords::names(m_classes);
    const QSignalBlocker block(comboClass);
    comboClass->clear();
    comboClass->addItems(names);
    comboClass->setCurrentIndex(-1);
}

void StudentManageController::loadStudentsInClass(int no)
{
    m_students.clear();
    for (const StudentEntity &s : TovClassXmlDatabase::sharedClassUI()->getStudentListByClassNo(no))
        m_students << RosterRecords::studentInClass(s);
    const bool observing = m_observing;
    m_observing = false;
    tblStudents->setStudents(m_students);
    m_observing = observing;
}

void StudentManageController::selectRowQuietly(int row)
{
    const bool observing = m_observing;
    m_observing = false;
    if (row < 0)
        tblStudents->clearSelection();
    else
        tblStudents->selectRows({row});
    m_observing = observing;
}

void StudentManageController::showStudent(const StudentInClass *student, const RosterEdits::StudentAsRead *written)
{
    if (!student) {
        clearStudentInfo();
        return;
    }
    // The form shows what a save of it would replace, as the files hold it now: a save refused
    // over another program's change shows that change once the window is opened again.
    StudentInClass shown = *student;
    if (written) {
        m_shownAsRead = *written;
    } else {
        const RosterEdits::StudentRead read = RosterEdits::readStudent(classNo(), student->studentID());
        m_shownAsRead = read.records;
        if (read.student) {
            shown = RosterRecords::studentInClass(*read.student);
            shown.setStudentNo(student->studentNo());
        }
    }
    m_infoBeforeModify = infoOf(shown);
    m_studentNoToModify = shown.studentNo();
    studentInfo->showStudent(shown);
}

void StudentManageController::loadStudentInfo(int studentNo)
{
    const StudentInClass *found = nullptr;
    for (const StudentInClass &s : m_students) {
        if (studentNo != 0 && s.studentNo() == studentNo) {
            found = &s;
            break;
        }
    }
    showStudent(found);
}

void StudentManageController::loadStudentInfoByID(const QString &studentID, const RosterEdits::StudentAsRead *written)
{
    const QList<StudentInClass> &rows = tblStudents->students();
    for (int r = 0; r < rows.size() && !studentID.isEmpty(); ++r) {
        if (RosterEdits::sameID(rows.at(r).studentID(), studentID)) {
            showStudent(&rows.at(r), written);
            selectRowQuietly(r);
            return;
        }
    }
    clearStudentInfo();
}

void StudentManageController::clearStudentInfo()
{
    studentInfo->clear();
    m_studentNoToModify = 0;
    m_infoBeforeModify = STUDENTINFO();
    m_shownAsRead.clear();
}

void StudentManageController::setStudentInfoEnable(bool enabled)
{
    studentInfo->setFieldsEnabled(enabled);
}

void StudentManageController::setButtonState(int state)
{
    const bool browsing = state == Browsing;
    // Adding is offered while a new student is being typed too: a window opened for typing
    // students must not greet the teacher with a dead Add.
    btnAdd->setEnabled((browsing || state == Adding) && m_classIndexToModify >= 0);
    btnModify->setEnabled(browsing && m_studentNoToModify != 0);
    btnDelete->setEnabled(browsing && m_studentNoToModify != 0);
    btnCancel->setEnabled(!browsing);
    btnSave->setEnabled(!browsing);
}

void StudentManageController::enterState(int state)
{
    m_winState = state;
    setStudentInfoEnable(state != Browsing);
    setButtonState(state);
}

void StudentManageController::classChanged()
{
    NotificationCenter::defaultCenter()->postNotification(Notify::ClassChanged,
                                                          {{Notify::Key::Index, m_classIndexToModify}}, this);
}

void StudentManageController::alert(const QString &text, const QString &informativeText)
{
    PollixAlert::show(this, kPollixArs, text, {tr("OK")}, informativeText);
}

void StudentManageController::studentSelectedChange()
{
    const QList<int> rows = tblStudents->selectedRows();
    if (rows.isEmpty())
        return;
    const int row = rows.first();
    if (m_winState != Browsing && !doCancel()) {
        // The teacher kept editing, or chose to save and the save was refused: the edits stay,
        // and so does the row of the student they belong to.
        int shown = -1;
        for (int r = 0; r < tblStudents->students().size(); ++r)
            if (m_studentNoToModify != 0 && tblStudents->students().at(r).studentNo() == m_studentNoToModify)
                shown = r;
        selectRowQuietly(shown);
        return;
    }
    showStudent(&tblStudents->students().at(row));
    selectRowQuietly(row);
    enterState(Modifying);
    bIsStudentInfoChanged = false;
}

void StudentManageController::comboBoxSelectionDidChange(int index)
{
    if (index < 0 || index == m_classIndexToModify || index >= m_classes.size())
        return;
    // Edits of the shown student are not dropped without the question.
    if (m_winState != Browsing && !doCancel()) {
        const QSignalBlocker block(comboClass);
        comboClass->setCurrentIndex(m_classIndexToModify);
        return;
    }
    m_classIndexToModify = index;
    loadStudentsInClass(classNo());
    classChanged();
    clearStudentInfo();
    selectRowQuietly(-1);
    setStudentInfoEnable(false);
    setButtonState(m_winState);
}

void StudentManageController::doAdd()
{
    if (m_classIndexToModify < 0)
        return;
    // A new form over one already typed asks as leaving the window does.
    if (!m_hold->mayLeave())
        return;
    const int most = appDelegate ? appDelegate->maxStudentNumberAllowed() : 400;
    if (TovClassXmlDatabase::sharedClassUI()->studentCountInClass(classNo()) >= most) {
        alert(tr("The max number of students in a class is %1").arg(most));
        return;
    }
    clearStudentInfo();
    enterState(Adding);
    selectRowQuietly(-1);
    bIsStudentInfoChanged = false;
    classChanged();
}

void StudentManageController::doModify()
{
    enterState(Modifying);
}

bool StudentManageController::doCancel()
{
    // Edits, of a new student or of the one shown, are not dropped unasked: the window's one
    // question, whose Cancel goes back to them.
    const bool edited = m_winState != Browsing && bIsStudentInfoChanged;
    if (edited) {
        if (!m_hold->mayLeave())
            return false; // kept, or a save that was refused
        if (m_winState == Browsing)
            return true; // saved
    }
    if (m_winState == Adding)
        clearStudentInfo();
    else if (m_winState == Modifying && edited)
        loadStudentInfo(m_studentNoToModify);
    bIsStudentInfoChanged = false;
    enterState(Browsing);
    return true;
}

void StudentManageController::doSave()
{
    m_canClose = false;
    if (m_winState == Browsing) {
        m_canClose = true;
        return;
    }
    StudentEntity record = studentInfo->record();
    if (record.id().isEmpty()) {
        alert(tr("Please enter the student ID."));
        textStudentID->selectAll();
        textStudentID->setFocus();
        return;
    }
    if (record.firstName().isEmpty() && record.lastName().isEmpty()) {
        alert(tr("Please enter the student name."));
        textStudentFirstName->selectAll();
        textStudentFirstName->setFocus();
        return;
    }
    RosterEdits::StudentSave save;
    save.record = record;
    save.classNo = classNo();
    save.adding = m_winState == Adding;
    save.oldID = m_infoBeforeModify.studentID;
    if (!save.adding)
        save.asRead = m_shownAsRead;
    save.maxStudents = appDelegate ? appDelegate->maxStudentNumberAllowed() : 400;
    // Where the receiver hides the keypad number, a new student takes the next free one, so the
    // class still runs when a receiver that logs keypads in by number is chosen later.
    save.nextFreeDeviceNo = textDeviceNo->isHidden();
    RosterEdits::Result r = RosterEdits::saveStudent(save);
    if (r.outcome == RosterEdits::Outcome::IdInRoster && save.adding) {
        const int answer = PollixAlert::show(
            this, kPollixArs,
            tr("Student ID %1 exists in student roster, do you want to update it before adding into the class?")
                .arg(record.id()),
            {tr("OK"), tr("Cancel")}, {}, PollixAlert::Default::LeavesAsIs);
        if (answer == PollixAlert::AlertFirstButtonReturn) {
            save.rosterUpdateConfirmed = true;
            r = RosterEdits::saveStudent(save);
        } else {
            textStudentID->selectAll();
            textStudentID->setFocus();
            return;
        }
    }
    switch (r.outcome) {
    case RosterEdits::Outcome::IdInRoster:
    case RosterEdits::Outcome::IdInClass:
        alert(tr("Student ID %1 already exists.").arg(record.id()));
        textStudentID->selectAll();
        textStudentID->setFocus();
        return;
    case RosterEdits::Outcome::ClassFull:
        alert(tr("The max number of students in a class is %1").arg(save.maxStudents));
        return;
    case RosterEdits::Outcome::WriteFailed:
        // Another program's version stays on the disk; what the teacher typed stays here (the
        // alert says how to see the other version).
        alert(tr("The student could not be saved."), r.errorText);
        return;
    case RosterEdits::Outcome::Done:
        break;
    }
    // Only a completed save clears the changes. The list is read again; of the files holding
    // the student, the next save may find what this one wrote.
    bIsStudentInfoChanged = false;
    enterState(Browsing);
    loadStudentsInClass(classNo());
    loadStudentInfoByID(record.id(), &r.written);
    setButtonState(Browsing);
    classChanged();
    m_canClose = true;
}

void StudentManageController::doDelete()
{
    QString id;
    for (const StudentInClass &s : m_students)
        if (s.studentNo() == m_studentNoToModify)
            id = s.studentID();
    if (id.isEmpty())
        return;
    const int answer = PollixAlert::show(this, kPollixArs, tr("Are you sure to delete the student : %1").arg(id),
                                         {tr("OK"), tr("Cancel")}, {}, PollixAlert::Default::LeavesAsIs);
    if (answer == PollixAlert::AlertFirstButtonReturn) {
        const RosterEdits::Result r = RosterEdits::deleteStudent(id, classNo());
        if (!r.ok())
            alert(tr("The student could not be deleted."), r.errorText);
    }
    clearStudentInfo();
    bIsStudentInfoChanged = false;
    enterState(Browsing);
    loadStudentsInClass(classNo());
    loadStudentInfoByID(id);
    setButtonState(Browsing);
    classChanged();
}

void StudentManageController::doClose()
{
    m_hold->leave(0);
}

void StudentManageController::done(int result)
{
    m_observing = false;
    bIsStudentInfoChanged = false;
    QDialog::done(result);
}
