#pragma once

#include "core/reports/SelectStudents.h"
#include "core/store/CourseGradeEntity.h"
#include "ui/reports/ReportFrame.h"

#include <QList>

class ReportCardReport;

// "ReportCard": a page per ticked student with the student's course grades of the period, the
// cards listed beside the pages.
class ReportCardController : public ReportFrame
{
    Q_OBJECT
public:
    ReportCardController(const QList<CourseGradeEntity> &courseGradeList, const QList<SelectStudents> &studentList,
                         QWidget *parent = nullptr);

    ReportCardReport *reportCardReport() const;
};
