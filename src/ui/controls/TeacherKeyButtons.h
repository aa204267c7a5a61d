#pragma once

#include <QString>

class QAbstractButton;
class QWidget;

// Buttons whose titles name a key of the teacher keypad ("F1" OK, "F2" Cancel) are pressed by the
// same key of the computer's keyboard too: a teacher at the computer reads the title and presses
// the key it names. Only the active window's shown, enabled buttons answer, so a hidden command
// or one that is off stays off, and a window below an alert is not reached through it.
namespace TeacherKeyButtons {

// The keyboard key (Qt::Key_F1 or Qt::Key_F2) a title names by its leading quoted key; 0 for
// any other title.
int keyOfTitle(const QString &title);
// Lets the key its title names press the button; a title without one leaves it alone.
void bind(QAbstractButton *button);
// Binds every such button of the window now and whenever the window is shown, so buttons that
// a window adds after its constructor are covered as well.
void watch(QWidget *window);

} // namespace TeacherKeyButtons
