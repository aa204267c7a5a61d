#include "SubjectGradeSummaryLayout.h"

const SubjectGradeSummaryLayout &SubjectGradeSummaryLayout::standard()
{
    static const SubjectGradeSummaryLayout layout{
        {
            {"Session Type", 1, 465, 7, 0},
            {"Student Points", 465, 145, 471, 130},
            {"Student Grade", 609, 134, 615, 119},
        },
    };
    return layout;
}
