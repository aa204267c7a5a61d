#include "RunStudentGrid.h"

#include "GridAutoScroll.h"
#include "StudentLoginView.h"

#include "core/base/CommonFunc.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizMode.h"
#include "core/engine/QuizQuestions.h"
#include "core/engine/RollCallFigures.h"
#include "core/store/TovClassXmlDatabase.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"

#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>

RunStudentGrid::RunStudentGrid(StudentLoginView *grid, QScrollArea *gridArea, QLabel *answered, QObject *parent)
    : QObject(parent),
      m_grid(grid),
      txtLoginAndAnswered(answered),
      m_scroll(new GridAutoScroll(gridArea, this)),
      qpdObject(QuizParticipantData::shareManager())
{
    // The answered field keeps one size for any class: a count that gains a digit moves nothing
    // beside it, and a burst of logins or answers does not lay the window out again each time.
    const QSize fits = answered->fontMetrics().size(Qt::TextSingleLine, QStringLiteral("9999 / 9999"));
    answered->setFixedSize(fits.width() + 4, std::max(fits.height(), answered->sizeHint().height()));
    // A flat scroll bar: the grid grows by a row every few logins, and the platform style's
    // shaded bar, drawn again at each growth, cost more than every tile of a login burst.
    if (gridArea) {
        gridArea->verticalScrollBar()->setStyleSheet(QStringLiteral(
            "QScrollBar:vertical { background: #e3e7eb; width: 12px; margin: 0; border: none; }"
            "QScrollBar::handle:vertical { background: #a9b3bd; min-height: 30px; border-radius: 5px; margin: 1px; }"
            "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; border: none; background: none; }"
            "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
    }
    m_arrStuLoginContentTime = TovClassXmlDatabase::sharedClassUI()->getStudentListByClassNo(qpdObject->classNo());
}

void RunStudentGrid::setSutdentLgoinTime(const StudentInClassPtr &s)
{
    if (!s)
        return;
    const QString now = GetDateTimeNow();
    for (StudentEntity &e : m_arrStuLoginContentTime) {
        if (e.id().compare(s->studentID(), Qt::CaseInsensitive) == 0) {
            e.setLoginTime(now);
            return;
        }
    }
    StudentEntity e;
    e.setId(s->studentID());
    e.setFirstName(s->studentFirstName());
    e.setLastName(s->studentLastName());
    e.setDeviceNo(s->deviceNo());
    e.setGroupNo(s->groupNo());
    e.setBirthday(s->birthDay());
    e.setDuty(s->duty());
    e.setRemark(s->remark());
    e.setEMail(s->eMail());
    e.setAddress(s->address());
    e.setTelephone(s->telephone());
    e.setGender(s->gender());
    e.setLoginTime(now);
    m_arrStuLoginContentTime.append(e);
}

void RunStudentGrid::addLoggedInStudent(const StudentInClassPtr &s, bool markLoggedIn)
{
    m_grid->addAStudent(s);
    if (markLoggedIn) {
        showAnsweredCount();
        m_grid->setStudentLogined(s->deviceNo());
    }
    setSutdentLgoinTime(s);
    m_scroll->studentLoggedIn();
}

void RunStudentGrid::addLoggedInBefore()
{
    for (const StudentInClassPtr &s : qpdObject->arrayLoginStudents())
        addLoggedInStudent(s, false);
    showAnsweredCount();
}

void RunStudentGrid::setLoginStudentAndAnswered(int logined, int answered)
{
    txtLoginAndAnswered->setText(QStringLiteral("%1 / %2").arg(answered).arg(logined));
}

void RunStudentGrid::showAnswered(int answered)
{
    setLoginStudentAndAnswered(qpdObject->getSumOfLoginStudents(), answered);
}

void RunStudentGrid::showAnsweredCount()
{
    QuizMode *mode = modeObject ? modeObject() : nullptr;
    showAnswered(mode ? mode->nAnsweredNum() : 0);
}

void RunStudentGrid::studentLogin(const Notification &n)
{
    if (m_loginsLocked)
        return;
    if (const auto s = n.userInfo.value(Notify::Key::StudentInClass).value<StudentInClassPtr>())
        addLoggedInStudent(s, true);
}

void RunStudentGrid::setStudentLogout(const Notification &n)
{
    m_grid->setStudentExited(n.userInfo.value(Notify::Key::StudentDevice).toInt());
}

void RunStudentGrid::studentAnswerNotification(const Notification &n)
{
    const int d = n.userInfo.value(Notify::Key::DeviceNo).toInt();
    if (QuizMode *mode = modeObject ? modeObject() : nullptr)
        mode->setNAnsweredNum(n.userInfo.value(Notify::Key::AnsNum).toInt());
    if (m_paperQuizGrid)
        m_grid->setStudentPaperQuizAnswered(d);
    else
        m_grid->setStudentAnswered(d);
    showAnsweredCount();
}

void RunStudentGrid::studentEliminationNotification(const Notification &n)
{
    m_grid->setStudentEliminateAnswered(n.userInfo.value(Notify::Key::DeviceNo).toInt(),
                                        n.userInfo.value(Notify::Key::Type).toInt() == 0);
}

void RunStudentGrid::studentPaperQuizPgupPgdn(const Notification &n)
{
    const int d = n.userInfo.value(Notify::Key::DeviceNo).toInt();
    const int q = n.userInfo.value(Notify::Key::QuestionNo).toInt();
    const bool answered = n.userInfo.value(Notify::Key::AnswerState).toBool();
    if (m_paperQuizGrid)
        m_grid->setStudentPaperQuiz(d, q, answered);
    else
        m_grid->setStudent(d, q, answered);
}

void RunStudentGrid::studentQuickGroupingNotification(const Notification &n)
{
    // Only the letters "A" to "G" name a group; anything else would give a group that does not exist.
    if (const int group = RollCallFigures::groupOfAnswer(n.userInfo.value(Notify::Key::Answer).toString()))
        m_grid->setStudentChangedToGroup(n.userInfo.value(Notify::Key::DeviceNo).toInt(), group);
    showAnswered(n.userInfo.value(Notify::Key::Sum).toInt());
}

void RunStudentGrid::markFirstRushNotTaken(int q)
{
    auto *qd = QuizData::shareManager();
    for (const StudentInClassPtr &s : qpdObject->arrayLoginStudents()) {
        if (qd->getStudentAnswer(q, s->deviceNo()) == QLatin1String("__N")) {
            m_grid->setStudentRushAnswered(s->deviceNo(), false);
            return;
        }
    }
}

void RunStudentGrid::restoreRightAnswers(int q)
{
    auto *qd = QuizData::shareManager();
    auto *qq = QuizQuestions::shareManager();
    m_grid->setStudentEliminated();
    for (const StudentInClassPtr &s : qpdObject->arrayLoginStudents())
        if (qd->getStudentAnswer(q, s->deviceNo()) == qq->answer(q))
            m_grid->setStudentsNormal(s->deviceNo());
}
