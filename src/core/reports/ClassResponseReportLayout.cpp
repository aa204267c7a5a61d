#include "ClassResponseReportLayout.h"

const ClassResponseReportLayout &ClassResponseReportLayout::standard()
{
    static const ClassResponseReportLayout layout;
    return layout;
}
