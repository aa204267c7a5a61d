#pragma once

#include <QPointF>
#include <QRectF>

// The rectangle a teacher marks over a picture of the screen: drawn new, moved, or resized by
// one of its eight handles. Coordinates have their origin at the bottom left, y growing upwards
// ("top" is the larger y); every step is in whole points.
class ScreenShotSelection
{
public:
    enum Drag { LeftTop, CenterTop, RightTop, LeftCenter, RightCenter, LeftBottom, CenterBottom, RightBottom, Move, New, None };
    static constexpr double kHandle = 8;
    // A new rectangle smaller than this in either direction is dropped.
    static constexpr double kMinimum = 6;

    QRectF rectShot() const { return m_rect; }
    bool hasRect() const { return !m_rect.isNull(); }
    int dragType() const { return m_drag; }
    // The 8 x 8 square of handle h (LeftTop .. RightBottom).
    QRectF handleRect(int h) const;

    void mouseDown(const QPointF &p);
    void mouseDragged(const QPointF &p);
    void mouseUp();
    // A right click: true when nothing is marked (the teacher gives up); otherwise the mark goes.
    bool rightMouseDown();

private:
    QPointF handlePoint(int h) const;

    QRectF m_rect;
    QPointF m_begin;
    QPointF m_peg;
    QPointF m_move;
    int m_drag = None;
};
