#pragma once

#include "ChoiseCount.h"

#include <QColor>

class ReportPainter;

// The bar chart under a question of the Question Report, 550 x 180: a legend of the letters A to
// J and Other, a floor and a back wall with a scale of eight steps, and one bar per count with a
// front, a side and a top face, so that the bars look solid.
class QuestionReportHistogramView
{
public:
    explicit QuestionReportHistogramView(const ChoiseCount &choiseCount);

    // The students one step of the scale stands for: the least s of at least 1 with 8 s >= max.
    static int numPerCell(int max);
    // A bar's height for count.
    static double barHeight(int count, int numPerCell) { return count * 16.0 / numPerCell; }
    static QColor frontColor(int bar);
    static QColor topColor(int bar);
    static QColor sideColor(int bar);

    // Draws into painter's view (its frame the chart's).
    void paint(ReportPainter &painter) const;

private:
    void drawLegend(ReportPainter &painter) const;
    void drawAxis(ReportPainter &painter) const;
    void drawPillarOfOption(ReportPainter &painter, int bar, int count) const;

    ChoiseCount m_choiseCount;
    int m_max = 0;
    int m_numPerCell = 1;
};
