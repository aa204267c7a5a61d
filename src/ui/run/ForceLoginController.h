#pragma once

#include "core/engine/QuizParticipantData.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class QCheckBox;
class QPushButton;
class QTableWidget;

// The students whose keypads logged in during a run with an ID the run's class does not hold
// ("ForceLogin"). The teacher ticks some and logs them in: they join the class and the school
// roster, and the run's class list is read again, so that their keypads' next login is
// accepted. It is one of the run's windows, in front of the activity window (or beside the slide
// over a show); it never takes the keypad frames.
struct Notification;

class ForceLoginController : public QWidget
{
    Q_OBJECT
public:
    explicit ForceLoginController(QWidget *parent = nullptr);
    // A keypad logged in with an ID the class lacks ("STDUENTFORCELOGIN"): the run's window of
    // such students, made on first use, lists it and comes to the front.
    static void offer(QPointer<ForceLoginController> &window, QWidget *run, const Notification &n);
    ~ForceLoginController() override;

    // Brings the window to the front of the run, behind whatever opened over the run.
    void setFront();
    // Lists a student unless one with the same ID (ignoring case) is listed already.
    void addLoginStudent(const StudentInClassPtr &student);

    const QList<StudentInClassPtr> &arrayForceLoginStudents() const { return m_students; }
    QList<int> arrayIsSelect() const { return m_selected; }
    void setSelected(int row, bool selected);

    void doSelectAll();
    // Takes every ticked student off the list.
    void onRemove();
    // Adds the ticked students to the class and the roster while the class has room.
    void onLogin();

    QTableWidget *tableView = nullptr;
    QCheckBox *btnSelectAll = nullptr;
    QPushButton *btnRemove = nullptr, *btnLogin = nullptr;

private:
    void reloadTable();

    QList<StudentInClassPtr> m_students;
    QList<int> m_selected;
    bool m_filling = false;
};
