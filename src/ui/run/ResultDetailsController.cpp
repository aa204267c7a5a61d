#include "ResultDetailsController.h"

#include "core/base/CommonFunc.h"
#include "core/engine/QuestionReport.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizQuestions.h"
#include "ui/controls/ScreenFit.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
const QStringList kIdentifiers{QStringLiteral("ID"), QStringLiteral("NAME"), QStringLiteral("RESPONSE")};
const double kWidths[] = {0.24, 0.35, 0.4};
} // namespace

ResultDetailsController::ResultDetailsController(QWidget *parent)
    : RunChildWindow(QStringLiteral("ResultDetails"), "ResultDetails", parent)
{
    setWindowTitle(tr("Result Details"));
    ScreenFit::resize(this, 640, 720);
    textfieldTitle = new QLabel(this);
    textfieldTitle->setObjectName(QStringLiteral("textfieldTitle"));
    textfieldTitle->setWordWrap(true);
    textfieldCorrectAnswerTitle = new QLabel(tr("Correct Answer:"), this);
    textfieldCorrectAnswerTitle->setObjectName(QStringLiteral("textfieldCorrectAnswerTitle"));
    textfieldCorrectAnswer = new QLabel(this);
    textfieldCorrectAnswer->setObjectName(QStringLiteral("textfieldCorrectAnswer"));
    // Hidden until the teacher reveals it; the caption's place is kept so nothing moves then.
    for (QLabel *l : {textfieldCorrectAnswerTitle, textfieldCorrectAnswer}) {
        QSizePolicy policy = l->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        l->setSizePolicy(policy);
        l->hide();
    }

    tableview1 = new QTableWidget(0, 3, this);
    tableview1->setObjectName(QStringLiteral("tableview1"));
    tableview1->setHorizontalHeaderLabels({tr("Student ID"), tr("Name"), tr("Response")});
    tableview1->verticalHeader()->hide();
    tableview1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableview1->setSelectionMode(QAbstractItemView::NoSelection);
    tableview1->setFocusPolicy(Qt::NoFocus);
    for (int c = 0; c < 3; ++c)
        tableview1->horizontalHeaderItem(c)->setData(Qt::UserRole, kIdentifiers[c]);
    // The second list of the window stays empty; it is kept out of sight.
    keepColumnShares(tableview1, {kWidths[0], kWidths[1], kWidths[2]});
    tableview2 = new QTableWidget(0, 0, this);
    tableview2->setObjectName(QStringLiteral("tableview2"));
    tableview2->hide();

    btnPrevious = new QPushButton(tr("Previous"), this);
    btnPrevious->setObjectName(QStringLiteral("btnPrevious"));
    btnNext = new QPushButton(tr("Next"), this);
    btnNext->setObjectName(QStringLiteral("btnNext"));
    btnCorrectAnswer = new QPushButton(tr("\"F1\" Correct Answer"), this);
    btnCorrectAnswer->setObjectName(QStringLiteral("btnCorrectAnswer"));
    btnOK = new QPushButton(tr("\"F2\" OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    connect(btnPrevious, &QPushButton::clicked, this, &ResultDetailsController::onPrevious);
    connect(btnNext, &QPushButton::clicked, this, &ResultDetailsController::onNext);
    connect(btnCorrectAnswer, &QPushButton::clicked, this, &ResultDetailsController::onCorrectAnswer);
    connect(btnOK, &QPushButton::clicked, this, &ResultDetailsController::onOK);

    auto *answer = new QHBoxLayout;
    answer->addWidget(textfieldCorrectAnswerTitle);
    answer->addWidget(textfieldCorrectAnswer, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnPrevious);
    buttons->addWidget(btnNext);
    buttons->addStretch();
    buttons->addWidget(btnCorrectAnswer);
    buttons->addWidget(btnOK);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(textfieldTitle);
    layout->addLayout(answer);
    layout->addWidget(tableview1, 1);
    layout->addWidget(tableview2);
    layout->addLayout(buttons);
}

void ResultDetailsController::windowDidLoad()
{
    QFont f = textfieldTitle->font();
    f.setPointSize(25);
    textfieldTitle->setFont(f);
    textfieldTitle->setText(QuizQuestions::shareManager()->questionTitle(m_nQuestionNo));
    textfieldCorrectAnswer->setText(m_strCorrectAnswer);
    const int logged = QuizParticipantData::shareManager()->getSumOfLoginStudents();
    btnNext->setEnabled(logged > kPageSize);
    btnPrevious->setEnabled(false);
    reloadTable();
}

void ResultDetailsController::reloadTable()
{
    const QList<StudentInClassPtr> students = QuizParticipantData::shareManager()->arrayLoginStudents();
    const QuizData *qd = QuizData::shareManager();
    const int rows = int(qBound<qsizetype>(0, students.size() - m_nBeginNo, qsizetype(kPageSize)));
    tableview1->setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        const StudentInClassPtr &s = students.at(m_nBeginNo + r);
        const QString answer = s ? qd->getStudentAnswer(m_nQuestionNo, s->deviceNo()) : QString();
        QColor colour = Qt::black;
        if (m_bFlag)
            colour = myStringIsEqualToString(answer, m_strCorrectAnswer) ? Qt::blue : Qt::red;
        const QStringList cells{s ? s->studentID() : QString(),
                                s ? QStringLiteral("%1 %2").arg(s->studentFirstName(), s->studentLastName()) : QString(),
                                QuestionReport::shownAnswer(answer)};
        for (int c = 0; c < 3; ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            if (c == 2)
                item->setForeground(colour);
            tableview1->setItem(r, c, item);
        }
    }
}

void ResultDetailsController::onNext()
{
    if (!btnNext->isEnabled())
        return;
    const int logged = QuizParticipantData::shareManager()->getSumOfLoginStudents();
    m_nBeginNo += kPageSize;
    btnNext->setEnabled(m_nBeginNo + kPageSize < logged);
    btnPrevious->setEnabled(true);
    reloadTable();
}

void ResultDetailsController::onPrevious()
{
    if (!btnPrevious->isEnabled())
        return;
    m_nBeginNo = qMax(0, m_nBeginNo - kPageSize);
    btnPrevious->setEnabled(m_nBeginNo != 0);
    btnNext->setEnabled(true);
    reloadTable();
}

void ResultDetailsController::onCorrectAnswer()
{
    m_bFlag = !m_bFlag;
    textfieldCorrectAnswer->setVisible(m_bFlag);
    textfieldCorrectAnswerTitle->setVisible(m_bFlag);
    reloadTable();
}

void ResultDetailsController::onOK()
{
    accept();
}

void ResultDetailsController::teacherAction(TeacherKeyMap::Action action)
{
    switch (action) {
    case TeacherKeyMap::Action::Ok: onCorrectAnswer(); break;
    case TeacherKeyMap::Action::Cancel: onOK(); break;
    case TeacherKeyMap::Action::Previous: onPrevious(); break;
    case TeacherKeyMap::Action::Next: onNext(); break;
    default: break;
    }
}
