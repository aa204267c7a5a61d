#include "ReportCardController.h"

#include "core/gradebook/ReportCardReport.h"

ReportCardController::ReportCardController(const QList<CourseGradeEntity> &courseGradeList,
                                           const QList<SelectStudents> &studentList, QWidget *parent)
    : ReportFrame(std::make_unique<ReportCardReport>(courseGradeList, studentList), QStringLiteral("ReportCard"),
                  parent)
{
}

ReportCardReport *ReportCardController::reportCardReport() const
{
    return static_cast<ReportCardReport *>(report());
}
