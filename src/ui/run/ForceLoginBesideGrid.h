#pragma once

#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QRect>

class ForceLoginController;
class QScrollArea;
class QWidget;

// Where the students not in the class stand over the activity window: at the foot of the
// student grid's column, at the window's right edge, between the figures at its head and the
// bar at its foot, which the teacher reads throughout the run; the column gives the list that
// room, its tiles keeping above it. Where the column is hidden (the window down to a strip at
// the foot of the screen), above the window at the screen's right edge. Placed from the frame
// the window system reports, wholly on the screen; where the teacher drags the list away, the
// grid takes its room back.
class ForceLoginBesideGrid : public QObject
{
public:
    // window: the activity window; column: the grid's scroll area; room: the empty widget under
    // it in the column, hidden while the list stands elsewhere.
    ForceLoginBesideGrid(QWidget *window, QScrollArea *column, QWidget *room);

    // The list, made with the window as its parent, just before it first shows.
    void adopt(ForceLoginController *list);

    // Where the list stands, from its frame's margins.
    QRect place(const QWidget *list, const QMargins &frame) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The grid's column on the screen, the room under it included while it is given.
    QRect columnOnScreen() const;
    // The room under the grid follows the list's frame.
    void makeRoom();
    // The window or the column changed: the list stands again, the room follows.
    void standAgain();

    QWidget *m_window;
    QScrollArea *m_column;
    QWidget *m_room;
    QPointer<ForceLoginController> m_list;
};
