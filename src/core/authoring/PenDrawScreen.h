#pragma once

#include "BezierPathObject.h"

#include <QObject>
#include <QRectF>

#include <memory>

class QPainter;

// The transparent pen layer laid over a page in pen mode: a press starts a stroke in the current
// colour and width, each drag step extends it (posting "ChangeQuestionContent" with the layer as
// object) and the release appends it to bezierPathObjects. Points are the page's, y up.
class PenDrawScreen : public QObject
{
    Q_OBJECT
public:
    explicit PenDrawScreen(const QRectF &frame, QObject *parent = nullptr);

    QRectF frame() const { return m_frame; }
    QColor colorOfPen() const { return m_color; }
    void setColorOfPen(const QColor &color) { m_color = color; }
    int sizeOfPen() const { return m_size; }
    void setSizeOfPen(int size) { m_size = size; }
    bool bCtrl() const { return m_bCtrl; }
    void setBCtrl(bool drawing) { m_bCtrl = drawing; }

    BezierPathObject::List &bezierPathObjects() { return m_strokes; }
    const BezierPathObject::List &bezierPathObjects() const { return m_strokes; }
    const std::shared_ptr<BezierPathObject> &strokeInProgress() const { return m_current; }

    // Answers whether the press goes on to the page as well (when drawing is disabled).
    bool mouseDown(const QPointF &point);
    void mouseDragged(const QPointF &point);
    void mouseUp();

    void draw(QPainter &painter, double pageHeight) const;
    std::unique_ptr<PenDrawScreen> copy() const;

private:
    QRectF m_frame;
    QColor m_color = Qt::black;
    int m_size = 2;
    bool m_bCtrl = true;
    BezierPathObject::List m_strokes;
    std::shared_ptr<BezierPathObject> m_current;
};
