#pragma once

#include "core/gradebook/StudentMarkGrade.h"
#include "ui/reports/ReportFrame.h"

class ClassGradeReport;
class CreateSubjectGradeReportController;
class SessionSelectController;

// "ClassGradeReport": every student of the course grade, 16 to a page under one head, and the
// letters' statistics on the last page; pages 1130 high.
class ClassGradeReportController : public ReportFrame
{
    Q_OBJECT
public:
    // The students are fatherController's grid; studentMarkGrade (the first one chosen) is kept.
    ClassGradeReportController(SessionSelectController *grandParent, const StudentMarkGrade &studentMarkGrade,
                               float classAvg, CreateSubjectGradeReportController *fatherController);

    ClassGradeReport *classGradeReport() const;
    const StudentMarkGrade &studentMarkGrade() const { return m_studentMarkGrade; }

private:
    StudentMarkGrade m_studentMarkGrade;
};
