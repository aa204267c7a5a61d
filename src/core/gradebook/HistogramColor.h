#pragma once

#include <QColor>
#include <QList>

// The three shades of one bar of the grade histogram: its front, its top and its right side.
class HistogramColor
{
public:
    HistogramColor() = default;
    HistogramColor(const QColor &face, const QColor &top, const QColor &flank)
        : m_colorFace(face), m_colorTop(top), m_colorFlank(flank)
    {
    }

    const QColor &colorFace() const { return m_colorFace; }
    const QColor &colorTop() const { return m_colorTop; }
    const QColor &colorFlank() const { return m_colorFlank; }

    // The twelve shade sets the bars take in turn (the thirteenth bar takes the first again).
    static const QList<HistogramColor> &standardSets();
    static const HistogramColor &forBar(int bar);

private:
    QColor m_colorFace, m_colorTop, m_colorFlank;
};
