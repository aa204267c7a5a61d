#pragma once

// One column of a gradebook report's table (page-view units, from the view's left): its cell,
// its caption and where its texts go.
struct GradebookColumn
{
    const char *caption; // translated when drawn
    int cellX;
    int cellWidth;
    int textX;
    // 0: texts start at textX, shortened with "..." to what the cell leaves; otherwise centred in
    // centreWidth from textX (the text's width and the halving whole numbers).
    int centreWidth;
};
