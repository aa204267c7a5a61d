#pragma once

#include "GradebookColumn.h"

#include <QList>

// Where the Academic Summary Report's page view puts things (page-view units, from its bottom
// left).
struct AcademicSummaryReportLayout
{
    // Type, the student's points, the sessions' average.
    QList<GradebookColumn> columns;
    // A missed row: one cell across the view.
    QList<GradebookColumn> missedColumns;
    int headingDrop = 57;
    // With k type rows on the page, the missed bar stands at H - missedDrop - 25k.
    int missedDrop = 107;
    // The signature cells stand this far below the missed bar less 25 per missed row.
    int signatureDrop = 100;
    int rowPerPage = 22;
    int signatureThreshold = 17;

    static const AcademicSummaryReportLayout &standard();
};
