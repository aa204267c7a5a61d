#pragma once

#include "PregressReportData.h"
#include "ProgressiveReportLayout.h"

#include <QList>

class ReportPainter;

// One page of a student's Progressive Report: the page's session rows under their column heads,
// then the "Missed Session(s)" bar with the page's missed rows (bar and heads also when there are
// none), and on the student's last page the signature block.
class ProgressiveReportView
{
public:
    ProgressiveReportView(const ProgressiveReportLayout &layout, const QList<PregressReportData> &rows,
                          bool hasSignature);

    void paint(ReportPainter &painter) const;

private:
    const ProgressiveReportLayout &m_layout;
    QList<PregressReportData> m_rows;
    bool m_signature;
};
