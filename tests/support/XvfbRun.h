#pragma once

#include <QSize>
#include <QString>

// Runs test cases of this test program again on a private Xvfb server with the X11 platform,
// for what the offscreen platform cannot show (native window ids, window-manager requests, where
// a window manager puts windows). Such a half is named OnX11...: the test program leaves it out
// of its list and its runs except where POLLIX_ON_X11 is set (onX11()), so that it is no case of
// its own, and its parent test runs it here.
namespace XvfbRun {
struct Options
{
    QSize screen{1024, 768};
    // A window manager (openbox) decorates and places the windows, as on a teacher's desktop.
    bool windowManager = false;
};
// Exit code of the test program run with --gtest_filter=filter; 1 when no test matched the
// filter (a renamed half would otherwise pass unseen); -1 when Xvfb (or the window manager asked
// for) is missing or does not start.
int run(const QString &filter, const Options &options = {});
bool onX11();
} // namespace XvfbRun
