#include "HistogramView.h"

#include "BarChartPainter.h"

#include "core/engine/FigureText.h"
#include "core/engine/OptionHistogram.h"
#include "platform/Log.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {

// The largest pixel size up to `nominal` at which every text fits `width`.
int fittingSize(const QStringList &texts, double width, int nominal)
{
    for (int size = nominal; size > 8; --size) {
        const QFontMetricsF fm(BarChartPainter::arial(size));
        bool fits = true;
        for (const QString &t : texts)
            for (const QString &line : t.split(QLatin1Char('\n')))
                fits = fits && fm.horizontalAdvance(line) <= width;
        if (fits)
            return size;
    }
    return 8;
}

} // namespace

HistogramView::HistogramView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("hv"));
    setMinimumSize(760, 460);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

void HistogramView::setHistogramData(int n, const QList<double> &percent)
{
    m_n = qBound(0, n, OptionHistogram::MaxOptions);
    m_percent = percent;
    update();
}

void HistogramView::setHistogramData2(const QList<int> &counts)
{
    m_counts = counts;
    for (int i = 0; i < m_counts.size(); ++i) {
        const double fraction = i < m_percent.size() ? m_percent.at(i) : 0.0;
        if (i == m_n)
            PollixLogf("Other : %f\n", fraction);
        else if (i + 1 == m_correct)
            PollixLogf("correct Option%c : %f\n", 'A' + i, fraction);
        else
            PollixLogf("Option%c : %f\n", 'A' + i, fraction);
    }
    update();
}

void HistogramView::setOptionsText(const QStringList &texts)
{
    m_texts = texts;
    update();
}

void HistogramView::setCorrectAnswer(const QString &answer)
{
    if (answer.isEmpty())
        return;
    m_correct = OptionHistogram::correctBarOf(answer, m_n);
    update();
}

QString HistogramView::shortened(const QString &text)
{
    return text.size() > 15 ? QStringLiteral("%1....").arg(text.left(15)) : text;
}

void HistogramView::drawRect(QPainter &painter, const QSizeF &size) const
{
    painter.setRenderHint(QPainter::Antialiasing);
    BarChartPainter::Margins margins;
    margins.bottom = 70;
    BarChartPainter chart(painter, size, margins);
    painter.setFont(font());
    const int n = m_n;
    const double w = chart.xAxis() / (2 * n + 2);
    chart.drawFloor(w, BarChartPainter::floorColour());

    // The counts must cover every bar; without them there is nothing to show.
    if (m_counts.size() == n + 1) {
        QStringList letters, values;
        QList<double> fractions;
        for (int k = 0; k <= n; ++k) {
            letters << (k == n ? QStringLiteral("Others") : QString(QChar(u'A' + k)));
            // "Others" takes what the options leave; with nobody in it, no float remainder shows.
            double fraction = k < m_percent.size() ? m_percent.at(k) : 0.0;
            if (k == n && m_counts.at(n) == 0)
                fraction = 0;
            fractions << qBound(0.0, fraction, 1.0);
            values << FigureText::barValue(fractions.last(), m_counts.at(k));
        }
        // Many options make narrow bars: the texts shrink until neighbours no longer touch.
        const QFont letterFont = BarChartPainter::arial(fittingSize(letters, 2 * w - 4, 30));
        const QFont valueFont = BarChartPainter::arial(fittingSize(values, 2 * w - 4, 20));
        const QFont textFont = BarChartPainter::arial(10);
        for (int i = 1; i <= n + 1; ++i) {
            const int k = i - 1;
            const double x = chart.left() + (2 * i - 1) * w;
            const double h = fractions.at(k) * chart.yAxis();
            chart.drawBar(x, w, h, i == m_correct ? BarChartPainter::green() : BarChartPainter::rose());
            const double letterBottom = chart.drawBelow(x + w / 2, 2 * w, 10, letters.at(k), letterFont);
            if (k < n) {
                const double xt = std::trunc(chart.left() + BarChartPainter::kLineWidth / 2 + (2 * k + 1) * w);
                chart.drawBoxed(xt, letterBottom - 30, w, 33, shortened(m_texts.value(k)), textFont);
            }
            chart.drawAbove(x, w, h, values.at(k), valueFont);
        }
    }
    painter.setFont(font());
    chart.drawAxis();
}

void HistogramView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawRect(painter, size());
}
