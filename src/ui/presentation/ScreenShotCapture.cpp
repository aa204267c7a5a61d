#include "ScreenShotCapture.h"

#include "ScreenShotView.h"

#include <QCoreApplication>

void ScreenShotCapture::start(QWidget *)
{
    // One capture at a time.
    if (m_view)
        return;
    // The requester has just left the screen: let the window system draw without it first.
    QCoreApplication::processEvents();
    m_view = new ScreenShotView;
    m_view->showFullScreen();
    m_view->raise();
    m_view->activateWindow();
}

ScreenShotView *ScreenShotCapture::view() const
{
    return m_view;
}
