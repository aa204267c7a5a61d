#pragma once

#include <memory>

class QWidget;

// Lets the teacher pick an area of the screen and hands the picture back. The presentation
// tools install the one implementation at start-up; until one is installed, windows keep their
// capture controls disabled.
//
// start() takes the picture of the whole screen before it returns (the caller hides its own
// window around the call so that it is not in the picture) and then shows the selection curtain.
// When the teacher has chosen, "MESSAGESCREENSHOTCAPTION" is posted with "image" (a QImage of the
// area; missing when the teacher gave up) and "flag" (a number).
class ScreenCapture
{
public:
    virtual ~ScreenCapture() = default;
    virtual void start(QWidget *requester) = 0;

    // The installed implementation, or null.
    static ScreenCapture *installed();
    static void install(std::unique_ptr<ScreenCapture> capture);
};
