#include "QuestionReportHistogramView.h"

#include "ReportDrawing.h"
#include "ReportPainter.h"
#include "ReportStyle.h"

#include <QCoreApplication>

namespace {
struct BarColours
{
    QColor front, top, side;
};

const BarColours &colours(int bar)
{
    static const BarColours table[ChoiseCount::kBars] = {
        {QColor::fromRgbF(0.388f, 0.49f, 0.647f), QColor::fromRgbF(0.231f, 0.294f, 0.384f),
         QColor::fromRgbF(0.31f, 0.392f, 0.514f)},
        {QColor::fromRgbF(0.871f, 0.475f, 0.451f), QColor::fromRgbF(0.522f, 0.282f, 0.267f),
         QColor::fromRgbF(0.694f, 0.376f, 0.357f)},
        {QColor::fromRgbF(0.482f, 0.698f, 0.451f), QColor::fromRgbF(0.286f, 0.416f, 0.267f),
         QColor::fromRgbF(0.384f, 0.557f, 0.357f)},
        {QColor::fromRgbF(1.0f, 0.651f, 0.29f), QColor::fromRgbF(0.596f, 0.388f, 0.173f),
         QColor::fromRgbF(0.796f, 0.518f, 0.213f)},
        {QColor::fromRgbF(0.937f, 0.843f, 0.0f), QColor::fromRgbF(0.561f, 0.502f, 0.0f),
         QColor::fromRgbF(0.745f, 0.671f, 0.0f)},
        {QColor::fromRgbF(0.612f, 0.541f, 0.647f), QColor::fromRgbF(0.365f, 0.322f, 0.384f),
         QColor::fromRgbF(0.486f, 0.431f, 0.514f)},
        {QColor::fromRgbF(0.58f, 0.667f, 0.776f), QColor::fromRgbF(0.345f, 0.396f, 0.463f),
         QColor::fromRgbF(0.463f, 0.529f, 0.62f)},
        {QColor::fromRgbF(0.906f, 0.62f, 0.58f), QColor::fromRgbF(0.541f, 0.369f, 0.345f),
         QColor::fromRgbF(0.721f, 0.494f, 0.463f)},
        {QColor::fromRgbF(0.71f, 0.827f, 0.678f), QColor::fromRgbF(0.424f, 0.494f, 0.404f),
         QColor::fromRgbF(0.565f, 0.659f, 0.541f)},
        {QColor::fromRgbF(1.0f, 0.827f, 0.647f), QColor::fromRgbF(0.596f, 0.494f, 0.384f),
         QColor::fromRgbF(0.796f, 0.659f, 0.514f)},
        {QColor::fromRgbF(1.0f, 0.969f, 0.58f), QColor::fromRgbF(0.596f, 0.58f, 0.345f),
         QColor::fromRgbF(0.796f, 0.773f, 0.463f)},
    };
    return table[std::clamp(bar, 0, ChoiseCount::kBars - 1)];
}

// A closed path from start by relative steps.
QList<QPointF> steps(QPointF at, std::initializer_list<QPointF> moves)
{
    QList<QPointF> points{at};
    for (const QPointF &move : moves) {
        at += move;
        points.append(at);
    }
    return points;
}
} // namespace

QuestionReportHistogramView::QuestionReportHistogramView(const ChoiseCount &choiseCount)
    : m_choiseCount(choiseCount), m_max(choiseCount.max()), m_numPerCell(numPerCell(m_max))
{
}

int QuestionReportHistogramView::numPerCell(int max)
{
    return std::max(1, (max + 7) / 8);
}

QColor QuestionReportHistogramView::frontColor(int bar)
{
    return colours(bar).front;
}

QColor QuestionReportHistogramView::topColor(int bar)
{
    return colours(bar).top;
}

QColor QuestionReportHistogramView::sideColor(int bar)
{
    return colours(bar).side;
}

void QuestionReportHistogramView::paint(ReportPainter &painter) const
{
    drawLegend(painter);
    drawAxis(painter);
    for (int bar = 0; bar < ChoiseCount::kBars; ++bar)
        drawPillarOfOption(painter, bar, m_choiseCount.count(bar));
}

void QuestionReportHistogramView::drawLegend(ReportPainter &painter) const
{
    const QFont font = ReportStyle::arial(15);
    painter.strokeRect(86, 1, 377, 41, 1, Qt::black);
    painter.strokeRect(93, 8, 363, 27, 1, Qt::black);
    for (int i = 0; i < ChoiseCount::kBars; ++i) {
        const QString caption =
            i == ChoiseCount::kOther ? QCoreApplication::translate("Report", "Other") : QString(QChar(u'A' + i));
        painter.drawTextCentred(caption, 93 + 33 * i, 33, 17, font);
        painter.fillRect(107 + 33 * i, 13, 5, 5, frontColor(i));
    }
}

void QuestionReportHistogramView::drawAxis(ReportPainter &painter) const
{
    const QFont font = ReportStyle::symbol(15);
    painter.strokePath(steps({30, 45}, {{16, 5}, {494, 0}, {-16, -5}, {-494, 0}}), false);
    for (int k = 0; k < 8; ++k) {
        const double y0 = 50 + 16 * k;
        // A slanted cell of the left wall and a band of the back wall.
        painter.strokePath(steps({46, y0}, {{0, 16}, {-16, -5}, {0, -16}, {16, 5}, {494, 0}, {0, 16}, {-494, 0}}),
                           false);
        painter.drawTextRightAligned(QString::number(k * m_numPerCell), 27, y0 - 10, font);
    }
    painter.drawTextRightAligned(QString::number(8 * m_numPerCell), 27, 168, font);
}

void QuestionReportHistogramView::drawPillarOfOption(ReportPainter &painter, int bar, int count) const
{
    const double x0 = 68 + 38 * bar;
    const double h = barHeight(count, m_numPerCell);
    if (h > 0) {
        painter.fillPolygon(steps({x0, 45}, {{38, 0}, {0, h}, {-38, 0}}), frontColor(bar));
        painter.fillPolygon(steps({x0 + 38, 45}, {{16, 5}, {0, h}, {-16, -5}}), sideColor(bar));
    }
    painter.fillPolygon(steps({x0, 45 + h}, {{38, 0}, {16, 5}, {-38, 0}}), topColor(bar));
}
