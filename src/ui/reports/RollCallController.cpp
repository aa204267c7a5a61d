#include "RollCallController.h"

#include "core/reports/AttendanceReport.h"

RollCallController::RollCallController(const QuizEntity &quiz, QWidget *parent)
    : ReportFrame(std::make_unique<AttendanceReport>(quiz), QStringLiteral("RollCall"), parent)
{
}

AttendanceReport *RollCallController::attendanceReport() const
{
    return static_cast<AttendanceReport *>(report());
}
