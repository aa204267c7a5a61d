#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class ReportPainter;

// The bar chart of the grade statistics: a percent axis from 10% to 100% and one pseudo-3-D bar
// per letter, its letter under it and its share over it; bars and gaps of equal width.
class HistogramReportView
{
public:
    // count bars of the heights percent (fractions, 0 to 1) labelled labels.
    void setHistogramData(int count, const QList<float> &percent, const QStringList &labels);
    int nOptionNum() const { return m_nOptionNum; }

    // The width of a bar and where bar i starts, in a chart width wide; 0 without bars.
    double barWidth(double width) const;
    double barX(int bar, double width) const;

    void paint(ReportPainter &painter) const;

private:
    void drawAxis(ReportPainter &painter) const;
    void drawHistogram(ReportPainter &painter) const;

    static constexpr int nLeftDistance = 60, nRightDistance = 60, nTopDistance = 60, nBottomDistance = 60;
    static constexpr double fLineWidth = 5, fYScaleTopDistance = 30, fXScaleRightDistance = 30, fSCaleWidth = 10;

    int m_nOptionNum = 0;
    QList<float> m_arrayPercent;
    QStringList m_stringArray;
};
