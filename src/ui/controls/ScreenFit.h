#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>

class QWidget;

namespace ScreenFit {

// Gives a window the size it is designed at, or less where the screen it opens on is smaller
// (a classroom laptop's 1366 x 768): its bottom row of buttons then stays on the screen, room
// left for the title bar and the frame.
void resize(QWidget *window, int width, int height);

// The part of the screen a window may take: the available area (without panels) of the screen
// it is on, or of the primary screen.
QRect availableArea(const QWidget *window);
// What the window manager's title bar and borders add around a window: the window's own once
// it has been mapped, else those of another decorated window, else a usual title bar and border.
QMargins frameMargins(const QWidget *window);
// Gives a shown window the place and size that put its whole frame, title bar and borders
// included, on the rectangle: a window laid over an area of the screen that way keeps its title
// bar on the screen. A hidden window opens there, wherever it stood when it closed.
void setFrameGeometry(QWidget *window, const QRect &frame);
// Where a window whose frame starts at framePos with the given client size must go so that its
// whole frame lies within the area: moved in, and the client size cut where the frame is larger
// than the area. Returns the frame's top left; *size gets the client size.
QPoint placeWithin(const QRect &area, const QMargins &frame, QPoint framePos, QSize *size);

// Every top-level window of the program opens within the screen's available area, and a window
// shown again comes back where it was when it was hidden (the main window after a run or the
// question editor, the editor after a screen capture), instead of where the window manager
// would place a new one. Full-screen, maximised and frameless windows (the slide show and the
// bars over it) place themselves. Installed once for the application.
void keepWindowsOnScreen();

} // namespace ScreenFit
