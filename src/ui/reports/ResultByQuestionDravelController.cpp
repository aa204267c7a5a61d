#include "ResultByQuestionDravelController.h"

#include "core/reports/ResultByQuestionReport.h"

ResultByQuestionDravelController::ResultByQuestionDravelController(const QuizEntity &quiz,
                                                                   const QList<SelectStudents> &studentList, int flag,
                                                                   QWidget *parent)
    : ReportFrame(std::make_unique<ResultByQuestionReport>(
                      quiz, studentList, flag == 1 ? 1 : 0, ReportFramePolicy::dravelFrame(),
                      flag == 1 ? ResultByQuestionLayout::scores() : ResultByQuestionLayout::answerDetailDravel()),
                  QStringLiteral("ResultByQuestion"), parent)
{
}

ResultByQuestionReport *ResultByQuestionDravelController::resultByQuestion() const
{
    return static_cast<ResultByQuestionReport *>(report());
}
