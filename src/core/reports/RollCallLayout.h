#pragma once

// Where the Attendance report's page view puts things (page-view units, from its bottom left).
// A variant of the view is a second instance, not a second class.
struct RollCallLayout
{
    int textSize = 18;
    // The summary block under the title bar, and its three lines' drops below the view's top.
    int summaryDrop = 132;
    int summaryHeight = 100;
    int lineDrops[3] = {60, 91, 122};
    // Counts: labels ending at countLabelRight, numbers at countX; rates likewise.
    int countLabelRight = 250;
    int countX = 270;
    int rateLabelRight = 600;
    int rateX = 620;
    // The column headings' row, its captions' drop and x.
    int headingDrop = 157;
    int captionDrop = 154;
    int absenceX = 75;
    int attendanceX = 490;
    // Names, entry i at firstEntryDrop + 25 i below the top, centred in their caption's width from
    // these x; a name too wide to stay within its half of the page is shortened with "...".
    int firstEntryDrop = 179;
    int absenteeNameX = 150;
    int attendantNameX = 510;
    // Rows per page: (rowsBase - 25n) / 25, the summary block taking four rows' room.
    int rowsBase = 589;

    static const RollCallLayout &standard();
};
