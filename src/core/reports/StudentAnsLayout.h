#pragma once

#include <QList>

// Where a voters' page view puts things (page-view units, from its bottom left). A variant of the
// view is a second instance, not a second class.
struct StudentAnsLayout
{
    enum class Field { StudentID, StudentName, Answer };
    struct Column
    {
        const char *caption; // translated when drawn
        int x;
        Field field;         // centred under the caption's width
    };
    QList<Column> columns;
    int captionSize = 22;
    // The captions' row (31 high) under the title bar; row i at firstRowDrop + 25 i below the top.
    int headingDrop = 63;
    int captionDrop = 58;
    int firstRowDrop = 89;
    int textSize = 18;

    static const StudentAnsLayout &standard();
};
