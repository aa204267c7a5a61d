#include "HistogramReportView.h"

#include "HistogramColor.h"

#include "core/base/PrintfNumber.h"
#include "core/reports/ReportDrawing.h"
#include "core/reports/ReportPainter.h"
#include "core/reports/ReportStyle.h"

#include <QFontMetricsF>

#include <algorithm>

void HistogramReportView::setHistogramData(int count, const QList<float> &percent, const QStringList &labels)
{
    m_nOptionNum = std::max(0, count);
    m_arrayPercent = percent;
    m_stringArray = labels;
}

double HistogramReportView::barWidth(double width) const
{
    if (m_nOptionNum <= 0)
        return 0;
    return (width - nLeftDistance - nRightDistance - fXScaleRightDistance) / (2.0 * m_nOptionNum);
}

double HistogramReportView::barX(int bar, double width) const
{
    return nLeftDistance + (2 * bar + 1) * barWidth(width);
}

void HistogramReportView::paint(ReportPainter &painter) const
{
    drawAxis(painter);
    drawHistogram(painter);
}

void HistogramReportView::drawAxis(ReportPainter &painter) const
{
    const double W = painter.width(), H = painter.height();
    const double L = nLeftDistance, B = nBottomDistance;
    painter.drawLine(L, H - nTopDistance, L, B, fLineWidth, Qt::black);
    painter.drawLine(L - fLineWidth / 2, B, W - nRightDistance, B, fLineWidth, Qt::black);
    const double yAxis = H - nTopDistance - B - fYScaleTopDistance;
    const double step = yAxis / 10;
    const QFont font = ReportStyle::arial(12);
    for (int i = 1; i <= 10; ++i) {
        const double y = i * step + B;
        painter.drawLine(L, y, L - fSCaleWidth, y, fLineWidth, Qt::black);
        painter.drawText(QStringLiteral("%1%").arg(10 * i), L - fSCaleWidth - 35, y - 7, font);
    }
}

void HistogramReportView::drawHistogram(ReportPainter &painter) const
{
    const double W = painter.width(), H = painter.height();
    const double L = nLeftDistance, B = nBottomDistance;
    const double yAxis = H - nTopDistance - B - fYScaleTopDistance;
    const double b = barWidth(W);
    const double dx = b / 4;
    const double yb = B + fLineWidth / 2;
    const double xs = L + fLineWidth / 2;
    const double floorWidth = W - L - nRightDistance;
    painter.fillPolygon({{xs, yb}, {xs + dx, yb + 10}, {xs + floorWidth, yb + 10}, {xs + floorWidth - dx, yb}},
                        QColor::fromRgbF(0.533f, 0.573f, 0.482f));
    if (m_nOptionNum <= 0)
        return;

    QStringList shares;
    for (int i = 0; i < m_nOptionNum; ++i)
        shares << PrintfNumber::fixed(100.0 * double(m_arrayPercent.value(i)), 1) + QLatin1Char('%');
    // Labels shrink when many bars leave them less room than a bar and its gap.
    int size = 20;
    const auto widest = [&](int s) {
        double w = 0;
        for (int i = 0; i < m_nOptionNum; ++i)
            w = std::max({w, textWidthF(shares.at(i), ReportStyle::arial(s)),
                          textWidthF(m_stringArray.value(i), ReportStyle::arial(s))});
        return w;
    };
    while (size > 8 && widest(size) > 2 * b - 4)
        --size;
    const QFont font = ReportStyle::arial(size);
    const double th = QFontMetricsF(font).height();

    for (int i = 0; i < m_nOptionNum; ++i) {
        const double x = barX(i, W);
        const double h = double(m_arrayPercent.value(i)) * yAxis;
        const HistogramColor &colour = HistogramColor::forBar(i);
        painter.fillRect(x, yb, b, h, colour.colorFace());
        painter.fillPolygon({{x + dx, yb + h + 10}, {x + 1.25 * b, yb + h + 10}, {x + b, yb + h}, {x, yb + h}},
                            colour.colorTop());
        painter.fillPolygon({{x + b, yb + h}, {x + 1.25 * b, yb + h + 10}, {x + 1.25 * b, yb + 10}, {x + b, yb}},
                            colour.colorFlank());
        const QString label = m_stringArray.value(i);
        painter.drawText(label, x + (b - textWidthF(label, font)) / 2, yb - th - 10, font);
        painter.drawText(shares.at(i), x + (1.25 * b - textWidthF(shares.at(i), font)) / 2, yb + 10 + h, font);
    }
}
