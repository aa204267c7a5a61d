#include "GroupStudentReportLayout.h"

const GroupStudentReportLayout &GroupStudentReportLayout::standard()
{
    static const GroupStudentReportLayout layout;
    return layout;
}
