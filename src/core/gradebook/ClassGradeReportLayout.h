#pragma once

#include "GradebookColumn.h"

#include <QList>
#include <QRectF>

// Where the Class Grade Report's pages put things (page-view units, from the view's bottom
// left): the row pages and the statistics page share the title bar and the column heads.
struct ClassGradeReportLayout
{
    // Student, total points, letter.
    QList<GradebookColumn> columns;
    int headingDrop = 57;
    int rowPerPage = 16;
    // On the statistics page: the chart, and the legend's place (its height grows with the
    // letters: legendHeight for up to legendLetters letters, else 22 per letter and 40).
    QRectF chartFrame{25, 25, 575, 400};
    QRectF legendFrame{600, 80, 135, 150};
    int legendLetters = 5;
    // The weight list and the letter scale in the head wrap at this width, into at most
    // headLines lines together, so that they stay inside the head.
    double headTextWidth = 700;
    int headLines = 5;

    double legendHeight(int letters) const
    {
        return letters <= legendLetters ? legendFrame.height() : 22.0 * letters + 40;
    }

    static const ClassGradeReportLayout &standard();
};
