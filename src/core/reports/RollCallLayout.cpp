#include "RollCallLayout.h"

const RollCallLayout &RollCallLayout::standard()
{
    static const RollCallLayout layout;
    return layout;
}
