#include "ProgressiveReportLayout.h"

const ProgressiveReportLayout &ProgressiveReportLayout::standard()
{
    static const ProgressiveReportLayout layout{
        {
            {"Session", 1, 300, 7, 0},
            {"Session Type", 300, 170, 306, 0},
            {"Points", 469, 62, 475, 47},
            {"Session Avg", 530, 111, 536, 96},
            {"Date", 640, 103, 646, 0},
        },
        {
            {"Session Title", 1, 600, 7, 0},
            {"Session Date", 600, 144, 606, 0},
        },
    };
    return layout;
}
