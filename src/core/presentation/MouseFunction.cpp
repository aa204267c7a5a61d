#include "MouseFunction.h"

#include "core/store/TovConfigXmlDatabase.h"
#include "platform/Singleton.h"
#include "platform/XTestEventSink.h"

#include <cstdlib>

MouseFunction *MouseFunction::shareManager()
{
    return Singleton<MouseFunction>::instance();
}

MouseFunction::MouseFunction() : m_speedSetting(TovConfigXmlDatabase::sharedConfigUI()->getMouseValue()) {}

void MouseFunction::install()
{
    KeypadMouse::setSink([](const KeypadMouse::Command &c) { shareManager()->takeCommand(c); });
}

void MouseFunction::takeCommand(const KeypadMouse::Command &command)
{
    if (command.kind == KeypadMouse::Command::AirMove)
        New_StartMouseFunctionX(command.x, command.y);
    else
        StartMouseFunction(command.code);
}

InputEventSink *MouseFunction::sink()
{
    if (!m_sink)
        m_sink = std::make_shared<XTestEventSink>();
    return m_sink.get();
}

QPoint MouseFunction::GetCursorPosition()
{
    return sink()->cursorPosition();
}

void MouseFunction::moveBy(int dx, int dy)
{
    const QPoint at = GetCursorPosition();
    sink()->moveTo(at + QPoint(dx, dy));
}

void MouseFunction::MoveCursorUp(long n)
{
    moveBy(0, -int(n));
}

void MouseFunction::MoveCursorDown(long n)
{
    moveBy(0, int(n));
}

void MouseFunction::MoveCursorLeft(long n)
{
    moveBy(-int(n), 0);
}

void MouseFunction::MoveCursorRight(long n)
{
    moveBy(int(n), 0);
}

// The pointer first passes by a point 400 away, so that the window under the target notices it
// arriving; under XTest a press there would start a drag, so the lead-in is motion only.
void MouseFunction::ChickMouseLeftButton()
{
    const QPoint at = GetCursorPosition();
    sink()->moveTo(at.x() < 400 ? at + QPoint(400, 400) : at - QPoint(400, 400));
    sink()->moveTo(at);
    sink()->button(InputEventSink::Button::Left, true, at);
    sink()->button(InputEventSink::Button::Left, false, at);
}

void MouseFunction::ChickMouseRightButton()
{
    const QPoint at = GetCursorPosition();
    sink()->button(InputEventSink::Button::Right, true, at);
    sink()->button(InputEventSink::Button::Right, false, at);
}

void MouseFunction::D_ChickMouseLeftButton()
{
    MoveMouseAndClickLeftButton(GetCursorPosition());
}

void MouseFunction::MoveMouseAndClickLeftButton(const QPoint &point)
{
    for (int i = 0; i < 2; ++i) {
        sink()->button(InputEventSink::Button::Left, true, point);
        sink()->button(InputEventSink::Button::Left, false, point);
    }
}

void MouseFunction::MoveToLeftBottomAndClickLeftButton()
{
    MoveMouseAndClickLeftButton(QPoint(0, sink()->mainScreenHeight()));
    D_ChickMouseLeftButton();
}

void MouseFunction::InputKeyboardKey(quint16 keyCode)
{
    using Key = InputEventSink::Key;
    Key key;
    switch (keyCode) {
    case 33: key = Key::PageUp; break;
    case 34: key = Key::PageDown; break;
    case 27: key = Key::Escape; break;
    case 13: key = Key::Return; break;
    case 9: key = Key::Tab; break;
    case 126: key = Key::Up; break;
    case 125: key = Key::Down; break;
    case 123: key = Key::Left; break;
    case 124: key = Key::Right; break;
    default: return;
    }
    sink()->key(key);
}

void MouseFunction::StartMouseFunction(int command)
{
    int c = command;
    if (c >= 1 && c <= 4) {
        if (IsLeftButtonDown) {
            IsLeftButtonDown = false;
            sink()->moveTo(GetCursorPosition());
        }
    } else if (c & 0x80) {
        c &= 0x0F;
    }
    const int s = m_speedSetting / 10;
    switch (c) {
    case 1: MoveCursorUp(s + 2); break;
    case 2: MoveCursorDown(s + 2); break;
    case 3: MoveCursorLeft(s + 2); break;
    case 4: MoveCursorRight(s + 2); break;
    case 5: ChickMouseLeftButton(); break;
    case 6: ChickMouseRightButton(); break;
    case 7: D_ChickMouseLeftButton(); break;
    case 8: InputKeyboardKey(33); break;
    case 9: InputKeyboardKey(34); break;
    case 10: InputKeyboardKey(27); break;
    case 11: InputKeyboardKey(13); break;
    case 12:
        IsLeftButtonDown = true;
        InputKeyboardKey(126);
        break;
    case 13: InputKeyboardKey(125); break;
    case 14: InputKeyboardKey(123); break;
    case 15: InputKeyboardKey(124); break;
    case 16: InputKeyboardKey(9); break;
    case 17:
        IsLeftButtonDown = true;
        sink()->button(InputEventSink::Button::Left, true, GetCursorPosition());
        break;
    case 18: sink()->button(InputEventSink::Button::Left, false, GetCursorPosition()); break;
    case 21: MoveCursorUp(s + 10); break;
    case 22: MoveCursorDown(s + 10); break;
    case 23: MoveCursorLeft(s + 10); break;
    case 24: MoveCursorRight(s + 10); break;
    default: break;
    }
}

float MouseFunction::CountSeedFlag(int offset, int lastOffset) const
{
    const int a = std::abs(offset);
    float distance = (a + m_speedSetting >= 49 && a > 5) ? float(a / 5) : 0.0f;
    if (offset * lastOffset > 0 && a - std::abs(lastOffset) > 10)
        distance *= 1.5f;
    return distance;
}

void MouseFunction::New_StartMouseFunctionX(int x, int y)
{
    // Keypad bytes: anything else is no position a keypad can send.
    xflag = qBound(0, x, 255) - 128;
    yflag = qBound(0, y, 255) - 128;
    const bool fast = xflag < -30 || xflag > 30 || yflag < -20 || yflag > 20;
    Speed_mode = fast ? float(m_speedSetting + 20) / 20.0f : float(m_speedSetting) / 20.0f;

    speed = CountSeedFlag(xflag, lastx) * Speed_mode;
    if (xflag != 0) {
        for (; speed > 0.5f; speed -= 1.0f)
            xflag < 0 ? MoveCursorUp(1) : MoveCursorDown(1);
    }
    speed = CountSeedFlag(yflag, lasty) * Speed_mode * 1.2f;
    if (yflag != 0) {
        for (; speed > 0.5f; speed -= 1.0f)
            yflag < 0 ? MoveCursorRight(1) : MoveCursorLeft(1);
    }
    lastx = xflag;
    lasty = yflag;
}
