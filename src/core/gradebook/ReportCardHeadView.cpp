#include "ReportCardHeadView.h"

#include "GradebookReportDrawing.h"

#include "core/reports/ReportPainter.h"

void ReportCardHeadView::paint(ReportPainter &painter) const
{
    const double h = painter.height();
    drawGradebookHeadBox(painter, 57);
    drawGradebookHeadTitle(painter, m_title);
    drawGradebookHeadField(painter, "Student:", m_studentName, 153, 160, h - 90);
    drawGradebookHeadField(painter, "Grading Period:", m_gradingPeriod, 153, 160, h - 130);
}
