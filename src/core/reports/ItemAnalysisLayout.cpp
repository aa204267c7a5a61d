#include "ItemAnalysisLayout.h"

const ItemAnalysisLayout &ItemAnalysisLayout::standard()
{
    static const ItemAnalysisLayout layout;
    return layout;
}
