#pragma once

#include "core/gradebook/StudentMarkGrade.h"
#include "ui/reports/ReportFrame.h"

#include <QList>

class AcademicSummaryReport;
class SessionSelectController;

// "AcademicSummary": the Academic Summary Report of the students chosen in the course grade, a
// run of pages per student with the students listed beside the pages.
class AcademicSummaryController : public ReportFrame
{
    Q_OBJECT
public:
    // Reads the ticked sessions of grandParent (progress shown over parent).
    AcademicSummaryController(SessionSelectController *grandParent, const QList<StudentMarkGrade> &studentMarkGrade,
                              float classAvg, QWidget *parent = nullptr);

    AcademicSummaryReport *academicSummaryReport() const;
};
