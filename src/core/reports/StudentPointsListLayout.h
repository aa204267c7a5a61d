#pragma once

#include <QColor>

// Where the Student Points List's page view puts things (page-view units, from its bottom left).
// A variant of the view is a second instance, not a second class.
struct StudentPointsListLayout
{
    // The heading row over the view's top, and its captions' size and drop below the top.
    QColor headingColour;
    int headingDrop = 32;
    int headingHeight = 31;
    int captionSize = 22;
    int captionDrop = 29;
    // The captions' x; each value is centred under its caption's width.
    int nameX = 86;
    int pointsX = 313;
    // A name wider than this is shortened with "...", so that it stays clear of the points.
    int nameWidth = 290;
    // Row i at firstRowDrop + 25 i below the top, its cell cellHeight high.
    int firstRowDrop = 57;
    int cellHeight = 24;
    int textSize = 18;
    // Rows per page: (rowsBase - 25n) / 25.
    int rowsBase = 689;

    static const StudentPointsListLayout &standard();
};
