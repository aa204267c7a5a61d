#include "QuizReportHistogramController.h"

#include "HistogramView.h"

#include "core/engine/ActivityRules.h"
#include "core/engine/FigureText.h"
#include "core/engine/QuizQuestions.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {
QLabel *field(QWidget *parent, const char *name, const QString &text = QString())
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}
} // namespace

QuizReportHistogramController::QuizReportHistogramController(QWidget *parent)
    : RunChildWindow(QStringLiteral("QuizReportHistogram"), "QuizReportHIstogram", parent)
{
    setWindowTitle(tr("Histogram"));
    tvQuestionTitle = new QTextEdit(this);
    tvQuestionTitle->setObjectName(QStringLiteral("tvQuestionTitle"));
    tvQuestionTitle->setReadOnly(true);
    tvQuestionTitle->setFixedHeight(70);
    hv = new HistogramView(this);
    txtAttendPerson = field(this, "txtAttendPerson");
    txtTotalPoint = field(this, "txtTotalPoint");
    txtTotalPointTitle = field(this, "txtTotalPointTitle", tr("Total Points:"));
    txtAvgPoints = field(this, "txtAvgPoints");
    txtAvgPointsTitle = field(this, "txtAvgPointsTitle", tr("Average Points:"));

    auto *figures = new QGridLayout;
    const QList<std::pair<QLabel *, QLabel *>> pairs{{field(this, "txtAttendPersonTitle", tr("Attendants:")), txtAttendPerson},
                                                     {txtTotalPointTitle, txtTotalPoint},
                                                     {txtAvgPointsTitle, txtAvgPoints}};
    for (int i = 0; i < pairs.size(); ++i) {
        figures->addWidget(pairs[i].first, 0, 2 * i, Qt::AlignRight);
        figures->addWidget(pairs[i].second, 0, 2 * i + 1, Qt::AlignLeft);
        pairs[i].second->setMinimumWidth(50);
    }

    btnOK = new QPushButton(tr("\"F2\" OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QuizReportHistogramController::onOK);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tvQuestionTitle);
    layout->addLayout(figures);
    layout->addWidget(hv, 1);
    layout->addLayout(buttons);
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
