#include "StudyGuideLayout.h"

const StudyGuideLayout &StudyGuideLayout::standard()
{
    static const StudyGuideLayout layout;
    return layout;
}

const StudyGuideLayout &StudyGuideLayout::dravel()
{
    static const StudyGuideLayout layout = [] {
        StudyGuideLayout l;
        l.correctAnswerBesideReply = true;
        return l;
    }();
    return layout;
}
