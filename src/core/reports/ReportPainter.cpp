#include "ReportPainter.h"

#include "ReportDrawing.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QPolygonF>

#include <algorithm>

ReportPainter::ReportPainter(QPainter &painter, const QRectF &frame, double pageHeight, QList<ReportToolTip> *toolTips)
    : m_painter(painter), m_frame(frame), m_pageHeight(pageHeight), m_toolTips(toolTips)
{
}

ReportPainter ReportPainter::subView(const QRectF &frame) const
{
    return ReportPainter(m_painter, frame.translated(m_frame.topLeft()), m_pageHeight, m_toolTips);
}

QRectF ReportPainter::pageRect(double x, double y, double w, double h) const
{
    const double left = m_frame.x() + x;
    const double top = m_pageHeight - (m_frame.y() + y + h);
    return QRectF(left, top, w, h);
}

QPolygonF ReportPainter::pagePolygon(const QList<QPointF> &points) const
{
    QPolygonF polygon;
    for (const QPointF &p : points)
        polygon << QPointF(m_frame.x() + p.x(), m_pageHeight - (m_frame.y() + p.y()));
    return polygon;
}

ReportPainter ReportPainter::child(const QRectF &frame) const
{
    return ReportPainter(m_painter, frame.translated(m_frame.topLeft()), m_pageHeight, m_toolTips);
}

void ReportPainter::strokePath(const QList<QPointF> &points, bool closed, double lineWidth, const QColor &colour)
{
    m_painter.save();
    setLine(lineWidth, colour);
    if (closed)
        m_painter.drawPolygon(pagePolygon(points));
    else
        m_painter.drawPolyline(pagePolygon(points));
    m_painter.restore();
}

void ReportPainter::fillRect(double x, double y, double w, double h, const QColor &fill)
{
    m_painter.fillRect(pageRect(x, y, w, h), fill);
}

void ReportPainter::setLine(double lineWidth, const QColor &colour)
{
    QPen pen(colour);
    pen.setWidthF(lineWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    m_painter.setPen(pen);
    m_painter.setBrush(Qt::NoBrush);
}

void ReportPainter::strokeRect(double x, double y, double w, double h, double lineWidth, const QColor &colour)
{
    m_painter.save();
    setLine(lineWidth, colour);
    m_painter.drawRect(pageRect(x, y, w, h));
    m_painter.restore();
}

void ReportPainter::fillPolygon(const QList<QPointF> &points, const QColor &fill)
{
    m_painter.save();
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(fill);
    m_painter.drawPolygon(pagePolygon(points));
    m_painter.restore();
}

void ReportPainter::drawLine(double x1, double y1, double x2, double y2, double lineWidth, const QColor &colour)
{
    m_painter.save();
    QPen pen(colour);
    pen.setWidthF(lineWidth);
    pen.setCapStyle(Qt::FlatCap);
    m_painter.setPen(pen);
    m_painter.drawLine(pageRect(x1, y1, 0, 0).topLeft(), pageRect(x2, y2, 0, 0).topLeft());
    m_painter.restore();
}

void ReportPainter::cell(double x, double y, double w, double h, const QColor &fill)
{
    drawRectWithFillColor(*this, x, y, w, h, fill);
}

void ReportPainter::drawText(const QString &text, double x, double y, const QFont &font, const QColor &colour)
{
    if (text.isEmpty())
        return;
    // The text's box stands on y: its baseline is one descent above it.
    const QFontMetricsF metrics(font);
    const QRectF origin = pageRect(x, y, 0, 0);
    m_painter.save();
    m_painter.setFont(font);
    m_painter.setPen(colour);
    m_painter.drawText(QPointF(origin.x(), origin.y() - metrics.descent()), text);
    m_painter.restore();
}

void ReportPainter::drawTextRightAligned(const QString &text, double right, double y, const QFont &font,
                                         const QColor &colour)
{
    drawText(text, right - textWidth(text, font), y, font, colour);
}

void ReportPainter::drawTextCentred(const QString &text, double x0, int width, double y, const QFont &font,
                                    const QColor &colour)
{
    drawText(text, x0 + (width - textWidth(text, font)) / 2, y, font, colour);
}

void ReportPainter::drawTextCentredWithin(const QString &text, double x0, int width, double y, const QFont &font)
{
    const QString shown = getStringWithSuspensionPoint(text, width - 4, font);
    drawTextCentred(shown, x0, width, y, font);
    if (shown != text)
        addToolTip(x0, y, width, 25, text);
}

void ReportPainter::drawTextWithin(const QString &text, double x, double y, double room, const QFont &font)
{
    const QString shown = getStringWithSuspensionPoint(text, room, font);
    drawText(shown, x, y, font);
    if (shown != text)
        addToolTip(x, y, room, 25, text);
}

void ReportPainter::addToolTip(double x, double y, double w, double h, const QString &text)
{
    if (m_toolTips)
        m_toolTips->append({pageRect(x, y, w, h), text});
}

void ReportPainter::titleBand(const QString &caption, const QFont &font, double captionDrop)
{
    const double W = width(), H = height();
    cell(1, H - 32, W - 2, 31, ReportStyle::orange());
    drawText(caption, 4, H - captionDrop, font);
}

void ReportPainter::noteBand(const QString &note, const QFont &font)
{
    const double W = width(), H = height();
    cell(1, H - 82, W - 2, 50, ReportStyle::orange());
    noteText(note, H - 54, 723, font);
}

void ReportPainter::noteText(const QString &note, double y, double width, const QFont &font)
{
    const QStringList lines = getWordWrappedStrings(note, width, font);
    for (int k = 0; k < lines.size(); ++k)
        drawText(lines.at(k), 4, y - 25 * k, font);
}

void ReportPainter::studentBand(const QString &left, const QString &right)
{
    const double W = width(), H = height();
    const QFont font = ReportStyle::arial(18);
    cell(1, H - 107, W - 2, 24, ReportStyle::yellow());
    drawText(left, 7, H - 107, font);
    if (!right.isEmpty())
        drawTextRightAligned(right, W - 5, H - 107, font);
}

void ReportPainter::cellRow(double y, double height, const QList<Cell> &cells, const QColor &fill)
{
    for (const Cell &c : cells)
        cell(c.x, y, c.width, height, fill);
}

void ReportPainter::centredValues(const QList<Cell> &captions, const QStringList &values, double y, const QFont &font)
{
    for (int k = 0; k < captions.size() && k < values.size(); ++k) {
        const Cell &c = captions.at(k);
        const double left = k > 0 ? captions.at(k - 1).x + captions.at(k - 1).width + 5 : 5;
        const double right = k + 1 < captions.size() ? captions.at(k + 1).x - 5 : width() - 5;
        const double centre = c.x + int(c.width) / 2;
        const double room = 2 * std::min(centre - left, right - centre);
        const QString shown = getStringWithSuspensionPoint(values.at(k), room, font);
        drawTextCentred(shown, c.x, int(c.width), y, font);
        if (shown != values.at(k))
            addToolTip(centre - room / 2, y, room, 25, values.at(k));
    }
}

void ReportPainter::noRecord()
{
    const QFont font = ReportStyle::boldSystemFont(30);
    const QString text = QCoreApplication::translate("Report", "There is no record.");
    drawText(text, (width() - textWidth(text, font)) / 2, height() / 2 + 100, font);
}

QString ReportPainter::answerNote()
{
    return QCoreApplication::translate(
        "Report", "(Note:'__'means No Answer,'__N'means you got the chance to answer but did not answer in Rush Quiz Mode)");
}
