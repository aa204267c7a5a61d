#include "ScreenShotSelection.h"

#include <cmath>

namespace {
double whole(double v) { return std::trunc(v); }
} // namespace

QPointF ScreenShotSelection::handlePoint(int h) const
{
    const double x = m_rect.x(), y = m_rect.y(), w = m_rect.width(), ht = m_rect.height();
    switch (h) {
    case LeftTop: return {x, y + ht};
    case CenterTop: return {x + w / 2, y + ht};
    case RightTop: return {x + w, y + ht};
    case LeftCenter: return {x, y + ht / 2};
    case RightCenter: return {x + w, y + ht / 2};
    case LeftBottom: return {x, y};
    case CenterBottom: return {x + w / 2, y};
    default: return {x + w, y};
    }
}

QRectF ScreenShotSelection::handleRect(int h) const
{
    const QPointF p = handlePoint(h);
    return QRectF(whole(p.x() - kHandle / 2), whole(p.y() - kHandle / 2), kHandle, kHandle);
}

void ScreenShotSelection::mouseDown(const QPointF &p)
{
    m_begin = p;
    if (hasRect()) {
        const double x = m_rect.x(), y = m_rect.y(), w = m_rect.width(), h = m_rect.height();
        for (int handle = LeftTop; handle <= RightBottom; ++handle) {
            if (!handleRect(handle).contains(p))
                continue;
            m_drag = handle;
            switch (handle) {
            case LeftTop:
            case LeftCenter: m_peg = {x + w, y}; break;
            case CenterTop:
            case RightTop:
            case RightCenter: m_peg = {x, y}; break;
            case LeftBottom: m_peg = {x + w, y + h}; break;
            default: m_peg = {x, y + h}; break;
            }
            return;
        }
        if (m_rect.contains(p)) {
            m_drag = Move;
            m_move = m_begin;
            return;
        }
    }
    m_drag = hasRect() ? None : New;
}

void ScreenShotSelection::mouseDragged(const QPointF &p)
{
    const double dx = whole(p.x() - m_peg.x());
    const double dy = whole(p.y() - m_peg.y());
    const double spanY = dy < 0 ? m_peg.y() + dy : m_peg.y();
    switch (m_drag) {
    case LeftTop:
    case RightTop:
    case LeftBottom:
    case RightBottom:
        m_rect = QRectF(dx <= 0 ? m_peg.x() - std::abs(dx) : m_peg.x(), spanY, std::abs(dx), std::abs(dy));
        break;
    case CenterTop:
    case CenterBottom:
        m_rect = QRectF(m_peg.x(), spanY, m_rect.width(), std::abs(dy));
        break;
    case LeftCenter:
    case RightCenter:
        m_rect = QRectF(dx < 0 ? m_peg.x() + dx : m_peg.x(), m_peg.y(), std::abs(dx), m_rect.height());
        break;
    case Move:
        m_rect.translate(whole(p.x() - m_move.x()), whole(p.y() - m_move.y()));
        m_move = p;
        break;
    case New: {
        const double nx = whole(p.x() - m_begin.x());
        const double ny = whole(p.y() - m_begin.y());
        m_rect = QRectF(nx < 0 ? m_begin.x() + nx : m_begin.x(), ny < 0 ? m_begin.y() + ny : m_begin.y(), std::abs(nx),
                        std::abs(ny));
        break;
    }
    default:
        break;
    }
}

void ScreenShotSelection::mouseUp()
{
    if (m_drag == New && (m_rect.width() < kMinimum || m_rect.height() < kMinimum))
        m_rect = QRectF();
}

bool ScreenShotSelection::rightMouseDown()
{
    if (!hasRect())
        return true;
    m_begin = QPointF();
    m_rect = QRectF();
    return false;
}
