#include "SessionSelectController.h"

#include "CreateSubjectGradeReportController.h"

#include "core/base/PrintfNumber.h"
#include "core/gradebook/SessionSelection.h"
#include "core/store/DataManager.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "ui/controls/DialogHooks.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/ProgressControl.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

SessionSelectController::SessionSelectController(const WeightEntity &weight, const LetterGradeEntity &conversionList,
                                                 const PeriodEntity &period, int classNum, const SubjectEntity &subject,
                                                 int teacherNum, QWidget *parent)
    : QDialog(parent), m_classNum(classNum), m_teacherNum(teacherNum), m_weigthEntity(weight),
      m_letterGradeEntity(conversionList), m_periodEntity(period), m_subjectEntity(subject)
{
    setObjectName(QStringLiteral("SessionSelect"));
    setWindowTitle(tr("Select Sessions"));
    m_subjectGrade = subject.name();
    m_periodNum = period.no();
    m_weightTitle = weight.title();
    m_letterTitle = conversionList.title();
    m_sessionWeightArray = SessionSelection::countedTypes(weight);
    m_conversionLetterArray = SessionSelection::letters(conversionList);
    m_className = TovClassXmlDatabase::sharedClassUI()->nameByClassNo(classNum);
    m_subjectName = subject.name();
    if (const std::optional<TeacherEntity> teacher = TovTeacherXmlDatabase::sharedUI()->teacherByNo(teacherNum))
        m_teacherName = teacher->name();
    m_dateFrom = period.dateFrom();
    m_dateTo = period.dateTo();
    const QList<SessionSelect> found =
        DataManager::getAllQuizsWhereClassName(m_className, m_subjectName, m_teacherName, m_dateFrom, m_dateTo)
            .value_or(QList<SessionSelect>());
    m_sessionSelectArray = SessionSelection::listedSessions(found, m_sessionWeightArray);
    for (SessionSelect &row : m_sessionSelectArray) {
        row.setClassName(m_className);
        row.setSubjectName(m_subjectName);
        row.setTeacherName(m_teacherName);
    }

    textHead = new QLabel(this);
    textHead->setObjectName(QStringLiteral("textHead"));
    textHead->setText(tr("%1, %2, %3 — %4 (%5 to %6)")
                          .arg(m_className, m_subjectName, m_teacherName, period.title(), m_dateFrom, m_dateTo));
    tableSession = new QTableWidget(0, 7, this);
    tableSession->setObjectName(QStringLiteral("tableSession"));
    tableSession->setHorizontalHeaderLabels(
        {QString(), tr("Session"), tr("Date"), tr("Type"), tr("Points"), tr("Students"), tr("Average")});
    tableSession->verticalHeader()->hide();
    tableSession->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableSession->setSelectionBehavior(QAbstractItemView::SelectRows);
    const int widths[] = {30, 250, 100, 120, 70, 80};
    for (int c = 0; c < 6; ++c)
        tableSession->setColumnWidth(c, widths[c]);
    tableSession->horizontalHeader()->setStretchLastSection(true);
    btnPreview = new QPushButton(tr("Preview"), this);
    btnPreview->setObjectName(QStringLiteral("btnPreview"));
    btnClose = new QPushButton(tr("Close"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnPreview);
    buttons->addWidget(btnClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(textHead);
    layout->addWidget(tableSession, 1);
    layout->addLayout(buttons);
    resize(840, 480);

    connect(btnPreview, &QPushButton::clicked, this, &SessionSelectController::doPreview);
    connect(btnClose, &QPushButton::clicked, this, &SessionSelectController::doClose);
    connect(tableSession, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *it) {
        if (!m_filling && it->column() == 0)
            m_sessionSelectArray[it->row()].setIsSelect(it->checkState() == Qt::Checked);
    });
    fillTable();
}

SessionSelectController::~SessionSelectController() = default;

void SessionSelectController::fillTable()
{
    m_filling = true;
    tableSession->setRowCount(int(m_sessionSelectArray.size()));
    const auto cell = [](const QString &text, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
        auto *it = new QTableWidgetItem(text);
        it->setTextAlignment(align);
        return it;
    };
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    for (int r = 0; r < m_sessionSelectArray.size(); ++r) {
        const SessionSelect &s = m_sessionSelectArray.at(r);
        auto *check = new QTableWidgetItem;
        check->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        check->setCheckState(s.isSelect() ? Qt::Checked : Qt::Unchecked);
        tableSession->setItem(r, 0, check);
        tableSession->setItem(r, 1, cell(s.session()));
        tableSession->setItem(r, 2, cell(s.date()));
        tableSession->setItem(r, 3, cell(s.type()));
        tableSession->setItem(r, 4, cell(QString::number(s.points()), right));
        tableSession->setItem(r, 5, cell(QString::number(s.totalStudents()), right));
        tableSession->setItem(r, 6, cell(PrintfNumber::fixed(double(s.avg()), 1), right));
    }
    m_filling = false;
}

void SessionSelectController::setTicked(int row, bool ticked)
{
    tableSession->item(row, 0)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void SessionSelectController::doPreview()
{
    if (const std::optional<QString> missing = SessionSelection::missingFor(m_sessionSelectArray, m_sessionWeightArray)) {
        PollixAlert::show(this, QStringLiteral("Pollix"), *missing);
        return;
    }
    {
        CreateSubjectGradeReportController grade(this, this);
        DialogHooks::runModal(&grade);
    }
    // The teacher ticks afresh for the next course grade.
    for (SessionSelect &row : m_sessionSelectArray)
        row.setIsSelect(false);
    fillTable();
}

void SessionSelectController::doClose()
{
    done(0);
}

GradebookReportSource SessionSelectController::reportSource() const
{
    GradebookReportSource source;
    source.subjectGrade = m_subjectGrade;
    source.className = m_className;
    source.subjectName = m_subjectName;
    source.teacherName = m_teacherName;
    source.weightTitle = m_weightTitle;
    source.letterTitle = m_letterTitle;
    source.period = m_periodEntity;
    source.sessionWeightArray = m_sessionWeightArray;
    source.conversionLetterArray = m_conversionLetterArray;
    for (const SessionSelect &row : m_sessionSelectArray)
        if (row.isSelect())
            source.tickedSessions << row;
    return source;
}

TickedSessionScores SessionSelectController::readTickedScores(QWidget *progressParent) const
{
    const GradebookReportSource source = reportSource();
    TickedSessionScores scores;
    ProgressControl::runWithProgress(progressParent, [&](const ProgressControl::Progress &progress) {
        scores = TickedSessionScores::read(source.tickedSessions, progress);
        return true;
    });
    return scores;
}
