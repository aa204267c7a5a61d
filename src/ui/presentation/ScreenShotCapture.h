#pragma once

#include "ui/controls/ScreenCapture.h"

#include <QPointer>

class ScreenShotView;

// The screen capture the presentation tools install: the picture is taken at once, then shown
// full screen under the marking curtain; the curtain posts the result.
class ScreenShotCapture : public ScreenCapture
{
public:
    void start(QWidget *requester) override;
    ScreenShotView *view() const;

private:
    QPointer<ScreenShotView> m_view;
};
