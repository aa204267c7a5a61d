#include "ClassGradeReportView.h"

#include "CourseGradeCalculator.h"
#include "GradebookReportDrawing.h"

#include "core/base/PrintfNumber.h"
#include "core/reports/ReportPainter.h"

#include <QCoreApplication>

ClassGradeReportView::ClassGradeReportView(const ClassGradeReportLayout &layout,
                                           const QList<StudentMarkGrade> &printArray,
                                           const QList<ConversionLetter> &letterGradeArray)
    : m_layout(layout), m_printArray(printArray), m_letterGradeArray(letterGradeArray)
{
}

void ClassGradeReportView::paintHeading(ReportPainter &painter, const ClassGradeReportLayout &layout)
{
    painter.titleBand(QCoreApplication::translate("Report", "Report"));
    drawGradebookColumnHeads(painter, layout.columns, painter.height() - layout.headingDrop);
}

void ClassGradeReportView::paint(ReportPainter &painter) const
{
    paintHeading(painter, m_layout);
    const double headingY = painter.height() - m_layout.headingDrop;
    for (int k = 1; k <= m_printArray.size(); ++k) {
        const StudentMarkGrade &row = m_printArray.at(k - 1);
        drawGradebookColumnRow(painter, m_layout.columns,
                               {row.studentName(), PrintfNumber::fixed(row.total(), 1),
                                CourseGradeCalculator::letterOfRow(row, m_letterGradeArray)},
                               headingY - 25 * k);
    }
}
