#include "WindowStacking.h"

#include <QGuiApplication>
#include <QWindow>

#include <array>

#if QT_CONFIG(xcb)
// Xlib last: its macros (None, Bool, Status, ...) clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

namespace {

#if QT_CONFIG(xcb)
// The EWMH requests a client sends about its mapped windows.
Display *x11Display()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

void sendToWindowManager(QWindow *window, const char *message, const std::array<long, 4> &data)
{
    Display *display = x11Display();
    if (!display)
        return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = Window(window->winId());
    event.xclient.message_type = XInternAtom(display, message, False);
    event.xclient.format = 32;
    for (size_t i = 0; i < data.size(); ++i)
        event.xclient.data.l[i] = data[i];
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display);
}

void askWindowManager(QWindow *window, bool above)
{
    Display *display = x11Display();
    if (!display)
        return;
    sendToWindowManager(window, "_NET_WM_STATE",
                        {above ? 1 : 0, // _NET_WM_STATE_ADD, _NET_WM_STATE_REMOVE
                         long(XInternAtom(display, "_NET_WM_STATE_ABOVE", False)),
                         long(XInternAtom(display, "_NET_WM_STATE_STAYS_ON_TOP", False)),
                         1}); // the request comes from an ordinary application
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

void WindowStacking::activate(QWindow *window)
{
    if (!window || !window->isVisible())
        return;
    window->requestActivate();
#if QT_CONFIG(xcb)
    // From an ordinary application, its time unknown (CurrentTime), nothing active said.
    sendToWindowManager(window, "_NET_ACTIVE_WINDOW", {1, 0, 0, 0});
#endif
}

void WindowStacking::setTransientFor(QWindow *window, QWindow *parent)
{
    if (!window || window == parent)
        return;
    // Written again when nothing changed for Qt: a window manager forgets the tie while the parent
    // is unmapped (a show ended and started again) and learns it anew from the property.
    if (window->transientParent() != parent)
        window->setTransientParent(parent);
#if QT_CONFIG(xcb)
    Display *display = window->isVisible() ? x11Display() : nullptr;
    if (!display)
        return;
    if (parent)
        XSetTransientForHint(display, Window(window->winId()), Window(parent->winId()));
    else
        XDeleteProperty(display, Window(window->winId()), XA_WM_TRANSIENT_FOR);
    XFlush(display);
#endif
}
