#include "AbsenteeReportLayout.h"

const AbsenteeReportLayout &AbsenteeReportLayout::standard()
{
    static const AbsenteeReportLayout layout;
    return layout;
}
