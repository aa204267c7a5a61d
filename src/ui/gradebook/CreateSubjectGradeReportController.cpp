#include "CreateSubjectGradeReportController.h"

#include "SessionSelectController.h"

#include "core/base/PrintfNumber.h"
#include "core/gradebook/CourseGradeCalculator.h"
#include "core/reports/ReportDrawing.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovGradeSessionsXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/ProgressControl.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
const QString kPollix = QStringLiteral("Pollix");
} // namespace

CreateSubjectGradeReportController::Hooks &CreateSubjectGradeReportController::hooks()
{
    static Hooks h;
    return h;
}

QStringList CreateSubjectGradeReportController::reportNames()
{
    return {tr("Progressive Report"), tr("Academic Summary"), tr("Course Grade Summary"), tr("Class Grade Report")};
}

CreateSubjectGradeReportController::CreateSubjectGradeReportController(SessionSelectController *parent,
                                                                       QWidget *parentWidget)
    : QDialog(parentWidget), m_parent(parent)
{
    setObjectName(QStringLiteral("CreateSubjectGradeReport"));
    setWindowTitle(tr("Course Grade"));
    if (m_parent) {
        m_sessionWeightArray = m_parent->sessionWeightArray();
        m_conversionLetterArray = m_parent->conversionLetterArray();
        for (const SessionSelect &s : m_parent->sessionSelectArray())
            if (s.isSelect())
                m_sessionSelectArray << s;
    }
    CourseGradeCalculator::Result result;
    ProgressControl::runWithProgress(parentWidget, [&](const ProgressControl::Progress &progress) {
        result = CourseGradeCalculator::compute(m_sessionWeightArray, m_sessionSelectArray, m_conversionLetterArray,
                                                progress);
        return true;
    });
    m_tableLeftArray = result.rows;
    awakeFromNib();
    if (!result.unreadable.isEmpty())
        PollixAlert::show(this, kPollix, tr("These sessions could not be read and count for nobody:"), {tr("OK")},
                          result.unreadable.join(QLatin1Char('\n')));
}

CreateSubjectGradeReportController::~CreateSubjectGradeReportController() = default;

void CreateSubjectGradeReportController::awakeFromNib()
{
    const auto label = [this](const char *name) {
        auto *l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return l;
    };
    textSubjectGrade = label("textSubjectGrade");
    QFont big = textSubjectGrade->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    textSubjectGrade->setFont(big);
    textClass = label("textClass");
    textFrom = label("textFrom");
    textTo = label("textTo");
    textSubject = label("textSubject");
    textTeacher = label("textTeacher");
    textTotalStudents = label("textTotalStudents");
    textAverage = label("textAverage");
    if (m_parent) {
        textSubjectGrade->setText(m_parent->subjectGrade());
        textFrom->setText(m_parent->dateFrom());
        textTo->setText(m_parent->dateTo());
        textClass->setText(m_parent->className());
        textSubject->setText(m_parent->subjectName());
        textTeacher->setText(shortenedText(m_parent->teacherName(), 27, 24));
        textTeacher->setToolTip(m_parent->teacherName());
    }
    textTotalStudents->setText(QString::number(totalStudents()));
    m_avg = CourseGradeCalculator::classAverage(m_tableLeftArray);
    textAverage->setText(PrintfNumber::fixed(double(m_avg), 1));

    auto *head = new QGridLayout;
    head->addWidget(textSubjectGrade, 0, 0, 1, 6);
    const QList<std::pair<QString, QLabel *>> fields{{tr("Class:"), textClass},     {tr("Subject:"), textSubject},
                                                     {tr("Teacher:"), textTeacher}, {tr("From:"), textFrom},
                                                     {tr("To:"), textTo},           {tr("Students:"), textTotalStudents},
                                                     {tr("Class Average:"), textAverage}};
    for (int i = 0; i < fields.size(); ++i) {
        head->addWidget(new QLabel(fields.at(i).first, this), 1 + i / 3, (i % 3) * 2, Qt::AlignRight);
        head->addWidget(fields.at(i).second, 1 + i / 3, (i % 3) * 2 + 1);
    }
    head->setColumnStretch(1, 1);
    head->setColumnStretch(3, 1);
    head->setColumnStretch(5, 1);

    // The student, one column per counted type, the total and the letter.
    QStringList headers{tr("Student Name")};
    for (const SelectSessionType &t : m_sessionWeightArray)
        headers << t.sessionType();
    headers << tr("Total") << tr("Grade");
    tableLeft = new QTableWidget(int(m_tableLeftArray.size()), int(headers.size()), this);
    tableLeft->setObjectName(QStringLiteral("tableLeft"));
    tableLeft->setHorizontalHeaderLabels(headers);
    tableLeft->verticalHeader()->hide();
    tableLeft->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableLeft->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableLeft->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tableLeft->setUpdatesEnabled(false);
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    for (int r = 0; r < m_tableLeftArray.size(); ++r) {
        const StudentMarkGrade &row = m_tableLeftArray.at(r);
        tableLeft->setItem(r, 0, new QTableWidgetItem(row.studentName()));
        int c = 1;
        for (float mark : row.markArray()) {
            auto *it = new QTableWidgetItem(PrintfNumber::fixed(double(mark), 1));
            it->setTextAlignment(right);
            tableLeft->setItem(r, c++, it);
        }
        auto *total = new QTableWidgetItem(PrintfNumber::fixed(double(row.total()), 1));
        total->setTextAlignment(right);
        tableLeft->setItem(r, c++, total);
        tableLeft->setItem(r, c, new QTableWidgetItem(row.grade()));
    }
    tableLeft->setColumnWidth(0, 200);
    for (int c = 1; c < headers.size(); ++c)
        tableLeft->setColumnWidth(c, std::max(70, tableLeft->horizontalHeader()->sectionSizeHint(c)));
    tableLeft->horizontalHeader()->setStretchLastSection(true);
    tableLeft->setUpdatesEnabled(true);

    tableRight = new QListWidget(this);
    tableRight->setObjectName(QStringLiteral("tableRight"));
    tableRight->addItems(reportNames());
    tableRight->setMaximumWidth(200);
    // The reports open once they are built; until then the list and Preview stay off.
    const bool reportsBuilt = bool(hooks().openReport);
    tableRight->setEnabled(reportsBuilt);
    btnPreview = new QPushButton(tr("Preview"), this);
    btnPreview->setObjectName(QStringLiteral("btnPreview"));
    // Preview waits for a report to be chosen: without one it would open nothing.
    btnPreview->setEnabled(false);
    connect(tableRight, &QListWidget::currentRowChanged, this,
            [this, reportsBuilt](int row) { btnPreview->setEnabled(reportsBuilt && row >= 0); });
    btnSave = new QPushButton(tr("Save"), this);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnClose = new QPushButton(tr("Close"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));

    auto *reports = new QVBoxLayout;
    reports->addWidget(new QLabel(tr("Reports:"), this));
    reports->addWidget(tableRight, 1);
    reports->addWidget(btnPreview);
    auto *body = new QHBoxLayout;
    body->addWidget(tableLeft, 1);
    body->addLayout(reports);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnSave);
    buttons->addWidget(btnClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
    resize(900, 600);

    connect(btnSave, &QPushButton::clicked, this, &CreateSubjectGradeReportController::doSave);
    connect(btnPreview, &QPushButton::clicked, this, &CreateSubjectGradeReportController::doPreview);
    connect(btnClose, &QPushButton::clicked, this, &CreateSubjectGradeReportController::doClose);
    connect(tableRight, &QListWidget::itemDoubleClicked, this, &CreateSubjectGradeReportController::table1DoubleAction);
}

QList<StudentMarkGrade> CreateSubjectGradeReportController::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : tableLeft->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    QList<StudentMarkGrade> out;
    for (int r : rows)
        out << m_tableLeftArray.at(r);
    return out;
}

void CreateSubjectGradeReportController::doPreview()
{
    const int report = tableRight->currentRow();
    const QList<StudentMarkGrade> rows = selectedRows();
    if (!hooks().openReport || report < 0 || report > 3)
        return;
    if (rows.isEmpty()) {
        PollixAlert::show(this, kPollix, tr("Please select a student record."));
        return;
    }
    hooks().openReport(this, report, rows);
}

void CreateSubjectGradeReportController::table1DoubleAction()
{
    if (tableRight->selectedItems().size() == 1)
        doPreview();
}

void CreateSubjectGradeReportController::doSave()
{
    if (!m_parent)
        return;
    CourseGradeEntity grade;
    // The period the teacher chose, as it stood then.
    grade.setPeriod(m_parent->periodEntity());
    grade.setClassName(TovClassXmlDatabase::sharedClassUI()->nameByClassNo(m_parent->classNum()));
    grade.setSubjectName(m_parent->subjectEntity().name());
    grade.setTeacherName(TovTeacherXmlDatabase::sharedUI()->nameByTeacherNo(m_parent->teacherNum()));
    for (const StudentMarkGrade &row : m_tableLeftArray) {
        CourseGradeDetail detail;
        detail.setStudentID(row.studentID());
        detail.setStudentName(row.studentName());
        detail.setMark(row.total());
        detail.setLetterGrade(row.grade());
        grade.allGradeDetails() << detail;
    }
    TovGradeSessionsXmlDatabase *store = TovGradeSessionsXmlDatabase::sharedUI();
    QString why;
    bool saved = false;
    if (store->existCourseGrade(grade)) {
        if (PollixAlert::show(this, kPollix, tr("Record already exists.Do you want to replace it?"), {tr("Yes"), tr("No")},
                              {}, PollixAlert::Default::LeavesAsIs)
            != PollixAlert::AlertFirstButtonReturn)
            return;
        saved = store->updateCourseGradeSession(grade, &why);
    } else {
        saved = store->addCourseGradeSession(grade, &why);
    }
    // Done only when the file, read again, holds it.
    if (saved && !store->isStored(grade, &why)) {
        saved = false;
        store->loadGradeSessionList();
    }
    if (!saved) {
        PollixAlert::show(this, kPollix, tr("The course grade could not be saved."), {tr("OK")}, why);
        return;
    }
    btnSave->setEnabled(false);
    NotificationCenter::defaultCenter()->postNotification(Notify::UpdateGradingPeriod);
    PollixAlert::show(this, kPollix, tr("Saved successfully."), {tr("OK")},
                      tr("The course grade of %1 for class %2, teacher %3, grading period %4 was saved in %5. The "
                         "Report window lists it under its grading period.")
                          .arg(grade.subjectName(), grade.className(), grade.teacherName(),
                               grade.period().unique_title(), QDir::toNativeSeparators(store->filePath())));
}

void CreateSubjectGradeReportController::doClose()
{
    done(0);
}

void CreateSubjectGradeReportController::done(int result)
{
    if (m_parent)
        for (SelectSessionType &t : m_parent->sessionWeightArray())
            t.setIsSelect(false);
    QDialog::done(result);
}
