#include "CreateReportController.h"

#include "ReportRegistry.h"

#include "core/reports/ReportChoice.h"
#include "core/store/DataManager.h"
#include "ui/controls/ColumnFit.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/TovLabel.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

CreateReportController::CreateReportController(int actNo, const QString &activityMode, const QString &actID,
                                               const QString &filePath, QWidget *parent)
    : QDialog(parent), m_curActNo(actNo), m_actModeName(activityMode)
{
    setObjectName(QStringLiteral("CreateReport"));
    std::optional<QuizEntity> quiz;
    if (!filePath.isEmpty()) {
        quiz = DataManager::getQuizAtPath(filePath, &m_loadError);
    } else {
        quiz = DataManager::getQuizWhereActNoIs(actID);
        if (quiz && quiz->actNo().isEmpty())
            quiz.reset();
        if (!quiz)
            m_loadError = tr("No session file carries the ID %1.").arg(actID);
    }
    m_loaded = quiz.has_value();
    if (quiz)
        m_quiz = *quiz;

    m_deviceType = DataManager::getMachineName(m_quiz.machineName());
    m_isGroup = ReportChoice::isGroupSession(m_quiz) ? 1 : 0;
    m_session.setActNo(actNo);
    m_session.setSession(m_quiz.name());
    m_session.setClassName(m_quiz.className());
    m_session.setTeacherName(m_quiz.teacherName());
    m_session.setSubjectName(m_quiz.subject());
    m_students = ReportChoice::studentCheckList(m_quiz);
    if (m_loaded)
        m_reportNames = ReportChoice::reportsFor(m_isGroup, m_actModeName, m_deviceType);
    for (int i = 0; i < m_reportNames.size(); ++i) {
        SingleColumnString row;
        row.setNum(i);
        row.setStr(QCoreApplication::translate("Report", m_reportNames.at(i).toUtf8().constData()));
        m_reports.append(row);
    }
    buildInterface();
    fillTables();
}

void CreateReportController::buildInterface()
{
    setWindowTitle(tr("Report"));
    tableSession = new QTableWidget(1, 4, this);
    tableSession->setObjectName(QStringLiteral("tableSession"));
    tableSession->setHorizontalHeaderLabels({tr("Session"), tr("Class"), tr("Teacher"), tr("Subject")});
    tableSession->verticalHeader()->hide();
    tableSession->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableSession->setSelectionMode(QAbstractItemView::NoSelection);
    tableSession->setFixedHeight(tableSession->horizontalHeader()->sizeHint().height()
                                 + tableSession->verticalHeader()->defaultSectionSize() + 4);
    // One row high: a sideways scroll bar would cover the row. Long names share the width.
    new ColumnFit(tableSession, {200, 110, 150, 110});

    tableStudent = new QTableWidget(0, 3, this);
    tableStudent->setObjectName(QStringLiteral("tableStudent"));
    tableStudent->setHorizontalHeaderLabels({QString(), tr("Student ID"), tr("Student Name")});
    tableStudent->verticalHeader()->hide();
    tableStudent->verticalHeader()->setDefaultSectionSize(tableStudent->fontMetrics().height() + 8);
    // The check boxes and the IDs whole, the names in what is left.
    new ColumnFit(tableStudent, {ColumnFit::Whole, ColumnFit::Whole, 224});
    tableStudent->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableStudent->setSelectionBehavior(QAbstractItemView::SelectRows);
    connect(tableStudent, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (!m_fillingChecks && item->column() == 0)
            setStudentSelected(item->row(), item->checkState() == Qt::Checked);
    });

    tableReportFormat = new QTableWidget(0, 1, this);
    tableReportFormat->setObjectName(QStringLiteral("tableReportFormat"));
    tableReportFormat->setHorizontalHeaderLabels({tr("Report")});
    tableReportFormat->verticalHeader()->hide();
    tableReportFormat->verticalHeader()->setDefaultSectionSize(tableReportFormat->fontMetrics().height() + 8);
    tableReportFormat->horizontalHeader()->setStretchLastSection(true);
    tableReportFormat->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableReportFormat->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableReportFormat->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(tableReportFormat, &QTableWidget::itemSelectionChanged, this, &CreateReportController::reportSelectionChanged);
    connect(tableReportFormat, &QTableWidget::cellDoubleClicked, this, &CreateReportController::tableDoubleAction);

    btnSelectAll = new QCheckBox(tr("Select All"), this);
    btnSelectAll->setObjectName(QStringLiteral("btnSelectAll"));
    connect(btnSelectAll, &QCheckBox::clicked, this, &CreateReportController::doSelectAll);
    btnPreview = new QPushButton(tr("Preview"), this);
    btnPreview->setObjectName(QStringLiteral("btnPreview"));
    btnPreview->setDefault(true);
    btnPreview->setEnabled(false);
    connect(btnPreview, &QPushButton::clicked, this, &CreateReportController::doPreview);
    btnExit = new QPushButton(tr("Exit"), this);
    btnExit->setObjectName(QStringLiteral("btnExit"));
    btnExit->setAutoDefault(false);
    connect(btnExit, &QPushButton::clicked, this, &CreateReportController::doExit);

    auto *students = new QVBoxLayout;
    students->addWidget(new TovLabel(tr("Students"), this));
    students->addWidget(tableStudent, 1);
    students->addWidget(btnSelectAll);
    auto *reports = new QVBoxLayout;
    reports->addWidget(new TovLabel(tr("Reports"), this));
    reports->addWidget(tableReportFormat, 1);
    auto *lists = new QHBoxLayout;
    lists->addLayout(students, 1);
    lists->addLayout(reports, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnExit);
    buttons->addWidget(btnPreview);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tableSession);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);
    resize(760, 520);
}

void CreateReportController::fillTables()
{
    const QString sessionCells[] = {m_session.session(), m_session.className(), m_session.teacherName(),
                                    m_session.subjectName()};
    for (int c = 0; c < 4; ++c)
        tableSession->setItem(0, c, new QTableWidgetItem(sessionCells[c]));

    m_fillingChecks = true;
    tableStudent->setRowCount(int(m_students.size()));
    for (int r = 0; r < m_students.size(); ++r) {
        auto *check = new QTableWidgetItem;
        check->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        tableStudent->setItem(r, 0, check);
        tableStudent->setItem(r, 1, new QTableWidgetItem(m_students.at(r).studentID()));
        tableStudent->setItem(r, 2, new QTableWidgetItem(m_students.at(r).studentName()));
    }
    m_fillingChecks = false;
    showStudentChecks();

    tableReportFormat->setRowCount(int(m_reports.size()));
    for (int r = 0; r < m_reports.size(); ++r) {
        auto *item = new QTableWidgetItem(m_reports.at(r).str());
        if (!ReportRegistry::isBuilt(m_reportNames.at(r))) {
            // Listed where it belongs, but not offered until its window exists.
            item->setFlags(Qt::NoItemFlags);
            item->setToolTip(tr("This report is not available in this version."));
        }
        tableReportFormat->setItem(r, 0, item);
    }
}

void CreateReportController::showStudentChecks()
{
    m_fillingChecks = true;
    // A report may have put the list in another order.
    for (int r = 0; r < m_students.size(); ++r) {
        if (QTableWidgetItem *item = tableStudent->item(r, 0))
            item->setCheckState(m_students.at(r).isSelected() ? Qt::Checked : Qt::Unchecked);
        if (QTableWidgetItem *item = tableStudent->item(r, 1))
            item->setText(m_students.at(r).studentID());
        if (QTableWidgetItem *item = tableStudent->item(r, 2))
            item->setText(m_students.at(r).studentName());
    }
    m_fillingChecks = false;
}

void CreateReportController::setStudentSelected(int row, bool selected)
{
    if (row < 0 || row >= m_students.size())
        return;
    m_students[row].setIsSelected(selected);
    showStudentChecks();
}

void CreateReportController::doSelectAll()
{
    const bool all = btnSelectAll->isChecked();
    for (SelectStudents &s : m_students)
        s.setIsSelected(all);
    showStudentChecks();
}

void CreateReportController::markAllStudents()
{
    if (!btnSelectAll->isChecked())
        btnSelectAll->setChecked(true);
    doSelectAll();
}

void CreateReportController::reportSelectionChanged()
{
    const QList<QTableWidgetSelectionRange> ranges = tableReportFormat->selectedRanges();
    const int row = ranges.isEmpty() ? -1 : ranges.first().topRow();
    btnPreview->setEnabled(row >= 0 && ReportRegistry::isBuilt(reportNameAt(row)));
}

void CreateReportController::doPreview()
{
    const QList<QTableWidgetSelectionRange> ranges = tableReportFormat->selectedRanges();
    const int row = ranges.isEmpty() ? -1 : ranges.first().topRow();
    const QString report = reportNameAt(row);
    if (m_isGroup) {
        markAllStudents();
    } else {
        const bool anyTicked = std::any_of(m_students.cbegin(), m_students.cend(),
                                           [](const SelectStudents &s) { return s.isSelected(); });
        if (!anyTicked && ReportChoice::needsTickedStudent(false, m_actModeName, report)) {
            PollixAlert::show(this, tr("Pollix"), tr("Please select at least one student first."), {tr("OK")});
            return;
        }
    }
    if (row < 0 || !ReportRegistry::isBuilt(report))
        return;
    if (ReportChoice::isClassWide(report) || report == QLatin1String("Attendance"))
        markAllStudents();
    ReportRegistry::open(report, this, m_quiz, m_students);
    showStudentChecks();
}

void CreateReportController::tableDoubleAction()
{
    doPreview();
}

void CreateReportController::doExit()
{
    done(0);
}
