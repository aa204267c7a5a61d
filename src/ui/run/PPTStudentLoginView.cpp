#include "PPTStudentLoginView.h"

#include "ui/run/StudentLoginView.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

namespace {
constexpr int kBand = 20;
constexpr int kRowHeight = 40;
} // namespace

PPTStudentLoginView::PPTStudentLoginView(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("PPTStudentLoginView"));
    setWindowTitle(QStringLiteral("Pollix"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0x3a, 0x4a, 0x5e));
    setPalette(p);
    LoginSV = new QScrollArea(this);
    LoginSV->setObjectName(QStringLiteral("LoginSV"));
    LoginSV->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    LoginSV->setWidgetResizable(true);
    LoginSV->setFrameShape(QFrame::NoFrame);
    studentLoginView = new StudentLoginView;
    LoginSV->setWidget(studentLoginView);
    // Students reach the grid through the strip or straight from the run's grid handling: the
    // strip counts whatever its grid accepted.
    connect(studentLoginView, &StudentLoginView::studentAdded, this, [this] { ++m_nLoginStudentSum; });
    moveTimer = new QTimer(this);
    moveTimer->setInterval(1000);
    connect(moveTimer, &QTimer::timeout, this, &PPTStudentLoginView::startMove);
    setWindowToNormal();
}

PPTStudentLoginView::~PPTStudentLoginView() = default;

void PPTStudentLoginView::follow(StudentLoginView *grid)
{
    studentLoginView->setLoginViewStyle(grid->style());
    for (const StudentInfo &s : grid->students())
        addAStudent(s.student());
    const auto copyButton = [this, grid](int i) {
        studentLoginView->setButtonWithColor(i, grid->buttonColor(i));
        if (QPushButton *mine = studentLoginView->button(i); mine && grid->button(i))
            mine->setText(grid->button(i)->text());
    };
    for (int i = 0; i < grid->count(); ++i)
        copyButton(i);
    connect(grid, &StudentLoginView::studentAdded, this, [this](const StudentInClassPtr &s) { addAStudent(s); });
    connect(grid, &StudentLoginView::buttonChanged, this, copyButton);
}

QSize PPTStudentLoginView::screenSize() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(1280, 1024);
}

// The band sits at the top of the main screen; the grid fills it below its 20-point line.
void PPTStudentLoginView::setStrip(int windowHeight, int gridHeight)
{
    const QSize screen = screenSize();
    setGeometry(0, 0, screen.width(), windowHeight);
    setFixedSize(screen.width(), windowHeight);
    LoginSV->setGeometry(0, kBand, screen.width(), gridHeight);
    LoginSV->setVisible(gridHeight > 0);
}

bool PPTStudentLoginView::setWindowToSmall()
{
    setStrip(kBand, 0);
    bInLagerState = false;
    return true;
}

bool PPTStudentLoginView::setWindowToNormal()
{
    setStrip(125, 105);
    bInLagerState = false;
    return true;
}

int PPTStudentLoginView::largeGridHeight(int students)
{
    return qMin(students, kLargeCap) / kPerRow * kRowHeight;
}

bool PPTStudentLoginView::setWindowToLarge()
{
    if (m_nLoginStudentSum < kLargeFrom)
        return false;
    const int h = largeGridHeight(m_nLoginStudentSum);
    setStrip(h + 120, h + 100);
    // Up to the cap every row fits: the grid shows from its first row.
    if (m_nLoginStudentSum < kLargeCap)
        scrollTo(0);
    bInLagerState = true;
    return true;
}

void PPTStudentLoginView::setViewMove(bool on)
{
    // Paper Quiz and Homework keep the grid where the teacher put it.
    if (m_nLoginStudentSum < kLargeFrom || nMode == 1 || nMode == 2)
        return;
    m_nMoveHeight = (m_nLoginStudentSum + kPerRow - 1) / kPerRow * kRowStep;
    if (on)
        moveTimer->start();
    else
        moveTimer->stop();
}

bool PPTStudentLoginView::isMoving() const
{
    return moveTimer->isActive();
}

void PPTStudentLoginView::startMove()
{
    if (m_nLoginStudentSum < kLargeFrom || bInLagerState)
        return;
    scrollTo(m_nMoveHeight);
    if (m_nMoveHeight <= kRowHeight) {
        bMoveDown = false;
        m_nMoveHeight += kRowStep;
        return;
    }
    const int rows = m_nLoginStudentSum / kPerRow;
    if (m_nMoveHeight >= rows * kRowStep) {
        bMoveDown = true;
        m_nMoveHeight -= kRowStep;
    } else {
        m_nMoveHeight += bMoveDown ? -kRowStep : kRowStep;
    }
}

void PPTStudentLoginView::scrollTo(int offset)
{
    LoginSV->verticalScrollBar()->setValue(offset);
    m_scrolledTo = offset;
}

void PPTStudentLoginView::addAStudent(const StudentInClassPtr &student)
{
    studentLoginView->addAStudent(student);
}

void PPTStudentLoginView::clearStudentsAnswerCount()
{
    studentLoginView->clearStudentsAnswerCount();
}

bool PPTStudentLoginView::setStudent(int deviceNo, int group)
{
    return studentLoginView->setStudentChangedToGroup(deviceNo, group);
}

bool PPTStudentLoginView::setStudentPaperQuiz(int deviceNo, int questionNo, int state)
{
    return studentLoginView->setStudentPaperQuiz(deviceNo, questionNo, state != 0);
}

bool PPTStudentLoginView::setStudent(int deviceNo, int questionNo, int state)
{
    return studentLoginView->setStudent(deviceNo, questionNo, state != 0);
}

bool PPTStudentLoginView::setStudentPaperQuizAnswered(int deviceNo)
{
    return studentLoginView->setStudentPaperQuizAnswered(deviceNo);
}

void PPTStudentLoginView::setLoginViewTitle(const QString &title)
{
    studentLoginView->setLoginViewTitle(title);
}

bool PPTStudentLoginView::setStudentExited(int deviceNo)
{
    return studentLoginView->setStudentExited(deviceNo);
}

bool PPTStudentLoginView::setStudentAnswered(int deviceNo)
{
    return studentLoginView->setStudentAnswered(deviceNo);
}

void PPTStudentLoginView::setLoginViewStyle(int style)
{
    studentLoginView->setLoginViewStyle(style);
}

bool PPTStudentLoginView::setStudentRushAnswered(int deviceNo, bool result)
{
    return studentLoginView->setStudentRushAnswered(deviceNo, result);
}

void PPTStudentLoginView::setStudentsRush(int deviceNo)
{
    studentLoginView->setStudentRushed(deviceNo);
}

bool PPTStudentLoginView::setStudentEliminateAnswered(int deviceNo, bool result)
{
    return studentLoginView->setStudentEliminateAnswered(deviceNo, result);
}

void PPTStudentLoginView::setStudentEliminated()
{
    studentLoginView->setStudentEliminated();
}

bool PPTStudentLoginView::setStudentLogined(int deviceNo)
{
    return studentLoginView->setStudentLogined(deviceNo);
}

bool PPTStudentLoginView::setStudentsNormalInMultipleMode()
{
    return studentLoginView->setStudentsNormalInMultipleMode();
}

bool PPTStudentLoginView::setStudentsNormal(int deviceNo)
{
    return studentLoginView->setStudentsNormal(deviceNo);
}

void PPTStudentLoginView::setStudentsNormal()
{
    studentLoginView->setStudentsNormal();
}
