#include "ClassStudyGuideLayout.h"

const ClassStudyGuideLayout &ClassStudyGuideLayout::standard()
{
    static const ClassStudyGuideLayout layout;
    return layout;
}

const ClassStudyGuideLayout &ClassStudyGuideLayout::dravel()
{
    static const ClassStudyGuideLayout layout = [] {
        ClassStudyGuideLayout l;
        l.asTable = true;
        l.rowsPerEntry = 1;
        l.tableCells = {{102, 180}, {282, 180}, {462, 180}};
        return l;
    }();
    return layout;
}
