#pragma once

// Where the Study Guide's page view puts things (page-view units, from its bottom left), and how
// the report codes a missed question's answer lines for it. A variant of the view is a second
// instance, not a second class.
struct StudyGuideLayout
{
    int textSize = 18;
    // Question texts are wrapped at textWidth, option texts at optionWidth.
    int textWidth = 723;
    int optionWidth = 716;
    // Where the pointer shows a question line whole: from tipX.
    int tipX = 23;
    // The correct answer on a line of its own under the student's answer, or at the right end of
    // the student's answer line (whose num is then the question's number).
    bool correctAnswerBesideReply = false;
    // Rows per page: (rowsBase - 25n) / 25, that is (689 - 25n) / 25 - 2 (the student's bar).
    int rowsBase = 639;

    static const StudyGuideLayout &standard();
    // The Dravel-named pages: the correct answer at the right end of the student's answer line.
    static const StudyGuideLayout &dravel();
};
