#include "ResultByQuestionInGroupModeController.h"

#include "core/reports/ResultByQuestionInGroupModeReport.h"

ResultByQuestionInGroupModeController::ResultByQuestionInGroupModeController(const QuizEntity &quiz, QWidget *parent)
    : ReportFrame(std::make_unique<ResultByQuestionInGroupModeReport>(quiz), QStringLiteral("ResultByQuestionInGroupMode"), parent)
{
}

ResultByQuestionInGroupModeReport *ResultByQuestionInGroupModeController::resultByQuestionInGroupModeReport() const
{
    return static_cast<ResultByQuestionInGroupModeReport *>(report());
}
