#include "GridAutoScroll.h"

#include "RunTimer.h"

#include <QScrollArea>
#include <QScrollBar>

namespace {
constexpr int kStudentsThatFit = 45;
constexpr int kPage = 660;
} // namespace

GridAutoScroll::GridAutoScroll(QScrollArea *area, QObject *parent)
    : QObject(parent), loginViewSV(area), moveTimer(new RunTimer(this))
{
}

void GridAutoScroll::setViewMove(bool on)
{
    if (on)
        moveTimer->start([this] { startMove(); });
    else
        moveTimer->stop();
}

void GridAutoScroll::studentLoggedIn()
{
    // Integer division toward zero, as the grid's rows of three expect.
    m_nMoveHeight = ((m_nLoginStudentSum - 43) / 3) * 44;
    ++m_nLoginStudentSum;
}

void GridAutoScroll::startMove()
{
    if (m_nLoginStudentSum <= kStudentsThatFit)
        return;
    loginViewSV->verticalScrollBar()->setValue(m_nMoveHeight);
    const int limit = ((m_nLoginStudentSum - kStudentsThatFit) / 3) * 42 + 100;
    if (m_nMoveHeight <= 39) {
        bMoveDown = false;
        m_nMoveHeight += kPage;
    } else if (m_nMoveHeight > limit) {
        bMoveDown = true;
        m_nMoveHeight -= kPage;
    } else {
        m_nMoveHeight += bMoveDown ? -kPage : kPage;
    }
}
