#include "ResultOfEliminationLayout.h"

const ResultOfEliminationLayout &ResultOfEliminationLayout::standard()
{
    using F = Field;
    static const ResultOfEliminationLayout layout{
        {{"Q#", 28, F::QuestionNo},
         {"Question Point", 69, F::QuestionPoint},
         {"Student ID", 229, F::StudentID},
         {"Student Name", 473, F::StudentName}},
    };
    return layout;
}

const ResultOfEliminationLayout &ResultOfEliminationLayout::dravel()
{
    using F = Field;
    static const ResultOfEliminationLayout layout = [] {
        ResultOfEliminationLayout l;
        l.columns = {{"Q#", 28, F::QuestionNo},
                     {"Question Point", 99, F::QuestionPoint},
                     {"StudentID", 259, F::StudentID},
                     {"Student Name", 433, F::StudentName},
                     {"Response", 617, F::Response}};
        l.rowHeight = 25;
        l.responseLine = false;
        return l;
    }();
    return layout;
}
