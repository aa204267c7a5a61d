#pragma once

#include <QString>

// Runs test cases of this test program again on a private Xvfb server with the X11 platform,
// for what the offscreen platform cannot show (native window ids, window-manager requests).
// The cases run only where POLLIX_ON_X11 is set (onX11()), so that the suite's own offscreen
// run skips them.
namespace XvfbRun {
// Exit code of the test program run with --gtest_filter=filter; -1 when Xvfb is missing or does
// not start. With windowManager, openbox manages the server's windows as a desktop's would (-1
// when it is missing), at 1366 x 768.
int run(const QString &filter, bool windowManager = false);
bool onX11();
} // namespace XvfbRun
