#pragma once

#include "AbsenteeReportLayout.h"
#include "StudentGradeReport.h"

#include <QList>

class ReportPainter;

// One page of the Absentee Report: the "Absentee List" bar, the headings and the page's
// students; a report without absentees shows "There is no record." on its one page.
class AbsenteeReportView
{
public:
    AbsenteeReportView(const AbsenteeReportLayout &layout, const QList<StudentGradeReport> &rows);

    void paint(ReportPainter &painter) const;

private:
    const AbsenteeReportLayout &m_layout;
    QList<StudentGradeReport> m_rows;
};
