#pragma once

#include <QString>

#include <gtest/gtest.h>

class QWidget;

// Pictures of windows, for a person to look at after a change of layout (./dev shots FOLDER).
// They are saved only when POLLIX_SHOT_DIR names a folder: each test's in a folder of its own
// there, named after the test, so that no two tests write over each other's pictures.
namespace Shots {

// POLLIX_SHOT_DIR/<suite>.<test>, made if missing; empty when the variable is not set.
QString folder();

// Whether w drew: grabbed as it is now, its picture is not empty and not one flat colour (what a
// window leaves that has no size, or paints nothing, not even its controls). Every run of the
// suite asks this of each window a picture test opens. With a folder set it first gives the
// window system a moment (so that the screen shows the window as placed) and saves w as
// name.png and, for a window of its own on a real window system (Xvfb), the whole screen as
// name-screen.png.
::testing::AssertionResult drew(QWidget *w, const QString &name);

} // namespace Shots

// Saves the window as a picture named name + ".png" in Shots::folder(), so its layout can be
// looked at; does nothing when no folder is set.
void saveShot(QWidget *window, const QString &name);

// Saves the whole screen as name + ".png" in Shots::folder(), once pending events ran (what
// floats over a window, and where the window manager put it); nothing when no folder is set.
void saveScreenShot(const QString &name);
