#include "SubjectGradeSummaryHeadView.h"

#include "GradebookReportDrawing.h"

#include "core/reports/ReportPainter.h"

void SubjectGradeSummaryHeadView::paint(ReportPainter &painter) const
{
    const double h = painter.height();
    drawGradebookHeadBox(painter, 82);
    drawGradebookHeadTitle(painter, m_title, m_subjectGrade);
    drawGradebookHeadFieldPair(painter, "Student:", m_studentName, "Student ID:", m_studentId, h - 120);
    drawGradebookHeadFieldPair(painter, "Class:", m_className, "Subject:", m_subjectName, h - 160);
    drawGradebookHeadFieldPair(painter, "Teacher:", m_teacherName, "Grading Period:", m_gradingPeriod, h - 200);
}
