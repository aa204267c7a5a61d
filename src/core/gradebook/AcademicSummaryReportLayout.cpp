#include "AcademicSummaryReportLayout.h"

const AcademicSummaryReportLayout &AcademicSummaryReportLayout::standard()
{
    static const AcademicSummaryReportLayout layout{
        {
            {"Session Type", 1, 465, 7, 0},
            {"Student Points", 465, 145, 471, 130},
            {"Session Avg", 609, 134, 615, 119},
        },
        {
            {"", 1, 742, 4, 0},
        },
    };
    return layout;
}
