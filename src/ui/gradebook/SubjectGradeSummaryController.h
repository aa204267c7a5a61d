#pragma once

#include "core/gradebook/StudentMarkGrade.h"
#include "ui/reports/ReportFrame.h"

#include <QList>

class CourseGradeSummaryReport;
class SessionSelectController;

// The Course Grade Summary of the students chosen in the course grade (in the window of the
// academic summary, "AcademicSummary"): a run of pages per student with the students listed
// beside the pages; its PDF holds the page shown.
class SubjectGradeSummaryController : public ReportFrame
{
    Q_OBJECT
public:
    // Reads the ticked sessions of grandParent (progress shown over parent).
    SubjectGradeSummaryController(SessionSelectController *grandParent,
                                  const QList<StudentMarkGrade> &studentMarkGrade, QWidget *parent = nullptr);

    CourseGradeSummaryReport *courseGradeSummaryReport() const;
};
