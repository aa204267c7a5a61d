#pragma once

#include "GradebookColumn.h"

#include <QList>

// Where the Course Grade Summary's page view puts things (page-view units, from its bottom left).
struct SubjectGradeSummaryLayout
{
    // Type, the student's average percent, its letter.
    QList<GradebookColumn> columns;
    int headingDrop = 57;
    // The signature cells stand at H - signatureDrop - 25 per row on the page.
    int signatureDrop = 157;
    int rowPerPage = 22;
    int signatureThreshold = 17;

    static const SubjectGradeSummaryLayout &standard();
};
