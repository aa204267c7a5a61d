#include "GroupStudentReportController.h"

#include "core/reports/GroupStudentReport.h"

GroupStudentReportController::GroupStudentReportController(const QuizEntity &quiz, QWidget *parent)
    : ReportFrame(std::make_unique<GroupStudentReport>(quiz), QStringLiteral("GroupStudentReport"), parent)
{
}

GroupStudentReport *GroupStudentReportController::groupStudentReport() const
{
    return static_cast<GroupStudentReport *>(report());
}
