#pragma once

// Where the standards reports' page view puts things (page-view units, from its bottom left).
// The personal report and the class-wide analysis differ only here.
struct PersonalStandardsReportLayout
{
    // "REPORT" on the title bar in bold Arial 22, or plain.
    bool boldTitle = true;
    // The heading band (H - headingDrop, headingHeight high) with its captions at
    // H - headingTextDrop: "Code" at codeX, "Standard" at standardX, "Correct(%)" at correctX.
    int headingDrop = 63;
    int headingHeight = 31;
    int headingTextDrop = 58;
    int codeX = 47;
    int standardX = 148;
    int correctX = 636;
    // Row i's texts stand on H - firstRowDrop - 25 i.
    int firstRowDrop = 89;
    int textSize = 18;
    // A standard's title is wrapped at this width, one row per line.
    double titleWidth = 454;
    // Rows per page: (rowsBase - 25n) / 25.
    int rowsBase = 689;

    static const PersonalStandardsReportLayout &standard();
    static const PersonalStandardsReportLayout &analysis();
};
