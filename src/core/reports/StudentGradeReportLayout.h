#pragma once

#include <QList>

// Where the Student Session Report's page view puts things (page-view units, from its bottom
// left). A variant of the view is a second instance, not a second class.
struct StudentGradeReportLayout
{
    struct Column
    {
        const char *caption; // translated when drawn
        int cellX;
        int cellWidth;
        int captionX;
        // Values left-aligned at captionX, or centred in centreWidth from captionX.
        bool centred;
        int centreWidth;
    };
    QList<Column> columns;
    // The heading row's cells stand this far below the view's top; each row 25 lower.
    int headingDrop = 57;
    int cellHeight = 24;
    int textSize = 18;
    // Names longer than this many characters are cut and end in "...".
    int nameLimit = 20;
    // Rows per page: (rowsBase - 25n) / 25.
    int rowsBase = 689;

    static const StudentGradeReportLayout &standard();
};
