#include "VoteReportController.h"

#include "core/reports/VoteReport.h"

VoteReportController::VoteReportController(const QuizEntity &quiz, QWidget *parent)
    : ReportFrame(std::make_unique<VoteReport>(quiz), QStringLiteral("VoteReport"), parent)
{
}

VoteReport *VoteReportController::voteReport() const
{
    return static_cast<VoteReport *>(report());
}
