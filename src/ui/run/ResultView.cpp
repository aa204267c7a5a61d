#include "ResultView.h"

#include "BarChartPainter.h"

#include "core/engine/FigureText.h"
#include "core/engine/ResultSummary.h"

#include <QPainter>

ResultView::ResultView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("rv"));
    setMinimumSize(760, 460);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

void ResultView::setSummary(const ResultSummary &s)
{
    m_fCorrect = s.fCorrect;
    m_fError = s.fError;
    m_fNoResponse = s.fNoResponse;
    m_correct = s.correct;
    m_error = s.incorrect;
    m_noResponse = s.noResponse;
    m_total = s.total;
    update();
}

QString ResultView::caption(int bar)
{
    switch (bar) {
    case 1: return tr("Percentage of Correct Answers");
    case 2: return tr("Percentage of Incorrect Answers");
    default: return tr("No Response");
    }
}

void ResultView::drawRect(QPainter &painter, const QSizeF &size) const
{
    painter.setRenderHint(QPainter::Antialiasing);
    BarChartPainter chart(painter, size, BarChartPainter::Margins{});
    const double w = chart.xAxis() / 6;
    chart.drawFloor(w, BarChartPainter::floorColour());
    const BarChartPainter::Faces yellow{QColor::fromRgbF(0.922f, 0.816f, 0.439f), QColor::fromRgbF(0.824f, 0.729f, 0.392f),
                                        QColor::fromRgbF(0.624f, 0.537f, 0.235f)};
    const struct
    {
        float fraction;
        int count;
        BarChartPainter::Faces faces;
    } bars[3] = {{m_fCorrect, m_correct, BarChartPainter::green()},
                 {m_fError, m_error, BarChartPainter::rose()},
                 {m_fNoResponse, m_noResponse, yellow}};
    for (int i = 1; i <= 3; ++i) {
        const auto &bar = bars[i - 1];
        const double x = chart.left() + (2 * i - 1) * w;
        const double h = qBound(0.0, double(bar.fraction), 1.0) * chart.yAxis();
        chart.drawBar(x, w, h, bar.faces);
        // Captions wrap within the bar's own slot, so neighbours never run into each other.
        chart.drawBelow(x + w / 2, 2 * w - 6, 10, caption(i), BarChartPainter::arial(18));
        chart.drawAbove(x, w, h, FigureText::barValue(bar.fraction, bar.count), BarChartPainter::arial(20));
    }
    painter.setFont(font());
    chart.drawAxis();
}

void ResultView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawRect(painter, size());
}
