#pragma once

#include "PersonalStandardsReportLayout.h"
#include "PersonalStandardsReportPrintDate.h"

#include <QList>

class ReportPainter;

// One page of the standards reports: the title bar, the headings and the page's rows: a
// student's heading, then each code with its title's lines and the correct percentage on one
// pale cell per run of code lines. A page without rows shows "There is no record.".
class PersonalStandardsReportView
{
public:
    PersonalStandardsReportView(const PersonalStandardsReportLayout &layout,
                                const QList<PersonalStandardsReportPrintDate> &rows);

    void paint(ReportPainter &painter) const;
    // The percentage as pages and CSV files show it: correct x 100 with one decimal.
    static QString percent(float correct);

private:
    const PersonalStandardsReportLayout &m_layout;
    QList<PersonalStandardsReportPrintDate> m_rows;
};
