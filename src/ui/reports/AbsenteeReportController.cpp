#include "AbsenteeReportController.h"

#include "core/reports/AbsenteeReport.h"

AbsenteeReportController::AbsenteeReportController(const QuizEntity &quiz, QWidget *parent)
    : ReportFrame(std::make_unique<AbsenteeReport>(quiz), QStringLiteral("AbsenteeReport"), parent)
{
}

AbsenteeReport *AbsenteeReportController::absenteeReport() const
{
    return static_cast<AbsenteeReport *>(report());
}
