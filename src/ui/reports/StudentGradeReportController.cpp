#include "StudentGradeReportController.h"

#include "core/reports/StudentSessionReport.h"

StudentGradeReportController::StudentGradeReportController(const QuizEntity &quiz,
                                                           const QList<SelectStudents> &studentList, QWidget *parent)
    : ReportFrame(std::make_unique<StudentSessionReport>(quiz, studentList), QStringLiteral("StudentGradeReport"), parent)
{
}

StudentSessionReport *StudentGradeReportController::studentSessionReport() const
{
    return static_cast<StudentSessionReport *>(report());
}
