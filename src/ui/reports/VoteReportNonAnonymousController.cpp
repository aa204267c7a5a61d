#include "VoteReportNonAnonymousController.h"

#include "core/reports/VoteReportNonAnonymous.h"

VoteReportNonAnonymousController::VoteReportNonAnonymousController(const QuizEntity &quiz, QWidget *parent)
    : ReportFrame(std::make_unique<VoteReportNonAnonymous>(quiz), QStringLiteral("VoteReport"), parent)
{
}

VoteReportNonAnonymous *VoteReportNonAnonymousController::voteReportNonAnonymous() const
{
    return static_cast<VoteReportNonAnonymous *>(report());
}
