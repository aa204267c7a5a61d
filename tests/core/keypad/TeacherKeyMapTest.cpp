#include "core/base/ActivityCodes.h"
#include "core/keypad/DataOfFrame.h"
#include "core/keypad/KeypadMouse.h"
#include "core/keypad/TeacherKeyMap.h"

#include <gtest/gtest.h>

#include <QList>

using Key = TeacherKeyMap::Key;
using Action = TeacherKeyMap::Action;
using Context = TeacherKeyMap::Context;

namespace {

// A three-byte frame as the receiver passes it on.
DataOfFrame small(uint8_t b0, uint8_t b1)
{
    DataOfFrame f = DataOfFrame::DataOfFrameArvel();
    const uint8_t bytes[3] = {b0, b1, uint8_t(b0 ^ b1)};
    f.setData(bytes, 3);
    return f;
}

// A large-family frame: command, address (low, high), data bytes.
DataOfFrame large(uint8_t cmd, uint8_t low, uint8_t high, const QByteArray &data)
{
    DataOfFrame f = DataOfFrame::DataOfFrameCorvel();
    f.setCmd(cmd);
    f.setAddr(low, high);
    f.setData(reinterpret_cast<const uint8_t *>(data.constData()), int(data.size()));
    return f;
}

DataOfFrame teacherKey(uint8_t code)
{
    return large(0xF4, 0x01, 0xEF, QByteArray(1, char(code)));
}

} // namespace

TEST(TeacherKeyMap, KeysOfBothFamilies)
{
    EXPECT_EQ(TeacherKeyMap::keyOf(small(0x00, 0x85)), Key::Start);
    EXPECT_EQ(TeacherKeyMap::keyOf(small(0x00, 0x88)), Key::F1);
    EXPECT_EQ(TeacherKeyMap::keyOf(small(0x00, 0x81)), Key::Ok);
    EXPECT_EQ(TeacherKeyMap::keyOf(small(0x20, 0x81)), Key::None) << "a student's key";
    EXPECT_EQ(TeacherKeyMap::keyOf(teacherKey(0x8A)), Key::Start);
    EXPECT_EQ(TeacherKeyMap::keyOf(teacherKey(0x81)), Key::F1);
    EXPECT_EQ(TeacherKeyMap::keyOf(teacherKey(0x83)), Key::None);
    EXPECT_EQ(TeacherKeyMap::keyOf(large(0xF4, 0x05, 0x00, QByteArray(1, char(0x8A)))), Key::None) << "a student keypad";
    EXPECT_EQ(TeacherKeyMap::keyOf(large(0xF3, 0x01, 0xEF, QByteArray(1, char(0x8A)))), Key::None) << "not a key frame";
    EXPECT_EQ(TeacherKeyMap::keyOf(large(0xFC, 0x01, 0xEF, QByteArray::fromHex("E01020"))), Key::Mouse);
    EXPECT_EQ(TeacherKeyMap::keyOf(DataOfFrame()), Key::None);
}

TEST(TeacherKeyMap, TheSameKeyMeansWhatTheWindowNeeds)
{
    // F1: sends the question set in the run window, OK on an alert or in the save dialog.
    const DataOfFrame f1 = teacherKey(0x81);
    EXPECT_EQ(TeacherKeyMap::action(Context::RunWindow, f1), Action::SendQuestions);
    EXPECT_EQ(TeacherKeyMap::action(Context::Alert, f1), Action::Ok);
    EXPECT_EQ(TeacherKeyMap::action(Context::Dialog, f1), Action::Ok);
    EXPECT_EQ(TeacherKeyMap::action(Context::MainWindow, f1), Action::None);
    EXPECT_EQ(TeacherKeyMap::action(Context::RunWindow, small(0x00, 0x88)), Action::None) << "F1 of the three-byte keypad";

    // Exit leaves the run, cancels a dialog that holds work, and is no answer to an alert.
    for (const DataOfFrame &exit : {small(0x00, 0x82), teacherKey(0x85)}) {
        EXPECT_EQ(TeacherKeyMap::action(Context::RunWindow, exit), Action::Exit);
        EXPECT_EQ(TeacherKeyMap::action(Context::Dialog, exit), Action::Cancel);
        EXPECT_EQ(TeacherKeyMap::action(Context::Alert, exit), Action::None);
    }
    // The main window starts the activity on the three-byte keypad's Exit key and the others' Start.
    EXPECT_EQ(TeacherKeyMap::action(Context::MainWindow, small(0x00, 0x82)), Action::Start);
    EXPECT_EQ(TeacherKeyMap::action(Context::MainWindow, small(0x00, 0x85)), Action::None);
    EXPECT_EQ(TeacherKeyMap::action(Context::MainWindow, teacherKey(0x8A)), Action::Start);
    EXPECT_EQ(TeacherKeyMap::action(Context::MainWindow, teacherKey(0x85)), Action::None);

    // The run window's keys, both families.
    const QList<std::pair<DataOfFrame, Action>> run{
        {small(0x00, 0x80), Action::Previous}, {small(0x00, 0x83), Action::Result}, {small(0x00, 0x84), Action::Report},
        {small(0x00, 0x86), Action::Stop},     {small(0x00, 0x87), Action::Next},   {teacherKey(0x84), Action::Previous},
        {teacherKey(0x86), Action::Next},      {teacherKey(0x8B), Action::Stop},    {teacherKey(0x8C), Action::Report},
        {teacherKey(0x8D), Action::Result},    {teacherKey(0x82), Action::None},
    };
    for (const auto &[frame, action] : run)
        EXPECT_EQ(TeacherKeyMap::action(Context::RunWindow, frame), action) << frame.bytes().toHex().constData();

    // The three-byte keypad's OK key is OK only in the windows done with OK; everywhere else,
    // the run window among them, it does nothing.
    const DataOfFrame ok = small(0x00, 0x81);
    EXPECT_EQ(TeacherKeyMap::action(Context::OkWindow, ok), Action::Ok);
    for (Context c : {Context::RunWindow, Context::Alert, Context::Dialog, Context::MainWindow, Context::ResultWindow})
        EXPECT_EQ(TeacherKeyMap::action(c, ok), Action::None) << int(c);
    EXPECT_EQ(TeacherKeyMap::slideShowRunAction(ok, Activity::NormalQuiz, DeviceType::Arvel), Action::None);
    // Otherwise those windows take the keys as every result window does.
    for (const DataOfFrame &frame : {small(0x00, 0x88), small(0x00, 0x80), small(0x00, 0x89), teacherKey(0x81),
                                     teacherKey(0x86), teacherKey(0x85)})
        EXPECT_EQ(TeacherKeyMap::action(Context::OkWindow, frame), TeacherKeyMap::action(Context::ResultWindow, frame));

    // A result window hears the large family's Result and Report keys (the windows that take
    // them only note them); the three-byte keypad's keys of those names reach no result window.
    EXPECT_EQ(TeacherKeyMap::action(Context::ResultWindow, teacherKey(0x8D)), Action::Result);
    EXPECT_EQ(TeacherKeyMap::action(Context::ResultWindow, teacherKey(0x8C)), Action::Report);
    EXPECT_EQ(TeacherKeyMap::action(Context::ResultWindow, small(0x00, 0x83)), Action::None);
    EXPECT_EQ(TeacherKeyMap::action(Context::ResultWindow, small(0x00, 0x84)), Action::None);

    // Mouse frames drive the pointer from every window but an alert.
    const DataOfFrame mouse = large(0xFC, 0x01, 0xEF, QByteArray(1, char(0x03)));
    for (Context c : {Context::RunWindow, Context::Dialog, Context::MainWindow})
        EXPECT_EQ(TeacherKeyMap::action(c, mouse), Action::Mouse);
    EXPECT_EQ(TeacherKeyMap::action(Context::Alert, mouse), Action::None);
}

TEST(KeypadMouse, CommandsAndAirMovesAreDecodedWithinTheFrame)
{
    const auto decode = [](const char *hex) { return KeypadMouse::decode(QByteArray::fromHex(hex)); };
    ASSERT_TRUE(decode("05"));
    EXPECT_EQ(decode("05")->kind, KeypadMouse::Command::Step);
    EXPECT_EQ(decode("05")->code, 5);
    EXPECT_EQ(decode("95")->code, 0x95) << "the pointer's own rules fold the high bit";
    ASSERT_TRUE(decode("E08040"));
    EXPECT_EQ(decode("E08040")->kind, KeypadMouse::Command::AirMove);
    EXPECT_EQ(decode("E08040")->x, 0x80);
    EXPECT_EQ(decode("E08040")->y, 0x40);
    EXPECT_FALSE(decode("E010")) << "an air move without its position";
    EXPECT_FALSE(decode("E0"));
    EXPECT_FALSE(decode(""));

    // One sink takes everything decoded, from any frame form.
    QList<KeypadMouse::Command> seen;
    KeypadMouse::setSink([&](const KeypadMouse::Command &c) { seen << c; });
    EXPECT_TRUE(KeypadMouse::pass(large(0xFC, 0x01, 0xEF, QByteArray::fromHex("E01020"))));
    EXPECT_FALSE(KeypadMouse::pass(large(0xFC, 0x01, 0xEF, QByteArray::fromHex("E010"))));
    EXPECT_TRUE(KeypadMouse::pass(QByteArray::fromHex("07")));
    KeypadMouse::setSink({});
    EXPECT_TRUE(KeypadMouse::pass(QByteArray::fromHex("07"))) << "decoded, and dropped without a sink";
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0].x, 0x10);
    EXPECT_EQ(seen[0].y, 0x20);
    EXPECT_EQ(seen[1].code, 7);
}

TEST(TeacherKeyMap, OverASlideShowF1SizesTheStripOrSendsTheSet)
{
    using DeviceType::Corvel;
    using DeviceType::Dravel;
    const DataOfFrame f1Large = teacherKey(0x81);
    const DataOfFrame f1Small = small(0x00, 0x88);
    EXPECT_EQ(TeacherKeyMap::slideShowRunAction(f1Large, Activity::NormalQuiz, Dravel), Action::StripSize);
    EXPECT_EQ(TeacherKeyMap::slideShowRunAction(f1Large, Activity::PaperQuiz, Dravel), Action::SendQuestions);
    EXPECT_EQ(TeacherKeyMap::slideShowRunAction(f1Large, Activity::PaperQuiz, Corvel), Action::None);
    EXPECT_EQ(TeacherKeyMap::slideShowRunAction(f1Small, Activity::NormalQuiz, DeviceType::Arvel), Action::StripSize);
    EXPECT_EQ(TeacherKeyMap::slideShowRunAction(f1Small, Activity::PaperQuiz, DeviceType::Arvel), Action::None);
    // The other keys mean what they mean in the activity window.
    EXPECT_EQ(TeacherKeyMap::slideShowRunAction(teacherKey(0x86), Activity::NormalQuiz, Dravel), Action::Next);
    EXPECT_EQ(TeacherKeyMap::slideShowRunAction(small(0x00, 0x83), Activity::NormalQuiz, DeviceType::Arvel), Action::Result);
}
