#pragma once

#include <QList>

// Watches, on a connection of its own to the X server, the _NET_WM_STATE requests that windows
// send to the window manager (client messages to the root window), as a window manager would
// receive them.
class X11StateWatcher
{
public:
    X11StateWatcher();
    ~X11StateWatcher();
    X11StateWatcher(const X11StateWatcher &) = delete;
    X11StateWatcher &operator=(const X11StateWatcher &) = delete;

    bool isOpen() const { return m_display != nullptr; }
    // The requests seen so far about _NET_WM_STATE_ABOVE for one window, in order: 1 add, 0 remove.
    QList<int> aboveRequests(unsigned long window);

private:
    void drain();

    void *m_display = nullptr;
    unsigned long m_stateAtom = 0;
    unsigned long m_aboveAtom = 0;
    QList<std::pair<unsigned long, int>> m_seen;
};
