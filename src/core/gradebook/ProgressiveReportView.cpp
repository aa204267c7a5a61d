#include "ProgressiveReportView.h"

#include "GradebookReportDrawing.h"

#include "core/base/PrintfNumber.h"
#include "core/reports/ReportPainter.h"
#include "core/reports/ReportStyle.h"

#include <QCoreApplication>

ProgressiveReportView::ProgressiveReportView(const ProgressiveReportLayout &layout,
                                             const QList<PregressReportData> &rows, bool hasSignature)
    : m_layout(layout), m_rows(rows), m_signature(hasSignature)
{
}

void ProgressiveReportView::paint(ReportPainter &painter) const
{
    const double W = painter.width(), H = painter.height();
    painter.titleBand(QCoreApplication::translate("Report", "Report"));
    const double headingY = H - m_layout.headingDrop;
    drawGradebookColumnHeads(painter, m_layout.columns, headingY);

    int k = 0;
    while (k < m_rows.size() && m_rows.at(k).flag() != PregressReportData::MissedRow) {
        const PregressReportData &row = m_rows.at(k);
        ++k;
        drawGradebookColumnRow(painter, m_layout.columns,
                               {row.session(), row.sessionType(), row.point(), PrintfNumber::fixed(row.sessionAvg(), 1),
                                row.date()},
                               headingY - 25 * k);
    }

    const double y0 = H - m_layout.missedDrop - 25 * k;
    painter.cell(1, y0, W - 2, 31, ReportStyle::orange());
    painter.drawText(QCoreApplication::translate("Report", "Missed Session(s)"), 4, y0, ReportStyle::arial(22));
    drawGradebookColumnHeads(painter, m_layout.missedColumns, y0 - 25);
    const int missed = int(m_rows.size()) - k;
    for (int i = 1; i <= missed; ++i) {
        const PregressReportData &row = m_rows.at(k + i - 1);
        drawGradebookColumnRow(painter, m_layout.missedColumns, {row.session(), row.date()}, y0 - 25 - 25 * i);
    }

    if (m_signature)
        drawGradebookSignature(painter, y0 - 25 - 25 * missed - m_layout.signatureDrop);
}
