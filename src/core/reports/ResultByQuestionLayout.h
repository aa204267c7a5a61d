#pragma once

#include <QList>

// Where a result-by-question page view puts things (page-view units, from its bottom left), and
// how its rows are made: the answer-detail and the scores pages are two instances, and a variant
// of either is another.
struct ResultByQuestionLayout
{
    enum class Field { QuNo, QuTitle, Response, CorrectAnswer, Points };
    struct Column
    {
        const char *caption; // translated when drawn
        int x;
        Field field;
        // The value at valueX, or centred under the caption's width when valueX is below 0.
        int valueX;
    };
    QList<Column> columns;
    // The answer note over the page's top (answer detail).
    bool note = false;
    int noteWidth = 723;
    // Row i's bottom firstRowDrop + 25 i below the view's top.
    int firstRowDrop = 26;
    // Question texts are wrapped at titleWidth (in the text size).
    int titleWidth = 480;
    // The response and the correct answer on lines of their own under each question, labelled
    // at these x; without them, any answers the columns name are shown on the question's row.
    bool answerLines = false;
    int responseX = 75;
    int correctAnswerX = 28;
    // Each question's rows shaded as a cell of their own (always so with answer lines); without,
    // a student's questions share one.
    bool questionCells = false;
    // Each student's block closes with a total row, "Total Points:" at totalX.
    bool totalRow = false;
    int totalX = 560;
    int headingSize = 20;
    int textSize = 18;
    // Rows per page: (rowsBase - 25n) / 25.
    int rowsBase = 689;

    static const ResultByQuestionLayout &answerDetail();
    static const ResultByQuestionLayout &scores();
    // The Dravel-named answer-detail pages: the response and the correct answer columns of the
    // question's first row.
    static const ResultByQuestionLayout &answerDetailDravel();
};
