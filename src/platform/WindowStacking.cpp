#include "WindowStacking.h"

#include <QGuiApplication>
#include <QWindow>

#if QT_CONFIG(xcb)
// Xlib last: its macros (None, Bool, Status, ...) clash with Qt's names.
#include <X11/Xlib.h>
#endif

namespace {

#if QT_CONFIG(xcb)
// The EWMH request a client sends to change the state of its mapped window.
void askWindowManager(QWindow *window, bool above)
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = Window(window->winId());
    event.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = above ? 1 : 0; // _NET_WM_STATE_ADD, _NET_WM_STATE_REMOVE
    event.xclient.data.l[1] = long(XInternAtom(display, "_NET_WM_STATE_ABOVE", False));
    event.xclient.data.l[2] = long(XInternAtom(display, "_NET_WM_STATE_STAYS_ON_TOP", False));
    event.xclient.data.l[3] = 1; // the request comes from an ordinary application
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display);
}
#endif

} // namespace

void WindowStacking::setKeepAbove(QWindow *window, bool above)
{
    if (!window)
        return;
    // QWindow::setFlags changes the platform window in place; only QWidget::setWindowFlags
    // recreates it.
    window->setFlag(Qt::WindowStaysOnTopHint, above);
#if QT_CONFIG(xcb)
    if (window->isVisible())
        askWindowManager(window, above);
#endif
}
