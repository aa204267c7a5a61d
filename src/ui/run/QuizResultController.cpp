#include "QuizResultController.h"

#include "QuizReportHistogramController.h"
#include "ResultView.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/engine/ActivityCodes.h"
#include "core/engine/QuizQuestions.h"
#include "platform/Log.h"

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

QuizResultController::QuizResultController(QWidget *parent)
    : RunChildWindow(QStringLiteral("QuizResult"), "QuizResult", parent)
{
    setWindowTitle(tr("Result"));
    setPostsLoginViewToNormal(true);
    title = new QTextEdit(this);
    title->setObjectName(QStringLiteral("title"));
    title->setReadOnly(true);
    title->setFixedHeight(70);
    rv = new ResultView(this);

    txtAvgTime = field(this, "txtAvgTime");
    txtAttendants = field(this, "txtAttendants");
    txtAbsentees = field(this, "txtAbsentees");
    txtAbsenteesTitle = field(this, "txtAbsenteesTitle", tr("Absentees:"));
    txtRetainedCount = field(this, "txtRetainedCount");
    txtRetainedCountTitle = field(this, "txtRetainedCountTitle", tr("Retained:"));
    txtEliminatedCount = field(this, "txtEliminatedCount");
    txtEliminatedCountTitle = field(this, "txtEliminatedCountTitle", tr("Eliminated:"));

    // Captions and figures in fixed cells: a hidden pair leaves the others where they are.
    auto *figures = new QGridLayout;
    const QList<std::pair<QLabel *, QLabel *>> pairs{{field(this, "txtAvgTimeTitle", tr("Average Time:")), txtAvgTime},
                                                     {field(this, "txtAttendantsTitle", tr("Attendants:")), txtAttendants},
                                                     {txtAbsenteesTitle, txtAbsentees},
                                                     {txtRetainedCountTitle, txtRetainedCount},
                                                     {txtEliminatedCountTitle, txtEliminatedCount}};
    for (int i = 0; i < pairs.size(); ++i) {
        figures->addWidget(pairs[i].first, 0, 2 * i, Qt::AlignRight);
        figures->addWidget(pairs[i].second, 0, 2 * i + 1, Qt::AlignLeft);
        pairs[i].second->setMinimumWidth(50);
    }

    btnDetails = new QPushButton(tr("\"F1\" Details"), this);
    btnDetails->setObjectName(QStringLiteral("btnDetails"));
    btnOK = new QPushButton(tr("\"F2\" OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    connect(btnDetails, &QPushButton::clicked, this, &QuizResultController::onDetail);
    connect(btnOK, &QPushButton::clicked, this, &QuizResultController::onOK);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnDetails);
    buttons->addWidget(btnOK);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(figures);
    layout->addWidget(rv, 1);
    layout->addLayout(buttons);
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
    default:
        break;
    }
}
