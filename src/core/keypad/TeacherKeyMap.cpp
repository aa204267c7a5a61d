#include "TeacherKeyMap.h"

#include "DataOfFrame.h"

#include "core/base/ActivityCodes.h"

namespace {
using Key = TeacherKeyMap::Key;
using Action = TeacherKeyMap::Action;
constexpr uint8_t kKeyCommand = 0xF4;
constexpr uint8_t kMouseCommand = 0xFC;
} // namespace

const QList<TeacherKeyMap::Row> &TeacherKeyMap::keys()
{
    static const QList<Row> rows{
        // Three-byte frames: 00, key code, check.
        {0, 0, 0x80, Key::Previous},
        {0, 0, 0x81, Key::Ok},
        {0, 0, 0x82, Key::Exit},
        {0, 0, 0x83, Key::Result},
        {0, 0, 0x84, Key::Report},
        {0, 0, 0x85, Key::Start},
        {0, 0, 0x86, Key::Stop},
        {0, 0, 0x87, Key::Next},
        {0, 0, 0x88, Key::F1},
        {0, 0, 0x89, Key::F2},
        // Short frames F4 <keypad> EF <key code> <check>.
        {1, kKeyCommand, 0x81, Key::F1},
        {1, kKeyCommand, 0x82, Key::F2},
        {1, kKeyCommand, 0x84, Key::Previous},
        {1, kKeyCommand, 0x85, Key::Exit},
        {1, kKeyCommand, 0x86, Key::Next},
        {1, kKeyCommand, 0x8A, Key::Start},
        {1, kKeyCommand, 0x8B, Key::Stop},
        {1, kKeyCommand, 0x8C, Key::Report},
        {1, kKeyCommand, 0x8D, Key::Result},
        {1, kKeyCommand, 0xFC, Key::Mouse},
        // Mouse frames carry their command in the data bytes.
        {1, kMouseCommand, -1, Key::Mouse},
    };
    return rows;
}

TeacherKeyMap::Key TeacherKeyMap::keyOf(const DataOfFrame &frame)
{
    if (frame.isNull() || !frame.isTeacherCommand())
        return Key::None;
    const int family = frame.type();
    const uint8_t command = family == 0 ? 0 : frame.cmd();
    const int code = frame.teacherCommand();
    for (const Row &row : keys())
        if (row.family == family && row.command == command && (row.code < 0 || row.code == code))
            return row.key;
    return Key::None;
}

TeacherKeyMap::Action TeacherKeyMap::action(Context context, Key key, int family)
{
    switch (context) {
    case Context::Alert:
        return key == Key::F1 ? Action::Ok : key == Key::F2 ? Action::Cancel : Action::None;
    case Context::Dialog:
        switch (key) {
        case Key::F1: return Action::Ok;
        case Key::F2:
        case Key::Exit: return Action::Cancel;
        case Key::Report: return Action::Report;
        case Key::Mouse: return Action::Mouse;
        default: return Action::None;
        }
    case Context::MainWindow:
        if (key == Key::Mouse)
            return Action::Mouse;
        // The three-byte teacher keypad starts the activity with its Exit key, the others with Start.
        if (family == 0 ? key == Key::Exit : key == Key::Start)
            return Action::Start;
        return Action::None;
    case Context::OkWindow:
        if (key == Key::Ok)
            return Action::Ok;
        return action(Context::ResultWindow, key, family);
    case Context::ResultWindow:
        switch (key) {
        case Key::F1: return Action::Ok;
        case Key::F2:
        case Key::Exit: return Action::Cancel;
        case Key::Previous: return Action::Previous;
        case Key::Next: return Action::Next;
        case Key::Mouse: return Action::Mouse;
        // Only noted (the question report notes Result, the result summary Report); the
        // three-byte keypad's Result and Report keys reach no result window.
        case Key::Result: return family == 1 ? Action::Result : Action::None;
        case Key::Report: return family == 1 ? Action::Report : Action::None;
        default: return Action::None;
        }
    case Context::RunWindow:
        switch (key) {
        case Key::Previous: return Action::Previous;
        case Key::Next: return Action::Next;
        case Key::Start: return Action::Start;
        case Key::Stop: return Action::Stop;
        case Key::Result: return Action::Result;
        case Key::Report: return Action::Report;
        case Key::Exit: return Action::Exit;
        case Key::Mouse: return Action::Mouse;
        // F1 sends the question set to the keypads that hold one.
        case Key::F1: return family == 1 ? Action::SendQuestions : Action::None;
        default: return Action::None;
        }
    }
    return Action::None;
}

TeacherKeyMap::Action TeacherKeyMap::action(Context context, const DataOfFrame &frame)
{
    return action(context, keyOf(frame), frame.type());
}

TeacherKeyMap::Action TeacherKeyMap::slideShowRunAction(const DataOfFrame &frame, int activity, int deviceType)
{
    const Key key = keyOf(frame);
    const int family = frame.type();
    if (key != Key::F1)
        return action(Context::RunWindow, key, family);
    const bool setOnKeypads = activity == Activity::PaperQuiz || activity == Activity::HomeWork;
    if (family == 1 && setOnKeypads)
        return deviceType == DeviceType::Dravel ? Action::SendQuestions : Action::None;
    if (family == 0 && activity == Activity::PaperQuiz)
        return Action::None;
    return Action::StripSize;
}
