#pragma once

#include <QList>

// Where the Group Result's page view puts things (page-view units, from its bottom left). A
// variant of the view is a second instance, not a second class.
struct GroupResultLayout
{
    struct Column
    {
        const char *caption; // translated when drawn
        int x;
        int width;
    };
    // Group number, points, extra points, total; values centred in their cells.
    QList<Column> columns;
    // The heading cells stand this far below the view's top; row i 25 (i + 1) lower.
    int headingDrop = 59;
    int cellHeight = 25;
    // Texts stand this far above their cell's bottom.
    int textLift = 3;
    int textSize = 18;
    // Rows per page: (rowsBase - 25n) / 25.
    int rowsBase = 689;

    static const GroupResultLayout &standard();
};
