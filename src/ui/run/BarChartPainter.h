#pragma once

#include <QColor>
#include <QFont>
#include <QSizeF>
#include <QString>

class QPainter;

// The drawing shared by the result summary's chart and the histogram: two axes with ten ticks
// ("10%" .. "100%"), a floor, and bars drawn as boxes with a front, a top and a side face.
// Positions follow the charts' own measure: origin at the lower left, y growing upwards, one
// unit a pixel; the painter converts them.
class BarChartPainter
{
public:
    struct Margins
    {
        int left = 60, right = 60, top = 60, bottom = 60;
    };
    struct Faces
    {
        QColor front, top, side;
    };
    static constexpr double kLineWidth = 5.0;
    static constexpr double kYScaleTop = 30.0;   // free space above the 100% tick
    static constexpr double kXScaleRight = 30.0; // free space right of the last bar
    static constexpr double kScaleWidth = 10.0;  // tick length
    static constexpr double kRise = 10.0;        // depth of a box, upwards

    BarChartPainter(QPainter &painter, const QSizeF &size, const Margins &margins);

    // Usable lengths of the axes.
    double xAxis() const { return m_xAxis; }
    double yAxis() const { return m_yAxis; }
    // The line bars stand on.
    double baseLine() const { return m_margins.bottom + kLineWidth / 2; }
    double left() const { return m_margins.left; }

    void drawAxis();
    // The floor under bars of width w.
    void drawFloor(double w, const QColor &colour);
    // A box of width w and height h whose front stands at x on the base line.
    void drawBar(double x, double w, double h, const Faces &faces);
    // Text centred on centreX below the base line, its top `gap` under it, wrapped to wrapWidth
    // when longer; returns the y of the text's bottom.
    double drawBelow(double centreX, double wrapWidth, double gap, const QString &text, const QFont &font);
    // The value over a box of height h: centred on the box with its depth, standing on its top.
    void drawAbove(double x, double w, double h, const QString &text, const QFont &font);
    // Text inside a white box (x, y, w, h), clipped to it.
    void drawBoxed(double x, double y, double w, double h, const QString &text, const QFont &font);

    // The font the charts name "Arial", at a size in pixels.
    static QFont arial(int pixelSize);
    // The front, top and side colours of a green (right) and a rose (other) bar.
    static Faces green();
    static Faces rose();
    static QColor floorColour();

private:
    double dy(double y) const { return m_size.height() - y; }

    QPainter &m_p;
    QSizeF m_size;
    Margins m_margins;
    double m_xAxis;
    double m_yAxis;
};
