#include "SubjectGradeSummaryView.h"

#include "CourseGradeCalculator.h"
#include "GradebookReportDrawing.h"

#include "core/base/PrintfNumber.h"
#include "core/reports/ReportPainter.h"

#include <QCoreApplication>

SubjectGradeSummaryView::SubjectGradeSummaryView(const SubjectGradeSummaryLayout &layout,
                                                 const QList<AcademicSummary> &rows,
                                                 const QList<ConversionLetter> &letters, bool hasSignature,
                                                 float totalPoint, const QString &totalLetter)
    : m_layout(layout), m_rows(rows), m_letters(letters), m_signature(hasSignature), m_totalPoint(totalPoint),
      m_totalLetter(totalLetter)
{
}

void SubjectGradeSummaryView::paint(ReportPainter &painter) const
{
    const double H = painter.height();
    painter.titleBand(QCoreApplication::translate("Report", "Report"));
    const double headingY = H - m_layout.headingDrop;
    drawGradebookColumnHeads(painter, m_layout.columns, headingY);
    int k = 0;
    for (const AcademicSummary &row : m_rows) {
        ++k;
        const float average = row.averagePercent();
        drawGradebookColumnRow(painter, m_layout.columns,
                               {row.typeText(), PrintfNumber::fixed(average, 1),
                                CourseGradeCalculator::letterFor(average, m_letters)},
                               headingY - 25 * k);
    }
    drawGradebookColumnRow(painter, m_layout.columns,
                           {QCoreApplication::translate("Report", "Final"), PrintfNumber::fixed(m_totalPoint, 1),
                            m_totalLetter},
                           headingY - 25 * (k + 1));
    if (m_signature)
        drawGradebookSignature(painter, H - m_layout.signatureDrop - 25 * k);
}
