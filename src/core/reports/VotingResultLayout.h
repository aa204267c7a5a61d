#pragma once

// Where a vote report's page view puts things (page-view units, from its bottom left), and the
// widths its rows are fitted to. A variant of the view is a second instance, not a second class.
struct VotingResultLayout
{
    // Titles are wrapped, option texts shortened, as measured in this size.
    int measureSize = 20;
    int titleWidth = 540;
    int optionWidth = 570;
    // The title bar's caption.
    int captionSize = 22;
    bool captionBold = false;
    // Row i stands firstRowDrop + 25 i below the view's top.
    int firstRowDrop = 57;
    int textSize = 18;
    int textX = 5;
    // "Total" on a title's first line, "Count" in the heading (the counts centred under it);
    // the attendants and the percentages end rightMargin before the view's right edge.
    int totalX = 590;
    int countX = 586;
    int rightMargin = 15;
    // Rows per page: (rowsBase - 25n) / 25.
    int rowsBase = 689;

    static const VotingResultLayout &standard();
};
