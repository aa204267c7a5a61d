#include "ProgressiveReportController.h"

#include "SessionSelectController.h"

#include "core/gradebook/ProgressiveReport.h"

ProgressiveReportController::ProgressiveReportController(SessionSelectController *grandParent,
                                                         const QList<StudentMarkGrade> &studentMarkGrade,
                                                         float classAvg, QWidget *parent)
    : ReportFrame(std::make_unique<ProgressiveReport>(
                      grandParent ? grandParent->reportSource() : GradebookReportSource(),
                      grandParent ? grandParent->readTickedScores(parent) : TickedSessionScores(), studentMarkGrade,
                      classAvg),
                  QStringLiteral("ProgressiveReport"), parent)
{
}

ProgressiveReport *ProgressiveReportController::progressiveReport() const
{
    return static_cast<ProgressiveReport *>(report());
}
