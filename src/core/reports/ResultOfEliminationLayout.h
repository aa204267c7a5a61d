#pragma once

#include <QList>

// Where the result of elimination's page views put things (page-view units, from their bottom
// left). A variant of the views is a second instance, not a second class.
struct ResultOfEliminationLayout
{
    enum class Field { QuestionNo, QuestionPoint, StudentID, StudentName, Response };
    struct Column
    {
        const char *caption; // translated when drawn
        int x;
        Field field;         // centred under the caption's width
    };
    // The response pages' columns, their captions in the row under the question's bar.
    QList<Column> columns;
    // A student's row: its height, and the response on a line of its own at responseX (the row's
    // lower half) rather than in a column.
    int rowHeight = 50;
    bool responseLine = true;
    int responseX = 28;
    int captionSize = 20;
    int textSize = 18;
    // Response pages hold (rowsBase - 25n) / rowHeight students.
    int rowsBase = 689;
    // Eliminated-list pages hold at most this many students, fewer when the page view is too low.
    int listRowsMax = 26;

    static const ResultOfEliminationLayout &standard();
    // The Dravel-named response pages: one row a student, the response its last column.
    static const ResultOfEliminationLayout &dravel();
};
