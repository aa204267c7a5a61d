#pragma once

#include "core/engine/QuizParticipantData.h"
#include "core/store/StudentEntity.h"

#include <QList>
#include <QObject>

#include <functional>

class GridAutoScroll;
class QLabel;
class QScrollArea;
class QuizMode;
class StudentLoginView;
struct Notification;

// The run window's student grid as the run events move it: logins with the login records the
// save needs, answers and the answered field, logouts, paper-quiz paging, groups, elimination
// marks, and the grid paging by itself while a question runs.
class RunStudentGrid : public QObject
{
    Q_OBJECT
public:
    RunStudentGrid(StudentLoginView *grid, QScrollArea *gridArea, QLabel *txtLoginAndAnswered, QObject *parent = nullptr);

    // The activity object of the run (may be none) and whether the grid pages a paper quiz.
    std::function<QuizMode *()> modeObject;
    void setPaperQuizGrid(bool on) { m_paperQuizGrid = on; }
    // Once an elimination has started nobody joins any more.
    void lockLogins() { m_loginsLocked = true; }
    bool loginsLocked() const { return m_loginsLocked; }

    // The class's students, each with the last time they logged in (handed to the save).
    QList<StudentEntity> &arrStuLoginContentTime() { return m_arrStuLoginContentTime; }
    const QList<StudentEntity> &arrStuLoginContentTime() const { return m_arrStuLoginContentTime; }
    void setSutdentLgoinTime(const StudentInClassPtr &student);
    // Students logged in before the window opened.
    void addLoggedInBefore();

    void setLoginStudentAndAnswered(int logined, int answered);
    // "answered / logged in" from the activity object's count.
    void showAnsweredCount();
    void showAnswered(int answered);

    // Run events, with the payloads the activity object posts.
    void studentLogin(const Notification &n);
    void setStudentLogout(const Notification &n);
    void studentAnswerNotification(const Notification &n);
    void studentEliminationNotification(const Notification &n);
    void studentPaperQuizPgupPgdn(const Notification &n);
    void studentQuickGroupingNotification(const Notification &n);

    // The first student (in login order) who let the rush chance of question q pass is marked wrong.
    void markFirstRushNotTaken(int q);
    // Everyone eliminated but those whose answer to question q is its right answer.
    void restoreRightAnswers(int q);

    GridAutoScroll *scroll() const { return m_scroll; }

private:
    void addLoggedInStudent(const StudentInClassPtr &student, bool markLoggedIn);

    StudentLoginView *m_grid;
    QLabel *txtLoginAndAnswered;
    GridAutoScroll *m_scroll;
    QuizParticipantData *qpdObject;
    QList<StudentEntity> m_arrStuLoginContentTime;
    bool m_paperQuizGrid = false;
    bool m_loginsLocked = false;
};
