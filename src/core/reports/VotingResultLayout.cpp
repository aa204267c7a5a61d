#include "VotingResultLayout.h"

const VotingResultLayout &VotingResultLayout::standard()
{
    static const VotingResultLayout layout;
    return layout;
}
