#pragma once

// Where the report card's page view puts things (page-view units, from its bottom left).
struct ReportCardLayout
{
    // The heading band stands this far below the view's top, each line 25 lower.
    int headingDrop = 32;
    int subjectX = 4;
    int pointsX = 300;
    int letterX = 400;
    // Lines a page holds; a card with more goes on over further pages under the same head.
    int linesPerPage = 32;

    static const ReportCardLayout &standard();
};
