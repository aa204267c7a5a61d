#include "AcademicSummaryController.h"

#include "SessionSelectController.h"

#include "core/gradebook/AcademicSummaryReport.h"

AcademicSummaryController::AcademicSummaryController(SessionSelectController *grandParent,
                                                     const QList<StudentMarkGrade> &studentMarkGrade, float classAvg,
                                                     QWidget *parent)
    : ReportFrame(std::make_unique<AcademicSummaryReport>(
                      grandParent ? grandParent->reportSource() : GradebookReportSource(),
                      grandParent ? grandParent->readTickedScores(parent) : TickedSessionScores(), studentMarkGrade,
                      classAvg),
                  QStringLiteral("AcademicSummary"), parent)
{
}

AcademicSummaryReport *AcademicSummaryController::academicSummaryReport() const
{
    return static_cast<AcademicSummaryReport *>(report());
}
