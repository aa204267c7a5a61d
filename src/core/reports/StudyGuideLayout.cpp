#include "StudyGuideLayout.h"

const StudyGuideLayout &StudyGuideLayout::standard()
{
    static const StudyGuideLayout layout;
    return layout;
}
