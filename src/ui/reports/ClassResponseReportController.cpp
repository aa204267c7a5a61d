#include "ClassResponseReportController.h"

#include "core/reports/ClassResponseReport.h"

ClassResponseReportController::ClassResponseReportController(const QuizEntity &quiz, QWidget *parent)
    : ReportFrame(std::make_unique<ClassResponseReport>(quiz), QStringLiteral("ClassResponseReport"), parent)
{
}

ClassResponseReport *ClassResponseReportController::classResponseReport() const
{
    return static_cast<ClassResponseReport *>(report());
}
