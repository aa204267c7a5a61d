#include "QuestionReportDravelController.h"

#include "core/reports/SessionQuestionReport.h"

QuestionReportDravelController::QuestionReportDravelController(const QuizEntity &quiz,
                                                               const QList<SelectStudents> &studentList,
                                                               QWidget *parent)
    : ReportFrame(std::make_unique<SessionQuestionReport>(quiz, studentList, ReportFramePolicy::dravelFrame(),
                                                          QuestionReportLayout::dravel()),
                  QStringLiteral("QuestionReport"), parent)
{
}

SessionQuestionReport *QuestionReportDravelController::sessionQuestionReport() const
{
    return static_cast<SessionQuestionReport *>(report());
}
