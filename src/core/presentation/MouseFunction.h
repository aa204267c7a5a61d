#pragma once

#include "core/keypad/KeypadMouse.h"
#include "platform/InputEventSink.h"

#include <QPoint>

#include <memory>

template <typename T> class Singleton;

// The teacher keypad as the computer's mouse and keyboard. A teacher command (1 to 24, some
// with bit 0x80 set) moves the pointer by a step, clicks, or types a navigation key; an air-mouse
// command moves the pointer by a distance that grows with the tilt and the speed setting.
// The events go to an event sink: the window system through XTest, a recorder in tests.
class MouseFunction
{
public:
    static MouseFunction *shareManager();

    // The sink events go to; the first use without one opens the X display Pollix runs on.
    void setSink(std::shared_ptr<InputEventSink> sink) { m_sink = std::move(sink); }
    InputEventSink *sink();

    // A decoded teacher mouse frame: a step command or an air-mouse move.
    void takeCommand(const KeypadMouse::Command &command);
    // Makes the shared instance the keypad mouse's one sink.
    static void install();

    void StartMouseFunction(int command);
    // X and Y as the keypad sends them (offset + 128); X moves the pointer up and down, Y left
    // and right (a negative Y to the right).
    void New_StartMouseFunctionX(int x, int y);
    // The air-mouse distance for one axis from its offset and the offset of the command before.
    float CountSeedFlag(int offset, int lastOffset) const;

    void MoveCursorUp(long n);
    void MoveCursorDown(long n);
    void MoveCursorLeft(long n);
    void MoveCursorRight(long n);
    void ChickMouseLeftButton();
    void ChickMouseRightButton();
    void D_ChickMouseLeftButton();
    void MoveMouseAndClickLeftButton(const QPoint &point);
    void MoveToLeftBottomAndClickLeftButton();
    // The design's key numbers: 33 page up, 34 page down, 27 escape, 13 return, 9 tab,
    // 126 up, 125 down, 123 left, 124 right; any other number types nothing.
    void InputKeyboardKey(quint16 keyCode);
    QPoint GetCursorPosition();

    int m_nMoveSpeed() const { return m_speedSetting; }
    void setM_nMoveSpeed(int v) { m_speedSetting = v; }

    bool isLeftButtonDown() const { return IsLeftButtonDown; }
    int lastX() const { return lastx; }
    int lastY() const { return lasty; }

private:
    friend class Singleton<MouseFunction>;
    MouseFunction();
    void moveBy(int dx, int dy);

    std::shared_ptr<InputEventSink> m_sink;
    int xflag = 0;
    int yflag = 0;
    int lastx = 0;
    int lasty = 0;
    float speed = 0;
    float Speed_mode = 0;
    int m_speedSetting = 30;
    bool IsLeftButtonDown = false;
};
