#include "ResultOfEliminationReportController.h"

#include "core/reports/ResultOfEliminationReport.h"

ResultOfEliminationReportController::ResultOfEliminationReportController(const QuizEntity &quiz,
                                                                         const QList<SelectStudents> &studentList,
                                                                         int flag, QWidget *parent)
    : ReportFrame(std::make_unique<ResultOfEliminationReport>(quiz, studentList, flag),
                  QStringLiteral("ResultOfElimination"), parent)
{
}

ResultOfEliminationReport *ResultOfEliminationReportController::resultOfElimination() const
{
    return static_cast<ResultOfEliminationReport *>(report());
}
