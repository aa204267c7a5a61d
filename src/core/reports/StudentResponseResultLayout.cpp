#include "StudentResponseResultLayout.h"

const StudentResponseResultLayout &StudentResponseResultLayout::standard()
{
    static const StudentResponseResultLayout layout;
    return layout;
}
