#pragma once

#include "AcademicSummary.h"
#include "AcademicSummaryReportLayout.h"

#include <QList>

class ReportPainter;

// One page of a student's Academic Summary Report: the page's type rows under their column
// heads, the "Missed Session(s)" bar (also when there are none) with the page's missed rows, and
// on the student's last page the signature block.
class AcademicSummaryReportView
{
public:
    AcademicSummaryReportView(const AcademicSummaryReportLayout &layout, const QList<AcademicSummary> &rows,
                              bool hasSignature);

    void paint(ReportPainter &painter) const;

private:
    const AcademicSummaryReportLayout &m_layout;
    QList<AcademicSummary> m_rows;
    bool m_signature;
};
