#include "GroupResultLayout.h"

const GroupResultLayout &GroupResultLayout::standard()
{
    static const GroupResultLayout layout{
        {
            {"Group No", 1, 170},
            {"Points", 171, 190},
            {"Extra Points", 361, 190},
            {"Total Points", 551, 191},
        },
    };
    return layout;
}
