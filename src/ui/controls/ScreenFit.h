#pragma once

class QWidget;

namespace ScreenFit {

// Gives a window the size it is designed at, or less where the screen it opens on is smaller
// (a classroom laptop's 1366 x 768): its bottom row of buttons then stays on the screen, room
// left for the title bar and the frame.
void resize(QWidget *window, int width, int height);

} // namespace ScreenFit
