#include "ResultByQuestionController.h"

#include "core/reports/ResultByQuestionReport.h"

ResultByQuestionController::ResultByQuestionController(const QuizEntity &quiz, const QList<SelectStudents> &studentList,
                                                       int flag, QWidget *parent)
    : ReportFrame(std::make_unique<ResultByQuestionReport>(quiz, studentList, flag), QStringLiteral("ResultByQuestion"),
                  parent)
{
}

ResultByQuestionReport *ResultByQuestionController::resultByQuestion() const
{
    return static_cast<ResultByQuestionReport *>(report());
}
