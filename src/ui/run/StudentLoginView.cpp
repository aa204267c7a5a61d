#include "StudentLoginView.h"

#include "StudentGridButton.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/engine/QuizQuestions.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"

#include <QResizeEvent>

namespace {

constexpr int kMargin = 5;
constexpr int kGap = 2;

QColor rgb(double r, double g, double b)
{
    return QColor::fromRgbF(float(r), float(g), float(b), 1.0f);
}

} // namespace

StudentLoginView::StudentLoginView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("StudentLoginView"));
    if (Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate())
        m_deviceType = app->currentDeviceType();
    m_curPoint = QPoint(kMargin, kMargin);
    // Growing by a row exposes only the new row; the rows above stay as they were drawn.
    setAttribute(Qt::WA_StaticContents);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0xf4, 0xf6, 0xf8));
    setPalette(p);
}

QColor StudentLoginView::colorOfState(int state)
{
    switch (state) {
    case StateAnswered:
        return rgb(0.37, 0.89, 1.0);
    case StateAnsweredAgain:
        return rgb(1.0, 0.82, 0.0);
    case StateRushed:
        return rgb(0.93, 0.5, 0.08);
    case StateRushWrong:
    case StateEliminateWrong:
        return rgb(0.73, 0.28, 0.35);
    case StateEliminated:
        return rgb(0.49, 0.34, 0.0);
    case StateExited:
        return rgb(0.44, 0.44, 0.44);
    default:
        return rgb(0.67, 0.84, 0.02);
    }
}

QColor StudentLoginView::colorOfGroup(int group)
{
    switch (group) {
    case 1:
        return Qt::red;
    case 2:
        return Qt::green;
    case 3:
        return Qt::blue;
    case 4:
        return Qt::magenta;
    case 5:
        return Qt::yellow;
    case 6:
        return Qt::cyan;
    case 7:
        return QColor(128, 0, 128);
    default:
        // A group the keypads cannot choose: shown white, so it stands apart from every real group.
        return Qt::white;
    }
}

void StudentLoginView::setLoginViewStyle(int style)
{
    m_style = style;
    m_curPoint.setY(kMargin);
}

bool StudentLoginView::isStudentLogined(const StudentInClassPtr &student) const
{
    return student && m_studentNos.contains(student->studentNo());
}

bool StudentLoginView::addAStudent(const StudentInClassPtr &student)
{
    if (!student || isStudentLogined(student))
        return false;
    StudentInfo info;
    info.setStudent(student);
    info.setState(m_style == 3 ? StatePaperQuiz : StateNormal);
    // The button keeps the number it was given (the info holds a copy of the student).
    const int index = int(m_students.size());
    m_indexesByDevice[info.student()->deviceNo()].append(index);
    m_studentNos.insert(student->studentNo());
    m_students.append(info);
    m_studentsAnswerCount.append(0);
    StudentGridButton *b = buttonToBeAdded(student);
    m_buttons.append(b);
    b->show();
    emit studentAdded(student);
    if (m_curPoint.y() + buttonHeight > height() + 1) {
        // The new row lies below the bottom: one row taller, everything placed again.
        while (m_curPoint.y() + buttonHeight > height() + 1)
            resize(width(), height() + buttonHeight + kGap);
        layoutButtons();
        return true;
    }
    place(b);
    return true;
}

StudentGridButton *StudentLoginView::buttonToBeAdded(const StudentInClassPtr &student)
{
    auto *b = new StudentGridButton(this);
    b->setText(m_style == 3 ? QStringLiteral("%1(1)").arg(student->deviceNo()) : QString::number(student->deviceNo()));
    b->setToolTip(QStringLiteral("%1\n%2 %3").arg(student->studentID(), student->studentFirstName(), student->studentLastName()));
    b->setObjectName(QStringLiteral("student_%1").arg(student->deviceNo()));
    b->setFocusPolicy(Qt::NoFocus);
    b->resize(buttonWidth, buttonHeight);
    b->setColor(colorOfState(StateNormal));
    if (m_style == 4)
        connect(b, &QPushButton::clicked, this, [this, b] { buttonAction(b); });
    return b;
}

void StudentLoginView::place(StudentGridButton *b)
{
    b->setGeometry(m_curPoint.x(), m_curPoint.y(), buttonWidth, buttonHeight);
    m_curPoint.rx() += buttonWidth + kGap;
    if (m_curPoint.x() + buttonWidth > width())
        m_curPoint = QPoint(kMargin, m_curPoint.y() + buttonHeight + kGap);
}

void StudentLoginView::layoutButtons()
{
    m_curPoint = QPoint(kMargin, kMargin);
    for (StudentGridButton *b : std::as_const(m_buttons))
        place(b);
}

void StudentLoginView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (event->size().width() != event->oldSize().width())
        layoutButtons();
}

void StudentLoginView::buttonAction(QPushButton *b)
{
    // The title may carry "(n)" behind the keypad number.
    const int deviceNo = b->text().section(QLatin1Char('('), 0, 0).toInt();
    NotificationCenter::defaultCenter()->postNotification(Notify::HandRaiseDeviceNo,
                                                          {{Notify::Key::DeviceNo, deviceNo}}, this);
}

QList<int> StudentLoginView::indexsOfStudent(int deviceNo) const
{
    return m_indexesByDevice.value(deviceNo);
}

template <typename F> bool StudentLoginView::forEachButtonOf(int deviceNo, F change)
{
    const auto it = m_indexesByDevice.constFind(deviceNo);
    if (it == m_indexesByDevice.constEnd())
        return false;
    for (int i : *it)
        change(i, m_students[i]);
    return true;
}

int StudentLoginView::questionCount() const
{
    return QuizQuestions::shareManager()->count();
}

QPushButton *StudentLoginView::button(int index) const
{
    return index >= 0 && index < m_buttons.size() ? m_buttons[index] : nullptr;
}

QColor StudentLoginView::buttonColor(int index) const
{
    return index >= 0 && index < m_buttons.size() ? m_buttons[index]->color() : QColor();
}

void StudentLoginView::setButtonWithColor(int index, const QColor &color)
{
    if (index < 0 || index >= m_buttons.size() || m_buttons[index]->color() == color)
        return;
    m_buttons[index]->setColor(color);
    emit buttonChanged(index);
}

void StudentLoginView::setButtonWithQuestionNo(int index, int questionNo)
{
    if (QPushButton *b = button(index); b && m_students[index].student()) {
        b->setText(QStringLiteral("%1(%2)").arg(m_students[index].student()->deviceNo()).arg(questionNo));
        emit buttonChanged(index);
    }
}

bool StudentLoginView::setStudentLogined(int deviceNo)
{
    return forEachButtonOf(deviceNo, [this](int i, StudentInfo &s) {
        s.setState(StateLogined);
        setButtonWithColor(i, colorOfState(StateLogined));
    });
}

bool StudentLoginView::setStudentAnswered(int deviceNo)
{
    return forEachButtonOf(deviceNo, [this](int i, StudentInfo &s) {
        const int st = s.state();
        const int next = (st == StateNormal || st == StateAnsweredAgain || st == StateRushed || st == StateLogined
                          || st == StatePaperQuiz)
                             ? StateAnswered
                             : StateAnsweredAgain;
        s.setState(next);
        setButtonWithColor(i, colorOfState(next));
    });
}

bool StudentLoginView::setStudentPaperQuizAnswered(int deviceNo)
{
    const bool small = m_deviceType == 1 || m_deviceType == 4;
    return forEachButtonOf(deviceNo, [this, small](int i, StudentInfo &s) {
        const int st = s.state();
        if (st != StateNormal && st != StateAnsweredAgain && st != StatePaperQuiz)
            return;
        if (small && st != StateAnsweredAgain)
            ++m_studentsAnswerCount[i];
        s.setState(StateAnswered);
        setButtonWithColor(i, colorOfState(StateAnswered));
        if (small && m_studentsAnswerCount[i] == questionCount())
            setButtonWithColor(i, Qt::white);
    });
}

bool StudentLoginView::setStudentRushed(int deviceNo)
{
    return forEachButtonOf(deviceNo, [this](int i, StudentInfo &s) {
        s.setState(StateRushed);
        setButtonWithColor(i, colorOfState(StateRushed));
    });
}

bool StudentLoginView::setStudentRushAnswered(int deviceNo, bool right)
{
    return forEachButtonOf(deviceNo, [this, right](int i, StudentInfo &s) {
        s.setState(right ? StateAnswered : StateRushWrong);
        setButtonWithColor(i, colorOfState(s.state()));
    });
}

bool StudentLoginView::setStudentEliminateAnswered(int deviceNo, bool right)
{
    return forEachButtonOf(deviceNo, [this, right](int i, StudentInfo &s) {
        if (right) {
            s.setState(StateNormal); // the colour stays as it is
        } else {
            s.setState(StateEliminateWrong);
            setButtonWithColor(i, colorOfState(StateEliminateWrong));
        }
    });
}

bool StudentLoginView::setStudentExited(int deviceNo)
{
    return forEachButtonOf(deviceNo, [this](int i, StudentInfo &s) {
        s.setState(StateExited);
        setButtonWithColor(i, colorOfState(StateExited));
    });
}

bool StudentLoginView::setStudentsNormal(int deviceNo)
{
    return forEachButtonOf(deviceNo, [this](int i, StudentInfo &s) {
        if (s.state() == StateEliminated || s.state() == StateExited)
            return;
        s.setState(StateNormal);
        setButtonWithColor(i, colorOfState(StateNormal));
    });
}

bool StudentLoginView::setStudent(int deviceNo, int questionNo, bool answered)
{
    return forEachButtonOf(deviceNo, [this, questionNo, answered](int i, StudentInfo &s) {
        s.setState(answered ? StateAnswered : StatePaperQuiz);
        setButtonWithColor(i, colorOfState(s.state()));
        setButtonWithQuestionNo(i, questionNo);
    });
}

bool StudentLoginView::setStudentPaperQuiz(int deviceNo, int questionNo, bool answered)
{
    return forEachButtonOf(deviceNo, [this, questionNo, answered](int i, StudentInfo &s) {
        s.setState(answered ? StateAnswered : StatePaperQuiz);
        if (answered && m_studentsAnswerCount[i] >= questionCount())
            setButtonWithColor(i, Qt::white);
        else
            setButtonWithColor(i, colorOfState(s.state()));
        setButtonWithQuestionNo(i, questionNo);
    });
}

bool StudentLoginView::setStudentChangedToGroup(int deviceNo, int group)
{
    return forEachButtonOf(deviceNo, [this, group](int i, StudentInfo &) { setButtonWithColor(i, colorOfGroup(group)); });
}

bool StudentLoginView::setStudentsNormal()
{
    for (int i = 0; i < m_students.size(); ++i) {
        const int st = m_students[i].state();
        if (st == StateEliminated || st == StateExited)
            continue;
        m_students[i].setState(StateNormal);
        setButtonWithColor(i, colorOfState(StateNormal));
    }
    return true;
}

bool StudentLoginView::setStudentsNormalInMultipleMode()
{
    for (int i = 0; i < m_students.size(); ++i) {
        m_students[i].setState(StateNormal);
        setButtonWithColor(i, colorOfState(StateNormal));
    }
    return true;
}

bool StudentLoginView::setStudentEliminated()
{
    for (int i = 0; i < m_students.size(); ++i) {
        if (m_students[i].state() != StateEliminateWrong)
            continue;
        m_students[i].setState(StateEliminated);
        setButtonWithColor(i, colorOfState(StateEliminated));
    }
    return true;
}

bool StudentLoginView::clearStudentsAnswerCount()
{
    for (int &n : m_studentsAnswerCount)
        n = 0;
    return true;
}
