#include "ScreenShotCurtain.h"

#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
const QColor kDim(0, 0, 0, 102); // black at 0.4
} // namespace

ScreenShotCurtain::ScreenShotCurtain(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ScreenShotCurtain"));
    setMouseTracking(false);
    setCursor(Qt::CrossCursor);
}

QRect ScreenShotCurtain::markedRect() const
{
    const QRectF r = m_selection.rectShot();
    return QRectF(r.x(), height() - r.y() - r.height(), r.width(), r.height()).toRect();
}

QImage ScreenShotCurtain::marked() const
{
    if (m_image.isNull())
        return {};
    // The picture may have more pixels than the curtain has points.
    const double sx = double(m_image.width()) / qMax(1, width());
    const double sy = double(m_image.height()) / qMax(1, height());
    const QRect r = markedRect();
    return m_image.copy(QRectF(r.x() * sx, r.y() * sy, r.width() * sx, r.height() * sy).toRect());
}

void ScreenShotCurtain::sendMessageImage(const QImage &image, bool flag)
{
    if (m_over)
        return;
    m_over = true;
    NotificationCenter::defaultCenter()->postNotification(
        Notify::ScreenShotCaption, {{Notify::Key::Image, image}, {Notify::Key::Flag, flag ? 1 : 0}}, this);
    emit ended();
}

void ScreenShotCurtain::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect r = markedRect();
    // Everything dimmed but the marked part.
    QRegion dim(rect());
    if (m_selection.hasRect())
        dim -= r;
    painter.setClipRegion(dim);
    painter.fillRect(rect(), kDim);
    painter.setClipping(false);
    if (!m_selection.hasRect())
        return;
    painter.setPen(QPen(Qt::white, 1, Qt::DashLine));
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    // Each handle dark with a light rim, so that it shows on a dark screen as on a light one.
    painter.setPen(QPen(Qt::white, 1));
    for (int h = ScreenShotSelection::LeftTop; h <= ScreenShotSelection::RightBottom; ++h) {
        const QRectF f = m_selection.handleRect(h);
        const QRect handle = QRectF(f.x(), height() - f.y() - f.height(), f.width(), f.height()).toRect();
        painter.fillRect(handle, QColor(0, 0, 0, 160));
        painter.drawRect(handle.adjusted(0, 0, -1, -1));
    }
}

void ScreenShotCurtain::updateCursor()
{
    switch (m_selection.dragType()) {
    case ScreenShotSelection::Move: setCursor(Qt::ClosedHandCursor); break;
    case ScreenShotSelection::None:
    case ScreenShotSelection::New: setCursor(m_selection.hasRect() ? Qt::OpenHandCursor : Qt::CrossCursor); break;
    default: setCursor(Qt::SizeAllCursor); break;
    }
}

void ScreenShotCurtain::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        if (m_selection.rightMouseDown())
            sendMessageImage(QImage(), false);
        update();
        return;
    }
    m_selection.mouseDown(up(event->position()));
    updateCursor();
    update();
}

void ScreenShotCurtain::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_selection.hasRect())
        return;
    sendMessageImage(marked(), true);
}

void ScreenShotCurtain::mouseMoveEvent(QMouseEvent *event)
{
    m_selection.mouseDragged(up(event->position()));
    update();
}

void ScreenShotCurtain::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_selection.mouseUp();
    setCursor(m_selection.hasRect() ? Qt::OpenHandCursor : Qt::CrossCursor);
    update();
}
