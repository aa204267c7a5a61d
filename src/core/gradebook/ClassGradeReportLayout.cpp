#include "ClassGradeReportLayout.h"

const ClassGradeReportLayout &ClassGradeReportLayout::standard()
{
    static const ClassGradeReportLayout layout{
        {
            {"Student Name", 1, 465, 7, 0},
            {"Student Points", 465, 145, 471, 130},
            {"Session Grade", 609, 134, 615, 119},
        },
    };
    return layout;
}
