#pragma once

// Where the Absentee Report's page view puts things (page-view units, from its bottom left). A
// variant of the view is a second instance, not a second class.
struct AbsenteeReportLayout
{
    // The heading band (H - headingDrop, headingHeight high) with its captions at
    // H - headingTextDrop in Arial headingSize: the ID's at idX, the name's at nameX.
    int headingDrop = 63;
    int headingHeight = 31;
    int headingTextDrop = 58;
    int headingSize = 22;
    int idX = 134;
    int nameX = 492;
    // Row i: a cell at H - firstRowDrop - 25 i, cellHeight high, its texts on the cell's bottom,
    // centred under the captions.
    int firstRowDrop = 82;
    int cellHeight = 24;
    int textSize = 18;
    // Rows per page: (rowsBase - 25n) / 25.
    int rowsBase = 689;

    static const AbsenteeReportLayout &standard();
};
