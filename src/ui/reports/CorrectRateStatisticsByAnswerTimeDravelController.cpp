#include "CorrectRateStatisticsByAnswerTimeDravelController.h"

#include "core/reports/CorrectRateStatistics.h"

CorrectRateStatisticsByAnswerTimeDravelController::CorrectRateStatisticsByAnswerTimeDravelController(
    const QuizEntity &quiz, const QList<SelectStudents> &studentList, QWidget *parent)
    : ReportFrame(std::make_unique<CorrectRateStatistics>(quiz, studentList, ReportFramePolicy::dravelFrame(),
                                                          CorrectRateStatisticsByAnswerTimeLayout::dravel()),
                  QStringLiteral("CorrectRateStatisticsByAnswerTime"), parent)
{
}

CorrectRateStatistics *CorrectRateStatisticsByAnswerTimeDravelController::correctRateStatistics() const
{
    return static_cast<CorrectRateStatistics *>(report());
}
