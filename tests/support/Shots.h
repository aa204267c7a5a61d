#pragma once

#include <QString>

class QWidget;

// Saves the window as a picture named name + ".png" in the folder POLLIX_SHOT_DIR names, so its
// layout can be looked at; does nothing when the variable is not set.
void saveShot(QWidget *window, const QString &name);
