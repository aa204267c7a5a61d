#pragma once

// Where the Group Student Report's page view puts things (page-view units, from its bottom
// left). A variant of the view is a second instance, not a second class.
struct GroupStudentReportLayout
{
    // Row i of a page fills the strip from H - firstRowDrop - 25 i, rowHeight high; its texts
    // stand textLift above the strip's bottom.
    int firstRowDrop = 59;
    int rowHeight = 25;
    int textLift = 3;
    int textSize = 18;
    // A group's title starts at titleX; the member's name and points are centred under the
    // column heads standing at studentX and pointsX.
    int titleX = 1;
    int studentX = 150;
    int pointsX = 542;
    // Rows per page: (rowsBase - 25n) / 25.
    int rowsBase = 689;

    static const GroupStudentReportLayout &standard();
};
