#include "ResultByQuestionLayout.h"

const ResultByQuestionLayout &ResultByQuestionLayout::answerDetail()
{
    static const ResultByQuestionLayout layout = [] {
        ResultByQuestionLayout l;
        l.columns = {{"Q#", 28, Field::QuNo, -1}, {"Question Text", 400, Field::QuTitle, 75}};
        l.note = true;
        l.firstRowDrop = 76;
        // The room from the text's x to the view's right edge.
        l.titleWidth = 664;
        l.answerLines = true;
        return l;
    }();
    return layout;
}

const ResultByQuestionLayout &ResultByQuestionLayout::answerDetailDravel()
{
    static const ResultByQuestionLayout layout = [] {
        ResultByQuestionLayout l;
        l.columns = {{"Q#", 28, Field::QuNo, -1},
                     {"Question Text", 202, Field::QuTitle, -1},
                     {"Response", 487, Field::Response, -1},
                     {"CorrectAnswer", 590, Field::CorrectAnswer, -1}};
        l.note = true;
        l.firstRowDrop = 76;
        // Centred under its caption, a line stays clear of the number and of the response.
        l.titleWidth = 380;
        l.questionCells = true;
        return l;
    }();
    return layout;
}

const ResultByQuestionLayout &ResultByQuestionLayout::scores()
{
    static const ResultByQuestionLayout layout = [] {
        ResultByQuestionLayout l;
        l.columns = {{"Q#", 28, Field::QuNo, -1}, {"Question Text", 263, Field::QuTitle, 70}, {"Point", 612, Field::Points, -1}};
        l.totalRow = true;
        return l;
    }();
    return layout;
}
