#include "CreateNewSessionPointsForm.h"

#include "CreateNewSessionController.h"
#include "ReportController.h"
#include "SessionFormParts.h"

#include "core/base/CommonFunc.h"
#include "core/gradebook/GradebookSettingRules.h"
#include "core/gradebook/PointsOnlyRules.h"
#include "core/reports/StudentIdOrder.h"
#include "core/roster/RosterRecords.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovCourseGradeXmlDatabase.h"
#include "platform/Log.h"
#include "ui/controls/MyComboBox.h"
#include "ui/controls/PMResolutionFormatter.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int kPointsColumn = 2;

QString selectText()
{
    return QObject::tr("---Select---");
}
} // namespace

CreateNewSessionPointsForm::CreateNewSessionPointsForm(CreateNewSessionController *window) : QObject(window), w(window)
{
}

QWidget *CreateNewSessionPointsForm::buildPointsForm()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("pointsForm"));
    w->textSession2 = SessionFormParts::lineEdit(page, "textSession2");
    w->textSession2->setMaxLength(80);
    w->cmbType = SessionFormParts::comboBox(page, "cmbType");
    w->cmbClass = SessionFormParts::comboBox(page, "cmbClass");
    w->cmbSubject = SessionFormParts::comboBox(page, "cmbSubject");
    w->cmbTeacher = SessionFormParts::comboBox(page, "cmbTeacher");
    w->datePicker = SessionFormParts::datePicker(page, "datePicker");
    w->textTotalPoint = SessionFormParts::lineEdit(page, "textTotalPoint");
    auto *total = new PMResolutionFormatter(w->textTotalPoint);
    total->setDigitWithMaxNumAndMixNum(PointsOnlyRules::kMaxTotal, 1);
    total->attachTo(w->textTotalPoint);
    w->studentListTable =
        SessionFormParts::entryTable(page, "studentListTable", {tr("Student ID"), tr("Student Name"), tr("Points")});
    w->bntSave = SessionFormParts::button(page, "bntSave", tr("Save"));
    w->bntClose = SessionFormParts::button(page, "bntClose", tr("Close"));

    auto *header = new QGroupBox(tr("Session"), page);
    auto *grid = new QGridLayout(header);
    const auto place = [grid, header](int row, int column, const QString &caption, QWidget *control) {
        SessionFormParts::place(grid, header, row, column, caption, control);
    };
    place(0, 0, tr("Session Name:"), w->textSession2);
    place(0, 1, tr("Session Type:"), w->cmbType);
    place(0, 2, tr("Date:"), w->datePicker);
    place(1, 0, tr("Class:"), w->cmbClass);
    place(1, 1, tr("Subject:"), w->cmbSubject);
    place(1, 2, tr("Teacher:"), w->cmbTeacher);
    place(2, 0, tr("Total Points:"), w->textTotalPoint);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 2);
    grid->setColumnStretch(5, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(w->bntSave);
    buttons->addWidget(w->bntClose);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(header);
    layout->addWidget(w->studentListTable, 1);
    layout->addLayout(buttons);

    connect(w->cmbClass, &QComboBox::currentIndexChanged, this, &CreateNewSessionPointsForm::classSelected2);
    for (MyComboBox *box : {w->cmbType, w->cmbSubject, w->cmbTeacher})
        connect(box, &QComboBox::currentIndexChanged, this, &CreateNewSessionPointsForm::namedSelected2);
    connect(w->datePicker, &QDateEdit::dateChanged, this, &CreateNewSessionPointsForm::doDateChange2);
    connect(w->textSession2, &QLineEdit::textEdited, this, &CreateNewSessionPointsForm::changed2);
    connect(w->textSession2, &QLineEdit::editingFinished, this, [this] {
        w->textSession2->setText(GradebookSettingRules::removeSpacesAround(w->textSession2->text()));
        if (w->textSession2->text().isEmpty() && w->isVisible() && w->tabForms->currentIndex() == 1) {
            w->alert(tr("Session name should not be empty."));
            w->textSession2->setFocus();
        }
    });
    connect(w->textTotalPoint, &QLineEdit::textEdited, this, &CreateNewSessionPointsForm::changed2);
    connect(w->textTotalPoint, &QLineEdit::editingFinished, this, [this] {
        if (w->textTotalPoint->text().isEmpty())
            w->textTotalPoint->setText(QStringLiteral("100"));
    });
    connect(w->studentListTable, &QTableWidget::itemChanged, this, &CreateNewSessionPointsForm::pointsEdited);
    connect(w->bntSave, &QPushButton::clicked, this, &CreateNewSessionPointsForm::doSave2);
    connect(w->bntClose, &QPushButton::clicked, w, &CreateNewSessionController::doClose2);
    return page;
}

void CreateNewSessionPointsForm::setUpPointsForm()
{
    const auto withSelect = [](const QStringList &names) { return QStringList{selectText()} + names; };
    SessionFormParts::fillBox(w->cmbType, withSelect(ReportController::sessionTypeNames()));
    SessionFormParts::fillBox(w->cmbSubject, withSelect(RosterRecords::subjectNames()));
    SessionFormParts::fillBox(w->cmbTeacher, withSelect(RosterRecords::teacherNames()));
    SessionFormParts::fillBox(w->cmbClass, withSelect(RosterRecords::classNames()));
    classSelected2(0);
    w->textTotalPoint->setText(QStringLiteral("100"));
    {
        const QSignalBlocker block(w->datePicker);
        w->datePicker->setDate(SessionFormParts::today());
    }
    w->bntSave->setEnabled(false);
    m_hasChange = false;
    m_classHasChange2 = false;
}

void CreateNewSessionPointsForm::changed2()
{
    m_hasChange = true;
    w->bntSave->setEnabled(true);
}

void CreateNewSessionPointsForm::doDateChange2()
{
    changed2();
}

void CreateNewSessionPointsForm::classSelected2(int index)
{
    if (m_classHasChange2) {
        if (w->alert(tr("If you switch to another Class, you will lose the input for current Class. Continue anyway ?"),
                     {tr("Yes"), tr("No")}, tr("Warning"))
            != 0) {
            const QSignalBlocker block(w->cmbClass);
            w->cmbClass->setCurrentIndex(m_classIndex);
            return;
        }
        m_studentListTableArray.clear();
    } else {
        changed2();
        m_classHasChange2 = true;
    }
    if (index < 0)
        return;
    m_classIndex = index;
    if (index == 0) {
        m_hasChange = false;
        w->bntSave->setEnabled(false);
    }
    refreshTableView();
}

void CreateNewSessionPointsForm::namedSelected2(int index)
{
    if (index < 0)
        return;
    if (index == 0) {
        w->bntSave->setEnabled(false);
        return;
    }
    changed2();
}

void CreateNewSessionPointsForm::refreshTableView()
{
    const QString name = w->cmbClass->currentIndex() > 0 ? w->cmbClass->currentText() : QString();
    for (const StudentEntity &s : SessionFormParts::studentsOfClass(name)) {
        StudentGradeReport row;
        row.setStudentNo(s.no());
        row.setStudentID(s.id());
        row.setStudentName(mergeFirstLastString(s.firstName(), s.lastName()));
        row.setTotalPoints(0);
        m_studentListTableArray.append(row);
    }
    sortByStudentId(m_studentListTableArray);
    fillPointsTable();
}

void CreateNewSessionPointsForm::fillPointsTable()
{
    const QSignalBlocker block(w->studentListTable);
    w->studentListTable->setRowCount(int(m_studentListTableArray.size()));
    for (int r = 0; r < m_studentListTableArray.size(); ++r) {
        const StudentGradeReport &row = m_studentListTableArray.at(r);
        w->studentListTable->setItem(r, 0, SessionFormParts::fixedItem(row.studentID()));
        w->studentListTable->setItem(r, 1, SessionFormParts::fixedItem(row.studentName()));
        w->studentListTable->setItem(r, kPointsColumn, new QTableWidgetItem(QString::number(row.totalPoints())));
    }
}

void CreateNewSessionPointsForm::pointsEdited(QTableWidgetItem *item)
{
    if (!item || item->column() != kPointsColumn || item->row() >= m_studentListTableArray.size())
        return;
    StudentGradeReport &row = m_studentListTableArray[item->row()];
    const std::optional<int> points =
        PointsOnlyRules::studentPoints(item->text().trimmed(), GlobalFunctions::intValue(w->textTotalPoint->text()));
    if (!points) {
        {
            const QSignalBlocker block(w->studentListTable);
            item->setText(QString::number(row.totalPoints()));
        }
        w->alert(tr("Please enter the correct point ."), {tr("Ok")});
        // Editing starts again on the cell once the alert is gone.
        QTimer::singleShot(0, w->studentListTable, [table = w->studentListTable, r = item->row()] {
            if (QTableWidgetItem *cell = table->item(r, kPointsColumn))
                table->editItem(cell);
        });
        return;
    }
    row.setTotalPoints(*points);
    {
        const QSignalBlocker block(w->studentListTable);
        item->setText(QString::number(*points));
    }
    changed2();
}

bool CreateNewSessionPointsForm::doSave2()
{
    if (!savePoints())
        return false;
    w->leaveAfterSave();
    return true;
}

bool CreateNewSessionPointsForm::savePoints()
{
    if (m_studentListTableArray.isEmpty()) {
        w->alert(tr("There is no record ."));
        return false;
    }
    QList<int> points;
    QList<std::pair<QString, int>> byID;
    for (const StudentGradeReport &row : m_studentListTableArray) {
        points << row.totalPoints();
        byID.append({row.studentID(), row.totalPoints()});
    }
    const int total = GlobalFunctions::intValue(w->textTotalPoint->text());
    const int needed = PointsOnlyRules::neededTotal(total, points);
    if (needed != total) {
        w->alert(tr("Total Points should be higher than Student Points."));
        w->textTotalPoint->setText(QString::number(needed));
        return false;
    }
    const QString name = GradebookSettingRules::removeSpacesAround(w->textSession2->text());
    w->textSession2->setText(name);
    if (name.isEmpty()) {
        w->alert(tr("Please enter the Session Title."));
        return false;
    }
    if (w->cmbType->currentIndex() <= 0) {
        w->alert(tr("Please Select a Session Type."));
        return false;
    }
    if (w->cmbSubject->currentIndex() <= 0) {
        w->alert(tr("Please Select a Subject."));
        return false;
    }
    if (w->cmbTeacher->currentIndex() <= 0) {
        w->alert(tr("Please Select a Teacher."));
        return false;
    }
    PointsOnlyRules::Entry entry;
    entry.name = name;
    entry.sessionType = w->cmbType->currentText();
    entry.className = w->cmbClass->currentIndex() > 0 ? w->cmbClass->currentText() : QString();
    entry.subject = w->cmbSubject->currentText();
    entry.teacherName = w->cmbTeacher->currentText();
    entry.totalMark = w->textTotalPoint->text();
    entry.day = w->datePicker->date();
    entry.deviceType = w->m_deviceType;
    const QString now = GlobalFunctions::currentTimeDesp();
    QuizEntity quiz = PointsOnlyRules::build(entry, SessionFormParts::studentsOfClass(entry.className), byID, now);
    QString path, error;
    if (!TovCourseGradeXmlDatabase().addQuizWithName(name + now, quiz, &path, &error)
        || !CreateNewSessionController::writtenAsEntered(path, quiz, &error)) {
        PollixLog(QStringLiteral("Failed to save the points-only session %1: %2").arg(name, error));
        w->alert(tr("The session could not be saved."), {}, {}, error);
        return false;
    }
    w->m_savedPath = path;
    m_hasChange = false;
    w->bntSave->setEnabled(false);
    w->finishSave(quiz.startTime().left(10));
    SessionFormParts::sayWhereSaved(w, path);
    return true;
}
