#include "QuizReportController.h"

#include "AnswerDetailsController.h"
#include "ResultDetailsController.h"

#include "core/engine/ActivityRules.h"
#include "platform/Log.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

QuizReportController::QuizReportController(QWidget *parent)
    : RunChildWindow(QStringLiteral("QuizReport"), "QuizReport", parent)
{
    setWindowTitle(tr("Report"));
    resize(900, 640);
    textTitle = new QLabel(this);
    textTitle->setObjectName(QStringLiteral("textTitle"));
    tblReport = new QTableWidget(this);
    tblReport->setObjectName(QStringLiteral("tblReport"));
    tblReport->verticalHeader()->hide();
    tblReport->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblReport->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblReport->setSelectionMode(QAbstractItemView::SingleSelection);
    tblReport->setSortingEnabled(false);
    connect(tblReport, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { tableViewDoubleClick(row); });

    textAveragePointTitle = new QLabel(tr("Average Points:"), this);
    textAveragePointTitle->setObjectName(QStringLiteral("textAveragePointTitle"));
    textAveragePoint = new QLabel(this);
    textAveragePoint->setObjectName(QStringLiteral("textAveragePoint"));
    textAveragePoint->setMinimumWidth(60);
    btnHistogram = new QPushButton(tr("\"F1\" Result Details"), this);
    btnHistogram->setObjectName(QStringLiteral("btnHistogram"));
    btnCancel = new QPushButton(tr("\"F2\" Close"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setDefault(true);
    connect(btnHistogram, &QPushButton::clicked, this, &QuizReportController::doHistogram);
    connect(btnCancel, &QPushButton::clicked, this, &QuizReportController::doCancel);
    for (QWidget *w : {static_cast<QWidget *>(textAveragePointTitle), static_cast<QWidget *>(textAveragePoint),
                       static_cast<QWidget *>(btnHistogram)}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(textAveragePointTitle);
    bottom->addWidget(textAveragePoint);
    bottom->addStretch();
    bottom->addWidget(btnHistogram);
    bottom->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(textTitle);
    layout->addWidget(tblReport, 1);
    layout->addLayout(bottom);
}

QuizReportController::~QuizReportController() = default;

void QuizReportController::windowDidLoad()
{
    setPostsLoginViewToNormal(!m_bIsGroupMode);
    QFont f = textTitle->font();
    f.setPointSize(25);
    textTitle->setFont(f);
    const ActivityRule &rule = ActivityRules::rule(m_actMode);
    textTitle->setText(rule.report == ActivityRule::Report::Question
                           ? tr("%1: Question %2").arg(ActivityRules::name(m_actMode)).arg(m_nQuestionNo)
                           : ActivityRules::name(m_actMode));

    m_report = std::make_unique<QuestionReport>(m_actMode, m_nQuestionNo);
    m_columns = QuestionReport::columns(m_actMode);
    tblReport->setColumnCount(int(m_columns.size()));
    QStringList titles;
    for (const QuestionReport::Column &c : m_columns)
        titles << c.identifier;
    tblReport->setHorizontalHeaderLabels(titles);
    tblReport->setRowCount(m_report->rowCount());
    for (int r = 0; r < m_report->rowCount(); ++r) {
        for (int c = 0; c < m_columns.size(); ++c) {
            auto *item = new QTableWidgetItem(m_report->cell(r, m_columns[c].identifier));
            if (c > 0 && m_columns[c].identifier != QLatin1String("Student Full Name"))
                item->setTextAlignment(Qt::AlignCenter);
            tblReport->setItem(r, c, item);
        }
    }
    QList<double> shares;
    for (const QuestionReport::Column &c : m_columns)
        shares << c.width;
    keepColumnShares(tblReport, shares);
    btnHistogram->setVisible(m_report->offersResultDetails());
    textAveragePointTitle->setVisible(m_report->showsAverage());
    textAveragePoint->setVisible(m_report->showsAverage());
    textAveragePoint->setText(m_report->averageText());
}

void QuizReportController::tableViewDoubleClick(int row)
{
    if (!m_report || !m_report->opensAnswerDetails() || row < 0 || row >= m_report->rowCount())
        return;
    AnswerDetailsController details(this);
    details.setStudentInfo(m_report->student(row));
    details.setNMode(m_actMode);
    runChild(details);
}

void QuizReportController::doHistogram()
{
    if (!m_report || btnHistogram->isHidden())
        return;
    ResultDetailsController details(this);
    details.setNQuestionNo(m_nQuestionNo);
    details.setStrCorrectAnswer(m_report->resultDetailsAnswer());
    runChild(details);
}

void QuizReportController::doCancel()
{
    reject();
}

void QuizReportController::teacherAction(TeacherKeyMap::Action action)
{
    switch (action) {
    case TeacherKeyMap::Action::Ok: doHistogram(); break;
    case TeacherKeyMap::Action::Cancel: doCancel(); break;
    // Over the report the Result key opens nothing; it is only noted.
    case TeacherKeyMap::Action::Result: PollixLog(QStringLiteral("teacher result in report.")); break;
    default: break;
    }
}
