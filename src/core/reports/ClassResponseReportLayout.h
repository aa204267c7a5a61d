#pragma once

// Where the Class Response Report's page view puts things (page-view units, from its bottom
// left). A variant of the view is a second instance, not a second class.
struct ClassResponseReportLayout
{
    int textSize = 18;
    // Question texts are wrapped at titleWidth, option texts at optionWidth.
    int titleWidth = 700;
    int optionWidth = 580;
    // The rows start right under the title bar (its height, 32), 25 apart.
    int titleBarDrop = 32;
    // The option's letter, and the texts of title lines and notes, at textX; option lines at
    // optionTextX; percentages and "--" end rightMargin before the view's right edge.
    int textX = 5;
    int optionTextX = 23;
    int rightMargin = 5;
    // An option line is shortened to leave room for the widest letter and percentage.
    const char *percentSample = "A.100.0%";
    // The correct option's line, in bold italic, is kept this much shorter still.
    int correctExtraMargin = 30;
    // Rows per page: (rowsBase - 25n) / 25 (no heading row under the title bar).
    int rowsBase = 714;

    static const ClassResponseReportLayout &standard();
};
