#include "X11StateWatcher.h"

#include <X11/Xlib.h>

X11StateWatcher::X11StateWatcher()
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return;
    m_display = display;
    m_stateAtom = XInternAtom(display, "_NET_WM_STATE", False);
    m_aboveAtom = XInternAtom(display, "_NET_WM_STATE_ABOVE", False);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
}

X11StateWatcher::~X11StateWatcher()
{
    if (m_display)
        XCloseDisplay(static_cast<Display *>(m_display));
}

void X11StateWatcher::drain()
{
    auto *display = static_cast<Display *>(m_display);
    XSync(display, False);
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == ClientMessage && event.xclient.message_type == m_stateAtom
            && (unsigned long)event.xclient.data.l[1] == m_aboveAtom)
            m_seen.append({event.xclient.window, int(event.xclient.data.l[0])});
    }
}

QList<int> X11StateWatcher::aboveRequests(unsigned long window)
{
    QList<int> out;
    if (!m_display)
        return out;
    drain();
    for (const auto &[w, action] : m_seen)
        if (w == window)
            out << action;
    return out;
}
