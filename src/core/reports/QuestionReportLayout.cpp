#include "QuestionReportLayout.h"

const QuestionReportLayout &QuestionReportLayout::standard()
{
    static const QuestionReportLayout layout = [] {
        QuestionReportLayout l;
        l.answerCells = {{10, 135}, {140, 270}, {400, 330}};
        l.chartTypes = {1, 5};
        return l;
    }();
    return layout;
}

const QuestionReportLayout &QuestionReportLayout::dravel()
{
    static const QuestionReportLayout layout = [] {
        QuestionReportLayout l;
        l.titleSize = 22;
        l.noteSize = 22;
        l.studentTextSize = 18;
        l.answerCells = {{52, 245}, {297, 245}, {542, 150}};
        l.idX = 57;
        l.nameX = 299;
        l.nameCaptionX = 299;
        l.centreAnswers = true;
        l.chartTypes = {1};
        return l;
    }();
    return layout;
}
