#pragma once

#include "core/gradebook/StudentMarkGrade.h"
#include "ui/reports/ReportFrame.h"

#include <QList>

class ProgressiveReport;
class SessionSelectController;

// "ProgressiveReport": the Progressive Report of the students chosen in the course grade, a run
// of pages per student with the students listed beside the pages.
class ProgressiveReportController : public ReportFrame
{
    Q_OBJECT
public:
    // Reads the ticked sessions of grandParent (progress shown over parent).
    ProgressiveReportController(SessionSelectController *grandParent, const QList<StudentMarkGrade> &studentMarkGrade,
                                float classAvg, QWidget *parent = nullptr);

    ProgressiveReport *progressiveReport() const;
};
