#include "ClassSetController.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/base/CommonFunc.h"
#include "core/roster/RosterCSVExporter.h"
#include "core/roster/RosterEdits.h"
#include "core/roster/RosterRecords.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/controls/AppIcons.h"
#include "ui/controls/ColumnFit.h"
#include "ui/controls/FileDialogs.h"
#include "ui/controls/LoginController.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/TableExtensions.h"
#include "ui/roster/AddStudentModeController.h"
#include "ui/roster/ClassEditController.h"
#include "ui/roster/ClassManageController.h"
#include "ui/roster/GroupManageController.h"
#include "ui/roster/StudentManageController.h"
#include "ui/roster/StudentTableView.h"
#include "ui/roster/SubjectEditController.h"
#include "ui/roster/TeacherEditController.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const QString kPollixArs = QStringLiteral("Pollix ARS");
const QString kPollix = QStringLiteral("Pollix");

template <typename T, typename Number>
QList<int> numbersOf(const QList<T> &items, Number number)
{
    QList<int> out;
    for (const T &item : items)
        out << number(item);
    return out;
}

QVariantMap sortValues(const StudentInClass &s)
{
    return {{QStringLiteral("studentID"), s.studentID()},
            {QStringLiteral("studentFullName"), s.studentFullName()},
            {QStringLiteral("deviceNo"), s.deviceNo()},
            {QStringLiteral("groupNo"), s.groupNo()}};
}
} // namespace

ClassSetController::RosterWindows &ClassSetController::rosterWindows()
{
    static RosterWindows windows;
    return windows;
}

ClassSetController::ClassSetController(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ClassSet"));
    setWindowTitle(tr("Class Setup"));
    appDelegate = Orvenda_AppDelegate::getAppDelegate();
    buildWindow();

    auto *center = NotificationCenter::defaultCenter();
    auto indexOf = [](const Notification &n) {
        return n.userInfo.value(Notify::Key::Index, -1).toInt();
    };
    center->addObserver(this, Notify::ClassChanged, [this, indexOf](const Notification &n) {
        loadClass();
        selectAfterNotification(comboClass, indexOf(n));
        loadStudentsInClass(m_classNo);
    });
    center->addObserver(this, Notify::NewClassAdded,
                        [this, indexOf](const Notification &n) { newClassAdded(indexOf(n)); });
    center->addObserver(this, Notify::SubjectChanged, [this, indexOf](const Notification &n) {
        loadSubject();
        selectAfterNotification(comboSubject, indexOf(n));
    });
    center->addObserver(this, Notify::TeacherChanged, [this, indexOf](const Notification &n) {
        loadTeacher();
        selectAfterNotification(comboTeacher, indexOf(n));
    });
}

ClassSetController::~ClassSetController()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
}

void ClassSetController::buildWindow()
{
    auto makeButton = [this](QPushButton *&b, const char *name, const QString &title) {
        b = new QPushButton(title, this);
        b->setObjectName(QLatin1String(name));
    };
    makeButton(buttonEditClass, "buttonEditClass", tr("Edit"));
    makeButton(buttonEditSubject, "buttonEditSubject", tr("Edit"));
    makeButton(buttonEditTeacher, "buttonEditTeacher", tr("Edit"));
    makeButton(buttonStudentManager, "buttonStudentManager", tr("Manage Students"));
    makeButton(buttonStudentImport, "buttonStudentImport", tr("Import Students"));
    makeButton(buttonStudentExport, "buttonStudentExport", tr("Export Students"));
    makeButton(buttonTeacherImport, "buttonTeacherImport", tr("Import Teachers"));
    makeButton(buttonTeacherExport, "buttonTeacherExport", tr("Export Teachers"));
    makeButton(buttonStudentGrouping, "buttonStudentGrouping", tr("Grouping"));
    makeButton(buttonAdmin, "buttonAdmin", tr("Login"));
    makeButton(buttonOk, "buttonOk", tr("OK"));
    makeButton(buttonCancel, "buttonCancel", tr("Cancel"));
    buttonOk->setDefault(true);

    comboTeacher = new QComboBox(this);
    comboTeacher->setObjectName(QStringLiteral("comboTeacher"));
    comboSubject = new QComboBox(this);
    comboSubject->setObjectName(QStringLiteral("comboSubject"));
    comboClass = new QComboBox(this);
    comboClass->setObjectName(QStringLiteral("comboClass"));
    for (QComboBox *c : {comboTeacher, comboSubject, comboClass})
        c->setMinimumWidth(220);

    tblStudents = new QTableWidget(this);
    tblStudents->setObjectName(QStringLiteral("tblStudents"));
    tblStudents->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblStudents->verticalHeader()->hide();
    tblStudents->verticalHeader()->setDefaultSectionSize(22);
    tblStudents->horizontalHeader()->setSectionsClickable(true);
    tblStudents->setMinimumSize(420, 320);
    m_columnFit = new ColumnFit(tblStudents, {});

    textParticipant = new QLineEdit(this);
    textParticipant->setObjectName(QStringLiteral("textParticipant"));
    textParticipant->setReadOnly(true);
    textParticipant->setMaximumWidth(80);

    auto *choices = new QGridLayout;
    int row = 0;
    for (auto [label, combo, edit] : {std::tuple{tr("Teacher:"), comboTeacher, buttonEditTeacher},
                                      std::tuple{tr("Subject:"), comboSubject, buttonEditSubject},
                                      std::tuple{tr("Class:"), comboClass, buttonEditClass}}) {
        choices->addWidget(new QLabel(label, this), row, 0);
        choices->addWidget(combo, row, 1);
        choices->addWidget(edit, row, 2);
        ++row;
    }
    choices->setColumnStretch(1, 1);

    auto *rosterButtons = new QVBoxLayout;
    for (QPushButton *b : {buttonStudentManager, buttonStudentGrouping, buttonStudentImport, buttonStudentExport,
                           buttonTeacherImport, buttonTeacherExport, buttonAdmin})
        rosterButtons->addWidget(b);
    rosterButtons->addStretch();

    auto *count = new QHBoxLayout;
    count->addWidget(new QLabel(tr("Participants:"), this));
    count->addWidget(textParticipant);
    count->addStretch();

    auto *middle = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    left->addLayout(choices);
    left->addWidget(tblStudents, 1);
    left->addLayout(count);
    middle->addLayout(left, 1);
    middle->addLayout(rosterButtons);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(buttonCancel);
    bottom->addWidget(buttonOk);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);

    connect(buttonOk, &QPushButton::clicked, this, &ClassSetController::doOk);
    connect(buttonCancel, &QPushButton::clicked, this, &ClassSetController::doCancel);
    connect(buttonAdmin, &QPushButton::clicked, this, &ClassSetController::doLogin);
    connect(buttonEditClass, &QPushButton::clicked, this, &ClassSetController::editClass);
    connect(buttonEditSubject, &QPushButton::clicked, this, &ClassSetController::editSubject);
    connect(buttonEditTeacher, &QPushButton::clicked, this, &ClassSetController::editTeacher);
    connect(buttonStudentManager, &QPushButton::clicked, this, &ClassSetController::manageClass);
    connect(buttonStudentGrouping, &QPushButton::clicked, this, &ClassSetController::groupClass);
    connect(buttonStudentImport, &QPushButton::clicked, this, &ClassSetController::importStudents);
    connect(buttonStudentExport, &QPushButton::clicked, this, &ClassSetController::exportStudents);
    connect(buttonTeacherImport, &QPushButton::clicked, this, &ClassSetController::importTeachers);
    connect(buttonTeacherExport, &QPushButton::clicked, this, &ClassSetController::exportTeachers);
    for (QComboBox *combo : {comboClass, comboSubject, comboTeacher}) {
        connect(combo, &QComboBox::activated, this, [this, combo](int index) { comboBoxSelectionDidChange(combo, index); });
    }
    connect(tblStudents, &QTableWidget::cellDoubleClicked, this, [this](int r, int) { tblDoubleClick(r); });
    connect(tblStudents->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (column >= 0 && column < m_columnIdentifiers.size())
            tableView(m_columnIdentifiers.at(column));
    });
}

int ClassSetController::exec()
{
    awakeFromNib();
    return QDialog::exec();
}

void ClassSetController::awakeFromNib()
{
    showWindowWithDeviceType(appDelegate ? appDelegate->currentDeviceType() : -1);
    const int wantedClass = m_classNo;
    const int wantedSubject = m_subjectNo;
    const int wantedTeacher = m_teacherNo;
    loadClass();
    comboClassSelectItemWithClassNo(wantedClass);
    loadSubject();
    comboSubjectSelectItemWithSubjectNo(wantedSubject);
    loadTeacher();
    comboTeacherSelectItemWithTeacherNo(wantedTeacher);
    buttonAdmin->setText(isLogIn() ? tr("Logout") : tr("Login"));
    setButtonsState(isLogIn());
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setEnabled(isBuilt(button));
}

// The one list of where this dialog's buttons lead in this build: the imports count once their
// entry in rosterWindows() is set; every other button opens a roster window or is the dialog's own.
bool ClassSetController::isBuilt(const QPushButton *button) const
{
    const RosterWindows &w = rosterWindows();
    if (button == buttonStudentImport)
        return bool(w.importStudents);
    if (button == buttonTeacherImport)
        return bool(w.importTeachers);
    return true;
}

void ClassSetController::showWindowWithDeviceType(int deviceType)
{
    tblStudents->setColumnCount(0);
    m_columnIdentifiers.clear();
    QList<std::tuple<QString, QString, int>> columns;
    if (deviceType == 0 || deviceType == 1 || deviceType == 4) {
        columns = {{tr("ID"), QStringLiteral("studentID"), 120},
                   {tr("Full Name"), QStringLiteral("studentFullName"), 132},
                   {tr("Device NO."), QStringLiteral("deviceNo"), 77},
                   {tr("Groups"), QStringLiteral("groupNo"), 70}};
    } else if (deviceType == 2 || deviceType == 3) {
        columns = {{tr("ID"), QStringLiteral("studentID"), 150},
                   {tr("Full Name"), QStringLiteral("studentFullName"), 181},
                   {tr("Groups"), QStringLiteral("groupNo"), 70}};
    }
    QList<int> widths;
    for (const auto &[title, identifier, width] : columns) {
        addColumnWithTitle(tblStudents, title, identifier, width);
        m_columnIdentifiers << identifier;
        widths << StudentTableView::fitWidth(identifier, width);
    }
    m_columnFit->setWidths(widths);
    reloadStudentTable();
}

void ClassSetController::reloadCombo(QComboBox *combo, const QStringList &items)
{
    const QSignalBlocker block(combo);
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(-1);
}

void ClassSetController::loadClass()
{
    m_classes = RosterRecords::classes(TovClassXmlDatabase::sharedClassUI()->classList());
    reloadCombo(comboClass, RosterRecords::names(m_classes));
}

void ClassSetController::loadSubject()
{
    m_subjects = RosterRecords::subjects(TovSubjectXmlDatabase::sharedSubjectUI()->subjectList());
    reloadCombo(comboSubject, RosterRecords::names(m_subjects));
}

void ClassSetController::loadTeacher()
{
    m_teachers = RosterRecords::teachers(TovTeacherXmlDatabase::sharedUI()->teacherList());
    reloadCombo(comboTeacher, RosterRecords::names(m_teachers));
}

void ClassSetController::loadStudentsInClass(int classNo)
{
    m_students.clear();
    for (const StudentEntity &s : TovClassXmlDatabase::sharedClassUI()->getStudentListByClassNo(classNo))
        m_students << RosterRecords::studentInClass(s);
    textParticipant->setText(QString::number(m_students.size()));
    reloadStudentTable();
}

void ClassSetController::reloadStudentTable()
{
    tblStudents->setRowCount(int(m_students.size()));
    for (int r = 0; r < m_students.size(); ++r) {
        const StudentInClass &s = m_students.at(r);
        for (int c = 0; c < m_columnIdentifiers.size(); ++c) {
            const QString &id = m_columnIdentifiers.at(c);
            QString text;
            if (id == QLatin1String("studentID"))
                text = s.studentID();
            else if (id == QLatin1String("studentFullName"))
                text = mergeFirstLastString(s.studentFirstName(), s.studentLastName());
            else if (id == QLatin1String("deviceNo"))
                text = QString::number(s.deviceNo());
            else if (id == QLatin1String("groupNo"))
                text = QString::number(s.groupNo());
            tblStudents->setItem(r, c, new QTableWidgetItem(text));
        }
    }
}

ClassSetController::Choice ClassSetController::choiceFor(QComboBox *combo)
{
    if (combo == comboClass)
        return {comboClass, &m_indexOfClassSelected, &m_classNo, &m_className,
                numbersOf(m_classes, [](const MyClass &c) { return c.classNo(); })};
    if (combo == comboSubject)
        return {comboSubject, &m_indexOfSubjectSelected, &m_subjectNo, &m_subjectName,
                numbersOf(m_subjects, [](const Subject &c) { return c.subjectNo(); })};
    return {comboTeacher, &m_indexOfTeacherSelected, &m_teacherNo, &m_teacherName,
            numbersOf(m_teachers, [](const Teacher &c) { return c.teacherNo(); })};
}

void ClassSetController::clearChoice(const Choice &choice)
{
    choice.combo->setCurrentIndex(-1);
    *choice.index = -1;
    *choice.no = 0;
    choice.name->clear();
}

// One rule for the three combo boxes: 0 takes the first item (or clears an empty box), any
// other number the first item with that number; an unknown number changes nothing.
void ClassSetController::selectItemWithNumber(QComboBox *combo, int no)
{
    const Choice choice = choiceFor(combo);
    int index = -1;
    if (no == 0) {
        if (choice.numbers.isEmpty()) {
            clearChoice(choice);
            if (combo == comboClass)
                loadStudentsInClass(-1);
            return;
        }
        index = 0;
    } else {
        index = int(choice.numbers.indexOf(no));
        if (index < 0)
            return;
    }
    combo->setCurrentIndex(index);
    comboBoxSelectionDidChange(combo, index);
}

void ClassSetController::comboClassSelectItemWithClassNo(int no)
{
    selectItemWithNumber(comboClass, no);
}

void ClassSetController::comboSubjectSelectItemWithSubjectNo(int no)
{
    selectItemWithNumber(comboSubject, no);
}

void ClassSetController::comboTeacherSelectItemWithTeacherNo(int no)
{
    selectItemWithNumber(comboTeacher, no);
}

void ClassSetController::comboBoxSelectionDidChange(QComboBox *combo, int index)
{
    if (index < 0)
        return;
    if (combo == comboClass && index < m_classes.size()) {
        m_indexOfClassSelected = index;
        m_classNo = m_classes.at(index).classNo();
        m_className = m_classes.at(index).className();
        loadStudentsInClass(m_classNo);
    } else if (combo == comboSubject && index < m_subjects.size()) {
        m_indexOfSubjectSelected = index;
        m_subjectNo = m_subjects.at(index).subjectNo();
        m_subjectName = m_subjects.at(index).subjectName();
    } else if (combo == comboTeacher && index < m_teachers.size()) {
        m_indexOfTeacherSelected = index;
        m_teacherNo = m_teachers.at(index).teacherNo();
        m_teacherName = m_teachers.at(index).teacherName();
    }
}

void ClassSetController::selectAfterNotification(QComboBox *combo, int index)
{
    if (index < 0 || index >= combo->count()) {
        clearChoice(choiceFor(combo));
        return;
    }
    combo->setCurrentIndex(index);
    if (combo == comboClass) {
        // The caller loads the students once the class is known.
        m_indexOfClassSelected = index;
        m_classNo = m_classes.at(index).classNo();
        m_className = m_classes.at(index).className();
    } else {
        comboBoxSelectionDidChange(combo, index);
    }
}

void ClassSetController::newClassAdded(int index)
{
    loadClass();
    selectAfterNotification(comboClass, index);
    loadStudentsInClass(m_classNo);
    AddStudentModeController mode(this);
    mode.setImportAvailable(bool(rosterWindows().importStudents));
    if (mode.exec() != 1)
        return;
    if (mode.switchType() == 0)
        openStudentEditor(0);
    else if (mode.switchType() == 1)
        manageClass();
    else if (mode.switchType() == 2)
        importStudents();
}

void ClassSetController::tableView(const QString &columnIdentifier)
{
    if (columnIdentifier != orderColumnIdentifier) {
        orderType = -1;
        orderColumnIdentifier = columnIdentifier;
    } else {
        orderType = orderType == -1 ? 1 : -1;
    }
    // The students chosen stay chosen, and in sight, wherever the sort puts them (a highlight left
    // on its row would mark another student).
    QSet<int> chosen;
    for (const QModelIndex &row : tblStudents->selectionModel()->selectedRows())
        if (row.row() < m_students.size())
            chosen << m_students.at(row.row()).studentNo();
    const QVariantMap context{{QStringLiteral("order"), orderType}, {QStringLiteral("key"), columnIdentifier}};
    std::stable_sort(m_students.begin(), m_students.end(), [&](const StudentInClass &a, const StudentInClass &b) {
        return MyCompareFunction(sortValues(a), sortValues(b), context) < 0;
    });
    const int column = int(m_columnIdentifiers.indexOf(columnIdentifier));
    tblStudents->horizontalHeader()->setSortIndicatorShown(column >= 0);
    if (column >= 0)
        tblStudents->horizontalHeader()->setSortIndicator(column, orderType == -1 ? Qt::AscendingOrder : Qt::DescendingOrder);
    reloadStudentTable();
    QList<int> rows;
    for (int r = 0; r < m_students.size(); ++r)
        if (chosen.contains(m_students.at(r).studentNo()))
            rows << r;
    selectRowsInSight(tblStudents, rows);
}

// ---- login ----

void ClassSetController::setButtonsState(bool loggedIn)
{
    // The buttons stay enabled: a locked one asks for the login when pressed.
    QStyle *st = style();
    const QList<std::pair<QPushButton *, QStyle::StandardPixmap>> buttons{
        {buttonStudentManager, QStyle::SP_FileDialogDetailedView}, {buttonStudentImport, QStyle::SP_DialogOpenButton},
        {buttonTeacherImport, QStyle::SP_DialogOpenButton},        {buttonStudentExport, QStyle::SP_DialogSaveButton},
        {buttonTeacherExport, QStyle::SP_DialogSaveButton},        {buttonEditClass, QStyle::SP_FileDialogContentsView},
        {buttonEditSubject, QStyle::SP_FileDialogContentsView},    {buttonEditTeacher, QStyle::SP_FileDialogContentsView}};
    const QIcon lock = AppIcons::icon(QStringLiteral("lock.png"));
    for (const auto &[b, pixmap] : buttons) {
        b->setIcon(loggedIn ? st->standardIcon(pixmap) : lock);
        // A button that leads nowhere yet asks for no login either.
        b->setToolTip(loggedIn || !isBuilt(b) ? QString() : tr("Login required"));
        b->setProperty("locked", !loggedIn);
    }
}

bool ClassSetController::login()
{
    bool loggedIn = false;
    if (rosterWindows().login) {
        loggedIn = rosterWindows().login(this);
    } else {
        LoginController dialog(this);
        dialog.exec();
        loggedIn = LoginController::isLogin();
    }
    if (appDelegate)
        appDelegate->setIsLogin(loggedIn);
    buttonAdmin->setText(loggedIn ? tr("Logout") : tr("Login"));
    setButtonsState(loggedIn);
    return loggedIn;
}

// The application delegate holds the one logged-in flag; the main window reads it after this
// dialog closes.
bool ClassSetController::isLogIn() const
{
    return appDelegate && appDelegate->isLogin();
}

void ClassSetController::doLogin()
{
    if (!isLogIn()) {
        login();
        return;
    }
    if (appDelegate)
        appDelegate->setIsLogin(false);
    buttonAdmin->setText(tr("Login"));
    setButtonsState(false);
}

bool ClassSetController::ensureLogin()
{
    return isLogIn() || login();
}

// ---- other windows ----

// The editors open with their top-left corner on the student table's.
template <typename Editor>
void ClassSetController::runEditor(int index, void (Editor::*setIndex)(int))
{
    if (!ensureLogin())
        return;
    Editor editor(this);
    const QPoint corner = tblStudents->mapToGlobal(QPoint(0, 0));
    editor.setPosition(corner.x(), corner.y());
    (editor.*setIndex)(index);
    editor.exec();
}

void ClassSetController::editClass()
{
    runEditor(m_indexOfClassSelected, &ClassEditController::setClassIndex);
}

void ClassSetController::editSubject()
{
    runEditor(m_indexOfSubjectSelected, &SubjectEditController::setSubjectIndex);
}

void ClassSetController::editTeacher()
{
    runEditor(m_indexOfTeacherSelected, &TeacherEditController::setTeacherIndex);
}

void ClassSetController::manageClass()
{
    if (!ensureLogin())
        return;
    if (m_classes.isEmpty()) {
        alert(kPollixArs, tr("Please add a class first."));
        return;
    }
    ClassManageController manager(this);
    manager.setClassIndex(m_indexOfClassSelected);
    manager.exec();
}

void ClassSetController::groupClass()
{
    if (m_classes.isEmpty()) {
        alert(kPollixArs, tr("Please add a class first."));
        return;
    }
    GroupManageController grouping(this);
    grouping.setClassIndex(m_indexOfClassSelected);
    grouping.exec();
}

void ClassSetController::openStudentEditor(int studentNo)
{
    StudentManageController editor(this);
    editor.setStudentToModify(studentNo, m_indexOfClassSelected);
    editor.exec();
}

void ClassSetController::tblDoubleClick(int row)
{
    if (row < 0 || row >= m_students.size())
        return;
    if (ensureLogin())
        openStudentEditor(m_students.at(row).studentNo());
}

void ClassSetController::importTeachers()
{
    if (!ensureLogin())
        return;
    const QString path = FileDialogs::getOpenFileName(this, tr("Import Teachers"), FileDialogs::Kind::RosterFiles,
                                                      QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty() || !rosterWindows().importTeachers)
        return;
    if (rosterWindows().importTeachers(this, path)) {
        loadTeacher();
        comboTeacherSelectItemWithTeacherNo(0);
    }
}

void ClassSetController::importStudents()
{
    if (!ensureLogin())
        return;
    if (m_indexOfClassSelected == -1) {
        alert(kPollixArs, tr("Choose class to import."));
        return;
    }
    const QString path = FileDialogs::getOpenFileName(this, tr("Import Students"), FileDialogs::Kind::RosterFiles,
                                                      QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty() || !rosterWindows().importStudents)
        return;
    rosterWindows().importStudents(this, path, m_classNo, m_className);
    loadStudentsInClass(m_classNo);
}

QString ClassSetController::exportPath()
{
    QString path = FileDialogs::getSaveFileName(this, tr("Export"), FileDialogs::Kind::RosterFiles, QStringLiteral("CSV (*.csv)"));
    if (!path.isEmpty() && !path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        path += QStringLiteral(".csv");
    return path;
}

void ClassSetController::writeExport(const CSVOperator &grid, const QString &path)
{
    QString error, why;
    if (!grid.saveCSVTo(path, &error, &why)) {
        PollixLog(QStringLiteral("%1: %2 (%3)").arg(error, path, why));
        PollixAlert::show(this, kPollixArs, error, {tr("OK")}, why);
        return;
    }
    PollixAlert::show(this, kPollixArs, tr("Exported successfully."), {tr("OK")}, PollixAlert::savedTo(path));
}

void ClassSetController::exportTeachers()
{
    if (!ensureLogin())
        return;
    const QList<TeacherEntity> &teachers = TovTeacherXmlDatabase::sharedUI()->teacherList();
    if (teachers.isEmpty()) {
        alert(kPollixArs, tr("No record about teacher in database."));
        return;
    }
    const QString path = exportPath();
    if (path.isEmpty())
        return;
    writeExport(RosterCSVExporter::teachers(teachers), path);
}

void ClassSetController::exportStudents()
{
    if (!ensureLogin())
        return;
    if (m_indexOfClassSelected == -1) {
        alert(kPollixArs, tr("Choose class to export."));
        return;
    }
    const QString path = exportPath();
    if (path.isEmpty())
        return;
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    writeExport(RosterCSVExporter::students(classes->getStudentListByClassNo(m_classNo), classes->nameByClassNo(m_classNo)),
                path);
}

// ---- closing ----

void ClassSetController::alert(const QString &title, const QString &text)
{
    PollixAlert::show(this, title, text, {tr("OK")});
}

void ClassSetController::doOk()
{
    const int deviceType = appDelegate ? appDelegate->currentDeviceType() : -1;
    if ((deviceType == 1 || deviceType == 4) && !resolveDeviceClashes())
        return;
    if (m_classes.isEmpty() || m_subjects.isEmpty() || m_teachers.isEmpty() || tblStudents->rowCount() == 0) {
        alert(kPollix, tr("Class member,teacher and subject cannot be empty."));
        return;
    }
    // A receiver serves a fixed number of keypads; a larger class could not all answer.
    const int limit = appDelegate ? appDelegate->maxStudentNumberAllowed() : 400;
    if (m_students.size() > limit) {
        alert(kPollix, tr("The max number of students in a class is %1.").arg(limit));
        return;
    }
    m_maxGroupNo = TovClassXmlDatabase::sharedClassUI()->maxGroupNoInClass(m_classNo);
    const bool ready = m_classNo != 0 && m_subjectNo != 0 && m_teacherNo != 0 && !m_students.isEmpty();
    done(ready ? 1 : 0);
}

bool ClassSetController::resolveDeviceClashes()
{
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    const QList<QList<StudentEntity>> clashes = RosterEdits::deviceNoClashes(classes->getStudentListByClassNo(m_classNo));
    if (clashes.isEmpty())
        return true;
    // Name who shares which keypad and offer the way out, instead of leaving the teacher to
    // open each student in turn.
    QStringList lines;
    for (const QList<StudentEntity> &clash : clashes) {
        QStringList who;
        for (const StudentEntity &s : clash)
            who << QStringLiteral("%1 %2").arg(s.id(), mergeFirstLastString(s.firstName(), s.lastName()));
        lines << tr("Device NO. %1: %2").arg(clash.first().deviceNo()).arg(who.join(QStringLiteral(", ")));
    }
    const int answer = PollixAlert::show(this, kPollix, tr("The device NO. in a class cannot be the same"),
                                         {tr("Renumber"), tr("Cancel")},
                                         tr("Renumber gives each student after the first of a number the next free "
                                            "device NO.\n\n%1")
                                             .arg(lines.join(QLatin1Char('\n'))),
                                         PollixAlert::Default::LeavesAsIs);
    if (answer != PollixAlert::AlertFirstButtonReturn)
        return false;
    const RosterEdits::Result r = RosterEdits::renumberDeviceClashes(m_classNo);
    loadStudentsInClass(m_classNo);
    if (!r.ok()) {
        PollixAlert::show(this, kPollix, tr("The device NO. in a class cannot be the same"), {tr("OK")},
                          r.errorText.isEmpty() ? tr("The class has no free device NO. left.") : r.errorText);
        return false;
    }
    return true;
}

void ClassSetController::doCancel()
{
    done(0);
}

void ClassSetController::closeEvent(QCloseEvent *event)
{
    setResult(0);
    QDialog::closeEvent(event);
}
