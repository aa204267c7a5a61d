#include "ClassStudyGuideLayout.h"

const ClassStudyGuideLayout &ClassStudyGuideLayout::standard()
{
    static const ClassStudyGuideLayout layout;
    return layout;
}
