#include "AcademicSummaryReportView.h"

#include "GradebookReportDrawing.h"

#include "core/base/PrintfNumber.h"
#include "core/reports/ReportPainter.h"
#include "core/reports/ReportStyle.h"

#include <QCoreApplication>

AcademicSummaryReportView::AcademicSummaryReportView(const AcademicSummaryReportLayout &layout,
                                                     const QList<AcademicSummary> &rows, bool hasSignature)
    : m_layout(layout), m_rows(rows), m_signature(hasSignature)
{
}

void AcademicSummaryReportView::paint(ReportPainter &painter) const
{
    const double W = painter.width(), H = painter.height();
    painter.titleBand(QCoreApplication::translate("Report", "Report"));
    const double headingY = H - m_layout.headingDrop;
    drawGradebookColumnHeads(painter, m_layout.columns, headingY);

    int k = 0;
    while (k < m_rows.size() && !m_rows.at(k).hasMissedSession()) {
        const AcademicSummary &row = m_rows.at(k);
        ++k;
        drawGradebookColumnRow(painter, m_layout.columns,
                               {row.typeText(), PrintfNumber::fixed(row.averagePercent(), 1),
                                PrintfNumber::fixed(row.averageOfSessions(), 1)},
                               headingY - 25 * k);
    }

    const double y0 = H - m_layout.missedDrop - 25 * k;
    painter.cell(1, y0, W - 2, 31, ReportStyle::orange());
    painter.drawText(QCoreApplication::translate("Report", "Missed Session(s)"), 4, y0, ReportStyle::arial(22));
    const int missed = int(m_rows.size()) - k;
    for (int i = 1; i <= missed; ++i) {
        const AcademicSummary &row = m_rows.at(k + i - 1);
        drawGradebookColumnRow(painter, m_layout.missedColumns,
                               {QStringLiteral("%1:%2").arg(row.typeText(), row.missedSessions())}, y0 - 25 * i);
    }

    if (m_signature)
        drawGradebookSignature(painter, y0 - 25 * missed - m_layout.signatureDrop);
}
