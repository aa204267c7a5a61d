#pragma once

// Where the Response Spread Report's page view puts things (page-view units, from its bottom
// left). A variant of the view is a second instance, not a second class.
struct ItemAnalysisLayout
{
    int textSize = 18;
    // The note in the title bar: its size and how far below the view's top it stands.
    int noteSize = 15;
    int noteDrop = 27;
    int headingDrop = 57;
    int cellHeight = 24;
    // The question number's cell, and the width its text is centred in from centreX.
    int numberX = 1, numberWidth = 61, numberCentreX = 0, numberCentreWidth = 62;
    // Letter j's cell at firstLetterX + letterStep * j, its text centred in letterCentreWidth.
    int firstLetterX = 62, letterStep = 61, letterWidth = 61, letterCentreWidth = 62;
    int otherX = 672, otherWidth = 71;
    // Rows per page: (rowsBase - 25n) / 25.
    int rowsBase = 689;

    static const ItemAnalysisLayout &standard();
};
