#include "CorrectRateStatisticsByAnswerTimeController.h"

#include "core/reports/CorrectRateStatistics.h"

CorrectRateStatisticsByAnswerTimeController::CorrectRateStatisticsByAnswerTimeController(
    const QuizEntity &quiz, const QList<SelectStudents> &studentList, QWidget *parent)
    : ReportFrame(std::make_unique<CorrectRateStatistics>(quiz, studentList),
                  QStringLiteral("CorrectRateStatisticsByAnswerTime"), parent)
{
}

CorrectRateStatistics *CorrectRateStatisticsByAnswerTimeController::correctRateStatistics() const
{
    return static_cast<CorrectRateStatistics *>(report());
}
