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
