#include "StudentPointsListLayout.h"

const StudentPointsListLayout &StudentPointsListLayout::standard()
{
    static const StudentPointsListLayout layout{QColor::fromRgbF(0.8f, 0.6f, 1.0f)};
    return layout;
}
