#pragma once

#include <QList>

// Where the correct-rate statistics' page view puts things (page-view units, from its bottom
// left), and how its rows are made. A variant of the view is a second instance, not a second
// class.
struct CorrectRateStatisticsByAnswerTimeLayout
{
    enum class Field { QuNo, StudentName, Answer, AnsTime, Point };
    struct Column
    {
        const char *caption; // translated when drawn
        int x;
        Field field;         // centred under the caption's width
    };
    QList<Column> columns;
    // A student's answer on a line of its own under the student's row ("Answer   B" at
    // answerX), the two rows shaded as one; without it the answer is a column of the row.
    bool answerLine = true;
    int answerX = 28;
    // Row i's bottom firstRowDrop + 25 i below the view's top; a question's title and the note
    // above the first row.
    int firstRowDrop = 90;
    int titleSize = 22;
    int noteWidth = 703;
    int captionSize = 18;
    int headingSize = 20;
    int textSize = 18;
    int correctRateX = 532;
    // Rows per page: q = (rowsBase - 25n) / 25 less one, or, with answer lines, less two when q
    // is odd, so that a page ends after a student's answer line.
    int rowsBase = 689;

    static const CorrectRateStatisticsByAnswerTimeLayout &standard();
    // The Dravel-named pages: the answer a column of the student's row.
    static const CorrectRateStatisticsByAnswerTimeLayout &dravel();
};
