#include "PersonalStandardsReportLayout.h"

const PersonalStandardsReportLayout &PersonalStandardsReportLayout::standard()
{
    static const PersonalStandardsReportLayout layout;
    return layout;
}

const PersonalStandardsReportLayout &PersonalStandardsReportLayout::analysis()
{
    static const PersonalStandardsReportLayout layout = [] {
        PersonalStandardsReportLayout l;
        l.boldTitle = false;
        return l;
    }();
    return layout;
}
