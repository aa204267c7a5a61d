#include "ResultByQuestionInGroupModeDravelController.h"

#include "core/reports/ResultByQuestionInGroupModeReport.h"

ResultByQuestionInGroupModeDravelController::ResultByQuestionInGroupModeDravelController(const QuizEntity &quiz,
                                                                                         QWidget *parent)
    : ReportFrame(std::make_unique<ResultByQuestionInGroupModeReport>(
                      quiz, ReportFramePolicy::windowFrameBackToShown(ReportFramePolicy::CsvHead::Session),
                      ResultByQuestionInGroupModeLayout::dravel()),
                  QStringLiteral("ResultByQuestionInGroupMode"), parent)
{
}

ResultByQuestionInGroupModeReport *
ResultByQuestionInGroupModeDravelController::resultByQuestionInGroupModeReport() const
{
    return static_cast<ResultByQuestionInGroupModeReport *>(report());
}
