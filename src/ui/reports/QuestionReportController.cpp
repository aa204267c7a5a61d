#include "QuestionReportController.h"

#include "core/reports/SessionQuestionReport.h"

QuestionReportController::QuestionReportController(const QuizEntity &quiz, const QList<SelectStudents> &studentList,
                                                   QWidget *parent)
    : ReportFrame(std::make_unique<SessionQuestionReport>(quiz, studentList), QStringLiteral("QuestionReport"), parent)
{
}

SessionQuestionReport *QuestionReportController::sessionQuestionReport() const
{
    return static_cast<SessionQuestionReport *>(report());
}
