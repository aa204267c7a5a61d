#include "ForceLoginBesideGrid.h"

#include "ForceLoginController.h"

#include <QEvent>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace {
// Tall enough for a few names, short enough to leave the grid most of its column.
constexpr int kHighest = 360;
// Between the list's frame and what stands next to it: the tiles above it, the window under it.
constexpr int kGap = 4;
} // namespace

ForceLoginBesideGrid::ForceLoginBesideGrid(QWidget *window, QScrollArea *column, QWidget *room)
    : QObject(window), m_window(window), m_column(column), m_room(room)
{
    m_room->hide();
    m_window->installEventFilter(this);
    m_column->installEventFilter(this);
}

void ForceLoginBesideGrid::adopt(ForceLoginController *list)
{
    if (m_list == list)
        return;
    m_list = list;
    list->installEventFilter(this);
    list->setPlacement([this, list](const QMargins &frame) { return place(list, frame); });
    connect(list, &ForceLoginController::placedInFrame, this, [this] { makeRoom(); });
}

QRect ForceLoginBesideGrid::columnOnScreen() const
{
    QRect column(m_column->mapToGlobal(QPoint(0, 0)), m_column->size());
    if (m_room->isVisible())
        column.setBottom(m_room->mapToGlobal(QPoint(0, m_room->height() - 1)).y());
    return column;
}

QRect ForceLoginBesideGrid::place(const QWidget *list, const QMargins &frame) const
{
    const QScreen *screen = m_window->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize least = list->minimumSizeHint();
    const int frameWidth = frame.left() + frame.right();
    const int frameHeight = frame.top() + frame.bottom();
    QRect frameAt;
    if (m_column->isVisible()) {
        const QRect column = columnOnScreen();
        const int width = std::max(least.width(), std::min(column.width() - frameWidth, kHighest));
        const int height = std::max(least.height(), std::min(kHighest, column.height() / 2 - frameHeight));
        frameAt = QRect(column.right() + 1 - width - frameWidth, column.bottom() + 1 - height - frameHeight,
                        width + frameWidth, height + frameHeight);
    } else {
        // The window's frame as the window system has it: above it, what it leaves of the screen.
        const QRect window = m_window->windowHandle() ? m_window->windowHandle()->frameGeometry() : m_window->frameGeometry();
        const int width = std::max(least.width(), std::min(list->width(), kHighest));
        const int above = window.top() - kGap - area.top() - frameHeight;
        const int height = std::max(least.height(), std::min(kHighest, above));
        frameAt = QRect(area.right() + 1 - width - frameWidth, window.top() - kGap - height - frameHeight,
                        width + frameWidth, height + frameHeight);
    }
    // Wholly on the screen, whatever the screen leaves.
    frameAt.moveRight(std::min(frameAt.right(), area.right()));
    frameAt.moveBottom(std::min(frameAt.bottom(), area.bottom()));
    frameAt.moveLeft(std::max(frameAt.left(), area.left()));
    frameAt.moveTop(std::max(frameAt.top(), area.top()));
    return frameAt.marginsRemoved(frame);
}

void ForceLoginBesideGrid::makeRoom()
{
    int room = 0;
    if (m_list && m_list->isVisible() && m_column->isVisible()) {
        // Where the list was put, in the frame the window system gave it: the window's and the
        // widget's own accounts of the frame may lag behind.
        const QRect frame = m_list->geometry().marginsAdded(m_list->windowHandle() ? m_list->windowHandle()->frameMargins() : QMargins());
        const QRect column = columnOnScreen();
        // Over the tiles, from the list's top down, however the teacher moved it there; the grid
        // keeps what it cannot do without. A grid wider than its tiles (no pages beside it)
        // leaves the list room of its own.
        const QRect grid(m_column->widget()->mapToGlobal(QPoint(0, 0)), m_column->widget()->size());
        const int left = std::max(grid.left(), column.left());
        const QRect tiles(left, column.top(), std::min(grid.right(), column.right()) + 1 - left, column.height());
        if (frame.intersects(tiles))
            room = std::min(column.bottom() + 1 - frame.top() + kGap, column.height() - m_column->minimumSizeHint().height());
    }
    if (room == (m_room->isVisible() ? m_room->height() : 0))
        return;
    m_room->setFixedHeight(std::max(room, 0));
    m_room->setVisible(room > 0);
}

void ForceLoginBesideGrid::standAgain()
{
    if (m_list)
        m_list->placeAgain();
    makeRoom();
}

bool ForceLoginBesideGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_list)
        return false;
    const QEvent::Type type = event->type();
    // Once the event is through: the window system's account of the frames follows it.
    if (watched == m_list && (type == QEvent::Show || type == QEvent::Hide || type == QEvent::Move || type == QEvent::Resize))
        QTimer::singleShot(0, this, [this] { makeRoom(); });
    else if ((watched == m_window && (type == QEvent::Move || type == QEvent::Resize))
             || (watched == m_column && (type == QEvent::Show || type == QEvent::Hide)))
        QTimer::singleShot(0, this, [this] { standAgain(); });
    return false;
}
