#include "QuizResultController.h"

#include "QuizReportHistogramController.h"
#include "ResultView.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/base/ActivityCodes.h"
#include "core/engine/QuizQuestions.h"
#include "platform/Log.h"

#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

QuizResultController::QuizResultController(QWidget *parent)
    : RunChildWindow(QStringLiteral("QuizResult"), "QuizResult", parent)
{
    setWindowTitle(tr("Result"));
    setPostsLoginViewToNormal(true);
    title = addQuestionTitle("title");
    rv = new ResultView(this);

    txtAvgTime = addField("txtAvgTime");
    txtAttendants = addField("txtAttendants");
    txtAbsentees = addField("txtAbsentees");
    txtAbsenteesTitle = addField("txtAbsenteesTitle", tr("Absentees:"));
    txtRetainedCount = addField("txtRetainedCount");
    txtRetainedCountTitle = addField("txtRetainedCountTitle", tr("Retained:"));
    txtEliminatedCount = addField("txtEliminatedCount");
    txtEliminatedCountTitle = addField("txtEliminatedCountTitle", tr("Eliminated:"));

    btnDetails = addButton("btnDetails", tr("\"F1\" Details"));
    btnOK = addButton("btnOK", tr("\"F2\" OK"));
    btnOK->setDefault(true);
    connect(btnDetails, &QPushButton::clicked, this, &QuizResultController::onDetail);
    connect(btnOK, &QPushButton::clicked, this, &QuizResultController::onOK);
    layOutFigures(title,
                  {{addField("txtAvgTimeTitle", tr("Average Time:")), txtAvgTime},
                   {addField("txtAttendantsTitle", tr("Attendants:")), txtAttendants},
                   {txtAbsenteesTitle, txtAbsentees},
                   {txtRetainedCountTitle, txtRetainedCount},
                   {txtEliminatedCountTitle, txtEliminatedCount}},
                  rv, {btnDetails, btnOK});
}

void QuizResultController::windowDidLoad()
{
    const QuizQuestions *qq = QuizQuestions::shareManager();
    const int type = qq->questionType(m_nQuestionNo);
    // The histogram counts single options: questions of several answers or written ones have none.
    btnDetails->setEnabled(type == QuestionType::SingleAnswer || type == QuestionType::TrueFalse);
    reloadData();
    const bool elimination = m_summary.elimination;
    for (QLabel *l : {txtRetainedCount, txtRetainedCountTitle, txtEliminatedCount, txtEliminatedCountTitle})
        l->setVisible(elimination);
    // Arvel keypads do not log in: the whole class takes part, so nobody is absent.
    const Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    const bool arvel = app && app->currentDeviceType() == DeviceType::Arvel;
    txtAbsentees->setVisible(elimination || !arvel);
    txtAbsenteesTitle->setVisible(elimination || !arvel);
}

void QuizResultController::reloadData()
{
    title->setPlainText(QuizQuestions::shareManager()->questionTitle(m_nQuestionNo));
    m_summary = ResultSummary::compute(m_nQuestionNo, m_nQuizMode);
    txtAvgTime->setText(QString::asprintf("%0.2f", double(m_summary.averageTime)));
    txtAttendants->setText(QString::number(m_summary.attendants));
    txtAbsentees->setText(QString::number(m_summary.absentees));
    txtRetainedCount->setText(QString::number(m_summary.retained));
    txtEliminatedCount->setText(QString::number(m_summary.eliminated));
    rv->setSummary(m_summary);
}

void QuizResultController::onOK()
{
    accept();
}

void QuizResultController::onDetail()
{
    if (!btnDetails->isEnabled())
        return;
    QuizReportHistogramController histogram(this);
    histogram.setNQuestionNo(m_nQuestionNo);
    histogram.setNActionMode(m_nQuizMode);
    // With nobody answering there is no right bar worth showing.
    histogram.setBCorrectAnswer(rv->noResponseCount() != rv->totalCount());
    runChild(histogram);
}

void QuizResultController::teacherAction(TeacherKeyMap::Action action)
{
    switch (action) {
    case TeacherKeyMap::Action::Ok:
        onDetail();
        break;
    case TeacherKeyMap::Action::Cancel:
        onOK();
        break;
    case TeacherKeyMap::Action::Report:
        // Over the summary the Report key opens nothing; it is only noted.
        PollixLog(QStringLiteral("teacher report in result."));
        break;
    default:
        break;
    }
}
