#pragma once

#include "GroupStudentReportLayout.h"
#include "GroupStudentReportPrintDate.h"

#include <QList>

class ReportPainter;

// One page of the Group Student Report: the title bar and the page's rows; the members lie on
// one pale cell that runs from the page's first member to its last row.
class GroupStudentReportView
{
public:
    GroupStudentReportView(const GroupStudentReportLayout &layout, const QList<GroupStudentReportPrintDate> &rows);

    void paint(ReportPainter &painter) const;

private:
    const GroupStudentReportLayout &m_layout;
    QList<GroupStudentReportPrintDate> m_rows;
};
