#include "StudentGradeReportLayout.h"

const StudentGradeReportLayout &StudentGradeReportLayout::standard()
{
    static const StudentGradeReportLayout layout{
        {
            {"Student ID", 1, 149, 7, false, 0},
            {"Student Name", 149, 241, 157, false, 0},
            {"Correct Ratio", 390, 129, 398, true, 114},
            {"Correct(%)", 519, 107, 527, true, 92},
            {"Total Points", 626, 117, 634, true, 103},
        },
    };
    return layout;
}
