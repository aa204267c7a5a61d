#include "ResultOfEliminationReportDravelController.h"

#include "core/reports/ResultOfEliminationReport.h"

ResultOfEliminationReportDravelController::ResultOfEliminationReportDravelController(
    const QuizEntity &quiz, const QList<SelectStudents> &studentList, int flag, QWidget *parent)
    : ReportFrame(std::make_unique<ResultOfEliminationReport>(quiz, studentList, flag, ReportFramePolicy::dravelFrame(),
                                                              ResultOfEliminationLayout::dravel()),
                  QStringLiteral("ResultOfElimination"), parent)
{
}

ResultOfEliminationReport *ResultOfEliminationReportDravelController::resultOfElimination() const
{
    return static_cast<ResultOfEliminationReport *>(report());
}
