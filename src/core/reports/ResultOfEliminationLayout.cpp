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
