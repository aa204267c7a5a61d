#include "BarChartPainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

BarChartPainter::BarChartPainter(QPainter &painter, const QSizeF &size, const Margins &margins)
    : m_p(painter), m_size(size), m_margins(margins),
      m_xAxis(size.width() - margins.left - margins.right - kXScaleRight),
      m_yAxis(size.height() - margins.top - margins.bottom - kYScaleTop)
{
}

QFont BarChartPainter::arial(int pixelSize)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixelSize);
    return f;
}

BarChartPainter::Faces BarChartPainter::green()
{
    return {QColor::fromRgbF(0.549f, 0.729f, 0.0f), QColor::fromRgbF(0.420f, 0.561f, 0.0f),
            QColor::fromRgbF(0.325f, 0.439f, 0.008f)};
}

BarChartPainter::Faces BarChartPainter::rose()
{
    return {QColor::fromRgbF(0.890f, 0.490f, 0.667f), QColor::fromRgbF(0.804f, 0.400f, 0.508f),
            QColor::fromRgbF(0.549f, 0.263f, 0.392f)};
}

QColor BarChartPainter::floorColour()
{
    return QColor::fromRgbF(0.533f, 0.573f, 0.482f);
}

void BarChartPainter::drawAxis()
{
    const double l = m_margins.left;
    const double b = m_margins.bottom;
    QPainterPath axis;
    axis.moveTo(l, dy(m_size.height() - m_margins.top));
    axis.lineTo(l, dy(b));
    axis.moveTo(l - kLineWidth / 2, dy(b));
    axis.lineTo(m_size.width() - m_margins.right, dy(b));
    QFontMetricsF fm(m_p.font());
    for (int i = 1; i <= 10; ++i) {
        const double y = b + i * m_yAxis / 10;
        axis.moveTo(l, dy(y));
        axis.lineTo(l - kScaleWidth, dy(y));
        const QString label = QStringLiteral("%1%").arg(i * 10);
        // The label's baseline sits 7 below the tick, as its lower left corner would.
        m_p.setPen(Qt::black);
        m_p.drawText(QPointF(l - kScaleWidth - 35, dy(y - 7) - fm.descent()), label);
    }
    m_p.strokePath(axis, QPen(Qt::black, kLineWidth));
}

void BarChartPainter::drawFloor(double w, const QColor &colour)
{
    const double y = baseLine();
    const double x = m_margins.left + kLineWidth / 2;
    const double xr = m_size.width() - m_margins.right + kLineWidth / 2;
    const QPolygonF floor{QPointF(x, dy(y)), QPointF(x + w / 4, dy(y + kRise)), QPointF(xr, dy(y + kRise)),
                          QPointF(xr - w / 4, dy(y))};
    m_p.setPen(Qt::NoPen);
    m_p.setBrush(colour);
    m_p.drawPolygon(floor);
}

void BarChartPainter::drawBar(double x, double w, double h, const Faces &faces)
{
    const double y = baseLine();
    m_p.setPen(Qt::NoPen);
    m_p.setBrush(faces.front);
    m_p.drawRect(QRectF(QPointF(x, dy(y + h)), QPointF(x + w, dy(y))));
    m_p.setBrush(faces.top);
    m_p.drawPolygon(QPolygonF{QPointF(x + w / 4, dy(y + h + kRise)), QPointF(x + 1.25 * w, dy(y + h + kRise)),
                              QPointF(x + w, dy(y + h)), QPointF(x, dy(y + h))});
    m_p.setBrush(faces.side);
    m_p.drawPolygon(QPolygonF{QPointF(x + w, dy(y + h)), QPointF(x + 1.25 * w, dy(y + h + kRise)),
                              QPointF(x + 1.25 * w, dy(y + kRise)), QPointF(x + w, dy(y))});
}

double BarChartPainter::drawBelow(double centreX, double wrapWidth, double gap, const QString &text, const QFont &font)
{
    m_p.setFont(font);
    m_p.setPen(Qt::black);
    const QRectF room(centreX - wrapWidth / 2, 0, wrapWidth, 1e6);
    const QRectF bounds = m_p.boundingRect(room, Qt::AlignHCenter | Qt::TextWordWrap, text);
    const double top = baseLine() - gap; // in chart measure, y upwards
    const QRectF at(bounds.left(), dy(top), bounds.width(), bounds.height());
    m_p.drawText(at, Qt::AlignHCenter | Qt::TextWordWrap, text);
    return top - bounds.height();
}

void BarChartPainter::drawAbove(double x, double w, double h, const QString &text, const QFont &font)
{
    m_p.setFont(font);
    m_p.setPen(Qt::black);
    const QRectF bounds = m_p.boundingRect(QRectF(0, 0, 1e6, 1e6), Qt::AlignLeft, text);
    const double left = x + (1.25 * w - bounds.width()) / 2;
    const double bottom = baseLine() + kRise + h;
    m_p.drawText(QRectF(left, dy(bottom) - bounds.height(), bounds.width(), bounds.height()), Qt::AlignHCenter, text);
}

void BarChartPainter::drawBoxed(double x, double y, double w, double h, const QString &text, const QFont &font)
{
    const QRectF box(x, dy(y + h), w, h);
    m_p.setPen(Qt::NoPen);
    m_p.setBrush(Qt::white);
    m_p.drawRect(box);
    m_p.setFont(font);
    m_p.setPen(Qt::black);
    m_p.save();
    m_p.setClipRect(box);
    m_p.drawText(box, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text);
    m_p.restore();
}
