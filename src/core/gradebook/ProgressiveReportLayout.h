#pragma once

#include "GradebookColumn.h"

#include <QList>

// Where the Progressive Report's page view puts things (page-view units, from its bottom left).
struct ProgressiveReportLayout
{
    // Session, type, the student's percent, the session's average, the date.
    QList<GradebookColumn> columns;
    // Under "Missed Session(s)": the title and the date.
    QList<GradebookColumn> missedColumns;
    // The column heads stand this far below the view's top, each row 25 lower.
    int headingDrop = 57;
    // With k session rows on the page, the missed bar stands at H - missedDrop - 25k.
    int missedDrop = 107;
    // The signature cells stand this far below the line under the last missed row.
    int signatureDrop = 75;
    int rowPerPage = 22;
    // A last page holding more rows than this would push the signature off the page: it goes
    // to a page of its own.
    int signatureThreshold = 20;

    static const ProgressiveReportLayout &standard();
};
