#pragma once

#include "platform/KeyedArchiveObject.h"

#include <QColor>
#include <QPainterPath>

#include <memory>

class QPainter;

// One pen stroke: a path, its line width and its colour. Points are in the coordinates of the
// view that holds the stroke, y growing upwards.
class BezierPathObject : public KeyedArchiveObject
{
public:
    BezierPathObject() = default;

    QPainterPath bezierpath() const { return m_bezierpath; }
    void setBezierpath(const QPainterPath &path) { m_bezierpath = path; }
    QColor color() const { return m_color; }
    void setColor(const QColor &color) { m_color = color; }
    double lineWidth() const { return m_lineWidth; }
    void setLineWidth(double width) { m_lineWidth = width; }

    std::shared_ptr<BezierPathObject> copy() const;
    bool isEqualTo(const BezierPathObject &other) const;

    // Smallest rectangle holding every point of the path (end and control points).
    QRectF pointBounds() const;

    // Strokes the path; the painter's transform already maps the holder's coordinates.
    void draw(QPainter &painter) const;

    // Stroke lists as pages and boxes hold them.
    using List = QList<std::shared_ptr<BezierPathObject>>;
    static List copyList(const List &list);
    static bool listsEqual(const List &a, const List &b);

    QStringList archiveClassNames() const override;
    void encodeWithCoder(KeyedArchiver &coder) const override;
    void initWithCoder(KeyedUnarchiver &coder) override;

private:
    QPainterPath m_bezierpath;
    double m_lineWidth = 1.0;
    QColor m_color = Qt::black;
};
