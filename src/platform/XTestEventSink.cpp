#include "XTestEventSink.h"

#include "Log.h"

// Xlib's macros (None, Bool, KeyPress, ...) clash with Qt: its headers come last.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

XTestEventSink::XTestEventSink(const QString &displayName)
{
    const QByteArray name = displayName.toLocal8Bit();
    // Nothing to do without an X display (Wayland without Xwayland, the offscreen platform).
    if (displayName.isEmpty() && qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    m_display = XOpenDisplay(name.isEmpty() ? nullptr : name.constData());
    if (!m_display) {
        PollixLog(QStringLiteral("Keypad mouse: no X display"));
        return;
    }
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(m_display, &event, &error, &major, &minor)) {
        PollixLog(QStringLiteral("Keypad mouse: the X server has no XTest extension"));
        XCloseDisplay(m_display);
        m_display = nullptr;
    }
}

XTestEventSink::~XTestEventSink()
{
    if (m_display)
        XCloseDisplay(m_display);
}

QPoint XTestEventSink::cursorPosition()
{
    if (!m_display)
        return QPoint();
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned int mask = 0;
    XQueryPointer(m_display, DefaultRootWindow(m_display), &root, &child, &rootX, &rootY, &winX, &winY, &mask);
    return QPoint(rootX, rootY);
}

int XTestEventSink::mainScreenHeight()
{
    return m_display ? DisplayHeight(m_display, DefaultScreen(m_display)) : 0;
}

void XTestEventSink::moveTo(const QPoint &point)
{
    if (!m_display)
        return;
    XTestFakeMotionEvent(m_display, DefaultScreen(m_display), point.x(), point.y(), CurrentTime);
    XFlush(m_display);
}

void XTestEventSink::button(Button which, bool down, const QPoint &point)
{
    if (!m_display)
        return;
    XTestFakeMotionEvent(m_display, DefaultScreen(m_display), point.x(), point.y(), CurrentTime);
    XTestFakeButtonEvent(m_display, which == Button::Left ? 1 : 3, down ? True : False, CurrentTime);
    XFlush(m_display);
}

void XTestEventSink::key(Key which)
{
    if (!m_display)
        return;
    KeySym sym = XK_Escape;
    switch (which) {
    case Key::PageUp: sym = XK_Prior; break;
    case Key::PageDown: sym = XK_Next; break;
    case Key::Escape: sym = XK_Escape; break;
    case Key::Return: sym = XK_Return; break;
    case Key::Up: sym = XK_Up; break;
    case Key::Down: sym = XK_Down; break;
    case Key::Left: sym = XK_Left; break;
    case Key::Right: sym = XK_Right; break;
    case Key::Tab: sym = XK_Tab; break;
    }
    // The key code is the keyboard's own for that key, whatever its layout.
    const KeyCode code = XKeysymToKeycode(m_display, sym);
    if (code == 0) {
        PollixLog(QStringLiteral("Keypad mouse: the keyboard has no key for %1").arg(QString::fromLatin1(XKeysymToString(sym))));
        return;
    }
    XTestFakeKeyEvent(m_display, code, True, CurrentTime);
    XTestFakeKeyEvent(m_display, code, False, CurrentTime);
    XFlush(m_display);
}
