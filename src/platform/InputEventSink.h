#pragma once

#include <QPoint>

// Where synthetic pointer and key events go: the window system (XTestEventSink), or a recorder
// in tests. Coordinates are global, origin at the top left of the main screen, y downward.
class InputEventSink
{
public:
    enum class Button { Left, Right };
    // The keys a teacher keypad types; each is the keyboard's own key, found by what it means.
    enum class Key { PageUp, PageDown, Escape, Return, Up, Down, Left, Right, Tab };

    virtual ~InputEventSink() = default;

    virtual bool isAvailable() const = 0;
    virtual QPoint cursorPosition() = 0;
    virtual int mainScreenHeight() = 0;
    // A pointer movement to that point.
    virtual void moveTo(const QPoint &point) = 0;
    // A button press or release at that point (the pointer is there first).
    virtual void button(Button which, bool down, const QPoint &point) = 0;
    // A key press and its release, without modifiers.
    virtual void key(Key which) = 0;
};
