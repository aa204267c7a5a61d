#pragma once

#include "core/engine/QuizParticipantData.h"

#include <QList>
#include <QMargins>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <functional>

class QCheckBox;
class QPushButton;
class QTableWidget;

// The students whose keypads logged in during a run with an ID the run's class does not hold
// ("ForceLogin"). The teacher ticks some and logs them in: they join the class and the school
// roster, and the run's class list is read again, so that their keypads' next login is
// accepted. It is one of the run's windows, in front of the activity window at the foot of its
// student grid (or beside the slide over a show), placed by the run; it never takes the keypad
// frames.
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
    // Where the run stands the window each time it shows, from the margins of its frame as the
    // window system has them (none until a window manager has framed it); unset, the window
    // manager places it.
    using Placement = std::function<QRect(const QMargins &frame)>;
    void setPlacement(Placement place) { m_place = std::move(place); }
    // What the placement depends on has changed: shown, the window stands again where the run
    // puts it, unless the teacher moved it.
    void placeAgain();
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

signals:
    // Placed again once its frame is known, unless the teacher moved it meanwhile: the run makes
    // room for the frame, which may stand where the window stood.
    void placedInFrame();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void reloadTable();
    void place();
    // Puts the window at a place, noted as asked.
    void ask(const QRect &at);
    // Notes a place and size the program gave the window, which the window system answers later.
    void note(const QRect &at);
    // The window system has the place noted, or one put together from a place and a size noted:
    // it answers a move and a resize asked together one at a time.
    bool noted(const QRect &at) const;
    // The window was moved or resized: by the window system's late answer to a place the program
    // gave it, by the program itself, or by someone else (the teacher's drag).
    void moved(bool fromWindowSystem);
    // Framed by now, the window is placed with its frame, unless the teacher moved it meanwhile.
    void placeInFrame();
    // The window manager's frame around the window as the window system has it; none until then.
    QMargins frame() const;

    QList<StudentInClassPtr> m_students;
    QList<int> m_selected;
    bool m_filling = false;
    Placement m_place;
    // Shown and not yet placed with its frame, and where it was put meanwhile.
    bool m_toPlace = false;
    QRect m_placedAt;
    // The window stands where the run put it, unless the teacher moved it since. The window
    // system answers the places the program gave late and in turn (the run's, and where the
    // window was made and first put as it showed), and the toolkit takes the window back to each
    // as its answer comes: such a place is the program's own, not the teacher's drag.
    bool m_ours = false;
    bool m_asking = false;
    QList<QPoint> m_notedAt;
    QList<QSize> m_notedSize;
};
