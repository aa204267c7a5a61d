#pragma once

class QWindow;

// Keeps a top-level window above the others (the slide show among them) or lets it back to the
// normal level, without destroying its native window: a recreated window flashes, loses its place
// and changes its id under a window manager.
class WindowStacking
{
public:
    // Sets or clears Qt::WindowStaysOnTopHint on the window. A shown window on X11 also asks the
    // window manager to add or remove _NET_WM_STATE_ABOVE, as the window manager ignores later
    // changes to the state property of a mapped window; a hidden one carries the flag into its
    // next mapping.
    static void setKeepAbove(QWindow *window, bool above);
    // Makes the window transient for another (or for none): the window manager then keeps it
    // above that one and in its layer. A focused full-screen window sits above every window that
    // only stays on top; its transients stay above it. A shown window on X11 gets the property at
    // once, as Qt writes it only when it maps the window.
    static void setTransientFor(QWindow *window, QWindow *parent);
    // Gives the window the keys. Qt sets the input focus itself where the window stands under the
    // one that has them (as a transient's parent), and a window manager that loses the keys with
    // a window taken off the screen at that moment hands them to a window of its own choice
    // afterwards, which may be none. On X11 the window manager is also asked: its answer comes
    // after that choice.
    static void activate(QWindow *window);
};
