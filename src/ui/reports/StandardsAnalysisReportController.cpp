#include "StandardsAnalysisReportController.h"

#include "core/reports/StandardsAnalysisReport.h"

StandardsAnalysisReportController::StandardsAnalysisReportController(const QuizEntity &quiz, QWidget *parent)
    : ReportFrame(std::make_unique<StandardsAnalysisReport>(quiz), QStringLiteral("AbsenteeReport"), parent)
{
}

StandardsAnalysisReport *StandardsAnalysisReportController::standardsAnalysisReport() const
{
    return static_cast<StandardsAnalysisReport *>(report());
}
