#include "ClassGradeReportController.h"

#include "CreateSubjectGradeReportController.h"
#include "SessionSelectController.h"

#include "core/gradebook/ClassGradeReport.h"

ClassGradeReportController::ClassGradeReportController(SessionSelectController *grandParent,
                                                       const StudentMarkGrade &studentMarkGrade, float classAvg,
                                                       CreateSubjectGradeReportController *fatherController)
    : ReportFrame(std::make_unique<ClassGradeReport>(
                      grandParent ? grandParent->reportSource() : GradebookReportSource(),
                      fatherController ? fatherController->tableLeftArray() : QList<StudentMarkGrade>(), classAvg),
                  QStringLiteral("ClassGradeReport"), fatherController),
      m_studentMarkGrade(studentMarkGrade)
{
}

ClassGradeReport *ClassGradeReportController::classGradeReport() const
{
    return static_cast<ClassGradeReport *>(report());
}
