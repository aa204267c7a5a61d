#include "SubjectGradeSummaryController.h"

#include "SessionSelectController.h"

#include "core/gradebook/CourseGradeSummaryReport.h"

SubjectGradeSummaryController::SubjectGradeSummaryController(SessionSelectController *grandParent,
                                                             const QList<StudentMarkGrade> &studentMarkGrade,
                                                             QWidget *parent)
    : ReportFrame(std::make_unique<CourseGradeSummaryReport>(
                      grandParent ? grandParent->reportSource() : GradebookReportSource(),
                      grandParent ? grandParent->readTickedScores(parent) : TickedSessionScores(), studentMarkGrade),
                  QStringLiteral("AcademicSummary"), parent)
{
}

CourseGradeSummaryReport *SubjectGradeSummaryController::courseGradeSummaryReport() const
{
    return static_cast<CourseGradeSummaryReport *>(report());
}
