#include "StudentAnsLayout.h"

const StudentAnsLayout &StudentAnsLayout::standard()
{
    using F = Field;
    static const StudentAnsLayout layout{
        {{"Student ID", 97, F::StudentID}, {"Student Name", 240, F::StudentName}, {"Answer", 445, F::Answer}},
    };
    return layout;
}
