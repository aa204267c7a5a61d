#pragma once

// Where the Student Response Result's page view puts things (page-view units, from its bottom
// left). A variant of the view is a second instance, not a second class.
struct StudentResponseResultLayout
{
    int textSize = 18;
    // Question texts are wrapped at textWidth (room for the gain at the right), the options of
    // single-answer and true-or-false questions at optionWidth, of multiple-answer ones at
    // multipleOptionWidth.
    int textWidth = 580;
    int optionWidth = 688;
    int multipleOptionWidth = 716;
    // "Gain:" and the points gained on the question's first line.
    int gainCaptionX = 630;
    int gainX = 680;
    // Rows per page: (rowsBase - 25n) / 25, that is (689 - 25n) / 25 - 2 (the student's bar).
    int rowsBase = 639;

    static const StudentResponseResultLayout &standard();
};
