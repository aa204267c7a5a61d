#include "ReportCardLayout.h"

const ReportCardLayout &ReportCardLayout::standard()
{
    static const ReportCardLayout layout;
    return layout;
}
