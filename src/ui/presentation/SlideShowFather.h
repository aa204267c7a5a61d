#pragma once

// The window a slide-show run hands the screen back to (the main window). A run that ends with
// the deck closed tells it, so that its presentation buttons follow.
class SlideShowFather
{
public:
    virtual ~SlideShowFather() = default;
    virtual void setPPTButtonState(int state) = 0;
};
