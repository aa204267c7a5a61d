#include "QuizReportHistogramController.h"

#include "HistogramView.h"

#include "core/engine/ActivityRules.h"
#include "core/engine/FigureText.h"
#include "core/engine/QuizQuestions.h"

#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

QuizReportHistogramController::QuizReportHistogramController(QWidget *parent)
    : RunChildWindow(QStringLiteral("QuizReportHistogram"), "QuizReportHIstogram", parent)
{
    setWindowTitle(tr("Histogram"));
    tvQuestionTitle = addQuestionTitle("tvQuestionTitle");
    hv = new HistogramView(this);
    txtAttendPerson = addField("txtAttendPerson");
    txtTotalPoint = addField("txtTotalPoint");
    txtTotalPointTitle = addField("txtTotalPointTitle", tr("Total Points:"));
    txtAvgPoints = addField("txtAvgPoints");
    txtAvgPointsTitle = addField("txtAvgPointsTitle", tr("Average Points:"));
    btnOK = addButton("btnOK", tr("\"F2\" OK"));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QuizReportHistogramController::onOK);
    layOutFigures(tvQuestionTitle,
                  {{addField("txtAttendPersonTitle", tr("Attendants:")), txtAttendPerson},
                   {txtTotalPointTitle, txtTotalPoint},
                   {txtAvgPointsTitle, txtAvgPoints}},
                  hv, {btnOK});
}

bool QuizReportHistogramController::isVote() const
{
    return ActivityRules::rule(m_nActionMode).baseActivity == Activity::Vote;
}

void QuizReportHistogramController::windowDidLoad()
{
    // A vote is counted, not scored; closing it gives the run's student strip its size back.
    setPostsLoginViewToNormal(isVote());
    for (QLabel *l : {txtTotalPoint, txtTotalPointTitle, txtAvgPoints, txtAvgPointsTitle})
        l->setVisible(!isVote());
    reloadData();
}

void QuizReportHistogramController::reloadData()
{
    const QuizQuestions *qq = QuizQuestions::shareManager();
    tvQuestionTitle->setPlainText(qq->questionTitle(m_nQuestionNo));
    arrayOptionsText.clear();
    for (int k = 0; k < OptionHistogram::MaxOptions; ++k)
        arrayOptionsText << qq->option(k, m_nQuestionNo);
    setHistogramView();
}

void QuizReportHistogramController::setHistogramView()
{
    m_figures = OptionHistogram::compute(m_nQuestionNo, m_nActionMode, m_bCorrectAnswer);
    hv->setHistogramData(m_figures.optionCount, m_figures.fractions);
    hv->setCorrectAnswer(m_bCorrectAnswer ? QuizQuestions::shareManager()->answer(m_nQuestionNo) : QString());
    hv->setHistogramData2(m_figures.counts);
    hv->setOptionsText(arrayOptionsText);
    txtAttendPerson->setText(QString::number(m_figures.attending));
    txtTotalPoint->setText(QString::number(m_figures.totalPoints));
    txtAvgPoints->setText(FigureText::average(m_figures.averagePoints));
}

void QuizReportHistogramController::onOK()
{
    accept();
}

void QuizReportHistogramController::teacherAction(TeacherKeyMap::Action action)
{
    if (action == TeacherKeyMap::Action::Cancel)
        onOK();
}
