#include "StatisticsSubReportView.h"

#include "GradebookReportDrawing.h"
#include "HistogramColor.h"

#include "core/reports/ReportDrawing.h"
#include "core/reports/ReportPainter.h"
#include "core/reports/ReportStyle.h"

#include <QCoreApplication>

#include <algorithm>
#include <numeric>

StatisticsSubReportView::StatisticsSubReportView(const QStringList &stringArray, const QList<int> &countArray)
    : m_stringArray(stringArray), m_countArray(countArray)
{
}

void StatisticsSubReportView::paint(ReportPainter &painter) const
{
    const double w = painter.width(), h = painter.height();
    const int n = int(m_stringArray.size());
    painter.strokeRect(1, 1, w - 1, h - 1, 1, Qt::black);
    const double rh = (h - 10) / (n + 1);
    const QFont font = ReportStyle::arial(15);
    const int total = std::accumulate(m_countArray.begin(), m_countArray.end(), 0);
    int cw = textWidth(QString::number(total), font);
    for (int count : m_countArray)
        cw = std::max(cw, textWidth(QString::number(count), font));
    for (int i = 0; i < n; ++i) {
        painter.fillRect(2, h - i * rh - 10 * rh / 11, 10, 10, HistogramColor::forBar(i).colorFace());
        // A long letter stops short of its count.
        painter.drawText(getStringWithSuspensionPoint(m_stringArray.at(i), w - cw - 10 - 13 - 4, font), 13,
                         h - (i + 1) * rh, font);
        painter.drawText(QString::number(m_countArray.value(i)), w - cw - 10, h - (i + 1) * rh, font);
    }
    painter.drawText(QCoreApplication::translate("Report", "Total:"), 22, h - (n + 1) * rh, font);
    painter.drawText(QString::number(total), w - cw - 10, h - (n + 1) * rh, font);
}
