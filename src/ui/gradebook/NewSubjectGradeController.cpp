#include "NewSubjectGradeController.h"

#include "GradebookCellDelegate.h"

#include "core/base/CommonFunc.h"
#include "core/gradebook/PointsOnlyRules.h"
#include "core/reports/StudentIdOrder.h"
#include "core/roster/RosterRecords.h"
#include "core/store/DataManager.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovCourseGradeXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "core/store/TovWeightAndSessionTypeXmlDatabase.h"
#include "platform/Log.h"
#include "ui/controls/MyComboBox.h"
#include "ui/controls/PMResolutionFormatter.h"
#include "ui/controls/EditHold.h"
#include "ui/controls/PollixAlert.h"
#include "ui/reports/ReportController.h"
#include "ui/reports/SessionFormParts.h"

#include <QCloseEvent>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const QString kPollix = QStringLiteral("Pollix");
const QString kSelect = QStringLiteral("---Select---");
constexpr int kPointsColumn = 2;

QDate dayOf(const QString &text)
{
    return QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
}

QString dayText(const QDate &day)
{
    return day.toString(QStringLiteral("yyyy-MM-dd"));
}
} // namespace

NewSubjectGradeController::NewSubjectGradeController(ReportController *parent, const ReportTable1Element &row,
                                                     QWidget *parentWidget)
    : QDialog(parentWidget), m_parent(parent), m_row(row)
{
    setObjectName(QStringLiteral("NewSubjectGrade"));
    setWindowTitle(tr("Edit Course Grade Session"));
    textSession = new QLineEdit(this);
    textSession->setObjectName(QStringLiteral("textSession"));
    auto *sessionFormatter = new PMResolutionFormatter(textSession);
    sessionFormatter->setMaxLength(80);
    sessionFormatter->attachTo(textSession);
    textTotalPoint = new QLineEdit(this);
    textTotalPoint->setObjectName(QStringLiteral("textTotalPoint"));
    auto *numFormatter = new PMResolutionFormatter(textTotalPoint);
    numFormatter->setDigitWithMaxNumAndMixNum(25000, 1);
    numFormatter->attachTo(textTotalPoint);
    const auto combo = [this](const char *name) {
        auto *box = new MyComboBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setEditable(false);
        return box;
    };
    cmbType = combo("cmbType");
    cmbClass = combo("cmbClass");
    cmbSubject = combo("cmbSubject");
    cmbTeacher = combo("cmbTeacher");
    datePicker = new QDateEdit(this);
    datePicker->setObjectName(QStringLiteral("datePicker"));
    datePicker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    datePicker->setCalendarPopup(true);
    datePicker->setMinimumDate(QDate(1, 1, 1));
    studentListTable = new QTableWidget(0, 3, this);
    studentListTable->setObjectName(QStringLiteral("studentListTable"));
    studentListTable->setHorizontalHeaderLabels({tr("Student ID"), tr("Student Name"), tr("Points")});
    studentListTable->verticalHeader()->hide();
    studentListTable->setColumnWidth(0, 120);
    studentListTable->setColumnWidth(1, 260);
    studentListTable->horizontalHeader()->setStretchLastSection(true);
    studentListTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    studentListTable->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                                      QAbstractItemView::EditKeyPressed);
    studentListTable->setItemDelegate(new GradebookCellDelegate(
        [](const QModelIndex &) {
            auto *f = new PMResolutionFormatter;
            f->setDigitWithMaxNumAndMixNum(25000, 0);
            return f;
        },
        [this](const QModelIndex &index, QString &text) { return pointsShouldEnd(index.row(), text); },
        studentListTable));
    bntSave = new QPushButton(tr("Save"), this);
    bntSave->setObjectName(QStringLiteral("bntSave"));
    bntSaveAndClose = new QPushButton(tr("Save and Close"), this);
    bntSaveAndClose->setObjectName(QStringLiteral("bntSaveAndClose"));
    bntClose = new QPushButton(tr("Close"), this);
    bntClose->setObjectName(QStringLiteral("bntClose"));
    for (QPushButton *b : {bntSave, bntSaveAndClose, bntClose})
        b->setAutoDefault(false);

    auto *form = new QFormLayout;
    form->addRow(tr("Session:"), textSession);
    form->addRow(tr("Session Type:"), cmbType);
    form->addRow(tr("Class:"), cmbClass);
    form->addRow(tr("Subject:"), cmbSubject);
    form->addRow(tr("Teacher:"), cmbTeacher);
    form->addRow(tr("Date:"), datePicker);
    form->addRow(tr("Total Points:"), textTotalPoint);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bntSave);
    buttons->addWidget(bntSaveAndClose);
    buttons->addWidget(bntClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(studentListTable, 1);
    layout->addLayout(buttons);
    resize(560, 620);

    connect(bntSave, &QPushButton::clicked, this, &NewSubjectGradeController::doSave);
    connect(bntSaveAndClose, &QPushButton::clicked, this, &NewSubjectGradeController::doSaveAndClose);
    connect(bntClose, &QPushButton::clicked, this, &NewSubjectGradeController::doClose);
    for (QLineEdit *field : {textSession, textTotalPoint})
        connect(field, &QLineEdit::editingFinished, this, &NewSubjectGradeController::noteEditedFields);
    for (MyComboBox *box : {cmbType, cmbSubject, cmbTeacher})
        connect(box, &QComboBox::activated, this, [this] { changed(); });
    connect(datePicker, &QDateEdit::dateChanged, this, [this] {
        if (!m_filling)
            changed();
    });
    awakeFromNib();
}

NewSubjectGradeController::~NewSubjectGradeController() = default;

void NewSubjectGradeController::awakeFromNib()
{
    m_filling = true;
    textSession->setText(m_row.session());
    for (const SessionTypeEntity &t : TovWeightAndSessionTypeXmlDatabase::sharedUI()->sessionTypeList())
        cmbType->addItem(t.name());
    if (const int at = cmbType->findText(m_row.type()); at >= 0)
        cmbType->setCurrentIndex(at);
    else if (!m_row.type().isEmpty()) {
        // A type the list no longer has still shows what the session holds.
        cmbType->addItem(m_row.type());
        cmbType->setCurrentIndex(cmbType->count() - 1);
    }
    cmbClass->addItem(m_row.className());
    cmbSubject->addItem(kSelect);
    cmbSubject->addItems(RosterRecords::subjectNames());
    cmbSubject->setCurrentIndex(qMax(0, cmbSubject->findText(m_row.subjectName())));
    cmbTeacher->addItem(kSelect);
    cmbTeacher->addItems(RosterRecords::teacherNames());
    cmbTeacher->setCurrentIndex(qMax(0, cmbTeacher->findText(m_row.teacherName())));
    for (MyComboBox *box : {cmbType, cmbClass, cmbSubject, cmbTeacher})
        box->setFit();

    if (m_parent && !m_row.filePath().isEmpty()) {
        QString why;
        m_courseGradeData = DataManager::getQuizAtPath(m_row.filePath(), &why);
        if (!m_courseGradeData)
            PollixLog(why);
    }
    const QString total = m_courseGradeData ? m_courseGradeData->totalMark() : QString();
    textTotalPoint->setText(total.isEmpty() ? QStringLiteral("100") : total);
    m_hasChange = false;
    bntSave->setEnabled(false);
    bntSaveAndClose->setEnabled(false);
    datePicker->setDate(dayOf(m_row.date()).isValid() ? dayOf(m_row.date()) : QDate::currentDate());
    refreshTableView();
    m_session = textSession->text();
    m_totalPoint = textTotalPoint->text();
    // Without a session there is nothing to edit.
    for (QWidget *w : std::initializer_list<QWidget *>{textSession, textTotalPoint, cmbType, cmbSubject, cmbTeacher,
                                                       datePicker, studentListTable})
        w->setEnabled(bool(m_courseGradeData));
    m_filling = false;
}

void NewSubjectGradeController::refreshTableView()
{
    m_rows.clear();
    if (m_courseGradeData) {
        for (const StudentEntity &s : m_courseGradeData->allStudents()) {
            StudentGradeReport row;
            row.setStudentNo(s.no());
            row.setStudentID(s.id());
            row.setStudentName(mergeFirstLastString(s.firstName(), s.lastName()));
            row.setTotalPoints(GlobalFunctions::intValue(s.totalMark()));
            m_rows << row;
        }
    }
    sortByStudentId(m_rows);
    const bool was = m_filling;
    m_filling = true;
    studentListTable->setRowCount(int(m_rows.size()));
    for (int r = 0; r < m_rows.size(); ++r) {
        auto *id = new QTableWidgetItem(m_rows.at(r).studentID());
        id->setFlags(id->flags() & ~Qt::ItemIsEditable);
        auto *name = new QTableWidgetItem(m_rows.at(r).studentName());
        name->setFlags(name->flags() & ~Qt::ItemIsEditable);
        auto *points = new QTableWidgetItem(QString::number(m_rows.at(r).totalPoints()));
        points->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        studentListTable->setItem(r, 0, id);
        studentListTable->setItem(r, 1, name);
        studentListTable->setItem(r, kPointsColumn, points);
    }
    m_filling = was;
}

int NewSubjectGradeController::alert(const QString &title, const QString &text, const QStringList &buttons)
{
    return PollixAlert::show(this, title, text, buttons.isEmpty() ? QStringList{tr("Ok")} : buttons) -
           PollixAlert::AlertFirstButtonReturn;
}

void NewSubjectGradeController::changed()
{
    if (m_filling || !m_courseGradeData)
        return;
    m_hasChange = true;
    bntSave->setEnabled(true);
    bntSaveAndClose->setEnabled(true);
}

bool NewSubjectGradeController::pointsShouldEnd(int row, QString &text)
{
    const int total = GlobalFunctions::intValue(textTotalPoint->text());
    PollixLogf("anObject:%d  textTotalPoint:%d", GlobalFunctions::intValue(text), total);
    m_hasChange = true;
    const std::optional<int> points = PointsOnlyRules::studentPoints(text.trimmed(), total);
    if (!points) {
        alert(kPollix, tr("Please enter the correct point ."));
        return false;
    }
    m_rows[row].setTotalPoints(*points);
    text = QString::number(*points);
    changed();
    return true;
}

void NewSubjectGradeController::doSave()
{
    if (!m_courseGradeData) {
        m_shouldClose = false;
        alert(kPollix, tr("There is no record ."));
        return;
    }
    const auto refuse = [this](const QString &message) {
        alert(kPollix, message);
        m_shouldClose = false;
    };
    if (m_rows.isEmpty())
        return refuse(tr("There is no record ."));
    QList<int> points;
    for (const StudentGradeReport &row : m_rows)
        points << row.totalPoints();
    const int total = GlobalFunctions::intValue(textTotalPoint->text());
    if (const int needed = PointsOnlyRules::neededTotal(total, points); needed != total) {
        refuse(tr("Total Points should be higher than Student Points."));
        textTotalPoint->setText(QString::number(needed));
        return;
    }
    if (textSession->text().isEmpty())
        return refuse(tr("Please enter the Session Title ."));
    if (cmbType->currentText() == kSelect || cmbType->currentText().isEmpty())
        return refuse(tr("Please Select a Session Type ."));
    if (cmbSubject->currentText() == kSelect)
        return refuse(tr("Please Select a Subject ."));
    if (cmbTeacher->currentText() == kSelect)
        return refuse(tr("Please Select a Teacher ."));

    QuizEntity quiz = *m_courseGradeData;
    quiz.setActNo(m_row.strID());
    quiz.setClassName(cmbClass->currentText());
    quiz.setSubject(cmbSubject->currentText());
    quiz.setTeacherName(cmbTeacher->currentText());
    // Stored as typed: the file's writer escapes what XML needs.
    quiz.setSessionType(cmbType->currentText());
    quiz.setName(textSession->text());
    quiz.setActionType(QStringLiteral("1"));
    quiz.setTotalMark(textTotalPoint->text());
    const QDate day = datePicker->date();
    quiz.setDate(dayText(day));
    QList<StudentEntity> loaded = quiz.allStudents();
    sortByStudentId(loaded, [](const StudentEntity &s) { return s.id(); });
    QList<StudentEntity> students;
    for (int r = 0; r < m_rows.size(); ++r) {
        StudentEntity s;
        s.setId(m_rows.at(r).studentID());
        if (r < loaded.size()) {
            s.setFirstName(loaded.at(r).firstName());
            s.setLastName(loaded.at(r).lastName());
        }
        s.setTotalMark(QString::number(m_rows.at(r).totalPoints()));
        students << s;
    }
    quiz.setAllStudents(students);
    QString why;
    if (!TovCourseGradeXmlDatabase().upDataQuizForReport(m_row.filePath(), quiz, &why)
        || !TovQuizXmlDatabase().readsBackAs(m_row.filePath(), quiz, &why)) {
        m_shouldClose = false;
        PollixAlert::show(this, kPollix, tr("The session could not be saved."), {tr("OK")}, why);
        return;
    }
    m_courseGradeData = quiz;
    // What is saved is what a later way out compares the fields with: a title or total changed and
    // saved is no change left to ask about.
    m_session = textSession->text();
    m_totalPoint = textTotalPoint->text();
    bntSave->setEnabled(false);
    bntSaveAndClose->setEnabled(false);
    m_shouldClose = true;
    m_hasChange = false;
    PollixAlert::show(this, kPollix, tr("Successfully Edited."), {tr("OK")}, SessionFormParts::whereSaved(m_row.filePath()));
    updateOpener(day);
}

void NewSubjectGradeController::updateOpener(const QDate &day)
{
    if (!m_parent)
        return;
    const QString s = dayText(day);
    const QDate earliest = dayOf(m_parent->earliestDate());
    const QDate latest = dayOf(m_parent->lastestDate());
    const QDate old = dayOf(m_row.date());
    const auto setEarliest = [&](const QString &d) {
        m_parent->setEarliestDate(d);
        m_parent->setFromDate1(d);
    };
    const auto setLatest = [&](const QString &d) {
        m_parent->setLastestDate(d);
        m_parent->setToDate1(d);
    };
    const auto sessionDays = [&] {
        QList<QDate> days;
        m_parent->getEarliestDate(&days);
        std::sort(days.begin(), days.end());
        days.erase(std::unique(days.begin(), days.end()), days.end());
        return days;
    };
    if (old == earliest) {
        // The session opened the range: the range follows it, or starts at the next session.
        const QList<QDate> days = sessionDays();
        if (days.size() > 1 && day > days.at(1)) {
            if (day > latest)
                setLatest(s);
            setEarliest(dayText(days.at(1)));
        } else {
            setEarliest(s);
        }
    } else if (old == latest) {
        const QList<QDate> days = sessionDays();
        if (days.size() > 1 && day < days.at(days.size() - 2)) {
            if (day < earliest)
                setEarliest(s);
            setLatest(dayText(days.at(days.size() - 2)));
        } else {
            setLatest(s);
        }
    } else {
        if (earliest > day)
            setEarliest(s);
        if (day > latest)
            setLatest(s);
    }
    m_parent->refresh1();
    m_parent->selectArray1ByID(m_row.strID());
}

void NewSubjectGradeController::noteEditedFields()
{
    if (textSession->text() != m_session || textTotalPoint->text() != m_totalPoint)
        changed();
}

bool NewSubjectGradeController::mayClose(const QString &title, const QString &question)
{
    // The close box and Escape leave a field or a cell being typed in as it is: what was typed
    // counts as the Close button's click would make it count.
    EditHold::commitOpenCell(this);
    noteEditedFields();
    if (!m_hasChange)
        return true;
    return EditHold::askSave(this, title, question, {tr("Yes"), tr("No")},
                             [this] {
                                 doSave();
                                 // A check or a write that failed keeps the window and the teacher's changes.
                                 return m_shouldClose;
                             })
           == EditHold::Answer::Leave;
}

void NewSubjectGradeController::doSaveAndClose()
{
    doSave();
    if (m_shouldClose)
        doClose();
}

void NewSubjectGradeController::doClose()
{
    if (!mayClose(QStringLiteral("Warning"), tr("Do you want to save the change ?")))
        return;
    m_closing = true;
    done(0);
}

void NewSubjectGradeController::closeEvent(QCloseEvent *event)
{
    if (m_closing || mayClose(QStringLiteral("Warning"), tr("Do you want to save the change?"))) {
        m_closing = true;
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
}

void NewSubjectGradeController::reject()
{
    doClose();
}
