#include "PenDrawScreen.h"

#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"

#include <QPainter>

PenDrawScreen::PenDrawScreen(const QRectF &frame, QObject *parent) : QObject(parent), m_frame(frame) {}

bool PenDrawScreen::mouseDown(const QPointF &point)
{
    if (!m_bCtrl)
        return true;
    m_current = std::make_shared<BezierPathObject>();
    QPainterPath path;
    path.moveTo(point);
    m_current->setBezierpath(path);
    m_current->setColor(m_color);
    m_current->setLineWidth(m_size);
    return false;
}

void PenDrawScreen::mouseDragged(const QPointF &point)
{
    if (!m_bCtrl || !m_current)
        return;
    QPainterPath path = m_current->bezierpath();
    path.lineTo(point);
    m_current->setBezierpath(path);
    NotificationCenter::defaultCenter()->postNotification(Notify::ChangeQuestionContent, {}, this);
}

void PenDrawScreen::mouseUp()
{
    if (!m_current)
        return;
    m_strokes.append(m_current);
    m_current.reset();
}

void PenDrawScreen::draw(QPainter &painter, double pageHeight) const
{
    painter.save();
    painter.translate(0, pageHeight);
    painter.scale(1, -1);
    for (const auto &s : m_strokes)
        s->draw(painter);
    if (m_current)
        m_current->draw(painter);
    painter.restore();
}

std::unique_ptr<PenDrawScreen> PenDrawScreen::copy() const
{
    auto c = std::make_unique<PenDrawScreen>(m_frame);
    c->m_color = m_color;
    c->m_size = m_size;
    c->m_bCtrl = m_bCtrl;
    c->m_strokes = BezierPathObject::copyList(m_strokes);
    if (m_current)
        c->m_current = m_current->copy();
    return c;
}
