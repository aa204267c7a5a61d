#include "ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace ScreenFit {

void resize(QWidget *window, int width, int height)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        // What a window manager's title bar and borders take around the window.
        constexpr int kFrameWidth = 16;
        constexpr int kFrameHeight = 48;
        const QRect area = screen->availableGeometry();
        width = std::min(width, area.width() - kFrameWidth);
        height = std::min(height, area.height() - kFrameHeight);
    }
    window->resize(width, height);
}

} // namespace ScreenFit
